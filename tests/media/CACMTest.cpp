#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "media/CACM.h"
#include "tests/media/SoundTestSupport.h"
#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

using soundtest::Chunk;
using soundtest::DecodeVorbis;
using soundtest::EncodeVorbis;
using soundtest::FormatBody;
using soundtest::Le32;
using soundtest::Noise;
using soundtest::PcmWave;
using soundtest::RecordingSoundReporter;
using soundtest::Riff;
using soundtest::SampleBytes;
using soundtest::SamplesOf;
using soundtest::Tone;
using soundtest::VorbisWave;
using testing::TempFolder;

constexpr char kNotPossible[] = "ACMERR_NOTPOSSIBLE : 0x00000200";

// 16-bit mono PCM whose sample i holds the value i, so copied bytes name their source.
std::string CountingSamples(int count) {
  std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i);
  return SampleBytes(samples);
}

class CACMTest : public ::testing::Test {
 protected:
  CACMTest() { vorbis_.LoadDriver(); }

  // Writes the file and takes it through OpenFile and GetPcmFormat.
  bool Open(const std::string& file, WaveFormat& format) {
    folder_.Write("s.wav", file);
    return decoder_.OpenFile(folder_.File("s.wav")) && decoder_.GetPcmFormat(format);
  }

  // The whole sound, converted and copied out in mode 0.
  std::string DecodeWhole(const std::string& file) {
    WaveFormat format;
    std::uint32_t length = 0;
    if (!Open(file, format) || !decoder_.ConvertAll(length)) return "<failed>";
    std::string pcm(length, '\0');
    decoder_.CopyOut(pcm.data(), length, CACM::kRateNormal);
    return pcm;
  }

  TempFolder folder_;
  RecordingSoundReporter reporter_;
  CVorbis vorbis_;
  CACM decoder_{nullptr, vorbis_, reporter_};
};

TEST_F(CACMTest, PcmPassesThroughAndEightBitIsWidened) {
  EXPECT_EQ(DecodeWhole(PcmWave(2, 22050, 16, CountingSamples(6))), CountingSamples(6));
  // Unsigned 8-bit: (value - 128) * 256.
  EXPECT_EQ(DecodeWhole(PcmWave(1, 8000, 8, std::string("\x00\x80\xff\x01", 4))),
            SampleBytes({-32768, 0, 32512, -32512}));
  EXPECT_TRUE(reporter_.texts.empty());
}

// The empty "data" chunk was once copied from through a buffer without an address (caught by the
// undefined-behaviour sanitizer).
TEST_F(CACMTest, EmptyDataChunkGivesAnEmptySound) {
  for (int bits : {8, 16}) {
    EXPECT_EQ(DecodeWhole(PcmWave(1, 8000, bits, "")), "") << bits;
  }
  EXPECT_TRUE(reporter_.texts.empty());
}

// A sound too short for one whole copied frame leaves the caller an empty destination, which
// was once written through without an address.
TEST_F(CACMTest, CopyingNothingNeedsNoDestination) {
  const std::string oneSample = PcmWave(1, 8000, 8, std::string("\x80", 1));
  for (int mode : {CACM::kRateNormal, CACM::kRateDouble, CACM::kRateShortened1,
                   CACM::kRateShortened2}) {
    WaveFormat format;
    std::uint32_t length = 0;
    ASSERT_TRUE(Open(oneSample, format));
    ASSERT_TRUE(decoder_.ConvertAll(length));
    EXPECT_EQ(length, 2u);
    EXPECT_TRUE(decoder_.CopyOut(nullptr, 0, mode)) << mode;
  }
  EXPECT_TRUE(reporter_.texts.empty());
}

TEST_F(CACMTest, TargetFormatAndTotalLengthFollowTheSource) {
  WaveFormat format;
  ASSERT_TRUE(Open(PcmWave(1, 22050, 8, std::string(100, '\x80'), 100), format));
  EXPECT_EQ(format, WaveFormat::Pcm16(1, 22050));
  EXPECT_EQ(decoder_.GetTotalLength(), 200u);  // 1 channel x 100 frames x 2 bytes
  // No "fact": total length 0, so it cannot stream, but it converts whole.
  ASSERT_TRUE(Open(PcmWave(2, 44100, 16, CountingSamples(40)), format));
  EXPECT_EQ(format, WaveFormat::Pcm16(2, 44100));
  EXPECT_EQ(decoder_.GetTotalLength(), 0u);
  std::uint32_t length = 0;
  ASSERT_TRUE(decoder_.ConvertAll(length));
  EXPECT_EQ(length, 80u);
}

TEST_F(CACMTest, RateModesCopyTheWrittenParts) {
  const std::string source = CountingSamples(4000);  // 8000 bytes
  struct Case {
    int mode;
    std::uint32_t length;
    std::vector<std::pair<int, int>> sourceRanges;  // [first, last) bytes, copied in order
  };
  const std::vector<Case> cases = {
      {CACM::kRateNormal, 4000, {{0, 4000}}},
      {CACM::kRateDouble, 4, {{0, 2}, {4, 6}}},  // samples 0 and 2
      {CACM::kRateShortened1, 4000, {{0, 1500}, {3000, 4500}, {6000, 7000}}},
      {CACM::kRateShortened2, 4000, {{0, 3000}, {6000, 7000}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("mode " + std::to_string(c.mode));
    std::string expected;
    for (const auto& [first, last] : c.sourceRanges) expected += source.substr(first, last - first);
    WaveFormat format;
    std::uint32_t length = 0;
    ASSERT_TRUE(Open(PcmWave(1, 44100, 16, source), format));
    ASSERT_TRUE(decoder_.ConvertAll(length));
    std::string out(c.length, '\0');
    ASSERT_TRUE(decoder_.CopyOut(out.data(), c.length, c.mode));
    EXPECT_EQ(out, expected);
  }
}

TEST_F(CACMTest, DoubleRateKeepsStereoFramesWhole) {
  // Frame i holds (i, -i).
  std::vector<std::int16_t> samples;
  for (int i = 0; i < 8; ++i)
    samples.insert(samples.end(), {static_cast<std::int16_t>(i), static_cast<std::int16_t>(-i)});
  WaveFormat format;
  std::uint32_t length = 0;
  ASSERT_TRUE(Open(PcmWave(2, 44100, 16, SampleBytes(samples)), format));
  ASSERT_TRUE(decoder_.ConvertAll(length));
  std::string out(16, '\0');
  ASSERT_TRUE(decoder_.CopyOut(out.data(), 16, CACM::kRateDouble));
  EXPECT_EQ(SamplesOf(out), (std::vector<std::int16_t>{0, 0, 2, -2, 4, -4, 6, -6}));
}

TEST_F(CACMTest, VorbisDecodesAsLibvorbisfileDoesAndStopsAtFact) {
  const std::vector<std::int16_t> tone = Tone(1000.0, 20000.0, 30000, 44100, 2);
  const std::vector<std::uint8_t> stream = EncodeVorbis(tone, 2, 44100);
  const std::vector<std::int16_t> reference = DecodeVorbis(stream);
  ASSERT_EQ(reference.size(), tone.size());
  EXPECT_EQ(SamplesOf(DecodeWhole(VorbisWave(stream, 2, 44100, 30000))), reference);
  // A "fact" shorter than the stream: the sound ends there.
  EXPECT_EQ(SamplesOf(DecodeWhole(VorbisWave(stream, 2, 44100, 1000))),
            std::vector<std::int16_t>(reference.begin(), reference.begin() + 2000));
  // Without "fact" the stream's own length counts.
  const std::string noFact = Riff(Chunk("fmt ", FormatBody(0x6771, 2, 44100, 16, std::string())) +
                                  Chunk("data", std::string(stream.begin(), stream.end())));
  EXPECT_EQ(SamplesOf(DecodeWhole(noFact)), reference);
  // An Ogg stream behind the PCM tag is still taken as Vorbis.
  const std::string pcmTag =
      Riff(Chunk("fmt ", FormatBody(1, 2, 44100, 16)) + Chunk("fact", Le32(30000)) +
           Chunk("data", std::string(stream.begin(), stream.end())));
  EXPECT_EQ(SamplesOf(DecodeWhole(pcmTag)), reference);
  EXPECT_TRUE(reporter_.texts.empty());
}

TEST_F(CACMTest, StreamedChunksFillTheSoundAndNeverPassItsEnd) {
  const std::vector<std::int16_t> tone = Tone(440.0, 12000.0, 110250, 44100, 2);  // 2.5 s
  const std::vector<std::uint8_t> stream = EncodeVorbis(tone, 2, 44100);
  const std::vector<std::int16_t> reference = DecodeVorbis(stream);
  struct Case {
    const char* label;
    std::string file;
    std::uint32_t total;
    std::vector<std::uint32_t> chunks;
  };
  const std::vector<Case> cases = {
      // fact 100000 frames: 400000 bytes = 176400 + 176400 + 47200, though the stream holds more.
      {"Vorbis", VorbisWave(stream, 2, 44100, 100000), 400000, {176400, 176400, 47200, 0}},
      // 8-bit mono, fact 100000: each chunk is 176400 bytes of 16-bit output.
      {"8-bit PCM",
       PcmWave(1, 44100, 8, std::string(100000, '\x90'), 100000),
       200000,
       {176400, 23600, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    WaveFormat format;
    ASSERT_TRUE(Open(c.file, format));
    ASSERT_EQ(decoder_.GetTotalLength(), c.total);
    ASSERT_TRUE(decoder_.ReadSource());
    ASSERT_TRUE(decoder_.PrepareChunks(CACM::kStreamChunkBytes));
    ASSERT_TRUE(decoder_.OpenChunks());
    constexpr char kGuard = '\x5A';
    std::string buffer(c.total + 4096, kGuard);
    std::vector<std::uint32_t> chunks;
    std::uint32_t position = 0;
    for (std::size_t i = 0; i < c.chunks.size(); ++i) {
      std::uint32_t length = 99;
      ASSERT_TRUE(
          decoder_.DecodeChunk(reinterpret_cast<std::uint8_t*>(buffer.data()), position, length));
      chunks.push_back(length);
      position += length;
    }
    decoder_.CloseChunks();
    EXPECT_EQ(chunks, c.chunks);
    EXPECT_EQ(buffer.substr(c.total), std::string(4096, kGuard));
    if (format.channels == 2) {
      EXPECT_EQ(SamplesOf(buffer.substr(0, c.total)),
                std::vector<std::int16_t>(reference.begin(), reference.begin() + c.total / 2));
    } else {
      EXPECT_EQ(SamplesOf(buffer.substr(0, c.total)),
                std::vector<std::int16_t>(c.total / 2, 0x1000));
    }
  }
  EXPECT_TRUE(reporter_.texts.empty());
}

TEST_F(CACMTest, UndecodableSourcesAreRefusedAtTheFormat) {
  const std::vector<std::uint8_t> stream = EncodeVorbis(Noise(44100, 2, 9000), 2, 44100);
  const std::string ogg(stream.begin(), stream.end());
  const std::string fmtVorbis = Chunk("fmt ", FormatBody(0x674F, 2, 44100, 16, std::string()));
  struct Case {
    const char* label;
    std::string file;
    std::string box;
  };
  const std::vector<Case> cases = {
      {"Vorbis stream cut short of its fact",
       Riff(fmtVorbis + Chunk("fact", Le32(44100)) + Chunk("data", ogg.substr(0, ogg.size() / 2))),
       std::string("MMSystem (140)\n") + kNotPossible},
      {"fact beyond the stream", Riff(fmtVorbis + Chunk("fact", Le32(50000)) + Chunk("data", ogg)),
       std::string("MMSystem (140)\n") + kNotPossible},
      {"header says mono, stream is stereo",
       Riff(Chunk("fmt ", FormatBody(0x674F, 1, 44100, 16, std::string())) +
            Chunk("fact", Le32(44100)) + Chunk("data", ogg)),
       std::string("MMSystem (140)\n") + kNotPossible},
      {"Vorbis tag without an Ogg stream",
       Riff(fmtVorbis + Chunk("fact", Le32(10)) + Chunk("data", std::string(64, 'v'))),
       std::string("MMSystem (140)\n") + kNotPossible},
      {"24-bit PCM", PcmWave(1, 44100, 24, std::string(30, '\0')),
       std::string("MMSystem (140)\n") + kNotPossible},
      {"six channels", PcmWave(6, 44100, 16, std::string(24, '\0')),
       std::string("MMSystem (140)\n") + kNotPossible},
      {"PCM fact beyond its data", PcmWave(1, 44100, 16, std::string(20, '\0'), 11),
       std::string("MMSystem (140)\n") + kNotPossible},
      {"fact too long to hold", PcmWave(2, 44100, 16, std::string(8, '\0'), 0x40000000),
       "MMSystem (140)\nMMIOERR_OUTOFMEMORY : 0x00000102"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    reporter_.texts.clear();
    WaveFormat format;
    EXPECT_FALSE(Open(c.file, format));
    EXPECT_EQ(reporter_.texts, std::vector<std::string>{c.box});
  }
}

TEST_F(CACMTest, VorbisIsRefusedUntilTheDecoderIsRegistered) {
  const std::vector<std::uint8_t> stream =
      EncodeVorbis(Tone(440.0, 9000.0, 4410, 44100, 1), 1, 44100);
  vorbis_.UnloadDriver();
  WaveFormat format;
  EXPECT_FALSE(Open(VorbisWave(stream, 1, 44100, 4410), format));
  EXPECT_EQ(reporter_.texts,
            std::vector<std::string>{std::string("MMSystem (140)\n") + kNotPossible});
  ASSERT_TRUE(vorbis_.LoadDriver());
  reporter_.texts.clear();
  EXPECT_TRUE(Open(VorbisWave(stream, 1, 44100, 4410), format));
  EXPECT_TRUE(reporter_.texts.empty());
}

TEST_F(CACMTest, OperationsOutOfOrderReportTheirStep) {
  std::uint32_t length = 0;
  WaveFormat format;
  EXPECT_FALSE(decoder_.GetPcmFormat(format));
  EXPECT_FALSE(decoder_.ConvertAll(length));
  EXPECT_FALSE(decoder_.ReadSource());
  std::uint8_t buffer[4];
  EXPECT_FALSE(decoder_.DecodeChunk(buffer, 0, length));
  const std::string failed =
      "\x96\xa2\x92\xe8\x8b\x60\x82\xcc\x83\x47\x83\x89\x81\x5b : 0x00000001";
  EXPECT_EQ(reporter_.texts,
            (std::vector<std::string>{"MMSystem (118)\n" + failed, "MMSystem (165)\n" + failed,
                                      "MMSystem (287)\n" + failed,
                                      "MMSystem (431)\nACMERR_UNPREPARED : 0x00000202"}));
  EXPECT_FALSE(decoder_.OpenFile(folder_.File("none.wav")));
  EXPECT_EQ(reporter_.texts.size(), 4u);
}

}  // namespace
}  // namespace halcyra

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/VorbisDecoder.h"
#include "platform/VorbisEncoder.h"
#include "tests/media/SoundTestSupport.h"

namespace halcyra {
namespace {

using soundtest::DecodeVorbis;
using soundtest::EncodeVorbis;
using soundtest::Noise;
using soundtest::Tone;

// Signal-to-noise ratio in decibels of decoded against original.
double SignalToNoise(const std::vector<std::int16_t>& original,
                     const std::vector<std::int16_t>& decoded) {
  double signal = 0.0;
  double noise = 0.0;
  for (std::size_t i = 0; i < original.size() && i < decoded.size(); ++i) {
    signal += static_cast<double>(original[i]) * original[i];
    const double difference = static_cast<double>(original[i]) - decoded[i];
    noise += difference * difference;
  }
  return 10.0 * std::log10(signal / noise);
}

TEST(VorbisCodecTest, RoundTripKeepsLayoutLengthAndSound) {
  struct Case {
    int channels;
    int rate;
  };
  for (const Case& c : {Case{1, 22050}, Case{2, 44100}}) {
    SCOPED_TRACE(std::to_string(c.channels) + " ch " + std::to_string(c.rate) + " Hz");
    const std::size_t frames = static_cast<std::size_t>(c.rate) * 3 / 2;
    const std::vector<std::int16_t> tone = Tone(440.0, 20000.0, frames, c.rate, c.channels);
    const std::vector<std::uint8_t> stream = EncodeVorbis(tone, c.channels, c.rate);
    VorbisDecoder decoder;
    ASSERT_TRUE(decoder.Open(stream.data(), stream.size())) << decoder.LastError();
    EXPECT_EQ(decoder.Channels(), c.channels);
    EXPECT_EQ(decoder.SampleRate(), c.rate);
    EXPECT_EQ(decoder.TotalFrames(), static_cast<std::int64_t>(frames));
    std::vector<std::int16_t> decoded(tone.size() + 64, 0);
    std::size_t got = 0;
    ASSERT_TRUE(decoder.Decode(decoded.data(), frames + 32, got));
    EXPECT_EQ(got, frames);
    decoded.resize(got * c.channels);
    EXPECT_GT(SignalToNoise(tone, decoded), 20.0);
  }
}

TEST(VorbisCodecTest, PiecewiseDecodingAndSeekingGiveTheSameSamples) {
  const std::vector<std::int16_t> tone = Tone(1000.0, 16000.0, 44100, 44100, 2);
  const std::vector<std::uint8_t> stream = EncodeVorbis(tone, 2, 44100);
  const std::vector<std::int16_t> whole = DecodeVorbis(stream);
  ASSERT_EQ(whole.size(), tone.size());

  VorbisDecoder decoder;
  ASSERT_TRUE(decoder.Open(stream.data(), stream.size()));
  std::vector<std::int16_t> pieces;
  std::vector<std::int16_t> piece(2 * 777);
  for (std::size_t got = 1; got > 0;) {
    ASSERT_TRUE(decoder.Decode(piece.data(), 777, got));
    pieces.insert(pieces.end(), piece.begin(),
                  piece.begin() + static_cast<std::ptrdiff_t>(2 * got));
  }
  EXPECT_EQ(pieces, whole);

  ASSERT_TRUE(decoder.SeekToFrame(30000));
  std::size_t got = 0;
  ASSERT_TRUE(decoder.Decode(piece.data(), 500, got));
  ASSERT_EQ(got, 500u);
  EXPECT_EQ(std::vector<std::int16_t>(piece.begin(), piece.begin() + 1000),
            std::vector<std::int16_t>(whole.begin() + 60000, whole.begin() + 61000));
  EXPECT_FALSE(decoder.SeekToFrame(44100 * 5));
}

TEST(VorbisCodecTest, RefusesWhatIsNoVorbisStream) {
  const std::vector<std::uint8_t> stream =
      EncodeVorbis(Tone(440.0, 8000.0, 4410, 44100, 1), 1, 44100);
  const std::vector<std::vector<std::uint8_t>> inputs = {
      {},
      {'R', 'I', 'F', 'F', 0, 0, 0, 0},
      {'O', 'g', 'g', 'S', 0, 2, 1, 2, 3, 4, 5, 6, 7, 8, 9},
      std::vector<std::uint8_t>(stream.begin(), stream.begin() + 40),  // identification cut
  };
  for (const std::vector<std::uint8_t>& input : inputs) {
    VorbisDecoder decoder;
    EXPECT_FALSE(decoder.Open(input.data(), input.size())) << input.size() << " bytes";
    EXPECT_FALSE(decoder.LastError().empty());
    EXPECT_FALSE(decoder.IsOpen());
  }
}

TEST(VorbisCodecTest, StreamCutShortStatesOnlyTheFramesItHolds) {
  const std::size_t frames = 176400;
  const std::vector<std::uint8_t> stream = EncodeVorbis(Noise(frames, 1, 8000), 1, 44100);
  const std::vector<std::uint8_t> cut(
      stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(stream.size() * 6 / 10));
  VorbisDecoder decoder;
  ASSERT_TRUE(decoder.Open(cut.data(), cut.size()));
  const std::int64_t total = decoder.TotalFrames();
  EXPECT_GT(total, 0);
  EXPECT_LT(total, static_cast<std::int64_t>(frames));
  std::vector<std::int16_t> decoded(frames);
  std::size_t got = 0;
  ASSERT_TRUE(decoder.Decode(decoded.data(), frames, got));
  EXPECT_LT(got, frames);
}

TEST(VorbisCodecTest, EncoderRepeatsItselfAndRefusesBadLayouts) {
  const std::vector<std::int16_t> tone = Tone(440.0, 8000.0, 22050, 22050, 2);
  EXPECT_EQ(EncodeVorbis(tone, 2, 22050), EncodeVorbis(tone, 2, 22050));

  std::vector<std::uint8_t> stream{1, 2, 3};
  std::string error;
  VorbisEncodeOptions options;
  options.channels = 3;
  EXPECT_FALSE(VorbisEncoder::Encode(tone.data(), 100, options, stream, error));
  EXPECT_TRUE(stream.empty());
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace halcyra

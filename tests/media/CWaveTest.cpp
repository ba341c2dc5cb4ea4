#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/CWave.h"
#include "resource/CArcFile.h"
#include "tests/media/SoundTestSupport.h"
#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

using soundtest::Chunk;
using soundtest::FormatBody;
using soundtest::IndexedArchive;
using soundtest::Le16;
using soundtest::Le32;
using soundtest::PcmWave;
using soundtest::RecordingSoundReporter;
using soundtest::Riff;
using testing::TempFolder;

// 未定義のエラー, the name of a code without one of its own.
constexpr char kUndefined[] = "\x96\xa2\x92\xe8\x8b\x60\x82\xcc\x83\x47\x83\x89\x81\x5b";

struct Parsed {
  WaveFormat format;
  std::uint32_t sampleCount = 0;
  std::string data;
};

// Runs every reading step in the engine's order and stops at the first that fails.
bool ReadWhole(CWave& wave, const std::string& path, Parsed& parsed) {
  std::uint32_t size = 0;
  if (!wave.OpenWave(path) || !wave.ReadFormat(parsed.format) || !wave.GetDataSize(size)) {
    return false;
  }
  parsed.sampleCount = wave.GetSampleCount();
  parsed.data.assign(size, '\0');
  return wave.ReadData(parsed.data.data(), size);
}

TEST(CWaveTest, ReadsFormatFactAndDataOfWellFormedFiles) {
  const std::string fmt16 = Chunk("fmt ", FormatBody(1, 1, 22050, 16));
  struct Case {
    const char* label;
    std::string file;
    WaveFormat format;
    std::uint32_t sampleCount;
    std::string data;
  };
  const std::vector<Case> cases = {
      {"16-byte fmt, no fact",
       PcmWave(1, 22050, 16, "abcdef"),
       {1, 1, 22050, 44100, 2, 16, 0},
       0,
       "abcdef"},
      {"18-byte fmt with extra bytes, and fact",
       Riff(Chunk("fmt ", FormatBody(0x674F, 2, 44100, 16, std::string("\x01\x02", 2))) +
            Chunk("fact", Le32(1234)) + Chunk("data", "OggS")),
       {0x674F, 2, 44100, 176400, 4, 16, 2},
       1234,
       "OggS"},
      {"odd chunks padded, unknown chunks skipped",
       Riff(Chunk("LIST", "abc") + fmt16 + Chunk("junk", "12345") + Chunk("fact", Le32(7)) +
            Chunk("data", "xy")),
       {1, 1, 22050, 44100, 2, 16, 0},
       7,
       "xy"},
      {"RIFF size beyond the file",
       "RIFF" + Le32(0xFFFFFF00u) + "WAVE" + fmt16 + Chunk("data", "zz"),
       {1, 1, 22050, 44100, 2, 16, 0},
       0,
       "zz"},
      {"fact before fmt is not looked for",
       Riff(Chunk("fact", Le32(99)) + fmt16 + Chunk("data", "q1")),
       {1, 1, 22050, 44100, 2, 16, 0},
       0,
       "q1"},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    folder.Write("a.wav", c.file);
    RecordingSoundReporter reporter;
    CWave wave(nullptr, reporter);
    Parsed parsed;
    ASSERT_TRUE(ReadWhole(wave, folder.File("a.wav"), parsed));
    EXPECT_EQ(parsed.format, c.format);
    EXPECT_EQ(parsed.sampleCount, c.sampleCount);
    EXPECT_EQ(parsed.data, c.data);
    EXPECT_EQ(wave.GetFileSize(), c.file.size());
    EXPECT_TRUE(reporter.texts.empty());
  }
}

TEST(CWaveTest, BrokenFilesShowTheFailingStep) {
  const std::string fmt16 = Chunk("fmt ", FormatBody(1, 1, 22050, 16));
  const std::string data = Chunk("data", "abcd");
  const std::string chunkNotFound = "MMIOERR_CHUNKNOTFOUND : 0x00000109";
  const std::string invalidFile = "MMIOERR_INVALIDFILE : 0x00000110";
  const std::string failed = std::string(kUndefined) + " : 0x00000001";
  struct Case {
    const char* label;
    std::string file;
    std::string box;
  };
  const std::vector<Case> cases = {
      {"shorter than a RIFF header", "RIFF" + Le32(4) + "WA", "MMSystem (133)\n" + chunkNotFound},
      {"not a WAVE", Riff("").replace(8, 4, "AVI "), "MMSystem (140)\n" + failed},
      {"not RIFF", "RIFX" + Le32(4) + "WAVE", "MMSystem (140)\n" + failed},
      {"no fmt", Riff(data), "MMSystem (164)\n" + chunkNotFound},
      {"fmt runs past the file", Riff(fmt16).substr(0, 12 + 8 + 12),
       "MMSystem (164)\n" + invalidFile},
      {"fmt under 16 bytes", Riff(Chunk("fmt ", std::string(14, '\1')) + data),
       "MMSystem (169)\n" + failed},
      {"extra bytes beyond fmt",
       Riff(Chunk("fmt ", FormatBody(1, 1, 22050, 16) + Le16(10) + "abcd") + data),
       "MMSystem (197)\n" + failed},
      {"fact not 4 bytes", Riff(fmt16 + Chunk("fact", "abc") + data), "MMSystem (213)\n" + failed},
      {"fact runs past the file", Riff(fmt16 + "fact" + Le32(4) + "ab"),
       "MMSystem (221)\n" + failed},
      {"no data", Riff(fmt16 + Chunk("fact", Le32(3))), "MMSystem (261)\n" + chunkNotFound},
      {"data runs past the file", Riff(fmt16 + "data" + Le32(1000) + "0123456789"),
       "MMSystem (261)\n" + invalidFile},
      {"data length beyond 4 GiB of file", Riff(fmt16 + "data" + Le32(0xFFFFFFF0u) + "01"),
       "MMSystem (261)\n" + invalidFile},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    folder.Write("b.wav", c.file);
    RecordingSoundReporter reporter;
    CWave wave(nullptr, reporter);
    Parsed parsed;
    EXPECT_FALSE(ReadWhole(wave, folder.File("b.wav"), parsed));
    EXPECT_EQ(reporter.texts, std::vector<std::string>{c.box});
  }
}

TEST(CWaveTest, ReadDataStaysInsideTheDataChunk) {
  TempFolder folder;
  folder.Write("c.wav", PcmWave(1, 8000, 8, "0123") + Chunk("LIST", "tail"));
  RecordingSoundReporter reporter;
  CWave wave(nullptr, reporter);
  ASSERT_TRUE(wave.OpenWave(folder.File("c.wav")));
  char bytes[8] = {};
  ASSERT_TRUE(wave.ReadData(bytes, 3));
  EXPECT_EQ(std::string(bytes, 3), "012");
  EXPECT_FALSE(wave.ReadData(bytes, 2));
  EXPECT_EQ(reporter.texts, std::vector<std::string>{"MMSystem (294)\n" + std::string(kUndefined) +
                                                     " : 0x00000001"});
}

TEST(CWaveTest, LooseFileWinsOverTheArchiveAndMissingSoundsAreSilent) {
  TempFolder folder;
  folder.Write("wav.dat", IndexedArchive({{"Voice.WAV", PcmWave(1, 11025, 16, "ar")},
                                          {"other.wav", PcmWave(2, 8000, 16, "otot")}}));
  folder.Write("wav/voice.wav", PcmWave(1, 22050, 16, "lo"));
  CArcFile archive;
  ASSERT_TRUE(archive.Open(folder.File("wav.dat"), false, false));
  // A game path: the folder part is the loose file's, the part after the last backslash the
  // archive member's name.
  const std::string path = folder.File("wav") + "\\voice.wav";
  RecordingSoundReporter reporter;
  CWave wave(&archive, reporter);
  Parsed parsed;
  ASSERT_TRUE(ReadWhole(wave, path, parsed));
  EXPECT_EQ(parsed.format.samplesPerSec, 22050u);
  EXPECT_EQ(parsed.data, "lo");

  std::filesystem::remove(folder.Path() / "wav" / "voice.wav");
  ASSERT_TRUE(ReadWhole(wave, path, parsed));
  EXPECT_EQ(parsed.format.samplesPerSec, 11025u);
  EXPECT_EQ(parsed.data, "ar");

  EXPECT_FALSE(wave.OpenWave(folder.File("wav") + "\\missing.wav"));
  EXPECT_FALSE(wave.IsOpen());
  EXPECT_TRUE(reporter.texts.empty());
}

}  // namespace
}  // namespace halcyra

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/media/SoundTestSupport.h"
#include "tests/support/RunTool.h"
#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

using soundtest::DecodeVorbis;
using soundtest::EncodeVorbis;
using soundtest::IndexedArchive;
using soundtest::PcmWave;
using soundtest::Riff;
using soundtest::SampleBytes;
using soundtest::Tone;
using soundtest::VorbisWave;
using testing::RunTool;
using testing::TempFolder;

TEST(SoundToolTest, VorbisInWaveComesOutAsTheLibrarysPcm) {
  TempFolder folder;
  const std::vector<std::uint8_t> stream =
      EncodeVorbis(Tone(660.0, 15000.0, 30000, 44100, 2), 2, 44100);
  folder.Write("music.wav", VorbisWave(stream, 2, 44100, 30000));
  ASSERT_EQ(RunTool(folder, {"sound", folder.File("music.wav"), "--out", folder.File("out.wav")}),
            0)
      << folder.Read("stderr.txt");
  EXPECT_EQ(folder.Read("stdout.txt"), "44100 Hz 2 ch 30000 samples\n");
  EXPECT_EQ(folder.Read("out.wav"), PcmWave(2, 44100, 16, SampleBytes(DecodeVorbis(stream))));
}

TEST(SoundToolTest, FindsArchiveMembersAsTheGameDoes) {
  TempFolder folder;
  folder.Write(
      "game/wav.dat",
      IndexedArchive({{"se01.wav", PcmWave(1, 11025, 8, std::string("\x00\x80\xff\x40", 4))}}));
  ASSERT_EQ(RunTool(folder, {"sound", "wav\\SE01.wav", "--out", folder.File("se.wav"), "--dir",
                             folder.File("game")}),
            0)
      << folder.Read("stderr.txt");
  EXPECT_EQ(folder.Read("stdout.txt"), "11025 Hz 1 ch 4 samples\n");
  EXPECT_EQ(folder.Read("se.wav"), PcmWave(1, 11025, 16, SampleBytes({-32768, 0, 32512, -16384})));
}

TEST(SoundToolTest, ReportsBrokenAndMissingSounds) {
  TempFolder folder;
  folder.Write("broken.wav", Riff(""));  // no "fmt "
  EXPECT_EQ(RunTool(folder, {"sound", folder.File("broken.wav"), "--out", folder.File("o.wav")}),
            1);
  EXPECT_NE(folder.Read("stderr.txt").find("MMSystem Error: MMSystem (164)\nMMIOERR_CHUNKNOTFOUND"),
            std::string::npos)
      << folder.Read("stderr.txt");
  EXPECT_EQ(RunTool(folder, {"sound", folder.File("none.wav"), "--out", folder.File("o.wav")}), 1);
  EXPECT_NE(folder.Read("stderr.txt").find("cannot find"), std::string::npos);
  EXPECT_FALSE(folder.Exists("o.wav"));
}

}  // namespace
}  // namespace halcyra

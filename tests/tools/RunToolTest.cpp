#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/support/RunTool.h"
#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

using testing::RunTool;
using testing::TempFolder;

std::uint32_t BigEndian(const std::string& bytes, std::size_t at) {
  return (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) << 24) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 16) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 8) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3]));
}

class RunToolTest : public ::testing::Test {
 protected:
  RunToolTest() {
    const std::string emptyArchive(16, '\0');
    folder_.Write("game/scr/open.scr", "N\r\nwait 1000\r\n");
    folder_.Write("game/scr.dat", emptyArchive);
    folder_.Write("game/cg.dat", emptyArchive);
    folder_.Write("game/wav.dat", emptyArchive);
  }
  TempFolder folder_;
};

TEST_F(RunToolTest, PlaysTheGameAndSavesAScreenshot) {
  ASSERT_EQ(RunTool(folder_, {"run", folder_.File("game"), "--frames", "12", "--screenshot",
                              "12:" + folder_.File("shot.png")}),
            0)
      << folder_.Read("stderr.txt");
  EXPECT_NE(folder_.Read("stdout.txt").find("presented 12 frames"), std::string::npos);
  const std::string png = folder_.Read("shot.png");
  ASSERT_GT(png.size(), 33u);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(BigEndian(png, 16), 800u);
  EXPECT_EQ(BigEndian(png, 20), 600u);
  // The stored image data holds 600 rows of a filter byte and 800 RGBA pixels, in blocks.
  EXPECT_GT(png.size(), 600u * (800u * 4u + 1u));
  EXPECT_EQ(png.substr(png.size() - 12), std::string("\0\0\0\0IEND\xae\x42\x60\x82", 12));
}

TEST_F(RunToolTest, DumpsTheSpriteTableAtAFrame) {
  ASSERT_EQ(RunTool(folder_, {"run", folder_.File("game"), "--frames", "5", "--dump-sprites",
                              "3:" + folder_.File("sprites.txt")}),
            0)
      << folder_.Read("stderr.txt");
  // Nothing is on screen yet in this game: the dump exists and lists no sprite.
  EXPECT_TRUE(folder_.Exists("sprites.txt"));
  EXPECT_EQ(folder_.Read("sprites.txt"), "");
  EXPECT_EQ(RunTool(folder_, {"run", folder_.File("game"), "--frames", "2", "--dump-sprites",
                              "4:" + folder_.File("late.txt")}),
            1);
}

TEST_F(RunToolTest, ReportsMessageBoxesOfTheRun) {
  std::filesystem::remove(folder_.File("game/cg.dat"));
  ASSERT_EQ(RunTool(folder_, {"run", folder_.File("game"), "--frames", "3"}), 0);
  const std::string log = folder_.Read("stderr.txt");
  EXPECT_NE(log.find("データファイルが読めません\ncg.dat [OK]"), std::string::npos) << log;
}

// A script computes with variables and flags, then ends: the run stops there and the dump holds
// the values where a saved game keeps them.
TEST_F(RunToolTest, DumpsTheStateTheScriptComputed) {
  folder_.Write("game/scr/open.scr",
                "N\r\nA=6*7\r\nB=A-50\r\nF3=A+100\r\nF2047=1000\r\n[F3>140]{\r\nZ=1\r\n}\r\n");
  ASSERT_EQ(RunTool(folder_, {"run", folder_.File("game"), "--frames", "100000", "--dump-state",
                              folder_.File("state.dat")}),
            0)
      << folder_.Read("stderr.txt");
  const std::string dump = folder_.Read("state.dat");
  ASSERT_EQ(dump.size(), 1043508u);
  auto int32At = [&](std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(dump[offset + i]);
    return static_cast<std::int32_t>(value);
  };
  EXPECT_EQ(int32At(4), 700);
  EXPECT_EQ(dump.substr(8, 5), std::string("open\0", 5));
  EXPECT_EQ(int32At(72), 42);              // A
  EXPECT_EQ(int32At(72 + 4), -8);          // B
  EXPECT_EQ(int32At(72 + 25 * 4), 1);      // Z
  EXPECT_EQ(static_cast<unsigned char>(dump[176 + 3]), 142);
  EXPECT_EQ(static_cast<unsigned char>(dump[176 + 2047]), 255);
  std::uint32_t sum = 0;
  for (std::size_t i = 4; i < dump.size(); ++i) sum += static_cast<unsigned char>(dump[i]);
  EXPECT_EQ(static_cast<std::uint32_t>(int32At(0)), sum);
  // The run ended at the script's end, long before the frame budget.
  EXPECT_NE(folder_.Read("stderr.txt").find("\xe6\x9c\x80\xe5\xbe\x8c"), std::string::npos);  // 最後
}

TEST_F(RunToolTest, RefusesBadArguments) {
  folder_.Write("bad-input.txt", "7 juggle\n");
  const std::vector<std::vector<std::string>> cases = {
      {"run"},
      {"run", folder_.File("no-such-game")},
      {"run", folder_.File("game"), "--frames", "0"},
      {"run", folder_.File("game"), "--screenshot", "nonsense"},
      {"run", folder_.File("game"), "--input", folder_.File("bad-input.txt")},
      {"run", folder_.File("game"), "--input", folder_.File("missing.txt")},
      {"run", folder_.File("game"), "--frames", "3", "--screenshot", "9:" + folder_.File("x.png")},
  };
  for (const auto& arguments : cases) {
    EXPECT_EQ(RunTool(folder_, arguments), 1) << arguments.back();
    EXPECT_FALSE(folder_.Read("stderr.txt").empty()) << arguments.back();
  }
}

}  // namespace
}  // namespace halcyra

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "resource/CArcFile.h"
#include "resource/PictureMember.h"
#include "resource/ScrambleKey.h"
#include "tests/support/RunTool.h"
#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

using testing::RunTool;
using testing::TempFolder;
namespace fs = std::filesystem;

// Contents compressible enough that a real encoder shrinks them well.
std::string PictureLikeBytes(std::string_view signature, std::size_t size) {
  std::string bytes(signature);
  for (std::size_t i = bytes.size(); i < size; ++i) {
    bytes += static_cast<char>((i / 4) % 50 + ((i % 997) == 0 ? 7 : 0));
  }
  return bytes;
}

// The input folder of every case: pictures, a Japanese name (表 ends in a 0x5C byte in
// Shift-JIS), an empty file and a plain one.
void WriteInputs(const TempFolder& folder) {
  folder.Write("in/Title.BMP", PictureLikeBytes("BM", 30000));
  folder.Write("in/layer.psd", PictureLikeBytes("8BPS", 20000));
  folder.Write("in/表紙.bmp", PictureLikeBytes("", 5000));
  folder.Write("in/tiny.bmp", "BM");
  folder.Write("in/empty.wav", "");
  folder.Write("in/open.scr", "\r\nmes Hello\r\n");
}

void ExpectSameFiles(const TempFolder& folder, const std::string& a, const std::string& b) {
  std::vector<std::string> namesA;
  for (const auto& entry : fs::directory_iterator(folder.Path() / a)) {
    namesA.push_back(entry.path().filename().string());
  }
  std::size_t countB = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder.Path() / b)) ++countB;
  EXPECT_EQ(namesA.size(), countB);
  for (const std::string& name : namesA) {
    ASSERT_TRUE(folder.Exists(b + "/" + name)) << name;
    EXPECT_EQ(folder.Read(a + "/" + name), folder.Read(b + "/" + name)) << name;
  }
}

TEST(ArcToolTest, PackListAndExtractRoundTripEveryLayout) {
  TempFolder folder;
  WriteInputs(folder);
  const std::vector<std::vector<std::string>> flagSets = {{}, {"--scramble"}, {"--chained"},
                                                          {"--chained", "--scramble"}};
  for (const std::vector<std::string>& flags : flagSets) {
    std::string label = "indexed";
    for (const std::string& flag : flags) label += " " + flag;
    std::vector<std::string> pack = {"arc", "pack", folder.File("a.dat"), folder.File("in")};
    pack.insert(pack.end(), flags.begin(), flags.end());
    ASSERT_EQ(RunTool(folder, pack), 0) << label << folder.Read("stderr.txt");

    std::vector<std::string> list = {"arc", "list", folder.File("a.dat")};
    list.insert(list.end(), flags.begin(), flags.end());
    ASSERT_EQ(RunTool(folder, list), 0) << label << folder.Read("stderr.txt");
    const std::string listing = folder.Read("stdout.txt");
    EXPECT_NE(listing.find("表紙.bmp\t"), std::string::npos) << listing;
    EXPECT_NE(listing.find("empty.wav\t"), std::string::npos) << listing;

    fs::remove_all(folder.Path() / "out");
    std::vector<std::string> extract = {"arc", "extract", folder.File("a.dat"), folder.File("out")};
    extract.insert(extract.end(), flags.begin(), flags.end());
    ASSERT_EQ(RunTool(folder, extract), 0) << label << folder.Read("stderr.txt");
    ExpectSameFiles(folder, "in", "out");
  }
}

TEST(ArcToolTest, ScrambledPicturesReadBackThroughTheEngine) {
  TempFolder folder;
  WriteInputs(folder);
  const std::vector<std::string> pack = {"arc", "pack", folder.File("cg.dat"), folder.File("in"),
                                         "--scramble"};
  ASSERT_EQ(RunTool(folder, pack), 0) << folder.Read("stderr.txt");
  EXPECT_LT(fs::file_size(folder.Path() / "cg.dat"), 20000u);  // the pictures were compressed

  CArcFile pictures;
  ASSERT_TRUE(pictures.Open(folder.File("cg.dat"), true, false));
  EXPECT_EQ(pictures.GetCount(), 6);
  for (const char* name : {"Title.BMP", "layer.psd", "tiny.bmp"}) {
    std::vector<std::uint8_t> picture;
    ASSERT_TRUE(LoadPicture(std::string("cg\\") + name, pictures, picture)) << name;
    const std::string expected = folder.Read(std::string("in/") + name);
    EXPECT_EQ(std::string(picture.begin(), picture.end()), expected) << name;
  }
  // "表紙.bmp" in Shift-JIS, asked for under a folder.
  std::vector<std::uint8_t> picture;
  ASSERT_TRUE(LoadPicture("cg\\\x95\x5C\x8E\x86.BMP", pictures, picture));
  EXPECT_EQ(std::string(picture.begin(), picture.end()), folder.Read("in/表紙.bmp"));
  ASSERT_TRUE(pictures.Find("open.scr"));
  EXPECT_EQ(pictures.GetSize(), 13u);  // other members are stored as they are
}

TEST(ArcToolTest, ScrambleScriptWritesTheMarkedForm) {
  TempFolder folder;
  folder.Write("plain.scr", "N\r\nmes Hi\r\n");
  ASSERT_EQ(RunTool(folder, {"arc", "scramble-script", folder.File("plain.scr"),
                             folder.File("x.scr")}),
            0)
      << folder.Read("stderr.txt");
  const std::string scrambled = folder.Read("x.scr");
  const std::string plain = "N\r\nmes Hi\r\n";
  ASSERT_EQ(scrambled.size(), plain.size());
  EXPECT_EQ(scrambled[0], 'X');
  for (std::size_t i = 1; i < plain.size(); ++i) {
    EXPECT_EQ(static_cast<std::uint8_t>(scrambled[i]),
              static_cast<std::uint8_t>(plain[i]) ^ kScrambleKey[(i - 1) % 7])
        << i;
  }
  EXPECT_EQ(RunTool(folder, {"arc", "scramble-script", folder.File("x.scr"), folder.File("y.scr")}),
            1);
}

TEST(ArcToolTest, BadArgumentsFailWithAMessage) {
  TempFolder folder;
  folder.Write("in/a.txt", "a");
  folder.Write("in/A.TXT", "b");
  folder.Write("long/abcdefghijklmnopqrstuvwxyz.txt", "c");
  folder.Write("ok/a.txt", "a");
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"nonsense"},
      {"arc"},
      {"arc", "frobnicate"},
      {"arc", "pack", folder.File("o.dat")},
      {"arc", "pack", folder.File("o.dat"), folder.File("missing")},
      {"arc", "pack", folder.File("o.dat"), folder.File("in")},    // duplicate ignoring case
      {"arc", "pack", folder.File("o.dat"), folder.File("long")},  // name over 23 bytes
      {"arc", "pack", folder.File("o.dat"), folder.File("ok"), "--bogus"},
      {"arc", "pack", folder.File("o.dat"), folder.File("ok"), "--raw"},
      {"arc", "list", folder.File("missing.dat")},
      {"arc", "list", folder.File("ok/a.txt")},
      {"arc", "extract", folder.File("missing.dat")},
      {"arc", "scramble-script", folder.File("missing.scr"), folder.File("x.scr")},
  };
  for (const std::vector<std::string>& arguments : cases) {
    std::string label;
    for (const std::string& argument : arguments) label += argument + " ";
    EXPECT_EQ(RunTool(folder, arguments), 1) << label;
    EXPECT_FALSE(folder.Read("stderr.txt").empty()) << label;
  }
  EXPECT_FALSE(folder.Exists("o.dat"));
  EXPECT_EQ(RunTool(folder, {"--help"}), 0);
  EXPECT_NE(folder.Read("stdout.txt").find("arc"), std::string::npos);
  EXPECT_EQ(RunTool(folder, {"arc", "--help"}), 0);
  EXPECT_NE(folder.Read("stdout.txt").find("scramble-script"), std::string::npos);
}

}  // namespace
}  // namespace halcyra

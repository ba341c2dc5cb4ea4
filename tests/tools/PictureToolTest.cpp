#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/graphics/GraphicsFixtures.h"
#include "tests/support/RunTool.h"
#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

using testing::Bytes;
using testing::MakeBmp;
using testing::MakePsd;
using testing::PsdDocument;
using testing::RawBlock;
using testing::RunTool;
using testing::TempFolder;

std::string AsText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The RGBA bytes of a small PNG as halcyra-tool writes it: one stored deflate block after the
// two-byte zlib header, each row a filter byte and the pixels.
std::string PngRows(const std::string& png) {
  const std::size_t idat = png.find("IDAT");
  if (idat == std::string::npos) return {};
  const std::size_t length =
      static_cast<unsigned char>(png[idat + 7]) | static_cast<unsigned char>(png[idat + 8]) << 8;
  return png.substr(idat + 4 + 2 + 5, length);
}

// A 3 x 2 document with transparency: layer 1 covers (1..2, 1) with red 7 8, green 9 10,
// blue 11 12 and transparency 200 100.
Bytes LayeredPsd() {
  PsdDocument document;
  document.channels = 4;
  document.width = 3;
  document.height = 2;
  document.layerSection = true;
  document.storedLayerCount = -2;
  document.layers.push_back(
      {0,
       0,
       1,
       1,
       {{0, RawBlock({1})}, {1, RawBlock({2})}, {2, RawBlock({3})}, {-1, RawBlock({255})}}});
  document.layers.push_back({1,
                             1,
                             2,
                             3,
                             {{0, RawBlock({7, 8})},
                              {1, RawBlock({9, 10})},
                              {2, RawBlock({11, 12})},
                              {-1, RawBlock({200, 100})}}});
  document.merged = RawBlock(Bytes(4 * 6, 0));
  return MakePsd(document);
}

TEST(PictureToolTest, WritesTheDecodedPixelsOfALooseBitmap) {
  TempFolder folder;
  // 2 x 1, 24 bits: blue, green, red per pixel, padded to 8 bytes.
  folder.Write("small.bmp", AsText(MakeBmp(2, 1, 24, 0, {}, {1, 2, 3, 4, 5, 6, 0, 0})));
  ASSERT_EQ(RunTool(folder, {"picture", folder.File("small.bmp"), "--out", folder.File("o.png")}),
            0)
      << folder.Read("stderr.txt");
  EXPECT_EQ(folder.Read("stdout.txt"), "2x1 frames=1\n");
  const std::string expected = {0, 3, 2, 1, '\xff', 6, 5, 4, '\xff'};
  EXPECT_EQ(PngRows(folder.Read("o.png")), expected);
}

TEST(PictureToolTest, FindsArchivedLayersAndKeepsTheirAlpha) {
  TempFolder folder;
  folder.Write("in/Layers.psd", AsText(LayeredPsd()));
  ASSERT_EQ(
      RunTool(folder, {"arc", "pack", folder.File("cg.dat"), folder.File("in"), "--scramble"}), 0)
      << folder.Read("stderr.txt");
  ASSERT_EQ(RunTool(folder, {"picture", "cg/layers.psd", "--dir", folder.Path().string(), "--frame",
                             "1", "--out", folder.File("layer.png")}),
            0)
      << folder.Read("stderr.txt");
  EXPECT_EQ(folder.Read("stdout.txt"), "3x2 frames=2\n");
  const std::string expected = {0, 0, 0, 0, 0, 0, 0, 0,  0,      0, 0,  0,  0,  //
                                0, 0, 0, 0, 0, 7, 9, 11, '\xc8', 8, 10, 12, 100};
  EXPECT_EQ(PngRows(folder.Read("layer.png")), expected);
}

TEST(PictureToolTest, InfoOnlyAndFailures) {
  TempFolder folder;
  folder.Write("p.psd", AsText(LayeredPsd()));
  ASSERT_EQ(RunTool(folder,
                    {"picture", folder.File("p.psd"), "--info", "--out", folder.File("none.png")}),
            0);
  EXPECT_EQ(folder.Read("stdout.txt"), "3x2 frames=2\n");
  EXPECT_FALSE(folder.Exists("none.png"));

  EXPECT_EQ(RunTool(folder, {"picture", folder.File("p.psd"), "--frame", "2", "--out",
                             folder.File("none.png")}),
            1);
  EXPECT_NE(folder.Read("stderr.txt").find("no frame 2"), std::string::npos);

  folder.Write("broken.psd", "8BPS");
  EXPECT_EQ(RunTool(folder, {"picture", folder.File("broken.psd")}), 1);
  EXPECT_NE(folder.Read("stderr.txt").find("イメージ情報が取得できない"), std::string::npos)
      << folder.Read("stderr.txt");

  EXPECT_EQ(RunTool(folder, {"picture", "--dir", folder.Path().string(), "missing.bmp"}), 1);
  EXPECT_NE(folder.Read("stderr.txt").find("ファイルが開けない"), std::string::npos);
}

}  // namespace
}  // namespace halcyra

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/CDIBitmap.h"
#include "platform/SdlAcceleratedRenderer.h"
#include "platform/ShiftJis.h"
#include "resource/CArcFile.h"
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
using testing::RecordingReporter;
using testing::TempFolder;
using Pixels = std::vector<std::uint32_t>;

using testing::Argb;

using testing::Sjis;

Pixels FramePixels(const CDIBitmap& bitmap, int frame) {
  const std::uint32_t* bits = bitmap.GetBits(frame);
  return Pixels(bits, bits + bitmap.GetWidth() * bitmap.GetHeight());
}

// Width 3: each stored row is 9 bytes of pixels and 3 of padding; the bottom row comes first.
Bytes Bmp24Width3() {
  const Bytes rows = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0, 0, 0,  //
                      11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0};
  return MakeBmp(3, 2, 24, 0, {}, rows);
}

const Pixels kBmp24Pixels = {Argb(255, 13, 12, 11), Argb(255, 16, 15, 14), Argb(255, 19, 18, 17),
                             Argb(255, 3, 2, 1),    Argb(255, 6, 5, 4),    Argb(255, 9, 8, 7)};

const std::vector<std::uint32_t> kPalette = {0x000A0B0C, 0x00102030, 0x00FFEEDD};

class CDIBitmapTest : public ::testing::Test {
 protected:
  CDIBitmapTest() { context_.errors = &reporter_; }

  RecordingReporter reporter_;
  GraphicsContext context_;
};

TEST_F(CDIBitmapTest, TrueColourRowsArePaddedAndStoredBottomUp) {
  const Bytes file = Bmp24Width3();
  ASSERT_EQ(file.size(), 54u + 24u);
  CDIBitmap bitmap(context_);
  ASSERT_TRUE(bitmap.LoadBmpData(file, "cg\\a.bmp"));
  EXPECT_EQ(bitmap.GetWidth(), 3);
  EXPECT_EQ(bitmap.GetHeight(), 2);
  EXPECT_EQ(bitmap.GetFrameCount(), 1);
  EXPECT_TRUE(bitmap.HasAlpha());
  EXPECT_EQ(FramePixels(bitmap, 0), kBmp24Pixels);
}

TEST_F(CDIBitmapTest, IndexedRowsGoThroughThePalette) {
  // Width 3, stride 4; index 5 lies beyond the 3-entry palette and gives opaque black.
  const Bytes rows = {0, 1, 2, 9,  //
                      2, 5, 0, 9};
  CDIBitmap bitmap(context_);
  ASSERT_TRUE(bitmap.LoadBmpData(MakeBmp(3, 2, 8, 0, kPalette, rows), "cg\\i.bmp"));
  EXPECT_EQ(FramePixels(bitmap, 0), (Pixels{0xFFFFEEDD, 0xFF000000, 0xFF0A0B0C,  //
                                            0xFF0A0B0C, 0xFF102030, 0xFFFFEEDD}));
}

TEST_F(CDIBitmapTest, Rle8FillsFromTheBottomWithItsEscapes) {
  // Width 4, height 3. Bottom row: 2 x index 1, then 3 literal indices 2 0 1 (the last beyond
  // the edge) padded to even; a 0 2 skip that does not move; one index 2; then a run of 4.
  const Bytes stream = {2, 1, 0, 3, 2, 0, 1, 0,  //
                        0, 0,                    // end of line
                        0, 2, 5, 5,              // skipped, no move
                        1, 2, 0, 0,              // one pixel, end of line
                        4, 1, 0, 1};             // top row, end of picture
  CDIBitmap bitmap(context_);
  ASSERT_TRUE(bitmap.LoadBmpData(MakeBmp(4, 3, 8, 1, kPalette, stream), "cg\\r.bmp"));
  const std::uint32_t p0 = 0xFF0A0B0C;
  const std::uint32_t p1 = 0xFF102030;
  const std::uint32_t p2 = 0xFFFFEEDD;
  EXPECT_EQ(FramePixels(bitmap, 0), (Pixels{p1, p1, p1, p1,  //
                                            p2, p0, p0, p0,  //
                                            p1, p1, p2, p0}));
}

TEST_F(CDIBitmapTest, DataOffsetOfTheFileHeaderIsHonoured) {
  Bytes rows = {7, 7, 7, 7};  // four bytes nobody should read, then the real rows
  const Bytes real = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0, 0, 0,
                      11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0};
  rows.insert(rows.end(), real.begin(), real.end());
  CDIBitmap bitmap(context_);
  ASSERT_TRUE(bitmap.LoadBmpData(MakeBmp(3, 2, 24, 0, {}, rows, 58), "cg\\o.bmp"));
  EXPECT_EQ(FramePixels(bitmap, 0), kBmp24Pixels);
}

TEST_F(CDIBitmapTest, BrokenBitmapsAreRefusedWithTheirReason) {
  struct Case {
    const char* label;
    Bytes file;
    const char* message;  // UTF-8
  };
  Bytes truncated = Bmp24Width3();
  truncated.resize(truncated.size() - 4);
  Bytes endless = MakeBmp(2, 1, 8, 1, kPalette, {2, 1, 0, 0});  // no end of picture
  const Case cases[] = {
      {"16 bits", MakeBmp(1, 1, 16, 0, {}, {0, 0, 0, 0}), "サポートされない色数"},
      {"32 bits", MakeBmp(1, 1, 32, 0, {}, {0, 0, 0, 0}), "サポートされない色数"},
      {"RLE4", MakeBmp(1, 1, 8, 2, kPalette, {0, 1}), "サポートされない色数"},
      {"truncated rows", truncated, "ファイルが正常に読み込めない"},
      {"truncated header", Bytes(30, 'B'), "ファイルが正常に読み込めない"},
      {"RLE without its end", endless, "ファイルが正常に読み込めない"},
      {"zero width", MakeBmp(0, 1, 24, 0, {}, {0, 0, 0, 0}), "ビットマップが作成できません"},
      {"absurd width", MakeBmp(100000, 1, 24, 0, {}, {}), "ビットマップが作成できません"},
  };
  for (const Case& c : cases) {
    reporter_.reports.clear();
    CDIBitmap bitmap(context_);
    EXPECT_FALSE(bitmap.LoadBmpData(c.file, "cg\\bad.bmp")) << c.label;
    EXPECT_FALSE(bitmap.IsValid()) << c.label;
    ASSERT_FALSE(reporter_.reports.empty()) << c.label;
    EXPECT_EQ(reporter_.reports[0].message, Sjis(c.message)) << c.label;
  }
}

TEST_F(CDIBitmapTest, CreateMakesClearOrOpaqueFramesAndRefusesAbsurdSizes) {
  CDIBitmap bitmap(context_);
  ASSERT_TRUE(bitmap.Create(3, 2, 4, true, false));
  EXPECT_TRUE(bitmap.HasAlpha());
  EXPECT_EQ(bitmap.GetFrameCount(), 4);
  EXPECT_EQ(FramePixels(bitmap, 3), Pixels(6, 0xFF000000));
  ASSERT_TRUE(bitmap.Create(3, 2, 1, false, false));
  EXPECT_FALSE(bitmap.HasAlpha());
  EXPECT_EQ(FramePixels(bitmap, 0), Pixels(6, 0));
  EXPECT_EQ(bitmap.GetBits(1), nullptr);

  struct Size {
    int width, height, frames;
  };
  for (const Size& size :
       {Size{0, 5, 1}, Size{5, -1, 1}, Size{5, 5, 0}, Size{5, 5, 201}, Size{20000, 5, 1}}) {
    reporter_.reports.clear();
    EXPECT_FALSE(bitmap.Create(size.width, size.height, size.frames, false, false));
    EXPECT_FALSE(bitmap.IsValid());
    EXPECT_EQ(bitmap.GetWidth(), 0);
    ASSERT_EQ(reporter_.reports.size(), 1u);
    EXPECT_EQ(reporter_.reports[0].message, Sjis("ビットマップが作成できません"));
  }
}

TEST_F(CDIBitmapTest, SoftwareFillAlwaysFillsFrameZero) {
  CDIBitmap bitmap(context_);
  ASSERT_TRUE(bitmap.Create(2, 2, 3, false, false));
  EXPECT_TRUE(bitmap.Fill(0x12345678, 2));
  EXPECT_EQ(FramePixels(bitmap, 0), Pixels(4, 0x12345678));
  EXPECT_EQ(FramePixels(bitmap, 2), Pixels(4, 0));
}

TEST_F(CDIBitmapTest, AcceleratedFillFillsTheGivenFrameAndReachesTheTexture) {
  auto renderer = SdlAcceleratedRenderer::CreateOffscreen(8, 8);
  ASSERT_NE(renderer, nullptr);
  context_.accelerated = renderer.get();
  CDIBitmap bitmap(context_);
  ASSERT_TRUE(bitmap.Create(2, 2, 3, false, true));
  EXPECT_TRUE(bitmap.Fill(0xFF336699, 2));
  EXPECT_EQ(FramePixels(bitmap, 0), Pixels(4, 0));
  EXPECT_EQ(FramePixels(bitmap, 2), Pixels(4, 0xFF336699));
  // The render target's texture holds the uploaded pixels: read them back through the device.
  AcceleratedTexture* texture = bitmap.GetTargetSurface(2);
  ASSERT_NE(texture, nullptr);
  Pixels readBack(4, 0);
  ASSERT_TRUE(renderer->ReadPixels(texture, readBack.data(), 2));
  EXPECT_EQ(readBack, Pixels(4, 0xFF336699));
  EXPECT_TRUE(reporter_.boxes.empty());
}

TEST_F(CDIBitmapTest, PicturesLoadByExtensionFromLooseFiles) {
  TempFolder folder;
  const Bytes bmp = Bmp24Width3();
  folder.Write("cg/Title.BMP", std::string(bmp.begin(), bmp.end()));
  PsdDocument document;
  document.width = 1;
  document.height = 1;
  document.merged = RawBlock({1, 2, 3});
  const Bytes psd = MakePsd(document);
  folder.Write("cg/pic.psd", std::string(psd.begin(), psd.end()));
  const std::string base = folder.Path().string() + "\\cg\\";

  CDIBitmap bitmap(context_);
  ASSERT_TRUE(bitmap.LoadPicture(base + "Title.BMP"));
  EXPECT_EQ(FramePixels(bitmap, 0), kBmp24Pixels);
  ASSERT_TRUE(bitmap.LoadPicture(base + "pic.psd"));
  EXPECT_EQ(FramePixels(bitmap, 0), Pixels{Argb(255, 1, 2, 3)});
  EXPECT_TRUE(reporter_.reports.empty());

  EXPECT_FALSE(bitmap.LoadPicture(base + "missing.bmp"));
  EXPECT_FALSE(bitmap.LoadPicture(base + "missing.psd"));
  EXPECT_EQ(reporter_.Messages(),
            (std::vector<std::string>{Sjis("メモリが足りない、またはファイルが開けない"),
                                      Sjis("ファイルが開けない")}));
  EXPECT_EQ(reporter_.reports[0].detail, base + "missing.bmp");
}

TEST_F(CDIBitmapTest, ArchivedCompressedPicturesLoadLikeLooseOnes) {
  TempFolder folder;
  PsdDocument document;
  document.width = 40;
  document.height = 30;
  Bytes planes;
  for (int i = 0; i < 3 * 40 * 30; ++i) planes.push_back(static_cast<std::uint8_t>(i / 7));
  document.merged = RawBlock(planes);
  const Bytes psd = MakePsd(document);
  const Bytes bmp = Bmp24Width3();
  folder.Write("in/stored.psd", std::string(psd.begin(), psd.end()));
  folder.Write("in/stored.bmp", std::string(bmp.begin(), bmp.end()));
  ASSERT_EQ(testing::RunTool(
                folder, {"arc", "pack", folder.File("cg.dat"), folder.File("in"), "--scramble"}),
            0)
      << folder.Read("stderr.txt");
  CArcFile archive;
  ASSERT_TRUE(archive.Open(folder.File("cg.dat"), true, false));
  context_.pictures = &archive;

  CDIBitmap loose(context_);
  ASSERT_TRUE(loose.LoadPsdData(psd, "loose.psd"));
  CDIBitmap stored(context_);
  ASSERT_TRUE(stored.LoadPicture("cg\\nowhere\\STORED.psd"));
  EXPECT_EQ(FramePixels(stored, 0), FramePixels(loose, 0));
  ASSERT_TRUE(stored.LoadPicture("cg\\stored.bmp"));
  EXPECT_EQ(FramePixels(stored, 0), kBmp24Pixels);
  EXPECT_TRUE(reporter_.reports.empty());
}

}  // namespace
}  // namespace halcyra

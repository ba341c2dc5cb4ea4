#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <string>

#include "platform/FreeTypeFontRasterizer.h"

namespace halcyra {
namespace {

// "ＭＳ ゴシック" in Shift-JIS: the face the games use by default.
constexpr char kDefaultFace[] = "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e";

constexpr std::uint16_t kHiraganaA = 0x82A0;  // あ
constexpr std::uint16_t kKanjiOne = 0x88EA;   // 一: a horizontal bar
constexpr std::uint16_t kLatinA = 0x41;
constexpr std::uint16_t kLatinG = 0x67;       // g: descends below the baseline
constexpr std::uint16_t kVerticalBar = 0x7C;  // |: tall and narrow
constexpr std::uint16_t kSpace = 0x20;

FontRequest Request(const char* face, int height, bool bold = false, bool italic = false) {
  return FontRequest{face, height, bold, italic};
}

int TotalCoverage(const GlyphBitmap& glyph) {
  return std::accumulate(glyph.levels.begin(), glyph.levels.end(), 0);
}

int Level(const GlyphBitmap& glyph, int x, int y) {
  return glyph.levels[static_cast<std::size_t>(y * glyph.pitch + x)];
}

bool RowHasInk(const GlyphBitmap& glyph, int y) {
  for (int x = 0; x < glyph.width; ++x) {
    if (Level(glyph, x, y) > 0) return true;
  }
  return false;
}

bool ColumnHasInk(const GlyphBitmap& glyph, int x) {
  for (int y = 0; y < glyph.height; ++y) {
    if (Level(glyph, x, y) > 0) return true;
  }
  return false;
}

int FirstInkedColumn(const GlyphBitmap& glyph, int y) {
  for (int x = 0; x < glyph.width; ++x) {
    if (Level(glyph, x, y) > 0) return x;
  }
  return glyph.width;
}

class FontRasterizerTest : public testing::Test {
 protected:
  int Open(const FontRequest& request) {
    const int font = rasterizer_.OpenFont(request);
    EXPECT_GE(font, 0) << request.faceName << " " << request.height;
    return font;
  }

  GlyphBitmap Render(int font, std::uint16_t code) {
    GlyphBitmap glyph;
    EXPECT_TRUE(rasterizer_.RenderGlyph(font, code, glyph)) << std::hex << code;
    return glyph;
  }

  FreeTypeFontRasterizer rasterizer_;
};

TEST_F(FontRasterizerTest, WindowsGothicNamesResolveToTheIpaGothicFile) {
  const std::string file = rasterizer_.FaceFileOf(Open(Request(kDefaultFace, 24)));
  EXPECT_TRUE(std::filesystem::is_regular_file(file)) << file;
  for (const char* name : {"MS Gothic", "ms gothic", "IPAGothic"}) {
    EXPECT_EQ(rasterizer_.FaceFileOf(Open(Request(name, 24))), file) << name;
  }
}

// The proportional Windows face maps to the proportional IPA face, where an "i" is narrower than
// a "W"; in the default face every half-width character advances alike.
TEST_F(FontRasterizerTest, ProportionalGothicNameResolvesToTheProportionalFace) {
  constexpr char kProportionalFace[] =  // "ＭＳ Ｐゴシック"
      "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
  constexpr std::uint16_t kNarrow = 0x69;  // i
  constexpr std::uint16_t kWide = 0x57;    // W
  const int monospaced = Open(Request(kDefaultFace, 24));
  const int proportional = Open(Request(kProportionalFace, 24));
  EXPECT_NE(rasterizer_.FaceFileOf(proportional), rasterizer_.FaceFileOf(monospaced));
  EXPECT_LT(Render(proportional, kNarrow).advance, Render(proportional, kWide).advance);
  EXPECT_EQ(Render(monospaced, kNarrow).advance, Render(monospaced, kWide).advance);
}

// In the monospaced Japanese face a full-width character advances one em and a half-width one
// half an em; every box lies tight around its ink, within the character's cell.
TEST_F(FontRasterizerTest, BoxesAreTightAndAdvancesFollowTheCellWidths) {
  struct Case {
    std::uint16_t code;
    int advance;
  };
  const int font = Open(Request(kDefaultFace, 24));
  for (const Case& c : {Case{kHiraganaA, 24}, Case{kKanjiOne, 24}, Case{kLatinA, 12},
                        Case{kLatinG, 12}, Case{kVerticalBar, 12}}) {
    SCOPED_TRACE(testing::Message() << std::hex << c.code);
    const GlyphBitmap glyph = Render(font, c.code);
    EXPECT_EQ(glyph.advance, c.advance);
    ASSERT_GT(glyph.width, 0);
    ASSERT_GT(glyph.height, 0);
    EXPECT_TRUE(RowHasInk(glyph, 0));
    EXPECT_TRUE(RowHasInk(glyph, glyph.height - 1));
    EXPECT_TRUE(ColumnHasInk(glyph, 0));
    EXPECT_TRUE(ColumnHasInk(glyph, glyph.width - 1));
    EXPECT_GE(glyph.originX, 0);
    EXPECT_LE(glyph.originX + glyph.width, glyph.advance);
  }
}

TEST_F(FontRasterizerTest, LevelsRunToSixtyFourInRowsPaddedToFourBytes) {
  const int font = Open(Request(kDefaultFace, 24));
  for (const std::uint16_t code : {kHiraganaA, kKanjiOne, kLatinA, kLatinG, kVerticalBar}) {
    SCOPED_TRACE(testing::Message() << std::hex << code);
    const GlyphBitmap glyph = Render(font, code);
    EXPECT_EQ(glyph.pitch % 4, 0);
    EXPECT_GE(glyph.pitch, glyph.width);
    EXPECT_LT(glyph.pitch, glyph.width + 4);
    ASSERT_EQ(glyph.levels.size(), static_cast<std::size_t>(glyph.pitch * glyph.height));
    EXPECT_LE(*std::max_element(glyph.levels.begin(), glyph.levels.end()), 64);
    for (int y = 0; y < glyph.height; ++y) {
      for (int x = glyph.width; x < glyph.pitch; ++x) EXPECT_EQ(Level(glyph, x, y), 0);
    }
  }
  // Solid strokes several pixels wide are fully covered somewhere.
  for (const std::uint16_t code : {kHiraganaA, kKanjiOne, kLatinA}) {
    const GlyphBitmap glyph = Render(font, code);
    EXPECT_EQ(*std::max_element(glyph.levels.begin(), glyph.levels.end()), 64) << std::hex << code;
  }
}

TEST_F(FontRasterizerTest, ShapesSitWhereTheirCharactersDo) {
  const int font = Open(Request(kDefaultFace, 24));
  const int ascent = rasterizer_.Ascent(font);
  EXPECT_GE(ascent, 24 * 3 / 4);
  EXPECT_LE(ascent, 24);

  const GlyphBitmap bar = Render(font, kKanjiOne);  // a thin bar across the middle of the em
  EXPECT_GT(bar.width, 5 * bar.height);
  EXPECT_GT(bar.originY - bar.height, 0);
  EXPECT_LT(bar.originY, ascent * 3 / 4);

  const GlyphBitmap upright = Render(font, kVerticalBar);
  EXPECT_GT(upright.height, 4 * upright.width);

  const GlyphBitmap kana = Render(font, kHiraganaA);  // nearly fills the em box
  EXPECT_GE(kana.width, 24 * 3 / 5);
  EXPECT_GE(kana.height, 24 * 3 / 5);

  const GlyphBitmap capital = Render(font, kLatinA);  // stands on the baseline
  EXPECT_GT(capital.originY, 0);
  EXPECT_LE(capital.originY, ascent);
  EXPECT_LE(std::abs(capital.originY - capital.height), 1);

  const GlyphBitmap descender = Render(font, kLatinG);
  EXPECT_GT(descender.height, descender.originY);
}

TEST_F(FontRasterizerTest, SpaceHasNoBoxButAnAdvance) {
  const GlyphBitmap space = Render(Open(Request(kDefaultFace, 24)), kSpace);
  EXPECT_EQ(space.width, 0);
  EXPECT_EQ(space.height, 0);
  EXPECT_EQ(space.pitch, 0);
  EXPECT_TRUE(space.levels.empty());
  EXPECT_EQ(space.advance, 12);
}

// The IPA faces have no bold: thickening by 1/24 em adds ink and one pixel of advance at 24.
TEST_F(FontRasterizerTest, BoldIsSynthesisedWithMoreInk) {
  const int regular = Open(Request(kDefaultFace, 24));
  const int bold = Open(Request(kDefaultFace, 24, true));
  for (const std::uint16_t code : {kHiraganaA, kKanjiOne, kLatinA}) {
    SCOPED_TRACE(testing::Message() << std::hex << code);
    const GlyphBitmap thin = Render(regular, code);
    const GlyphBitmap thick = Render(bold, code);
    EXPECT_GT(TotalCoverage(thick), TotalCoverage(thin) * 5 / 4);
    EXPECT_EQ(thick.advance, thin.advance + 1);
  }
}

// Slanting a 24-pixel upright stroke by about 12 degrees moves its top some 5 pixels right.
TEST_F(FontRasterizerTest, ItalicIsSynthesisedAsASlant) {
  const GlyphBitmap upright = Render(Open(Request(kDefaultFace, 24)), kVerticalBar);
  const GlyphBitmap slanted = Render(Open(Request(kDefaultFace, 24, false, true)), kVerticalBar);
  EXPECT_GE(slanted.width, upright.width + 3);
  EXPECT_GE(FirstInkedColumn(slanted, 0), FirstInkedColumn(slanted, slanted.height - 1) + 3);
  EXPECT_EQ(slanted.advance, upright.advance);
}

// Unknown names, and a face that cannot show Japanese, still give Japanese glyphs.
TEST_F(FontRasterizerTest, UnknownFaceNamesFallBackToAJapaneseFace) {
  for (const char* name : {"No Such Face", "DejaVu Sans", ""}) {
    SCOPED_TRACE(name);
    const int font = Open(Request(name, 24));
    EXPECT_FALSE(rasterizer_.FaceFileOf(font).empty());
    const GlyphBitmap kana = Render(font, kHiraganaA);
    EXPECT_GT(TotalCoverage(kana), 0);
  }
}

TEST_F(FontRasterizerTest, CodesThatAreNoCharacterGiveNothing) {
  const int font = Open(Request(kDefaultFace, 24));
  struct Case {
    std::uint16_t code;
    const char* why;
  };
  for (const Case& c : {Case{0x8540, "unassigned pair"}, Case{0x0082, "lead byte alone"},
                        Case{0x8220, "lead byte before a non-trail byte"},
                        Case{0x2041, "two bytes without a lead byte"}}) {
    GlyphBitmap glyph;
    EXPECT_FALSE(rasterizer_.RenderGlyph(font, c.code, glyph)) << c.why;
    EXPECT_FALSE(rasterizer_.RenderGlyph(font, c.code, glyph)) << c.why << " (asked again)";
  }
}

TEST_F(FontRasterizerTest, HeightSetsTheEmBox) {
  for (const int height : {12, 72}) {
    SCOPED_TRACE(height);
    const int font = Open(Request(kDefaultFace, height));
    const GlyphBitmap kana = Render(font, kHiraganaA);
    EXPECT_EQ(kana.advance, height);
    EXPECT_GE(kana.height, height * 3 / 5);
    EXPECT_LE(kana.height, height);
    EXPECT_GE(rasterizer_.Ascent(font), height * 3 / 4);
    EXPECT_LE(rasterizer_.Ascent(font), height);
  }
  for (const int height : {0, -24, FreeTypeFontRasterizer::kMaxHeight + 1}) {
    EXPECT_EQ(rasterizer_.OpenFont(Request(kDefaultFace, height)), -1) << height;
  }
}

TEST_F(FontRasterizerTest, ClosedAndUnknownIdsGiveNothingAndIdsAreReused) {
  const int first = Open(Request(kDefaultFace, 24));
  const int second = Open(Request(kDefaultFace, 36));
  rasterizer_.CloseFont(first);
  GlyphBitmap glyph;
  for (const int id : {first, -1, second + 1}) {
    EXPECT_FALSE(rasterizer_.RenderGlyph(id, kHiraganaA, glyph)) << id;
    EXPECT_EQ(rasterizer_.Ascent(id), 0) << id;
    EXPECT_TRUE(rasterizer_.FaceFileOf(id).empty()) << id;
  }
  EXPECT_EQ(Render(second, kHiraganaA).advance, 36);
  EXPECT_EQ(Open(Request(kDefaultFace, 48)), first);
}

}  // namespace
}  // namespace halcyra

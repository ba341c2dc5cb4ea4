#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "graphics/CDIBSprite.h"
#include "graphics/CDIBitmap.h"
#include "graphics/GlyphTextRenderer.h"
#include "platform/FreeTypeFontRasterizer.h"
#include "tests/graphics/GraphicsFixtures.h"

namespace halcyra {
namespace {

using testing::RecordingReporter;

// Shift-JIS pieces of the test texts.
constexpr char kA[] = "\x82\xa0";                           // あ
constexpr char kI[] = "\x82\xa2";                           // い
constexpr char kMaru[] = "\x81\x42";                        // 。
constexpr char kOpen[] = "\x81\x75";                        // 「
constexpr char kIdeoSpace[] = "\x81\x40";                   // 　
constexpr char kNameCode[] = "\x81\x9c\x96\xbc\x81\x9c";    // ●名●
constexpr char kFamilyCode[] = "\x81\xa3\x8e\x81\x81\xa3";  // ▲氏▲
constexpr char kHero[] = "\x88\xea\x96\xe7";                // 一也
constexpr char kOverflowText[] =                            // メッセージがあふれました
    "\x83\x81\x83\x62\x83\x5a\x81\x5b\x83\x57\x82\xaa\x82\xa0\x82\xd3\x82\xea\x82\xdc\x82\xb5"
    "\x82\xbd";
constexpr char kBadCodeText[] =  // 不正な制御コード
    "\x95\x73\x90\xb3\x82\xc8\x90\xa7\x8c\xe4\x83\x52\x81\x5b\x83\x68";
constexpr std::uint16_t kCodeA = 0x82a0;
constexpr std::uint16_t kCodeI = 0x82a2;

constexpr int kAscent = 20;
// Every fake glyph is one fully covered pixel one column right of and two rows below the pen
// position, so each drawn character shows as a single opaque pixel inside its outline box.
constexpr int kDotX = 1;
constexpr int kDotY = 2;

std::string Repeat(std::string_view piece, int times) {
  std::string text;
  for (int k = 0; k < times; ++k) text += piece;
  return text;
}

GlyphBitmap Dot() {
  GlyphBitmap glyph;
  glyph.width = 1;
  glyph.height = 1;
  glyph.pitch = 4;
  glyph.originX = kDotX;
  glyph.originY = kAscent - kDotY;
  glyph.advance = 24;
  glyph.levels = {64, 0, 0, 0};
  return glyph;
}

// Box glyphs of a fixed shape for every code, so that layout is exact whatever font is
// installed; remembers which font drew which code.
class BoxRasterizer : public FontRasterizer {
 public:
  int OpenFont(const FontRequest& request) override {
    heights.push_back(request.height);
    return static_cast<int>(heights.size()) - 1;
  }
  bool RenderGlyph(int font, std::uint16_t code, GlyphBitmap& out) override {
    if (font < 0 || font >= static_cast<int>(heights.size()) || closed.contains(font)) return false;
    if (code > 0xFF && (code & 0xFF) < 0x40) return false;  // no valid trail byte
    drawn.emplace_back(font, code);
    out = glyph;
    return true;
  }
  int Ascent(int) const override { return kAscent; }
  std::string FaceFileOf(int) const override { return "box"; }
  void CloseFont(int font) override { closed.insert(font); }

  GlyphBitmap glyph = Dot();
  std::vector<int> heights;
  std::set<int> closed;
  std::vector<std::pair<int, std::uint16_t>> drawn;
};

struct Pen {
  int x;
  int y;
  bool operator==(const Pen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Pen& pen) {
  return out << "(" << pen.x << ", " << pen.y << ")";
}

// Pens of count characters on one line, one column apart.
std::vector<Pen> Line(int y, int firstColumn, int count, int e) {
  std::vector<Pen> pens;
  for (int k = 0; k < count; ++k) pens.push_back({(firstColumn + k) * e, y});
  return pens;
}

std::vector<Pen> Join(std::vector<Pen> a, const std::vector<Pen>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class GlyphTextRendererTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 240;

  GlyphTextRendererTest()
      : renderer_(rasterizer_, {readGrey_, readOutline_, hero_, family_, debug_}, &reporter_),
        random_(1),
        holder_(context_, random_),
        target_(context_) {
    font_ = renderer_.CreateFont({"box", 24, false, false});
    ruby_ = renderer_.CreateFont({"box", 12, false, false});
    renderer_.SetRubyFont(ruby_);
    target_.Create(kWidth, kHeight, 1, false, false);
  }

  // Types text as a white message of e-pixel characters on a 20 x 3 grid.
  void Type(const std::string& text, bool textFlag = true, int e = 24, int rows = 3,
            int indent = -1, bool lineStart = false) {
    ASSERT_TRUE(holder_.SetTextDirect(text, font_, 0xFFFFFF, e, 20, rows, textFlag));
    holder_.SetPosition(originX_, originY_);
    ASSERT_TRUE(renderer_.TypeText(holder_, 20, rows, &target_, wait_, indent, lineStart,
                                   [this](int& count) { waits_.push_back(count); }));
  }

  std::uint32_t At(int x, int y) const { return target_.GetBits(0)[y * kWidth + x]; }

  // Pen positions of the drawn characters, relative to the holder, top to bottom and left to
  // right (the order of typing for text without ruby).
  std::vector<Pen> Pens() const {
    std::vector<Pen> pens;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        if (At(x, y) >> 24 == 0xFF) pens.push_back({x - kDotX - originX_, y - kDotY - originY_});
      }
    }
    return pens;
  }

  std::vector<std::uint16_t> Codes() const {
    std::vector<std::uint16_t> codes;
    for (const auto& [font, code] : rasterizer_.drawn) codes.push_back(code);
    return codes;
  }

  int readGrey_ = 100;
  int readOutline_ = 50;
  std::string hero_ = kHero;
  std::string family_;
  bool debug_ = true;
  BoxRasterizer rasterizer_;
  RecordingReporter reporter_;
  GlyphTextRenderer renderer_;
  GraphicsContext context_;
  std::minstd_rand random_;
  CDIBSprite holder_;
  CDIBitmap target_;
  const TextFont* font_ = nullptr;
  const TextFont* ruby_ = nullptr;
  int originX_ = 0;
  int originY_ = 0;
  int wait_ = 3;
  std::vector<int> waits_;
};

TEST_F(GlyphTextRendererTest, LinesBreakByTheGridWithKinsokuOnlyUnderTheTextFlag) {
  struct Case {
    const char* name;
    std::string text;
    bool textFlag;
    std::vector<Pen> pens;
  };
  const std::vector<Case> cases = {
      // The last column takes only closing punctuation: 19 then 6.
      {"flag", Repeat(kA, 25), true, Join(Line(0, 0, 19, 24), Line(32, 0, 6, 24))},
      {"flag, 20th is 。", Repeat(kA, 19) + kMaru + Repeat(kA, 5), true,
       Join(Line(0, 0, 20, 24), Line(32, 0, 5, 24))},
      {"no flag", Repeat(kA, 25), false, Join(Line(0, 0, 20, 24), Line(32, 0, 5, 24))},
      // A line feed right after a character typed in the last column makes no empty line.
      {"no flag, line feed at the break", Repeat(kA, 20) + "\n" + kA, false,
       Join(Line(0, 0, 20, 24), Line(32, 0, 1, 24))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    target_.Fill(0, 0);
    Type(c.text, c.textFlag);
    EXPECT_EQ(Pens(), c.pens);
  }
}

TEST_F(GlyphTextRendererTest, HangingIndentContinuesAfterTheBracketWithTheLineStartFlag) {
  struct Case {
    bool lineStart;
    int continuationColumn;
  };
  for (const Case& c : {Case{true, 1}, Case{false, 0}}) {
    SCOPED_TRACE(c.lineStart);
    target_.Fill(0, 0);
    Type(kOpen + Repeat(kA, 30), true, 24, 3, -1, c.lineStart);
    // 「 in column 0, 18 characters in columns 1..18, the other 12 on the next line.
    EXPECT_EQ(Pens(), Join(Line(0, 0, 19, 24), Line(32, c.continuationColumn, 12, 24)));
    EXPECT_EQ(holder_.Indent(), 0);
    EXPECT_EQ(holder_.GetPlacedX(), (c.continuationColumn + 12) * 24);
    EXPECT_EQ(holder_.GetPlacedY(), 32);
  }
}

TEST_F(GlyphTextRendererTest, AnOpeningBracketStartsNoIndentWithoutTheTextFlag) {
  Type(kOpen + Repeat(kA, 21), false);
  EXPECT_EQ(Pens(), Join(Line(0, 0, 20, 24), Line(32, 0, 2, 24)));
  EXPECT_EQ(holder_.Indent(), -1);
}

TEST_F(GlyphTextRendererTest, HalfWidthCharactersAdvanceHalfAColumnRoundedDown) {
  Type(std::string("abc") + kA, true, 25);
  EXPECT_EQ(Pens(), (std::vector<Pen>{{0, 0}, {12, 0}, {24, 0}, {36, 0}}));
  EXPECT_EQ(Codes(), (std::vector<std::uint16_t>{'a', 'b', 'c', kCodeA}));
  EXPECT_EQ(holder_.GetPlacedX(), 36 + 25);
  EXPECT_EQ(waits_.size(), 1u) << "only full-width characters wait";
}

TEST_F(GlyphTextRendererTest, SpacesAdvanceWithoutDrawing) {
  Type(std::string(kIdeoSpace) + kA + " " + kA);
  EXPECT_EQ(Pens(), (std::vector<Pen>{{24, 0}, {60, 0}}));
  EXPECT_EQ(Codes(), (std::vector<std::uint16_t>{kCodeA, kCodeA}));
  EXPECT_EQ(waits_.size(), 3u) << "the full-width space is typed and waits";
}

TEST_F(GlyphTextRendererTest, LineFeedsAndBackslashNStartNewLinesAtTheIndent) {
  Type(std::string(kA) + "\r\n" + kA + "\\n" + kA + "\\N" + kA + "\\ " + kA, true, 24, 5);
  EXPECT_EQ(Pens(), (std::vector<Pen>{{0, 0}, {0, 32}, {0, 64}, {0, 96}, {24, 96}}));
  EXPECT_TRUE(reporter_.reports.empty());
}

TEST_F(GlyphTextRendererTest, ABadControlCodeIsReportedOnceAndBecomesASpace) {
  Type(std::string(kA) + "\\q" + kA);
  ASSERT_EQ(reporter_.reports.size(), 1u);
  EXPECT_EQ(reporter_.reports[0].message, kBadCodeText);
  EXPECT_EQ(reporter_.reports[0].detail, "[q]");
  EXPECT_EQ(*holder_.Text(), std::string(kA) + "\\ " + kA);
  EXPECT_EQ(Pens(), (std::vector<Pen>{{0, 0}, {24, 0}}));

  std::string retyped = *holder_.Text();
  Type(retyped);
  EXPECT_EQ(reporter_.reports.size(), 1u);
}

TEST_F(GlyphTextRendererTest, DollarNTurnsTheWaitsOffForTheRest) {
  Type(std::string(kA) + kA + "$n" + kA + kA);
  EXPECT_EQ(waits_, (std::vector<int>{3, 3, 0, 0}));
  EXPECT_EQ(wait_, 0);
  EXPECT_EQ(Pens(), Line(0, 0, 4, 24));
}

TEST_F(GlyphTextRendererTest, ADollarBeforeAnyOtherLetterIsDropped) {
  Type(std::string("$x") + kA);
  EXPECT_EQ(Codes(), (std::vector<std::uint16_t>{'x', kCodeA}));
  EXPECT_EQ(Pens(), (std::vector<Pen>{{0, 0}, {12, 0}}));
}

TEST_F(GlyphTextRendererTest, OverflowCutsTheTextAtTheExtraLine) {
  struct Case {
    bool textFlag;
    bool debug;
    std::size_t reports;
  };
  for (const Case& c : {Case{true, true, 1}, Case{true, false, 0}, Case{false, true, 0}}) {
    SCOPED_TRACE(::testing::Message() << c.textFlag << c.debug);
    target_.Fill(0, 0);
    reporter_.reports.clear();
    debug_ = c.debug;
    Type(std::string(kA) + "\n" + kA + "\n" + kA + kA, c.textFlag, 24, 2);
    EXPECT_EQ(*holder_.Text(), std::string(kA) + "\n" + kA + "\n");
    EXPECT_EQ(Pens(), (std::vector<Pen>{{0, 0}, {0, 32}}));
    ASSERT_EQ(reporter_.reports.size(), c.reports);
    for (const auto& report : reporter_.reports) EXPECT_EQ(report.message, kOverflowText);
    EXPECT_EQ(holder_.GetPlacedY(), 64);
  }
}

TEST_F(GlyphTextRendererTest, LineHeightIs32UpTo24PixelsAnd64Above) {
  for (const auto& [e, lineHeight] : {std::pair{24, 32}, std::pair{25, 64}, std::pair{28, 64}}) {
    SCOPED_TRACE(e);
    target_.Fill(0, 0);
    Type(std::string(kA) + "\n" + kA, true, e);
    EXPECT_EQ(Pens(), (std::vector<Pen>{{0, 0}, {0, lineHeight}}));
  }
}

TEST_F(GlyphTextRendererTest, PlaceholdersBecomeTheHeroNamesWithoutWaits) {
  Type(std::string(kA) + kNameCode + kA + kFamilyCode + kA);
  EXPECT_EQ(Codes(), (std::vector<std::uint16_t>{kCodeA, 0x88ea, 0x96e7, kCodeA, kCodeA}));
  EXPECT_EQ(Pens(), Line(0, 0, 5, 24));
  EXPECT_EQ(waits_.size(), 3u);
}

TEST_F(GlyphTextRendererTest, APlaceholderCutShortAtTheEndIsTypedAsCharacters) {
  Type(std::string(kNameCode).substr(0, 4));
  EXPECT_EQ(Codes(), (std::vector<std::uint16_t>{0x819c, 0x96bc}));
}

TEST_F(GlyphTextRendererTest, UnfinishedBytesAtTheEndStopTyping) {
  for (const std::string& text :
       {std::string(kA) + "\x82", std::string(kA) + "\\", std::string(kA) + "$"}) {
    target_.Fill(0, 0);
    Type(text);
    EXPECT_EQ(Pens(), (std::vector<Pen>{{0, 0}})) << text;
    EXPECT_TRUE(reporter_.reports.empty());
  }
}

TEST_F(GlyphTextRendererTest, RubyIsDrawnTwelvePixelsAboveInTheRubyFont) {
  originX_ = 10;
  originY_ = 40;
  Type(std::string(kA) + "$r+" + kA + "-x" + kI + "$" + kA);
  // Main text: あ at 0 and 24; ruby from x 24: + moves 6 right, あ at 30, - moves 6 left of 42,
  // い at 36, all 12 above the line.
  EXPECT_EQ(Pens(), (std::vector<Pen>{{30, -12}, {36, -12}, {0, 0}, {24, 0}}));
  EXPECT_EQ(rasterizer_.drawn, (std::vector<std::pair<int, std::uint16_t>>{
                                   {0, kCodeA}, {1, kCodeA}, {1, kCodeI}, {0, kCodeA}}));
  EXPECT_EQ(holder_.GetPlacedX(), 10 + 48);
  EXPECT_EQ(waits_.size(), 2u);
}

TEST_F(GlyphTextRendererTest, RubyWithoutItsClosingDollarEndsWithTheText) {
  originY_ = 40;
  Type(std::string(kA) + "$r" + kI);
  EXPECT_EQ(Pens(), (std::vector<Pen>{{24, -12}, {0, 0}}));
}

TEST_F(GlyphTextRendererTest, RubyPastTheLastColumnMovesToTheNextLine) {
  originY_ = 40;
  Type(Repeat(kA, 18) + "$r" + kI + kI + kI + "$");
  // Ruby starts at 432 = column 18; the third character finds rx = 456 >= 19 * 24.
  EXPECT_EQ(Pens(), Join(Join(std::vector<Pen>{{432, -12}, {444, -12}}, Line(0, 0, 18, 24)),
                         std::vector<Pen>{{0, 20}}));
}

TEST_F(GlyphTextRendererTest, ALayoutOnlyTargetLaysOutWithoutDrawing) {
  ASSERT_TRUE(holder_.SetTextDirect(Repeat(kA, 21), font_, 0xFFFFFF, 24, 20, 3, true));
  EXPECT_FALSE(renderer_.TypeText(holder_, 20, 3, nullptr, wait_, -1, false, {}));
  EXPECT_EQ(holder_.GetPlacedX(), 2 * 24);
  EXPECT_EQ(holder_.GetPlacedY(), 32);
  EXPECT_TRUE(rasterizer_.drawn.empty());
}

TEST_F(GlyphTextRendererTest, ASpriteWithoutTextIsNotTyped) {
  EXPECT_FALSE(renderer_.TypeText(holder_, 20, 3, &target_, wait_, -1, false, {}));
}

TEST_F(GlyphTextRendererTest, CharacterListsMatchWholeTwoByteEntries) {
  struct Case {
    std::uint16_t code;
    bool lineEnd;
    bool indent;
  };
  const std::vector<Case> cases = {
      {0x8176, true, false},   // 」
      {0x8142, true, false},   // 。
      {0x8148, true, false},   // ？
      {0x8175, false, true},   // 「
      {0x8179, false, true},   // 【
      {kCodeA, false, false},  // あ
      {0x7681, false, false},  // bytes straddling two entries
  };
  for (const Case& c : cases) {
    EXPECT_EQ(renderer_.IsLineEndChar(c.code), c.lineEnd) << std::hex << c.code;
    EXPECT_EQ(renderer_.IsIndentChar(c.code), c.indent) << std::hex << c.code;
  }
  renderer_.SetLineEndChars(kA);
  renderer_.SetIndentChars(std::string(kI) + "\x81");
  EXPECT_TRUE(renderer_.IsLineEndChar(kCodeA));
  EXPECT_FALSE(renderer_.IsLineEndChar(0x8142));
  EXPECT_TRUE(renderer_.IsIndentChar(kCodeI));
  EXPECT_FALSE(renderer_.IsIndentChar(0x8175));
}

// DrawGlyph on a 4 x 3 surface filled with a marker, the glyph a 2 x 2 box of levels
// 23 24 / 64 0 (c = 200: transparent, (200 * 96) >> 8 = 75, (200 * 256) >> 8 = 200, 0).
class DrawGlyphTest : public GlyphTextRendererTest {
 protected:
  static constexpr std::uint32_t kMarker = 0x12345678;
  static constexpr std::uint32_t kGrey75 = 0xFF4B4B4B;
  static constexpr std::uint32_t kGrey200 = 0xFFC8C8C8;

  DrawGlyphTest() {
    rasterizer_.glyph.width = 2;
    rasterizer_.glyph.height = 2;
    rasterizer_.glyph.originX = 0;
    rasterizer_.glyph.originY = kAscent;
    rasterizer_.glyph.levels = {23, 24, 0, 0, 64, 0, 0, 0};
  }

  // The 4 x 3 surface lies inside a 6 x 5 buffer whose border must stay untouched.
  std::vector<std::uint32_t> Draw(int x, int y) {
    buffer_.assign(kBufferPitch * 5, kMarker);
    EXPECT_TRUE(renderer_.DrawGlyph(*font_, kCodeA, 200, x, y, Visible()));
    std::vector<std::uint32_t> visible;
    for (int row = 0; row < 5; ++row) {
      for (int column = 0; column < kBufferPitch; ++column) {
        const std::uint32_t pixel = buffer_[row * kBufferPitch + column];
        const bool inside = row >= 1 && row <= 3 && column >= 1 && column <= 4;
        if (inside) {
          visible.push_back(pixel);
        } else {
          EXPECT_EQ(pixel, kMarker) << "border " << column << ", " << row;
        }
      }
    }
    return visible;
  }

  GlyphTextRenderer::Surface Visible() {
    return {buffer_.data() + kBufferPitch + 1, kBufferPitch, 4, 3};
  }

  static constexpr int kBufferPitch = 6;
  std::vector<std::uint32_t> buffer_;
};

TEST_F(DrawGlyphTest, LevelsBecomeOpaqueGreyOrTransparentAndTheBoxIsClipped) {
  constexpr std::uint32_t M = kMarker;
  constexpr std::uint32_t G = kGrey75;
  constexpr std::uint32_t W = kGrey200;
  struct Case {
    int x;
    int y;
    std::vector<std::uint32_t> pixels;
  };
  const std::vector<Case> cases = {
      {1, 0, {M, 0, G, M, /**/ M, W, 0, M, /**/ M, M, M, M}},
      {-1, 1, {M, M, M, M, /**/ G, M, M, M, /**/ 0, M, M, M}},
      {3, 2, {M, M, M, M, /**/ M, M, M, M, /**/ M, M, M, 0}},
      {0, -1, {W, 0, M, M, /**/ M, M, M, M, /**/ M, M, M, M}},
      {4, 0, {M, M, M, M, /**/ M, M, M, M, /**/ M, M, M, M}},
      {0, 3, {M, M, M, M, /**/ M, M, M, M, /**/ M, M, M, M}},
      {-2, -2, {M, M, M, M, /**/ M, M, M, M, /**/ M, M, M, M}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Draw(c.x, c.y), c.pixels) << c.x << ", " << c.y;
  }
}

TEST_F(DrawGlyphTest, AClosedFontDrawsNothing) {
  buffer_.assign(kBufferPitch * 5, kMarker);
  rasterizer_.CloseFont(0);
  EXPECT_FALSE(renderer_.DrawGlyph(*font_, kCodeA, 200, 0, 0, Visible()));
  EXPECT_EQ(buffer_, std::vector<std::uint32_t>(kBufferPitch * 5, kMarker));
}

TEST_F(GlyphTextRendererTest, DrawCharacterOutlinesTheGlyphInTheStyleOfTheColour) {
  struct Case {
    std::uint32_t colour;
    std::uint32_t glyph;
    std::uint32_t outline;
  };
  // Unread: 255 -> (255 * 256) >> 8 = 255 with outline 0x010101; read: the settings' greys.
  for (const Case& c :
       {Case{0xFFFFFF, 0xFFFFFFFF, 0xFE010101}, Case{0xFFFFFE, 0xFF646464, 0xFE323232}}) {
    target_.Fill(0, 0);
    ASSERT_TRUE(holder_.SetTextDirect("", font_, c.colour, 24, 20, 3, true));
    ASSERT_TRUE(renderer_.DrawCharacter(holder_, 10, 10, kCodeA, target_));
    EXPECT_EQ(At(11, 12), c.glyph);
    for (const auto& [x, y] :
         {std::pair{10, 12}, std::pair{12, 12}, std::pair{11, 11}, std::pair{11, 13}}) {
      EXPECT_EQ(At(x, y), c.outline) << x << ", " << y;
    }
    EXPECT_EQ(At(10, 11), 0u);
  }
}

TEST_F(GlyphTextRendererTest, GlyphsAtTheSurfaceCornerStayInside) {
  ASSERT_TRUE(holder_.SetTextDirect("", font_, 0xFFFFFF, 24, 20, 3, true));
  EXPECT_TRUE(renderer_.DrawCharacter(holder_, kWidth - 2, kHeight - 3, kCodeA, target_));
  EXPECT_TRUE(renderer_.DrawCharacter(holder_, -30, -30, kCodeA, target_));
  EXPECT_EQ(At(kWidth - 1, kHeight - 1), 0xFFFFFFFFu);
  int changed = 0;
  for (int k = 0; k < kWidth * kHeight; ++k) changed += target_.GetBits(0)[k] != 0;
  EXPECT_EQ(changed, 1);
}

TEST_F(GlyphTextRendererTest, LabelsPlaceBytesTwelvePixelsApartAndOutlineOnce) {
  CDIBitmap picture(context_);
  ASSERT_TRUE(picture.Create(12 * 4 + 4, 28, 1, false, false));
  renderer_.RenderLabel(picture, std::string("a\tb") + kA, nullptr, 0xFFFFFF);
  EXPECT_TRUE(Codes().empty()) << "no label font, nothing drawn";

  renderer_.SetLabelFont(font_);
  renderer_.RenderLabel(picture, std::string("a\tb") + kA, nullptr, 0xFFFFFF);
  EXPECT_EQ(Codes(), (std::vector<std::uint16_t>{'a', 'b', kCodeA}));
  const std::uint32_t* pixels = picture.GetBits(0);
  const int pitch = picture.GetWidth();
  for (const int x : {0, 24, 36}) {
    EXPECT_EQ(pixels[kDotY * pitch + x + kDotX], 0xFFFFFFFFu) << x;
    EXPECT_EQ(pixels[kDotY * pitch + x + kDotX + 1], 0xFE000000u) << x;
  }
  EXPECT_EQ(pixels[kDotY * pitch + 12 + kDotX], 0u) << "the tab draws nothing";
}

TEST_F(GlyphTextRendererTest, ReleasedFontsAreClosedAndForgotten) {
  renderer_.SetLabelFont(font_);
  renderer_.ReleaseFont(font_);
  EXPECT_TRUE(rasterizer_.closed.contains(0));
  CDIBitmap picture(context_);
  ASSERT_TRUE(picture.Create(16, 28, 1, false, false));
  renderer_.RenderLabel(picture, "a", nullptr, 0xFFFFFF);
  EXPECT_TRUE(rasterizer_.drawn.empty());
}

TEST(GlyphTextRendererRealFontTest, TheDefaultFaceDrawsOpaqueOutlinedPixels) {
  FreeTypeFontRasterizer rasterizer;
  int grey = 128;
  std::string name;
  bool debug = false;
  GlyphTextRenderer renderer(rasterizer, {grey, grey, name, name, debug}, nullptr);
  // ＭＳ ゴシック
  const TextFont* font = renderer.CreateFont(
      {"\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e", 24, false, false});
  ASSERT_NE(font, nullptr);
  GraphicsContext context;
  std::minstd_rand random(1);
  CDIBSprite holder(context, random);
  ASSERT_TRUE(holder.SetTextDirect("", font, 0xFFFFFF, 24, 20, 3, true));
  CDIBitmap target(context);
  ASSERT_TRUE(target.Create(48, 48, 1, false, false));
  ASSERT_TRUE(renderer.DrawCharacter(holder, 4, 4, kCodeA, target));
  int opaque = 0;
  int outline = 0;
  for (int k = 0; k < 48 * 48; ++k) {
    opaque += target.GetBits(0)[k] >> 24 == 0xFF;
    outline += target.GetBits(0)[k] == 0xFE010101u;
  }
  EXPECT_GT(opaque, 20);
  EXPECT_GT(outline, 20);
}

}  // namespace
}  // namespace halcyra

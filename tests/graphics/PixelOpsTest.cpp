#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "graphics/PixelOps.h"
#include "tests/graphics/GraphicsFixtures.h"

namespace halcyra {
namespace {

using testing::BlendForm;
using Pixels = std::vector<std::uint32_t>;

using testing::Argb;

std::uint32_t Channel(std::uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

// --- Worked examples of the written rules -------------------------------------------------

struct OnePixelCase {
  const char* label;
  bool simd;
  std::uint32_t source;
  std::uint32_t destination;
  int level;
  std::uint32_t expected;
};

void RunOnePixel(const OnePixelCase& c,
                 void (*blend)(std::uint32_t*, int, const std::uint32_t*, int, int, int, int)) {
  BlendForm form(c.simd);
  // Seven pixels: four go through the SIMD step, three through the one-pixel tail.
  Pixels source(7, c.source);
  Pixels destination(7, c.destination);
  blend(destination.data(), 7, source.data(), 7, 1, 7, c.level);
  for (std::size_t i = 0; i < destination.size(); ++i) {
    EXPECT_EQ(destination[i], c.expected)
        << c.label << " pixel " << i << std::hex << " got 0x" << destination[i];
  }
}

void AlphaBlendWithLevel(std::uint32_t* d, int dp, const std::uint32_t* s, int w, int h, int sp,
                         int) {
  AlphaBlend(d, dp, s, w, h, sp);
}

TEST(AlphaBlendTest, WorkedExamples) {
  const OnePixelCase cases[] = {
      // Full alpha: plain divides by 256 (blue 200 -> 199), SIMD copies exactly.
      {"opaque plain", false, Argb(255, 10, 20, 200), Argb(0x40, 50, 60, 70), 0,
       Argb(0x40, 9, 19, 199)},
      {"opaque simd", true, Argb(255, 10, 20, 200), Argb(0x40, 50, 60, 70), 0,
       Argb(255, 10, 20, 200)},
      {"transparent plain", false, Argb(0, 200, 200, 200), Argb(0x40, 50, 60, 70), 0,
       Argb(0x40, 50, 60, 70)},
      {"transparent simd", true, Argb(0, 200, 200, 200), Argb(0x40, 50, 60, 70), 0,
       Argb(0x40, 50, 60, 70)},
      // a = 128: r (200*128)>>8 = 100, g (100*128 + 100*127)>>8 = 99, b (255*127)>>8 = 126.
      {"half plain", false, Argb(128, 200, 100, 0), Argb(0x10, 0, 100, 255), 0,
       Argb(0x10, 100, 99, 126)},
      {"half simd", true, Argb(128, 200, 100, 0), Argb(0x10, 0, 100, 255), 0,
       Argb(255, 100, 99, 126)},
  };
  for (const OnePixelCase& c : cases) RunOnePixel(c, AlphaBlendWithLevel);
}

TEST(AlphaBlendOpacityTest, WorkedExamples) {
  const OnePixelCase cases[] = {
      // Opacity 128 on alpha 255 blends with 127: (200*127 + 100*128)>>8 = 149.
      {"plain", false, Argb(255, 200, 200, 200), Argb(0x20, 100, 100, 100), 128,
       Argb(0x20, 149, 149, 149)},
      {"simd", true, Argb(255, 200, 200, 200), Argb(0x20, 100, 100, 100), 128,
       Argb(255, 149, 149, 149)},
      // (1 * 128) >> 8 = 0: nothing drawn.
      {"faint plain", false, Argb(1, 200, 200, 200), Argb(0x20, 100, 100, 100), 128,
       Argb(0x20, 100, 100, 100)},
      {"faint simd", true, Argb(1, 200, 200, 200), Argb(0x20, 100, 100, 100), 128,
       Argb(0x20, 100, 100, 100)},
  };
  for (const OnePixelCase& c : cases) RunOnePixel(c, AlphaBlendOpacity);
}

TEST(AlphaBlendBrightnessTest, WorkedExamples) {
  const OnePixelCase cases[] = {
      // White at brightness 155: plain 254 - 100 = 154; SIMD (255*155)>>8 = 154, (154*255)>>8.
      {"white plain", false, Argb(255, 255, 255, 255), Argb(0x33, 0, 0, 0), 155,
       Argb(0x33, 154, 154, 154)},
      {"white simd", true, Argb(255, 255, 255, 255), Argb(0x33, 0, 0, 0), 155,
       Argb(255, 153, 153, 153)},
      // Plain subtraction stops at 0: 99 - 255.
      {"black plain", false, Argb(255, 100, 100, 100), Argb(0x33, 9, 9, 9), 0, Argb(0x33, 0, 0, 0)},
      {"clear plain", false, Argb(0, 100, 100, 100), Argb(0x33, 9, 9, 9), 0, Argb(0x33, 9, 9, 9)},
      {"clear simd", true, Argb(0, 100, 100, 100), Argb(0x33, 9, 9, 9), 0, Argb(0x33, 9, 9, 9)},
  };
  for (const OnePixelCase& c : cases) RunOnePixel(c, AlphaBlendBrightness);
}

TEST(CopyBrightnessTest, WorkedExamples) {
  // Brightness 200 takes 55 from every colour channel, stopping at 0.
  const OnePixelCase cases[] = {
      {"plain", false, Argb(0x7F, 100, 30, 255), Argb(0x11, 1, 2, 3), 200, Argb(0x11, 45, 0, 200)},
      {"simd", true, Argb(0x7F, 100, 30, 255), Argb(0x11, 1, 2, 3), 200, Argb(0x7F, 45, 0, 200)},
  };
  for (const OnePixelCase& c : cases) RunOnePixel(c, CopyBrightness);
}

void GreyCopyWithLevel(std::uint32_t* d, int dp, const std::uint32_t* s, int w, int h, int sp,
                       int) {
  GreyCopy(d, dp, s, w, h, sp);
}

TEST(GreyCopyTest, PlainTakesGreenAndSimdWeighsTheChannels) {
  // SIMD: (29*200 + 150*50 + 76*100) >> 8 = 20900 >> 8 = 81, alpha 0.
  const OnePixelCase cases[] = {
      {"plain", false, Argb(0x80, 100, 50, 200), Argb(0x11, 1, 2, 3), 0, Argb(0x80, 50, 50, 50)},
      {"simd", true, Argb(0x80, 100, 50, 200), Argb(0x11, 1, 2, 3), 0, Argb(0, 81, 81, 81)},
  };
  for (const OnePixelCase& c : cases) RunOnePixel(c, GreyCopyWithLevel);
}

TEST(MosaicCopyTest, WholeBlocksTakeTheirCornerAndEdgesStay) {
  constexpr int kWidth = 10;
  constexpr int kHeight = 5;
  Pixels source(kWidth * kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x)
      source[y * kWidth + x] = static_cast<std::uint32_t>(100 * y + x);
  }
  // Level 5 rounds down to blocks of 4: columns 0..7 and rows 0..3 are covered.
  Pixels destination(kWidth * kHeight, 7);
  MosaicCopy(destination.data(), kWidth, source.data(), kWidth, kHeight, kWidth, 5);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const std::uint32_t expected = (x < 8 && y < 4) ? static_cast<std::uint32_t>(x / 4 * 4) : 7;
      EXPECT_EQ(destination[y * kWidth + x], expected) << x << "," << y;
    }
  }
  for (int level : {0, 1, 17}) {
    Pixels untouched(kWidth * kHeight, 7);
    MosaicCopy(untouched.data(), kWidth, source.data(), kWidth, kHeight, kWidth, level);
    EXPECT_EQ(untouched, Pixels(kWidth * kHeight, 7)) << level;
  }
}

TEST(DarkenTest, AmountsScaleColourAndAlpha) {
  struct Case {
    int amount;
    std::uint32_t expected;
  };
  // Pixel (alpha 255; 255, 100, 1), f = 255 + min(amount, 0), each channel (c * f) >> 8.
  const Case cases[] = {
      {-255, Argb(254, 0, 0, 0)},   // f = 0; alpha (255 * 255) >> 8 = 254
      {-300, Argb(254, 0, 0, 0)},   // counts as -255
      {-1, Argb(254, 253, 99, 0)},  // f = 254: 64770 >> 8 = 253, 25400 >> 8 = 99
      {40, Argb(0, 254, 99, 0)},    // f = 255, alpha 0
  };
  for (const Case& c : cases) {
    Pixels pixels(5, Argb(255, 255, 100, 1));
    Darken(pixels.data(), 5, 1, c.amount);
    EXPECT_EQ(pixels, Pixels(5, c.expected)) << c.amount;
  }
}

TEST(FillRectTest, FillsTheRectangleAtItsPitch) {
  Pixels pixels(4 * 3, 0);
  FillRect(pixels.data() + 4 + 1, 0x12, 0x34, 0x56, 0x78, 2, 2, 4 * 4);
  const Pixels expected = {0, 0,          0,          0,  //
                           0, 0x78123456, 0x78123456, 0,  //
                           0, 0x78123456, 0x78123456, 0};
  EXPECT_EQ(pixels, expected);
}

TEST(CrossFadeTest, TheThreeAlphaCases) {
  const std::uint32_t a = Argb(200, 10, 20, 30);
  const std::uint32_t b = Argb(100, 250, 0, 90);
  const std::uint32_t clearA = Argb(0, 1, 2, 3);
  const std::uint32_t clearB = Argb(0, 4, 5, 6);
  // t = 100: both -> each byte (A*100 + B*155) >> 8.
  const std::uint32_t both = Argb(138, 155, 7, 66);
  const std::uint32_t onlyA = Argb(78, 10, 20, 30);  // (200*100)>>8
  const std::uint32_t onlyB = Argb(60, 250, 0, 90);  // (100*155)>>8
  const std::uint32_t neither = Argb(0, 4, 5, 6);
  const Pixels first = {a, a, clearA, clearA, a, clearA, a};
  const Pixels second = {b, clearB, b, clearB, clearB, b, b};
  const Pixels expected = {both, onlyA, onlyB, neither, onlyA, onlyB, both};
  Pixels out(7, 0xDEADBEEF);
  CrossFade(out.data(), 28, first.data(), 28, second.data(), 28, 7, 1, 100);
  EXPECT_EQ(out, expected);
}

TEST(RuleWipeTest, GreenAtMostTheThresholdTakesTheSource) {
  const Pixels mask = {Argb(0, 255, 0, 255), Argb(0, 0, 100, 0), Argb(0, 0, 101, 0),
                       Argb(0, 0, 255, 0)};
  const Pixels source = {1, 2, 3, 4};
  Pixels destination = {9, 9, 9, 9};
  RuleWipe(100, mask.data(), source.data(), destination.data(), 4);
  EXPECT_EQ(destination, (Pixels{1, 2, 9, 9}));
}

TEST(ConvertRows24Test, BottomUpRowsBecomeOpaquePixels) {
  // Width 2: 6 bytes of pixels and 2 of padding per stored row; the last stored row is the top.
  const std::vector<std::uint8_t> stored = {1, 2, 3, 4,  5,  6,  0, 0,  //
                                            7, 8, 9, 10, 11, 12, 0, 0};
  Pixels out(4, 0);
  ConvertRows24(out.data(), stored.data() + 8, 2, 2, 8);
  EXPECT_EQ(out, (Pixels{Argb(255, 9, 8, 7), Argb(255, 12, 11, 10), Argb(255, 3, 2, 1),
                         Argb(255, 6, 5, 4)}));
}

TEST(BoxAverage4Test, CornerGetsTheBlockAverage) {
  // 6 x 4: one whole block; columns 4 and 5 are not a whole block and stay.
  Pixels pixels(6 * 4);
  for (int i = 0; i < 24; ++i) pixels[i] = Argb(0x55, 16, static_cast<std::uint32_t>(i), 1);
  Pixels expected = pixels;
  // Green of the block: rows 0..3 columns 0..3 hold 0..3, 6..9, 12..15, 18..21: sum 168, /16 = 10.
  expected[0] = Argb(0x55, 16, 10, 1);
  BoxAverage4(pixels.data(), 6, 4, 6 * 4);
  EXPECT_EQ(pixels, expected);
}

TEST(OutlineTest, OpaqueInnerPixelsMarkTheirClearNeighbours) {
  constexpr int kSize = 5;
  constexpr std::uint32_t kOpaque = Argb(255, 9, 9, 9);
  Pixels pixels(kSize * kSize, 0);
  pixels[2 * kSize + 2] = kOpaque;              // inner: spreads
  pixels[2 * kSize + 3] = Argb(0x80, 1, 1, 1);  // half transparent neighbour: stays
  pixels[0] = kOpaque;                          // corner: does not spread
  Outline(0x00ABCDEF, pixels.data(), kSize, kSize, kSize * 4);
  const std::uint32_t line = 0xFEABCDEF;
  Pixels expected(kSize * kSize, 0);
  expected[0] = kOpaque;
  expected[2 * kSize + 2] = kOpaque;
  expected[2 * kSize + 3] = Argb(0x80, 1, 1, 1);
  expected[1 * kSize + 2] = line;
  expected[3 * kSize + 2] = line;
  expected[2 * kSize + 1] = line;
  EXPECT_EQ(pixels, expected);
}

TEST(MultiplyColourTest, PercentagesScaleTheChannels) {
  Pixels row = {Argb(0x44, 100, 200, 100), Argb(0x44, 200, 100, 10)};
  // Red 100% -> factor 128 (doubles, clamps), green -100% -> 0, blue 50% -> 96 (x1.5).
  MultiplyColour(row.data(), 100, -100, 50, 2);
  EXPECT_EQ(row, (Pixels{Argb(0x44, 200, 0, 150), Argb(0x44, 255, 0, 15)}));
  // 300% -> 64 + 192 = 256, taken modulo 256: 0.
  Pixels wrapped = {Argb(1, 50, 50, 50)};
  MultiplyColour(wrapped.data(), 300, 0, 0, 1);
  EXPECT_EQ(wrapped[0], Argb(1, 0, 50, 50));
}

TEST(ColourSpaceTest, ConversionsFollowTheFormulas) {
  double h = 0;
  double s = 0;
  double v = 0;
  RgbToHsv(0.5, 0.25, 0.0, h, s, v);  // v = r: h = ((0.5 - 0) - (0.5 - 0.25)) / 0.5 * 60
  EXPECT_DOUBLE_EQ(h, 30.0);
  EXPECT_DOUBLE_EQ(s, 1.0);
  EXPECT_DOUBLE_EQ(v, 0.5);
  RgbToHsv(0.0, 0.0, 0.5, h, s, v);  // v = b: (4 + 0) * 60
  EXPECT_DOUBLE_EQ(h, 240.0);
  double r = 0;
  double g = 0;
  double b = 0;
  HsvToRgb(30.0, 1.0, 0.5, r, g, b);  // i = 0, f = 0.5: (v, v(1 - s(1 - f)), v(1 - s))
  EXPECT_DOUBLE_EQ(r, 0.5);
  EXPECT_DOUBLE_EQ(g, 0.25);
  EXPECT_DOUBLE_EQ(b, 0.0);
  r = g = b = 7.0;
  HsvToRgb(360.0, 1.0, 0.5, r, g, b);  // i = 6: outputs untouched
  EXPECT_EQ(r, 7.0);
}

TEST(AdjustHsvTest, HueIsCutToWholeDegrees) {
  Pixels pixels = {Argb(0x10, 1, 128, 64), Argb(0x20, 77, 77, 77), Argb(0x30, 255, 0, 0)};
  AdjustHsv(pixels.data(), 0, 0, 0, 3);
  // Hue 149.76 becomes 149: (1, 128, 62).
  EXPECT_EQ(pixels,
            (Pixels{Argb(0x10, 1, 128, 62), Argb(0x20, 77, 77, 77), Argb(0x30, 255, 0, 0)}));
  Pixels red = {Argb(0x40, 255, 0, 0)};
  AdjustHsv(red.data(), 120, 0, 0, 1);  // hue 120: pure green
  EXPECT_EQ(red[0], Argb(0x40, 0, 255, 0));
  Pixels faded = {Argb(0x40, 255, 0, 0)};
  AdjustHsv(faded.data(), -360, -100, 0, 1);  // saturation 0: white; hue -360 + 360 = 0
  EXPECT_EQ(faded[0], Argb(0x40, 255, 255, 255));
}

TEST(RotatedCopyTest, QuarterTurnTakesTheTurnedSourceOrLeavesThePixel) {
  // 4 x 2, centre (2, 1). 90 degrees: k = 270, C = 0, S = 65536: destination (x, y) takes
  // source (3 - y, x - 1).
  const Pixels source = {10, 11, 12, 13,  //
                         20, 21, 22, 23};
  Pixels destination(8, 0);
  RotatedCopy(destination.data(), 4, 4, 2, source.data(), 4, 90);
  EXPECT_EQ(destination, (Pixels{0, 13, 23, 0,  //
                                 0, 12, 22, 0}));
  // 450 and -270 are the same turn.
  for (int angle : {450, -270}) {
    Pixels again(8, 0);
    RotatedCopy(again.data(), 4, 4, 2, source.data(), 4, angle);
    EXPECT_EQ(again, destination) << angle;
  }
}

TEST(RotatedCopyTest, HalvesRoundAwayFromZeroWithExactTables) {
  // 3 x 3, centre (1, 1). Angle 330: k = 30, C = 56755, S = -32768 (sin 30 is exactly 1/2).
  // (2, 1): u = 56755 -> 1, v = -32768 -> -0.5 -> -1: source (2, 0).
  // (1, 2): u = 32768 -> 0.5 -> 1, v = 56755 -> 1: source (2, 2).
  Pixels source(9);
  for (int i = 0; i < 9; ++i) source[i] = static_cast<std::uint32_t>(100 + i);
  Pixels destination(9, 0);
  RotatedCopy(destination.data(), 3, 3, 3, source.data(), 3, 330);
  EXPECT_EQ(destination[1 * 3 + 2], source[0 * 3 + 2]);
  EXPECT_EQ(destination[2 * 3 + 1], source[2 * 3 + 2]);
  EXPECT_EQ(destination[1 * 3 + 1], source[1 * 3 + 1]);
}

TEST(ScaledBlendTest, DoublesWithClippingAndBlendsAllBytes) {
  const std::uint32_t p = Argb(255, 128, 96, 64);
  const std::uint32_t q = Argb(255, 0, 0, 255);
  const std::uint32_t clear = Argb(0, 255, 255, 255);
  const Pixels source = {p, q,  //
                         clear, p};
  // Each byte (s*255 + d*0) >> 8 = s - 1 for full alpha, so p -> (254, 127, 95, 63).
  const std::uint32_t p1 = Argb(254, 127, 95, 63);
  const std::uint32_t q1 = Argb(254, 0, 0, 254);
  constexpr std::uint32_t kBack = 0x01020304;
  // Scale 2 at (-1, 0) on a 3 x 3 target: output columns 1..3 land on 0..2, rows 0..2.
  Pixels destination(9, kBack);
  ScaledBlend(destination.data(), 3, 3, 3, source.data(), -1, 0, 2.0f, 2.0f, 2, 2);
  EXPECT_EQ(destination, (Pixels{p1, q1, q1,  //
                                 p1, q1, q1,  //
                                 kBack, p1, p1}));
  Pixels untouched(9, kBack);
  ScaledBlend(untouched.data(), 3, 3, 3, source.data(), 0, 0, 0.0f, 2.0f, 2, 2);
  EXPECT_EQ(untouched, Pixels(9, kBack));
}

// --- Both forms against the written per-pixel rules on random pixels ----------------------

std::uint32_t Blend(std::uint32_t s, std::uint32_t d, std::uint32_t a) {
  return (s * a + d * (255 - a)) >> 8;
}

std::uint32_t Compose(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return Argb(a, r, g, b);
}

std::uint32_t RuleAlphaBlend(bool simd, std::uint32_t s, std::uint32_t d, int) {
  const std::uint32_t a = s >> 24;
  if (a == 0) return d;
  if (simd && a == 255) return s;
  return Compose(simd ? 255 : d >> 24, Blend(Channel(s, 16), Channel(d, 16), a),
                 Blend(Channel(s, 8), Channel(d, 8), a), Blend(Channel(s, 0), Channel(d, 0), a));
}

std::uint32_t RuleOpacity(bool simd, std::uint32_t s, std::uint32_t d, int opacity) {
  const std::uint32_t a = ((s >> 24) * static_cast<std::uint32_t>(opacity)) >> 8;
  if (a == 0) return d;
  return Compose(simd ? 255 : d >> 24, Blend(Channel(s, 16), Channel(d, 16), a),
                 Blend(Channel(s, 8), Channel(d, 8), a), Blend(Channel(s, 0), Channel(d, 0), a));
}

std::uint32_t RuleBrightness(bool simd, std::uint32_t s, std::uint32_t d, int brightness) {
  const std::uint32_t a = s >> 24;
  if (a == 0) return d;
  std::uint32_t channels[3];
  for (int i = 0; i < 3; ++i) {
    const int shift = 16 - 8 * i;
    if (simd) {
      const std::uint32_t darkened =
          (Channel(s, shift) * static_cast<std::uint32_t>(brightness)) >> 8;
      channels[i] = Blend(darkened, Channel(d, shift), a);
    } else {
      const int value =
          static_cast<int>(Blend(Channel(s, shift), Channel(d, shift), a)) - (255 - brightness);
      channels[i] = static_cast<std::uint32_t>(value < 0 ? 0 : value);
    }
  }
  return Compose(simd ? 255 : d >> 24, channels[0], channels[1], channels[2]);
}

std::uint32_t RuleCopyBrightness(bool simd, std::uint32_t s, std::uint32_t d, int brightness) {
  std::uint32_t channels[3];
  for (int i = 0; i < 3; ++i) {
    const int value = static_cast<int>(Channel(s, 16 - 8 * i)) - (255 - brightness);
    channels[i] = static_cast<std::uint32_t>(value < 0 ? 0 : value);
  }
  return Compose(simd ? s >> 24 : d >> 24, channels[0], channels[1], channels[2]);
}

std::uint32_t RuleGrey(bool simd, std::uint32_t s, std::uint32_t, int) {
  if (!simd) return Compose(s >> 24, Channel(s, 8), Channel(s, 8), Channel(s, 8));
  const std::uint32_t g = (29 * Channel(s, 0) + 150 * Channel(s, 8) + 76 * Channel(s, 16)) >> 8;
  return Compose(0, g, g, g);
}

struct FormCase {
  const char* name;
  void (*blend)(std::uint32_t*, int, const std::uint32_t*, int, int, int, int);
  std::uint32_t (*rule)(bool, std::uint32_t, std::uint32_t, int);
};

TEST(BlendFormsTest, BothFormsFollowTheirRulesOnRandomPixels) {
  const FormCase cases[] = {
      {"AlphaBlend", AlphaBlendWithLevel, RuleAlphaBlend},
      {"AlphaBlendOpacity", AlphaBlendOpacity, RuleOpacity},
      {"AlphaBlendBrightness", AlphaBlendBrightness, RuleBrightness},
      {"CopyBrightness", CopyBrightness, RuleCopyBrightness},
      {"GreyCopy", GreyCopyWithLevel, RuleGrey},
  };
  std::mt19937 random(20240611);
  // Alphas 0 and 255 are common in pictures and take their own paths.
  const auto randomPixel = [&random] {
    const std::uint32_t kind = random() % 4;
    const std::uint32_t alpha = kind == 0 ? 0 : kind == 1 ? 255 : random() % 256;
    return (alpha << 24) | (random() & 0xFFFFFF);
  };
  for (const FormCase& c : cases) {
    for (bool simd : {false, true}) {
      BlendForm form(simd);
      for (int width = 1; width <= 13; ++width) {
        constexpr int kHeight = 3;
        const int sourcePitch = width + 3;
        const int destinationPitch = width + 5;
        Pixels source(sourcePitch * kHeight);
        Pixels destination(destinationPitch * kHeight);
        for (auto& pixel : source) pixel = randomPixel();
        for (auto& pixel : destination) pixel = randomPixel();
        const int level = static_cast<int>(random() % 256);
        const Pixels before = destination;
        c.blend(destination.data(), destinationPitch, source.data(), width, kHeight, sourcePitch,
                level);
        for (int y = 0; y < kHeight; ++y) {
          for (int x = 0; x < destinationPitch; ++x) {
            const std::size_t at = static_cast<std::size_t>(y * destinationPitch + x);
            const std::uint32_t expected =
                x < width ? c.rule(simd, source[y * sourcePitch + x], before[at], level)
                          : before[at];
            ASSERT_EQ(destination[at], expected)
                << c.name << (simd ? " simd" : " plain") << " width " << width << " at " << x << ","
                << y << " level " << level;
          }
        }
      }
    }
  }
}

TEST(BlendFormsTest, FormsAgreeOnColourWhereTheRulesCoincide) {
  // Partial alpha: AlphaBlend's colour channels; CopyBrightness's colour channels always.
  std::mt19937 random(7);
  Pixels source(64);
  Pixels base(64);
  for (auto& pixel : source) pixel = ((1 + random() % 254) << 24) | (random() & 0xFFFFFF);
  for (auto& pixel : base) pixel = random();
  for (int level : {0, 1, 77, 200, 255}) {
    Pixels plain = base;
    Pixels simd = base;
    CopyBrightnessPlain(plain.data(), 64, source.data(), 64, 1, 64, level);
    CopyBrightnessSimd(simd.data(), 64, source.data(), 64, 1, 64, level);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(plain[i] & 0xFFFFFF, simd[i] & 0xFFFFFF) << level;
  }
  Pixels plain = base;
  Pixels simd = base;
  AlphaBlendPlain(plain.data(), 64, source.data(), 64, 1, 64);
  AlphaBlendSimd(simd.data(), 64, source.data(), 64, 1, 64);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(plain[i] & 0xFFFFFF, simd[i] & 0xFFFFFF) << i;
}

}  // namespace
}  // namespace halcyra

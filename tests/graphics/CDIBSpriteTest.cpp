#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "graphics/CDIBSprite.h"
#include "graphics/SpriteTable.h"
#include "graphics/TextRenderer.h"
#include "platform/SdlAcceleratedRenderer.h"
#include "platform/ShiftJis.h"
#include "resource/CArcFile.h"
#include "tests/graphics/GraphicsFixtures.h"
#include "tests/support/RunTool.h"
#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

using testing::BlendForm;
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

// A one-pixel 24-bit BMP of the given colour.
std::string OnePixelBmp(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  const Bytes file = MakeBmp(1, 1, 24, 0, {}, {blue, green, red, 0});
  return std::string(file.begin(), file.end());
}

class CDIBSpriteTest : public ::testing::Test {
 protected:
  CDIBSpriteTest() : random_(1), sprite_(context_, random_), target_(screenContext_) {
    context_.errors = &reporter_;
    target_.Create(800, 600, 1, false, false);
  }

  // The sprite as a box whose pixels are given row by row.
  void MakeBox(int width, int height, const Pixels& pixels, bool alpha) {
    ASSERT_TRUE(sprite_.CreateBox(width, height, 1, alpha, false));
    std::copy(pixels.begin(), pixels.end(), sprite_.GetSurface()->GetBits(0));
  }

  std::uint32_t At(int x, int y) const { return target_.GetBits(0)[y * 800 + x]; }

  RecordingReporter reporter_;
  GraphicsContext context_;
  GraphicsContext screenContext_;
  std::minstd_rand random_;
  CDIBSprite sprite_;
  CDIBitmap target_;
};

TEST_F(CDIBSpriteTest, EmptySlotReportsItsBracketedDefaults) {
  EXPECT_EQ(sprite_.GetX(), 800);
  EXPECT_EQ(sprite_.GetY(), 600);
  EXPECT_EQ(sprite_.GetFrame(), -1);
  EXPECT_EQ(sprite_.GetFrameCount(), -1);
  EXPECT_EQ(sprite_.GetScaleX(), 1.0f);
  EXPECT_EQ(sprite_.GetWidth(), 0);
  EXPECT_FALSE(sprite_.IsShown());
  EXPECT_EQ(sprite_.GetOpacity(), 255);
  EXPECT_FALSE(sprite_.SetVelocity(1, 1));
  EXPECT_FALSE(sprite_.SetBrightness(3));
  EXPECT_TRUE(sprite_.SetPosition(3, 4));
  EXPECT_EQ(sprite_.GetPlacedX(), 3);
  EXPECT_EQ(sprite_.GetX(), 800);
}

TEST_F(CDIBSpriteTest, MovingSpriteStopsAtItsTarget) {
  MakeBox(1, 1, {0}, false);
  sprite_.SetPosition(100, 0);
  sprite_.SetVelocity(2 * 65536, 0);
  sprite_.SetTarget(101, 0);
  sprite_.Draw(0, 0, true, &target_);
  EXPECT_EQ(sprite_.GetX(), 101);
  EXPECT_EQ(sprite_.GetVelocityX(), 0);
}

TEST_F(CDIBSpriteTest, LevelStepsStopAtTheEnds) {
  MakeBox(1, 1, {0}, false);
  sprite_.SetOpacity(200);
  sprite_.SetOpacityStep(100);
  sprite_.SetBrightness(20);
  sprite_.SetBrightnessStep(-30);
  sprite_.Draw(0, 0, true, &target_);
  EXPECT_EQ(sprite_.GetOpacity(), 255);
  EXPECT_EQ(sprite_.GetOpacityStep(), 0);
  EXPECT_EQ(sprite_.GetBrightness(), 0);
  EXPECT_EQ(sprite_.GetBrightnessStep(), 0);
}

TEST_F(CDIBSpriteTest, ScaleAndAngleStepTowardTheirTargets) {
  MakeBox(1, 1, {0}, false);
  sprite_.SetScaleStep(0.25f, -0.5f);
  sprite_.SetTargetScale(1.5f, 0.25f);
  sprite_.SetAngleStep(40.0f);
  sprite_.SetTargetAngle(60.0f);
  const float expectedX[] = {1.25f, 1.5f, 1.5f};
  const float expectedY[] = {0.5f, 0.25f, 0.25f};
  const float expectedAngle[] = {40.0f, 60.0f, 60.0f};
  for (int frame = 0; frame < 3; ++frame) {
    sprite_.Draw(0, 0, true, &target_);
    EXPECT_EQ(sprite_.GetScaleX(), expectedX[frame]) << frame;
    EXPECT_EQ(sprite_.GetScaleY(), expectedY[frame]) << frame;
    EXPECT_EQ(sprite_.GetAngle(), expectedAngle[frame]) << frame;
  }
  EXPECT_EQ(sprite_.GetScaleStepX(), 0.0f);
  EXPECT_EQ(sprite_.GetAngleStep(), 0.0f);
}

TEST_F(CDIBSpriteTest, FrameAnimationModes) {
  struct Case {
    const char* label;
    int interval;
    int loopStart;
    bool holdLast;
    bool pingPong;
    bool reverse;
    std::vector<int> shown;
  };
  const Case cases[] = {
      {"loop from 1", 3, 1, false, false, false, {0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 1, 1, 1, 2}},
      {"hold last", 3, 1, true, false, false, {0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3}},
      {"ping-pong", 1, 0, false, true, false, {0, 1, 2, 3, 2, 1, 0, 1, 2}},
      {"ping-pong from 1", 1, 1, false, true, false, {0, 1, 0, 1, 0, 1}},
      {"reverse", 1, 0, false, false, true, {3, 2, 1, 0, 3, 2}},
      {"reverse held", 2, 0, true, false, true, {3, 3, 2, 2, 1, 1, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(sprite_.CreateBox(2, 2, 4, false, false));
    sprite_.SetInterval(c.interval);
    sprite_.SetLoopStart(c.loopStart);
    sprite_.SetHoldLast(c.holdLast);
    sprite_.SetPingPong(c.pingPong);
    if (c.reverse) {
      sprite_.SetFrame(3);
      sprite_.SetReverse(true);
    }
    std::vector<int> shown;
    for (std::size_t i = 0; i < c.shown.size(); ++i) {
      shown.push_back(sprite_.GetFrame());
      sprite_.Draw(0, 0, true, &target_);
    }
    EXPECT_EQ(shown, c.shown) << c.label;
  }
}

TEST_F(CDIBSpriteTest, SetFrameClampsAndZeroRunsForwards) {
  ASSERT_TRUE(sprite_.CreateBox(2, 2, 4, false, false));
  sprite_.SetFrame(10);
  EXPECT_EQ(sprite_.GetFrame(), 3);
  EXPECT_TRUE(sprite_.IsLastFrame());
  sprite_.SetReverse(true);
  sprite_.SetFrame(0);  // frame 0, running forwards again
  sprite_.Draw(0, 0, true, &target_);
  EXPECT_EQ(sprite_.GetFrame(), 1);
}

TEST_F(CDIBSpriteTest, SecondLoadOfTheSameNameKeepsThePictureUntilItIsModified) {
  TempFolder folder;
  folder.Write("cg/face.bmp", OnePixelBmp(10, 20, 30));
  const std::string name = folder.Path().string() + "\\cg\\face.bmp";
  ASSERT_TRUE(sprite_.Load(name));
  const CDIBitmap* first = sprite_.GetSurface();
  sprite_.SetPosition(5, 6);
  sprite_.SetBrightness(10);
  folder.Write("cg/face.bmp", OnePixelBmp(40, 50, 60));

  std::string otherCase = folder.Path().string() + "\\cg\\FACE.BMP";
  ASSERT_TRUE(sprite_.Load(otherCase));
  EXPECT_EQ(sprite_.GetSurface(), first);
  EXPECT_EQ(sprite_.GetX(), 0);
  EXPECT_EQ(sprite_.GetBrightness(), 255);
  EXPECT_EQ(sprite_.GetSurface()->GetBits(0)[0], Argb(255, 10, 20, 30));

  ASSERT_TRUE(sprite_.MultiplyColour(0, 0, 0));
  EXPECT_TRUE(sprite_.IsModified());
  ASSERT_TRUE(sprite_.Load(name));
  EXPECT_EQ(sprite_.GetSurface()->GetBits(0)[0], Argb(255, 40, 50, 60));
  EXPECT_FALSE(sprite_.IsModified());
}

TEST_F(CDIBSpriteTest, FailedLoadIsReportedAndLeavesTheSlotEmpty) {
  MakeBox(1, 1, {0}, false);
  EXPECT_FALSE(sprite_.Load("/nowhere/cg\\none.bmp"));
  EXPECT_EQ(sprite_.GetX(), 800);
  ASSERT_EQ(reporter_.reports.size(), 2u);
  EXPECT_EQ(reporter_.reports[1].message, Sjis("ファイルが開けません"));
  EXPECT_EQ(reporter_.reports[1].detail, "/nowhere/cg\\none.bmp");
}

TEST_F(CDIBSpriteTest, ClippedOnTheLeftAndGoneOnTheRight) {
  Pixels row(100);
  for (int x = 0; x < 100; ++x) row[x] = Argb(255, 0, 0, static_cast<std::uint32_t>(x));
  MakeBox(100, 1, row, false);
  sprite_.SetPosition(-50, 0);
  sprite_.Draw(0, 0, true, &target_);
  EXPECT_EQ(At(0, 0), row[50]);
  EXPECT_EQ(At(49, 0), row[99]);
  EXPECT_EQ(At(50, 0), 0u);

  target_.Fill(0, 0);
  sprite_.SetPosition(800, 0);
  sprite_.Draw(0, 0, true, &target_);
  EXPECT_EQ(Pixels(target_.GetBits(0), target_.GetBits(0) + 800 * 600), Pixels(800 * 600, 0));
  EXPECT_EQ(sprite_.GetX(), 800);  // still loaded: 800 is its position
  EXPECT_TRUE(sprite_.IsShown());
  sprite_.SetFreeOffScreen(true);
  sprite_.SetPosition(0, -1);  // above the screen: stays
  sprite_.Draw(0, 0, true, &target_);
  EXPECT_TRUE(sprite_.IsShown());
  sprite_.SetPosition(800, 0);
  sprite_.Draw(0, 0, true, &target_);
  EXPECT_FALSE(sprite_.IsShown());
  EXPECT_EQ(sprite_.GetSurface(), nullptr);
}

TEST_F(CDIBSpriteTest, BlendIsChosenByAlphaFlagLevelsMonoAndMosaic) {
  struct Case {
    const char* label;
    bool alpha;
    int opacity;
    int brightness;
    bool mono;
    std::uint32_t expected;  // plain forms, source (255; 200, 100, 50) over (0; 10, 20, 30)
  };
  const Case cases[] = {
      {"alpha blend", true, 255, 255, false, Argb(0, 199, 99, 49)},
      {"brightness", true, 255, 155, false, Argb(0, 99, 0, 0)},
      // a' = 127: (200*127 + 10*128) >> 8 = 104, (100*127 + 20*128) >> 8 = 59, 39.
      {"opacity", true, 128, 100, false, Argb(0, 104, 59, 39)},
      {"invisible", true, 0, 255, false, Argb(0, 10, 20, 30)},
      {"grey", false, 255, 255, true, Argb(255, 100, 100, 100)},
      {"copy", false, 255, 255, false, Argb(255, 200, 100, 50)},
      {"copy darker", false, 255, 200, false, Argb(0, 145, 45, 0)},
  };
  BlendForm plain(false);
  for (const Case& c : cases) {
    target_.Fill(Argb(0, 10, 20, 30), 0);
    MakeBox(1, 1, {Argb(255, 200, 100, 50)}, c.alpha);
    sprite_.SetOpacity(c.opacity);
    sprite_.SetBrightness(c.brightness);
    sprite_.SetMono(c.mono);
    sprite_.SetPosition(3, 4);
    sprite_.Draw(0, 0, true, &target_);
    EXPECT_EQ(At(3, 4), c.expected) << c.label << std::hex << " got 0x" << At(3, 4);
  }
}

TEST_F(CDIBSpriteTest, MosaicCopiesBlocksOfTheCorner) {
  // Level 32: n = 32 / 16 + 1 = 3, blocks of 2.
  MakeBox(3, 2, {Argb(9, 1, 1, 1), 2, 3, 4, 5, 6}, true);
  sprite_.SetMosaic(32);
  sprite_.Draw(0, 0, true, &target_);
  EXPECT_EQ(At(0, 0), Argb(9, 1, 1, 1));
  EXPECT_EQ(At(1, 1), Argb(9, 1, 1, 1));
  EXPECT_EQ(At(2, 0), 0u);
}

TEST_F(CDIBSpriteTest, ScaledSpriteKeepsItsBottomCentreAnchor) {
  ASSERT_TRUE(sprite_.CreateBox(200, 400, 1, true, false));
  sprite_.GetSurface()->Fill(Argb(255, 100, 100, 100), 0);
  sprite_.SetAnchor(CDIBSprite::kAnchorBottomCentre);
  sprite_.SetScale(0.5f, 0.5f);
  sprite_.Draw(0, 0, true, &target_);
  // Drawn at (50, 200), 100 x 200; every byte (s * 255) >> 8.
  const std::uint32_t drawn = Argb(254, 99, 99, 99);
  EXPECT_EQ(At(50, 200), drawn);
  EXPECT_EQ(At(149, 399), drawn);
  EXPECT_EQ(At(49, 200), 0u);
  EXPECT_EQ(At(150, 399), 0u);
  EXPECT_EQ(At(50, 199), 0u);
  EXPECT_EQ(At(50, 400), 0u);
}

TEST_F(CDIBSpriteTest, HitTestNeedsAShownOpaquePixelUnderThePoint) {
  Pixels pixels(16, Argb(255, 1, 1, 1));
  pixels[1 * 4 + 1] = Argb(0, 1, 1, 1);
  MakeBox(4, 4, pixels, true);
  sprite_.SetPosition(10, 10);
  EXPECT_TRUE(sprite_.HitTest(12, 12));
  EXPECT_FALSE(sprite_.HitTest(11, 11));
  EXPECT_FALSE(sprite_.HitTest(14, 12));
  EXPECT_FALSE(sprite_.HitTest(9, 12));
  sprite_.Show(false);
  EXPECT_FALSE(sprite_.HitTest(12, 12));
}

class RecordingTextRenderer : public TextRenderer {
 public:
  void RenderLabel(CDIBitmap& picture, std::string_view text, const TextFont*,
                   std::uint32_t colour) override {
    texts.emplace_back(text);
    colours.push_back(colour);
    picture.GetBits(0)[0] = 0xFFFFFFFF;
  }
  std::vector<std::string> texts;
  std::vector<std::uint32_t> colours;
};

TEST_F(CDIBSpriteTest, LabelsAreSizedByTheirBytesAndDrawnByTheTextRenderer) {
  ASSERT_TRUE(sprite_.SetText("abc", nullptr, 0xFFFFFF, 24, false));
  EXPECT_EQ(sprite_.GetWidth(), 12 * 3 + 4);
  EXPECT_EQ(sprite_.GetHeight(), 28);
  EXPECT_TRUE(sprite_.IsShown());
  EXPECT_TRUE(sprite_.HasAlpha());
  EXPECT_EQ(sprite_.GetSurface()->GetBits(0)[0], 0u);

  RecordingTextRenderer text;
  context_.text = &text;
  ASSERT_TRUE(sprite_.SetText("\x82\xa0", nullptr, 0x808080, 24, false));
  EXPECT_EQ(text.texts, std::vector<std::string>{"\x82\xa0"});
  EXPECT_EQ(text.colours, std::vector<std::uint32_t>{0x808080});
  EXPECT_EQ(sprite_.GetSurface()->GetBits(0)[0], 0xFFFFFFFFu);
}

TEST_F(CDIBSpriteTest, TextHolderKeepsTheTextAndDrawsNothing) {
  ASSERT_TRUE(sprite_.SetTextDirect("hello", nullptr, 0xFFFFFF, 24, 20, 3, true));
  EXPECT_TRUE(sprite_.IsTextHolder());
  EXPECT_EQ(*sprite_.Text(), "hello");
  EXPECT_EQ(sprite_.CharacterLimit(), 10000);
  EXPECT_EQ(sprite_.Indent(), -1);
  EXPECT_FALSE(sprite_.IsShown());
  EXPECT_TRUE(sprite_.Draw(0, 0, true, &target_));
  EXPECT_FALSE(sprite_.HitTest(0, 0));
  EXPECT_EQ(At(0, 0), 0u);
}

TEST_F(CDIBSpriteTest, CopyFromSurfaceCutsToBothSurfaces) {
  CDIBitmap source(screenContext_);
  ASSERT_TRUE(source.Create(4, 4, 1, false, false));
  for (int i = 0; i < 16; ++i) source.GetBits(0)[i] = static_cast<std::uint32_t>(100 + i);
  MakeBox(3, 3, Pixels(9, 7), false);
  ASSERT_TRUE(sprite_.CopyFromSurface(source, 1, 2, 0, 0, -1, -1));
  const std::uint32_t* own = sprite_.GetSurface()->GetBits(0);
  EXPECT_EQ(Pixels(own, own + 9), (Pixels{109, 110, 111, 113, 114, 115, 7, 7, 7}));
  CDIBitmap empty(screenContext_);
  EXPECT_FALSE(sprite_.CopyFromSurface(empty, 0, 0, 0, 0, -1, -1));
}

TEST_F(CDIBSpriteTest, MultiplyColourAndAdjustHsvChangeFrameZero) {
  MakeBox(2, 1, {Argb(255, 100, 50, 10), Argb(255, 255, 0, 0)}, true);
  ASSERT_TRUE(sprite_.MultiplyColour(100, 0, -100));
  const std::uint32_t* pixels = sprite_.GetSurface()->GetBits(0);
  EXPECT_EQ(pixels[0], Argb(255, 200, 50, 0));
  ASSERT_TRUE(sprite_.AdjustHsv(120, 0, 0));
  EXPECT_EQ(pixels[1], Argb(255, 0, 255, 0));
}

// Five 4 x 4 opaque red petals and two bats of the same picture in a picture archive.
class ParticleTest : public CDIBSpriteTest {
 protected:
  void SetUp() override {
    PsdDocument document;
    document.width = 4;
    document.height = 4;
    Bytes planes(16, 255);
    planes.resize(48, 0);
    document.merged = RawBlock(planes);
    const Bytes petal = MakePsd(document);
    for (int i = 1; i <= 5; ++i) {
      folder_.Write("in/_Bara" + std::to_string(i) + ".psd",
                    std::string(petal.begin(), petal.end()));
    }
    for (int i = 1; i <= 2; ++i) {
      folder_.Write("in/_BatFly" + std::to_string(i) + ".psd",
                    std::string(petal.begin(), petal.end()));
    }
    ASSERT_EQ(testing::RunTool(folder_, {"arc", "pack", folder_.File("cg.dat"), folder_.File("in"),
                                         "--scramble"}),
              0);
    ASSERT_TRUE(archive_.Open(folder_.File("cg.dat"), true, false));
    context_.pictures = &archive_;
  }

  TempFolder folder_;
  CArcFile archive_;
};

TEST_F(ParticleTest, PetalsRiseFromTheBottomCentreInSoftwareToo) {
  BlendForm plain(false);
  ASSERT_TRUE(sprite_.SetParticles(1));
  EXPECT_FALSE(sprite_.IsShown());
  ASSERT_TRUE(sprite_.SetParticles(2));
  EXPECT_TRUE(sprite_.IsShown());
  ASSERT_TRUE(sprite_.Draw(0, 0, true, &target_));
  // After one frame each petal is at x = 400 -+ speed (0.5 .. 2) and just above y = 600 (arc
  // angle 0.5 or 1 degree), so only row 599 shows red, between columns 398 and 405.
  int red = 0;
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 800; ++x) {
      if (At(x, y) == 0) continue;
      ++red;
      EXPECT_EQ(y, 599);
      EXPECT_GE(x, 398);
      EXPECT_LE(x, 405);
      EXPECT_EQ(At(x, y) & 0xFFFFFF, 0xFE0000u);  // red 255 through the alpha blend
    }
  }
  EXPECT_GT(red, 0);
  ASSERT_TRUE(sprite_.SetParticles(0));
  EXPECT_EQ(sprite_.GetParticleMode(), 0);
  EXPECT_FALSE(sprite_.IsShown());
}

TEST_F(ParticleTest, BatsFlutterInsideTheirAreaWhenAccelerated) {
  auto renderer = SdlAcceleratedRenderer::CreateOffscreen(800, 600);
  ASSERT_NE(renderer, nullptr);
  context_.accelerated = renderer.get();
  CDIBSprite bats(context_, random_);  // made after the renderer, so its textures go first
  ASSERT_TRUE(bats.SetParticles(10));
  ASSERT_TRUE(bats.SetParticles(11));
  ASSERT_TRUE(renderer->BeginScene(nullptr, 0xFF000000));
  ASSERT_TRUE(bats.Draw(0, 0, true, nullptr));
  ASSERT_TRUE(renderer->EndScene());
  Pixels frame(800 * 600);
  ASSERT_TRUE(renderer->ReadPixels(nullptr, frame.data(), 800));
  // Three bats start inside 100 <= x < 700, 240 <= y < 440 and move at most about a pixel.
  int red = 0;
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 800; ++x) {
      if ((frame[y * 800 + x] & 0xFFFFFF) == 0) continue;
      ++red;
      EXPECT_EQ(frame[y * 800 + x] & 0xFFFFFF, 0xFF0000u);
      EXPECT_TRUE(x >= 98 && x < 706 && y >= 238 && y < 446) << x << "," << y;
    }
  }
  EXPECT_GT(red, 0);
}

}  // namespace
}  // namespace halcyra

namespace halcyra {
namespace {

TEST(SpriteTableTest, DumpListsTheSpritesThatHoldSomething) {
  GraphicsContext context;
  SpriteTable sprites(context, 7);
  EXPECT_EQ(sprites.DumpText(), "");
  ASSERT_TRUE(sprites.At(10).CreateBox(4, 3, 1, true, false));
  ASSERT_TRUE(sprites.At(10).SetPosition(-100, 20));
  ASSERT_TRUE(sprites.At(10).Show(true));
  ASSERT_TRUE(sprites.At(31).CreateBox(2, 2, 1, false, false));
  ASSERT_TRUE(sprites.At(31).Show(false));
  const std::string dump = sprites.DumpText();
  EXPECT_NE(dump.find(" 10 "), std::string::npos) << dump;
  EXPECT_NE(dump.find("at -100,20"), std::string::npos) << dump;
  EXPECT_NE(dump.find("shown"), std::string::npos) << dump;
  EXPECT_NE(dump.find(" 31 "), std::string::npos) << dump;
  EXPECT_NE(dump.find("hidden"), std::string::npos) << dump;
  EXPECT_EQ(std::count(dump.begin(), dump.end(), '\n'), 2);
}

}  // namespace
}  // namespace halcyra

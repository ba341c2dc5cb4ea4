#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "graphics/CDIB.h"
#include "graphics/SpriteTable.h"
#include "platform/HeadlessPlatform.h"
#include "platform/SdlAcceleratedRenderer.h"
#include "script/GameState.h"
#include "tests/graphics/GraphicsFixtures.h"

namespace halcyra {
namespace {

using testing::BlendForm;
using testing::RecordingReporter;
using Pixels = std::vector<std::uint32_t>;

using testing::Argb;

// Channels of the accelerated path may differ from the exact software arithmetic by rounding:
// the renderer divides by 255 where the software blends shift by 8.
constexpr int kAcceleratedTolerance = 2;

class CountingPainter : public ScreenPainter {
 public:
  void PaintScreen() override { ++paints; }
  int paints = 0;
};

// The headless platform with SDL's software renderer standing in for a graphics card.
class AcceleratedHeadless : public HeadlessPlatform {
 public:
  AcceleratedHeadless() : renderer_(SdlAcceleratedRenderer::CreateOffscreen(800, 600)) {}
  AcceleratedRenderer* Accelerated() override { return renderer_.get(); }
  SdlAcceleratedRenderer* Renderer() { return renderer_.get(); }

 private:
  std::unique_ptr<SdlAcceleratedRenderer> renderer_;
};

class CDIBTest : public ::testing::Test {
 protected:
  void Start(bool accelerated) {
    state_ = std::make_unique<GameState>();
    state_->Clear();
    platform_ = std::make_unique<AcceleratedHeadless>();
    ASSERT_NE(platform_->Renderer(), nullptr);
    display_ = std::make_unique<CDIB>();
    display_->SetErrorReporter(&reporter_);
    ASSERT_TRUE(display_->Init(*platform_, painter_, !accelerated));
    ASSERT_EQ(display_->UseDirect3D(), accelerated);
    sprites_ = std::make_unique<SpriteTable>(display_->Context(), 1);
    display_->SetSprites(sprites_.get());
    display_->SetGameState(state_.get());
  }

  void TearDown() override {
    sprites_.reset();
    display_.reset();
  }

  // A shown box at (x, y) filled with colour; alpha: drawn through the alpha blends.
  CDIBSprite& Box(int slot, int x, int y, int width, int height, std::uint32_t colour,
                  bool alpha = true) {
    CDIBSprite& sprite = sprites_->At(slot);
    EXPECT_TRUE(sprite.CreateBox(width, height, 1, alpha, false));
    sprite.GetSurface()->Fill(colour, 0);
    sprite.SetPosition(x, y);
    return sprite;
  }

  // Composes one frame (the clock moves on so that none is dropped) and returns it.
  Pixels Frame(bool advance = true) {
    platform_->Sleep(CDIB::kFrameInterval);
    EXPECT_TRUE(display_->DrawFrame(advance, false, true));
    if (!display_->UseDirect3D())
      return Pixels(display_->BackBuffer(), display_->BackBuffer() + 800 * 600);
    Pixels pixels(800 * 600, 0);
    EXPECT_TRUE(platform_->Renderer()->ReadPixels(nullptr, pixels.data(), 800));
    return pixels;
  }

  static std::uint32_t At(const Pixels& frame, int x, int y) { return frame[y * 800 + x]; }

  std::unique_ptr<GameState> state_;
  std::unique_ptr<AcceleratedHeadless> platform_;
  CountingPainter painter_;
  RecordingReporter reporter_;
  std::unique_ptr<CDIB> display_;
  std::unique_ptr<SpriteTable> sprites_;
};

// --- One scene through both renderers -----------------------------------------------------

struct Probe {
  const char* what;
  int x;
  int y;
  std::uint32_t expected;  // colour channels, exact in the SIMD software form
};

// Background (40, 80, 120) opaque, 820 wide at -10 so that the pan brings it to 0; slot 5
// half-transparent orange 100 x 100 at (50, 50) moves by pan / 3 = 10; slot 15 opaque red 50 x 50
// at opacity 128 at (300, 300) moves by 30; slot 40 white 20 x 20 at (700, 500) stays.
const Probe kSceneProbes[] = {
    {"background", 5, 5, Argb(0, 40, 80, 120)},
    {"left of the far layer", 59, 50, Argb(0, 40, 80, 120)},
    // (200*128 + 40*127) >> 8 = 119, (100*128 + 80*127) >> 8 = 89, (120*127) >> 8 = 59.
    {"far layer", 60, 50, Argb(0, 119, 89, 59)},
    {"far layer corner", 159, 149, Argb(0, 119, 89, 59)},
    {"right of the far layer", 160, 50, Argb(0, 40, 80, 120)},
    {"left of the near layer", 329, 300, Argb(0, 40, 80, 120)},
    // a' = 127: (255*127 + 40*128) >> 8 = 146, (80*128) >> 8 = 40, (120*128) >> 8 = 60.
    {"near layer", 330, 300, Argb(0, 146, 40, 60)},
    {"overlay", 700, 500, Argb(0, 255, 255, 255)},
    {"overlay end", 720, 500, Argb(0, 40, 80, 120)},
};

class ConformanceTest : public CDIBTest {
 protected:
  void BuildScene() {
    Box(0, -10, 0, 820, 600, Argb(255, 40, 80, 120));
    Box(5, 50, 50, 100, 100, Argb(128, 200, 100, 0));
    Box(15, 300, 300, 50, 50, Argb(255, 255, 0, 0)).SetOpacity(128);
    Box(40, 700, 500, 20, 20, Argb(255, 255, 255, 255));
    display_->SetPan(30);
  }
};

TEST_F(ConformanceTest, SoftwareComposesTheSceneExactly) {
  BlendForm simd(true);
  Start(false);
  BuildScene();
  const Pixels frame = Frame();
  for (const Probe& probe : kSceneProbes) {
    EXPECT_EQ(At(frame, probe.x, probe.y) & 0xFFFFFF, probe.expected) << probe.what;
  }
}

TEST_F(ConformanceTest, AcceleratedComposesTheSameSceneWithinTolerance) {
  Start(true);
  BuildScene();
  const Pixels frame = Frame();
  for (const Probe& probe : kSceneProbes) {
    const std::uint32_t got = At(frame, probe.x, probe.y);
    for (int shift : {0, 8, 16}) {
      const int expected = static_cast<int>((probe.expected >> shift) & 0xFF);
      const int actual = static_cast<int>((got >> shift) & 0xFF);
      EXPECT_LE(std::abs(actual - expected), kAcceleratedTolerance)
          << probe.what << " channel " << shift << " got " << actual;
    }
  }
  EXPECT_TRUE(reporter_.boxes.empty());
}

TEST_F(CDIBTest, NegativePanMovesTheFarLayersByAThirdTowardsZero) {
  BlendForm simd(true);
  Start(false);
  Box(3, 100, 0, 1, 1, Argb(255, 1, 2, 3), false);
  Box(20, 100, 1, 1, 1, Argb(255, 4, 5, 6), false);
  display_->SetPan(-31);
  const Pixels frame = Frame();
  EXPECT_EQ(At(frame, 90, 0), Argb(255, 1, 2, 3));  // -31 / 3 = -10
  EXPECT_EQ(At(frame, 69, 1), Argb(255, 4, 5, 6));
}

TEST_F(CDIBTest, ShakeMovesOnlyTheSceneLayers) {
  for (bool accelerated : {false, true}) {
    BlendForm simd(true);
    Start(accelerated);
    Box(10, 100, 100, 1, 1, Argb(255, 9, 9, 9));
    Box(30, 200, 100, 1, 1, Argb(255, 7, 7, 7));
    display_->SetShakeX(5);
    display_->SetShakeY(-3);
    const Pixels frame = Frame();
    EXPECT_EQ(At(frame, 105, 97) & 0xFFFFFF, 0x090909u) << accelerated;
    EXPECT_EQ(At(frame, 200, 100) & 0xFFFFFF, 0x070707u) << accelerated;
    TearDown();
  }
}

TEST_F(CDIBTest, LetterboxBarsCoverTheSceneButNotTheOverlays) {
  BlendForm simd(true);
  Start(false);
  Box(0, 0, 0, 800, 600, Argb(255, 50, 50, 50));
  Box(100, 0, 0, 4, 4, Argb(255, 200, 200, 200));
  state_->flags[GameState::kTopMaskFlag] = 5;
  state_->flags[GameState::kBottomMaskFlag] = 70;
  Pixels frame = Frame();
  EXPECT_EQ(At(frame, 10, 0), 0u);
  EXPECT_EQ(At(frame, 10, 39), 0u);
  EXPECT_EQ(At(frame, 10, 40) & 0xFFFFFF, 0x323232u);
  EXPECT_EQ(At(frame, 10, 559) & 0xFFFFFF, 0x323232u);
  EXPECT_EQ(At(frame, 10, 560), 0u);
  EXPECT_EQ(At(frame, 799, 599), 0u);
  EXPECT_EQ(At(frame, 0, 0) & 0xFFFFFF, 0xC8C8C8u);

  state_->flags[GameState::kTopMaskFlag] = 0;
  state_->flags[GameState::kBottomMaskFlag] = 10;
  frame = Frame();
  EXPECT_EQ(At(frame, 10, 0) & 0xFFFFFF, 0x323232u);
  EXPECT_EQ(At(frame, 10, 599) & 0xFFFFFF, 0x323232u);
}

TEST_F(CDIBTest, DarkeningNeedsSimdAndSparesTheOverlays) {
  struct Case {
    const char* label;
    bool simd;
    int darkness;
    int brightness;
    std::uint32_t scene;  // background (40, 80, 120) after the darkening steps
  };
  const Case cases[] = {
      // 2 x -50 = -100: f = 155; (40*155) >> 8 = 24, (80*155) >> 8 = 48, (120*155) >> 8 = 72.
      {"brightness", true, 0, -50, Argb(254, 24, 48, 72)},
      // Darkness 10: f = 255, alpha 0: (c * 255) >> 8.
      {"darkness", true, 10, 0, Argb(0, 39, 79, 119)},
      {"no simd", false, 10, -50, Argb(0, 39, 79, 119)},  // plain blend, no darkening
  };
  for (const Case& c : cases) {
    BlendForm form(c.simd);
    Start(false);
    Box(0, 0, 0, 800, 600, Argb(255, 40, 80, 120));
    Box(29, 0, 0, 1, 1, Argb(255, 40, 80, 120), false);
    state_->flags[GameState::kPageDimFlag] = static_cast<std::uint8_t>(c.darkness);
    state_->flags[GameState::kScreenBrightnessFlag] = static_cast<std::uint8_t>(c.brightness);
    const Pixels frame = Frame();
    EXPECT_EQ(At(frame, 5, 5), c.scene) << c.label;
    EXPECT_EQ(At(frame, 0, 0), Argb(255, 40, 80, 120)) << c.label;
    TearDown();
  }
}

TEST_F(CDIBTest, FramesCloserThanTheIntervalAreDroppedOrWaitedFor) {
  Start(false);
  EXPECT_TRUE(display_->DrawFrame(true, false, false));
  EXPECT_EQ(painter_.paints, 1);
  EXPECT_TRUE(display_->DrawFrame(true, false, false));
  EXPECT_EQ(painter_.paints, 1);
  platform_->Sleep(5);
  EXPECT_TRUE(display_->DrawFrame(true, true, false));
  EXPECT_EQ(painter_.paints, 2);
  EXPECT_EQ(platform_->TotalSleep(), 17u);
  platform_->Sleep(17);
  EXPECT_TRUE(display_->DrawFrame(true, false, true));
  EXPECT_EQ(painter_.paints, 2);  // composed, not presented
}

TEST_F(CDIBTest, SuspendedDeviceNeitherComposesNorPresents) {
  Start(false);
  Box(40, 0, 0, 1, 1, Argb(255, 1, 1, 1));
  display_->Suspend(true);
  platform_->Sleep(17);
  EXPECT_TRUE(display_->DrawFrame(true, true, false));
  EXPECT_EQ(painter_.paints, 0);
  EXPECT_EQ(display_->BackBuffer()[0], 0u);
}

TEST_F(CDIBTest, ZoomIsClampedAndScalesTheSceneWhenAccelerated) {
  Start(false);
  EXPECT_TRUE(display_->SetZoom(300));
  EXPECT_EQ(display_->GetZoom(), 255);
  display_->SetZoom(-4);
  EXPECT_EQ(display_->GetZoom(), 0);
  TearDown();
  Start(true);
  Box(29, 0, 0, 1, 1, 0);
  Box(30, 0, 0, 1, 1, 0);
  EXPECT_TRUE(display_->SetZoom(32));
  EXPECT_EQ(sprites_->At(29).GetScaleX(), 3.0f);
  EXPECT_EQ(sprites_->At(30).GetScaleX(), 1.0f);
}

TEST_F(CDIBTest, AcceleratedSpritesMoveOnlyWhenAdvancingExceptTheDebugSlot) {
  Start(true);
  Box(50, 0, 0, 1, 1, Argb(255, 1, 1, 1)).SetVelocity(65536, 0);
  Box(299, 0, 10, 1, 1, Argb(255, 1, 1, 1)).SetVelocity(65536, 0);
  sprites_->At(50).SetTarget(100, 0);
  sprites_->At(299).SetTarget(100, 10);
  Frame(false);
  EXPECT_EQ(sprites_->At(50).GetX(), 0);
  EXPECT_EQ(sprites_->At(299).GetX(), 1);
  Frame(true);
  EXPECT_EQ(sprites_->At(50).GetX(), 1);
  EXPECT_EQ(sprites_->At(299).GetX(), 2);
}

TEST_F(CDIBTest, AcceleratedWrapTilesAScrollingPicture) {
  Start(true);
  CDIBSprite& strip = Box(0, -100, 0, 100, 1, 0, false);
  std::uint32_t* pixels = strip.GetSurface()->GetBits(0);
  for (int x = 0; x < 100; ++x) pixels[x] = Argb(255, 0, 0, static_cast<std::uint32_t>(x));
  strip.GetSurface()->Unlock(0);
  strip.SetWrap(true);
  strip.SetVelocity(-65536, 0);
  // -100 moves to -101, whose right edge is left of 0: it wraps to -1 and is drawn twice.
  const Pixels frame = Frame();
  EXPECT_EQ(strip.GetX(), -1);
  EXPECT_EQ(At(frame, 0, 0) & 0xFF, 1u);
  EXPECT_EQ(At(frame, 98, 0) & 0xFF, 99u);
  EXPECT_EQ(At(frame, 99, 0) & 0xFF, 0u);
  EXPECT_EQ(At(frame, 198, 0) & 0xFF, 99u);
  EXPECT_EQ(At(frame, 199, 0), 0xFF000000u);
}

TEST_F(CDIBTest, AcceleratedRotationTurnsAboutTheChosenCentre) {
  Start(true);
  CDIBSprite& bar = Box(40, 100, 100, 4, 2, 0, true);
  std::uint32_t* pixels = bar.GetSurface()->GetBits(0);
  for (int i = 0; i < 8; ++i) pixels[i] = (i % 4) < 2 ? Argb(255, 255, 0, 0) : Argb(255, 0, 255, 0);
  bar.GetSurface()->Unlock(0);
  bar.SetRotationCentre(CDIBSprite::kRotateAboutCentre);
  bar.SetAngle(180.0f);
  const Pixels frame = Frame();
  EXPECT_EQ(At(frame, 100, 100) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(At(frame, 103, 101) & 0xFFFFFF, 0xFF0000u);
}

TEST_F(CDIBTest, CaptureSceneCopiesTheSceneIntoTheRenderTarget) {
  Start(true);
  Box(0, 0, 0, 800, 600, Argb(255, 40, 80, 120));
  Box(29, 10, 0, 2, 2, Argb(255, 200, 0, 0));
  Box(30, 20, 0, 2, 2, Argb(255, 0, 200, 0));  // not part of the capture
  CDIBSprite& capture = sprites_->At(SpriteTable::kCaptureSlot);
  ASSERT_TRUE(capture.CreateBox(800, 600, 1, true, true));
  ASSERT_TRUE(capture.CaptureScene(*sprites_));
  int pitch = 0;
  std::uint32_t* pixels = nullptr;
  ASSERT_TRUE(capture.GetSurface()->Lock(0, pitch, pixels));
  EXPECT_EQ(pixels[5] & 0xFFFFFF, 0x285078u);
  EXPECT_EQ(pixels[10] & 0xFFFFFF, 0xC80000u);
  EXPECT_EQ(pixels[20] & 0xFFFFFF, 0x285078u);
}

TEST_F(CDIBTest, SoftwareCaptureIsRefused) {
  Start(false);
  CDIBSprite& capture = sprites_->At(SpriteTable::kCaptureSlot);
  ASSERT_TRUE(capture.CreateBox(800, 600, 1, true, true));
  EXPECT_FALSE(capture.CaptureScene(*sprites_));
}

}  // namespace
}  // namespace halcyra

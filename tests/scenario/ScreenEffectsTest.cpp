#include "scenario/ScreenEffects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/InputState.h"
#include "graphics/SpriteTable.h"
#include "tests/scenario/EffectsFixture.h"

namespace halcyra {
namespace {

using testing::Argb;

constexpr std::uint32_t kRed = 0xFFFF0000u;
constexpr std::uint32_t kBlue = 0xFF0000FFu;
constexpr std::uint32_t kOpaqueBlack = 0xFF000000u;
constexpr std::uint32_t kOpaqueWhite = 0xFFFFFFFFu;
constexpr int kOverlay = 298;

class ScreenEffectsTest : public testing::EffectsFixture {
 protected:
  std::vector<int> ShakeY() const {
    std::vector<int> offsets;
    for (const auto& paint : Paints()) offsets.push_back(paint.shakeY);
    return offsets;
  }
  std::vector<std::pair<int, int>> Shakes() const {
    std::vector<std::pair<int, int>> offsets;
    for (const auto& paint : Paints()) offsets.emplace_back(paint.shakeX, paint.shakeY);
    return offsets;
  }
  // Holds Ctrl down from the given poll on.
  void HoldCtrlFromPoll(int poll) {
    host_.onPoll = [this, poll, count = 0]() mutable {
      if (++count >= poll) host_.ctrlDown = true;
    };
  }
  // Latches a click at the given poll.
  void ClickAtPoll(int poll) {
    host_.onPoll = [this, poll, count = 0]() mutable {
      if (++count == poll) engine_.input.SetInput(kInputAdvance, true);
    };
  }
};

// a = n / 2 (SHAKE_1) or n / 4 (SHAKE_2) for n = 20..1, alternately -a² and +a², then 0.
TEST_F(ScreenEffectsTest, ShakesFollowTheirOffsetSequencesAndEndAtRest) {
  const std::pair<const char*, std::vector<int>> cases[] = {
      {"SHAKE_1", {-100, 81, -81, 64, -64, 49, -49, 36, -36, 25, -25,
                   16, -16, 9, -9, 4, -4, 1, -1, 0, 0}},
      {"SHAKE_2", {-25, 16, -16, 16, -16, 9, -9, 9, -9, 4, -4,
                   4, -4, 1, -1, 1, -1, 0, 0, 0, 0}},
  };
  for (const auto& [word, expected] : cases) {
    window_.paints.clear();
    ASSERT_TRUE(Run("shake " + std::string(word) + "\r\n"));
    EXPECT_EQ(ShakeY(), expected) << word;
    EXPECT_EQ(engine_.display->GetShakeY(), 0);
  }
}

TEST_F(ScreenEffectsTest, ShakeMovesOnlyTheSceneLayers) {
  Paint(0, 800, 600, kRed);
  Paint(29, 10, 10, kBlue, 0, 590);
  ProbePixel(400, 550);
  ASSERT_TRUE(Run("shake SHAKE_1\r\n"));
  ASSERT_GE(Paints().size(), 2u);
  EXPECT_EQ(Paints()[0].probe, 0);     // the scene moved up 100 rows: row 550 is uncovered
  EXPECT_EQ(Paints()[1].probe, kRed);  // moved down 81 rows
  EXPECT_EQ(Pixel(5, 595), kBlue);     // overlays stay where they are
}

TEST_F(ScreenEffectsTest, FourWayShakesRunTheirPhases) {
  using Shake = std::pair<int, int>;
  const std::pair<const char*, std::vector<Shake>> cases[] = {
      {"shake3 4 2 5 0", {{0, 0}, {0, 0}, {-5, 0}, {-5, 0}, {0, 0}, {0, 0}, {5, 0}, {5, 0},
                          {0, 0}}},
      // Divisors 4 / √16 = 1: amplitudes (n / 1)² for n = 4, 3, 2, 1.
      {"shake2 4 1 16 16", {{0, -16}, {-9, 0}, {0, 4}, {1, 0}, {0, 0}}},
      // Hold 0 counts as 1; divisor 8 / √9 = 2 on y only: (n / 2)² for n = 8, 6, 4.
      {"shake2 8 0 0 9", {{0, -16}, {0, 0}, {0, 9}, {0, 0}, {0, -4}, {0, 0}, {0, 1}, {0, 0},
                          {0, 0}}},
  };
  for (const auto& [statement, expected] : cases) {
    window_.paints.clear();
    ASSERT_TRUE(Run(std::string(statement) + "\r\n"));
    EXPECT_EQ(Shakes(), expected) << statement;
  }
}

TEST_F(ScreenEffectsTest, UnknownWordsOfScrollShakeZoomAndMonoEndTheRun) {
  for (const char* statement : {"shake SHAKE_3", "scroll 0 LEFT", "zoom ZOOM", "mono 1 ON"}) {
    ASSERT_TRUE(Load(std::string(statement) + "\r\nA=1\r\n"));
    EXPECT_FALSE(RunToEnd()) << statement;
    EXPECT_EQ(Variable('A'), 0) << statement;
  }
  EXPECT_EQ(Boxes().size(), 4u);
  EXPECT_TRUE(Reported(testing::kBadParameter));
}

TEST_F(ScreenEffectsTest, FlashCoversTheScreenFromTheNextFrameUntilANegativeValue) {
  Paint(0, 800, 600, kBlue);
  ASSERT_TRUE(Run("flash 255 0 0\r\n"));
  EXPECT_TRUE(Paints().empty());
  script_.Present();
  EXPECT_EQ(Pixel(400, 300), kRed);
  ASSERT_TRUE(Run("flash -1 0 0\r\n"));
  script_.Present();
  EXPECT_EQ(Pixel(400, 300), kBlue);
  EXPECT_FALSE(engine_.sprites->At(kOverlay).IsShown());
}

TEST_F(ScreenEffectsTest, WhiteFlashesAlternateWithPausesAndLeaveNoCover) {
  Paint(0, 800, 600, kBlue);
  ProbePixel(400, 300);
  ASSERT_TRUE(Run("flash2 0.05 0.05 0.05\r\n"));
  const std::vector<std::int64_t> probes = Probes();
  ASSERT_FALSE(probes.empty());
  EXPECT_EQ(probes.front(), kOpaqueWhite);
  EXPECT_EQ(probes.back(), kOpaqueWhite);
  EXPECT_NE(std::find(probes.begin(), probes.end(), kBlue), probes.end());
  EXPECT_EQ(engine_.sprites->At(kOverlay).GetSurface(), nullptr);
}

TEST_F(ScreenEffectsTest, FlashesTakeNoTimeWhenWaitsAreCancelled) {
  engine_.settings.effect.waitCancel = true;
  ASSERT_TRUE(Run("flash1 2\r\nflash3 1 1 1 1 1\r\n"));
  EXPECT_TRUE(Paints().empty());
  EXPECT_EQ(engine_.sprites->At(kOverlay).GetSurface(), nullptr);
}

// Levels per frame at Effect/Speed -4 (step 16).
std::vector<std::int64_t> Levels(int from, int step, int count) {
  std::vector<std::int64_t> levels;
  for (int i = 0; i < count; ++i) levels.push_back(from + i * step);
  return levels;
}

// Each paint records the level of the slot in question plus 1000 times the levels of the others.
TEST_F(ScreenEffectsTest, MosaicActsOnTheBackgroundOrSlotTwoNPlusTen) {
  const int slots[] = {0, 1, 10, 12, 14, 16};
  const std::pair<int, int> cases[] = {{0, 0}, {1, 12}, {2, 14}, {3, 16}};
  for (const auto& [n, slot] : cases) {
    window_.paints.clear();
    for (const int other : slots) Paint(other, 50, 50, kRed);
    window_.probe = [this, &slots, slot = slot] {
      std::int64_t value = 0;
      for (const int other : slots) {
        value += engine_.sprites->At(other).GetMosaic() * (other == slot ? 1 : 1000);
      }
      return value;
    };
    ASSERT_TRUE(Run("mosaic " + std::to_string(n) + " MOSAIC_IN\r\n"));
    std::vector<std::int64_t> expected = Levels(255, -16, 16);  // 255 .. 15
    expected.push_back(0);
    EXPECT_EQ(Probes(), expected) << n;
  }
}

TEST_F(ScreenEffectsTest, MosaicWordsRunTheirLevels) {
  Paint(0, 50, 50, kRed);
  window_.probe = [this] { return engine_.sprites->At(0).GetMosaic(); };
  std::vector<std::int64_t> out = Levels(0, 16, 16);  // 0 .. 240
  std::vector<std::int64_t> outIn = out;
  const std::vector<std::int64_t> back = Levels(255, -16, 16);
  outIn.insert(outIn.end(), back.begin(), back.end());
  out.push_back(255);
  outIn.push_back(0);
  ASSERT_TRUE(Run("mosaic 0 MOSAIC_OUT\r\n"));
  EXPECT_EQ(Probes(), out);
  window_.paints.clear();
  ASSERT_TRUE(Run("mosaic 0 MOSAIC_OUTIN\r\nA=1\r\n"));
  EXPECT_EQ(Probes(), outIn);
  ASSERT_TRUE(Run("mosaic 0 MOSAIC_SIDEWAYS\r\nA=2\r\n"));  // reported, the script goes on
  EXPECT_EQ(Variable('A'), 2);
  EXPECT_TRUE(Reported(testing::kBadParameter));
}

// The SIMD grey copy: g = (29 blue + 150 green + 76 red) >> 8, alpha 0.
TEST_F(ScreenEffectsTest, MonoGreysTheRawSlotItNames) {
  const std::uint32_t colour = Argb(255, 200, 100, 50);
  const std::uint32_t grey = Argb(0, 123, 123, 123);  // 31650 >> 8
  Paint(1, 100, 100, colour, 0, 0).SetAlpha(false);
  Paint(10, 100, 100, colour, 200, 0).SetAlpha(false);
  ASSERT_TRUE(Run("mono 10 SET\r\n"));
  script_.Present();
  EXPECT_EQ(Pixel(250, 50), grey);
  EXPECT_EQ(Pixel(50, 50), colour);
  ASSERT_TRUE(Run("mono 1 SET\r\nmono 10 RESET\r\n"));
  script_.Present();
  EXPECT_EQ(Pixel(50, 50), grey);
  EXPECT_EQ(Pixel(250, 50), colour);
}

TEST_F(ScreenEffectsTest, ScrollMovesTheLayerToItsEdgeFiveRowsAFrame) {
  CDIBSprite& sprite = Paint(0, 800, 1200, kRed, 0, -12);
  window_.probe = [&sprite] { return sprite.GetY(); };
  ASSERT_TRUE(Run("scroll 0 SCROLL_UP\r\n"));
  EXPECT_EQ(Probes(), (std::vector<std::int64_t>{-7, -2, 0}));
  window_.paints.clear();
  ASSERT_TRUE(Run("scroll 0 SCROLL_DOWN\r\n"));  // up until the bottom edge meets the screen's
  ASSERT_EQ(Paints().size(), 120u);
  EXPECT_EQ(Paints().front().probe, -5);
  EXPECT_EQ(Paints().back().probe, -600);
  EXPECT_EQ(engine_.state->layerY[0], 0);  // the record is not changed
}

TEST_F(ScreenEffectsTest, WholeScreenFadeEndsAtFullCoverThenShowsTheSceneAgain) {
  Paint(0, 800, 600, kOpaqueWhite);
  ProbePixel(400, 300);
  ASSERT_TRUE(Run("fade_all_out\r\n"));
  const std::vector<std::int64_t> probes = Probes();
  ASSERT_EQ(probes.size(), 17u);  // opacity 0, 16, .. 240, then 255
  EXPECT_EQ(probes.front(), kOpaqueWhite);
  // Opacity 16 over white: a' = (255 * 16) >> 8 = 15, channel (255 * 240) >> 8 = 239.
  EXPECT_EQ(probes[1], Argb(255, 239, 239, 239));
  EXPECT_EQ(probes.back(), kOpaqueBlack);
  script_.Present();
  EXPECT_EQ(Pixel(400, 300), kOpaqueWhite);
}

TEST_F(ScreenEffectsTest, WhiteFadesFadeThroughWhite) {
  Paint(0, 800, 600, kOpaqueBlack);
  ProbePixel(400, 300);
  ASSERT_TRUE(Run("fade_all_white_in\r\n"));
  const std::vector<std::int64_t> probes = Probes();
  ASSERT_EQ(probes.size(), 17u);  // opacity 255, 239, .. 15, then 0
  EXPECT_EQ(probes.front(), kOpaqueWhite);
  EXPECT_EQ(probes.back(), kOpaqueBlack);
  window_.paints.clear();
  ASSERT_TRUE(Run("fade_all_white_out\r\n"));
  EXPECT_EQ(Probes().back(), kOpaqueWhite);
}

TEST_F(ScreenEffectsTest, AClickEndsAWholeScreenFadeAndIsConsumed) {
  Paint(0, 800, 600, kOpaqueWhite);
  ClickAtPoll(3);
  ASSERT_TRUE(Run("fade_all_out\r\n"));
  EXPECT_EQ(Paints().size(), 4u);  // three fading frames, then full cover
  EXPECT_FALSE(engine_.input.IsLatched(kInputAdvance));
}

// 200 x 400 at (0, 0), scale 0.5 about the bottom centre: drawn at (50, 200), 100 x 200, each
// byte blended as (s * 255) >> 8.
TEST_F(ScreenEffectsTest, ZoomWithNoFramesScalesAtOnceAboutTheBottomCentre) {
  Paint(10, 200, 400, Argb(255, 200, 100, 50));
  ASSERT_TRUE(Run("zoom2 1 0.5 0.5 0\r\n"));
  EXPECT_TRUE(Paints().empty());
  script_.Present();
  const std::uint32_t drawn = Argb(254, 199, 99, 49);
  EXPECT_EQ(Pixel(50, 200), drawn);
  EXPECT_EQ(Pixel(149, 399), drawn);
  EXPECT_EQ(Pixel(49, 200), 0u);
  EXPECT_EQ(Pixel(50, 199), 0u);
  EXPECT_EQ(Pixel(150, 399), 0u);
}

TEST_F(ScreenEffectsTest, ZoomOverFramesStepsToTheExactScale) {
  CDIBSprite& sprite = Paint(10, 200, 400, kRed);
  window_.probe = [&sprite] { return static_cast<std::int64_t>(sprite.GetScaleX() * 1000); };
  ASSERT_TRUE(Run("zoom2 1 0.5 2 2\r\n"));
  EXPECT_EQ(Probes(), (std::vector<std::int64_t>{1000, 750, 500}));
  EXPECT_FLOAT_EQ(sprite.GetScaleY(), 2.0f);
  ASSERT_TRUE(Run("zoom2 1 1 1 -1\r\n"));  // negative frames: nothing
  EXPECT_FLOAT_EQ(sprite.GetScaleX(), 0.5f);
}

// The software window copies the back buffer anew for every level; the level stays at the end.
TEST_F(ScreenEffectsTest, ScreenZoomRunsItsLevelsAndStays) {
  std::vector<int> expected;
  for (int level = 0; level < 255; level += 16) expected.push_back(level);
  expected.push_back(255);
  ASSERT_TRUE(Run("zoom ZOOM_OUT\r\n"));
  std::vector<int> levels;
  for (const auto& paint : Paints()) levels.push_back(paint.zoom);
  EXPECT_EQ(levels, expected);
  EXPECT_EQ(engine_.display->GetZoom(), 255);
  ASSERT_TRUE(Run("zoom ZOOM_IN\r\n"));
  EXPECT_EQ(engine_.display->GetZoom(), 0);
}

TEST_F(ScreenEffectsTest, AutomaticZoomAndRotationAreWaitedFor) {
  CDIBSprite& sprite = Paint(10, 200, 400, kRed);
  ASSERT_TRUE(Run("zoom_set 1 0.5 0.5 4 OBJECT_UNDER\r\nzoom_wait 1\r\n"));
  EXPECT_EQ(Paints().size(), 4u);
  EXPECT_FLOAT_EQ(sprite.GetScaleX(), 0.5f);
  window_.paints.clear();
  ASSERT_TRUE(Run("rotate_set 1 90 3 OBJECT_CENTER\r\nrotate_wait 1\r\n"));
  EXPECT_EQ(Paints().size(), 3u);
  EXPECT_FLOAT_EQ(sprite.GetAngle(), 90.0f);
  ASSERT_TRUE(Run("zoom_set 1 1 1 0 ANYWHERE\r\nA=1\r\n"));  // reported, scaled, goes on
  EXPECT_FLOAT_EQ(sprite.GetScaleX(), 1.0f);
  EXPECT_EQ(Variable('A'), 1);
}

TEST_F(ScreenEffectsTest, BackgroundEffectFlagTakesItsValues) {
  const int flag = GameState::kBackgroundEffectFlag;
  ASSERT_TRUE(Run("bg_effect_on\r\n"));
  EXPECT_EQ(Flag(flag), 1);
  ASSERT_TRUE(Run("bg_effect 7\r\n"));
  EXPECT_EQ(Flag(flag), 7);
  ASSERT_TRUE(Run("bg_effect_off\r\n"));
  EXPECT_EQ(Flag(flag), 0);
}

TEST_F(ScreenEffectsTest, FreezingTheSceneKeepsItsPictureOnTheEffectLayerAlone) {
  Paint(0, 800, 600, kRed);
  Paint(10, 100, 100, kBlue, 300, 200);
  GameState::CopyName(engine_.state->layerPicture[1], "girl");
  engine_.state->flags[GameState::kBackgroundEffectFlag] = 1;
  ASSERT_TRUE(Run("trans_sp4\r\n"));
  EXPECT_EQ(engine_.sprites->At(0).GetSurface(), nullptr);
  EXPECT_EQ(engine_.sprites->At(10).GetSurface(), nullptr);
  EXPECT_STREQ(engine_.state->layerPicture[1], "");
  EXPECT_EQ(Flag(GameState::kBackgroundEffectFlag), 0);
  script_.Present();
  EXPECT_EQ(Pixel(10, 10), kRed);
  EXPECT_EQ(Pixel(350, 250), kBlue);
}

// fade_sp4 fades the frozen scene out over frames; with nothing to be drawn it empties the
// effect layer at once.
TEST_F(ScreenEffectsTest, FadeSp4FadesTheFrozenSceneOrEmptiesItAtOnce) {
  struct Case {
    bool fastForward, hidden, skip, fades;
  };
  const Case cases[] = {{false, false, false, true},
                        {true, false, false, false},
                        {false, true, false, false},
                        {false, false, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.fastForward << c.hidden << c.skip);
    CDIBSprite& frozen = Paint(18, 800, 600, kRed);
    frozen.Show(!c.hidden);
    script_.SetFastForward(c.fastForward);
    engine_.skipMode = c.skip;
    window_.paints.clear();
    ASSERT_TRUE(Run("fade_sp4\r\n"));
    if (c.fades) {
      EXPECT_GT(Paints().size(), 2u);
      EXPECT_TRUE(frozen.GetSurface() == nullptr || frozen.GetOpacity() == 0 || !frozen.IsShown());
    } else {
      EXPECT_TRUE(Paints().empty());
      EXPECT_EQ(frozen.GetSurface(), nullptr);
    }
  }
}

// Ctrl held from the third poll: the effect shows its final state on the next frame and ends.
TEST_F(ScreenEffectsTest, CtrlEndsAnEffectOnTheNextFrame) {
  struct Case {
    const char* statement;
    std::function<std::int64_t(Engine&)> probe;
    std::size_t paints;
    std::int64_t last;
  };
  const Case cases[] = {
      {"shake SHAKE_1", [](Engine& e) { return e.display->GetShakeY(); }, 3, 0},
      {"shake3 10 2 5 5", [](Engine& e) { return e.display->GetShakeX(); }, 3, 0},
      {"mosaic 0 MOSAIC_OUT", [](Engine& e) { return e.sprites->At(0).GetMosaic(); }, 3, 255},
      {"scroll 0 UP", [](Engine& e) { return e.sprites->At(0).GetY(); }, 3, 0},
      {"zoom2 0 0.5 0.5 30",
       [](Engine& e) { return static_cast<std::int64_t>(e.sprites->At(0).GetScaleX() * 100); }, 3,
       50},
      // These two ask for Ctrl after presenting: three frames, then the final state.
      {"rotate 0 0 ROTATE_MOVE",
       [](Engine& e) { return static_cast<std::int64_t>(e.sprites->At(0).GetAngle()); }, 4, 0},
      {"fade_all_out", [](Engine& e) { return e.sprites->At(298).GetOpacity(); }, 4, 255},
  };
  for (const Case& c : cases) {
    engine_.sprites->ReleaseAll();
    Paint(0, 800, 1200, kRed, 0, -300);
    window_.paints.clear();
    host_.ctrlDown = false;
    HoldCtrlFromPoll(3);
    window_.probe = [this, &c] { return c.probe(engine_); };
    ASSERT_TRUE(Run(std::string(c.statement) + "\r\n")) << c.statement;
    EXPECT_EQ(Paints().size(), c.paints) << c.statement;
    ASSERT_FALSE(Paints().empty());
    EXPECT_EQ(Paints().back().probe, c.last) << c.statement;
  }
}

TEST_F(ScreenEffectsTest, FastForwardDrawsNothing) {
  Paint(0, 800, 1200, kRed, 0, -300);
  script_.SetFastForward(true);
  ASSERT_TRUE(Run("shake SHAKE_1\r\nmosaic 0 MOSAIC_OUT\r\nflash 0 0 0\r\nfade_all_out\r\n"
                  "zoom2 0 2 2 5\r\nscroll 0 UP\r\n"));
  EXPECT_TRUE(Paints().empty());
  EXPECT_EQ(engine_.sprites->At(0).GetMosaic(), 0);
  EXPECT_EQ(engine_.sprites->At(kOverlay).GetSurface(), nullptr);
  EXPECT_EQ(engine_.sprites->At(0).GetY(), 0);  // scroll places the layer at once
}

}  // namespace
}  // namespace halcyra

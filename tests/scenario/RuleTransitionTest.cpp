#include "scenario/RuleWipe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "graphics/SpriteTable.h"
#include "tests/scenario/EffectsFixture.h"

namespace halcyra {
namespace {

constexpr std::uint32_t kOld = 0xFF102030u;
constexpr std::uint32_t kNew = 0xFF5A3C1Eu;  // red 90, green 60, blue 30
constexpr std::uint32_t kOpaqueBlack = 0xFF000000u;

class RuleTransitionTest : public testing::EffectsFixture {
 protected:
  RuleTransitionTest() {
    Paint(0, 800, 600, kOld);
    folder_.Write("cg/new.bmp", testing::Bmp(800, 600, [](int, int) { return kNew; }));
  }
  // Probes one screen row at the given columns on every paint: bit i is set when column i
  // shows the new picture.
  void ProbeColumns(std::vector<int> columns, int row = 300) {
    window_.probe = [this, columns, row] {
      std::int64_t changed = 0;
      for (std::size_t i = 0; i < columns.size(); ++i) {
        if (Pixel(columns[i], row) == kNew) changed |= std::int64_t{1} << i;
      }
      return changed;
    };
  }
};

// A rule whose green is the column up to 255: at level L the columns 0..L show the new picture.
// Speed -4: table step 16, sweep step 8, levels 0, 8, .., 248, then 255.
TEST_F(RuleTransitionTest, PixelsWhoseRuleGreenIsAtMostTheLevelTakeTheNewPicture) {
  folder_.Write("cg/ramp.bmp", testing::Bmp(800, 600, [](int x, int) {
                  return static_cast<std::uint32_t>(std::min(x, 255)) << 8;
                }));
  ProbeColumns({0, 8, 9, 248, 249, 255, 799});
  ASSERT_TRUE(Run("ef2 ramp new\r\n"));
  const std::vector<std::int64_t> probes = Probes();
  ASSERT_EQ(probes.size(), 1u + 32u + 1u);  // the frame before, 32 levels, then 255
  EXPECT_EQ(probes[0], 0);                  // the old scene
  EXPECT_EQ(probes[1], 0b1);                // L = 0: column 0
  EXPECT_EQ(probes[2], 0b11);               // L = 8: columns 0 and 8, not 9
  EXPECT_EQ(probes[3], 0b111);              // L = 16
  EXPECT_EQ(probes[32], 0b1111);            // L = 248
  EXPECT_EQ(probes[33], 0b1111111);         // L = 255: all
  EXPECT_STREQ(engine_.state->layerPicture[0], "new");
  EXPECT_FALSE(Reported(testing::kBadParameter));
}

// A 2 x 1 rule is stretched: its left pixel covers columns 0..399, its right one 400..799.
TEST_F(RuleTransitionTest, ASmallerRuleIsStretchedOverTheScreen) {
  folder_.Write("cg/halves.bmp", testing::Bmp(2, 1, [](int x, int) {
                  return x == 0 ? 0x000000u : 0x00FF00u;
                }));
  ProbeColumns({0, 399, 400, 799});
  ASSERT_TRUE(Run("effect FADE_IN 255 halves new\r\n"));
  const std::vector<std::int64_t> probes = Probes();
  ASSERT_GE(probes.size(), 3u);
  EXPECT_EQ(probes[1], 0b0011);
  EXPECT_EQ(probes[probes.size() - 2], 0b0011);
  EXPECT_EQ(probes.back(), 0b1111);
  EXPECT_TRUE(Reported(testing::kBadParameter));
}

// A 1600 x 1200 rule is read at every second pixel of every second row: its top-left quarter
// covers the screen's.
TEST_F(RuleTransitionTest, ALargerRuleIsShrunkOntoTheScreen) {
  folder_.Write("cg/big.bmp", testing::Bmp(1600, 1200, [](int x, int y) {
                  return x < 800 && y < 600 ? 0x000000u : 0x00FF00u;
                }));
  ProbeColumns({399, 400}, 299);
  ASSERT_TRUE(Run("ef2 big new\r\n"));
  const std::vector<std::int64_t> probes = Probes();
  ASSERT_GE(probes.size(), 3u);
  EXPECT_EQ(probes[1], 0b01);
  EXPECT_EQ(probes.back(), 0b11);
  EXPECT_EQ(Pixel(399, 300), kNew);
  EXPECT_TRUE(Reported(testing::kBadParameter));
}

TEST_F(RuleTransitionTest, ASmallerNewPictureSitsTopLeftOnBlack) {
  folder_.Write("cg/flat.bmp", testing::Bmp(800, 600, [](int, int) { return 0u; }));
  folder_.Write("cg/small.bmp", testing::Bmp(400, 300, [](int, int) { return kNew; }));
  ASSERT_TRUE(Run("ef2 flat small\r\n"));
  EXPECT_EQ(Pixel(0, 0), kNew);
  EXPECT_EQ(Pixel(399, 299), kNew);
  EXPECT_EQ(Pixel(400, 0), kOpaqueBlack);
  EXPECT_EQ(Pixel(0, 300), kOpaqueBlack);
  EXPECT_TRUE(Reported(testing::kBadParameter));
}

TEST_F(RuleTransitionTest, FittingNeverReadsOutsideEitherPicture) {
  std::vector<std::uint32_t> screen(kWipePixels);
  const std::vector<std::uint32_t> one{0x12345678u};
  FitRule(one.data(), 1, 1, screen);
  EXPECT_EQ(screen.front(), 0x12345678u);
  EXPECT_EQ(screen.back(), 0x12345678u);
  std::vector<std::uint32_t> tall(3 * 700);
  for (std::size_t i = 0; i < tall.size(); ++i) tall[i] = static_cast<std::uint32_t>(i);
  FitPicture(tall.data(), 3, 700, screen);
  EXPECT_EQ(screen[599 * kWipeWidth + 2], 599u * 3 + 2);  // row 599 of the picture
  EXPECT_EQ(screen[599 * kWipeWidth + 3], kOpaqueBlack);
  FitRule(tall.data(), 3, 700, screen);
  EXPECT_EQ(screen[599 * kWipeWidth + 799], (599u * 700 / 600) * 3 + 2);
}

TEST_F(RuleTransitionTest, CtrlShowsTheWholeNewPictureOnTheNextFrame) {
  folder_.Write("cg/ramp.bmp", testing::Bmp(800, 600, [](int x, int) {
                  return static_cast<std::uint32_t>(std::min(x, 255)) << 8;
                }));
  ProbeColumns({0, 255});
  host_.onPoll = [this, count = 0]() mutable {
    if (++count >= 3) host_.ctrlDown = true;
  };
  ASSERT_TRUE(Run("ef2 ramp new\r\n"));
  EXPECT_EQ(Probes(), (std::vector<std::int64_t>{0, 0b01, 0b01, 0b11}));
}

TEST_F(RuleTransitionTest, MissingRuleLeavesTheSceneAndUnknownKindsSkipTheSweep) {
  ASSERT_TRUE(Run("ef2 nothing new\r\nA=1\r\n"));
  EXPECT_EQ(Variable('A'), 1);
  EXPECT_TRUE(Paints().empty());
  folder_.Write("cg/flat.bmp", testing::Bmp(800, 600, [](int, int) { return 0u; }));
  ASSERT_TRUE(Run("effect WIPE 255 flat new\r\n"));
  EXPECT_EQ(Paints().size(), 1u);  // the frame before the sweep only
  EXPECT_TRUE(Reported(testing::kBadParameter));
}

// The window steps aside while the sweep paints over it, unless the scenario switched it off;
// the new picture then stays on the background layer.
TEST_F(RuleTransitionTest, TheWindowStepsAsideDuringTheSweepAndTheNewPictureStays) {
  folder_.Write("cg/flat.bmp", testing::Bmp(800, 600, [](int, int) { return 0u; }));
  for (const bool windowOff : {false, true}) {
    engine_.message.windowShown = true;
    engine_.state->flags[GameState::kWindowOffFlag] = windowOff ? 1 : 0;
    window_.paints.clear();
    window_.probe = [this] { return engine_.message.windowShown ? 1 : 0; };
    ASSERT_TRUE(Run("ef2 flat new\r\n"));
    const std::vector<std::int64_t> probes = Probes();
    ASSERT_FALSE(probes.empty());
    const auto shownPaints = std::count(probes.begin(), probes.end(), 1);
    EXPECT_EQ(shownPaints, windowOff ? static_cast<std::ptrdiff_t>(probes.size()) : 0) << windowOff;
    EXPECT_TRUE(engine_.message.windowShown);
    const CDIBSprite& background = engine_.sprites->At(0);
    ASSERT_NE(background.GetSurface(), nullptr);
    EXPECT_EQ(background.GetWidth(), 800);
    EXPECT_EQ(background.GetSurface()->GetBits(0)[0], kNew);
    for (const int slot : {10, 12, 14}) EXPECT_EQ(engine_.sprites->At(slot).GetSurface(), nullptr);
  }
}

TEST_F(RuleTransitionTest, FastForwardOnlyRecordsTheNewBackground) {
  GameState::CopyName(engine_.state->layerPicture[2], "girl");
  engine_.state->flags[GameState::kBackgroundEffectFlag] = 1;
  script_.SetFastForward(true);
  ASSERT_TRUE(Run("ef2 nothing new\r\n"));
  EXPECT_STREQ(engine_.state->layerPicture[0], "new");
  EXPECT_STREQ(engine_.state->layerPicture[2], "");
  EXPECT_EQ(Flag(GameState::kBackgroundEffectFlag), 0);
  EXPECT_TRUE(Paints().empty());
}

}  // namespace
}  // namespace halcyra

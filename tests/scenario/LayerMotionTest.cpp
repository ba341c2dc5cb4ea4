#include "scenario/LayerMotion.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/scenario/LayerFixture.h"

namespace halcyra {
namespace {

const std::string kBadParameter = "\x83p\x83\x89\x83\x81\x81[\x83^\x82\xaa\x95s\x90\xb3";

class LayerMotionTest : public testing::LayerFixture {
 protected:
  LayerMotionTest() {
    WritePicture("s1", 40, 20, 0xC81E64);
    WritePicture("full", 800, 600, 0x336699);
  }
  // Runs body recording the sprite position of a slot at every presented frame.
  std::vector<std::pair<int, int>> PositionsDuring(const std::string& body, int slot) {
    std::vector<std::pair<int, int>> positions;
    onFrame = [&] { positions.emplace_back(Slot(slot).GetX(), Slot(slot).GetY()); };
    EXPECT_TRUE(Run(body));
    onFrame = nullptr;
    return positions;
  }
};

TEST_F(LayerMotionTest, MoveToTheCurrentPositionEndsWithOneFrame) {
  ASSERT_TRUE(Run("sp 0 s1 FADE_SET\r\nposi 1 30 40\r\n"));
  auto positions = PositionsDuring("move_xyposi 1 30 40 10\r\n", 10);
  ASSERT_EQ(positions.size(), 1u);
  EXPECT_EQ(positions[0], std::make_pair(30, 40));
  // 100 pixels in 10 frames: 40, 50, ..., 120 on the way, then 130 when the move ends.
  positions = PositionsDuring("move_xyposi 1 130 40 10\r\n", 10);
  ASSERT_EQ(positions.size(), 10u);
  EXPECT_EQ(positions[0], std::make_pair(40, 40));
  EXPECT_EQ(positions[8], std::make_pair(120, 40));
  EXPECT_EQ(positions[9], std::make_pair(130, 40));
  EXPECT_EQ(engine_.state->layerX[1], 130);
  // No frames to move in: the move is done in one.
  positions = PositionsDuring("move_xyposi 1 0 0 0\r\nmove_xyposi 1 10 10 -5\r\n", 10);
  ASSERT_EQ(positions.size(), 2u);
  EXPECT_EQ(positions[1], std::make_pair(10, 10));
}

TEST_F(LayerMotionTest, PositionOfTheExtraLowerLayerChangesNoRecord) {
  ASSERT_TRUE(Run("bg1_ full\r\nsp -5 s1 FADE_SET\r\n"));
  const auto before = std::make_unique<GameState>(*engine_.state);
  ASSERT_TRUE(Run("posi -4 70 80\r\n"));
  EXPECT_EQ(Slot(8).GetX(), 70);
  EXPECT_EQ(Slot(8).GetY(), 80);
  EXPECT_EQ(std::memcmp(engine_.state.get(), before.get(), sizeof(GameState)), 0);
  ASSERT_TRUE(Run("posi 0 5 6\r\n"));
  EXPECT_EQ(engine_.state->layerX[0], 5);
  EXPECT_EQ(engine_.state->layerY[0], 6);
}

TEST_F(LayerMotionTest, OpacityPassingItsTargetEndsAtTheTarget) {
  ASSERT_TRUE(Run("sp 0 s1 FADE_SET\r\n"));
  std::vector<int> levels;
  onFrame = [&] { levels.push_back(Slot(10).GetOpacity()); };
  ASSERT_TRUE(Run("set_alpha2 1 0 300\r\n"));
  EXPECT_EQ(levels, std::vector<int>{0});
  // Toward 100 by 40 (the sign comes from the direction): 40, 80, then 100.
  levels.clear();
  ASSERT_TRUE(Run("set_alpha2 1 100 -40\r\n"));
  EXPECT_EQ(levels, (std::vector<int>{40, 80, 100}));
  // A step of 0 sets the value at once.
  levels.clear();
  ASSERT_TRUE(Run("set_alpha2 1 200 0\r\n"));
  EXPECT_EQ(levels, std::vector<int>{200});
  EXPECT_EQ(engine_.state->layerOpacity[1], 200);
}

TEST_F(LayerMotionTest, VerticalMovesStopAtTheirTarget) {
  ASSERT_TRUE(Run("sp 0 s1 FADE_SET\r\nposi 1 30 0\r\n"));
  auto positions = PositionsDuring("move_yposi 1 25 10\r\n", 10);
  EXPECT_EQ(positions, (std::vector<std::pair<int, int>>{{30, 10}, {30, 20}, {30, 25}}));
  EXPECT_EQ(engine_.state->layerY[1], 0);  // the record keeps posi's y
  // A step pointing away, or no step, ends at once at the target.
  positions = PositionsDuring("move_yposi 1 100 -5\r\nmove_yposi 1 0 0\r\n", 10);
  EXPECT_EQ(positions, (std::vector<std::pair<int, int>>{{30, 100}, {30, 0}}));
}

TEST_F(LayerMotionTest, MaskBlackensTheRowsAboveAndBelowItsBars) {
  ASSERT_TRUE(Run("ev1_ full\r\n"));
  struct Case {
    const char* mask;
    int lastTopBlack;   // -1: no bars
    int firstBottomBlack;
  };
  // 20 / 8 = 2 units: rows 0..15; 580 / 8 = 72 units: rows from 576. A top below 8 draws none.
  for (const Case& c : {Case{"mask 20 580", 15, 576}, Case{"mask 7 580", -1, 600}}) {
    ASSERT_TRUE(Run(std::string(c.mask) + "\r\n"));
    script_.Present();
    for (int row : {0, 15, 16, 575, 576, 599}) {
      const bool black = row <= c.lastTopBlack || row >= c.firstBottomBlack;
      EXPECT_EQ(Pixel(400, row) & 0xFFFFFF, black ? 0u : 0x336699u) << c.mask << " row " << row;
    }
  }
}

TEST_F(LayerMotionTest, StartedMovesRunOnAndMoveWaitFinishesThem) {
  ASSERT_TRUE(Run("sp 0 s1 FADE_SET\r\nmove_xyset 1 100 0 4 0 -64\r\n"));
  EXPECT_EQ(Slot(10).GetVelocityX(), 25 * 65536);
  EXPECT_EQ(Slot(10).GetOpacity(), 255);
  EXPECT_EQ(engine_.state->layerOpacity[1], 0);
  frames_ = 0;
  ASSERT_TRUE(Run("move_xywait 1\r\n"));
  // Opacity 191, 127, 63, 0 and x 25, 50, 75, 100; x stops at 100 when the fifth frame would
  // carry it past.
  EXPECT_EQ(frames_, 5);
  EXPECT_EQ(Slot(10).GetX(), 100);
  EXPECT_EQ(Slot(10).GetOpacity(), 0);
}

TEST_F(LayerMotionTest, ScrollingPicturesRecordTheirVelocityAndBadModesEndTheRun) {
  ASSERT_TRUE(Run("spx_ s1 -1 -1.5 0.25 LOOP\r\n"));
  EXPECT_EQ(engine_.state->layerVelocityX[5], -98304);
  EXPECT_EQ(engine_.state->layerVelocityY[5], 16384);
  EXPECT_EQ(engine_.state->layerWrap[5], 1);
  EXPECT_EQ(Slot(2).GetVelocityX(), -98304);
  EXPECT_TRUE(Slot(2).GetWrap());
  EXPECT_EQ(Slot(2).GetX(), -100);
  EXPECT_FALSE(Run("spx_ s1 -1 1 0 SIDEWAYS\r\n"));
  EXPECT_TRUE(Reported(kBadParameter));
}

TEST_F(LayerMotionTest, AnimationLoopHoldsItsIntervalWithinBounds) {
  ASSERT_TRUE(Run("sp 0 s1 FADE_SET\r\nsp_loop 1 500 LOOP\r\nsp_wait 1\r\nsp_loop 1 0 WRONG\r\n"));
  EXPECT_TRUE(Reported(kBadParameter));
  ASSERT_TRUE(Run("exchg 1 2\r\n"));
  EXPECT_EQ(Slot(12).GetFileName(), "cg\\s1.bmp");
  EXPECT_EQ(Slot(10).GetSurface(), nullptr);
  EXPECT_EQ(engine_.state->layerPicture[1], std::string("s1"));  // records stay
}

}  // namespace
}  // namespace halcyra

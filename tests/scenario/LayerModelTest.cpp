#include "scenario/LayerModel.h"

#include <gtest/gtest.h>

namespace halcyra {
namespace {

struct LayerRow {
  int position;
  int layer;
  int slot;
  int record;
};

TEST(LayerModelTest, PositionsMapToLayersSlotsAndRecords) {
  const LayerRow rows[] = {{0, 0, 0, 0},   {1, 1, 10, 1},  {2, 2, 12, 2},  {3, 3, 14, 3},
                           {4, 4, 16, 4},  {99, 4, 16, 4}, {-5, 4, 16, 4}, {-1, 5, 2, 5},
                           {-2, 6, 4, 6},  {-3, 7, 6, 7},  {-4, 8, 8, kNoRecord}};
  for (const LayerRow& row : rows) {
    SCOPED_TRACE(row.position);
    EXPECT_EQ(LayerOfPosition(row.position), row.layer);
    EXPECT_EQ(SlotOfLayer(row.layer), row.slot);
    EXPECT_EQ(RecordOfSlot(row.slot), row.record);
  }
}

TEST(LayerModelTest, OutgoingAndOverlaySlotsHaveNoRecord) {
  for (int slot : {1, 3, 5, 7, 9, 11, 13, 15, 17, 18, 30, 299}) {
    EXPECT_EQ(RecordOfSlot(slot), kNoRecord) << slot;
  }
}

TEST(LayerModelTest, EffectStepFollowsTheSpeedTable) {
  const int expected[] = {128, 64, 32, 24, 16, 12, 8, 6, 4, 3, 2, 1};
  for (int speed = 0; speed <= 11; ++speed) {
    EXPECT_EQ(EffectStep(-speed), expected[speed]) << speed;
    EXPECT_EQ(EffectStep(speed), expected[speed]) << speed;
  }
  EXPECT_EQ(EffectStep(-40), 1);
}

}  // namespace
}  // namespace halcyra

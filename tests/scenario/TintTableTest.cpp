#include "scenario/TintTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/scenario/LayerFixture.h"

namespace halcyra {
namespace {

TEST(TintTableTest, EntriesAreFoundWithoutRegardToCaseAndBadLinesAreNamed) {
  TintTable table;
  std::vector<int> badLines;
  table.Parse("; dusk and night\r\nbg01b 1\r\n\r\n  bg01d\t2\r\nbg01b 2\nbg02 3\nbg03\nbg04 x1\n",
              [&](int line, std::string_view) { badLines.push_back(line); });
  EXPECT_EQ(table.EntryCount(), 3);
  EXPECT_EQ(table.Find("BG01B"), 1);  // the first of two entries wins
  EXPECT_EQ(table.Find("bg01d"), 2);
  EXPECT_EQ(table.Find("bg02"), -1);
  EXPECT_EQ(badLines, (std::vector<int>{6, 7, 8}));
}

class TintLookUpTest : public testing::LayerFixture {
 protected:
  std::vector<int> SceneTint() const {
    const GameState& state = *engine_.state;
    return {state.SignedFlag(GameState::kRgbFlag), state.SignedFlag(GameState::kRgbFlag + 1),
            state.SignedFlag(GameState::kRgbFlag + 2)};
  }
};

TEST_F(TintLookUpTest, BackgroundsInTheTableSetTheirPresetAndOthersClearIt) {
  folder_.Write("scr/tint.txt", "bg01b 1\r\n");
  WritePicture("bg01b", 16, 8, 0x102030);
  ASSERT_TRUE(Run("set_rgb_ex2 10 -20 30\r\nbg1_ BG01B\r\n"));
  EXPECT_EQ(SceneTint(), (std::vector<int>{10, -20, 30}));
  ASSERT_TRUE(Run("ev1_ bg01b\r\n"));
  EXPECT_EQ(SceneTint(), (std::vector<int>{0, 0, 0}));
  ASSERT_TRUE(Run("set_rgb2 1 2 3\r\nbg bg01b FADE_SET\r\n"));
  EXPECT_EQ(SceneTint(), (std::vector<int>{10, -20, 30}));
  ASSERT_TRUE(Run("set_hsv -61 5 6\r\n"));
  EXPECT_EQ(engine_.state->SignedFlag(GameState::kHsvFlag), -30);
}

}  // namespace
}  // namespace halcyra

#include "scenario/DateDisplay.h"

#include <gtest/gtest.h>

#include <string>

#include "app/InputState.h"
#include "graphics/SpriteTable.h"
#include "tests/scenario/EffectsFixture.h"

namespace halcyra {
namespace {

// Full-width digits: ASCII digit c becomes 0x82, c + 31.
const std::string k0 = "\x82\x4f";
const std::string k1 = "\x82\x50";
const std::string k2 = "\x82\x51";
const std::string k3 = "\x82\x52";
const std::string k4 = "\x82\x53";
const std::string k5 = "\x82\x54";
const std::string k7 = "\x82\x56";
const std::string k9 = "\x82\x58";

std::tm At(int year, int month, int day, int hour, int minute, int second) {
  std::tm time{};
  time.tm_year = year - 1900;
  time.tm_mon = month - 1;
  time.tm_mday = day;
  time.tm_hour = hour;
  time.tm_min = minute;
  time.tm_sec = second;
  return time;
}

TEST(ExpandDateTest, CodesBecomeFullWidthDigits) {
  const std::tm time = At(2024, 3, 7, 9, 5, 7);
  const std::pair<std::string, std::string> cases[] = {
      {"%h:%n", k0 + k9 + ":" + k0 + k5},
      {"%Y/%M/%D", k2 + k0 + k2 + k4 + "/" + k3 + "/" + k7},
      {"%s", k0 + k7},
      {"a%qb", "ab"},              // an unknown letter gives nothing
      {"100%", "100%"},            // a "%" before no letter stays
      {"%1", "%1"},
      {"\x81\x25h", "\x81\x25h"},  // a double-byte character whose second byte is "%"
  };
  for (const auto& [format, expected] : cases) {
    EXPECT_EQ(ExpandDate(format, time), expected) << format;
  }
  EXPECT_EQ(ExpandDate("%h", At(2024, 1, 1, 23, 0, 0)), k2 + k3);
  EXPECT_EQ(ExpandDate("%d", At(2024, 1, 11, 0, 0, 0)), k1 + k1);
}

TEST(ExpandDateTest, LongTextsAreCutBetweenCharacters) {
  std::string format;
  for (int i = 0; i < 600; ++i) format += "%s";
  const std::string text = ExpandDate(format, At(2024, 1, 1, 0, 0, 0));
  EXPECT_EQ(text.size(), 1022u);  // 511 full-width zeros; the next would pass 1023 bytes
  EXPECT_EQ(text.substr(1020), k0);
}

class DateDisplayTest : public testing::EffectsFixture {
 protected:
  DateDisplayTest() { OpenText(); }
  CDIBSprite& Date() { return engine_.sprites->At(kDateSlot); }
};

// A label holds 12 pixels a byte and 4 more.
TEST_F(DateDisplayTest, TheTextIsPlacedInTheMessageSlot) {
  ASSERT_TRUE(Run("date_disp2 100 50 A%qB\r\n"));
  EXPECT_TRUE(Date().IsShown());
  EXPECT_EQ(Date().GetX(), 100);
  EXPECT_EQ(Date().GetY(), 50);
  EXPECT_EQ(Date().GetWidth(), 28);
  EXPECT_TRUE(Paints().empty());
  ASSERT_TRUE(Run("date_disp2 0 0 %y\r\n"));
  EXPECT_EQ(Date().GetWidth(), 12 * 8 + 4);  // four full-width digits
}

TEST_F(DateDisplayTest, DateDisplayWaitsForAClickAndConsumesIt) {
  host_.onPoll = [this, count = 0]() mutable {
    if (++count == 5) engine_.input.SetInput(kInputAdvance, true);
  };
  ASSERT_TRUE(Run("date_disp 0 0 %h\r\n"));
  EXPECT_EQ(Paints().size(), 5u);
  EXPECT_FALSE(engine_.input.IsLatched(kInputAdvance));
  engine_.ignoreBranches = true;
  window_.paints.clear();
  ASSERT_TRUE(Run("date_disp 0 0 %h\r\n"));  // a debug run through every script does not wait
  EXPECT_TRUE(Paints().empty());
}

}  // namespace
}  // namespace halcyra

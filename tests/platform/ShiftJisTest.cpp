#include "platform/ShiftJis.h"

#include <gtest/gtest.h>

namespace halcyra {
namespace {

struct Pair {
  const char* shiftJis;
  const char* utf8;
};

TEST(ShiftJisTest, ConvertsBothWays) {
  const Pair pairs[] = {
      {"open.scr", "open.scr"},
      {"\x88\xea\x96\xe7", "一也"},
      {"\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e", "ＭＳ ゴシック"},
      {"\x83\x5c\x95\x5c", "ソ表"},          // trail bytes equal to '\\'
      {"\xb1\xb2", "ｱｲ"},                    // half-width katakana are single bytes
      {"\x87\x40", "①"},                     // a vendor extension character of code page 932
      {"", ""},
  };
  for (const Pair& pair : pairs) {
    EXPECT_EQ(ShiftJisToUtf8(pair.shiftJis), pair.utf8) << pair.utf8;
    EXPECT_EQ(Utf8ToShiftJis(pair.utf8), pair.shiftJis) << pair.utf8;
  }
}

TEST(ShiftJisTest, BrokenBytesBecomeQuestionMarksAndTheRestSurvives) {
  EXPECT_EQ(ShiftJisToUtf8("a\x82"), "a?");           // a lead byte at the end
  EXPECT_EQ(ShiftJisToUtf8("\x85\x40x\x88\xea"), "?x一");  // an unassigned pair
  EXPECT_EQ(Utf8ToShiftJis("a\xff" "b"), "a?b");      // not UTF-8
}

}  // namespace
}  // namespace halcyra

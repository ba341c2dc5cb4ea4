#include "resource/CList.h"

#include <gtest/gtest.h>

#include <string>

namespace halcyra {
namespace {

TEST(CListTest, FindsValuesExactlyOrIgnoringCase) {
  CList list;
  ASSERT_TRUE(list.Add("Sakura", "cg\\sakura01"));
  ASSERT_TRUE(list.Add("BG", "cg\\bg01"));
  EXPECT_STREQ(list.Find("Sakura", true), "cg\\sakura01");
  EXPECT_EQ(list.GetCursor(), 0);
  EXPECT_STREQ(list.Find("bg", false), "cg\\bg01");
  EXPECT_EQ(list.GetCursor(), 1);
  EXPECT_EQ(list.Find("bg", true), nullptr);
  EXPECT_EQ(list.Find("Sakur", false), nullptr);
  EXPECT_EQ(list.GetCursor(), 1);  // failed lookups leave it
}

TEST(CListTest, AddingAnExistingKeyReplacesItsValue) {
  CList list;
  ASSERT_TRUE(list.Add("a", "1"));
  ASSERT_TRUE(list.Add("b", "2"));
  ASSERT_TRUE(list.Add("a", "3"));
  ASSERT_TRUE(list.Add("A", "4"));  // another key: Add compares with case
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_STREQ(list.Find("a", true), "3");
  EXPECT_STREQ(list.Find("A", true), "4");
  EXPECT_STREQ(list.Find("A", false), "3");  // the first match wins
}

TEST(CListTest, HoldsAtMost1000Entries) {
  CList list;
  for (int i = 0; i < 999; ++i) ASSERT_TRUE(list.Add("k" + std::to_string(i), "v")) << i;
  ASSERT_TRUE(list.Add("k0", "replaced"));
  ASSERT_TRUE(list.Add("last", "v"));
  EXPECT_EQ(list.GetCount(), 1000);
  EXPECT_FALSE(list.Add("one more", "v"));
  EXPECT_FALSE(list.Add("k0", "again"));
  EXPECT_STREQ(list.Find("k0", true), "replaced");
  EXPECT_STREQ(list.Find("LAST", false), "v");
  EXPECT_EQ(list.GetCursor(), 999);
}

}  // namespace
}  // namespace halcyra

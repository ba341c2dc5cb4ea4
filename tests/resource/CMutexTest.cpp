#include "resource/CMutex.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace halcyra {
namespace {

std::string UniqueName() {
  return "HALCYRA_TEST_MUTEX_" +
         std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
}

TEST(CMutexTest, OnlyOneHolderAtATime) {
  const std::string name = UniqueName();
  CMutex first;
  CMutex second;
  ASSERT_TRUE(first.Create(name));
  EXPECT_FALSE(second.Create(name));

  // The failed attempt kept nothing: once the first lets go, a newcomer gets the name.
  first.Close();
  CMutex third;
  EXPECT_TRUE(third.Create(name));
  EXPECT_FALSE(first.Create(name));
  third.Close();
  EXPECT_TRUE(first.Create(name));
}

TEST(CMutexTest, DifferentNamesDoNotMeet) {
  const std::string name = UniqueName();
  CMutex a;
  CMutex b;
  EXPECT_TRUE(a.Create(name + "_A"));
  EXPECT_TRUE(b.Create(name + "_B"));
}

}  // namespace
}  // namespace halcyra

// Scripts of damaged bytes that the fuzz target found to break the interpreter: each input is
// kept here as it was found (cut to its core), with the outcome the interpreter must give.
#include <gtest/gtest.h>

#include <string>

#include "script/ScriptTexts.h"
#include "tests/support/ScriptFixture.h"

namespace halcyra {
namespace {

using namespace std::string_literals;

class ScriptBadInputTest : public testing::ScriptFixture {};

// A zero byte reads as an empty token: the label search once stood still on it for ever.
TEST_F(ScriptBadInputTest, GotoSearchesPastZeroBytes) {
  ASSERT_TRUE(Load("goto later\r\nA=1\r\n\0\0 @later B=2\r\n"s));
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(Variable('A'), 0);
  EXPECT_EQ(Variable('B'), 2);
}

TEST_F(ScriptBadInputTest, GotoToALabelMissingBeforeTrailingZeroBytesFails) {
  ASSERT_TRUE(Load("A=1\r\ngoto b\r\nE=1\r\xcf\xbd\0\0\0"s));
  EXPECT_FALSE(RunToEnd());
  EXPECT_TRUE(Reported(script_texts::kLabelNotFound));
  EXPECT_EQ(Variable('E'), 0);
}

}  // namespace
}  // namespace halcyra

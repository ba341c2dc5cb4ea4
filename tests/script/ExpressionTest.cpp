#include "script/Expression.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/GameState.h"
#include "script/ScriptReader.h"
#include "tests/support/RecordedErrors.h"

namespace halcyra {
namespace {

using testing::RecordedErrors;

const std::string kBadParameter = "\x83p\x83\x89\x83\x81\x81[\x83^\x82\xaa\x95s\x90\xb3";
const std::string kFlagOutOfRange =
    "\x83t\x83\x89\x83O\x82\xcc\x94\xcd\x88\xcd\x82\xf0\x92\xb4\x82\xa6\x82\xc4\x82\xa2\x82\xe9";

class ExpressionTest : public ::testing::Test {
 protected:
  ExpressionTest() : state_(std::make_unique<GameState>()) {
    state_->Clear();
    state_->variables['A' - 'A'] = 7;
    state_->variables['B' - 'A'] = -7;
    state_->variables['Z' - 'A'] = 0x7FFFFFFF;
    state_->flags[10] = 9;
    state_->flags[2047] = 200;
  }
  std::int32_t Eval(const std::string& text) { return Evaluate(text, *state_, errors_); }

  std::unique_ptr<GameState> state_;
  RecordedErrors errors_;
};

TEST_F(ExpressionTest, EvaluatesLeftToRightWithoutPrecedence) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"3+4*2", 14},  {"-5", -5},     {"F10+1", 10},  {"A/3", 2},      {"B/2", -3},
      {"B%4", -3},    {"12&10", 8},   {"12|3", 15},   {"12^10", 6},    {"A*B", -49},
      {"F2047", 200}, {"Z+1", INT32_MIN}, {"FOO", 0},  {"F", 0},        {"007", 7},
      {"2-+3", 5},    {"", 0},        {"A", 7},       {"10-A-1", 2},   {"F10*F10", 81},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(Eval(text), expected) << text;
  EXPECT_TRUE(errors_.messages.empty());
}

TEST_F(ExpressionTest, FaultsReportAndGiveTheErrorValue) {
  const std::pair<const char*, std::string> cases[] = {
      {"3+", kBadParameter + "|3+"},
      {"a+1", kBadParameter + "|a+1"},
      {"3 + 4", kBadParameter + "|3 + 4"},
      {"F2048", kFlagOutOfRange + "|F2048"},
      {"1+F99999999999", kFlagOutOfRange + "|F99999999999"},
  };
  for (const auto& [text, report] : cases) {
    errors_.messages.clear();
    EXPECT_EQ(Eval(text), kExpressionError) << text;
    EXPECT_EQ(errors_.messages, std::vector<std::string>{report}) << text;
  }
}

TEST_F(ExpressionTest, DivisionByZeroReportsAndGivesZeroForThatStep) {
  EXPECT_EQ(Eval("A/0+5"), 5);
  EXPECT_EQ(Eval("A%F0"), 0);
  EXPECT_EQ(errors_.messages.size(), 2u);
  EXPECT_EQ(errors_.messages[0], kBadParameter + "|A/0+5");
  state_->variables[0] = INT32_MIN;
  errors_.messages.clear();
  EXPECT_EQ(Eval("A/1-2"), INT32_MAX - 1);  // wraps like every other step
  state_->variables[1] = -1;
  EXPECT_EQ(Eval("A/B"), INT32_MIN);
  EXPECT_EQ(Eval("A%B"), 0);
  EXPECT_TRUE(errors_.messages.empty());
}

TEST_F(ExpressionTest, TermsEndAtDelimitersAndStepOverDoubleByteCharacters) {
  EXPECT_EQ(TermLength("F10+1", 0), 3u);
  EXPECT_EQ(TermLength("AB]", 0), 2u);
  EXPECT_EQ(TermLength("\x88\x5d" "x=", 0), 3u);  // the trail byte 0x5D is not a bracket
  EXPECT_EQ(TermLength("abc", 1), 2u);
  EXPECT_EQ(LeadingNumber("42abc"), 42);
  EXPECT_EQ(LeadingNumber("x"), 0);
}

}  // namespace
}  // namespace halcyra

namespace halcyra {
namespace {

TEST(DecimalSecondsTest, ScalesExactlyAndTruncates) {
  const struct {
    const char* text;
    std::int64_t units;
    std::int64_t expected;
  } cases[] = {{"1.5", 1000, 1500},    {"0.29", 1000, 290},        {"1.5", 176400, 264600},
               {"2", 1000, 2000},      {"1,5.2", 1000, 1000},      {".5", 1000, 500},
               {"0.0015", 176400, 264}, {"0.9999", 1000, 999},     {"", 1000, 0}};
  for (const auto& c : cases) EXPECT_EQ(DecimalSeconds(c.text, c.units), c.expected) << c.text;
}

}  // namespace
}  // namespace halcyra

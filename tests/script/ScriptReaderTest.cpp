#include "script/ScriptReader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resource/ScrambleKey.h"
#include "tests/support/RecordedErrors.h"

namespace halcyra {
namespace {

using testing::RecordedErrors;

const std::string kTokenTooLong = "\x83g\x81[\x83""N\x83\x93\x82\xaa\x92\xb7\x82\xb7\x82\xac\x82\xe9|";
const std::string kLineTooLong =
    "\x82P\x8ds\x82\xaa\x82P\x82O\x82Q\x82S\x95\xb6\x8e\x9a\x82\xf0\x92\xb4\x82\xa6\x82\xc4\x82\xa2\x82\xe9|";

class ScriptReaderTest : public ::testing::Test {
 protected:
  void SetText(const std::string& text) { reader_.SetText(std::vector<char>(text.begin(), text.end())); }
  // Reads the next token and consumes it as a statement handler does.
  std::string Next(std::size_t capacity = 64) {
    std::vector<char> buffer(capacity);
    reader_.ReadToken(buffer.data(), capacity);
    reader_.Advance(std::strlen(buffer.data()));
    return buffer.data();
  }

  RecordedErrors errors_;
  ScriptReader reader_{errors_};
};

TEST_F(ScriptReaderTest, TokensAreSeparatedByBlanksTabsAndLineBreaks) {
  SetText("Nbg  a\t12\r\n\r\n  next\r\n");
  EXPECT_EQ(Next(), "bg");
  EXPECT_EQ(Next(), "a");
  EXPECT_EQ(Next(), "12");
  EXPECT_EQ(reader_.LineNumber(), 1);
  EXPECT_EQ(Next(), "next");
  EXPECT_EQ(reader_.LineNumber(), 3);
  EXPECT_EQ(Next(), "");
  EXPECT_TRUE(reader_.AtEnd());
  EXPECT_TRUE(errors_.messages.empty());
}

TEST_F(ScriptReaderTest, ALineFeedDoesNotEndAnUnquotedToken) {
  SetText("Nab\ncd ef");
  EXPECT_EQ(Next(), "ab\ncd");
  EXPECT_EQ(Next(), "ef");
}

TEST_F(ScriptReaderTest, QuotedTokenKeepsBlanksAndEndsAfterTheClosingQuote) {
  SetText("N\"a b\"x");
  EXPECT_EQ(Next(), "a b");
  EXPECT_EQ(reader_.Position(), 6);
  EXPECT_EQ(reader_.Current(), 'x');
}

TEST_F(ScriptReaderTest, TokenLengthAgainstCapacity) {
  SetText("N" + std::string(63, 'a') + " " + std::string(64, 'b'));
  EXPECT_EQ(Next(64), std::string(63, 'a'));
  EXPECT_TRUE(errors_.messages.empty());
  const std::string cut = Next(64);
  EXPECT_EQ(cut, std::string(63, 'b'));
  EXPECT_EQ(errors_.messages, std::vector<std::string>{kTokenTooLong});
}

TEST_F(ScriptReaderTest, LineTextStopsAtTheLineEndAndLongLinesAreReported) {
  SetText("Nfirst line\r\nsecond");
  reader_.ReadLineText();
  EXPECT_STREQ(reader_.LineText(), "first line");
  EXPECT_EQ(reader_.Position(), 1);
  SetText("N" + std::string(1023, 'x') + "\r\n");
  reader_.ReadLineText();
  EXPECT_EQ(std::strlen(reader_.LineText()), 1023u);
  EXPECT_TRUE(errors_.messages.empty());
  SetText("N" + std::string(1024, 'x'));
  reader_.ReadLineText();
  EXPECT_EQ(std::strlen(reader_.LineText()), 1023u);
  EXPECT_EQ(errors_.messages, std::vector<std::string>{kLineTooLong});
}

TEST_F(ScriptReaderTest, ScrambledTextReadsLikeItsPlainForm) {
  std::string body = "A=1\r\nwait 2\r\n";
  std::string scrambled = "X" + body;
  Scramble(reinterpret_cast<std::uint8_t*>(scrambled.data()) + 1, body.size(), 0);
  ASSERT_NE(scrambled.substr(1), body);
  SetText(scrambled);
  EXPECT_EQ(reader_.Text(), "N" + body);
}

TEST_F(ScriptReaderTest, LeadBytesOfTheScriptLanguage) {
  const std::pair<unsigned, bool> cases[] = {{0x80, false}, {0x81, true}, {0x9F, true},
                                             {0xA0, true},  {0xA1, false}, {0xBF, false},
                                             {0xC0, true},  {0xFC, true},  {0xFD, false}};
  for (const auto& [byte, lead] : cases) {
    EXPECT_EQ(ScriptReader::IsLeadByte(static_cast<unsigned char>(byte)), lead) << byte;
  }
}

}  // namespace
}  // namespace halcyra

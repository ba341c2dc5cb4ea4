#include "system/Backlog.h"

#include <gtest/gtest.h>

#include <string>

#include "system/BacklogScreen.h"
#include "tests/support/ScriptFixture.h"

namespace halcyra {
namespace {

constexpr char kHeroPlaceholder[] = "\x81\x9c\x96\xbc\x81\x9c";  // ●名●

class BacklogTest : public testing::ScriptFixture {
 protected:
  GameState& State() { return *engine_.state; }

  // One voiced line: the voice statement records the state, the wait the text and advances.
  void LogLine(int number, const std::string& text, bool newPage = true) {
    State().messageNumber = number;
    State().variables[0] = number;
    GameState::CopyName(State().layerPicture[0], "bg" + std::to_string(number));
    GameState::CopyName(State().pendingVoice, "v" + std::to_string(number));
    LogPage page;
    AddLogEntry(engine_, false, "", false, page);
    page.text = text;
    page.newPageForLog = newPage;
    AddLogEntry(engine_, false, "", true, page);
    EXPECT_FALSE(page.newPageForLog);  // taken by the entry
  }

  // A script of ten voice statements, "vo v0" .. "vo v9", one a line.
  void TenLineScript() {
    std::string body;
    for (int i = 0; i < 10; ++i) body += "\r\nvo v" + std::to_string(i) + "\r\nret";
    ASSERT_TRUE(Load(body, "day1"));
    for (int i = 0; i < 10; ++i) LogLine(i, "line " + std::to_string(i));
  }
};

TEST_F(BacklogTest, AfterThreeHundredLinesTheRingHoldsTheNewest256) {
  for (int i = 0; i < 300; ++i) LogLine(i, "line " + std::to_string(i));
  EXPECT_EQ(State().backlogCount, 256);
  EXPECT_EQ(State().backlogWriteIndex, 300 % 256);
  EXPECT_EQ(State().backlogWrapped, 1);
  EXPECT_EQ(LogEntryAt(State(), 1).messageNumber, 299);
  EXPECT_STREQ(LogEntryAt(State(), 1).page, "line 299");
  // Top shows the 256th line back: line 44 of 0..299.
  const LogEntry& top = LogEntryAt(State(), 256);
  EXPECT_EQ(top.messageNumber, 44);
  EXPECT_STREQ(top.page, "line 44");
  EXPECT_STREQ(top.voice, "v44");
  EXPECT_STREQ(top.layerPicture[0], "bg44");
  EXPECT_EQ(top.variables[0], 44);
}

TEST_F(BacklogTest, UnvoicedLinesTakeTheirSnapshotAtThePageEnd) {
  State().SetScriptName("day1");
  for (int i = 0; i < 300; ++i) LogLine(i, "line " + std::to_string(i));
  State().SetScriptName("day2");
  State().messageNumber = 7;
  State().variables[0] = 70;
  LogPage page;
  page.text = "unvoiced";
  AddLogEntry(engine_, false, "", true, page);  // a wait with no voice statement before it
  const LogEntry& entry = LogEntryAt(State(), 1);
  EXPECT_STREQ(entry.page, "unvoiced");
  EXPECT_STREQ(entry.scriptName, "day2");  // not the day1 snapshot the slot held before
  EXPECT_EQ(entry.messageNumber, 7);
  EXPECT_EQ(entry.variables[0], 70);
}

TEST_F(BacklogTest, NamesAreCutToTheirFieldsNeverInsideATwoByteCharacter) {
  const std::string longName(40, 'n');
  State().SetScriptName(longName);
  // 30 single bytes, then a two-byte character over bytes 30 and 31: it does not fit.
  GameState::CopyName(State().music, std::string(30, 'm') + "\x88\xea" + "tail");
  GameState::CopyName(State().layerPicture[3], std::string(63, 'p'));
  GameState::CopyName(State().effectSound[2].name, std::string(31, 'e'));
  LogPage page;
  AddLogEntry(engine_, false, "", false, page);
  const std::string longPage(1500, 'x');
  const char* speaker = kHeroPlaceholder;
  page.text = longPage;
  page.speaker = speaker;
  AddLogEntry(engine_, false, "", true, page);

  const LogEntry& entry = LogEntryAt(State(), 1);
  EXPECT_EQ(std::string(entry.scriptName), std::string(31, 'n'));
  EXPECT_EQ(std::string(entry.music), std::string(30, 'm'));
  EXPECT_EQ(entry.music[30], '\0');
  EXPECT_EQ(std::string(entry.layerPicture[3]), std::string(31, 'p'));
  EXPECT_EQ(std::string(entry.effectSound[2].name), std::string(31, 'e'));
  EXPECT_EQ(std::string(entry.page), std::string(1023, 'x'));
  EXPECT_EQ(std::string(entry.speaker), engine_.settings.user.name);
  EXPECT_EQ(entry.layerPicture[4][0], '\0');  // the neighbour field is untouched
}

TEST_F(BacklogTest, AChoiceReplacesItsOpenEntryAndStartsAPage) {
  State().messageWindow.values[0] = 100;  // x
  State().messageWindow.values[1] = 400;  // y
  State().messageWindow.values[6] = 10;   // textX
  State().messageWindow.values[7] = 6;    // textY
  LogPage page;
  page.speaker = "Ann";
  AddLogEntry(engine_, false, "", false, page);
  AddLogEntry(engine_, false, "open choice", true, page);
  EXPECT_EQ(State().backlogCount, 1);
  AddLogEntry(engine_, true, "taken choice", true, page);
  EXPECT_EQ(State().backlogCount, 1);
  EXPECT_EQ(State().backlogWriteIndex, 1);
  const LogEntry& entry = LogEntryAt(State(), 1);
  EXPECT_STREQ(entry.page, "taken choice");
  EXPECT_STREQ(entry.speaker, "");
  EXPECT_EQ(entry.newPage, 1);
  EXPECT_EQ(entry.textStartX, 110);
  EXPECT_EQ(entry.textStartY, 406);
}

TEST_F(BacklogTest, PagesRunToTheEntryBeforeTheNextPageStart) {
  // Oldest to newest, pages [1 2 3] [4 5] [6] [7 8]: k = 8, 5, 3 and 2 start pages.
  const bool starts[] = {true, false, false, true, false, true, true, false};
  for (int i = 0; i < 8; ++i) LogLine(i, "x", starts[i]);
  const std::pair<int, int> back[] = {{1, 3}, {2, 3}, {3, 4}, {4, 6}, {6, 8}, {8, 8}};
  for (const auto& [from, to] : back) EXPECT_EQ(PageBack(State(), from), to) << from;
  const std::pair<int, int> forward[] = {{8, 6}, {6, 4}, {4, 3}, {3, 1}, {2, 1}, {1, 1}};
  for (const auto& [from, to] : forward) EXPECT_EQ(PageForward(State(), from), to) << from;
}

TEST_F(BacklogTest, ResumingAtTheFifthEntryDropsFiveAndContinuesAtItsVoiceStatement) {
  TenLineScript();
  ASSERT_TRUE(ResumeFromLogEntry(script_, 5));
  EXPECT_EQ(State().backlogCount, 5);
  EXPECT_EQ(State().backlogWriteIndex, 5);
  EXPECT_EQ(State().variables[0], 5);
  EXPECT_STREQ(State().layerPicture[0], "bg5");
  EXPECT_STREQ(State().pendingVoice, "v5");
  // Each line is "\r\nvo vN\r\nret", 12 bytes, after the marker byte: vo v5 stands at 63.
  EXPECT_EQ(script_.Reader().Position(), 1 + 5 * 12 + 2);
  const ContinuedPage page = PageToContinue(State());
  EXPECT_TRUE(page.newPage);
}

TEST_F(BacklogTest, PagingWithLogCgOffLeavesThePicturesButResumingRestoresThem) {
  OpenScene();
  TenLineScript();
  engine_.settings.log.cg = false;
  engine_.settings.log.voice = false;
  GameState::CopyName(State().layerPicture[0], "bg_now");
  ShowLogEntry(script_, 4, false);
  EXPECT_STREQ(State().layerPicture[0], "bg_now");
  engine_.settings.log.cg = true;
  ShowLogEntry(script_, 4, false);
  EXPECT_STREQ(State().layerPicture[0], "bg6");

  engine_.settings.log.cg = false;
  GameState::CopyName(State().layerPicture[0], "bg_now");
  ASSERT_TRUE(ResumeFromLogEntry(script_, 4));
  EXPECT_STREQ(State().layerPicture[0], "bg6");
}

TEST_F(BacklogTest, MessageStepsAndEscapeResumeAtTheEntryShown) {
  OpenScene();
  TenLineScript();
  engine_.settings.log.wheel = 0;  // the wheel steps one message
  engine_.settings.log.exit = true;
  engine_.settings.log.voice = false;
  int polls = 0;
  host_.onPoll = [&] {
    ++polls;
    if (polls % 2 == 0 && polls <= 8) engine_.input.SetInput(kInputWheelUp, true);
    if (polls == 10) engine_.input.SetInput(kInputCancel, true);
  };
  ASSERT_TRUE(OpenBacklog(script_));
  EXPECT_EQ(State().backlogCount, 5);
  EXPECT_EQ(State().variables[0], 5);
  EXPECT_FALSE(engine_.backlogOpen);
}

TEST_F(BacklogTest, WheelDownAtTheNewestEntryClosesAndRepeatsTheCurrentLine) {
  OpenScene();
  TenLineScript();
  engine_.settings.log.voice = false;
  host_.onPoll = [&] { engine_.input.SetInput(kInputWheelDown, true); };
  ASSERT_TRUE(OpenBacklog(script_));
  EXPECT_EQ(State().backlogCount, 9);
  EXPECT_EQ(State().variables[0], 9);
}

TEST_F(BacklogTest, NothingLoggedOpensNothing) {
  OpenScene();
  EXPECT_FALSE(OpenBacklog(script_));
  EXPECT_FALSE(engine_.backlogOpen);
}

}  // namespace
}  // namespace halcyra

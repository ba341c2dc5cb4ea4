#include "script/CScript.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/InputState.h"
#include "resource/ScrambleKey.h"
#include "tests/support/RunTool.h"
#include "tests/support/ScriptFixture.h"

namespace halcyra {
namespace {

// Shift-JIS reports, as the player reads them.
const std::string kUndefined = "\x96\xa2\x92\xe8\x8b`\x82\xcc\x83R\x83}\x83\x93\x83h";
const std::string kRanToTheEnd =
    "\x8d\xc5\x8c\xe3\x82\xdc\x82\xc5\x8e\xc0\x8ds\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
const std::string kFlagOutOfRange =
    "\x83t\x83\x89\x83O\x82\xcc\x94\xcd\x88\xcd\x82\xf0\x92\xb4\x82\xa6\x82\xc4\x82\xa2\x82\xe9";
const std::string kCannotAssign = "\x91\xe3\x93\xfc\x82\xc5\x82\xab\x82\xc8\x82\xa2";
const std::string kExtraSpace =
    "\x97]\x95\xaa\x82\xc8\x83X\x83y\x81[\x83X\x82\xaa\x93\xfc\x82\xc1\x82\xc4\x82\xa2\x82\xe9";
const std::string kOperationUnfinished =
    "\x89\x89\x8eZ\x82\xaa\x93r\x92\x86\x82\xc5\x8fI\x82\xed\x82\xc1\x82\xc4\x82\xa2\x82\xe9";
const std::string kBracketNotClosed =
    "\x8a\x87\x8c\xca\x82\xaa\x95\xc2\x82\xb6\x82\xc4\x82\xa2\x82\xc8\x82\xa2";
const std::string kBlockNotStarted =
    "\x95\xa1\x95\xb6\x82\xaa\x8aJ\x8en\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xc8\x82\xa2";
const std::string kLabelNotFound =
    "\x83\x89\x83x\x83\x8b\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe7\x82\xc8\x82\xa2";
const std::string kTableFull =
    "\x82\xb1\x82\xea\x88\xc8\x8f\xe3\x93o\x98^\x82\xc5\x82\xab\x82\xc8\x82\xa2";
const std::string kFileMissing =
    "\x83t\x83@\x83""C\x83\x8b\x82\xaa\x91\xb6\x8d\xdd\x82\xb5\x82\xc8\x82\xa2";
const std::string kBadCharacterInTime =
    "\x95s\x90\xb3\x82\xc8\x95\xb6\x8e\x9a\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb7";
const std::string kCannotOpen = "\x83I\x81[\x83v\x83\x93\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1";
const std::string kDefineName = "\x8d\x44\x88\xd3";  // 好意

using ScriptTest = testing::ScriptFixture;

TEST_F(ScriptTest, AssignmentsClampFlagsAndWrapVariables) {
  ASSERT_TRUE(Load("F2047=300\r\nF5=3\r\nF5-=10\r\nF6=4\r\nF6*=100\r\nA=7/2\r\nB=-7/2\r\n"
                   "C=5\r\nC+=A\r\nD=9\r\nD/=0\r\nF7=8\r\nF7/=3\r\nF1+A=1\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(Flag(2047), 255);
  EXPECT_EQ(Flag(5), 0);
  EXPECT_EQ(Flag(6), 255);
  EXPECT_EQ(Variable('A'), 3);
  EXPECT_EQ(Variable('B'), -3);
  EXPECT_EQ(Variable('C'), 8);
  EXPECT_EQ(Variable('D'), 0);  // division by zero reports and gives 0
  EXPECT_EQ(Flag(7), 2);
  EXPECT_EQ(Flag(4), 1);  // F1+A names flag 1 + 3
}

TEST_F(ScriptTest, AFlagBeyondTheLastEndsTheRun) {
  ASSERT_TRUE(Load("A=1\r\nF2048=1\r\nA=2\r\n"));
  EXPECT_FALSE(RunToEnd());
  EXPECT_TRUE(Reported(kFlagOutOfRange));
  EXPECT_EQ(Variable('A'), 1);
}

TEST_F(ScriptTest, DefinesExpandInAssignmentsAndConditions) {
  ASSERT_TRUE(Load("define " + kDefineName + " F100\r\n" + kDefineName + "=3\r\n" + kDefineName +
                   "+=2\r\n[" + kDefineName + "=5]{\r\nA=1\r\n}\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(Flag(100), 5);
  EXPECT_EQ(Variable('A'), 1);
}

TEST_F(ScriptTest, AMessageLikeTokenWithAnEqualsSignCannotBeAssigned) {
  ASSERT_TRUE(Load("\x82\xa0=1\r\n"));
  EXPECT_FALSE(RunToEnd());
  EXPECT_TRUE(Reported(kCannotAssign));
}

TEST_F(ScriptTest, ConditionsChainLeftToRightAndSkipNestedBlocks) {
  ASSERT_TRUE(Load("F1=1\r\nF2=4\r\nA=3\r\n"
                   "[F1=1&F2>3|A<5]{\r\nB=1\r\n}\r\n"
                   "[F1=0]{\r\nB=99\r\n[A=3]{\r\nB=98\r\n}\r\n; a } in a comment\r\nB=97\r\n}\r\n"
                   "[A>=3]{\r\nC=1\r\n}\r\n[A!3]{\r\nD=1\r\n}\r\n[A<=2]{\r\nE=1\r\n}\r\n"
                   "[F1]{\r\nG=1\r\n}\r\n[F2=4&A=2]{\r\nH=1\r\n}\r\n[A==3]{\r\nI=1\r\n}\r\n"));
  EXPECT_TRUE(RunToEnd());
  const std::pair<char, int> expected[] = {{'B', 1}, {'C', 1}, {'D', 0}, {'E', 0},
                                           {'G', 0}, {'H', 0}, {'I', 1}};
  for (const auto& [name, value] : expected) EXPECT_EQ(Variable(name), value) << name;
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ScriptTest, ConditionFaults) {
  struct Case {
    const char* script;
    std::string report;
    bool runGoesOn;
  };
  const Case cases[] = {
      {"[A=]{\r\n}\r\n", kOperationUnfinished, false},
      {"A=3\r\n[A=3]B=1\r\n", kBlockNotStarted, false},
      {"[A=4]}\r\n", kBracketNotClosed, false},
      {"[F3000=1]{\r\n}\r\n", kFlagOutOfRange, false},
      {"A=3\r\n[A =3]{\r\nB=1\r\n}\r\n", kExtraSpace, true},
  };
  for (const Case& c : cases) {
    engine_.state->Clear();
    ASSERT_TRUE(Load(c.script));
    EXPECT_EQ(RunToEnd(), c.runGoesOn) << c.script;
    EXPECT_TRUE(Reported(c.report)) << c.script;
  }
  EXPECT_EQ(Variable('B'), 1);  // the last case's blank was reported and its condition held
}

TEST_F(ScriptTest, IgnoringBranchesEntersEveryBlockAndSkipsJumps) {
  engine_.ignoreBranches = true;
  ASSERT_TRUE(Load("[A=1]{\r\nB=1\r\n}\r\ngoto nowhere\r\nC=1\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(Variable('B'), 1);
  EXPECT_EQ(Variable('C'), 1);
}

// The debug walk goes on to the next script of the archive, passing over the tables that share
// it (a member "b.txt" lies between "a.scr" and "c.scr").
TEST_F(ScriptTest, TheDebugWalkStepsOverArchiveMembersThatAreNotScripts) {
  for (const char* member : {"pack/a.scr", "pack/b.txt", "pack/c.scr"}) folder_.Write(member, "x");
  ASSERT_EQ(testing::RunTool(folder_, {"arc", "pack", folder_.File("scr.dat"), folder_.File("pack")}), 0)
      << folder_.Read("stderr.txt");
  ASSERT_TRUE(engine_.scripts.Open("scr.dat", false, false));
  WriteScript("c", "C=1\r\n");
  engine_.ignoreBranches = true;
  ASSERT_TRUE(Load("A=1\r\n", "a"));
  for (int step = 0; step < 4 && Variable('C') == 0; ++step) ASSERT_TRUE(script_.Tick());
  EXPECT_EQ(Variable('C'), 1);
  EXPECT_EQ(engine_.state->ScriptName(), "c");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ScriptTest, GotoFindsLabelsAnywhere) {
  ASSERT_TRUE(Load("A=1\r\ngoto later\r\nA=2\r\nB=1 @later C=1\r\n[D=0]{\r\nD=1\r\ngoto back\r\n}\r\n"
                   "E=1\r\n@back E+=10\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(Variable('A'), 1);
  EXPECT_EQ(Variable('B'), 0);
  EXPECT_EQ(Variable('C'), 1);
  EXPECT_EQ(Variable('E'), 10);
}

TEST_F(ScriptTest, GotoToAMissingLabelOrOneAtTheVeryEndFails) {
  for (const char* script : {"goto none\r\n", "goto last\r\n@last"}) {
    ASSERT_TRUE(Load(script));
    EXPECT_FALSE(RunToEnd()) << script;
    EXPECT_TRUE(Reported(kLabelNotFound)) << script;
  }
}

TEST_F(ScriptTest, ParamCalcOrdersTheScores) {
  ASSERT_TRUE(Load("F771=30\r\nF772=28\r\nF773=30\r\nF774=32\r\nF775=16\r\nparam_calc\r\n"
                   "A=F0\r\nB=F1\r\n"
                   "F771=15\r\nF772=28\r\nF773=0\r\nF774=0\r\nF775=16\r\nparam_calc\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(Variable('A'), 1);  // five equal scores keep their order
  EXPECT_EQ(Variable('B'), 2);
  EXPECT_EQ(Flag(0), 2);        // 1000 (id 2) and 1000 (id 5) before 500 (id 1)
  EXPECT_EQ(Flag(1), 5);
}

TEST_F(ScriptTest, RandomStaysBelowItsLimit) {
  std::string script = "random 0\r\nZ=R\r\n";
  for (int i = 0; i < 40; ++i) script += "random 6\r\nF" + std::to_string(10 + i) + "=R\r\n";
  ASSERT_TRUE(Load(script));
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(Variable('Z'), 0);
  std::set<int> seen;
  for (int i = 0; i < 40; ++i) seen.insert(Flag(10 + i));
  EXPECT_EQ(*seen.rbegin(), 5);
  EXPECT_EQ(*seen.begin(), 0);
}

TEST_F(ScriptTest, UnknownWordsAreReportedOneTokenAtATime) {
  ASSERT_TRUE(Load("nonsense 1 2\r\n@label\r\nset_ff x\r\nmacro y\r\nminigame\r\n"));
  EXPECT_TRUE(RunToEnd());
  const std::vector<std::string> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 3u);
  for (const std::string& box : boxes) EXPECT_NE(box.find(kUndefined), std::string::npos);
  EXPECT_NE(boxes[0].find("nonsense"), std::string::npos);
  EXPECT_NE(boxes[2].find(" 2"), std::string::npos);
}

TEST_F(ScriptTest, TheEndIsReportedOnceThenTheEngineIdles) {
  ASSERT_TRUE(Load("A=1\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_TRUE(script_.Tick());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].find(kRanToTheEnd), std::string::npos);
  EXPECT_TRUE(script_.EndOfScriptReported());
  const std::uint32_t before = platform_.Ticks();
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(script_.Tick());
  EXPECT_EQ(platform_.Ticks() - before, 300u);
  EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(ScriptTest, DefineTableHoldsAThousandNames) {
  std::string script = "define " + kDefineName + " F1\r\ndefine " + kDefineName + " F2\r\n";
  for (int i = 1; i < 1000; ++i) script += "define \x82\xa0" + std::to_string(i) + " F3\r\n";
  script += "define \x82\xa2x F4\r\n" + kDefineName + "=7\r\n";
  ASSERT_TRUE(Load(script));
  EXPECT_TRUE(RunToEnd(5000));
  EXPECT_EQ(Flag(2), 7);  // the second define of a name replaced its value
  EXPECT_TRUE(Reported(kTableFull));
}

TEST_F(ScriptTest, WaitTimesFollowTheVirtualClock) {
  const std::pair<const char*, std::uint32_t> cases[] = {
      {"wait 1.5\r\n", 1500}, {"wait 2\r\n", 2000}, {"sleep 0.25\r\n", 250}, {"wait A\r\n", 0}};
  for (const auto& [script, milliseconds] : cases) {
    ASSERT_TRUE(Load(script));
    const std::uint32_t before = platform_.Ticks();
    ASSERT_TRUE(script_.Tick());
    const std::uint32_t waited = platform_.Ticks() - before;
    EXPECT_GE(waited, milliseconds) << script;
    EXPECT_LT(waited, milliseconds + 34) << script;  // at most two frame intervals more
  }
  EXPECT_TRUE(Boxes().empty());
  ASSERT_TRUE(Load("wait 1,5\r\n"));
  ASSERT_TRUE(script_.Tick());
  EXPECT_TRUE(Reported(kBadCharacterInTime));
}

TEST_F(ScriptTest, AClickDuringAWaitSetsCAndEndsItOnlyWhenClicksCancel) {
  for (const bool clickCancels : {true, false}) {
    engine_.settings.effect.clickCancel = clickCancels;
    engine_.autoMode = true;
    engine_.state->variables['C' - 'A'] = 0;
    ASSERT_TRUE(Load("wait 1\r\n"));
    engine_.input.SetInput(kInputAdvance, true);
    const std::uint32_t before = platform_.Ticks();
    ASSERT_TRUE(script_.Tick());
    const std::uint32_t waited = platform_.Ticks() - before;
    EXPECT_EQ(Variable('C'), 1) << clickCancels;
    EXPECT_FALSE(engine_.autoMode) << clickCancels;
    EXPECT_FALSE(engine_.input.IsLatched(kInputAdvance));
    if (clickCancels) {
      EXPECT_LT(waited, 17u);
    } else {
      EXPECT_GE(waited, 1000u);
    }
  }
}

TEST_F(ScriptTest, CtrlAndSkipModeCutWaitsButNotSleeps) {
  const std::pair<const char*, bool> cases[] = {{"wait 5\r\n", true}, {"sleep 5\r\n", false}};
  for (const auto& [line, cut] : cases) {
    for (const bool byCtrl : {true, false}) {
      host_.ctrlDown = byCtrl;
      engine_.skipMode = !byCtrl;
      ASSERT_TRUE(Load(line));
      const std::uint32_t before = platform_.Ticks();
      ASSERT_TRUE(script_.Tick());
      EXPECT_EQ(platform_.Ticks() - before < 5000u, cut) << line << byCtrl;
    }
  }
}

TEST_F(ScriptTest, WaitGivesWayToAReturnToTheTitle) {
  host_.titleRequested = true;
  ASSERT_TRUE(Load("wait 100\r\n"));
  const std::uint32_t before = platform_.Ticks();
  ASSERT_TRUE(script_.Tick());
  EXPECT_LT(platform_.Ticks() - before, 100u);
}

TEST_F(ScriptTest, ChangeLoadsAnotherScriptAndKeepsTheState) {
  WriteScript("second", "B=A+1\r\n");
  ASSERT_TRUE(Load("A=5\r\nchange second\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(Variable('B'), 6);
  EXPECT_EQ(engine_.state->ScriptName(), "second");
  EXPECT_EQ(script_.ScriptPath(), "scr\\second.scr");
}

TEST_F(ScriptTest, ChangeToAMissingScriptGoesOnWithTheCurrentOne) {
  ASSERT_TRUE(Load("change nowhere\r\nA=1\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_TRUE(Reported(kFileMissing));
  EXPECT_EQ(Variable('A'), 1);
  EXPECT_EQ(engine_.state->ScriptName(), "test");
}

TEST_F(ScriptTest, TitleClearsTheStateAndLoadsTheTitleScript) {
  WriteScript("open", "C=1\r\n");
  ASSERT_TRUE(Load("A=5\r\nF9=1\r\ntitle\r\nB=1\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(engine_.state->ScriptName(), "open");
  EXPECT_EQ(Variable('A'), 0);
  EXPECT_EQ(Flag(9), 0);
  EXPECT_EQ(Variable('B'), 0);
  EXPECT_EQ(Variable('C'), 1);
  EXPECT_EQ(engine_.state->formatNumber, 700);
}

TEST_F(ScriptTest, NameCheckComparesTheHerosName) {
  ASSERT_TRUE(Load("name_check\r\nA=V\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(Variable('A'), 1);
  engine_.settings.user.name = "\x8d\x44";
  ASSERT_TRUE(Load("name_check\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(Variable('V'), 0);
}

TEST_F(ScriptTest, AScrambledScriptRunsLikeItsPlainForm) {
  const std::string body = "A=2\r\n[A=2]{\r\nB=A*21\r\n}\r\n";
  std::string scrambled = "X" + body;
  Scramble(reinterpret_cast<std::uint8_t*>(scrambled.data()) + 1, body.size(), 0);
  folder_.Write("scr/x.scr", scrambled);
  ASSERT_TRUE(script_.LoadScript("scr\\x.scr", true));
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(Variable('B'), 42);
}

TEST_F(ScriptTest, LooseScriptsWinOverTheArchiveAndLoadFailuresAreReported) {
  ASSERT_FALSE(script_.LoadScript("scr\\absent.scr", true));
  EXPECT_TRUE(Reported(kCannotOpen));
  EXPECT_NE(platform_.MessageBoxes().back().request.caption.find("SCRIPT (489)"), std::string::npos);
  folder_.Write("scr/empty.scr", "");
  ASSERT_FALSE(script_.LoadScript("scr\\empty.scr", true));
  EXPECT_NE(platform_.MessageBoxes().back().request.caption.find("SCRIPT (496)"), std::string::npos);
}

TEST_F(ScriptTest, VoiceStatementsAreRegisteredInTextOrder) {
  const std::string body = "\r\nvo a1\r\nvo_sel 3\r\nxvo no\r\n; vo hidden\r\nA=1 ;vo\r\nvox\tb2\r\n";
  ASSERT_TRUE(Load(body));
  const std::string path = ScriptPath("test");
  const std::string text = "N" + body;
  const int firstVo = static_cast<int>(text.find("vo a1"));
  const int voSel = static_cast<int>(text.find("vo_sel"));
  const int vox = static_cast<int>(text.find("vox"));
  EXPECT_EQ(engine_.readList.RegisteredCount(path), 6);
  EXPECT_EQ(engine_.readList.GetOffset(path, 0), firstVo);
  EXPECT_EQ(engine_.readList.GetOffset(path, 1), voSel);
  for (int n = 2; n <= 4; ++n) EXPECT_EQ(engine_.readList.GetOffset(path, n), voSel + 7) << n;
  EXPECT_EQ(engine_.readList.GetOffset(path, 5), vox);
}

TEST_F(ScriptTest, NothingIsRegisteredWhileTheNoSaveFlagIsSet) {
  engine_.state->flags[GameState::kNoSaveFlag] = 1;
  ASSERT_TRUE(Load("\r\nvo a\r\nvo b\r\n"));
  EXPECT_EQ(engine_.readList.RegisteredCount(ScriptPath("test")), -1);  // not even listed
}

}  // namespace
}  // namespace halcyra

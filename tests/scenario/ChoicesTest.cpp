#include "scenario/Choices.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "scenario/ChoiceRegistry.h"
#include "script/ScriptTexts.h"
#include "system/SaveData.h"
#include "tests/scenario/EffectsFixture.h"
#include "tests/scenario/MessageFixture.h"

namespace halcyra {
namespace {

namespace slots = choice_slots;

// 選択肢はこれ以上登録できない
const std::string kTooManyChoices =
    "\x91I\x91\xf0\x8e\x88\x82\xcd\x82\xb1\x82\xea\x88\xc8\x8f\xe3\x93o\x98^\x82\xc5\x82\xab\x82"
    "\xc8\x82\xa2";
const std::string kAiu = "\x82\xa0\x82\xa2\x82\xa4";  // あいう

// The choice window: picture "sel" (800 x 40, opaque), no offsets.
const std::string kChoiceWindow = "window_sel 1 0 0 0 0 0 0 0 0 0 0 sel 0 0\r\n";

// Where the pictures of n choices lie: step = 334 / (n + 1), the i-th at y = i * step + step +
// 11 - 2, 40 pixels high.
int PictureMiddleY(int i, int n) {
  const int step = 334 / (n + 1);
  return i * step + step + 9 + 20;
}

std::string Definitions(const std::vector<std::string>& texts) {
  std::string lines;
  for (const std::string& text : texts) lines += "def_sel " + text + "\r\n";
  return lines;
}

class ChoicesTest : public testing::MessageFixture {
 protected:
  ChoicesTest() {
    RegisterChoiceStatements(script_);
    folder_.Write("cg/sel.bmp", testing::Bmp(800, 40, [](int, int) { return 0x303030u; }));
    engine_.state->messageNumber = 5;
  }

  // Runs the window, the definitions and a line of text, so the next statement is the
  // selection itself. The pointer starts in the corner and S at 0.
  void Prepare(const std::vector<std::string>& texts, const std::string& selection) {
    host_.mouseX = 0;
    host_.mouseY = 0;
    engine_.state->variables['S' - 'A'] = 0;
    ASSERT_TRUE(Load(kWindow0 + kChoiceWindow + Definitions(texts) + kAiu + "\r\n" + selection +
                     "\r\nend\r\n"));
    for (std::size_t k = 0; k < texts.size() + 3; ++k) ASSERT_TRUE(script_.Tick());
    ResetPolls();
  }
  void PointAt(int i, int n) {
    host_.mouseX = 400;
    host_.mouseY = PictureMiddleY(i, n);
  }
  // At poll, the pointer moves onto the i-th of n choices and clicks.
  void ClickChoiceAt(int poll, int i, int n) {
    AtPoll(poll, [this, i, n] {
      PointAt(i, n);
      Click();
    });
  }
  void Latch(std::uint32_t bits) { engine_.input.SetInput(bits, true); }
  CDIBSprite& Sprite(int slot) { return engine_.sprites->At(slot); }
  bool Marked(int key) const { return engine_.readList.IsMarked(ScriptPath("test"), key); }
};

// The value of a choice counts the "NULL" lines before it; the chosen key is the question's
// number plus that value.
TEST_F(ChoicesTest, NullLinesCountInTheNumberingOfTheChoices) {
  struct Case {
    int picked;
    int value;
  };
  for (const Case& c : {Case{0, 1}, Case{1, 3}}) {
    engine_.readList.Clear();
    Prepare({"A", "NULL", "B"}, "select2 1");
    ClickChoiceAt(3, c.picked, 2);
    ASSERT_TRUE(script_.Tick());
    EXPECT_EQ(polls_, 3);
    EXPECT_EQ(Variable('S'), c.value);
    EXPECT_TRUE(Marked(5));  // the question
    for (const int key : {6, 7, 8}) EXPECT_EQ(Marked(key), key == 5 + c.value) << key;
    EXPECT_EQ(engine_.choices.registered, 0);
    EXPECT_EQ(engine_.choices.lines, 0);
    EXPECT_EQ(Sprite(slots::kPicture).GetSurface(), nullptr);
    EXPECT_EQ(Sprite(slots::kText + 1).GetSurface(), nullptr);
  }
}

// The last-choice save is written before S takes the choice, so loading it asks again.
TEST_F(ChoicesTest, TheLastChoiceSaveHoldsTheStateBeforeTheChoice) {
  Prepare({"A", "B"}, "select2 1");
  engine_.state->variables['S' - 'A'] = 42;
  ClickChoiceAt(2, 1, 2);
  ASSERT_TRUE(script_.Tick());
  EXPECT_EQ(Variable('S'), 2);
  const std::string bytes = folder_.Read(SlotFileName(kChoiceSlot));
  ASSERT_EQ(bytes.size(), sizeof(GameState));
  std::int32_t saved = 0;
  std::memcpy(&saved, bytes.data() + 72 + 4 * ('S' - 'A'), sizeof saved);
  EXPECT_EQ(saved, 42);
}

// `select` swaps a random pair (a = random % n, b = random % n), `select2` and debug mode
// never do. With two choices the first picture shows B exactly when a != b.
TEST_F(ChoicesTest, OnlySelectSwapsARandomPairAndNeverInDebugMode) {
  struct Case {
    const char* statement;
    bool debug;
    bool swaps;
  };
  const Case cases[] = {{"select 1", false, true}, {"select2 1", false, false},
                        {"select 1", true, false}};
  for (const Case& c : cases) {
    int swapped = 0;
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
      engine_.debugMode = c.debug;
      Prepare({"A", "B"}, c.statement);
      engine_.random.seed(seed);
      std::mt19937 expected(seed);
      const unsigned a = expected() % 2;
      const unsigned b = expected() % 2;
      const bool swap = c.swaps && a != b;
      swapped += swap;
      ClickChoiceAt(2, 0, 2);
      ASSERT_TRUE(script_.Tick());
      EXPECT_EQ(Variable('S'), swap ? 2 : 1) << c.statement << " seed " << seed;
    }
    if (c.swaps) {
      EXPECT_GT(swapped, 0);
      EXPECT_LT(swapped, 12);
    }
  }
}

// Up with nothing selected selects the last choice, Down the first; both wrap.
TEST_F(ChoicesTest, KeysMoveTheSelectionAndWrap) {
  struct Case {
    std::vector<std::uint32_t> keys;
    int value;
  };
  const Case cases[] = {
      {{kInputUp}, 3},
      {{kInputDown}, 1},
      {{kInputLeft, kInputLeft}, 2},
      {{kInputDown, kInputRight, kInputDown, kInputDown}, 1},
      {{kInputDown, kInputUp}, 3},
  };
  for (const Case& c : cases) {
    Prepare({"A", "B", "C"}, "select2 1");
    int poll = 2;
    for (const std::uint32_t key : c.keys) AtPoll(poll++, [this, key] { Latch(key); });
    AtPoll(poll + 1, [this] { Click(); });
    ASSERT_TRUE(script_.Tick());
    EXPECT_EQ(polls_, poll + 1);
    EXPECT_EQ(Variable('S'), c.value) << c.keys.size();
  }
}

// A click with nothing under the pointer and nothing selected picks nothing.
TEST_F(ChoicesTest, AClickOnNothingChoosesNothing) {
  Prepare({"A", "B"}, "select2 1");
  AtPoll(2, [this] {
    host_.mouseX = 400;
    host_.mouseY = 590;
    Click();
  });
  ClickChoiceAt(6, 1, 2);
  ASSERT_TRUE(script_.Tick());
  EXPECT_EQ(polls_, 6);
  EXPECT_EQ(Variable('S'), 2);
}

// Escape hides the window and forgets the selection; the next click only shows the window.
TEST_F(ChoicesTest, CancelHidesTheWindowAndTheNextClickOnlyShowsIt) {
  Prepare({"A", "B"}, "select2 1");
  bool hiddenAtFour = false;
  AtPoll(2, [this] { PointAt(0, 2); });
  AtPoll(3, [this] { Latch(kInputCancel); });
  AtPoll(4, [&] {
    hiddenAtFour = !Page().windowShown;
    PointAt(1, 2);
  });
  AtPoll(5, [this] { Click(); });
  AtPoll(8, [this] { Click(); });
  AtPoll(10, [this] { PointAt(0, 2); });
  AtPoll(11, [this] { Click(); });
  ASSERT_TRUE(script_.Tick());
  EXPECT_TRUE(hiddenAtFour);
  EXPECT_EQ(polls_, 11);
  EXPECT_EQ(Variable('S'), 1);
}

// A text longer than its 511-byte buffer keeps whole characters only.
TEST_F(ChoicesTest, ALongTextIsCutAtACharacterBoundary) {
  std::string text(510, 'a');
  for (int k = 0; k < 40; ++k) text += "\x82\xa0";  // あ
  ASSERT_TRUE(Load("def_sel " + text + "\r\ndef_sel " + std::string(700, 'b') + "\r\n"));
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(engine_.choices.texts[0], std::string(510, 'a'));
  EXPECT_EQ(engine_.choices.texts[1], std::string(511, 'b'));
  EXPECT_EQ(engine_.choices.registered, 2);
}

TEST_F(ChoicesTest, AnEleventhChoiceIsRefusedWithItsReport) {
  std::vector<std::string> texts;
  for (int k = 0; k < 10; ++k) texts.push_back("c" + std::to_string(k));
  ASSERT_TRUE(Load(Definitions(texts) + "def_sel NULL\r\ndef_sel extra\r\n"));
  for (int k = 0; k < 10; ++k) ASSERT_TRUE(script_.Tick());
  EXPECT_FALSE(Reported(kTooManyChoices));
  EXPECT_FALSE(script_.Tick());
  EXPECT_TRUE(Reported(kTooManyChoices));
  EXPECT_EQ(engine_.choices.registered, 10);
  EXPECT_EQ(engine_.choices.texts[9], "c9");
}

// Another window number is named in a report and taken as 1; the definition is kept.
TEST_F(ChoicesTest, AnotherWindowNumberIsReportedAndTakenAsOne) {
  ASSERT_TRUE(Load(kWindow0 + "window_sel 2 0 0 0 0 0 7 0 0 0 0 sel 0 3\r\n" +
                   Definitions({"A", "B"}) + "select 4\r\n"));
  for (int k = 0; k < 4; ++k) ASSERT_TRUE(script_.Tick());
  ResetPolls();
  EXPECT_EQ(engine_.state->choiceWindow[5], 7);
  EXPECT_EQ(engine_.state->choiceWindowExtra[1], 3);
  EXPECT_EQ(std::string(engine_.state->choiceWindowPicture), "sel");
  AtPoll(2, [this] { Latch(kInputDown); });
  AtPoll(3, [this] { Click(); });
  ASSERT_TRUE(script_.Tick());
  EXPECT_EQ(polls_, 3);
  EXPECT_GE(Variable('S'), 1);
  const std::vector<std::string> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_NE(boxes[0].find(std::string(script_texts::kUnsupportedWindow) + " 2"), std::string::npos);
  EXPECT_NE(boxes[1].find(std::string(script_texts::kUnsupportedWindow) + " 4"), std::string::npos);
}

// Chosen choices are drawn in the read grey (min(ReadedLumi, 254) in every channel) when
// Message/Selected is on, whatever order the swap gave them.
TEST_F(ChoicesTest, ChosenChoicesAreDrawnInTheReadGrey) {
  struct Case {
    int lumi;
    bool selected;
    std::uint32_t grey;
  };
  const Case cases[] = {{100, true, 0x646464}, {255, true, 0xFEFEFE}, {100, false, 0xFFFFFF}};
  for (const Case& c : cases) {
    engine_.settings.message.readedLumi = c.lumi;
    engine_.settings.message.selected = c.selected;
    engine_.readList.Clear();
    Prepare({"A", "NULL", "B"}, "select 1");
    engine_.readList.IsRead(ScriptPath("test"), 5 + 3, true);  // B: number 2, value 3
    std::uint32_t colours[2] = {};
    AtPoll(2, [&] {
      colours[0] = Sprite(slots::kText).TextColour();
      colours[1] = Sprite(slots::kText + 1).TextColour();
      Latch(kInputDown);
    });
    AtPoll(3, [this] { Click(); });
    ASSERT_TRUE(script_.Tick());
    const int grey = Variable('S') == 3 ? 0 : 1;  // the first shown was B
    EXPECT_EQ(colours[grey], c.grey) << c.lumi;
    EXPECT_EQ(colours[1 - grey], 0xFFFFFFu) << c.lumi;
  }
}

// A font change during a choice gives the choice texts the new font at the next frame.
TEST_F(ChoicesTest, AFontChangeReachesTheChoiceTexts) {
  Prepare({"A", "B"}, "select2 1");
  const TextFont* fonts[2] = {};
  AtPoll(2, [this] {
    Sprite(slots::kText).SetFont(nullptr);
    Sprite(slots::kText + 1).SetFont(nullptr);
    engine_.fontChanged = true;
  });
  AtPoll(4, [&] {
    fonts[0] = Sprite(slots::kText).Font();
    fonts[1] = Sprite(slots::kText + 1).Font();
  });
  ClickChoiceAt(5, 0, 2);
  ASSERT_TRUE(script_.Tick());
  EXPECT_EQ(fonts[0], engine_.fonts[0]);
  EXPECT_EQ(fonts[1], engine_.fonts[0]);
}

}  // namespace
}  // namespace halcyra

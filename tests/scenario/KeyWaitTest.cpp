#include "scenario/KeyWait.h"

#include <gtest/gtest.h>

#include <string>

#include "scenario/GuideVoices.h"
#include "scenario/IconBar.h"
#include "tests/graphics/GraphicsFixtures.h"
#include "tests/media/SoundTestSupport.h"
#include "tests/scenario/MessageFixture.h"

namespace halcyra {
namespace {

namespace slots = message_slots;
using testing::Bytes;
using testing::PsdDocument;

const std::string kAiu = "\x82\xa0\x82\xa2\x82\xa4";  // あいう

// A layered picture of cells of width x height whose left half is opaque and right half
// transparent.
std::string HalfOpaquePsd(int width, int height, int cells) {
  PsdDocument document;
  document.channels = 4;
  document.width = width;
  document.height = height;
  document.layerSection = true;
  document.storedLayerCount = -cells;  // negative: the document has transparency
  Bytes colour(static_cast<std::size_t>(width * height), 200);
  Bytes alpha;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) alpha.push_back(x < width / 2 ? 255 : 0);
  }
  for (int cell = 0; cell < cells; ++cell) {
    document.layers.push_back({0,
                               0,
                               height,
                               width,
                               {{0, testing::RawBlock(colour)},
                                {1, testing::RawBlock(colour)},
                                {2, testing::RawBlock(colour)},
                                {-1, testing::RawBlock(alpha)}}});
  }
  document.merged = testing::RawBlock(Bytes(static_cast<std::size_t>(4 * width * height), 0));
  const Bytes bytes = testing::MakePsd(document);
  return std::string(bytes.begin(), bytes.end());
}

class KeyWaitTest : public testing::MessageFixture {
 protected:
  // A page typed in window 0 and the waits switched on; the statements after it follow.
  bool LoadPage(const std::string& rest) {
    return Load(kWindow0 + "auto_ret_off\r\n" + kAiu + " \r\n" + rest);
  }
  // Runs the window, the switch and the message, then presents one frame so that every later
  // frame costs exactly 17 ms of the virtual clock.
  void TypePage() {
    for (int k = 0; k < 3; ++k) ASSERT_TRUE(script_.Tick());
    script_.Present();
    ResetPolls();
  }
  // Milliseconds the next statement takes on the virtual clock.
  std::uint32_t TimeOfStep() {
    const std::uint32_t start = platform_.Ticks();
    EXPECT_TRUE(script_.Tick());
    return platform_.Ticks() - start;
  }
  void Latch(std::uint32_t bits) { engine_.input.SetInput(bits, true); }
  const CDIBSprite& Sprite(int slot) const { return engine_.sprites->At(slot); }
};

// Straight after a reset of the scenario state the waits are off; `auto_ret_off` turns them on.
TEST_F(KeyWaitTest, WaitsDoNothingUntilAutoRetOff) {
  ASSERT_TRUE(Load(kWindow0 + kAiu + "\r\nret\r\nret_noskip\r\nkey\r\nauto_ret_off\r\nret\r\n"));
  ASSERT_TRUE(script_.Tick());
  ASSERT_TRUE(script_.Tick());
  ClickAtPoll(5);
  for (int k = 0; k < 3; ++k) ASSERT_TRUE(script_.Tick());
  EXPECT_EQ(polls_, 0);
  ASSERT_TRUE(script_.Tick());
  ASSERT_TRUE(script_.Tick());
  EXPECT_EQ(polls_, 5);
  EXPECT_TRUE(Page().pageStartPending);  // a page wait ends the page
}

TEST_F(KeyWaitTest, AWaitMarksItsMessageReadAndForgetsThePendingVoice) {
  ASSERT_TRUE(LoadPage("key\r\n"));
  TypePage();
  engine_.state->messageNumber = 3;
  GameState::CopyName(engine_.state->pendingVoice, "ari001");
  ClickAtPoll(2);
  ASSERT_TRUE(script_.Tick());
  EXPECT_TRUE(engine_.readList.IsMarked(ScriptPath("test"), 3));
  EXPECT_EQ(std::string(engine_.state->pendingVoice), "");
  EXPECT_FALSE(Page().pageStartPending);  // a line wait keeps the page
  EXPECT_FALSE(engine_.waitingForInput);
}

// Ctrl ends skippable waits at once; `ret_noskip` ignores Ctrl, auto and skip mode and ends
// both modes.
TEST_F(KeyWaitTest, RetNoSkipIgnoresCtrlAutoAndSkip) {
  struct Case {
    const char* wait;
    bool ctrl, autoMode, skipMode;
    int polls;
  };
  const Case cases[] = {
      {"ret", true, false, false, 1},        {"key", true, false, false, 1},
      {"ret_noskip", true, false, false, 6}, {"ret_noskip", false, true, false, 6},
      {"ret_noskip", false, false, true, 6},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(LoadPage(std::string(c.wait) + "\r\n"));
    TypePage();
    host_.ctrlDown = c.ctrl;
    engine_.autoMode = c.autoMode;
    engine_.skipMode = c.skipMode;
    engine_.settings.skip.wait = 0;
    engine_.settings.skip2.wait = 0;
    ClickAtPoll(6);
    ASSERT_TRUE(script_.Tick());
    EXPECT_EQ(polls_, c.polls) << c.wait << c.ctrl << c.autoMode << c.skipMode;
    EXPECT_FALSE(engine_.autoMode || engine_.skipMode) << c.wait;
  }
}

// Auto mode ends a wait more than Skip/Wait * 19 + 100 ms after it began, skip mode
// Skip2/Wait * 4 ms after, measured on the clock; every frame costs 17 ms, and the wait
// presents one more when it ends.
TEST_F(KeyWaitTest, AutoAndSkipTimeoutsFollowTheClock) {
  struct Case {
    bool autoMode;
    int wait;
    std::uint32_t timeout;
  };
  const Case cases[] = {{true, 0, 100}, {true, 5, 195}, {false, 0, 0}, {false, 10, 40}};
  for (const Case& c : cases) {
    ASSERT_TRUE(LoadPage("ret\r\n"));
    TypePage();
    engine_.autoMode = c.autoMode;
    engine_.skipMode = !c.autoMode;
    (c.autoMode ? engine_.settings.skip.wait : engine_.settings.skip2.wait) = c.wait;
    const std::uint32_t time = TimeOfStep();
    EXPECT_GE(time, c.timeout + 17) << c.autoMode << " " << c.wait;
    EXPECT_LT(time, c.timeout + 2 * 17) << c.autoMode << " " << c.wait;
  }
}

// Auto mode waits for the voice to end first, unless it is set to play no voices.
TEST_F(KeyWaitTest, AutoModeWaitsForTheVoice) {
  OpenSound();
  folder_.Write("wav/ari001.wav", soundtest::PcmWave(1, 44100, 16, std::string(44100, '\x03')));
  for (const bool voiceOff : {false, true}) {
    ASSERT_TRUE(LoadPage("ret\r\n"));
    TypePage();
    CDSB& voice = (*engine_.channels)[4];
    ASSERT_TRUE(voice.LoadSound("wav\\ari001.wav", 0));
    voice.Play(false);
    engine_.autoMode = true;
    engine_.settings.skip.wait = 0;
    engine_.settings.skip.voice = voiceOff;
    const std::uint32_t time = TimeOfStep();
    if (voiceOff) {
      EXPECT_LT(time, 200u);
    } else {
      EXPECT_GE(time, 500u + 100u);  // half a second of voice, then the pause
    }
  }
}

// With Novel/NovelPage every line wait ends after one frame; page waits still wait.
TEST_F(KeyWaitTest, NovelPageEndsLineWaitsOnly) {
  engine_.settings.novel.novelPage = true;
  ASSERT_TRUE(LoadPage("key\r\nret\r\n"));
  TypePage();
  ClickAtPoll(7);
  EXPECT_EQ(TimeOfStep(), 2u * 17);  // the wait's one frame and the frame that ends it
  EXPECT_EQ(polls_, 1);
  ASSERT_TRUE(script_.Tick());
  EXPECT_EQ(polls_, 7);
}

// The cancel input hides the window (and ends auto mode); the next click only shows it again.
TEST_F(KeyWaitTest, RightClickHidesTheWindowAndTheNextClickOnlyShowsIt) {
  ASSERT_TRUE(LoadPage("ret\r\n"));
  TypePage();
  engine_.autoMode = true;
  engine_.settings.skip.wait = 255;
  bool hiddenAtFour = false;
  AtPoll(2, [this] { Latch(kInputCancel); });
  AtPoll(4, [&] { hiddenAtFour = !Page().windowShown && !Sprite(slots::kTextSurface).IsShown(); });
  AtPoll(5, [this] { Click(); });
  AtPoll(8, [this] { Click(); });
  ASSERT_TRUE(script_.Tick());
  EXPECT_TRUE(hiddenAtFour);
  EXPECT_FALSE(engine_.autoMode);
  EXPECT_EQ(polls_, 8);
  EXPECT_TRUE(Page().windowShown);
  EXPECT_FALSE(engine_.requests.hideWindow);
}

// The left button pressed on the window and released within 4 pixels is a click: the window
// stays; a longer drag moves it and is no click.
TEST_F(KeyWaitTest, ADragShorterThanFourPixelsIsAClick) {
  struct Case {
    int releaseX, releaseY;
    int endPoll;
    int windowY;
  };
  const Case cases[] = {{103, 453, 4, 400}, {100, 420, 7, 370}, {110, 450, 7, 400}};
  for (const Case& c : cases) {
    ASSERT_TRUE(LoadPage("ret\r\n"));
    TypePage();
    CDIBSprite& board = engine_.sprites->At(slots::kBackground);
    board.CreateBox(800, 200, 1, true, false);
    board.SetPosition(0, 400);
    AtPoll(2, [this] {
      host_.mouseX = 100;
      host_.mouseY = 450;
      engine_.input.SetInput(kInputLeftButton, false);
      Click();
    });
    AtPoll(3, [&, c] {
      host_.mouseX = c.releaseX;
      host_.mouseY = c.releaseY;
    });
    AtPoll(4, [this] { engine_.input.ClearInput(kInputLeftButton, false); });
    AtPoll(7, [this] { Click(); });
    ASSERT_TRUE(script_.Tick());
    EXPECT_EQ(polls_, c.endPoll) << c.releaseX << "," << c.releaseY;
    EXPECT_EQ(CurrentLayout(*engine_.state).y, c.windowY);
    EXPECT_EQ(engine_.state->normalWindow.values[1], c.windowY);
    EXPECT_EQ(board.GetY(), c.windowY);
    EXPECT_EQ(CurrentLayout(*engine_.state).x, c.releaseX == 110 ? 10 : 0);
  }
}

TEST_F(KeyWaitTest, IconsAreHitOnTheirOpaquePixelsOnly) {
  folder_.Write("cg/_iSkip.psd", HalfOpaquePsd(40, 20, 2));
  // The skip icon lies at (332, 434); its left 20 columns are opaque.
  const std::pair<int, bool> cases[] = {{340, true}, {360, false}};
  for (const auto& [x, onIcon] : cases) {
    ASSERT_TRUE(LoadPage("ret\r\n"));
    TypePage();
    engine_.skipMode = false;
    host_.mouseX = x;
    host_.mouseY = 440;
    int cellAtTwo = -1;
    AtPoll(2, [&] { cellAtTwo = Sprite(slots::kIconBase + kIconSkip).GetFrame(); });
    AtPoll(3, [this] { Click(); });
    ASSERT_TRUE(script_.Tick());
    EXPECT_EQ(cellAtTwo, onIcon ? 1 : 0) << x;
    EXPECT_EQ(polls_, 3);                    // either way the wait ends
    EXPECT_EQ(engine_.skipMode, onIcon) << x;  // the icon's click turned skip mode on
  }
}

// The previous-choice icon shows only while a last-choice save can be returned to, as the menu
// item does; a wait in scenario mode enables the item for its duration.
TEST_F(KeyWaitTest, ThePreviousChoiceIconFollowsTheLastChoiceSave) {
  folder_.Write("cg/_iPrevSel.psd", HalfOpaquePsd(40, 20, 2));
  for (const bool saved : {false, true}) {
    if (saved) folder_.Write("Save900.dat", "x");
    ASSERT_TRUE(LoadPage("ret\r\n"));
    TypePage();
    bool shownAtTwo = !saved;
    AtPoll(2, [&] { shownAtTwo = Sprite(slots::kIconBase + kIconPreviousChoice).IsShown(); });
    AtPoll(3, [this] { Click(); });
    ASSERT_TRUE(script_.Tick());
    EXPECT_EQ(shownAtTwo, saved);
    EXPECT_FALSE(engine_.saveMenu.mnPrev);  // the wait's end disables the items
  }
}

// Entering the skip icon (6) speaks guide entry 6 of the chosen set on the system channel.
TEST_F(KeyWaitTest, EnteringAnIconSpeaksItsGuide) {
  OpenSound();
  folder_.Write("cg/_iSkip.psd", HalfOpaquePsd(40, 20, 2));
  folder_.Write("wav/tma5021.wav", soundtest::PcmWave(1, 44100, 16, std::string(4410, '\x03')));
  engine_.settings.voice.guideNo = 1;
  for (const bool guide : {false, true}) {
    engine_.settings.voice.guide = guide;
    (*engine_.channels)[3].Release();
    ASSERT_TRUE(LoadPage("ret\r\n"));
    TypePage();
    Page().lastHoveredIcon = MessagePage::kNoIcon;  // the pointer comes from elsewhere
    host_.mouseX = 340;
    host_.mouseY = 440;
    AtPoll(3, [this] { Latch(kInputWheelDown); });
    ASSERT_TRUE(script_.Tick());
    EXPECT_EQ((*engine_.channels)[3].GetName(), guide ? "wav\\tma5021.wav" : "");
  }
}

TEST_F(KeyWaitTest, TheKeyWaitIconFollowsTheTextFromTheSecondFrame) {
  folder_.Write("cg/_Ret.psd", HalfOpaquePsd(16, 16, 3));
  const std::pair<int, std::pair<int, int>> cases[] = {
      {0, {kWindowX + kTextX + 3 * 24, kWindowY + kTextY}}, {1, {732, 546}}};
  for (const auto& [where, position] : cases) {
    engine_.settings.message.retPosi = where;
    ASSERT_TRUE(LoadPage("key\r\n"));
    TypePage();
    bool shownAtOne = true;
    AtPoll(1, [&] { shownAtOne = Sprite(slots::kKeyWaitIcon).IsShown(); });
    AtPoll(4, [this] { Click(); });
    ASSERT_TRUE(script_.Tick());
    EXPECT_FALSE(shownAtOne);
    const CDIBSprite& icon = Sprite(slots::kKeyWaitIcon);
    EXPECT_EQ(icon.GetFileName(), "cg\\_Ret.psd");
    EXPECT_EQ(std::make_pair(icon.GetX(), icon.GetY()), position) << where;
  }
}

// Turning a mode on frees the key-wait icon, so that the wait shows the mode's own at once.
TEST_F(KeyWaitTest, TurningAModeOnBringsItsKeyWaitIcon) {
  folder_.Write("cg/_RetPage.psd", HalfOpaquePsd(16, 16, 3));
  folder_.Write("cg/_RetAuto.psd", HalfOpaquePsd(16, 16, 3));
  CDIBSprite& icon = engine_.sprites->At(slots::kKeyWaitIcon);
  ShowKeyWaitIcon(script_, true);
  EXPECT_EQ(icon.GetFileName(), "cg\\_RetPage.psd");
  EXPECT_FALSE(icon.IsShown());
  script_.SetAutoMode(false);
  EXPECT_NE(icon.GetSurface(), nullptr);
  script_.SetAutoMode(true);
  EXPECT_EQ(icon.GetSurface(), nullptr);
  ShowKeyWaitIcon(script_, true);
  EXPECT_EQ(icon.GetFileName(), "cg\\_RetAuto.psd");
  EXPECT_TRUE(icon.IsShown());
  EXPECT_EQ(std::make_pair(icon.GetX(), icon.GetY()), std::make_pair(732, 546));
}

TEST_F(KeyWaitTest, TheWheelDownAdvancesAndMovesNothingElse) {
  ASSERT_TRUE(LoadPage("ret\r\n"));
  TypePage();
  AtPoll(3, [this] { Latch(kInputWheelDown); });
  ASSERT_TRUE(script_.Tick());
  EXPECT_EQ(polls_, 3);
  EXPECT_FALSE(engine_.skipMode || engine_.autoMode);
}

// Leaving fast-forward mode types the page it passed over and ends the play modes.
TEST_F(KeyWaitTest, StopFastForwardTypesThePageAgain) {
  engine_.settings.skipSelect.unread = false;  // unread text would end the mode itself
  ASSERT_TRUE(Load(kWindow0 + kAiu + " \r\n"));
  ASSERT_TRUE(script_.Tick());
  script_.SetFastForward(true);
  ASSERT_TRUE(script_.Tick());
  EXPECT_EQ(Page().cursorX, kTextX);  // nothing typed in fast-forward mode
  engine_.autoMode = true;
  StopFastForward(script_);
  EXPECT_FALSE(script_.IsFastForward());
  EXPECT_FALSE(engine_.autoMode);
  EXPECT_EQ(Page().cursorX, kTextX + 3 * 24);
  EXPECT_TRUE(Sprite(slots::kTextSurface).IsShown());
}

TEST_F(KeyWaitTest, UnreadTextEndsFastForward) {
  ASSERT_TRUE(Load(kWindow0 + kAiu + " \r\n"));
  ASSERT_TRUE(script_.Tick());
  script_.SetFastForward(true);
  ASSERT_TRUE(script_.Tick());
  EXPECT_FALSE(script_.IsFastForward());
  EXPECT_EQ(Page().cursorX, kTextX + 3 * 24);  // and the message is typed
}

// `sleep` cannot be skipped: it ends fast-forward mode, and the page comes back.
TEST_F(KeyWaitTest, SleepEndsFastForwardAndBringsThePageBack) {
  engine_.settings.skipSelect.unread = false;
  ASSERT_TRUE(Load(kWindow0 + kAiu + " \r\nsleep 0\r\n"));
  ASSERT_TRUE(script_.Tick());
  script_.SetFastForward(true);
  ASSERT_TRUE(script_.Tick());
  ASSERT_TRUE(script_.Tick());
  EXPECT_FALSE(script_.IsFastForward());
  EXPECT_EQ(Page().cursorX, kTextX + 3 * 24);
}

TEST_F(KeyWaitTest, RetNoSkipEndsFastForwardAndWaits) {
  ASSERT_TRUE(LoadPage("ret_noskip\r\n"));
  TypePage();
  script_.SetFastForward(true);
  ClickAtPoll(4);
  ASSERT_TRUE(script_.Tick());
  EXPECT_FALSE(script_.IsFastForward());
  EXPECT_EQ(polls_, 4);
}

TEST_F(KeyWaitTest, MoveWindowGoesBackToTheStandardPlace) {
  ASSERT_TRUE(Load("window 0 50 300 800 200 24 16 30 5 NULL 0 0\r\n"));
  ASSERT_TRUE(script_.Tick());
  MoveWindow(engine_, -10000, -10000);
  EXPECT_EQ(CurrentLayout(*engine_.state).x, 0);
  EXPECT_EQ(CurrentLayout(*engine_.state).y, 423);
  EXPECT_EQ(engine_.state->normalWindow.values[1], 423);
}

TEST(GuideVoiceTest, NamesFollowTheSetsPrefixesAndNumbers) {
  const std::tuple<int, int, const char*> cases[] = {
      {0, 1, "tha5018"},  {0, 9, "tha5024"}, {0, 14, "tha5029"}, {3, 1, "tay5019"},
      {3, 14, "tay5031"}, {9, 10, "tmi5025"}, {2, 4, "tre5019"}, {11, 1, "MZP"},
      {10, 1, ""},        {0, 0, ""},         {0, 15, ""},       {12, 1, ""}};
  for (const auto& [set, entry, name] : cases) {
    EXPECT_EQ(GuideVoiceName(set, entry), name) << set << " " << entry;
  }
}

}  // namespace
}  // namespace halcyra

#include "scenario/MessageWindow.h"

#include <gtest/gtest.h>

#include <string>

#include "scenario/KeyWait.h"
#include "tests/scenario/MessageFixture.h"

namespace halcyra {
namespace {

using MessageWindowTest = testing::MessageFixture;
namespace slots = message_slots;

const std::string kNoWindow =  // window が定義されていません
    "window \x82\xaa\x92\xe8\x8b\x60\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1";
const std::string kUnsupportedWindow =  // 現在サポートされていないウィンドウＮｏ．
    "\x8c\xbb\x8d\xdd\x83\x54\x83\x7c\x81\x5b\x83\x67\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xc8\x82"
    "\xa2\x83\x45\x83\x42\x83\x93\x83\x68\x83\x45\x82\x6d\x82\x8f\x81\x44";
const std::string kPageTooLong =  // ページの文字が多すぎます
    "\x83\x79\x81\x5b\x83\x57\x82\xcc\x95\xb6\x8e\x9a\x82\xaa\x91\xbd\x82\xb7\x82\xac\x82\xdc\x82"
    "\xb7";
const std::string kAiu = "\x82\xa0\x82\xa2\x82\xa4";  // あいう
const std::string kKaki = "\x82\xa9\x82\xab";         // かき
const std::string kGivenName = "\x81\x9c\x96\xbc\x81\x9c";   // ●名●
const std::string kFamilyName = "\x81\xa3\x8e\x81\x81\xa3";  // ▲氏▲
const std::string kTarou = "\x91\xbe\x98\x59";              // 太郎
const std::string kTarouHanako = "\x91\xbe\x98\x59\x89\xd4\x8e\x71";  // 太郎花子

TEST_F(MessageWindowTest, AMessageBeforeAnyWindowEndsTheRun) {
  ASSERT_TRUE(Load(kAiu + "\r\n"));
  EXPECT_FALSE(script_.Tick());
  EXPECT_TRUE(Reported(kNoWindow));
}

// A line ending at the line end keeps its line break; following lines of text join it.
TEST_F(MessageWindowTest, TextLinesEndWithTheirLineBreakAndJoinTheFollowingLines) {
  ASSERT_TRUE(Load(kWindow0 + kAiu + "\r\n" + kKaki + "\r\ncls\r\n"));
  ASSERT_TRUE(script_.Tick());
  ASSERT_TRUE(script_.Tick());
  EXPECT_EQ(Page().pageText, kAiu + "\n" + kKaki + "\n");
  ASSERT_TRUE(script_.Tick());  // the statement after the text is still there
  EXPECT_TRUE(Page().pageStartPending);
}

// Two words of text on one line are two messages on one page: the second continues the line
// where the first stopped.
TEST_F(MessageWindowTest, TwoWordsOnALineAreTwoMessagesOnTheSamePage) {
  ASSERT_TRUE(Load(kWindow0 + kAiu + " " + kKaki + "\r\n"));
  ASSERT_TRUE(script_.Tick());
  ASSERT_TRUE(script_.Tick());
  EXPECT_EQ(Page().pageText, kAiu);
  EXPECT_EQ(Page().cursorX, kTextX + 3 * 24);
  ASSERT_TRUE(script_.Tick());
  EXPECT_EQ(Page().pageText, kAiu + kKaki + "\n");
  // Led by three full-width spaces, the second message goes on in column 3; its line break
  // then moves the cursor to the next line.
  EXPECT_EQ(*engine_.sprites->At(slots::kTextHolder).Text(),
            "\x81\x40\x81\x40\x81\x40" + kKaki + "\n");
  EXPECT_EQ(Page().cursorX, kTextX);
  EXPECT_EQ(Page().cursorY, kTextY + 32);
  EXPECT_FALSE(Page().pageStartPending);
}

// Message/Speed divided by 8 is the pause after each character, in frames.
TEST_F(MessageWindowTest, MessageSpeedGivesWholeFramesOfPausePerCharacter) {
  const std::pair<int, int> cases[] = {{7, 0}, {8, 1}, {15, 1}, {16, 2}};
  for (const auto& [speed, frames] : cases) {
    engine_.settings.message.speed = speed;
    ASSERT_TRUE(Load(kWindow0 + kAiu + "\r\n"));
    ASSERT_TRUE(script_.Tick());
    script_.Present();  // sets the frame pacing, so that every later frame costs 17 ms
    const std::uint32_t start = platform_.Ticks();
    ASSERT_TRUE(script_.Tick());
    EXPECT_EQ(platform_.Ticks() - start, 3u * frames * 17) << "speed " << speed;
  }
}

TEST_F(MessageWindowTest, AClickWhileTypingShowsTheRestAndEndsTheModesButNotTheNextWait) {
  engine_.settings.message.speed = 16;
  engine_.autoMode = true;
  engine_.skipMode = true;
  engine_.settings.skip2.wait = 255;
  ASSERT_TRUE(Load(kWindow0 + "auto_ret_off\r\n" + kAiu + kAiu + "\r\nret\r\n"));
  ASSERT_TRUE(script_.Tick());
  ASSERT_TRUE(script_.Tick());
  engine_.skipMode = false;  // skip mode would not pause at all
  ClickAtPoll(3);
  const std::uint32_t start = platform_.Ticks();
  ASSERT_TRUE(script_.Tick());
  EXPECT_LT(platform_.Ticks() - start, 6u * 2 * 17);  // far less than the full pause
  EXPECT_EQ(Page().cursorY, kTextY + 32);             // yet the whole text is there
  EXPECT_FALSE(engine_.autoMode);
  EXPECT_FALSE(engine_.input.IsLatched(kInputAdvance));
  // The wait that follows needs a click of its own.
  ClickAtPoll(10);
  ASSERT_TRUE(script_.Tick());
  EXPECT_EQ(polls_, 10);
}

TEST_F(MessageWindowTest, CtrlHeldTypesWithoutPauses) {
  engine_.settings.message.speed = 16;
  host_.ctrlDown = true;
  ASSERT_TRUE(Load(kWindow0 + kAiu + "\r\n"));
  ASSERT_TRUE(script_.Tick());
  const std::uint32_t start = platform_.Ticks();
  ASSERT_TRUE(script_.Tick());
  EXPECT_EQ(platform_.Ticks() - start, 0u);
}

TEST_F(MessageWindowTest, WindowOneIsRejectedAndNothingIsStored) {
  ASSERT_TRUE(Load("window 1 5 6 7 8 9 10 11 12 pic 13 14\r\n"));
  ASSERT_TRUE(script_.Tick());
  EXPECT_TRUE(Reported(kUnsupportedWindow));
  for (const WindowDefinition* window : {&engine_.state->normalWindow, &engine_.state->nameWindow,
                                         &engine_.state->pageWindow,
                                         &engine_.state->messageWindow}) {
    EXPECT_EQ(window->values[0], 0);
    EXPECT_EQ(window->picture[0], '\0');
  }
  EXPECT_FALSE(Page().hasPageBuffer);
}

// The picture name is the tenth word, the frame offsets follow it; they are stored as fields
// 5 and 6.
TEST_F(MessageWindowTest, WindowStoresItsWordsInTheirFields) {
  ASSERT_TRUE(Load("window 3 1 2 3 4 5 6 7 8 page 9 10\r\n"));
  ASSERT_TRUE(script_.Tick());
  const WindowLayout layout = LayoutOf(engine_.state->pageWindow);
  EXPECT_EQ(std::string(engine_.state->pageWindow.picture), "page");
  const int fields[] = {layout.x,      layout.y,      layout.width, layout.height, layout.frameX,
                        layout.frameY, layout.textX,  layout.textY, layout.columns, layout.rows};
  const int expected[] = {1, 2, 3, 4, 9, 10, 5, 6, 7, 8};
  for (int k = 0; k < 10; ++k) EXPECT_EQ(fields[k], expected[k]) << "field " << k + 1;
}

// 9 messages of 200 bytes and a line break fill 1809 bytes; a tenth would pass the 1999 the
// page holds, so it is reported and left out, and the run goes on.
TEST_F(MessageWindowTest, APageTooLongForItsBufferIsRefusedAndKept) {
  std::string line;
  for (int k = 0; k < 100; ++k) line += "\x82\xa0";
  std::string body = kWindow0;
  for (int k = 0; k < 10; ++k) body += "msg " + line + "\r\n";
  ASSERT_TRUE(Load(body + "cls\r\n"));
  for (int k = 0; k < 10; ++k) ASSERT_TRUE(script_.Tick());
  EXPECT_FALSE(Reported(kPageTooLong));
  ASSERT_TRUE(script_.Tick());
  EXPECT_TRUE(Reported(kPageTooLong));
  EXPECT_EQ(Page().pageText.size(), 9u * 201);
  EXPECT_EQ(Page().pageText.substr(0, 201), line + "\n");
  ASSERT_TRUE(script_.Tick());
  EXPECT_TRUE(Page().pageStartPending);
}

TEST_F(MessageWindowTest, TheNameIsCentredByTheHeroNamesLength) {
  const std::pair<std::string, int> names[] = {{kTarou, 4}, {kTarouHanako, 8}};
  for (const auto& [hero, length] : names) {
    engine_.settings.user.name = hero;
    engine_.settings.heroName = hero;
    ASSERT_TRUE(Load(kWindow0 + kWindow2 + "msg2 " + kGivenName + "\r\n" + kAiu + "\r\n"));
    ASSERT_TRUE(RunToEnd());
    const CDIBSprite& name = engine_.sprites->At(slots::kNameSurface);
    // Window 2: x 100 + textX 10 + 8 columns * 12, less 6 per byte of the shown name.
    EXPECT_EQ(name.GetX(), 100 + 10 + 8 * 12 - length * 6);
    EXPECT_EQ(name.GetY(), 360 + 4);
    EXPECT_EQ(name.GetWidth(), 200 + 24);
  }
}

// The recording that avoids speaking the hero's name ends in "-2"; it is used when the page
// names the hero and the player chose a name of their own.
TEST_F(MessageWindowTest, TheHeroNameVoiceVariantFollowsThePlayersNames) {
  OpenSound();
  struct Case {
    std::string given;
    std::string family;
    std::string text;
    std::string voice;
  };
  const Case cases[] = {
      {"\x88\xea\x96\xe7", "", kGivenName + kAiu, "ari001"},  // 一也: the recorded name
      {kTarou, "", kGivenName + kAiu, "ari001-2"},
      {kTarou, "", kAiu, "ari001"},                            // no name on the page
      {"\x88\xea\x96\xe7", "", kFamilyName + kAiu, "ari001"},  // no family name given
      {"\x88\xea\x96\xe7", kTarou, kFamilyName + kAiu, "ari001-2"},
      {kTarou, "", kAiu + " " + kGivenName + " " + kKaki, "ari001-2"},  // once per page
  };
  for (const Case& c : cases) {
    engine_.settings.user.name = c.given;
    engine_.settings.user.family = c.family;
    ASSERT_TRUE(Load(kWindow0 + c.text + "\r\n"));
    GameState::CopyName(engine_.state->pendingVoice, "ari001");
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(std::string(engine_.state->pendingVoice), c.voice) << c.text;
  }
}

TEST_F(MessageWindowTest, PlaceholdersAreExpandedInTheTypedTextButKeptInThePage) {
  engine_.settings.user.name = kTarou;
  ASSERT_TRUE(Load(kWindow0 + kGivenName + kAiu + " \r\n"));
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(Page().pageText, kGivenName + kAiu);
  EXPECT_EQ(ExpandPlaceholders(kGivenName + kAiu, engine_), kTarou + kAiu);
  EXPECT_EQ(Page().cursorX, kTextX + 5 * 24);  // two name characters and three more
}

TEST_F(MessageWindowTest, MojiStoresTheSizeCodeAndSizesTheNextMessage) {
  const std::pair<int, int> cases[] = {{2, 36}, {4, 48}, {6, 60}, {9, 72}, {3, 24}, {1, 24}};
  for (const auto& [value, size] : cases) {
    host_.textSizeCodes.clear();
    ASSERT_TRUE(Load(kWindow0 + "moji " + std::to_string(value) + "\r\n" + kAiu + "\r\n"));
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(Flag(GameState::kTextSizeFlag), value - 1);
    ASSERT_EQ(host_.textSizeCodes.size(), 1u);
    EXPECT_EQ(host_.textSizeCodes[0], value - 1);
    EXPECT_EQ(engine_.sprites->At(slots::kTextHolder).CharacterWidth(), size) << value;
  }
}

TEST_F(MessageWindowTest, TextDefaultsGoWhereTheyAreKept) {
  ASSERT_TRUE(Load("def_sp_left 120\r\ndef_sp_center -5\r\ndef_sp_right3 2*300\r\n"
                   "set_read_mode 1\r\ndef_kinsoku \x81\x42\r\nauto_ret_off\r\n"));
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(engine_.state->Flag16(GameState::kStandLeftXFlag), 120);
  EXPECT_EQ(engine_.state->Flag16(GameState::kStandCentreXFlag), -5);
  EXPECT_EQ(engine_.state->Flag16(GameState::kStandRight3XFlag), 600);
  // The standing positions lie at bytes 2200..2209 of the record.
  const auto* bytes = reinterpret_cast<const unsigned char*>(engine_.state.get());
  EXPECT_EQ(bytes[2200] | bytes[2201] << 8, 120);
  EXPECT_EQ(Flag(GameState::kNoSaveFlag), 1);
  EXPECT_EQ(Flag(GameState::kRetWaitsOffFlag), 1);
  EXPECT_TRUE(engine_.text->IsLineEndChar(0x8142));   // 。
  EXPECT_FALSE(engine_.text->IsLineEndChar(0x8141));  // 、 is no longer in the list
}

TEST_F(MessageWindowTest, ClsEndsThePageAndTheNameWindow) {
  ASSERT_TRUE(Load(kWindow0 + kWindow2 + "msg2 " + kKaki + "\r\n" + kAiu + "\r\ncls\r\n"));
  ASSERT_TRUE(RunToEnd());
  EXPECT_TRUE(Page().pageStartPending);
  EXPECT_TRUE(Page().newPageForLog);
  EXPECT_TRUE(Page().pageText.empty());
  EXPECT_FALSE(Page().speakerName.has_value());
  EXPECT_EQ(engine_.sprites->At(slots::kTextSurface).GetSurface(), nullptr);
  EXPECT_EQ(engine_.sprites->At(slots::kNameSurface).GetSurface(), nullptr);
}

TEST_F(MessageWindowTest, WindowTwoFreesTheSpeakerNameForItsNewSize) {
  ASSERT_TRUE(Load(kWindow2 + "msg2 " + kTarouHanako + "\r\n"));
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(Page().speakerName, kTarouHanako);
  // One row holds 20 bytes and 2 more; no row at all leaves room for one byte, so the name is
  // cut before its first double-byte character.
  ASSERT_TRUE(Load("window 2 0 0 0 0 0 0 0 0 NULL 0 0\r\n"));
  ASSERT_TRUE(RunToEnd());
  EXPECT_FALSE(Page().speakerName.has_value());
  ASSERT_TRUE(Load("msg2 " + kTarouHanako + "\r\n"));
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(Page().speakerName, "");
}

TEST_F(MessageWindowTest, WindowOffHidesTheLayerAndWindowOnBringsBackWhatWasShown) {
  ASSERT_TRUE(Load(kWindow0 + kAiu + "\r\nwindow_off\r\nwindow_off\r\n"));
  ASSERT_TRUE(RunToEnd());
  CDIBSprite& surface = engine_.sprites->At(slots::kTextSurface);
  EXPECT_FALSE(surface.IsShown());
  EXPECT_FALSE(Page().windowShown);
  EXPECT_EQ(Flag(GameState::kWindowOffFlag), 1);
  ASSERT_TRUE(Load("window_on\r\n"));
  ASSERT_TRUE(RunToEnd());
  EXPECT_TRUE(surface.IsShown());
  EXPECT_TRUE(Page().windowShown);
  EXPECT_EQ(Flag(GameState::kWindowOffFlag), 0);
}

TEST_F(MessageWindowTest, PageModeUsesWindowThreeAndDimsTheScene) {
  engine_.settings.novel.novelRate = 128;
  engine_.settings.novel.novelSpd = 15;  // 64 a frame
  ASSERT_TRUE(Load(kWindow0 + "window 3 20 30 760 540 40 50 30 16 NULL 0 0\r\nnovel_on\r\n" +
                   kAiu + "\r\n"));
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(CurrentLayout(*engine_.state).x, 20);
  EXPECT_EQ(Flag(GameState::kPageDimFlag), 255 - 128);
  EXPECT_EQ(Page().cursorX, 40);  // at the start of window 3's second line
  EXPECT_EQ(Page().cursorY, 50 + 32);
  // A screen effect brightens the scene again (Novel/NovelDisp) and keeps the text.
  FadePageDimForEffect(script_);
  EXPECT_EQ(Flag(GameState::kPageDimFlag), 0);
  EXPECT_TRUE(engine_.sprites->At(slots::kTextSurface).IsShown());
  ASSERT_TRUE(Load("novel_off\r\n"));
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(CurrentLayout(*engine_.state).x, kWindowX);
}

// The title statement releases every sprite: the page starts anew on a new text surface.
TEST_F(MessageWindowTest, TheTitleStartsANewPage) {
  WriteScript("open", kWindow0 + kKaki + " \r\n");
  ASSERT_TRUE(Load(kWindow0 + kAiu + " \r\ntitle\r\n"));
  for (int k = 0; k < 3; ++k) ASSERT_TRUE(script_.Tick());
  EXPECT_TRUE(Page().pageStartPending);
  EXPECT_TRUE(Page().pageText.empty());
  ASSERT_TRUE(script_.Tick());
  ASSERT_TRUE(script_.Tick());
  EXPECT_NE(engine_.sprites->At(slots::kTextSurface).GetSurface(), nullptr);
  EXPECT_EQ(Page().pageText, kKaki);
  EXPECT_EQ(Page().cursorX, kTextX + 2 * 24);
}

TEST_F(MessageWindowTest, AFontChangeGivesTheTextSpritesTheNewFontsAtTheNextWaitStep) {
  ASSERT_TRUE(Load(kWindow0 + kAiu + "\r\n"));
  ASSERT_TRUE(RunToEnd());
  CDIBSprite& holder = engine_.sprites->At(slots::kTextHolder);
  holder.SetFont(nullptr);
  engine_.fontChanged = true;
  EXPECT_FALSE(script_.WaitStep(false, false));
  EXPECT_EQ(holder.Font(), engine_.fonts[1]);
  EXPECT_EQ(engine_.sprites->At(slots::kNameSurface).Font(), engine_.fonts[0]);
  EXPECT_TRUE(engine_.fontChanged);
  EXPECT_FALSE(script_.WaitStep(false, true));
  EXPECT_FALSE(engine_.fontChanged);
}

}  // namespace
}  // namespace halcyra

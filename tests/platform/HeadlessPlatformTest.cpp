#include "platform/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace halcyra {
namespace {

// Writes every event it receives as one line of text.
class EventLog : public PlatformEvents {
 public:
  void OnKey(int key, bool down, bool shift, bool alt) override {
    Add("key " + std::to_string(key) + (down ? " down" : " up") + (shift ? " shift" : "") +
        (alt ? " alt" : ""));
  }
  void OnMouseButton(MouseButton button, bool down, int x, int y) override {
    Add("button " + std::to_string(static_cast<int>(button)) + (down ? " down " : " up ") +
        std::to_string(x) + "," + std::to_string(y));
  }
  void OnMouseMove(int x, int y) override {
    Add("move " + std::to_string(x) + "," + std::to_string(y));
  }
  void OnWheel(bool up) override { Add(up ? "wheel up" : "wheel down"); }
  void OnActivate(bool active) override { Add(active ? "activate" : "deactivate"); }
  void OnCloseRequest() override { Add("close"); }
  void OnPaint() override { Add("paint"); }

  std::vector<std::string> lines;

 private:
  void Add(std::string line) { lines.push_back(std::move(line)); }
};

void PresentBlackFrame(HeadlessPlatform& platform) {
  const std::vector<std::uint32_t> frame(4 * 3, 0);
  platform.PresentFrame(frame.data(), 4, 3, 4);
}

TEST(HeadlessPlatformTest, TimedEventsArriveAtTheirFrameInFileOrder) {
  HeadlessPlatform platform;
  ASSERT_TRUE(platform.OpenWindow(4, 3));
  std::string error;
  ASSERT_TRUE(platform.LoadInputScript("# a comment\n"
                                       "1 key Shift down\n"
                                       "1 key Up        # with shift held\n"
                                       "0 click 400 300\n"
                                       "2 wheel down\n"
                                       "2 rclick 1 2\n",
                                       error))
      << error;
  EventLog log;
  platform.PumpEvents(log);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"move 400,300", "button 0 down 400,300",
                                                 "button 0 up 400,300"}));
  log.lines.clear();
  PresentBlackFrame(platform);
  platform.PumpEvents(log);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"key 16 down shift", "key 38 down shift",
                                                 "key 38 up shift"}));
  log.lines.clear();
  PresentBlackFrame(platform);
  platform.PumpEvents(log);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"wheel down", "move 1,2", "button 1 down 1,2",
                                                 "button 1 up 1,2"}));
}

TEST(HeadlessPlatformTest, WaitEventsArriveOnlyWhenTheEngineWaits) {
  HeadlessPlatform platform;
  std::string error;
  ASSERT_TRUE(platform.LoadInputScript("wait key Enter\nwait click 5 6\n", error)) << error;
  EventLog log;
  platform.PumpEvents(log);
  EXPECT_TRUE(log.lines.empty());
  platform.WaitingForInput();
  platform.PumpEvents(log);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"key 13 down", "key 13 up"}));
  platform.PumpEvents(log);
  EXPECT_EQ(log.lines.size(), 2u);
  platform.WaitingForInput();
  platform.PumpEvents(log);
  EXPECT_EQ(log.lines.back(), "button 0 up 5,6");
}

TEST(HeadlessPlatformTest, ActivationEventsChangeActivity) {
  HeadlessPlatform platform;
  std::string error;
  ASSERT_TRUE(platform.LoadInputScript("0 deactivate\n", error)) << error;
  EXPECT_TRUE(platform.IsActive());
  EventLog log;
  platform.PumpEvents(log);
  EXPECT_FALSE(platform.IsActive());
  EXPECT_EQ(log.lines, std::vector<std::string>{"deactivate"});
}

TEST(HeadlessPlatformTest, BadInputLinesAreNamed) {
  const std::pair<const char*, const char*> cases[] = {
      {"x click 1 2", "input line 1"},
      {"\n3 click 1", "input line 2"},
      {"3 key Banana", "unknown key name"},
      {"3 key A sideways", "down"},
      {"3 wheel left", "up or down"},
      {"3 dance", "unknown event"},
      {"-1 close", "frame number"},
      {"4 close now", "no arguments"},
      {"5", "FRAME EVENT"},
      {"6 menu", "item name"},
      {"6 menu CmQSave CmQLoad", "item name"},
      {"6 menu CmQSave", "must follow"},
      {"6 rclick 1 1\n7 menu CmQSave", "input line 2: 'menu' must follow"},
      {"wait rclick 1 1\n0 menu CmQSave", "must follow"},
      {"6 rclick 1 1\n6 menu A\n6 menu B", "one 'menu'"},
  };
  for (const auto& [script, expected] : cases) {
    HeadlessPlatform platform;
    std::string error;
    EXPECT_FALSE(platform.LoadInputScript(script, error)) << script;
    EXPECT_NE(error.find(expected), std::string::npos) << script << " -> " << error;
  }
}

// Opens a popup menu at every right-button release, as the main window does, and logs the answer.
class MenuOpener : public EventLog {
 public:
  explicit MenuOpener(HeadlessPlatform& platform) : platform_(platform) {
    PopupMenuItem submenu{5, "Sub", "S", true, true, false, {{6, "E", "e", true, true, false, {}}}};
    PopupMenuItem hiddenSubmenu{7, "Hid", "H", false, true, false,
                                {{8, "F", "f", true, true, false, {}}}};
    menu_.items = {{1, "A", "a", true, true, false, {}},
                   {2, "B", "b", true, true, true, {}},
                   {3, "C", "c", false, true, false, {}},
                   {4, "D", "d", true, false, false, {}},
                   submenu,
                   hiddenSubmenu};
  }
  void OnMouseButton(MouseButton button, bool down, int x, int y) override {
    if (button != MouseButton::kRight || down) return;
    const std::optional<int> chosen = platform_.ShowPopupMenu(menu_, x, y, *this);
    lines.push_back(chosen ? "chose " + std::to_string(*chosen) : "dismissed");
  }

 private:
  HeadlessPlatform& platform_;
  PopupMenuModel menu_;
};

TEST(HeadlessPlatformTest, AMenuLineAnswersThePopupMenuOfTheLineBefore) {
  HeadlessPlatform platform;
  ASSERT_TRUE(platform.OpenWindow(4, 3));
  std::string error;
  ASSERT_TRUE(platform.LoadInputScript("1 rclick 10 20\n"
                                       "1 menu B\n"
                                       "1 key Enter\n"
                                       "wait rclick 1 2\n"
                                       "wait menu E\n"
                                       "wait key Space\n",
                                       error))
      << error;
  MenuOpener opener(platform);
  PresentBlackFrame(platform);
  platform.PumpEvents(opener);
  EXPECT_EQ(opener.lines, (std::vector<std::string>{"move 10,20", "chose 2", "key 13 down",
                                                    "key 13 up"}));
  opener.lines.clear();
  platform.WaitingForInput();
  platform.PumpEvents(opener);
  EXPECT_EQ(opener.lines, (std::vector<std::string>{"move 1,2", "chose 6"}));
  opener.lines.clear();
  platform.WaitingForInput();
  platform.PumpEvents(opener);
  EXPECT_EQ(opener.lines, (std::vector<std::string>{"key 32 down", "key 32 up"}));
  ASSERT_EQ(platform.PopupMenus().size(), 2u);
  const PopupMenuRecord& first = platform.PopupMenus()[0];
  EXPECT_EQ(first.answer, "B");
  EXPECT_EQ(first.chosen, 2);
  EXPECT_EQ(first.x, 10);
  EXPECT_EQ(first.y, 20);
  EXPECT_EQ(first.frame, 1);
  EXPECT_EQ(first.menu.items.size(), 6u);
}

TEST(HeadlessPlatformTest, AMenuIsDismissedUnlessItsAnswerCanBeChosen) {
  const std::pair<const char*, const char*> cases[] = {
      {"0 rclick 0 0\n0 menu A\n", "chose 1"},
      {"0 rclick 0 0\n0 menu none\n", "dismissed"},
      {"0 rclick 0 0\n0 menu C\n", "dismissed"},    // hidden
      {"0 rclick 0 0\n0 menu D\n", "dismissed"},    // disabled
      {"0 rclick 0 0\n0 menu Sub\n", "dismissed"},  // opens a submenu
      {"0 rclick 0 0\n0 menu F\n", "dismissed"},    // in a hidden submenu
      {"0 rclick 0 0\n0 menu Z\n", "dismissed"},    // no such item
      {"0 rclick 0 0\n0 key Enter\n0 menu A\n", "dismissed"},
  };
  for (const auto& [script, expected] : cases) {
    HeadlessPlatform platform;
    std::string error;
    ASSERT_TRUE(platform.LoadInputScript(script, error)) << error;
    MenuOpener opener(platform);
    platform.PumpEvents(opener);
    ASSERT_GE(opener.lines.size(), 2u) << script;
    EXPECT_EQ(opener.lines[1], expected) << script;
    // A menu line no menu takes reaches nobody.
    EXPECT_LE(opener.lines.size(), 4u) << script;
  }
}

TEST(HeadlessPlatformTest, MessageBoxesAreRecordedAndAnswered) {
  HeadlessPlatform platform;
  MessageBoxRequest question;
  question.text = "q";
  question.buttons = MessageBoxButtons::kYesNo;
  question.defaultIsNo = true;
  EXPECT_EQ(platform.ShowMessageBox(question), MessageBoxResult::kNo);  // its default button
  platform.QueueMessageBoxAnswer(MessageBoxResult::kYes);
  EXPECT_EQ(platform.ShowMessageBox(question), MessageBoxResult::kYes);
  MessageBoxRequest notice;
  notice.text = "n";
  EXPECT_EQ(platform.ShowMessageBox(notice), MessageBoxResult::kOk);
  ASSERT_EQ(platform.MessageBoxes().size(), 3u);
  EXPECT_EQ(platform.MessageBoxes()[1].answer, MessageBoxResult::kYes);
  EXPECT_EQ(platform.MessageBoxes()[2].request.text, "n");
}

TEST(HeadlessPlatformTest, ClockIsVirtualAndBudgetsEndTheRun) {
  HeadlessOptions options;
  options.frameLimit = 2;
  options.timeLimit = 1000;
  HeadlessPlatform platform(options);
  ASSERT_TRUE(platform.OpenWindow(4, 3));
  EXPECT_EQ(platform.Ticks(), 0u);
  platform.Sleep(600);
  EXPECT_EQ(platform.Ticks(), 600u);
  EXPECT_FALSE(platform.QuitRequested());
  PresentBlackFrame(platform);
  PresentBlackFrame(platform);
  EXPECT_TRUE(platform.QuitRequested());

  HeadlessPlatform timed(options);
  timed.Sleep(1000);
  EXPECT_TRUE(timed.QuitRequested());
}

TEST(HeadlessPlatformTest, PresentedFramesAreCapturedAndObserved) {
  HeadlessPlatform platform;
  ASSERT_TRUE(platform.OpenWindow(2, 2));
  int observed = 0;
  platform.SetFrameObserver([&](int number, const std::uint32_t* pixels, int width, int height) {
    observed = number;
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(pixels[3], 0xFF0000FFu);
  });
  // Pitch 3: the third pixel of each source row is not part of the frame.
  const std::uint32_t pixels[] = {1, 2, 99, 3, 0xFF0000FFu, 99};
  platform.PresentFrame(pixels, 2, 2, 3);
  EXPECT_EQ(observed, 1);
  EXPECT_EQ(platform.LastFrame(), (std::vector<std::uint32_t>{1, 2, 3, 0xFF0000FFu}));
  platform.CloseWindow();
  platform.PresentFrame(pixels, 2, 2, 3);
  EXPECT_EQ(platform.PresentedFrames(), 1);
}

}  // namespace
}  // namespace halcyra

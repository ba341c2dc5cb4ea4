// The main window's menu commands, its right button and its keys, on the headless platform.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/InputState.h"
#include "app/TMainForm.h"
#include "platform/HeadlessPlatform.h"
#include "platform/ShiftJis.h"
#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

using Id = MenuItemId;
using testing::TempFolder;

const std::string kEmptyArchive(16, '\0');  // an indexed archive of 0 entries

// Records the operations the window hands on, and reports the screen states a test sets.
class RecordingOperations : public MenuOperations {
 public:
  bool BacklogOpen() const override { return backlogOpen; }
  bool SaveLoadOpen() const override { return saveLoadOpen; }
  bool MessageWindowShown() const override { return messageWindowShown; }
  void NextChoice() override { calls.push_back("NextChoice"); }
  void CloseBacklog() override { calls.push_back("CloseBacklog"); }
  void CloseSaveLoad() override { calls.push_back("CloseSaveLoad"); }
  void ShowOptions() override { calls.push_back("ShowOptions"); }
  void ShowKeyHelp() override { calls.push_back("ShowKeyHelp"); }
  void MoveWindowToStandardPlace() override { calls.push_back("MoveWindowToStandardPlace"); }
  bool RunFontDialog(FontChoice& choice) override {
    calls.push_back("RunFontDialog");
    if (!fontChoice) return false;
    choice = *fontChoice;
    return true;
  }
  bool OpenHomePage(std::string_view address) override {
    calls.push_back("OpenHomePage " + std::string(address));
    return homePageOpens;
  }
  void RunDebugCommand(MenuCommand command) override {
    calls.push_back("Debug " + std::to_string(static_cast<int>(command)));
  }

  bool backlogOpen = false;
  bool saveLoadOpen = false;
  bool messageWindowShown = false;
  std::optional<FontChoice> fontChoice;
  bool homePageOpens = false;
  std::vector<std::string> calls;
};

std::string DebugCall(MenuCommand command) {
  return "Debug " + std::to_string(static_cast<int>(command));
}

// A game folder whose title script counts its starts in A and then waits, and a window on the
// headless platform.
class MenuCommandsTest : public ::testing::Test {
 protected:
  MenuCommandsTest() {
    game_.Write("scr/open.scr", "N\r\nA+=1\r\nwait 100000\r\n");
    for (const char* archive : {"scr.dat", "cg.dat", "wav.dat"}) game_.Write(archive, kEmptyArchive);
    options_.frameLimit = 30;
    options_.timeLimit = 60000;
  }
  ~MenuCommandsTest() override { std::filesystem::current_path(startFolder_); }

  std::unique_ptr<TMainForm> MakeForm(bool debug = false) {
    MainFormOptions form;
    form.forceSoftware = true;
    form.executablePath = game_.File("halcyra");
    if (debug) form.arguments = {"OpenDebugMode"};
    auto made = std::make_unique<TMainForm>(*platform_, form);
    made->SetMenuOperations(&operations_);
    return made;
  }
  // A form started up as the program starts it, without running its frame loop.
  std::unique_ptr<TMainForm> StartForm(bool debug = false) {
    EXPECT_TRUE(platform_->OpenWindow(800, 600));
    auto form = MakeForm(debug);
    form->StartUp();
    return form;
  }
  void LoadInput(const std::string& input) {
    std::string error;
    ASSERT_TRUE(platform_->LoadInputScript(input, error)) << error;
  }
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const MessageBoxRecord& box : platform_->MessageBoxes()) {
      texts.push_back(ShiftJisToUtf8(box.request.text));
    }
    return texts;
  }

  const std::filesystem::path startFolder_ = std::filesystem::current_path();
  TempFolder game_;
  HeadlessOptions options_;
  std::unique_ptr<HeadlessPlatform> platform_ = std::make_unique<HeadlessPlatform>(options_);
  RecordingOperations operations_;
};

TEST_F(MenuCommandsTest, TheTitleQuestionReturnsToTheTitleOnlyOnYes) {
  for (const MessageBoxResult answer : {MessageBoxResult::kYes, MessageBoxResult::kNo}) {
    for (const Id item : {Id::kMnTitle, Id::kCmTitle}) {
      platform_ = std::make_unique<HeadlessPlatform>(options_);
      platform_->QueueMessageBoxAnswer(answer);
      auto form = MakeForm();
      form->ExecuteMenuItem(item);
      ASSERT_EQ(platform_->MessageBoxes().size(), 1u);
      const MessageBoxRequest& question = platform_->MessageBoxes()[0].request;
      EXPECT_EQ(ShiftJisToUtf8(question.text), "タイトル画面に戻りますか？");
      EXPECT_EQ(ShiftJisToUtf8(question.caption), "確認");
      EXPECT_EQ(question.buttons, MessageBoxButtons::kYesNo);
      EXPECT_TRUE(question.defaultIsNo);
      EXPECT_EQ(question.icon, MessageBoxIcon::kQuestion);
      EXPECT_EQ(form->TitleRequested(), answer == MessageBoxResult::kYes);
    }
  }
}

// A whole run: the title item chosen from the context menu through the input script; Yes makes
// the frame loop start the title script again.
TEST_F(MenuCommandsTest, ARunChoosesTheTitleItemFromTheContextMenu) {
  for (const MessageBoxResult answer : {MessageBoxResult::kYes, MessageBoxResult::kNo}) {
    platform_ = std::make_unique<HeadlessPlatform>(options_);
    platform_->QueueMessageBoxAnswer(answer);
    LoadInput("5 rclick 300 200\n5 menu CmTitle\n");
    auto form = MakeForm(true);  // debug mode: the menu opens outside waits for input
    ASSERT_TRUE(form->Run());
    ASSERT_EQ(platform_->PopupMenus().size(), 1u);
    EXPECT_EQ(platform_->PopupMenus()[0].chosen, static_cast<int>(Id::kCmTitle));
    EXPECT_EQ(platform_->PopupMenus()[0].x, 300);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"タイトル画面に戻りますか？"});
    EXPECT_EQ(form->GetEngine().state->variables[0], answer == MessageBoxResult::kYes ? 2 : 1);
    EXPECT_FALSE(form->GetEngine().input.IsLatched(kInputCancel));
  }
}

TEST_F(MenuCommandsTest, TheRightButtonOpensTheMenuOnlyWhileThePlayerIsWaitedFor) {
  struct Case {
    bool context, waiting, debug, backlogOpen, saveLoadOpen;
    bool opens;
  };
  const Case cases[] = {
      {true, true, false, false, false, true},
      {false, true, false, false, false, false},
      {true, false, false, false, false, false},
      {true, true, false, true, false, false},
      {true, true, false, false, true, false},
      {true, false, true, false, false, true},
      {true, false, true, true, false, true},
      {false, false, true, false, false, false},
  };
  for (const Case& c : cases) {
    platform_ = std::make_unique<HeadlessPlatform>(options_);
    auto form = MakeForm(c.debug);
    form->GetSettings().key.context = c.context;
    form->GetEngine().waitingForInput = c.waiting;
    operations_.backlogOpen = c.backlogOpen;
    operations_.saveLoadOpen = c.saveLoadOpen;
    form->OnMouseButton(MouseButton::kRight, true, 40, 50);
    form->OnMouseButton(MouseButton::kRight, false, 40, 50);
    const InputState& input = form->GetEngine().input;
    SCOPED_TRACE(::testing::Message() << c.context << c.waiting << c.debug << c.backlogOpen
                                    << c.saveLoadOpen);
    EXPECT_EQ(platform_->PopupMenus().size(), c.opens ? 1u : 0u);
    EXPECT_EQ(input.IsLatched(kInputCancel), !c.opens);
    EXPECT_EQ(input.Held(), 0u);
    if (c.opens) {
      EXPECT_EQ(platform_->PopupMenus()[0].x, 40);
      EXPECT_EQ(platform_->PopupMenus()[0].y, 50);
    }
  }
}

// Without operations of its own the window asks the engine: the message window's visibility, the
// backlog, and the save items' enabled flags and dated captions kept by the save code.
TEST_F(MenuCommandsTest, TheScenarioOperationsPrepareTheContextMenuFromTheEngine) {
  struct Case {
    bool windowShown, backlogOpen;
  };
  for (const Case c : {Case{true, false}, Case{false, false}, Case{true, true}}) {
    platform_ = std::make_unique<HeadlessPlatform>(options_);
    auto form = MakeForm();
    form->SetMenuOperations(nullptr);
    Engine& engine = form->GetEngine();
    engine.waitingForInput = true;
    engine.message.windowShown = c.windowShown;
    engine.backlogOpen = c.backlogOpen;
    engine.saveMenu.cmPrev = false;
    engine.saveMenu.prevCaption = "Prev 2026/01/02 03:04";
    engine.saveMenu.cmQLoad = true;
    engine.saveMenu.quickLoadCaption = "QLoad 2026/05/06 07:08";
    form->OnMouseButton(MouseButton::kRight, true, 40, 50);
    form->OnMouseButton(MouseButton::kRight, false, 40, 50);
    SCOPED_TRACE(::testing::Message() << c.windowShown << c.backlogOpen);
    ASSERT_EQ(platform_->PopupMenus().size(), c.backlogOpen ? 0u : 1u);
    if (c.backlogOpen) continue;
    const std::vector<PopupMenuItem>& items = platform_->PopupMenus()[0].menu.items;
    auto item = [&](const std::string& name) {
      for (const PopupMenuItem& each : items) {
        if (each.name == name) return each;
      }
      ADD_FAILURE() << name;
      return PopupMenuItem{};
    };
    EXPECT_EQ(item("CmPrev").visible, c.windowShown);
    EXPECT_FALSE(item("CmPrev").enabled);
    EXPECT_EQ(item("CmPrev").caption, "Prev 2026/01/02 03:04");
    EXPECT_TRUE(item("CmQLoad").enabled);
    EXPECT_EQ(item("CmQLoad").caption, "QLoad 2026/05/06 07:08");
    const PopupMenuItem* hide = FindChoosableItem(items, "CmHide");
    ASSERT_NE(hide, nullptr);
    EXPECT_EQ(ShiftJisToUtf8(hide->caption),
              c.windowShown ? "ウィンドウを隠す(&X)" : "ウィンドウを表示する(&X)");
  }
}

// The items the context menu offers depend on the screen: a hidden item cannot be chosen.
TEST_F(MenuCommandsTest, AWaitingGameTakesAContextMenuItemFromTheInputScript) {
  for (const bool windowShown : {true, false}) {
    platform_ = std::make_unique<HeadlessPlatform>(options_);
    auto form = StartForm();
    operations_.messageWindowShown = windowShown;
    form->GetEngine().waitingForInput = true;
    LoadInput("0 rclick 10 10\n0 menu CmQSave\n0 rclick 10 10\n0 menu CmHide\n");
    form->ProcessMessages();
    EXPECT_EQ(form->GetEngine().requests.quickSave, windowShown);
    EXPECT_TRUE(form->GetEngine().requests.hideWindow);
    ASSERT_EQ(platform_->PopupMenus().size(), 2u);
    const PopupMenuItem* hide = FindChoosableItem(platform_->PopupMenus()[1].menu.items, "CmHide");
    ASSERT_NE(hide, nullptr);
    EXPECT_EQ(ShiftJisToUtf8(hide->caption),
              windowShown ? "ウィンドウを隠す(&X)" : "ウィンドウを表示する(&X)");
  }
}

TEST_F(MenuCommandsTest, AltEnterFromTheKeyboardSwitchesTheDisplayBothWays) {
  options_.frameLimit = 12;
  for (const bool twice : {false, true}) {
    platform_ = std::make_unique<HeadlessPlatform>(options_);
    std::string input = "3 key Alt down\n3 key Enter\n3 key Alt up\n";
    if (twice) input += "6 key Alt down\n6 key Enter\n6 key Alt up\n";
    LoadInput(input);
    // The window is back at the desktop mode once the run ends, so look during the run.
    bool fullScreenAtFrame10 = false;
    HeadlessPlatform& platform = *platform_;
    platform.SetFrameObserver([&](int frame, const std::uint32_t*, int, int) {
      if (frame == 10) fullScreenAtFrame10 = platform.IsFullScreen();
    });
    auto form = MakeForm();
    ASSERT_TRUE(form->Run());
    EXPECT_EQ(fullScreenAtFrame10, !twice);
    EXPECT_EQ(form->FullScreenItemChecked(), !twice);
    EXPECT_EQ(form->WindowItemChecked(), twice);
    EXPECT_TRUE(form->DisplaySwitched());
    // No click reached the waiting title script.
    EXPECT_EQ(form->GetEngine().state->variables['C' - 'A'], 0);
  }
}

TEST_F(MenuCommandsTest, EnterWithoutAltAdvancesAndLeavesTheDisplay) {
  auto form = StartForm();
  form->OnKey(kKeyEnter, true, false, false);
  EXPECT_FALSE(platform_->IsFullScreen());
  EXPECT_FALSE(form->DisplaySwitched());
  EXPECT_TRUE(form->GetEngine().input.IsLatched(kInputAdvance));
}

TEST_F(MenuCommandsTest, TheDisplayItemsSwitchToTheirOwnMode) {
  struct Step {
    Id item;
    bool fullScreenAfter;
  };
  const Step steps[] = {
      {Id::kMnWindow, false},  // already in a window
      {Id::kMnFull32, false},  // hidden, does nothing
      {Id::kMnFull16, true},  {Id::kMnFull16, true}, {Id::kCmDisp, false},
      {Id::kCmDisp, true},    {Id::kMnWindow, false},
  };
  auto form = StartForm();
  for (const Step& step : steps) {
    form->ExecuteMenuItem(step.item);
    EXPECT_EQ(platform_->IsFullScreen(), step.fullScreenAfter) << static_cast<int>(step.item);
    EXPECT_EQ(form->FullScreenItemChecked(), step.fullScreenAfter);
    EXPECT_EQ(form->WindowItemChecked(), !step.fullScreenAfter);
  }
  EXPECT_FALSE(form->DisplaySwitched());  // only the keyboard's switch says so
}

TEST_F(MenuCommandsTest, AutoAndSkipItemsSwitchTheModesAndTheirCaptions) {
  struct Case {
    bool autoBefore, skipBefore;
    Id item;
    bool autoAfter, skipAfter;
    const char* autoCaption;
    const char* skipCaption;
  };
  const Case cases[] = {
      {false, true, Id::kMnSkip, true, false, "自動再生中(&A)", "スキップ(&S)"},
      {true, false, Id::kMnSkip, false, false, "自動再生(&A)", "スキップ(&S)"},
      {true, false, Id::kMnSkip2, false, true, "自動再生(&A)", "スキップ中(&S)"},
      {false, true, Id::kMnSkip2, false, false, "自動再生(&A)", "スキップ(&S)"},
      {false, false, Id::kMnSkip2, false, true, "自動再生(&A)", "スキップ中(&S)"},
  };
  auto form = StartForm();
  Engine& engine = form->GetEngine();
  for (const Case& c : cases) {
    engine.autoMode = c.autoBefore;
    engine.skipMode = c.skipBefore;
    form->ExecuteMenuItem(c.item);
    EXPECT_EQ(engine.autoMode, c.autoAfter);
    EXPECT_EQ(engine.skipMode, c.skipAfter);
    EXPECT_EQ(ShiftJisToUtf8(form->Menu().Item(Id::kMnSkip).caption), c.autoCaption);
    EXPECT_EQ(ShiftJisToUtf8(form->Menu().Item(Id::kMnSkip2).caption), c.skipCaption);
  }
}

TEST_F(MenuCommandsTest, RequestItemsRaiseTheirRequests) {
  struct Case {
    Id item;
    bool PlayRequests::*request;
  };
  const Case cases[] = {
      {Id::kMnQSave, &PlayRequests::quickSave}, {Id::kCmQSave, &PlayRequests::quickSave},
      {Id::kMnPrev, &PlayRequests::previousChoice}, {Id::kCmPrev, &PlayRequests::previousChoice},
      {Id::kCmHide, &PlayRequests::hideWindow},
  };
  for (const Case& c : cases) {
    auto form = MakeForm();
    form->ExecuteMenuItem(c.item);
    PlayRequests expected;
    expected.*c.request = true;
    const PlayRequests& raised = form->GetEngine().requests;
    EXPECT_EQ(raised.quickSave, expected.quickSave) << static_cast<int>(c.item);
    EXPECT_EQ(raised.quickLoad, false);
    EXPECT_EQ(raised.previousChoice, expected.previousChoice) << static_cast<int>(c.item);
    EXPECT_EQ(raised.hideWindow, expected.hideWindow) << static_cast<int>(c.item);
  }
}

TEST_F(MenuCommandsTest, QuickLoadIsRequestedOnlyWhenThereIsAQuickSave) {
  auto form = StartForm(true);  // debug mode keeps the quick save a test writes
  for (const Id item : {Id::kMnQLoad, Id::kCmQLoad}) {
    form->GetEngine().requests = PlayRequests();
    form->ExecuteMenuItem(item);
    EXPECT_FALSE(form->GetEngine().requests.quickLoad);
    game_.Write("Save800.dat", "quick");
    form->ExecuteMenuItem(item);
    EXPECT_TRUE(form->GetEngine().requests.quickLoad);
    std::filesystem::remove(game_.File("Save800.dat"));
  }
}

TEST_F(MenuCommandsTest, TheStandardFontItemRestoresTheGothicFace) {
  game_.Write("halcyra.ini", "[Font]\r\nName=Other\r\nStyle=3\r\n");
  auto form = StartForm();
  ASSERT_TRUE(form->Fonts()[0]->Bold());
  form->ExecuteMenuItem(Id::kMnFontNormal);
  EXPECT_EQ(ShiftJisToUtf8(form->FontName()), "ＭＳ ゴシック");
  EXPECT_EQ(form->FontStyle(), 0);
  EXPECT_EQ(form->GetSettings().font.name, form->FontName());
  EXPECT_EQ(form->GetSettings().font.style, 0);
  EXPECT_TRUE(form->FontChanged());
  for (const TextFont* font : form->Fonts()) {
    ASSERT_NE(font, nullptr);
    EXPECT_FALSE(font->Bold());
    EXPECT_FALSE(font->Italic());
    EXPECT_EQ(font->Face(), form->FontName());
  }
}

TEST_F(MenuCommandsTest, TheFontDialogsChoiceGivesTheStyle) {
  struct Case {
    bool bold, italic, underline, strikeOut;
    int style;  // from an old style of 2
  };
  const Case cases[] = {
      {false, false, false, false, 0}, {true, false, false, false, 1},
      {false, true, false, false, 2},  {true, true, false, false, 3},
      {true, false, true, false, 2},   {false, false, false, true, 2},
  };
  game_.Write("halcyra.ini", "[Font]\r\nStyle=2\r\n");
  for (const Case& c : cases) {
    platform_ = std::make_unique<HeadlessPlatform>(options_);
    auto form = StartForm();
    operations_.fontChoice = FontChoice{"Chosen", c.bold, c.italic, c.underline, c.strikeOut};
    form->ExecuteMenuItem(Id::kMnFont);
    EXPECT_EQ(form->FontStyle(), c.style);
    EXPECT_EQ(form->FontName(), "Chosen");
    EXPECT_EQ(form->Fonts()[1]->Bold(), c.style == 1 || c.style == 3);
    EXPECT_TRUE(form->FontChanged());
  }
  // A cancelled dialog changes nothing.
  operations_.fontChoice.reset();
  auto form = StartForm();
  const TextFont* before = form->Fonts()[1];
  form->ExecuteMenuItem(Id::kMnFont);
  EXPECT_EQ(form->Fonts()[1], before);  // the fonts were not made again
  EXPECT_NE(form->FontName(), "Chosen");
  EXPECT_EQ(form->FontStyle(), 2);
}

TEST_F(MenuCommandsTest, TheDragItemsSetTheWindowDragSetting) {
  const std::pair<Id, int> cases[] = {
      {Id::kCmWinDragUpDown, 2}, {Id::kCmWinDragNone, 0}, {Id::kCmWinDragFree, 1}};
  auto form = MakeForm();
  for (const auto& [item, drag] : cases) {
    form->ExecuteMenuItem(item);
    EXPECT_EQ(form->GetSettings().window.drag, drag);
  }
}

TEST_F(MenuCommandsTest, ItemsOfLaterPartsRouteToTheirOperations) {
  const std::pair<Id, std::string> cases[] = {
      {Id::kMnNext, "NextChoice"},
      {Id::kCmNext, "NextChoice"},
      {Id::kCmLogClose, "CloseBacklog"},
      {Id::kCmLoadClose, "CloseSaveLoad"},
      {Id::kMnOption, "ShowOptions"},
      {Id::kCmOption, "ShowOptions"},
      {Id::kMnKeyHelp, "ShowKeyHelp"},
      {Id::kMnWinDef, "MoveWindowToStandardPlace"},
      {Id::kMnNowLine, DebugCall(MenuCommand::kNowLine)},
      {Id::kCmDebugCopy, DebugCall(MenuCommand::kDebugCopy)},
      {Id::kMnMakeCg, DebugCall(MenuCommand::kMakeCg)},
      {Id::kCmDebugSelect, DebugCall(MenuCommand::kDebugSelect)},
      {Id::kCmOmake, DebugCall(MenuCommand::kOmake)},
  };
  auto form = MakeForm();
  for (const auto& [item, call] : cases) {
    operations_.calls.clear();
    form->ExecuteMenuItem(item);
    EXPECT_EQ(operations_.calls, std::vector<std::string>{call}) << static_cast<int>(item);
  }
  operations_.calls.clear();
  for (const Id item : {Id::kMnNone, Id::kCmWinDrag, Id::kMnDebug}) form->ExecuteMenuItem(item);
  form->ExecuteMenuItem(Id::kMnKaisouExit);
  EXPECT_TRUE(operations_.calls.empty());
  EXPECT_TRUE(form->MenuRequested());
  EXPECT_TRUE(platform_->MessageBoxes().empty());
}

TEST_F(MenuCommandsTest, TheHomePageItemReportsAFailureToOpen) {
  for (const bool opens : {true, false}) {
    platform_ = std::make_unique<HeadlessPlatform>(options_);
    operations_.homePageOpens = opens;
    auto form = MakeForm();
    form->ExecuteMenuItem(Id::kMnHP);
    EXPECT_EQ(operations_.calls.back(), "OpenHomePage https://www.quillforge.example/");
    EXPECT_EQ(BoxTexts(), opens ? std::vector<std::string>{}
                                : std::vector<std::string>{"起動エラー"});
    if (!opens) {
      EXPECT_EQ(platform_->MessageBoxes()[0].request.caption, "ver 3.03");
    }
  }
}

TEST_F(MenuCommandsTest, TheExitItemsAskTheQuitQuestion) {
  for (const Id item : {Id::kMnExit, Id::kCmExit}) {
    platform_ = std::make_unique<HeadlessPlatform>(options_);
    platform_->QueueMessageBoxAnswer(MessageBoxResult::kYes);
    auto form = StartForm();
    form->ExecuteMenuItem(item);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"本当に終了してもよろしいですか？"});
    EXPECT_TRUE(form->IsClosing());
  }
}

// Debug mode's letters stand in for the detached debug menu; elsewhere they do nothing.
TEST_F(MenuCommandsTest, DebugLettersRunTheDebugCommands) {
  const std::pair<char, MenuCommand> letters[] = {
      {'C', MenuCommand::kDebugCopy}, {'D', MenuCommand::kNowLine}, {'E', MenuCommand::kEditor},
      {'F', MenuCommand::kFlag},      {'J', MenuCommand::kJump},    {'N', MenuCommand::kNextScript}};
  for (const bool debug : {false, true}) {
    platform_ = std::make_unique<HeadlessPlatform>(options_);
    operations_.calls.clear();
    auto form = MakeForm(debug);
    std::vector<std::string> expected;
    for (const auto& [letter, command] : letters) {
      form->OnKey(kKeyA + (letter - 'A'), true, false, false);
      form->OnKey(kKeyA + (letter - 'A'), false, false, false);
      if (debug) expected.push_back(DebugCall(command));
    }
    form->OnKey(kKeyA + ('T' - 'A'), true, false, false);
    EXPECT_EQ(operations_.calls, expected) << debug;
    EXPECT_EQ(BoxTexts(), debug ? std::vector<std::string>{"タイトル画面に戻りますか？"}
                                : std::vector<std::string>{});
    EXPECT_EQ(form->GetEngine().input.Latched(), 0u);
  }
}

}  // namespace
}  // namespace halcyra

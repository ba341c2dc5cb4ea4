#include "app/TMainForm.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "app/InputState.h"
#include "app/Program.h"
#include "platform/HeadlessPlatform.h"
#include "resource/CMutex.h"
#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

using testing::TempFolder;

const std::string kEmptyArchive(16, '\0');  // an indexed archive of 0 entries
const std::string kCannotReadData =          // データファイルが読めません + line feed
    "\x83""f\x81[\x83^\x83t\x83@\x83""C\x83\x8b\x82\xaa\x93\xc7\x82\xdf\x82\xdc\x82\xb9\x82\xf1\n";
const std::string kCannotStartScenario =     // シナリオが初期化できません
    "\x83V\x83i\x83\x8a\x83I\x82\xaa\x8f\x89\x8a\xfa\x89\xbb\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1";
const std::string kDesktopMessage =          // デスクトップを 800 × 600 ハイカラー以上にして下さい
    "\x83""f\x83X\x83N\x83g\x83""b\x83v\x82\xf0 800 \x81~ 600 "
    "\x83n\x83""C\x83J\x83\x89\x81[\x88\xc8\x8f\xe3\x82\xc9\x82\xb5\x82\xc4\x89\xba\x82\xb3\x82\xa2";
const std::string kCannotOpen =              // オープンできません
    "\x83I\x81[\x83v\x83\x93\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1";
const std::string kQuitQuestion =            // 本当に終了してもよろしいですか？
    "\x96{\x93\x96\x82\xc9\x8fI\x97\xb9\x82\xb5\x82\xc4\x82\xe0\x82\xe6\x82\xeb\x82\xb5\x82\xa2"
    "\x82\xc5\x82\xb7\x82\xa9\x81H";

// A game folder with a title script and the three archives, and a headless screen that ends
// the run after a number of frames (or, when nothing is drawn, a stretch of virtual time).
class MainFormTest : public ::testing::Test {
 protected:
  MainFormTest() {
    // A title script that keeps presenting frames until the run ends.
    game_.Write("scr/open.scr", "N\r\nwait 1000\r\n");
    game_.Write("scr.dat", kEmptyArchive);
    game_.Write("cg.dat", kEmptyArchive);
    game_.Write("wav.dat", kEmptyArchive);
    options_.frameLimit = 30;
    options_.timeLimit = 60000;
  }
  // Start-up enters the game folder; leave it before the folder goes away.
  ~MainFormTest() override { std::filesystem::current_path(startFolder_); }

  MainFormOptions FormOptions(std::vector<std::string> arguments = {}) const {
    MainFormOptions form;
    form.forceSoftware = true;
    form.executablePath = game_.File("halcyra");
    form.arguments = std::move(arguments);
    return form;
  }

  // Runs a whole game with the given input and answers; returns the platform for inspection.
  std::unique_ptr<HeadlessPlatform> RunGame(const std::string& input = "",
                                            std::vector<std::string> arguments = {},
                                            std::vector<MessageBoxResult> answers = {}) {
    auto platform = std::make_unique<HeadlessPlatform>(options_);
    std::string error;
    EXPECT_TRUE(platform->LoadInputScript(input, error)) << error;
    for (MessageBoxResult answer : answers) platform->QueueMessageBoxAnswer(answer);
    TMainForm form(*platform, FormOptions(std::move(arguments)));
    EXPECT_TRUE(form.Run());
    debugMode_ = form.DebugMode();
    stopped_ = form.IsStopped();
    return platform;
  }

  static std::vector<std::string> BoxTexts(const HeadlessPlatform& platform) {
    std::vector<std::string> texts;
    for (const MessageBoxRecord& box : platform.MessageBoxes()) texts.push_back(box.request.text);
    return texts;
  }

  const std::filesystem::path startFolder_ = std::filesystem::current_path();
  TempFolder game_;
  HeadlessOptions options_;
  bool debugMode_ = false;
  bool stopped_ = false;
};

TEST_F(MainFormTest, StartsQuietlyAndRunsTheFrameLoop) {
  const auto platform = RunGame();
  EXPECT_TRUE(platform->MessageBoxes().empty());
  EXPECT_EQ(platform->CaptionUtf8(), "Merrowdale GDI");
  EXPECT_EQ(platform->PresentedFrames(), 30);
  // Frames are paced: 30 frames take at least 29 intervals of 17 ms of virtual time.
  EXPECT_GE(platform->Ticks(), 29u * 17u);
  EXPECT_FALSE(stopped_);
}

TEST_F(MainFormTest, SoundIsMixedAsTheVirtualClockAdvances) {
  const auto platform = RunGame();
  // 44100 frames a second of game time, counted from the first time the clock moved after the
  // sound device opened (the 100 ms settling of the display mode).
  const std::uint64_t expected = std::uint64_t{platform->Ticks() - 100} * 44100 / 1000;
  EXPECT_GE(platform->NullAudio().PumpedFrames(), expected - 50);
  EXPECT_LE(platform->NullAudio().PumpedFrames(), expected + 50);
}

TEST_F(MainFormTest, MissingScriptAndPictureArchivesAreReportedAndPlayGoesOn) {
  std::filesystem::remove(game_.File("scr.dat"));
  std::filesystem::remove(game_.File("cg.dat"));
  const auto platform = RunGame();
  EXPECT_EQ(BoxTexts(*platform),
            (std::vector<std::string>{kCannotReadData + "scr.dat", kCannotReadData + "cg.dat"}));
  EXPECT_EQ(platform->MessageBoxes()[0].request.caption, "ver 3.03");
  EXPECT_EQ(platform->MessageBoxes()[0].request.icon, MessageBoxIcon::kError);
  EXPECT_EQ(platform->PresentedFrames(), 30);
}

TEST_F(MainFormTest, MissingSoundArchiveStopsWithNothingRunning) {
  std::filesystem::remove(game_.File("wav.dat"));
  const auto platform = RunGame();
  EXPECT_EQ(BoxTexts(*platform), (std::vector<std::string>{kCannotReadData + "wav.dat"}));
  EXPECT_TRUE(stopped_);
  EXPECT_EQ(platform->PresentedFrames(), 0);
}

TEST_F(MainFormTest, AStoppedWindowClosesWithoutAQuestion) {
  std::filesystem::remove(game_.File("scr/open.scr"));
  const auto platform = RunGame("0 close\n");
  // The loader names the script it cannot open, then start-up gives up.
  const std::vector<std::string> boxes = BoxTexts(*platform);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_NE(boxes[0].find(kCannotOpen), std::string::npos);
  EXPECT_NE(boxes[0].find("scr\\open.scr"), std::string::npos);
  EXPECT_EQ(boxes[1], kCannotStartScenario);
  EXPECT_TRUE(stopped_);
  // The close came long before the time budget ran out.
  EXPECT_LT(platform->Ticks(), options_.timeLimit);
}

TEST_F(MainFormTest, DebugModeSkipsTheArchiveAndScenarioReports) {
  for (const char* name : {"scr.dat", "cg.dat", "wav.dat", "scr/open.scr"}) {
    std::filesystem::remove(game_.File(name));
  }
  const auto platform = RunGame("", {"OpenDebugMode"});
  EXPECT_TRUE(debugMode_);
  EXPECT_FALSE(stopped_);
  // Only the loader's own report of the missing script and the end of the (empty) script.
  for (const std::string& text : BoxTexts(*platform)) {
    EXPECT_EQ(text.find(kCannotReadData), std::string::npos) << text;
    EXPECT_NE(text, kCannotStartScenario);
  }
  EXPECT_EQ(platform->MessageBoxes().size(), 2u);
}

// The frame rate, measured over the first second, appears in the top-left corner in debug mode
// only.
TEST_F(MainFormTest, DebugModeShowsTheFrameRate) {
  options_.frameLimit = 90;
  for (const bool debug : {false, true}) {
    const auto platform =
        RunGame("", debug ? std::vector<std::string>{"OpenDebugMode"} : std::vector<std::string>{});
    int lit = 0;
    for (int y = 0; y < 28; ++y) {
      for (int x = 12; x < 120; ++x) lit += (platform->LastFrame()[y * 800 + x] & 0xFFFFFF) != 0;
    }
    if (debug) {
      EXPECT_GT(lit, 50);
    } else {
      EXPECT_EQ(lit, 0);
    }
  }
}

TEST_F(MainFormTest, OnlyTheExactFirstArgumentSwitchesDebugModeOn) {
  const std::pair<std::vector<std::string>, bool> cases[] = {
      {{"OpenDebugMode"}, true},
      {{"opendebugmode"}, false},
      {{"CloseDebugMode"}, false},
      {{"x", "OpenDebugMode"}, false},
      {{}, false},
  };
  for (const auto& [arguments, expected] : cases) {
    HeadlessPlatform platform(options_);
    TMainForm form(platform, FormOptions(arguments));
    EXPECT_EQ(form.DebugMode(), expected) << (arguments.empty() ? "" : arguments[0]);
  }
}

TEST_F(MainFormTest, TemporarySavesAreDeletedOutsideDebugMode) {
  for (const bool debug : {false, true}) {
    game_.Write("Save800.dat", "quick");
    game_.Write("Save900.dat", "choice");
    game_.Write("Save001.dat", "slot");
    HeadlessPlatform platform(options_);
    TMainForm form(platform, FormOptions(debug ? std::vector<std::string>{"OpenDebugMode"}
                                               : std::vector<std::string>{}));
    EXPECT_EQ(game_.Exists("Save800.dat"), debug);
    EXPECT_EQ(game_.Exists("Save900.dat"), debug);
    EXPECT_TRUE(game_.Exists("Save001.dat"));
  }
}

TEST_F(MainFormTest, DesktopCheck) {
  const std::pair<DisplayMode, bool> cases[] = {
      {{800, 600, 16, 60, 0}, true},
      {{800, 600, 15, 60, 0}, true},
      {{800, 600, 14, 60, 0}, false},
      {{800, 600, 8, 60, 0}, false},
      {{799, 600, 32, 60, 0}, false},
      {{800, 599, 32, 60, 0}, false},
  };
  for (const auto& [desktop, usable] : cases) {
    options_.desktop = desktop;
    const auto platform = RunGame();
    if (usable) {
      EXPECT_TRUE(platform->MessageBoxes().empty()) << desktop.bitsPerPixel;
      EXPECT_EQ(platform->PresentedFrames(), 30);
    } else {
      EXPECT_EQ(BoxTexts(*platform), (std::vector<std::string>{kDesktopMessage}));
      EXPECT_EQ(platform->PresentedFrames(), 0);
      EXPECT_FALSE(stopped_);  // closed, not left open
    }
  }
}

TEST_F(MainFormTest, AnsweringNoToTheQuitQuestionKeepsPlaying) {
  const auto platform = RunGame("5 close\n", {}, {MessageBoxResult::kNo});
  ASSERT_EQ(BoxTexts(*platform), (std::vector<std::string>{kQuitQuestion}));
  const MessageBoxRequest& question = platform->MessageBoxes()[0].request;
  EXPECT_EQ(question.buttons, MessageBoxButtons::kYesNo);
  EXPECT_TRUE(question.defaultIsNo);
  EXPECT_EQ(question.icon, MessageBoxIcon::kQuestion);
  EXPECT_EQ(platform->PresentedFrames(), 30);
  EXPECT_FALSE(game_.Exists("halcyra.ini"));
}

TEST_F(MainFormTest, AnsweringYesClosesAndWritesTheSettings) {
  game_.Write("halcyra.ini", "[Message]\r\nSpeed=7\r\n[Extra]\r\nKept=1\r\n");
  const auto platform = RunGame("5 close\n", {}, {MessageBoxResult::kYes});
  EXPECT_EQ(platform->PresentedFrames(), 5);
  const std::string ini = game_.Read("halcyra.ini");
  EXPECT_NE(ini.find("Speed=7"), std::string::npos);
  EXPECT_NE(ini.find("Kept=1"), std::string::npos);
  EXPECT_NE(ini.find("Window=1"), std::string::npos);
}

TEST_F(MainFormTest, AnInactiveWindowRunsNothingUnlessSetToKeepRunning) {
  for (const bool keepRunning : {false, true}) {
    game_.Write("halcyra.ini", keepRunning ? "[System]\r\nNoActive=1\r\n" : "");
    const auto platform = RunGame("3 deactivate\n");
    if (keepRunning) {
      EXPECT_EQ(platform->PresentedFrames(), 30);
    } else {
      EXPECT_EQ(platform->PresentedFrames(), 3);
      EXPECT_GE(platform->Ticks(), options_.timeLimit);
    }
  }
}

TEST_F(MainFormTest, FullScreenUsesTheChosenRateAndGivesWayWhileInactive) {
  game_.Write("halcyra.ini", "[Display]\r\nWindow=0\r\nRefresh=75\r\n");
  auto platform = std::make_unique<HeadlessPlatform>(options_);
  std::string error;
  ASSERT_TRUE(platform->LoadInputScript("4 deactivate\n", error));
  TMainForm form(*platform, FormOptions());
  ASSERT_TRUE(platform->OpenWindow(800, 600));
  form.StartUp();
  EXPECT_TRUE(platform->IsFullScreen());
  EXPECT_EQ(platform->FullScreenMode().refreshRate, 75);
  EXPECT_TRUE(form.FullScreenItemChecked());
  EXPECT_FALSE(form.WindowItemChecked());
  form.OnActivate(false);
  EXPECT_FALSE(platform->IsFullScreen());
  form.OnActivate(true);
  EXPECT_TRUE(platform->IsFullScreen());
  EXPECT_TRUE(form.FullScreenItemChecked());  // activation does not touch the menu ticks
}

TEST_F(MainFormTest, FullScreenModesAreThe800x600ModesAtTheDesktopDepth) {
  options_.desktop = {1920, 1080, 32, 60, 0};
  options_.displayModes = {{800, 600, 32, 60, 0}, {800, 600, 16, 70, 0}, {1024, 768, 32, 60, 0},
                           {800, 600, 32, 72, 0}};
  for (int rate = 1; rate <= 12; ++rate) options_.displayModes.push_back({800, 600, 32, 80 + rate, 0});
  HeadlessPlatform platform(options_);
  TMainForm form(platform, FormOptions());
  form.ListFullScreenModes();
  ASSERT_EQ(form.FullScreenModes().size(), 10u);
  EXPECT_EQ(form.FullScreenModes()[0].refreshRate, 60);
  EXPECT_EQ(form.FullScreenModes()[1].refreshRate, 72);
  EXPECT_EQ(form.FullScreenModes()[9].refreshRate, 88);
  EXPECT_EQ(form.GetSettings().refreshRates.size(), 10u);
}

TEST_F(MainFormTest, GameFontsFollowTheStyleAndTextSize) {
  HeadlessPlatform platform(options_);
  game_.Write("halcyra.ini", "[Font]\r\nStyle=3\r\n");
  TMainForm form(platform, FormOptions());
  ASSERT_TRUE(platform.OpenWindow(800, 600));
  form.StartUp();
  for (const TextFont* font : form.Fonts()) {
    ASSERT_NE(font, nullptr);
    EXPECT_TRUE(font->Bold());
    EXPECT_TRUE(font->Italic());
    EXPECT_EQ(font->Face(), form.GetSettings().font.name);
  }
  EXPECT_EQ(form.Fonts()[0]->Height(), 24);
  EXPECT_EQ(form.Fonts()[1]->Height(), 24);
  EXPECT_EQ(form.Fonts()[3]->Height(), 12);
  const std::pair<int, int> sizes[] = {{0, 24}, {1, 36}, {2, 24}, {3, 48}, {5, 60}, {8, 72}, {9, 24}};
  for (const auto& [size, height] : sizes) EXPECT_EQ(TMainForm::TextSizeFontHeight(size), height);
}

TEST_F(MainFormTest, SettingsFileIsNamedAfterTheProgram) {
  HeadlessPlatform platform(options_);
  MainFormOptions form = FormOptions();
  form.executablePath = game_.File("halcyra-gdi");
  EXPECT_EQ(TMainForm(platform, form).SettingsPath(), game_.File("halcyra-gdi.ini"));
  form.executablePath = game_.File("halcyra.bin");
  EXPECT_EQ(TMainForm(platform, form).SettingsPath(), game_.File("halcyra.ini"));
}

TEST_F(MainFormTest, KeysLatchTheirInputsByMode) {
  struct Case {
    int key;
    bool shift;
    std::uint32_t normal;  // latched outside debug mode
    std::uint32_t debug;   // latched in debug mode
  };
  const Case cases[] = {
      {kKeyEnter, false, kInputAdvance, kInputAdvance},
      {kKeySpace, false, kInputAdvance, kInputAdvance},
      {kKeyEscape, false, kInputCancel, kInputCancel},
      {kKeyUp, false, kInputUp, kInputUp},
      {kKeyUp, true, kInputUp, kInputPreviousChoiceKey},
      {kKeyDown, true, kInputDown, kInputNextChoiceKey},
      {kKeyLeft, false, kInputLeft, kInputLeft},
      {kKeyF1, false, 0, kInputLoadKey},
      {kKeyF1, true, 0, kInputQuickLoadKey},
      {kKeyF2, true, 0, kInputQuickSaveKey},
      {kKeyPageUp, false, 0, kInputWheelUp},
      {kKeyPageDown, false, 0, kInputWheelDown},
      {kKeyHome, false, 0, kInputMiddle},
      {kKeyEnd, false, 0, kInputRestartKey},
      {kKeyA, false, 0, 0},
      {kKeyRight, false, kInputRight, kInputRight},
      {kKeyDown, false, kInputDown, kInputDown},
      {kKeyF2, false, 0, kInputSaveKey},
      {kKeyLeft, true, kInputLeft, kInputLeft},
      {kKeyRight, true, kInputRight, kInputRight},
      {kKeyEscape, true, kInputCancel, kInputCancel},
      {kKeySpace, true, kInputAdvance, kInputAdvance},
      {kKeyPageDown, true, 0, kInputWheelDown},
      {kKeyHome, true, 0, kInputMiddle},
      {kKeyA + ('C' - 'A'), false, 0, 0},  // a debug command, not an input
      {kKeyShift, false, 0, 0},
      {kKeyCtrl, false, 0, 0},
  };
  for (const bool debug : {false, true}) {
    HeadlessPlatform platform(options_);
    TMainForm form(platform, FormOptions(debug ? std::vector<std::string>{"OpenDebugMode"}
                                               : std::vector<std::string>{}));
    InputState& input = form.GetEngine().input;
    for (const Case& c : cases) {
      input = InputState();
      form.OnKey(c.key, true, c.shift, false);
      EXPECT_EQ(input.Latched(), debug ? c.debug : c.normal) << c.key << " debug " << debug;
      form.OnKey(c.key, false, c.shift, false);
      // Releasing a key clears its own held bit; the Shift combinations stay held.
      if (!c.shift) {
        EXPECT_EQ(input.Held(), 0u) << c.key;
      }
    }
  }
}

TEST_F(MainFormTest, AltEnterTogglesTheDisplayAndLatchesNothing) {
  HeadlessPlatform platform(options_);
  TMainForm form(platform, FormOptions());
  ASSERT_TRUE(platform.OpenWindow(800, 600));
  form.StartUp();
  ASSERT_FALSE(platform.IsFullScreen());
  form.OnKey(kKeyEnter, true, false, true);
  EXPECT_TRUE(platform.IsFullScreen());
  EXPECT_TRUE(form.DisplaySwitched());
  EXPECT_EQ(form.GetEngine().input.Latched(), 0u);
  form.OnKey(kKeyEnter, true, false, true);
  EXPECT_FALSE(platform.IsFullScreen());
}

TEST_F(MainFormTest, MouseButtonsAndTheWheelLatchTheirInputs) {
  HeadlessPlatform platform(options_);
  TMainForm form(platform, FormOptions());
  InputState& input = form.GetEngine().input;
  form.OnMouseButton(MouseButton::kLeft, true, 10, 20);
  EXPECT_TRUE(input.IsHeld(kInputAdvance));
  form.OnMouseButton(MouseButton::kLeft, false, 10, 20);
  EXPECT_FALSE(input.IsHeld(kInputAdvance));
  EXPECT_TRUE(input.IsLatched(kInputAdvance));
  form.OnMouseButton(MouseButton::kRight, false, 10, 20);
  EXPECT_TRUE(input.IsLatched(kInputCancel));
  form.OnWheel(false);
  EXPECT_TRUE(input.IsLatched(kInputWheelDown));
  EXPECT_EQ(form.MouseX(), 10);
  EXPECT_EQ(form.MouseY(), 20);
}

// The message window is dragged while the left button itself is down; Enter and Space advance
// like it but drag nothing.
TEST_F(MainFormTest, TheLeftButtonIsHeldWhileDownAndNeverLatched) {
  HeadlessPlatform platform(options_);
  TMainForm form(platform, FormOptions());
  InputState& input = form.GetEngine().input;
  form.OnKey(kKeyEnter, true, false, false);
  EXPECT_FALSE(input.IsHeld(kInputLeftButton));
  form.OnMouseButton(MouseButton::kLeft, true, 10, 20);
  EXPECT_TRUE(input.IsHeld(kInputLeftButton));
  EXPECT_FALSE(input.IsLatched(kInputLeftButton));
  form.OnMouseButton(MouseButton::kLeft, false, 10, 20);
  EXPECT_FALSE(input.IsHeld(kInputLeftButton));
}

TEST_F(MainFormTest, ARendererResetDropsOnlyTheSceneCapture) {
  HeadlessPlatform platform(options_);
  TMainForm form(platform, FormOptions());
  ASSERT_TRUE(platform.OpenWindow(800, 600));
  form.StartUp();
  SpriteTable& sprites = *form.GetEngine().sprites;
  ASSERT_TRUE(sprites.At(SpriteTable::kCaptureSlot).CreateBox(800, 600, 1, true, false));
  ASSERT_TRUE(sprites.At(10).CreateBox(8, 8, 1, true, false));
  form.OnRenderReset();
  EXPECT_EQ(sprites.At(SpriteTable::kCaptureSlot).GetSurface(), nullptr);
  ASSERT_NE(sprites.At(10).GetSurface(), nullptr);
  EXPECT_EQ(sprites.At(10).GetSurface()->GetWidth(), 8);
}

TEST(ProgramTest, ASecondCopyEndsAtOnceWithExitCodeOne) {
  const std::string lockName = "halcyra-test-lock-" + std::to_string(::getpid());
  CMutex first;
  ASSERT_TRUE(first.Create(lockName));
  ProgramOptions options;
  options.lockName = lockName;
  bool platformMade = false;
  const int code = RunProgram(options, [&]() -> std::unique_ptr<Platform> {
    platformMade = true;
    return std::make_unique<HeadlessPlatform>();
  });
  EXPECT_EQ(code, kExitAlreadyRunning);
  EXPECT_FALSE(platformMade);
}

}  // namespace
}  // namespace halcyra

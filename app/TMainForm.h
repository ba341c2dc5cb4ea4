// The main window: owns every engine object, starts them in a fixed order, runs the frame loop
// that hands control to the engine one statement at a time, presents the software frame,
// switches between window and full screen, asks before quitting and tears everything down in a
// fixed order.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/MainMenu.h"
#include "app/MenuOperations.h"
#include "app/PlatformErrorReporter.h"
#include "app/ScenarioMenuOperations.h"
#include "graphics/CDIB.h"
#include "platform/Platform.h"
#include "script/Engine.h"
#include "script/ScriptHost.h"

namespace halcyra {

class CScript;

struct MainFormOptions {
  bool forceSoftware = false;             // the software build always composes in software
  std::vector<std::string> arguments;     // command line after the program's name
  std::string executablePath;             // host path of the running program
};

class TMainForm : public PlatformEvents, public ScriptHost, public ScreenPainter {
 public:
  static constexpr int kClientWidth = 800;
  static constexpr int kClientHeight = 600;
  static constexpr std::size_t kMaxFullScreenModes = 10;
  static constexpr std::uint32_t kInactiveSleep = 100;  // ms per pass while inactive

  TMainForm(Platform& platform, MainFormOptions options);
  ~TMainForm() override;
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  // Opens the window, starts up and runs until the window closes. False when no window could
  // be opened at all.
  bool Run();

  void StartUp();
  void FrameLoop();
  void ReturnToTitle();
  void SetDisplayMode(bool windowed, bool updateMenus);
  void ListFullScreenModes();
  void CreateGameFonts(int textSize);
  const TextFont* MakeFont(int height);
  // Height of the text-size font for the scenario's text size setting.
  static int TextSizeFontHeight(int textSize);
  // Asks before closing; true when the window may close.
  bool CloseQuery();

  // Runs the click handler of a menu item, as a click on it would (the context menu, the keys
  // and the in-game screens reach the handlers this way). Hidden and disabled items run too:
  // only the menus themselves keep the player from them.
  void ExecuteMenuItem(MenuItemId id);
  // The menus, with the auto and skip captions following the play modes and the save items
  // following the save code's enabled flags and dated captions.
  const MainMenu& Menu();
  // Attaches the owners of the menu operations that live elsewhere; null goes back to the
  // scenario's own (ScenarioMenuOperations).
  void SetMenuOperations(MenuOperations* operations);

  // ScreenPainter
  void PaintScreen() override;

  // ScriptHost
  void ProcessMessages() override;
  bool IsClosing() const override { return closing_; }
  bool IsRunningActive() const override;
  int MouseX() const override { return mouseX_; }
  int MouseY() const override { return mouseY_; }
  bool TitleRequested() const override { return titleRequested_; }
  bool IsCtrlDown() const override { return ctrlDown_; }
  void SetTextSize(int code) override { CreateGameFonts(code); }

  // PlatformEvents
  void OnKey(int key, bool down, bool shift, bool alt) override;
  void OnMouseButton(MouseButton button, bool down, int x, int y) override;
  void OnMouseMove(int x, int y) override;
  void OnWheel(bool up) override;
  void OnActivate(bool active) override;
  void OnCloseRequest() override;
  void OnPaint() override;
  void OnRenderReset() override;

  bool DebugMode() const { return engine_.debugMode; }
  bool IsStopped() const { return stopped_; }
  void RequestTitle() { titleRequested_ = true; }
  Engine& GetEngine() { return engine_; }
  Settings& GetSettings() { return engine_.settings; }
  const std::vector<DisplayMode>& FullScreenModes() const { return fullScreenModes_; }
  const DisplayMode& DesktopMode() const { return desktopMode_; }
  const std::array<const TextFont*, 4>& Fonts() const { return engine_.fonts; }
  bool WindowItemChecked() const { return menu_.Item(MenuItemId::kMnWindow).checked; }
  bool FullScreenItemChecked() const { return menu_.Item(MenuItemId::kMnFull16).checked; }
  bool DisplaySwitched() const { return displaySwitched_; }
  bool MenuRequested() const { return menuRequested_; }
  bool FontChanged() const { return engine_.fontChanged; }
  const std::string& FontName() const { return fontName_; }
  int FontStyle() const { return fontStyle_; }
  CScript* Script() { return script_.get(); }
  const CScript* Script() const { return script_.get(); }
  const std::string& SettingsPath() const { return settingsPath_; }
  const std::string& GameFolder() const { return gameFolder_; }

 private:
  void DeleteTemporarySaves();
  void ShowStartUpError(const std::string& text);
  void Stop(const std::string& text);
  void Close();
  bool OpenBaseArchive(CArcFile& archive, const char* name, const char* patch, bool scrambled);
  bool OpenSoundArchive();
  void LoadCharacterTable();
  bool CreateDisplay();
  void CreateTextRenderer();
  void ReleaseGameFonts();
  void CreateSoundDevice();
  bool DesktopIsUsable() const;
  void SaveReadList();
  std::string DesktopMessage() const;
  void WaitForCloseAfterStop();
  void ToggleDisplayMode();
  void LatchKey(int key, bool shift);
  bool RunDebugKey(int key);
  static std::uint32_t HeldBitOfKey(int key);
  // A Yes/No question captioned "確認" with No as the default; true for Yes.
  bool AskYesNo(const char* text);
  bool ContextMenuMayOpen() const;
  void FormContextPopup(int x, int y);
  int TextSize() const;
  void ApplyGameFont(const std::string& name, int style);

  // Menu handlers (items of a pair share one).
  void MnTitleClick();
  void MnSkipClick();
  void MnSkip2Click();
  void MnQLoadClick();
  void MnWindowClick(MenuItemId sender);
  void CmDispClick();
  void MnFontNormalClick();
  void MnFontClick();
  void MnHPClick();
  void CmWinDragClick(MenuItemId sender);
  void Destroy();

  Platform& platform_;
  PlatformErrorReporter errors_{platform_};
  MainFormOptions options_;
  Engine engine_;
  std::string gameFolder_;
  std::string settingsPath_;

  // State of the window, in the order the window keeps it.
  int frameOffsetX_ = 0;
  int frameOffsetY_ = 0;
  bool closing_ = false;
  int mouseX_ = 0;
  int mouseY_ = 0;
  bool mediaFinished_ = false;
  bool titleRequested_ = false;
  std::string fontName_;
  int fontStyle_ = 0;
  bool menuRequested_ = false;
  bool noPaint_ = false;
  bool displaySwitched_ = false;

  bool stopped_ = false;       // start-up stopped: the window stays open with nothing running
  bool windowOpen_ = false;
  bool closeRequestedAfterStop_ = false;
  bool ctrlDown_ = false;
  MainMenu menu_;
  ScenarioMenuOperations scenarioOperations_{engine_, script_};
  MenuOperations* operations_ = &scenarioOperations_;
  DisplayMode desktopMode_{};
  std::vector<DisplayMode> fullScreenModes_;
  std::vector<std::uint32_t> windowImage_;

  std::unique_ptr<CScript> script_;
};

}  // namespace halcyra

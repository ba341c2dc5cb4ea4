#include "app/TMainForm.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "app/CharacterTable.h"
#include "app/MenuTexts.h"
#include "app/ScreenCopy.h"
#include "app/StartUpTexts.h"
#include "platform/FileSystem.h"
#include "platform/FreeTypeFontRasterizer.h"
#include "resource/CFile.h"
#include "scenario/MessageWindow.h"
#include "scenario/ScenarioStatements.h"
#include "script/CScript.h"
#include "system/SaveData.h"

namespace halcyra {
namespace {

constexpr char kTitleScript[] = "scr\\open.scr";
constexpr char kTitleScriptName[] = "open";
constexpr char kReadListFile[] = "SaveXXX.dat";
constexpr char kQuickSaveFile[] = "Save800.dat";
constexpr char kHomePageAddress[] = "https://www.quillforge.example/";

// Only the exact first argument "OpenDebugMode" switches debug mode on.
bool DebugModeRequested(const std::vector<std::string>& arguments) {
  return !arguments.empty() && arguments[0] == "OpenDebugMode";
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The program's path with its extension replaced by ".ini" (or ".ini" added when it has none).
std::string SettingsPathFor(const std::string& executable) {
  const std::size_t slash = executable.rfind('/');
  const std::size_t dot = executable.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)) {
    return executable.substr(0, dot) + ".ini";
  }
  return executable + ".ini";
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

TMainForm::TMainForm(Platform& platform, MainFormOptions options)
    : platform_(platform),
      options_(std::move(options)),
      menu_(DebugModeRequested(options_.arguments)) {
  engine_.debugMode = DebugModeRequested(options_.arguments);
  engine_.random.seed(static_cast<std::uint32_t>(std::time(nullptr)));
  gameFolder_ = FolderOf(options_.executablePath);
  settingsPath_ = SettingsPathFor(options_.executablePath);
  if (!engine_.debugMode) DeleteTemporarySaves();
}

TMainForm::~TMainForm() { Destroy(); }

// The quick save and the last-choice save do not survive a restart outside debug mode. They
// live beside the program, whatever folder the program was started from.
void TMainForm::DeleteTemporarySaves() {
  for (const char* name : {"Save800.dat", "Save900.dat"}) {
    const std::string path = JoinPath(gameFolder_, name);
    std::remove(path.c_str());
  }
}

bool TMainForm::Run() {
  windowOpen_ = platform_.OpenWindow(kClientWidth, kClientHeight);
  if (!windowOpen_) return false;
  windowImage_.assign(static_cast<std::size_t>(kClientWidth) * kClientHeight, 0u);
  platform_.SetCaption(texts::kGameTitle);
  StartUp();
  if (stopped_) {
    WaitForCloseAfterStop();
  } else if (!closing_) {
    FrameLoop();
  }
  Destroy();
  return true;
}

void TMainForm::ShowStartUpError(const std::string& text) {
  MessageBoxRequest box;
  box.text = text;
  box.caption = texts::kErrorCaption;
  box.icon = MessageBoxIcon::kError;
  platform_.ShowMessageBox(box);
}

void TMainForm::Stop(const std::string& text) {
  ShowStartUpError(text);
  closing_ = true;
  stopped_ = true;
}

void TMainForm::Close() { closing_ = true; }

// After a stopped start-up the window stays open, empty, until the player closes it; no
// question is asked then.
void TMainForm::WaitForCloseAfterStop() {
  closeRequestedAfterStop_ = false;
  while (!closeRequestedAfterStop_ && !platform_.QuitRequested()) {
    platform_.PumpEvents(*this);
    platform_.Sleep(kInactiveSleep);
  }
}

bool TMainForm::OpenBaseArchive(CArcFile& archive, const char* name, const char* patch,
                                bool scrambled) {
  const bool opened = archive.Open(name, scrambled, false);
  if (!opened && !engine_.debugMode) ShowStartUpError(std::string(texts::kCannotReadData) + name);
  archive.OpenPatch(patch, scrambled);
  return opened;
}

// The cast is game data: the loose file beats the script archive's member. Without either every
// voice plays at full volume; a broken table is named and left empty, and the game goes on.
void TMainForm::LoadCharacterTable() {
  std::string text;
  if (!ReadWholeFile(HostPath(CharacterTable::kFileName), text) &&
      engine_.scripts.Find(CharacterTable::kFileName)) {
    text.resize(engine_.scripts.GetSize());
    text.resize(engine_.scripts.Read(text.data(), text.size()));
  }
  std::vector<CharacterTable::Record> records;
  int badLine = 0;
  if (!CharacterTable::Parse(text, records, badLine)) {
    records.clear();
    ShowStartUpError(std::string(CharacterTable::kFileName) + " " + std::to_string(badLine) +
                     texts::kUnreadableLine);
  }
  CharacterTable::SetGameTable(std::move(records));
}

// The sound archive may live on the game disc when it was not installed: the first mounted
// disc that holds it is used.
bool TMainForm::OpenSoundArchive() {
  CArcFile& sounds = engine_.sounds;
  if (sounds.Open("wav.dat", false, false) || engine_.debugMode) {
    sounds.OpenPatch("wav2.dat", false);
    return true;
  }
  for (const std::string& drive : OpticalDriveFolders()) {
    if (sounds.Open(drive + "image\\wav.dat", false, false)) {
      sounds.OpenPatch(drive + "image\\wav2.dat", false);
      return true;
    }
  }
  Stop(std::string(texts::kCannotReadData) + "wav.dat");
  return false;
}

bool TMainForm::DesktopIsUsable() const {
  return desktopMode_.width >= kClientWidth && desktopMode_.height >= kClientHeight &&
         desktopMode_.bitsPerPixel > 14;
}

std::string TMainForm::DesktopMessage() const {
  return std::string(texts::kDesktopPrefix) + std::to_string(kClientWidth) + texts::kTimes +
         std::to_string(kClientHeight) + " " + texts::kHighColour;
}

void TMainForm::StartUp() {
  platform_.BringToFront();
  // Drives do not exist here; entering the program's folder is the whole change.
  if (!ChangeDirectory(gameFolder_)) return Stop(texts::kCannotChangeFolder);
  ListFullScreenModes();
  if (!CreateDisplay()) return Close();
  CDIB& display = *engine_.display;
  std::string caption = texts::kGameTitle;
  if (!display.UseDirect3D()) caption += texts::kSoftwareSuffix;
  platform_.SetCaption(caption);
  engine_.sprites = std::make_unique<SpriteTable>(display.Context(), platform_.Ticks());
  display.SetSprites(engine_.sprites.get());
  display.SetGameState(engine_.state.get());
  CreateSoundDevice();
  OpenBaseArchive(engine_.scripts, "scr.dat", "arc2.scr", true);
  OpenBaseArchive(engine_.pictures, "cg.dat", "cg2.dat", true);
  display.SetPictureArchive(&engine_.pictures);
  if (!OpenSoundArchive()) return;
  LoadCharacterTable();
  engine_.readList.LoadFile(kReadListFile);
  script_ = std::make_unique<CScript>(platform_, *this, engine_);
  RegisterScenarioStatements(*script_);
  if (!script_->LoadScript(kTitleScript, true) && !engine_.debugMode) {
    return Stop(texts::kCannotStartScenario);
  }
  Settings& settings = engine_.settings;
  const bool windowed = load_settings(settingsPath_, settings);
  if (!DesktopIsUsable()) {
    ShowStartUpError(DesktopMessage());
    return Close();
  }
  display.SetScreenMode(windowed, kClientWidth, kClientHeight, 32);
  SetDisplayMode(display.IsWindowMode(), true);
  fontName_ = settings.font.name;
  fontStyle_ = settings.font.style;
  CreateGameFonts(0);
  PaintScreen();
}

bool TMainForm::CreateDisplay() {
  engine_.display = std::make_unique<CDIB>();
  engine_.display->SetErrorReporter(&errors_);
  if (!engine_.display->Init(platform_, *this, options_.forceSoftware)) return false;
  CreateTextRenderer();
  return true;
}

void TMainForm::CreateTextRenderer() {
  Settings& settings = engine_.settings;
  engine_.fontRasterizer = std::make_unique<FreeTypeFontRasterizer>();
  engine_.text = std::make_unique<GlyphTextRenderer>(
      *engine_.fontRasterizer,
      TextSettingsView{settings.message.readedLumi, settings.message.readedLumi2,
                       settings.heroName, settings.familyName, engine_.debugMode},
      &errors_);
  engine_.display->SetTextRenderer(engine_.text.get());
}

// Without a decoder or a sound device the game goes on in silence, after saying so.
void TMainForm::CreateSoundDevice() {
  if (!engine_.vorbis.LoadDriver()) ShowStartUpError(CVorbis::kStartUpFailure);
  engine_.sound = std::make_unique<CDS>(platform_.Audio(), errors_);
  if (!engine_.sound->OpenDevice(CDS::kChannels, CDS::kSampleRate, CDS::kBits)) {
    ShowStartUpError(CDS::kStartUpFailure);
  }
  engine_.channels = std::make_unique<SoundChannels>(*engine_.sound, &engine_.sounds,
                                                     engine_.vorbis, engine_.settings);
  engine_.upkeep = std::make_unique<SoundUpkeep>(engine_.settings, *engine_.channels);
}

void TMainForm::ListFullScreenModes() {
  desktopMode_ = platform_.DesktopMode();
  fullScreenModes_.clear();
  engine_.settings.refreshRates.clear();
  for (const DisplayMode& mode : platform_.DisplayModes()) {
    if (fullScreenModes_.size() >= kMaxFullScreenModes) break;
    if (mode.width != kClientWidth || mode.height != kClientHeight ||
        mode.bitsPerPixel != desktopMode_.bitsPerPixel) {
      continue;
    }
    fullScreenModes_.push_back(mode);
    engine_.settings.refreshRates.push_back(mode.refreshRate);
  }
}

int TMainForm::TextSizeFontHeight(int textSize) { return MessageTextSize(textSize); }

const TextFont* TMainForm::MakeFont(int height) {
  FontRequest request;
  request.faceName = fontName_;
  request.height = height;
  request.bold = fontStyle_ == 1 || fontStyle_ == 3;
  request.italic = fontStyle_ == 2 || fontStyle_ == 3;
  return engine_.text->CreateFont(request);
}

void TMainForm::ReleaseGameFonts() {
  for (const TextFont*& font : engine_.fonts) {
    if (font != nullptr) engine_.text->ReleaseFont(font);
    font = nullptr;
  }
}

void TMainForm::CreateGameFonts(int textSize) {
  if (engine_.text == nullptr) return;
  ReleaseGameFonts();
  engine_.fonts = {MakeFont(24), MakeFont(TextSizeFontHeight(textSize)), MakeFont(24),
                   MakeFont(12)};
  engine_.text->SetLabelFont(engine_.fonts[0]);
  engine_.text->SetRubyFont(engine_.fonts[3]);
  engine_.fontChanged = true;
}

void TMainForm::ProcessMessages() {
  platform_.PumpEvents(*this);
  if (platform_.QuitRequested()) closing_ = true;
}

bool TMainForm::IsRunningActive() const {
  return platform_.IsActive() || engine_.settings.system.noActive;
}

void TMainForm::FrameLoop() {
  for (;;) {
    ProcessMessages();
    if (closing_) return;
    if (!IsRunningActive()) {
      platform_.Sleep(kInactiveSleep);
      continue;
    }
    if (!script_->Tick()) {
      Close();
      return;
    }
    if (titleRequested_) ReturnToTitle();
  }
}

// The game goes back to the title screen with the play-through's flags and scene cleared; the
// variables and the global state stay as they are.
void TMainForm::ReturnToTitle() {
  GameState& state = *engine_.state;
  SaveOnExit(*script_);
  engine_.display->SetPan(0);
  titleRequested_ = false;
  script_->SetAutoMode(false);
  script_->SetSkipMode(false);
  script_->SetFastForward(false);
  std::fill(std::begin(state.flags), std::end(state.flags), std::uint8_t{0});
  for (char* name : state.layerPicture) name[0] = '\0';
  script_->LoadScript(kTitleScript, true);
  state.flags[GameState::kNoSaveFlag] = 0;
  state.flags[GameState::kScreenBrightnessFlag] = 0;
  engine_.sprites->ReleaseAll();
  engine_.channels->ReleaseAll();
  engine_.message = MessagePage{};  // its text surface went with the sprites
  CreateGameFonts(0);
  script_->Present();
  state.SetScriptName(kTitleScriptName);
}

void TMainForm::SaveReadList() { engine_.readList.SaveFile(kReadListFile); }

void TMainForm::SetDisplayMode(bool windowed, bool updateMenus) {
  CDIB* display = engine_.display.get();
  if (display != nullptr) {
    if (!display->IsWindowed()) return;
    // The scene capture lives in a render target that a mode change may lose.
    if (engine_.sprites != nullptr) engine_.sprites->At(SpriteTable::kCaptureSlot).Release();
    display->Suspend(true);
  }
  if (windowed) {
    platform_.SetFullScreen(false, nullptr);
  } else {
    const int index = engine_.settings.refreshRateIndex;
    const bool hasMode = index >= 0 && static_cast<std::size_t>(index) < fullScreenModes_.size();
    platform_.SetFullScreen(true, hasMode ? &fullScreenModes_[static_cast<std::size_t>(index)]
                                          : nullptr);
  }
  if (updateMenus) menu_.CheckDisplayMode(windowed);
  if (display != nullptr) {
    ProcessMessages();
    platform_.Sleep(kInactiveSleep);
    display->Suspend(false);
  }
}

void TMainForm::PaintScreen() {
  CDIB* display = engine_.display.get();
  if (display != nullptr && display->UseDirect3D()) {
    display->DrawFrame(false, true, false);
    return;
  }
  if (display == nullptr || !display->IsReady() || noPaint_ || windowImage_.empty()) return;
  CopyBackBufferToWindow(display->BackBuffer(), display->GetShakeX(), display->GetShakeY(),
                         display->GetZoom(), windowImage_.data());
  platform_.PresentFrame(windowImage_.data(), kClientWidth, kClientHeight, kClientWidth);
}

bool TMainForm::CloseQuery() {
  if (closing_) return true;
  if (!AskYesNo(texts::kQuitQuestion)) return false;
  if (script_ != nullptr) SaveOnExit(*script_);
  SaveReadList();
  closing_ = true;
  const bool windowMode = engine_.display == nullptr || engine_.display->IsWindowMode();
  save_settings(settingsPath_, engine_.settings, windowMode, engine_.debugMode);
  return true;
}

// Alt+Enter: window to full screen or back.
void TMainForm::ToggleDisplayMode() {
  if (engine_.display == nullptr) return;
  engine_.display->SetScreenMode(!WindowItemChecked(), kClientWidth, kClientHeight, 32);
  SetDisplayMode(engine_.display->IsWindowMode(), true);
  displaySwitched_ = true;
}

// The latch a pressed key sets. Outside debug mode only the advance, cancel and arrow keys
// count; the wheel and the icons do the other jobs.
void TMainForm::LatchKey(int key, bool shift) {
  InputState& input = engine_.input;
  if (key == kKeyEnter || key == kKeySpace) return input.SetInput(kInputAdvance, true);
  if (key == kKeyEscape) return input.SetInput(kInputCancel, true);
  if (!engine_.debugMode) {
    const std::uint32_t arrow = key == kKeyLeft ? kInputLeft : key == kKeyUp ? kInputUp
                                : key == kKeyRight ? kInputRight : key == kKeyDown ? kInputDown
                                                                                   : 0u;
    if (arrow != 0) input.SetInput(arrow, true);
    return;
  }
  switch (key) {
    case kKeyPageUp: return input.SetInput(kInputWheelUp, true);
    case kKeyPageDown: return input.SetInput(kInputWheelDown, true);
    case kKeyEnd: return input.SetInput(kInputRestartKey, true);
    case kKeyHome: return input.SetInput(kInputMiddle, true);
    case kKeyLeft: return input.SetInput(kInputLeft, true);
    case kKeyRight: return input.SetInput(kInputRight, true);
    case kKeyUp: return input.SetInput(shift ? kInputPreviousChoiceKey : kInputUp, true);
    case kKeyDown: return input.SetInput(shift ? kInputNextChoiceKey : kInputDown, true);
    case kKeyF1: return input.SetInput(shift ? kInputQuickLoadKey : kInputLoadKey, true);
    case kKeyF2: return input.SetInput(shift ? kInputQuickSaveKey : kInputSaveKey, true);
    default: return;
  }
}

// Debug mode's letter keys stand in for the detached debug menu: the debug tools' commands, and
// T for the title question. True when the key was one of them.
bool TMainForm::RunDebugKey(int key) {
  static constexpr std::pair<char, MenuCommand> kLetters[] = {
      {'C', MenuCommand::kDebugCopy}, {'D', MenuCommand::kNowLine}, {'E', MenuCommand::kEditor},
      {'F', MenuCommand::kFlag},      {'J', MenuCommand::kJump},    {'N', MenuCommand::kNextScript}};
  if (key == kKeyA + ('T' - 'A')) {
    MnTitleClick();
    return true;
  }
  for (const auto& [letter, command] : kLetters) {
    if (key == kKeyA + (letter - 'A')) {
      operations_->RunDebugCommand(command);
      return true;
    }
  }
  return false;
}

// The held bit a released key clears; 0 for keys without one.
std::uint32_t TMainForm::HeldBitOfKey(int key) {
  switch (key) {
    case kKeyEnter:
    case kKeySpace: return kInputAdvance;
    case kKeyEscape: return kInputCancel;
    case kKeyPageUp: return kInputWheelUp;
    case kKeyPageDown: return kInputWheelDown;
    case kKeyEnd: return kInputRestartKey;
    case kKeyHome: return kInputMiddle;
    case kKeyLeft: return kInputLeft;
    case kKeyUp: return kInputUp;
    case kKeyRight: return kInputRight;
    case kKeyDown: return kInputDown;
    case kKeyF1: return kInputLoadKey;
    case kKeyF2: return kInputSaveKey;
    default: return 0;
  }
}

void TMainForm::OnKey(int key, bool down, bool shift, bool alt) {
  if (key == kKeyCtrl) ctrlDown_ = down;
  if (!down) return engine_.input.ClearInput(HeldBitOfKey(key), false);
  if (alt && key == kKeyEnter) return ToggleDisplayMode();
  if (engine_.debugMode && RunDebugKey(key)) return;
  LatchKey(key, shift);
}

// The context menu opens when the settings allow it and the player is being waited for outside
// the backlog and the save/load screen; in debug mode whenever the settings allow it.
bool TMainForm::ContextMenuMayOpen() const {
  if (!engine_.settings.key.context) return false;
  if (engine_.debugMode) return true;
  return engine_.waitingForInput && !operations_->BacklogOpen() && !operations_->SaveLoadOpen();
}

void TMainForm::FormContextPopup(int x, int y) {
  menu_.FollowSaveMenu(engine_.saveMenu);
  menu_.PopupMenu1Popup({engine_.debugMode, operations_->BacklogOpen(),
                         operations_->SaveLoadOpen(), operations_->MessageWindowShown(),
                         engine_.settings.window.drag});
  const std::optional<int> chosen = platform_.ShowPopupMenu(menu_.ContextMenu(), x, y, *this);
  if (chosen) ExecuteMenuItem(static_cast<MenuItemId>(*chosen));
}

void TMainForm::OnMouseButton(MouseButton button, bool down, int x, int y) {
  mouseX_ = x;
  mouseY_ = y;
  InputState& input = engine_.input;
  switch (button) {
    case MouseButton::kLeft:
      if (down) {
        input.SetInput(kInputLeftButton, false);
        return input.SetInput(kInputAdvance, true);
      }
      return input.ClearInput(kInputAdvance | kInputLeftButton, false);
    case MouseButton::kMiddle:
      if (down) return input.SetInput(kInputMiddle, true);
      return input.ClearInput(kInputMiddle, false);
    case MouseButton::kRight:
      // A click that opens the context menu is not also a cancel.
      if (down) return;
      if (ContextMenuMayOpen()) return FormContextPopup(x, y);
      input.SetInput(kInputCancel, true);
      return input.ClearInput(kInputCancel, false);
  }
}

void TMainForm::OnMouseMove(int x, int y) {
  mouseX_ = x;
  mouseY_ = y;
}

void TMainForm::OnWheel(bool up) {
  engine_.input.SetInput(up ? kInputWheelUp : kInputWheelDown, true);
}

// ---------------------------------------------------------------------------------------------
// Menu commands

const MainMenu& TMainForm::Menu() {
  menu_.FollowPlayModes(engine_.autoMode, engine_.skipMode);
  menu_.FollowSaveMenu(engine_.saveMenu);
  return menu_;
}

void TMainForm::SetMenuOperations(MenuOperations* operations) {
  operations_ = operations != nullptr ? operations : &scenarioOperations_;
}

void TMainForm::ExecuteMenuItem(MenuItemId id) {
  if (static_cast<std::size_t>(id) >= MainMenu::kItemCount) return;
  const MenuCommand command = menu_.Item(id).command;
  PlayRequests& requests = engine_.requests;
  switch (command) {
    case MenuCommand::kNone:
    case MenuCommand::kCancelMenu: return;
    case MenuCommand::kTitle: return MnTitleClick();
    case MenuCommand::kExit: CloseQuery(); return;
    case MenuCommand::kBackToMenu: menuRequested_ = true; return;
    case MenuCommand::kAutoMode: return MnSkipClick();
    case MenuCommand::kSkipMode: return MnSkip2Click();
    case MenuCommand::kNextChoice: return operations_->NextChoice();
    case MenuCommand::kPreviousChoice: requests.previousChoice = true; return;
    case MenuCommand::kQuickLoad: return MnQLoadClick();
    case MenuCommand::kQuickSave: requests.quickSave = true; return;
    case MenuCommand::kHideWindow: requests.hideWindow = true; return;
    case MenuCommand::kCloseBacklog: return operations_->CloseBacklog();
    case MenuCommand::kCloseSaveLoad: return operations_->CloseSaveLoad();
    case MenuCommand::kDisplayItem: return MnWindowClick(id);
    case MenuCommand::kSwitchDisplay: return CmDispClick();
    case MenuCommand::kStandardFont: return MnFontNormalClick();
    case MenuCommand::kChooseFont: return MnFontClick();
    case MenuCommand::kOptions: return operations_->ShowOptions();
    case MenuCommand::kKeyHelp: return operations_->ShowKeyHelp();
    case MenuCommand::kHomePage: return MnHPClick();
    case MenuCommand::kWindowToStandardPlace: return operations_->MoveWindowToStandardPlace();
    case MenuCommand::kWindowDrag: return CmWinDragClick(id);
    case MenuCommand::kNowLine:
    case MenuCommand::kDebugCopy:
    case MenuCommand::kEditor:
    case MenuCommand::kFlag:
    case MenuCommand::kJump:
    case MenuCommand::kNextScript:
    case MenuCommand::kOmake:
    case MenuCommand::kMakeCg:
    case MenuCommand::kDebugRoot:
    case MenuCommand::kDebugSelect: return operations_->RunDebugCommand(command);
  }
}

bool TMainForm::AskYesNo(const char* text) {
  MessageBoxRequest question;
  question.text = text;
  question.caption = texts::kQuitCaption;
  question.buttons = MessageBoxButtons::kYesNo;
  question.icon = MessageBoxIcon::kQuestion;
  question.defaultIsNo = true;
  return platform_.ShowMessageBox(question) == MessageBoxResult::kYes;
}

void TMainForm::MnTitleClick() {
  if (AskYesNo(menu_texts::kTitleQuestion)) titleRequested_ = true;
}

// Auto mode and skip mode exclude each other: switching one on ends the other.
void TMainForm::MnSkipClick() {
  if (script_ == nullptr) return;
  if (engine_.skipMode) script_->SetSkipMode(false);
  script_->SetAutoMode(!engine_.autoMode);
}

void TMainForm::MnSkip2Click() {
  if (script_ == nullptr) return;
  if (engine_.autoMode) script_->SetAutoMode(false);
  script_->SetSkipMode(!engine_.skipMode);
}

// Quick load is asked for only when there is a quick save to load.
void TMainForm::MnQLoadClick() {
  CFile save;
  if (save.Open(kQuickSaveFile, FileAccess::kRead)) engine_.requests.quickLoad = true;
}

// The window item and the full-screen item switch to their own mode unless it is on already;
// the hidden second full-screen item shares the handler and does nothing.
void TMainForm::MnWindowClick(MenuItemId sender) {
  if (sender == MenuItemId::kMnFull32 || menu_.Item(sender).checked) return;
  if (engine_.display == nullptr) return;
  engine_.display->SetScreenMode(sender == MenuItemId::kMnWindow, kClientWidth, kClientHeight,
                                 32);
  SetDisplayMode(engine_.display->IsWindowMode(), true);
}

void TMainForm::CmDispClick() {
  if (engine_.display == nullptr) return;
  engine_.display->SetScreenMode(!engine_.display->IsWindowMode(), kClientWidth, kClientHeight,
                                 32);
  SetDisplayMode(engine_.display->IsWindowMode(), true);
}

int TMainForm::TextSize() const { return engine_.state->flags[GameState::kTextSizeFlag]; }

// The game font becomes the face and style given; the text sprites take it at the next wait
// step, and the settings file keeps it.
void TMainForm::ApplyGameFont(const std::string& name, int style) {
  Settings& settings = engine_.settings;
  fontName_ = name;
  fontStyle_ = style;
  settings.font.name = name;
  settings.font.style = style;
  settings.fontBold = style == 1 || style == 3;
  settings.fontItalic = style == 2 || style == 3;
  settings.fontHeight = -24;
  CreateGameFonts(TextSize());
}

void TMainForm::MnFontNormalClick() { ApplyGameFont(Settings::Font{}.name, 0); }

// The dialog's bold and italic switches give the style; a choice with underline or strike-out
// has no style number and keeps the old one.
void TMainForm::MnFontClick() {
  FontChoice choice{fontName_, fontStyle_ == 1 || fontStyle_ == 3,
                    fontStyle_ == 2 || fontStyle_ == 3, false, false};
  if (!operations_->RunFontDialog(choice)) return;
  const bool plainStyle = !choice.underline && !choice.strikeOut;
  const int style = plainStyle ? (choice.bold ? 1 : 0) + (choice.italic ? 2 : 0) : fontStyle_;
  ApplyGameFont(choice.name, style);
}

void TMainForm::MnHPClick() {
  if (!operations_->OpenHomePage(kHomePageAddress)) ShowStartUpError(menu_texts::kLaunchError);
}

void TMainForm::CmWinDragClick(MenuItemId sender) {
  engine_.settings.window.drag =
      static_cast<int>(sender) - static_cast<int>(MenuItemId::kCmWinDragNone);
}

void TMainForm::OnActivate(bool active) {
  // In full screen the desktop mode comes back while the player is elsewhere.
  if (!WindowItemChecked()) SetDisplayMode(!active, false);
  if (active && script_ != nullptr) script_->RequestRedraw();
}

void TMainForm::OnCloseRequest() {
  if (stopped_) {
    closeRequestedAfterStop_ = true;
    return;
  }
  CloseQuery();
}

void TMainForm::OnPaint() { PaintScreen(); }

// Every sprite gives up its textures and makes them again from its pictures; the scene capture
// lived only in its render target and is gone.
void TMainForm::OnRenderReset() {
  if (engine_.sprites == nullptr) return;
  engine_.sprites->At(SpriteTable::kCaptureSlot).Release();
  engine_.sprites->ReleaseDeviceObjects();
  engine_.sprites->RestoreDeviceObjects();
  if (script_ != nullptr) script_->RequestRedraw();
}

void TMainForm::Destroy() {
  if (windowOpen_) platform_.SetFullScreen(false, nullptr);
  script_.reset();
  engine_.upkeep.reset();
  engine_.channels.reset();
  engine_.sound.reset();
  engine_.sprites.reset();
  engine_.display.reset();
  engine_.vorbis.UnloadDriver();
  engine_.scripts.Close();
  engine_.pictures.Close();
  engine_.sounds.Close();
  if (engine_.text != nullptr) ReleaseGameFonts();
  engine_.text.reset();
  engine_.fontRasterizer.reset();
  if (windowOpen_) platform_.CloseWindow();
  windowOpen_ = false;
}

}  // namespace halcyra

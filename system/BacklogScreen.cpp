#include "system/BacklogScreen.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "graphics/CDIB.h"
#include "graphics/GlyphTextRenderer.h"
#include "platform/Platform.h"
#include "scenario/KeyWait.h"
#include "scenario/LayerCommands.h"
#include "scenario/LayerModel.h"
#include "scenario/MessageWindow.h"
#include "scenario/PageMode.h"
#include "scenario/SoundCommands.h"
#include "scenario/VoiceCommands.h"
#include "script/CScript.h"
#include "script/Engine.h"
#include "system/Backlog.h"
#include "scenario/GuideVoices.h"

namespace halcyra {
namespace {

constexpr int kVeilSlot = 79;
constexpr int kTextHolderSlot = 80;
constexpr int kBoardSlot = 81;
constexpr int kNameBoardSlot = 82;
constexpr int kWindowSlot = 83;
constexpr int kFrameSlot = 84;
constexpr int kTextSurfaceSlot = 85;
constexpr int kNameWindowSlot = 91;
constexpr int kNameFrameSlot = 92;
constexpr int kNameSurfaceSlot = 93;
constexpr int kNameHolderSlot = 94;
constexpr int kFirstButtonSlot = 100;  // button j is slot 100 + j
constexpr int kGuideSlot = 111;
constexpr int kCounterSlot = 129;
constexpr int kLastBacklogSlot = 129;
constexpr int kLogIconSlot = 51;
constexpr int kMessageTextSlot = 33;
constexpr int kFirstWindowSlot = 30;
constexpr int kLastWindowSlot = 79;
constexpr int kFirstOverlaySlot = 130;
constexpr int kLastOverlaySlot = 189;

constexpr int kButtons = 7;
constexpr int kLoadedButtons = 6;  // button 7 comes from the scenario's data
constexpr int kButtonOffsetX = 332;
constexpr int kButtonOffsetY = 34;
constexpr int kGuideVoiceOffset = 8;  // button j speaks guide entry j + 8
constexpr int kHiddenGuideCellOffset = 7;
constexpr int kNoButton = -2;
constexpr int kCounterOffsetX = 232;
constexpr int kCounterOffsetY = 22;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr int kCharacterWidth = 24;
constexpr std::uint32_t kRepeatStep = 250;  // ms per Key/Repeat step
constexpr char kNoVoice[] = "-2";
constexpr char kNoNameWindow[] = "NULL";
constexpr std::array<const char*, kLoadedButtons> kButtonPictures = {
    "cg\\_lVo.psd", "cg\\_lCont.psd", "cg\\_lPrev.psd",
    "cg\\_lNext.psd", "cg\\_lTop.psd", "cg\\_lBottom.psd"};

enum Button { kVoice = 1, kContinue, kPrevious, kNext, kTop, kBottom, kLeave };

// The ten integers of a window definition.
enum LayoutValue { kX, kY, kWidth, kHeight, kFrameX, kFrameY, kTextX, kTextY, kColumns, kRows };

struct LayoutView {
  const std::int32_t* v;
  int operator[](LayoutValue i) const { return v[i]; }
};

LayoutView Layout(const GameState& state) { return {state.messageWindow.values}; }
LayoutView NameLayout(const GameState& state) { return {state.nameWindow.values}; }

// What one frame of input asks for, carried out in this order of precedence.
struct Moves {
  bool oldest = false;
  bool newest = false;
  bool replay = false;
  bool messageBack = false;
  bool messageForward = false;
  bool pageBack = false;
  bool pageForward = false;
  bool resume = false;  // at the entry shown
  bool close = false;   // resume at the newest entry
};

struct Screen {
  CScript& script;
  Engine& engine;
  int k = 1;
  int hovered = kNoButton;
  std::uint32_t leftSince = 0;
  std::uint32_t upSince = 0;
  std::uint32_t downSince = 0;
  bool buttonRepeat = false;
  std::array<bool, kLastWindowSlot - kFirstWindowSlot + 1> windowShown{};
  std::array<bool, kLastOverlaySlot - kFirstOverlaySlot + 1> overlayShown{};

  CDIBSprite& Sprite(int slot) { return engine.sprites->At(slot); }
  CDIBSprite& ButtonSprite(int j) { return Sprite(kFirstButtonSlot + j); }
};

// The entry's voice in the voice player's backlog mode; forced plays it even with logged voices
// switched off.
void PlayEntryVoice(CScript& script, const LogEntry& entry, bool forced) {
  if (script.GetEngine().channels == nullptr) return;
  PlayVoice(script, true, forced, FieldText(entry.voice));
}

bool HasVoice(const LogEntry& entry) {
  const std::string_view voice = FieldText(entry.voice);
  return !voice.empty() && voice != kNoVoice;
}

bool ButtonVisible(const Screen& screen, int j) {
  const GameState& state = *screen.engine.state;
  const LogEntry& entry = LogEntryAt(state, screen.k);
  switch (j) {
    case kVoice: return HasVoice(entry);
    case kContinue: return entry.flags[GameState::kNoSaveFlag] == 0;
    case kPrevious:
    case kTop: return screen.k < state.backlogCount;
    case kNext:
    case kBottom: return screen.k > 1;
    default: return screen.engine.sprites->At(kFirstButtonSlot + j).IsShown();
  }
}

// Whether the pointer is on the button's picture, shown or not.
bool OnButton(Screen& screen, int j) {
  CDIBSprite& sprite = screen.ButtonSprite(j);
  const bool shown = sprite.IsShown();
  sprite.Show(true);
  const bool hit = sprite.HitTest(screen.script.MouseX(), screen.script.MouseY());
  sprite.Show(shown);
  return hit;
}

void UpdateButtons(Screen& screen) {
  for (int j = 1; j <= kLoadedButtons; ++j) screen.ButtonSprite(j).Show(ButtonVisible(screen, j));
}

// The guide picture names the button under the pointer (its hidden form for a hidden one); a
// newly entered visible button speaks its guide entry.
void HoverButtons(Screen& screen) {
  int pointed = kNoButton;
  for (int j = 1; j <= kButtons && pointed == kNoButton; ++j) {
    if (OnButton(screen, j)) pointed = j;
  }
  for (int j = 1; j <= kButtons; ++j) screen.ButtonSprite(j).SetFrame(j == pointed && ButtonVisible(screen, j) ? 1 : 0);
  if (pointed == screen.hovered) return;
  screen.hovered = pointed;
  CDIBSprite& guide = screen.Sprite(kGuideSlot);
  guide.Show(pointed != kNoButton && screen.engine.settings.window.guide);
  if (pointed == kNoButton) return;
  const bool visible = ButtonVisible(screen, pointed);
  guide.SetFrame(visible ? pointed - 1 : pointed + kHiddenGuideCellOffset);
  if (visible) PlayGuideVoice(screen.script, pointed + kGuideVoiceOffset);
}

void LoadPicture(CDIBSprite& sprite, const char* name, int x, int y) {
  sprite.Load(name);
  sprite.SetPosition(x, y);
}

void OpenLogWindow(Screen& screen) {
  const GameState& state = *screen.engine.state;
  const LayoutView layout = Layout(state);
  const int frameX = layout[kX] + layout[kFrameX];
  const int frameY = layout[kY] + layout[kFrameY];
  LoadPicture(screen.Sprite(kWindowSlot), "cg\\_WinLog.psd", frameX, frameY);
  screen.Sprite(kWindowSlot).SetOpacity(255);
  LoadPicture(screen.Sprite(kFrameSlot), "cg\\_WinLog_F.psd", frameX, frameY);
  if (FieldText(state.nameWindow.picture) != kNoNameWindow) {
    const LayoutView name = NameLayout(state);
    const int nameX = name[kX] + name[kFrameX];
    const int nameY = name[kY] + name[kFrameY];
    LoadPicture(screen.Sprite(kNameWindowSlot), "cg\\_WinLogNam.psd", nameX, nameY);
    screen.Sprite(kNameWindowSlot).SetOpacity(255);
    LoadPicture(screen.Sprite(kNameFrameSlot), "cg\\_WinLogNam_F.psd", nameX, nameY);
  }
  for (int j = 1; j <= kLoadedButtons; ++j) {
    CDIBSprite& button = screen.ButtonSprite(j);
    LoadPicture(button, kButtonPictures[static_cast<std::size_t>(j - 1)],
                layout[kX] + kButtonOffsetX, layout[kY] + kButtonOffsetY);
    button.SetAnimating(true);
    button.SetFrame(0);
    button.Show(false);
  }
}

void HideScene(Screen& screen) {
  for (int slot = kFirstWindowSlot; slot <= kLastWindowSlot; ++slot) {
    screen.windowShown[static_cast<std::size_t>(slot - kFirstWindowSlot)] = screen.Sprite(slot).IsShown();
    screen.Sprite(slot).Show(false);
  }
  for (int slot = kFirstOverlaySlot; slot <= kLastOverlaySlot; ++slot) {
    screen.overlayShown[static_cast<std::size_t>(slot - kFirstOverlaySlot)] = screen.Sprite(slot).IsShown();
    screen.Sprite(slot).Show(false);
  }
}

void RestoreWindowLayer(Screen& screen) {
  for (int slot = kFirstWindowSlot; slot <= kLastWindowSlot; ++slot) {
    screen.Sprite(slot).Show(screen.windowShown[static_cast<std::size_t>(slot - kFirstWindowSlot)]);
  }
  screen.Sprite(kMessageTextSlot).Show(true);
}

void ShowVeil(Screen& screen) {
  CDIBSprite& veil = screen.Sprite(kVeilSlot);
  veil.CreateBox(800, 600, 1, true, false);
  veil.SetOpacity(255 - screen.engine.settings.log.lumi);
  InputState& input = screen.engine.input;
  input.ClearInput(~0u, false);
  input.ClearInput(0, true);
}

// Held inputs restart their timers in every frame they are not held; an up or down input held
// past the repeat delay pages every frame, a held left button arms the button repeat.
void RunRepeatTimers(Screen& screen, Moves& moves) {
  const std::uint32_t now = screen.script.GetPlatform().Ticks();
  const std::uint32_t delay = static_cast<std::uint32_t>(screen.engine.settings.key.repeat) * kRepeatStep;
  const InputState& input = screen.engine.input;
  auto heldLong = [&](std::uint32_t bits, std::uint32_t& since) {
    if (!input.IsHeld(bits)) since = now;
    return now - since > delay;
  };
  if (heldLong(kInputWheelUp, screen.upSince)) moves.pageBack = true;
  if (heldLong(kInputWheelDown, screen.downSince)) moves.pageForward = true;
  screen.buttonRepeat = heldLong(kInputAdvance, screen.leftSince);
}

void ClickButton(Screen& screen, int j, Moves& moves) {
  const bool byPage = screen.engine.settings.log.icon == 1;
  switch (j) {
    case kVoice: moves.replay = true; break;
    case kContinue: moves.resume = true; break;
    case kPrevious: (byPage ? moves.pageBack : moves.messageBack) = true; break;
    case kNext: (byPage ? moves.pageForward : moves.messageForward) = true; break;
    case kTop: moves.oldest = true; break;
    case kBottom: moves.newest = true; break;
    default: (screen.engine.settings.log.exit ? moves.resume : moves.close) = true; break;
  }
}

void ReadInput(Screen& screen, Moves& moves) {
  Engine& engine = screen.engine;
  InputState& input = engine.input;
  const Settings& settings = engine.settings;
  const bool cancel = input.IsLatched(kInputCancel) || engine.logCloseRequest;
  const bool iconByPage = settings.log.icon == 1;
  if (cancel) {
    (settings.log.exit ? moves.resume : moves.close) = true;
  } else if (input.IsLatched(kInputAdvance) && screen.hovered > 0 && ButtonVisible(screen, screen.hovered)) {
    input.ClearLatched(kInputAdvance);
    ClickButton(screen, screen.hovered, moves);
  } else if (input.IsHeld(kInputAdvance) && screen.buttonRepeat && screen.hovered == kPrevious) {
    (iconByPage ? moves.pageBack : moves.messageBack) = true;
  } else if (input.IsHeld(kInputAdvance) && screen.buttonRepeat && screen.hovered == kNext) {
    (iconByPage ? moves.pageForward : moves.messageForward) = true;
  } else if (input.IsLatched(kInputMiddle) && ButtonVisible(screen, kVoice)) {
    moves.replay = true;
  } else if (input.IsLatched(kInputWheelDown) && screen.k == 1) {
    moves.close = true;
  } else if (input.IsLatched(kInputRestartKey)) {
    moves.resume = true;
  }
  const bool wheelByPage = settings.log.wheel == 1;
  if (input.IsLatched(kInputWheelUp)) (wheelByPage ? moves.pageBack : moves.messageBack) = true;
  if (input.IsLatched(kInputWheelDown)) (wheelByPage ? moves.pageForward : moves.messageForward) = true;
  if (!ButtonVisible(screen, kPrevious)) moves.pageBack = moves.messageBack = false;
  if (!ButtonVisible(screen, kNext)) moves.pageForward = moves.messageForward = false;
  input.ClearInput(0, true);
  engine.logCloseRequest = false;
}

// Moves k by the first move asked for; true when the screen leaves (resume or close).
bool CarryOut(Screen& screen, const Moves& moves, bool& resumeAtShown) {
  const GameState& state = *screen.engine.state;
  const int before = screen.k;
  if (moves.oldest) {
    screen.k = state.backlogCount;
  } else if (moves.newest) {
    screen.k = 1;
  } else if (moves.replay) {
    ReplayLogVoice(screen.script, screen.k);
  } else if (moves.messageBack) {
    if (screen.k < state.backlogCount) ++screen.k;
  } else if (moves.messageForward) {
    if (screen.k > 1) --screen.k;
  } else if (moves.pageBack) {
    screen.k = PageBack(state, screen.k);
  } else if (moves.pageForward) {
    screen.k = PageForward(state, screen.k);
  } else if (moves.resume || moves.close) {
    resumeAtShown = moves.resume;
    return true;
  }
  if (screen.k != before) {
    ShowLogEntry(screen.script, screen.k, false);
    screen.hovered = kNoButton;
  }
  return false;
}

void CloseScreen(Screen& screen) {
  Engine& engine = screen.engine;
  for (int slot = kVeilSlot; slot <= kLastBacklogSlot; ++slot) screen.Sprite(slot).Release();
  engine.backlogOpen = false;
  screen.script.SetFastForward(false);
  engine.requests.previousChoice = engine.requests.quickSave = engine.requests.quickLoad = false;
  const GameState& state = *engine.state;
  for (int layer = 0; layer < GameState::kLayerCount; ++layer) {
    CDIBSprite& sprite = screen.Sprite(SlotOfLayer(layer));
    sprite.SetBrightness(state.layerBrightness[layer]);
    sprite.SetOpacity(state.layerOpacity[layer]);
  }
}

// The entry's page typed into a fresh text surface over the log window.
void DrawEntryText(Screen& screen, const LogEntry& entry) {
  Engine& engine = screen.engine;
  const LayoutView layout = Layout(*engine.state);
  CDIBSprite& holder = screen.Sprite(kTextHolderSlot);
  holder.SetTextDirect(FieldText(entry.page), engine.fonts[0], kWhite, kCharacterWidth,
                       layout[kColumns], layout[kRows], true);
  holder.SetPosition(entry.textStartX - layout[kX], entry.textStartY - layout[kY]);
  CDIBSprite& surface = screen.Sprite(kTextSurfaceSlot);
  surface.CreateBox(layout[kWidth], layout[kHeight], 1, false, false);
  surface.SetPosition(layout[kX], layout[kY]);
  int waitCount = 0;
  if (engine.text != nullptr) {
    engine.text->TypeText(holder, layout[kColumns], layout[kRows], surface.GetSurface(), waitCount, -1,
                          true, {});
  }
}

void DrawSpeaker(Screen& screen, const LogEntry& entry) {
  Engine& engine = screen.engine;
  const Settings& settings = engine.settings;
  const std::string_view name = FieldText(entry.speaker);
  if (name.empty()) {
    for (int slot : {kNameBoardSlot, kNameWindowSlot, kNameFrameSlot}) screen.Sprite(slot).Show(false);
    screen.Sprite(kNameSurfaceSlot).Release();
  } else {
    screen.Sprite(kNameBoardSlot).Show(settings.window.board);
    screen.Sprite(kNameWindowSlot).Show(settings.window.window);
    screen.Sprite(kNameFrameSlot).Show(settings.window.window);
    const LayoutView window = NameLayout(*engine.state);
    CDIBSprite& holder = screen.Sprite(kNameHolderSlot);
    holder.SetTextDirect(name, engine.fonts[0], kWhite, kCharacterWidth, window[kColumns] + 1,
                         window[kRows], true);
    CDIBSprite& surface = screen.Sprite(kNameSurfaceSlot);
    surface.CreateBox(window[kWidth] + 24, window[kHeight] + 24, 1, false, false);
    surface.SetPosition(window[kX] + window[kTextX] + window[kColumns] * 12 - static_cast<int>(name.size()) * 6,
                        window[kY] + window[kTextY]);
    int waitCount = 0;
    if (engine.text != nullptr) {
      engine.text->TypeText(holder, window[kColumns] + 1, window[kRows], surface.GetSurface(), waitCount,
                            -1, true, {});
    }
  }
  screen.Sprite(kNameBoardSlot).Show(true);
}

// The scene follows the entry: its layers, its tint when it had one, its background effect and
// particle settings.
void FollowEntryScene(GameState& state, const LogEntry& entry) {
  CopyEntryLayers(state, entry, true);
  const int firstTint = GameState::kRgbFlag;
  const int lastTint = GameState::kHsvFlag + 2;
  bool tinted = false;
  for (int flag = firstTint; flag <= lastTint; ++flag) tinted = tinted || entry.flags[flag] != 0;
  if (tinted) std::memcpy(state.flags + firstTint, entry.flags + firstTint, lastTint - firstTint + 1);
  for (int flag : {GameState::kBackgroundEffectFlag, GameState::kParticleFlagA, GameState::kParticleFlagB}) {
    state.flags[flag] = entry.flags[flag];
  }
}

// The music and the three effect channels play what the entry recorded.
void FollowEntrySound(CScript& script, const LogEntry& entry) {
  constexpr int kMusicChannel = 0;
  constexpr int kEffectChannels[] = {2, 5, 6};
  RestoreSound(script, kMusicChannel, FieldText(entry.music), true);
  for (int i = 0; i < 3; ++i) {
    const LogEntry::Sound& sound = entry.effectSound[i];
    RestoreSound(script, kEffectChannels[i], FieldText(sound.name), sound.loop != 0);
  }
}

void DrawCounter(Screen& screen) {
  const GameState& state = *screen.engine.state;
  char text[32];
  std::snprintf(text, sizeof text, "%3d/%d", screen.k, state.backlogCount);
  CDIBSprite& counter = screen.Sprite(kCounterSlot);
  counter.SetText(text, screen.engine.fonts[0], kWhite, kCharacterWidth, true);
  const LayoutView layout = Layout(state);
  counter.SetPosition(layout[kX] + kCounterOffsetX, layout[kY] + kCounterOffsetY);
}

void ShowEntry(Screen& screen, bool restore) {
  Engine& engine = screen.engine;
  GameState& state = *engine.state;
  const LogEntry& entry = LogEntryAt(state, screen.k);
  const Settings& settings = engine.settings;
  screen.ButtonSprite(kContinue).Show(entry.flags[GameState::kNoSaveFlag] == 0);
  DrawEntryText(screen, entry);
  DrawSpeaker(screen, entry);
  if (restore || settings.log.cg) {
    FollowEntryScene(state, entry);
    RebuildLayers(screen.script);
  }
  if (restore || settings.log.bgm) FollowEntrySound(screen.script, entry);
  if (settings.log.voice) PlayEntryVoice(screen.script, entry, false);
  screen.Sprite(kWindowSlot).Show(settings.window.window && entry.flags[GameState::kPageModeFlag] == 0);
  screen.Sprite(kTextHolderSlot).Show(settings.window.board);
  screen.Sprite(kBoardSlot).Show(settings.window.board);
  DrawCounter(screen);
}

}  // namespace

void ShowLogEntry(CScript& script, int k, bool restore) {
  Engine& engine = script.GetEngine();
  if (engine.sprites == nullptr || engine.state->backlogCount == 0) return;
  Screen screen{script, engine};
  screen.k = k;
  ShowEntry(screen, restore);
}

void ReplayLogVoice(CScript& script, int k) {
  PlayEntryVoice(script, LogEntryAt(*script.GetEngine().state, k), true);
}

bool ResumeFromLogEntry(CScript& script, int k) {
  Engine& engine = script.GetEngine();
  GameState& state = *engine.state;
  ShowLogEntry(script, k, true);
  DropNewestEntries(state, k);
  const LogEntry& entry = CurrentLogEntry(state);
  RestoreFromEntry(state, entry);
  state.SetScriptName(FieldText(entry.scriptName));
  const std::string path = "scr\\" + std::string(state.ScriptName()) + ".scr";
  if (!script.LoadScript(path, script.IsScenarioMode())) return false;
  script.SetReadPosition(engine.readList.GetOffset(script.ScriptPath(), entry.messageNumber));
  if (state.backlogCount == 0 && engine.sprites != nullptr) engine.sprites->At(kLogIconSlot).Release();
  SetPageMode(script, state.flags[GameState::kPageModeFlag] != 0);
  RestoreMessageWindow(script);
  if (k != 1 && engine.display != nullptr) engine.display->SetPan(0);
  ReapplyParticles(engine);
  return true;
}

bool OpenBacklog(CScript& script) {
  Engine& engine = script.GetEngine();
  if (engine.state->backlogCount == 0 || engine.sprites == nullptr) return false;
  if (engine.settings.skip.cancel) script.SetAutoMode(false);
  if (engine.settings.skip2.cancel) script.SetSkipMode(false);
  Screen screen{script, engine};
  OpenLogWindow(screen);
  ShowEntry(screen, false);
  HideScene(screen);
  screen.leftSince = screen.upSince = screen.downSince = script.GetPlatform().Ticks();
  engine.backlogOpen = true;
  engine.logCloseRequest = false;
  ShowVeil(screen);
  bool resumeAtShown = false;
  for (;;) {
    if (script.WaitStep(false, true)) {
      engine.backlogOpen = false;
      return !script.IsClosing();
    }
    UpdateButtons(screen);
    HoverButtons(screen);
    script.Present();
    Moves moves;
    RunRepeatTimers(screen, moves);
    ReadInput(screen, moves);
    if (CarryOut(screen, moves, resumeAtShown)) break;
  }
  ResumeFromLogEntry(script, resumeAtShown ? screen.k : 1);
  RestoreWindowLayer(screen);
  CloseScreen(screen);
  return true;
}

}  // namespace halcyra

#include "scenario/KeyWait.h"

#include <cstdlib>

#include "platform/Platform.h"
#include "scenario/Choices.h"
#include "scenario/IconBar.h"
#include "scenario/LayerCommands.h"
#include "scenario/LayerModel.h"
#include "scenario/MessageWindow.h"
#include "scenario/PageMode.h"
#include "scenario/SoundCommands.h"
#include "script/CScript.h"
#include "script/Engine.h"
#include "script/ScriptHost.h"
#include "system/BacklogScreen.h"
#include "system/SaveRequests.h"

namespace halcyra {
namespace {

namespace slots = message_slots;

constexpr int kKeyWaitIconX = 732;
constexpr int kKeyWaitIconY = 546;
constexpr int kKeyWaitIconInterval = 4;
constexpr int kBackToStart = -10000;  // MoveWindow: back to the standard place
constexpr int kStandardWindowY = 423;
constexpr int kClickDistance = 4;     // a drag shorter than this in both axes is a click
constexpr int kVoiceChannel = 4;
constexpr int kVoiceFadeStep = -20;
constexpr int kForgottenHover = -2;

// What the player asked for in one frame, in the order in which the actions take precedence.
enum class Action {
  kNone,
  kAdvance,
  kBacklog,
  kLoadScreen,
  kSaveScreen,
  kSkip,
  kAuto,
  kHide,
  kNextChoice,
  kPreviousChoice,
  kQuickLoad,
  kQuickSave,
  kExit,
  kOption,
};

Action IconAction(int icon) {
  switch (icon) {
    case kIconLog: return Action::kBacklog;
    case kIconLoad: return Action::kLoadScreen;
    case kIconSave: return Action::kSaveScreen;
    case kIconPreviousChoice: return Action::kPreviousChoice;
    case kIconNextChoice: return Action::kNextChoice;
    case kIconSkip: return Action::kSkip;
    case kIconAuto: return Action::kAuto;
    case kIconOption:
    case kIconAffectionOption: return Action::kOption;
    case kIconExit: return Action::kExit;
    case kIconHide: return Action::kHide;
    default: return Action::kNone;
  }
}

bool InPageMode(const Engine& engine) {
  return engine.state->flags[GameState::kPageModeFlag] != 0;
}

// Slots 130..229 hide with the window when the player hides it.
void HideOverlays(Engine& engine, bool hide) {
  MessagePage& page = engine.message;
  for (int k = 0; k < MessagePage::kOverlaySlotCount; ++k) {
    CDIBSprite& sprite = engine.sprites->At(slots::kFirstOverlay + k);
    if (hide) {
      page.overlaySlotShown[static_cast<std::size_t>(k)] = sprite.IsShown();
      sprite.Show(false);
    } else {
      sprite.Show(page.overlaySlotShown[static_cast<std::size_t>(k)]);
    }
  }
}

// While the window is hidden a click, the cancel input or the hide request only shows it.
int HandleHiddenWindow(CScript& script) {
  Engine& engine = script.GetEngine();
  InputState& input = engine.input;
  if (input.IsLatched(kInputAdvance | kInputCancel)) {
    input.ClearInput(0, true);
  } else if (!engine.requests.hideWindow) {
    return kWaitNothing;
  }
  engine.state->flags[GameState::kPageDimFlag] =
      static_cast<std::uint8_t>(InPageMode(engine) ? 255 - engine.settings.novel.novelRate : 0);
  HideWindowSprites(engine, false);
  UpdateMenuState(script, true);
  engine.requests.hideWindow = false;
  HideOverlays(engine, false);
  return kWaitScreen;
}

// The left button held on the window drags it; released within a few pixels of where it went
// down, it is a click after all and the window goes back.
void Drag(CScript& script) {
  Engine& engine = script.GetEngine();
  MessagePage& page = engine.message;
  const int x = script.MouseX();
  const int y = script.MouseY();
  const bool held = engine.input.IsHeld(kInputLeftButton);
  const int mode = engine.settings.window.drag;
  if (page.dragging) {
    if (held) {
      MoveWindow(engine, mode == 2 ? kBackToStart : x - page.dragLastX, y - page.dragLastY);
      page.dragLastX = x;
      page.dragLastY = y;
      return;
    }
    page.dragging = false;
    if (std::abs(x - page.dragStartX) < kClickDistance &&
        std::abs(y - page.dragStartY) < kClickDistance) {
      MoveWindow(engine, mode == 2 ? 0 : page.dragStartX - page.dragLastX,
                 page.dragStartY - page.dragLastY);
      engine.input.SetInput(kInputAdvance, true);
      engine.input.ClearInput(kInputAdvance, false);
    }
    return;
  }
  const SpriteTable& sprites = *engine.sprites;
  if (!held || !script.IsScenarioMode() || mode == 0) return;
  if (!sprites.At(slots::kBoard).HitTest(x, y) && !sprites.At(slots::kBackground).HitTest(x, y)) {
    return;
  }
  // The press that starts a drag is not a click.
  engine.input.ClearLatched(kInputAdvance);
  page.dragging = true;
  page.dragStartX = page.dragLastX = x;
  page.dragStartY = page.dragLastY = y;
}

// The first latched key or wheel input with a job in this wait; every one consumes the latches.
// The cancel input raises the hide request.
Action LatchedKeyAction(CScript& script) {
  Engine& engine = script.GetEngine();
  InputState& input = engine.input;
  const SpriteTable& sprites = *engine.sprites;
  const bool scenario = script.IsScenarioMode();
  auto has = [&](int icon) { return sprites.At(slots::kIconBase + icon).GetSurface() != nullptr; };
  const struct {
    std::uint32_t bit;
    bool offered;
    Action action;
  } keys[] = {
      {kInputWheelUp, has(kIconLog), Action::kBacklog},
      {kInputLoadKey, has(kIconLoad) && scenario, Action::kLoadScreen},
      {kInputSaveKey, has(kIconSave) && scenario, Action::kSaveScreen},
      {kInputNextChoiceKey, scenario, Action::kNextChoice},
      {kInputPreviousChoiceKey, scenario, Action::kPreviousChoice},
      {kInputQuickLoadKey, scenario, Action::kQuickLoad},
      {kInputQuickSaveKey, scenario, Action::kQuickSave},
  };
  for (const auto& key : keys) {
    if (!key.offered || !input.IsLatched(key.bit)) continue;
    input.ClearInput(0, true);
    return key.action;
  }
  if (input.IsLatched(kInputWheelDown)) {
    input.ClearInput(0, true);
    return Action::kAdvance;
  }
  if (input.IsLatched(kInputCancel)) {
    input.ClearInput(0, true);
    engine.requests.hideWindow = true;
  }
  return Action::kNone;
}

int HideWindow(CScript& script) {
  Engine& engine = script.GetEngine();
  engine.state->flags[GameState::kPageDimFlag] = 0;
  HideWindowSprites(engine, true);
  UpdateMenuState(script, false);
  engine.requests.hideWindow = false;
  HideOverlays(engine, true);
  return kWaitScreen;
}

// The save, load and option screens are not part of this program yet: asking for them only
// consumes the input and the wait goes on.
int RunAction(CScript& script, Action action, int hoverResult) {
  Engine& engine = script.GetEngine();
  switch (action) {
    case Action::kBacklog: return OpenBacklog(script) ? kWaitRestarted : kWaitScreen;
    case Action::kLoadScreen:
    case Action::kSaveScreen:
    case Action::kOption: return kWaitScreen;
    case Action::kSkip:
      script.SetSkipMode(true);
      return kWaitAdvance;
    case Action::kAuto:
      script.SetAutoMode(true);
      return kWaitAdvance;
    case Action::kHide: return HideWindow(script);
    case Action::kNextChoice: NextChoice(script); break;
    case Action::kPreviousChoice: PreviousChoice(script); break;
    case Action::kQuickLoad:
      engine.requests.quickLoad = true;
      return kWaitScreen;
    case Action::kQuickSave: engine.requests.quickSave = true; break;
    case Action::kExit:
      engine.requests.leaveReplay = true;
      return kWaitNothing;
    case Action::kAdvance:
    case Action::kNone: break;
  }
  const int request = ProcessRequests(script);
  if (request == kRequestPositionChanged) return kWaitLoaded;
  if (request == kRequestAdvance) return kWaitAdvance;
  return hoverResult;
}

// How a wait loop ended.
enum class WaitEnd { kAdvanced, kStopAtOnce, kLeave };

// A click in auto or skip mode ends the mode; when clicks cancel effects the key-wait icon
// starts again as in a new wait.
void TakeModeClick(CScript& script, bool page, bool* firstFrame) {
  if (!script.GetEngine().input.IsLatched(kInputAdvance)) return;
  if (!script.TakeClick()) return;
  ShowKeyWaitIcon(script, page);
  if (firstFrame != nullptr) *firstFrame = true;
}

WaitEnd RunWaitLoop(CScript& script, bool skippable, bool page, int& result) {
  Engine& engine = script.GetEngine();
  Platform& platform = script.GetPlatform();
  const Settings& settings = engine.settings;
  const std::uint32_t autoTimeout = static_cast<std::uint32_t>(settings.skip.wait) * 19 + 100;
  const std::uint32_t skipTimeout = static_cast<std::uint32_t>(settings.skip2.wait) * 4;
  std::uint32_t start = platform.Ticks();
  engine.waitingForInput = true;
  platform.WaitingForInput();
  bool firstFrame = true;
  for (;;) {
    if (script.WaitStep(false, true)) return WaitEnd::kStopAtOnce;
    if (engine.requests.leaveReplay) {
      engine.requests.leaveReplay = false;
      return WaitEnd::kLeave;
    }
    const bool shown = engine.message.windowShown;
    if (shown && skippable && engine.input.IsHeld(kInputSkip)) return WaitEnd::kAdvanced;
    if (!shown) {
      script.SetAutoMode(false);
      script.SetSkipMode(false);
    }
    const bool running = script.Host().IsRunningActive();
    if (engine.skipMode) {
      TakeModeClick(script, page, nullptr);
      if (platform.Ticks() - start >= skipTimeout && running) return WaitEnd::kAdvanced;
    }
    if (engine.autoMode && skippable) {
      TakeModeClick(script, page, &firstFrame);
      const bool voicePlaying =
          engine.channels != nullptr && (*engine.channels)[kVoiceChannel].IsPlaying();
      if (!settings.skip.voice && voicePlaying) start = platform.Ticks();
      if (platform.Ticks() - start > autoTimeout && running) return WaitEnd::kAdvanced;
    }
    result = HandleWaitInput(script, false);
    if (result == kWaitLoaded) return WaitEnd::kStopAtOnce;
    if (result == kWaitAdvance) {
      engine.input.ClearInput(0, true);
      return WaitEnd::kAdvanced;
    }
    if (result == kWaitRestarted) return WaitEnd::kAdvanced;
    script.Present();
    CDIBSprite& icon = engine.sprites->At(slots::kKeyWaitIcon);
    if (firstFrame || (result >= kWaitLoaded && result <= kWaitScreen)) {
      firstFrame = false;
    } else if (result != kWaitHover && engine.message.windowShown && !icon.IsShown()) {
      PlaceKeyWaitIcon(engine);
    }
    if (!page && settings.novel.novelPage) {
      result = kWaitAdvance;
      return WaitEnd::kAdvanced;
    }
  }
}

void FinishWait(CScript& script, bool page, int result) {
  Engine& engine = script.GetEngine();
  UpdateMenuState(script, false);
  if (!engine.settings.voice.next && engine.channels != nullptr) {
    (*engine.channels)[kVoiceChannel].StartFade(engine.settings.volume.voice, kVoiceFadeStep);
  }
  if (engine.autoMode || engine.skipMode) {
    ShowKeyWaitIcon(script, page);
  } else {
    engine.sprites->At(slots::kKeyWaitIcon).Show(false);
  }
  if (result != kWaitRestarted) script.Present();
}

// Effects that do not loop are forgotten with the message they belonged to, and so is the
// voice; a page wait ends the page.
void ForgetMessage(Engine& engine, bool page) {
  GameState& state = *engine.state;
  for (const int record : {0, 1}) {
    EffectSound& effect = state.effectSound[record];
    if (effect.loop == 0) GameState::CopyName(effect.name, "");
  }
  GameState::CopyName(state.pendingVoice, "");
  if (page) ClearPage(engine);
}

bool KeyWait(CScript& script, bool skippable, bool page) {
  script.ConsumeToken();
  return WaitForKey(script, skippable, page);
}

bool Ret(CScript& script) { return KeyWait(script, true, true); }
bool RetNoSkip(CScript& script) { return KeyWait(script, false, true); }
bool LineWait(CScript& script) { return KeyWait(script, true, false); }

}  // namespace

bool WaitForKey(CScript& script, bool skippable, bool page) {
  Engine& engine = script.GetEngine();
  GameState& state = *engine.state;
  if (state.flags[GameState::kRetWaitsOffFlag] == 0) return true;
  engine.readList.IsRead(script.ScriptPath(), state.messageNumber, true);
  if (!skippable) {
    StopFastForward(script);
    script.SetAutoMode(false);
    script.SetSkipMode(false);
  }
  AddPageToLog(script, false, "", true);
  int result = kWaitNothing;
  if (!script.IsFastForward()) {
    if (script.IsScenarioMode()) UpdateMenuState(script, true);
    SetupIconBar(script);
    ShowKeyWaitIcon(script, page);
    const WaitEnd end = RunWaitLoop(script, skippable, page, result);
    // The flag would otherwise leave the right button opening the menu after a wait that a
    // return to the title or a load cut short.
    engine.waitingForInput = false;
    if (end == WaitEnd::kLeave) return false;
    if (end == WaitEnd::kStopAtOnce) return true;
    FinishWait(script, page, result);
  }
  if (result != kWaitRestarted) ForgetMessage(engine, page);
  RemoveNameWindow(engine);
  return true;
}

int HandleWaitInput(CScript& script, bool inChoice) {
  Engine& engine = script.GetEngine();
  MessagePage& page = engine.message;
  if (!page.windowShown) return HandleHiddenWindow(script);
  SpriteTable& sprites = *engine.sprites;
  if (inChoice) sprites.At(slots::kIconBase + kIconNextChoice).Show(false);
  const int hovered = HoverIcons(script);
  int result = kWaitNothing;
  if (hovered != page.lastHoveredIcon) {
    EnterIcon(script, hovered);
    page.lastHoveredIcon = hovered;
    result = kWaitHover;
  }
  Drag(script);
  Action action = Action::kNone;
  InputState& input = engine.input;
  if (!page.dragging && input.IsLatched(kInputAdvance)) {
    if (hovered != 0) input.ClearInput(0, true);
    if (hovered == 0 || hovered == kIconAffectionAdvance) {
      page.lastHoveredIcon = kForgottenHover;
      return kWaitAdvance;
    }
    if (sprites.At(slots::kIconBase + hovered).GetFrame() == 1) action = IconAction(hovered);
  } else if (!page.dragging) {
    action = LatchedKeyAction(script);
    if (action == Action::kAdvance) return kWaitAdvance;
  }
  if (inChoice && action == Action::kNextChoice) {
    action = Action::kNone;
    script.SetFastForward(false);
  }
  if (engine.requests.hideWindow && (action == Action::kNone || action > Action::kHide)) {
    action = Action::kHide;
  }
  return RunAction(script, action, result);
}

void MoveWindow(Engine& engine, int dx, int dy) {
  GameState& state = *engine.state;
  const WindowLayout layout = CurrentLayout(state);
  if (dx < -9999) dx = -layout.x;
  if (dy < -9999) dy = kStandardWindowY - layout.y;
  auto move = [&](int slot) {
    CDIBSprite& sprite = engine.sprites->At(slot);
    if (sprite.GetSurface() != nullptr) sprite.SetPosition(sprite.GetX() + dx, sprite.GetY() + dy);
  };
  for (int slot = slots::kFirstWindowSlot; slot <= slots::kKeyWaitIcon; ++slot) move(slot);
  move(slots::kKeyWaitIcon);
  for (WindowDefinition* window : {&state.messageWindow, &state.normalWindow}) {
    window->values[0] += dx;
    window->values[1] += dy;
  }
}

void ShowKeyWaitIcon(CScript& script, bool page) {
  Engine& engine = script.GetEngine();
  CDIBSprite& icon = engine.sprites->At(slots::kKeyWaitIcon);
  if ((engine.autoMode || engine.skipMode) && !icon.IsShown()) {
    if (icon.Load(engine.autoMode ? "cg\\_RetAuto.psd" : "cg\\_RetSkip.psd")) {
      icon.SetPosition(kKeyWaitIconX, kKeyWaitIconY);
    }
    return;
  }
  if (!icon.Load(page ? "cg\\_RetPage.psd" : "cg\\_Ret.psd")) return;
  icon.SetInterval(kKeyWaitIconInterval);
  icon.SetPosition(kKeyWaitIconX, kKeyWaitIconY);
  icon.Show(false);
}

// The end of the text is kept in text-surface pixels; the icon goes there on the screen.
void PlaceKeyWaitIcon(Engine& engine) {
  CDIBSprite& icon = engine.sprites->At(slots::kKeyWaitIcon);
  const int where = engine.settings.message.retPosi;
  if (where == 0 || (where == 1 && InPageMode(engine))) {
    const WindowLayout layout = CurrentLayout(*engine.state);
    icon.SetPosition(layout.x + engine.message.cursorX, layout.y + engine.message.cursorY);
  } else if (where == 1) {
    icon.SetPosition(kKeyWaitIconX, kKeyWaitIconY);
  }
  icon.Show(true);
}

void StopFastForward(CScript& script) {
  if (!script.IsFastForward()) return;
  Engine& engine = script.GetEngine();
  script.SetFastForward(false);
  if (engine.sprites == nullptr) return;
  engine.sprites->At(slots::kIndicator).Release();
  script.SetAutoMode(false);
  script.SetSkipMode(false);
  RebuildLayers(script);
  RestoreRecordedSounds(script);
  FadePageDim(script, false);
  if (engine.message.hasPageBuffer) RedrawPage(script);
  ReapplyParticles(engine);
}

void ReapplyParticles(Engine& engine) {
  if (engine.sprites == nullptr) return;
  for (const int flag : {GameState::kParticleFlagA, GameState::kParticleFlagB}) {
    const int setting = engine.state->flags[flag];
    if (setting == 0) continue;
    engine.sprites->At(SlotOfLayer(setting >> 4)).SetParticles(setting & 15);
  }
}

void RegisterKeyWaitStatements(CScript& script) {
  script.SetStatementHandler("ret", Ret);
  script.SetStatementHandler("ret_noskip", RetNoSkip);
  script.SetStatementHandler("key", LineWait);
  script.SetFastForwardStop(StopFastForward);
}

}  // namespace halcyra

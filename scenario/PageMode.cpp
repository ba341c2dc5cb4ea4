#include "scenario/PageMode.h"

#include "scenario/MessageWindow.h"
#include "script/CScript.h"
#include "script/Engine.h"
#include "script/ScriptHost.h"

namespace halcyra {
namespace {

constexpr int kMaxFadeSteps = 255;

bool InPageMode(const Engine& engine) {
  return engine.state->flags[GameState::kPageModeFlag] != 0;
}

bool FadeCancelled(CScript& script) {
  InputState& input = script.GetEngine().input;
  if (input.IsLatched(kInputAdvance)) {
    input.ClearLatched(kInputAdvance);
    return true;
  }
  return input.IsHeld(kInputSkip) || script.GetEngine().skipMode;
}

// Moves the dim level toward target a step a frame, never past it, then sets it.
void FadeTo(CScript& script, int target) {
  Engine& engine = script.GetEngine();
  std::uint8_t& level = engine.state->flags[GameState::kPageDimFlag];
  if (script.IsFastForward() || level == target) return;
  const int step = (engine.settings.novel.novelSpd + 1) * 4;
  for (int k = 0; k < kMaxFadeSteps; ++k) {
    const int next = level < target ? level + step : level - step;
    if (level < target ? next >= target : next <= target) break;
    level = static_cast<std::uint8_t>(next);
    script.Poll();
    if (script.IsClosing() || script.Host().TitleRequested()) return;
    if (FadeCancelled(script)) break;
    script.Present();
  }
  level = static_cast<std::uint8_t>(target);
  script.Present();
}

}  // namespace

bool PageModeOn(CScript& script) {
  script.ConsumeToken();
  SetPageMode(script, true);
  return true;
}

bool PageModeOff(CScript& script) {
  script.ConsumeToken();
  SetPageMode(script, false);
  return true;
}

void SetPageMode(CScript& script, bool on) {
  Engine& engine = script.GetEngine();
  engine.state->flags[GameState::kPageModeFlag] = on ? 1 : 0;
  SelectWindowLayout(*engine.state);
  if (engine.sprites != nullptr) engine.sprites->At(message_slots::kBackground).Show(!on);
}

void FadePageDim(CScript& script, bool forEffect) {
  Engine& engine = script.GetEngine();
  const Settings::Novel& novel = engine.settings.novel;
  CDIBSprite* text =
      engine.sprites != nullptr ? &engine.sprites->At(message_slots::kTextSurface) : nullptr;
  if (!forEffect) {
    if (text != nullptr) text->Show(true);
    FadeTo(script, InPageMode(engine) ? 255 - novel.novelRate : 0);
    return;
  }
  if (InPageMode(engine)) {
    if (!novel.novelMoji && text != nullptr) text->Show(false);
    if (!novel.novelDisp) return;
  }
  FadeTo(script, 0);
}

void FadePageDimForEffect(CScript& script) { FadePageDim(script, true); }

}  // namespace halcyra

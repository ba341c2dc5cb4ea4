#include "scenario/ScreenEffects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/InputState.h"
#include "graphics/CDIB.h"
#include "graphics/SpriteTable.h"
#include "scenario/DateDisplay.h"
#include "scenario/EffectLayer.h"
#include "scenario/EffectSupport.h"
#include "scenario/RuleWipe.h"
#include "scenario/ZoomRotate.h"
#include "script/CScript.h"
#include "script/Engine.h"

namespace halcyra {
namespace {

constexpr int kScrollStep = 5;   // pixels per frame
constexpr int kShakeFrames = 20;  // frames of `shake`
constexpr char kScrollDown[] = "SCROLL_DOWN";

// ---------------------------------------------------------------------------------------------
// scroll (position, word): "UP" and "SCROLL_UP" move the layer's picture down until its top edge
// is at the top of the screen; "SCROLL_DOWN" moves it up until its bottom edge is at the bottom
// of the screen (a picture no taller than the screen stops at y = 0). 5 pixels per frame; a
// picture already there or beyond goes there at once. The layer record is not changed.

bool Scroll(CScript& script) {
  script.ConsumeToken();
  const int position = script.EvaluateParameter();
  const std::string word = ReadWord(script);
  const bool down = word == kScrollDown;
  if (!down && word != "UP" && word != "SCROLL_UP") return script.ParamError(word);
  CDIBSprite& sprite = LayerSprite(script, position);
  if (sprite.GetSurface() == nullptr) return true;
  const int target = down ? std::min(0, CDIB::kHeight - sprite.GetHeight()) : 0;
  const int x = sprite.GetX();
  if (script.IsFastForward()) return sprite.SetPosition(x, target);
  const int step = down ? -kScrollStep : kScrollStep;
  int y = sprite.GetY();
  for (;;) {
    const FrameStep frame = PollEffect(script);
    if (frame == FrameStep::kClosing) return false;
    y += step;
    const bool arrived = frame == FrameStep::kStop || (down ? y <= target : y >= target);
    sprite.SetPosition(x, arrived ? target : y);
    script.Present();
    if (arrived) return true;
  }
}

// ---------------------------------------------------------------------------------------------
// Shakes: the scene slots 0..28 drawn moved by the display's shake offsets, one frame presented
// through the display for each setting; at the end both offsets are 0 and one frame is shown.

void ShowShaken(CDIB& display, int x, int y) {
  display.SetShakeX(x);
  display.SetShakeY(y);
  display.DrawFrame(true, true, false);
}

bool EndShake(CScript& script, FrameStep last) {
  ShowShaken(*script.GetEngine().display, 0, 0);
  return last != FrameStep::kClosing;
}

// shake ("SHAKE_1" or "SHAKE_2"): 20 frames of vertical offsets -a², +a², -a², ... with
// a = n / 2 or n / 4 for n = 20 down to 1.
bool Shake(CScript& script) {
  script.ConsumeToken();
  const std::string word = ReadWord(script);
  int divisor = 0;
  if (word == "SHAKE_1") {
    divisor = 2;
  } else if (word == "SHAKE_2") {
    divisor = 4;
  } else {
    return script.ParamError(word);
  }
  if (script.IsFastForward()) return true;
  CDIB& display = *script.GetEngine().display;
  FrameStep frame = FrameStep::kGoOn;
  for (int n = kShakeFrames; n >= 1; --n) {
    frame = PollEffect(script);
    if (frame != FrameStep::kGoOn) break;
    const int a = n / divisor;
    const bool upward = (kShakeFrames - n) % 2 == 0;
    ShowShaken(display, 0, upward ? -a * a : a * a);
  }
  return EndShake(script, frame);
}

struct Offsets {
  int x = 0;
  int y = 0;
};

// Phase p of a four-way shake moves the scene up, left, down, right by p mod 4.
Offsets PhaseOffsets(int phase, int amplitudeX, int amplitudeY) {
  switch (phase % 4) {
    case 0: return {0, -amplitudeY};
    case 1: return {-amplitudeX, 0};
    case 2: return {0, amplitudeY};
    default: return {amplitudeX, 0};
  }
}

// The divisor of a decaying axis: count / √amplitude, truncated, at least 1 (a negative
// amplitude counts as its size).
int DecayDivisor(int count, int amplitude) {
  if (amplitude == 0) return 1;
  const double root = std::sqrt(static_cast<double>(std::abs(amplitude)));
  return std::max(1, static_cast<int>(static_cast<double>(count) / root));
}

// The decayed amplitude with n phases left: (n / divisor)², 0 for an axis that does not shake.
int DecayedAmplitude(int amplitude, int n, int divisor) {
  const int a = n / divisor;
  return amplitude == 0 ? 0 : a * a;
}

// shake2 and shake3 (count, hold, x, y): count phases of hold frames each (hold at least 1).
// shake2's amplitudes shrink quadratically from about the given ones, shake3's stay.
bool FourWayShake(CScript& script, bool decaying) {
  script.ConsumeToken();
  const int count = script.EvaluateParameter();
  const int hold = std::max(1, script.EvaluateParameter());
  const int x = script.EvaluateParameter();
  const int y = script.EvaluateParameter();
  if (script.IsFastForward()) return true;
  const int divisorX = DecayDivisor(count, x);
  const int divisorY = DecayDivisor(count, y);
  CDIB& display = *script.GetEngine().display;
  FrameStep frame = FrameStep::kGoOn;
  for (int phase = 0; phase < count && frame == FrameStep::kGoOn; ++phase) {
    const int n = count - phase;
    const int amplitudeX = decaying ? DecayedAmplitude(x, n, divisorX) : x;
    const int amplitudeY = decaying ? DecayedAmplitude(y, n, divisorY) : y;
    const Offsets offsets = PhaseOffsets(phase, amplitudeX, amplitudeY);
    for (int i = 0; i < hold; ++i) {
      frame = PollEffect(script);
      if (frame != FrameStep::kGoOn) break;
      ShowShaken(display, offsets.x, offsets.y);
    }
  }
  return EndShake(script, frame);
}

// ---------------------------------------------------------------------------------------------
// Flashes on the overlay slot 298.

// flash (r, g, b): all 0 or more covers the screen with the colour (channels above 255 count as
// 255) from the next frame on; any negative value removes the cover. No frame is presented.
bool ColourFlash(CScript& script) {
  script.ConsumeToken();
  const int red = script.EvaluateParameter();
  const int green = script.EvaluateParameter();
  const int blue = script.EvaluateParameter();
  if (script.IsFastForward()) return true;
  CDIBSprite& overlay = script.GetEngine().sprites->At(kOverlaySlot);
  if (red < 0 || green < 0 || blue < 0) {
    overlay.Release();
    return true;
  }
  const auto channel = [](int value, int shift) {
    return static_cast<std::uint32_t>(std::min(value, 255)) << shift;
  };
  FillScreenPicture(overlay, channel(red, 16) | channel(green, 8) | channel(blue, 0));
  return true;
}

// flash1, flash2, flash3: 1, 3 or 5 timed waits (texts as `wait` takes them), white during the
// first, third and fifth, the cover at opacity 0 during the others; then the cover is removed.
bool WhiteFlashes(CScript& script, int flashes) {
  script.ConsumeToken();
  const int waits = 2 * flashes - 1;
  char times[5][CScript::kParameterCapacity];
  for (int i = 0; i < waits; ++i) script.ReadParameter(times[i]);
  if (script.IsFastForward()) return true;
  CDIBSprite& overlay = script.GetEngine().sprites->At(kOverlaySlot);
  FillScreenPicture(overlay, kWhite);
  for (int i = 0; i < waits; ++i) {
    overlay.SetOpacity(i % 2 == 0 ? 255 : 0);
    if (!script.WaitFor(times[i])) return false;
  }
  overlay.Release();
  return true;
}

// ---------------------------------------------------------------------------------------------
// fade_all_out, fade_all_in (kinds 0, 1) fade the screen to or from black on the overlay;
// fade_all_white_out and fade_all_white_in (kinds 2, 3) do the same with white. Ctrl or any
// click ends the fade (the click is consumed). All four then present one frame at the end level
// and remove the overlay.

bool FadeAll(CScript& script, int kind) {
  script.ConsumeToken();
  if (script.IsClosing() || script.IsFastForward()) return true;
  Engine& engine = script.GetEngine();
  CDIBSprite& overlay = engine.sprites->At(kOverlaySlot);
  const bool out = kind == 0 || kind == 2;
  FillScreenPicture(overlay, kind < 2 ? kBlack : kWhite);
  for (int level = out ? 0 : 255; out ? level < 255 : level > 0;
       level += out ? TableStep(script) : -TableStep(script)) {
    overlay.SetOpacity(level);
    if (!script.Poll()) return false;
    script.Present();
    if (IsCtrlHeld(script)) break;
    if (engine.input.IsLatched(kInputAdvance)) {
      engine.input.ClearInput(0, true);
      break;
    }
  }
  overlay.SetOpacity(out ? 255 : 0);
  script.Present();
  overlay.Release();
  return true;
}

// ---------------------------------------------------------------------------------------------
// mono (slot, "SET" or "RESET"): grey drawing of a raw sprite slot on or off. A slot outside
// the table is reported and passed over.

bool Mono(CScript& script) {
  script.ConsumeToken();
  const int slot = script.EvaluateParameter();
  const std::string word = ReadWord(script);
  if (word != "SET" && word != "RESET") return script.ParamError(word);
  if (slot < 0 || slot >= SpriteTable::kCount) {
    script.ParamError(std::to_string(slot));
    return true;
  }
  if (script.IsFastForward()) return true;
  script.GetEngine().sprites->At(slot).SetMono(word == "SET");
  return true;
}

// ---------------------------------------------------------------------------------------------
// mosaic (n, word): the mosaic level of slot 0 (n = 0) or 2n + 10, one level per frame by the
// table step. An unknown word or a slot outside the table is reported and passed over.

// Runs levels from start while keepGoing(level), one per frame; kStop when cancelled.
template <typename KeepGoing>
FrameStep RunMosaic(CScript& script, CDIBSprite& sprite, int start, int direction,
                    KeepGoing keepGoing) {
  for (int level = start; keepGoing(level); level += direction * TableStep(script)) {
    const FrameStep frame = PollEffect(script);
    if (frame != FrameStep::kGoOn) return frame;
    sprite.SetMosaic(level);
    script.Present();
  }
  return FrameStep::kGoOn;
}

bool Mosaic(CScript& script) {
  script.ConsumeToken();
  const int n = script.EvaluateParameter();
  const std::string word = ReadWord(script);
  const bool outIn = word == "MOSAIC_OUTIN";
  const bool out = word == "MOSAIC_OUT";
  const bool in = word == "MOSAIC_IN";
  const int slot = n == 0 ? 0 : 2 * n + 10;
  if (!outIn && !out && !in) {
    script.ParamError(word);
    return true;
  }
  if (slot < 0 || slot >= SpriteTable::kCount) {
    script.ParamError(std::to_string(n));
    return true;
  }
  if (script.IsFastForward()) return true;
  CDIBSprite& sprite = script.GetEngine().sprites->At(slot);
  FrameStep frame = FrameStep::kGoOn;
  if (outIn) {
    frame = RunMosaic(script, sprite, 0, 1, [](int level) { return level < 255; });
    if (frame == FrameStep::kGoOn) {
      frame = RunMosaic(script, sprite, 255, -1, [](int level) { return level > 0; });
    }
  } else if (out) {
    frame = RunMosaic(script, sprite, 0, 1, [](int level) { return level < 256; });
  } else {
    frame = RunMosaic(script, sprite, 255, -1, [](int level) { return level >= 0; });
  }
  if (frame == FrameStep::kClosing) return false;
  sprite.SetMosaic(out ? 255 : 0);
  script.Present();
  return true;
}

// ---------------------------------------------------------------------------------------------
// bg_effect_on, bg_effect_off, bg_effect (value): the background-effect flag of the scenario
// record becomes 1, 0 or the value (its low byte). It is a record, so it changes in
// fast-forward mode too.

bool BackgroundEffect(CScript& script, bool readValue, int fixedValue) {
  script.ConsumeToken();
  const int value = readValue ? script.EvaluateParameter() : fixedValue;
  script.GetEngine().state->flags[GameState::kBackgroundEffectFlag] =
      static_cast<std::uint8_t>(value);
  return true;
}

void RegisterFamily(CScript& script) {
  script.SetStatementHandler("scroll", Scroll);
  script.SetStatementHandler("shake", Shake);
  script.SetStatementHandler("shake2", [](CScript& s) { return FourWayShake(s, true); });
  script.SetStatementHandler("shake3", [](CScript& s) { return FourWayShake(s, false); });
  script.SetStatementHandler("flash", ColourFlash);
  script.SetStatementHandler("flash1", [](CScript& s) { return WhiteFlashes(s, 1); });
  script.SetStatementHandler("flash2", [](CScript& s) { return WhiteFlashes(s, 2); });
  script.SetStatementHandler("flash3", [](CScript& s) { return WhiteFlashes(s, 3); });
  script.SetStatementHandler("fade_all_out", [](CScript& s) { return FadeAll(s, 0); });
  script.SetStatementHandler("fade_all_in", [](CScript& s) { return FadeAll(s, 1); });
  script.SetStatementHandler("fade_all_white_out", [](CScript& s) { return FadeAll(s, 2); });
  script.SetStatementHandler("fade_all_white_in", [](CScript& s) { return FadeAll(s, 3); });
  script.SetStatementHandler("mono", Mono);
  script.SetStatementHandler("mosaic", Mosaic);
  script.SetStatementHandler("bg_effect_on",
                             [](CScript& s) { return BackgroundEffect(s, false, 1); });
  script.SetStatementHandler("bg_effect_off",
                             [](CScript& s) { return BackgroundEffect(s, false, 0); });
  script.SetStatementHandler("bg_effect", [](CScript& s) { return BackgroundEffect(s, true, 0); });
}

}  // namespace

void RegisterScreenEffectStatements(CScript& script) {
  RegisterFamily(script);
  RegisterZoomRotateStatements(script);
  RegisterDateDisplayStatements(script);
  RegisterEffectLayerStatements(script);
  RegisterRuleWipeStatements(script);
}

}  // namespace halcyra

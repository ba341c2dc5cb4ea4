#include "scenario/LayerMotion.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "graphics/SpriteTable.h"
#include "scenario/LayerModel.h"
#include "scenario/LayerTransitions.h"
#include "scenario/SoundCommands.h"
#include "scenario/TintTable.h"
#include "script/CScript.h"
#include "script/Engine.h"
#include "script/Expression.h"

namespace halcyra {
namespace {

constexpr int kFullLevel = 255;
constexpr int kScrollX = -100;
constexpr std::int64_t kFixedOne = 65536;
constexpr int kMinInterval = 1;
constexpr int kMaxInterval = 127;
constexpr char kLoop[] = "LOOP";
constexpr char kNoLoop[] = "NOLOOP";
constexpr char kLoopNone[] = "LOOP_NONE";
constexpr char kLoopStop[] = "LOOP_STOP";

// The layer a statement names: its sprite slot and its record (kNoRecord for layer 8).
struct Layer {
  int slot = 0;
  int record = kNoRecord;
};

Layer ReadLayer(CScript& script) {
  const int slot = SlotOfLayer(LayerOfPosition(script.EvaluateParameter()));
  return {slot, RecordOfSlot(slot)};
}

CDIBSprite& SpriteOf(CScript& script, const Layer& layer) {
  return script.GetEngine().sprites->At(layer.slot);
}

GameState& State(CScript& script) { return *script.GetEngine().state; }

std::string ReadWord(CScript& script) {
  char parameter[CScript::kParameterCapacity] = "";
  script.ReadParameter(parameter);
  return parameter;
}

// A decimal number of pixels per frame ("-1.5") as 16.16 fixed point, truncated.
std::int32_t ReadFixed(CScript& script) {
  const std::string text = ReadWord(script);
  const bool negative = text.starts_with('-');
  const std::int64_t magnitude =
      DecimalSeconds(std::string_view(text).substr(negative ? 1 : 0), kFixedOne);
  const std::int64_t value = std::min<std::int64_t>(magnitude, INT32_MAX);
  return static_cast<std::int32_t>(negative ? -value : value);
}

// The per-frame velocity from a pixel position to a target in frames (at least 1).
std::int32_t VelocityTo(int from, int to, int frames) {
  const std::int64_t velocity = (std::int64_t{to} - from) * kFixedOne / std::max(1, frames);
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(velocity, INT32_MIN, INT32_MAX));
}

bool ScrollingPicture(CScript& script) {
  script.ConsumeToken();
  std::string name = ReadWord(script);
  const int layer = LayerOfPosition(script.EvaluateParameter());
  const std::int32_t velocityX = ReadFixed(script);
  const std::int32_t velocityY = ReadFixed(script);
  const std::string mode = ReadWord(script);
  if (layer == kBackgroundLayer) LookUpTint(script, name, false);
  script.ExpandName(name);
  MarkPictureSeen(script, name);
  if (mode != kLoop && mode != kNoLoop) return script.ParamError(mode);
  const bool wrap = mode == kLoop;
  const int slot = SlotOfLayer(layer);
  const int record = RecordOfSlot(slot);
  if (record != kNoRecord) {
    GameState& state = State(script);
    GameState::CopyName(state.layerPicture[record], name);
    state.layerX[record] = kScrollX;
    state.layerY[record] = 0;
    state.layerBrightness[record] = kFullLevel;
    state.layerOpacity[record] = kFullLevel;
    state.layerWrap[record] = wrap ? 1 : 0;
    state.layerVelocityX[record] = velocityX;
    state.layerVelocityY[record] = velocityY;
  }
  if (script.IsFastForward()) return true;
  if (!ShowPicture(script, slot, name, kFadeSet, kScrollX, 0, velocityX, velocityY, wrap)) {
    return false;
  }
  CDIBSprite& sprite = script.GetEngine().sprites->At(slot);
  sprite.SetVelocity(velocityX, velocityY);
  sprite.SetWrap(wrap);
  return true;
}

bool Exchange(CScript& script) {
  script.ConsumeToken();
  const Layer first = ReadLayer(script);
  const Layer second = ReadLayer(script);
  script.GetEngine().sprites->Swap(first.slot, second.slot);
  return true;
}

bool AnimationLoop(CScript& script) {
  script.ConsumeToken();
  const Layer layer = ReadLayer(script);
  const int interval = script.EvaluateParameter();
  const std::string mode = ReadWord(script);
  CDIBSprite& sprite = SpriteOf(script, layer);
  if (mode == kLoop) {
    sprite.SetHoldLast(false);
  } else if (mode == kLoopNone) {
    sprite.SetHoldLast(true);
  } else if (mode == kLoopStop) {
    sprite.SetAnimating(true);
  } else {
    script.ParamError(mode);
  }
  sprite.SetInterval(std::clamp(interval, kMinInterval, kMaxInterval));
  return true;
}

bool AnimationWait(CScript& script) {
  script.ConsumeToken();
  const Layer layer = ReadLayer(script);
  if (script.IsFastForward()) return true;
  const CDIBSprite& sprite = SpriteOf(script, layer);
  while (!script.WaitStep(true, true) && !script.IsEffectCancelled() && !sprite.IsLastFrame()) {
  }
  return true;
}

bool Position(CScript& script) {
  script.ConsumeToken();
  const Layer layer = ReadLayer(script);
  const int x = script.EvaluateParameter();
  const int y = script.EvaluateParameter();
  if (layer.record != kNoRecord) {
    State(script).layerX[layer.record] = x;
    State(script).layerY[layer.record] = y;
  }
  SpriteOf(script, layer).SetPosition(x, y);
  return true;
}

// Letterbox bars in units of 8 rows; values outside a byte are held at its ends.
bool Mask(CScript& script) {
  script.ConsumeToken();
  const int top = script.EvaluateParameter() / CDIB::kMaskRowUnit;
  const int bottom = script.EvaluateParameter() / CDIB::kMaskRowUnit;
  GameState& state = State(script);
  state.flags[GameState::kTopMaskFlag] = static_cast<std::uint8_t>(std::clamp(top, 0, 255));
  state.flags[GameState::kBottomMaskFlag] = static_cast<std::uint8_t>(std::clamp(bottom, 0, 255));
  return true;
}

bool MoveVertically(CScript& script) {
  script.ConsumeToken();
  const Layer layer = ReadLayer(script);
  const int target = script.EvaluateParameter();
  const int step = script.EvaluateParameter();
  CDIBSprite& sprite = SpriteOf(script, layer);
  const int x = sprite.GetX();
  if (!script.IsFastForward() && step != 0) {
    int y = sprite.GetY();
    for (;;) {
      if (!script.Poll()) return true;
      if (script.IsEffectCancelled()) break;
      y += step;
      if (step > 0 ? y >= target : y <= target) break;
      sprite.SetPosition(x, y);
      script.Present();
    }
  }
  sprite.SetPosition(x, target);
  if (!script.IsFastForward()) script.Present();
  return true;
}

bool MoveTo(CScript& script) {
  script.ConsumeToken();
  const Layer layer = ReadLayer(script);
  const int targetX = script.EvaluateParameter();
  const int targetY = script.EvaluateParameter();
  const int frames = script.EvaluateParameter();
  if (layer.record != kNoRecord) {
    State(script).layerX[layer.record] = targetX;
    State(script).layerY[layer.record] = targetY;
  }
  CDIBSprite& sprite = SpriteOf(script, layer);
  if (script.IsFastForward()) {
    sprite.SetPosition(targetX, targetY);
    return true;
  }
  const std::int64_t velocityX = VelocityTo(sprite.GetX(), targetX, frames);
  const std::int64_t velocityY = VelocityTo(sprite.GetY(), targetY, frames);
  std::int64_t x = std::int64_t{sprite.GetX()} * kFixedOne;
  std::int64_t y = std::int64_t{sprite.GetY()} * kFixedOne;
  auto reached = [](std::int64_t velocity, std::int64_t at, int target) {
    const std::int64_t goal = std::int64_t{target} * kFixedOne;
    return velocity != 0 && (velocity > 0 ? at >= goal : at <= goal);
  };
  while (velocityX != 0 || velocityY != 0) {
    if (!script.Poll()) return true;
    if (script.IsEffectCancelled()) break;
    x += velocityX;
    if (reached(velocityX, x, targetX)) break;
    y += velocityY;
    if (reached(velocityY, y, targetY)) break;
    sprite.SetPosition(static_cast<int>(x >> 16), static_cast<int>(y >> 16));
    script.Present();
  }
  sprite.SetPosition(targetX, targetY);
  script.Present();
  return true;
}

// The level a started fade ends at: 255 rising, 0 falling, unchanged without a speed.
int FinalLevel(int speed, int current) { return speed > 0 ? kFullLevel : speed < 0 ? 0 : current; }

bool StartMove(CScript& script) {
  script.ConsumeToken();
  const Layer layer = ReadLayer(script);
  const int targetX = script.EvaluateParameter();
  const int targetY = script.EvaluateParameter();
  const int frames = script.EvaluateParameter();
  const int brightnessSpeed = script.EvaluateParameter();
  const int opacitySpeed = script.EvaluateParameter();
  if (layer.record != kNoRecord) {
    GameState& state = State(script);
    state.layerX[layer.record] = targetX;
    state.layerY[layer.record] = targetY;
    state.layerVelocityX[layer.record] = 0;
    state.layerVelocityY[layer.record] = 0;
    state.layerWrap[layer.record] = 0;
    state.layerBrightness[layer.record] =
        FinalLevel(brightnessSpeed, state.layerBrightness[layer.record]);
    state.layerOpacity[layer.record] = FinalLevel(opacitySpeed, state.layerOpacity[layer.record]);
  }
  CDIBSprite& sprite = SpriteOf(script, layer);
  if (script.IsFastForward()) {
    sprite.SetPosition(targetX, targetY);
    sprite.SetBrightness(FinalLevel(brightnessSpeed, sprite.GetBrightness()));
    sprite.SetOpacity(FinalLevel(opacitySpeed, sprite.GetOpacity()));
    return true;
  }
  sprite.SetTarget(static_cast<std::int16_t>(targetX), static_cast<std::int16_t>(targetY));
  sprite.SetBrightnessStep(brightnessSpeed);
  if (brightnessSpeed != 0) sprite.SetBrightness(brightnessSpeed > 0 ? 0 : kFullLevel);
  sprite.SetOpacityStep(opacitySpeed);
  if (opacitySpeed != 0) sprite.SetOpacity(opacitySpeed > 0 ? 0 : kFullLevel);
  sprite.SetVelocity(VelocityTo(sprite.GetX(), targetX, frames),
                     VelocityTo(sprite.GetY(), targetY, frames));
  return true;
}

bool IsMoving(const CDIBSprite& sprite) {
  return sprite.GetVelocityX() != 0 || sprite.GetVelocityY() != 0 ||
         sprite.GetBrightnessStep() != 0 || sprite.GetOpacityStep() != 0;
}

// Every recorded layer's automatic move or fade jumps to its end.
void FinishMoves(SpriteTable& sprites) {
  for (int layer = 0; layer < GameState::kLayerCount; ++layer) {
    CDIBSprite& sprite = sprites.At(SlotOfLayer(layer));
    if (sprite.GetWrap() || !IsMoving(sprite)) continue;
    sprite.SetOpacity(FinalLevel(sprite.GetOpacityStep(), sprite.GetOpacity()));
    sprite.SetBrightness(FinalLevel(sprite.GetBrightnessStep(), sprite.GetBrightness()));
    sprite.SetPosition(sprite.GetTargetX(), sprite.GetTargetY());
    sprite.SetVelocity(0, 0);
    sprite.SetOpacityStep(0);
    sprite.SetBrightnessStep(0);
  }
}

bool MoveWait(CScript& script) {
  script.ConsumeToken();
  const Layer layer = ReadLayer(script);
  if (script.IsFastForward()) return true;
  const CDIBSprite& sprite = SpriteOf(script, layer);
  while (script.Poll() && !script.IsEffectCancelled() && IsMoving(sprite)) script.Present();
  FinishMoves(*script.GetEngine().sprites);
  return true;
}

bool IgnoredLevel(CScript& script) {
  script.ConsumeToken();
  script.EvaluateParameter();
  return true;
}

bool SetBrightness(CScript& script) {
  script.ConsumeToken();
  const Layer layer = ReadLayer(script);
  const int value = script.EvaluateParameter();
  if (layer.record != kNoRecord) State(script).layerBrightness[layer.record] = value;
  SpriteOf(script, layer).SetBrightness(value);
  return true;
}

bool SetOpacity(CScript& script) {
  script.ConsumeToken();
  const Layer layer = ReadLayer(script);
  const int value = script.EvaluateParameter();
  if (layer.record != kNoRecord) State(script).layerOpacity[layer.record] = value;
  if (!script.IsFastForward()) SpriteOf(script, layer).SetOpacity(value);
  return true;
}

// Opacity toward a value by a step a frame; not cut short by the player. A step of 0 sets the
// value at once.
bool FadeOpacity(CScript& script) {
  script.ConsumeToken();
  const Layer layer = ReadLayer(script);
  const int target = script.EvaluateParameter();
  const int step = script.EvaluateParameter();
  if (layer.record != kNoRecord) State(script).layerOpacity[layer.record] = target;
  if (script.IsFastForward()) return true;
  CDIBSprite& sprite = SpriteOf(script, layer);
  std::int64_t opacity = sprite.GetOpacity();
  const std::int64_t signedStep = target >= opacity ? std::abs(std::int64_t{step}) : -std::abs(std::int64_t{step});
  for (;;) {
    if (!script.Poll()) return false;
    opacity += signedStep;
    if (signedStep == 0 || (signedStep > 0 ? opacity >= target : opacity <= target)) break;
    sprite.SetOpacity(static_cast<int>(opacity));
    script.Present();
  }
  sprite.SetOpacity(target);
  script.Present();
  return true;
}

struct Registration {
  const char* word;
  CScript::StatementHandler handler;
};

const Registration kMotionStatements[] = {
    {"spx_", ScrollingPicture},   {"exchg", Exchange},         {"sp_loop", AnimationLoop},
    {"sp_wait", AnimationWait},   {"posi", Position},          {"mask", Mask},
    {"move_yposi", MoveVertically}, {"move_xyposi", MoveTo},   {"move_xyset", StartMove},
    {"move_xywait", MoveWait},    {"set_all_fade", IgnoredLevel}, {"set_fade", SetBrightness},
    {"set_alpha", SetOpacity},    {"set_alpha2", FadeOpacity},
};

}  // namespace

void RegisterLayerMotionStatements(CScript& script) {
  for (const Registration& entry : kMotionStatements) script.SetStatementHandler(entry.word, entry.handler);
}

}  // namespace halcyra

#include "scenario/ZoomRotate.h"

#include <string>

#include "graphics/CDIB.h"
#include "graphics/CDIBSprite.h"
#include "scenario/EffectSupport.h"
#include "script/CScript.h"
#include "script/Engine.h"

namespace halcyra {
namespace {

constexpr int kNoMode = -1;
constexpr float kFullTurn = 360.0f;

// The mode a word names, the same number as anchor and as rotation centre; kNoMode (reported)
// for any other word.
int ReadModeWord(CScript& script) {
  const std::string word = ReadWord(script);
  if (word == "DISPLAY_CENTER") return CDIBSprite::kRotateAboutScreenCentre;
  if (word == "OBJECT_UNDER") return CDIBSprite::kRotateAboutBottomCentre;
  if (word == "OBJECT_CENTER") return CDIBSprite::kRotateAboutCentre;
  script.ParamError(word);
  return kNoMode;
}

// Moves value by step; a step that reaches or passes target leaves value on it and becomes 0.
void StepToward(float& value, float& step, float target) {
  value += step;
  if ((step > 0.0f && value >= target) || (step < 0.0f && value <= target)) {
    value = target;
    step = 0.0f;
  }
}

// Shows frames while the sprite is shown and busy() says it still moves, until cancelled
// without click; false when the window closes.
template <typename Busy>
bool WaitWhileMoving(CScript& script, const CDIBSprite& sprite, Busy busy) {
  while (sprite.IsShown() && busy()) {
    const FrameStep frame = PollEffectWithoutClick(script);
    if (frame == FrameStep::kClosing) return false;
    if (frame == FrameStep::kStop) return true;
    script.Present();
  }
  return true;
}

// zoom ("ZOOM_OUT" or "ZOOM_IN"): the screen zoom level from 0 up to 255 or from 255 down to 0
// by the table step. The software window only copies the back buffer anew for each level.
bool ScreenZoom(CScript& script) {
  script.ConsumeToken();
  const std::string word = ReadWord(script);
  const bool out = word == "ZOOM_OUT";
  if (!out && word != "ZOOM_IN") return script.ParamError(word);
  if (script.IsFastForward()) return true;
  CDIB& display = *script.GetEngine().display;
  const bool accelerated = display.UseDirect3D();
  bool first = true;
  for (int level = out ? 0 : 255; out ? level < 255 : level > 0;
       level += out ? TableStep(script) : -TableStep(script)) {
    display.SetZoom(level);
    if (!script.Poll()) return false;
    if (first || accelerated) {
      script.Present();
    } else {
      display.RepaintWindow();
    }
    first = false;
    if (script.IsEffectCancelled()) break;
  }
  display.SetZoom(out ? 255 : 0);
  if (accelerated) return script.Present();
  return display.RepaintWindow();
}

// zoom2 (position, sx, sy, frames): scales the layer's sprite about its bottom centre to
// (sx, sy), at once (no frame) for 0 frames or in equal steps over frames frames, then presents
// the exact scale. Negative frames do nothing.
bool ZoomLayer(CScript& script) {
  script.ConsumeToken();
  const int position = script.EvaluateParameter();
  const float targetX = ReadDecimal(script);
  const float targetY = ReadDecimal(script);
  const int frames = script.EvaluateParameter();
  if (script.IsFastForward() || frames < 0) return true;
  CDIBSprite& sprite = LayerSprite(script, position);
  sprite.SetAnchor(CDIBSprite::kAnchorBottomCentre);
  if (frames == 0) {
    sprite.SetScale(targetX, targetY);
    return true;
  }
  float x = sprite.GetScaleX();
  float y = sprite.GetScaleY();
  float stepX = (targetX - x) / static_cast<float>(frames);
  float stepY = (targetY - y) / static_cast<float>(frames);
  for (int i = 0; i < frames; ++i) {
    const FrameStep frame = PollEffectWithoutClick(script);
    if (frame == FrameStep::kClosing) return false;
    if (frame == FrameStep::kStop) break;
    script.Present();
    StepToward(x, stepX, targetX);
    StepToward(y, stepY, targetY);
    sprite.SetScale(x, y);
  }
  sprite.SetScale(targetX, targetY);
  return script.Present();
}

// zoom_set (position, sx, sy, frames, anchor): sets the anchor, then the scale at once (0
// frames) or starts the sprite scaling toward it by equal steps on each drawn frame. Returns at
// once; an unknown anchor word is reported and leaves the anchor.
bool StartZoom(CScript& script) {
  script.ConsumeToken();
  const int position = script.EvaluateParameter();
  const float targetX = ReadDecimal(script);
  const float targetY = ReadDecimal(script);
  const int frames = script.EvaluateParameter();
  const int anchor = ReadModeWord(script);
  if (script.IsFastForward()) return true;
  CDIBSprite& sprite = LayerSprite(script, position);
  if (anchor != kNoMode) sprite.SetAnchor(anchor);
  if (frames == 0) sprite.SetScale(targetX, targetY);
  if (frames <= 0) return true;
  const float count = static_cast<float>(frames);
  sprite.SetTargetScale(targetX, targetY);
  sprite.SetScaleStep((targetX - sprite.GetScaleX()) / count,
                      (targetY - sprite.GetScaleY()) / count);
  return true;
}

// zoom_wait (position): frames until the layer's sprite stops scaling.
bool WaitZoom(CScript& script) {
  script.ConsumeToken();
  const int position = script.EvaluateParameter();
  if (script.IsFastForward()) return true;
  const CDIBSprite& sprite = LayerSprite(script, position);
  return WaitWhileMoving(script, sprite, [&] {
    return sprite.GetScaleStepX() != 0.0f || sprite.GetScaleStepY() != 0.0f;
  });
}

// rotate (position, angle, word): "ROTATE_SET" sets the angle without a frame; "ROTATE_MOVE"
// turns the sprite once round by the table step per frame and leaves it at 0. Any other word is
// reported and passed over.
bool Rotate(CScript& script) {
  script.ConsumeToken();
  const int position = script.EvaluateParameter();
  const float angle = ReadDecimal(script);
  const std::string word = ReadWord(script);
  const bool set = word == "ROTATE_SET";
  if (!set && word != "ROTATE_MOVE") {
    script.ParamError(word);
    return true;
  }
  if (script.IsFastForward()) return true;
  CDIBSprite& sprite = LayerSprite(script, position);
  if (set) {
    sprite.SetAngle(angle);
    return true;
  }
  for (int degrees = 0; static_cast<float>(degrees) < kFullTurn; degrees += TableStep(script)) {
    if (!script.Poll()) return false;
    script.Present();
    if (script.IsEffectCancelled()) break;
    sprite.SetAngle(static_cast<float>(degrees));
  }
  sprite.SetAngle(0.0f);
  return script.Present();
}

// rotate_set (position, angle, frames, centre): sets the rotation centre, then the angle at
// once (0 frames) or starts the sprite turning toward it by equal steps on each drawn frame.
bool StartRotation(CScript& script) {
  script.ConsumeToken();
  const int position = script.EvaluateParameter();
  const float angle = ReadDecimal(script);
  const int frames = script.EvaluateParameter();
  const int centre = ReadModeWord(script);
  if (script.IsFastForward()) return true;
  CDIBSprite& sprite = LayerSprite(script, position);
  if (centre != kNoMode) sprite.SetRotationCentre(centre);
  if (frames == 0) sprite.SetAngle(angle);
  if (frames <= 0) return true;
  sprite.SetTargetAngle(angle);
  sprite.SetAngleStep((angle - sprite.GetAngle()) / static_cast<float>(frames));
  return true;
}

// rotate_wait (position): frames until the layer's sprite stops turning.
bool WaitRotation(CScript& script) {
  script.ConsumeToken();
  const int position = script.EvaluateParameter();
  if (script.IsFastForward()) return true;
  const CDIBSprite& sprite = LayerSprite(script, position);
  return WaitWhileMoving(script, sprite, [&] { return sprite.GetAngleStep() != 0.0f; });
}

}  // namespace

void RegisterZoomRotateStatements(CScript& script) {
  script.SetStatementHandler("zoom", ScreenZoom);
  script.SetStatementHandler("zoom2", ZoomLayer);
  script.SetStatementHandler("zoom_set", StartZoom);
  script.SetStatementHandler("zoom_wait", WaitZoom);
  script.SetStatementHandler("rotate", Rotate);
  script.SetStatementHandler("rotate_set", StartRotation);
  script.SetStatementHandler("rotate_wait", WaitRotation);
}

}  // namespace halcyra

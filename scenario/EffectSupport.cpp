#include "scenario/EffectSupport.h"

#include <charconv>
#include <cstring>

#include "app/InputState.h"
#include "graphics/CDIB.h"
#include "graphics/SpriteTable.h"
#include "scenario/LayerModel.h"
#include "script/CScript.h"
#include "script/Engine.h"
#include "script/Expression.h"

namespace halcyra {

int TableStep(CScript& script) { return EffectStep(script.GetEngine().settings.effect.speed); }

bool IsCtrlHeld(CScript& script) { return script.GetEngine().input.IsHeld(kInputSkip); }

FrameStep PollEffect(CScript& script) {
  if (!script.Poll()) return FrameStep::kClosing;
  return script.IsEffectCancelled() ? FrameStep::kStop : FrameStep::kGoOn;
}

FrameStep PollEffectWithoutClick(CScript& script) {
  if (!script.Poll()) return FrameStep::kClosing;
  const Engine& engine = script.GetEngine();
  const bool cancelled = IsCtrlHeld(script) || engine.skipMode ||
                         (engine.autoMode && engine.settings.skip.effect);
  return cancelled ? FrameStep::kStop : FrameStep::kGoOn;
}

std::string ReadWord(CScript& script) {
  char word[CScript::kParameterCapacity];
  script.ReadParameter(word);
  return word;
}

float ReadDecimal(CScript& script) {
  char text[CScript::kParameterCapacity];
  script.ReadParameter(text);
  const char* end = text + std::strlen(text);
  if (std::strchr(text, '.') != nullptr) {
    float value = 0.0f;
    const auto [stop, error] = std::from_chars(text, end, value);
    if (error == std::errc() && stop == end) return value;
  }
  const std::int32_t value = Evaluate(text, *script.GetEngine().state, script);
  return value == kExpressionError ? 0.0f : static_cast<float>(value);
}

CDIBSprite& LayerSprite(CScript& script, int position) {
  return script.GetEngine().sprites->At(SlotOfLayer(LayerOfPosition(position)));
}

bool FillScreenPicture(CDIBSprite& sprite, std::uint32_t colour) {
  if (!sprite.CreateBox(CDIB::kWidth, CDIB::kHeight, 1, true, false)) return false;
  return sprite.GetSurface()->Fill(0xFF000000u | colour, 0);
}

}  // namespace halcyra

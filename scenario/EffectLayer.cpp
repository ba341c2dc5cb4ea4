#include "scenario/EffectLayer.h"

#include <array>

#include "app/InputState.h"
#include "graphics/CDIB.h"
#include "graphics/SpriteTable.h"
#include "scenario/EffectSupport.h"
#include "scenario/LayerModel.h"
#include "scenario/LayerTransitions.h"
#include "script/CScript.h"
#include "script/Engine.h"

namespace halcyra {
namespace {

// The slots the software snapshot draws, in this order.
constexpr int kSnapshotSlots[] = {0, 2, 4, 6, 10, 12, 14, 16};
constexpr int kRecordedLayers = 8;  // layers 0..7, the ones with records

struct SkyPart {
  int slot;
  const char* path;
  int y;
};
constexpr SkyPart kSkyParts[] = {{10, "cg\\BlueSky1.psd", 200},
                                 {12, "cg\\BlueSky2.psd", 272},
                                 {14, "cg\\BlueSky3.psd", 345}};
constexpr int kSkyPartCount = 3;
constexpr int kSkyOverlap = 45;  // frames before a part's end at which the next one appears

// The effect layer becomes an 800 x 600 picture of the scene layers as they are now.
void SnapshotScene(Engine& engine) {
  SpriteTable& sprites = *engine.sprites;
  CDIBSprite& layer = sprites.At(kEffectLayerSlot);
  const bool accelerated = engine.display->UseDirect3D();
  if (!layer.CreateBox(CDIB::kWidth, CDIB::kHeight, 1, true, accelerated)) return;
  if (accelerated) {
    layer.CaptureScene(sprites);
    return;
  }
  for (const int slot : kSnapshotSlots) sprites.At(slot).Draw(0, 0, false, layer.GetSurface());
}

// trans_sp4: clears the background-effect flag and every layer record's name (in fast-forward
// mode too, which stops there), freezes the scene into the effect layer unless Ctrl is held or
// skip mode is on, and empties the eight layers' sprites.
bool FreezeScene(CScript& script) {
  script.ConsumeToken();
  Engine& engine = script.GetEngine();
  GameState& state = *engine.state;
  state.flags[GameState::kBackgroundEffectFlag] = 0;
  for (auto& name : state.layerPicture) GameState::CopyName(name, "");
  if (script.IsFastForward()) return true;
  if (!IsCtrlHeld(script) && !engine.skipMode) SnapshotScene(engine);
  for (int layer = 0; layer < kRecordedLayers; ++layer) {
    engine.sprites->At(SlotOfLayer(layer)).Release();
  }
  return true;
}

// fade_sp4: the frozen scene fades out; it goes at once when nothing is to be drawn (fast-forward
// mode, the layer hidden, Ctrl held, skip mode).
bool FadeFrozenScene(CScript& script) {
  script.ConsumeToken();
  Engine& engine = script.GetEngine();
  CDIBSprite& layer = engine.sprites->At(kEffectLayerSlot);
  if (script.IsFastForward() || !layer.IsShown() || IsCtrlHeld(script) || engine.skipMode) {
    layer.Release();
    return true;
  }
  return RunTransition(script, kFadeOut, kEffectLayerSlot, kNoSlot, kNoSlot, kNoSlot, 1);
}

// One frame of the sky: a part that shows its last frame is hidden; the next part appears when
// the one before reaches its last 45 frames. True when the last part has ended.
bool AdvanceSky(SpriteTable& sprites, std::array<bool, kSkyPartCount>& started,
                std::array<bool, kSkyPartCount>& ended) {
  for (int i = 0; i < kSkyPartCount; ++i) {
    if (!started[i] || ended[i]) continue;
    CDIBSprite& sprite = sprites.At(kSkyParts[i].slot);
    const bool nextDue = sprite.GetFrame() >= sprite.GetFrameCount() - kSkyOverlap;
    if (i + 1 < kSkyPartCount && !started[i + 1] && nextDue) {
      started[i + 1] = true;
      sprites.At(kSkyParts[i + 1].slot).Show(true);
    }
    if (sprite.IsLastFrame()) {
      sprite.Show(false);
      ended[i] = true;
    }
  }
  return ended[kSkyPartCount - 1];
}

// blue_sky: the three sky pictures on slots 10, 12, 14, each played once, until the last has
// ended (all three stay loaded, hidden) or a click (they stay as they are). A missing picture
// is reported and nothing plays. The layer records are not changed.
bool BlueSky(CScript& script) {
  script.ConsumeToken();
  if (script.IsFastForward()) return true;
  for (const SkyPart& part : kSkyParts) {
    if (!script.CheckFile(part.path, false)) return true;
  }
  Engine& engine = script.GetEngine();
  SpriteTable& sprites = *engine.sprites;
  for (const SkyPart& part : kSkyParts) {
    CDIBSprite& sprite = sprites.At(part.slot);
    if (!sprite.Load(part.path)) return true;
    sprite.SetPosition(0, part.y);
    sprite.SetHoldLast(true);
    sprite.Show(part.slot == kSkyParts[0].slot);
  }
  std::array<bool, kSkyPartCount> started{true, false, false};
  std::array<bool, kSkyPartCount> ended{};
  while (!script.WaitStep(true, false)) {
    if (engine.input.IsLatched(kInputAdvance)) {
      engine.input.ClearInput(0, true);
      return true;
    }
    if (AdvanceSky(sprites, started, ended)) return true;
  }
  return true;
}

}  // namespace

void RegisterEffectLayerStatements(CScript& script) {
  script.SetStatementHandler("trans_sp4", FreezeScene);
  script.SetStatementHandler("fade_sp4", FadeFrozenScene);
  script.SetStatementHandler("blue_sky", BlueSky);
}

}  // namespace halcyra

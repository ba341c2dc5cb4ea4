#include "scenario/LayerCommands.h"

#include <strings.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/SpriteTable.h"
#include "scenario/LayerModel.h"
#include "scenario/LayerMotion.h"
#include "scenario/LayerTransitions.h"
#include "scenario/SoundCommands.h"
#include "scenario/TintTable.h"
#include "script/CScript.h"
#include "script/Engine.h"
#include "script/Expression.h"

namespace halcyra {
namespace {

constexpr int kBackgroundX = -100;
constexpr int kFullLevel = 255;
constexpr int kStandingSlots[] = {10, 12, 14};
constexpr int kOverlaySlots[] = {2, 4, 6};
constexpr int kFirstOverlayRecord = 5;

bool SameName(std::string_view a, std::string_view b) {
  return strcasecmp(std::string(a).c_str(), std::string(b).c_str()) == 0;
}

GameState& State(CScript& script) { return *script.GetEngine().state; }

std::string ReadName(CScript& script) {
  char parameter[CScript::kParameterCapacity] = "";
  script.ReadParameter(parameter);
  std::string name = parameter;
  script.ExpandName(name);
  return name;
}

std::string ReadWord(CScript& script) {
  char parameter[CScript::kParameterCapacity] = "";
  script.ReadParameter(parameter);
  return parameter;
}

// A scene change's first name may be "&F" and a flag number: the text kept in the flags from
// that flag on.
std::string ReadSceneName(CScript& script) {
  char parameter[CScript::kParameterCapacity] = "";
  script.ReadParameter(parameter);
  std::string name = parameter;
  if (name.starts_with("&F") && name.size() > 2 && name[2] >= '0' && name[2] <= '9') {
    const int flag = FlagNumber(name.substr(2));
    if (flag >= 0) {
      const auto* text = reinterpret_cast<const char*>(State(script).flags + flag);
      name.assign(text, strnlen(text, static_cast<std::size_t>(GameState::kFlagCount - flag)));
    }
  }
  script.ExpandName(name);
  return name;
}

int Preset(CScript& script, int flag) { return State(script).Flag16(flag); }

// A record given a picture as the drawn command would give it.
void SetRecord(CScript& script, int record, std::string_view name, int x, int y) {
  GameState& state = State(script);
  GameState::CopyName(state.layerPicture[record], name);
  state.layerX[record] = x;
  state.layerY[record] = y;
  state.layerBrightness[record] = kFullLevel;
  state.layerOpacity[record] = kFullLevel;
  state.layerVelocityX[record] = 0;
  state.layerVelocityY[record] = 0;
  state.layerWrap[record] = 0;
}

void ClearRecordName(CScript& script, int record) {
  GameState::CopyName(State(script).layerPicture[record], "");
}

// ---------------------------------------------------------------------------------------------
// Backgrounds and event pictures

struct ScenePicture {
  std::string name;
  int slot = 0;
  int x = 0;
};

// Scene change to a background with 0 to 3 standing sprites.
bool SceneChange(CScript& script, int count, std::string_view fixedKind) {
  script.ConsumeToken();
  const std::string background = ReadSceneName(script);
  std::vector<ScenePicture> sprites;
  const int left = Preset(script, GameState::kStandLeftXFlag);
  const int centre = Preset(script, GameState::kStandCentreXFlag);
  const int right = Preset(script, GameState::kStandRightXFlag);
  if (count == 2) sprites.push_back({ReadName(script), 10, centre});
  if (count == 3) {
    sprites.push_back({ReadName(script), 10, left});
    sprites.push_back({ReadName(script), 12, right});
  }
  if (count == 4) {
    sprites.push_back({ReadName(script), 10, Preset(script, GameState::kStandLeft3XFlag)});
    sprites.push_back({ReadName(script), 14, centre});
    sprites.push_back({ReadName(script), 12, Preset(script, GameState::kStandRight3XFlag)});
  }
  LookUpTint(script, background, false);
  std::string_view kind = fixedKind;
  GameState& state = State(script);
  if (script.IsFastForward()) {
    for (int record = 0; record < GameState::kLayerCount; ++record) {
      const bool overlayStays = kind == kFadeCross && record >= kFirstOverlayRecord;
      if (!overlayStays) ClearRecordName(script, record);
      state.layerX[record] = record >= 1 && record <= 4 ? 0 : kBackgroundX;
      state.layerY[record] = 0;
      state.layerBrightness[record] = kFullLevel;
      state.layerOpacity[record] = kFullLevel;
    }
    SetRecord(script, 0, background, kBackgroundX, 0);
    for (const ScenePicture& sprite : sprites) {
      SetRecord(script, RecordOfSlot(sprite.slot), sprite.name, sprite.x, 0);
    }
    return true;
  }
  if (SameName(background, state.layerPicture[0])) kind = kFadeNone;
  if (!ClearBeforeScene(script, true, kind)) return false;
  SpriteTable& table = *script.GetEngine().sprites;
  if (kind == kFadeNone) {
    for (int slot : {10, 12, 14, 2, 4, 6}) {
      table.At(slot).Release();
      ClearRecordName(script, RecordOfSlot(slot));
    }
  }
  if (count == 1) {
    if (kind != kFadeCross) {
      for (int slot : kOverlaySlots) {
        table.At(slot).Release();
        ClearRecordName(script, RecordOfSlot(slot));
      }
    }
    return ShowPicture(script, 0, background, kind, kBackgroundX, 0, 0, 0, false);
  }
  ShowPicture(script, 0, background, kFadeSet, kBackgroundX, 0, 0, 0, false);
  std::array<int, 3> slots{kNoSlot, kNoSlot, kNoSlot};
  for (std::size_t i = 0; i < sprites.size(); ++i) {
    ShowPicture(script, sprites[i].slot, sprites[i].name, kFadeSet, sprites[i].x, 0, 0, 0, false);
    slots[i] = kStandingSlots[i];
  }
  return RunTransition(script, kind, 0, slots[0], slots[1], slots[2], 1);
}

bool Background(CScript& script) {
  script.ConsumeToken();
  const std::string name = ReadName(script);
  const std::string kind = ReadWord(script);
  LookUpTint(script, name, false);
  if (script.IsFastForward()) {
    SetRecord(script, 0, name, kBackgroundX, 0);
    return true;
  }
  return ShowPicture(script, 0, name, kind, kBackgroundX, 0, 0, 0, false);
}

// `ev` (readKind) and the `ev1` family (fixed kind).
bool EventPicture(CScript& script, bool readKind, std::string_view fixedKind) {
  script.ConsumeToken();
  const std::string name = ReadName(script);
  const std::string kind = readKind ? ReadWord(script) : std::string(fixedKind);
  MarkPictureSeen(script, name);
  GameState& state = State(script);
  state.layerX[0] = 0;
  state.layerY[0] = 0;
  state.layerBrightness[0] = kFullLevel;
  state.layerOpacity[0] = kFullLevel;
  LookUpTint(script, name, true);
  if (script.IsFastForward()) {
    GameState::CopyName(state.layerPicture[0], name);
    if (kind == kFadeIn) {
      for (int record : {1, 2, 3, 5, 6, 7}) ClearRecordName(script, record);
    }
    return true;
  }
  if (!ClearBeforeScene(script, true, kind)) return false;
  return ShowPicture(script, 0, name, kind, 0, 0, 0, 0, false);
}

// ---------------------------------------------------------------------------------------------
// Standing sprites

// `sp`, `spl`, `spr`: one picture on the layer after the position's, at a preset.
bool SingleLayer(CScript& script, int presetFlag) {
  script.ConsumeToken();
  const int position = script.EvaluateParameter();
  const std::string name = ReadName(script);
  const std::string kind = ReadWord(script);
  const int slot = SlotOfLayer(LayerOfPosition(position + 1));
  const int x = Preset(script, presetFlag);
  MarkPictureSeen(script, name);
  if (!script.IsFastForward()) return ShowPicture(script, slot, name, kind, x, 0, 0, 0, false);
  const int record = RecordOfSlot(slot);
  if (record == kNoRecord) return true;
  if (kind == kFadeOut || kind == kScrollLeftOut || kind == kScrollRightOut) {
    ClearRecordName(script, record);
  } else {
    SetRecord(script, record, name, x, 0);
  }
  return true;
}

// `sp1`, `sp2`, `sp3` and their forms: one to three standing sprites at their presets.
bool SpriteSet(CScript& script, int count, std::string_view kind) {
  script.ConsumeToken();
  std::vector<SpriteChange> shown;
  const int centre = Preset(script, GameState::kStandCentreXFlag);
  if (count == 1) shown.push_back({10, ReadName(script), centre});
  if (count == 2) {
    shown.push_back({10, ReadName(script), Preset(script, GameState::kStandLeftXFlag)});
    shown.push_back({12, ReadName(script), Preset(script, GameState::kStandRightXFlag)});
  }
  if (count == 3) {
    shown.push_back({10, ReadName(script), Preset(script, GameState::kStandLeft3XFlag)});
    shown.push_back({14, ReadName(script), centre});
    shown.push_back({12, ReadName(script), Preset(script, GameState::kStandRight3XFlag)});
  }
  for (const SpriteChange& sprite : shown) MarkPictureSeen(script, sprite.name);
  auto usedChange = [&](int slot) -> const SpriteChange* {
    for (const SpriteChange& sprite : shown) {
      if (sprite.slot == slot) return &sprite;
    }
    return nullptr;
  };
  GameState& state = State(script);
  if (script.IsFastForward()) {
    for (int slot : kStandingSlots) {
      const SpriteChange* used = usedChange(slot);
      if (used != nullptr) {
        SetRecord(script, RecordOfSlot(slot), used->name, used->x, 0);
      } else {
        ClearRecordName(script, RecordOfSlot(slot));
      }
    }
    return true;
  }
  if (!ClearBeforeScene(script, false, kind)) return false;
  if (kind == kFadeCross) {
    std::vector<SpriteChange> changes;
    for (int slot : kStandingSlots) {
      const int record = RecordOfSlot(slot);
      const SpriteChange* used = usedChange(slot);
      if (used == nullptr) {
        changes.push_back({slot, "", 0});
      } else if (!SameName(used->name, state.layerPicture[record]) || used->x != state.layerX[record]) {
        changes.push_back(*used);
      }
    }
    return ChangeSprites(script, changes);
  }
  std::array<int, 3> slots{kNoSlot, kNoSlot, kNoSlot};
  for (std::size_t i = 0; i < shown.size(); ++i) {
    ShowPicture(script, shown[i].slot, shown[i].name, kFadeSet, shown[i].x, 0, 0, 0, false);
    slots[i] = shown[i].slot;
  }
  return RunTransition(script, kind, slots[0], slots[1], slots[2], kNoSlot, 1);
}

bool EffectLayerPicture(CScript& script) {
  script.ConsumeToken();
  const std::string name = ReadName(script);
  if (script.IsFastForward()) {
    for (int record : {1, 2, 3}) ClearRecordName(script, record);
    return true;
  }
  return ShowPicture(script, kEffectLayerSlot, name, kFadeSet, 0, 0, 0, 0, false);
}

// ---------------------------------------------------------------------------------------------
// Fades of the scene

// readKind: the kind is a parameter; wholeScene: the background and the standing sprites, else
// the standing sprites only.
bool SceneFade(CScript& script, bool readKind, std::string_view fixedKind, bool wholeScene,
               int divisor) {
  script.ConsumeToken();
  const std::string kind = readKind ? ReadWord(script) : std::string(fixedKind);
  if (script.IsFastForward()) {
    if (kind != kFadeOut) return true;
    if (wholeScene) State(script).flags[GameState::kBackgroundEffectFlag] = 0;
  }
  if (wholeScene) return RunTransition(script, kind, 0, 10, 12, 14, divisor);
  return RunTransition(script, kind, 10, 12, 14, kNoSlot, divisor);
}

// ---------------------------------------------------------------------------------------------
// Colours for standing sprites

std::array<std::int8_t, 3> ReadColour(CScript& script) {
  std::array<std::int8_t, 3> colour{};
  for (std::int8_t& channel : colour) channel = static_cast<std::int8_t>(script.EvaluateParameter());
  return colour;
}

bool SetHsv(CScript& script) {
  script.ConsumeToken();
  const std::int32_t hue = script.EvaluateParameter();
  const std::int32_t saturation = script.EvaluateParameter();
  const std::int32_t value = script.EvaluateParameter();
  std::uint8_t* bytes = &State(script).flags[GameState::kHsvFlag];
  bytes[0] = static_cast<std::uint8_t>(static_cast<std::int8_t>(hue / 2));
  bytes[1] = static_cast<std::uint8_t>(static_cast<std::int8_t>(saturation));
  bytes[2] = static_cast<std::uint8_t>(static_cast<std::int8_t>(value));
  return true;
}

bool SetRgb(CScript& script) {
  script.ConsumeToken();
  const std::array<std::int8_t, 3> colour = ReadColour(script);
  std::memcpy(&State(script).flags[GameState::kRgbFlag], colour.data(), colour.size());
  return true;
}

bool SetTintPreset(CScript& script, int preset) {
  script.ConsumeToken();
  script.GetEngine().tints.SetPreset(preset, ReadColour(script));
  return true;
}

struct Registration {
  const char* word;
  CScript::StatementHandler handler;
};

const Registration kLayerStatements[] = {
    {"bg", Background},
    {"bg1", [](CScript& s) { return SceneChange(s, 1, kFadeNone); }},
    {"bg1_fi", [](CScript& s) { return SceneChange(s, 1, kFadeIn); }},
    {"bg1_cf", [](CScript& s) { return SceneChange(s, 1, kFadeCross); }},
    {"bg1_mi", [](CScript& s) { return SceneChange(s, 1, kMosaicIn); }},
    {"bg1_", [](CScript& s) { return SceneChange(s, 1, kFadeSet); }},
    {"bg2", [](CScript& s) { return SceneChange(s, 2, kFadeNone); }},
    {"bg2_fi", [](CScript& s) { return SceneChange(s, 2, kFadeIn); }},
    {"bg3", [](CScript& s) { return SceneChange(s, 3, kFadeNone); }},
    {"bg3_fi", [](CScript& s) { return SceneChange(s, 3, kFadeIn); }},
    {"bg4_fi", [](CScript& s) { return SceneChange(s, 4, kFadeIn); }},
    {"ev", [](CScript& s) { return EventPicture(s, true, ""); }},
    {"ev1", [](CScript& s) { return EventPicture(s, false, kFadeNone); }},
    {"ev1_fi", [](CScript& s) { return EventPicture(s, false, kFadeIn); }},
    {"ev1_cf", [](CScript& s) { return EventPicture(s, false, kFadeCross); }},
    {"ev1_", [](CScript& s) { return EventPicture(s, false, kFadeSet); }},
    {"sp", [](CScript& s) { return SingleLayer(s, GameState::kStandCentreXFlag); }},
    {"spl", [](CScript& s) { return SingleLayer(s, GameState::kStandLeftXFlag); }},
    {"spr", [](CScript& s) { return SingleLayer(s, GameState::kStandRightXFlag); }},
    {"sp1", [](CScript& s) { return SpriteSet(s, 1, kFadeNone); }},
    {"sp1_fi", [](CScript& s) { return SpriteSet(s, 1, kFadeIn); }},
    {"sp1_cf", [](CScript& s) { return SpriteSet(s, 1, kFadeCross); }},
    {"sp1_", [](CScript& s) { return SpriteSet(s, 1, kFadeSet); }},
    {"sp2", [](CScript& s) { return SpriteSet(s, 2, kFadeNone); }},
    {"sp2_fi", [](CScript& s) { return SpriteSet(s, 2, kFadeIn); }},
    {"sp2_cf", [](CScript& s) { return SpriteSet(s, 2, kFadeCross); }},
    {"sp2_", [](CScript& s) { return SpriteSet(s, 2, kFadeSet); }},
    {"sp3", [](CScript& s) { return SpriteSet(s, 3, kFadeNone); }},
    {"sp3_cf", [](CScript& s) { return SpriteSet(s, 3, kFadeCross); }},
    {"sp3_", [](CScript& s) { return SpriteSet(s, 3, kFadeSet); }},
    {"sp4_", EffectLayerPicture},
    {"sp_fade", [](CScript& s) { return SceneFade(s, true, "", false, 1); }},
    {"sp_fade_out", [](CScript& s) { return SceneFade(s, false, kFadeOut, false, 1); }},
    {"sp_fo", [](CScript& s) { return SceneFade(s, false, kFadeOut, false, 1); }},
    {"sp_fade_in", [](CScript& s) { return SceneFade(s, false, kFadeIn, false, 1); }},
    {"fade", [](CScript& s) { return SceneFade(s, true, "", true, 1); }},
    {"fade_out", [](CScript& s) { return SceneFade(s, false, kFadeOut, true, 1); }},
    {"fo", [](CScript& s) { return SceneFade(s, false, kFadeOut, true, 1); }},
    {"fade_in", [](CScript& s) { return SceneFade(s, false, kFadeIn, true, 1); }},
    {"fi", [](CScript& s) { return SceneFade(s, false, kFadeIn, true, 1); }},
    {"fo2", [](CScript& s) { return SceneFade(s, false, kFadeOut, true, 2); }},
    {"fi2", [](CScript& s) { return SceneFade(s, false, kFadeIn, true, 2); }},
    {"set_hsv", SetHsv},
    {"set_rgb2", SetRgb},
    {"set_rgb_ex1", [](CScript& s) { return SetTintPreset(s, 0); }},
    {"set_rgb_ex2", [](CScript& s) { return SetTintPreset(s, 1); }},
    {"set_rgb_ex3", [](CScript& s) { return SetTintPreset(s, 2); }},
};

}  // namespace

void RegisterLayerStatements(CScript& script) {
  for (const Registration& entry : kLayerStatements) script.SetStatementHandler(entry.word, entry.handler);
  RegisterLayerMotionStatements(script);
}

bool RebuildLayers(CScript& script) {
  Engine& engine = script.GetEngine();
  const GameState& state = *engine.state;
  SpriteTable& sprites = *engine.sprites;
  bool complete = true;
  for (int record = 0; record < GameState::kLayerCount; ++record) {
    const int slot = SlotOfLayer(record);
    sprites.At(slot + 1).Release();
    const std::string_view name(state.layerPicture[record],
                                strnlen(state.layerPicture[record], sizeof state.layerPicture[record]));
    if (name.empty()) {
      sprites.At(slot).Release();
      continue;
    }
    if (!PlacePicture(script, slot, name, state.layerX[record], state.layerY[record])) {
      complete = false;
      continue;
    }
    CDIBSprite& sprite = sprites.At(slot);
    sprite.SetBrightness(state.layerBrightness[record]);
    sprite.SetOpacity(state.layerOpacity[record]);
    sprite.SetWrap(state.layerWrap[record] != 0);
    sprite.SetVelocity(state.layerVelocityX[record], state.layerVelocityY[record]);
  }
  return complete;
}

}  // namespace halcyra

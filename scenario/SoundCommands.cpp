#include "scenario/SoundCommands.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "graphics/CDIB.h"
#include "graphics/SpriteTable.h"
#include "scenario/LayerModel.h"
#include "script/CScript.h"
#include "script/Engine.h"
#include "script/Expression.h"

namespace halcyra {
namespace {

constexpr char kLoop[] = "LOOP";
constexpr char kOnce[] = "LOOP_NONE";
constexpr char kFadeOut[] = "FADE_OUT";
constexpr std::int64_t kMusicBytesPerSecond = 44100 * 2 * 2;  // decoded music: 16-bit stereo
constexpr int kMusicFadeStep = -2;
constexpr int kEffectFadeStep = -5;
constexpr int kMusicChannel = 0;
constexpr int kEffectChannel = 2;
constexpr int kVoiceChannel = 4;
constexpr int kAmbientChannel = 5;
constexpr int kSecondEffectChannel = 6;
constexpr int kDefaultPanFrames = 20;

// The start of music in decoded bytes: whole seconds as an expression, or a decimal number of
// seconds ("1.5"), truncated. A negative start is the beginning.
std::uint32_t StartOffset(CScript& script, const char* start) {
  const std::string_view text(start);
  const std::size_t point = text.find('.');
  std::int64_t bytes = 0;
  if (point == std::string_view::npos) {
    bytes = std::int64_t{Evaluate(text, *script.GetEngine().state, script)} * kMusicBytesPerSecond;
  } else {
    bytes = DecimalSeconds(text, kMusicBytesPerSecond);
  }
  return static_cast<std::uint32_t>(std::clamp<std::int64_t>(bytes, 0, UINT32_MAX));
}

// Decodes a stream up to the start offset, one second per step, then moves there.
void SeekStream(CDSB& channel, std::uint32_t offset) {
  while (channel.HasSound() && channel.GetStreamPosition() < offset &&
         channel.GetStreamPosition() < channel.GetStreamEnd()) {
    const std::uint32_t before = channel.GetStreamPosition();
    if (!channel.Update(true) || channel.GetStreamPosition() == before) break;
  }
  channel.SetPosition(offset);
}

// readMode: 3 name, mode and start; 1 name only (fixed mode, start 0); 2 name and start (fixed
// mode); 0 nothing (the stop forms).
bool Music(CScript& script, int readMode, const char* fixedMode) {
  script.ConsumeToken();
  char name[CScript::kParameterCapacity] = "";
  char mode[CScript::kParameterCapacity] = "";
  char start[CScript::kParameterCapacity] = "0";
  if (readMode != 0) script.ReadParameter(name);
  if (readMode == 3) {
    script.ReadParameter(mode);
    script.ReadParameter(start);
  } else {
    std::strcpy(mode, fixedMode);
    if (readMode == 2) script.ReadParameter(start);
  }
  Engine& engine = script.GetEngine();
  GameState& state = *engine.state;
  MarkPictureSeen(script, name);
  if (script.IsFastForward()) {
    GameState::CopyName(state.music, name);
    return true;
  }
  CDSB& channel = (*engine.channels)[kMusicChannel];
  if (name[0] == '\0') {
    GameState::CopyName(state.music, "");
    if (std::strcmp(mode, kFadeOut) == 0) {
      channel.StartFade(engine.settings.volume.bgm, kMusicFadeStep);
    } else {
      channel.Release();
    }
    return true;
  }
  const bool loop = std::strcmp(mode, kLoop) == 0;
  GameState::CopyName(state.music, loop ? name : "");
  const std::string path = SoundPath(name);
  if (!script.CheckFile(path, false)) return true;
  if (!loop && std::strcmp(mode, kOnce) != 0) return script.ParamError(mode);
  const std::uint32_t offset = StartOffset(script, start);
  channel.OpenStream(path);
  SeekStream(channel, offset);
  channel.SetVolume(engine.settings.volume.bgm, true);
  if (engine.settings.volume.bgmOn) channel.Play(loop);
  return true;
}

// The volume of an effect channel, 0 when its switch is off.
int EffectVolume(const Settings& settings, int channel) {
  if (channel == kSecondEffectChannel) return settings.volume.seXOn ? settings.volume.seX : 0;
  return settings.volume.seOn ? settings.volume.se : 0;
}

EffectSound& EffectRecord(GameState& state, int channel) {
  return state.effectSound[channel == kEffectChannel ? 0 : channel == kAmbientChannel ? 1 : 2];
}

void StopEffect(Engine& engine, int channel, const char* mode) {
  CDSB& sound = (*engine.channels)[channel];
  const Settings& settings = engine.settings;
  if (channel == kEffectChannel) {
    if (std::strcmp(mode, kFadeOut) != 0) return sound.Release();
    if (settings.volume.seOn) sound.StartFade(settings.volume.se, kEffectFadeStep);
    return;
  }
  const bool on = channel == kSecondEffectChannel ? settings.volume.seXOn : settings.volume.seOn;
  if (on) sound.StartFade(EffectVolume(settings, channel), kEffectFadeStep);
}

bool WaitWhilePlaying(CScript& script, int channel, bool clickEnds);

// readMode: 2 name and mode; 1 name only; 0 nothing (the stop forms).
bool Effect(CScript& script, int readMode, const char* fixedMode, int channel, bool waitForEnd) {
  script.ConsumeToken();
  char name[CScript::kParameterCapacity] = "";
  char mode[CScript::kParameterCapacity] = "";
  if (readMode != 0) script.ReadParameter(name);
  if (readMode == 2) {
    script.ReadParameter(mode);
  } else {
    std::strcpy(mode, fixedMode);
  }
  std::string expanded = name;
  script.ExpandName(expanded);
  Engine& engine = script.GetEngine();
  const bool loop = std::strcmp(mode, kLoop) == 0;
  EffectSound& record = EffectRecord(*engine.state, channel);
  GameState::CopyName(record.name, expanded);
  record.loop = loop ? 1 : 0;
  if (expanded.empty()) {
    StopEffect(engine, channel, mode);
    return true;
  }
  if (script.IsFastForward()) return true;
  const std::string path = SoundPath(expanded);
  if (!script.CheckFile(path, false)) return true;
  if (!loop && std::strcmp(mode, kOnce) != 0) return script.ParamError(mode);
  CDSB& sound = (*engine.channels)[channel];
  sound.LoadSound(path, 0);
  sound.SetVolume(EffectVolume(engine.settings, channel), true);
  sound.Play(loop);
  return !waitForEnd || WaitWhilePlaying(script, channel, false);
}

// Idles a frame at a time while the channel plays. Ctrl, skip mode and (when clicks cancel) a
// click end it; bgm_wait also ends at any click, which sets C as a click always does.
bool WaitWhilePlaying(CScript& script, int channel, bool clickEnds) {
  if (script.IsFastForward()) return true;
  Engine& engine = script.GetEngine();
  for (;;) {
    if (script.WaitStep(true, true)) return true;
    if (!(*engine.channels)[channel].IsPlaying()) return true;
    if (engine.input.IsHeld(kInputSkip)) return true;
    const bool clicked = engine.input.IsLatched(kInputAdvance);
    if (script.TakeClick() || (clickEnds && clicked) || engine.skipMode) return true;
  }
}

bool Wait(CScript& script, int channel, bool clickEnds) {
  script.ConsumeToken();
  return WaitWhilePlaying(script, channel, clickEnds);
}

}  // namespace

void PanCamera(CScript& script, int target) {
  Engine& engine = script.GetEngine();
  CDIB& display = *engine.display;
  int& frames = engine.panFrames;
  if (frames <= 0) frames = kDefaultPanFrames;
  const int step = (target - display.GetPan()) / frames;
  int pan = display.GetPan();
  auto cancelled = [&] { return engine.skipMode || (engine.autoMode && engine.settings.skip.effect); };
  while (!script.IsClosing() && step != 0 && !cancelled()) {
    script.Poll();
    if (engine.input.IsHeld(kInputSkip)) break;
    script.Present();
    pan += step;
    if ((step > 0 && pan >= target) || (step < 0 && pan <= target)) break;
    display.SetPan(pan);
  }
  display.SetPan(target);
  script.Poll();
  script.Present();
}

namespace {

bool Pan(CScript& script) {
  script.ConsumeToken();
  const std::int32_t target = script.EvaluateParameter();
  if (script.IsFastForward()) {
    script.GetEngine().display->SetPan(0);
    return true;
  }
  PanCamera(script, target);
  return true;
}

bool SetPan(CScript& script) {
  script.ConsumeToken();
  script.GetEngine().panFrames = script.EvaluateParameter();
  return true;
}

// The standing sprites follow the camera pan fully and the rest of the scene by a third; folding
// the pan into the layers keeps every picture where it is seen and returns the camera to 0.
bool FoldPanIntoLayers(CScript& script) {
  script.ConsumeToken();
  Engine& engine = script.GetEngine();
  CDIB& display = *engine.display;
  const int pan = display.GetPan();
  for (int layer = 0; layer < GameState::kLayerCount; ++layer) {
    const int shift = layer >= 1 && layer <= 3 ? pan : pan / 3;
    engine.state->layerX[layer] += shift;
    if (engine.sprites == nullptr) continue;
    CDIBSprite& sprite = engine.sprites->At(SlotOfLayer(layer));
    sprite.SetPosition(sprite.GetX() + shift, sprite.GetY());
  }
  display.SetPan(0);
  return true;
}

struct Registration {
  const char* word;
  CScript::StatementHandler handler;
};

const Registration kSoundStatements[] = {
    {"bgm", [](CScript& s) { return Music(s, 3, ""); }},
    {"bgm1", [](CScript& s) { return Music(s, 1, kLoop); }},
    {"bgm2", [](CScript& s) { return Music(s, 1, kOnce); }},
    {"bgm_stop", [](CScript& s) { return Music(s, 0, kOnce); }},
    {"bgm_fo", [](CScript& s) { return Music(s, 0, kFadeOut); }},
    {"bgm1_ex", [](CScript& s) { return Music(s, 2, kLoop); }},
    {"bgm2_ex", [](CScript& s) { return Music(s, 2, kOnce); }},
    {"se", [](CScript& s) { return Effect(s, 2, "", kEffectChannel, false); }},
    {"se1", [](CScript& s) { return Effect(s, 1, kLoop, kEffectChannel, false); }},
    {"se2", [](CScript& s) { return Effect(s, 1, kOnce, kEffectChannel, false); }},
    {"se3", [](CScript& s) { return Effect(s, 1, kOnce, kEffectChannel, true); }},
    {"se_bgm1", [](CScript& s) { return Effect(s, 1, kLoop, kAmbientChannel, false); }},
    {"se_bgm2", [](CScript& s) { return Effect(s, 1, kOnce, kAmbientChannel, false); }},
    {"sex", [](CScript& s) { return Effect(s, 1, kLoop, kSecondEffectChannel, false); }},
    {"se_stop", [](CScript& s) { return Effect(s, 0, kOnce, kEffectChannel, false); }},
    {"se_fo", [](CScript& s) { return Effect(s, 0, kFadeOut, kEffectChannel, false); }},
    {"se_wait", [](CScript& s) { return Wait(s, kEffectChannel, false); }},
    {"vo_wait", [](CScript& s) { return Wait(s, kVoiceChannel, false); }},
    {"bgm_wait", [](CScript& s) { return Wait(s, kMusicChannel, true); }},
    {"pan", Pan},
    {"set_pan", SetPan},
    {"calc_pan", FoldPanIntoLayers},
};

}  // namespace

void RestoreSound(CScript& script, int channel, std::string_view name, bool loop) {
  Engine& engine = script.GetEngine();
  GameState& state = *engine.state;
  const Settings& settings = engine.settings;
  int volume = 0;
  switch (channel) {
    case kMusicChannel:
      GameState::CopyName(state.music, name);
      volume = settings.volume.bgm;
      break;
    case kVoiceChannel:
      GameState::CopyName(state.pendingVoice, name);
      volume = settings.volume.voOn ? settings.volume.voice : 0;
      break;
    case kEffectChannel:
    case kAmbientChannel:
    case kSecondEffectChannel: {
      EffectSound& record = EffectRecord(state, channel);
      GameState::CopyName(record.name, name);
      record.loop = loop ? 1 : 0;
      volume = EffectVolume(settings, channel);
      break;
    }
    default: return;
  }
  if (engine.channels == nullptr) return;
  CDSB& sound = (*engine.channels)[channel];
  if (name.empty() || volume == 0) return sound.Release();
  const std::string path = SoundPath(name);
  if (channel == kMusicChannel) {
    sound.OpenStream(path);
  } else {
    sound.LoadSound(path, 0);
  }
  sound.SetVolume(volume, true);
  if (channel != kMusicChannel || settings.volume.bgmOn) sound.Play(loop);
}

void RestoreRecordedSounds(CScript& script) {
  GameState& state = *script.GetEngine().state;
  // Copies: RestoreSound writes the names back into the fields they are read from. Music is
  // recorded only while it loops.
  auto name = [](const char* field, std::size_t size) { return std::string(field, strnlen(field, size)); };
  RestoreSound(script, kMusicChannel, name(state.music, sizeof state.music), true);
  for (const int channel : {kEffectChannel, kAmbientChannel, kSecondEffectChannel}) {
    const EffectSound& record = EffectRecord(state, channel);
    RestoreSound(script, channel, name(record.name, sizeof record.name), record.loop != 0);
  }
}

std::string SoundPath(std::string_view name) { return "wav\\" + std::string(name) + ".wav"; }

void RegisterSoundStatements(CScript& script) {
  for (const Registration& entry : kSoundStatements) script.SetStatementHandler(entry.word, entry.handler);
}

void MarkPictureSeen(CScript& script, std::string_view name) {
  if (!script.IsScenarioMode() || name.empty()) return;
  Engine& engine = script.GetEngine();
  const char* flag = engine.cgTable.Find(name, false);
  if (flag == nullptr) return;
  const char* digits = flag[0] == 'F' ? flag + 1 : flag;
  if (digits[0] < '0' || digits[0] > '9') return;
  const int number = FlagNumber(digits);
  if (number >= 0) engine.state->flags[number] = 1;
}

}  // namespace halcyra

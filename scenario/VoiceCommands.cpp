#include "scenario/VoiceCommands.h"

#include <cstring>
#include <string>

#include "app/CharacterTable.h"
#include "graphics/SpriteTable.h"
#include "resource/CArcFile.h"
#include "scenario/LayerModel.h"
#include "scenario/KeyWait.h"
#include "scenario/MessageWindow.h"
#include "scenario/SoundCommands.h"
#include "script/CScript.h"
#include "script/Engine.h"

namespace halcyra {
namespace {

constexpr int kVoiceChannel = 4;
constexpr int kPrefixLength = 3;
// vo が１スクリプト中の制限 4096 を越えました + line feed + ファイルを分割して下さい
constexpr char kTooManyVoices[] =
    "vo \x82\xaa\x82P\x83X\x83N\x83\x8a\x83v\x83g\x92\x86\x82\xcc\x90\xa7\x8c\xc0 4096 \x82\xf0"
    "\x89z\x82\xa6\x82\xdc\x82\xb5\x82\xbd\n\x83t\x83@\x83""C\x83\x8b\x82\xf0\x95\xaa\x8a\x84\x82"
    "\xb5\x82\xc4\x89\xba\x82\xb3\x82\xa2";

// The read-list number of the voice statement that starts at position: 0 with read tracking off
// for this script, and 0 (reported once per run) beyond the 4096 a script can hold.
int MessageNumber(CScript& script, int position) {
  Engine& engine = script.GetEngine();
  if (engine.state->flags[GameState::kNoSaveFlag] != 0) return 0;
  const int number = engine.readList.FindNumber(script.ScriptPath(), position);
  if (number >= 0) return number;
  if (!engine.voiceLimitReported) {
    engine.voiceLimitReported = true;
    script.ScriptError(kTooManyVoices, "");
  }
  return 0;
}

// Unread text ends the play modes the settings tie to it.
void StopAtUnread(CScript& script, int number) {
  Engine& engine = script.GetEngine();
  if (!script.IsScenarioMode() || engine.readList.IsRead(script.ScriptPath(), number, false)) return;
  const Settings& settings = engine.settings;
  if (settings.skip.unread) script.SetAutoMode(false);
  if (settings.skip2.unread) script.SetSkipMode(false);
  if (settings.skipSelect.unread) StopFastForward(script);
}

bool VoiceLine(CScript& script) {
  const int position = script.Reader().Position();
  script.ConsumeToken();
  char name[CScript::kParameterCapacity];
  script.ReadParameter(name);
  Engine& engine = script.GetEngine();
  if (script.IsFastForward()) engine.display->SetPan(0);
  const int number = MessageNumber(script, position);
  engine.state->messageNumber = number;
  GameState::CopyName(engine.state->pendingVoice, name);
  StopAtUnread(script, number);
  // The backlog entry of the line that follows starts here: resuming from it comes back here.
  AddPageToLog(script, false, "", false);
  return true;
}

// The camera turns to the standing sprite (layers 1..3) whose picture name begins as the voice
// does, or back to the middle when no sprite on screen speaks with it.
int SpeakerPan(const Engine& engine) {
  const GameState& state = *engine.state;
  const std::string_view voice(state.pendingVoice, strnlen(state.pendingVoice, sizeof state.pendingVoice));
  if (voice.size() < kPrefixLength) return 0;
  for (int layer = 1; layer <= 3; ++layer) {
    const char* const field = state.layerPicture[layer];
    const std::string_view picture(field, strnlen(field, sizeof state.layerPicture[layer]));
    if (picture.size() >= kPrefixLength &&
        CArcFile::SameMemberName(picture.substr(0, kPrefixLength), voice.substr(0, kPrefixLength))) {
      return -engine.sprites->At(SlotOfLayer(layer)).GetX();
    }
  }
  return 0;
}

bool VoiceLineFacingSpeaker(CScript& script) {
  if (!VoiceLine(script) || script.IsFastForward()) return true;
  const Engine& engine = script.GetEngine();
  if (engine.sprites != nullptr) PanCamera(script, SpeakerPan(engine));
  return true;
}

bool ChoiceVoiceLine(CScript& script) {
  const int position = script.Reader().Position();
  script.ConsumeToken();
  Engine& engine = script.GetEngine();
  engine.state->messageNumber = MessageNumber(script, position);
  char count[CScript::kParameterCapacity];
  script.ReadParameter(count);
  GameState::CopyName(engine.state->pendingVoice, "");
  return true;
}

bool PlayVoiceNow(CScript& script) {
  script.ConsumeToken();
  char name[CScript::kParameterCapacity];
  script.ReadParameter(name);
  Engine& engine = script.GetEngine();
  if (script.IsFastForward()) {
    engine.display->SetPan(0);
    return true;
  }
  if (name[0] == '\0') {
    (*engine.channels)[kVoiceChannel].Release();
  } else {
    PlayVoice(script, false, false, name);
  }
  return true;
}

bool VoiceIsSilenced(const Engine& engine, bool fromBacklog, bool forced) {
  const Settings& settings = engine.settings;
  return engine.input.IsHeld(kInputSkip) || engine.skipMode ||
         (engine.autoMode && settings.skip.voice) || settings.volume.voice == 0 ||
         !settings.volume.voOn || (fromBacklog && !settings.log.voice && !forced);
}

}  // namespace

void VoiceSettingsFor(std::string_view voice, const Settings& settings, bool& enabled, int& volume) {
  const int record = CharacterTable::RecordForVoice(CharacterTable::Records(), voice);
  const bool known = record != CharacterTable::kNoRecord && record < CharacterTable::kMaxIniCharacters;
  enabled = !known || settings.charaVoice[record];
  volume = known ? settings.charaVolume[record] : 255;
}

void PlayVoice(CScript& script, bool fromBacklog, bool forced, std::string_view name) {
  Engine& engine = script.GetEngine();
  const char* const field = engine.state->pendingVoice;
  const std::string_view pending(field, strnlen(field, sizeof engine.state->pendingVoice));
  if (engine.debugMode && !fromBacklog && !pending.empty()) script.CheckFile(SoundPath(pending), false);
  if (VoiceIsSilenced(engine, fromBacklog, forced)) return;
  const std::string_view voice = name.empty() ? pending : name;
  if (voice.empty()) return;
  bool enabled = true;
  int characterVolume = 255;
  VoiceSettingsFor(voice, engine.settings, enabled, characterVolume);
  const std::string path = SoundPath(voice);
  if (!enabled || !script.CheckFile(path, true)) return;
  CDSB& channel = (*engine.channels)[kVoiceChannel];
  channel.LoadSound(path, fromBacklog ? 0 : engine.settings.voice.rate);
  channel.SetVolume((characterVolume + 1) * engine.settings.volume.voice / 256, true);
  channel.SetPan(0);
  channel.Play(false);
}

void RegisterVoiceStatements(CScript& script) {
  script.SetStatementHandler("vo", VoiceLine);
  script.SetStatementHandler("vol", VoiceLine);
  script.SetStatementHandler("vor", VoiceLine);
  script.SetStatementHandler("vox", VoiceLineFacingSpeaker);
  script.SetStatementHandler("vo_sel", ChoiceVoiceLine);
  script.SetStatementHandler("vo2", PlayVoiceNow);
}

}  // namespace halcyra

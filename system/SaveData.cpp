#include "system/SaveData.h"

#include <cstdio>
#include <cstring>

#include "graphics/CDIB.h"
#include "resource/CArcFile.h"
#include "scenario/KeyWait.h"
#include "scenario/LayerCommands.h"
#include "scenario/MessageWindow.h"
#include "scenario/SoundCommands.h"
#include "script/CScript.h"
#include "script/Engine.h"
#include "system/Backlog.h"
#include "system/SaveRecordFile.h"
#include "system/SaveRequests.h"
#include "system/SaveTexts.h"

namespace halcyra {
namespace {

using namespace save_texts;

constexpr char kTitleScriptName[] = "open";
// Sprites a load clears: the scenario's overlays and the save/load screen's.
constexpr int kFirstOverlaySlot = 130;
constexpr int kLastOverlaySlot = 189;
constexpr int kFirstScreenSlot = 230;
constexpr int kLastScreenSlot = 295;
constexpr int kFirstEngineFlag = GameState::kLastGlobalFlag + 1;
// The flags a load or a system-data write carries over: F1024..F2047.
constexpr int kKeptFlagCount = GameState::kFlagCount - GameState::kFirstGlobalFlag;

using KeptFlags = std::uint8_t[kKeptFlagCount];

void KeepFlags(const GameState& state, KeptFlags& kept) {
  std::memcpy(kept, state.flags + GameState::kFirstGlobalFlag, sizeof kept);
}

// Sets the global flags F1024..F2020 that are set in kept.
void MergeGlobalFlags(GameState& state, const KeptFlags& kept) {
  for (int flag = GameState::kFirstGlobalFlag; flag <= GameState::kLastGlobalFlag; ++flag) {
    state.flags[flag] |= kept[flag - GameState::kFirstGlobalFlag];
  }
}

void PutBackEngineFlags(GameState& state, const KeptFlags& kept) {
  const int offset = kFirstEngineFlag - GameState::kFirstGlobalFlag;
  std::memcpy(state.flags + kFirstEngineFlag, kept + offset, GameState::kFlagCount - kFirstEngineFlag);
}

bool CanSave(CScript& script) {
  const Engine& engine = script.GetEngine();
  return script.IsScenarioMode() && !engine.titleMenuActive && !engine.recollectionRunning;
}

// Reports why a slot cannot be loaded; true when it can.
bool AcceptLoadedRecord(Engine& engine, RecordCheck check, const std::string& fileName) {
  switch (check) {
    case RecordCheck::kGood: return true;
    case RecordCheck::kMissing:
      ReportSaveError(engine, kNoSaveDataNumber, kNoSaveData, fileName);
      return false;
    case RecordCheck::kDamaged:
      ReportSaveError(engine, kDamagedNumber, kDamaged, fileName);
      return false;
    case RecordCheck::kOldFormat:
      ReportSaveError(engine, kWrongVersionNumber, kWrongVersion, fileName);
      return false;
  }
  return false;
}

void ReleaseSprites(Engine& engine, int first, int last) {
  if (engine.sprites == nullptr) return;
  for (int slot = first; slot <= last; ++slot) engine.sprites->At(slot).Release();
}

std::string ScriptPathOf(const GameState& state) {
  return "scr\\" + std::string(state.ScriptName()) + ".scr";
}

// The loaded script continues at the voice statement of the record's message (its start when
// none is registered).
bool ResumeScript(CScript& script) {
  Engine& engine = script.GetEngine();
  if (!script.LoadScript(ScriptPathOf(*engine.state), true)) return false;
  script.SetReadPosition(engine.readList.GetOffset(script.ScriptPath(), engine.state->messageNumber));
  return true;
}

bool FlagUpdate(CScript& script) {
  script.ConsumeToken();
  WriteSystemData(script);
  return true;
}

}  // namespace

std::string SlotFileName(int slot) {
  char name[32];
  std::snprintf(name, sizeof name, "Save%03d.dat", slot);
  return name;
}

std::unique_ptr<GameState> MakeClearedRecord() {
  auto record = std::make_unique<GameState>();
  record->Clear();
  return record;
}

bool SaveSlot(CScript& script, int slot) {
  if (!CanSave(script)) return true;
  Engine& engine = script.GetEngine();
  auto record = std::make_unique<GameState>(*engine.state);
  if (record->backlogCount > 0) CopyEntryLayers(*record, LogEntryAt(*record, 1), false);
  return WriteRecordFile(engine, SlotFileName(slot), *record);
}

bool LoadSlot(CScript& script, int slot, bool) {
  Engine& engine = script.GetEngine();
  const std::string fileName = SlotFileName(slot);
  auto record = MakeClearedRecord();
  if (!AcceptLoadedRecord(engine, ReadRecordFile(fileName, *record), fileName)) return false;
  if (!script.CheckFile(ScriptPathOf(*record), false)) return false;
  ReleaseSprites(engine, kFirstOverlaySlot, kLastOverlaySlot);
  ReleaseSprites(engine, kFirstScreenSlot, kLastScreenSlot);
  GameState& state = *engine.state;
  KeptFlags kept;
  KeepFlags(state, kept);
  std::memcpy(static_cast<void*>(&state), record.get(), sizeof state);
  MergeGlobalFlags(state, kept);
  if (!ResumeScript(script)) return false;
  UpdateMenuState(script, true);
  if (engine.sprites != nullptr) RebuildLayers(script);
  RestoreRecordedSounds(script);
  // The message that was current when the slot was written is logged again when it shows.
  DropNewestEntries(state, 1);
  RestoreMessageWindow(script);
  if (engine.display != nullptr) engine.display->SetPan(0);
  ReapplyParticles(engine);
  return true;
}

bool SaveOnExit(CScript& script) {
  if (CArcFile::SameMemberName(script.GetEngine().state->ScriptName(), kTitleScriptName)) return true;
  return SaveSlot(script, kExitSlot);
}

bool WriteSystemData(CScript& script) {
  Engine& engine = script.GetEngine();
  const std::string fileName = SlotFileName(kSystemSlot);
  auto record = MakeClearedRecord();
  if (ReadRecordFile(fileName, *record) == RecordCheck::kDamaged) {
    ReportSaveError(engine, kSystemDataWriteNumber, kDamaged, fileName);
    record->Clear();
  }
  KeptFlags kept;
  KeepFlags(*record, kept);
  std::memcpy(static_cast<void*>(record.get()), engine.state.get(), sizeof(GameState));
  MergeGlobalFlags(*record, kept);
  PutBackEngineFlags(*record, kept);
  return WriteRecordFile(engine, fileName, *record);
}

bool ReadSystemData(Engine& engine) {
  const std::string fileName = SlotFileName(kSystemSlot);
  GameState& state = *engine.state;
  KeptFlags kept;
  KeepFlags(state, kept);
  auto record = MakeClearedRecord();
  const RecordCheck check = ReadRecordFile(fileName, *record);
  if (check == RecordCheck::kMissing) return false;
  if (check == RecordCheck::kDamaged) {
    ReportSaveError(engine, kSystemDataReadNumber, kDamaged, fileName);
    record->Clear();
  }
  std::memcpy(static_cast<void*>(&state), record.get(), sizeof state);
  PutBackEngineFlags(state, kept);
  return check != RecordCheck::kDamaged;
}

void RegisterSaveStatements(CScript& script) { script.SetStatementHandler("flag_update", FlagUpdate); }

}  // namespace halcyra

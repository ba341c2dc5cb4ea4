#include "system/SaveRecordFile.h"

#include "graphics/CDIB.h"
#include "platform/FileSystem.h"
#include "resource/CFile.h"
#include "script/Engine.h"
#include "system/SaveTexts.h"

namespace halcyra {

RecordCheck ReadRecordFile(std::string_view fileName, GameState& record) {
  CFile file;
  if (!file.Open(fileName, FileAccess::kRead)) return RecordCheck::kMissing;
  file.Read(&record, sizeof record);
  if (record.checksum != record.ComputeChecksum()) return RecordCheck::kDamaged;
  if (record.formatNumber < GameState::kFormatNumber) return RecordCheck::kOldFormat;
  return RecordCheck::kGood;
}

bool WriteRecordFile(Engine& engine, std::string_view fileName, GameState& record) {
  record.checksum = record.ComputeChecksum();
  const std::string_view bytes(reinterpret_cast<const char*>(&record), sizeof record);
  if (WriteFileAtomically(HostPath(fileName), bytes)) return true;
  ReportSaveError(engine, save_texts::kCannotSaveNumber, save_texts::kCannotSave, fileName);
  return false;
}

void ReportSaveError(Engine& engine, int number, std::string_view message, std::string_view detail) {
  if (engine.display != nullptr) {
    engine.display->Context().SystemError(save_texts::kSource, number, message, detail);
  }
}

}  // namespace halcyra

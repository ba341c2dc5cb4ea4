// Reading and writing one save file: the GameState's bytes with the checksum in its first word.
#pragma once

#include <string_view>

#include "script/GameState.h"

namespace halcyra {

struct Engine;

enum class RecordCheck { kMissing, kGood, kDamaged, kOldFormat };

// Reads up to a whole record from the game-path file into record, which the caller has cleared
// (a short file leaves the rest as it was), and tells whether it may be used: kMissing when the
// file cannot be opened, kDamaged when the checksum does not match, kOldFormat when the format
// number is below 700.
RecordCheck ReadRecordFile(std::string_view fileName, GameState& record);

// Stores the checksum in record and writes it to a temporary file renamed over the game-path
// file. A failure is reported ("セーブできませんでした") and gives false; the old file stays.
bool WriteRecordFile(Engine& engine, std::string_view fileName, GameState& record);

// A "System Error" box of source "SCRIPT" through the display's reporter (none without a
// display).
void ReportSaveError(Engine& engine, int number, std::string_view message, std::string_view detail);

}  // namespace halcyra

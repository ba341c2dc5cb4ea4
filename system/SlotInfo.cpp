#include "system/SlotInfo.h"

#include <cstring>
#include <string>

#include "resource/CFile.h"
#include "script/Engine.h"
#include "system/SaveData.h"
#include "system/SaveRecordFile.h"
#include "system/SaveThumbnails.h"

namespace halcyra {
namespace {

constexpr char kEmptyMarker = 1;
constexpr int kDateSlot = 240;
constexpr int kThumbnailSlot = 250;
constexpr int kBigMarkerSlot = 260;
constexpr int kSlotsPerPage = 10;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr int kDateCharacterWidth = 24;
constexpr char kLoadBigMarker[] = "cg\\_MLLoadBigExist.psd";
constexpr char kSaveBigMarker[] = "cg\\_MLSaveBigExist.psd";

bool FileExists(const std::string& name) {
  CFile file;
  return file.Open(name, FileAccess::kRead);
}

void ClearSlotSprites(Engine& engine, int k) {
  if (engine.sprites == nullptr) return;
  for (int slot : {kDateSlot + k, kThumbnailSlot + k, kBigMarkerSlot + k}) engine.sprites->At(slot).Release();
}

void MarkEmpty(SlotRecord& record) {
  std::memset(record.comment, 0, sizeof record.comment);
  std::memset(record.date, 0, sizeof record.date);
  record.comment[0] = kEmptyMarker;
}

// Reads a whole, undamaged save file with its date; false for anything less.
bool ReadSaveFile(int slot, GameState& state, SlotRecord& record) {
  const std::string fileName = SlotFileName(slot);
  {
    CFile file;
    if (!file.Open(fileName, FileAccess::kRead) || file.GetSize() < sizeof(GameState)) return false;
    if (!file.GetTimeText(record.date)) return false;
  }
  return ReadRecordFile(fileName, state) == RecordCheck::kGood;
}

void DrawSlot(Engine& engine, bool loadMode, int slot, int k, const SlotRecord& record) {
  if (engine.sprites == nullptr) return;
  CDIBSprite& date = engine.sprites->At(kDateSlot + k);
  date.SetText(record.date, engine.fonts[2], kWhite, kDateCharacterWidth, true);
  date.SetPosition(record.x, record.y);
  const std::string thumbnail = ThumbnailFileName(slot, false);
  CDIBSprite& picture = engine.sprites->At(kThumbnailSlot + k);
  if (FileExists(thumbnail) && picture.Load(thumbnail)) picture.SetPosition(record.x - 143, record.y - 8);
  CDIBSprite& marker = engine.sprites->At(kBigMarkerSlot + k);
  if (!FileExists(ThumbnailFileName(slot, true))) return marker.Release();
  marker.Load(loadMode ? kLoadBigMarker : kSaveBigMarker);
  marker.SetAnimating(true);
  marker.SetFrame(0);
  marker.SetPosition(record.x - 12, record.y + 36);
}

}  // namespace

bool IsEmptySlot(const SlotRecord& record) { return record.comment[0] == kEmptyMarker; }

bool ReadSlotInfo(Engine& engine, bool loadMode, int slot, SlotRecord& record) {
  if (slot < kFirstPlayerSlot || slot > kLastPlayerSlot) return false;
  const int k = (slot - 1) % kSlotsPerPage;
  ClearSlotSprites(engine, k);
  auto state = MakeClearedRecord();
  if (!ReadSaveFile(slot, *state, record)) {
    MarkEmpty(record);
    return false;
  }
  std::memcpy(record.comment, state->saveComment, sizeof record.comment - 1);
  record.comment[sizeof record.comment - 1] = '\0';
  DrawSlot(engine, loadMode, slot, k, record);
  return true;
}

bool DeleteSlot(int slot, SlotRecord& record) {
  const bool deleted = CFile::Delete(SlotFileName(slot));
  CFile::Delete(ThumbnailFileName(slot, false));
  CFile::Delete(ThumbnailFileName(slot, true));
  MarkEmpty(record);
  return deleted;
}

}  // namespace halcyra

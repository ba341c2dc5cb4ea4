// What the save/load screen shows of one slot: the save's date, its comment, its thumbnail and
// the marker of a big picture, and the deletion of a slot.
#pragma once

namespace halcyra {

struct Engine;

inline constexpr int kFirstPlayerSlot = 1;
inline constexpr int kLastPlayerSlot = 60;

// One visible slot of the save/load screen. The screen sets the position; ReadSlotInfo fills the
// rest. An empty slot has 1 as the first comment byte.
struct SlotRecord {
  char date[17] = {};  // "YYYY/MM/DD hh:mm"
  int x = 0;
  int y = 0;
  char comment[57] = {};
};

bool IsEmptySlot(const SlotRecord& record);

// Reads slot 1..60 into its record and draws it in sprites 240 + k (date), 250 + k (thumbnail)
// and 260 + k (big-picture marker), k = (slot - 1) mod 10. A missing, short or damaged file
// marks the slot empty with its sprites cleared and gives false; so does a slot outside 1..60,
// which changes nothing.
bool ReadSlotInfo(Engine& engine, bool loadMode, int slot, SlotRecord& record);

// Deletes the slot's save file and both pictures and marks the record empty; false when the save
// file could not be deleted.
bool DeleteSlot(int slot, SlotRecord& record);

}  // namespace halcyra

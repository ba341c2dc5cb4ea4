// Save files: the GameState written byte for byte with its checksum, one file a slot in the
// game folder ("Save%03d.dat"), and the system data "Save000.dat" that carries the global
// flags F1024..F2020 from one play-through to the next.
//
// Slots: 0 system data, 1..60 the player's, 700 the exit save, 800 the quick save, 900 the
// last choice. A save is written to a temporary file and renamed over the slot, so a crash or
// a full disk during a save leaves the previous save as it was. Faults are shown as
// "System Error" boxes (source "SCRIPT") through the display's reporter and leave the live
// state untouched.
#pragma once

#include <memory>
#include <string>

#include "script/GameState.h"

namespace halcyra {

class CScript;
struct Engine;

inline constexpr int kSystemSlot = 0;
inline constexpr int kExitSlot = 700;
inline constexpr int kQuickSlot = 800;
inline constexpr int kChoiceSlot = 900;

// "Save%03d.dat"
std::string SlotFileName(int slot);

// A zeroed record of format 700 naming the script "open", on the heap (it is 1 MB).
std::unique_ptr<GameState> MakeClearedRecord();

// Writes the slot from the live state with the layers of the newest backlog entry, which was
// written when the current message began to wait, so that the file shows the picture of that
// message even while an effect still moves the layers. Nothing is written (and the result is
// true) outside scenario mode, while the title menu shows or during a recollection. A failed
// write is reported ("セーブできませんでした") and gives false; the old file stays.
bool SaveSlot(CScript& script, int slot);

// Reads and verifies the slot and resumes from it: the record replaces the live state (keeping
// the live global flags set), the named script is loaded in scenario mode at the position of
// the record's message number, the menus are updated and the backlog drops the entry of the
// message that was current when the slot was written. A missing file, a wrong checksum or a
// format number below 700 is reported and gives false with the live state untouched.
bool LoadSlot(CScript& script, int slot, bool byPlayer);

// The exit save: slot 700 unless the title script ("open", any letter case) is running.
bool SaveOnExit(CScript& script);

// `flag_update`: merges the live state into "Save000.dat": the file's global flags F1024..F2020
// are ORed in and its engine bytes F2021..F2047 kept. A damaged file is reported and rewritten
// from the live state.
bool WriteSystemData(CScript& script);

// Loads "Save000.dat" into the live state (title menu), keeping the live F2021..F2047. A damaged
// file is reported and leaves the state zeroed except those bytes. False when there is no file.
bool ReadSystemData(Engine& engine);

// Attaches `flag_update` to the interpreter.
void RegisterSaveStatements(CScript& script);

}  // namespace halcyra

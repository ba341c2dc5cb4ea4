// CReadList: which voiced lines and choices the player has already seen, per script and across
// program runs, kept in the game-folder file "SaveXXX.dat".
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace halcyra {

// A script is named by its path as opened ("scr\\open.scr", Shift-JIS); names are compared with
// ASCII letter case ignored. A message number is the index of a voice command within its script,
// 0 .. kMaxMessages - 1; positions are byte offsets into the script text. Numbers outside that
// range are refused by every operation, so a choice key that runs past the end is simply unread.
//
// The table of kCapacity entries belongs to the object; each entry's offsets and flags (20 KB)
// are allocated when its script is first added. A script that cannot be added (the table is
// full, memory ran out, or the name is empty) is never listed: its lines read as unread and
// nothing about it is remembered.
//
// File layout, one record per entry without a header: the name (at most kMaxNameBytes bytes) and
// a zero byte, then one flag byte (0 or 1) per registered number, then the end mark 0xFF. A zero
// byte where a name should start, or the end of the file, ends the list.
class CReadList {
 public:
  static constexpr int kCapacity = 1000;
  static constexpr int kMaxMessages = 4096;
  static constexpr std::size_t kMaxNameBytes = 255;
  static constexpr std::uint8_t kEndMark = 0xFF;
  // GetOffset's answer when there is nothing registered: byte 1, where every script starts.
  static constexpr int kScriptStart = 1;
  // FindNumber's answer when all kMaxMessages offsets are in use and none matches.
  static constexpr int kNoNumber = -1;

  CReadList();
  ~CReadList();
  CReadList(const CReadList&) = delete;
  CReadList& operator=(const CReadList&) = delete;

  // True when number's flag is 1. Otherwise false, and with mark set the flag becomes 1, so a
  // line counts as read from the next test on. A script not yet listed is added unmarked.
  bool IsRead(std::string_view script, int number, bool mark);

  // The position registered for number; kScriptStart when none is, the number is out of range
  // or the script is not listed. Never adds the script.
  int GetOffset(std::string_view script, int number);

  // The first number registered at position; 0 when a free number comes first (an unregistered
  // position reads as the first line), kNoNumber when all are used without a match. A script not
  // yet listed is added and gives 0.
  int FindNumber(std::string_view script, int position);

  // Starts a fresh registration of a script being loaded: its registered count becomes 0 while
  // its flags (and stale offsets, overwritten by the new registration) stay. Adds the script
  // when not listed; false when it cannot be listed.
  bool ResetScript(std::string_view script);

  // Stores position for number and counts one more registered number. False when the script is
  // not listed, number is out of range or kMaxMessages numbers are already registered.
  bool Register(std::string_view script, int number, int position);

  // Appends an entry with all offsets free and all flags 0, even when the name is already
  // listed. False when the table is full, memory runs out or script is empty.
  bool AddScript(std::string_view script);

  // Forgets every entry.
  void Clear();

  // Writes the file at game path `path` with every entry's name (cut to kMaxNameBytes) and the
  // flags of its registered numbers. With no entries nothing is written and any old file stays.
  // True only when the whole file was written.
  bool SaveFile(std::string_view path);

  // Replaces the list with the file's records, at most kCapacity of them. A record without its
  // end mark keeps the flags read so far; names past kMaxNameBytes are cut, flags past
  // kMaxMessages dropped. False, with the list empty, when the file cannot be opened.
  bool LoadFile(std::string_view path);

  int Count() const { return count_; }
  // Entry where the last lookup ended; always inside the table.
  int Cursor() const { return cursor_; }

  // Inspection without adding, marking or moving the cursor: the registered count (-1 when the
  // script is not listed) and whether a number's flag is 1.
  int RegisteredCount(std::string_view script) const;
  bool IsMarked(std::string_view script, int number) const;

 private:
  struct Storage {
    std::array<int, kMaxMessages> offsets;
    std::array<std::uint8_t, kMaxMessages> flags;
  };
  struct Entry {
    std::string name;
    std::unique_ptr<Storage> storage;
    int registered = 0;
  };

  static bool IsValidNumber(int number) { return number >= 0 && number < kMaxMessages; }

  // The entry of script, searched from the cursor, which stays on it; null when not listed.
  Entry* Lookup(std::string_view script);
  // Lookup, adding the script when it is missing; null when it cannot be added.
  Entry* LookupOrAdd(std::string_view script);
  const Entry* Peek(std::string_view script) const;
  std::string Serialize() const;

  int count_ = 0;
  int cursor_ = 0;
  std::unique_ptr<Entry[]> entries_;
};

}  // namespace halcyra

// The game's cast as far as voices are concerned: who speaks, which voice files are theirs, and
// the per-character voice switches the settings file stores under CharaVoice and CharaVolume.
//
// The table is game data compiled into the program; records are static and live for the whole
// run, so pointers into them never dangle. The first record without a name ends the table.
#pragma once

#include <span>

namespace halcyra {

class CharacterTable {
 public:
  // The settings file has room for this many characters (keys "0" to "19").
  static constexpr int kMaxIniCharacters = 20;

  struct Record {
    const char* name = nullptr;                  // display name, Shift-JIS; null ends the table
    bool voiceEnabled = true;                    // default of the character's CharaVoice key
    int volume = 255;                            // default of the CharaVolume key, 0..255
    const char* const* voicePrefixes = nullptr;  // voice-file name prefixes, ending with null
  };

  // Every record of the game's table, the closing nameless record included.
  static std::span<const Record> Records();

  // How many of the game's characters have CharaVoice and CharaVolume keys.
  static int IniCount();

  // The records before the first nameless one, but never more than kMaxIniCharacters.
  static int CountIniRecords(std::span<const Record> records);
};

}  // namespace halcyra

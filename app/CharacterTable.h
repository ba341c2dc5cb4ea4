// The game's cast as far as voices are concerned: who speaks, which voice files are theirs, and
// the per-character voice switches the settings file stores under CharaVoice and CharaVolume.
//
// The table is game data, read at start-up from "characters.txt" (the loose file in the game
// folder, else the member of the script archive). A Shift-JIS text, one record a line:
//
//     ; comment
//     NAME  VOICE  VOLUME  PREFIXES
//
// NAME is the display name (no spaces), VOICE 1 or 0 the default of the character's voice
// switch, VOLUME 0..255 its default volume, PREFIXES the voice-file name prefixes of three
// characters, separated by commas. PREFIXES "-" makes the catch-all record: the voices of no
// listed character take its switch and volume, and it ends the table. Without a catch-all record
// such voices play at full volume. At most 20 records are read.
//
// The table is process-wide: the settings read one CharaVoice and CharaVolume key per named
// record, so it is set before the settings are read and stays for the whole run.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace halcyra {

class CharacterTable {
 public:
  static constexpr int kMaxIniCharacters = 20;
  static constexpr std::size_t kMaxRecords = 20;
  static constexpr std::size_t kMaxPrefixes = 20;
  static constexpr char kFileName[] = "characters.txt";
  static constexpr int kNoRecord = -1;

  struct Record {
    std::string name;                        // display name, Shift-JIS
    bool voiceEnabled = true;                // default of the character's CharaVoice key
    int volume = 255;                        // default of the CharaVolume key, 0..255
    std::vector<std::string> voicePrefixes;  // empty: the catch-all record
  };

  // Reads a table text. False on a malformed line, whose 1-based number is put in badLine;
  // records then holds the lines before it.
  static bool Parse(std::string_view text, std::vector<Record>& records, int& badLine);

  // The table of the game being played; empty until SetGameTable.
  static std::span<const Record> Records();
  static void SetGameTable(std::vector<Record> records);

  // How many of the game's characters have CharaVoice and CharaVolume keys.
  static int IniCount();
  // The records before the first nameless one, but never more than kMaxIniCharacters.
  static int CountIniRecords(std::span<const Record> records);

  // The record whose switch and volume a voice file takes: the first with a prefix equal to the
  // name's first three characters (ASCII case ignored), else the catch-all record; kNoRecord
  // when neither exists.
  static int RecordForVoice(std::span<const Record> records, std::string_view voice);
};

}  // namespace halcyra

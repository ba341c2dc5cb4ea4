#include "app/CharacterTable.h"

namespace halcyra {

namespace {

// The cast of "Merrowdale". The hero is not voiced and has no record.
constexpr const char* kArisaPrefixes[] = {"ari", nullptr};
constexpr const char* kSuzunePrefixes[] = {"suz", nullptr};
// Chihaya also speaks as a child in the flashback chapters, recorded as separate files.
constexpr const char* kChihayaPrefixes[] = {"chi", "chk", nullptr};
constexpr const char* kMinatoPrefixes[] = {"min", nullptr};
constexpr const char* kKaedePrefixes[] = {"kae", nullptr};
constexpr const char* kGenzouPrefixes[] = {"gen", nullptr};

constexpr CharacterTable::Record kCast[] = {
    {"\x88\x9f\x97\xa2\x8d\xb9", true, 255, kArisaPrefixes},  // 亜里沙
    {"\x97\xe9\x89\xb9", true, 255, kSuzunePrefixes},         // 鈴音
    {"\x90\xe7\x91\x81", true, 255, kChihayaPrefixes},        // 千早
    {"\x96\xa9", true, 255, kMinatoPrefixes},                 // 湊
    {"\x95\x96", true, 255, kKaedePrefixes},                  // 楓
    {"\x8c\xb9\x91\xa0", true, 255, kGenzouPrefixes},         // 源蔵
    {},
};

bool IsNameless(const CharacterTable::Record& record) {
  return record.name == nullptr || *record.name == '\0';
}

}  // namespace

std::span<const CharacterTable::Record> CharacterTable::Records() { return kCast; }

int CharacterTable::IniCount() { return CountIniRecords(Records()); }

int CharacterTable::CountIniRecords(std::span<const Record> records) {
  int count = 0;
  for (const Record& record : records) {
    if (IsNameless(record) || count == kMaxIniCharacters) break;
    ++count;
  }
  return count;
}

}  // namespace halcyra

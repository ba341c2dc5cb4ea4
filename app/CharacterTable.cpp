#include "app/CharacterTable.h"

#include <algorithm>
#include <charconv>

#include "resource/CArcFile.h"

namespace halcyra {
namespace {

constexpr std::size_t kPrefixLength = 3;
constexpr char kCatchAll[] = "-";

std::vector<CharacterTable::Record>& GameTable() {
  static std::vector<CharacterTable::Record> table;
  return table;
}

// The blank-separated words of a line; a ';' starts a comment only at the start of a word.
std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    if (at >= line.size() || line[at] == ';') break;
    const std::size_t end = line.find_first_of(" \t", at);
    words.push_back(line.substr(at, end == std::string_view::npos ? line.size() - at : end - at));
    at = end == std::string_view::npos ? line.size() : end;
  }
  return words;
}

bool ReadNumber(std::string_view word, int low, int high, int& value) {
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  return error == std::errc() && end == word.data() + word.size() && value >= low && value <= high;
}

bool ReadPrefixes(std::string_view word, std::vector<std::string>& prefixes) {
  if (word == kCatchAll) return true;
  std::size_t at = 0;
  while (at <= word.size()) {
    const std::size_t comma = std::min(word.find(',', at), word.size());
    const std::string_view prefix = word.substr(at, comma - at);
    if (prefix.empty() || prefixes.size() == CharacterTable::kMaxPrefixes) return false;
    prefixes.emplace_back(prefix);
    at = comma + 1;
  }
  return true;
}

bool ParseRecord(const std::vector<std::string_view>& words, CharacterTable::Record& record) {
  int voice = 0;
  if (words.size() != 4 || !ReadNumber(words[1], 0, 1, voice) ||
      !ReadNumber(words[2], 0, 255, record.volume) || !ReadPrefixes(words[3], record.voicePrefixes)) {
    return false;
  }
  record.name = words[0];
  record.voiceEnabled = voice == 1;
  return true;
}

}  // namespace

bool CharacterTable::Parse(std::string_view text, std::vector<Record>& records, int& badLine) {
  records.clear();
  badLine = 0;
  int number = 0;
  std::size_t at = 0;
  while (at < text.size() && records.size() < kMaxRecords) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    at = end + 1;
    ++number;
    const std::vector<std::string_view> words = Words(line);
    if (words.empty()) continue;
    Record record;
    if (!ParseRecord(words, record)) {
      badLine = number;
      return false;
    }
    records.push_back(std::move(record));
    if (records.back().voicePrefixes.empty()) break;
  }
  return true;
}

std::span<const CharacterTable::Record> CharacterTable::Records() { return GameTable(); }

void CharacterTable::SetGameTable(std::vector<Record> records) { GameTable() = std::move(records); }

int CharacterTable::IniCount() { return CountIniRecords(Records()); }

int CharacterTable::CountIniRecords(std::span<const Record> records) {
  int count = 0;
  for (const Record& record : records) {
    if (record.name.empty() || count == kMaxIniCharacters) break;
    ++count;
  }
  return count;
}

int CharacterTable::RecordForVoice(std::span<const Record> records, std::string_view voice) {
  const std::string_view head = voice.substr(0, std::min(voice.size(), kPrefixLength));
  for (std::size_t i = 0; i < records.size(); ++i) {
    const Record& record = records[i];
    if (record.voicePrefixes.empty()) return record.name.empty() ? kNoRecord : static_cast<int>(i);
    for (const std::string& prefix : record.voicePrefixes) {
      if (head.size() == kPrefixLength && CArcFile::SameMemberName(head, prefix)) {
        return static_cast<int>(i);
      }
    }
  }
  return kNoRecord;
}

}  // namespace halcyra

#include "app/IniFile.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <system_error>

#include "platform/FileSystem.h"

namespace halcyra {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Shift-JIS lead bytes; the byte after one is the second half of the character and may look
// like any ASCII letter or bracket.
bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

unsigned char AsciiLower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

bool NamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto ca = static_cast<unsigned char>(a[i]);
    const auto cb = static_cast<unsigned char>(b[i]);
    if (IsLeadByte(ca)) {
      if (ca != cb) return false;
      if (i + 1 < a.size() && a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (AsciiLower(ca) != AsciiLower(cb)) return false;
  }
  return true;
}

// Position of the "]" that closes a section header starting with "[", skipping the second
// bytes of double-byte characters ("ゾ" is 0x83 0x5D); npos when the header is not closed.
std::size_t FindClosingBracket(std::string_view header) {
  for (std::size_t i = 1; i < header.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(header[i]))) {
      ++i;
    } else if (header[i] == ']') {
      return i;
    }
  }
  return std::string_view::npos;
}

int DigitValue(char c, int base) {
  int digit = -1;
  if (c >= '0' && c <= '9') digit = c - '0';
  if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
  return digit < base ? digit : -1;
}

bool StartsWithHexPrefix(std::string_view text) {
  return text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
         DigitValue(text[2], 16) >= 0;
}

// The number at the start of `text`; false when there is none.
bool ParseLeadingInteger(std::string_view text, int& value) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (StartsWithHexPrefix(text)) {
    base = 16;
    text.remove_prefix(2);
  }
  // One past INT_MAX so that INT_MIN itself can be read; larger magnitudes saturate here.
  constexpr long long kMagnitudeLimit = static_cast<long long>(INT_MAX) + 1;
  long long magnitude = 0;
  std::size_t digits = 0;
  for (char c : text) {
    const int digit = DigitValue(c, base);
    if (digit < 0) break;
    magnitude = std::min(magnitude * base + digit, kMagnitudeLimit);
    ++digits;
  }
  if (digits == 0) return false;
  const long long signedValue = negative ? -magnitude : magnitude;
  value = static_cast<int>(std::clamp<long long>(signedValue, INT_MIN, INT_MAX));
  return true;
}

std::string_view FirstLine(std::string_view value) {
  return value.substr(0, value.find_first_of("\r\n"));
}

std::vector<std::string_view> SplitLines(std::string_view contents) {
  std::vector<std::string_view> lines;
  while (!contents.empty()) {
    const std::size_t end = contents.find('\n');
    std::string_view line = contents.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    contents.remove_prefix(end + 1);
  }
  return lines;
}

bool FileIsMissing(const std::string& hostPath) {
  std::error_code error;
  const bool exists = std::filesystem::exists(hostPath, error);
  return !exists && !error;
}

}  // namespace

bool IniFile::Load(const std::string& hostPath) {
  lines_.clear();
  byteOrderMark_ = false;
  std::string contents;
  if (!ReadWholeFile(hostPath, contents)) return FileIsMissing(hostPath);
  std::string_view body = contents;
  byteOrderMark_ = body.starts_with(kUtf8ByteOrderMark);
  if (byteOrderMark_) body.remove_prefix(kUtf8ByteOrderMark.size());
  bool insideSection = false;
  for (std::string_view text : SplitLines(body)) {
    lines_.push_back(ParseLine(text, insideSection));
    if (lines_.back().kind == LineKind::kSection) insideSection = true;
  }
  return true;
}

bool IniFile::Save(const std::string& hostPath) const {
  std::string contents(byteOrderMark_ ? kUtf8ByteOrderMark : std::string_view{});
  for (const Line& line : lines_) {
    contents += line.text;
    contents += kLineEnd;
  }
  return WriteFileAtomically(hostPath, contents);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
  const int index = FindKey(section, key);
  return std::string(index < 0 ? fallback : lines_[index].value);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
  const int index = FindKey(section, key);
  int value = 0;
  if (index < 0 || !ParseLeadingInteger(lines_[index].value, value)) return fallback;
  return value;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  value = FirstLine(value);
  const int index = FindKey(section, key);
  if (index >= 0) {
    if (lines_[index].value != Trim(value)) lines_[index] = MakeKeyLine(lines_[index].name, value);
    return;
  }
  const int header = FindSection(section);
  if (header >= 0) {
    lines_.insert(lines_.begin() + EndOfSectionKeys(header), MakeKeyLine(key, value));
    return;
  }
  if (!lines_.empty() && !Trim(lines_.back().text).empty()) lines_.push_back(Line{});
  lines_.push_back(MakeSectionLine(section));
  lines_.push_back(MakeKeyLine(key, value));
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

IniFile::Line IniFile::ParseLine(std::string_view text, bool insideSection) {
  Line line;
  line.text = text;
  const std::string_view trimmed = Trim(text);
  if (trimmed.starts_with('[')) {
    const std::size_t close = FindClosingBracket(trimmed);
    const std::size_t nameLength =
        close == std::string_view::npos ? std::string_view::npos : close - 1;
    line.kind = LineKind::kSection;
    line.name = Trim(trimmed.substr(1, nameLength));
    return line;
  }
  if (!insideSection || trimmed.starts_with(';')) return line;
  const std::size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return line;
  const std::string_view name = Trim(trimmed.substr(0, equals));
  if (name.empty()) return line;
  line.kind = LineKind::kKey;
  line.name = name;
  line.value = Trim(trimmed.substr(equals + 1));
  return line;
}

IniFile::Line IniFile::MakeKeyLine(std::string_view key, std::string_view value) {
  Line line;
  line.kind = LineKind::kKey;
  line.name = Trim(key);
  line.value = Trim(value);
  line.text = line.name + "=" + std::string(value);
  return line;
}

IniFile::Line IniFile::MakeSectionLine(std::string_view section) {
  Line line;
  line.kind = LineKind::kSection;
  line.name = Trim(section);
  line.text = "[" + line.name + "]";
  return line;
}

int IniFile::FindKey(std::string_view section, std::string_view key) const {
  bool inSection = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const Line& line = lines_[i];
    if (line.kind == LineKind::kSection) {
      inSection = NamesEqual(line.name, section);
    } else if (inSection && line.kind == LineKind::kKey && NamesEqual(line.name, key)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

int IniFile::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == LineKind::kSection && NamesEqual(lines_[i].name, section)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

int IniFile::EndOfSectionKeys(int header) const {
  int end = header + 1;
  for (int i = header + 1; i < static_cast<int>(lines_.size()); ++i) {
    if (lines_[i].kind == LineKind::kSection) break;
    if (lines_[i].kind == LineKind::kKey) end = i + 1;
  }
  return end;
}

}  // namespace halcyra

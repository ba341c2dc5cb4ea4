// An INI file read and written with the rules players' hand-edited settings files expect from
// Windows: names compared without regard to case, the first of two equal keys wins, and every
// line the program does not touch written back exactly as it was read.
//
// Text is kept as bytes (the engine's Shift-JIS); nothing is converted. Section and key names
// compare equal when they differ only in the case of single-byte ASCII letters; the second
// byte of a double-byte Shift-JIS character is never folded, so "ア" (0x83 0x41) and "ヂ"
// (0x83 0x61) stay different names. An IniFile owns its text; it is a plain value.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace halcyra {

class IniFile {
 public:
  // Replaces the contents with the host file's. A missing file gives an empty IniFile and
  // counts as success; false only when the file exists but cannot be read (the contents are
  // then empty). CRLF and LF line ends are both accepted; a leading UTF-8 byte-order mark is
  // no part of the first line, and Save writes it back. Lines before the first section and lines without "=" hold no keys but are
  // kept for Save, as are comments (lines starting with ";").
  bool Load(const std::string& hostPath);

  // Writes every line back with CRLF line ends, replacing the host file atomically; false
  // when the file could not be written, in which case the old file is untouched.
  bool Save(const std::string& hostPath) const;

  // The value of a key with surrounding blanks removed, or `fallback` when the key is absent.
  // A key that is present with nothing after "=" reads as the empty string.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const;

  // Reads an integer the way Windows does: blanks, an optional sign, then decimal digits or
  // "0x" and hexadecimal digits; anything after the leading number is ignored. `fallback`
  // when the key is absent or its value does not start with a number. Values beyond the range
  // of int saturate at its limits.
  int ReadInteger(std::string_view section, std::string_view key, int fallback) const;

  // Reads the value as an integer; non-zero is true. `fallback` as for ReadInteger.
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

  // Sets a key's value. An existing key keeps its place and spelling (its line is rewritten
  // only when the value changes); a new key goes after the last key of the first section of
  // that name; a new section goes at the end of the file. A value is cut at its first line
  // break, which a line-based file cannot hold.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  // Booleans are written as "1" and "0".
  void WriteBool(std::string_view section, std::string_view key, bool value);

 private:
  enum class LineKind { kOther, kSection, kKey };

  struct Line {
    LineKind kind = LineKind::kOther;
    std::string text;   // the line as it is written, without its line end
    std::string name;   // section or key name, trimmed
    std::string value;  // key value, trimmed
  };

  static Line ParseLine(std::string_view text, bool insideSection);
  static Line MakeKeyLine(std::string_view key, std::string_view value);
  static Line MakeSectionLine(std::string_view section);

  // Index of the first line holding the key in any section of that name; -1 when absent.
  int FindKey(std::string_view section, std::string_view key) const;
  // Index of the header of the first section of that name; -1 when absent.
  int FindSection(std::string_view section) const;
  // Index just past the last key (or the header) of the section whose header is at `header`.
  int EndOfSectionKeys(int header) const;

  std::vector<Line> lines_;
  bool byteOrderMark_ = false;  // the file read began with one
};

}  // namespace halcyra

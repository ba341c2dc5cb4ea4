// The text of the loaded script and the reading position inside it: the token reader, the
// line-text copy and the line counting that every statement uses.
//
// The text is Shift-JIS with CR LF line ends, not zero-terminated; every read is checked
// against its size. Byte 0 is a marker and never read as script: reading starts at offset 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace halcyra {

// Receives the reader's reports ("トークンが長すぎる", "１行が１０２４文字を超えている").
class ScriptErrorSink {
 public:
  virtual ~ScriptErrorSink() = default;
  virtual void ScriptError(std::string_view message, std::string_view detail) = 0;
};

class ScriptReader {
 public:
  static constexpr std::size_t kLineTextCapacity = 1024;

  explicit ScriptReader(ScriptErrorSink& errors) : errors_(errors) {}

  // A byte that begins a two-byte character for the script language: 0x81..0xA0 or
  // 0xC0..0xFC. Every scan steps over such a byte and the byte after it.
  static bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0xA0) || (byte >= 0xC0 && byte <= 0xFC);
  }

  // Takes the bytes of a script file. A first byte "X" marks a scrambled body: it is
  // unscrambled with the engine key and the marker becomes "N". Reading restarts at offset 1,
  // line 1.
  void SetText(std::vector<char> text);
  // Forgets the text: reads as an empty text.
  void Clear();

  // Copies the next token (at most capacity - 1 bytes and a zero) into buffer without consuming
  // its bytes: blanks, tabs and line breaks before it are passed (counting lines), a quoted
  // token's quotes are passed, and the caller adds the token's length afterwards.
  void ReadToken(char* buffer, std::size_t capacity);
  // Copies the rest of the current line into the line text; the position does not move.
  void ReadLineText();
  // Passes CR and LF bytes (counting lines); returns the next byte, 0 at the end.
  char SkipLineBreaks();
  // Moves on past the next CR (the position stops on it) or to the end.
  void SkipToLineEnd();

  char At(int position) const {
    return position >= 0 && position < size_ ? text_[static_cast<std::size_t>(position)] : '\0';
  }
  char Current() const { return At(position_); }
  int Position() const { return position_; }
  void SetPosition(int position) { position_ = position; }
  void Advance(std::size_t bytes) { position_ += static_cast<int>(bytes); }
  int Size() const { return size_; }
  bool AtEnd() const { return position_ >= size_; }
  int LineNumber() const { return lineNumber_; }
  void SetLineNumber(int line) { lineNumber_ = line; }
  const char* LineText() const { return lineText_; }
  std::string_view Text() const { return {text_.data(), static_cast<std::size_t>(size_)}; }

 private:
  ScriptErrorSink& errors_;
  std::vector<char> text_;
  int size_ = 0;
  int position_ = 1;
  int lineNumber_ = 1;
  int lineLength_ = 0;
  char lineText_[kLineTextCapacity] = {};
};

}  // namespace halcyra

#include "script/ScriptReader.h"

#include <cstring>

#include "resource/ScrambleKey.h"

namespace halcyra {
namespace {

// Reports of the reader, Shift-JIS.
constexpr char kTokenTooLong[] = "\x83g\x81[\x83""N\x83\x93\x82\xaa\x92\xb7\x82\xb7\x82\xac\x82\xe9";  // トークンが長すぎる
constexpr char kLineTooLong[] =  // １行が１０２４文字を超えている
    "\x82P\x8ds\x82\xaa\x82P\x82O\x82Q\x82S\x95\xb6\x8e\x9a\x82\xf0\x92\xb4\x82\xa6\x82\xc4\x82\xa2\x82\xe9";

}  // namespace

void ScriptReader::SetText(std::vector<char> text) {
  size_ = static_cast<int>(text.size());
  if (size_ > 0 && text[0] == 'X') {
    Scramble(reinterpret_cast<std::uint8_t*>(text.data()) + 1, text.size() - 1, 0);
    text[0] = 'N';
  }
  text_ = std::move(text);
  position_ = 1;
  lineNumber_ = 1;
  lineLength_ = 0;
  lineText_[0] = '\0';
}

void ScriptReader::Clear() {
  text_.clear();
  size_ = 0;
  position_ = 1;
  lineNumber_ = 1;
  lineLength_ = 0;
  lineText_[0] = '\0';
}

char ScriptReader::SkipLineBreaks() {
  while (position_ < size_) {
    const char byte = text_[static_cast<std::size_t>(position_)];
    if (byte == '\r') {
      ++position_;
    } else if (byte == '\n') {
      ++position_;
      ++lineNumber_;
      lineLength_ = 0;
    } else {
      return byte;
    }
  }
  return '\0';
}

void ScriptReader::SkipToLineEnd() {
  while (position_ < size_ && text_[static_cast<std::size_t>(position_)] != '\r') ++position_;
}

void ScriptReader::ReadToken(char* buffer, std::size_t capacity) {
  for (;;) {
    const char byte = SkipLineBreaks();
    if (byte != ' ' && byte != '\t') break;
    ++position_;
  }
  const bool quoted = position_ < size_ && text_[static_cast<std::size_t>(position_)] == '"';
  if (quoted) ++position_;
  std::size_t length = 0;
  const char* start = text_.data() + (position_ < size_ ? position_ : 0);
  const std::size_t available = position_ < size_ ? static_cast<std::size_t>(size_ - position_) : 0;
  while (length < capacity && length < available) {
    const char byte = start[length];
    if (quoted ? byte == '"' : (byte == '\0' || byte == '\t' || byte == '\r' || byte == ' ')) break;
    buffer[length++] = byte;
  }
  if (length == capacity) {
    errors_.ScriptError(kTokenTooLong, "");
    length = capacity - 1;
  }
  buffer[length] = '\0';
  // The caller adds the token's length; the closing quote is passed here.
  if (quoted) ++position_;
}

void ScriptReader::ReadLineText() {
  std::size_t length = 0;
  while (position_ + static_cast<int>(length) < size_ && length < kLineTextCapacity) {
    const char byte = text_[static_cast<std::size_t>(position_) + length];
    if (byte == '\r' || byte == '\n') break;
    lineText_[length++] = byte;
  }
  if (length == kLineTextCapacity) {
    lineText_[kLineTextCapacity - 1] = '\0';
    errors_.ScriptError(kLineTooLong, "");
    return;
  }
  lineText_[length] = '\0';
}

}  // namespace halcyra

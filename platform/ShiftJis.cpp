#include "platform/ShiftJis.h"

#include <iconv.h>

#include <cerrno>

namespace halcyra {
namespace {

bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsTrailByte(unsigned char byte) {
  return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}

// How many bytes an unconvertible character takes: a Shift-JIS lead byte with a trail byte is
// one (unassigned) character; anything else is skipped a byte at a time.
std::size_t BrokenCharacterLength(bool fromShiftJis, const char* in, std::size_t left) {
  if (fromShiftJis && left >= 2 && IsLeadByte(static_cast<unsigned char>(in[0])) &&
      IsTrailByte(static_cast<unsigned char>(in[1]))) {
    return 2;
  }
  return 1;
}

// Converts with iconv, replacing each character that cannot be converted by '?' and going on,
// so that a broken name or message still shows what it can.
std::string Convert(const char* to, const char* from, std::string_view input) {
  const bool fromShiftJis = std::string_view(from) == "CP932";
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::string(input);
  std::string output;
  output.resize(input.size() * 3 + 4);
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  char* out = output.data();
  std::size_t outLeft = output.size();
  while (inLeft > 0) {
    if (iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      const std::size_t used = static_cast<std::size_t>(out - output.data());
      output.resize(output.size() * 2);
      out = output.data() + used;
      outLeft = output.size() - used;
      continue;
    }
    // An invalid or incomplete sequence: show one '?' and step over one byte.
    if (outLeft == 0) {
      const std::size_t used = static_cast<std::size_t>(out - output.data());
      output.resize(output.size() * 2);
      out = output.data() + used;
      outLeft = output.size() - used;
    }
    *out++ = '?';
    --outLeft;
    const std::size_t skipped = BrokenCharacterLength(fromShiftJis, in, inLeft);
    in += skipped;
    inLeft -= skipped;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
  }
  output.resize(static_cast<std::size_t>(out - output.data()));
  iconv_close(converter);
  return output;
}

}  // namespace

std::string ShiftJisToUtf8(std::string_view shiftJis) { return Convert("UTF-8", "CP932", shiftJis); }

std::string Utf8ToShiftJis(std::string_view utf8) { return Convert("CP932", "UTF-8", utf8); }

}  // namespace halcyra

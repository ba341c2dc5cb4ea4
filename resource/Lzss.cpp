#include "resource/Lzss.h"

#include <cstring>

namespace halcyra {

std::size_t LzssDecode(std::uint8_t* destination, std::size_t destinationLength,
                       const std::uint8_t* source, std::size_t sourceLength) {
  constexpr unsigned kMask = kLzssRingSize - 1;
  std::uint8_t ring[kLzssRingSize];
  std::memset(ring, 0, sizeof ring);
  unsigned r = kLzssRingStart;

  const std::uint8_t* in = source;
  const std::uint8_t* const inEnd = source + sourceLength;
  std::uint8_t* out = destination;
  std::uint8_t* const outEnd = destination + destinationLength;

  // The flag byte sits in the low 8 bits; the bits above it count how many items are left, so
  // one test tells when the next flag byte is due.
  unsigned flags = 0;
  while (out < outEnd) {
    flags >>= 1;
    if ((flags & 0x100) == 0) {
      if (in == inEnd) break;
      flags = 0xFF00u | *in++;
    }
    if (flags & 1) {
      if (in == inEnd) break;
      const std::uint8_t c = *in++;
      *out++ = c;
      ring[r] = c;
      r = (r + 1) & kMask;
      continue;
    }
    if (inEnd - in < 2) break;
    const unsigned b1 = in[0];
    const unsigned b2 = in[1];
    in += 2;
    unsigned p = b1 | ((b2 & 0xF0u) << 4);
    std::size_t length = (b2 & 0x0Fu) + kLzssMinMatch;
    const std::size_t room = static_cast<std::size_t>(outEnd - out);
    if (length > room) length = room;
    for (std::size_t i = 0; i < length; ++i) {
      const std::uint8_t c = ring[p];
      p = (p + 1) & kMask;
      *out++ = c;
      ring[r] = c;
      r = (r + 1) & kMask;
    }
  }
  return static_cast<std::size_t>(out - destination);
}

}  // namespace halcyra

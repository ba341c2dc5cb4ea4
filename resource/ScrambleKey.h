// The engine's fixed 7-byte scrambling key and the exclusive-or that applies it.
//
// One key serves archive directories, the first 32 bytes of picture members and scrambled
// script bodies, in the engine and in halcyra-tool alike. Scrambling and unscrambling are the
// same operation.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace halcyra {

// None of the bytes is zero: the key's length is counted up to its first zero byte, so a zero
// would shorten the key.
inline constexpr std::array<std::uint8_t, 7> kScrambleKey = {
    0x5A, 0xC3, 0x17, 0x8E, 0x61, 0xF4, 0x2B};

// Exclusive-ors bytes[i] (0 <= i < length) with key byte (startIndex + i) mod 7, in place.
// startIndex lets a caller continue a run that began in an earlier buffer. bytes is borrowed and
// may be null when length is 0. Cannot fail.
void Scramble(std::uint8_t* bytes, std::size_t length, std::size_t startIndex);

}  // namespace halcyra

// LZSS decompression of picture members: 4096-byte ring, matches of 3 to 18 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace halcyra {

// Ring layout shared by the decoder and the encoder (LzssEncoder).
inline constexpr std::size_t kLzssRingSize = 4096;
inline constexpr std::size_t kLzssRingStart = 4078;  // first write position; 4096 - 18
inline constexpr std::size_t kLzssMinMatch = 3;
inline constexpr std::size_t kLzssMaxMatch = 18;

// Decodes one stream. A flag byte gives eight items, least significant bit first: a 1 bit is a
// literal byte, a 0 bit a two-byte match (b1, b2) that copies (b2 & 0x0F) + 3 bytes from ring
// position b1 + (b2 & 0xF0) * 16, a byte at a time, so a copy may repeat what it just wrote.
// The whole ring starts zeroed: positions 0..4077 because streams may refer to them, and
// 4078..4095 too, because each call owns a fresh ring and nothing of an earlier stream is left
// there to reuse; zero keeps the result a function of the input alone.
//
// Writes at most destinationLength bytes to destination (borrowed) and returns how many it wrote.
// The stream ends where the source runs out; an item cut short there is dropped. Output also
// stops, mid-item if need be, when destinationLength is reached. Never reads outside
// source[0, sourceLength) and never allocates. Cannot fail: a short result is the only sign of a
// truncated stream.
std::size_t LzssDecode(std::uint8_t* destination, std::size_t destinationLength,
                       const std::uint8_t* source, std::size_t sourceLength);

}  // namespace halcyra

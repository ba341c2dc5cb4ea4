// LZSS compression into the stream form that LzssDecode reads, for halcyra-tool and tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace halcyra {

// Compresses length bytes of data (borrowed; may be null when length is 0) and returns the
// stream alone, without the 4-byte length that picture members put in front of it.
//
// Matches are found through hash chains over the last 4095 bytes, with one step of lazy
// evaluation. Matches only ever refer to bytes this stream has already produced, never to the
// ring's initial contents, so the result decodes the same whatever a decoder leaves in ring
// positions 4078..4095 before it writes them. Cannot fail (allocation failure aside).
std::vector<std::uint8_t> LzssEncode(const std::uint8_t* data, std::size_t length);

}  // namespace halcyra

// The stored form of picture members, as halcyra-tool writes them: LZSS-compressed behind a
// 4-byte length, with the first 32 bytes scrambled in scrambled archives.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace halcyra {

// True for names ending in ".bmp" or ".psd", ASCII case ignored: the members that the engine
// decodes as pictures.
bool IsPictureName(std::string_view name);

// Turns plain picture bytes into their stored form. The result is the 4-byte little-endian length
// and the LZSS stream, except when that length would itself read as the "BM" signature and the
// picture already begins with "BM" or "8BPS": it is then stored as it is, which decodes the same.
// scramble: scramble the first 32 bytes (fewer for a shorter result) as the picture archive
// expects. False, with a message in error, when the bytes cannot be stored so that they decode
// back unchanged: larger than 256 MiB, or a colliding length without a picture signature.
bool EncodePicture(const std::vector<std::uint8_t>& plain, bool scramble,
                   std::vector<std::uint8_t>& stored, std::string& error);

}  // namespace halcyra

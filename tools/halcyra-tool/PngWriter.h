// Writes 32-bit frames as PNG files (RGBA, 8 bits per channel, stored without compression) so
// that screenshots open in any viewer.
#pragma once

#include <cstdint>
#include <string>

namespace halcyra {

// pixels: width x height values 0xAARRGGBB, rows top to bottom, pitch = width. opaque: write
// every alpha as 255 (a screen shot) rather than the stored alpha. False when the file cannot
// be written.
bool WritePng(const std::string& hostPath, const std::uint32_t* pixels, int width, int height,
              bool opaque);

}  // namespace halcyra

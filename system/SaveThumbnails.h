// The pictures written beside a save: a 24-bit bottom-up Windows bitmap of the 800 x 600 screen
// capture taken when the save/load screen opened, and a 120 x 90 thumbnail of its 4 x 4 block
// averages.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace halcyra {

struct Engine;

inline constexpr int kCaptureWidth = 800;
inline constexpr int kCaptureHeight = 600;

// The sizes the bitmap writer makes by keeping rows and columns of the capture, by index i:
enum class BitmapSize : int {
  kFull = 0,       // 800 x 600, all
  kHalf = 1,       // 400 x 300, i even
  kSmallHalf = 2,  // 320 x 240, i even and not a multiple of 10
  kQuarter = 3,    // 200 x 150, i a multiple of 4
  kSmall = 4,      // 160 x 120, i a multiple of 4 but not of 20
  kThumbnail = 5,  // 120 x 90, i a multiple of 4 with i mod 20 not 0 or 12
};

// "Save%03ds.bmp" (the thumbnail) or "Save%03db.bmp" (the big picture).
std::string ThumbnailFileName(int slot, bool big);

// The bytes of a 24-bit bitmap of the capture (kCaptureWidth x kCaptureHeight pixels 0xAARRGGBB,
// rows top to bottom) at the given size: 14-byte file header, 40-byte information header, rows
// bottom-up padded to four bytes, blue-green-red.
std::string EncodeBitmap(const std::uint32_t* capture, BitmapSize size);

// Writes the slot's pictures from the capture (null: nothing): the big one when Save/SamSaveBig
// is on, then the thumbnail. Each file is written to a temporary file and renamed into place.
// False when a file could not be written.
bool WriteThumbnails(Engine& engine, int slot, const std::uint32_t* capture);

}  // namespace halcyra

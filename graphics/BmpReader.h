// Reads the BMP pictures the engine accepts: 24 bits per pixel uncompressed, and 8 bits per pixel
// with a palette, uncompressed or RLE8. Every read is checked against the end of the bytes.
//
// Where the pixels start: at the file header's data offset when that lies inside the file and
// after the headers (and the palette); otherwise right after them. The palette follows the info
// header (of the size that header gives, at least 40 bytes): 4 bytes per entry (blue, green,
// red, unused), as many entries as the header's used-colour count, or 256 when that is 0 or
// larger. Indices beyond the palette give opaque black. A negative height means rows stored top
// first (uncompressed pictures only).
//
// RLE8 runs fill the picture from its bottom row upwards: count and index pairs; the escapes are
// 0 0 end of line, 0 1 end of picture, 0 2 followed by two bytes that are skipped without moving,
// and 0 n (n >= 3) followed by n indices padded to an even length. Pixels no run reaches take
// palette entry 0; runs reaching past the right edge or above the top are cut off.
#pragma once

#include <cstdint>
#include <span>

namespace halcyra {

class BmpReader {
 public:
  enum class Fault {
    kNone,
    kBroken,       // too short for its headers or pixels, or a malformed RLE8 stream
    kUnsupported,  // another depth or compression
  };

  // bytes: the whole BMP file, borrowed for the reader's life.
  explicit BmpReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  // Reads and checks the headers; false with Fault() set when they cannot be used.
  bool ReadHeader();
  // Picture size from the header (height as a positive number); valid after ReadHeader.
  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitsPerPixel() const { return bitsPerPixel_; }

  // Writes Width() x Height() opaque pixels (0xFFRRGGBB), packed rows top first, into pixels.
  // Width and height must be at least 1. False with Fault() set when the pixel data is short or
  // malformed; pixels are then partly written.
  bool Decode(std::uint32_t* pixels);

  Fault GetFault() const { return fault_; }

 private:
  bool Fail(Fault fault);
  std::uint32_t Read32(std::size_t offset) const;
  std::uint16_t Read16(std::size_t offset) const;
  std::size_t DataStart(std::size_t headersEnd) const;
  void ReadPalette();
  bool Decode24(std::uint32_t* pixels);
  bool DecodeIndexed(std::uint32_t* pixels);
  bool DecodeRle8(std::uint32_t* pixels);
  // How many of count pixels from column x of RLE row (counted from the bottom) lie inside.
  int VisibleCount(int x, int row, int count) const;
  std::uint32_t* RunStart(std::uint32_t* pixels, int x, int row) const;

  std::span<const std::uint8_t> bytes_;
  int width_ = 0;
  int height_ = 0;
  bool topDown_ = false;
  int bitsPerPixel_ = 0;
  std::uint32_t compression_ = 0;
  std::size_t headersEnd_ = 0;
  std::uint32_t paletteEntries_ = 0;
  std::uint32_t palette_[256] = {};
  Fault fault_ = Fault::kNone;
};

}  // namespace halcyra

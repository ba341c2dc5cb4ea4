#include "graphics/BmpReader.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "graphics/PixelOps.h"

namespace halcyra {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kOpaqueBlack = 0xFF000000u;

std::size_t RowStride(int width, int bitsPerPixel) {
  return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel) / 8 + 3) &
         ~static_cast<std::size_t>(3);
}

}  // namespace

bool BmpReader::Fail(Fault fault) {
  fault_ = fault;
  return false;
}

std::uint32_t BmpReader::Read32(std::size_t offset) const {
  return static_cast<std::uint32_t>(bytes_[offset]) |
         static_cast<std::uint32_t>(bytes_[offset + 1]) << 8 |
         static_cast<std::uint32_t>(bytes_[offset + 2]) << 16 |
         static_cast<std::uint32_t>(bytes_[offset + 3]) << 24;
}

std::uint16_t BmpReader::Read16(std::size_t offset) const {
  return static_cast<std::uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
}

bool BmpReader::ReadHeader() {
  if (bytes_.size() < kFileHeaderSize + kInfoHeaderSize) return Fail(Fault::kBroken);
  const std::uint32_t infoSize = Read32(kFileHeaderSize);
  if (infoSize < kInfoHeaderSize) return Fail(Fault::kUnsupported);
  if (infoSize > bytes_.size() - kFileHeaderSize) return Fail(Fault::kBroken);
  headersEnd_ = kFileHeaderSize + infoSize;
  width_ = static_cast<std::int32_t>(Read32(18));
  const auto height = static_cast<std::int32_t>(Read32(22));
  topDown_ = height < 0;
  height_ = static_cast<int>(std::min<std::int64_t>(std::abs(static_cast<std::int64_t>(height)),
                                                    std::numeric_limits<std::int32_t>::max()));
  bitsPerPixel_ = Read16(28);
  compression_ = Read32(30);
  const bool supported =
      (bitsPerPixel_ == 24 && compression_ == kUncompressed) ||
      (bitsPerPixel_ == 8 && (compression_ == kUncompressed || compression_ == kRle8));
  if (!supported) return Fail(Fault::kUnsupported);
  if (topDown_ && compression_ == kRle8) return Fail(Fault::kBroken);
  if (bitsPerPixel_ == 8) {
    const std::uint32_t used = Read32(46);
    paletteEntries_ = (used == 0 || used > 256) ? 256 : used;
    if (headersEnd_ + 4 * static_cast<std::size_t>(paletteEntries_) > bytes_.size()) {
      return Fail(Fault::kBroken);
    }
    ReadPalette();
  }
  return true;
}

void BmpReader::ReadPalette() {
  std::fill(std::begin(palette_), std::end(palette_), kOpaqueBlack);
  for (std::uint32_t i = 0; i < paletteEntries_; ++i) {
    palette_[i] =
        kOpaqueBlack | (Read32(headersEnd_ + 4 * static_cast<std::size_t>(i)) & 0xFFFFFFu);
  }
}

std::size_t BmpReader::DataStart(std::size_t headersEnd) const {
  const std::uint32_t offset = Read32(10);
  return (offset >= headersEnd && offset < bytes_.size()) ? offset : headersEnd;
}

bool BmpReader::Decode(std::uint32_t* pixels) {
  if (bitsPerPixel_ == 24) return Decode24(pixels);
  if (compression_ == kRle8) return DecodeRle8(pixels);
  return DecodeIndexed(pixels);
}

bool BmpReader::Decode24(std::uint32_t* pixels) {
  const std::size_t start = DataStart(headersEnd_);
  const std::size_t stride = RowStride(width_, 24);
  const std::size_t needed =
      stride * static_cast<std::size_t>(height_ - 1) + static_cast<std::size_t>(width_) * 3;
  if (start > bytes_.size() || bytes_.size() - start < needed) return Fail(Fault::kBroken);
  const std::uint8_t* data = bytes_.data() + start;
  const auto step = static_cast<int>(stride);
  if (topDown_) {
    ConvertRows24(pixels, data, width_, height_, -step);
  } else {
    ConvertRows24(pixels, data + stride * static_cast<std::size_t>(height_ - 1), width_, height_,
                  step);
  }
  return true;
}

bool BmpReader::DecodeIndexed(std::uint32_t* pixels) {
  const std::size_t start = DataStart(headersEnd_ + 4 * static_cast<std::size_t>(paletteEntries_));
  const std::size_t stride = RowStride(width_, 8);
  const std::size_t needed =
      stride * static_cast<std::size_t>(height_ - 1) + static_cast<std::size_t>(width_);
  if (start > bytes_.size() || bytes_.size() - start < needed) return Fail(Fault::kBroken);
  for (int y = 0; y < height_; ++y) {
    const int storedRow = topDown_ ? y : height_ - 1 - y;
    const std::uint8_t* row = bytes_.data() + start + stride * static_cast<std::size_t>(storedRow);
    std::uint32_t* out = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
    for (int x = 0; x < width_; ++x) out[x] = palette_[row[x]];
  }
  return true;
}

int BmpReader::VisibleCount(int x, int row, int count) const {
  return (row < height_ && x < width_) ? std::min(count, width_ - x) : 0;
}

std::uint32_t* BmpReader::RunStart(std::uint32_t* pixels, int x, int row) const {
  const int clampedRow = std::min(row, height_ - 1);
  const int clampedX = std::min(x, width_ - 1);
  return pixels +
         static_cast<std::size_t>(height_ - 1 - clampedRow) * static_cast<std::size_t>(width_) +
         static_cast<std::size_t>(clampedX);
}

bool BmpReader::DecodeRle8(std::uint32_t* pixels) {
  std::fill_n(pixels, static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
              palette_[0]);
  std::size_t at = DataStart(headersEnd_ + 4 * static_cast<std::size_t>(paletteEntries_));
  const std::size_t end = bytes_.size();
  int x = 0;
  int row = 0;
  for (;;) {
    if (end - std::min(at, end) < 2) return Fail(Fault::kBroken);
    const int count = bytes_[at];
    const int value = bytes_[at + 1];
    at += 2;
    if (count > 0) {
      std::fill_n(RunStart(pixels, x, row), VisibleCount(x, row, count), palette_[value]);
      x = std::min(x + count, width_);
      continue;
    }
    if (value == 0) {
      x = 0;
      row = std::min(row + 1, height_);
    } else if (value == 1) {
      return true;
    } else if (value == 2) {
      if (end - at < 2) return Fail(Fault::kBroken);
      at += 2;
    } else {
      if (end - at < static_cast<std::size_t>(value)) return Fail(Fault::kBroken);
      std::uint32_t* out = RunStart(pixels, x, row);
      const int visible = VisibleCount(x, row, value);
      for (int i = 0; i < visible; ++i) out[i] = palette_[bytes_[at + static_cast<std::size_t>(i)]];
      x = std::min(x + value, width_);
      at += static_cast<std::size_t>(value + (value & 1));
    }
  }
}

}  // namespace halcyra

#include "system/SaveThumbnails.h"

#include <cstdio>
#include <vector>

#include "platform/FileSystem.h"
#include "script/Engine.h"

namespace halcyra {
namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kBlock = 4;

bool Kept(int index, BitmapSize size) {
  switch (size) {
    case BitmapSize::kFull: return true;
    case BitmapSize::kHalf: return index % 2 == 0;
    case BitmapSize::kSmallHalf: return index % 2 == 0 && index % 10 != 0;
    case BitmapSize::kQuarter: return index % 4 == 0;
    case BitmapSize::kSmall: return index % 4 == 0 && index % 20 != 0;
    case BitmapSize::kThumbnail: return index % 4 == 0 && index % 20 != 0 && index % 20 != 12;
  }
  return false;
}

std::vector<int> KeptIndices(int length, BitmapSize size) {
  std::vector<int> indices;
  for (int i = 0; i < length; ++i) {
    if (Kept(i, size)) indices.push_back(i);
  }
  return indices;
}

void Put16(std::string& bytes, std::uint32_t value) {
  bytes += static_cast<char>(value & 0xFF);
  bytes += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& bytes, std::uint32_t value) {
  Put16(bytes, value & 0xFFFF);
  Put16(bytes, value >> 16);
}

void PutHeaders(std::string& bytes, int width, int height, std::uint32_t imageSize) {
  bytes += "BM";
  Put32(bytes, kFileHeaderSize + kInfoHeaderSize + imageSize);
  Put32(bytes, 0);  // two reserved words
  Put32(bytes, kFileHeaderSize + kInfoHeaderSize);
  Put32(bytes, kInfoHeaderSize);
  Put32(bytes, static_cast<std::uint32_t>(width));
  Put32(bytes, static_cast<std::uint32_t>(height));
  Put16(bytes, 1);   // planes
  Put16(bytes, 24);  // bits per pixel
  Put32(bytes, 0);   // no compression
  Put32(bytes, imageSize);
  for (int i = 0; i < 4; ++i) Put32(bytes, 0);
}

// Each channel of every 4 x 4 block averaged (sum of the 16 values shifted right by 4) into the
// block's top-left pixel, whose alpha stays.
void AverageBlocks(std::vector<std::uint32_t>& pixels) {
  for (int top = 0; top < kCaptureHeight; top += kBlock) {
    for (int left = 0; left < kCaptureWidth; left += kBlock) {
      std::uint32_t blue = 0;
      std::uint32_t green = 0;
      std::uint32_t red = 0;
      for (int y = top; y < top + kBlock; ++y) {
        const std::uint32_t* row = pixels.data() + static_cast<std::size_t>(y) * kCaptureWidth;
        for (int x = left; x < left + kBlock; ++x) {
          blue += row[x] & 0xFF;
          green += (row[x] >> 8) & 0xFF;
          red += (row[x] >> 16) & 0xFF;
        }
      }
      std::uint32_t& corner = pixels[static_cast<std::size_t>(top) * kCaptureWidth + left];
      corner = (corner & 0xFF000000u) | (red >> 4) << 16 | (green >> 4) << 8 | (blue >> 4);
    }
  }
}

bool WriteBitmapFile(int slot, bool big, const std::uint32_t* pixels, BitmapSize size) {
  return WriteFileAtomically(HostPath(ThumbnailFileName(slot, big)), EncodeBitmap(pixels, size));
}

}  // namespace

std::string ThumbnailFileName(int slot, bool big) {
  char name[32];
  std::snprintf(name, sizeof name, "Save%03d%c.bmp", slot, big ? 'b' : 's');
  return name;
}

std::string EncodeBitmap(const std::uint32_t* capture, BitmapSize size) {
  const std::vector<int> columns = KeptIndices(kCaptureWidth, size);
  const std::vector<int> rows = KeptIndices(kCaptureHeight, size);
  const int width = static_cast<int>(columns.size());
  const int height = static_cast<int>(rows.size());
  const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  const std::size_t padding = rowBytes - static_cast<std::size_t>(width) * 3;
  std::string bytes;
  bytes.reserve(kFileHeaderSize + kInfoHeaderSize + rowBytes * static_cast<std::size_t>(height));
  PutHeaders(bytes, width, height, static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(height)));
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    const std::uint32_t* source = capture + static_cast<std::size_t>(*row) * kCaptureWidth;
    for (const int column : columns) {
      const std::uint32_t pixel = source[column];
      bytes += static_cast<char>(pixel & 0xFF);
      bytes += static_cast<char>((pixel >> 8) & 0xFF);
      bytes += static_cast<char>((pixel >> 16) & 0xFF);
    }
    bytes.append(padding, '\0');
  }
  return bytes;
}

bool WriteThumbnails(Engine& engine, int slot, const std::uint32_t* capture) {
  if (capture == nullptr) return false;
  std::vector<std::uint32_t> copy(capture, capture + kCaptureWidth * kCaptureHeight);
  bool written = true;
  if (engine.settings.save.samSaveBig) written = WriteBitmapFile(slot, true, copy.data(), BitmapSize::kFull);
  AverageBlocks(copy);
  return WriteBitmapFile(slot, false, copy.data(), BitmapSize::kThumbnail) && written;
}

}  // namespace halcyra

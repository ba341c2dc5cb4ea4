#include "app/ScreenCopy.h"

#include <algorithm>
#include <cstring>

namespace halcyra {
namespace {

constexpr std::uint32_t kBlack = 0;
constexpr std::size_t kRowBytes = kScreenWidth * sizeof(std::uint32_t);

void FillRows(std::uint32_t* window, int firstRow, int rowCount) {
  std::fill_n(window + static_cast<std::ptrdiff_t>(firstRow) * kScreenWidth,
              static_cast<std::ptrdiff_t>(rowCount) * kScreenWidth, kBlack);
}

void CopyRows(const std::uint32_t* backBuffer, int sourceRow, std::uint32_t* window,
              int targetRow, int rowCount) {
  if (rowCount <= 0) return;
  std::memcpy(window + static_cast<std::ptrdiff_t>(targetRow) * kScreenWidth,
              backBuffer + static_cast<std::ptrdiff_t>(sourceRow) * kScreenWidth,
              static_cast<std::size_t>(rowCount) * kRowBytes);
}

void ShiftVertically(const std::uint32_t* backBuffer, int v, std::uint32_t* window) {
  const int moved = std::min(v < 0 ? -v : v, kScreenHeight);
  if (v < 0) {
    CopyRows(backBuffer, moved, window, 0, kScreenHeight - moved);
    FillRows(window, kScreenHeight - moved, moved);
  } else {
    FillRows(window, 0, moved);
    CopyRows(backBuffer, 0, window, moved, kScreenHeight - moved);
  }
}

void ShiftHorizontally(const std::uint32_t* backBuffer, int h, std::uint32_t* window) {
  const int moved = std::min(h < 0 ? -h : h, kScreenWidth);
  const int kept = kScreenWidth - moved;
  const std::size_t keptBytes = static_cast<std::size_t>(kept) * sizeof(std::uint32_t);
  for (int y = 0; y < kScreenHeight; ++y) {
    const std::uint32_t* source = backBuffer + static_cast<std::ptrdiff_t>(y) * kScreenWidth;
    std::uint32_t* target = window + static_cast<std::ptrdiff_t>(y) * kScreenWidth;
    if (h < 0) {
      std::memcpy(target, source + moved, keptBytes);
      std::fill_n(target + kept, moved, kBlack);
    } else {
      std::fill_n(target, moved, kBlack);
      std::memcpy(target + moved, source, keptBytes);
    }
  }
}

// Nearest-pixel stretch of the centred cut-out; the source column of every window column is
// worked out once per copy, so the pixel loop is a plain gather.
void StretchZoomed(const std::uint32_t* backBuffer, int zoom, std::uint32_t* window) {
  const int cutWidth = zoom * kScreenWidth / 256;
  const int cutHeight = zoom * kScreenHeight / 256;
  const int sourceWidth = kScreenWidth - cutWidth;
  const int sourceHeight = kScreenHeight - cutHeight;
  const int originX = kScreenWidth / 2 - sourceWidth / 2;
  const int originY = kScreenHeight / 2 - sourceHeight / 2;
  int sourceColumn[kScreenWidth];
  for (int x = 0; x < kScreenWidth; ++x) sourceColumn[x] = originX + x * sourceWidth / kScreenWidth;
  for (int y = 0; y < kScreenHeight; ++y) {
    const std::uint32_t* source =
        backBuffer + static_cast<std::ptrdiff_t>(originY + y * sourceHeight / kScreenHeight) *
                         kScreenWidth;
    std::uint32_t* target = window + static_cast<std::ptrdiff_t>(y) * kScreenWidth;
    for (int x = 0; x < kScreenWidth; ++x) target[x] = source[sourceColumn[x]];
  }
}

}  // namespace

void CopyBackBufferToWindow(const std::uint32_t* backBuffer, int shakeX, int shakeY, int zoom,
                            std::uint32_t* window) {
  if (shakeY != 0) {
    ShiftVertically(backBuffer, shakeY, window);
  } else if (shakeX != 0) {
    ShiftHorizontally(backBuffer, shakeX, window);
  } else if (zoom > 16) {
    StretchZoomed(backBuffer, std::min(zoom, 255), window);
  } else {
    CopyRows(backBuffer, 0, window, 0, kScreenHeight);
  }
}

}  // namespace halcyra

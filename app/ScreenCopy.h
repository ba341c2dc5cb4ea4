// The copy of the finished back buffer to the window: the screen shake moves the whole picture
// (uncovered rows or columns turn black) and the screen zoom stretches a centred cut-out.
#pragma once

#include <cstdint>

namespace halcyra {

inline constexpr int kScreenWidth = 800;
inline constexpr int kScreenHeight = 600;

// Copies an 800 x 600 back buffer into an 800 x 600 window image. A vertical shake (shakeY)
// wins over a horizontal one; with neither, a zoom above 16 (of 0..255) cuts zoom/256 of each
// dimension away around the centre and stretches the rest over the window.
void CopyBackBufferToWindow(const std::uint32_t* backBuffer, int shakeX, int shakeY, int zoom,
                            std::uint32_t* window);

}  // namespace halcyra

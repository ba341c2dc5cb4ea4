// Encodes pictures with transparency as the layered Photoshop documents the engine reads: one
// layer per animation cell, each with red, green, blue and transparency channels, uncompressed.
#pragma once

#include <cstdint>
#include <vector>

namespace halcyra::demo {

// A picture of width x height pixels, 0xAARRGGBB, rows top to bottom.
struct Cell {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  Cell(int w, int h, std::uint32_t fill = 0) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}
  std::uint32_t& At(int x, int y) { return pixels[std::size_t(y) * width + x]; }
};

// The document of one or more cells of the same size (the first cell's).
std::vector<std::uint8_t> EncodePsd(const std::vector<Cell>& cells);

}  // namespace halcyra::demo

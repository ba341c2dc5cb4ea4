// Turns the engine's Shift-JIS characters into anti-aliased glyph bitmaps, one character at a
// time, in the 65-level grey form the text renderer composes onto its pictures.
//
// Units: every size and position is in whole pixels. Fonts are named by id numbers this
// interface hands out; an id stays valid until CloseFont. Failure: OpenFont answers -1, the
// other operations answer false, 0 or an empty string; nothing throws.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace halcyra {

// What the game asks for when it creates a font.
struct FontRequest {
  std::string faceName;  // Shift-JIS bytes, as the script writes them (e.g. "ＭＳ ゴシック")
  int height = 0;        // the em box in pixels: the character height, not the line spacing
  bool bold = false;
  bool italic = false;
};

// One character's coverage over its black box.
struct GlyphBitmap {
  int width = 0;   // pixels of the black box; 0 with height 0 when nothing is drawn (a space)
  int height = 0;  // rows of the black box
  int pitch = 0;   // bytes from one row to the next: width rounded up to a multiple of 4
  int originX = 0; // from the pen position right to the box's left column (may be negative)
  int originY = 0; // from the baseline up to the box's top row (negative below the baseline)
  int advance = 0; // how far the pen moves on after the character
  // height * pitch levels, top row first, 0 (empty) to 64 (fully covered); padding bytes are 0.
  std::vector<std::uint8_t> levels;
};

class FontRasterizer {
 public:
  static constexpr int kFullCoverage = 64;

  virtual ~FontRasterizer() = default;

  // An id >= 0, or -1 when no usable face exists or the height is out of range. A face name that
  // is unknown (or cannot show Japanese) still opens, on a Japanese face of the system.
  virtual int OpenFont(const FontRequest& request) = 0;

  // The glyph of one character: lead byte * 256 + trail byte, or the single byte itself. True
  // with an empty bitmap for a blank character; false when the code is not valid Shift-JIS, the
  // face has no glyph for it, or the font id is not open (there is nothing to draw).
  virtual bool RenderGlyph(int font, std::uint16_t shiftJisCode, GlyphBitmap& out) = 0;

  // Pixels from the top of the line cell down to the baseline; 0 for an id that is not open.
  virtual int Ascent(int font) const = 0;

  // The file the font was loaded from, for diagnostics; empty for an id that is not open.
  virtual std::string FaceFileOf(int font) const = 0;

  // Frees the font and its glyphs; an id that is not open is ignored.
  virtual void CloseFont(int font) = 0;
};

}  // namespace halcyra

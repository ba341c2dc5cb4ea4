// The hook through which sprites have text drawn: the text renderer implements it and owns the
// fonts; sprites only hold a font pointer and hand it back.
#pragma once

#include <cstdint>
#include <string_view>

namespace halcyra {

class CDIBitmap;

// A font of the text renderer; opaque to sprites, owned by the text renderer.
class TextFont;

class TextRenderer {
 public:
  virtual ~TextRenderer() = default;
  // Draws a one-line label (Shift-JIS) into frame 0 of picture, which the caller has created
  // transparent at the label's size (12 pixels per byte plus 4, 28 rows) with its alpha flag
  // set. colour: 0xFFFFFF in the low 24 bits selects the unread style, anything else the read
  // style. font may be null (the renderer's default).
  virtual void RenderLabel(CDIBitmap& picture, std::string_view text, const TextFont* font,
                           std::uint32_t colour) = 0;
};

}  // namespace halcyra

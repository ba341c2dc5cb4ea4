// The engine's text drawing: glyphs of Shift-JIS characters turned into opaque grey pixels with
// a one-pixel outline, the one-line labels of SetText and the typing of messages into a text
// surface (line breaking on a column and row grid, kinsoku, hanging indent, control codes, the
// hero-name placeholders and ruby).
//
// Units: positions, sizes and character widths in pixels; glyph intensities and greys 0..255.
// Text is Shift-JIS bytes: a full-width character is named by lead byte * 256 + trail byte, a
// half-width one by its byte.
//
// Ownership: the renderer borrows the rasterizer, the settings it reads and the error reporter
// (all must outlive it) and owns every TextFont it creates; sprites only hold font pointers,
// which stay valid until ReleaseFont or the renderer's end. Threading: one thread.
//
// Failure: nothing throws. Characters the rasterizer cannot produce are skipped silently; a
// missing font draws nothing. Typing reports "メッセージがあふれました" (overflow, debug mode with
// the text flag only) and "不正な制御コード" (bad backslash code) through the reporter's
// SystemError and goes on as TypeText describes.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "graphics/ErrorReporter.h"
#include "graphics/TextRenderer.h"
#include "platform/FontRasterizer.h"

namespace halcyra {

class CDIBSprite;

// A font the renderer opened on its rasterizer: what was asked for and the rasterizer's id.
class TextFont {
 public:
  TextFont(FontRequest request, int rasterizerId)
      : request_(std::move(request)), rasterizerId_(rasterizerId) {}

  const std::string& Face() const { return request_.faceName; }
  int Height() const { return request_.height; }  // em box, pixels
  bool Bold() const { return request_.bold; }
  bool Italic() const { return request_.italic; }
  int RasterizerId() const { return rasterizerId_; }

 private:
  FontRequest request_;
  int rasterizerId_;
};

// The settings the renderer reads each time it draws, borrowed so that changes made in the
// options dialog apply to the next character.
struct TextSettingsView {
  const int& readGlyphGrey;       // Message/ReadedLumi: glyph grey of read text, 0..255
  const int& readOutlineGrey;     // Message/ReadedLumi2: outline grey of read text, 0..255
  const std::string& heroName;    // User/Name, replaces "●名●"
  const std::string& familyName;  // User/Family, replaces "▲氏▲"
  const bool& debugMode;          // overflow is reported only in debug mode
};

class GlyphTextRenderer final : public TextRenderer {
 public:
  // Called after each full-width character typed with the remaining pause in frames; may set it
  // to 0 so that the rest shows at once.
  using CharWait = std::function<void(int& waitCount)>;

  // 32-bit pixels (0xAARRGGBB) of width x height, pitch in pixels; borrowed.
  struct Surface {
    std::uint32_t* pixels = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
  };

  // errors may be null (reports are dropped).
  GlyphTextRenderer(FontRasterizer& rasterizer, TextSettingsView settings, ErrorReporter* errors);
  ~GlyphTextRenderer() override;
  GlyphTextRenderer(const GlyphTextRenderer&) = delete;
  GlyphTextRenderer& operator=(const GlyphTextRenderer&) = delete;

  // A font owned by the renderer; null when the rasterizer cannot open it.
  const TextFont* CreateFont(const FontRequest& request);
  // Closes a font made by CreateFont (null or foreign pointers are ignored); it also stops being
  // the label or ruby font.
  void ReleaseFont(const TextFont* font);
  // The font of labels whose sprite has none (the first 24-pixel game font).
  void SetLabelFont(const TextFont* font) { labelFont_ = font; }
  // The font of ruby (the 12-pixel game font); without one ruby is laid out but not drawn.
  void SetRubyFont(const TextFont* font) { rubyFont_ = font; }

  // The kinsoku and indent-start lists: sequences of two-byte characters (a trailing odd byte
  // is ignored). Initially "」）〕〉】、。！？" and "「（〔〈【".
  void SetLineEndChars(std::string_view characters) { lineEndChars_ = characters; }
  void SetIndentChars(std::string_view characters) { indentChars_ = characters; }
  bool IsLineEndChar(std::uint16_t code) const { return InList(lineEndChars_, code); }
  bool IsIndentChar(std::uint16_t code) const { return InList(indentChars_, code); }

  // Types the holder's text (SetTextDirect) into frame 0 of target at the holder's position;
  // columns and rows are the grid the holder was prepared with. Writes the holder's placed
  // position and indent, and changes its text as the control codes and an overflow require.
  // charWait may be empty. A null target lays the text out without drawing (the layout-only
  // marker) and answers false; false too, with nothing changed, for a sprite that holds no text
  // or a character width below 1.
  bool TypeText(CDIBSprite& holder, int columns, int rows, CDIBitmap* target, int& waitCount,
                int indent, bool lineStart, const CharWait& charWait);
  // One character of the holder's font and colour style at (x, y) of target's frame 0, glyph
  // and outline. False when the frame cannot be locked or the glyph cannot be drawn.
  bool DrawCharacter(const CDIBSprite& holder, int x, int y, std::uint16_t code, CDIBitmap& target);
  // The glyph alone, its box written whole (transparent levels included) and clipped to the
  // surface. True when drawn (a blank character draws nothing and is true).
  bool DrawGlyph(const TextFont& font, std::uint16_t code, int intensity, int x, int y,
                 const Surface& surface);
  void RenderLabel(CDIBitmap& picture, std::string_view text, const TextFont* font,
                   std::uint32_t colour) override;

 private:
  struct Style {
    int intensity = 255;
    std::uint32_t outline = 0;
  };
  // The position and progress of one TypeText call.
  struct Typing {
    std::string& text;
    Surface surface;
    bool draws;
    const TextFont* font;
    Style style;
    int& waitCount;
    const CharWait& charWait;
    int originX;
    int originY;
    int e;
    int lineHeight;
    int columns;
    int rows;
    int limit;
    bool textFlag;
    bool lineStart;
    int indent;
    std::size_t i = 0;
    int x = 0;
    int y = 0;
    int count = 0;
  };

  static bool InList(std::string_view list, std::uint16_t code);
  Style StyleFor(std::uint32_t colour, std::uint32_t unreadOutline) const;
  void BuildLevelTable(int intensity);
  bool DrawOutlined(const TextFont* font, std::uint16_t code, int x, int y, int e, Style style,
                    const Surface& surface);
  void Report(int number, std::string_view message, std::string_view detail) const;

  bool Step(Typing& t);
  bool Overflows(Typing& t);
  void NewLine(Typing& t) const;
  void TypeFullWidth(Typing& t, std::uint16_t code);
  void BreakAtLastColumn(Typing& t, std::uint16_t code);
  bool TypeName(Typing& t);
  void TypeBackslash(Typing& t);
  void TypeDollar(Typing& t);
  void TypeRuby(Typing& t);
  void RubyCharacter(Typing& t, int& rx, int& ry, std::size_t& j);
  void Put(Typing& t, const TextFont* font, int x, int y, std::uint16_t code);
  void TypeAndWait(Typing& t, std::uint16_t code);

  FontRasterizer& rasterizer_;
  TextSettingsView settings_;
  ErrorReporter* errors_;
  std::vector<std::unique_ptr<TextFont>> fonts_;
  const TextFont* labelFont_ = nullptr;
  const TextFont* rubyFont_ = nullptr;
  std::string lineEndChars_;
  std::string indentChars_;
  GlyphBitmap glyph_;  // reused, so that copying a cached glyph allocates nothing
  std::array<std::uint32_t, 256> levelPixels_{};
  int levelIntensity_ = -1;
};

}  // namespace halcyra

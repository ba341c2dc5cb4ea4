// Message typing over arbitrary bytes: line breaking, kinsoku, indent, control codes, name
// placeholders and ruby. The first six bytes give the layout: character width (0..63), columns
// (0..63), rows (0..15), the indent (-1..62), and flags (bit 0 text flag, bit 1 line start, bit 2
// debug mode, bit 3 layout only); the rest is the message.
//
// Glyphs come from a fixed box rasterizer, so that the target spends its time on layout rather
// than on a font library, and every glyph is big enough to reach past a surface's edges.
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "graphics/CDIBSprite.h"
#include "graphics/CDIBitmap.h"
#include "graphics/GlyphTextRenderer.h"

namespace {

constexpr int kAscent = 20;
constexpr int kSurfaceWidth = 320;
constexpr int kSurfaceHeight = 120;
constexpr std::size_t kLayoutBytes = 6;

class BoxRasterizer : public halcyra::FontRasterizer {
 public:
  BoxRasterizer() {
    glyph_.width = 22;
    glyph_.height = 24;
    glyph_.pitch = 24;
    glyph_.originX = -1;
    glyph_.originY = kAscent + 2;
    glyph_.advance = 24;
    glyph_.levels.assign(static_cast<std::size_t>(glyph_.pitch) * glyph_.height, 40);
  }
  int OpenFont(const halcyra::FontRequest&) override { return opened_++; }
  bool RenderGlyph(int font, std::uint16_t code, halcyra::GlyphBitmap& out) override {
    if (font < 0 || font >= opened_ || (code > 0xFF && (code & 0xFF) < 0x40)) return false;
    out = glyph_;
    return true;
  }
  int Ascent(int) const override { return kAscent; }
  std::string FaceFileOf(int) const override { return "box"; }
  void CloseFont(int) override {}

 private:
  halcyra::GlyphBitmap glyph_;
  int opened_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kLayoutBytes) return 0;
  const int characterWidth = data[0] & 63;
  const int columns = data[1] & 63;
  const int rows = data[2] & 15;
  const int indent = (data[3] & 63) - 1;
  const bool textFlag = (data[4] & 1) != 0;
  const bool lineStart = (data[4] & 2) != 0;
  const bool debugMode = (data[4] & 4) != 0;
  const bool layoutOnly = (data[4] & 8) != 0;
  const std::string_view message(reinterpret_cast<const char*>(data) + kLayoutBytes,
                                 size - kLayoutBytes);

  halcyra::fuzz::DroppedErrors errors;
  BoxRasterizer rasterizer;
  const int readGrey = 128;
  const int readOutlineGrey = 64;
  const std::string hero = "\x88\xea\x96\xe7";  // 一也
  const std::string family = "\x8d\xb2\x93\xa1";  // 佐藤
  halcyra::GlyphTextRenderer renderer(
      rasterizer, {readGrey, readOutlineGrey, hero, family, debugMode}, &errors);
  const halcyra::TextFont* font = renderer.CreateFont({"box", 24, false, false});
  renderer.SetRubyFont(renderer.CreateFont({"box", 12, false, false}));

  halcyra::GraphicsContext context;
  context.errors = &errors;
  std::minstd_rand random(1);
  halcyra::CDIBSprite holder(context, random);
  halcyra::CDIBitmap target(context);
  target.Create(kSurfaceWidth, kSurfaceHeight, 1, false, false);
  if (!holder.SetTextDirect(message, font, 0xFFFFFF, characterWidth, columns, rows, textFlag)) {
    return 0;
  }
  holder.SetPosition(static_cast<int>(data[5]) - 64, 8);
  int waitCount = 3;
  renderer.TypeText(holder, columns, rows, layoutOnly ? nullptr : &target, waitCount, indent,
                    lineStart, [](int& count) { count = count > 0 ? count - 1 : 0; });
  return 0;
}

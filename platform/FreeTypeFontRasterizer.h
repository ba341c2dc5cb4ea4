// The font rasterizer on FreeType, with fontconfig choosing the face file for a Windows face name.
//
// Face names: the Windows faces the games ask for ("ＭＳ ゴシック", "MS Gothic", "ＭＳ 明朝"...)
// map to the IPA faces drawn alike; any other name is looked up as a family. A name the system
// does not know, or whose face cannot show Japanese, falls back to fontconfig's best Japanese
// (preferably monospaced) face. Bold and italic that the chosen face lacks are synthesised by
// thickening and slanting the outlines.
//
// Glyphs are rasterised when first asked for and kept per font, so retyping a character costs a
// copy. Ownership: the rasterizer owns every face and glyph; fonts are freed by CloseFont or
// with the rasterizer. Threading: one thread at a time. Failure: a FreeType library that cannot
// start leaves every OpenFont answering -1.
#pragma once

#include <memory>

#include "platform/FontRasterizer.h"

namespace halcyra {

class FreeTypeFontRasterizer final : public FontRasterizer {
 public:
  // The tallest em box accepted, in pixels; far beyond any text a 640x480 game shows.
  static constexpr int kMaxHeight = 1024;

  FreeTypeFontRasterizer();
  ~FreeTypeFontRasterizer() override;
  FreeTypeFontRasterizer(const FreeTypeFontRasterizer&) = delete;
  FreeTypeFontRasterizer& operator=(const FreeTypeFontRasterizer&) = delete;

  int OpenFont(const FontRequest& request) override;
  bool RenderGlyph(int font, std::uint16_t shiftJisCode, GlyphBitmap& out) override;
  int Ascent(int font) const override;
  std::string FaceFileOf(int font) const override;
  void CloseFont(int font) override;

 private:
  struct Font;
  struct State;

  Font* Find(int font) const;
  int Store(std::unique_ptr<Font> font);

  std::unique_ptr<State> state_;
};

}  // namespace halcyra

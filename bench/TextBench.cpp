// Speed of message typing: a three-line message and a full page (10 lines of 24 full-width
// characters) of the default face at 24 pixels typed into a message-window text surface,
// glyphs already in the rasterizer's cache as in play after the first page; reported in
// characters per second. A full page should stay well under 2 ms.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "graphics/CDIBSprite.h"
#include "graphics/CDIBitmap.h"
#include "graphics/GlyphTextRenderer.h"
#include "platform/FreeTypeFontRasterizer.h"

namespace {

using halcyra::CDIBitmap;
using halcyra::CDIBSprite;
using halcyra::GlyphTextRenderer;

// 「今日はいい天気ですね。」と彼女は言った。 / 窓の外では、鳥たちが楽しそうに歌っている。 /
// わたしは少しだけ笑って、うなずいた。
constexpr char kMessage[] =
    "\x81\x75\x8d\xa1\x93\xfa\x82\xcd\x82\xa2\x82\xa2\x93\x56\x8b\x43\x82\xc5\x82\xb7\x82\xcb"
    "\x81\x42\x81\x76\x82\xc6\x94\xde\x8f\x97\x82\xcd\x8c\xbe\x82\xc1\x82\xbd\x81\x42\n"
    "\x91\x8b\x82\xcc\x8a\x4f\x82\xc5\x82\xcd\x81\x41\x92\xb9\x82\xbd\x82\xbf\x82\xaa\x8a\x79"
    "\x82\xb5\x82\xbb\x82\xa4\x82\xc9\x89\xcc\x82\xc1\x82\xc4\x82\xa2\x82\xe9\x81\x42\n"
    "\x82\xed\x82\xbd\x82\xb5\x82\xcd\x8f\xad\x82\xb5\x82\xbe\x82\xaf\x8f\xce\x82\xc1\x82\xc4"
    "\x81\x41\x82\xa4\x82\xc8\x82\xb8\x82\xa2\x82\xbd\x81\x42";
// ＭＳ ゴシック
constexpr char kDefaultFace[] = "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e";
constexpr int kColumns = 26;
constexpr int kRows = 3;

int FullWidthCharacters(const std::string& text) {
  int characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') continue;
    ++characters;
    ++i;  // every character of the message is two bytes
  }
  return characters;
}

// Types message into a surface of columns x rows characters once per iteration.
void TypeMessage(benchmark::State& state, const std::string& message, int columns, int rows) {
  halcyra::FreeTypeFontRasterizer rasterizer;
  const int grey = 128;
  const std::string name;
  const bool debug = false;
  GlyphTextRenderer renderer(rasterizer, {grey, grey, name, name, debug}, nullptr);
  const halcyra::TextFont* font = renderer.CreateFont({kDefaultFace, 24, false, false});
  if (font == nullptr) {
    state.SkipWithError("the default face cannot be opened");
    return;
  }
  halcyra::GraphicsContext context;
  std::minstd_rand random(1);
  CDIBSprite holder(context, random);
  CDIBitmap target(context);
  target.Create(columns * 24 + 16, rows * 32 + 16, 1, false, false);
  for (auto _ : state) {
    holder.SetTextDirect(message, font, 0xFFFFFF, 24, columns, rows, true);
    holder.SetPosition(4, 12);
    int wait = 0;
    benchmark::DoNotOptimize(renderer.TypeText(holder, columns, rows, &target, wait, -1, false, {}));
  }
  state.SetItemsProcessed(state.iterations() * FullWidthCharacters(message));
}

void BM_TypeThreeLineMessage(benchmark::State& state) {
  TypeMessage(state, kMessage, kColumns, kRows);
}
BENCHMARK(BM_TypeThreeLineMessage);

// Ten lines of 24 characters taken from the message, each line ended by a line feed.
std::string FullPage() {
  std::string characters;
  for (const char* c = kMessage; *c != '\0'; ++c) {
    if (*c != '\n') characters += *c;
  }
  std::string page;
  for (int line = 0; line < 10; ++line) {
    for (int column = 0; column < 24; ++column) {
      const std::size_t at = (static_cast<std::size_t>(line * 24 + column) * 2) % characters.size();
      page.append(characters, at, 2);
    }
    page += '\n';
  }
  return page;
}

void BM_TypeFullPage(benchmark::State& state) { TypeMessage(state, FullPage(), 24, 10); }
BENCHMARK(BM_TypeFullPage);

}  // namespace

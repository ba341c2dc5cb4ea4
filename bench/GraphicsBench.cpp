// Speed of the software compositor: the alpha blend in both forms over a full screen, and one
// composed frame of a typical scene (background, three standing characters, the message window
// board at half opacity and its text).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/CDIB.h"
#include "graphics/PixelOps.h"
#include "graphics/SimdFlag.h"
#include "graphics/SpriteTable.h"
#include "platform/HeadlessPlatform.h"
#include "script/GameState.h"

namespace {

using halcyra::CDIB;
using halcyra::CDIBSprite;

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// Every alpha from 1 to 254: the whole blend runs on each pixel, no shortcut applies.
std::vector<std::uint32_t> PartlyTransparentPixels() {
  std::vector<std::uint32_t> pixels(kWidth * kHeight);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const auto alpha = static_cast<std::uint32_t>(1 + i % 254);
    pixels[i] = alpha << 24 | static_cast<std::uint32_t>(i * 2654435761u) >> 8;
  }
  return pixels;
}

// A character picture as drawn in play: a transparent surround, an opaque body, a soft edge.
std::vector<std::uint32_t> FigurePixels() {
  std::vector<std::uint32_t> pixels(kWidth * kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const double dx = (x - kWidth / 2.0) / (kWidth * 0.35);
      const double dy = (y - kHeight * 0.55) / (kHeight * 0.45);
      const double distance = dx * dx + dy * dy;
      const std::uint32_t alpha = distance < 0.95 ? 255u : distance < 1.0 ? 128u : 0u;
      pixels[static_cast<std::size_t>(y * kWidth + x)] = alpha << 24 | 0xC08060u;
    }
  }
  return pixels;
}

// Arguments: form (1 SIMD, 0 plain), content (0 every alpha partial, 1 a character picture).
void BM_AlphaBlend(benchmark::State& state) {
  const bool simd = state.range(0) != 0;
  const bool figure = state.range(1) != 0;
  const std::vector<std::uint32_t> source = figure ? FigurePixels() : PartlyTransparentPixels();
  std::vector<std::uint32_t> destination(kWidth * kHeight, 0xFF336699u);
  for (auto _ : state) {
    if (simd) {
      halcyra::AlphaBlendSimd(destination.data(), kWidth, source.data(), kWidth, kHeight, kWidth);
    } else {
      halcyra::AlphaBlendPlain(destination.data(), kWidth, source.data(), kWidth, kHeight, kWidth);
    }
    benchmark::DoNotOptimize(destination.data());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
  state.SetLabel(std::string(simd ? "SIMD form, " : "plain form, ") +
                 (figure ? "character picture" : "partial alpha everywhere"));
}
BENCHMARK(BM_AlphaBlend)->Args({1, 0})->Args({0, 0})->Args({1, 1})->Args({0, 1});

class NoPainting : public halcyra::ScreenPainter {
 public:
  void PaintScreen() override {}
};

// A standing character: opaque inside an ellipse, transparent outside, with a soft edge.
void PaintFigure(CDIBSprite& sprite, std::uint32_t colour) {
  std::uint32_t* pixels = sprite.GetSurface()->GetBits(0);
  const int width = sprite.GetWidth();
  const int height = sprite.GetHeight();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const double dx = (x - width / 2.0) / (width * 0.35);
      const double dy = (y - height * 0.55) / (height * 0.45);
      const double distance = dx * dx + dy * dy;
      const std::uint32_t alpha = distance < 0.95 ? 255u : distance < 1.0 ? 128u : 0u;
      pixels[y * width + x] = alpha << 24 | (colour & 0xFFFFFFu);
    }
  }
}

// Text: glyph-like strokes on about a tenth of the surface, the rest transparent.
void PaintText(CDIBSprite& sprite) {
  std::uint32_t* pixels = sprite.GetSurface()->GetBits(0);
  const int width = sprite.GetWidth();
  for (int y = 0; y < sprite.GetHeight(); ++y) {
    for (int x = 0; x < width; ++x) {
      const bool stroke = (x % 24) < 3 && (y % 32) < 24 && x < 720;
      pixels[y * width + x] = stroke ? 0xFFFFFFFFu : 0u;
    }
  }
}

void BM_ComposeReferenceScene(benchmark::State& state) {
  halcyra::SetHasMmx(halcyra::DetectSimd());
  halcyra::HeadlessPlatform platform;
  NoPainting painter;
  auto record = std::make_unique<halcyra::GameState>();
  record->Clear();
  CDIB display;
  if (!display.Init(platform, painter, true)) {
    state.SkipWithError("no back buffer");
    return;
  }
  halcyra::SpriteTable sprites(display.Context(), 1);
  display.SetSprites(&sprites);
  display.SetGameState(record.get());

  sprites[0].CreateBox(kWidth, kHeight, 1, true, false);
  sprites[0].GetSurface()->Fill(0xFF4A6B8Cu, 0);
  const int standingX[] = {-20, 200, 420};
  const std::uint32_t standingColour[] = {0xF0C0A0u, 0xA0C0F0u, 0xC0F0A0u};
  for (int i = 0; i < 3; ++i) {
    CDIBSprite& figure = sprites[10 + 2 * i];
    figure.CreateBox(400, kHeight, 1, true, false);
    PaintFigure(figure, standingColour[i]);
    figure.SetPosition(standingX[i], 0);
  }
  CDIBSprite& board = sprites[30];
  board.CreateBox(kWidth, 180, 1, true, false);
  board.GetSurface()->Fill(0xFF102040u, 0);
  board.SetPosition(0, 420);
  board.SetOpacity(128);
  CDIBSprite& text = sprites[31];
  text.CreateBox(kWidth, 160, 1, true, false);
  PaintText(text);
  text.SetPosition(40, 430);

  for (auto _ : state) {
    platform.Sleep(CDIB::kFrameInterval);
    display.DrawFrame(true, false, false);
    benchmark::DoNotOptimize(display.BackBuffer());
  }
  state.SetItemsProcessed(state.iterations());
  state.SetLabel("frames");
}
BENCHMARK(BM_ComposeReferenceScene)->Unit(benchmark::kMillisecond);

}  // namespace

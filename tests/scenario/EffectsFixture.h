// A scene for the screen-effect tests: the software compositor with the SIMD blends (exact
// copies of opaque pixels), the sprite table, the effect statements attached, and a window that
// records every paint: the shake offsets, the zoom and one value a test chooses to probe.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "graphics/CDIB.h"
#include "tests/graphics/GraphicsFixtures.h"
#include "tests/support/ScriptFixture.h"

namespace halcyra::testing {

struct PaintRecord {
  int shakeX = 0;
  int shakeY = 0;
  int zoom = 0;
  std::int64_t probe = 0;
};

class RecordingPainter : public ScreenPainter {
 public:
  explicit RecordingPainter(const CDIB& display) : display_(display) {}
  void PaintScreen() override;

  std::function<std::int64_t()> probe;
  std::vector<PaintRecord> paints;

 private:
  const CDIB& display_;
};

class EffectsFixture : public ScriptFixture {
 protected:
  EffectsFixture();

  // Gives a slot an opaque width x height picture of one colour (0xAARRGGBB) at (x, y).
  CDIBSprite& Paint(int slot, int width, int height, std::uint32_t colour, int x = 0, int y = 0);
  // The back buffer pixel at (x, y).
  std::uint32_t Pixel(int x, int y) const;
  // Probes the back buffer pixel at (x, y) on every paint.
  void ProbePixel(int x, int y);
  // Runs the script to its end; false when a statement ended the run.
  bool Run(const std::string& body);
  std::vector<std::int64_t> Probes() const;
  const std::vector<PaintRecord>& Paints() const { return window_.paints; }

  BlendForm simd_{true};
  RecordingPainter window_{*engine_.display};
};

// A 24-bit BMP file whose pixel (x, y) is colour(x, y) (0xRRGGBB).
std::string Bmp(int width, int height, const std::function<std::uint32_t(int, int)>& colour);

// Report texts, Shift-JIS.
inline const std::string kBadParameter = "\x83p\x83\x89\x83\x81\x81[\x83^\x82\xaa\x95s\x90\xb3";

}  // namespace halcyra::testing

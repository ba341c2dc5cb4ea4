// Speed of the per-pixel work of the screen effects: one whole rule transition's pixels (fitting
// a rule picture of another size and the new picture to the screen, then every sweep level at
// the default speed), and the grey drawing of a full-screen picture.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/PixelOps.h"
#include "graphics/SimdFlag.h"
#include "scenario/RuleWipe.h"

namespace {

using halcyra::kWipePixels;
using halcyra::kWipeWidth;

constexpr int kSweepStep = 8;  // half the fade step 16 of Effect/Speed -4

// A grey picture of width x height: a diagonal ramp of levels.
std::vector<std::uint32_t> RulePixels(int width, int height) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const auto level = static_cast<std::uint32_t>((x + y) * 255 / (width + height));
      pixels[static_cast<std::size_t>(y) * width + x] = 0xFF000000u | level * 0x010101u;
    }
  }
  return pixels;
}

void BM_RuleTransition(benchmark::State& state) {
  const std::vector<std::uint32_t> source = RulePixels(1024, 768);
  const std::vector<std::uint32_t> picture(kWipePixels, 0xFF806040u);
  std::vector<std::uint32_t> rule(kWipePixels);
  std::vector<std::uint32_t> fitted(kWipePixels);
  std::vector<std::uint32_t> screen(kWipePixels, 0xFF102030u);
  int levels = 0;
  for (auto _ : state) {
    halcyra::FitRule(source.data(), 1024, 768, rule);
    halcyra::FitPicture(picture.data(), kWipeWidth, kWipePixels / kWipeWidth, fitted);
    levels = 0;
    for (int level = 0; level < 256; level += kSweepStep, ++levels) {
      halcyra::RuleWipe(level, rule.data(), fitted.data(), screen.data(), kWipePixels);
    }
    halcyra::RuleWipe(255, rule.data(), fitted.data(), screen.data(), kWipePixels);
    benchmark::DoNotOptimize(screen.data());
  }
  state.SetItemsProcessed(state.iterations() * (levels + 1) * kWipePixels);
  state.SetLabel(std::to_string(levels + 1) + " sweep levels");
}
BENCHMARK(BM_RuleTransition)->Unit(benchmark::kMillisecond);

// Argument: form (1 SIMD, 0 plain).
void BM_MonoFullScreen(benchmark::State& state) {
  const bool simd = state.range(0) != 0;
  const std::vector<std::uint32_t> source = RulePixels(kWipeWidth, kWipePixels / kWipeWidth);
  std::vector<std::uint32_t> screen(kWipePixels);
  const int height = kWipePixels / kWipeWidth;
  for (auto _ : state) {
    if (simd) {
      halcyra::GreyCopySimd(screen.data(), kWipeWidth, source.data(), kWipeWidth, height,
                            kWipeWidth);
    } else {
      halcyra::GreyCopyPlain(screen.data(), kWipeWidth, source.data(), kWipeWidth, height,
                             kWipeWidth);
    }
    benchmark::DoNotOptimize(screen.data());
  }
  state.SetItemsProcessed(state.iterations() * kWipePixels);
  state.SetLabel(simd ? "SIMD form" : "plain form");
}
BENCHMARK(BM_MonoFullScreen)->Arg(1)->Arg(0);

}  // namespace

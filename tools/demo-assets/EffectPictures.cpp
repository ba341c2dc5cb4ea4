// The demo's pictures for the screen effects: two rule pictures (a diagonal sweep with a ripple
// and an iris opening from the centre) and the two skies the rule transitions move between.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>

#include "tools/demo-assets/DemoAssets.h"
#include "tools/demo-assets/PsdWriter.h"

namespace halcyra::demo {
namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr double kPi = 3.14159265358979323846;

std::uint32_t Opaque(double red, double green, double blue) {
  const auto channel = [](double value) {
    return static_cast<std::uint32_t>(std::clamp(value, 0.0, 255.0));
  };
  return 0xFF000000u | channel(red) << 16 | channel(green) << 8 | channel(blue);
}

// A rule picture: grey levels in the order the new picture arrives (dark first).
template <typename Level>
Cell Rule(Level level) {
  Cell cell(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const double value = 255.0 * std::clamp(level(x, y), 0.0, 1.0);
      cell.At(x, y) = Opaque(value, value, value);
    }
  }
  return cell;
}

double DiagonalRipple(int x, int y) {
  const double along = (x + y * 4.0 / 3.0) / (kWidth * 2.0);
  return along * 0.9 + 0.05 * (1.0 + std::sin(y * kPi / 40.0));
}

double Iris(int x, int y) {
  const double dx = x - kWidth / 2.0;
  const double dy = y - kHeight / 2.0;
  return std::sqrt(dx * dx + dy * dy) / 500.0;
}

// A sky from top to bottom colour with a round sun and a band of hills.
struct Sky {
  double top[3];
  double bottom[3];
  double sunX, sunY, sunRadius;
  double hill[3];
};

Cell Landscape(const Sky& sky) {
  Cell cell(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    const double t = static_cast<double>(y) / kHeight;
    for (int x = 0; x < kWidth; ++x) {
      double c[3];
      for (int i = 0; i < 3; ++i) c[i] = sky.top[i] + (sky.bottom[i] - sky.top[i]) * t;
      const double sun = std::hypot(x - sky.sunX, y - sky.sunY);
      const double glow = std::max(0.0, 1.0 - sun / sky.sunRadius);
      for (double& channel : c) channel += 255.0 * glow * glow;
      const double ridge = 450.0 + 40.0 * std::sin(x * kPi / 260.0) + 15.0 * std::sin(x * kPi / 70.0);
      if (y > ridge) {
        for (int i = 0; i < 3; ++i) c[i] = sky.hill[i] * (1.0 - 0.3 * (y - ridge) / kHeight);
      }
      cell.At(x, y) = Opaque(c[0], c[1], c[2]);
    }
  }
  return cell;
}

}  // namespace

bool MakeEffectPictures(const std::filesystem::path& out) {
  const Sky dawn{{40, 60, 140}, {250, 170, 120}, 560, 380, 140, {40, 70, 50}};
  const Sky dusk{{20, 10, 50}, {200, 80, 110}, 220, 420, 110, {30, 20, 40}};
  return WriteAsset(out / "fx_rule.psd", EncodePsd({Rule(DiagonalRipple)})) &&
         WriteAsset(out / "fx_iris.psd", EncodePsd({Rule(Iris)})) &&
         WriteAsset(out / "fx_dawn.psd", EncodePsd({Landscape(dawn)})) &&
         WriteAsset(out / "fx_dusk.psd", EncodePsd({Landscape(dusk)}));
}

}  // namespace halcyra::demo

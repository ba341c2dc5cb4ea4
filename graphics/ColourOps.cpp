// Colour operations applied to pictures: the colour multiply and the hue-saturation-value
// adjustment with its two colour-space conversions.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "graphics/PixelArithmetic.h"
#include "graphics/PixelOps.h"

namespace halcyra {
namespace {

// (64 + trunc(64 * percent / 100)) taken modulo 256, as an 8-bit register would hold it.
std::uint32_t MultiplyFactor(int percent) {
  return static_cast<std::uint8_t>(64 + 64 * percent / 100);
}

std::uint32_t MultiplyChannel(std::uint32_t pixel, int shift, std::uint32_t factor) {
  const std::uint32_t channel = (pixel >> shift) & 0xFFu;
  return std::min<std::uint32_t>(255u, (channel * factor) >> 6) << shift;
}

double Ratio(double numerator, double denominator) {
  return denominator == 0.0 ? 0.0 : numerator / denominator;
}

std::uint32_t ToChannel(double value) { return static_cast<std::uint32_t>(value * 255.0); }

}  // namespace

void MultiplyColour(std::uint32_t* row, int redPercent, int greenPercent, int bluePercent,
                    int width) {
  const std::uint32_t red = MultiplyFactor(redPercent);
  const std::uint32_t green = MultiplyFactor(greenPercent);
  const std::uint32_t blue = MultiplyFactor(bluePercent);
  for (int x = 0; x < width; ++x) {
    const std::uint32_t p = row[x];
    row[x] = (p & pixel::kAlphaMask) | MultiplyChannel(p, 16, red) | MultiplyChannel(p, 8, green) |
             MultiplyChannel(p, 0, blue);
  }
}

void RgbToHsv(double r, double g, double b, double& h, double& s, double& v) {
  v = std::max({r, g, b});
  const double m = std::min({r, g, b});
  s = v == 0.0 ? 0.0 : (v - m) / v;
  const double d = v - m;
  if (v == r) {
    h = Ratio((v - b) - (v - g), d) * 60.0;
  } else if (v == g) {
    h = (2.0 + Ratio((v - r) - (v - b), d)) * 60.0;
  } else {
    h = (4.0 + Ratio((v - g) - (v - r), d)) * 60.0;
  }
  if (h < 0.0) h += 360.0;
}

void HsvToRgb(double h, double s, double v, double& r, double& g, double& b) {
  const double sector = std::floor(h / 60.0);
  const double f = h / 60.0 - sector;
  const int i = static_cast<int>(sector);
  const double p = v * (1.0 - s);
  const double w = (i % 2 != 0) ? v * (1.0 - s * f) : v * (1.0 - s * (1.0 - f));
  switch (i) {
    case 0:
      r = v;
      g = w;
      b = p;
      break;
    case 1:
      r = w;
      g = v;
      b = p;
      break;
    case 2:
      r = p;
      g = v;
      b = w;
      break;
    case 3:
      r = p;
      g = w;
      b = v;
      break;
    case 4:
      r = w;
      g = p;
      b = v;
      break;
    case 5:
      r = v;
      g = p;
      b = w;
      break;
    default: break;
  }
}

void AdjustHsv(std::uint32_t* pixels, int hueDegrees, int saturationPercent, int valuePercent,
               int count) {
  for (int i = 0; i < count; ++i) {
    const std::uint32_t p = pixels[i];
    double r = static_cast<double>((p >> 16) & 0xFFu) / 255.0;
    double g = static_cast<double>((p >> 8) & 0xFFu) / 255.0;
    double b = static_cast<double>(p & 0xFFu) / 255.0;
    double h = 0.0;
    double s = 0.0;
    double v = 0.0;
    RgbToHsv(r, g, b, h, s, v);
    int hue = static_cast<int>(h) + hueDegrees;
    if (hue < 0) hue += 360;
    hue %= 360;
    s = std::clamp(s + s * saturationPercent / 100.0, 0.0, 1.0);
    v = std::clamp(v + v * valuePercent / 100.0, 0.0, 1.0);
    HsvToRgb(hue, s, v, r, g, b);
    pixels[i] = (p & pixel::kAlphaMask) | ToChannel(r) << 16 | ToChannel(g) << 8 | ToChannel(b);
  }
}

}  // namespace halcyra

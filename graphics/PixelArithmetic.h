// One-pixel forms of the blend arithmetic, shared by the row loops of the plain forms and by the
// SIMD forms for the pixels left over after their 4-pixel steps. Every helper is branch-free so
// that the loops around them carry no per-pixel decisions. Pixels are 0xAARRGGBB.
#pragma once

#include <cstdint>

namespace halcyra::pixel {

inline constexpr std::uint32_t kAlphaMask = 0xFF000000u;
inline constexpr std::uint32_t kColourMask = 0x00FFFFFFu;

// All bits set when condition holds, else 0.
inline std::uint32_t MaskIf(bool condition) { return 0u - static_cast<std::uint32_t>(condition); }

// when ? chosen : other, without a branch.
inline std::uint32_t Select(std::uint32_t mask, std::uint32_t chosen, std::uint32_t other) {
  return (chosen & mask) | (other & ~mask);
}

inline std::uint32_t AlphaOf(std::uint32_t pixel) { return pixel >> 24; }

// The colour channels of (s * a + d * (255 - a)) >> 8, two channels per multiplication; the
// alpha byte of the result is 0. a: 0..255.
inline std::uint32_t BlendColour(std::uint32_t s, std::uint32_t d, std::uint32_t a) {
  const std::uint32_t na = 255u - a;
  const std::uint32_t redBlue =
      (((s & 0x00FF00FFu) * a + (d & 0x00FF00FFu) * na) >> 8) & 0x00FF00FFu;
  const std::uint32_t green = (((s & 0x0000FF00u) * a + (d & 0x0000FF00u) * na) >> 8) & 0x0000FF00u;
  return redBlue | green;
}

// All four bytes of (s * a + d * (255 - a)) >> 8.
inline std::uint32_t BlendAllBytes(std::uint32_t s, std::uint32_t d, std::uint32_t a) {
  const std::uint32_t na = 255u - a;
  const std::uint32_t alpha = ((AlphaOf(s) * a + AlphaOf(d) * na) >> 8) << 24;
  return BlendColour(s, d, a) | alpha;
}

// Each colour channel minus amount, stopping at 0; the alpha byte of the result is 0.
inline std::uint32_t SubtractColour(std::uint32_t pixel, int amount) {
  std::uint32_t result = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    int channel = static_cast<int>((pixel >> shift) & 0xFFu) - amount;
    channel &= ~(channel >> 31);
    result |= static_cast<std::uint32_t>(channel) << shift;
  }
  return result;
}

// Each colour channel c becomes (c * factor) >> 8; the alpha byte of the result is 0.
inline std::uint32_t ScaleColour(std::uint32_t pixel, std::uint32_t factor) {
  const std::uint32_t redBlue = (((pixel & 0x00FF00FFu) * factor) >> 8) & 0x00FF00FFu;
  const std::uint32_t green = (((pixel & 0x0000FF00u) * factor) >> 8) & 0x0000FF00u;
  return redBlue | green;
}

// The SIMD AlphaBlend on one pixel.
inline std::uint32_t SimdAlphaBlendPixel(std::uint32_t s, std::uint32_t d) {
  const std::uint32_t a = AlphaOf(s);
  const std::uint32_t blended = BlendColour(s, d, a) | kAlphaMask;
  return Select(MaskIf(a == 0), d, Select(MaskIf(a == 255), s, blended));
}

// The SIMD AlphaBlendOpacity on one pixel.
inline std::uint32_t SimdAlphaBlendOpacityPixel(std::uint32_t s, std::uint32_t d,
                                                std::uint32_t opacity) {
  const std::uint32_t a = (AlphaOf(s) * opacity) >> 8;
  return Select(MaskIf(a == 0), d, BlendColour(s, d, a) | kAlphaMask);
}

// The SIMD AlphaBlendBrightness on one pixel.
inline std::uint32_t SimdAlphaBlendBrightnessPixel(std::uint32_t s, std::uint32_t d,
                                                   std::uint32_t brightness) {
  const std::uint32_t a = AlphaOf(s);
  const std::uint32_t darkened = ScaleColour(s, brightness);
  return Select(MaskIf(a == 0), d, BlendColour(darkened, d, a) | kAlphaMask);
}

// The SIMD CopyBrightness on one pixel.
inline std::uint32_t SimdCopyBrightnessPixel(std::uint32_t s, int amount) {
  return SubtractColour(s, amount) | (s & kAlphaMask);
}

// The SIMD GreyCopy on one pixel.
inline std::uint32_t SimdGreyPixel(std::uint32_t s) {
  const std::uint32_t grey =
      (29u * (s & 0xFFu) + 150u * ((s >> 8) & 0xFFu) + 76u * ((s >> 16) & 0xFFu)) >> 8;
  return grey * 0x010101u;
}

// Darken on one pixel: colour channels times colourFactor, alpha times alphaFactor, each >> 8.
inline std::uint32_t DarkenPixel(std::uint32_t pixel, std::uint32_t colourFactor,
                                 std::uint32_t alphaFactor) {
  return ScaleColour(pixel, colourFactor) | (((AlphaOf(pixel) * alphaFactor) >> 8) << 24);
}

// CrossFade on one pixel.
inline std::uint32_t CrossFadePixel(std::uint32_t a, std::uint32_t b, std::uint32_t t) {
  const std::uint32_t both = BlendAllBytes(a, b, t);
  const std::uint32_t onlyA = (a & kColourMask) | (((AlphaOf(a) * t) >> 8) << 24);
  const std::uint32_t onlyB = (b & kColourMask) | (((AlphaOf(b) * (255u - t)) >> 8) << 24);
  const std::uint32_t aShows = MaskIf(AlphaOf(a) != 0);
  const std::uint32_t bShows = MaskIf(AlphaOf(b) != 0);
  return Select(aShows & bShows, both, Select(aShows, onlyA, onlyB));
}

}  // namespace halcyra::pixel

// The SIMD forms of the sprite blends (the engine's MMX forms), four pixels per SSE2 step in
// 16-bit lanes; the pixels of a row left over after the last whole step, and every pixel on
// processors without SSE2, go through the same arithmetic one pixel at a time.
#include "graphics/PixelArithmetic.h"
#include "graphics/PixelOps.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace halcyra {
namespace {

#if defined(__SSE2__)

constexpr int kPixelsPerStep = 4;

__m128i Load(const std::uint32_t* pixels) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
}

void Store(std::uint32_t* pixels, __m128i value) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), value);
}

// How far the blend moves each channel: with t = (s - d) * w - d, the result
// (s * w + d * (255 - w)) >> 8 equals d + (t >> 8), since s * w + d * (255 - w) = 256 d + t.
// t needs 17 bits, but its bits 8 to 15, which the 16-bit lanes keep, are all that the byte
// added to d depends on. Each 16-bit lane holds one channel (0..255); the result is in its low
// byte.
__m128i BlendStep(__m128i s, __m128i d, __m128i w) {
  return _mm_srli_epi16(_mm_sub_epi16(_mm_mullo_epi16(_mm_sub_epi16(s, d), w), d), 8);
}

// (s * w + d * (255 - w)) >> 8 in every byte of four pixels, blue and red handled in one
// register's 16-bit lanes and green and alpha in another's. weights: each pixel's weight
// (0..255) in both 16-bit halves of its 32-bit lane. The alpha byte of the result is left for
// the caller to set.
__m128i BlendPixels(__m128i s, __m128i d, __m128i weights) {
  const __m128i lowBytes = _mm_set1_epi16(0x00FF);
  const __m128i blueRed =
      BlendStep(_mm_and_si128(s, lowBytes), _mm_and_si128(d, lowBytes), weights);
  const __m128i greenAlpha = BlendStep(_mm_srli_epi16(s, 8), _mm_srli_epi16(d, 8), weights);
  return _mm_add_epi8(d, _mm_or_si128(blueRed, _mm_slli_epi16(greenAlpha, 8)));
}

// A weight per 32-bit lane (0..255) repeated in both of its 16-bit halves.
__m128i PairWeights(__m128i weights) { return _mm_or_si128(weights, _mm_slli_epi32(weights, 16)); }

// (v * factor) >> 8 in every byte of four pixels; factor: 0..255 in every 16-bit lane.
__m128i ScalePixels(__m128i pixels, __m128i factor) {
  const __m128i lowBytes = _mm_set1_epi16(0x00FF);
  const __m128i blueRed =
      _mm_srli_epi16(_mm_mullo_epi16(_mm_and_si128(pixels, lowBytes), factor), 8);
  const __m128i greenAlpha = _mm_srli_epi16(_mm_mullo_epi16(_mm_srli_epi16(pixels, 8), factor), 8);
  return _mm_or_si128(blueRed, _mm_slli_epi16(greenAlpha, 8));
}

__m128i SelectLanes(__m128i mask, __m128i chosen, __m128i other) {
  return _mm_or_si128(_mm_and_si128(mask, chosen), _mm_andnot_si128(mask, other));
}

__m128i AlphaLanes(__m128i pixels) { return _mm_srli_epi32(pixels, 24); }

__m128i OpaqueAlpha() { return _mm_set1_epi32(static_cast<int>(pixel::kAlphaMask)); }

// Columns of a row that whole SIMD steps cover.
int SteppedWidth(int width) { return width - width % kPixelsPerStep; }

#else

int SteppedWidth(int) { return 0; }

#endif

}  // namespace

void AlphaBlendSimd(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                    int height, int srcPitch) {
  const int stepped = SteppedWidth(width);
  for (int y = 0; y < height; ++y, dst += dstPitch, src += srcPitch) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi32(255);
    for (int x = 0; x < stepped; x += kPixelsPerStep) {
      const __m128i s = Load(src + x);
      const __m128i alpha = AlphaLanes(s);
      const __m128i transparent = _mm_cmpeq_epi32(alpha, zero);
      const int transparentBits = _mm_movemask_epi8(transparent);
      if (transparentBits == 0xFFFF) continue;
      const __m128i opaque = _mm_cmpeq_epi32(alpha, full);
      if (_mm_movemask_epi8(opaque) == 0xFFFF) {
        Store(dst + x, s);
        continue;
      }
      const __m128i d = Load(dst + x);
      const __m128i blended = _mm_or_si128(BlendPixels(s, d, PairWeights(alpha)), OpaqueAlpha());
      Store(dst + x, SelectLanes(transparent, d, SelectLanes(opaque, s, blended)));
    }
#endif
    for (int x = stepped; x < width; ++x) dst[x] = pixel::SimdAlphaBlendPixel(src[x], dst[x]);
  }
}

void AlphaBlendOpacitySimd(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                           int height, int srcPitch, int opacity) {
  const int stepped = SteppedWidth(width);
  const auto level = static_cast<std::uint32_t>(opacity);
  for (int y = 0; y < height; ++y, dst += dstPitch, src += srcPitch) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i opacityLanes = _mm_set1_epi32(opacity);
    for (int x = 0; x < stepped; x += kPixelsPerStep) {
      const __m128i s = Load(src + x);
      const __m128i weight = _mm_srli_epi32(_mm_mullo_epi16(AlphaLanes(s), opacityLanes), 8);
      const __m128i transparent = _mm_cmpeq_epi32(weight, zero);
      if (_mm_movemask_epi8(transparent) == 0xFFFF) continue;
      const __m128i d = Load(dst + x);
      const __m128i blended = _mm_or_si128(BlendPixels(s, d, PairWeights(weight)), OpaqueAlpha());
      Store(dst + x, SelectLanes(transparent, d, blended));
    }
#endif
    for (int x = stepped; x < width; ++x) {
      dst[x] = pixel::SimdAlphaBlendOpacityPixel(src[x], dst[x], level);
    }
  }
}

void AlphaBlendBrightnessSimd(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                              int height, int srcPitch, int brightness) {
  const int stepped = SteppedWidth(width);
  const auto level = static_cast<std::uint32_t>(brightness);
  for (int y = 0; y < height; ++y, dst += dstPitch, src += srcPitch) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i brightnessLanes = _mm_set1_epi16(static_cast<short>(brightness));
    for (int x = 0; x < stepped; x += kPixelsPerStep) {
      const __m128i s = Load(src + x);
      const __m128i alpha = AlphaLanes(s);
      const __m128i transparent = _mm_cmpeq_epi32(alpha, zero);
      if (_mm_movemask_epi8(transparent) == 0xFFFF) continue;
      const __m128i d = Load(dst + x);
      const __m128i darkened = ScalePixels(s, brightnessLanes);
      const __m128i blended =
          _mm_or_si128(BlendPixels(darkened, d, PairWeights(alpha)), OpaqueAlpha());
      Store(dst + x, SelectLanes(transparent, d, blended));
    }
#endif
    for (int x = stepped; x < width; ++x) {
      dst[x] = pixel::SimdAlphaBlendBrightnessPixel(src[x], dst[x], level);
    }
  }
}

void CopyBrightnessSimd(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                        int height, int srcPitch, int brightness) {
  const int stepped = SteppedWidth(width);
  const int amount = 255 - brightness;
  for (int y = 0; y < height; ++y, dst += dstPitch, src += srcPitch) {
#if defined(__SSE2__)
    const __m128i amountLanes = _mm_set1_epi32(amount * 0x010101);
    for (int x = 0; x < stepped; x += kPixelsPerStep) {
      Store(dst + x, _mm_subs_epu8(Load(src + x), amountLanes));
    }
#endif
    for (int x = stepped; x < width; ++x) dst[x] = pixel::SimdCopyBrightnessPixel(src[x], amount);
  }
}

void GreyCopySimd(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width, int height,
                  int srcPitch) {
  const int stepped = SteppedWidth(width);
  for (int y = 0; y < height; ++y, dst += dstPitch, src += srcPitch) {
#if defined(__SSE2__)
    const __m128i byteMask = _mm_set1_epi32(0xFF);
    const __m128i blueWeight = _mm_set1_epi32(29);
    const __m128i greenWeight = _mm_set1_epi32(150);
    const __m128i redWeight = _mm_set1_epi32(76);
    for (int x = 0; x < stepped; x += kPixelsPerStep) {
      const __m128i s = Load(src + x);
      const __m128i blue = _mm_and_si128(s, byteMask);
      const __m128i green = _mm_and_si128(_mm_srli_epi32(s, 8), byteMask);
      const __m128i red = _mm_and_si128(_mm_srli_epi32(s, 16), byteMask);
      const __m128i sum = _mm_add_epi32(
          _mm_add_epi32(_mm_mullo_epi16(blue, blueWeight), _mm_mullo_epi16(green, greenWeight)),
          _mm_mullo_epi16(red, redWeight));
      const __m128i grey = _mm_srli_epi32(sum, 8);
      const __m128i greyPixels =
          _mm_or_si128(_mm_or_si128(grey, _mm_slli_epi32(grey, 8)), _mm_slli_epi32(grey, 16));
      Store(dst + x, greyPixels);
    }
#endif
    for (int x = stepped; x < width; ++x) dst[x] = pixel::SimdGreyPixel(src[x]);
  }
}

}  // namespace halcyra

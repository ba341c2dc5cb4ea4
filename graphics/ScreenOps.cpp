// Screen-wide and effect operations: fill, darken, cross fade, rule wipe, scaled blend,
// rotation, 24-bit row conversion, thumbnail averaging and text outlines.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <type_traits>

#include "graphics/PixelArithmetic.h"
#include "graphics/PixelOps.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace halcyra {
namespace {

using pixel::AlphaOf;
using pixel::MaskIf;
using pixel::Select;

template <typename Pixel>
Pixel* AdvanceBytes(Pixel* pixels, std::ptrdiff_t bytes) {
  using Byte = std::conditional_t<std::is_const_v<Pixel>, const std::uint8_t, std::uint8_t>;
  return reinterpret_cast<Pixel*>(reinterpret_cast<Byte*>(pixels) + bytes);
}

// 65536 times a sine or cosine, truncated as exact arithmetic would: values that are whole
// numbers in exact arithmetic (sin 30 = 1/2) are not lost to the last bit of a double.
std::int64_t FixedTrig(double value) {
  const double scaled = 65536.0 * value;
  const double nearest = std::nearbyint(scaled);
  return static_cast<std::int64_t>(std::abs(scaled - nearest) < 1e-6 ? nearest
                                                                     : std::trunc(scaled));
}

struct RotationTables {
  std::array<std::int64_t, 360> cosine{};  // C[k] = trunc(65536 cos k)
  std::array<std::int64_t, 360> sine{};    // S[k] = -trunc(65536 sin k)
};

const RotationTables& Rotation() {
  static const RotationTables tables = [] {
    RotationTables made;
    constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
    for (int k = 0; k < 360; ++k) {
      made.cosine[static_cast<std::size_t>(k)] = FixedTrig(std::cos(k * kRadiansPerDegree));
      made.sine[static_cast<std::size_t>(k)] = -FixedTrig(std::sin(k * kRadiansPerDegree));
    }
    return made;
  }();
  return tables;
}

// value / 65536 rounded to the nearest whole number, halves away from zero.
std::int64_t RoundFixed(std::int64_t value) {
  const std::int64_t sign = value >> 63;
  const std::int64_t magnitude = (value ^ sign) - sign;
  const std::int64_t rounded = (magnitude + 32768) >> 16;
  return (rounded ^ sign) - sign;
}

}  // namespace

void FillRect(std::uint32_t* pixels, int red, int green, int blue, int alpha, int width, int height,
              int pitchBytes) {
  const std::uint32_t colour =
      static_cast<std::uint32_t>(alpha) << 24 | static_cast<std::uint32_t>(red) << 16 |
      static_cast<std::uint32_t>(green) << 8 | static_cast<std::uint32_t>(blue);
  for (int y = 0; y < height; ++y, pixels = AdvanceBytes(pixels, pitchBytes)) {
    std::fill_n(pixels, width, colour);
  }
}

void Darken(std::uint32_t* pixels, int width, int height, int amount) {
  const int clamped = std::max(amount, -255);
  const auto colourFactor = static_cast<std::uint32_t>(255 + std::min(clamped, 0));
  const std::uint32_t alphaFactor = clamped < 0 ? 255u : 0u;
  const std::ptrdiff_t count = static_cast<std::ptrdiff_t>(width) * height;
  std::ptrdiff_t i = 0;
#if defined(__SSE2__)
  const auto colourLane = static_cast<short>(colourFactor);
  const auto alphaLane = static_cast<short>(alphaFactor);
  const __m128i factors = _mm_set_epi16(alphaLane, colourLane, colourLane, colourLane, alphaLane,
                                        colourLane, colourLane, colourLane);
  const __m128i zero = _mm_setzero_si128();
  for (; i + 4 <= count; i += 4) {
    auto* at = reinterpret_cast<__m128i*>(pixels + i);
    const __m128i value = _mm_loadu_si128(at);
    const __m128i low = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(value, zero), factors), 8);
    const __m128i high =
        _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(value, zero), factors), 8);
    _mm_storeu_si128(at, _mm_packus_epi16(low, high));
  }
#endif
  for (; i < count; ++i) pixels[i] = pixel::DarkenPixel(pixels[i], colourFactor, alphaFactor);
}

void CrossFade(std::uint32_t* dst, int dstPitchBytes, const std::uint32_t* a, int aPitchBytes,
               const std::uint32_t* b, int bPitchBytes, int width, int height, int t) {
  const auto weight = static_cast<std::uint32_t>(t);
  for (int y = 0; y < height; ++y) {
    int x = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i weights = _mm_set1_epi16(static_cast<short>(t));
    const __m128i inverse = _mm_set1_epi16(static_cast<short>(255 - t));
    const __m128i weightLanes = _mm_set1_epi32(t);
    const __m128i inverseLanes = _mm_set1_epi32(255 - t);
    const __m128i colourMask = _mm_set1_epi32(static_cast<int>(pixel::kColourMask));
    for (; x + 4 <= width; x += 4) {
      const __m128i pa = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x));
      const __m128i pb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x));
      const auto blendHalf = [&](__m128i wa, __m128i wb) {
        return _mm_srli_epi16(
            _mm_add_epi16(_mm_mullo_epi16(wa, weights), _mm_mullo_epi16(wb, inverse)), 8);
      };
      const __m128i both =
          _mm_packus_epi16(blendHalf(_mm_unpacklo_epi8(pa, zero), _mm_unpacklo_epi8(pb, zero)),
                           blendHalf(_mm_unpackhi_epi8(pa, zero), _mm_unpackhi_epi8(pb, zero)));
      const __m128i alphaA = _mm_srli_epi32(pa, 24);
      const __m128i alphaB = _mm_srli_epi32(pb, 24);
      const __m128i fadedA =
          _mm_slli_epi32(_mm_srli_epi32(_mm_mullo_epi16(alphaA, weightLanes), 8), 24);
      const __m128i fadedB =
          _mm_slli_epi32(_mm_srli_epi32(_mm_mullo_epi16(alphaB, inverseLanes), 8), 24);
      const __m128i onlyA = _mm_or_si128(_mm_and_si128(pa, colourMask), fadedA);
      const __m128i onlyB = _mm_or_si128(_mm_and_si128(pb, colourMask), fadedB);
      const __m128i aHidden = _mm_cmpeq_epi32(alphaA, zero);
      const __m128i bHidden = _mm_cmpeq_epi32(alphaB, zero);
      const __m128i single =
          _mm_or_si128(_mm_and_si128(aHidden, onlyB), _mm_andnot_si128(aHidden, onlyA));
      const __m128i eitherHidden = _mm_or_si128(aHidden, bHidden);
      const __m128i result =
          _mm_or_si128(_mm_and_si128(eitherHidden, single), _mm_andnot_si128(eitherHidden, both));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x), result);
    }
#endif
    for (; x < width; ++x) dst[x] = pixel::CrossFadePixel(a[x], b[x], weight);
    dst = AdvanceBytes(dst, dstPitchBytes);
    a = AdvanceBytes(a, aPitchBytes);
    b = AdvanceBytes(b, bPitchBytes);
  }
}

void RuleWipe(int threshold, const std::uint32_t* mask, const std::uint32_t* src,
              std::uint32_t* dst, int count) {
  const auto limit = static_cast<std::uint32_t>(threshold);
  for (int i = 0; i < count; ++i) {
    const std::uint32_t green = (mask[i] >> 8) & 0xFFu;
    dst[i] = Select(MaskIf(static_cast<int>(green) <= static_cast<int>(limit)), src[i], dst[i]);
  }
}

void ScaledBlend(std::uint32_t* dst, int dstPitch, int dstWidth, int dstHeight,
                 const std::uint32_t* src, int px, int py, float sx, float sy, int w, int h) {
  if (sx == 0.0f || sy == 0.0f || w <= 0 || h <= 0) return;
  const int outputWidth = static_cast<int>(sx * static_cast<float>(w));
  const int outputHeight = static_cast<int>(sy * static_cast<float>(h));
  const float columnStep = 1.0f / sx;
  const float rowStep = 1.0f / sy;
  const int firstRow = std::max(0, -py);
  const int endRow = std::min(outputHeight, dstHeight - py);
  const int firstColumn = std::max(0, -px);
  const int endColumn = std::min(outputWidth, dstWidth - px);
  for (int i = firstRow; i < endRow; ++i) {
    const int e = std::min(static_cast<int>(static_cast<float>(i) * rowStep), h - 1);
    const int rowStart = e * w;
    const int rowLast = rowStart + w - 1;
    std::uint32_t* row = dst + static_cast<std::ptrdiff_t>(py + i) * dstPitch + px;
    for (int j = firstColumn; j < endColumn; ++j) {
      const int index = std::min(
          static_cast<int>(static_cast<float>(rowStart) + static_cast<float>(j) * columnStep),
          rowLast);
      const std::uint32_t s = src[index];
      const std::uint32_t d = row[j];
      const std::uint32_t a = AlphaOf(s);
      row[j] = Select(MaskIf(a != 0), pixel::BlendAllBytes(s, d, a), d);
    }
  }
}

void RotatedCopy(std::uint32_t* dst, int dstPitch, int width, int height, const std::uint32_t* src,
                 int srcPitch, int angle) {
  const int cx = width / 2;
  const int cy = height / 2;
  const int reduced = ((angle % 360) + 360) % 360;
  const auto k = static_cast<std::size_t>((360 - reduced) % 360);
  const std::int64_t c = Rotation().cosine[k];
  const std::int64_t s = Rotation().sine[k];
  for (int y = 0; y < height; ++y, dst += dstPitch) {
    const std::int64_t dy = y - cy;
    for (int x = 0; x < width; ++x) {
      const std::int64_t dx = x - cx;
      const std::int64_t sourceX = cx + RoundFixed(c * dx - s * dy);
      const std::int64_t sourceY = cy + RoundFixed(s * dx + c * dy);
      const bool inside = static_cast<std::uint64_t>(sourceX) < static_cast<std::uint64_t>(width) &&
                          static_cast<std::uint64_t>(sourceY) < static_cast<std::uint64_t>(height);
      const std::int64_t index = inside ? sourceY * srcPitch + sourceX : 0;
      dst[x] = Select(MaskIf(inside), src[index], dst[x]);
    }
  }
}

void ConvertRows24(std::uint32_t* dst, const std::uint8_t* lastRow, int width, int height,
                   int strideBytes) {
  for (int y = 0; y < height; ++y, dst += width) {
    const std::uint8_t* row = lastRow - static_cast<std::ptrdiff_t>(y) * strideBytes;
    for (int x = 0; x < width; ++x, row += 3) {
      dst[x] = pixel::kAlphaMask | static_cast<std::uint32_t>(row[2]) << 16 |
               static_cast<std::uint32_t>(row[1]) << 8 | row[0];
    }
  }
}

void BoxAverage4(std::uint32_t* pixels, int width, int height, int pitchBytes) {
  for (int by = 0; by + 4 <= height; by += 4) {
    std::uint32_t* blockRow = AdvanceBytes(pixels, static_cast<std::ptrdiff_t>(by) * pitchBytes);
    for (int bx = 0; bx + 4 <= width; bx += 4) {
      std::uint32_t blue = 0;
      std::uint32_t green = 0;
      std::uint32_t red = 0;
      for (int row = 0; row < 4; ++row) {
        const std::uint32_t* line =
            AdvanceBytes(blockRow, static_cast<std::ptrdiff_t>(row) * pitchBytes) + bx;
        for (int column = 0; column < 4; ++column) {
          blue += line[column] & 0xFFu;
          green += (line[column] >> 8) & 0xFFu;
          red += (line[column] >> 16) & 0xFFu;
        }
      }
      std::uint32_t& corner = blockRow[bx];
      corner = (corner & pixel::kAlphaMask) | (red / 16) << 16 | (green / 16) << 8 | blue / 16;
    }
  }
}

void Outline(std::uint32_t colour, std::uint32_t* pixels, int width, int height, int pitchBytes) {
  const std::uint32_t outline = (colour & pixel::kColourMask) | 0xFE000000u;
  for (int y = 1; y + 1 < height; ++y) {
    std::uint32_t* above = AdvanceBytes(pixels, static_cast<std::ptrdiff_t>(y - 1) * pitchBytes);
    std::uint32_t* row = AdvanceBytes(above, pitchBytes);
    std::uint32_t* below = AdvanceBytes(row, pitchBytes);
    for (int x = 1; x + 1 < width; ++x) {
      const std::uint32_t spreads = MaskIf(AlphaOf(row[x]) == 255);
      const auto mark = [&](std::uint32_t& neighbour) {
        neighbour = Select(spreads & MaskIf(AlphaOf(neighbour) == 0), outline, neighbour);
      };
      mark(below[x]);
      mark(row[x - 1]);
      mark(row[x + 1]);
      mark(above[x]);
    }
  }
}

}  // namespace halcyra

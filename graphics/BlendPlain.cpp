// The plain forms of the sprite blends, the row copy, the mosaic and the form dispatch.
#include <algorithm>
#include <cstring>

#include "graphics/PixelArithmetic.h"
#include "graphics/PixelOps.h"
#include "graphics/SimdFlag.h"

namespace halcyra {

using pixel::AlphaOf;
using pixel::BlendColour;
using pixel::kAlphaMask;
using pixel::MaskIf;
using pixel::Select;
using pixel::SubtractColour;

void AlphaBlendPlain(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                     int height, int srcPitch) {
  for (int y = 0; y < height; ++y, dst += dstPitch, src += srcPitch) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t s = src[x];
      const std::uint32_t d = dst[x];
      const std::uint32_t a = AlphaOf(s);
      dst[x] = Select(MaskIf(a != 0), BlendColour(s, d, a) | (d & kAlphaMask), d);
    }
  }
}

void AlphaBlendOpacityPlain(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                            int height, int srcPitch, int opacity) {
  const auto level = static_cast<std::uint32_t>(opacity);
  for (int y = 0; y < height; ++y, dst += dstPitch, src += srcPitch) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t s = src[x];
      const std::uint32_t d = dst[x];
      const std::uint32_t a = (AlphaOf(s) * level) >> 8;
      dst[x] = Select(MaskIf(a != 0), BlendColour(s, d, a) | (d & kAlphaMask), d);
    }
  }
}

void AlphaBlendBrightnessPlain(std::uint32_t* dst, int dstPitch, const std::uint32_t* src,
                               int width, int height, int srcPitch, int brightness) {
  const int amount = 255 - brightness;
  for (int y = 0; y < height; ++y, dst += dstPitch, src += srcPitch) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t s = src[x];
      const std::uint32_t d = dst[x];
      const std::uint32_t a = AlphaOf(s);
      const std::uint32_t blended = SubtractColour(BlendColour(s, d, a), amount);
      dst[x] = Select(MaskIf(a != 0), blended | (d & kAlphaMask), d);
    }
  }
}

void CopyBrightnessPlain(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                         int height, int srcPitch, int brightness) {
  const int amount = 255 - brightness;
  for (int y = 0; y < height; ++y, dst += dstPitch, src += srcPitch) {
    for (int x = 0; x < width; ++x) {
      dst[x] = SubtractColour(src[x], amount) | (dst[x] & kAlphaMask);
    }
  }
}

void GreyCopyPlain(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                   int height, int srcPitch) {
  for (int y = 0; y < height; ++y, dst += dstPitch, src += srcPitch) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t s = src[x];
      dst[x] = ((s >> 8) & 0xFFu) * 0x010101u | (s & kAlphaMask);
    }
  }
}

void CopyRows(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width, int height,
              int srcPitch) {
  const std::size_t rowBytes = static_cast<std::size_t>(width) * sizeof(std::uint32_t);
  for (int y = 0; y < height; ++y, dst += dstPitch, src += srcPitch) {
    std::memmove(dst, src, rowBytes);
  }
}

void MosaicCopy(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width, int height,
                int srcPitch, int level) {
  if (level < 2 || level > 16) return;
  const int block = level & ~1;
  const int blocksAcross = width / block;
  const int blocksDown = height / block;
  for (int by = 0; by < blocksDown; ++by) {
    const std::uint32_t* sourceRow = src + static_cast<std::ptrdiff_t>(by) * block * srcPitch;
    std::uint32_t* blockRow = dst + static_cast<std::ptrdiff_t>(by) * block * dstPitch;
    for (int row = 0; row < block; ++row, blockRow += dstPitch) {
      for (int bx = 0; bx < blocksAcross; ++bx) {
        std::fill_n(blockRow + bx * block, block, sourceRow[bx * block]);
      }
    }
  }
}

void AlphaBlend(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width, int height,
                int srcPitch) {
  if (HasMmx()) return AlphaBlendSimd(dst, dstPitch, src, width, height, srcPitch);
  AlphaBlendPlain(dst, dstPitch, src, width, height, srcPitch);
}

void AlphaBlendOpacity(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                       int height, int srcPitch, int opacity) {
  if (HasMmx()) return AlphaBlendOpacitySimd(dst, dstPitch, src, width, height, srcPitch, opacity);
  AlphaBlendOpacityPlain(dst, dstPitch, src, width, height, srcPitch, opacity);
}

void AlphaBlendBrightness(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                          int height, int srcPitch, int brightness) {
  if (HasMmx()) {
    return AlphaBlendBrightnessSimd(dst, dstPitch, src, width, height, srcPitch, brightness);
  }
  AlphaBlendBrightnessPlain(dst, dstPitch, src, width, height, srcPitch, brightness);
}

void CopyBrightness(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                    int height, int srcPitch, int brightness) {
  if (HasMmx()) return CopyBrightnessSimd(dst, dstPitch, src, width, height, srcPitch, brightness);
  CopyBrightnessPlain(dst, dstPitch, src, width, height, srcPitch, brightness);
}

void GreyCopy(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width, int height,
              int srcPitch) {
  if (HasMmx()) return GreyCopySimd(dst, dstPitch, src, width, height, srcPitch);
  GreyCopyPlain(dst, dstPitch, src, width, height, srcPitch);
}

}  // namespace halcyra

// The software pixel routines: the blends that draw sprites onto a surface, the screen-wide
// operations (fill, darken, cross fade, rule wipe, rotation, scaling) and the colour operations
// applied to pictures.
//
// Pixels are 32-bit 0xAARRGGBB values (bytes blue, green, red, alpha in memory), rows top to
// bottom. Rectangles are given by a pointer to their first pixel, a width and height in pixels
// and a row pitch (in pixels unless a name says bytes). No routine clips unless it says so: the
// caller passes rectangles that lie inside both surfaces. Pointers are borrowed. None of them
// can fail.
//
// Channel arithmetic: a product of two channel values is divided by 256 with a right shift,
// never by 255, so a full-weight product x * 255 >> 8 gives x - 1 for x > 0.
//
// The sprite blends have two forms whose results differ where said: the plain form, and the
// SIMD form (the engine's MMX form, written with SSE2). Each `Name` picks `NamePlain` or
// `NameSimd` by HasMmx() (graphics/SimdFlag.h). Where a SIMD form's alpha is not fixed by the
// blend's own rule, copies keep the source's alpha and blends leave 255, as the SIMD AlphaBlend
// does for partial alpha.
#pragma once

#include <cstdint>

namespace halcyra {

// Source alpha a: a > 0 blends each colour channel as (s * a + d * (255 - a)) >> 8 and keeps the
// destination alpha; a = 0 leaves the pixel.
void AlphaBlendPlain(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                     int height, int srcPitch);
// a = 0 leaves the pixel, a = 255 copies the source pixel exactly, otherwise the colour channels
// as the plain form and alpha 255.
void AlphaBlendSimd(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                    int height, int srcPitch);
void AlphaBlend(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width, int height,
                int srcPitch);

// The alpha blend with a' = (a * opacity) >> 8 in place of a; a' = 0 leaves the pixel. Plain
// keeps the destination alpha, SIMD leaves 255. opacity: 0..255.
void AlphaBlendOpacityPlain(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                            int height, int srcPitch, int opacity);
void AlphaBlendOpacitySimd(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                           int height, int srcPitch, int opacity);
void AlphaBlendOpacity(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                       int height, int srcPitch, int opacity);

// For a > 0. Plain: the alpha blend, then 255 - brightness subtracted from each colour channel,
// stopping at 0; destination alpha kept. SIMD: each source colour channel first becomes
// (s * brightness) >> 8, then the blend with a (also at a = 255); alpha 255. brightness: 0..255.
void AlphaBlendBrightnessPlain(std::uint32_t* dst, int dstPitch, const std::uint32_t* src,
                               int width, int height, int srcPitch, int brightness);
void AlphaBlendBrightnessSimd(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                              int height, int srcPitch, int brightness);
void AlphaBlendBrightness(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                          int height, int srcPitch, int brightness);

// Every pixel: each colour channel becomes s - (255 - brightness), stopping at 0. Plain keeps the
// destination alpha, SIMD copies the source alpha.
void CopyBrightnessPlain(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                         int height, int srcPitch, int brightness);
void CopyBrightnessSimd(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                        int height, int srcPitch, int brightness);
void CopyBrightness(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                    int height, int srcPitch, int brightness);

// Plain: blue, green and red become the source's green byte, alpha the source's alpha. SIMD:
// g = (29 * blue + 150 * green + 76 * red) >> 8 in blue, green and red, alpha 0.
void GreyCopyPlain(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width,
                   int height, int srcPitch);
void GreyCopySimd(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width, int height,
                  int srcPitch);
void GreyCopy(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width, int height,
              int srcPitch);

// Plain row copy, alpha included. Within one surface the rectangles may overlap as long as the
// destination does not start below the source.
void CopyRows(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width, int height,
              int srcPitch);

// Block size k = level rounded down to an even number; a level of 0, 1 or above 16 draws
// nothing. Every whole k x k block of the rectangle, from its top-left corner, takes the source
// pixel at the block's top-left corner (alpha included); the columns and rows at the right and
// bottom that do not fill a whole block are left unchanged.
void MosaicCopy(std::uint32_t* dst, int dstPitch, const std::uint32_t* src, int width, int height,
                int srcPitch, int level);

// Every pixel of the rectangle becomes alpha << 24 | red << 16 | green << 8 | blue.
void FillRect(std::uint32_t* pixels, int red, int green, int blue, int alpha, int width, int height,
              int pitchBytes);

// On width x height packed pixels: amounts below -255 count as -255; f = 255 + min(amount, 0);
// each colour channel c becomes (c * f) >> 8; alpha becomes (a * 255) >> 8 for a negative amount
// and 0 otherwise.
void Darken(std::uint32_t* pixels, int width, int height, int amount);

// Draws a w x h packed source scaled by (sx, sy) with its top-left corner at (px, py) on a
// destination of dstWidth x dstHeight pixels, clipping to it. Output size (trunc(sx * w),
// trunc(sy * h)); output pixel (j, i) reads source column trunc(f + j / sx) of row
// e = trunc(i / sy), f = e * w, with single-precision reciprocals, and blends all four bytes as
// (s * a + d * (255 - a)) >> 8. A source pixel with alpha 0 leaves the destination pixel. A zero
// scale draws nothing.
void ScaledBlend(std::uint32_t* dst, int dstPitch, int dstWidth, int dstHeight,
                 const std::uint32_t* src, int px, int py, float sx, float sy, int w, int h);

// Rotates a width x height rectangle about its centre (width / 2, height / 2) by angle whole
// degrees: destination pixel (x, y) takes the source pixel (cx + u / 65536, cy + v / 65536),
// rounded to the nearest with halves away from zero, u = C[k](x - cx) - S[k](y - cy),
// v = S[k](x - cx) + C[k](y - cy), k = (360 - angle mod 360) mod 360, C[k] = trunc(65536 cos k),
// S[k] = -trunc(65536 sin k). Pixels whose source falls outside the rectangle are left. The
// source rectangle has the destination's size.
void RotatedCopy(std::uint32_t* dst, int dstPitch, int width, int height, const std::uint32_t* src,
                 int srcPitch, int angle);

// Weight t: 0..255. Both alphas above 0: each of the four bytes (A * t + B * (255 - t)) >> 8;
// only A's: A's colour with alpha (A.alpha * t) >> 8; otherwise B's colour with alpha
// (B.alpha * (255 - t)) >> 8.
void CrossFade(std::uint32_t* dst, int dstPitchBytes, const std::uint32_t* a, int aPitchBytes,
               const std::uint32_t* b, int bPitchBytes, int width, int height, int t);

// Over count packed pixels: each destination pixel whose mask pixel's green byte is at most
// threshold takes the source pixel.
void RuleWipe(int threshold, const std::uint32_t* mask, const std::uint32_t* src,
              std::uint32_t* dst, int count);

// Over width pixels of one row: each colour channel c becomes min(255, (c * f) >> 6) with
// f = (64 + trunc(64 * percent / 100)) modulo 256 for its channel's percentage; alpha kept.
void MultiplyColour(std::uint32_t* row, int redPercent, int greenPercent, int bluePercent,
                    int width);

// Colour space conversions on reals. RgbToHsv: h in degrees 0..360, s and v in the scale of the
// inputs' (s relative). HsvToRgb: an h outside 0..360 leaves the outputs unchanged.
void RgbToHsv(double r, double g, double b, double& h, double& s, double& v);
void HsvToRgb(double h, double s, double v, double& r, double& g, double& b);

// Over count packed pixels: the hue (cut to whole degrees) turns by hueDegrees, saturation and
// value grow by their percentages of themselves (clamped to 0..1); channels truncate; alpha kept.
void AdjustHsv(std::uint32_t* pixels, int hueDegrees, int saturationPercent, int valuePercent,
               int count);

// Converts 24-bit rows: destination row 0 comes from lastRow, each next destination row from
// one strideBytes further back (a negative stride walks forwards). Alpha becomes 255.
// dst is packed (pitch width).
void ConvertRows24(std::uint32_t* dst, const std::uint8_t* lastRow, int width, int height,
                   int strideBytes);

// For every whole 4 x 4 block, the block's top-left pixel gets in blue, green and red the sum of
// the 16 pixels' channel divided by 16; other pixels and all alpha bytes are unchanged.
void BoxAverage4(std::uint32_t* pixels, int width, int height, int pitchBytes);

// Text outlines: every pixel with alpha 0 next to (below, left, right or above) a pixel with
// alpha 255 that is not on the outermost rows or columns becomes colour with alpha 0xFE.
void Outline(std::uint32_t colour, std::uint32_t* pixels, int width, int height, int pitchBytes);

}  // namespace halcyra

// A drawing surface: up to 200 equally sized frames of 32-bit pixels (0xAARRGGBB, rows top to
// bottom, packed: pitch = width), created empty or loaded from a BMP or PSD picture.
//
// The pixels always live in memory, so every operation works in both drawing modes. When the
// context has an accelerated renderer (`UseDirect3D`), each frame also gets a texture: pixels
// changed through Lock/Unlock or Fill are uploaded the next time the texture is asked for, and a
// render-target frame that the renderer drew into is read back on the next Lock.
//
// Faults are reported through the context's SystemError (source "CDIBitmap.cpp") and make the
// operation return false; a texture the renderer refuses is reported with its own box and the
// surface stays usable in memory.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "graphics/GraphicsContext.h"
#include "platform/AcceleratedRenderer.h"

namespace halcyra {

class CPSD;

class CDIBitmap {
 public:
  static constexpr int kMaxFrames = 200;
  static constexpr int kMaxSide = 16384;                  // pixels, either dimension
  static constexpr std::uint64_t kMaxBytes = 1ull << 30;  // all frames together

  // context is borrowed for the surface's life; its renderer, when set, must outlive the
  // textures (release the surface first).
  explicit CDIBitmap(const GraphicsContext& context) : context_(&context) {}
  ~CDIBitmap() { Release(); }
  CDIBitmap(const CDIBitmap&) = delete;
  CDIBitmap& operator=(const CDIBitmap&) = delete;

  // Makes width x height pixels in frames frames: all bytes 0, or with opaque every alpha 255 and
  // the alpha flag set. renderTarget: accelerated mode makes the textures drawable into (the
  // scene capture). False, reported, for a size outside 1..kMaxSide, frames outside
  // 1..kMaxFrames, or memory beyond kMaxBytes or not to be had.
  bool Create(int width, int height, int frames, bool opaque, bool renderTarget);
  // Frees pixels and textures; the surface is then invalid.
  void Release();
  bool IsValid() const { return pixels_ != nullptr; }

  // Game paths ("cg\\bg01.psd"): names ending in ".bmp" (any case) are read as BMP, all others as
  // PSD. The loose file is tried first, then the picture archive. False after a report.
  bool LoadPicture(std::string_view fileName);
  bool LoadBmp(std::string_view fileName);
  bool LoadPsd(std::string_view fileName);
  // The same from a picture's plain bytes already in memory; fileName names it in messages.
  bool LoadPictureData(std::vector<std::uint8_t> bytes, std::string_view fileName);
  bool LoadBmpData(std::span<const std::uint8_t> bytes, std::string_view fileName);
  bool LoadPsdData(std::vector<std::uint8_t> bytes, std::string_view fileName);

  // Writes colour into every pixel: of frame 0 in software mode, of the given frame in
  // accelerated mode. False when the surface is invalid or the frame does not exist.
  bool Fill(std::uint32_t colour, int frame);

  void SetAlpha(bool on) { alpha_ = on; }
  bool HasAlpha() const { return alpha_; }
  bool IsRenderTarget() const { return renderTarget_; }

  // 0 when the surface is not valid.
  int GetWidth() const { return IsValid() ? width_ : 0; }
  int GetHeight() const { return IsValid() ? height_ : 0; }
  int GetFrameCount() const { return IsValid() ? frameCount_ : 0; }
  // Every frame lies at (0, 0) and has the surface's size.
  int GetFrameX(int) const { return 0; }
  int GetFrameY(int) const { return 0; }
  int GetFrameWidth(int) const { return GetWidth(); }
  int GetFrameHeight(int) const { return GetHeight(); }

  // Pixels of a frame (pitch = width); null when invalid or out of range. Changes made through
  // this pointer reach the texture only after Unlock(frame).
  std::uint32_t* GetBits(int frame);
  const std::uint32_t* GetBits(int frame) const;

  // The frame's pixels for reading and writing, pitch in pixels; reads back a render target the
  // renderer drew into. False when invalid or out of range.
  bool Lock(int frame, int& pitch, std::uint32_t*& pixels);
  // Marks the frame's pixels changed, to be uploaded before the texture is next drawn.
  bool Unlock(int frame);

  // The frame's texture, uploaded first when its pixels changed; null in software mode, when
  // out of range or when the texture could not be made.
  AcceleratedTexture* GetTexture(int frame);
  // The frame's texture when it is a render target, else null.
  AcceleratedTexture* GetTargetSurface(int frame);
  // Notes that the renderer drew into the frame's render target (its pixels are now stale).
  void MarkDrawnByRenderer(int frame);

  // Device loss: drops the textures; RestoreTextures makes them again from the pixels.
  void ReleaseTextures();
  void RestoreTextures();

 private:
  enum class FrameSync : std::uint8_t { kSame, kPixelsNewer, kTextureNewer };

  bool Fail(int number, std::string_view message, std::string_view detail) const;
  bool HasFrame(int frame) const { return IsValid() && frame >= 0 && frame < frameCount_; }
  void CreateTextures();
  bool LoadFromPsd(CPSD& psd);
  bool ReadPictureFile(std::string_view fileName, std::vector<std::uint8_t>& bytes) const;

  const GraphicsContext* context_;
  std::unique_ptr<std::uint32_t[]> pixels_;
  int width_ = 0;
  int height_ = 0;
  int frameCount_ = 0;
  bool alpha_ = false;
  bool renderTarget_ = false;
  std::vector<std::unique_ptr<AcceleratedTexture>> textures_;
  std::vector<FrameSync> sync_;
};

}  // namespace halcyra

#include "graphics/CDIBitmap.h"

#include <algorithm>
#include <new>

#include "graphics/BmpReader.h"
#include "graphics/CPSD.h"
#include "graphics/GraphicsTexts.h"
#include "resource/CArcFile.h"
#include "resource/PictureMember.h"

namespace halcyra {
namespace {

namespace texts = graphics_texts;

constexpr char kSource[] = "CDIBitmap.cpp";
enum ReportNumber {
  kCreateSizeNumber = 118,
  kCreateMemoryNumber = 124,
  kBmpOpenNumber = 231,
  kBmpDepthNumber = 246,
  kBmpBrokenNumber = 252,
};

bool IsBmpName(std::string_view name) {
  if (name.size() < 4) return false;
  const std::string_view ending = name.substr(name.size() - 4);
  return CArcFile::SameMemberName(ending, ".bmp");
}

}  // namespace

bool CDIBitmap::Fail(int number, std::string_view message, std::string_view detail) const {
  context_->SystemError(kSource, number, message, detail);
  return false;
}

bool CDIBitmap::Create(int width, int height, int frames, bool opaque, bool renderTarget) {
  Release();
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide || frames < 1 ||
      frames > kMaxFrames) {
    return Fail(kCreateSizeNumber, texts::kCannotCreateBitmap, "");
  }
  const std::uint64_t count = static_cast<std::uint64_t>(width) *
                              static_cast<std::uint64_t>(height) *
                              static_cast<std::uint64_t>(frames);
  if (count * sizeof(std::uint32_t) > kMaxBytes) {
    return Fail(kCreateMemoryNumber, texts::kOutOfMemory, "");
  }
  pixels_.reset(new (std::nothrow) std::uint32_t[count]);
  if (pixels_ == nullptr) return Fail(kCreateMemoryNumber, texts::kOutOfMemory, "");
  std::fill_n(pixels_.get(), count, opaque ? 0xFF000000u : 0u);
  width_ = width;
  height_ = height;
  frameCount_ = frames;
  alpha_ = opaque;
  renderTarget_ = renderTarget;
  CreateTextures();
  return true;
}

void CDIBitmap::CreateTextures() {
  if (!context_->UseDirect3D()) return;
  textures_.clear();
  sync_.assign(static_cast<std::size_t>(frameCount_), FrameSync::kPixelsNewer);
  for (int i = 0; i < frameCount_; ++i) {
    auto texture = context_->accelerated->CreateTexture(width_, height_, renderTarget_);
    if (texture == nullptr) {
      context_->ErrorBox(texts::kTextureCaption,
                         std::string(texts::kTextureFailed) + context_->accelerated->LastError());
      return;
    }
    textures_.push_back(std::move(texture));
  }
}

void CDIBitmap::Release() {
  textures_.clear();
  sync_.clear();
  pixels_.reset();
  width_ = 0;
  height_ = 0;
  frameCount_ = 0;
  alpha_ = false;
  renderTarget_ = false;
}

bool CDIBitmap::ReadPictureFile(std::string_view fileName, std::vector<std::uint8_t>& bytes) const {
  CArcFile noArchive;
  CArcFile& archive = context_->pictures != nullptr ? *context_->pictures : noArchive;
  return halcyra::LoadPicture(fileName, archive, bytes);
}

bool CDIBitmap::LoadPicture(std::string_view fileName) {
  return IsBmpName(fileName) ? LoadBmp(fileName) : LoadPsd(fileName);
}

bool CDIBitmap::LoadBmp(std::string_view fileName) {
  std::vector<std::uint8_t> bytes;
  if (!ReadPictureFile(fileName, bytes)) {
    Release();
    return Fail(kBmpOpenNumber, texts::kOutOfMemoryOrCannotOpen, fileName);
  }
  return LoadBmpData(bytes, fileName);
}

bool CDIBitmap::LoadPsd(std::string_view fileName) {
  CPSD psd(*context_);
  if (!psd.Load(fileName)) {
    Release();
    return false;
  }
  return LoadFromPsd(psd);
}

bool CDIBitmap::LoadPictureData(std::vector<std::uint8_t> bytes, std::string_view fileName) {
  return IsBmpName(fileName) ? LoadBmpData(bytes, fileName)
                             : LoadPsdData(std::move(bytes), fileName);
}

bool CDIBitmap::LoadBmpData(std::span<const std::uint8_t> bytes, std::string_view fileName) {
  Release();
  BmpReader reader(bytes);
  const bool headerRead = reader.ReadHeader();
  if (!headerRead && reader.GetFault() == BmpReader::Fault::kUnsupported) {
    return Fail(kBmpDepthNumber, texts::kUnsupportedColourCount, fileName);
  }
  if (!headerRead) return Fail(kBmpBrokenNumber, texts::kCannotReadProperly, fileName);
  if (!Create(reader.Width(), reader.Height(), 1, true, false)) return false;
  if (!reader.Decode(pixels_.get())) {
    Release();
    return Fail(kBmpBrokenNumber, texts::kCannotReadProperly, fileName);
  }
  frameCount_ = 1;
  alpha_ = true;
  return true;
}

bool CDIBitmap::LoadPsdData(std::vector<std::uint8_t> bytes, std::string_view fileName) {
  CPSD psd(*context_);
  if (!psd.LoadData(std::move(bytes), fileName)) {
    Release();
    return false;
  }
  return LoadFromPsd(psd);
}

bool CDIBitmap::LoadFromPsd(CPSD& psd) {
  const int layers = psd.GetLayerCount();
  if (!Create(psd.GetWidth(), psd.GetHeight(), layers, false, false)) return false;
  const int pitchBytes = width_ * static_cast<int>(sizeof(std::uint32_t));
  for (int i = 0; i < layers; ++i) {
    bool frameAlpha = false;
    if (!psd.DecodeLayer(GetBits(i), i, pitchBytes, frameAlpha)) {
      Release();
      return false;
    }
  }
  alpha_ = true;
  return true;
}

bool CDIBitmap::Fill(std::uint32_t colour, int frame) {
  const int filled = context_->UseDirect3D() ? frame : 0;
  if (!HasFrame(filled)) return false;
  std::fill_n(GetBits(filled), static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
              colour);
  return Unlock(filled);
}

std::uint32_t* CDIBitmap::GetBits(int frame) {
  if (!HasFrame(frame)) return nullptr;
  return pixels_.get() + static_cast<std::size_t>(frame) * static_cast<std::size_t>(width_) *
                             static_cast<std::size_t>(height_);
}

const std::uint32_t* CDIBitmap::GetBits(int frame) const {
  return const_cast<CDIBitmap*>(this)->GetBits(frame);
}

bool CDIBitmap::Lock(int frame, int& pitch, std::uint32_t*& pixels) {
  if (!HasFrame(frame)) return false;
  const auto index = static_cast<std::size_t>(frame);
  if (index < textures_.size() && sync_[index] == FrameSync::kTextureNewer) {
    context_->accelerated->ReadPixels(textures_[index].get(), GetBits(frame), width_);
    sync_[index] = FrameSync::kSame;
  }
  pitch = width_;
  pixels = GetBits(frame);
  return true;
}

bool CDIBitmap::Unlock(int frame) {
  if (!HasFrame(frame)) return false;
  const auto index = static_cast<std::size_t>(frame);
  if (index < sync_.size()) sync_[index] = FrameSync::kPixelsNewer;
  return true;
}

AcceleratedTexture* CDIBitmap::GetTexture(int frame) {
  if (!HasFrame(frame) || static_cast<std::size_t>(frame) >= textures_.size()) return nullptr;
  const auto index = static_cast<std::size_t>(frame);
  if (sync_[index] == FrameSync::kPixelsNewer) {
    textures_[index]->Upload(GetBits(frame), width_);
    sync_[index] = FrameSync::kSame;
  }
  return textures_[index].get();
}

AcceleratedTexture* CDIBitmap::GetTargetSurface(int frame) {
  return renderTarget_ ? GetTexture(frame) : nullptr;
}

void CDIBitmap::MarkDrawnByRenderer(int frame) {
  if (HasFrame(frame) && static_cast<std::size_t>(frame) < sync_.size()) {
    sync_[static_cast<std::size_t>(frame)] = FrameSync::kTextureNewer;
  }
}

void CDIBitmap::ReleaseTextures() {
  textures_.clear();
  sync_.clear();
}

void CDIBitmap::RestoreTextures() {
  if (IsValid() && textures_.empty()) CreateTextures();
}

}  // namespace halcyra

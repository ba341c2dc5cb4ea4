#include "platform/SdlAcceleratedRenderer.h"

#include <SDL.h>

namespace halcyra {
namespace {

constexpr int kMinimumTextureSize = 2048;

class SdlTexture : public AcceleratedTexture {
 public:
  SdlTexture(SDL_Texture* texture, int width, int height, bool renderTarget)
      : texture_(texture), width_(width), height_(height), renderTarget_(renderTarget) {}
  ~SdlTexture() override { SDL_DestroyTexture(texture_); }
  SdlTexture(const SdlTexture&) = delete;
  SdlTexture& operator=(const SdlTexture&) = delete;

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool IsRenderTarget() const override { return renderTarget_; }
  bool Upload(const std::uint32_t* pixels, int pitch) override {
    return SDL_UpdateTexture(texture_, nullptr, pixels,
                             pitch * static_cast<int>(sizeof(std::uint32_t))) == 0;
  }
  SDL_Texture* Handle() const { return texture_; }

 private:
  SDL_Texture* texture_;
  int width_;
  int height_;
  bool renderTarget_;
};

SDL_Texture* HandleOf(AcceleratedTexture* texture) {
  return texture == nullptr ? nullptr : static_cast<SdlTexture*>(texture)->Handle();
}

bool TakesArgb8888(const SDL_RendererInfo& info) {
  for (std::uint32_t i = 0; i < info.num_texture_formats; ++i) {
    if (info.texture_formats[i] == SDL_PIXELFORMAT_ARGB8888) return true;
  }
  return false;
}

}  // namespace

SdlAcceleratedRenderer::SdlAcceleratedRenderer(SDL_Renderer* renderer, int screenWidth,
                                               int screenHeight)
    : renderer_(renderer), screenWidth_(screenWidth), screenHeight_(screenHeight) {}

SdlAcceleratedRenderer::~SdlAcceleratedRenderer() {
  if (ownedSurface_ == nullptr) return;
  SDL_DestroyRenderer(renderer_);
  SDL_FreeSurface(ownedSurface_);
}

std::unique_ptr<SdlAcceleratedRenderer> SdlAcceleratedRenderer::CreateOffscreen(int width,
                                                                                int height) {
  SDL_Surface* surface =
      SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
  if (surface == nullptr) return nullptr;
  SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(surface);
  if (renderer == nullptr) {
    SDL_FreeSurface(surface);
    return nullptr;
  }
  auto offscreen = std::make_unique<SdlAcceleratedRenderer>(renderer, width, height);
  offscreen->ownedSurface_ = surface;
  return offscreen;
}

bool SdlAcceleratedRenderer::IsUsable(SDL_Renderer* renderer) {
  SDL_RendererInfo info{};
  if (renderer == nullptr || SDL_GetRendererInfo(renderer, &info) != 0) return false;
  const std::uint32_t needed = SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE;
  return (info.flags & needed) == needed && TakesArgb8888(info) &&
         info.max_texture_width >= kMinimumTextureSize &&
         info.max_texture_height >= kMinimumTextureSize;
}

bool SdlAcceleratedRenderer::Check(bool succeeded) {
  lastError_ = succeeded ? std::string() : std::string(SDL_GetError());
  return succeeded;
}

std::unique_ptr<AcceleratedTexture> SdlAcceleratedRenderer::CreateTexture(int width, int height,
                                                                          bool renderTarget) {
  const int access = renderTarget ? SDL_TEXTUREACCESS_TARGET : SDL_TEXTUREACCESS_STATIC;
  SDL_Texture* texture =
      SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, access, width, height);
  if (!Check(texture != nullptr)) return nullptr;
  SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
  // Pictures are drawn pixel for pixel; a scaled picture samples its nearest pixel.
  SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
  return std::make_unique<SdlTexture>(texture, width, height, renderTarget);
}

bool SdlAcceleratedRenderer::BeginScene(AcceleratedTexture* target, std::uint32_t clearColour) {
  if (!Check(SDL_SetRenderTarget(renderer_, HandleOf(target)) == 0)) return false;
  SDL_SetRenderDrawColor(renderer_, static_cast<std::uint8_t>(clearColour >> 16),
                         static_cast<std::uint8_t>(clearColour >> 8),
                         static_cast<std::uint8_t>(clearColour),
                         static_cast<std::uint8_t>(clearColour >> 24));
  return Check(SDL_RenderClear(renderer_) == 0);
}

bool SdlAcceleratedRenderer::DrawQuad(AcceleratedTexture& texture, const QuadPlacement& placement) {
  SDL_Texture* handle = HandleOf(&texture);
  SDL_SetTextureColorMod(handle, placement.brightness, placement.brightness, placement.brightness);
  SDL_SetTextureAlphaMod(handle, placement.opacity);
  const SDL_FRect destination{placement.x, placement.y, placement.width, placement.height};
  const SDL_FPoint centre{placement.centreX, placement.centreY};
  return Check(SDL_RenderCopyExF(renderer_, handle, nullptr, &destination, placement.angle, &centre,
                                 SDL_FLIP_NONE) == 0);
}

bool SdlAcceleratedRenderer::EndScene() {
  return Check(SDL_SetRenderTarget(renderer_, nullptr) == 0);
}

bool SdlAcceleratedRenderer::Present() {
  if (beforePresent_) beforePresent_();
  SDL_RenderPresent(renderer_);
  return true;
}

bool SdlAcceleratedRenderer::ReadPixels(AcceleratedTexture* source, std::uint32_t* pixels,
                                        int pitch) {
  if (source != nullptr && !Check(SDL_SetRenderTarget(renderer_, HandleOf(source)) == 0)) {
    return false;
  }
  const bool read =
      Check(SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels,
                                 pitch * static_cast<int>(sizeof(std::uint32_t))) == 0);
  if (source != nullptr) SDL_SetRenderTarget(renderer_, nullptr);
  return read;
}

}  // namespace halcyra

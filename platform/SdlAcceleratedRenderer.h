// The accelerated drawing device on SDL_Renderer: one SDL texture per picture frame, colour and
// alpha modulation for brightness and opacity, SDL_RenderCopyExF for scale and rotation, target
// textures for scene captures.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/AcceleratedRenderer.h"

struct SDL_Renderer;
struct SDL_Surface;

namespace halcyra {

class SdlAcceleratedRenderer : public AcceleratedRenderer {
 public:
  // Draws with renderer (borrowed: it must outlive this object and every texture made here) on
  // a screen of screenWidth x screenHeight pixels.
  SdlAcceleratedRenderer(SDL_Renderer* renderer, int screenWidth, int screenHeight);
  ~SdlAcceleratedRenderer() override;
  SdlAcceleratedRenderer(const SdlAcceleratedRenderer&) = delete;
  SdlAcceleratedRenderer& operator=(const SdlAcceleratedRenderer&) = delete;

  // A renderer of its own drawing into an offscreen ARGB8888 surface of width x height pixels
  // with SDL's software renderer: the accelerated path without a window or a graphics card
  // (conformance tests, tools). Null when SDL cannot make it.
  static std::unique_ptr<SdlAcceleratedRenderer> CreateOffscreen(int width, int height);

  // Whether a window's renderer is worth using: a hardware-accelerated driver that renders to
  // textures, takes ARGB8888 textures and allows textures of at least 2048 x 2048 pixels.
  static bool IsUsable(SDL_Renderer* renderer);

  int ScreenWidth() const override { return screenWidth_; }
  int ScreenHeight() const override { return screenHeight_; }
  std::unique_ptr<AcceleratedTexture> CreateTexture(int width, int height,
                                                    bool renderTarget) override;
  const std::string& LastError() const override { return lastError_; }
  bool BeginScene(AcceleratedTexture* target, std::uint32_t clearColour) override;
  bool DrawQuad(AcceleratedTexture& texture, const QuadPlacement& placement) override;
  bool EndScene() override;
  bool Present() override;
  bool ReadPixels(AcceleratedTexture* source, std::uint32_t* pixels, int pitch) override;

  // Runs just before every Present shows the screen (the window draws its popup menus there).
  void SetBeforePresent(std::function<void()> step) { beforePresent_ = std::move(step); }

 private:
  bool Check(bool succeeded);

  SDL_Renderer* renderer_;
  int screenWidth_;
  int screenHeight_;
  SDL_Surface* ownedSurface_ = nullptr;  // offscreen renderers own their surface and renderer
  std::string lastError_;
  std::function<void()> beforePresent_;
};

}  // namespace halcyra

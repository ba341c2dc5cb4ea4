// The accelerated drawing device: pictures held as textures by the graphics driver and drawn as
// scaled, rotated, colour-modulated quads, with render-target textures for scene captures.
//
// The engine's "Direct3D mode" (`UseDirect3D`) means that frames are drawn through this
// interface; SdlAcceleratedRenderer implements it on an SDL_Renderer.
//
// Pixels are 32-bit 0xAARRGGBB values, rows top to bottom, pitches in pixels. Blending is the
// usual alpha blend: colour = source x alpha + destination x (1 - alpha).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace halcyra {

// One texture of width x height pixels. Owned by whoever created it; every texture must be
// destroyed before the renderer that made it.
class AcceleratedTexture {
 public:
  virtual ~AcceleratedTexture() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool IsRenderTarget() const = 0;
  // Replaces every pixel with width x height pixels read at the given pitch. False when the
  // driver refuses.
  virtual bool Upload(const std::uint32_t* pixels, int pitch) = 0;
};

// Where and how one texture is drawn: the whole texture stretched to width x height pixels with
// its top-left corner at (x, y), turned clockwise by angle degrees about the point (centreX,
// centreY) measured from that corner, its colour channels multiplied by brightness / 255 and its
// alpha by opacity / 255.
struct QuadPlacement {
  float x = 0.0f;
  float y = 0.0f;
  float width = 0.0f;
  float height = 0.0f;
  double angle = 0.0;
  float centreX = 0.0f;
  float centreY = 0.0f;
  std::uint8_t brightness = 255;
  std::uint8_t opacity = 255;
};

class AcceleratedRenderer {
 public:
  virtual ~AcceleratedRenderer() = default;

  // Size of the screen the frames are drawn on, in pixels.
  virtual int ScreenWidth() const = 0;
  virtual int ScreenHeight() const = 0;

  // A new texture whose contents are undefined until uploaded or drawn into. renderTarget: it
  // can be the target of BeginScene. Null when the driver refuses; LastError says why.
  virtual std::unique_ptr<AcceleratedTexture> CreateTexture(int width, int height,
                                                            bool renderTarget) = 0;
  // The driver's explanation of the last failure (ASCII), empty when there was none.
  virtual const std::string& LastError() const = 0;

  // Starts drawing into target (a render-target texture of this renderer) or, when target is
  // null, into the screen, and clears it to clearColour. Scenes do not nest.
  virtual bool BeginScene(AcceleratedTexture* target, std::uint32_t clearColour) = 0;
  virtual bool DrawQuad(AcceleratedTexture& texture, const QuadPlacement& placement) = 0;
  // Ends the scene; drawing goes to the screen again.
  virtual bool EndScene() = 0;
  // Shows the screen's finished scene in the window.
  virtual bool Present() = 0;

  // Copies the pixels of source (a render-target texture) or, when source is null, of the
  // screen's last finished scene into pixels (the source's size, pitch in pixels). For a window
  // the screen can be read only between EndScene and Present. False when the driver refuses.
  virtual bool ReadPixels(AcceleratedTexture* source, std::uint32_t* pixels, int pitch) = 0;
};

}  // namespace halcyra

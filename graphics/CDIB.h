// The display device: owns the 800 x 600 game screen and composes each frame from the sprite
// table, with the camera pan, the screen shake, the letterbox bars, the screen darkening and the
// screen zoom.
//
// `UseDirect3D` here means "the accelerated SDL renderer draws the frames" (the platform's
// AcceleratedRenderer); without it frames are composed by the software compositor into a back
// buffer in plain memory that the main window copies to the screen. `HasMmx` (SSE2 SIMD
// available, graphics/SimdFlag.h) enables the software frame's darkening steps.
//
// Borrowed for the device's life: the platform, the window's ScreenPainter, and what the setters
// give (sprite table, scenario record, error reporter, picture archive, text renderer); each of
// those may be null.
#pragma once

#include <cstdint>

#include "graphics/CDIBitmap.h"
#include "graphics/GraphicsContext.h"
#include "platform/Platform.h"

namespace halcyra {

class CArcFile;
class ErrorReporter;
class SpriteTable;
class TextRenderer;
struct GameState;

// The window side of presentation: asked to copy the finished back buffer to the screen.
class ScreenPainter {
 public:
  virtual ~ScreenPainter() = default;
  virtual void PaintScreen() = 0;
};

class CDIB {
 public:
  static constexpr int kWidth = 800;
  static constexpr int kHeight = 600;
  static constexpr std::uint32_t kFrameInterval = 17;  // ms: at most one frame per interval
  static constexpr int kMaskRowUnit = 8;               // rows per letterbox unit
  static constexpr std::uint32_t kAcceleratedClearColour = 0xFF000000u;

  CDIB() = default;
  ~CDIB() { Release(); }
  CDIB(const CDIB&) = delete;
  CDIB& operator=(const CDIB&) = delete;

  // Chooses the drawing mode for the window: the platform's accelerated renderer unless
  // forceSoftware is set or the platform has none, else the software compositor. The software
  // back buffer (800 x 600, all 0) is made in both modes, so the window can always copy it.
  // False, reported, when it cannot be made.
  bool Init(Platform& platform, ScreenPainter& painter, bool forceSoftware);
  // Clears the mode, the zoom and the suspension and frees the back buffer. Sprites holding
  // textures must be released first.
  void Release();
  // Accelerated: the renderer exists; software: the back buffer exists.
  bool IsReady() const;
  bool UseDirect3D() const { return context_.UseDirect3D(); }

  // What surfaces and sprites need: give it to SpriteTable. Its renderer is set by Init.
  const GraphicsContext& Context() const { return context_; }
  void SetErrorReporter(ErrorReporter* reporter) { context_.errors = reporter; }
  void SetPictureArchive(CArcFile* pictures) { context_.pictures = pictures; }
  void SetTextRenderer(TextRenderer* text) { context_.text = text; }
  // The sprites drawn each frame; null draws none.
  void SetSprites(SpriteTable* sprites) { sprites_ = sprites; }
  // The scenario record whose letterbox, darkness and brightness bytes the software frame
  // applies; null applies none.
  void SetGameState(const GameState* state) { state_ = state; }

  // Window and full-screen switching is offered in both drawing modes.
  bool IsWindowed() const { return IsReady(); }
  // Stores the windowed flag; the other arguments are ignored. Always true.
  bool SetScreenMode(bool windowed, int width, int height, int bitsPerPixel);
  bool IsWindowMode() const { return windowed_; }

  void SetPan(int pixels) { pan_ = pixels; }
  int GetPan() const { return pan_; }
  void SetShakeX(int pixels) { shakeX_ = pixels; }
  int GetShakeX() const { return shakeX_; }
  void SetShakeY(int pixels) { shakeY_ = pixels; }
  int GetShakeY() const { return shakeY_; }
  // Clamps to 0..255 and stores it; accelerated, also scales sprites 0 to 29 by
  // 1 + level / 16. False when the device is not ready.
  bool SetZoom(int level);
  int GetZoom() const { return zoom_; }

  // While suspended, frames are neither composed nor presented.
  void Suspend(bool on) { suspended_ = on; }
  bool IsSuspended() const { return suspended_; }

  // Composes one frame and, unless noPresent, presents it: software through the painter,
  // accelerated by the renderer. Frames closer than kFrameInterval ms to the previous one are
  // slept for (wait) or dropped (no wait, result true). advance: accelerated sprites move one
  // step (software sprites move on every draw; slot 299 always moves). False when not ready.
  bool DrawFrame(bool advance, bool wait, bool noPresent);
  // Shows the back buffer as it stands, without composing (the screen zoom and the rule
  // transition change only what the window copies), paced like DrawFrame with wait. In
  // accelerated mode, where the window shows the renderer's frame, it draws one frame instead.
  // False when not ready.
  bool RepaintWindow();

  // The software back buffer: kWidth x kHeight pixels 0xAARRGGBB, pitch kWidth (black in
  // accelerated mode); null before Init.
  const std::uint32_t* BackBuffer() const { return backBuffer_.GetBits(0); }
  std::uint32_t* BackBuffer() { return backBuffer_.GetBits(0); }
  CDIBitmap& BackBufferSurface() { return backBuffer_; }

 private:
  bool PaceFrame(bool wait);
  int SceneOffsetX(int slot) const;
  void ComposeSoftware();
  void DrawLetterbox();
  void DarkenScreen();
  bool ComposeAccelerated(bool advance, bool noPresent);

  GraphicsContext context_;
  Platform* platform_ = nullptr;
  ScreenPainter* painter_ = nullptr;
  GraphicsContext softwareContext_;  // the back buffer's: never accelerated
  CDIBitmap backBuffer_{softwareContext_};
  SpriteTable* sprites_ = nullptr;
  const GameState* state_ = nullptr;
  bool windowed_ = true;
  int shakeY_ = 0;
  int shakeX_ = 0;
  int zoom_ = 0;
  std::uint32_t lastFrameTime_ = 0;
  bool hasDrawn_ = false;
  int pan_ = 0;
  bool suspended_ = false;
};

}  // namespace halcyra

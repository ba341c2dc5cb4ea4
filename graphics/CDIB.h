// The display device: owns the 800 x 600 game screen, composes each frame and hands it to the
// main window for presentation, with the camera pan, the screen shake and the screen zoom.
//
// `UseDirect3D` here means "the accelerated SDL renderer draws the frames"; without it the
// frame is composed in plain memory (the software back buffer) and copied by the main window.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Platform.h"

namespace halcyra {

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

  CDIB() = default;
  ~CDIB() { Release(); }
  CDIB(const CDIB&) = delete;
  CDIB& operator=(const CDIB&) = delete;

  // Prepares presentation for the window. With forceSoftware the software back buffer is
  // always used. False when no back buffer can be made.
  bool Init(Platform& platform, ScreenPainter& painter, bool forceSoftware);
  void Release();
  bool IsReady() const { return !backBuffer_.empty(); }
  bool UseDirect3D() const { return useDirect3D_; }

  // Window and full-screen switching is offered in both drawing modes.
  bool IsWindowed() const { return IsReady(); }
  bool SetScreenMode(bool windowed, int width, int height, int bitsPerPixel);
  bool IsWindowMode() const { return windowed_; }

  void SetPan(int pixels) { pan_ = pixels; }
  int GetPan() const { return pan_; }
  void SetShakeX(int pixels) { shakeX_ = pixels; }
  int GetShakeX() const { return shakeX_; }
  void SetShakeY(int pixels) { shakeY_ = pixels; }
  int GetShakeY() const { return shakeY_; }
  // Clamps to 0..255; false when the device is not ready.
  bool SetZoom(int level);
  int GetZoom() const { return zoom_; }

  // While suspended, frames are neither composed nor presented.
  void Suspend(bool on) { suspended_ = on; }
  bool IsSuspended() const { return suspended_; }

  // Composes one frame and, unless noPresent, presents it. Frames closer than kFrameInterval
  // to the previous one are slept for (wait) or dropped (no wait). False when not ready.
  bool DrawFrame(bool advance, bool wait, bool noPresent);

  // The software back buffer: kWidth x kHeight pixels 0xAARRGGBB, pitch kWidth.
  const std::uint32_t* BackBuffer() const { return backBuffer_.data(); }
  std::uint32_t* BackBuffer() { return backBuffer_.data(); }

 private:
  bool PaceFrame(bool wait);

  Platform* platform_ = nullptr;
  ScreenPainter* painter_ = nullptr;
  std::vector<std::uint32_t> backBuffer_;
  bool windowed_ = true;
  int shakeY_ = 0;
  int shakeX_ = 0;
  int zoom_ = 0;
  std::uint32_t lastFrameTime_ = 0;
  bool hasDrawn_ = false;
  int pan_ = 0;
  bool suspended_ = false;
  bool useDirect3D_ = false;
};

}  // namespace halcyra

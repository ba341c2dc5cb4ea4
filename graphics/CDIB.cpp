#include "graphics/CDIB.h"

#include <algorithm>

namespace halcyra {

bool CDIB::Init(Platform& platform, ScreenPainter& painter, bool forceSoftware) {
  Release();
  platform_ = &platform;
  painter_ = &painter;
  // The accelerated renderer arrives with the sprite drawing; until then every build composes
  // in software, which is what forceSoftware asks for anyway.
  static_cast<void>(forceSoftware);
  useDirect3D_ = false;
  backBuffer_.assign(static_cast<std::size_t>(kWidth) * kHeight, 0u);
  return true;
}

void CDIB::Release() {
  backBuffer_.clear();
  backBuffer_.shrink_to_fit();
  useDirect3D_ = false;
  suspended_ = false;
  zoom_ = 0;
  hasDrawn_ = false;
}

bool CDIB::SetScreenMode(bool windowed, int, int, int) {
  windowed_ = windowed;
  return true;
}

bool CDIB::SetZoom(int level) {
  zoom_ = std::clamp(level, 0, 255);
  return IsReady();
}

bool CDIB::PaceFrame(bool wait) {
  const std::uint32_t now = platform_->Ticks();
  if (hasDrawn_ && now - lastFrameTime_ < kFrameInterval) {
    if (!wait) return false;
    platform_->Sleep(kFrameInterval - (now - lastFrameTime_));
  }
  lastFrameTime_ = platform_->Ticks();
  hasDrawn_ = true;
  return true;
}

bool CDIB::DrawFrame(bool, bool wait, bool noPresent) {
  if (platform_ == nullptr) return false;
  if (!PaceFrame(wait)) return true;
  if (suspended_) return true;
  if (!IsReady()) return false;
  std::fill(backBuffer_.begin(), backBuffer_.end(), 0u);
  if (!noPresent) painter_->PaintScreen();
  return true;
}

}  // namespace halcyra

#include "graphics/CDIB.h"

#include <algorithm>

#include "graphics/GraphicsTexts.h"
#include "graphics/PixelOps.h"
#include "graphics/SimdFlag.h"
#include "graphics/SpriteTable.h"
#include "platform/AcceleratedRenderer.h"
#include "script/GameState.h"

namespace halcyra {
namespace {

constexpr char kSource[] = "CDIB.cpp";
constexpr int kBackBufferNumber = 286;
constexpr int kZoomedSlotEnd = 29;  // the zoom scales slots 0..29
constexpr float kZoomSteps = 16.0f;

}  // namespace

bool CDIB::Init(Platform& platform, ScreenPainter& painter, bool forceSoftware) {
  Release();
  platform_ = &platform;
  painter_ = &painter;
  softwareContext_ = context_;
  softwareContext_.accelerated = nullptr;
  if (!backBuffer_.Create(kWidth, kHeight, 1, false, false)) {
    context_.SystemError(kSource, kBackBufferNumber, graphics_texts::kCannotMakeBackBuffer, "");
    return false;
  }
  if (!forceSoftware) context_.accelerated = platform.Accelerated();
  return true;
}

void CDIB::Release() {
  context_.accelerated = nullptr;
  backBuffer_.Release();
  suspended_ = false;
  zoom_ = 0;
  hasDrawn_ = false;
}

bool CDIB::IsReady() const { return UseDirect3D() || backBuffer_.IsValid(); }

bool CDIB::SetScreenMode(bool windowed, int, int, int) {
  windowed_ = windowed;
  return true;
}

bool CDIB::SetZoom(int level) {
  zoom_ = std::clamp(level, 0, 255);
  if (UseDirect3D() && sprites_ != nullptr) {
    const float scale = 1.0f + static_cast<float>(zoom_) / kZoomSteps;
    for (int slot = 0; slot <= kZoomedSlotEnd; ++slot) sprites_->At(slot).SetScale(scale, scale);
  }
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

// Scene layers follow the shake and the pan; the far layers 0..9 move by a third of the pan.
int CDIB::SceneOffsetX(int slot) const {
  return shakeX_ + (slot <= SpriteTable::kFarLayerEnd ? pan_ / 3 : pan_);
}

bool CDIB::DrawFrame(bool advance, bool wait, bool noPresent) {
  if (platform_ == nullptr) return false;
  if (!PaceFrame(wait)) return true;
  if (suspended_) return true;
  if (!IsReady()) return false;
  if (UseDirect3D()) return ComposeAccelerated(advance, noPresent);
  ComposeSoftware();
  if (!noPresent) painter_->PaintScreen();
  return true;
}

bool CDIB::RepaintWindow() {
  if (platform_ == nullptr) return false;
  if (UseDirect3D()) return DrawFrame(true, true, false);
  PaceFrame(true);
  if (suspended_) return true;
  if (!IsReady()) return false;
  painter_->PaintScreen();
  return true;
}

void CDIB::ComposeSoftware() {
  std::fill_n(BackBuffer(), static_cast<std::size_t>(kWidth) * kHeight, 0u);
  if (sprites_ != nullptr) {
    for (int slot = 0; slot <= SpriteTable::kLastSceneLayer; ++slot) {
      sprites_->At(slot).Draw(SceneOffsetX(slot), shakeY_, true, &backBuffer_);
    }
  }
  DrawLetterbox();
  if (HasMmx()) DarkenScreen();
  if (sprites_ == nullptr) return;
  for (int slot = SpriteTable::kLastSceneLayer + 1; slot < SpriteTable::kCount; ++slot) {
    sprites_->At(slot).Draw(0, 0, true, &backBuffer_);
  }
}

void CDIB::DrawLetterbox() {
  if (state_ == nullptr) return;
  const int top = state_->flags[GameState::kTopMaskFlag];
  if (top <= 0) return;
  const int topRows = std::min(kMaskRowUnit * top, kHeight);
  const int bottomStart =
      std::min(kMaskRowUnit * state_->flags[GameState::kBottomMaskFlag], kHeight);
  std::uint32_t* pixels = BackBuffer();
  std::fill_n(pixels, static_cast<std::size_t>(topRows) * kWidth, 0u);
  std::fill(pixels + static_cast<std::ptrdiff_t>(bottomStart) * kWidth,
            pixels + static_cast<std::ptrdiff_t>(kHeight) * kWidth, 0u);
}

void CDIB::DarkenScreen() {
  if (state_ == nullptr) return;
  const int darkness = state_->flags[GameState::kPageDimFlag];
  if (darkness > 0) Darken(BackBuffer(), kWidth, kHeight, darkness);
  const int brightness = state_->SignedFlag(GameState::kScreenBrightnessFlag);
  if (brightness != 0) Darken(BackBuffer(), kWidth, kHeight, 2 * brightness);
}

bool CDIB::ComposeAccelerated(bool advance, bool noPresent) {
  AcceleratedRenderer& renderer = *context_.accelerated;
  if (!renderer.BeginScene(nullptr, kAcceleratedClearColour)) return true;
  if (sprites_ != nullptr) {
    for (int slot = 0; slot <= SpriteTable::kLastSceneLayer; ++slot) {
      sprites_->At(slot).Draw(SceneOffsetX(slot), shakeY_, advance, nullptr);
    }
    for (int slot = SpriteTable::kLastSceneLayer + 1; slot < SpriteTable::kDebugSlot; ++slot) {
      sprites_->At(slot).Draw(0, 0, advance, nullptr);
    }
    sprites_->At(SpriteTable::kDebugSlot).Draw(0, 0, true, nullptr);
  }
  if (!renderer.EndScene()) return true;
  if (!noPresent) renderer.Present();
  return true;
}

}  // namespace halcyra

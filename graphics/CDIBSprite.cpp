#include "graphics/CDIBSprite.h"

#include <algorithm>

#include "graphics/GraphicsTexts.h"
#include "graphics/PixelOps.h"
#include "graphics/SpriteTable.h"
#include "graphics/TextRenderer.h"
#include "platform/AcceleratedRenderer.h"
#include "resource/CArcFile.h"

namespace halcyra {
namespace {

namespace texts = graphics_texts;

constexpr char kSource[] = "CDIBSprite.cpp";
enum ReportNumber {
  kLoadNumber = 412,
  kBoxNumber = 447,
};

constexpr int kLabelCharacterWidth = 12;  // pixels per byte of a label
constexpr int kLabelPadding = 4;
constexpr int kLabelHeight = 28;
constexpr int kMosaicThreshold = 16;
constexpr std::uint32_t kCaptureClearColour = 0xFF010101u;

std::int32_t PixelsToFixed(int pixels) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(pixels) << 16);
}

std::int32_t AddFixed(std::int32_t value, std::int32_t step) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) +
                                   static_cast<std::uint32_t>(step));
}

// Moves a level by its step; at either end the level stops there and the step ends.
void StepLevel(int& level, int& step) {
  const std::int64_t moved = static_cast<std::int64_t>(level) + step;
  level = static_cast<int>(std::clamp<std::int64_t>(moved, 0, 255));
  if (moved > 255 || moved < 0) step = 0;
}

// Moves a value by its step toward a target, stopping there.
void StepToward(float& value, float& step, float target) {
  if (step == 0.0f) return;
  value += step;
  if ((step > 0.0f && value >= target) || (step < 0.0f && value <= target)) {
    value = target;
    step = 0.0f;
  }
}

// A moving coordinate stops at its target once it passes it.
void StopAtTarget(std::int32_t& position, std::int32_t& velocity, std::int32_t target) {
  if ((velocity > 0 && position > target) || (velocity < 0 && position < target)) {
    position = target;
    velocity = 0;
  }
}

bool IsParticleLoadingMode(int mode) {
  return mode == ParticleField::kPetalMode || mode == ParticleField::kOneBatMode ||
         mode == ParticleField::kThreeBatsMode;
}

bool IsParticleShowingMode(int mode) {
  return mode == ParticleField::kShowPetalsMode || mode == ParticleField::kShowOneBatMode ||
         mode == ParticleField::kShowThreeBatsMode;
}

bool IsParticleDrawingMode(int mode) {
  return IsParticleLoadingMode(mode) || IsParticleShowingMode(mode);
}

}  // namespace

// False when no part of the rectangle lies on the target.
bool CDIBSprite::ClipRectangle(int left, int top, int width, int height, int targetWidth,
                               int targetHeight, Clip& clip) {
  if (left >= targetWidth || top >= targetHeight || left + width <= 0 || top + height <= 0) {
    return false;
  }
  clip.left = std::max(left, 0);
  clip.top = std::max(top, 0);
  clip.sourceX = clip.left - left;
  clip.sourceY = clip.top - top;
  clip.width = std::min(left + width, targetWidth) - clip.left;
  clip.height = std::min(top + height, targetHeight) - clip.top;
  return clip.width > 0 && clip.height > 0;
}

CDIBSprite::CDIBSprite(const GraphicsContext& context, std::minstd_rand& random)
    : context_(&context), random_(&random), particles_(context, random) {}

bool CDIBSprite::IsValid() const { return picture_ != nullptr || particles_.HasPictures(); }

void CDIBSprite::ResetDefaults() {
  indent_ = -1;
  shown_ = false;
  x_ = y_ = 0;
  velocityX_ = velocityY_ = 0;
  targetX_ = targetY_ = kDefaultTarget;
  opacityStep_ = brightnessStep_ = 0;
  scaleX_ = scaleY_ = 1.0f;
  targetScaleX_ = targetScaleY_ = 1.0f;
  scaleStepX_ = scaleStepY_ = 0.0f;
  angle_ = targetAngle_ = angleStep_ = 0.0f;
  mosaic_ = 0;
  width_ = height_ = 0;
  frameCount_ = 1;
  currentFrame_ = 0;
  frameStep_ = 1;
  animating_ = true;
  holdLast_ = pingPong_ = reverse_ = freeOffScreen_ = mono_ = false;
  interval_ = countdown_ = 1;
  loopStart_ = 0;
  wrap_ = false;
  anchor_ = kAnchorCentre;
  rotationCentre_ = kRotateAboutScreenCentre;
  particleMode_ = 0;
  fileName_.clear();
  modified_ = false;
}

void CDIBSprite::Release() {
  picture_.reset();
  text_.reset();
  particles_.Release();
  ResetDefaults();
}

void CDIBSprite::ResetAfterLoad() {
  frameCount_ = picture_->GetFrameCount();
  loadTime_ = context_->Ticks();
  shown_ = true;
  x_ = y_ = 0;
  velocityX_ = velocityY_ = 0;
  brightnessStep_ = opacityStep_ = 0;
  scaleStepX_ = scaleStepY_ = 0.0f;
  angleStep_ = 0.0f;
  targetX_ = targetY_ = kDefaultTarget;
  brightness_ = opacity_ = 255;
  mosaic_ = 0;
  currentFrame_ = 0;
  holdLast_ = false;
  animating_ = true;
  freeOffScreen_ = false;
  interval_ = countdown_ = 1;
  loopStart_ = 0;
  mono_ = false;
  pingPong_ = false;
  frameStep_ = 1;
  reverse_ = false;
}

bool CDIBSprite::Load(std::string_view fileName) {
  if (!modified_ && picture_ != nullptr && CArcFile::SameMemberName(fileName, fileName_)) {
    ResetAfterLoad();
    return true;
  }
  Release();
  fileName_ = std::string(fileName.substr(0, kMaxFileName));
  picture_ = std::make_unique<CDIBitmap>(*context_);
  if (!picture_->LoadPicture(fileName)) {
    context_->SystemError(kSource, kLoadNumber, texts::kSpriteCannotOpen, fileName);
    Release();
    return false;
  }
  width_ = picture_->GetWidth();
  height_ = picture_->GetHeight();
  ResetAfterLoad();
  return true;
}

bool CDIBSprite::CreateBox(int width, int height, int frames, bool opaque, bool renderTarget) {
  Release();
  picture_ = std::make_unique<CDIBitmap>(*context_);
  if (!picture_->Create(width, height, frames, opaque, renderTarget)) {
    context_->SystemError(kSource, kBoxNumber, texts::kCannotMakeBox, "");
    Release();
    return false;
  }
  shown_ = true;
  opacity_ = brightness_ = 255;
  width_ = width;
  height_ = height;
  x_ = y_ = 0;
  frameCount_ = frames;
  return true;
}

bool CDIBSprite::SetTextDirect(std::string_view text, const TextFont* font, std::uint32_t colour,
                               int characterWidth, int columns, int rows, bool textFlag) {
  Release();
  text_ = std::make_unique<std::string>(text);
  font_ = font;
  textColour_ = colour;
  characterWidth_ = characterWidth;
  width_ = columns;
  height_ = rows;
  characterLimit_ = kTextCharacterLimit;
  indent_ = -1;
  textFlag_ = textFlag;
  brightness_ = opacity_ = 255;
  return true;
}

bool CDIBSprite::SetText(std::string_view text, const TextFont* font, std::uint32_t colour,
                         int characterWidth, bool textFlag) {
  Release();
  const int width = kLabelCharacterWidth *
                        static_cast<int>(std::min<std::size_t>(text.size(), CDIBitmap::kMaxSide)) +
                    kLabelPadding;
  picture_ = std::make_unique<CDIBitmap>(*context_);
  if (!picture_->Create(width, kLabelHeight, 1, false, false)) {
    Release();
    return false;
  }
  picture_->SetAlpha(true);
  if (context_->text != nullptr) {
    context_->text->RenderLabel(*picture_, text, font, colour);
    picture_->Unlock(0);
  }
  font_ = font;
  textColour_ = colour;
  characterWidth_ = characterWidth;
  textFlag_ = textFlag;
  width_ = width;
  height_ = kLabelHeight;
  shown_ = true;
  return true;
}

bool CDIBSprite::SetPosition(int x, int y) {
  x_ = targetX_ = PixelsToFixed(x);
  y_ = targetY_ = PixelsToFixed(y);
  placedX_ = x;
  placedY_ = y;
  return true;
}

void CDIBSprite::SetPlaced(int x, int y) {
  placedX_ = x;
  placedY_ = y;
}

bool CDIBSprite::SetVelocity(std::int32_t velocityX, std::int32_t velocityY) {
  if (!IsValid()) return false;
  velocityX_ = velocityX;
  velocityY_ = velocityY;
  return true;
}

std::int32_t CDIBSprite::GetVelocityX() const { return IsValid() ? velocityX_ : 0; }
std::int32_t CDIBSprite::GetVelocityY() const { return IsValid() ? velocityY_ : 0; }

bool CDIBSprite::SetTarget(std::int16_t x, std::int16_t y) {
  if (!IsValid()) return false;
  targetX_ = PixelsToFixed(x);
  targetY_ = PixelsToFixed(y);
  return true;
}

int CDIBSprite::GetTargetX() const { return IsValid() ? targetX_ >> 16 : 0; }
int CDIBSprite::GetTargetY() const { return IsValid() ? targetY_ >> 16 : 0; }

bool CDIBSprite::SetBrightness(int level) {
  if (!IsValid()) return false;
  brightness_ = std::clamp(level, 0, 255);
  return true;
}

int CDIBSprite::GetBrightness() const { return IsValid() ? brightness_ : 0; }

bool CDIBSprite::SetOpacity(int level) {
  if (!IsValid()) return false;
  opacity_ = std::clamp(level, 0, 255);
  return true;
}

bool CDIBSprite::SetBrightnessStep(int step) {
  if (!IsValid()) return false;
  brightnessStep_ = step;
  return true;
}

int CDIBSprite::GetBrightnessStep() const { return IsValid() ? brightnessStep_ : 0; }

bool CDIBSprite::SetOpacityStep(int step) {
  if (!IsValid()) return false;
  opacityStep_ = step;
  return true;
}

int CDIBSprite::GetOpacityStep() const { return IsValid() ? opacityStep_ : 0; }

bool CDIBSprite::SetMosaic(int level) {
  if (!IsValid()) return false;
  mosaic_ = std::clamp(level, 0, 255);
  return true;
}

int CDIBSprite::GetMosaic() const { return IsValid() ? mosaic_ : 0; }

bool CDIBSprite::SetScale(float scaleX, float scaleY) {
  if (!IsValid()) return false;
  scaleX_ = targetScaleX_ = scaleX;
  scaleY_ = targetScaleY_ = scaleY;
  scaleStepX_ = scaleStepY_ = 0.0f;
  return true;
}

bool CDIBSprite::SetScaleStep(float stepX, float stepY) {
  if (!IsValid()) return false;
  scaleStepX_ = stepX;
  scaleStepY_ = stepY;
  return true;
}

bool CDIBSprite::SetTargetScale(float scaleX, float scaleY) {
  if (!IsValid()) return false;
  targetScaleX_ = scaleX;
  targetScaleY_ = scaleY;
  return true;
}

float CDIBSprite::GetScaleX() const { return IsValid() ? scaleX_ : 1.0f; }
float CDIBSprite::GetScaleY() const { return IsValid() ? scaleY_ : 1.0f; }
float CDIBSprite::GetScaleStepX() const { return IsValid() ? scaleStepX_ : 0.0f; }
float CDIBSprite::GetScaleStepY() const { return IsValid() ? scaleStepY_ : 0.0f; }

bool CDIBSprite::SetAngle(float degrees) {
  if (!IsValid()) return false;
  angle_ = targetAngle_ = degrees;
  angleStep_ = 0.0f;
  return true;
}

bool CDIBSprite::SetTargetAngle(float degrees) {
  if (!IsValid()) return false;
  targetAngle_ = degrees;
  return true;
}

bool CDIBSprite::SetAngleStep(float degrees) {
  if (!IsValid()) return false;
  angleStep_ = degrees;
  return true;
}

float CDIBSprite::GetAngle() const { return IsValid() ? angle_ : 0.0f; }
float CDIBSprite::GetAngleStep() const { return IsValid() ? angleStep_ : 0.0f; }

bool CDIBSprite::SetAnchor(int anchor) {
  anchor_ = anchor;
  return true;
}

bool CDIBSprite::SetRotationCentre(int centre) {
  rotationCentre_ = centre;
  return true;
}

int CDIBSprite::GetWidth() const { return IsValid() ? width_ : 0; }
int CDIBSprite::GetHeight() const { return IsValid() ? height_ : 0; }
int CDIBSprite::GetX() const { return IsValid() ? x_ >> 16 : 800; }
int CDIBSprite::GetY() const { return IsValid() ? y_ >> 16 : 600; }

bool CDIBSprite::Show(bool shown) {
  if (!IsValid()) return false;
  shown_ = shown;
  return true;
}

bool CDIBSprite::IsShown() const { return IsValid() && shown_; }

bool CDIBSprite::SetFrame(int frame) {
  if (!IsValid()) return false;
  if (frame > 0) {
    currentFrame_ = std::min(frame, frameCount_ - 1);
  } else {
    currentFrame_ = 0;
    frameStep_ = 1;
  }
  return true;
}

int CDIBSprite::GetFrame() const { return IsValid() ? currentFrame_ : -1; }
int CDIBSprite::GetFrameIfShown() const { return IsShown() ? currentFrame_ : -1; }
int CDIBSprite::GetFrameCount() const { return IsValid() ? frameCount_ : -1; }

bool CDIBSprite::SetAnimating(bool stop) {
  if (!IsValid()) return false;
  animating_ = !stop;
  return true;
}

bool CDIBSprite::SetHoldLast(bool hold) {
  if (!IsValid()) return false;
  holdLast_ = hold;
  return true;
}

bool CDIBSprite::SetPingPong(bool pingPong) {
  if (!IsValid()) return false;
  pingPong_ = pingPong;
  if (!pingPong) frameStep_ = 1;
  return true;
}

bool CDIBSprite::SetReverse(bool reverse) {
  if (!IsValid()) return false;
  reverse_ = reverse;
  frameStep_ = reverse ? -1 : 1;
  return true;
}

bool CDIBSprite::SetLoopStart(int frame) {
  if (!IsValid()) return false;
  loopStart_ = std::clamp(frame, 0, frameCount_ - 1);
  return true;
}

bool CDIBSprite::SetInterval(int frames) {
  if (!IsValid()) return false;
  interval_ = countdown_ = std::max(frames, 1);
  return true;
}

bool CDIBSprite::SetFreeOffScreen(bool free) {
  if (!IsValid()) return false;
  freeOffScreen_ = free;
  return true;
}

bool CDIBSprite::SetWrap(bool wrap) {
  wrap_ = wrap;
  return true;
}

bool CDIBSprite::SetMono(bool mono) {
  if (!IsValid()) return false;
  mono_ = mono;
  return true;
}

bool CDIBSprite::SetAlpha(bool alpha) {
  if (picture_ == nullptr) return false;
  picture_->SetAlpha(alpha);
  return true;
}

bool CDIBSprite::HasAlpha() const { return picture_ != nullptr && picture_->HasAlpha(); }

bool CDIBSprite::HitTest(int screenX, int screenY) const {
  if (picture_ == nullptr || !shown_ || text_ != nullptr) return false;
  const int localX = screenX - (x_ >> 16);
  const int localY = screenY - (y_ >> 16);
  if (localX < 0 || localY < 0 || localX >= width_ || localY >= height_) return false;
  const std::uint32_t* frame = picture_->GetBits(currentFrame_);
  return frame != nullptr && (frame[localY * width_ + localX] >> 24) != 0;
}

bool CDIBSprite::MultiplyColour(int redPercent, int greenPercent, int bluePercent) {
  int pitch = 0;
  std::uint32_t* pixels = nullptr;
  if (picture_ == nullptr || !picture_->Lock(0, pitch, pixels)) return false;
  for (int y = 0; y < picture_->GetHeight(); ++y) {
    halcyra::MultiplyColour(pixels + static_cast<std::ptrdiff_t>(y) * pitch, redPercent,
                            greenPercent, bluePercent, picture_->GetWidth());
  }
  picture_->Unlock(0);
  modified_ = true;
  return true;
}

bool CDIBSprite::AdjustHsv(int hueDegrees, int saturationPercent, int valuePercent) {
  int pitch = 0;
  std::uint32_t* pixels = nullptr;
  if (picture_ == nullptr || !picture_->Lock(0, pitch, pixels)) return false;
  halcyra::AdjustHsv(pixels, hueDegrees, saturationPercent, valuePercent,
                     pitch * picture_->GetHeight());
  picture_->Unlock(0);
  modified_ = true;
  return true;
}

bool CDIBSprite::CopyFromSurface(CDIBitmap& source, int x, int y, int sourceFrame, int ownFrame,
                                 int width, int height) {
  if (picture_ == nullptr || !source.IsValid()) return false;
  int sourcePitch = 0;
  std::uint32_t* sourcePixels = nullptr;
  int ownPitch = 0;
  std::uint32_t* ownPixels = nullptr;
  if (!source.Lock(sourceFrame, sourcePitch, sourcePixels) ||
      !picture_->Lock(ownFrame, ownPitch, ownPixels)) {
    return false;
  }
  const int wanted = width == -1 ? width_ : width;
  const int wantedHeight = height == -1 ? height_ : height;
  // The destination starts at (0, 0); a source origin left of or above the source moves it.
  const int ownX = std::max(0, -x);
  const int ownY = std::max(0, -y);
  const int sourceX = std::max(0, x);
  const int sourceY = std::max(0, y);
  const int copyWidth = std::min({wanted - ownX, source.GetWidth() - sourceX, width_ - ownX});
  const int copyHeight =
      std::min({wantedHeight - ownY, source.GetHeight() - sourceY, height_ - ownY});
  if (copyWidth > 0 && copyHeight > 0) {
    CopyRows(ownPixels + static_cast<std::ptrdiff_t>(ownY) * ownPitch + ownX, ownPitch,
             sourcePixels + static_cast<std::ptrdiff_t>(sourceY) * sourcePitch + sourceX, copyWidth,
             copyHeight, sourcePitch);
  }
  picture_->Unlock(ownFrame);
  return true;
}

void CDIBSprite::Advance(bool turn, bool keepTargets) {
  x_ = AddFixed(x_, velocityX_);
  y_ = AddFixed(y_, velocityY_);
  if (!keepTargets) {
    StopAtTarget(x_, velocityX_, targetX_);
    StopAtTarget(y_, velocityY_, targetY_);
  }
  StepLevel(brightness_, brightnessStep_);
  StepLevel(opacity_, opacityStep_);
  StepToward(scaleX_, scaleStepX_, targetScaleX_);
  StepToward(scaleY_, scaleStepY_, targetScaleY_);
  if (turn) StepToward(angle_, angleStep_, targetAngle_);
}

void CDIBSprite::AnimateFrames() {
  if (!animating_ || --countdown_ > 0) return;
  countdown_ = interval_;
  currentFrame_ += frameStep_;
  const int last = frameCount_ - 1;
  if (pingPong_) {
    if (currentFrame_ <= loopStart_ || currentFrame_ >= last) frameStep_ = -frameStep_;
  } else if (reverse_) {
    if (currentFrame_ < 0) currentFrame_ = holdLast_ ? 0 : last;
  } else if (currentFrame_ > last) {
    currentFrame_ = holdLast_ ? last : loopStart_;
  }
  // A one-frame ping-pong would step outside the frames; the picture's frames bound every case.
  currentFrame_ = std::clamp(currentFrame_, 0, last);
}

// The unclipped top-left corner moved so that the anchor point stays where it is when scaled.
void CDIBSprite::AnchoredPosition(int left, int top, float& x, float& y) const {
  const int halfWidth = width_ / 2;
  const int halfHeight = height_ / 2;
  float movedX = static_cast<float>(left);
  float movedY = static_cast<float>(top);
  if (anchor_ == kAnchorCentre || anchor_ == kAnchorCentreToo || anchor_ == kAnchorBottomCentre) {
    movedX += static_cast<float>(halfWidth) - scaleX_ * static_cast<float>(halfWidth);
  }
  if (anchor_ == kAnchorCentre || anchor_ == kAnchorCentreToo) {
    movedY += static_cast<float>(halfHeight) - scaleY_ * static_cast<float>(halfHeight);
  } else if (anchor_ == kAnchorBottomCentre) {
    movedY += static_cast<float>(height_) - scaleY_ * static_cast<float>(height_);
  }
  x = static_cast<float>(static_cast<int>(movedX));
  y = static_cast<float>(static_cast<int>(movedY));
}

bool CDIBSprite::Draw(int offsetX, int offsetY, bool advance, CDIBitmap* target) {
  if (!shown_ || text_ != nullptr) return true;
  if (context_->UseDirect3D() && target == nullptr) {
    return DrawAccelerated(offsetX, offsetY, advance);
  }
  if (target == nullptr || !target->IsValid()) return false;
  return DrawSoftware(offsetX, offsetY, *target);
}

void CDIBSprite::BlendOnto(std::uint32_t* targetPixels, int targetPitch, const Clip& clip,
                           const std::uint32_t* source, int sourcePitch, bool hasAlpha) {
  std::uint32_t* destination =
      targetPixels + static_cast<std::ptrdiff_t>(clip.top) * targetPitch + clip.left;
  const int w = clip.width;
  const int h = clip.height;
  const int mosaicBlock = mosaic_ / kMosaicThreshold + 1;
  if (hasAlpha) {
    if (mosaic_ >= kMosaicThreshold) {
      MosaicCopy(destination, targetPitch, source, w, h, sourcePitch, mosaicBlock);
    } else if (opacity_ == 255 && brightness_ == 255) {
      AlphaBlend(destination, targetPitch, source, w, h, sourcePitch);
    } else if (opacity_ == 255) {
      AlphaBlendBrightness(destination, targetPitch, source, w, h, sourcePitch, brightness_);
    } else if (opacity_ > 0) {
      AlphaBlendOpacity(destination, targetPitch, source, w, h, sourcePitch, opacity_);
    }
  } else if (mono_) {
    GreyCopy(destination, targetPitch, source, w, h, sourcePitch);
  } else if (mosaic_ >= kMosaicThreshold) {
    MosaicCopy(destination, targetPitch, source, w, h, sourcePitch, mosaicBlock);
  } else if (brightness_ == 255) {
    CopyRows(destination, targetPitch, source, w, h, sourcePitch);
  } else {
    CopyBrightness(destination, targetPitch, source, w, h, sourcePitch, brightness_);
  }
}

bool CDIBSprite::DrawSoftware(int offsetX, int offsetY, CDIBitmap& target) {
  if (particleMode_ != 0) {
    DrawParticlesSoftware(offsetX, offsetY, target);
    return true;
  }
  if (picture_ == nullptr) return false;
  Advance(true, false);
  const int left = offsetX + (x_ >> 16);
  const int top = offsetY + (y_ >> 16);
  Clip clip;
  if (!ClipRectangle(left, top, width_, height_, target.GetWidth(), target.GetHeight(), clip)) {
    if (freeOffScreen_ && top + height_ > 0) Release();
    return true;
  }
  int targetPitch = 0;
  std::uint32_t* targetPixels = nullptr;
  target.Lock(0, targetPitch, targetPixels);
  const std::uint32_t* frame = picture_->GetBits(currentFrame_);
  const std::uint32_t* source =
      frame + static_cast<std::ptrdiff_t>(clip.sourceY) * width_ + clip.sourceX;
  if (angle_ != 0.0f) {
    RotatedCopy(targetPixels + static_cast<std::ptrdiff_t>(clip.top) * targetPitch + clip.left,
                targetPitch, clip.width, clip.height, source, width_, static_cast<int>(angle_));
  } else if (scaleX_ != 1.0f || scaleY_ != 1.0f) {
    float x = 0.0f;
    float y = 0.0f;
    AnchoredPosition(left, top, x, y);
    ScaledBlend(targetPixels, targetPitch, target.GetWidth(), target.GetHeight(), frame,
                static_cast<int>(x), static_cast<int>(y), scaleX_, scaleY_, width_, height_);
  } else {
    BlendOnto(targetPixels, targetPitch, clip, source, width_, picture_->HasAlpha());
  }
  target.Unlock(0);
  AnimateFrames();
  return true;
}

void CDIBSprite::DrawParticlesSoftware(int offsetX, int offsetY, CDIBitmap& target) {
  if (!IsParticleDrawingMode(particleMode_) || !particles_.HasPictures()) return;
  particles_.Advance();
  int targetPitch = 0;
  std::uint32_t* targetPixels = nullptr;
  target.Lock(0, targetPitch, targetPixels);
  for (int i = 0; i < particles_.Count(); ++i) {
    const ParticleField::View view = particles_.ViewOf(i);
    const int w = view.picture->GetWidth();
    const int h = view.picture->GetHeight();
    Clip clip;
    if (!ClipRectangle(offsetX + static_cast<int>(view.x), offsetY + static_cast<int>(view.y), w, h,
                       target.GetWidth(), target.GetHeight(), clip)) {
      continue;
    }
    const std::uint32_t* source = view.picture->GetBits(view.frame) +
                                  static_cast<std::ptrdiff_t>(clip.sourceY) * w + clip.sourceX;
    BlendOnto(targetPixels, targetPitch, clip, source, w, true);
  }
  target.Unlock(0);
}

void CDIBSprite::WrapPosition() {
  const std::int32_t width = PixelsToFixed(width_);
  const std::int32_t height = PixelsToFixed(height_);
  if (velocityX_ < 0 && (x_ >> 16) + width_ < 0) x_ = AddFixed(x_, width);
  if (velocityX_ > 0 && x_ >= 0) x_ = AddFixed(x_, -width);
  if (velocityY_ < 0 && (y_ >> 16) + height_ < 0) y_ = AddFixed(y_, height);
  if (velocityY_ > 0 && y_ >= 0) y_ = AddFixed(y_, -height);
}

bool CDIBSprite::DrawAccelerated(int offsetX, int offsetY, bool advance) {
  if (particleMode_ != 0) return DrawParticlesAccelerated(offsetX, offsetY, advance);
  if (picture_ == nullptr) return false;
  if (advance) Advance(true, wrap_);
  if (wrap_) WrapPosition();
  AcceleratedTexture* texture = picture_->GetTexture(currentFrame_);
  if (texture == nullptr) return false;
  float x = 0.0f;
  float y = 0.0f;
  AnchoredPosition(x_ >> 16, y_ >> 16, x, y);
  AcceleratedRenderer& renderer = *context_->accelerated;
  QuadPlacement quad;
  quad.x = static_cast<float>(offsetX) + x;
  quad.y = static_cast<float>(offsetY) + y;
  quad.width = static_cast<float>(width_) * scaleX_;
  quad.height = static_cast<float>(height_) * scaleY_;
  quad.angle = angle_;
  quad.brightness = static_cast<std::uint8_t>(brightness_);
  quad.opacity = static_cast<std::uint8_t>(opacity_);
  if (rotationCentre_ == kRotateAboutBottomCentre) {
    quad.centreX = quad.width * 0.5f;
    quad.centreY = quad.height;
  } else if (rotationCentre_ == kRotateAboutCentre) {
    quad.centreX = quad.width * 0.5f;
    quad.centreY = quad.height * 0.5f;
  } else {
    quad.centreX = static_cast<float>(renderer.ScreenWidth() / 2) - x;
    quad.centreY = static_cast<float>(renderer.ScreenHeight() / 2) - y;
  }
  renderer.DrawQuad(*texture, quad);
  if (wrap_) {
    const float stepX = velocityX_ != 0 ? static_cast<float>(width_) : 0.0f;
    const float stepY = velocityY_ != 0 ? static_cast<float>(height_) : 0.0f;
    const QuadPlacement origin = quad;
    const auto drawMoved = [&](float dx, float dy) {
      QuadPlacement moved = origin;
      moved.x += dx;
      moved.y += dy;
      renderer.DrawQuad(*texture, moved);
    };
    if (stepX != 0.0f) drawMoved(stepX, 0.0f);
    if (stepY != 0.0f) drawMoved(0.0f, stepY);
    if (stepX != 0.0f && stepY != 0.0f) drawMoved(stepX, stepY);
  }
  if (advance) AnimateFrames();
  return true;
}

bool CDIBSprite::DrawParticlesAccelerated(int offsetX, int offsetY, bool advance) {
  if (!IsParticleDrawingMode(particleMode_) || !particles_.HasPictures()) return true;
  if (advance) particles_.Advance();
  AcceleratedRenderer& renderer = *context_->accelerated;
  for (int i = 0; i < particles_.Count(); ++i) {
    const ParticleField::View view = particles_.ViewOf(i);
    AcceleratedTexture* texture = view.picture->GetTexture(view.frame);
    if (texture == nullptr) continue;
    QuadPlacement quad;
    quad.x = static_cast<float>(offsetX) + view.x;
    quad.y = static_cast<float>(offsetY) + view.y;
    quad.width = static_cast<float>(view.picture->GetWidth());
    quad.height = static_cast<float>(view.picture->GetHeight());
    quad.centreX = quad.width * 0.5f;
    quad.centreY = quad.height * 0.5f;
    quad.brightness = static_cast<std::uint8_t>(brightness_);
    quad.opacity = static_cast<std::uint8_t>(opacity_);
    renderer.DrawQuad(*texture, quad);
  }
  return true;
}

bool CDIBSprite::CaptureScene(SpriteTable& table) {
  if (!context_->UseDirect3D() || picture_ == nullptr) return false;
  AcceleratedTexture* target = picture_->GetTargetSurface(0);
  if (target == nullptr) return false;
  AcceleratedRenderer& renderer = *context_->accelerated;
  if (!renderer.BeginScene(target, kCaptureClearColour)) return false;
  for (int slot = 0; slot <= SpriteTable::kLastCapturedSlot; ++slot) {
    CDIBSprite& sprite = table.At(slot);
    if (&sprite != this) sprite.Draw(0, 0, false, nullptr);
  }
  renderer.EndScene();
  picture_->MarkDrawnByRenderer(0);
  return true;
}

bool CDIBSprite::SetParticles(int mode) {
  if (mode == 0) {
    Release();
    return true;
  }
  if (IsParticleLoadingMode(mode)) {
    Release();
    if (!particles_.Prepare(mode)) return false;
    brightness_ = opacity_ = 255;
    particleMode_ = mode;
    return true;
  }
  if (IsParticleShowingMode(mode)) shown_ = true;
  particleMode_ = mode;
  return true;
}

void CDIBSprite::ReleaseDeviceObjects() {
  if (picture_ != nullptr) picture_->ReleaseTextures();
  particles_.ReleaseTextures();
}

void CDIBSprite::RestoreDeviceObjects() {
  if (picture_ != nullptr) picture_->RestoreTextures();
  particles_.RestoreTextures();
}

}  // namespace halcyra

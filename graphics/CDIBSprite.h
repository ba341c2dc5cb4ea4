// One slot of the sprite table: a picture (a CDIBitmap of one or more frames) with a screen
// position in 16.16 fixed point that moves toward a target, brightness and opacity with
// per-frame steps, mosaic, scale and rotation with animated targets, frame animation, and the
// text and particle variants. Scripts set the values; each draw moves them one step, so all
// animation is counted in drawn frames.
//
// Validity: a sprite is valid when it holds a picture or particle pictures. Setters that need a
// picture return false and change nothing on an invalid sprite; getters then return the value
// named in their comment. Loading failures are reported through the context's SystemError
// (source "CDIBSprite.cpp") and leave the sprite released; drawing never reports.
//
// Units: positions and targets as noted (pixels or 16.16 fixed point), brightness and opacity
// 0..255, scales as factors (1.0 natural size), angles in degrees (clockwise on screen in the
// accelerated renderer).
#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#include "graphics/CDIBitmap.h"
#include "graphics/GraphicsContext.h"
#include "graphics/ParticleField.h"

namespace halcyra {

class SpriteTable;
class TextFont;

class CDIBSprite {
 public:
  static constexpr std::int32_t kDefaultTarget = 10000;  // raw 16.16 value of a fresh target
  static constexpr std::size_t kMaxFileName = 255;       // bytes kept of a picture's name
  static constexpr int kTextCharacterLimit = 10000;

  // Anchors: the point that stays in place when the sprite is scaled.
  static constexpr int kAnchorCentre = 0;
  static constexpr int kAnchorBottomCentre = 1;
  static constexpr int kAnchorCentreToo = 2;
  // Rotation centres of the accelerated renderer.
  static constexpr int kRotateAboutScreenCentre = 0;
  static constexpr int kRotateAboutBottomCentre = 1;
  static constexpr int kRotateAboutCentre = 2;

  // context and random are borrowed for the sprite's life; random feeds the particle effects.
  CDIBSprite(const GraphicsContext& context, std::minstd_rand& random);
  ~CDIBSprite() = default;
  CDIBSprite(const CDIBSprite&) = delete;
  CDIBSprite& operator=(const CDIBSprite&) = delete;

  // Loads a picture by game path ("cg\\bg01.psd"). The picture already held under the same name
  // (ASCII case ignored) is kept without reading when its pixels were not modified. Either way
  // the sprite is reset: shown at (0, 0), levels 255, frame 0, animation running and looping.
  bool Load(std::string_view fileName);
  // An empty surface (all 0, or opaque black) of width x height with frames frames, shown at
  // (0, 0) with levels 255. renderTarget: the accelerated scene capture draws into it.
  bool CreateBox(int width, int height, int frames, bool opaque, bool renderTarget);
  // Frees picture, text and particles and resets every setting except brightness and opacity.
  void Release();

  // A text holder for the text renderer's typing: keeps text (Shift-JIS) with its font, colour
  // and layout (character width in pixels, columns, rows, kinsoku flag). Not shown, at (0, 0),
  // levels 255, character limit 10000, no indent. Draws nothing itself.
  bool SetTextDirect(std::string_view text, const TextFont* font, std::uint32_t colour,
                     int characterWidth, int columns, int rows, bool textFlag);
  // A one-line label: a transparent picture 12 * length + 4 pixels wide and 28 high that the
  // context's text renderer draws text into (left transparent without one). Shown at (0, 0).
  bool SetText(std::string_view text, const TextFont* font, std::uint32_t colour,
               int characterWidth, bool textFlag);

  // Position and target become (x, y) pixels; the placed position is remembered.
  bool SetPosition(int x, int y);
  // 16.16 per drawn frame.
  bool SetVelocity(std::int32_t velocityX, std::int32_t velocityY);
  std::int32_t GetVelocityX() const;  // [0]
  std::int32_t GetVelocityY() const;  // [0]
  // Pixels (16-bit signed); a moving sprite stops there.
  bool SetTarget(std::int16_t x, std::int16_t y);
  int GetTargetX() const;         // [0]
  int GetTargetY() const;         // [0]
  bool SetBrightness(int level);  // clamped to 0..255
  int GetBrightness() const;      // [0]
  bool SetOpacity(int level);     // clamped to 0..255
  int GetOpacity() const { return opacity_; }
  bool SetBrightnessStep(int step);
  int GetBrightnessStep() const;  // [0]
  bool SetOpacityStep(int step);
  int GetOpacityStep() const;  // [0]
  bool SetMosaic(int level);   // clamped to 0..255; 16 and above draws blocks
  int GetMosaic() const;       // [0]
  // Sets scale and target scale; stops scaling.
  bool SetScale(float scaleX, float scaleY);
  bool SetScaleStep(float stepX, float stepY);
  bool SetTargetScale(float scaleX, float scaleY);
  float GetScaleX() const;      // [1.0]
  float GetScaleY() const;      // [1.0]
  float GetScaleStepX() const;  // [0]
  float GetScaleStepY() const;  // [0]
  // Sets angle and target angle; stops turning.
  bool SetAngle(float degrees);
  bool SetTargetAngle(float degrees);
  bool SetAngleStep(float degrees);
  float GetAngle() const;      // [0]
  float GetAngleStep() const;  // [0]
  bool SetAnchor(int anchor);
  bool SetRotationCentre(int centre);

  int GetWidth() const;   // [0]
  int GetHeight() const;  // [0]
  int GetX() const;       // pixels [800]
  int GetY() const;       // pixels [600]
  int GetPlacedX() const { return placedX_; }
  int GetPlacedY() const { return placedY_; }
  // For the text renderer: the position after the last typed character.
  void SetPlaced(int x, int y);

  bool Show(bool shown);
  bool IsShown() const;  // [false]

  // n > 0: frame min(n, frame count - 1); otherwise frame 0 running forwards.
  bool SetFrame(int frame);
  int GetFrame() const;         // [-1]
  int GetFrameIfShown() const;  // [-1], also -1 when hidden
  int GetFrameCount() const;    // [-1]
  bool IsLastFrame() const { return currentFrame_ + 1 == frameCount_; }
  bool SetAnimating(bool stop);
  bool SetHoldLast(bool hold);
  // Clearing ping-pong also sets the direction forwards.
  bool SetPingPong(bool pingPong);
  // Running backwards from the current frame (direction -1), or forwards again.
  bool SetReverse(bool reverse);
  // The frame a forward loop restarts from (clamped to the frames).
  bool SetLoopStart(int frame);
  // Drawn frames per animation frame, at least 1.
  bool SetInterval(int frames);
  // Release the sprite once it has left the screen.
  bool SetFreeOffScreen(bool free);
  bool SetWrap(bool wrap);
  bool GetWrap() const { return wrap_; }
  bool SetMono(bool mono);
  bool SetAlpha(bool alpha);
  bool HasAlpha() const;  // [false]
  void SetFont(const TextFont* font) { font_ = font; }

  // The picture; null when there is none.
  CDIBitmap* GetSurface() { return picture_.get(); }
  const CDIBitmap* GetSurface() const { return picture_.get(); }

  // True when the sprite is valid, shown, not a text holder, the screen point lies on its
  // picture at its position and that pixel of the current frame is not fully transparent.
  bool HitTest(int screenX, int screenY) const;
  // Frame 0 through the colour multiply (percentages per channel); marks the picture modified.
  bool MultiplyColour(int redPercent, int greenPercent, int bluePercent);
  // Frame 0 through the hue-saturation-value adjustment; marks the picture modified.
  bool AdjustHsv(int hueDegrees, int saturationPercent, int valuePercent);
  // Copies width x height pixels from (x, y) of source's frame sourceFrame to (0, 0) of this
  // sprite's frame ownFrame, cut to both surfaces; -1 for width or height means this sprite's.
  bool CopyFromSurface(CDIBitmap& source, int x, int y, int sourceFrame, int ownFrame, int width,
                       int height);

  // Draws the sprite moved by (offsetX, offsetY). With target, or in software mode, onto target
  // (frame 0, clipped to it; nothing without one), advancing every draw. In accelerated mode
  // without target through the renderer, advancing only with advance. False when the sprite is
  // shown but has nothing drawable.
  bool Draw(int offsetX, int offsetY, bool advance, CDIBitmap* target);
  // Accelerated mode: clears this sprite's render-target frame 0 to 0xFF010101 and draws the
  // scene slots 0 to 29 of table (all but this sprite) into it without advancing. False in
  // software mode or without a render target.
  bool CaptureScene(SpriteTable& table);

  // Particle effects: 0 releases; 1, 8, 10 load petals, one bat or three bats (levels 255);
  // 2, 9, 11 show them; any other mode is stored and draws nothing.
  bool SetParticles(int mode);
  int GetParticleMode() const { return particleMode_; }

  // Device loss: drop and re-make the textures of the picture and particle pictures.
  void ReleaseDeviceObjects();
  void RestoreDeviceObjects();

  // Text holder fields, for the text renderer.
  bool IsTextHolder() const { return text_ != nullptr; }
  std::string* Text() { return text_.get(); }
  const TextFont* Font() const { return font_; }
  std::uint32_t TextColour() const { return textColour_; }
  int CharacterLimit() const { return characterLimit_; }
  int CharacterWidth() const { return characterWidth_; }
  bool TextFlag() const { return textFlag_; }
  int Indent() const { return indent_; }
  void SetIndent(int column) { indent_ = column; }
  // The raw 16.16 position.
  std::int32_t GetFixedX() const { return x_; }
  std::int32_t GetFixedY() const { return y_; }
  std::uint32_t GetLoadTime() const { return loadTime_; }
  const std::string& GetFileName() const { return fileName_; }
  bool IsModified() const { return modified_; }

 private:
  // The part of a picture's rectangle that lies on the target: the target position, the source
  // position inside the picture and the size.
  struct Clip {
    int left = 0;
    int top = 0;
    int sourceX = 0;
    int sourceY = 0;
    int width = 0;
    int height = 0;
  };

  static bool ClipRectangle(int left, int top, int width, int height, int targetWidth,
                            int targetHeight, Clip& clip);
  bool IsValid() const;
  void ResetAfterLoad();
  void ResetDefaults();
  void Advance(bool turn, bool keepTargets);
  void AnimateFrames();
  bool DrawSoftware(int offsetX, int offsetY, CDIBitmap& target);
  // Draws the clipped part of a picture whose pixels start at source with the blend that its
  // alpha flag, mono, mosaic, opacity and brightness call for.
  void BlendOnto(std::uint32_t* targetPixels, int targetPitch, const Clip& clip,
                 const std::uint32_t* source, int sourcePitch, bool hasAlpha);
  bool DrawAccelerated(int offsetX, int offsetY, bool advance);
  void WrapPosition();
  void AnchoredPosition(int left, int top, float& x, float& y) const;
  void DrawParticlesSoftware(int offsetX, int offsetY, CDIBitmap& target);
  bool DrawParticlesAccelerated(int offsetX, int offsetY, bool advance);

  const GraphicsContext* context_;
  std::minstd_rand* random_;

  int indent_ = -1;
  std::unique_ptr<CDIBitmap> picture_;
  std::unique_ptr<std::string> text_;
  const TextFont* font_ = nullptr;
  bool shown_ = false;
  std::int32_t x_ = 0;
  std::int32_t y_ = 0;
  std::int32_t velocityX_ = 0;
  std::int32_t velocityY_ = 0;
  std::int32_t targetX_ = kDefaultTarget;
  std::int32_t targetY_ = kDefaultTarget;
  int opacityStep_ = 0;
  int brightnessStep_ = 0;
  int brightness_ = 255;
  int opacity_ = 255;
  float scaleX_ = 1.0f;
  float scaleY_ = 1.0f;
  int mosaic_ = 0;
  int width_ = 0;
  int height_ = 0;
  std::uint32_t textColour_ = 0;
  int characterLimit_ = 0;
  int characterWidth_ = 0;
  int frameCount_ = 1;
  int currentFrame_ = 0;
  bool holdLast_ = false;
  bool animating_ = true;
  bool pingPong_ = false;
  int frameStep_ = 1;
  bool freeOffScreen_ = false;
  int interval_ = 1;
  int countdown_ = 1;
  int loopStart_ = 0;
  bool reverse_ = false;
  std::uint32_t loadTime_ = 0;
  std::string fileName_;
  bool mono_ = false;
  bool textFlag_ = false;
  int placedX_ = 0;
  int placedY_ = 0;
  bool modified_ = false;
  bool wrap_ = false;
  int particleMode_ = 0;
  ParticleField particles_;
  int anchor_ = kAnchorCentre;
  float scaleStepX_ = 0.0f;
  float scaleStepY_ = 0.0f;
  float targetScaleX_ = 1.0f;
  float targetScaleY_ = 1.0f;
  int rotationCentre_ = kRotateAboutScreenCentre;
  float angle_ = 0.0f;
  float targetAngle_ = 0.0f;
  float angleStep_ = 0.0f;
};

}  // namespace halcyra

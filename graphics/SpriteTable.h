// The 300 sprites drawn in index order every frame: slots 0 to 28 are scene layers that follow
// the camera pan and the screen shake, 29 to 299 overlays. The table owns its sprites and the
// random generator of their particle effects; sprites are never created or destroyed during
// play, only loaded, changed, released and exchanged.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <random>

#include "graphics/CDIBSprite.h"
#include "graphics/GraphicsContext.h"

namespace halcyra {

class SpriteTable {
 public:
  static constexpr int kCount = 300;
  static constexpr int kLastSceneLayer = 28;    // slots 0..28 follow pan and shake
  static constexpr int kFarLayerEnd = 9;        // slots 0..9 move by a third of the pan
  static constexpr int kCaptureSlot = 18;       // the scene capture of the transitions
  static constexpr int kLastCapturedSlot = 29;  // the capture draws slots 0..29
  static constexpr int kDebugSlot = 299;        // the frame-rate text

  // context is borrowed for the table's life. seed starts the particle effects' generator
  // (the start-up clock in the game, a fixed number in tests).
  SpriteTable(const GraphicsContext& context, std::uint32_t seed);
  SpriteTable(const SpriteTable&) = delete;
  SpriteTable& operator=(const SpriteTable&) = delete;

  // slot: 0..kCount-1 (checked by the caller).
  CDIBSprite& At(int slot) { return *sprites_[static_cast<std::size_t>(slot)]; }
  const CDIBSprite& At(int slot) const { return *sprites_[static_cast<std::size_t>(slot)]; }
  CDIBSprite& operator[](int slot) { return At(slot); }

  // Exchanges the sprite objects of two slots (the `exchg` command).
  void Swap(int slotA, int slotB);
  // Releases every sprite.
  void ReleaseAll();
  // One line a sprite that holds a picture or text, for checkpoints of headless runs: slot,
  // picture name (Shift-JIS), frame, position, brightness, opacity, shown or hidden.
  std::string DumpText() const;
  // Device loss: every sprite drops or re-makes its textures.
  void ReleaseDeviceObjects();
  void RestoreDeviceObjects();

 private:
  std::minstd_rand random_;
  std::array<std::unique_ptr<CDIBSprite>, kCount> sprites_;
};

}  // namespace halcyra

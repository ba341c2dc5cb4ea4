#include "graphics/SpriteTable.h"

#include <cstdio>
#include <utility>

namespace halcyra {

SpriteTable::SpriteTable(const GraphicsContext& context, std::uint32_t seed) : random_(seed) {
  for (auto& sprite : sprites_) sprite = std::make_unique<CDIBSprite>(context, random_);
}

void SpriteTable::Swap(int slotA, int slotB) {
  std::swap(sprites_[static_cast<std::size_t>(slotA)], sprites_[static_cast<std::size_t>(slotB)]);
}

void SpriteTable::ReleaseAll() {
  for (auto& sprite : sprites_) sprite->Release();
}

void SpriteTable::ReleaseDeviceObjects() {
  for (auto& sprite : sprites_) sprite->ReleaseDeviceObjects();
}

void SpriteTable::RestoreDeviceObjects() {
  for (auto& sprite : sprites_) sprite->RestoreDeviceObjects();
}

std::string SpriteTable::DumpText() const {
  std::string text;
  char line[512];
  for (int slot = 0; slot < kCount; ++slot) {
    const CDIBSprite& sprite = At(slot);
    if (sprite.GetSurface() == nullptr && !sprite.IsTextHolder()) continue;
    std::snprintf(line, sizeof line, "%3d %s frame %d at %d,%d brightness %d opacity %d %s\n", slot,
                  sprite.GetFileName().c_str(), sprite.GetFrame(), sprite.GetX(), sprite.GetY(),
                  sprite.GetBrightness(), sprite.GetOpacity(), sprite.IsShown() ? "shown" : "hidden");
    text += line;
  }
  return text;
}

}  // namespace halcyra

#include "graphics/SpriteTable.h"

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

}  // namespace halcyra

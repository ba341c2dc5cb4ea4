// The scene layers a script names by position value, the sprite slots that show them and the
// layer records of the scenario state that remember them, and the per-frame step of fades.
#pragma once

namespace halcyra {

inline constexpr int kNoRecord = -1;
inline constexpr int kBackgroundLayer = 0;
inline constexpr int kExtraLowerLayer = 8;  // shown, never recorded
inline constexpr int kEffectLayerSlot = 18;

// Position 0 is the background, 1..3 the standing sprites 1..3, -1..-3 the background overlays
// (layers 5..7), -4 the extra lower layer (8); every other value is standing sprite 4.
int LayerOfPosition(int position);
// The sprite slot that shows a layer (0..8); the slot after it holds a cross-fade's outgoing
// picture.
int SlotOfLayer(int layer);
// The layer record of a sprite slot, or kNoRecord for a slot that is not a layer's own.
int RecordOfSlot(int slot);

// How far a fade moves per frame for an Effect/Speed setting (0 fastest .. -11 slowest; the
// sign is ignored and values past the ends are held at them).
int EffectStep(int speed);

}  // namespace halcyra

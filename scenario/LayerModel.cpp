#include "scenario/LayerModel.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace halcyra {
namespace {

constexpr int kLayerSlots[] = {0, 10, 12, 14, 16, 2, 4, 6, 8};
constexpr int kEffectSteps[] = {128, 64, 32, 24, 16, 12, 8, 6, 4, 3, 2, 1};

}  // namespace

int LayerOfPosition(int position) {
  switch (position) {
    case 0: return 0;
    case 1: return 1;
    case 2: return 2;
    case 3: return 3;
    case -1: return 5;
    case -2: return 6;
    case -3: return 7;
    case -4: return kExtraLowerLayer;
    default: return 4;
  }
}

int SlotOfLayer(int layer) {
  return layer >= 0 && layer < static_cast<int>(std::size(kLayerSlots)) ? kLayerSlots[layer]
                                                                        : kLayerSlots[4];
}

int RecordOfSlot(int slot) {
  for (int layer = 0; layer < kExtraLowerLayer; ++layer) {
    if (kLayerSlots[layer] == slot) return layer;
  }
  return kNoRecord;
}

int EffectStep(int speed) {
  const int index = std::min(std::abs(speed), static_cast<int>(std::size(kEffectSteps)) - 1);
  return kEffectSteps[index];
}

}  // namespace halcyra

#include "media/SoundMixer.h"

#include <algorithm>

#include "media/SoundBuffer.h"

namespace halcyra {

bool SoundMixer::Attach(SoundBuffer* buffer) {
  for (SoundBuffer*& slot : buffers_) {
    if (slot == nullptr) {
      slot = buffer;
      return true;
    }
  }
  return false;
}

void SoundMixer::Detach(SoundBuffer* buffer) {
  for (SoundBuffer*& slot : buffers_) {
    if (slot == buffer) slot = nullptr;
  }
}

void SoundMixer::Fill(std::int16_t* frames, std::size_t frameCount) {
  while (frameCount > 0) {
    const std::size_t block = std::min(frameCount, kBlockFrames);
    std::fill_n(accumulator_.begin(), block * 2, 0);
    for (SoundBuffer* buffer : buffers_) {
      if (buffer != nullptr) buffer->MixInto(accumulator_.data(), block, outputRate_);
    }
    for (std::size_t i = 0; i < block * 2; ++i) {
      frames[i] = static_cast<std::int16_t>(std::clamp(accumulator_[i], -32768, 32767));
    }
    frames += block * 2;
    frameCount -= block;
  }
}

}  // namespace halcyra

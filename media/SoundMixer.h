// Our mixer: adds the playing sound buffers into the device's 16-bit stereo stream, each at its
// own gains and converted to the device's rate, and clips the sum.
//
// Threading: Fill runs on the audio thread with the device lock held; Attach, Detach and
// SetOutputRate are called by the engine thread with the device lock held. Fill allocates
// nothing and takes no lock of its own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/AudioCallback.h"

namespace halcyra {

class SoundBuffer;

class SoundMixer : public AudioCallback {
 public:
  // Buffers that can be attached at once: the seven channels, with room for movie sound.
  static constexpr std::size_t kMaxBuffers = 16;
  // Frames mixed per pass; a longer request is mixed in several passes.
  static constexpr std::size_t kBlockFrames = 512;

  // Frames per second of the device's stream.
  void SetOutputRate(std::uint32_t rate) { outputRate_ = rate; }

  // Adds a buffer (borrowed) to the mix; false when kMaxBuffers are attached already.
  bool Attach(SoundBuffer* buffer);
  // Takes a buffer out of the mix; harmless when it is not in it.
  void Detach(SoundBuffer* buffer);

  void Fill(std::int16_t* frames, std::size_t frameCount) override;

 private:
  std::array<SoundBuffer*, kMaxBuffers> buffers_{};
  std::array<std::int32_t, kBlockFrames * 2> accumulator_{};
  std::uint32_t outputRate_ = 44100;
};

}  // namespace halcyra

// What an audio output asks for whenever it needs sound: the next frames of the mix.
#pragma once

#include <cstddef>
#include <cstdint>

namespace halcyra {

class AudioCallback {
 public:
  virtual ~AudioCallback() = default;

  // Writes exactly frameCount frames of interleaved signed 16-bit stereo (left, right) into
  // frames (borrowed, 2 * frameCount values). Runs on the device's thread (the SDL audio thread,
  // or the caller of NullAudioDevice::Pump) with the device lock held; it must not allocate,
  // block or call back into the device.
  virtual void Fill(std::int16_t* frames, std::size_t frameCount) = 0;
};

}  // namespace halcyra

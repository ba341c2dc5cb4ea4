// One channel's sound buffer on our mixer: a sound's whole 16-bit PCM in its own format (mono or
// stereo, any rate), with its play position, looping, volume and pan. The mixer reads it on the
// audio thread and converts its rate to the device's by linear interpolation.
//
// Volume and pan are in hundredths of a decibel, as the channels compute them:
//   volume 0 = full, down to kSilence (and below) = nothing at all;
//   pan 0 = centre; a positive pan lowers the left side by that much, a negative one the right
//   side; +-10000 silences that side.
//
// Threading: the buffer is created, written and controlled on the engine thread. Every control
// takes the device lock for a moment; the sound data is written without it (decoding can take a
// while) into the part the mixer does not play yet: the mixer plays only the first "playable"
// bytes, published with SetPlayableBytes, and treats the rest as silence.
//
// Ownership: created through Create, which attaches the buffer to the mixer; destruction detaches
// it. The device and the mixer are borrowed and must outlive the buffer.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "media/WaveFormat.h"
#include "platform/AudioDevice.h"

namespace halcyra {

class SoundMixer;

class SoundBuffer {
 public:
  static constexpr std::uint32_t kMaxBytes = 0x0FFFFFFF;
  static constexpr int kSilence = -10000;
  static constexpr std::int32_t kUnityGain = 1 << 15;

  // A zeroed buffer of bytes bytes for format (16-bit PCM, 1 or 2 channels), attached to the
  // mixer and stopped at position 0, full volume, centred. Null, with errorCode set to a
  // SoundErrorCode, for a format the mixer cannot play (kDsBadFormat), a size of 0 or above
  // kMaxBytes (kDsInvalidParam), no memory (kDsOutOfMemory) or a full mixer (kDsAllocated).
  static std::unique_ptr<SoundBuffer> Create(AudioDevice& device, SoundMixer& mixer,
                                             const WaveFormat& format, std::uint32_t bytes,
                                             std::uint32_t& errorCode);
  ~SoundBuffer();
  SoundBuffer(const SoundBuffer&) = delete;
  SoundBuffer& operator=(const SoundBuffer&) = delete;

  const WaveFormat& Format() const { return format_; }
  // The sound's bytes, Size() long, for writing; stays valid for the buffer's life.
  std::uint8_t* Data() { return reinterpret_cast<std::uint8_t*>(samples_.data()); }
  std::uint32_t Size() const { return bytes_; }
  // The first bytes hold sound the mixer may play (whole frames are taken). 0 at creation.
  void SetPlayableBytes(std::uint32_t bytes);

  // Starts playing from the current position; loop: wrap at the end instead of stopping.
  void Play(bool loop);
  // Stops; the position stays where it is.
  void Stop();
  // A one-shot sound that reaches its end stops and rewinds to 0 by itself.
  bool IsPlaying() const;
  // Play position in bytes (whole frames). SetCurrentPosition rounds down to a frame and is
  // false, changing nothing, for an offset at or past the end.
  bool SetCurrentPosition(std::uint32_t bytes);
  std::uint32_t GetCurrentPosition() const;

  void SetVolume(int hundredths);  // clamped to kSilence..0
  int GetVolume() const;
  void SetPan(int hundredths);  // clamped to -10000..10000
  int GetPan() const;

  // Audio thread, device lock held: adds frames of this sound, at outputRate, to accumulator
  // (interleaved stereo, 2 * frames values) scaled by the gains, and moves the position on.
  void MixInto(std::int32_t* accumulator, std::size_t frames, std::uint32_t outputRate);

 private:
  SoundBuffer(AudioDevice& device, SoundMixer& mixer, const WaveFormat& format);
  template <int Channels, bool Resample>
  void MixFrames(std::int32_t* accumulator, std::size_t frames, std::uint64_t step);
  void UpdateGains();

  AudioDevice& device_;
  SoundMixer& mixer_;
  WaveFormat format_;
  std::vector<std::int16_t> samples_;
  std::uint32_t bytes_ = 0;
  std::uint32_t frameCount_ = 0;
  std::atomic<std::uint32_t> playableFrames_{0};
  // Guarded by the device lock:
  bool playing_ = false;
  bool looping_ = false;
  std::uint64_t position_ = 0;  // frames, 32.32 fixed point
  int volume_ = 0;
  int pan_ = 0;
  std::int32_t gainLeft_ = kUnityGain;
  std::int32_t gainRight_ = kUnityGain;
};

}  // namespace halcyra

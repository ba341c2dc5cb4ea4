// An audio output the engine's mixer plays through: signed 16-bit interleaved stereo at a fixed
// sample rate, pulled frame block by frame block through an AudioCallback.
//
// Two backends implement it: SdlAudioDevice (the platform's sound card, on SDL's audio thread)
// and NullAudioDevice (no thread, no sound: the caller pumps it from the virtual clock and reads
// what came out).
//
// Threading: Open, Close, Lock and Unlock are for the engine thread. The callback runs with the
// device lock held, so state shared with it is changed between Lock and Unlock; the engine holds
// the lock only for short, non-blocking changes.
#pragma once

#include <string>

#include "platform/AudioCallback.h"

namespace halcyra {

class AudioDevice {
 public:
  static constexpr int kChannels = 2;
  static constexpr int kBitsPerSample = 16;
  static constexpr int kBytesPerFrame = kChannels * kBitsPerSample / 8;

  virtual ~AudioDevice() = default;

  // Starts output at sampleRate frames per second, pulling from callback (borrowed; it must
  // outlive Close). Closes any earlier output first. False, with LastError set, when the output
  // cannot be started; the device is then closed.
  virtual bool Open(int sampleRate, AudioCallback& callback) = 0;
  // Stops output; the callback is not called after Close returns. Cannot fail.
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Frames per second of the open output; 0 when closed.
  virtual int SampleRate() const = 0;

  // Keeps the callback from running until Unlock. Not recursive. Harmless when closed.
  virtual void Lock() = 0;
  virtual void Unlock() = 0;

  // Why the last Open failed, in the platform's words (UTF-8); empty when it did not fail.
  virtual std::string LastError() const = 0;

  // Holds the device lock for the life of a scope.
  class ScopedLock {
   public:
    explicit ScopedLock(AudioDevice& device) : device_(device) { device_.Lock(); }
    ~ScopedLock() { device_.Unlock(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

   private:
    AudioDevice& device_;
  };
};

}  // namespace halcyra

// The audio output on the platform's sound card through SDL's audio subsystem. SDL converts our
// 16-bit stereo stream to whatever the card takes (rate, sample format, channel layout) and calls
// the mix callback on its own audio thread.
#pragma once

#include <cstdint>
#include <string>

#include "platform/AudioDevice.h"

namespace halcyra {

class SdlAudioDevice : public AudioDevice {
 public:
  // Frames SDL asks for per callback: about 23 ms at 44100 Hz, short enough that a sound starts
  // within a frame or two of the engine asking for it.
  static constexpr int kCallbackFrames = 1024;

  SdlAudioDevice() = default;
  ~SdlAudioDevice() override;
  SdlAudioDevice(const SdlAudioDevice&) = delete;
  SdlAudioDevice& operator=(const SdlAudioDevice&) = delete;

  // Starts SDL's audio subsystem when needed and opens the default output device.
  bool Open(int sampleRate, AudioCallback& callback) override;
  // Closes the device and stops the audio subsystem this object started.
  void Close() override;
  bool IsOpen() const override { return device_ != 0; }
  int SampleRate() const override { return sampleRate_; }
  void Lock() override;
  void Unlock() override;
  std::string LastError() const override { return lastError_; }

 private:
  static void Callback(void* self, std::uint8_t* stream, int bytes);

  std::uint32_t device_ = 0;  // SDL_AudioDeviceID; 0 when closed
  AudioCallback* callback_ = nullptr;
  int sampleRate_ = 0;
  bool subsystemStarted_ = false;
  std::string lastError_;
};

}  // namespace halcyra

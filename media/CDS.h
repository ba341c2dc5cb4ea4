// The sound device: our mixer playing through the platform's audio output. "DS" (the classic
// DirectSound device) means here: SoundMixer on an AudioDevice (SDL audio, or the null device of
// headless runs), always 16-bit stereo at the rate asked for, 44100 Hz in the game.
//
// The channels (CDSB) create their buffers through it. Without an open device every channel
// operation fails quietly, so the game runs on without sound.
//
// Failure: OpenDevice shows the "DirectSound Error" box (SoundErrorBox) with step 76 (the output
// cannot be opened, DSERR_NODRIVER) or 101 (a format the mixer does not produce,
// DSERR_BADFORMAT) and returns false with the device released.
//
// Ownership: the audio device and the reporter are borrowed and must outlive this object. Every
// channel (and so every buffer) must be destroyed before it: the buffers live on its mixer.
// Threading: engine thread only; the mixer runs on the device's thread.
#pragma once

#include <cstdint>
#include <memory>

#include "media/SoundBuffer.h"
#include "media/SoundErrorReporter.h"
#include "media/SoundMixer.h"
#include "media/WaveFormat.h"
#include "platform/AudioDevice.h"

namespace halcyra {

class CDS {
 public:
  // Direct Sound が使用できません (sound cannot be used), shown by start-up when OpenDevice
  // fails, caption "ver 3.03", error icon.
  static constexpr char kStartUpFailure[] =
      "Direct Sound \x82\xaa\x8e\x67\x97\x70\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1";
  static constexpr int kChannels = 2;
  static constexpr int kSampleRate = 44100;
  static constexpr int kBits = 16;

  CDS(AudioDevice& device, SoundErrorReporter& reporter);
  ~CDS() { ReleaseDevice(); }
  CDS(const CDS&) = delete;
  CDS& operator=(const CDS&) = delete;

  // Releases anything open, then starts output with the given format. Start-up passes
  // kChannels, kSampleRate, kBits; the mixer produces 2 channels of 16 bits at 8000..192000 Hz.
  bool OpenDevice(int channels, int sampleRate, int bits);
  // Stops output. Cannot fail.
  void ReleaseDevice();
  bool IsReady() const { return device_.IsOpen(); }

  // A new buffer on the mixer (SoundBuffer::Create); null with errorCode when it cannot be made.
  std::unique_ptr<SoundBuffer> CreateBuffer(const WaveFormat& format, std::uint32_t bytes,
                                            std::uint32_t& errorCode);

  // Shows the "DirectSound Error" box for step and code.
  void ShowError(int step, std::uint32_t code);

  SoundErrorReporter& Reporter() { return reporter_; }

 private:
  AudioDevice& device_;
  SoundErrorReporter& reporter_;
  SoundMixer mixer_;
};

}  // namespace halcyra

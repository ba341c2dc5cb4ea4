// The audio output of headless runs: no thread and no sound card. The engine (or a test) pumps it
// with the time that passed on the virtual clock; each pump pulls that much sound through the
// callback and, while capturing, keeps it for reading.
//
// Threading: Pump runs the callback on the calling thread with the device lock held, so it must
// not be called while the caller holds the lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/AudioDevice.h"

namespace halcyra {

class NullAudioDevice : public AudioDevice {
 public:
  // Frames pulled per callback call; a pump of more frames calls the callback several times.
  static constexpr std::size_t kBlockFrames = 1024;

  NullAudioDevice() = default;
  ~NullAudioDevice() override = default;
  NullAudioDevice(const NullAudioDevice&) = delete;
  NullAudioDevice& operator=(const NullAudioDevice&) = delete;

  bool Open(int sampleRate, AudioCallback& callback) override;
  void Close() override;
  bool IsOpen() const override { return callback_ != nullptr; }
  int SampleRate() const override { return sampleRate_; }
  void Lock() override { mutex_.lock(); }
  void Unlock() override { mutex_.unlock(); }
  std::string LastError() const override { return {}; }

  // Pulls the frames of milliseconds of output. Fractions of a frame are carried to the next
  // pump, so that many short pumps add up to exactly the frames of their total time. Nothing
  // happens while closed.
  void Pump(std::uint32_t milliseconds);
  // Pumps the time from the previous PumpUntil's clock reading to now (milliseconds of the
  // platform clock, wrapping at 2^32). The first call after Open only takes the reading.
  void PumpUntil(std::uint32_t now);
  // Pulls exactly frameCount frames.
  void PumpFrames(std::size_t frameCount);

  // Pumped output is kept (interleaved stereo, 2 values per frame) while capturing, which is the
  // default; a long run that does not read it switches capturing off to save memory.
  void SetCapturing(bool capturing) { capturing_ = capturing; }
  const std::vector<std::int16_t>& Captured() const { return captured_; }
  void ClearCapture() { captured_.clear(); }
  // Frames pulled since Open, captured or not.
  std::uint64_t PumpedFrames() const { return pumpedFrames_; }

 private:
  void PullBlock(std::int16_t* frames, std::size_t frameCount);

  std::mutex mutex_;
  AudioCallback* callback_ = nullptr;
  int sampleRate_ = 0;
  bool capturing_ = true;
  std::vector<std::int16_t> captured_;
  std::vector<std::int16_t> scratch_;
  std::uint64_t pumpedFrames_ = 0;
  std::uint64_t frameRemainder_ = 0;  // frames x 1000 not yet pumped
  std::uint32_t lastPumpTicks_ = 0;
  bool hasPumpTicks_ = false;
};

}  // namespace halcyra

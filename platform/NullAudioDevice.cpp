#include "platform/NullAudioDevice.h"

#include <algorithm>

namespace halcyra {

bool NullAudioDevice::Open(int sampleRate, AudioCallback& callback) {
  Close();
  if (sampleRate <= 0) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  callback_ = &callback;
  sampleRate_ = sampleRate;
  pumpedFrames_ = 0;
  frameRemainder_ = 0;
  hasPumpTicks_ = false;
  scratch_.assign(kBlockFrames * kChannels, 0);
  return true;
}

void NullAudioDevice::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  callback_ = nullptr;
  sampleRate_ = 0;
}

void NullAudioDevice::Pump(std::uint32_t milliseconds) {
  if (!IsOpen()) return;
  const std::uint64_t scaled = frameRemainder_ + static_cast<std::uint64_t>(milliseconds) *
                                                     static_cast<std::uint64_t>(sampleRate_);
  frameRemainder_ = scaled % 1000;
  PumpFrames(static_cast<std::size_t>(scaled / 1000));
}

void NullAudioDevice::PumpUntil(std::uint32_t now) {
  if (!IsOpen()) return;
  if (hasPumpTicks_) Pump(now - lastPumpTicks_);
  lastPumpTicks_ = now;
  hasPumpTicks_ = true;
}

void NullAudioDevice::PumpFrames(std::size_t frameCount) {
  if (!IsOpen()) return;
  if (capturing_) {
    const std::size_t start = captured_.size();
    captured_.resize(start + frameCount * kChannels);
    PullBlock(captured_.data() + start, frameCount);
  } else {
    while (frameCount > 0) {
      const std::size_t block = std::min(frameCount, kBlockFrames);
      PullBlock(scratch_.data(), block);
      frameCount -= block;
    }
  }
}

// Calls the callback in blocks of at most kBlockFrames, as a sound card's thread would.
void NullAudioDevice::PullBlock(std::int16_t* frames, std::size_t frameCount) {
  std::lock_guard<std::mutex> lock(mutex_);
  while (frameCount > 0 && callback_ != nullptr) {
    const std::size_t block = std::min(frameCount, kBlockFrames);
    callback_->Fill(frames, block);
    frames += block * kChannels;
    frameCount -= block;
    pumpedFrames_ += block;
  }
}

}  // namespace halcyra

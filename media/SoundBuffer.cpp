#include "media/SoundBuffer.h"

#include <algorithm>
#include <cmath>

#include "media/SoundErrorBox.h"
#include "media/SoundMixer.h"
#include "media/TryResize.h"

namespace halcyra {
namespace {

constexpr int kFullPan = 10000;
constexpr std::uint64_t kOneFrame = std::uint64_t{1} << 32;

// Decibels to a linear factor on the mixer's scale; kSilence and below become exactly 0.
std::int32_t GainOf(int hundredths) {
  if (hundredths <= SoundBuffer::kSilence) return 0;
  return static_cast<std::int32_t>(
      std::lround(SoundBuffer::kUnityGain * std::pow(10.0, hundredths / 2000.0)));
}

}  // namespace

std::unique_ptr<SoundBuffer> SoundBuffer::Create(AudioDevice& device, SoundMixer& mixer,
                                                 const WaveFormat& format, std::uint32_t bytes,
                                                 std::uint32_t& errorCode) {
  errorCode = 0;
  if (format.formatTag != WaveFormat::kPcmTag || format.bitsPerSample != 16 ||
      format.channels < 1 || format.channels > 2 || format.samplesPerSec < 1 ||
      format.samplesPerSec > WaveFormat::kMaxSampleRate) {
    errorCode = kDsBadFormat;
    return nullptr;
  }
  if (bytes == 0 || bytes > kMaxBytes) {
    errorCode = kDsInvalidParam;
    return nullptr;
  }
  std::unique_ptr<SoundBuffer> buffer(new SoundBuffer(device, mixer, format));
  if (!TryResize(buffer->samples_, (std::size_t{bytes} + 1) / 2)) {
    errorCode = kDsOutOfMemory;
    return nullptr;
  }
  buffer->bytes_ = bytes;
  buffer->frameCount_ = bytes / (2u * format.channels);
  AudioDevice::ScopedLock lock(device);
  if (!mixer.Attach(buffer.get())) {
    errorCode = kDsAllocated;
    return nullptr;
  }
  return buffer;
}

SoundBuffer::SoundBuffer(AudioDevice& device, SoundMixer& mixer, const WaveFormat& format)
    : device_(device),
      mixer_(mixer),
      format_(WaveFormat::Pcm16(format.channels, format.samplesPerSec)) {}

SoundBuffer::~SoundBuffer() {
  AudioDevice::ScopedLock lock(device_);
  mixer_.Detach(this);
}

void SoundBuffer::SetPlayableBytes(std::uint32_t bytes) {
  const std::uint32_t frames = std::min(bytes, bytes_) / format_.blockAlign;
  playableFrames_.store(frames, std::memory_order_release);
}

void SoundBuffer::Play(bool loop) {
  AudioDevice::ScopedLock lock(device_);
  playing_ = true;
  looping_ = loop;
}

void SoundBuffer::Stop() {
  AudioDevice::ScopedLock lock(device_);
  playing_ = false;
}

bool SoundBuffer::IsPlaying() const {
  AudioDevice::ScopedLock lock(device_);
  return playing_;
}

bool SoundBuffer::SetCurrentPosition(std::uint32_t bytes) {
  const std::uint32_t frame = bytes / format_.blockAlign;
  if (frame >= frameCount_) return false;
  AudioDevice::ScopedLock lock(device_);
  position_ = std::uint64_t{frame} << 32;
  return true;
}

std::uint32_t SoundBuffer::GetCurrentPosition() const {
  AudioDevice::ScopedLock lock(device_);
  return static_cast<std::uint32_t>(position_ >> 32) * format_.blockAlign;
}

void SoundBuffer::SetVolume(int hundredths) {
  AudioDevice::ScopedLock lock(device_);
  volume_ = std::clamp(hundredths, kSilence, 0);
  UpdateGains();
}

int SoundBuffer::GetVolume() const {
  AudioDevice::ScopedLock lock(device_);
  return volume_;
}

void SoundBuffer::SetPan(int hundredths) {
  AudioDevice::ScopedLock lock(device_);
  pan_ = std::clamp(hundredths, -kFullPan, kFullPan);
  UpdateGains();
}

int SoundBuffer::GetPan() const {
  AudioDevice::ScopedLock lock(device_);
  return pan_;
}

// Each side's attenuation is the volume plus the pan's cut on that side.
void SoundBuffer::UpdateGains() {
  const int leftCut = pan_ > 0 ? pan_ : 0;
  const int rightCut = pan_ < 0 ? -pan_ : 0;
  gainLeft_ = leftCut >= kFullPan ? 0 : GainOf(std::max(volume_ - leftCut, kSilence));
  gainRight_ = rightCut >= kFullPan ? 0 : GainOf(std::max(volume_ - rightCut, kSilence));
}

void SoundBuffer::MixInto(std::int32_t* accumulator, std::size_t frames, std::uint32_t outputRate) {
  if (!playing_ || frameCount_ == 0 || outputRate == 0) return;
  const std::uint64_t step = (std::uint64_t{format_.samplesPerSec} << 32) / outputRate;
  const bool resample = step != kOneFrame;
  if (format_.channels == 1) {
    resample ? MixFrames<1, true>(accumulator, frames, step)
             : MixFrames<1, false>(accumulator, frames, step);
  } else {
    resample ? MixFrames<2, true>(accumulator, frames, step)
             : MixFrames<2, false>(accumulator, frames, step);
  }
}

template <int Channels, bool Resample>
void SoundBuffer::MixFrames(std::int32_t* accumulator, std::size_t frames, std::uint64_t step) {
  const std::int16_t* data = samples_.data();
  const std::uint64_t end = std::uint64_t{frameCount_} << 32;
  const std::uint32_t playable = playableFrames_.load(std::memory_order_acquire);
  const std::int32_t gainLeft = gainLeft_;
  const std::int32_t gainRight = gainRight_;
  std::uint64_t position = position_;
  for (std::size_t i = 0; i < frames; ++i) {
    if (position >= end) {
      if (!looping_) break;
      position %= end;
    }
    const auto index = static_cast<std::uint32_t>(position >> 32);
    if (index < playable) {
      std::int32_t left = data[index * Channels];
      std::int32_t right = Channels == 2 ? data[index * Channels + 1] : left;
      if constexpr (Resample) {
        // Linear interpolation toward the next frame; past the end a loop continues at its
        // start, a one-shot sound (or a stream not yet decoded further) holds its last frame.
        std::uint32_t next = index + 1;
        if (next >= frameCount_) next = looping_ ? 0 : index;
        if (next >= playable) next = index;
        const auto fraction = static_cast<std::int32_t>((position >> 17) & 0x7FFF);
        const std::int32_t nextLeft = data[next * Channels];
        const std::int32_t nextRight = Channels == 2 ? data[next * Channels + 1] : nextLeft;
        left += ((nextLeft - left) * fraction) >> 15;
        right += ((nextRight - right) * fraction) >> 15;
      }
      accumulator[2 * i] += (left * gainLeft) >> 15;
      accumulator[2 * i + 1] += (right * gainRight) >> 15;
    }
    position += step;
  }
  if (position >= end && !looping_) {
    playing_ = false;
    position = 0;
  }
  position_ = position;
}

}  // namespace halcyra

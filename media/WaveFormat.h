// The fixed 18-byte part of a WAVE file's "fmt " chunk, as fields. Rates are frames per second,
// sizes in bytes.
#pragma once

#include <cstdint>

namespace halcyra {

struct WaveFormat {
  static constexpr std::uint16_t kPcmTag = 1;
  // Highest rate the decoders and the mixer take; beyond it a file is taken as damaged.
  static constexpr std::uint32_t kMaxSampleRate = 384000;

  std::uint16_t formatTag = 0;
  std::uint16_t channels = 0;
  std::uint32_t samplesPerSec = 0;
  std::uint32_t avgBytesPerSec = 0;
  std::uint16_t blockAlign = 0;  // bytes per frame
  std::uint16_t bitsPerSample = 0;
  std::uint16_t extraSize = 0;  // bytes of data after these fields that the format tag defines

  // 16-bit PCM with the given channels and rate.
  static WaveFormat Pcm16(std::uint16_t channels, std::uint32_t rate) {
    const auto block = static_cast<std::uint16_t>(channels * 2);
    return WaveFormat{kPcmTag, channels, rate, block * rate, block, 16, 0};
  }

  bool operator==(const WaveFormat&) const = default;
};

}  // namespace halcyra

// Builds RIFF WAVE files in memory: 16-bit PCM, and Vorbis-in-WAVE (an Ogg Vorbis stream as the
// "data" chunk, format tag 0x674F, "fact" = frames) as the engine reads them. Used by
// halcyra-tool, tests and the demo's sound generator.
//
// Threading: any thread; calls share no state. Failure: none; sizes beyond what a RIFF chunk can
// state are the caller's to avoid (the engine takes nothing that large anyway).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace halcyra {

class WaveWriter {
 public:
  static constexpr std::uint16_t kVorbisFormatTag = 0x674F;

  // A PCM WAVE: RIFF, a 16-byte "fmt " (tag 1, 16 bits), "data" holding pcmBytes bytes of pcm
  // (borrowed, interleaved little-endian 16-bit samples).
  static std::vector<std::uint8_t> Pcm16(int channels, int sampleRate, const std::uint8_t* pcm,
                                         std::size_t pcmBytes);

  // A Vorbis-in-WAVE file: an 18-byte "fmt " (formatTag, channels, rate, 16 bits, no extra
  // bytes), "fact" = frameCount, "data" = the Ogg Vorbis stream.
  static std::vector<std::uint8_t> Vorbis(int channels, int sampleRate, std::uint32_t frameCount,
                                          const std::vector<std::uint8_t>& oggStream,
                                          std::uint16_t formatTag = kVorbisFormatTag);
};

}  // namespace halcyra

// Encodes signed 16-bit PCM to an Ogg Vorbis stream (libvorbisenc, variable bit rate). Used by
// tests, benchmarks and the demo's sound generator; the engine itself only decodes.
//
// The output repeats exactly for the same input and options (the stream's serial number is an
// option, not random), so generated game data does not change between builds.
//
// Threading: any thread; calls share no state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace halcyra {

struct VorbisEncodeOptions {
  int channels = 2;        // 1 or 2
  int sampleRate = 44100;  // frames per second
  float quality = 0.4f;    // -0.1 (smallest) .. 1.0 (best)
  int serialNumber = 0x48414C;
};

class VorbisEncoder {
 public:
  // Encodes frameCount frames of interleaved samples (borrowed, frameCount * channels values) as
  // one complete stream into stream (replaced). False, with a reason in error, when the options
  // are outside the library's range.
  static bool Encode(const std::int16_t* samples, std::size_t frameCount,
                     const VorbisEncodeOptions& options, std::vector<std::uint8_t>& stream,
                     std::string& error);
};

}  // namespace halcyra

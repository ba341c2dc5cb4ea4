// Shared pieces of the sound tests: a reporter that records error boxes, hand-made WAVE bytes,
// test tones and Vorbis-in-WAVE fixtures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "media/SoundErrorReporter.h"

namespace halcyra::soundtest {

// Keeps the text of every box ("MMSystem (164)\nMMIOERR_CHUNKNOTFOUND : 0x00000109").
class RecordingSoundReporter : public SoundErrorReporter {
 public:
  void Report(const MessageBoxRequest& box) override { texts.push_back(box.text); }
  std::vector<std::string> texts;
};

std::string Le16(std::uint32_t value);
std::string Le32(std::uint32_t value);
// id, little-endian length, body, and a pad byte after an odd body.
std::string Chunk(std::string_view id, std::string_view body);
// "RIFF", the length of what follows, "WAVE", then the chunks.
std::string Riff(std::string_view chunks);
// The fields of "fmt ": 16 bytes, or 18 plus the extra bytes when extra is given.
std::string FormatBody(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                       std::uint16_t bits, std::optional<std::string> extra = std::nullopt);
// A plain PCM WAVE: 16-byte "fmt ", optional "fact", "data".
std::string PcmWave(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                    std::string_view data, std::optional<std::uint32_t> fact = std::nullopt);

// An unscrambled indexed archive (as wav.dat) of the members, in order.
std::string IndexedArchive(const std::vector<std::pair<std::string, std::string>>& members);

std::string SampleBytes(const std::vector<std::int16_t>& samples);
std::vector<std::int16_t> SamplesOf(std::string_view bytes);

// A sine tone, interleaved, the same on every channel.
std::vector<std::int16_t> Tone(double frequency, double amplitude, std::size_t frames,
                               int sampleRate, int channels);

// Deterministic white noise within +-amplitude, interleaved; it does not compress, so its Vorbis
// stream spans many pages.
std::vector<std::int16_t> Noise(std::size_t frames, int channels, int amplitude);

// The Ogg Vorbis stream of samples (quality 0.4, fixed serial number).
std::vector<std::uint8_t> EncodeVorbis(const std::vector<std::int16_t>& samples, int channels,
                                       int sampleRate);
// The stream wrapped as Vorbis-in-WAVE with the given "fact".
std::string VorbisWave(const std::vector<std::uint8_t>& stream, int channels, int sampleRate,
                       std::uint32_t fact);
// What libvorbisfile gives for the stream, all of it.
std::vector<std::int16_t> DecodeVorbis(const std::vector<std::uint8_t>& stream);

}  // namespace halcyra::soundtest

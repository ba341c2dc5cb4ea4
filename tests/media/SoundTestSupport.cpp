#include "tests/media/SoundTestSupport.h"

#include <cmath>
#include <numbers>
#include <random>

#include "media/WaveWriter.h"
#include "platform/VorbisDecoder.h"
#include "platform/VorbisEncoder.h"

namespace halcyra::soundtest {

std::string Le16(std::uint32_t value) {
  return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

std::string Le32(std::uint32_t value) { return Le16(value & 0xFFFF) + Le16(value >> 16); }

std::string Chunk(std::string_view id, std::string_view body) {
  std::string chunk = std::string(id) + Le32(static_cast<std::uint32_t>(body.size()));
  chunk += body;
  if (body.size() % 2 != 0) chunk += '\0';
  return chunk;
}

std::string Riff(std::string_view chunks) {
  return "RIFF" + Le32(static_cast<std::uint32_t>(4 + chunks.size())) + "WAVE" +
         std::string(chunks);
}

std::string FormatBody(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                       std::uint16_t bits, std::optional<std::string> extra) {
  const std::uint32_t block = channels * bits / 8;
  std::string body =
      Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * block) + Le16(block) + Le16(bits);
  if (extra) body += Le16(static_cast<std::uint32_t>(extra->size())) + *extra;
  return body;
}

std::string PcmWave(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                    std::string_view data, std::optional<std::uint32_t> fact) {
  std::string chunks = Chunk("fmt ", FormatBody(1, channels, rate, bits));
  if (fact) chunks += Chunk("fact", Le32(*fact));
  chunks += Chunk("data", data);
  return Riff(chunks);
}

std::string IndexedArchive(const std::vector<std::pair<std::string, std::string>>& members) {
  std::string directory;
  std::string data;
  std::uint32_t offset = static_cast<std::uint32_t>(16 + 32 * members.size());
  for (const auto& [name, bytes] : members) {
    std::string field = name;
    field.resize(24, '\0');
    directory += Le32(offset) + Le32(static_cast<std::uint32_t>(bytes.size())) + field;
    data += bytes;
    offset += static_cast<std::uint32_t>(bytes.size());
  }
  return Le32(static_cast<std::uint32_t>(members.size())) + std::string(12, '\0') + directory +
         data;
}

std::string SampleBytes(const std::vector<std::int16_t>& samples) {
  std::string bytes;
  for (std::int16_t sample : samples) bytes += Le16(static_cast<std::uint16_t>(sample));
  return bytes;
}

std::vector<std::int16_t> SamplesOf(std::string_view bytes) {
  std::vector<std::int16_t> samples(bytes.size() / 2);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                           (static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8));
  }
  return samples;
}

std::vector<std::int16_t> Tone(double frequency, double amplitude, std::size_t frames,
                               int sampleRate, int channels) {
  std::vector<std::int16_t> samples;
  samples.reserve(frames * channels);
  for (std::size_t frame = 0; frame < frames; ++frame) {
    const double phase =
        2.0 * std::numbers::pi * frequency * static_cast<double>(frame) / sampleRate;
    const auto value = static_cast<std::int16_t>(std::lround(amplitude * std::sin(phase)));
    for (int channel = 0; channel < channels; ++channel) samples.push_back(value);
  }
  return samples;
}

std::vector<std::int16_t> Noise(std::size_t frames, int channels, int amplitude) {
  std::vector<std::int16_t> samples(frames * channels);
  std::mt19937 random(7);
  const auto span = static_cast<std::uint32_t>(2 * amplitude + 1);
  for (std::int16_t& sample : samples) {
    sample = static_cast<std::int16_t>(static_cast<int>(random() % span) - amplitude);
  }
  return samples;
}

std::vector<std::uint8_t> EncodeVorbis(const std::vector<std::int16_t>& samples, int channels,
                                       int sampleRate) {
  VorbisEncodeOptions options;
  options.channels = channels;
  options.sampleRate = sampleRate;
  std::vector<std::uint8_t> stream;
  std::string error;
  VorbisEncoder::Encode(samples.data(), samples.size() / channels, options, stream, error);
  return stream;
}

std::string VorbisWave(const std::vector<std::uint8_t>& stream, int channels, int sampleRate,
                       std::uint32_t fact) {
  const std::vector<std::uint8_t> wave = WaveWriter::Vorbis(channels, sampleRate, fact, stream);
  return std::string(wave.begin(), wave.end());
}

std::vector<std::int16_t> DecodeVorbis(const std::vector<std::uint8_t>& stream) {
  VorbisDecoder decoder;
  if (!decoder.Open(stream.data(), stream.size())) return {};
  std::vector<std::int16_t> samples(static_cast<std::size_t>(decoder.TotalFrames()) *
                                    decoder.Channels());
  std::size_t frames = 0;
  decoder.Decode(samples.data(), samples.size() / decoder.Channels(), frames);
  samples.resize(frames * decoder.Channels());
  return samples;
}

}  // namespace halcyra::soundtest

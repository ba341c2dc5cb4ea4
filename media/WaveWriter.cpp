#include "media/WaveWriter.h"

#include <string_view>

namespace halcyra {
namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

void PutId(std::vector<std::uint8_t>& out, std::string_view id) {
  out.insert(out.end(), id.begin(), id.end());
}

void PutChunk(std::vector<std::uint8_t>& out, std::string_view id, const std::uint8_t* body,
              std::size_t bytes) {
  PutId(out, id);
  Put32(out, static_cast<std::uint32_t>(bytes));
  out.insert(out.end(), body, body + bytes);
  if (bytes % 2 != 0) out.push_back(0);
}

std::vector<std::uint8_t> FormatBody(std::uint16_t tag, int channels, int sampleRate,
                                     std::uint32_t bytesPerSecond, std::uint16_t blockAlign,
                                     bool withExtraSize) {
  std::vector<std::uint8_t> body;
  Put16(body, tag);
  Put16(body, static_cast<std::uint32_t>(channels));
  Put32(body, static_cast<std::uint32_t>(sampleRate));
  Put32(body, bytesPerSecond);
  Put16(body, blockAlign);
  Put16(body, 16);
  if (withExtraSize) Put16(body, 0);
  return body;
}

// RIFF header around the chunks; the RIFF size counts everything after its size field.
std::vector<std::uint8_t> Riff(const std::vector<std::uint8_t>& chunks) {
  std::vector<std::uint8_t> file;
  PutId(file, "RIFF");
  Put32(file, static_cast<std::uint32_t>(4 + chunks.size()));
  PutId(file, "WAVE");
  file.insert(file.end(), chunks.begin(), chunks.end());
  return file;
}

}  // namespace

std::vector<std::uint8_t> WaveWriter::Pcm16(int channels, int sampleRate, const std::uint8_t* pcm,
                                            std::size_t pcmBytes) {
  const auto blockAlign = static_cast<std::uint16_t>(channels * 2);
  const std::vector<std::uint8_t> format =
      FormatBody(1, channels, sampleRate, static_cast<std::uint32_t>(sampleRate) * blockAlign,
                 blockAlign, false);
  std::vector<std::uint8_t> chunks;
  PutChunk(chunks, "fmt ", format.data(), format.size());
  PutChunk(chunks, "data", pcm, pcmBytes);
  return Riff(chunks);
}

std::vector<std::uint8_t> WaveWriter::Vorbis(int channels, int sampleRate, std::uint32_t frameCount,
                                             const std::vector<std::uint8_t>& oggStream,
                                             std::uint16_t formatTag) {
  // The average rate a player would show: the stream's bytes over its duration.
  const std::uint64_t bytesPerSecond =
      frameCount == 0 ? 0 : oggStream.size() * std::uint64_t(sampleRate) / frameCount;
  const std::vector<std::uint8_t> format = FormatBody(
      formatTag, channels, sampleRate, static_cast<std::uint32_t>(bytesPerSecond), 1, true);
  std::vector<std::uint8_t> fact;
  Put32(fact, frameCount);
  std::vector<std::uint8_t> chunks;
  PutChunk(chunks, "fmt ", format.data(), format.size());
  PutChunk(chunks, "fact", fact.data(), fact.size());
  PutChunk(chunks, "data", oggStream.data(), oggStream.size());
  return Riff(chunks);
}

}  // namespace halcyra

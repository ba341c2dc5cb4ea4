// RIFF WAVE files: opened as a loose file, format and "fact" read, "data" found and read in
// pieces to its end, then one byte more, which must be refused.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "media/CWave.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  halcyra::fuzz::EnterFuzzFolder();
  halcyra::fuzz::WriteFuzzFile("wav/fuzz.wav", data, size);
  halcyra::fuzz::DroppedErrors errors;
  halcyra::CWave wave(nullptr, errors);
  if (!wave.OpenWave("wav\\fuzz.wav")) return 0;
  halcyra::WaveFormat format;
  wave.ReadFormat(format);
  std::uint32_t dataSize = 0;
  if (!wave.GetDataSize(dataSize)) return 0;
  halcyra::fuzz::Require(dataSize <= size, "\"data\" lies inside the file");
  std::vector<std::uint8_t> piece(4093);
  std::uint32_t left = dataSize;
  while (left > 0) {
    const std::uint32_t bytes = std::min<std::uint32_t>(left, static_cast<std::uint32_t>(piece.size()));
    halcyra::fuzz::Require(wave.ReadData(piece.data(), bytes), "\"data\" reads to its end");
    left -= bytes;
  }
  halcyra::fuzz::Require(!wave.ReadData(piece.data(), 1), "no byte past \"data\" is read");
  return 0;
}

// The LZSS decoder over any stream: the first two bytes give the destination's length (0 to
// 65535), the rest is the stream. The destination is exactly that long, so a write past it is
// caught.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "resource/Lzss.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t length = data[0] | (std::size_t{data[1]} << 8);
  std::vector<std::uint8_t> source(data + 2, data + size);
  std::vector<std::uint8_t> destination(length);
  const std::size_t written =
      halcyra::LzssDecode(destination.data(), destination.size(), source.data(), source.size());
  halcyra::fuzz::Require(written <= length, "LzssDecode writes at most the destination's length");
  // A literal gives one byte per stream byte, a two-byte match at most 18: nine per byte at most.
  halcyra::fuzz::Require(written <= source.size() * 9, "LzssDecode writes only what items give");
  return 0;
}

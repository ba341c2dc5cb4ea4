// BMP pictures: headers checked, then the pixels decoded into a buffer of exactly the size the
// header gives.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "graphics/BmpReader.h"

namespace {

// Pixels of the biggest picture the target allocates; bigger ones are only checked.
constexpr std::int64_t kMaxPixels = std::int64_t{1} << 22;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);
  halcyra::BmpReader reader(std::span<const std::uint8_t>(bytes.data(), bytes.size()));
  if (!reader.ReadHeader()) {
    halcyra::fuzz::Require(reader.GetFault() != halcyra::BmpReader::Fault::kNone,
                           "a refused header names its fault");
    return 0;
  }
  const std::int64_t pixels = std::int64_t{reader.Width()} * reader.Height();
  if (reader.Width() < 1 || reader.Height() < 1 || pixels > kMaxPixels) return 0;
  std::vector<std::uint32_t> out(static_cast<std::size_t>(pixels));
  if (!reader.Decode(out.data())) {
    halcyra::fuzz::Require(reader.GetFault() != halcyra::BmpReader::Fault::kNone,
                           "a failed decode names its fault");
  }
  return 0;
}

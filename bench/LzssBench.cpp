// Throughput of LzssDecode on a picture-like member: an 800 x 600 32-bit image of smooth
// gradients with sparse noise, compressed by the tool's encoder.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "resource/Lzss.h"
#include "resource/LzssEncoder.h"

namespace halcyra {
namespace {

std::vector<std::uint8_t> PictureLikePixels() {
  constexpr int kWidth = 800;
  constexpr int kHeight = 600;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth) * kHeight * 4);
  std::mt19937 random(2024);
  std::size_t at = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const bool speck = random() % 16 == 0;
      const int noise = speck ? static_cast<int>(random() % 9) - 4 : 0;
      pixels[at++] = static_cast<std::uint8_t>((x * 255 / kWidth + noise) & 0xFF);   // blue
      pixels[at++] = static_cast<std::uint8_t>((y * 255 / kHeight + noise) & 0xFF);  // green
      pixels[at++] = static_cast<std::uint8_t>(((x + y) / 8) & 0xFF);                // red
      pixels[at++] = 0xFF;                                                            // alpha
    }
  }
  return pixels;
}

void BM_LzssDecodePicture(benchmark::State& state) {
  const std::vector<std::uint8_t> pixels = PictureLikePixels();
  const std::vector<std::uint8_t> stream = LzssEncode(pixels.data(), pixels.size());
  std::vector<std::uint8_t> out(pixels.size());
  for (auto _ : state) {
    const std::size_t written = LzssDecode(out.data(), out.size(), stream.data(), stream.size());
    benchmark::DoNotOptimize(written);
    benchmark::ClobberMemory();
  }
  if (out != pixels) state.SkipWithError("decoded bytes differ from the picture");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(out.size()));
  state.counters["ratio"] = static_cast<double>(stream.size()) / static_cast<double>(pixels.size());
}
BENCHMARK(BM_LzssDecodePicture)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace halcyra

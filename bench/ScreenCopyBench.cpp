#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "app/ScreenCopy.h"

namespace {

void BM_CopyBackBufferToWindow(benchmark::State& state) {
  const int zoom = static_cast<int>(state.range(0));
  std::vector<std::uint32_t> back(halcyra::kScreenWidth * halcyra::kScreenHeight, 0xFF336699u);
  std::vector<std::uint32_t> window(back.size());
  for (auto _ : state) {
    halcyra::CopyBackBufferToWindow(back.data(), 0, 0, zoom, window.data());
    benchmark::DoNotOptimize(window.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(zoom > 16 ? "zoomed" : "one to one");
}
BENCHMARK(BM_CopyBackBufferToWindow)->Arg(0)->Arg(128);

}  // namespace

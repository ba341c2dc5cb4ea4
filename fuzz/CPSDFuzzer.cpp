// Photoshop documents: the header and sections checked, then every frame decoded into a cleared
// frame of the document's size, as a sprite does.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "graphics/CPSD.h"

namespace {

// The frames decoded per document; larger documents are decoded only in their first frames.
constexpr int kMaxFrames = 8;
// Pixels of the biggest frame the target allocates; bigger documents are only checked, so that
// one input cannot exhaust the run's memory.
constexpr std::int64_t kMaxFramePixels = std::int64_t{1} << 22;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  halcyra::fuzz::DroppedErrors errors;
  halcyra::GraphicsContext context;
  context.errors = &errors;
  halcyra::CPSD psd(context);
  if (!psd.LoadData(std::vector<std::uint8_t>(data, data + size), "cg\\fuzz.psd")) return 0;
  const int width = psd.GetWidth();
  const int height = psd.GetHeight();
  halcyra::fuzz::Require(width >= 0 && height >= 0, "a document's size is never negative");
  halcyra::fuzz::Require(psd.GetLayerCount() >= 1, "a loaded document has a frame");
  // An empty document gives no surface to decode into (the surface refuses to be made).
  if (width == 0 || height == 0 || std::int64_t{width} * height > kMaxFramePixels) return 0;
  std::vector<std::uint32_t> frame(static_cast<std::size_t>(width) * height);
  for (int layer = 0; layer < psd.GetLayerCount() && layer < kMaxFrames; ++layer) {
    std::fill(frame.begin(), frame.end(), 0u);
    bool alpha = false;
    psd.DecodeLayer(frame.data(), layer, width * 4, alpha);
  }
  return 0;
}

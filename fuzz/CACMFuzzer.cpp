// Sound decoding, PCM and Vorbis-in-WAVE: the first byte chooses the rate mode of CopyOut (bits 0
// and 1) and whether the sound is streamed in chunks (bit 2) instead of converted whole; the rest
// is the WAVE file.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "media/CACM.h"
#include "media/CVorbis.h"

namespace {

using halcyra::CACM;
using halcyra::fuzz::Require;

// Decoded bytes the target lets one input ask for; longer sounds are only checked.
constexpr std::uint32_t kMaxDecodedBytes = 8u << 20;

void ConvertWhole(CACM& acm, int rateMode) {
  std::uint32_t length = 0;
  if (!acm.ConvertAll(length)) return;
  // Converted whole, PCM gives all of "data", whatever "fact" says; only streaming keeps to it.
  Require(length <= CACM::kMaxPcmBytes, "a converted sound fits a channel buffer");
  std::uint32_t copied = rateMode == CACM::kRateNormal ? length : length / 2;
  copied -= copied % 4;  // whole frames of 16-bit stereo or two of mono
  std::vector<std::uint8_t> destination(copied);
  acm.CopyOut(destination.data(), copied, rateMode);
}

void Stream(CACM& acm) {
  const std::uint32_t total = acm.GetTotalLength();
  if (total == 0 || total > kMaxDecodedBytes) return;
  if (!acm.ReadSource() || !acm.PrepareChunks(CACM::kStreamChunkBytes) || !acm.OpenChunks()) {
    return;
  }
  std::vector<std::uint8_t> destination(total);
  std::uint32_t offset = 0;
  for (;;) {
    std::uint32_t length = 0;
    if (!acm.DecodeChunk(destination.data(), offset, length) || length == 0) break;
    Require(length <= total - offset, "a chunk never runs past the total length");
    offset += length;
  }
  acm.CloseChunks();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  halcyra::fuzz::EnterFuzzFolder();
  halcyra::fuzz::WriteFuzzFile("wav/fuzz.wav", data + 1, size - 1);
  halcyra::fuzz::DroppedErrors errors;
  halcyra::CVorbis vorbis;
  vorbis.LoadDriver();
  CACM acm(nullptr, vorbis, errors);
  if (!acm.OpenFile("wav\\fuzz.wav")) return 0;
  halcyra::WaveFormat target;
  if (!acm.GetPcmFormat(target)) return 0;
  Require(target.channels >= 1 && target.channels <= 2, "the target is mono or stereo");
  Require(acm.GetTotalLength() <= CACM::kMaxPcmBytes, "the total length fits a channel buffer");
  if ((data[0] & 4) != 0) {
    Stream(acm);
  } else if (acm.GetTotalLength() <= kMaxDecodedBytes) {
    ConvertWhole(acm, data[0] & 3);
  }
  return 0;
}

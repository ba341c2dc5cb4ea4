// Stored picture members into plain picture bytes: the first byte's bit 0 says whether the
// member comes from a scrambled archive; the rest is the member.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "resource/PictureMember.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  std::vector<std::uint8_t> bytes(data + 1, data + size);
  if (halcyra::DecodePicture(bytes, (data[0] & 1) != 0)) {
    halcyra::fuzz::Require(bytes.size() <= halcyra::kMaxPictureLength,
                           "a decoded picture is at most kMaxPictureLength bytes");
  }
  return 0;
}

// Stored picture members into plain picture bytes: the first byte's bit 0 says whether the
// member comes from a scrambled archive; the rest is the member.
//
// A member may declare up to 256 MiB in four bytes; the target skips members declaring more than
// a few megabytes, so that its time goes to the stream rather than to clearing memory.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "resource/PictureMember.h"
#include "resource/ScrambleKey.h"

namespace {

constexpr std::uint32_t kMaxDeclaredLength = 4u << 20;

// True for a compressed member whose length field asks for more than the target allows.
bool DeclaresTooMuch(const std::uint8_t* member, std::size_t size, bool scrambled) {
  std::array<std::uint8_t, 4> field{};
  std::copy_n(member, std::min(size, field.size()), field.begin());
  if (scrambled) halcyra::Scramble(field.data(), field.size(), 0);
  const bool plain = (field[0] == 'B' && field[1] == 'M') ||
                     (field[0] == '8' && field[1] == 'B' && field[2] == 'P' && field[3] == 'S');
  const std::uint32_t length = std::uint32_t{field[0]} | (std::uint32_t{field[1]} << 8) |
                               (std::uint32_t{field[2]} << 16) | (std::uint32_t{field[3]} << 24);
  return !plain && length > kMaxDeclaredLength;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool scrambled = (data[0] & 1) != 0;
  if (DeclaresTooMuch(data + 1, size - 1, scrambled)) return 0;
  std::vector<std::uint8_t> bytes(data + 1, data + size);
  if (halcyra::DecodePicture(bytes, scrambled)) {
    halcyra::fuzz::Require(bytes.size() <= halcyra::kMaxPictureLength,
                           "a decoded picture is at most kMaxPictureLength bytes");
  }
  return 0;
}

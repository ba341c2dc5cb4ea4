#include "tools/halcyra-tool/PictureEncoder.h"

#include <algorithm>
#include <cstring>

#include "resource/CArcFile.h"
#include "resource/LzssEncoder.h"
#include "resource/PictureMember.h"
#include "resource/ScrambleKey.h"

namespace halcyra {
namespace {

bool EndsWithIgnoringCase(std::string_view name, std::string_view suffix) {
  return name.size() >= suffix.size() &&
         CArcFile::SameMemberName(name.substr(name.size() - suffix.size()), suffix);
}

bool StartsWith(const std::vector<std::uint8_t>& bytes, std::string_view signature) {
  return bytes.size() >= signature.size() &&
         std::memcmp(bytes.data(), signature.data(), signature.size()) == 0;
}

void AppendLittleEndian32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) {
    bytes.push_back(static_cast<std::uint8_t>(value >> shift));
  }
}

}  // namespace

bool IsPictureName(std::string_view name) {
  return EndsWithIgnoringCase(name, ".bmp") || EndsWithIgnoringCase(name, ".psd");
}

bool EncodePicture(const std::vector<std::uint8_t>& plain, bool scramble,
                   std::vector<std::uint8_t>& stored, std::string& error) {
  if (plain.size() > kMaxPictureLength) {
    error = "larger than the 256 MiB a picture member may hold";
    return false;
  }
  const auto length = static_cast<std::uint32_t>(plain.size());
  // The engine takes data starting with "BM" as a plain picture, so a length whose low bytes
  // spell "BM" (0x4D42) cannot introduce a stream; "8BPS" would need more than 256 MiB.
  const bool lengthReadsAsSignature = (length & 0xFFFF) == 0x4D42;
  if (lengthReadsAsSignature) {
    if (!StartsWith(plain, "BM") && !StartsWith(plain, "8BPS")) {
      error = "its length collides with the BMP signature and it is not a BMP or PSD picture";
      return false;
    }
    stored = plain;
  } else {
    const std::vector<std::uint8_t> stream = LzssEncode(plain.data(), plain.size());
    stored.clear();
    stored.reserve(4 + stream.size());
    AppendLittleEndian32(stored, length);
    stored.insert(stored.end(), stream.begin(), stream.end());
  }
  if (scramble) Scramble(stored.data(), std::min(stored.size(), kPictureScrambledPrefix), 0);
  return true;
}

}  // namespace halcyra

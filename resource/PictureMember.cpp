#include "resource/PictureMember.h"

#include <algorithm>
#include <cstring>

#include "resource/CArcFile.h"
#include "resource/CFile.h"
#include "resource/Lzss.h"
#include "resource/ScrambleKey.h"

namespace halcyra {
namespace {

constexpr std::size_t kLengthFieldSize = 4;

bool StartsWith(const std::vector<std::uint8_t>& bytes, std::string_view signature) {
  return bytes.size() >= signature.size() &&
         std::memcmp(bytes.data(), signature.data(), signature.size()) == 0;
}

bool IsPlainPicture(const std::vector<std::uint8_t>& bytes) {
  return StartsWith(bytes, "BM") || StartsWith(bytes, "8BPS");
}

bool ReadWholeFile(CFile& file, std::vector<std::uint8_t>& out) {
  const std::uint64_t size = file.GetSize();
  if (size > kMaxPictureLength) return false;
  out.resize(static_cast<std::size_t>(size));
  return file.Read(out.data(), out.size()) == out.size();
}

bool ReadArchiveMember(std::string_view gamePath, CArcFile& pictures,
                       std::vector<std::uint8_t>& out) {
  if (!pictures.Find(gamePath)) return false;
  out.resize(pictures.GetSize());
  return pictures.Read(out.data(), out.size()) == out.size();
}

}  // namespace

bool DecodePicture(std::vector<std::uint8_t>& bytes, bool headerScrambled) {
  if (headerScrambled) Scramble(bytes.data(), std::min(bytes.size(), kPictureScrambledPrefix), 0);
  if (IsPlainPicture(bytes)) return true;
  if (bytes.size() < kLengthFieldSize) return false;
  const std::uint32_t length = std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) |
                               (std::uint32_t{bytes[2]} << 16) | (std::uint32_t{bytes[3]} << 24);
  if (length > kMaxPictureLength) return false;
  std::vector<std::uint8_t> picture(length);
  LzssDecode(picture.data(), picture.size(), bytes.data() + kLengthFieldSize,
             bytes.size() - kLengthFieldSize);
  bytes = std::move(picture);
  return true;
}

bool LoadPicture(std::string_view gamePath, CArcFile& pictures, std::vector<std::uint8_t>& out) {
  CFile loose;
  if (loose.Open(gamePath, FileAccess::kRead)) {
    return ReadWholeFile(loose, out) && DecodePicture(out, false);
  }
  return ReadArchiveMember(gamePath, pictures, out) && DecodePicture(out, true);
}

}  // namespace halcyra

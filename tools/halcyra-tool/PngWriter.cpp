#include "tools/halcyra-tool/PngWriter.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>
#include <vector>

namespace halcyra {
namespace {

constexpr std::size_t kMaxStoredBlock = 65535;

std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

std::uint32_t Crc32(const std::vector<std::uint8_t>& bytes, std::size_t from) {
  static const std::array<std::uint32_t, 256> table = MakeCrcTable();
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = from; i < bytes.size(); ++i) c = table[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(const std::vector<std::uint8_t>& bytes) {
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (std::uint8_t byte : bytes) {
    a = (a + byte) % 65521u;
    b = (b + a) % 65521u;
  }
  return (b << 16) | a;
}

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, std::string_view type,
              const std::vector<std::uint8_t>& data) {
  PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeStart = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  PutBigEndian(out, Crc32(out, typeStart));
}

// The zlib stream of the image rows: stored (uncompressed) deflate blocks.
std::vector<std::uint8_t> StoredZlibStream(const std::vector<std::uint8_t>& raw) {
  std::vector<std::uint8_t> stream{0x78, 0x01};
  std::size_t offset = 0;
  do {
    const std::size_t length = std::min(kMaxStoredBlock, raw.size() - offset);
    const bool last = offset + length == raw.size();
    stream.push_back(last ? 1 : 0);
    stream.push_back(static_cast<std::uint8_t>(length));
    stream.push_back(static_cast<std::uint8_t>(length >> 8));
    stream.push_back(static_cast<std::uint8_t>(~length));
    stream.push_back(static_cast<std::uint8_t>(~length >> 8));
    stream.insert(stream.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
                  raw.begin() + static_cast<std::ptrdiff_t>(offset + length));
    offset += length;
  } while (offset < raw.size());
  PutBigEndian(stream, Adler32(raw));
  return stream;
}

}  // namespace

bool WritePng(const std::string& hostPath, const std::uint32_t* pixels, int width, int height,
              bool opaque) {
  std::vector<std::uint8_t> raw;
  raw.reserve(static_cast<std::size_t>(height) * (static_cast<std::size_t>(width) * 4 + 1));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // filter: none
    for (int x = 0; x < width; ++x) {
      const std::uint32_t pixel = pixels[static_cast<std::size_t>(y) * width + x];
      raw.push_back(static_cast<std::uint8_t>(pixel >> 16));
      raw.push_back(static_cast<std::uint8_t>(pixel >> 8));
      raw.push_back(static_cast<std::uint8_t>(pixel));
      raw.push_back(opaque ? 0xFF : static_cast<std::uint8_t>(pixel >> 24));
    }
  }
  std::vector<std::uint8_t> header;
  PutBigEndian(header, static_cast<std::uint32_t>(width));
  PutBigEndian(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
  std::vector<std::uint8_t> file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(file, "IHDR", header);
  PutChunk(file, "IDAT", StoredZlibStream(raw));
  PutChunk(file, "IEND", {});
  std::FILE* out = std::fopen(hostPath.c_str(), "wb");
  if (out == nullptr) return false;
  const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  return std::fclose(out) == 0 && written;
}

}  // namespace halcyra

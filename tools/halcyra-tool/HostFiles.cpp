#include "tools/halcyra-tool/HostFiles.h"

#include <cstdio>
#include <system_error>

namespace halcyra {

bool ReadHostFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return false;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  bytes.resize(static_cast<std::size_t>(size));
  const bool read =
      bytes.empty() || std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  std::fclose(file);
  return read;
}

bool WriteHostFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written =
      bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace halcyra

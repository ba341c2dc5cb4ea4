#include "fuzz/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace halcyra::fuzz {

namespace {

std::filesystem::path& FuzzFolder() {
  static std::filesystem::path folder;
  return folder;
}

void RemoveFuzzFolder() {
  std::error_code error;
  std::filesystem::remove_all(FuzzFolder(), error);
}

}  // namespace

void EnterFuzzFolder() {
  if (!FuzzFolder().empty()) return;
  std::error_code error;
  std::string pattern = std::filesystem::temp_directory_path(error) / "halcyra-fuzz-XXXXXX";
  if (error || mkdtemp(pattern.data()) == nullptr) {
    std::perror("halcyra fuzz: cannot make a temporary folder");
    std::abort();
  }
  FuzzFolder() = pattern;
  std::atexit(RemoveFuzzFolder);
  std::filesystem::current_path(pattern, error);
  if (error) std::abort();
}

void WriteFuzzFile(std::string_view relativePath, const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path path{relativePath};
  std::error_code error;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), error);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  if (error || !out) {
    std::fprintf(stderr, "halcyra fuzz: cannot write %s\n", path.c_str());
    std::abort();
  }
}

void Require(bool holds, const char* promise) {
  if (holds) return;
  std::fprintf(stderr, "halcyra fuzz: broken promise: %s\n", promise);
  std::abort();
}

}  // namespace halcyra::fuzz

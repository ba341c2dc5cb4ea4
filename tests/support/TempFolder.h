// A fresh folder under the system's temporary folder for one test, removed with everything in
// it when the test ends.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace halcyra::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string File(std::string_view relative) const { return (path_ / relative).string(); }
  // Writes bytes to a file under the folder, creating its parent folders.
  void Write(std::string_view relative, std::string_view bytes) const;
  std::string Read(std::string_view relative) const;
  bool Exists(std::string_view relative) const;

 private:
  std::filesystem::path path_;
};

}  // namespace halcyra::testing

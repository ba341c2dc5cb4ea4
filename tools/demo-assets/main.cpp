// halcyra-demo-assets SOUNDDIR PICTUREDIR: makes the sounds and pictures of the demo game.
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/FileSystem.h"
#include "tools/demo-assets/DemoAssets.h"

namespace halcyra::demo {

bool WriteAsset(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  if (!WriteFileAtomically(path.string(), std::string(bytes.begin(), bytes.end()))) {
    std::fprintf(stderr, "halcyra-demo-assets: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

}  // namespace halcyra::demo

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: halcyra-demo-assets SOUNDDIR PICTUREDIR\n");
    return 1;
  }
  const std::filesystem::path sounds = argv[1];
  const std::filesystem::path pictures = argv[2];
  std::error_code error;
  std::filesystem::create_directories(sounds, error);
  std::filesystem::create_directories(pictures, error);
  const bool made = halcyra::demo::MakeSounds(sounds) && halcyra::demo::MakePictures(pictures);
  return made ? 0 : 1;
}

// The demo game's pictures. Each scene family adds its own maker here.
#include "tools/demo-assets/DemoAssets.h"

namespace halcyra::demo {

bool MakePictures(const std::filesystem::path& out) {
  return MakeWindowPictures(out) && MakeScenePictures(out) && MakeEffectPictures(out);
}

}  // namespace halcyra::demo

#include "media/PlatformSoundErrorReporter.h"

namespace halcyra {

void PlatformSoundErrorReporter::Report(const MessageBoxRequest& box) {
  platform_.ShowMessageBox(box);
}

}  // namespace halcyra

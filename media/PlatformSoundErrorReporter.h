// Shows the sound classes' error boxes as the platform's message boxes, on the engine thread.
#pragma once

#include "media/SoundErrorReporter.h"
#include "platform/Platform.h"

namespace halcyra {

class PlatformSoundErrorReporter : public SoundErrorReporter {
 public:
  // platform is borrowed and must outlive the reporter.
  explicit PlatformSoundErrorReporter(Platform& platform) : platform_(platform) {}
  void Report(const MessageBoxRequest& box) override;

 private:
  Platform& platform_;
};

}  // namespace halcyra

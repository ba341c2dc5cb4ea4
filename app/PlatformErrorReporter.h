// Shows the faults of pictures, devices and sounds to the player as message boxes: the
// "System Error" box for data files and devices, and the sound layer's own boxes.
#pragma once

#include "graphics/ErrorReporter.h"
#include "media/SoundErrorReporter.h"

namespace halcyra {

class Platform;

class PlatformErrorReporter : public ErrorReporter, public SoundErrorReporter {
 public:
  explicit PlatformErrorReporter(Platform& platform) : platform_(platform) {}

  // "%s (%d)\n%s %s": the source without its folder, the number, the message and the detail
  // (at most 255 bytes), captioned "System Error", not tied to the game window.
  void SystemError(std::string_view source, int number, std::string_view message,
                   std::string_view detail) override;
  void ErrorBox(std::string_view caption, std::string_view text) override;
  void Report(const MessageBoxRequest& box) override;

 private:
  Platform& platform_;
};

}  // namespace halcyra

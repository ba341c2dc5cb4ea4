// Where the sound classes send their error boxes ("MMSystem Error" for files and decoding,
// "DirectSound Error" for the device and its buffers). The game shows them as message boxes
// (PlatformErrorReporter); tests and the tool record or print them.
//
// Threading: called on the engine thread only, never from the audio callback.
#pragma once

#include "platform/Platform.h"

namespace halcyra {

class SoundErrorReporter {
 public:
  virtual ~SoundErrorReporter() = default;
  // box is complete (Shift-JIS text and caption, one OK button); the call returns once it was
  // shown or recorded.
  virtual void Report(const MessageBoxRequest& box) = 0;
};

}  // namespace halcyra

// What the player pressed, as two bit sets: held (down now) and latched (pressed since a
// consumer last cleared the latches). Key, mouse and menu handlers only set bits; the running
// statement reads them at its next poll.
#pragma once

#include <cstdint>

namespace halcyra {

enum InputBit : std::uint32_t {
  kInputUp = 1,
  kInputDown = 2,
  kInputLeft = 4,
  kInputRight = 8,
  kInputAdvance = 16,        // left button, Enter, Space
  kInputCancel = 32,         // right button, Escape
  kInputSkip = 64,           // Ctrl held
  kInputMiddle = 128,        // middle button; Home in debug mode
  kInputWheelUp = 256,       // also Page Up in debug mode
  kInputWheelDown = 512,     // also Page Down in debug mode
  kInputLoadKey = 1024,      // F1 (debug)
  kInputSaveKey = 2048,      // F2 (debug)
  kInputQuickLoadKey = 4096,       // Shift+F1 (debug)
  kInputQuickSaveKey = 8192,       // Shift+F2 (debug)
  kInputNextChoiceKey = 16384,     // Shift+Down (debug)
  kInputPreviousChoiceKey = 32768, // Shift+Up (debug)
  kInputRestartKey = 65536,        // End (debug)
  kInputLeftButton = 131072,       // left button, held only (dragging the message window)
};

class InputState {
 public:
  // held |= bits; with latch, latched |= bits too.
  void SetInput(std::uint32_t bits, bool latch) {
    held_ |= bits;
    if (latch) latched_ |= bits;
  }
  // With all, every latch is cleared (held bits stay); otherwise the held bits are cleared.
  void ClearInput(std::uint32_t bits, bool all) {
    if (all) {
      latched_ = 0;
    } else {
      held_ &= ~bits;
    }
  }
  // Clears particular latches, as the screens do when they consume one input.
  void ClearLatched(std::uint32_t bits) { latched_ &= ~bits; }
  bool IsHeld(std::uint32_t bits) const { return (held_ & bits) != 0; }
  bool IsLatched(std::uint32_t bits) const { return (latched_ & bits) != 0; }
  std::uint32_t Held() const { return held_; }
  std::uint32_t Latched() const { return latched_; }

 private:
  std::uint32_t held_ = 0;
  std::uint32_t latched_ = 0;
};

}  // namespace halcyra

// The engine's one door to the operating system: the game window, input events, the clock,
// message boxes, display modes and the presentation of a finished frame.
//
// Two backends implement it: SdlPlatform (a real window) and HeadlessPlatform (virtual clock,
// scripted input, captured frames). Engine code never includes a backend's header except where
// it chooses one (program entry, the tool, tests).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PopupMenu.h"

namespace halcyra {

class AudioDevice;

class AcceleratedRenderer;

// Key codes follow the classic virtual-key numbering so that key handlers read naturally.
enum Key : int {
  kKeyNone = 0,
  kKeyEnter = 0x0D,
  kKeyShift = 0x10,
  kKeyCtrl = 0x11,
  kKeyAlt = 0x12,
  kKeyEscape = 0x1B,
  kKeySpace = 0x20,
  kKeyPageUp = 0x21,
  kKeyPageDown = 0x22,
  kKeyEnd = 0x23,
  kKeyHome = 0x24,
  kKeyLeft = 0x25,
  kKeyUp = 0x26,
  kKeyRight = 0x27,
  kKeyDown = 0x28,
  kKeyA = 0x41,  // letters A..Z are 0x41..0x5A
  kKeyZ = 0x5A,
  kKeyF1 = 0x70,
  kKeyF2 = 0x71,
};

enum class MouseButton { kLeft, kRight, kMiddle };

// Receives the window's events while PumpEvents runs. Coordinates are client pixels.
class PlatformEvents {
 public:
  virtual ~PlatformEvents() = default;
  virtual void OnKey(int key, bool down, bool shift, bool alt) = 0;
  virtual void OnMouseButton(MouseButton button, bool down, int x, int y) = 0;
  virtual void OnMouseMove(int x, int y) = 0;
  virtual void OnWheel(bool up) = 0;
  virtual void OnActivate(bool active) = 0;
  // The player asked to close the window (title-bar button, window manager, Alt+F4).
  virtual void OnCloseRequest() = 0;
  // The window needs its contents drawn again (exposed, restored).
  virtual void OnPaint() = 0;
  // The accelerated renderer lost its textures (a driver reset, a display change): everything
  // drawn through it must be uploaded again.
  virtual void OnRenderReset() {}
};

struct DisplayMode {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  int refreshRate = 0;  // Hz, 0 when unknown
  std::uint32_t flags = 0;
};

enum class MessageBoxButtons { kOk, kYesNo };
enum class MessageBoxIcon { kNone, kError, kQuestion, kInformation, kWarning };
enum class MessageBoxResult { kOk, kYes, kNo };

// Texts are Shift-JIS bytes, as the engine holds them; backends convert at the edge.
struct MessageBoxRequest {
  std::string text;
  std::string caption;
  MessageBoxButtons buttons = MessageBoxButtons::kOk;
  MessageBoxIcon icon = MessageBoxIcon::kNone;
  bool defaultIsNo = false;   // for kYesNo: No is the default button
  bool ownedByWindow = true;  // false: shown above every window, not tied to the game's
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Window. OpenWindow creates the window hidden-to-shown at the given client size,
  // centred on the desktop; false when no window can be made.
  virtual bool OpenWindow(int clientWidth, int clientHeight) = 0;
  virtual void SetCaption(std::string_view shiftJisCaption) = 0;
  // Full screen at the given mode (the client area covers the screen's top-left corner),
  // or back to a centred window at the desktop mode. Failures are ignored, as callers do.
  virtual void SetFullScreen(bool fullScreen, const DisplayMode* mode) = 0;
  virtual bool IsActive() const = 0;
  virtual void BringToFront() = 0;
  // Takes the window down; later presentations are dropped.
  virtual void CloseWindow() = 0;

  // Display modes of the screen the window lives on.
  virtual DisplayMode DesktopMode() const = 0;
  virtual std::vector<DisplayMode> DisplayModes() const = 0;

  // Delivers every pending event to the sink, in arrival order, and returns.
  virtual void PumpEvents(PlatformEvents& sink) = 0;
  // Called by the engine each time it starts waiting for the player (a key wait or a choice),
  // so that scripted input can answer exactly there.
  virtual void WaitingForInput() = 0;
  // The process is asked to end without questions (signal, or a headless run's budget spent).
  virtual bool QuitRequested() const = 0;

  // Clock: milliseconds since an arbitrary start, wrapping at 2^32; Sleep blocks (or, headless,
  // advances the virtual clock).
  virtual std::uint32_t Ticks() const = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;

  // The sound output of this platform; owned by the platform, opened by the sound device.
  virtual AudioDevice& Audio() = 0;

  // Shows a modal box and returns the button pressed.
  virtual MessageBoxResult ShowMessageBox(const MessageBoxRequest& request) = 0;

  // Shows a popup menu modally with its top-left corner at the client point (x, y) and returns
  // the id of the item the player chose, or nothing when the menu was dismissed. The game
  // stands still meanwhile: no event reaches the game, except that the sink may be asked to
  // paint (OnPaint) the screen the menu is drawn over.
  virtual std::optional<int> ShowPopupMenu(const PopupMenuModel& menu, int x, int y,
                                           PlatformEvents& sink) = 0;

  // Shows one finished 32-bit frame (0xAARRGGBB, rows top to bottom) in the window's client area.
  // pitch is in pixels. The pixels are copied before the call returns.
  virtual void PresentFrame(const std::uint32_t* pixels, int width, int height, int pitch) = 0;

  // The accelerated renderer of the open window, owned by the platform until the window closes;
  // null when there is none worth using (then frames are composed in software).
  virtual AcceleratedRenderer* Accelerated() { return nullptr; }
};

}  // namespace halcyra

// What the engine object needs from the main window while a statement runs: message
// processing, the closing state, activity and the mouse position.
#pragma once

namespace halcyra {

class ScriptHost {
 public:
  virtual ~ScriptHost() = default;
  // Runs the window's pending event handlers (keys, mouse, menus, close requests).
  virtual void ProcessMessages() = 0;
  virtual bool IsClosing() const = 0;
  // The window is active, or the game is set to keep running while inactive.
  virtual bool IsRunningActive() const = 0;
  virtual int MouseX() const = 0;
  virtual int MouseY() const = 0;
  // The player asked to return to the title screen.
  virtual bool TitleRequested() const = 0;
  // The Ctrl key is down (it skips while held).
  virtual bool IsCtrlDown() const = 0;
  // Makes the game fonts again with the text-size font for a stored text size code (`moji`
  // value minus 1: 1 gives 36 pixels, 3 48, 5 60, 8 72, anything else 24).
  virtual void SetTextSize(int code) = 0;
};

}  // namespace halcyra

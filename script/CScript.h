// The engine object: loads a scenario script and runs it one statement per Tick, with the
// waiting primitives Poll and Present that every statement uses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace halcyra {

class CArcFile;
class CDIB;
class Platform;
class ScriptHost;

class CScript {
 public:
  CScript(Platform& platform, ScriptHost& host, CDIB& display, CArcFile& scripts);

  // Loads a script by game path ("scr\\open.scr"): the loose file first, then the script
  // archive by file name. False when neither holds it or it cannot be read.
  bool LoadScript(std::string_view path, bool scenarioMode);

  // Runs one statement; false ends this engine object's run.
  bool Tick();
  // Processes window messages; false when the main window is closing.
  bool Poll();
  // Draws and shows one frame (or, while the window is inactive, sleeps instead).
  bool Present();

  void RequestRedraw() { redrawRequest_ = true; }
  void SetFastForward(bool on) { fastForward_ = on; }
  bool IsFastForward() const { return fastForward_; }
  const std::string& ScriptPath() const { return scriptPath_; }
  int MouseX() const { return mouseX_; }
  int MouseY() const { return mouseY_; }
  // Frames per second in tenths, measured over windows of at least one second.
  int FrameRate() const { return frameRate_; }

 private:
  void UpdateFrameRate();

  Platform& platform_;
  ScriptHost& host_;
  CDIB& display_;
  CArcFile& scripts_;
  std::vector<char> buffer_;
  std::string scriptPath_;
  bool scenarioMode_ = true;
  bool redrawRequest_ = false;
  bool fastForward_ = false;
  int mouseX_ = -1;
  int mouseY_ = -1;
  std::uint32_t frameCounter_ = 0;
  std::uint32_t lastRateTime_ = 0;
  int frameRate_ = 0;
};

}  // namespace halcyra

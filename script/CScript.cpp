#include "script/CScript.h"

#include "graphics/CDIB.h"
#include "platform/FileSystem.h"
#include "platform/Platform.h"
#include "resource/CArcFile.h"
#include "script/ScriptHost.h"

namespace halcyra {

namespace {
constexpr std::uint32_t kRateWindow = 1000;      // ms over which the frame rate is measured
constexpr std::uint32_t kInactiveSleep = 100;    // ms slept per pass while inactive
}  // namespace

CScript::CScript(Platform& platform, ScriptHost& host, CDIB& display, CArcFile& scripts)
    : platform_(platform), host_(host), display_(display), scripts_(scripts) {}

bool CScript::LoadScript(std::string_view path, bool scenarioMode) {
  std::string loose;
  std::vector<char> contents;
  if (ReadWholeFile(HostPath(path), loose)) {
    contents.assign(loose.begin(), loose.end());
  } else {
    if (!scripts_.Find(path)) return false;
    contents.resize(scripts_.GetSize());
    if (scripts_.Read(contents.data(), contents.size()) != contents.size()) {
      return false;
    }
  }
  buffer_ = std::move(contents);
  scriptPath_ = std::string(path);
  scenarioMode_ = scenarioMode;
  return true;
}

bool CScript::Tick() {
  // Statements arrive with the interpreter; until then a tick is one frame of the scene.
  if (!Poll()) return true;
  Present();
  return true;
}

bool CScript::Poll() {
  host_.ProcessMessages();
  if (redrawRequest_) {
    Present();
    redrawRequest_ = false;
  }
  if (host_.IsClosing()) return false;
  if (host_.IsRunningActive()) {
    mouseX_ = host_.MouseX();
    mouseY_ = host_.MouseY();
  } else {
    mouseX_ = -1;
    mouseY_ = -1;
  }
  return true;
}

void CScript::UpdateFrameRate() {
  const std::uint32_t now = platform_.Ticks();
  const std::uint32_t elapsed = now - lastRateTime_;
  if (elapsed < kRateWindow) return;
  frameRate_ = static_cast<int>(frameCounter_ * 10000u / elapsed);
  frameCounter_ = 0;
  lastRateTime_ = now;
}

bool CScript::Present() {
  if (!host_.IsRunningActive()) {
    platform_.Sleep(kInactiveSleep);
    return true;
  }
  UpdateFrameRate();
  display_.DrawFrame(true, true, false);
  ++frameCounter_;
  return true;
}

}  // namespace halcyra

// Scripts of arbitrary bytes, loaded and run statement by statement: the loader, the token
// reader, expressions, assignments, conditions, labels and goto, define, and the dispatcher's
// own statements. Scenario statements are not registered, so their words run as statements whose
// owner has not arrived: the target stays on the language itself.
//
// The window closes after a budget of polls, which ends every wait, and a run stops after a
// budget of statements, so that a script that loops forever on purpose ends too.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz/FuzzSupport.h"
#include "graphics/CDIB.h"
#include "platform/HeadlessPlatform.h"
#include "script/CScript.h"
#include "script/Engine.h"
#include "script/ScriptHost.h"

namespace {

constexpr int kMaxStatements = 2000;
constexpr int kMaxPolls = 3;

class IgnoredEvents : public halcyra::PlatformEvents {
 public:
  void OnKey(int, bool, bool, bool) override {}
  void OnMouseButton(halcyra::MouseButton, bool, int, int) override {}
  void OnMouseMove(int, int) override {}
  void OnWheel(bool) override {}
  void OnActivate(bool) override {}
  void OnCloseRequest() override {}
  void OnPaint() override {}
};

class ClosingHost : public halcyra::ScriptHost {
 public:
  explicit ClosingHost(halcyra::HeadlessPlatform& platform) : platform_(platform) {}
  void ProcessMessages() override {
    IgnoredEvents events;
    platform_.PumpEvents(events);
    ++polls_;
  }
  bool IsClosing() const override { return polls_ >= kMaxPolls; }
  bool IsRunningActive() const override { return true; }
  int MouseX() const override { return 0; }
  int MouseY() const override { return 0; }
  bool TitleRequested() const override { return false; }
  bool IsCtrlDown() const override { return false; }
  // The language's own statements never change the text size.
  void SetTextSize(int) override {}

 private:
  halcyra::HeadlessPlatform& platform_;
  int polls_ = 0;
};

class NoPainter : public halcyra::ScreenPainter {
 public:
  void PaintScreen() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  halcyra::fuzz::EnterFuzzFolder();
  halcyra::fuzz::WriteFuzzFile("scr/fuzz.scr", data, size);
  halcyra::HeadlessPlatform platform;
  ClosingHost host(platform);
  NoPainter painter;
  halcyra::Engine engine;
  engine.display = std::make_unique<halcyra::CDIB>();
  engine.display->Init(platform, painter, true);
  halcyra::CScript script(platform, host, engine);
  engine.state->SetScriptName("fuzz");
  if (!script.LoadScript("scr\\fuzz.scr", true)) return 0;
  for (int statement = 0; statement < kMaxStatements && !host.IsClosing(); ++statement) {
    if (!script.Tick()) break;
  }
  return 0;
}

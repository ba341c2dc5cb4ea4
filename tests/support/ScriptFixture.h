// A script engine on the headless platform, with a fresh set of engine objects and a game
// folder of its own, for tests that run statements.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/HeadlessPlatform.h"
#include "media/SoundErrorReporter.h"
#include "script/CScript.h"
#include "script/Engine.h"
#include "script/ScriptHost.h"
#include "tests/support/TempFolder.h"

namespace halcyra::testing {

// The main window's side of the engine, reduced to flags a test sets.
class TestHost : public ScriptHost {
 public:
  explicit TestHost(HeadlessPlatform& platform) : platform_(platform) {}
  void ProcessMessages() override;
  bool IsClosing() const override { return closing; }
  bool IsRunningActive() const override { return true; }
  int MouseX() const override { return mouseX; }
  int MouseY() const override { return mouseY; }
  bool TitleRequested() const override { return titleRequested; }
  bool IsCtrlDown() const override { return ctrlDown; }
  void SetTextSize(int code) override { textSizeCodes.push_back(code); }

  bool closing = false;
  bool titleRequested = false;
  bool ctrlDown = false;
  int mouseX = 0;
  int mouseY = 0;
  std::vector<int> textSizeCodes;  // every SetTextSize, in order
  // Runs at every poll, after the platform's events: a test presses keys and buttons here by
  // setting input bits, counting polls to time them.
  std::function<void()> onPoll;

 private:
  HeadlessPlatform& platform_;
};

// Runs inside its game folder, so scripts are named by game paths such as "scr\\test.scr".
// Presentation goes nowhere: the frames are paced on the virtual clock and dropped.
class NoPainter : public ScreenPainter {
 public:
  void PaintScreen() override {}
};

class ScriptFixture : public ::testing::Test {
 protected:
  ScriptFixture();
  ~ScriptFixture() override;

  // Opens the sound device on the headless output (mixed as the virtual clock advances) and
  // makes the seven channels.
  void OpenSound();
  // Makes the sprite table the display draws, with the game state and the picture archive, as
  // the main window does at start-up.
  void OpenScene();
  // Makes the text renderer and the four game fonts (24, 24, 24 and 12 pixels).
  void OpenText();
  // Writes scr/NAME.scr (a marker byte is put in front of body) and loads it.
  bool Load(const std::string& body, const std::string& name = "test");
  void WriteScript(const std::string& name, const std::string& body);
  static std::string ScriptPath(const std::string& name) { return "scr\\" + name + ".scr"; }
  // Runs statements until only blanks and line breaks remain or a statement ends the run;
  // false when one did. At most maxSteps statements.
  bool RunToEnd(int maxSteps = 10000);
  // The texts of the message boxes shown so far (script errors among them).
  std::vector<std::string> Boxes() const;
  // True when some box so far contains text.
  bool Reported(const std::string& text) const;
  std::int32_t Variable(char name) const { return engine_.state->variables[name - 'A']; }
  int Flag(int number) const { return engine_.state->flags[number]; }

  const std::filesystem::path startFolder_ = std::filesystem::current_path();
  TempFolder folder_;
  HeadlessPlatform platform_;
  TestHost host_{platform_};
  NoPainter painter_;
  Engine engine_;
  CScript script_{platform_, host_, engine_};

 private:
  class IgnoredSoundErrors : public SoundErrorReporter {
   public:
    void Report(const MessageBoxRequest&) override {}
  } soundErrors_;
};

}  // namespace halcyra::testing

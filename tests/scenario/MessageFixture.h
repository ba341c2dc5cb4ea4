// Statement tests of the message window and its waits: a scene with text, the message and
// key-wait statements attached, a message window 0 and a name window 2 to define, and input
// pressed at chosen polls.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "scenario/KeyWait.h"
#include "scenario/MessageWindow.h"
#include "scenario/PageMode.h"
#include "tests/support/ScriptFixture.h"

namespace halcyra::testing {

class MessageFixture : public ScriptFixture {
 protected:
  // Window 0: at (0, 400), text surface 800 x 200, lines from (24, 16), 30 columns, 5 rows.
  static constexpr int kWindowX = 0;
  static constexpr int kWindowY = 400;
  static constexpr int kTextX = 24;
  static constexpr int kTextY = 16;
  inline static const std::string kWindow0 = "window 0 0 400 800 200 24 16 30 5 NULL 0 0\r\n";
  // Window 2: at (100, 360), 200 x 40, name from (10, 4), 8 columns, 1 row.
  static constexpr int kPollLimit = 2000;
  inline static const std::string kWindow2 = "window 2 100 360 200 40 10 4 8 1 NULL 0 0\r\n";

  MessageFixture() {
    OpenScene();
    OpenText();
    RegisterMessageStatements(script_);
    RegisterKeyWaitStatements(script_);
    host_.onPoll = [this] {
      ++polls_;
      if (polls_ > kPollLimit) host_.closing = true;  // a wait that never ends fails the test
      const auto action = actions_.find(polls_);
      if (action != actions_.end()) action->second();
    };
  }

  MessagePage& Page() { return engine_.message; }
  // Counting starts again from 0 and the actions planned so far are dropped.
  void ResetPolls() {
    polls_ = 0;
    actions_.clear();
  }
  void AtPoll(int poll, std::function<void()> action) { actions_[poll] = std::move(action); }
  void Click() { engine_.input.SetInput(kInputAdvance, true); }
  void ClickAtPoll(int poll) {
    ResetPolls();
    AtPoll(poll, [this] { Click(); });
  }

  int polls_ = 0;
  std::map<int, std::function<void()>> actions_;
};

}  // namespace halcyra::testing

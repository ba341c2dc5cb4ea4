// Saving, loading, the backlog and the end of fast-forward mode as the player reaches them from
// the waits of a running scenario: keys pressed during a wait, play going on, and the state the
// script comes back to.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "scenario/ScenarioStatements.h"
#include "system/Backlog.h"
#include "system/SaveData.h"
#include "tests/graphics/GraphicsFixtures.h"
#include "tests/media/SoundTestSupport.h"
#include "tests/scenario/MessageFixture.h"

namespace halcyra {
namespace {

const std::string kAiu = "\x82\xa0\x82\xa2\x82\xa4";  // あいう
const std::string kKaki = "\x82\xa9\x82\xab\x82\xad";  // かきく
const std::string kSashi = "\x82\xb3\x82\xb5\x82\xb7";  // さしす
constexpr int kPollLimit = 3000;

// The whole scenario, with the scenario's game state and the player's input planned from what
// the scenario shows: each poll asks the current stage whether its moment has come.
class SaveLoadTest : public testing::MessageFixture {
 protected:
  SaveLoadTest() {
    OpenSound();
    RegisterScenarioStatements(script_);
    host_.onPoll = [this] {
      if (++polls_ > kPollLimit) host_.closing = true;  // a wait that never ends fails the test
      if (stage_ < stages_.size() && stages_[stage_]()) ++stage_;
    };
  }
  // Runs the scenario until the last stage has come (it closes the window, which ends the wait
  // it came in) or the poll limit closes it.
  void Play(const std::string& body) {
    stages_.push_back([this] {
      host_.closing = true;
      return true;
    });
    ASSERT_TRUE(Load(kWindow0 + "auto_ret_off\r\n" + body, "day1"));
    for (int step = 0; step < 200 && !host_.closing; ++step) script_.Tick();
    EXPECT_EQ(stage_, stages_.size()) << "stages reached";
  }
  // The backlog icon: the wheel opens the backlog only while the icon bar holds it.
  void WriteLogIcon() {
    testing::PsdDocument icon;
    icon.width = 2;
    icon.height = 2;
    icon.merged = testing::RawBlock(testing::Bytes(3 * 4, 100));
    const testing::Bytes bytes = testing::MakePsd(icon);
    folder_.Write("cg/_iLog.psd", std::string(bytes.begin(), bytes.end()));
  }
  bool Waiting() const { return engine_.waitingForInput; }
  void Latch(std::uint32_t bits) { engine_.input.SetInput(bits, true); }
  // The game state without its first word: the checksum is the save file's own.
  std::string StateBytes() const {
    const auto* bytes = reinterpret_cast<const char*>(engine_.state.get());
    return std::string(bytes + 4, sizeof(GameState) - 4);
  }

  std::vector<std::function<bool()>> stages_;
  std::size_t stage_ = 0;
};

TEST_F(SaveLoadTest, AQuickLoadBringsBackTheStateOfTheQuickSave) {
  std::string atSave;
  std::string afterLoad;
  stages_ = {
      [&] {
        if (!Waiting() || Variable('A') != 1) return false;
        atSave = StateBytes();
        Latch(kInputQuickSaveKey);
        return true;
      },
      [&] {
        if (!Waiting() || !std::filesystem::exists(SlotFileName(kQuickSlot))) return false;
        Click();  // plays on to the next line
        return true;
      },
      [&] {
        if (!Waiting() || Variable('A') != 2) return false;
        Latch(kInputQuickLoadKey);
        return true;
      },
      [&] {
        // The load drops the line's log entry; its wait logs it again.
        if (!Waiting() || engine_.state->backlogCount != 1) return false;
        afterLoad = StateBytes();
        return true;
      },
  };
  Play("A=1\r\nvo a01\r\n" + kAiu + "\r\nret\r\nA=2\r\nB=7\r\nvo a02\r\n" + kKaki +
       "\r\nret\r\n");
  EXPECT_EQ(Variable('A'), 1);
  EXPECT_EQ(Variable('B'), 0);
  EXPECT_EQ(engine_.state->backlogCount, 1);
  EXPECT_EQ(Page().pageText, kAiu + "\n");
  ASSERT_EQ(afterLoad.size(), atSave.size());
  EXPECT_TRUE(afterLoad == atSave) << "the state at the wait after the load differs from the save";
}

TEST_F(SaveLoadTest, ResumingFromAnEarlierLogEntryContinuesTheScriptThere) {
  WriteLogIcon();
  engine_.settings.log.wheel = 0;  // the wheel steps one message
  engine_.settings.log.exit = true;  // Escape resumes at the entry shown
  int waitsAfterResume = 0;
  auto clickAtLine = [&](int line) {
    return [&, line] {
      if (!Waiting() || Variable('A') != line) return false;
      Click();
      return true;
    };
  };
  stages_ = {
      clickAtLine(1),
      clickAtLine(2),
      [&] {
        if (!Waiting() || Variable('A') != 3) return false;
        Latch(kInputWheelUp);  // opens the backlog at the newest line
        return true;
      },
      [&] {
        if (!engine_.backlogOpen) return false;
        Latch(kInputWheelUp);  // one line back: the second
        return true;
      },
      [&] {
        Latch(kInputCancel);
        return true;
      },
      [&] {
        // Resuming drops two entries; the second line's wait logs it again.
        if (!Waiting() || engine_.state->backlogCount != 2) return false;
        ++waitsAfterResume;
        return true;
      },
  };
  Play("A=1\r\nvo a01\r\n" + kAiu + "\r\nret\r\nA=2\r\nvo a02\r\n" + kKaki +
       "\r\nret\r\nA=3\r\nvo a03\r\n" + kSashi + "\r\nret\r\n");
  EXPECT_EQ(waitsAfterResume, 1);
  EXPECT_FALSE(engine_.backlogOpen);
  // Waiting at the second line again, with the state its voice statement had logged.
  EXPECT_EQ(Variable('A'), 2);
  EXPECT_STREQ(engine_.state->pendingVoice, "a02");
  EXPECT_EQ(engine_.state->backlogCount, 2);
  EXPECT_EQ(FieldText(LogEntryAt(*engine_.state, 1).page), kKaki + "\n");
}

TEST_F(SaveLoadTest, ReturningToTheLastChoiceAsksTheSameQuestionAgain) {
  const std::string question = "Q1";
  int questionsAsked = 0;
  int choiceSaveS = -1;
  stages_ = {
      [&] {
        if (!Waiting() || engine_.choices.registered == 0) return false;
        ++questionsAsked;
        Latch(kInputDown);
        return true;
      },
      [&] {
        Latch(kInputAdvance);
        return true;
      },
      [&] {
        if (!Waiting() || Variable('A') != 2) return false;
        GameState saved{};
        const std::string bytes = folder_.Read(SlotFileName(kChoiceSlot));
        if (bytes.size() != sizeof saved) return true;
        std::memcpy(static_cast<void*>(&saved), bytes.data(), sizeof saved);
        choiceSaveS = saved.variables['S' - 'A'];
        Latch(kInputPreviousChoiceKey);
        return true;
      },
      [&] {
        if (!Waiting() || engine_.choices.registered == 0) return false;
        ++questionsAsked;
        return true;
      },
  };
  Play("A=1\r\nvo q01\r\ndef_selmes " + question + "\r\ndef_sel X\r\ndef_sel Y\r\nselect 1\r\n"
       "A=2\r\n" + kAiu + "\r\nret\r\n");
  EXPECT_EQ(choiceSaveS, 0);  // written before the choice's answer was set
  EXPECT_EQ(questionsAsked, 2);
  EXPECT_EQ(Variable('A'), 1);
  EXPECT_EQ(Variable('S'), 0);
  EXPECT_EQ(engine_.choices.question, question);
}

TEST_F(SaveLoadTest, LeavingFastForwardShowsTheRecordedLayersAndSounds) {
  const testing::Bytes pixels(8 * 8 * 3, 0x40);
  const testing::Bytes bmp = testing::MakeBmp(8, 8, 24, 0, {}, pixels);
  folder_.Write("cg/bg1.bmp", std::string(bmp.begin(), bmp.end()));
  const std::string music(44100 * 4, '\x01');
  folder_.Write("wav/m1.wav", soundtest::PcmWave(2, 44100, 16, music, 44100));
  folder_.Write("wav/s1.wav", soundtest::PcmWave(2, 44100, 16, music, 44100));
  GameState& state = *engine_.state;
  GameState::CopyName(state.layerPicture[0], "bg1");
  GameState::CopyName(state.music, "m1");
  GameState::CopyName(state.effectSound[1].name, "s1");  // channel 5
  state.effectSound[1].loop = 1;
  script_.SetFastForward(true);
  StopFastForward(script_);
  EXPECT_FALSE(script_.IsFastForward());
  const CDIBSprite& background = engine_.sprites->At(0);
  ASSERT_NE(background.GetSurface(), nullptr);
  EXPECT_EQ(background.GetWidth(), 8);
  CDSB& musicChannel = (*engine_.channels)[0];
  EXPECT_TRUE(musicChannel.IsPlaying());
  EXPECT_TRUE(musicChannel.IsLooping());
  EXPECT_TRUE((*engine_.channels)[5].IsPlaying());
  EXPECT_TRUE((*engine_.channels)[5].IsLooping());
  EXPECT_FALSE((*engine_.channels)[2].HasSound());
}

}  // namespace
}  // namespace halcyra

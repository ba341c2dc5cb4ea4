#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

const std::filesystem::path kGame = std::filesystem::path(HALCYRA_GAME_PATH).parent_path() / "game";

// A normal test run stays short; the sanitizer build asks for a long one through the variable.
constexpr int kDefaultEvents = 4000;
constexpr std::uint32_t kDefaultSeed = 20261211;
// Past the last event the game runs on a little to show what the input left behind.
constexpr int kFramesAfterLastEvent = 60;

int PositiveFromEnvironment(const char* name, int fallback) {
  const char* text = std::getenv(name);
  if (text == nullptr) return fallback;
  const int value = std::atoi(text);
  return value > 0 ? value : fallback;
}

// Writes a stream of random player input as an input script. The generator draws from the raw
// Mersenne Twister output only, so a seed gives the same stream with every standard library.
class MonkeyInput {
 public:
  explicit MonkeyInput(std::uint32_t seed) : random_(seed) {}

  std::string Generate(int eventCount) {
    for (int i = 0; i < eventCount; ++i) {
      frame_ += Below(3);  // up to two frames between events; several may share one frame
      AddEvent();
    }
    ReleaseHeldKeys();
    return text_;
  }

  int LastFrame() const { return frame_; }

 private:
  // Menu answers: every item a player can reach, the quit item aside (it ends the run early),
  // and the home page (it would start a browser).
  static constexpr const char* kMenuItems[] = {
      "none",          "MnTitle",       "MnKaisouExit",    "MnSkip",    "MnSkip2",
      "MnNext",        "MnPrev",        "MnQLoad",         "MnQSave",   "MnWindow",
      "MnFull16",      "MnFull32",      "MnFontNormal",    "MnFont",    "MnOption",
      "MnKeyHelp",     "MnWinDef",      "MnNone",          "MnNowLine", "MnDebugCopy",
      "MnEditor",      "MnFlag",        "MnJump",          "MnNextScr", "MnOmake",
      "MnMakeCg",      "MnDebugRoot",   "MnDebugSelect",   "CmHide",    "CmLogClose",
      "CmLoadClose",   "CmQSave",       "CmQLoad",         "CmPrev",    "CmNext",
      "CmWinDragNone", "CmWinDragFree", "CmWinDragUpDown", "CmDisp",    "CmOption",
      "CmNowLine",     "CmDebugCopy",   "CmEditor",        "CmFlag",    "CmJump",
      "CmNextScr",     "CmDebugRoot",   "CmDebugSelect",   "CmOmake",   "CmTitle"};
  static constexpr const char* kKeys[] = {"Enter", "Space",  "Escape",   "Up",   "Down", "Left",
                                          "Right", "PageUp", "PageDown", "Home", "End",  "F1",
                                          "F2",    "A",      "C",        "D",    "E",    "F",
                                          "J",     "N",      "T",        "Z"};

  std::uint32_t Below(std::uint32_t limit) { return random_() % limit; }

  // Anywhere in the 800x600 client area and a little past its edges.
  std::string Point() {
    return std::to_string(static_cast<int>(Below(840)) - 20) + " " +
           std::to_string(static_cast<int>(Below(640)) - 20);
  }

  void Line(const std::string& event) { text_ += std::to_string(frame_) + " " + event + "\n"; }

  void Toggle(bool& held, const char* key) {
    held = !held;
    Line(std::string("key ") + key + (held ? " down" : " up"));
  }

  void AddEvent() {
    const std::uint32_t pick = Below(100);
    if (pick < 30) {
      Line("click " + Point());
    } else if (pick < 38) {
      Line("rclick " + Point());
      if (Below(2) == 0) {
        Line(std::string("menu ") + kMenuItems[Below(std::size(kMenuItems))]);
      }
    } else if (pick < 42) {
      Line("mclick " + Point());
    } else if (pick < 50) {
      Line(std::string("wheel ") + (Below(2) == 0 ? "up" : "down"));
    } else if (pick < 62) {
      Line("move " + Point());
    } else if (pick < 88) {
      Line(std::string("key ") + kKeys[Below(std::size(kKeys))]);
    } else if (pick < 94) {
      Toggle(ctrlHeld_, "Ctrl");
    } else if (pick < 97) {
      Toggle(shiftHeld_, "Shift");
    } else if (pick < 99) {
      Toggle(altHeld_, "Alt");
    } else {
      // Focus lost and back at once: the inactive game stops drawing, and events wait for
      // drawn frames, so a lasting loss would hold the rest of the stream back.
      Line("deactivate");
      Line("activate");
    }
  }

  void ReleaseHeldKeys() {
    if (ctrlHeld_) Toggle(ctrlHeld_, "Ctrl");
    if (shiftHeld_) Toggle(shiftHeld_, "Shift");
    if (altHeld_) Toggle(altHeld_, "Alt");
  }

  std::mt19937 random_;
  std::string text_;
  int frame_ = 1;
  bool ctrlHeld_ = false;
  bool shiftHeld_ = false;
  bool altHeld_ = false;
};

struct MonkeyRun {
  const char* name;
  std::vector<std::string> extraArguments;
};

void PrintTo(const MonkeyRun& run, std::ostream* out) { *out << run.name; }

class MonkeyTest : public ::testing::TestWithParam<MonkeyRun> {};

// The demo game takes a long stream of random clicks, wheel turns, keys (Ctrl, Shift and Alt
// held and let go), context menu answers and focus changes without a crash, a sanitizer
// report or a hang, and plays every frame it was given. HALCYRA_MONKEY_EVENTS sets the number
// of events (the sanitizer build runs 30000; 100000 for a long run), HALCYRA_MONKEY_SEED the
// stream; a failing stream is kept in the temporary folder to run again with
// halcyra-tool run --input.
TEST_P(MonkeyTest, DemoSurvivesRandomInput) {
  const int eventCount = PositiveFromEnvironment("HALCYRA_MONKEY_EVENTS", kDefaultEvents);
  const auto seed = static_cast<std::uint32_t>(
      PositiveFromEnvironment("HALCYRA_MONKEY_SEED", static_cast<int>(kDefaultSeed)));
  MonkeyInput monkey(seed);
  testing::TempFolder folder;
  folder.Write("input.txt", monkey.Generate(eventCount));
  const int frames = monkey.LastFrame() + kFramesAfterLastEvent;
  // The game plays on a copy: quick saves and settings stay out of the build.
  std::filesystem::copy(kGame, folder.Path() / "game", std::filesystem::copy_options::recursive);

  // The virtual clock ends a game that stops drawing; the wall-clock limit only catches a loop
  // that never returns to the frame loop, and comes before ctest's own (1500 s) so that the
  // input is kept.
  std::string command = std::string("cd / && timeout -k 10 1200 '") + HALCYRA_TOOL_PATH +
                        "' run '" + folder.File("game") + "' --input '" + folder.File("input.txt") +
                        "' --frames " + std::to_string(frames);
  for (const std::string& argument : GetParam().extraArguments) command += " " + argument;
  command += " >'" + folder.File("stdout.txt") + "' 2>'" + folder.File("stderr.txt") + "'";
  const int status = std::system(command.c_str());

  const std::string errors = folder.Read("stderr.txt");
  // The game played on to the frame limit, so every event reached it.
  const std::string output = folder.Read("stdout.txt");
  int presented = 0;
  const bool counted = std::sscanf(output.c_str(), "presented %d frames", &presented) == 1;
  const bool exitedCleanly = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  const std::filesystem::path kept =
      std::filesystem::temp_directory_path() /
      ("halcyra-monkey-" + std::string(GetParam().name) + "-" + std::to_string(seed) + "-" +
       std::to_string(eventCount) + ".txt");
  if (!exitedCleanly || presented < frames) {
    std::filesystem::copy_file(folder.File("input.txt"), kept,
                               std::filesystem::copy_options::overwrite_existing);
  }
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  ASSERT_NE(WEXITSTATUS(status), 124) << "the run hung; input kept as " << kept;
  ASSERT_EQ(WEXITSTATUS(status), 0) << "input kept as " << kept << "\n" << errors;
  EXPECT_EQ(errors.find("Sanitizer"), std::string::npos) << errors;
  EXPECT_EQ(errors.find("runtime error"), std::string::npos) << errors;
  EXPECT_TRUE(counted) << output;
  EXPECT_GE(presented, frames) << output << "input kept as " << kept << "\n" << errors;
}

INSTANTIATE_TEST_SUITE_P(PlayAndDebugMode, MonkeyTest,
                         ::testing::Values(MonkeyRun{"play", {}}, MonkeyRun{"debug", {"--debug"}}),
                         [](const ::testing::TestParamInfo<MonkeyRun>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace halcyra

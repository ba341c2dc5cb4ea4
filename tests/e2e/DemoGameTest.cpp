#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/TMainForm.h"
#include "platform/HeadlessPlatform.h"
#include "tests/support/RunTool.h"
#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

const std::filesystem::path kGame = std::filesystem::path(HALCYRA_GAME_PATH).parent_path() / "game";

// The demo's message window: text lines of 32 pixels from (64, 472), 28 columns of 24 pixels.
constexpr int kTextLeft = 64;
constexpr int kTextRight = 64 + 28 * 24;
constexpr int kFirstLineTop = 472;
constexpr int kLineHeight = 32;

// Behind the text lies the navy window over the green meadow, with gold frame and icons; only
// glyphs are neutral grey or white (equal red, green and blue, bright).
int TextPixelsInLine(const std::vector<std::uint32_t>& frame, int line) {
  int count = 0;
  const int top = kFirstLineTop + line * kLineHeight;
  for (int y = top; y < top + kLineHeight; ++y) {
    for (int x = kTextLeft; x < kTextRight; ++x) {
      const std::uint32_t pixel = frame[static_cast<std::size_t>(y) * 800 + x];
      const std::uint32_t red = pixel >> 16 & 0xFF;
      const std::uint32_t green = pixel >> 8 & 0xFF;
      const std::uint32_t blue = pixel & 0xFF;
      if (red == green && green == blue && red >= 100) ++count;
    }
  }
  return count;
}

bool SameLine(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, int line) {
  const std::size_t from = static_cast<std::size_t>(kFirstLineTop + line * kLineHeight) * 800;
  const std::size_t to = from + static_cast<std::size_t>(kLineHeight) * 800;
  return std::equal(a.begin() + from, a.begin() + to, b.begin() + from);
}

// The built demo plays headless from the opening through the choice, the night and back to the
// start without a single error box, keeps its theme as the music and has its message window
// defined with the waits switched on. A click answers every wait; the first lands on the
// first choice bar (two choices: bars every 334 / 3 = 111 pixels from y 120, 36 high), the
// rest at the window, so the second round stops at its choice.
TEST(DemoGameTest, PlaysRoundTheStoryWithoutErrorsAndKeepsItsMusicAndWindow) {
  testing::TempFolder folder;
  for (const char* file : {"scr.dat", "cg.dat", "wav.dat"}) {
    std::filesystem::create_directories(folder.Path() / "game");
    std::filesystem::copy_file(kGame / file, folder.Path() / "game" / file);
  }
  std::string input;
  for (int wait = 0; wait < 10; ++wait) input += "wait click 400 300\n";
  input += "wait click 400 138\n";
  for (int wait = 0; wait < 20; ++wait) input += "wait click 400 500\n";
  folder.Write("input.txt", input);
  ASSERT_EQ(testing::RunTool(folder, {"run", folder.File("game"), "--frames", "1500", "--input",
                                      folder.File("input.txt"), "--dump-state",
                                      folder.File("state.dat")}),
            0)
      << folder.Read("stderr.txt");
  EXPECT_EQ(folder.Read("stderr.txt"), "");
  const std::string state = folder.Read("state.dat");
  ASSERT_EQ(state.size(), 1043508u);
  EXPECT_EQ(state.substr(8, 7), std::string("layers\0", 7));          // the second round
  const char choice = state[72 + 4 * ('S' - 'A')];
  EXPECT_TRUE(choice == 1 || choice == 2) << int{choice};
  EXPECT_EQ(state.substr(3016, 6), std::string("theme\0", 6));
  EXPECT_EQ(state.substr(1043196, 8), std::string("_Window\0", 8));  // window 0's picture
  EXPECT_EQ(state.substr(1043300, 6), std::string("_Name\0", 6));    // window 2's picture
  EXPECT_EQ(static_cast<unsigned char>(state[2223]), 1);               // auto_ret_off ran
}

// The first page is typed into the window and waits; a click moves on to the next page.
TEST(DemoGameTest, TypesTheFirstPageAndAClickTurnsIt) {
  testing::TempFolder game;
  for (const char* file : {"scr.dat", "cg.dat", "wav.dat"}) {
    std::filesystem::copy_file(kGame / file, game.File(file));
  }
  const std::filesystem::path startFolder = std::filesystem::current_path();
  HeadlessOptions options;
  options.frameLimit = 60;
  HeadlessPlatform platform(options);
  std::string error;
  // Frame 10 ends the line wait after the first line, frame 40 the page wait.
  ASSERT_TRUE(platform.LoadInputScript("10 click 400 300\n40 click 400 300\n", error)) << error;
  std::map<int, std::vector<std::uint32_t>> frames;
  platform.SetFrameObserver([&](int number, const std::uint32_t* pixels, int width, int height) {
    if (number == 30 || number == 55) frames[number].assign(pixels, pixels + width * height);
  });
  MainFormOptions form;
  form.forceSoftware = true;
  form.executablePath = game.File("halcyra");
  {
    TMainForm mainForm(platform, form);
    EXPECT_TRUE(mainForm.Run());
  }
  std::filesystem::current_path(startFolder);
  EXPECT_TRUE(platform.MessageBoxes().empty());
  ASSERT_EQ(frames.size(), 2u);
  const auto& firstPage = frames[30];
  const auto& secondPage = frames[55];
  // Page one: two lines of text, nothing below them.
  EXPECT_GT(TextPixelsInLine(firstPage, 0), 300);
  EXPECT_GT(TextPixelsInLine(firstPage, 1), 300);
  EXPECT_EQ(TextPixelsInLine(firstPage, 2), 0);
  // Page two has begun with a line of its own and waits after it.
  EXPECT_GT(TextPixelsInLine(secondPage, 0), 300);
  EXPECT_FALSE(SameLine(firstPage, secondPage, 0));
  EXPECT_EQ(TextPixelsInLine(secondPage, 1), 0);
}

// The story reaches its choice after ten waits (six in the opening, four on the walk to the
// inn) and a click on the first choice bar picks it: S holds the choice and flag 1 the branch
// taken, in the accelerated and the software program alike.
TEST(DemoGameTest, PlaysThroughTheChoiceInBothPrograms) {
  // Two choices: bars every 334 / 3 = 111 pixels from y 111 + 11 - 2, 36 pixels high.
  std::string input;
  for (int wait = 0; wait < 10; ++wait) input += "wait click 400 300\n";
  input += "wait click 400 138\n";
  for (const bool software : {false, true}) {
    testing::TempFolder game;
    for (const char* file : {"scr.dat", "cg.dat", "wav.dat"}) {
      std::filesystem::copy_file(kGame / file, game.File(file));
    }
    const std::filesystem::path startFolder = std::filesystem::current_path();
    HeadlessOptions options;
    options.frameLimit = 2000;
    HeadlessPlatform platform(options);
    std::string error;
    ASSERT_TRUE(platform.LoadInputScript(input, error)) << error;
    MainFormOptions form;
    form.forceSoftware = software;
    form.executablePath = game.File(software ? "halcyra-gdi" : "halcyra");
    std::int32_t choice = 0;
    int branch = -1;
    {
      TMainForm mainForm(platform, form);
      EXPECT_TRUE(mainForm.Run());
      choice = mainForm.GetEngine().state->variables['S' - 'A'];
      branch = mainForm.GetEngine().state->flags[1];
    }
    std::filesystem::current_path(startFolder);
    EXPECT_TRUE(platform.MessageBoxes().empty()) << software;
    EXPECT_TRUE(choice == 1 || choice == 2) << software << " S = " << choice;
    EXPECT_EQ(branch, choice == 1 ? 1 : 0) << software;
    EXPECT_TRUE(game.Exists("Save900.dat")) << software;
  }
}

}  // namespace
}  // namespace halcyra

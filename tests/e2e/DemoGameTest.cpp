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

// The demo's scene has no pictures behind the window yet: the window is navy, its frame and
// icons gold; only glyphs are neutral grey or white (equal red, green and blue, bright).
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

// The built demo plays headless without a single error box, keeps its theme as the music and
// has its message window defined with the waits switched on.
TEST(DemoGameTest, PlaysWithoutErrorsAndKeepsItsMusicAndWindow) {
  testing::TempFolder folder;
  ASSERT_EQ(testing::RunTool(folder, {"run", kGame.string(), "--frames", "300", "--dump-state",
                                      folder.File("state.dat")}),
            0)
      << folder.Read("stderr.txt");
  EXPECT_EQ(folder.Read("stderr.txt"), "");
  const std::string state = folder.Read("state.dat");
  ASSERT_EQ(state.size(), 1043508u);
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

}  // namespace
}  // namespace halcyra

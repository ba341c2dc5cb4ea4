#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/RunTool.h"
#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

using Clock = std::chrono::steady_clock;

const std::filesystem::path kDemo = std::filesystem::path(HALCYRA_GAME_PATH).parent_path() / "game";
// How long the real programs get for each step (starting, typing a page, ending): generous,
// because the sanitizer build on a busy machine is slow. A limit to give up at, never a
// measurement.
constexpr auto kPatience = std::chrono::seconds(60);
constexpr auto kPollInterval = std::chrono::milliseconds(200);
// A line of typed text lights hundreds of pixels; a stray bright icon pixel does not count.
constexpr int kTextPixelsOfTypedText = 200;

bool ToolsInstalled(std::initializer_list<const char*> tools) {
  for (const char* tool : tools) {
    const std::string command = std::string("command -v ") + tool + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return false;
  }
  return true;
}

// Starts a program as a child of the test, from "/", with extra environment settings
// ("NAME=VALUE").
pid_t StartProgram(const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  for (const std::string& setting : environment) putenv(const_cast<char*>(setting.c_str()));
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  if (chdir("/") == 0) execvp(argv[0], argv.data());
  _exit(127);
}

// Waits for a child to end: its exit code, or -1 when it ended by a signal or did not end in
// time (it is then killed).
int WaitForExit(pid_t pid) {
  const Clock::time_point giveUp = Clock::now() + kPatience;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (Clock::now() > giveUp) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(kPollInterval);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Calls `ready` every poll interval until it says yes; false when patience runs out.
template <typename Ready>
bool PollUntil(Ready ready) {
  const Clock::time_point giveUp = Clock::now() + kPatience;
  while (!ready()) {
    if (Clock::now() > giveUp) return false;
    std::this_thread::sleep_for(kPollInterval);
  }
  return true;
}

// A virtual X server for the length of a test: xvfb-run keeps it up until the stop file appears.
// Clients need both its display name and the authority file xvfb-run made for it.
class VirtualDisplay {
 public:
  explicit VirtualDisplay(const testing::TempFolder& folder)
      : folder_(folder), stopFile_(folder.File("stop")) {
    const std::string script = "echo \"DISPLAY=$DISPLAY XAUTHORITY=$XAUTHORITY\" >'" +
                               folder.File("display.txt") + "'; while [ ! -e '" + stopFile_ +
                               "' ]; do sleep 0.1; done";
    pid_ = StartProgram({"xvfb-run", "-a", "-s", "-screen 0 1024x768x24", "sh", "-c", script}, {});
    PollUntil([&] {
      std::istringstream words(folder_.Exists("display.txt") ? folder_.Read("display.txt") : "");
      words >> display_ >> authority_;
      return !authority_.empty();
    });
  }
  ~VirtualDisplay() {
    folder_.Write("stop", "");
    WaitForExit(pid_);
  }
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  // False when the server did not come up.
  bool IsUp() const { return !authority_.empty(); }
  // The environment settings a client needs: "DISPLAY=:99" and "XAUTHORITY=FILE".
  std::vector<std::string> Environment() const { return {display_, authority_}; }

  // Runs a shell command against this display; true when it exits with 0.
  bool Run(const std::string& command) const {
    const std::string line = "cd / && " + display_ + " " + authority_ + " " + command;
    return std::system(line.c_str()) == 0;
  }

 private:
  const testing::TempFolder& folder_;
  std::string stopFile_;
  std::string display_;
  std::string authority_;
  pid_t pid_ = -1;
};

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The message window's place from the "window 0 X Y WIDTH HEIGHT ..." line of the opening
// script (demo/scr/open.scr), read back from the built game's script archive.
std::optional<Rect> MessageWindowOfOpeningScript() {
  testing::TempFolder folder;
  if (testing::RunTool(folder, {"arc", "extract", (kDemo / "scr.dat").string(), folder.File("scr"),
                                "--scramble"}) != 0) {
    return std::nullopt;
  }
  std::istringstream lines(folder.Read("scr/open.scr"));
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string statement;
    int number = -1;
    Rect rect;
    if (words >> statement >> number >> rect.x >> rect.y >> rect.width >> rect.height &&
        statement == "window" && number == 0) {
      return rect;
    }
  }
  return std::nullopt;
}

// A screenshot decoded from an XWD file: pixels as 0xRRGGBB, row after row.
struct Screenshot {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

std::uint32_t BigEndian32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i)
    value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// The lowest set bit's place, to bring a colour mask's channel down to bits 0..7.
int MaskShift(std::uint32_t mask) {
  int shift = 0;
  while (mask != 0 && (mask & 1u) == 0) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

// Reads a TrueColor ZPixmap XWD file of 24 or 32 bits a pixel. The header is big-endian 32-bit
// fields; pixels follow the colour table in the byte order the header names.
std::optional<Screenshot> DecodeXwd(const std::string& bytes) {
  enum Field {
    kHeaderSize,
    kVersion,
    kFormat,
    kDepth,
    kWidth,
    kHeight,
    kXOffset,
    kByteOrder,
    kBitmapUnit,
    kBitOrder,
    kBitmapPad,
    kBitsPerPixel,
    kBytesPerLine,
    kVisualClass,
    kRedMask,
    kGreenMask,
    kBlueMask,
    kBitsPerRgb,
    kColormapEntries,
    kColorCount,
    kFieldCount
  };
  constexpr std::uint32_t kZPixmap = 2;
  constexpr std::size_t kColorEntrySize = 12;
  if (bytes.size() < kFieldCount * 4) return std::nullopt;
  std::uint32_t field[kFieldCount];
  for (int i = 0; i < kFieldCount; ++i)
    field[i] = BigEndian32(bytes, static_cast<std::size_t>(i) * 4);
  const std::uint32_t bytesPerPixel = field[kBitsPerPixel] / 8;
  if (field[kVersion] != 7 || field[kFormat] != kZPixmap ||
      (bytesPerPixel != 3 && bytesPerPixel != 4) || field[kWidth] > 10000 ||
      field[kHeight] > 10000 || field[kBytesPerLine] < field[kWidth] * bytesPerPixel) {
    return std::nullopt;
  }
  const std::size_t start = field[kHeaderSize] + field[kColorCount] * kColorEntrySize;
  if (bytes.size() < start + std::size_t{field[kBytesPerLine]} * field[kHeight])
    return std::nullopt;
  Screenshot shot;
  shot.width = static_cast<int>(field[kWidth]);
  shot.height = static_cast<int>(field[kHeight]);
  shot.pixels.reserve(std::size_t{field[kWidth]} * field[kHeight]);
  const bool mostSignificantFirst = field[kByteOrder] == 1;
  const std::uint32_t masks[3] = {field[kRedMask], field[kGreenMask], field[kBlueMask]};
  for (std::uint32_t y = 0; y < field[kHeight]; ++y) {
    for (std::uint32_t x = 0; x < field[kWidth]; ++x) {
      const std::size_t at = start + std::size_t{y} * field[kBytesPerLine] + x * bytesPerPixel;
      std::uint32_t value = 0;
      for (std::uint32_t i = 0; i < bytesPerPixel; ++i) {
        const std::uint32_t byte = static_cast<unsigned char>(bytes[at + i]);
        value = mostSignificantFirst ? value << 8 | byte : value | byte << (8 * i);
      }
      std::uint32_t rgb = 0;
      for (const std::uint32_t mask : masks)
        rgb = rgb << 8 | ((value & mask) >> MaskShift(mask) & 0xFF);
      shot.pixels.push_back(rgb);
    }
  }
  return shot;
}

// Where the text pixels are: bright and nearly neutral (glyphs are white or mid grey). The
// window's board is dark navy and its frame and icons gold (little blue), so neither counts,
// even while an icon blinks; glyph edges blended into the board do not either.
std::vector<bool> TextPixelsIn(const Screenshot& shot, const Rect& rect) {
  std::vector<bool> text;
  for (int y = rect.y; y < rect.y + rect.height; ++y) {
    for (int x = rect.x; x < rect.x + rect.width; ++x) {
      const std::uint32_t pixel = shot.pixels[static_cast<std::size_t>(y) * shot.width + x];
      const int red = pixel >> 16 & 0xFF;
      const int green = pixel >> 8 & 0xFF;
      const int blue = pixel & 0xFF;
      const int low = std::min({red, green, blue});
      const int high = std::max({red, green, blue});
      text.push_back(low >= 96 && high - low <= 24);
    }
  }
  return text;
}

long Count(const std::vector<bool>& text) { return std::count(text.begin(), text.end(), true); }

// One running game program on the virtual display, seen through xdotool and xwd.
class RealGame {
 public:
  RealGame(const VirtualDisplay& display, const testing::TempFolder& folder,
           const std::string& program)
      : display_(display), folder_(folder) {
    // XDG_RUNTIME_DIR of its own keeps the instance lock apart from a game the developer runs.
    // The window system's drivers keep memory the sanitizer build cannot trace back to a
    // library; leaks are checked in the headless tests instead.
    std::vector<std::string> environment = display.Environment();
    environment.insert(environment.end(), {"XDG_RUNTIME_DIR=" + folder.Path().string(),
                                           "SDL_AUDIODRIVER=dummy", "ASAN_OPTIONS=detect_leaks=0"});
    pid_ = StartProgram({program}, environment);
  }
  ~RealGame() {
    if (pid_ > 0) Stop();
  }
  RealGame(const RealGame&) = delete;
  RealGame& operator=(const RealGame&) = delete;

  // Waits until the program's window is shown; false when it never is.
  bool FindWindow() {
    const std::string found = folder_.File("window.txt");
    if (!display_.Run("timeout 60 xdotool search --sync --onlyvisible --pid " +
                      std::to_string(pid_) + " >'" + found + "' 2>/dev/null")) {
      return false;
    }
    std::istringstream(folder_.Read("window.txt")) >> window_;
    return !window_.empty();
  }

  // Takes a screenshot of the window and finds the text pixels in the rectangle; false when
  // no screenshot could be taken or it does not cover the rectangle.
  bool TextInWindow(const Rect& rect, std::vector<bool>& text) const {
    const std::string file = folder_.File("shot.xwd");
    if (!display_.Run("xwd -silent -id " + window_ + " -out '" + file + "'")) return false;
    const std::optional<Screenshot> shot = DecodeXwd(folder_.Read("shot.xwd"));
    if (!shot || shot->width < rect.x + rect.width || shot->height < rect.y + rect.height) {
      return false;
    }
    text = TextPixelsIn(*shot, rect);
    return true;
  }

  bool Click(int x, int y) const {
    return display_.Run("xdotool mousemove --window " + window_ + " " + std::to_string(x) + " " +
                        std::to_string(y) + " click 1");
  }

  // Asks the program to stop as the system does; its exit code, or -1 (see WaitForExit).
  int Stop() {
    kill(pid_, SIGTERM);
    const int code = WaitForExit(pid_);
    pid_ = -1;
    return code;
  }

 private:
  const VirtualDisplay& display_;
  const testing::TempFolder& folder_;
  pid_t pid_ = -1;
  std::string window_;
};

// Both game programs open a real window on a virtual X server and type the opening page into
// the message window; a real click goes on with the text, the screenshot shows text on the
// window's board; and the program ends cleanly when the system asks it to stop. The game
// folder is a copy of the built demo.
TEST(RealWindowTest, GameProgramsTypeTextTakeAClickAndStopCleanly) {
  if (!ToolsInstalled({"xvfb-run", "xdotool", "xwd"})) {
    GTEST_SKIP() << "xvfb-run, xdotool (package xdotool) or xwd (package x11-apps) is missing";
  }
  const std::optional<Rect> window = MessageWindowOfOpeningScript();
  ASSERT_TRUE(window) << "no 'window 0' line in the demo's open.scr";
  testing::TempFolder folder;
  std::filesystem::copy(kDemo, folder.Path() / "game", std::filesystem::copy_options::recursive);
  const VirtualDisplay display(folder);
  ASSERT_TRUE(display.IsUp()) << "xvfb-run did not start an X server";
  for (const char* program : {"halcyra", "halcyra-gdi"}) {
    SCOPED_TRACE(program);
    RealGame game(display, folder, (folder.Path() / "game" / program).string());
    ASSERT_TRUE(game.FindWindow());
    std::vector<bool> text;
    std::vector<bool> typedPage;
    // The page is typed once two screenshots in a row show the same text in the window.
    ASSERT_TRUE(PollUntil([&] {
      if (!game.TextInWindow(*window, text)) return false;
      const bool settled = text == typedPage && Count(text) >= kTextPixelsOfTypedText;
      typedPage = text;
      return settled;
    })) << "the first page was never typed into the message window; it last held "
        << Count(text) << " text pixels";
    ASSERT_TRUE(game.Click(window->x + window->width / 2, window->y + window->height / 2));
    // The click moves the text on; what the window then shows is text again, not a blank board.
    EXPECT_TRUE(PollUntil([&] {
      return game.TextInWindow(*window, text) && text != typedPage &&
             Count(text) >= kTextPixelsOfTypedText;
    })) << "after the click the window held "
        << Count(text) << " text pixels";
    EXPECT_EQ(game.Stop(), 0);
  }
}

}  // namespace
}  // namespace halcyra

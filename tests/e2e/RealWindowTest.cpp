#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

// Both game programs open a real window on a virtual X server, run their frame loop and end
// cleanly when the system asks them to stop. The game folder is a copy of the built demo.
TEST(RealWindowTest, GameProgramsRunInAWindowAndStopCleanly) {
  if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "xvfb-run is not installed";
  }
  testing::TempFolder folder;
  const std::filesystem::path demo = std::filesystem::path(HALCYRA_GAME_PATH).parent_path() / "game";
  std::filesystem::copy(demo, folder.Path() / "game", std::filesystem::copy_options::recursive);
  for (const char* program : {"halcyra", "halcyra-gdi"}) {
    const std::string game = (folder.Path() / "game" / program).string();
    // XDG_RUNTIME_DIR of its own keeps the instance lock apart from a game the developer runs.
    // The window system's drivers keep memory the sanitizer build cannot trace back to a
    // library; leaks are checked in the headless tests instead.
    const std::string command =
        "cd / && XDG_RUNTIME_DIR='" + folder.Path().string() + "' SDL_AUDIODRIVER=dummy "
        "ASAN_OPTIONS=detect_leaks=0 "
        "xvfb-run -a -s '-screen 0 1024x768x24' sh -c '\"" + game +
        "\" & pid=$!; sleep 2; kill -TERM $pid; wait $pid' >'" + folder.File("log.txt") + "' 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << program;
    EXPECT_EQ(WEXITSTATUS(status), 0) << program << "\n" << folder.Read("log.txt");
  }
}

}  // namespace
}  // namespace halcyra

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "app/Program.h"
#include "resource/CMutex.h"
#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

// Both game programs end at once with exit code 1 while the instance lock is held, before they
// open any window. The lock lives in a runtime folder of the test's own.
TEST(SecondCopyTest, GameProgramsExitWithCodeOneWhileAnotherCopyRuns) {
  testing::TempFolder runtime;
  ASSERT_EQ(setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1), 0);
  CMutex running;
  ASSERT_TRUE(running.Create(kInstanceLockName));
  for (const char* program : {HALCYRA_GAME_PATH, HALCYRA_GDI_GAME_PATH}) {
    const std::string command = std::string("SDL_VIDEODRIVER=offscreen timeout 20 ") + program +
                                " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << program;
    EXPECT_EQ(WEXITSTATUS(status), kExitAlreadyRunning) << program;
  }
}

}  // namespace
}  // namespace halcyra

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "app/Program.h"
#include "resource/CMutex.h"
#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

// Points the runtime folder (where lock files live) somewhere else for one test.
class RuntimeFolderOverride {
 public:
  explicit RuntimeFolderOverride(const std::string& folder) {
    if (const char* previous = std::getenv("XDG_RUNTIME_DIR")) previous_ = previous;
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
  }
  ~RuntimeFolderOverride() {
    if (previous_.empty()) {
      unsetenv("XDG_RUNTIME_DIR");
    } else {
      setenv("XDG_RUNTIME_DIR", previous_.c_str(), 1);
    }
  }

 private:
  std::string previous_;
};

// Both game programs end at once with exit code 1 while the instance lock is held, before they
// open any window. The lock lives in a runtime folder of the test's own.
TEST(SecondCopyTest, GameProgramsExitWithCodeOneWhileAnotherCopyRuns) {
  testing::TempFolder runtime;
  const RuntimeFolderOverride override(runtime.Path().string());
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

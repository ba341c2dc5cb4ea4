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

// How a program is started: with SDL's offscreen video, and as a real program on a virtual X
// server (when xvfb-run is installed), where it would otherwise open its window.
struct Launch {
  const char* name;
  const char* prefix;
  bool needsXvfb;
};

constexpr Launch kLaunches[] = {
    {"offscreen", "SDL_VIDEODRIVER=offscreen timeout 20 ", false},
    {"xvfb", "timeout 30 xvfb-run -a -s '-screen 0 1024x768x24' ", true},
};

// Both game programs end at once with exit code 1 while the instance lock is held, before they
// open any window. The lock lives in a runtime folder of the test's own.
TEST(SecondCopyTest, GameProgramsExitWithCodeOneWhileAnotherCopyRuns) {
  const bool xvfbInstalled = std::system("command -v xvfb-run >/dev/null 2>&1") == 0;
  testing::TempFolder runtime;
  const RuntimeFolderOverride override(runtime.Path().string());
  CMutex running;
  ASSERT_TRUE(running.Create(kInstanceLockName));
  for (const Launch& launch : kLaunches) {
    if (launch.needsXvfb && !xvfbInstalled) continue;
    for (const char* program : {HALCYRA_GAME_PATH, HALCYRA_GDI_GAME_PATH}) {
      const std::string command =
          std::string("cd / && ") + launch.prefix + program + " >/dev/null 2>&1";
      const int status = std::system(command.c_str());
      ASSERT_TRUE(WIFEXITED(status)) << launch.name << ": " << program;
      EXPECT_EQ(WEXITSTATUS(status), kExitAlreadyRunning) << launch.name << ": " << program;
    }
  }
}

}  // namespace
}  // namespace halcyra

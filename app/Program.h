// Program entry shared by the game builds and the headless runner: the single-instance lock,
// the main window's whole life, and the exit code.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/TMainForm.h"

namespace halcyra {

inline constexpr char kInstanceLockName[] = "XXX_MUTEX_OBJECT";

enum ExitCode : int {
  kExitNormal = 0,
  kExitAlreadyRunning = 1,  // another copy holds the lock; nothing was shown
  kExitNoWindow = 2,        // no window could be opened (no display)
};

struct ProgramOptions {
  MainFormOptions form;
  std::string lockName = kInstanceLockName;
};

// Takes the lock, then makes the platform (only then, so a second copy never opens a window),
// runs the main window until it closes and releases the lock.
int RunProgram(const ProgramOptions& options,
               const std::function<std::unique_ptr<Platform>()>& makePlatform);

}  // namespace halcyra

#include "app/Program.h"

#include <cstdio>

#include "resource/CMutex.h"

namespace halcyra {

int RunProgram(const ProgramOptions& options,
               const std::function<std::unique_ptr<Platform>()>& makePlatform) {
  CMutex lock;
  if (!lock.Create(options.lockName.c_str())) return kExitAlreadyRunning;
  const std::unique_ptr<Platform> platform = makePlatform();
  bool ran = false;
  {
    TMainForm form(*platform, options.form);
    ran = form.Run();
  }
  lock.Close();
  if (!ran) {
    std::fprintf(stderr, "halcyra: the game window could not be opened\n");
    return kExitNoWindow;
  }
  return kExitNormal;
}

}  // namespace halcyra

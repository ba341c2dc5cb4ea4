// The game program. Built twice: HALCYRA_FORCE_SOFTWARE selects the software-only build.
#include <memory>

#include "app/Program.h"
#include "platform/FileSystem.h"
#include "platform/SdlPlatform.h"

int main(int argc, char** argv) {
  halcyra::ProgramOptions options;
  options.form.forceSoftware = HALCYRA_FORCE_SOFTWARE != 0;
  options.form.executablePath = halcyra::ExecutablePath();
  for (int i = 1; i < argc; ++i) options.form.arguments.emplace_back(argv[i]);
  return halcyra::RunProgram(options, [] { return std::make_unique<halcyra::SdlPlatform>(); });
}

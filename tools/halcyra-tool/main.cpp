// halcyra-tool: one program, one subcommand per task; see Commands.h.
#include <cstdio>
#include <string_view>

#include "tools/halcyra-tool/Commands.h"
#include "tools/halcyra-tool/PictureCommand.h"
#include "tools/halcyra-tool/SoundCommand.h"

namespace halcyra {
namespace {

struct Subcommand {
  const char* name;
  int (*run)(int argc, char** argv);
  const char* summary;
};

// Adding a subcommand: declare its Run function in Commands.h and add a row here.
constexpr Subcommand kSubcommands[] = {
    {"arc", RunArcCommand, "pack, list and extract archives; scramble scripts"},
    {"picture", RunPictureCommand, "decode a BMP/PSD (loose or from cg.dat) to PNG; print size and frames"},
    {"run", RunRunCommand, "play a game folder headless: scripted input, screenshots"},
    {"sound", RunSoundCommand, "decode a sound to 16-bit PCM WAVE"},
};

void PrintUsage(std::FILE* stream) {
  std::fprintf(stream,
               "usage: halcyra-tool COMMAND [ARGUMENTS...]\n"
               "       halcyra-tool COMMAND --help\n\ncommands:\n");
  for (const Subcommand& subcommand : kSubcommands) {
    std::fprintf(stream, "  %-10s %s\n", subcommand.name, subcommand.summary);
  }
}

int Run(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage(stderr);
    return 1;
  }
  const std::string_view command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    PrintUsage(stdout);
    return 0;
  }
  for (const Subcommand& subcommand : kSubcommands) {
    if (command == subcommand.name) return subcommand.run(argc - 1, argv + 1);
  }
  std::fprintf(stderr, "halcyra-tool: unknown command \"%s\" (try --help)\n", argv[1]);
  return 1;
}

}  // namespace
}  // namespace halcyra

int main(int argc, char** argv) { return halcyra::Run(argc, argv); }

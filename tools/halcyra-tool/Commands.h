// The subcommands of halcyra-tool. Each is called like a program's main: argv[0] is the
// subcommand's own name ("arc") and argv[1..argc-1] its arguments. Each returns the process exit
// code: 0 on success, 1 after writing a message to stderr. "--help" prints its usage to stdout.
#pragma once

namespace halcyra {

// arc pack | list | extract | scramble-script (ArcCommand.cpp).
int RunArcCommand(int argc, char** argv);

// run GAMEDIR with scripted input and screenshots on the headless platform (RunCommand.cpp).
int RunRunCommand(int argc, char** argv);

}  // namespace halcyra

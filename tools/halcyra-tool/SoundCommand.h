// halcyra-tool sound: decodes a game sound (a WAVE file, PCM or Vorbis-in-WAVE, loose or in the
// sound archives of the current folder) through the engine's own decoder to a 16-bit PCM WAVE.
#pragma once

namespace halcyra {

// Called like a program's main: argv[0] is "sound". Returns 0 on success, 1 after a message on
// stderr; "--help" prints the usage to stdout.
int RunSoundCommand(int argc, char** argv);

}  // namespace halcyra

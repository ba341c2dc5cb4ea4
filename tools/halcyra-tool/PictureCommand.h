// halcyra-tool picture: decodes a BMP or PSD picture exactly as the engine does (loose file
// first, then the picture archives) and reports its size and frame count or writes a frame as a
// PNG.
#pragma once

namespace halcyra {

// argv[0] is "picture"; see the usage text (--help). Returns 0 on success, 1 after a message on
// stderr.
int RunPictureCommand(int argc, char** argv);

}  // namespace halcyra

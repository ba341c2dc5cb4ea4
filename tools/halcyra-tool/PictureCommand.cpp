#include "tools/halcyra-tool/PictureCommand.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "graphics/CDIBitmap.h"
#include "graphics/ErrorReporter.h"
#include "graphics/GraphicsContext.h"
#include "platform/FileSystem.h"
#include "platform/ShiftJis.h"
#include "resource/CArcFile.h"
#include "tools/halcyra-tool/Arguments.h"
#include "tools/halcyra-tool/PngWriter.h"

namespace halcyra {
namespace {

constexpr char kUsage[] =
    "usage: halcyra-tool picture FILE [--frame N] [--out OUT.png] [--info] [--dir DIR]\n"
    "Decodes a BMP or PSD picture as the engine does: FILE is read as a file (relative to DIR,\n"
    "the current folder unless --dir names another), otherwise by its file name from cg2.dat,\n"
    "then cg.dat, in that folder. Prints \"WIDTHxHEIGHT frames=N\". --out writes frame N (from\n"
    "0; default 0) as an RGBA PNG holding exactly the decoded pixels, alpha not premultiplied.\n"
    "--info only prints the line. Decoding faults are printed as the engine would show them.\n";

struct PictureOptions {
  std::string file;
  std::string out;
  std::string folder;
  int frame = 0;
  bool infoOnly = false;
};

int Fail(const std::string& message) {
  std::fprintf(stderr, "halcyra-tool picture: %s\n", message.c_str());
  return 1;
}

// Prints the engine's error boxes on stderr in UTF-8.
class PrintingReporter : public ErrorReporter {
 public:
  void SystemError(std::string_view source, int number, std::string_view message,
                   std::string_view detail) override {
    std::fprintf(stderr, "halcyra-tool picture: System Error: %s (%d) %s %s\n",
                 std::string(source).c_str(), number, ShiftJisToUtf8(message).c_str(),
                 ShiftJisToUtf8(detail).c_str());
  }
  void ErrorBox(std::string_view caption, std::string_view text) override {
    std::fprintf(stderr, "halcyra-tool picture: %s: %s\n", ShiftJisToUtf8(caption).c_str(),
                 ShiftJisToUtf8(text).c_str());
  }
};

bool ParseFrame(const char* text, int& frame) {
  return ParseInteger(text, 0, CDIBitmap::kMaxFrames - 1, frame);
}

// Reads the arguments; returns -1 to go on, or the exit code to stop with.
int ParseArguments(int argc, char** argv, PictureOptions& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const bool hasValue = i + 1 < argc;
    if (argument == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (argument == "--info") {
      options.infoOnly = true;
    } else if (argument == "--frame" && hasValue) {
      if (!ParseFrame(argv[++i], options.frame)) return Fail("--frame needs a number from 0");
    } else if (argument == "--out" && hasValue) {
      options.out = std::filesystem::absolute(argv[++i]).string();
    } else if (argument == "--dir" && hasValue) {
      options.folder = argv[++i];
    } else if (argument.rfind("--", 0) == 0) {
      return Fail("unknown or incomplete option " + argument + "\n" + kUsage);
    } else if (options.file.empty()) {
      options.file = argument;
    } else {
      return Fail("more than one picture given");
    }
  }
  if (options.file.empty()) return Fail(std::string("no picture given\n") + kUsage);
  return -1;
}

// The engine's form of a host path: Shift-JIS with backslash separators.
std::string GamePath(const std::string& hostPath) {
  std::string path = Utf8ToShiftJis(hostPath);
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

}  // namespace

int RunPictureCommand(int argc, char** argv) {
  PictureOptions options;
  if (const int code = ParseArguments(argc, argv, options); code >= 0) return code;
  if (!options.folder.empty() && !ChangeDirectory(options.folder)) {
    return Fail("cannot enter the folder " + options.folder);
  }
  CArcFile archive;
  archive.Open("cg.dat", true, false);
  archive.OpenPatch("cg2.dat", true);
  PrintingReporter reporter;
  GraphicsContext context;
  context.errors = &reporter;
  context.pictures = &archive;
  CDIBitmap picture(context);
  if (!picture.LoadPicture(GamePath(options.file))) return Fail("cannot decode " + options.file);
  std::printf("%dx%d frames=%d\n", picture.GetWidth(), picture.GetHeight(),
              picture.GetFrameCount());
  if (options.infoOnly || options.out.empty()) return 0;
  if (options.frame >= picture.GetFrameCount()) {
    return Fail("the picture has no frame " + std::to_string(options.frame));
  }
  if (!WritePng(options.out, picture.GetBits(options.frame), picture.GetWidth(),
                picture.GetHeight(), false)) {
    return Fail("cannot write " + options.out);
  }
  return 0;
}

}  // namespace halcyra

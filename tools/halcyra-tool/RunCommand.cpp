// halcyra-tool run: plays a game folder on the headless platform.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "app/TMainForm.h"
#include "platform/FileSystem.h"
#include "platform/HeadlessPlatform.h"
#include "platform/ShiftJis.h"
#include "graphics/SpriteTable.h"
#include "script/CScript.h"
#include "script/GameState.h"
#include "tools/halcyra-tool/Arguments.h"
#include "tools/halcyra-tool/Commands.h"
#include "tools/halcyra-tool/PngWriter.h"

namespace halcyra {
namespace {

constexpr char kUsage[] =
    "usage: halcyra-tool run GAMEDIR [--frames N] [--input FILE] [--screenshot FRAME:FILE.png]...\n"
    "                        [--dump-sprites FRAME:FILE]... [--dump-state FILE] [--debug]\n"
    "Plays the game in GAMEDIR without a window on a virtual clock and ends after N presented\n"
    "frames (default 600) or when the script reaches its end. --input feeds scripted input (one\n"
    "event a line, see the README), --screenshot saves the frame presented as number FRAME (1 is\n"
    "the first) as a PNG and may be given more than once, --dump-sprites writes the sprite table at\n"
    "that frame as text (slot, picture, frame, position, brightness, opacity, shown; sprites\n"
    "holding nothing are left out), --dump-state writes the scenario state\n"
    "at the end exactly as a saved game holds it, --debug starts in debug mode. Message boxes and\n"
    "script errors go to standard error and are answered with their default button.\n";

struct RunOptions {
  std::string gameFolder;
  int frames = 600;
  std::string inputText;
  std::map<int, std::string> screenshots;  // frame number -> absolute PNG path
  std::map<int, std::string> spriteDumps;  // frame number -> absolute text path
  std::string stateDump;                    // absolute path, empty for none
  bool debug = false;
};

int Fail(const std::string& message) {
  std::fprintf(stderr, "halcyra-tool run: %s\n", message.c_str());
  return 1;
}

bool ParsePositive(const char* text, int& value) { return ParseInteger(text, 1, 100000000, value); }

// FRAME:FILE, the file made absolute because the run enters the game folder.
bool ParseFrameFile(const std::string& argument, std::map<int, std::string>& files) {
  const std::size_t colon = argument.find(':');
  int frame = 0;
  if (colon == std::string::npos || colon + 1 == argument.size() ||
      !ParsePositive(argument.substr(0, colon).c_str(), frame)) {
    return false;
  }
  files[frame] = std::filesystem::absolute(argument.substr(colon + 1)).string();
  return true;
}

// Reads the arguments; returns -1 to go on, or the exit code to stop with.
int ParseArguments(int argc, char** argv, RunOptions& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const bool hasValue = i + 1 < argc;
    if (argument == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (argument == "--debug") {
      options.debug = true;
    } else if (argument == "--frames" && hasValue) {
      if (!ParsePositive(argv[++i], options.frames)) return Fail("--frames needs a number above 0");
    } else if (argument == "--input" && hasValue) {
      if (!ReadWholeFile(argv[++i], options.inputText)) {
        return Fail(std::string("cannot read the input file ") + argv[i]);
      }
    } else if (argument == "--dump-state" && hasValue) {
      options.stateDump = std::filesystem::absolute(argv[++i]).string();
    } else if (argument == "--screenshot" && hasValue) {
      if (!ParseFrameFile(argv[++i], options.screenshots)) {
        return Fail("--screenshot needs FRAME:FILE.png");
      }
    } else if (argument == "--dump-sprites" && hasValue) {
      if (!ParseFrameFile(argv[++i], options.spriteDumps)) {
        return Fail("--dump-sprites needs FRAME:FILE");
      }
    } else if (argument.rfind("--", 0) == 0) {
      return Fail("unknown or incomplete option " + argument + "\n" + kUsage);
    } else if (options.gameFolder.empty()) {
      options.gameFolder = argument;
    } else {
      return Fail("more than one game folder given");
    }
  }
  if (options.gameFolder.empty()) return Fail(std::string("no game folder given\n") + kUsage);
  if (!std::filesystem::is_directory(options.gameFolder)) {
    return Fail("no such game folder: " + options.gameFolder);
  }
  return -1;
}

// The record as a saved game holds it: its checksum filled in.
bool WriteStateDump(const std::string& path, const GameState& state) {
  std::string bytes(reinterpret_cast<const char*>(&state), sizeof state);
  const std::uint32_t checksum = state.ComputeChecksum();
  for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>(checksum >> (8 * i));
  return WriteFileAtomically(path, bytes);
}

const char* ButtonName(MessageBoxResult answer) {
  switch (answer) {
    case MessageBoxResult::kYes: return "Yes";
    case MessageBoxResult::kNo: return "No";
    default: return "OK";
  }
}

}  // namespace

int RunRunCommand(int argc, char** argv) {
  RunOptions options;
  if (const int code = ParseArguments(argc, argv, options); code >= 0) return code;

  HeadlessOptions headless;
  headless.frameLimit = options.frames;
  // A game that stops drawing (a failed start, an inactive window) still ends in virtual time.
  headless.timeLimit = static_cast<std::uint32_t>(options.frames) * 100u + 10000u;
  TMainForm* running = nullptr;
  headless.endWhen = [&running] {
    return running != nullptr && running->Script() != nullptr &&
           running->Script()->EndOfScriptReported();
  };
  HeadlessPlatform platform(headless);
  std::string error;
  if (!platform.LoadInputScript(options.inputText, error)) return Fail(error);
  bool filesWritten = true;
  platform.SetFrameObserver([&](int frame, const std::uint32_t* pixels, int width, int height) {
    const auto shot = options.screenshots.find(frame);
    if (shot != options.screenshots.end() && !WritePng(shot->second, pixels, width, height, true)) {
      std::fprintf(stderr, "halcyra-tool run: cannot write %s\n", shot->second.c_str());
      filesWritten = false;
    }
    const auto dump = options.spriteDumps.find(frame);
    if (dump != options.spriteDumps.end() && running != nullptr &&
        !WriteFileAtomically(dump->second, ShiftJisToUtf8(running->GetEngine().sprites->DumpText()))) {
      std::fprintf(stderr, "halcyra-tool run: cannot write %s\n", dump->second.c_str());
      filesWritten = false;
    }
  });

  MainFormOptions form;
  form.forceSoftware = true;
  form.executablePath =
      (std::filesystem::absolute(options.gameFolder) / "halcyra").lexically_normal().string();
  if (options.debug) form.arguments.emplace_back("OpenDebugMode");
  bool dumped = true;
  {
    TMainForm mainForm(platform, form);
    running = &mainForm;
    if (!mainForm.Run()) return Fail("the headless window could not be opened");
    running = nullptr;
    if (!options.stateDump.empty()) dumped = WriteStateDump(options.stateDump, *mainForm.GetEngine().state);
  }
  for (const MessageBoxRecord& box : platform.MessageBoxes()) {
    std::fprintf(stderr, "frame %d: message box \"%s\": %s [%s]\n", box.frame,
                 ShiftJisToUtf8(box.request.caption).c_str(),
                 ShiftJisToUtf8(box.request.text).c_str(), ButtonName(box.answer));
  }
  if (!dumped) return Fail("cannot write the state dump " + options.stateDump);
  std::printf("presented %d frames in %u ms of game time\n", platform.PresentedFrames(),
              platform.Ticks());
  for (const auto* files : {&options.screenshots, &options.spriteDumps}) {
    if (!files->empty() && files->rbegin()->first > platform.PresentedFrames()) {
      return Fail("the run ended before every screenshot or dump frame");
    }
  }
  return filesWritten ? 0 : 1;
}

}  // namespace halcyra

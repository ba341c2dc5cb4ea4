// halcyra-tool sound: decode a game sound to 16-bit PCM WAVE.
#include "tools/halcyra-tool/SoundCommand.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "media/CACM.h"
#include "media/CVorbis.h"
#include "media/SoundErrorReporter.h"
#include "media/WaveFormat.h"
#include "media/WaveWriter.h"
#include "platform/ShiftJis.h"
#include "resource/CArcFile.h"
#include "tools/halcyra-tool/HostFiles.h"

namespace halcyra {
namespace {

constexpr char kUsage[] =
    "usage: halcyra-tool sound FILE --out OUT.wav [--dir GAMEDIR]\n"
    "Decodes the WAVE sound FILE (PCM, or Ogg Vorbis inside WAVE) the way the game does and\n"
    "writes it to OUT.wav as 16-bit PCM. FILE is found as the game finds a sound: a file at that\n"
    "path first, else the member named like its part after the last backslash (\"wav\\se01.wav\"\n"
    "-> se01.wav) in wav2.dat or wav.dat of GAMEDIR (default: the current folder).\n"
    "Prints \"RATE Hz CHANNELS ch SAMPLES samples\" (samples per channel).\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "halcyra-tool sound: %s\n", message.c_str());
  return 1;
}

// The engine's error boxes, printed instead of shown.
class PrintingReporter : public SoundErrorReporter {
 public:
  void Report(const MessageBoxRequest& box) override {
    std::fprintf(stderr, "halcyra-tool sound: %s: %s\n", ShiftJisToUtf8(box.caption).c_str(),
                 ShiftJisToUtf8(box.text).c_str());
    reported = true;
  }
  bool reported = false;
};

struct SoundOptions {
  std::string input;
  std::string output;
  std::string gameFolder = ".";
};

// Reads the arguments; returns -1 to go on, or the exit code to stop with.
int ParseArguments(int argc, char** argv, SoundOptions& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--help" || argument == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (argument == "--out") {
      if (i + 1 >= argc) return Fail("--out needs a file name");
      options.output = argv[++i];
    } else if (argument == "--dir") {
      if (i + 1 >= argc) return Fail("--dir needs a folder");
      options.gameFolder = argv[++i];
    } else if (argument.size() > 1 && argument[0] == '-') {
      return Fail("unknown option " + std::string(argument));
    } else if (options.input.empty()) {
      options.input = argument;
    } else {
      return Fail("one sound at a time");
    }
  }
  if (options.input.empty() || options.output.empty()) {
    std::fputs(kUsage, stderr);
    return 1;
  }
  return -1;
}

}  // namespace

int RunSoundCommand(int argc, char** argv) {
  SoundOptions options;
  const int parsed = ParseArguments(argc, argv, options);
  if (parsed >= 0) return parsed;

  // Game paths are Shift-JIS; the file system maps them back to the host's UTF-8 names.
  const std::string folder = Utf8ToShiftJis(options.gameFolder) + "/";
  CArcFile archive;
  archive.Open(folder + "wav.dat", false, false);
  archive.OpenPatch(folder + "wav2.dat", false);
  CVorbis vorbis;
  if (!vorbis.LoadDriver()) std::fprintf(stderr, "halcyra-tool sound: Vorbis is unavailable\n");
  PrintingReporter reporter;
  CACM decoder(&archive, vorbis, reporter);

  if (!decoder.OpenFile(Utf8ToShiftJis(options.input))) {
    return reporter.reported ? 1 : Fail("cannot find " + options.input);
  }
  WaveFormat format;
  std::uint32_t length = 0;
  if (!decoder.GetPcmFormat(format) || !decoder.ConvertAll(length)) return 1;
  std::vector<std::uint8_t> pcm(length);
  if (length > 0) decoder.CopyOut(pcm.data(), length, CACM::kRateNormal);

  const std::vector<std::uint8_t> wave = WaveWriter::Pcm16(
      format.channels, static_cast<int>(format.samplesPerSec), pcm.data(), pcm.size());
  if (!WriteHostFile(std::filesystem::path(options.output), wave)) {
    return Fail("cannot write " + options.output);
  }
  std::printf("%u Hz %u ch %u samples\n", static_cast<unsigned>(format.samplesPerSec),
              static_cast<unsigned>(format.channels),
              static_cast<unsigned>(length / format.blockAlign));
  return 0;
}

}  // namespace halcyra

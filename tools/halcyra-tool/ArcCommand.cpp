// halcyra-tool arc: pack, list and extract archives, and scramble scripts.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/ShiftJis.h"
#include "resource/CArcFile.h"
#include "resource/PictureMember.h"
#include "resource/ScrambleKey.h"
#include "tools/halcyra-tool/ArchiveWriter.h"
#include "tools/halcyra-tool/Commands.h"
#include "tools/halcyra-tool/HostFiles.h"
#include "tools/halcyra-tool/PictureEncoder.h"

namespace halcyra {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: halcyra-tool arc pack OUT.dat FOLDER|FILE... [--scramble] [--chained]\n"
    "       halcyra-tool arc list ARCHIVE [--scramble] [--chained]\n"
    "       halcyra-tool arc extract ARCHIVE OUTDIR [--scramble] [--chained] [--raw]\n"
    "       halcyra-tool arc scramble-script IN.scr OUT.scr\n"
    "\n"
    "pack      writes an archive of the given files, or of the files directly inside each given\n"
    "          folder (sorted by name; subfolders are not included). Members are named by file\n"
    "          name, converted to Shift-JIS: at most 23 bytes, unique without regard to case.\n"
    "          Pictures (.bmp, .psd) are stored LZSS-compressed behind their 4-byte length.\n"
    "list      prints one line per member: name, offset and size in bytes, tab-separated.\n"
    "extract   writes every member into OUTDIR; pictures are decoded back to their plain bytes\n"
    "          unless --raw asks for the bytes as stored.\n"
    "scramble-script\n"
    "          writes the scrambled form of a plain script: the marker \"X\", then every byte\n"
    "          after the first scrambled with the engine key.\n"
    "\n"
    "--scramble  the archive's directory and picture headers are scrambled (scr.dat, cg.dat)\n"
    "--chained   the chained layout instead of the indexed one the engine's archives use\n"
    "--raw       extract: keep pictures as stored\n";

struct Options {
  std::vector<std::string> operands;
  bool scramble = false;
  bool chained = false;
  bool raw = false;
  bool help = false;
};

int Fail(const std::string& message) {
  std::fprintf(stderr, "halcyra-tool arc: %s\n", message.c_str());
  return 1;
}

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
  for (int i = 0; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--scramble") {
      options.scramble = true;
    } else if (argument == "--chained") {
      options.chained = true;
    } else if (argument == "--raw") {
      options.raw = true;
    } else if (argument == "--help" || argument == "-h") {
      options.help = true;
    } else if (argument.size() > 1 && argument[0] == '-') {
      error = "unknown option " + std::string(argument);
      return false;
    } else {
      options.operands.emplace_back(argument);
    }
  }
  return true;
}

// The files a pack operand names: the file itself, or the regular files directly in a folder.
bool CollectInputs(const std::string& operand, std::vector<fs::path>& files, std::string& error) {
  std::error_code code;
  const fs::path path(operand);
  if (fs::is_regular_file(path, code)) {
    files.push_back(path);
    return true;
  }
  if (!fs::is_directory(path, code)) {
    error = "no such file or folder: " + operand;
    return false;
  }
  std::vector<fs::path> found;
  for (const fs::directory_entry& entry : fs::directory_iterator(path, code)) {
    if (entry.is_regular_file(code)) found.push_back(entry.path());
  }
  if (code) {
    error = "cannot read folder " + operand;
    return false;
  }
  std::sort(found.begin(), found.end());
  files.insert(files.end(), found.begin(), found.end());
  return true;
}

// The member name of a host file: its file name in Shift-JIS, which must convert both ways.
bool MemberNameOf(const fs::path& file, std::string& name, std::string& error) {
  const std::string utf8 = file.filename().string();
  name = Utf8ToShiftJis(utf8);
  if (ShiftJisToUtf8(name) != utf8) {
    error = "file name \"" + utf8 + "\" cannot be written in Shift-JIS";
    return false;
  }
  return true;
}

bool AddFile(const fs::path& file, const Options& options, ArchiveWriter& writer,
             std::string& error) {
  std::string name;
  if (!MemberNameOf(file, name, error)) return false;
  std::vector<std::uint8_t> bytes;
  if (!ReadHostFile(file, bytes)) {
    error = "cannot read " + file.string();
    return false;
  }
  if (IsPictureName(name)) {
    std::vector<std::uint8_t> stored;
    if (!EncodePicture(bytes, options.scramble, stored, error)) {
      error = "cannot store " + file.string() + ": " + error;
      return false;
    }
    bytes = std::move(stored);
  }
  return writer.Add(name, std::move(bytes), error);
}

int Pack(const Options& options) {
  if (options.operands.size() < 2) return Fail("pack needs OUT.dat and at least one input");
  std::vector<fs::path> files;
  std::string error;
  for (std::size_t i = 1; i < options.operands.size(); ++i) {
    if (!CollectInputs(options.operands[i], files, error)) return Fail(error);
  }
  ArchiveWriter writer(options.chained, options.scramble);
  const fs::path output(options.operands[0]);
  for (const fs::path& file : files) {
    // Packing a folder into an archive inside it must not swallow an earlier archive.
    std::error_code code;
    if (fs::equivalent(file, output, code)) continue;
    if (!AddFile(file, options, writer, error)) return Fail(error);
  }
  if (!writer.Write(output, error)) return Fail(error);
  return 0;
}

// Archives are opened through the engine's reader, which takes game paths (Shift-JIS).
bool OpenArchive(const std::string& path, const Options& options, CArcFile& archive) {
  return archive.Open(Utf8ToShiftJis(path), options.scramble, options.chained);
}

std::string OpenFailure(const std::string& path) {
  return "cannot open archive " + path +
         " (missing, damaged, or opened with the wrong --scramble/--chained)";
}

int List(const Options& options) {
  if (options.operands.size() != 1) return Fail("list needs exactly one ARCHIVE");
  CArcFile archive;
  if (!OpenArchive(options.operands[0], options, archive)) {
    return Fail(OpenFailure(options.operands[0]));
  }
  int outside = 0;
  for (int i = 0; i < archive.GetCount(); ++i) {
    std::printf("%s\t%u\t%u\n", ShiftJisToUtf8(archive.GetName(i)).c_str(),
                static_cast<unsigned>(archive.GetOffset(i)),
                static_cast<unsigned>(archive.GetEntrySize(i)));
    if (!archive.Select(i)) ++outside;
  }
  if (outside > 0) {
    return Fail(std::to_string(outside) +
                " member(s) lie outside the archive file (damaged, or wrong --scramble?)");
  }
  return 0;
}

// A member name that is safe as a file name inside the output folder.
bool IsSafeFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

bool ExtractMember(CArcFile& archive, int index, const Options& options, const fs::path& folder,
                   std::string& error) {
  const std::string name = ShiftJisToUtf8(archive.GetName(index));
  if (!IsSafeFileName(name)) {
    error = "member " + std::to_string(index) + " has an unusable file name \"" + name + "\"";
    return false;
  }
  if (!archive.Select(index)) {
    error = "member \"" + name + "\" lies outside the archive file";
    return false;
  }
  std::vector<std::uint8_t> bytes(archive.GetSize());
  if (archive.Read(bytes.data(), bytes.size()) != bytes.size()) {
    error = "cannot read member \"" + name + "\"";
    return false;
  }
  if (!options.raw && IsPictureName(name) && !DecodePicture(bytes, options.scramble)) {
    error = "member \"" + name + "\" is not a valid stored picture (use --raw to keep it as is)";
    return false;
  }
  if (!WriteHostFile(folder / name, bytes)) {
    error = "cannot write " + (folder / name).string();
    return false;
  }
  return true;
}

int Extract(const Options& options) {
  if (options.operands.size() != 2) return Fail("extract needs ARCHIVE and OUTDIR");
  CArcFile archive;
  if (!OpenArchive(options.operands[0], options, archive)) {
    return Fail(OpenFailure(options.operands[0]));
  }
  const fs::path folder(options.operands[1]);
  std::error_code code;
  fs::create_directories(folder, code);
  if (!fs::is_directory(folder, code)) return Fail("cannot create folder " + folder.string());
  std::string error;
  for (int i = 0; i < archive.GetCount(); ++i) {
    if (!ExtractMember(archive, i, options, folder, error)) return Fail(error);
  }
  return 0;
}

// The script loader reads byte 0 as a marker and unscrambles bytes 1.. with key bytes 0.. when
// the marker is "X"; a plain script's byte 0 is never executed, so it is replaced by the marker.
int ScrambleScript(const Options& options) {
  if (options.operands.size() != 2) return Fail("scramble-script needs IN.scr and OUT.scr");
  std::vector<std::uint8_t> bytes;
  if (!ReadHostFile(options.operands[0], bytes)) return Fail("cannot read " + options.operands[0]);
  if (!bytes.empty() && bytes[0] == 'X') {
    return Fail(options.operands[0] + " already begins with the scrambled marker \"X\"");
  }
  if (bytes.empty()) bytes.push_back(0);
  bytes[0] = 'X';
  Scramble(bytes.data() + 1, bytes.size() - 1, 0);
  if (!WriteHostFile(options.operands[1], bytes)) {
    return Fail("cannot write " + options.operands[1]);
  }
  return 0;
}

struct Action {
  const char* name;
  int (*run)(const Options& options);
  bool takesLayout;  // --scramble and --chained apply
  bool takesRaw;
};

constexpr Action kActions[] = {
    {"pack", Pack, true, false},
    {"list", List, true, false},
    {"extract", Extract, true, true},
    {"scramble-script", ScrambleScript, false, false},
};

int RunAction(const Action& action, const Options& options) {
  if (!action.takesLayout && (options.scramble || options.chained)) {
    return Fail(std::string(action.name) + " takes no --scramble or --chained");
  }
  if (!action.takesRaw && options.raw) return Fail(std::string(action.name) + " takes no --raw");
  return action.run(options);
}

}  // namespace

int RunArcCommand(int argc, char** argv) {
  Options options;
  std::string error;
  if (!ParseOptions(argc - 1, argv + 1, options, error)) return Fail(error + " (try --help)");
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (options.operands.empty()) {
    std::fputs(kUsage, stderr);
    return 1;
  }
  const std::string action = options.operands.front();
  options.operands.erase(options.operands.begin());
  for (const Action& candidate : kActions) {
    if (action == candidate.name) return RunAction(candidate, options);
  }
  return Fail("unknown action \"" + action + "\" (try --help)");
}

}  // namespace halcyra

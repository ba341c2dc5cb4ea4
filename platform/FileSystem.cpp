#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <ctime>
#include <sstream>
#include <vector>

#include "platform/ShiftJis.h"

namespace halcyra {
namespace {

// Shift-JIS lead bytes of file names, so that a trail byte equal to '\\' (as in "ソ") is not
// taken for a separator.
bool IsNameLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsDrivePrefix(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' &&
         std::isalpha(static_cast<unsigned char>(path[0])) != 0;
}

std::vector<std::string> SplitGamePath(std::string_view path) {
  std::vector<std::string> components;
  std::string current;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const auto byte = static_cast<unsigned char>(path[i]);
    if (IsNameLeadByte(byte) && i + 1 < path.size()) {
      current += path[i];
      current += path[++i];
    } else if (byte == '\\' || byte == '/') {
      components.push_back(current);
      current.clear();
    } else {
      current += path[i];
    }
  }
  components.push_back(current);
  return components;
}

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// The entry of a folder that equals name without regard to ASCII case; the smallest such name
// when several do, so the choice does not depend on the folder's order. Empty when none does.
std::string FindCaseInsensitive(const std::string& folder, const std::string& name) {
  DIR* directory = opendir(folder.empty() ? "." : folder.c_str());
  if (directory == nullptr) return {};
  std::string best;
  while (const dirent* entry = readdir(directory)) {
    const std::string candidate = entry->d_name;
    if (EqualIgnoringAsciiCase(candidate, name) && (best.empty() || candidate < best)) {
      best = candidate;
    }
  }
  closedir(directory);
  return best;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

bool ToLocalTime(std::time_t seconds, LocalTime& time) {
  std::tm parts{};
  if (localtime_r(&seconds, &parts) == nullptr) return false;
  time.year = parts.tm_year + 1900;
  time.month = parts.tm_mon + 1;
  time.day = parts.tm_mday;
  time.hour = parts.tm_hour;
  time.minute = parts.tm_min;
  time.second = parts.tm_sec;
  return true;
}

bool WriteAll(int descriptor, std::string_view contents) {
  std::size_t written = 0;
  while (written < contents.size()) {
    const ssize_t n = write(descriptor, contents.data() + written, contents.size() - written);
    if (n <= 0) return false;
    written += static_cast<std::size_t>(n);
  }
  return true;
}

bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }

// The mount table writes space, tab, newline and backslash in names as three octal digits.
std::string UnescapeMountField(const std::string& field) {
  std::string text;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) &&
        IsOctalDigit(field[i + 2]) && IsOctalDigit(field[i + 3])) {
      text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                (field[i + 3] - '0'));
      i += 3;
    } else {
      text += field[i];
    }
  }
  return text;
}

}  // namespace

std::string HostPath(std::string_view gamePath) {
  bool absolute = false;
  if (IsDrivePrefix(gamePath)) {
    gamePath.remove_prefix(2);
    absolute = !gamePath.empty() && (gamePath[0] == '\\' || gamePath[0] == '/');
  } else {
    absolute = !gamePath.empty() && (gamePath[0] == '\\' || gamePath[0] == '/');
  }
  const std::vector<std::string> components = SplitGamePath(gamePath);
  std::string resolved = absolute ? "/" : "";
  bool resolving = true;
  for (std::size_t i = 0; i < components.size(); ++i) {
    const std::string name = ShiftJisToUtf8(components[i]);
    if (name.empty()) continue;
    std::string next = Join(resolved, name);
    if (resolving && name != "." && name != ".." && !Exists(next)) {
      const std::string match = FindCaseInsensitive(resolved, name);
      if (match.empty()) {
        resolving = false;
      } else {
        next = Join(resolved, match);
      }
    }
    resolved = next;
  }
  return resolved;
}

std::string ExecutablePath() {
  std::vector<char> buffer(4096);
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (length <= 0) return {};
  return std::string(buffer.data(), static_cast<std::size_t>(length));
}

bool ChangeDirectory(const std::string& hostFolder) { return chdir(hostFolder.c_str()) == 0; }

bool FileWriteTime(const std::string& hostPath, LocalTime& time) {
  struct stat info {};
  if (stat(hostPath.c_str(), &info) != 0) return false;
  return ToLocalTime(info.st_mtime, time);
}

bool FileWriteTimeOfOpenFile(int descriptor, LocalTime& time) {
  struct stat info {};
  if (fstat(descriptor, &info) != 0) return false;
  return ToLocalTime(info.st_mtime, time);
}

bool DeleteGameFile(std::string_view gamePath) {
  const std::string path = HostPath(gamePath);
  return !path.empty() && unlink(path.c_str()) == 0;
}

bool WriteFileAtomically(const std::string& hostPath, std::string_view contents) {
  std::string temporary = hostPath + ".XXXXXX";
  const int descriptor = mkstemp(temporary.data());
  if (descriptor < 0) return false;
  struct stat previous {};
  const mode_t mode = stat(hostPath.c_str(), &previous) == 0 ? (previous.st_mode & 07777) : 0644;
  const bool written = fchmod(descriptor, mode) == 0 && WriteAll(descriptor, contents) &&
                       fsync(descriptor) == 0;
  const bool closed = close(descriptor) == 0;
  if (!written || !closed || rename(temporary.c_str(), hostPath.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

bool ReadWholeFile(const std::string& hostPath, std::string& contents) {
  const int descriptor = open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return false;
  contents.clear();
  char buffer[65536];
  bool ok = true;
  for (;;) {
    const ssize_t n = read(descriptor, buffer, sizeof buffer);
    if (n < 0) {
      ok = false;
      break;
    }
    if (n == 0) break;
    contents.append(buffer, static_cast<std::size_t>(n));
  }
  close(descriptor);
  return ok;
}

}  // namespace halcyra

namespace halcyra {

std::vector<std::string> OpticalDriveFolders(const std::string& mountTable) {
  std::string table;
  std::vector<std::string> folders;
  if (!ReadWholeFile(mountTable, table)) return folders;
  std::istringstream lines(table);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string device, folder, type;
    if (!(fields >> device >> folder >> type)) continue;
    if (type != "iso9660" && type != "udf") continue;
    folder = UnescapeMountField(folder);
    if (folder.empty() || folder.back() != '/') folder += '/';
    folders.push_back(folder);
  }
  return folders;
}

}  // namespace halcyra

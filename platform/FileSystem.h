// Game paths to host paths, and the few file-system facts the engine needs.
//
// Game paths keep the engine's form: Shift-JIS bytes with "\\" separators ("scr\\open.scr").
// Host paths are UTF-8 with "/" separators.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace halcyra {

struct LocalTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Maps a game path to a host path: "\\" becomes "/", the bytes are converted from Shift-JIS,
// a leading drive ("C:") is dropped, and each component that does not exist as written is
// matched against its folder without regard to ASCII case. A path that matches nothing is
// returned as written, converted, so that it can be created.
std::string HostPath(std::string_view gamePath);

// The running program's own file, as a host path; empty when it cannot be told.
std::string ExecutablePath();

// Changes the process's working folder; false when the folder cannot be entered.
bool ChangeDirectory(const std::string& hostFolder);

// Last-write time of a host file in local time; false when the file cannot be examined.
bool FileWriteTime(const std::string& hostPath, LocalTime& time);
bool FileWriteTimeOfOpenFile(int descriptor, LocalTime& time);

// Deletes a game-path file; false when it did not exist or could not be removed.
bool DeleteGameFile(std::string_view gamePath);

// Replaces a host file by writing a sibling temporary file and renaming it over the target,
// so that a crash or a full disk never leaves a half-written file. False when any step fails
// (the target is then untouched).
bool WriteFileAtomically(const std::string& hostPath, std::string_view contents);

// Folders (with a trailing "/") where optical discs are mounted (iso9660 and udf file systems),
// in the order of the mount table. The table is the kernel's unless a test names another.
std::vector<std::string> OpticalDriveFolders(const std::string& mountTable = "/proc/mounts");

// Reads a whole host file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& hostPath, std::string& contents);

}  // namespace halcyra

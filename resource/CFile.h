// A file opened by game path for whole-buffer reads and writes, with its last-write time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace halcyra {

enum class FileAccess { kRead, kWrite };
enum class SeekOrigin { kBegin, kCurrent };

class CFile {
 public:
  CFile() = default;
  ~CFile();
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  // Closes any open file first. name is a game path ("cg\\title.bmp", Shift-JIS, backslashes),
  // mapped to the host through HostPath.
  // kRead: opens an existing file; false (and nothing kept) when it cannot be opened.
  // kWrite: creates or truncates the file and returns true even when that fails; such a file
  // then shows itself by writes that write 0 bytes, which is what savers check.
  // Any other access value: false.
  bool Open(std::string_view name, FileAccess access);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

  // Read and Write move up to count bytes between buffer (borrowed) and the current position
  // and return how many moved; 0 when no file is open or the transfer fails.
  std::size_t Read(void* buffer, std::size_t count);
  std::size_t Write(const void* buffer, std::size_t count);

  // Size in bytes; 0 when no file is open or the size cannot be taken. Keeps the position.
  std::uint64_t GetSize();

  // Moves the position by distance bytes from the origin; false when no file is open or the
  // move fails (a negative resulting position, for one).
  bool Seek(std::int64_t distance, SeekOrigin origin);

  // Writes "Error" into text (at least 17 bytes, borrowed) first; on success overwrites it with
  // the last-write time in local time as "YYYY/MM/DD hh:mm". False when no file is open or the
  // time cannot be taken.
  bool GetTimeText(char* text);

  // Sets both to 0 first; on success date = year * 10000 + month * 100 + day and
  // time = hour * 10000 + minute * 100 + second of the last-write time in local time.
  bool GetTimeStamp(std::int32_t& date, std::int32_t& time);

  // Deletes the file at game path name; needs no open file. False when it cannot be deleted.
  static bool Delete(std::string_view name);

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace halcyra

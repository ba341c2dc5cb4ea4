#include "resource/CFile.h"

#include <string>

#include "platform/FileSystem.h"

namespace halcyra {
namespace {

constexpr std::size_t kTimeTextSize = 17;  // "YYYY/MM/DD hh:mm" and its terminator

bool WriteTimeOf(std::FILE* file, LocalTime& time) {
  return file != nullptr && FileWriteTimeOfOpenFile(fileno(file), time);
}

}  // namespace

CFile::~CFile() { Close(); }

bool CFile::Open(std::string_view name, FileAccess access) {
  Close();
  const std::string path = HostPath(name);
  switch (access) {
    case FileAccess::kRead:
      file_ = std::fopen(path.c_str(), "rb");
      return file_ != nullptr;
    case FileAccess::kWrite:
      file_ = std::fopen(path.c_str(), "wb");
      return true;
  }
  return false;
}

void CFile::Close() {
  if (file_ == nullptr) return;
  std::fclose(file_);
  file_ = nullptr;
}

std::size_t CFile::Read(void* buffer, std::size_t count) {
  if (file_ == nullptr || count == 0) return 0;
  return std::fread(buffer, 1, count, file_);
}

std::size_t CFile::Write(const void* buffer, std::size_t count) {
  if (file_ == nullptr || count == 0) return 0;
  return std::fwrite(buffer, 1, count, file_);
}

std::uint64_t CFile::GetSize() {
  if (file_ == nullptr) return 0;
  const long position = std::ftell(file_);
  if (position < 0 || std::fseek(file_, 0, SEEK_END) != 0) return 0;
  const long size = std::ftell(file_);
  std::fseek(file_, position, SEEK_SET);
  return size < 0 ? 0 : static_cast<std::uint64_t>(size);
}

bool CFile::Seek(std::int64_t distance, SeekOrigin origin) {
  if (file_ == nullptr) return false;
  const int whence = origin == SeekOrigin::kBegin ? SEEK_SET : SEEK_CUR;
  return std::fseek(file_, static_cast<long>(distance), whence) == 0;
}

bool CFile::GetTimeText(char* text) {
  std::snprintf(text, kTimeTextSize, "Error");
  LocalTime time;
  if (!WriteTimeOf(file_, time)) return false;
  std::snprintf(text, kTimeTextSize, "%04d/%02d/%02d %02d:%02d", time.year, time.month, time.day,
                time.hour, time.minute);
  return true;
}

bool CFile::GetTimeStamp(std::int32_t& date, std::int32_t& time) {
  date = 0;
  time = 0;
  LocalTime written;
  if (!WriteTimeOf(file_, written)) return false;
  date = written.year * 10000 + written.month * 100 + written.day;
  time = written.hour * 10000 + written.minute * 100 + written.second;
  return true;
}

bool CFile::Delete(std::string_view name) { return DeleteGameFile(name); }

}  // namespace halcyra

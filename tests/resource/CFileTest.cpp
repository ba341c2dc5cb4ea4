#include "resource/CFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

using testing::TempFolder;

std::string GamePath(const TempFolder& folder, std::string_view rest) {
  return folder.Path().string() + "\\" + std::string(rest);
}

// Sets a file's last-write time to the given local time.
void SetLocalWriteTime(const std::filesystem::path& path, int year, int month, int day, int hour,
                       int minute, int second) {
  std::tm parts{};
  parts.tm_year = year - 1900;
  parts.tm_mon = month - 1;
  parts.tm_mday = day;
  parts.tm_hour = hour;
  parts.tm_min = minute;
  parts.tm_sec = second;
  parts.tm_isdst = -1;
  const auto when = std::chrono::system_clock::from_time_t(std::mktime(&parts));
  std::filesystem::last_write_time(path, std::chrono::file_clock::from_sys(when));
}

TEST(CFileTest, WritesThenReadsSeeksAndSizes) {
  TempFolder folder;
  CFile file;
  ASSERT_TRUE(file.Open(GamePath(folder, "save.dat"), FileAccess::kWrite));
  EXPECT_EQ(file.Write("hello world", 11), 11u);
  file.Close();

  ASSERT_TRUE(file.Open(GamePath(folder, "SAVE.DAT"), FileAccess::kRead));
  EXPECT_EQ(file.GetSize(), 11u);
  char buffer[16] = {};
  ASSERT_TRUE(file.Seek(6, SeekOrigin::kBegin));
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 5u);
  EXPECT_STREQ(buffer, "world");
  ASSERT_TRUE(file.Seek(-11, SeekOrigin::kCurrent));
  EXPECT_EQ(file.GetSize(), 11u);  // keeps the position
  EXPECT_EQ(file.Read(buffer, 5), 5u);
  EXPECT_EQ(std::string(buffer, 5), "hello");
  EXPECT_FALSE(file.Seek(-6, SeekOrigin::kCurrent));
  EXPECT_EQ(file.Write("x", 1), 0u);  // opened for reading
}

TEST(CFileTest, ClosedOrMissingFilesDoNothing) {
  TempFolder folder;
  CFile file;
  EXPECT_FALSE(file.Open(GamePath(folder, "missing.dat"), FileAccess::kRead));
  EXPECT_FALSE(file.IsOpen());
  char buffer[4];
  EXPECT_EQ(file.Read(buffer, 4), 0u);
  EXPECT_EQ(file.Write("abcd", 4), 0u);
  EXPECT_EQ(file.GetSize(), 0u);
  EXPECT_FALSE(file.Seek(0, SeekOrigin::kBegin));
  EXPECT_FALSE(file.Open(GamePath(folder, "a.dat"), static_cast<FileAccess>(7)));

  // Writing where nothing can be created still "opens"; the writes then write nothing.
  EXPECT_TRUE(file.Open(GamePath(folder, "no\\such\\folder.dat"), FileAccess::kWrite));
  EXPECT_EQ(file.Write("abcd", 4), 0u);
}

TEST(CFileTest, TimeTextAndStampOfTheLastWrite) {
  TempFolder folder;
  folder.Write("save.dat", "x");
  SetLocalWriteTime(folder.Path() / "save.dat", 2021, 3, 4, 5, 6, 7);
  CFile file;
  char text[32];
  std::memset(text, '#', sizeof text);
  std::int32_t date = -1;
  std::int32_t time = -1;
  EXPECT_FALSE(file.GetTimeText(text));
  EXPECT_STREQ(text, "Error");
  EXPECT_FALSE(file.GetTimeStamp(date, time));
  EXPECT_EQ(date, 0);
  EXPECT_EQ(time, 0);

  ASSERT_TRUE(file.Open(GamePath(folder, "save.dat"), FileAccess::kRead));
  ASSERT_TRUE(file.GetTimeText(text));
  EXPECT_STREQ(text, "2021/03/04 05:06");
  ASSERT_TRUE(file.GetTimeStamp(date, time));
  EXPECT_EQ(date, 20210304);
  EXPECT_EQ(time, 50607);
}

TEST(CFileTest, DeletesByGamePath) {
  TempFolder folder;
  folder.Write("Save/Save001.dat", "x");
  EXPECT_TRUE(CFile::Delete(GamePath(folder, "save\\save001.dat")));
  EXPECT_FALSE(folder.Exists("Save/Save001.dat"));
  EXPECT_FALSE(CFile::Delete(GamePath(folder, "save\\save001.dat")));
}

}  // namespace
}  // namespace halcyra

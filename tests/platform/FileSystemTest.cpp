#include "platform/FileSystem.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <ctime>

#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

using testing::TempFolder;

// Game paths are written with backslashes from the folder's host path onwards.
std::string GamePath(const TempFolder& folder, std::string_view rest) {
  return folder.Path().string() + "\\" + std::string(rest);
}

TEST(HostPathTest, FindsFilesWhateverTheCaseOfEachComponent) {
  TempFolder folder;
  folder.Write("Scr/Open.SCR", "x");
  const std::string expected = folder.File("Scr/Open.SCR");
  for (const char* request : {"scr\\open.scr", "SCR\\OPEN.scr", "Scr\\Open.SCR", "scr/open.scr"}) {
    EXPECT_EQ(HostPath(GamePath(folder, request)), expected) << request;
  }
}

TEST(HostPathTest, DropsADriveAndKeepsMissingPathsAsWritten) {
  TempFolder folder;
  folder.Write("cg/a.bmp", "x");
  EXPECT_EQ(HostPath("C:" + GamePath(folder, "CG\\A.BMP")), folder.File("cg/a.bmp"));
  EXPECT_EQ(HostPath(GamePath(folder, "CG\\Missing\\b.bmp")), folder.File("cg/Missing/b.bmp"));
  EXPECT_EQ(HostPath("save\\Save001.dat"), "save/Save001.dat");
}

TEST(HostPathTest, ConvertsShiftJisNamesAndKeepsTrailBackslashes) {
  TempFolder folder;
  folder.Write("表示/ソフト.txt", "x");
  // 表 = 95 5C, 示 = 8E A6, ソ = 83 5C, フ = 83 74, ト = 83 67: two trail bytes equal '\\'.
  const std::string request = "\x95\x5c\x8e\xa6\\\x83\x5c\x83\x74\x83\x67.TXT";
  EXPECT_EQ(HostPath(GamePath(folder, request)), folder.File("表示/ソフト.txt"));
}

TEST(FileSystemTest, WriteTimeIsLocalTime) {
  TempFolder folder;
  folder.Write("t.dat", "x");
  const std::time_t when = 1700000000;  // fixed instant; its local form depends on TZ
  utimbuf times{when, when};
  ASSERT_EQ(utime(folder.File("t.dat").c_str(), &times), 0);
  std::tm expected{};
  localtime_r(&when, &expected);
  LocalTime time;
  ASSERT_TRUE(FileWriteTime(folder.File("t.dat"), time));
  EXPECT_EQ(time.year, expected.tm_year + 1900);
  EXPECT_EQ(time.month, expected.tm_mon + 1);
  EXPECT_EQ(time.day, expected.tm_mday);
  EXPECT_EQ(time.hour, expected.tm_hour);
  EXPECT_EQ(time.minute, expected.tm_min);
  EXPECT_EQ(time.second, expected.tm_sec);
  EXPECT_FALSE(FileWriteTime(folder.File("none.dat"), time));
}

TEST(FileSystemTest, AtomicWriteReplacesTheFileAndKeepsItsMode) {
  TempFolder folder;
  folder.Write("a.ini", "old");
  ASSERT_EQ(chmod(folder.File("a.ini").c_str(), 0640), 0);
  ASSERT_TRUE(WriteFileAtomically(folder.File("a.ini"), "new contents"));
  EXPECT_EQ(folder.Read("a.ini"), "new contents");
  struct stat info {};
  ASSERT_EQ(stat(folder.File("a.ini").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  // Nothing but the file itself is left behind.
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

TEST(FileSystemTest, AtomicWriteIntoAMissingFolderFails) {
  TempFolder folder;
  EXPECT_FALSE(WriteFileAtomically(folder.File("none/a.ini"), "x"));
  EXPECT_FALSE(folder.Exists("none"));
}

TEST(FileSystemTest, ReadWholeFileReadsEveryByte) {
  TempFolder folder;
  const std::string bytes("a\0b\r\n\xff", 6);
  folder.Write("b.bin", bytes);
  std::string contents = "stale";
  ASSERT_TRUE(ReadWholeFile(folder.File("b.bin"), contents));
  EXPECT_EQ(contents, bytes);
  EXPECT_FALSE(ReadWholeFile(folder.File("none.bin"), contents));
}

TEST(FileSystemTest, DeleteGameFileRemovesOnlyWhatExists) {
  TempFolder folder;
  folder.Write("Save800.dat", "x");
  EXPECT_TRUE(DeleteGameFile(GamePath(folder, "SAVE800.DAT")));
  EXPECT_FALSE(folder.Exists("Save800.dat"));
  EXPECT_FALSE(DeleteGameFile(GamePath(folder, "Save800.dat")));
}

TEST(FileSystemTest, OpticalDrivesComeFromDiscFileSystemsInTableOrder) {
  TempFolder folder;
  folder.Write("mounts",
               "/dev/sda1 / ext4 rw 0 0\n"
               "/dev/sr0 /media/cdrom0 iso9660 ro 0 0\n"
               "proc /proc proc rw 0 0\n"
               "/dev/sr1 /media/My\\040Disc udf ro 0 0\n"
               "broken-line\n");
  const std::vector<std::string> drives = OpticalDriveFolders(folder.File("mounts"));
  EXPECT_EQ(drives, (std::vector<std::string>{"/media/cdrom0/", "/media/My Disc/"}));
  EXPECT_TRUE(OpticalDriveFolders(folder.File("no-such-table")).empty());
}

}  // namespace
}  // namespace halcyra

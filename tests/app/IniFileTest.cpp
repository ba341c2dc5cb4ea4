#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <iterator>
#include <string>

#include "app/IniFile.h"
#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

namespace fs = std::filesystem;

class IniFileTest : public ::testing::Test {
 protected:
  std::string PathOf(const std::string& name) const { return folder_.File(name); }

  std::string WriteFixture(const std::string& name, const std::string& bytes) const {
    folder_.Write(name, bytes);
    return PathOf(name);
  }

  std::string ReadBack(const std::string& name) const { return folder_.Read(name); }

  testing::TempFolder folder_;
};

TEST_F(IniFileTest, MissingFileLoadsAsEmpty) {
  IniFile ini;
  ASSERT_TRUE(ini.Load(PathOf("absent.ini")));
  EXPECT_EQ(ini.ReadString("Display", "Window", "fallback"), "fallback");
  EXPECT_EQ(ini.ReadInteger("Display", "Window", 42), 42);
  EXPECT_TRUE(ini.ReadBool("Display", "Window", true));
}

TEST_F(IniFileTest, ReadsKeysWithWindowsRules) {
  const std::string path = WriteFixture("rules.ini",
                                        "\xEF\xBB\xBF"
                                        "Orphan=1\r\n"
                                        "; Comment=1\r\n"
                                        "[Display]\n"
                                        "  Window = 0 \r\n"
                                        "Refresh=75\r\n"
                                        "refresh=60\r\n"
                                        "NoEquals\r\n"
                                        "\t[ Font ]  \r\n"
                                        ";Style=3\r\n"
                                        "Empty=\r\n"
                                        "Name=A=B\n"
                                        "[display]\r\n"
                                        "Date=1\r\n"
                                        "Window=1");
  IniFile ini;
  ASSERT_TRUE(ini.Load(path));
  const char* const kAbsent = "<absent>";
  struct Case {
    const char* section;
    const char* key;
    std::string expected;
  };
  const Case cases[] = {
      {"Display", "Window", "0"},       {"DISPLAY", "wINDOW", "0"},
      {"display", "REFRESH", "75"},     {"Display", "Date", "1"},
      {"Display", "NoEquals", kAbsent}, {"Display", "Orphan", kAbsent},
      {"Font", "Style", kAbsent},       {"Font", "Empty", ""},
      {"font", "name", "A=B"},          {"Mod", "Window", kAbsent},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key);
    EXPECT_EQ(ini.ReadString(c.section, c.key, kAbsent), c.expected);
  }
}

TEST_F(IniFileTest, ReadsIntegersAndBooleansLikeWindows) {
  struct Case {
    const char* stored;
    int expected;  // with fallback -99
  };
  const Case cases[] = {
      {"42", 42},
      {"+5", 5},
      {"-7", -7},
      {"0x1F", 31},
      {"0X1f", 31},
      {"-0x10", -16},
      {"12abc", 12},
      {"3.9", 3},
      {"  8  ", 8},
      {"0x", 0},
      {"0xZ", 0},
      {"abc", -99},
      {"", -99},
      {"-", -99},
      {"x10", -99},
      {"2147483647", INT_MAX},
      {"2147483648", INT_MAX},
      {"-2147483648", INT_MIN},
      {"-99999999999", INT_MIN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("stored \"") + c.stored + "\"");
    IniFile ini;
    ASSERT_TRUE(ini.Load(WriteFixture("int.ini", std::string("[S]\r\nK=") + c.stored + "\r\n")));
    EXPECT_EQ(ini.ReadInteger("S", "K", -99), c.expected);
    if (c.expected != -99) {
      EXPECT_EQ(ini.ReadBool("S", "K", false), c.expected != 0);
      EXPECT_EQ(ini.ReadBool("S", "K", true), c.expected != 0);
    } else {
      EXPECT_FALSE(ini.ReadBool("S", "K", false));
      EXPECT_TRUE(ini.ReadBool("S", "K", true));
    }
  }
}

TEST_F(IniFileTest, WritesBooleansAsOneAndZeroWithCrLf) {
  IniFile ini;
  ASSERT_TRUE(ini.Load(PathOf("new.ini")));
  ini.WriteBool("Display", "Window", true);
  ini.WriteBool("Display", "Date", false);
  ini.WriteInteger("Effect", "Speed", -4);
  ini.WriteString("User", "Name", "Kazuya\r\nInjected=1");
  ASSERT_TRUE(ini.Save(PathOf("new.ini")));
  EXPECT_EQ(ReadBack("new.ini"),
            "[Display]\r\nWindow=1\r\nDate=0\r\n\r\n"
            "[Effect]\r\nSpeed=-4\r\n\r\n"
            "[User]\r\nName=Kazuya\r\n");
}

TEST_F(IniFileTest, SaveKeepsUntouchedLinesAndAppendsNewKeys) {
  const std::string path = WriteFixture("keep.ini",
                                        "; Merrowdale settings\r\n"
                                        "[Display]\r\n"
                                        "Window = 1\r\n"
                                        "refresh=60\r\n"
                                        "; about the next section\r\n"
                                        "\r\n"
                                        "[Mod]\n"
                                        "Colour=  blue  \n"
                                        "NoEquals");
  IniFile ini;
  ASSERT_TRUE(ini.Load(path));
  ini.WriteBool("DISPLAY", "window", true);
  ini.WriteInteger("Display", "Refresh", 75);
  ini.WriteInteger("Display", "Time", 2);
  ini.WriteInteger("Font", "Style", 1);
  ASSERT_TRUE(ini.Save(path));
  EXPECT_EQ(ReadBack("keep.ini"),
            "; Merrowdale settings\r\n"
            "[Display]\r\n"
            "Window = 1\r\n"
            "refresh=75\r\n"
            "Time=2\r\n"
            "; about the next section\r\n"
            "\r\n"
            "[Mod]\r\n"
            "Colour=  blue  \r\n"
            "NoEquals\r\n"
            "\r\n"
            "[Font]\r\n"
            "Style=1\r\n");
}

TEST_F(IniFileTest, ShiftJisBytesRoundTripUnchanged) {
  // Section ゾ (0x83 0x5D: its second byte is "]"), key 表 (0x95 0x5C), value ソフト表示.
  const std::string section = "\x83\x5D";
  const std::string kanjiKey = "\x95\x5C";
  const std::string value = "\x83\x5C\x83\x74\x83\x67\x95\x5C\x8E\xA6";
  const std::string fixture = "[" + section + "]\r\n" + kanjiKey + "=" + value + "\r\n";
  const std::string path = WriteFixture("sjis.ini", fixture);
  IniFile ini;
  ASSERT_TRUE(ini.Load(path));
  EXPECT_EQ(ini.ReadString(section, kanjiKey, ""), value);
  // ア (0x83 0x41) and ヂ (0x83 0x61) differ only by what would be ASCII case in a second byte.
  ini.WriteString(section, "\x83\x41", "\x94\x5C");  // 能
  EXPECT_EQ(ini.ReadString(section, "\x83\x61", "<absent>"), "<absent>");
  ASSERT_TRUE(ini.Save(path));
  EXPECT_EQ(ReadBack("sjis.ini"), fixture + "\x83\x41=\x94\x5C\r\n");
}

// A file whose first line itself began with a second mark lost that line's first bytes at the
// next load once the file's own mark was not written back.
TEST_F(IniFileTest, ByteOrderMarkIsWrittenBackSoThatLinesStayWhole) {
  const std::string marked = "\xEF\xBB\xBF\xEF\xBB\xBF;first\r\n[Game]\r\nTitle=x\r\n";
  const std::string unmarked = "[Game]\r\nTitle=x\r\n";
  for (const std::string& original : {marked, unmarked}) {
    IniFile ini;
    ASSERT_TRUE(ini.Load(WriteFixture("mark.ini", original)));
    ASSERT_TRUE(ini.Save(PathOf("mark.ini")));
    EXPECT_EQ(ReadBack("mark.ini"), original);
    ASSERT_TRUE(ini.Load(PathOf("mark.ini")));
    EXPECT_EQ(ini.ReadString("Game", "Title", ""), "x");
  }
}

TEST_F(IniFileTest, FailedSaveLeavesOldFileIntact) {
  // A name of 250 bytes exists, but its temporary sibling (7 bytes longer) is beyond what the
  // file system allows, so the save fails before the target is touched, whoever runs the test.
  const std::string original = "[Display]\r\nWindow=1\r\n";
  const std::string path = WriteFixture(std::string(246, 'a') + ".ini", original);
  IniFile ini;
  ASSERT_TRUE(ini.Load(path));
  ini.WriteBool("Display", "Window", false);
  EXPECT_FALSE(ini.Save(path));
  EXPECT_EQ(ReadBack(std::string(246, 'a') + ".ini"), original);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_.Path()), fs::directory_iterator()), 1);
}

TEST_F(IniFileTest, SaveIntoMissingFolderFails) {
  IniFile ini;
  ini.WriteBool("Display", "Window", false);
  EXPECT_FALSE(ini.Save(PathOf("no-such-folder/halcyra.ini")));
}

}  // namespace
}  // namespace halcyra

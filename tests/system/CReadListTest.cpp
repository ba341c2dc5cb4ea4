#include "system/CReadList.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

using namespace std::string_literals;
using testing::TempFolder;

constexpr char kScript[] = "scr\\demo.scr";

std::string GamePath(const TempFolder& folder, std::string_view rest) {
  return folder.Path().string() + "\\" + std::string(rest);
}

// The file bytes of one record: name, its zero, the flags and the end mark.
std::string Record(const std::string& name, const std::string& flags) {
  return name + "\0"s + flags + "\xFF";
}

// The bytes SaveFile writes for a list; empty when it writes no file.
std::string SavedBytes(CReadList& list) {
  TempFolder folder;
  if (!list.SaveFile(GamePath(folder, "SaveXXX.dat"))) return "";
  return folder.Read("SaveXXX.dat");
}

TEST(CReadListTest, VoiceLinesAroundAChoiceBlockGetSixNumbers) {
  // "N; hi\r\nvo a\r\nvo_sel 3\r\nvo b\r\n": the first vo starts at byte 7, vo_sel at 13, the
  // text after "vo_sel " at 20 and the second vo at 23. The loader registers them like this.
  CReadList list;
  ASSERT_TRUE(list.ResetScript(kScript));
  const int positions[] = {7, 13, 20, 20, 20, 23};
  for (int number = 0; number < 6; ++number) {
    ASSERT_TRUE(list.Register(kScript, number, positions[number])) << number;
  }
  EXPECT_EQ(list.RegisteredCount(kScript), 6);

  const struct {
    int position;
    int number;
  } finds[] = {{7, 0}, {13, 1}, {20, 2}, {23, 5}, {8, 0}, {1, 0}};
  for (const auto& find : finds) {
    EXPECT_EQ(list.FindNumber(kScript, find.position), find.number) << find.position;
  }
  const struct {
    int number;
    int offset;
  } offsets[] = {{0, 7}, {1, 13}, {4, 20}, {5, 23}, {6, 1}, {4095, 1}};
  for (const auto& offset : offsets) {
    EXPECT_EQ(list.GetOffset(kScript, offset.number), offset.offset) << offset.number;
  }

  // The question and the second choice were taken, the second vo was read.
  EXPECT_FALSE(list.IsRead(kScript, 1, true));
  EXPECT_FALSE(list.IsRead(kScript, 3, true));
  EXPECT_FALSE(list.IsRead(kScript, 5, true));
  EXPECT_TRUE(list.IsRead(kScript, 5, false));
  EXPECT_EQ(SavedBytes(list), Record(kScript, "\0\1\0\1\0\1"s));
}

TEST(CReadListTest, ReloadingAScriptRestartsItsNumbersButKeepsItsFlags) {
  CReadList list;
  ASSERT_TRUE(list.ResetScript(kScript));
  for (int number = 0; number < 3; ++number) {
    ASSERT_TRUE(list.Register(kScript, number, 10 * number + 5));
  }
  EXPECT_FALSE(list.IsRead(kScript, 2, true));

  ASSERT_TRUE(list.ResetScript("SCR\\DEMO.SCR"));
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.RegisteredCount(kScript), 0);
  EXPECT_TRUE(list.IsMarked(kScript, 2));
  EXPECT_EQ(list.GetOffset(kScript, 2), 25);  // until the new registration overwrites it
  ASSERT_TRUE(list.Register(kScript, 0, 40));
  EXPECT_EQ(list.GetOffset(kScript, 0), 40);
  EXPECT_EQ(SavedBytes(list), Record(kScript, "\0"s));
}

TEST(CReadListTest, UnlistedScriptsAreAddedUnmarked) {
  CReadList list;
  EXPECT_FALSE(list.IsRead("scr\\a.scr", 3, true));
  EXPECT_EQ(list.Count(), 1);
  EXPECT_FALSE(list.IsMarked("scr\\a.scr", 3));
  EXPECT_FALSE(list.IsRead("scr\\a.scr", 3, true));
  EXPECT_TRUE(list.IsRead("scr\\a.scr", 3, false));

  EXPECT_EQ(list.FindNumber("scr\\b.scr", 50), 0);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.GetOffset("scr\\c.scr", 0), 1);  // asking for an offset adds nothing
  EXPECT_FALSE(list.Register("scr\\c.scr", 0, 9));
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.RegisteredCount("scr\\c.scr"), -1);
  EXPECT_FALSE(list.AddScript(""));
  EXPECT_EQ(list.Count(), 2);

  // Marked but never registered: the file keeps only registered numbers' flags.
  EXPECT_EQ(SavedBytes(list), Record("scr\\a.scr", "") + Record("scr\\b.scr", ""));
}

TEST(CReadListTest, NamesCompareIgnoringOnlyAsciiLetterCase) {
  const struct {
    const char* stored;
    const char* asked;
    bool same;
  } cases[] = {
      {"scr\\open.scr", "SCR\\OPEN.SCR", true},
      {"scr\\Open.Scr", "sCR\\oPEN.sCR", true},
      {"scr\\open.scr", "scr\\open.sc", false},
      {"scr\\open.scr", "scr\\open.scr ", false},
      {"[.scr", "{.scr", false},                // 0x5B and 0x7B differ by the case bit only
      {"@.scr", "`.scr", false},                // so do 0x40 and 0x60
      {"\xC9.scr", "\xE9.scr", false},          // Latin-1 letters do not fold
      {"\x82\x60.scr", "\x82\x81.scr", false},  // nor do full-width Shift-JIS letters
  };
  for (const auto& test : cases) {
    CReadList list;
    ASSERT_TRUE(list.AddScript(test.stored));
    EXPECT_FALSE(list.IsRead(test.asked, 0, true));
    EXPECT_EQ(list.IsMarked(test.stored, 0), test.same) << test.asked;
    EXPECT_EQ(list.Count(), test.same ? 1 : 2) << test.asked;
  }
}

TEST(CReadListTest, LookupStartsAtTheCursorAndWrapsAtTheFirstFreeEntry) {
  CReadList list;
  for (const char* name : {"a", "b", "c"}) ASSERT_TRUE(list.AddScript(name));
  EXPECT_EQ(list.Cursor(), 0);
  const struct {
    const char* script;
    int cursor;
  } steps[] = {
      {"c", 2}, {"C", 2},        // the same script again stays put
      {"a", 0},                  // past "c" comes the free entry, which leads back to 0
      {"b", 1}, {"missing", 1},  // a full round without a match ends where it began
  };
  for (const auto& step : steps) {
    list.GetOffset(step.script, 0);
    EXPECT_EQ(list.Cursor(), step.cursor) << step.script;
  }
  EXPECT_EQ(list.Count(), 3);
}

TEST(CReadListTest, ClearForgetsEveryEntry) {
  CReadList list;
  for (const char* name : {"a", "b", "c"}) ASSERT_TRUE(list.AddScript(name));
  list.GetOffset("c", 0);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Cursor(), 0);
  EXPECT_EQ(list.RegisteredCount("a"), -1);

  // Entries past the new end must read as free, or a search would stop on an old name.
  ASSERT_TRUE(list.AddScript("x"));
  list.GetOffset("y", 0);
  EXPECT_FALSE(list.IsRead("x", 0, true));
  EXPECT_EQ(list.Count(), 1);
  EXPECT_TRUE(list.IsMarked("x", 0));
}

TEST(CReadListTest, HoldsAtMost1000ScriptsWithTheCursorInsideTheTable) {
  CReadList list;
  for (int i = 0; i < CReadList::kCapacity; ++i) {
    ASSERT_TRUE(list.AddScript("s" + std::to_string(i))) << i;
  }
  EXPECT_FALSE(list.AddScript("extra"));
  EXPECT_EQ(list.Count(), 1000);

  // A 1001st script is never listed, so its lines stay unread whatever is marked.
  EXPECT_FALSE(list.IsRead("extra", 0, true));
  EXPECT_FALSE(list.IsRead("extra", 0, true));
  EXPECT_EQ(list.FindNumber("extra", 7), 0);
  EXPECT_FALSE(list.ResetScript("extra"));
  EXPECT_FALSE(list.Register("extra", 0, 7));
  EXPECT_EQ(list.RegisteredCount("extra"), -1);
  EXPECT_EQ(list.Count(), 1000);

  // With no free entry the search wraps at the end of the table.
  const struct {
    const char* script;
    int cursor;
  } steps[] = {{"s999", 999}, {"nothing", 999}, {"s0", 0}, {"nothing", 0}, {"S998", 998}};
  for (const auto& step : steps) {
    list.GetOffset(step.script, 0);
    EXPECT_EQ(list.Cursor(), step.cursor) << step.script;
  }
}

TEST(CReadListTest, RefusesMessageNumbersOutside0To4095) {
  CReadList list;
  ASSERT_TRUE(list.ResetScript(kScript));
  for (const int number : {-1, 4096, INT_MIN, INT_MAX}) {
    EXPECT_FALSE(list.IsRead(kScript, number, true)) << number;
    EXPECT_FALSE(list.IsRead(kScript, number, true)) << number;
    EXPECT_FALSE(list.IsMarked(kScript, number)) << number;
    EXPECT_EQ(list.GetOffset(kScript, number), 1) << number;
    EXPECT_FALSE(list.Register(kScript, number, 30)) << number;
  }
  EXPECT_EQ(list.RegisteredCount(kScript), 0);
  EXPECT_EQ(list.FindNumber(kScript, 30), 0);
}

TEST(CReadListTest, RegistersAtMost4096NumbersPerScript) {
  CReadList list;
  ASSERT_TRUE(list.ResetScript(kScript));
  for (int number = 0; number < CReadList::kMaxMessages; ++number) {
    ASSERT_TRUE(list.Register(kScript, number, number + 2)) << number;
  }
  EXPECT_FALSE(list.Register(kScript, 0, 9999));
  EXPECT_EQ(list.RegisteredCount(kScript), 4096);
  EXPECT_EQ(list.GetOffset(kScript, 0), 2);
  EXPECT_EQ(list.FindNumber(kScript, 4097), 4095);
  EXPECT_EQ(list.FindNumber(kScript, 9999), CReadList::kNoNumber);

  EXPECT_FALSE(list.IsRead(kScript, 4095, true));
  const std::string expected = Record(kScript, std::string(4095, '\0') + "\1");
  ASSERT_EQ(SavedBytes(list), expected);

  TempFolder folder;
  folder.Write("SaveXXX.dat", expected);
  CReadList loaded;
  ASSERT_TRUE(loaded.LoadFile(GamePath(folder, "SaveXXX.dat")));
  EXPECT_EQ(loaded.RegisteredCount(kScript), 4096);
  EXPECT_TRUE(loaded.IsMarked(kScript, 4095));
  EXPECT_EQ(SavedBytes(loaded), expected);
}

TEST(CReadListTest, SavesAndLoadsByteForByte) {
  CReadList list;
  ASSERT_TRUE(list.ResetScript("scr\\open.scr"));
  for (int number = 0; number < 3; ++number) ASSERT_TRUE(list.Register("scr\\open.scr", number, 9));
  ASSERT_TRUE(list.ResetScript("scr\\Day1.scr"));
  ASSERT_TRUE(list.Register("scr\\Day1.scr", 0, 30));
  EXPECT_FALSE(list.IsRead("scr\\open.scr", 0, true));
  EXPECT_FALSE(list.IsRead("scr\\open.scr", 2, true));
  EXPECT_FALSE(list.IsRead("SCR\\DAY1.SCR", 0, true));

  const std::string expected =
      "scr\\open.scr\0\x01\x00\x01\xFF"
      "scr\\Day1.scr\0\x01\xFF"s;
  TempFolder folder;
  ASSERT_TRUE(list.SaveFile(GamePath(folder, "SaveXXX.dat")));
  ASSERT_EQ(folder.Read("SaveXXX.dat"), expected);

  CReadList loaded;
  ASSERT_TRUE(loaded.LoadFile(GamePath(folder, "SaveXXX.dat")));
  EXPECT_EQ(loaded.Count(), 2);
  EXPECT_TRUE(loaded.IsRead("scr\\open.scr", 0, false));
  EXPECT_FALSE(loaded.IsRead("scr\\open.scr", 1, false));
  EXPECT_TRUE(loaded.IsRead("scr\\open.scr", 2, false));
  EXPECT_TRUE(loaded.IsRead("scr\\day1.scr", 0, false));
  EXPECT_EQ(loaded.GetOffset("scr\\open.scr", 0), 1);  // offsets come back only by loading
  EXPECT_EQ(SavedBytes(loaded), expected);
}

TEST(CReadListTest, LoadsWhatTheFileHolds) {
  const std::string overlong(300, 'n');
  const std::string longest(255, 'n');
  const struct {
    const char* what;
    std::string bytes;
    int count;
    std::string saved;  // what saving the loaded list writes
  } cases[] = {
      {"two records", Record("a", "\1\0"s) + Record("B", ""), 2,
       Record("a", "\1\0"s) + Record("B", "")},
      {"record without end mark", "a\0\1\0\1"s, 1, Record("a", "\1\0\1"s)},
      {"name cut by the end", "abc", 1, Record("abc", "")},
      {"zero byte ends the file", Record("a", "\1") + "\0"s + Record("b", "\1"), 1,
       Record("a", "\1")},
      {"zero byte first", "\0"s + Record("a", ""), 0, ""},
      {"empty file", "", 0, ""},
      {"255-byte name", Record(longest, "\1"), 1, Record(longest, "\1")},
      {"overlong name", Record(overlong, "\1"), 1, Record(longest, "\1")},
      {"flags past 4096", Record("a", std::string(4100, '\1')) + Record("b", "\1"), 2,
       Record("a", std::string(4096, '\1')) + Record("b", "\1")},
  };
  for (const auto& test : cases) {
    TempFolder folder;
    folder.Write("SaveXXX.dat", test.bytes);
    CReadList list;
    ASSERT_TRUE(list.AddScript("old"));
    EXPECT_TRUE(list.LoadFile(GamePath(folder, "SaveXXX.dat"))) << test.what;
    EXPECT_EQ(list.Count(), test.count) << test.what;
    EXPECT_EQ(list.RegisteredCount("old"), -1) << test.what;
    EXPECT_EQ(SavedBytes(list), test.saved) << test.what;
  }
}

TEST(CReadListTest, LoadsAtMost1000Records) {
  std::string bytes;
  for (int i = 0; i <= CReadList::kCapacity; ++i) bytes += Record("s" + std::to_string(i), "\1");
  TempFolder folder;
  folder.Write("SaveXXX.dat", bytes);
  CReadList list;
  ASSERT_TRUE(list.LoadFile(GamePath(folder, "SaveXXX.dat")));
  EXPECT_EQ(list.Count(), 1000);
  EXPECT_TRUE(list.IsMarked("s999", 0));
  EXPECT_EQ(list.RegisteredCount("s1000"), -1);
}

TEST(CReadListTest, MissingFileLeavesTheListEmpty) {
  TempFolder folder;
  CReadList list;
  ASSERT_TRUE(list.AddScript("old"));
  EXPECT_FALSE(list.LoadFile(GamePath(folder, "SaveXXX.dat")));
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Cursor(), 0);
}

TEST(CReadListTest, SavesNothingWithoutEntriesOrWritableFile) {
  TempFolder folder;
  folder.Write("SaveXXX.dat", "kept");
  CReadList list;
  EXPECT_FALSE(list.SaveFile(GamePath(folder, "SaveXXX.dat")));
  EXPECT_EQ(folder.Read("SaveXXX.dat"), "kept");

  ASSERT_TRUE(list.AddScript("a"));
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(list.SaveFile(GamePath(folder, "SaveXXX.dat")));
  EXPECT_EQ(folder.Read("SaveXXX.dat"), "kept");

  ASSERT_TRUE(list.AddScript("a"));
  EXPECT_FALSE(list.SaveFile(GamePath(folder, "no\\such\\folder\\SaveXXX.dat")));
  EXPECT_FALSE(folder.Exists("no"));
}

TEST(CReadListTest, NamesAreCutTo255BytesInTheFile) {
  const std::string overlong(300, 'n');
  const std::string longest(255, 'n');
  CReadList list;
  ASSERT_TRUE(list.ResetScript(overlong));
  ASSERT_TRUE(list.Register(overlong, 0, 4));
  EXPECT_FALSE(list.IsRead(overlong, 0, true));
  EXPECT_EQ(SavedBytes(list), Record(longest, "\1"));

  TempFolder folder;
  folder.Write("SaveXXX.dat", Record(overlong, "\1"));
  ASSERT_TRUE(list.LoadFile(GamePath(folder, "SaveXXX.dat")));
  EXPECT_EQ(list.RegisteredCount(overlong), -1);
  EXPECT_EQ(list.RegisteredCount(longest), 1);
  EXPECT_TRUE(list.IsMarked(longest, 0));
}

TEST(CReadListTest, OnlyFlagOneCountsAsRead) {
  TempFolder folder;
  folder.Write("SaveXXX.dat", Record("a", "\2\1\0"s));
  CReadList list;
  ASSERT_TRUE(list.LoadFile(GamePath(folder, "SaveXXX.dat")));
  EXPECT_FALSE(list.IsRead("a", 0, false));
  EXPECT_TRUE(list.IsRead("a", 1, false));
  EXPECT_FALSE(list.IsRead("a", 2, false));
  EXPECT_FALSE(list.IsRead("a", 0, true));
  EXPECT_TRUE(list.IsRead("a", 0, false));
}

}  // namespace
}  // namespace halcyra

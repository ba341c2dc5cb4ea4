#include "resource/CArcFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "resource/ScrambleKey.h"
#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

using testing::TempFolder;

struct Member {
  std::string name;
  std::string data;
};

std::string Le32(std::uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

// Exclusive-or with the key, written out here rather than through Scramble.
std::string XorWithKey(std::string bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<char>(bytes[i] ^ kScrambleKey[i % 7]);
  }
  return bytes;
}

std::string Field(std::string_view text, std::size_t width) {
  std::string field(text.substr(0, width));
  field.resize(width, '\0');
  return field;
}

std::string IndexedEntry(std::uint32_t offset, std::uint32_t size, std::string_view name) {
  return Le32(offset) + Le32(size) + Field(name, 24);
}

// Indexed layout: count, 12 bytes the reader skips, directory, data in member order.
std::string IndexedArchive(const std::vector<Member>& members, bool scrambled = false) {
  std::string directory;
  std::uint32_t offset = 16 + 32 * static_cast<std::uint32_t>(members.size());
  std::string data;
  for (const Member& member : members) {
    directory += IndexedEntry(offset, static_cast<std::uint32_t>(member.data.size()), member.name);
    offset += static_cast<std::uint32_t>(member.data.size());
    data += member.data;
  }
  if (scrambled) directory = XorWithKey(directory);
  return Le32(static_cast<std::uint32_t>(members.size())) + std::string(12, '\x7F') + directory +
         data;
}

// Chained layout: 4096 unread bytes, then header {size, name[28]} + data + zero padding to 16.
std::string ChainedArchive(const std::vector<Member>& members, bool scrambled = false) {
  std::string archive(4096, '\x55');
  for (const Member& member : members) {
    const std::string header =
        Le32(static_cast<std::uint32_t>(member.data.size())) + Field(member.name, 28);
    archive += scrambled ? XorWithKey(header) : header;
    archive += member.data;
    archive += std::string((16 - member.data.size() % 16) % 16, '\0');
  }
  return archive;
}

std::string ReadSelected(CArcFile& archive) {
  std::string bytes(archive.GetSize(), '\0');
  bytes.resize(archive.Read(bytes.data(), bytes.size()));
  return bytes;
}

class CArcFileTest : public ::testing::Test {
 protected:
  std::string Make(std::string_view name, const std::string& bytes) {
    folder_.Write(name, bytes);
    return folder_.File(name);
  }

  TempFolder folder_;
  CArcFile archive_;
};

TEST_F(CArcFileTest, FindsMembersByFileNameIgnoringFolderAndCase) {
  ASSERT_TRUE(archive_.Open(Make("scr.dat", IndexedArchive({{"title.scr", "TITLE"},
                                                             {"open.scr", "OPEN!"}})),
                            false, false));
  for (const char* request : {"scr\\Open.SCR", "open.scr", "c:\\x\\OPEN.scr", "OPEN.SCR"}) {
    ASSERT_TRUE(archive_.Find(request)) << request;
    EXPECT_EQ(archive_.GetSize(), 5u) << request;
    EXPECT_EQ(ReadSelected(archive_), "OPEN!") << request;
  }
  for (const char* request : {"scr/open.scr", "open.sc", "pen.scr", "", "scr\\"}) {
    EXPECT_FALSE(archive_.Find(request)) << request;
  }
}

TEST_F(CArcFileTest, ReadsAScrambledDirectory) {
  const std::string bytes = IndexedArchive({{"a.bmp", "first"}, {"b.bmp", "second"}}, true);
  // The count stays plain, and the names are not readable as stored.
  ASSERT_EQ(bytes.substr(0, 4), Le32(2));
  ASSERT_EQ(bytes.find("a.bmp"), std::string::npos);
  const std::string path = Make("cg.dat", bytes);

  ASSERT_TRUE(archive_.Open(path, true, false));
  EXPECT_STREQ(archive_.GetName(0), "a.bmp");
  ASSERT_TRUE(archive_.Find("cg\\B.BMP"));
  EXPECT_EQ(ReadSelected(archive_), "second");

  // Opened without scrambling, whether or not the garbled directory is accepted, the names are
  // lost.
  archive_.Open(path, false, false);
  EXPECT_FALSE(archive_.Find("b.bmp"));
}

TEST_F(CArcFileTest, PatchMemberWinsAndOnlyTheBaseIsEnumerated) {
  ASSERT_TRUE(archive_.Open(Make("cg.dat", IndexedArchive({{"a.bmp", "base-a"},
                                                           {"b.bmp", "base-b"}}, true)),
                            true, false));
  ASSERT_TRUE(archive_.OpenPatch(Make("cg2.dat", IndexedArchive({{"c.bmp", "patch-c"},
                                                                 {"A.bmp", "patched-a"}}, true)),
                                 true));

  ASSERT_TRUE(archive_.Find("cg\\a.bmp"));
  EXPECT_EQ(archive_.GetSize(), 9u);
  EXPECT_EQ(ReadSelected(archive_), "patched-a");
  ASSERT_TRUE(archive_.Find("b.bmp"));
  EXPECT_EQ(ReadSelected(archive_), "base-b");
  ASSERT_TRUE(archive_.Find("c.bmp"));
  EXPECT_EQ(ReadSelected(archive_), "patch-c");

  EXPECT_EQ(archive_.GetCount(), 2);
  EXPECT_STREQ(archive_.GetName(0), "a.bmp");
  EXPECT_STREQ(archive_.GetName(1), "b.bmp");
  EXPECT_EQ(archive_.GetName(2), nullptr);
  EXPECT_EQ(archive_.GetName(-1), nullptr);
}

TEST_F(CArcFileTest, PatchWithoutBaseFindsNothingAndBrokenPatchChangesNothing) {
  const std::string patch = Make("arc2.scr", IndexedArchive({{"open.scr", "patch"}}));
  EXPECT_FALSE(archive_.Open(folder_.File("scr.dat"), false, false));
  EXPECT_TRUE(archive_.OpenPatch(patch, false));
  EXPECT_FALSE(archive_.Find("open.scr"));
  EXPECT_EQ(archive_.GetSize(), 0u);

  ASSERT_TRUE(archive_.Open(Make("scr.dat", IndexedArchive({{"open.scr", "base"}})), false, false));
  EXPECT_FALSE(archive_.OpenPatch(folder_.File("missing.dat"), false));
  ASSERT_TRUE(archive_.Find("open.scr"));
  EXPECT_EQ(ReadSelected(archive_), "base");
}

TEST_F(CArcFileTest, AfterAFailedFindNothingIsSelected) {
  ASSERT_TRUE(archive_.Open(Make("a.dat", IndexedArchive({{"x.wav", "data"}})), false, false));
  ASSERT_TRUE(archive_.Find("x.wav"));
  EXPECT_FALSE(archive_.Find("y.wav"));
  char buffer[8];
  EXPECT_EQ(archive_.GetSize(), 0u);
  EXPECT_EQ(archive_.Read(buffer, sizeof buffer), 0u);
}

TEST_F(CArcFileTest, ReadStopsAtTheMemberEnd) {
  ASSERT_TRUE(archive_.Open(Make("a.dat", IndexedArchive({{"x", "1234"}, {"y", "5678"}})), false,
                            false));
  ASSERT_TRUE(archive_.Find("x"));
  char buffer[16] = {};
  EXPECT_EQ(archive_.Read(buffer, 3), 3u);
  EXPECT_EQ(archive_.Read(buffer + 3, 10), 1u);
  EXPECT_EQ(archive_.Read(buffer, 10), 0u);
  EXPECT_EQ(std::string(buffer, 4), "1234");
}

TEST_F(CArcFileTest, SelectUsesThisArchiveOnly) {
  ASSERT_TRUE(archive_.Open(Make("a.dat", IndexedArchive({{"x", "base-x"}, {"y", "base-y"}})),
                            false, false));
  ASSERT_TRUE(archive_.OpenPatch(Make("b.dat", IndexedArchive({{"x", "patch"}})), false));
  ASSERT_TRUE(archive_.Select(0));
  EXPECT_EQ(ReadSelected(archive_), "base-x");
  ASSERT_TRUE(archive_.Select(1));
  EXPECT_EQ(ReadSelected(archive_), "base-y");
  EXPECT_FALSE(archive_.Select(2));
  EXPECT_FALSE(archive_.Select(-1));
  EXPECT_EQ(archive_.GetSize(), 0u);
}

TEST_F(CArcFileTest, IndexedArchiveOfNoEntriesOpensAndFindsNothing) {
  ASSERT_TRUE(archive_.Open(Make("empty.dat", Le32(0) + std::string(12, '\0')), true, false));
  EXPECT_EQ(archive_.GetCount(), 0);
  EXPECT_FALSE(archive_.Find("anything"));
}

TEST_F(CArcFileTest, RefusesArchivesItCannotRead) {
  const std::string oneEntry = IndexedArchive({{"a", "x"}});
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"short header", std::string(15, '\0')},
      {"count beyond file", Le32(2) + oneEntry.substr(4)},
      {"huge count", Le32(0xFFFFFFFF) + oneEntry.substr(4)},
      {"truncated directory", oneEntry.substr(0, 16 + 31)},
  };
  for (const auto& [label, bytes] : cases) {
    EXPECT_FALSE(archive_.Open(Make("bad.dat", bytes), false, false)) << label;
    EXPECT_EQ(archive_.GetCount(), 0) << label;
    EXPECT_FALSE(archive_.Find("a")) << label;
  }
  EXPECT_FALSE(archive_.Open(folder_.File("missing.dat"), false, false));
}

TEST_F(CArcFileTest, EntriesOutsideTheFileCannotBeSelected) {
  // Data region: "good" at 112 (16 + 3 * 32), then nothing more.
  const std::string bytes = Le32(3) + std::string(12, '\0') + IndexedEntry(112, 4, "good") +
                            IndexedEntry(112, 5, "long") + IndexedEntry(0xFFFFFFF0u, 0x20, "wrap") +
                            "GOOD";
  ASSERT_TRUE(archive_.Open(Make("a.dat", bytes), false, false));
  EXPECT_EQ(archive_.GetCount(), 3);
  EXPECT_STREQ(archive_.GetName(1), "long");
  ASSERT_TRUE(archive_.Find("good"));
  EXPECT_EQ(ReadSelected(archive_), "GOOD");
  for (const char* name : {"long", "wrap"}) {
    EXPECT_FALSE(archive_.Find(name)) << name;
    EXPECT_EQ(archive_.GetSize(), 0u) << name;
  }
  EXPECT_FALSE(archive_.Select(1));

  // A patch entry that runs past its file lets the base member through.
  CArcFile base;
  ASSERT_TRUE(base.Open(Make("base.dat", IndexedArchive({{"long", "from base"}})), false, false));
  ASSERT_TRUE(base.OpenPatch(folder_.File("a.dat"), false));
  ASSERT_TRUE(base.Find("long"));
  EXPECT_EQ(ReadSelected(base), "from base");
}

TEST_F(CArcFileTest, NamesWithoutTerminatorAreCutAt23Bytes) {
  const std::string bytes = Le32(1) + std::string(12, '\0') +
                            IndexedEntry(48, 1, "abcdefghijklmnopqrstuvwx") + "!";
  ASSERT_TRUE(archive_.Open(Make("a.dat", bytes), false, false));
  EXPECT_STREQ(archive_.GetName(0), "abcdefghijklmnopqrstuvw");
  EXPECT_TRUE(archive_.Find("ABCDEFGHIJKLMNOPQRSTUVW"));
  EXPECT_FALSE(archive_.Find("abcdefghijklmnopqrstuvwx"));
}

TEST_F(CArcFileTest, ShiftJisTrailBackslashIsNotAFolderSeparator) {
  // "表.bmp": the second byte of 表 is 0x5C.
  const std::string name = "\x95\x5C.bmp";
  ASSERT_TRUE(archive_.Open(Make("cg.dat", IndexedArchive({{name, "pic"}})), false, false));
  ASSERT_TRUE(archive_.Find("cg\\" + name));
  EXPECT_EQ(ReadSelected(archive_), "pic");
}

TEST_F(CArcFileTest, ChainedLayoutPadsEachMemberTo16Bytes) {
  for (const bool scrambled : {false, true}) {
    const std::string bytes =
        ChainedArchive({{"one.txt", "Z"}, {"two.txt", "hello"}, {"three.txt", ""}}, scrambled);
    ASSERT_TRUE(archive_.Open(Make("c.dat", bytes), scrambled, true)) << scrambled;
    ASSERT_EQ(archive_.GetCount(), 3);
    EXPECT_EQ(archive_.GetOffset(0), 4128u);
    EXPECT_EQ(archive_.GetOffset(1), 4128u + 48);
    EXPECT_EQ(archive_.GetOffset(2), 4176u + 48);
    ASSERT_TRUE(archive_.Find("ONE.txt"));
    EXPECT_EQ(ReadSelected(archive_), "Z");
    ASSERT_TRUE(archive_.Find("x\\two.TXT"));
    EXPECT_EQ(ReadSelected(archive_), "hello");
    ASSERT_TRUE(archive_.Find("three.txt"));
    EXPECT_EQ(archive_.GetSize(), 0u);
  }
}

TEST_F(CArcFileTest, ChainedPatchUsesTheBaseLayout) {
  ASSERT_TRUE(archive_.Open(Make("c.dat", ChainedArchive({{"a", "base"}})), false, true));
  ASSERT_TRUE(archive_.OpenPatch(Make("c2.dat", ChainedArchive({{"a", "patch"}})), false));
  ASSERT_TRUE(archive_.Find("a"));
  EXPECT_EQ(ReadSelected(archive_), "patch");
}

TEST_F(CArcFileTest, ChainedArchiveWithoutACompleteHeaderFails) {
  for (const std::size_t size : {0, 4096, 4096 + 31}) {
    EXPECT_FALSE(archive_.Open(Make("c.dat", std::string(size, '\0')), false, true)) << size;
    EXPECT_EQ(archive_.GetCount(), 0);
  }
}

TEST_F(CArcFileTest, ChainedDirectoryEndsBeforeAMemberThatRunsPastTheFile) {
  const std::string bytes = ChainedArchive({{"a", "0123456789abcdef"}}) + Le32(100) +
                            Field("cut", 28) + std::string(10, 'x');
  ASSERT_TRUE(archive_.Open(Make("c.dat", bytes), false, true));
  EXPECT_EQ(archive_.GetCount(), 1);
  EXPECT_FALSE(archive_.Find("cut"));
}

TEST_F(CArcFileTest, ChainedDirectoryHoldsAtMost2000Entries) {
  std::vector<Member> members;
  for (int i = 0; i < 2001; ++i) members.push_back({"m" + std::to_string(i), ""});
  ASSERT_TRUE(archive_.Open(Make("c.dat", ChainedArchive(members)), false, true));
  EXPECT_EQ(archive_.GetCount(), 2000);
  EXPECT_TRUE(archive_.Find("m1999"));
  EXPECT_FALSE(archive_.Find("m2000"));
}

TEST_F(CArcFileTest, ArbitraryBytesNeverLeadToReadsBeyondAMember) {
  std::mt19937 random(1234);
  for (int round = 0; round < 200; ++round) {
    std::string bytes(16 + random() % 5000, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    // Small counts, so that the directory is usually accepted and its garbage entries tried.
    bytes.replace(0, 4, Le32(random() % 8));
    const std::string path = Make("r.dat", bytes);
    for (const bool chained : {false, true}) {
      if (!archive_.Open(path, round % 2 == 0, chained)) continue;
      for (int i = 0; i < archive_.GetCount(); ++i) {
        if (!archive_.Select(i)) continue;
        const std::uint64_t end = std::uint64_t{archive_.GetOffset(i)} + archive_.GetSize();
        EXPECT_LE(end, bytes.size());
        EXPECT_EQ(ReadSelected(archive_).size(), archive_.GetEntrySize(i));
      }
    }
  }
}

}  // namespace
}  // namespace halcyra

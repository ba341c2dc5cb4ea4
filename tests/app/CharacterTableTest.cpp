#include "app/CharacterTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace halcyra {
namespace {

using Records = std::vector<CharacterTable::Record>;

Records ParseOk(const std::string& text) {
  Records records;
  int badLine = -1;
  EXPECT_TRUE(CharacterTable::Parse(text, records, badLine)) << text;
  EXPECT_EQ(badLine, 0);
  return records;
}

TEST(CharacterTableTest, ReadsRecordsSkippingCommentsAndBlankLines) {
  const Records records = ParseOk(
      "; the cast\r\n\r\nAri 1 200 ari\r\n  Chi\t0 17 chi,chk ; two prefixes\r\n");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].name, "Ari");
  EXPECT_TRUE(records[0].voiceEnabled);
  EXPECT_EQ(records[0].volume, 200);
  EXPECT_EQ(records[0].voicePrefixes, std::vector<std::string>{"ari"});
  EXPECT_EQ(records[1].name, "Chi");
  EXPECT_FALSE(records[1].voiceEnabled);
  EXPECT_EQ(records[1].volume, 17);
  EXPECT_EQ(records[1].voicePrefixes, (std::vector<std::string>{"chi", "chk"}));
}

TEST(CharacterTableTest, MalformedLinesAreRefusedWithTheirNumber) {
  const struct {
    const char* text;
    int line;
  } cases[] = {{"Ari 1 255\n", 1},           {"A 1 255 ari\nB 2 255 b\n", 2},
               {"A 1 256 ari\n", 1},         {"A 1 -1 ari\n", 1},
               {"A 1 25x ari\n", 1},         {"A 1 255 ari,,b\n", 1},
               {"A 1 255 ari,\n", 1},        {"\n\nA 1 255 ari extra\n", 3}};
  for (const auto& c : cases) {
    Records records;
    int badLine = 0;
    EXPECT_FALSE(CharacterTable::Parse(c.text, records, badLine)) << c.text;
    EXPECT_EQ(badLine, c.line) << c.text;
  }
}

TEST(CharacterTableTest, TheCatchAllRecordEndsTheTableAndAtMostTwentyAreRead) {
  EXPECT_EQ(ParseOk("A 1 255 aaa\nRest 0 9 -\nB 1 255 bbb\n").size(), 2u);
  std::string many;
  for (int i = 0; i < 25; ++i) many += "C" + std::to_string(i) + " 1 255 c" + std::to_string(i) + "\n";
  const Records records = ParseOk(many);
  EXPECT_EQ(records.size(), CharacterTable::kMaxRecords);
  EXPECT_EQ(CharacterTable::CountIniRecords(records), CharacterTable::kMaxIniCharacters);
}

TEST(CharacterTableTest, VoicesFindTheirRecordByPrefixElseTheCatchAll) {
  const Records withCatchAll = ParseOk("A 1 255 ari\nC 1 255 chi,chk\nRest 1 255 -\n");
  const Records without = ParseOk("A 1 255 ari\nC 1 255 chi,chk\n");
  const struct {
    const char* voice;
    int withCatchAll;
    int without;
  } cases[] = {{"ari001", 0, 0},  {"ARI001", 0, 0}, {"chk12", 1, 1},
               {"zzz001", 2, -1}, {"ar", 2, -1},    {"", 2, -1}};
  for (const auto& c : cases) {
    EXPECT_EQ(CharacterTable::RecordForVoice(withCatchAll, c.voice), c.withCatchAll) << c.voice;
    EXPECT_EQ(CharacterTable::RecordForVoice(without, c.voice), c.without) << c.voice;
  }
}

}  // namespace
}  // namespace halcyra

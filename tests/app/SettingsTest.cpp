#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CharacterTable.h"
#include "app/Settings.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestCast.h"

namespace halcyra {
namespace {

const std::string kMsGothic =
    "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e";  // ＭＳ ゴシック
const std::string kKazuya = "\x88\xea\x96\xe7";              // 一也

class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() { testing::UseTestCast(); }

  std::string PathOf(const std::string& name) const { return folder_.File(name); }

  std::string WriteFixture(const std::string& name, const std::string& bytes) const {
    folder_.Write(name, bytes);
    return PathOf(name);
  }

  std::string ReadBack(const std::string& name) const { return folder_.Read(name); }

  Settings LoadFixture(const std::string& bytes) const {
    Settings settings;
    load_settings(WriteFixture("fixture.ini", bytes), settings);
    return settings;
  }

  testing::TempFolder folder_;
};

TEST_F(SettingsTest, MissingFileResetsEverySettingToItsDefault) {
  Settings settings;
  settings.display.refresh = 85;
  settings.message.speed = 9;
  settings.user.name = "Someone";
  settings.effect.speed = 0;
  settings.koukando.alpha = 3;
  settings.charaVolume[2] = 7;
  EXPECT_TRUE(load_settings(PathOf("absent.ini"), settings));
  EXPECT_TRUE(settings.display.window);
  EXPECT_EQ(settings.display.refresh, 60);
  EXPECT_EQ(settings.font.name, kMsGothic);
  EXPECT_EQ(settings.user.name, kKazuya);
  EXPECT_EQ(settings.heroName, kKazuya);
  EXPECT_EQ(settings.user.family, "");
  EXPECT_EQ(settings.message.speed, 0);
  EXPECT_EQ(settings.message.readedLumi, 128);
  EXPECT_EQ(settings.skip2.wait, 5);
  EXPECT_EQ(settings.window.drag, 1);
  EXPECT_EQ(settings.volume.pan, 10);
  EXPECT_EQ(settings.bgm.bgmDownRate, 2);
  EXPECT_EQ(settings.effect.speed, -4);
  EXPECT_EQ(settings.log.lumi, 160);
  EXPECT_EQ(settings.movie.play, 1);
  EXPECT_EQ(settings.koukando.alpha, 128);
  EXPECT_EQ(settings.charaVolume[2], 255);
  EXPECT_TRUE(settings.charaVoice[5]);
  EXPECT_EQ(settings.novel.novelSpd, 3);
  EXPECT_TRUE(settings.niji.rain1);
  EXPECT_FALSE(settings.niji.rain2);
  EXPECT_EQ(settings.fontHeight, -24);
  EXPECT_FALSE(settings.fontBold);
  EXPECT_EQ(settings.refreshRateIndex, -1);
}

TEST_F(SettingsTest, EffectSpeedFromOlderScaleIsConverted) {
  const int cases[][2] = {
      {65, 0},  {64, -1}, {33, -1}, {32, -2}, {25, -2}, {24, -3},   {17, -3}, {16, -4},
      {13, -4}, {12, -5}, {9, -5},  {8, -6},  {7, -6},  {6, -7},    {5, -7},  {4, -8},
      {3, -9},  {2, -10}, {1, -11}, {0, 0},   {-7, -7}, {-11, -11}, {100, 0}, {-12, -11},
  };
  for (const auto& [stored, expected] : cases) {
    SCOPED_TRACE("stored " + std::to_string(stored));
    const Settings settings = LoadFixture("[Effect]\r\nSpeed=" + std::to_string(stored) + "\r\n");
    EXPECT_EQ(settings.effect.speed, expected);
  }
}

TEST_F(SettingsTest, RefreshSelectsFirstMatchElseFirstEntry) {
  struct Case {
    std::vector<int> rates;
    int refresh;
    int expectedIndex;
  };
  const Case cases[] = {
      {{60, 75, 85}, 75, 1},
      {{85, 60, 60}, 60, 1},
      {{60, 75}, 100, 0},
      {{}, 60, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("refresh " + std::to_string(c.refresh));
    Settings settings;
    settings.refreshRates = c.rates;
    load_settings(
        WriteFixture("refresh.ini", "[Display]\r\nRefresh=" + std::to_string(c.refresh) + "\r\n"),
        settings);
    EXPECT_EQ(settings.refreshRateIndex, c.expectedIndex);
    EXPECT_EQ(settings.refreshRates, c.rates);
    EXPECT_EQ(settings.display.refresh, c.refresh);
  }
}

TEST_F(SettingsTest, FontStyleSetsBoldAndItalic) {
  struct Case {
    const char* stored;
    bool bold;
    bool italic;
  };
  const Case cases[] = {{"0", false, false}, {"1", true, false}, {"2", false, true},
                        {"3", true, true},   {"7", true, true},  {"-1", false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("style ") + c.stored);
    const Settings settings = LoadFixture(std::string("[Font]\r\nStyle=") + c.stored + "\r\n");
    EXPECT_EQ(settings.fontBold, c.bold);
    EXPECT_EQ(settings.fontItalic, c.italic);
    EXPECT_EQ(settings.fontHeight, -24);
  }
}

TEST_F(SettingsTest, CopiesStringsAndReturnsWindowFlag) {
  Settings settings;
  settings.heroName = "stale";
  const bool windowed = load_settings(WriteFixture("strings.ini",
                                                   "[Display]\r\nWindow=0\r\n"
                                                   "[User]\r\nName=\x83\x5C\x95\x5C\r\nFamily=\r\n"
                                                   "[Mouse]\r\nType=1\r\nName=hand.ani\r\n"
                                                   "[Editor]\r\nPath=/usr/bin/vi\r\n"
                                                   "Scr Path=scripts\r\nJump Option=+%d\r\n"),
                                      settings);
  EXPECT_FALSE(windowed);
  EXPECT_EQ(settings.heroName, "\x83\x5C\x95\x5C");  // ソ表
  EXPECT_EQ(settings.familyName, "");
  EXPECT_EQ(settings.mouse.type, 1);
  EXPECT_EQ(settings.cursorFile, "hand.ani");
  EXPECT_EQ(settings.editorPath, "/usr/bin/vi");
  EXPECT_EQ(settings.editorScrPath, "scripts");
  EXPECT_EQ(settings.editorJumpOption, "+%d");
}

TEST_F(SettingsTest, ClampsOutOfRangeValues) {
  struct Case {
    const char* section;
    const char* key;
    int stored;
    int expected;
    int (*member)(const Settings&);
  };
  const Case cases[] = {
      {"Message", "Speed", 99, 16, [](const Settings& s) { return s.message.speed; }},
      {"Message", "Speed", 16, 16, [](const Settings& s) { return s.message.speed; }},
      {"Message", "MojiType", 3, 2, [](const Settings& s) { return s.message.mojiType; }},
      {"Volume", "Bgm", 300, 255, [](const Settings& s) { return s.volume.bgm; }},
      {"Volume", "Se", -5, 0, [](const Settings& s) { return s.volume.se; }},
      {"Volume", "Voice", 255, 255, [](const Settings& s) { return s.volume.voice; }},
      {"Display", "Time", -1, 0, [](const Settings& s) { return s.display.time; }},
      {"Display", "TimeTop", 9, 3, [](const Settings& s) { return s.display.timeTop; }},
      {"Display", "Refresh", 144, 144, [](const Settings& s) { return s.display.refresh; }},
      {"Window", "Drag", 3, 2, [](const Settings& s) { return s.window.drag; }},
      {"Bgm", "BgmDownRate", 11, 10, [](const Settings& s) { return s.bgm.bgmDownRate; }},
      {"Key", "Repeat", 9, 8, [](const Settings& s) { return s.key.repeat; }},
      {"Voice", "Rate", 4, 3, [](const Settings& s) { return s.voice.rate; }},
      {"Log", "Wheel", 2, 1, [](const Settings& s) { return s.log.wheel; }},
      {"Movie", "Play", 5, 2, [](const Settings& s) { return s.movie.play; }},
      {"Koukando", "Alpha", 1000, 255, [](const Settings& s) { return s.koukando.alpha; }},
      {"Mouse", "Type", 2, 1, [](const Settings& s) { return s.mouse.type; }},
      {"CharaVolume", "5", 256, 255, [](const Settings& s) { return s.charaVolume[5]; }},
      {"Novel", "NovelSpd", 17, 16, [](const Settings& s) { return s.novel.novelSpd; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key + "=" + std::to_string(c.stored));
    const Settings settings = LoadFixture("[" + std::string(c.section) + "]\r\n" + c.key + "=" +
                                          std::to_string(c.stored) + "\r\n");
    EXPECT_EQ(c.member(settings), c.expected);
  }
}

TEST_F(SettingsTest, KoukandoAndNijiAreReadButNeverWritten) {
  const std::string handWritten = "[Koukando]\r\nAlpha=77\r\n[Niji]\r\nRain1=0\r\nRain2=1\r\n";
  const std::string path = WriteFixture("halcyra.ini", handWritten);
  Settings settings;
  load_settings(path, settings);
  EXPECT_EQ(settings.koukando.alpha, 77);
  EXPECT_FALSE(settings.niji.rain1);
  EXPECT_TRUE(settings.niji.rain2);

  settings.koukando.alpha = 200;
  settings.niji.rain1 = true;
  settings.niji.rain2 = false;
  ASSERT_TRUE(save_settings(path, settings, true, true));
  EXPECT_TRUE(ReadBack("halcyra.ini").starts_with(handWritten + "\r\n[Display]\r\n"));

  ASSERT_TRUE(save_settings(PathOf("fresh.ini"), settings, true, true));
  const std::string fresh = ReadBack("fresh.ini");
  EXPECT_EQ(fresh.find("Koukando"), std::string::npos);
  EXPECT_EQ(fresh.find("Niji"), std::string::npos);
  EXPECT_EQ(fresh.find("Rain"), std::string::npos);
}

TEST_F(SettingsTest, EditorKeysAreWrittenOnlyInDebugMode) {
  const std::string editorSection =
      "[Editor]\r\nPath=old.exe\r\nScr Path=src\r\nJump Option=-n\r\n";
  const std::string path = WriteFixture("halcyra.ini", editorSection);
  Settings settings;
  settings.editor = {"/usr/bin/vi", "scripts", "+%d"};

  ASSERT_TRUE(save_settings(path, settings, true, false));
  EXPECT_TRUE(ReadBack("halcyra.ini").starts_with(editorSection + "\r\n[Display]\r\n"));
  ASSERT_TRUE(save_settings(PathOf("fresh.ini"), settings, true, false));
  EXPECT_EQ(ReadBack("fresh.ini").find("Editor"), std::string::npos);

  ASSERT_TRUE(save_settings(path, settings, true, true));
  EXPECT_TRUE(
      ReadBack("halcyra.ini")
          .starts_with("[Editor]\r\nPath=/usr/bin/vi\r\nScr Path=scripts\r\nJump Option=+%d\r\n"));
}

TEST_F(SettingsTest, SaveKeepsUnknownSectionsKeysAndComments) {
  const std::string path = WriteFixture("halcyra.ini",
                                        "; hand-written comment\r\n"
                                        "[Display]\r\n"
                                        "Window=1\r\n"
                                        "UnknownKey=keep me \x83\x5C\r\n"
                                        "\r\n"
                                        "[Mod]\r\n"
                                        "Colour=  blue  \r\n"
                                        ";Secret=1\r\n");
  ASSERT_TRUE(save_settings(path, Settings{}, false, false));
  EXPECT_TRUE(ReadBack("halcyra.ini")
                  .starts_with("; hand-written comment\r\n"
                               "[Display]\r\n"
                               "Window=0\r\n"
                               "UnknownKey=keep me \x83\x5C\r\n"
                               "Refresh=60\r\nTime=0\r\nDate=0\r\nTimeTop=0\r\nDrawWait=0\r\n"
                               "\r\n"
                               "[Mod]\r\n"
                               "Colour=  blue  \r\n"
                               ";Secret=1\r\n"
                               "\r\n"
                               "[Font]\r\n"));
}

TEST_F(SettingsTest, FreshFileHoldsEveryWrittenKeyInOrder) {
  ASSERT_TRUE(save_settings(PathOf("fresh.ini"), Settings{}, false, false));
  const std::string written = ReadBack("fresh.ini");
  EXPECT_TRUE(
      written.starts_with("[Display]\r\nWindow=0\r\nRefresh=60\r\nTime=0\r\nDate=0\r\n"
                          "TimeTop=0\r\nDrawWait=0\r\n\r\n"
                          "[Font]\r\nName=" +
                          kMsGothic +
                          "\r\nStyle=0\r\n\r\n"
                          "[User]\r\nName=" +
                          kKazuya +
                          "\r\nFamily=\r\n\r\n"
                          "[Message]\r\nSpeed=0\r\nReaded=1\r\n"));
  EXPECT_NE(written.find("\r\n[Effect]\r\nSpeed=-4\r\nClickCancel=0\r\nWaitCancel=0\r\n"),
            std::string::npos);
  EXPECT_NE(
      written.find("\r\n[CharaVoice]\r\n0=1\r\n1=1\r\n2=1\r\n3=1\r\n4=1\r\n5=1\r\n\r\n"
                   "[CharaVolume]\r\n0=255\r\n1=255\r\n2=255\r\n3=255\r\n4=255\r\n5=255\r\n\r\n"
                   "[Novel]\r\n"),
      std::string::npos);
  EXPECT_TRUE(written.ends_with("NovelPage=0\r\n"));
}

TEST_F(SettingsTest, SaveThenLoadRestoresEveryWrittenSetting) {
  Settings saved;
  saved.refreshRates = {60, 75};
  saved.display = {false, 75, 2, true, 3, 1};
  saved.font = {"\x83\x5C\x95\x5C", 3};           // ソ表
  saved.user = {"\x83\x5C", "\x95\x5C\x8E\xA6"};  // ソ, 表示
  saved.message = {16, false, 1, 2, 2, 1, false};
  saved.skip2 = {false, false, 255};
  saved.skip = {0, true, true, false, false};
  saved.skipSelect = {false};
  saved.window = {1, 2, 3, 4, false, 2, false, false, false};
  saved.volume = {0, 1, 2, 255, 4, false, false, false, false};
  saved.voice = {true, 3, false, 7};
  saved.bgm = {true, false, 10};
  saved.key = {8, false};
  saved.save = {false, true, false, false};
  saved.effect = {-11, true, true};
  saved.log = {0, false, false, false, false, 1, 0};
  saved.movie = {0};
  saved.system = {true};
  saved.mouse = {1, "\x95\x5C.cur"};
  saved.charaVoice[0] = false;
  saved.charaVolume[5] = 17;
  saved.novel = {0, 16, false, false, true};
  saved.editor = {"vi", "src", "+%d"};
  ASSERT_TRUE(save_settings(PathOf("round.ini"), saved, saved.display.window, true));

  Settings loaded;
  loaded.refreshRates = saved.refreshRates;
  EXPECT_FALSE(load_settings(PathOf("round.ini"), loaded));
  Settings expected = saved;
  expected.refreshRateIndex = 1;
  expected.fontBold = true;
  expected.fontItalic = true;
  expected.heroName = "\x83\x5C";
  expected.familyName = "\x95\x5C\x8E\xA6";
  expected.cursorFile = "\x95\x5C.cur";
  expected.editorPath = "vi";
  expected.editorScrPath = "src";
  expected.editorJumpOption = "+%d";
  EXPECT_TRUE(loaded == expected);
}

TEST_F(SettingsTest, SaveIntoMissingFolderFails) {
  EXPECT_FALSE(save_settings(PathOf("no-such-folder/halcyra.ini"), Settings{}, true, false));
}

}  // namespace
}  // namespace halcyra

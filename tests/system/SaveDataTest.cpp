#include "system/SaveData.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <memory>
#include <string>
#include <sys/resource.h>

#include "system/Backlog.h"
#include "system/SaveRequests.h"
#include "system/SaveTexts.h"
#include "system/SlotInfo.h"
#include "tests/graphics/GraphicsFixtures.h"
#include "tests/support/ScriptFixture.h"

namespace halcyra {
namespace {

class SaveDataTest : public testing::ScriptFixture {
 protected:
  SaveDataTest() {
    engine_.display->SetErrorReporter(&reports_);
    RegisterSaveStatements(script_);
    WriteScript("day1", "\r\nvo a01\r\nret\r\nvo a02\r\nret\r\n");
  }

  // A record of the script "day1" with the given format number and a correct checksum.
  static std::unique_ptr<GameState> Record(std::int32_t format = GameState::kFormatNumber) {
    auto record = MakeClearedRecord();
    record->SetScriptName("day1");
    record->formatNumber = format;
    return record;
  }
  void WriteSlot(int slot, GameState& record) {
    record.checksum = record.ComputeChecksum();
    folder_.Write(SlotFileName(slot), std::string(reinterpret_cast<const char*>(&record), sizeof record));
  }
  std::string LiveBytes() const {
    return std::string(reinterpret_cast<const char*>(engine_.state.get()), sizeof(GameState));
  }
  std::unique_ptr<GameState> ReadSlot(int slot) const {
    auto record = MakeClearedRecord();
    const std::string bytes = folder_.Read(SlotFileName(slot));
    std::memcpy(static_cast<void*>(record.get()), bytes.data(), std::min(bytes.size(), sizeof(GameState)));
    return record;
  }
  std::vector<int> ReportNumbers() const {
    std::vector<int> numbers;
    for (const testing::Report& report : reports_.reports) numbers.push_back(report.number);
    return numbers;
  }

  testing::RecordingReporter reports_;
};

TEST_F(SaveDataTest, DamagedOrOldSlotsAreRefusedWithTheLiveStateUntouched) {
  engine_.state->variables[0] = 77;
  engine_.state->flags[1500] = 1;
  const std::string before = LiveBytes();

  auto damaged = Record();
  WriteSlot(1, *damaged);
  std::string bytes = folder_.Read("Save001.dat");
  bytes.back() = '\x01';  // the last byte changed after the checksum was taken
  folder_.Write("Save001.dat", bytes);
  auto old = Record(699);
  WriteSlot(2, *old);

  EXPECT_FALSE(LoadSlot(script_, 1, true));
  EXPECT_FALSE(LoadSlot(script_, 2, true));
  EXPECT_FALSE(LoadSlot(script_, 3, true));  // no file
  EXPECT_EQ(ReportNumbers(), (std::vector<int>{8661, 8666, 8647}));
  EXPECT_EQ(reports_.reports[0].message, save_texts::kDamaged);
  EXPECT_EQ(reports_.reports[1].message, save_texts::kWrongVersion);
  EXPECT_EQ(reports_.reports[2].message, save_texts::kNoSaveData);
  EXPECT_TRUE(LiveBytes() == before);

  auto newer = Record(701);
  WriteSlot(4, *newer);
  EXPECT_TRUE(LoadSlot(script_, 4, true));
  EXPECT_EQ(engine_.state->formatNumber, 701);
}

TEST_F(SaveDataTest, GlobalFlagsSurviveTheLoadOfAnOlderSlot) {
  auto slot = Record();
  slot->flags[10] = 5;
  slot->flags[GameState::kFirstGlobalFlag] = 0;
  slot->flags[2020] = 0;
  slot->flags[1800] = 1;  // set in the slot, clear in the live state: stays set
  slot->flags[2030] = 9;  // an engine byte: taken from the file
  WriteSlot(7, *slot);
  GameState& live = *engine_.state;
  live.flags[10] = 3;
  live.flags[GameState::kFirstGlobalFlag] = 1;
  live.flags[2020] = 4;
  live.flags[2030] = 2;

  ASSERT_TRUE(LoadSlot(script_, 7, true));
  EXPECT_EQ(live.flags[10], 5);
  EXPECT_EQ(live.flags[GameState::kFirstGlobalFlag], 1);
  EXPECT_EQ(live.flags[2020], 4);
  EXPECT_EQ(live.flags[1800], 1);
  EXPECT_EQ(live.flags[2030], 9);
}

TEST_F(SaveDataTest, LoadingContinuesAtTheVoiceStatementOfTheSavedMessage) {
  auto slot = Record();
  slot->messageNumber = 1;
  slot->backlogCount = 3;
  slot->backlogWriteIndex = 3;
  WriteSlot(8, *slot);
  ASSERT_TRUE(LoadSlot(script_, 8, true));
  // "N\r\nvo a01\r\nret\r\nvo a02...": the second vo stands at byte 16, on line 4.
  EXPECT_EQ(script_.Reader().Position(), 16);
  EXPECT_EQ(script_.Reader().LineNumber(), 4);
  EXPECT_EQ(script_.ScriptPath(), "scr\\day1.scr");
  // The entry of the message current at the save is logged again when it is shown again.
  EXPECT_EQ(engine_.state->backlogCount, 2);
  EXPECT_EQ(engine_.state->backlogWriteIndex, 2);
}

TEST_F(SaveDataTest, TheTitleScriptWritesNoExitSave) {
  for (const char* name : {"open", "OPEN", "Open"}) {
    engine_.state->SetScriptName(name);
    EXPECT_TRUE(SaveOnExit(script_));
    EXPECT_FALSE(folder_.Exists("Save700.dat")) << name;
  }
  engine_.state->SetScriptName("day1");
  EXPECT_TRUE(SaveOnExit(script_));
  EXPECT_EQ(ReadSlot(kExitSlot)->ScriptName(), "day1");
}

TEST_F(SaveDataTest, NothingIsSavedOutsideScenarioModeTheTitleMenuOrARecollection) {
  engine_.titleMenuActive = true;
  EXPECT_TRUE(SaveSlot(script_, 5));
  engine_.titleMenuActive = false;
  engine_.recollectionRunning = true;
  EXPECT_TRUE(SaveSlot(script_, 5));
  engine_.recollectionRunning = false;
  ASSERT_TRUE(script_.LoadScript(ScriptPath("day1"), false));
  EXPECT_TRUE(SaveSlot(script_, 5));
  EXPECT_FALSE(folder_.Exists("Save005.dat"));
}

TEST_F(SaveDataTest, ASaveShowsTheLayersOfTheNewestLoggedMessage) {
  GameState& live = *engine_.state;
  live.SetScriptName("day1");
  GameState::CopyName(live.layerPicture[0], "bg_moving");
  live.layerX[0] = 40;
  LogPage page;
  GameState::CopyName(live.layerPicture[0], "bg_start");
  live.layerX[0] = 0;
  AddLogEntry(engine_, false, "", false, page);
  AddLogEntry(engine_, false, "", true, page);
  GameState::CopyName(live.layerPicture[0], "bg_moving");
  live.layerX[0] = 40;

  ASSERT_TRUE(SaveSlot(script_, 6));
  const auto saved = ReadSlot(6);
  EXPECT_STREQ(saved->layerPicture[0], "bg_start");
  EXPECT_EQ(saved->layerX[0], 0);
  EXPECT_EQ(saved->checksum, saved->ComputeChecksum());
  EXPECT_STREQ(live.layerPicture[0], "bg_moving");  // the live scene goes on as it is
}

TEST_F(SaveDataTest, ALeftoverTemporaryFileLeavesTheOldSaveLoadable) {
  engine_.state->SetScriptName("day1");
  engine_.state->variables[1] = 11;
  ASSERT_TRUE(SaveSlot(script_, 9));
  // A save that died between writing its temporary file and the rename.
  folder_.Write("Save009.dat.a1B2c3", std::string(1000, '\x7f'));
  engine_.state->variables[1] = 0;
  ASSERT_TRUE(LoadSlot(script_, 9, true));
  EXPECT_EQ(engine_.state->variables[1], 11);
}

// Files may grow to only 64 KB: the 1 MB record cannot be written.
class FileSizeLimit {
 public:
  FileSizeLimit() {
    getrlimit(RLIMIT_FSIZE, &previous_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = previous_;
    limit.rlim_cur = 65536;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
};

TEST_F(SaveDataTest, AFailingWriteIsReportedAndKeepsTheOldSave) {
  engine_.state->SetScriptName("day1");
  engine_.state->variables[1] = 11;
  ASSERT_TRUE(SaveSlot(script_, 10));
  engine_.state->variables[1] = 22;
  {
    FileSizeLimit limit;
    EXPECT_FALSE(SaveSlot(script_, 10));
  }
  ASSERT_EQ(ReportNumbers(), std::vector<int>{8608});
  EXPECT_EQ(reports_.reports[0].message, save_texts::kCannotSave);
  ASSERT_TRUE(LoadSlot(script_, 10, true));
  EXPECT_EQ(engine_.state->variables[1], 11);
}

TEST_F(SaveDataTest, FlagUpdateMergesTheGlobalFlagsIntoTheSystemData) {
  auto system = MakeClearedRecord();
  system->flags[1100] = 1;
  system->flags[2030] = 7;  // engine bytes of the file stay
  WriteSlot(kSystemSlot, *system);
  engine_.state->flags[1200] = 1;
  engine_.state->flags[20] = 3;
  ASSERT_TRUE(Load("flag_update\r\n", "day2"));
  ASSERT_TRUE(RunToEnd());

  const auto written = ReadSlot(kSystemSlot);
  EXPECT_EQ(written->checksum, written->ComputeChecksum());
  EXPECT_EQ(written->flags[1100], 1);
  EXPECT_EQ(written->flags[1200], 1);
  EXPECT_EQ(written->flags[20], 3);
  EXPECT_EQ(written->flags[2030], 7);
  EXPECT_EQ(written->ScriptName(), "day2");
  EXPECT_TRUE(reports_.reports.empty());
}

TEST_F(SaveDataTest, ADamagedSystemDataFileIsReportedAndRewrittenFromTheLiveState) {
  folder_.Write("Save000.dat", std::string(5000, '\x05'));
  engine_.state->flags[1300] = 1;
  ASSERT_TRUE(WriteSystemData(script_));
  EXPECT_EQ(ReportNumbers(), std::vector<int>{10296});
  EXPECT_EQ(reports_.reports[0].detail, "Save000.dat");
  const auto written = ReadSlot(kSystemSlot);
  EXPECT_EQ(written->checksum, written->ComputeChecksum());
  EXPECT_EQ(written->flags[1300], 1);

  engine_.state->Clear();
  engine_.state->flags[2040] = 6;
  ASSERT_TRUE(ReadSystemData(engine_));
  EXPECT_EQ(engine_.state->flags[1300], 1);
  EXPECT_EQ(engine_.state->flags[2040], 6);  // the live engine bytes stay
}

TEST_F(SaveDataTest, SlotInfoOfAShortOrDamagedFileFailsCleanly) {
  auto good = Record();
  std::strcpy(good->saveComment, "comment");
  WriteSlot(1, *good);
  std::string bytes = folder_.Read("Save001.dat");
  folder_.Write("Save002.dat", bytes.substr(0, 3000));  // cut short
  bytes[5000] ^= 0x40;
  folder_.Write("Save003.dat", bytes);  // damaged
  folder_.Write("Save004.dat", "");     // empty

  for (int slot : {2, 3, 4, 5}) {
    SlotRecord record;
    std::memset(record.comment, 'x', sizeof record.comment);
    EXPECT_FALSE(ReadSlotInfo(engine_, true, slot, record)) << slot;
    EXPECT_TRUE(IsEmptySlot(record)) << slot;
  }
  SlotRecord record;
  EXPECT_FALSE(ReadSlotInfo(engine_, true, 61, record));
  ASSERT_TRUE(ReadSlotInfo(engine_, true, 1, record));
  EXPECT_STREQ(record.comment, "comment");
  EXPECT_EQ(std::strlen(record.date), 16u);
  EXPECT_EQ(record.date[4], '/');
  EXPECT_EQ(record.date[13], ':');

  folder_.Write("Save001s.bmp", "x");
  EXPECT_TRUE(DeleteSlot(1, record));
  EXPECT_TRUE(IsEmptySlot(record));
  EXPECT_FALSE(folder_.Exists("Save001.dat"));
  EXPECT_FALSE(folder_.Exists("Save001s.bmp"));
}

TEST_F(SaveDataTest, MenuCaptionsCarryTheSaveDates) {
  EXPECT_EQ(DatedCaption("Q", LocalTime{2024, 3, 5, 7, 9, 30}), "Q 2024/03/05 07:09");

  engine_.state->SetScriptName("day1");
  UpdateMenuState(script_, true);
  const SaveMenuItems& menu = engine_.saveMenu;
  EXPECT_FALSE(menu.mnQLoad);
  EXPECT_FALSE(menu.cmPrev);
  EXPECT_EQ(menu.quickLoadCaption, save_menu_texts::kQuickLoad);  // kept while there is no file

  engine_.requests.quickSave = true;
  EXPECT_EQ(ProcessRequests(script_), kRequestNone);
  EXPECT_FALSE(engine_.requests.quickSave);
  LocalTime time;
  ASSERT_TRUE(FileWriteTime(folder_.File("Save800.dat"), time));
  EXPECT_EQ(menu.quickLoadCaption, DatedCaption(save_menu_texts::kQuickLoad, time));
  EXPECT_TRUE(menu.mnQLoad && menu.cmQLoad && menu.mnQSave && menu.cmQSave);

  UpdateMenuState(script_, false);
  EXPECT_FALSE(menu.mnNext || menu.mnPrev || menu.mnQLoad || menu.mnQSave || menu.cmNext ||
               menu.cmPrev || menu.cmQLoad || menu.cmQSave);
}

TEST_F(SaveDataTest, QuickSaveAndQuickLoadAreRefusedWithTheNoSaveFlag) {
  engine_.state->SetScriptName("day1");
  engine_.state->flags[GameState::kNoSaveFlag] = 1;
  engine_.requests.quickSave = true;
  EXPECT_EQ(ProcessRequests(script_), kRequestNone);
  EXPECT_FALSE(folder_.Exists("Save800.dat"));

  engine_.state->flags[GameState::kNoSaveFlag] = 0;
  engine_.requests.quickSave = true;
  ProcessRequests(script_);
  engine_.state->variables[2] = 5;
  engine_.state->flags[GameState::kNoSaveFlag] = 1;
  engine_.requests.quickLoad = true;
  EXPECT_EQ(ProcessRequests(script_), kRequestNone);
  EXPECT_EQ(engine_.state->variables[2], 5);

  engine_.state->flags[GameState::kNoSaveFlag] = 0;
  engine_.requests.quickLoad = true;
  EXPECT_EQ(ProcessRequests(script_), kRequestPositionChanged);
  EXPECT_EQ(engine_.state->variables[2], 0);
  EXPECT_FALSE(engine_.requests.quickLoad);
}

TEST_F(SaveDataTest, FastForwardEndsTheWaitBeforeAnyRequest) {
  script_.SetFastForward(true);
  engine_.requests.quickSave = true;
  EXPECT_EQ(ProcessRequests(script_), kRequestAdvance);
  EXPECT_TRUE(engine_.requests.quickSave);
}

}  // namespace
}  // namespace halcyra

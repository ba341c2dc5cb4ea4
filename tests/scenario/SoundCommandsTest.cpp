#include "scenario/SoundCommands.h"

#include <gtest/gtest.h>

#include <string>

#include "app/InputState.h"
#include "tests/media/SoundTestSupport.h"
#include "tests/support/ScriptFixture.h"

namespace halcyra {
namespace {

const std::string kFileMissing =
    "\x83t\x83@\x83""C\x83\x8b\x82\xaa\x91\xb6\x8d\xdd\x82\xb5\x82\xc8\x82\xa2";
const std::string kBadParameter = "\x83p\x83\x89\x83\x81\x81[\x83^\x82\xaa\x95s\x90\xb3";

constexpr int kMusic = 0;
constexpr int kEffect = 2;
constexpr int kSecondEffect = 6;

// A game folder with a 4-second stereo music piece and a half-second effect, as loose files.
class SoundCommandsTest : public testing::ScriptFixture {
 protected:
  SoundCommandsTest() {
    OpenSound();
    const std::string music((44100 * 4) * 4, '\x01');
    folder_.Write("wav/m1.wav", soundtest::PcmWave(2, 44100, 16, music, 44100 * 4));
    const std::string effect((22050) * 2, '\x02');
    folder_.Write("wav/s1.wav", soundtest::PcmWave(1, 44100, 16, effect, 22050));
    RegisterSoundStatements(script_);
  }
  CDSB& Channel(int index) { return (*engine_.channels)[index]; }
  std::string MusicName() const { return engine_.state->music; }
};

TEST_F(SoundCommandsTest, MusicPlaysAndOnlyLoopingMusicIsRecorded) {
  ASSERT_TRUE(Load("bgm1 m1\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_TRUE(Channel(kMusic).IsPlaying());
  EXPECT_TRUE(Channel(kMusic).IsLooping());
  EXPECT_EQ(MusicName(), "m1");
  ASSERT_TRUE(Load("bgm_stop\r\nbgm2 m1\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_TRUE(Channel(kMusic).IsPlaying());
  EXPECT_FALSE(Channel(kMusic).IsLooping());
  EXPECT_EQ(MusicName(), "");
}

TEST_F(SoundCommandsTest, StopAndFadeOutEndTheMusic) {
  ASSERT_TRUE(Load("bgm1 m1\r\nbgm_fo\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(Channel(kMusic).GetFadeStep(), -2);
  EXPECT_EQ(MusicName(), "");
  ASSERT_TRUE(Load("bgm1 m1\r\nbgm_stop\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_FALSE(Channel(kMusic).HasSound());
}

TEST_F(SoundCommandsTest, MusicStartsAtItsOffset) {
  const std::pair<const char*, std::uint32_t> cases[] = {{"bgm1_ex m1 2\r\n", 2 * 176400},
                                                         {"bgm2_ex m1 1.5\r\n", 264600}};
  for (const auto& [script, offset] : cases) {
    ASSERT_TRUE(Load("bgm_stop\r\n" + std::string(script)));
    EXPECT_TRUE(RunToEnd());
    std::uint32_t position = 0;
    ASSERT_TRUE(Channel(kMusic).GetPosition(position));
    EXPECT_GE(position, offset) << script;
    EXPECT_LT(position, offset + 176400 / 10) << script;  // at most a few frames of play since
  }
}

TEST_F(SoundCommandsTest, MissingFilesAreReportedAndBadModesEndTheRun) {
  ASSERT_TRUE(Load("bgm1 nothing\r\nA=1\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_TRUE(Reported(kFileMissing));
  EXPECT_EQ(Variable('A'), 1);
  ASSERT_TRUE(Load("bgm m1 SIDEWAYS 0\r\nA=2\r\n"));
  EXPECT_FALSE(RunToEnd());
  EXPECT_TRUE(Reported(kBadParameter));
  EXPECT_EQ(Variable('A'), 1);
}

TEST_F(SoundCommandsTest, EffectsPlayOnTheirChannelsAndAreRecorded) {
  ASSERT_TRUE(Load("se1 s1\r\nsex s1\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_TRUE(Channel(kEffect).IsPlaying());
  EXPECT_TRUE(Channel(kSecondEffect).IsPlaying());
  EXPECT_STREQ(engine_.state->effectSound[0].name, "s1");
  EXPECT_EQ(engine_.state->effectSound[0].loop, 1);
  EXPECT_STREQ(engine_.state->effectSound[2].name, "s1");
}

TEST_F(SoundCommandsTest, EffectFadeOutDoesNothingWithEffectsSwitchedOff) {
  engine_.settings.volume.seOn = false;
  ASSERT_TRUE(Load("se1 s1\r\nse_fo\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_TRUE(Channel(kEffect).HasSound());
  EXPECT_EQ(Channel(kEffect).GetFadeStep(), 0);
  EXPECT_STREQ(engine_.state->effectSound[0].name, "");
  ASSERT_TRUE(Load("se_stop\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_FALSE(Channel(kEffect).HasSound());
}

TEST_F(SoundCommandsTest, EffectWaitLastsAsLongAsTheSound) {
  ASSERT_TRUE(Load("se2 s1\r\nse_wait\r\n"));
  const std::uint32_t before = platform_.Ticks();
  EXPECT_TRUE(RunToEnd());
  const std::uint32_t waited = platform_.Ticks() - before;
  EXPECT_GE(waited, 480u);
  EXPECT_LE(waited, 560u);
  EXPECT_FALSE(Channel(kEffect).IsPlaying());
}

TEST_F(SoundCommandsTest, ClicksEndMusicWaitsButNotEffectWaitsUnlessClicksCancel) {
  ASSERT_TRUE(Load("bgm2 m1\r\nbgm_wait\r\n"));
  engine_.input.SetInput(kInputAdvance, true);
  const std::uint32_t before = platform_.Ticks();
  EXPECT_TRUE(RunToEnd());
  EXPECT_LT(platform_.Ticks() - before, 100u);
  EXPECT_EQ(Variable('C'), 1);
  ASSERT_TRUE(Load("se2 s1\r\nse_wait\r\n"));
  engine_.input.SetInput(kInputAdvance, true);
  const std::uint32_t start = platform_.Ticks();
  EXPECT_TRUE(RunToEnd());
  EXPECT_GE(platform_.Ticks() - start, 480u);
}

TEST_F(SoundCommandsTest, FastForwardRecordsWithoutPlaying) {
  script_.SetFastForward(true);
  ASSERT_TRUE(Load("bgm1 m1\r\nse1 s1\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(MusicName(), "m1");
  EXPECT_STREQ(engine_.state->effectSound[0].name, "s1");
  EXPECT_FALSE(Channel(kMusic).HasSound());
  EXPECT_FALSE(Channel(kEffect).HasSound());
}

TEST_F(SoundCommandsTest, MusicMarksItsCgFlag) {
  ASSERT_TRUE(Load("def_cg m1 F300\r\nbgm1 m1\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(Flag(300), 1);
}

TEST_F(SoundCommandsTest, CameraPansInEqualStepsOverItsDuration) {
  ASSERT_TRUE(Load("set_pan 0\r\npan 100\r\n"));
  const std::uint32_t before = platform_.Ticks();
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(engine_.display->GetPan(), 100);
  EXPECT_EQ(engine_.panFrames, 20);  // 0 counts as 20 and 20 is kept
  const std::uint32_t frames = (platform_.Ticks() - before + 8) / 17;
  EXPECT_GE(frames, 20u);
  EXPECT_LE(frames, 22u);
  ASSERT_TRUE(Load("pan 110\r\n"));
  const std::uint32_t start = platform_.Ticks();
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(engine_.display->GetPan(), 110);
  EXPECT_LE(platform_.Ticks() - start, 17u);  // closer than 20 pixels: at once
}

TEST_F(SoundCommandsTest, RestoreSoundRecordsAndPlaysAtTheChannelsVolume) {
  engine_.settings.volume.bgm = 90;
  engine_.settings.volume.se = 70;
  RestoreSound(script_, kMusic, "m1", true);
  EXPECT_EQ(MusicName(), "m1");
  EXPECT_TRUE(Channel(kMusic).IsPlaying());
  EXPECT_TRUE(Channel(kMusic).IsLooping());
  EXPECT_EQ(Channel(kMusic).GetVolume(), 90);
  RestoreSound(script_, kSecondEffect, "s1", true);
  EXPECT_EQ(std::string(engine_.state->effectSound[2].name), "s1");
  EXPECT_EQ(engine_.state->effectSound[2].loop, 1);
  EXPECT_TRUE(Channel(kSecondEffect).IsPlaying());
  // The effect switch off gives volume 0, which releases the channel but keeps the record.
  engine_.settings.volume.seOn = false;
  RestoreSound(script_, kEffect, "s1", false);
  EXPECT_EQ(std::string(engine_.state->effectSound[0].name), "s1");
  EXPECT_FALSE(Channel(kEffect).HasSound());
  RestoreSound(script_, kMusic, "", false);
  EXPECT_EQ(MusicName(), "");
  EXPECT_FALSE(Channel(kMusic).HasSound());
}

TEST_F(SoundCommandsTest, RestoredMusicStaysSilentWithMusicSwitchedOff) {
  engine_.settings.volume.bgmOn = false;
  RestoreSound(script_, kMusic, "m1", true);
  EXPECT_TRUE(Channel(kMusic).HasSound());
  EXPECT_FALSE(Channel(kMusic).IsPlaying());
}

TEST_F(SoundCommandsTest, FoldingThePanMovesStandingSpritesFullyAndTheRestByAThird) {
  OpenScene();
  for (int layer = 0; layer < GameState::kLayerCount; ++layer) engine_.state->layerX[layer] = 10;
  for (int slot : {0, 10}) ASSERT_TRUE(engine_.sprites->At(slot).CreateBox(8, 8, 1, true, false));
  engine_.sprites->At(10).SetPosition(100, 5);  // standing sprite 1
  engine_.sprites->At(0).SetPosition(-100, 0);  // background
  engine_.display->SetPan(-50);
  ASSERT_TRUE(Load("calc_pan\r\n"));
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(engine_.display->GetPan(), 0);
  EXPECT_EQ(engine_.sprites->At(10).GetX(), 50);
  EXPECT_EQ(engine_.sprites->At(10).GetY(), 5);
  EXPECT_EQ(engine_.sprites->At(0).GetX(), -116);  // -50 / 3 is -16
  const int expected[] = {-6, -40, -40, -40, -6, -6, -6, -6};
  for (int layer = 0; layer < GameState::kLayerCount; ++layer) {
    EXPECT_EQ(engine_.state->layerX[layer], expected[layer]) << layer;
  }
}

}  // namespace
}  // namespace halcyra

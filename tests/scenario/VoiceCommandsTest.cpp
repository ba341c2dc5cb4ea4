#include "scenario/VoiceCommands.h"

#include <gtest/gtest.h>

#include <string>

#include "app/InputState.h"
#include "tests/media/SoundTestSupport.h"
#include "tests/support/ScriptFixture.h"
#include "tests/support/TestCast.h"

namespace halcyra {
namespace {

constexpr int kVoice = 4;

class VoiceCommandsTest : public testing::ScriptFixture {
 protected:
  VoiceCommandsTest() {
    testing::UseTestCast();
    OpenSound();
    const std::string voice(22050 * 2, '\x03');  // half a second, mono
    folder_.Write("wav/ari001.wav", soundtest::PcmWave(1, 44100, 16, voice));
    folder_.Write("wav/zzz001.wav", soundtest::PcmWave(1, 44100, 16, voice));
    RegisterVoiceStatements(script_);
  }
  CDSB& Voice() { return (*engine_.channels)[kVoice]; }
  std::string Pending() const { return engine_.state->pendingVoice; }
};

TEST_F(VoiceCommandsTest, VoiceLinesTakeTheirNumbersAndBecomeThePendingVoice) {
  ASSERT_TRUE(Load("\r\nvo ari001\r\nvol ari002\r\nvo_sel 2\r\nvor ari003\r\n"));
  // Only "vo", "vox" and "vo_sel" lines are registered when the script loads: "vol" and "vor"
  // find no number of their own and take 0; vo_sel's question follows the first vo.
  const std::pair<int, const char*> expected[] = {{0, "ari001"}, {0, "ari002"}, {1, ""}, {0, "ari003"}};
  for (const auto& [number, pending] : expected) {
    ASSERT_TRUE(script_.Tick());
    EXPECT_EQ(engine_.state->messageNumber, number);
    EXPECT_EQ(Pending(), pending);
  }
  EXPECT_FALSE(Voice().HasSound());  // the message plays it, not the statement
}

TEST_F(VoiceCommandsTest, UnreadVoiceLinesEndTheModesTiedToUnreadText) {
  ASSERT_TRUE(Load("\r\nvo ari001\r\nvo ari002\r\n"));
  engine_.readList.IsRead(ScriptPath("test"), 1, true);  // the second line was read before
  engine_.autoMode = true;
  engine_.settings.skip.unread = false;
  ASSERT_TRUE(script_.Tick());
  EXPECT_TRUE(engine_.autoMode);  // unread, but auto mode is set to go on
  engine_.settings.skip.unread = true;
  engine_.skipMode = true;
  ASSERT_TRUE(script_.Tick());
  EXPECT_TRUE(engine_.autoMode);  // read: nothing stops
  EXPECT_TRUE(engine_.skipMode);
  ASSERT_TRUE(Load("\r\nvo ari009\r\n"));
  ASSERT_TRUE(script_.Tick());
  EXPECT_FALSE(engine_.autoMode);
  EXPECT_FALSE(engine_.skipMode);
}

TEST_F(VoiceCommandsTest, WithoutReadTrackingEveryLineIsNumberZero) {
  engine_.state->flags[GameState::kNoSaveFlag] = 1;
  ASSERT_TRUE(Load("\r\nvo ari001\r\nvo ari002\r\n"));
  ASSERT_TRUE(script_.Tick());
  ASSERT_TRUE(script_.Tick());
  EXPECT_EQ(engine_.state->messageNumber, 0);
}

TEST_F(VoiceCommandsTest, Vo2PlaysAtOnceAtTheSpeakersVolume) {
  engine_.settings.volume.voice = 100;
  engine_.settings.charaVolume[0] = 100;  // the speaker of "ari" voices
  ASSERT_TRUE(Load("vo2 ari001\r\n"));
  ASSERT_TRUE(script_.Tick());
  EXPECT_TRUE(Voice().IsPlaying());
  EXPECT_EQ(Voice().GetVolume(), (100 + 1) * 100 / 256);
  ASSERT_TRUE(Load("vo2 zzz001\r\n"));
  ASSERT_TRUE(script_.Tick());
  EXPECT_EQ(Voice().GetVolume(), (255 + 1) * 100 / 256);  // no known speaker: full volume
  ASSERT_TRUE(Load("vo2 \"\"\r\n"));
  ASSERT_TRUE(script_.Tick());
  EXPECT_FALSE(Voice().HasSound());
}

TEST_F(VoiceCommandsTest, SilencedVoicesDoNotPlay) {
  struct Case {
    const char* what;
    void (*set)(Engine&);
  };
  const Case cases[] = {
      {"speaker off", [](Engine& e) { e.settings.charaVoice[0] = false; }},
      {"skip mode", [](Engine& e) { e.skipMode = true; }},
      {"voices off", [](Engine& e) { e.settings.volume.voOn = false; }},
      {"volume 0", [](Engine& e) { e.settings.volume.voice = 0; }},
      {"auto without voices", [](Engine& e) {
         e.autoMode = true;
         e.settings.skip.voice = true;
       }},
  };
  for (const Case& c : cases) {
    engine_.settings = Settings();
    engine_.autoMode = engine_.skipMode = false;
    Voice().Release();
    c.set(engine_);
    ASSERT_TRUE(Load("vo2 ari001\r\n"));
    ASSERT_TRUE(script_.Tick());
    EXPECT_FALSE(Voice().HasSound()) << c.what;
  }
}

TEST_F(VoiceCommandsTest, VoxTurnsTheCameraToTheSpeakingSprite) {
  OpenScene();
  GameState::CopyName(engine_.state->layerPicture[2], "ARI_smile");
  ASSERT_TRUE(engine_.sprites->At(12).CreateBox(8, 8, 1, true, false));
  engine_.sprites->At(12).SetPosition(120, 0);  // standing sprite 2
  engine_.panFrames = 1;
  ASSERT_TRUE(Load("vox ari001\r\n"));
  ASSERT_TRUE(script_.Tick());
  EXPECT_EQ(Pending(), "ari001");
  EXPECT_EQ(engine_.display->GetPan(), -120);
  ASSERT_TRUE(Load("vox zzz001\r\n"));
  ASSERT_TRUE(script_.Tick());
  EXPECT_EQ(engine_.display->GetPan(), 0);  // nobody on screen speaks with it
}

TEST_F(VoiceCommandsTest, VoxInFastForwardResetsThePan) {
  OpenScene();
  engine_.display->SetPan(-40);
  script_.SetFastForward(true);
  ASSERT_TRUE(Load("vox ari001\r\n"));
  ASSERT_TRUE(script_.Tick());
  EXPECT_EQ(engine_.display->GetPan(), 0);
  EXPECT_EQ(Pending(), "ari001");
}

TEST(VoiceSettingsTest, SpeakersAreFoundByTheirPrefixWhateverTheCase) {
  testing::UseTestCast();
  Settings settings;
  settings.charaVolume[0] = 10;
  settings.charaVoice[1] = false;
  const struct {
    const char* voice;
    bool enabled;
    int volume;
  } cases[] = {{"ari001", true, 10}, {"ARI7", true, 10}, {"suz001", false, 255},
               {"ar", true, 255},   {"xyz001", true, 255}};
  for (const auto& c : cases) {
    bool enabled = false;
    int volume = 0;
    VoiceSettingsFor(c.voice, settings, enabled, volume);
    EXPECT_EQ(enabled, c.enabled) << c.voice;
    EXPECT_EQ(volume, c.volume) << c.voice;
  }
}

}  // namespace
}  // namespace halcyra

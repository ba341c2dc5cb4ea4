#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "media/CDS.h"
#include "media/CDSB.h"
#include "media/SoundChannels.h"
#include "media/SoundUpkeep.h"
#include "platform/NullAudioDevice.h"
#include "tests/media/SoundTestSupport.h"
#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

using soundtest::DecodeVorbis;
using soundtest::EncodeVorbis;
using soundtest::PcmWave;
using soundtest::RecordingSoundReporter;
using soundtest::SampleBytes;
using soundtest::Tone;
using soundtest::VorbisWave;
using testing::TempFolder;

// 未定義のエラー
constexpr char kUndefined[] = "\x96\xa2\x92\xe8\x8b\x60\x82\xcc\x83\x47\x83\x89\x81\x5b";

std::vector<std::int16_t> Side(const std::vector<std::int16_t>& frames, int side) {
  std::vector<std::int16_t> values;
  for (std::size_t i = static_cast<std::size_t>(side); i < frames.size(); i += 2) {
    values.push_back(frames[i]);
  }
  return values;
}

int Peak(const std::vector<std::int16_t>& values) {
  int peak = 0;
  for (std::int16_t value : values) peak = std::max(peak, std::abs(static_cast<int>(value)));
  return peak;
}

TEST(CDSBScaleTest, VolumeAndPanBecomeHundredthsOfADecibel) {
  const std::vector<std::pair<int, int>> volumes = {
      {0, -10000}, {1, -10000}, {2, -3795}, {128, -1905}, {255, 0}, {300, 0}, {-5, -10000}};
  for (const auto& [volume, hundredths] : volumes) {
    EXPECT_EQ(CDSB::VolumeToHundredths(volume), hundredths) << "volume " << volume;
  }
  const std::vector<std::pair<int, int>> pans = {{254, 10000},   {253, 3795}, {-253, -3795},
                                                 {-254, -10000}, {0, 0},      {300, 10000},
                                                 {-300, -10000}, {100, 1500}};
  for (const auto& [pan, hundredths] : pans) {
    EXPECT_EQ(CDSB::PanToHundredths(pan), hundredths) << "pan " << pan;
  }
}

class CDSBTest : public ::testing::Test {
 protected:
  CDSBTest() {
    vorbis_.LoadDriver();
    EXPECT_TRUE(device_.OpenDevice(CDS::kChannels, CDS::kSampleRate, CDS::kBits));
  }

  std::string Write(const std::string& name, const std::string& bytes) {
    folder_.Write(name, bytes);
    return folder_.File(name);
  }

  std::vector<std::int16_t> Pump(std::size_t frames) {
    audio_.ClearCapture();
    audio_.PumpFrames(frames);
    return audio_.Captured();
  }

  TempFolder folder_;
  NullAudioDevice audio_;
  RecordingSoundReporter reporter_;
  CDS device_{audio_, reporter_};
  CVorbis vorbis_;
  Settings settings_;
  SoundChannels channels_{device_, nullptr, vorbis_, settings_};
  SoundUpkeep upkeep_{settings_, channels_};
};

TEST_F(CDSBTest, ToneComesOutAtTheChannelsVolumeAndPan) {
  const std::string path =
      Write("tone.wav", PcmWave(1, 44100, 16, SampleBytes(Tone(1000.0, 32767.0, 44100, 44100, 1))));
  struct Case {
    int volume;
    int pan;
    double leftDecibels;  // peak against full scale; -inf for silence
    double rightDecibels;
  };
  const double silent = -INFINITY;
  const std::vector<Case> cases = {{255, 0, 0.0, 0.0},      {128, 0, -19.05, -19.05},
                                   {255, 254, silent, 0.0}, {255, -253, 0.0, -37.95},
                                   {0, 0, silent, silent},  {1, 0, silent, silent}};
  CDSB& channel = channels_[SoundChannels::kEffect];
  for (const Case& c : cases) {
    SCOPED_TRACE("volume " + std::to_string(c.volume) + " pan " + std::to_string(c.pan));
    ASSERT_TRUE(channel.LoadSound(path, CACM::kRateNormal));
    ASSERT_TRUE(channel.SetVolume(c.volume, true));
    ASSERT_TRUE(channel.SetPan(c.pan));
    EXPECT_EQ(channel.GetPanHundredths(), CDSB::PanToHundredths(c.pan));
    EXPECT_EQ(channel.GetAttenuation(), CDSB::VolumeToHundredths(c.volume));
    ASSERT_TRUE(channel.Play(false));
    const std::vector<std::int16_t> out = Pump(4410);
    for (int side = 0; side < 2; ++side) {
      const double expected = side == 0 ? c.leftDecibels : c.rightDecibels;
      const int peak = Peak(Side(out, side));
      if (std::isinf(expected)) {
        EXPECT_EQ(peak, 0) << "side " << side;
      } else {
        EXPECT_NEAR(20.0 * std::log10(peak / 32767.0), expected, 0.1) << "side " << side;
      }
    }
    channel.Stop();
  }
  // Full volume is exactly the source.
  ASSERT_TRUE(channel.SetVolume(255, true));
  ASSERT_TRUE(channel.SetPan(0));
  ASSERT_TRUE(channel.Play(false));
  EXPECT_EQ(Side(Pump(100), 0), std::vector<std::int16_t>(Tone(1000.0, 32767.0, 100, 44100, 1)));
}

TEST_F(CDSBTest, OtherRatesAreConvertedAndOneShotsStopAndRewind) {
  // One second at 22050 Hz of a constant lasts two device seconds.
  const std::string path =
      Write("slow.wav", PcmWave(1, 22050, 16, SampleBytes(std::vector<std::int16_t>(22050, 1000))));
  CDSB& channel = channels_[SoundChannels::kSystem];
  ASSERT_TRUE(channel.LoadSound(path, CACM::kRateNormal));
  ASSERT_TRUE(channel.Play(false));
  const std::vector<std::int16_t> out = Pump(50000);
  std::vector<std::int16_t> expected(44100 * 2, 1000);
  expected.resize(50000 * 2, 0);
  EXPECT_EQ(out, expected);
  EXPECT_FALSE(channel.IsPlaying());
  std::uint32_t position = 1;
  ASSERT_TRUE(channel.GetPosition(position));
  EXPECT_EQ(position, 0u);
}

TEST_F(CDSBTest, LoopingWrapsToTheStart) {
  std::vector<std::int16_t> ramp;
  for (int i = 0; i < 100; ++i)
    ramp.insert(ramp.end(), {static_cast<std::int16_t>(i * 10), static_cast<std::int16_t>(-i)});
  const std::string path = Write("loop.wav", PcmWave(2, 44100, 16, SampleBytes(ramp)));
  CDSB& channel = channels_[SoundChannels::kAmbient];
  ASSERT_TRUE(channel.LoadSound(path, CACM::kRateNormal));
  ASSERT_TRUE(channel.Play(true));
  EXPECT_TRUE(channel.IsLooping());
  const std::vector<std::int16_t> out = Pump(250);
  for (std::size_t frame = 0; frame < 250; ++frame) {
    ASSERT_EQ(out[2 * frame], ramp[2 * (frame % 100)]) << frame;
    ASSERT_EQ(out[2 * frame + 1], ramp[2 * (frame % 100) + 1]) << frame;
  }
  EXPECT_TRUE(channel.IsPlaying());
}

TEST_F(CDSBTest, VoiceRateModeHalvesTheBufferAndDropsAlternateBlocks) {
  std::vector<std::int16_t> counting(4000);
  for (int i = 0; i < 4000; ++i)
    counting[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i);
  const std::string path = Write("voice.wav", PcmWave(1, 44100, 16, SampleBytes(counting)));
  CDSB& voice = channels_[SoundChannels::kVoice];
  ASSERT_TRUE(voice.LoadSound(path, CACM::kRateShortened1));
  ASSERT_TRUE(voice.SetVolume(255, true));
  ASSERT_TRUE(voice.Play(false));
  // 1500-byte blocks are 750 samples: samples 0..749, 1500..2249, 3000..3499, then the end.
  std::vector<std::int16_t> expected;
  for (int first : {0, 1500, 3000}) {
    for (int i = first; i < std::min(first + 750, 3500); ++i)
      expected.push_back(static_cast<std::int16_t>(i));
  }
  expected.resize(2100, 0);
  EXPECT_EQ(Side(Pump(2100), 0), expected);
}

TEST_F(CDSBTest, LoadingThePlayingSoundAgainChangesNothing) {
  const std::string path =
      Write("se.wav", PcmWave(1, 44100, 16, SampleBytes(Tone(500.0, 8000.0, 44100, 44100, 1))));
  CDSB& channel = channels_[SoundChannels::kEffect];
  ASSERT_TRUE(channel.LoadSound(path, CACM::kRateNormal));
  ASSERT_TRUE(channel.Play(false));
  Pump(4410);
  std::uint32_t before = 0;
  ASSERT_TRUE(channel.GetPosition(before));
  EXPECT_EQ(before, 4410u * 2);
  std::string shouted = path;
  std::transform(shouted.begin(), shouted.end(), shouted.begin(), [](char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  });
  EXPECT_TRUE(channel.LoadSound(shouted, CACM::kRateNormal));
  EXPECT_TRUE(channel.Play(true));  // already playing: the looping does not change either
  EXPECT_FALSE(channel.IsLooping());
  EXPECT_FALSE(channel.SetPosition(0));
  std::uint32_t after = 0;
  ASSERT_TRUE(channel.GetPosition(after));
  EXPECT_EQ(after, before);
  EXPECT_TRUE(channel.IsPlaying());
  EXPECT_EQ(channel.GetName(), path);
}

TEST_F(CDSBTest, FadeFromOneHundredByTwoLastsFiftyUpkeepsAndFreesTheChannel) {
  const std::string path =
      Write("fx.wav", PcmWave(1, 44100, 16, SampleBytes(Tone(500.0, 8000.0, 4410, 44100, 1))));
  CDSB& channel = channels_[SoundChannels::kEffect];
  ASSERT_TRUE(channel.LoadSound(path, CACM::kRateNormal));
  ASSERT_TRUE(channel.SetVolume(100, true));
  ASSERT_TRUE(channel.Play(true));
  channel.StartFade(100, -2);
  EXPECT_EQ(channel.GetName(), "");
  for (int upkeep = 1; upkeep < 50; ++upkeep) {
    upkeep_.Run();
    ASSERT_TRUE(channel.HasSound()) << upkeep;
    ASSERT_EQ(channel.GetFadeLevel(), 100 - 2 * upkeep);
    ASSERT_EQ(channel.GetAttenuation(), CDSB::VolumeToHundredths(100 - 2 * upkeep));
  }
  EXPECT_EQ(channel.GetVolume(), 100);  // fades do not remember their levels
  upkeep_.Run();
  EXPECT_FALSE(channel.HasSound());
  EXPECT_FALSE(channel.IsPlaying());
  EXPECT_EQ(channel.GetFadeLevel(), CDSB::kNoFade);
  EXPECT_EQ(channel.GetFadeStep(), 0);
  // The same name loads afresh: a new buffer, stopped at its start.
  ASSERT_TRUE(channel.LoadSound(path, CACM::kRateNormal));
  EXPECT_TRUE(channel.HasSound());
  EXPECT_FALSE(channel.IsPlaying());
  EXPECT_EQ(channel.GetName(), path);
}

TEST_F(CDSBTest, MusicAndEffectsGoDownWhileAVoicePlays) {
  settings_.volume.bgm = 100;
  settings_.volume.se = 90;
  settings_.volume.seX = 80;
  settings_.bgm.bgmDownRate = 2;
  const std::vector<std::uint8_t> stream =
      EncodeVorbis(Tone(300.0, 5000.0, 88200, 44100, 2), 2, 44100);
  const std::string music = Write("m.wav", VorbisWave(stream, 2, 44100, 88200));
  const std::string loop =
      Write("l.wav", PcmWave(1, 44100, 16, SampleBytes(Tone(200.0, 5000.0, 44100, 44100, 1))));
  const std::string voice =
      Write("v.wav", PcmWave(1, 44100, 16, SampleBytes(Tone(700.0, 5000.0, 4410, 44100, 1))));
  ASSERT_TRUE(channels_[SoundChannels::kMusic].OpenStream(music));
  ASSERT_TRUE(channels_[SoundChannels::kAmbient].LoadSound(loop, CACM::kRateNormal));
  ASSERT_TRUE(channels_[SoundChannels::kSecondEffect].LoadSound(loop, CACM::kRateNormal));
  for (int channel :
       {SoundChannels::kMusic, SoundChannels::kAmbient, SoundChannels::kSecondEffect}) {
    ASSERT_TRUE(channels_[channel].Play(true));
  }
  ASSERT_TRUE(channels_[SoundChannels::kVoice].LoadSound(voice, CACM::kRateNormal));
  ASSERT_TRUE(channels_[SoundChannels::kVoice].Play(false));

  struct Case {
    const char* label;
    bool bgmDown;
    bool seXOn;
    int music;
    int ambient;
    int second;
  };
  // d = 26 x 2 = 52: music 100 - 52, ambient 90 - 52; the second group is silenced.
  const std::vector<Case> cases = {{"lowered", true, true, 48, 38, 0},
                                   {"BgmDown off", false, true, 100, 90, 0},
                                   {"SeXOn off", true, false, 48, 38, 80}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    settings_.bgm.bgmDown = c.bgmDown;
    settings_.volume.seXOn = c.seXOn;
    // Starts from the volumes of a frame without a voice.
    channels_[SoundChannels::kMusic].SetVolume(100, true);
    channels_[SoundChannels::kAmbient].SetVolume(90, true);
    channels_[SoundChannels::kSecondEffect].SetVolume(80, true);
    upkeep_.Run();
    EXPECT_EQ(channels_[SoundChannels::kMusic].GetVolume(), c.music);
    EXPECT_EQ(channels_[SoundChannels::kAmbient].GetVolume(), c.ambient);
    EXPECT_EQ(channels_[SoundChannels::kSecondEffect].GetVolume(), c.second);
  }
  settings_.volume.seXOn = true;
  Pump(4410 + 10);  // the voice ends
  upkeep_.Run();
  EXPECT_EQ(channels_[SoundChannels::kMusic].GetVolume(), 100);
  EXPECT_EQ(channels_[SoundChannels::kAmbient].GetVolume(), 90);
  EXPECT_EQ(channels_[SoundChannels::kSecondEffect].GetVolume(), 80);
}

TEST_F(CDSBTest, StreamGrowsOneSecondPerUpkeepAndPlaysTheWholeSound) {
  const std::vector<std::uint8_t> stream =
      EncodeVorbis(Tone(440.0, 12000.0, 110250, 44100, 2), 2, 44100);
  const std::vector<std::int16_t> reference = DecodeVorbis(stream);
  CDSB& music = channels_[SoundChannels::kMusic];
  ASSERT_TRUE(music.OpenStream(Write("bgm.wav", VorbisWave(stream, 2, 44100, 110250))));
  ASSERT_TRUE(music.SetVolume(255, true));
  EXPECT_EQ(music.GetStreamEnd(), 441000u);
  std::vector<std::uint32_t> positions = {music.GetStreamPosition()};
  ASSERT_TRUE(music.Play(false));
  std::vector<std::int16_t> played;
  for (int upkeep = 0; upkeep < 3; ++upkeep) {
    const std::vector<std::int16_t> second = Pump(44100);
    played.insert(played.end(), second.begin(), second.end());
    ASSERT_TRUE(music.Update(true));
    positions.push_back(music.GetStreamPosition());
  }
  // 176400, 352800, the last 88200 bytes; then the conversion is closed.
  EXPECT_EQ(positions, (std::vector<std::uint32_t>{176400, 352800, 441000, 0}));
  EXPECT_EQ(music.GetStreamEnd(), 0u);
  // 2.5 seconds of sound, then silence.
  std::vector<std::int16_t> expected = reference;
  expected.resize(3 * 44100 * 2, 0);
  EXPECT_EQ(played, expected);
  EXPECT_TRUE(reporter_.texts.empty());
}

TEST_F(CDSBTest, ShortMusicIsWhollyDecodedByOpenStream) {
  const std::vector<std::uint8_t> stream =
      EncodeVorbis(Tone(440.0, 9000.0, 22050, 44100, 2), 2, 44100);
  CDSB& music = channels_[SoundChannels::kMusic];
  ASSERT_TRUE(music.OpenStream(Write("short.wav", VorbisWave(stream, 2, 44100, 22050))));
  EXPECT_EQ(music.GetStreamPosition(), 88200u);
  EXPECT_EQ(music.GetStreamEnd(), 88200u);
  ASSERT_TRUE(music.Update(true));
  EXPECT_EQ(music.GetStreamEnd(), 0u);
  EXPECT_TRUE(music.HasSound());
}

TEST_F(CDSBTest, StreamingNeedsFactUnlessMusicLoadsWhole) {
  const std::string path = Write("nofact.wav", PcmWave(2, 44100, 16, std::string(400, '\1')));
  CDSB& music = channels_[SoundChannels::kMusic];
  EXPECT_FALSE(music.OpenStream(path));
  EXPECT_FALSE(music.HasSound());
  EXPECT_EQ(reporter_.texts,
            std::vector<std::string>{"DSOUND (484)\n" + std::string(kUndefined) + " : 0x00000001"});
  settings_.bgm.allBgm = true;
  EXPECT_TRUE(music.OpenStream(path));
  EXPECT_TRUE(music.HasSound());
  EXPECT_EQ(music.GetStreamEnd(), 0u);
  EXPECT_EQ(reporter_.texts.size(), 1u);
}

TEST_F(CDSBTest, WithoutADeviceEveryOperationFailsQuietly) {
  const std::string path = Write("q.wav", PcmWave(1, 44100, 16, std::string(40, '\1'), 20));
  device_.ReleaseDevice();
  CDSB& channel = channels_[SoundChannels::kEffect];
  EXPECT_FALSE(channel.LoadSound(path, CACM::kRateNormal));
  EXPECT_FALSE(channel.OpenStream(path));
  EXPECT_FALSE(channel.Play(false));
  EXPECT_FALSE(channel.SetVolume(100, true));
  EXPECT_FALSE(channel.IsPlaying());
  EXPECT_TRUE(reporter_.texts.empty());
  EXPECT_FALSE(device_.OpenDevice(1, 44100, 16));
  EXPECT_EQ(reporter_.texts,
            std::vector<std::string>{"DSOUND (101)\nDSERR_BADFORMAT : 0x88780064"});
}

}  // namespace
}  // namespace halcyra

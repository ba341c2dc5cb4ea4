#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/NullAudioDevice.h"

namespace halcyra {
namespace {

// Writes the running frame number to the left side and its negative to the right.
class CountingCallback : public AudioCallback {
 public:
  void Fill(std::int16_t* frames, std::size_t frameCount) override {
    for (std::size_t i = 0; i < frameCount; ++i) {
      frames[2 * i] = static_cast<std::int16_t>(next_ % 30000);
      frames[2 * i + 1] = static_cast<std::int16_t>(-(next_ % 30000));
      ++next_;
    }
    blocks.push_back(frameCount);
  }
  std::vector<std::size_t> blocks;

 private:
  int next_ = 0;
};

TEST(NullAudioDeviceTest, PumpsTheFramesOfItsTimeCarryingFractions) {
  NullAudioDevice device;
  CountingCallback callback;
  ASSERT_TRUE(device.Open(44100, callback));
  for (int i = 0; i < 10; ++i) device.Pump(1);  // 44.1 frames each
  EXPECT_EQ(device.PumpedFrames(), 441u);
  const std::vector<std::int16_t>& captured = device.Captured();
  ASSERT_EQ(captured.size(), 882u);
  for (std::size_t frame = 0; frame < 441; ++frame) {
    ASSERT_EQ(captured[2 * frame], static_cast<std::int16_t>(frame));
    ASSERT_EQ(captured[2 * frame + 1], static_cast<std::int16_t>(-static_cast<int>(frame)));
  }
}

TEST(NullAudioDeviceTest, PumpUntilFollowsTheClockAcrossItsWrap) {
  NullAudioDevice device;
  CountingCallback callback;
  ASSERT_TRUE(device.Open(44100, callback));
  device.PumpUntil(0xFFFFFFF0u);  // the first reading only
  EXPECT_EQ(device.PumpedFrames(), 0u);
  device.PumpUntil(0x10u);  // 32 ms later: 1411.2 frames
  EXPECT_EQ(device.PumpedFrames(), 1411u);
  device.PumpUntil(0x10u + 1000);  // one more second, with the carried 0.2 frame
  EXPECT_EQ(device.PumpedFrames(), 1411u + 44100u);
}

TEST(NullAudioDeviceTest, CallsBackInBlocksAndCapturesOnlyWhenAsked) {
  NullAudioDevice device;
  CountingCallback callback;
  device.PumpFrames(100);  // closed: nothing
  EXPECT_TRUE(callback.blocks.empty());
  ASSERT_TRUE(device.Open(48000, callback));
  EXPECT_EQ(device.SampleRate(), 48000);
  device.PumpFrames(2500);
  EXPECT_EQ(callback.blocks, (std::vector<std::size_t>{1024, 1024, 452}));
  device.SetCapturing(false);
  device.PumpFrames(3000);
  EXPECT_EQ(device.Captured().size(), 5000u);
  EXPECT_EQ(device.PumpedFrames(), 5500u);
  EXPECT_TRUE(std::all_of(callback.blocks.begin(), callback.blocks.end(), [](std::size_t block) {
    return block <= NullAudioDevice::kBlockFrames;
  }));
  device.ClearCapture();
  EXPECT_TRUE(device.Captured().empty());
  device.Close();
  EXPECT_FALSE(device.IsOpen());
  device.Pump(100);
  EXPECT_EQ(device.PumpedFrames(), 5500u);
}

}  // namespace
}  // namespace halcyra

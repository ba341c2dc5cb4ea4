#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/SdlAudioDevice.h"

namespace halcyra {
namespace {

class SilentCallback : public AudioCallback {
 public:
  void Fill(std::int16_t* frames, std::size_t frameCount) override {
    for (std::size_t i = 0; i < 2 * frameCount; ++i) frames[i] = 0;
    calls.fetch_add(1);
  }
  std::atomic<int> calls{0};
};

// SDL's dummy driver runs the real audio thread without a sound card.
TEST(SdlAudioDeviceTest, OpensPullsFromItsThreadAndCloses) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  SdlAudioDevice device;
  SilentCallback callback;
  ASSERT_TRUE(device.Open(44100, callback)) << device.LastError();
  EXPECT_TRUE(device.IsOpen());
  EXPECT_EQ(device.SampleRate(), 44100);
  // Waits for the audio thread's first call; the bound only keeps a broken build from hanging.
  for (int i = 0; i < 1000 && callback.calls.load() == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_GT(callback.calls.load(), 0);
  { AudioDevice::ScopedLock lock(device); }
  device.Close();
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(device.SampleRate(), 0);
}

}  // namespace
}  // namespace halcyra

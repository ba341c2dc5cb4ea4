#include "app/ScreenCopy.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace halcyra {
namespace {

constexpr std::uint32_t kBlack = 0;

// Every back-buffer pixel is distinct: 0xFF000000 | (y << 12) | x.
std::uint32_t Marker(int x, int y) {
  return 0xFF000000u | (static_cast<std::uint32_t>(y) << 12) | static_cast<std::uint32_t>(x);
}

class ScreenCopyTest : public ::testing::Test {
 protected:
  ScreenCopyTest()
      : back_(kScreenWidth * kScreenHeight), window_(kScreenWidth * kScreenHeight, 0x12345678u) {
    for (int y = 0; y < kScreenHeight; ++y) {
      for (int x = 0; x < kScreenWidth; ++x) back_[y * kScreenWidth + x] = Marker(x, y);
    }
  }
  std::uint32_t At(int x, int y) const { return window_[y * kScreenWidth + x]; }
  void Copy(int shakeX, int shakeY, int zoom) {
    CopyBackBufferToWindow(back_.data(), shakeX, shakeY, zoom, window_.data());
  }

  std::vector<std::uint32_t> back_;
  std::vector<std::uint32_t> window_;
};

TEST_F(ScreenCopyTest, NoShakeAndSmallZoomCopyOneToOne) {
  for (int zoom : {0, 1, 16}) {
    Copy(0, 0, zoom);
    EXPECT_EQ(back_, window_) << "zoom " << zoom;
  }
}

TEST_F(ScreenCopyTest, NegativeVerticalShakeMovesUpAndBlacksTheBottom) {
  Copy(0, -10, 0);
  EXPECT_EQ(At(5, 0), Marker(5, 10));
  EXPECT_EQ(At(799, 589), Marker(799, 599));
  EXPECT_EQ(At(0, 590), kBlack);
  EXPECT_EQ(At(799, 599), kBlack);
}

TEST_F(ScreenCopyTest, PositiveVerticalShakeMovesDownAndBlacksTheTop) {
  Copy(0, 7, 0);
  EXPECT_EQ(At(3, 6), kBlack);
  EXPECT_EQ(At(3, 7), Marker(3, 0));
  EXPECT_EQ(At(799, 599), Marker(799, 592));
}

TEST_F(ScreenCopyTest, VerticalShakeIgnoresHorizontalShake) {
  Copy(25, 4, 0);
  EXPECT_EQ(At(0, 4), Marker(0, 0));
  EXPECT_EQ(At(30, 10), Marker(30, 6));
}

TEST_F(ScreenCopyTest, HorizontalShakeMovesColumns) {
  Copy(-12, 0, 0);
  EXPECT_EQ(At(0, 3), Marker(12, 3));
  EXPECT_EQ(At(787, 3), Marker(799, 3));
  EXPECT_EQ(At(788, 3), kBlack);
  Copy(9, 0, 0);
  EXPECT_EQ(At(8, 599), kBlack);
  EXPECT_EQ(At(9, 599), Marker(0, 599));
  EXPECT_EQ(At(799, 0), Marker(790, 0));
}

TEST_F(ScreenCopyTest, ShakeBeyondTheScreenLeavesItBlack) {
  for (auto [x, y] : {std::pair{0, 600}, std::pair{0, -900}, std::pair{801, 0}, std::pair{-5000, 0}}) {
    Copy(x, y, 0);
    EXPECT_EQ(window_, std::vector<std::uint32_t>(window_.size(), kBlack)) << x << "," << y;
  }
}

TEST_F(ScreenCopyTest, ZoomStretchesTheCentredCutOut) {
  // zoom 128: cut 400 x 300, source 400 x 300 from (200, 150); each source pixel covers 2 x 2.
  Copy(0, 0, 128);
  EXPECT_EQ(At(0, 0), Marker(200, 150));
  EXPECT_EQ(At(1, 1), Marker(200, 150));
  EXPECT_EQ(At(2, 0), Marker(201, 150));
  EXPECT_EQ(At(799, 599), Marker(599, 449));
  // zoom 17: cut 53 x 39, source 747 x 561 from (27, 20).
  Copy(0, 0, 17);
  EXPECT_EQ(At(0, 0), Marker(27, 20));
  EXPECT_EQ(At(799, 599), Marker(27 + 799 * 747 / 800, 20 + 599 * 561 / 600));
}

TEST_F(ScreenCopyTest, ShakeWinsOverZoom) {
  Copy(0, 3, 200);
  EXPECT_EQ(At(10, 3), Marker(10, 0));
}

}  // namespace
}  // namespace halcyra

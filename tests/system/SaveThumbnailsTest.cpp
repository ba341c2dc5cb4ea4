#include "system/SaveThumbnails.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/ScriptFixture.h"

namespace halcyra {
namespace {

std::uint32_t Read32(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint8_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint8_t>(bytes[at + 2]) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 3])) << 24;
}

// Blue, green and red of pixel (column, row counted from the top) of a 24-bit bottom-up bitmap
// whose rows need no padding.
std::vector<int> Pixel(const std::string& bmp, int column, int row) {
  const int width = static_cast<int>(Read32(bmp, 18));
  const int height = static_cast<int>(Read32(bmp, 22));
  const std::size_t at = 54 + (static_cast<std::size_t>(height - 1 - row) * width + column) * 3;
  return {static_cast<std::uint8_t>(bmp[at]), static_cast<std::uint8_t>(bmp[at + 1]),
          static_cast<std::uint8_t>(bmp[at + 2])};
}

class SaveThumbnailsTest : public testing::ScriptFixture {
 protected:
  // Pixel (x, y): blue (x mod 4) * 10, green y / 4, red x / 4, so that a 4 x 4 block averages
  // to blue 15 and keeps the block's own green and red.
  SaveThumbnailsTest() : capture_(kCaptureWidth * kCaptureHeight) {
    for (int y = 0; y < kCaptureHeight; ++y) {
      for (int x = 0; x < kCaptureWidth; ++x) {
        capture_[static_cast<std::size_t>(y) * kCaptureWidth + x] =
            0xFF000000u | static_cast<std::uint32_t>(x / 4) << 16 |
            static_cast<std::uint32_t>(y / 4) << 8 | static_cast<std::uint32_t>(x % 4 * 10);
      }
    }
  }
  std::vector<std::uint32_t> capture_;
};

TEST_F(SaveThumbnailsTest, TheBigPictureIsTheWholeCaptureBottomUp) {
  ASSERT_TRUE(WriteThumbnails(engine_, 12, capture_.data()));
  const std::string big = folder_.Read("Save012b.bmp");
  ASSERT_EQ(big.size(), 54u + 800 * 600 * 3);
  EXPECT_EQ(big.substr(0, 2), "BM");
  EXPECT_EQ(Read32(big, 2), 54u + 800 * 600 * 3);
  EXPECT_EQ(Read32(big, 10), 54u);
  EXPECT_EQ(Read32(big, 14), 40u);
  EXPECT_EQ(Read32(big, 18), 800u);
  EXPECT_EQ(Read32(big, 22), 600u);
  EXPECT_EQ(Read32(big, 26), 1u | 24u << 16);
  EXPECT_EQ(Read32(big, 34), 800u * 600 * 3);
  // The first stored row is screen row 599: pixel (5, 599) is blue 10, green 149, red 1.
  EXPECT_EQ(static_cast<std::uint8_t>(big[54 + 5 * 3]), 10);
  EXPECT_EQ(static_cast<std::uint8_t>(big[54 + 5 * 3 + 1]), 149);
  EXPECT_EQ(static_cast<std::uint8_t>(big[54 + 5 * 3 + 2]), 1);
  EXPECT_EQ(Pixel(big, 799, 0), (std::vector<int>{30, 0, 199}));
}

TEST_F(SaveThumbnailsTest, TheThumbnailKeepsBlockAveragesOfRowsAndColumns4816Mod20) {
  engine_.settings.save.samSaveBig = false;
  ASSERT_TRUE(WriteThumbnails(engine_, 3, capture_.data()));
  EXPECT_FALSE(folder_.Exists("Save003b.bmp"));
  const std::string small = folder_.Read("Save003s.bmp");
  ASSERT_EQ(small.size(), 54u + 120 * 90 * 3);
  EXPECT_EQ(Read32(small, 18), 120u);
  EXPECT_EQ(Read32(small, 22), 90u);
  // Columns 0, 1, 2, 3, 119 come from x = 4, 8, 16, 24, 796; rows 0, 2, 89 from y = 4, 16, 596.
  EXPECT_EQ(Pixel(small, 0, 0), (std::vector<int>{15, 1, 1}));
  EXPECT_EQ(Pixel(small, 1, 0), (std::vector<int>{15, 1, 2}));
  EXPECT_EQ(Pixel(small, 2, 2), (std::vector<int>{15, 4, 4}));
  EXPECT_EQ(Pixel(small, 3, 89), (std::vector<int>{15, 149, 6}));
  EXPECT_EQ(Pixel(small, 119, 89), (std::vector<int>{15, 149, 199}));
}

TEST_F(SaveThumbnailsTest, TheWriterKnowsSixSizes) {
  const std::pair<BitmapSize, std::pair<std::uint32_t, std::uint32_t>> sizes[] = {
      {BitmapSize::kFull, {800, 600}},    {BitmapSize::kHalf, {400, 300}},
      {BitmapSize::kSmallHalf, {320, 240}}, {BitmapSize::kQuarter, {200, 150}},
      {BitmapSize::kSmall, {160, 120}},   {BitmapSize::kThumbnail, {120, 90}}};
  for (const auto& [size, dimensions] : sizes) {
    const std::string bmp = EncodeBitmap(capture_.data(), size);
    EXPECT_EQ(Read32(bmp, 18), dimensions.first);
    EXPECT_EQ(Read32(bmp, 22), dimensions.second);
    EXPECT_EQ(bmp.size(), 54u + dimensions.first * dimensions.second * 3);
  }
  // 320 x 240 keeps x = 2, 4, 6, 8, 12: its column 4 is x = 12, red 3, blue 0.
  EXPECT_EQ(Pixel(EncodeBitmap(capture_.data(), BitmapSize::kSmallHalf), 4, 0), (std::vector<int>{0, 0, 3}));
}

TEST_F(SaveThumbnailsTest, NoCaptureWritesNothing) {
  EXPECT_FALSE(WriteThumbnails(engine_, 4, nullptr));
  EXPECT_FALSE(folder_.Exists("Save004s.bmp"));
}

}  // namespace
}  // namespace halcyra

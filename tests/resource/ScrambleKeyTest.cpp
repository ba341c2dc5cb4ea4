#include "resource/ScrambleKey.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace halcyra {
namespace {

TEST(ScrambleKeyTest, KeyHasSevenNonZeroBytes) {
  ASSERT_EQ(kScrambleKey.size(), 7u);
  for (const std::uint8_t byte : kScrambleKey) EXPECT_NE(byte, 0);
}

TEST(ScrambleKeyTest, XorsWithTheKeyRepeatedFromTheStartIndex) {
  std::vector<std::uint8_t> bytes(10, 0);
  Scramble(bytes.data(), bytes.size(), 0);
  for (std::size_t i = 0; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], kScrambleKey[i % 7]) << i;

  std::vector<std::uint8_t> shifted(3, 0xFF);
  Scramble(shifted.data(), shifted.size(), 12);  // key bytes 5, 6, 0
  EXPECT_EQ(shifted[0], 0xFF ^ kScrambleKey[5]);
  EXPECT_EQ(shifted[1], 0xFF ^ kScrambleKey[6]);
  EXPECT_EQ(shifted[2], 0xFF ^ kScrambleKey[0]);
  Scramble(shifted.data(), shifted.size(), 12);
  EXPECT_EQ(shifted, std::vector<std::uint8_t>(3, 0xFF));
}

}  // namespace
}  // namespace halcyra

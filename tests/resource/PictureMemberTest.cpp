#include "resource/PictureMember.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "resource/CArcFile.h"
#include "resource/ScrambleKey.h"
#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::TempFolder;

Bytes Text(std::string_view text) { return Bytes(text.begin(), text.end()); }

// Scrambles the first min(32, size) bytes as the picture archive stores them.
Bytes ScramblePrefix(Bytes bytes) {
  for (std::size_t i = 0; i < bytes.size() && i < 32; ++i) bytes[i] ^= kScrambleKey[i % 7];
  return bytes;
}

// "ABCDEFGH" as length 8 + one flag byte of literals.
const Bytes kCompressedLetters = {8, 0, 0, 0, 0xFF, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'};

TEST(DecodePictureTest, PlainPicturesPassUnchanged) {
  Bytes bmp = Text("BM");
  for (int i = 0; i < 40; ++i) bmp.push_back(static_cast<std::uint8_t>(i));
  const Bytes psd = Text("8BPS-layers");

  for (const Bytes& picture : {bmp, psd, Text("BM")}) {
    Bytes loose = picture;
    ASSERT_TRUE(DecodePicture(loose, false));
    EXPECT_EQ(loose, picture);
    Bytes member = ScramblePrefix(picture);
    ASSERT_TRUE(DecodePicture(member, true));
    EXPECT_EQ(member, picture);
  }
}

TEST(DecodePictureTest, DecodesCompressedPicturesIncludingShortMembers) {
  // 13 bytes: shorter than the 32-byte scrambled prefix, so all of it is scrambled.
  Bytes member = ScramblePrefix(kCompressedLetters);
  ASSERT_TRUE(DecodePicture(member, true));
  EXPECT_EQ(member, Text("ABCDEFGH"));

  Bytes loose = kCompressedLetters;
  ASSERT_TRUE(DecodePicture(loose, false));
  EXPECT_EQ(loose, Text("ABCDEFGH"));

  // Only the first 32 bytes are scrambled: 4 literals flags later, bytes 32.. are plain.
  Bytes longer = {40, 0, 0, 0};
  Bytes expected;
  for (int block = 0; block < 5; ++block) {
    longer.push_back(0xFF);
    for (int i = 0; i < 8; ++i) {
      longer.push_back(static_cast<std::uint8_t>('a' + block * 8 + i));
      expected.push_back(static_cast<std::uint8_t>('a' + block * 8 + i));
    }
  }
  Bytes scrambled = ScramblePrefix(longer);
  ASSERT_TRUE(DecodePicture(scrambled, true));
  EXPECT_EQ(scrambled, expected);
}

TEST(DecodePictureTest, ShortStreamLeavesZerosAndBadLengthsFail) {
  Bytes shortStream = {6, 0, 0, 0, 0xFF, 'x', 'y'};
  ASSERT_TRUE(DecodePicture(shortStream, false));
  EXPECT_EQ(shortStream, (Bytes{'x', 'y', 0, 0, 0, 0}));

  const std::vector<Bytes> failing = {
      {0x01, 0x00, 0x00, 0x10},  // 256 MiB + 1
      {0xFF, 0xFF, 0xFF, 0xFF},
      {1, 0, 0},  // no room for the length
      {},
  };
  for (const Bytes& bytes : failing) {
    Bytes copy = bytes;
    EXPECT_FALSE(DecodePicture(copy, false)) << bytes.size();
  }
}

TEST(LoadPictureTest, LooseFileBeatsTheArchiveWhichStaysScrambled) {
  TempFolder folder;
  const Bytes member = ScramblePrefix(kCompressedLetters);
  // One entry at offset 48 (0x30), 13 bytes long, named "a.bmp"; the directory is scrambled.
  std::string archive = std::string("\x01\0\0\0", 4) + std::string(12, '\0');
  std::string entry = std::string("\x30\0\0\0\x0D\0\0\0", 8) + "a.bmp";
  entry.resize(32, '\0');
  for (std::size_t i = 0; i < entry.size(); ++i) {
    entry[i] = static_cast<char>(entry[i] ^ kScrambleKey[i % 7]);
  }
  archive += entry + std::string(member.begin(), member.end());
  folder.Write("cg.dat", archive);
  CArcFile pictures;
  ASSERT_TRUE(pictures.Open(folder.File("cg.dat"), true, false));

  const std::string gamePath = folder.Path().string() + "\\CG\\A.BMP";
  Bytes out;
  ASSERT_TRUE(LoadPicture(gamePath, pictures, out));
  EXPECT_EQ(out, Text("ABCDEFGH"));

  folder.Write("cg/a.bmp", "BMloose");
  ASSERT_TRUE(LoadPicture(gamePath, pictures, out));
  EXPECT_EQ(out, Text("BMloose"));

  EXPECT_FALSE(LoadPicture(folder.Path().string() + "\\cg\\b.bmp", pictures, out));
}

}  // namespace
}  // namespace halcyra

#include <gtest/gtest.h>

#include <string>

#include "media/SoundErrorBox.h"

namespace halcyra {
namespace {

TEST(SoundErrorBoxTest, BoxesNameSourceStepErrorAndCode) {
  const MessageBoxRequest device = SoundErrorBox::DirectSound(76, 0x88780078);
  EXPECT_EQ(device.text, "DSOUND (76)\nDSERR_NODRIVER : 0x88780078");
  EXPECT_EQ(device.caption, "DirectSound Error");
  EXPECT_TRUE(device.ownedByWindow);
  EXPECT_EQ(device.buttons, MessageBoxButtons::kOk);

  const MessageBoxRequest file = SoundErrorBox::MMSystem(265, 265);
  EXPECT_EQ(file.text, "MMSystem (265)\nMMIOERR_CHUNKNOTFOUND : 0x00000109");
  EXPECT_EQ(file.caption, "MMSystem Error");
  EXPECT_FALSE(file.ownedByWindow);

  // 未定義のエラー for codes without a name of their own.
  const std::string undefined = "\x96\xa2\x92\xe8\x8b\x60\x82\xcc\x83\x47\x83\x89\x81\x5b";
  EXPECT_EQ(SoundErrorBox::MMSystemCodeName(1), undefined);
  EXPECT_EQ(SoundErrorBox::MMSystemCodeName(0x88780078), undefined);
  EXPECT_EQ(SoundErrorBox::DirectSoundCodeName(257), undefined);
  EXPECT_EQ(std::string(SoundErrorBox::MMSystemCodeName(515)), "ACMERR_CANCELED");
  EXPECT_EQ(std::string(SoundErrorBox::DirectSoundCodeName(0x887800AA)), "DSERR_UNINITIALIZED");
}

}  // namespace
}  // namespace halcyra

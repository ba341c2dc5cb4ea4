#include "scenario/LayerCommands.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/InputState.h"
#include "tests/graphics/GraphicsFixtures.h"
#include "tests/scenario/LayerFixture.h"

namespace halcyra {
namespace {

const std::string kFileMissing =
    "\x83t\x83@\x83""C\x83\x8b\x82\xaa\x91\xb6\x8d\xdd\x82\xb5\x82\xc8\x82\xa2";
const std::string kBadParameter = "\x83p\x83\x89\x83\x81\x81[\x83^\x82\xaa\x95s\x90\xb3";
constexpr int kEmpty = -1;

// The records that name a picture hold the same picture, position and levels.
void ExpectSameNamedRecords(const GameState& state, const GameState& expected) {
  for (int record = 0; record < GameState::kLayerCount; ++record) {
    EXPECT_STREQ(state.layerPicture[record], expected.layerPicture[record]) << record;
    if (expected.layerPicture[record][0] == '\0') continue;
    EXPECT_EQ(state.layerX[record], expected.layerX[record]) << record;
    EXPECT_EQ(state.layerY[record], expected.layerY[record]) << record;
    EXPECT_EQ(state.layerBrightness[record], expected.layerBrightness[record]) << record;
    EXPECT_EQ(state.layerOpacity[record], expected.layerOpacity[record]) << record;
  }
}

class LayerCommandsTest : public testing::LayerFixture {
 protected:
  LayerCommandsTest() {
    WritePicture("b1", 16, 8, 0x102030);
    WritePicture("b2", 16, 8, 0x405060);
    WritePicture("o1", 16, 8, 0x708090);
    for (const char* name : {"s1", "s2", "s3"}) WritePicture(name, 40, 20, 0xC81E64);
    WritePicture("s4", 40, 20, 0x28C8A0);
    WritePicture("tall", 40, 30, 0x28C8A0);
  }
  int Brightness(int slot) { return Slot(slot).GetSurface() ? Slot(slot).GetBrightness() : kEmpty; }
  int Opacity(int slot) { return Slot(slot).GetSurface() ? Slot(slot).GetOpacity() : kEmpty; }
  // Runs body recording a level of one slot at every presented frame.
  std::vector<int> LevelsDuring(const std::string& body, int slot, bool brightness) {
    std::vector<int> levels;
    onFrame = [&] { levels.push_back(brightness ? Brightness(slot) : Opacity(slot)); };
    EXPECT_TRUE(Run(body));
    onFrame = nullptr;
    return levels;
  }
};

TEST_F(LayerCommandsTest, Fo2FadesTheSceneAtHalfTheStepAndEmptiesIt) {
  // -4: the step 16 halved to 8, levels 255, 247, ..., 7; -11: the step 1 halved to 0 and
  // raised to 1, levels 255 .. 1. One more frame shows the emptied scene.
  struct Case {
    int speed;
    std::size_t frames;
    int second;
    int lastLevel;
  };
  for (const Case& c : {Case{-4, 33, 247, 7}, Case{-11, 256, 254, 1}}) {
    engine_.settings.effect.speed = c.speed;
    ASSERT_TRUE(Run("bg1_ b1\r\nsp -2 o1 FADE_SET\r\nsp1_ s1\r\n"));
    const std::vector<int> levels = LevelsDuring("fo2\r\n", 0, true);
    ASSERT_EQ(levels.size(), c.frames) << c.speed;
    EXPECT_EQ(levels[0], 255);
    EXPECT_EQ(levels[1], c.second);
    EXPECT_EQ(levels[c.frames - 2], c.lastLevel);
    EXPECT_EQ(levels.back(), kEmpty);
    for (int record : {0, 1, 5}) EXPECT_EQ(RecordName(record), "") << record;
    EXPECT_EQ(Slot(2).GetSurface(), nullptr);
    EXPECT_EQ(Slot(10).GetSurface(), nullptr);
  }
}

TEST_F(LayerCommandsTest, Bg1FiOnAnEmptyScreenOnlyFadesIn) {
  const std::vector<int> levels = LevelsDuring("bg1_fi b1\r\n", 0, true);
  ASSERT_EQ(levels.size(), 17u);  // 0, 16, ..., 240, then 255
  EXPECT_EQ(levels[0], 0);
  EXPECT_EQ(levels[1], 16);
  EXPECT_EQ(levels[15], 240);
  EXPECT_EQ(levels[16], 255);
  // With a scene shown, a fade-out of 16 frames and its emptied frame come first.
  const std::vector<int> again = LevelsDuring("bg1_fi b2\r\n", 0, true);
  ASSERT_EQ(again.size(), 34u);
  EXPECT_EQ(again[0], 255);
  EXPECT_EQ(again[16], kEmpty);
  EXPECT_EQ(again[17], 0);
  EXPECT_EQ(RecordName(0), "b2");
}

TEST_F(LayerCommandsTest, SceneChangeToTheBackgroundShownRemovesTheRestInOneFrame) {
  for (const char* word : {"bg1", "bg1_fi", "bg1_cf"}) {
    ASSERT_TRUE(Run("bg1_ b1\r\nsp1_ s1\r\nsp -2 o1 FADE_SET\r\n"));
    frames_ = 0;
    ASSERT_TRUE(Run(std::string(word) + " B1\r\n"));
    EXPECT_EQ(frames_, 1) << word;
    EXPECT_EQ(Slot(0).GetFileName(), "cg\\b1.bmp") << word;
    EXPECT_EQ(Brightness(0), 255) << word;
    for (int slot : {1, 2, 10}) EXPECT_EQ(Slot(slot).GetSurface(), nullptr) << word << slot;
    EXPECT_EQ(RecordName(1), "") << word;
    EXPECT_EQ(RecordName(5), "") << word;
  }
}

TEST_F(LayerCommandsTest, Sp1CfLeavesTheSameSpriteAloneAndFadesTheOthersOut) {
  engine_.state->SetFlag16(GameState::kStandCentreXFlag, 300);
  ASSERT_TRUE(Run("sp1_ s1\r\nsp 1 s2 FADE_SET\r\nsp 2 s3 FADE_SET\r\n"));
  const CDIBSprite* kept = &Slot(10);
  std::vector<int> keptOpacity;
  std::vector<int> outgoing;
  onFrame = [&] {
    keptOpacity.push_back(Slot(10).GetOpacity());
    outgoing.push_back(Opacity(13));
  };
  ASSERT_TRUE(Run("sp1_cf S1\r\n"));
  EXPECT_EQ(&Slot(10), kept);
  EXPECT_EQ(Slot(10).GetX(), 300);
  ASSERT_EQ(keptOpacity.size(), 17u);
  for (int opacity : keptOpacity) EXPECT_EQ(opacity, 255);
  EXPECT_EQ(outgoing[0], 255);
  EXPECT_EQ(outgoing[1], 239);
  EXPECT_EQ(outgoing[15], 15);
  EXPECT_EQ(outgoing[16], kEmpty);
  for (int slot : {11, 12, 13, 14, 15}) EXPECT_EQ(Slot(slot).GetSurface(), nullptr) << slot;
  EXPECT_EQ(RecordName(1), "s1");
  EXPECT_EQ(RecordName(2), "");
  EXPECT_EQ(RecordName(3), "");
}

TEST_F(LayerCommandsTest, SameSizePicturesMorphPixelByPixel) {
  // s1 and s2 are 40 x 20 with red 200; s4 is the same size with red 40; tall is 40 x 30.
  struct Case {
    const char* change;
    int frames;
    int firstRed;   // red where the old picture was, in the first frame
    int secondRed;  // and in the second
    bool newHidden;
  };
  // The blend of two opaque pixels keeps alpha (255 * 255) >> 8 = 254, so each morphed red r is
  // drawn over the black screen as (r * 254) >> 8.
  // Morphing starts at weight 0: (200 * 255) >> 8 = 199, drawn 197, with the new picture hidden.
  // One pair: step 16; (40 * 16 + 200 * 239) >> 8 = 189, drawn 187.
  // Two pairs: step 24; (40 * 24 + 200 * 231) >> 8 = 184, drawn 182.
  // A different size does not morph: at level 16 the new picture (opacity 16, weight 15) leaves
  // (40 * 15) >> 8 = 2, and the old one (opacity 239, weight 238) (200 * 238 + 2 * 17) >> 8 = 186.
  const Case cases[] = {{"sp2_cf s4 s3", 17, 197, 187, true},
                        {"sp2_cf s4 s4", 12, 197, 182, true},
                        {"sp2_cf tall s3", 17, 200, 186, false}};
  const testing::BlendForm simd(true);
  for (const Case& c : cases) {
    engine_.state->SetFlag16(GameState::kStandLeftXFlag, 100);
    engine_.state->SetFlag16(GameState::kStandRightXFlag, 500);
    ASSERT_TRUE(Run("sp2_ s1 s3\r\n"));
    std::vector<int> reds;
    std::vector<bool> newShown;
    onFrame = [&] {
      reds.push_back(static_cast<int>(Pixel(110, 5) >> 16 & 0xFF));
      newShown.push_back(Slot(10).IsShown());
    };
    ASSERT_TRUE(Run(std::string(c.change) + "\r\n"));
    onFrame = nullptr;
    ASSERT_EQ(static_cast<int>(reds.size()), c.frames) << c.change;
    EXPECT_EQ(reds[0], c.firstRed) << c.change;
    EXPECT_EQ(reds[1], c.secondRed) << c.change;
    EXPECT_EQ(reds.back(), 40) << c.change;
    EXPECT_EQ(newShown[0], !c.newHidden) << c.change;
    EXPECT_EQ(Slot(11).GetSurface(), nullptr);
  }
}

TEST_F(LayerCommandsTest, CrossFadeOnAnEmptyLayerFadesInOverBlack) {
  WritePicture("red", 40, 20, 0xC80000);
  std::vector<std::uint32_t> pixels;
  std::vector<int> blackWidths;
  onFrame = [&] {
    pixels.push_back(Pixel(5, 5));
    blackWidths.push_back(Slot(11).GetWidth());
  };
  ASSERT_TRUE(Run("sp 0 red FADE_CROSS\r\n"));
  ASSERT_EQ(pixels.size(), 17u);
  EXPECT_EQ(blackWidths[0], 800);
  EXPECT_EQ(pixels[0] & 0xFFFFFF, 0u);
  // Level 128 (frame 8): red at opacity 128 blends with weight 127, (200 * 127) >> 8 = 99, then
  // the black at opacity 127 with weight 126 leaves (99 * 129) >> 8 = 49.
  EXPECT_EQ(pixels[8] >> 16 & 0xFF, 49u);
  EXPECT_EQ(pixels.back() >> 16 & 0xFF, 200u);
  EXPECT_EQ(Slot(11).GetSurface(), nullptr);
  EXPECT_EQ(RecordName(1), "red");
}

TEST_F(LayerCommandsTest, ScrollOutEmptiesTheLayerAndItsRecord) {
  ASSERT_TRUE(Run("sp 0 s1 FADE_SET\r\n"));
  std::vector<int> xs;
  onFrame = [&] { xs.push_back(Slot(10).GetSurface() ? Slot(10).GetX() : kEmpty); };
  ASSERT_TRUE(Run("sp 0 s1 SCROLL_LEFT_OUT\r\n"));
  // 3 x 16 pixels a frame: -48 .. -768, then -816 is off the screen.
  ASSERT_EQ(xs.size(), 17u);
  EXPECT_EQ(xs[0], -48);
  EXPECT_EQ(xs[15], -768);
  EXPECT_EQ(xs[16], kEmpty);
  EXPECT_EQ(RecordName(1), "");
}

TEST_F(LayerCommandsTest, HoldingCtrlShowsTheEndOfAFadeOnTheNextFrame) {
  // Each fade presents its first frame, then its final state; a scene change with a fade-out
  // before its fade-in does so for both.
  struct Case {
    const char* fade;
    int frames;
  };
  for (const Case& c : {Case{"fo", 2}, Case{"fi", 2}, Case{"bg1_fi b2", 3}, Case{"sp2_cf s4 s4", 2}}) {
    ASSERT_TRUE(Run("bg1_ b1\r\nsp2_ s1 s2\r\n"));
    frames_ = 0;
    onFrame = [&] { host_.ctrlDown = true; };
    ASSERT_TRUE(Run(std::string(c.fade) + "\r\n"));
    onFrame = nullptr;
    host_.ctrlDown = false;
    EXPECT_EQ(frames_, c.frames) << c.fade;
  }
  EXPECT_EQ(Opacity(10), 255);
  EXPECT_EQ(Slot(10).GetFileName(), "cg\\s4.bmp");
  EXPECT_EQ(Slot(11).GetSurface(), nullptr);
}

TEST_F(LayerCommandsTest, AClickWithoutClickCancelRunsTheFadeOnButEndsAutoMode) {
  ASSERT_TRUE(Run("bg1_ b1\r\n"));
  engine_.autoMode = true;
  frames_ = 0;
  onFrame = [&] {
    if (frames_ == 3) engine_.input.SetInput(kInputAdvance, true);
  };
  ASSERT_TRUE(Run("fo\r\n"));
  EXPECT_EQ(frames_, 17);
  EXPECT_FALSE(engine_.autoMode);
  EXPECT_EQ(Variable('C'), 1);
}

TEST_F(LayerCommandsTest, FastForwardKeepsRecordsOnlyAndRebuildShowsTheSameScene) {
  engine_.state->SetFlag16(GameState::kStandLeftXFlag, 40);
  engine_.state->SetFlag16(GameState::kStandRightXFlag, 400);
  const std::string scene =
      "bg3_fi b1 s1 s2\r\nsp -2 o1 FADE_IN\r\n"
      "ev1_cf b2\r\nsp2_cf s4 s2\r\nset_fade -1 128\r\nposi 2 420 10\r\nspr 2 s3 FADE_NONE\r\n";
  ASSERT_TRUE(Run(scene));
  const std::string drawn = engine_.sprites->DumpText();
  const auto drawnRecords = std::make_unique<GameState>(*engine_.state);
  ASSERT_NE(drawn, "");

  engine_.sprites->ReleaseAll();
  for (auto& name : engine_.state->layerPicture) GameState::CopyName(name, "");
  script_.SetFastForward(true);
  frames_ = 0;
  ASSERT_TRUE(Run(scene));
  EXPECT_EQ(frames_, 0);
  EXPECT_EQ(engine_.sprites->DumpText(), "");
  ExpectSameNamedRecords(*engine_.state, *drawnRecords);

  script_.SetFastForward(false);
  EXPECT_TRUE(RebuildLayers(script_));
  EXPECT_EQ(engine_.sprites->DumpText(), drawn);
}

TEST_F(LayerCommandsTest, MissingPicturesAreReportedOrReplacedByAPlaceholder) {
  ASSERT_TRUE(Run("sp1_ s1\r\nsp1_ nothing\r\n"));
  EXPECT_TRUE(Reported(kFileMissing));
  EXPECT_EQ(Slot(10).GetFileName(), "cg\\s1.bmp");  // the slot keeps what it held
  engine_.makePlaceholders = true;
  const std::size_t reports = Boxes().size();
  ASSERT_TRUE(Run("bg1 nothing\r\n"));
  EXPECT_EQ(Boxes().size(), reports);
  EXPECT_EQ(Slot(0).GetWidth(), 800);
  EXPECT_EQ(Slot(0).GetSurface()->GetBits(0)[0], 0xFF808080u);
}

TEST_F(LayerCommandsTest, AnUnknownKindIsReportedAndPresentsNothing) {
  frames_ = 0;
  ASSERT_TRUE(Run("sp 0 s1 SIDEWAYS\r\n"));
  EXPECT_TRUE(Reported(kBadParameter));
  EXPECT_EQ(frames_, 0);
  EXPECT_EQ(Slot(10).GetFileName(), "cg\\s1.bmp");
}

TEST_F(LayerCommandsTest, StandingSpritesTakeTheSceneTint) {
  // set_rgb2 100 doubles red, -50 halves green: 0xC8 -> 255, 0x1E -> 15.
  ASSERT_TRUE(Run("set_rgb2 100 -50 0\r\nsp1_ s1\r\nbg1_ b1\r\n"));
  const std::uint32_t tinted = Slot(10).GetSurface()->GetBits(0)[0];
  EXPECT_EQ(tinted >> 16 & 0xFF, 255u);
  EXPECT_EQ(tinted >> 8 & 0xFF, 15u);
  EXPECT_EQ(Slot(0).GetSurface()->GetBits(0)[0] & 0xFFFFFF, 0x102030u);  // backgrounds are not tinted
}

}  // namespace
}  // namespace halcyra

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/CPSD.h"
#include "platform/ShiftJis.h"
#include "tests/graphics/GraphicsFixtures.h"

namespace halcyra {
namespace {

using testing::Bytes;
using testing::MakePsd;
using testing::PackBitsBlock;
using testing::PsdDocument;
using testing::PsdLayer;
using testing::RawBlock;
using testing::RecordingReporter;
using Pixels = std::vector<std::uint32_t>;

using testing::Argb;

using testing::Sjis;

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// A 2 x 2 RGB document with raw merged data: red 10.., green 20.., blue 30...
PsdDocument FlatDocument() {
  PsdDocument document;
  document.width = 2;
  document.height = 2;
  document.merged = RawBlock(Concat({{10, 11, 12, 13}, {20, 21, 22, 23}, {30, 31, 32, 33}}));
  return document;
}

const Pixels kFlatPixels = {Argb(255, 10, 20, 30), Argb(255, 11, 21, 31), Argb(255, 12, 22, 32),
                            Argb(255, 13, 23, 33)};

// A 3 x 2 document with transparency and two layers: layer 0 covers (0..1, 0), layer 1 covers
// (1..2, 1) and lists its transparency channel first.
PsdDocument LayeredDocument() {
  PsdDocument document;
  document.channels = 4;
  document.width = 3;
  document.height = 2;
  document.layerSection = true;
  document.storedLayerCount = -2;
  document.layers.push_back({0,
                             0,
                             1,
                             2,
                             {{0, RawBlock({1, 2})},
                              {1, RawBlock({3, 4})},
                              {2, RawBlock({5, 6})},
                              {-1, RawBlock({255, 128})}}});
  document.layers.push_back({1,
                             1,
                             2,
                             3,
                             {{-1, RawBlock({200, 100})},
                              {0, RawBlock({7, 8})},
                              {1, RawBlock({9, 10})},
                              {2, RawBlock({11, 12})}}});
  document.merged = RawBlock(Bytes(4 * 6, 0));
  return document;
}

class CPSDTest : public ::testing::Test {
 protected:
  CPSDTest() { context_.errors = &reporter_; }

  // Loads bytes and decodes every frame; empty when loading or a decode fails.
  std::vector<Pixels> Decode(const Bytes& bytes, const char* name = "cg\\test.psd") {
    CPSD psd(context_);
    if (!psd.LoadData(bytes, name)) return {};
    std::vector<Pixels> frames;
    for (int i = 0; i < psd.GetLayerCount(); ++i) {
      Pixels frame(static_cast<std::size_t>(psd.GetWidth() * psd.GetHeight()), 0);
      bool alpha = false;
      if (!psd.DecodeLayer(frame.data(), i, psd.GetWidth() * 4, alpha)) return {};
      frames.push_back(frame);
    }
    return frames;
  }

  RecordingReporter reporter_;
  GraphicsContext context_;
};

TEST_F(CPSDTest, FlatDocumentIsOneOpaqueFrame) {
  const std::vector<Pixels> frames = Decode(MakePsd(FlatDocument()));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0], kFlatPixels);
  EXPECT_TRUE(reporter_.reports.empty());
}

TEST_F(CPSDTest, FlatDocumentWithLayersRepeatsTheComposite) {
  PsdDocument document = FlatDocument();
  document.layerSection = true;
  document.storedLayerCount = 3;
  for (int i = 0; i < 3; ++i) {
    document.layers.push_back(
        {0, 0, 1, 1, {{0, RawBlock({99})}, {1, RawBlock({99})}, {2, RawBlock({99})}}});
  }
  const std::vector<Pixels> frames = Decode(MakePsd(document));
  EXPECT_EQ(frames, std::vector<Pixels>(3, kFlatPixels));
}

TEST_F(CPSDTest, LayersAreFramesTransparentOutsideTheirRectangles) {
  const std::vector<Pixels> frames = Decode(MakePsd(LayeredDocument()));
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0], (Pixels{Argb(255, 1, 3, 5), Argb(128, 2, 4, 6), 0,  //
                               0, 0, 0}));
  EXPECT_EQ(frames[1], (Pixels{0, 0, 0,  //
                               0, Argb(200, 7, 9, 11), Argb(100, 8, 10, 12)}));
  EXPECT_TRUE(reporter_.reports.empty());
}

TEST_F(CPSDTest, PixelsOutsideTheDocumentAreDropped) {
  // Document 4 x 2; the layer spans rows -1..1 and columns 2..13 (10 beyond the right edge).
  PsdDocument document;
  document.channels = 4;
  document.width = 4;
  document.height = 2;
  document.layerSection = true;
  document.storedLayerCount = -1;
  Bytes red;
  for (int row = 0; row < 3; ++row) {
    for (int x = 0; x < 12; ++x) red.push_back(static_cast<std::uint8_t>(16 * row + x));
  }
  // Alpha in PackBits: each row one run of 12 copies (0xF5 = 257 - 245).
  document.layers.push_back({-1,
                             2,
                             2,
                             14,
                             {{0, RawBlock(red)},
                              {1, RawBlock(Bytes(36, 1))},
                              {2, RawBlock(Bytes(36, 2))},
                              {-1, PackBitsBlock({{0xF5, 50}, {0xF5, 60}, {0xF5, 70}})}}});
  document.merged = RawBlock(Bytes(4 * 8, 0));
  const std::vector<Pixels> frames = Decode(MakePsd(document));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0], (Pixels{0, 0, Argb(60, 16, 1, 2), Argb(60, 17, 1, 2),  //
                               0, 0, Argb(70, 32, 1, 2), Argb(70, 33, 1, 2)}));
}

TEST_F(CPSDTest, PackBitsRunsRepeatAndCopy) {
  // 4 x 1: red 0xFD 0x7F repeats 4 times; green 0x03 copies four bytes; blue 0xFF repeats 9
  // twice, then 0x01 copies 5 and 6.
  PsdDocument document;
  document.width = 4;
  document.height = 1;
  document.merged = {0, 1, 0, 2, 0, 5, 0, 5};
  for (const Bytes& row :
       {Bytes{0xFD, 0x7F}, Bytes{0x03, 1, 2, 3, 4}, Bytes{0xFF, 9, 0x01, 5, 6}}) {
    document.merged.insert(document.merged.end(), row.begin(), row.end());
  }
  const std::vector<Pixels> frames = Decode(MakePsd(document));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0], (Pixels{Argb(255, 0x7F, 1, 9), Argb(255, 0x7F, 2, 9), Argb(255, 0x7F, 3, 5),
                               Argb(255, 0x7F, 4, 6)}));
}

TEST_F(CPSDTest, RunHeader0x80Repeats129Times) {
  PsdDocument document;
  document.width = 129;
  document.height = 1;
  document.merged = {0, 1, 0, 2, 0, 2, 0, 2, 0x80, 0x42, 0x80, 0x43, 0x80, 0x44};
  const std::vector<Pixels> frames = Decode(MakePsd(document));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0], Pixels(129, Argb(255, 0x42, 0x43, 0x44)));
}

TEST_F(CPSDTest, MergedRunPastTheRowIsAnOverrun) {
  PsdDocument document;
  document.width = 4;
  document.height = 1;
  document.merged = {0, 1, 0, 2, 0, 2, 0, 2, 0xFC, 1, 0xFD, 2, 0xFD, 3};  // 5 copies of 1
  EXPECT_TRUE(Decode(MakePsd(document), "cg\\run.psd").empty());
  ASSERT_EQ(reporter_.reports.size(), 1u);
  EXPECT_EQ(reporter_.reports[0].source, "SCRIPT");
  EXPECT_EQ(reporter_.reports[0].message, Sjis("RLE データがオーバーランしました"));
  EXPECT_EQ(reporter_.reports[0].detail, "cg\\run.psd");
}

TEST_F(CPSDTest, LayerOverrunNamesLayerAndChannelAndKeepsTheFrame) {
  PsdDocument document = LayeredDocument();
  document.layers[1].channels[2] = {1, PackBitsBlock({{0xFC, 1}})};  // 5 copies in 2 columns
  const std::vector<Pixels> frames = Decode(MakePsd(document), "cg\\run.psd");
  ASSERT_EQ(frames.size(), 2u);
  // Channels run -1 last in the decode order 0, 1, 2, -1: red was written, green failed.
  EXPECT_EQ(frames[1], (Pixels{0, 0, 0, 0, Argb(0, 7, 0, 0), Argb(0, 8, 0, 0)}));
  ASSERT_EQ(reporter_.reports.size(), 1u);
  EXPECT_EQ(reporter_.reports[0].message,
            Sjis("RLE データがオーバーランしました\ncg\\run.psd\nレイヤ 1 チャネル 1"));
  EXPECT_EQ(reporter_.reports[0].detail, "");
}

TEST_F(CPSDTest, FirstLayerWithoutFourChannelsIsReportedOnce) {
  PsdDocument document = LayeredDocument();
  document.layers[0].channels.pop_back();  // no transparency channel
  const std::vector<Pixels> frames = Decode(MakePsd(document));
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0][0], Argb(0, 1, 3, 5));
  EXPECT_EQ(reporter_.Messages(), (std::vector<std::string>{Sjis("チャネルの数が不正"),
                                                            Sjis("チャネルのポインタが不正")}));
}

TEST_F(CPSDTest, UnknownMergedCompressionIsReportedAndReadAsPackBits) {
  PsdDocument document;
  document.width = 2;
  document.height = 1;
  document.merged = {0, 7, 0, 2, 0, 2, 0, 2, 0xFF, 1, 0xFF, 2, 0xFF, 3};
  const std::vector<Pixels> frames = Decode(MakePsd(document));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0], Pixels(2, Argb(255, 1, 2, 3)));
  ASSERT_EQ(reporter_.reports.size(), 1u);
  EXPECT_EQ(reporter_.reports[0].message, Sjis("不明な圧縮タイプ"));
  EXPECT_EQ(reporter_.reports[0].detail, "7");
}

TEST_F(CPSDTest, RefusedDocumentsNameTheirFault) {
  struct Case {
    const char* label;
    void (*changeDocument)(PsdDocument&);
    void (*changeBytes)(Bytes&);
    const char* message;  // UTF-8
  };
  const auto same = [](PsdDocument&) {};
  const auto untouched = [](Bytes&) {};
  const Case cases[] = {
      {"CMYK", [](PsdDocument& d) { d.colourMode = 4; }, untouched,
       "現在サポートしていないカラーモ－ド"},
      {"16-bit", [](PsdDocument& d) { d.depth = 16; }, untouched, "現在サポートしていない色深度"},
      {"signature", same, [](Bytes& b) { b[0] = 'X'; }, "イメージ情報が取得できない"},
      {"version", same, [](Bytes& b) { b[5] = 2; }, "イメージ情報が取得できない"},
      {"reserved", same, [](Bytes& b) { b[9] = 1; }, "イメージ情報が取得できない"},
      {"short header", same, [](Bytes& b) { b.resize(20); }, "イメージ情報が取得できない"},
      {"empty", same, [](Bytes& b) { b.clear(); }, "データサイズがおかしい"},
      {"section past the end", same, [](Bytes& b) { b[29] = 200; },
       "レイヤストラクチャーのポインタが不正"},
  };
  for (const Case& c : cases) {
    reporter_.reports.clear();
    PsdDocument document = FlatDocument();
    c.changeDocument(document);
    Bytes bytes = MakePsd(document);
    c.changeBytes(bytes);
    CPSD psd(context_);
    EXPECT_FALSE(psd.LoadData(bytes, "cg\\bad.psd")) << c.label;
    ASSERT_EQ(reporter_.reports.size(), 1u) << c.label;
    EXPECT_EQ(reporter_.reports[0].message, Sjis(c.message)) << c.label;
    EXPECT_EQ(reporter_.reports[0].detail, "cg\\bad.psd") << c.label;
  }
}

TEST_F(CPSDTest, FourChannelsWithPositiveLayerCountAreRefusedWithDetail) {
  PsdDocument document = LayeredDocument();
  document.storedLayerCount = 2;
  CPSD psd(context_);
  EXPECT_FALSE(psd.LoadData(MakePsd(document), "cg\\four.psd"));
  ASSERT_EQ(reporter_.reports.size(), 1u);
  EXPECT_EQ(reporter_.reports[0].message, Sjis("現在サポートしていないチャネルの数"));
  EXPECT_EQ(reporter_.reports[0].detail,
            Sjis("\ncg\\four.psd\nチャネル数 4\nレイヤ数 2\nαチャネル false"));
}

TEST_F(CPSDTest, EveryTruncationFailsWithAReportInsteadOfReadingPastTheEnd) {
  for (const PsdDocument& document : {FlatDocument(), LayeredDocument()}) {
    const Bytes whole = MakePsd(document);
    // The layered document's merged image is never read; cut only up to the layer data's end.
    const std::size_t usedBytes =
        document.channels == 4 ? whole.size() - document.merged.size() : whole.size();
    for (std::size_t size = 0; size < usedBytes; ++size) {
      reporter_.reports.clear();
      const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
      const std::vector<Pixels> frames = Decode(cut);
      const bool complete =
          frames.size() == static_cast<std::size_t>(document.channels == 4 ? 2 : 1);
      EXPECT_FALSE(complete && reporter_.reports.empty()) << "size " << size;
    }
  }
}

}  // namespace
}  // namespace halcyra

#include "resource/Lzss.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "resource/LzssEncoder.h"

namespace halcyra {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Decode(const Bytes& stream, std::size_t capacity) {
  Bytes out(capacity, 0xCD);
  out.resize(LzssDecode(out.data(), out.size(), stream.data(), stream.size()));
  return out;
}

Bytes Text(std::string_view text) { return Bytes(text.begin(), text.end()); }

// The decoding rules written out plainly, with ring positions 4078..4095 filled as asked: a
// decoder must agree with this for a fill of 0, and the encoder's streams for any fill.
Bytes ReferenceDecode(const Bytes& stream, std::uint8_t tailFill) {
  std::uint8_t ring[4096] = {};
  for (int i = 4078; i < 4096; ++i) ring[i] = tailFill;
  int r = 4078;
  Bytes out;
  std::size_t at = 0;
  while (at < stream.size()) {
    const std::uint8_t flags = stream[at++];
    for (int bit = 0; bit < 8; ++bit) {
      if ((flags >> bit) & 1) {
        if (at + 1 > stream.size()) return out;
        out.push_back(stream[at]);
        ring[r] = stream[at++];
        r = (r + 1) % 4096;
      } else {
        if (at + 2 > stream.size()) return out;
        const int p = stream[at] + (stream[at + 1] & 0xF0) * 16;
        const int length = (stream[at + 1] & 0x0F) + 3;
        at += 2;
        for (int i = 0; i < length; ++i) {
          const std::uint8_t c = ring[(p + i) % 4096];
          out.push_back(c);
          ring[r] = c;
          r = (r + 1) % 4096;
        }
      }
    }
  }
  return out;
}

TEST(LzssDecodeTest, DecodesHandWrittenStreams) {
  struct Case {
    const char* label;
    Bytes stream;
    Bytes expected;
  };
  const std::vector<Case> cases = {
      {"eight literals", {0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'}, Text("abcdefgh")},
      {"match from the initial ring", {0x00, 0x00, 0x00}, {0, 0, 0}},
      // 'a' and 'b' land at 4078 and 4079; a 6-byte copy from 4078 repeats what it writes.
      {"overlapping copy", {0x03, 'a', 'b', 0xEE, 0xF3}, Text("abababab")},
      // 20 literals fill 4078..4095 and then wrap to 0 and 1; a copy from 4094 crosses the wrap.
      {"copy across the ring's end",
       {0xFF, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 0xFF, 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P',
        0x0F, 'Q', 'R', 'S', 'T', 0xFE, 0xF1},
       Text("ABCDEFGHIJKLMNOPQRSTQRST")},
      {"longest match", {0x00, 0x00, 0x0F}, Bytes(18, 0)},
      {"empty source", {}, {}},
      {"flag byte alone", {0xFF}, {}},
      {"literal cut short", {0xFF, 'a', 'b', 'c'}, Text("abc")},
      {"match cut short", {0x01, 'a', 0x00}, Text("a")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Decode(c.stream, 64), c.expected) << c.label;
    EXPECT_EQ(ReferenceDecode(c.stream, 0), c.expected) << c.label;
  }
}

TEST(LzssDecodeTest, StopsAtTheDestinationLength) {
  Bytes out(8, 0xCD);
  const Bytes literals = {0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
  EXPECT_EQ(LzssDecode(out.data(), 5, literals.data(), literals.size()), 5u);
  EXPECT_EQ(out, (Bytes{'a', 'b', 'c', 'd', 'e', 0xCD, 0xCD, 0xCD}));

  // Mid-copy: two of the three bytes fit.
  out.assign(4, 0xCD);
  const Bytes match = {0x00, 0x00, 0x00};
  EXPECT_EQ(LzssDecode(out.data(), 2, match.data(), match.size()), 2u);
  EXPECT_EQ(out, (Bytes{0, 0, 0xCD, 0xCD}));
  EXPECT_EQ(LzssDecode(nullptr, 0, match.data(), match.size()), 0u);
}

TEST(LzssDecodeTest, EveryCallStartsFromAZeroRing) {
  // Fill ring positions 4078..4095 with 'x', then decode a copy of those positions afresh.
  Bytes fill = {0xFF, 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x', 0xFF, 'x', 'x', 'x', 'x', 'x',
                'x', 'x', 'x', 0x03, 'x', 'x'};
  ASSERT_EQ(Decode(fill, 64), Bytes(18, 'x'));
  EXPECT_EQ(Decode({0x00, 0xEE, 0xFF}, 64), Bytes(18, 0));
}

TEST(LzssDecodeTest, AgreesWithTheRulesOnArbitraryStreams) {
  std::mt19937 random(99);
  for (int round = 0; round < 300; ++round) {
    Bytes stream(random() % 3000);
    for (std::uint8_t& byte : stream) byte = static_cast<std::uint8_t>(random());
    const Bytes expected = ReferenceDecode(stream, 0);
    EXPECT_EQ(Decode(stream, expected.size() + 32), expected) << round;
  }
}

TEST(LzssEncodeTest, RoundTripsAndFindsMatches) {
  std::mt19937 random(7);
  Bytes noise(20000);
  for (std::uint8_t& byte : noise) byte = static_cast<std::uint8_t>(random());
  Bytes gradient(64 * 64 * 4);
  for (std::size_t i = 0; i < gradient.size(); ++i) {
    gradient[i] = static_cast<std::uint8_t>(i / 4 % 64);
  }
  Bytes zeros(30000, 0);
  Bytes longRange;  // a block repeated just inside and just outside the 4095-byte window
  for (int i = 0; i < 3; ++i) {
    longRange.insert(longRange.end(), noise.begin(), noise.begin() + 4094);
  }

  struct Case {
    const char* label;
    Bytes input;
    double maxRatio;  // compressed size / input size
  };
  const std::vector<Case> cases = {
      {"empty", {}, 1.0},
      {"one byte", {42}, 2.0},
      {"noise", noise, 1.13},
      {"gradient", gradient, 0.2},
      {"zeros", zeros, 0.13},
      {"long range", longRange, 0.5},
  };
  for (const Case& c : cases) {
    const Bytes stream = LzssEncode(c.input.data(), c.input.size());
    EXPECT_EQ(Decode(stream, c.input.size()), c.input) << c.label;
    // Whatever a decoder leaves at 4078..4095, the encoder's streams never read it.
    EXPECT_EQ(ReferenceDecode(stream, 0xAA), c.input) << c.label;
    EXPECT_LE(static_cast<double>(stream.size()),
              c.maxRatio * static_cast<double>(std::max<std::size_t>(c.input.size(), 1)))
        << c.label;
  }
}

}  // namespace
}  // namespace halcyra

#include "resource/LzssEncoder.h"

#include <algorithm>
#include <array>
#include <memory>

#include "resource/Lzss.h"

namespace halcyra {
namespace {

constexpr std::size_t kWindow = kLzssRingSize - 1;  // the hash chains cannot tell older entries
constexpr unsigned kHashBits = 14;
constexpr std::size_t kMaxChainSteps = 128;
constexpr std::ptrdiff_t kNone = -1;

struct Match {
  std::size_t length = 0;
  std::size_t position = 0;  // index into the input
};

// Hash chains: head[hash] is the latest input position with that 3-byte hash, previous[i % 4096]
// the position before i with the same hash.
class MatchFinder {
 public:
  MatchFinder(const std::uint8_t* data, std::size_t length) : data_(data), length_(length) {
    head_.fill(kNone);
    previous_.fill(kNone);
  }

  void Insert(std::size_t position) {
    if (position + kLzssMinMatch > length_) return;
    const unsigned hash = HashAt(position);
    previous_[position & (kLzssRingSize - 1)] = head_[hash];
    head_[hash] = static_cast<std::ptrdiff_t>(position);
  }

  // Longest earlier match for the bytes at position (not yet inserted).
  Match Longest(std::size_t position) const {
    Match best;
    if (position + kLzssMinMatch > length_) return best;
    const std::size_t limit = std::min(kLzssMaxMatch, length_ - position);
    const std::uint8_t* const target = data_ + position;
    std::ptrdiff_t candidate = head_[HashAt(position)];
    for (std::size_t steps = 0; candidate != kNone && steps < kMaxChainSteps; ++steps) {
      const std::size_t start = static_cast<std::size_t>(candidate);
      if (position - start > kWindow) break;
      const std::uint8_t* const earlier = data_ + start;
      std::size_t length = 0;
      while (length < limit && earlier[length] == target[length]) ++length;
      if (length > best.length) {
        best.length = length;
        best.position = start;
        if (length == limit) break;
      }
      candidate = previous_[start & (kLzssRingSize - 1)];
    }
    if (best.length < kLzssMinMatch) best.length = 0;
    return best;
  }

 private:
  unsigned HashAt(std::size_t position) const {
    const std::uint32_t key = (std::uint32_t{data_[position]} << 16) |
                              (std::uint32_t{data_[position + 1]} << 8) | data_[position + 2];
    return (key * 2654435761u) >> (32 - kHashBits);
  }

  const std::uint8_t* data_;
  std::size_t length_;
  std::array<std::ptrdiff_t, std::size_t{1} << kHashBits> head_;
  std::array<std::ptrdiff_t, kLzssRingSize> previous_;
};

// Collects items behind flag bytes, eight items per flag byte, least significant bit first.
class StreamWriter {
 public:
  explicit StreamWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  void Literal(std::uint8_t byte) {
    StartItem(true);
    out_.push_back(byte);
  }

  // Input position j was written at ring position (4078 + j) mod 4096.
  void Copy(std::size_t inputPosition, std::size_t length) {
    StartItem(false);
    const std::size_t ring = (kLzssRingStart + inputPosition) & (kLzssRingSize - 1);
    out_.push_back(static_cast<std::uint8_t>(ring & 0xFF));
    out_.push_back(static_cast<std::uint8_t>(((ring >> 4) & 0xF0) | (length - kLzssMinMatch)));
  }

 private:
  void StartItem(bool literal) {
    if (bit_ == 8) {
      flagIndex_ = out_.size();
      out_.push_back(0);
      bit_ = 0;
    }
    if (literal) out_[flagIndex_] = static_cast<std::uint8_t>(out_[flagIndex_] | (1u << bit_));
    ++bit_;
  }

  std::vector<std::uint8_t>& out_;
  std::size_t flagIndex_ = 0;
  unsigned bit_ = 8;
};

}  // namespace

std::vector<std::uint8_t> LzssEncode(const std::uint8_t* data, std::size_t length) {
  std::vector<std::uint8_t> out;
  out.reserve(length + length / 8 + 1);
  StreamWriter writer(out);
  const auto finder = std::make_unique<MatchFinder>(data, length);

  std::size_t position = 0;
  Match match = finder->Longest(position);
  while (position < length) {
    finder->Insert(position);
    const Match next = finder->Longest(position + 1);
    // Lazy step: a longer match one byte on is worth a literal now.
    if (match.length == 0 || next.length > match.length) {
      writer.Literal(data[position]);
      ++position;
      match = next;
      continue;
    }
    writer.Copy(match.position, match.length);
    for (std::size_t i = 1; i < match.length; ++i) finder->Insert(position + i);
    position += match.length;
    match = finder->Longest(position);
  }
  return out;
}

}  // namespace halcyra

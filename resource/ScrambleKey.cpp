#include "resource/ScrambleKey.h"

namespace halcyra {

void Scramble(std::uint8_t* bytes, std::size_t length, std::size_t startIndex) {
  std::size_t keyIndex = startIndex % kScrambleKey.size();
  for (std::size_t i = 0; i < length; ++i) {
    bytes[i] ^= kScrambleKey[keyIndex];
    keyIndex = keyIndex + 1 == kScrambleKey.size() ? 0 : keyIndex + 1;
  }
}

}  // namespace halcyra

#include "script/GameState.h"

#include <algorithm>
#include <cstring>

#include "script/ScriptReader.h"

namespace halcyra {

void GameState::Clear() {
  std::memset(static_cast<void*>(this), 0, sizeof(GameState));
  formatNumber = kFormatNumber;
  SetScriptName("open");
}

std::uint32_t GameState::ComputeChecksum() const {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(this);
  std::uint32_t sum = 0;
  for (std::size_t i = offsetof(GameState, formatNumber); i < sizeof(GameState); ++i) sum += bytes[i];
  return sum;
}

std::int16_t GameState::Flag16(int flag) const {
  return static_cast<std::int16_t>(flags[flag] | (flags[flag + 1] << 8));
}

void GameState::SetFlag16(int flag, std::int16_t value) {
  const auto bits = static_cast<std::uint16_t>(value);
  flags[flag] = static_cast<std::uint8_t>(bits);
  flags[flag + 1] = static_cast<std::uint8_t>(bits >> 8);
}

void GameState::SetScriptName(std::string_view name) { CopyName(scriptName, name); }

void GameState::CopyNameInto(char* field, std::size_t size, std::string_view name) {
  const std::size_t limit = size - 1;
  std::size_t length = 0;
  while (length < name.size()) {
    const auto byte = static_cast<unsigned char>(name[length]);
    const std::size_t step = ScriptReader::IsLeadByte(byte) ? 2 : 1;
    if (length + step > limit) break;
    length += step;
  }
  length = std::min(length, name.size());
  // An empty view may carry no address at all, which memcpy must not be given.
  if (length > 0) std::memcpy(field, name.data(), length);
  std::memset(field + length, 0, size - length);
}

std::string_view GameState::ScriptName() const {
  return std::string_view(scriptName, strnlen(scriptName, sizeof scriptName));
}

}  // namespace halcyra

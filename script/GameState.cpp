#include "script/GameState.h"

#include <algorithm>
#include <cstring>

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

void GameState::CopyName(char (&field)[64], std::string_view name) {
  const std::size_t length = std::min(name.size(), sizeof field - 1);
  std::memcpy(field, name.data(), length);
  std::memset(field + length, 0, sizeof field - length);
}

std::string_view GameState::ScriptName() const {
  return std::string_view(scriptName, strnlen(scriptName, sizeof scriptName));
}

}  // namespace halcyra

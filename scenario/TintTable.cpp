#include "scenario/TintTable.h"

#include <strings.h>

#include <charconv>
#include <cstring>
#include <vector>

#include "graphics/CDIBSprite.h"
#include "resource/CFile.h"
#include "script/CScript.h"
#include "script/Engine.h"
#include "script/GameState.h"
#include "script/ScriptTexts.h"

namespace halcyra {
namespace {

constexpr char kBlanks[] = " \t";

std::string_view TrimLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
    line.remove_suffix(1);
  }
  return line;
}

// The file's bytes, loose or from the script archive; empty when it is in neither.
std::string ReadTableFile(Engine& engine) {
  std::string bytes;
  CFile file;
  if (file.Open(TintTable::kPath, FileAccess::kRead)) {
    bytes.resize(file.GetSize());
    bytes.resize(file.Read(bytes.data(), bytes.size()));
  } else if (engine.scripts.Find(TintTable::kPath)) {
    bytes.resize(engine.scripts.GetSize());
    bytes.resize(engine.scripts.Read(bytes.data(), bytes.size()));
  }
  return bytes;
}

}  // namespace

void TintTable::Parse(std::string_view text, const BadLine& badLine) {
  entries_.clear();
  read_ = true;
  int lineNumber = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = TrimLineEnd(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++lineNumber;
    const std::size_t start = line.find_first_not_of(kBlanks);
    if (start == std::string_view::npos || line[start] == ';') continue;
    const std::size_t nameEnd = line.find_first_of(kBlanks, start);
    const std::size_t presetStart =
        nameEnd == std::string_view::npos ? nameEnd : line.find_first_not_of(kBlanks, nameEnd);
    int preset = -1;
    if (presetStart != std::string_view::npos) {
      const char* first = line.data() + presetStart;
      const char* last = line.data() + line.size();
      const auto [stop, error] = std::from_chars(first, last, preset);
      if (error != std::errc() || stop != last) preset = -1;
    }
    const std::string_view name = line.substr(start, nameEnd - start);
    if (preset < 0 || preset >= kPresetCount || name.size() > 63 ||
        static_cast<int>(entries_.size()) >= kMaxEntries) {
      if (badLine) badLine(lineNumber, line);
      continue;
    }
    entries_.push_back({std::string(name), preset});
  }
}

int TintTable::Find(std::string_view name) const {
  const std::string key(name);
  for (const Entry& entry : entries_) {
    if (strcasecmp(entry.name.c_str(), key.c_str()) == 0) return entry.preset;
  }
  return -1;
}

void TintTable::SetPreset(int preset, const Tint& tint) {
  if (preset >= 0 && preset < kPresetCount) presets_[static_cast<std::size_t>(preset)] = tint;
}

void LookUpTint(CScript& script, std::string_view name, bool isEventPicture) {
  Engine& engine = script.GetEngine();
  TintTable& table = engine.tints;
  if (!table.IsRead()) {
    table.Parse(ReadTableFile(engine), [&](int lineNumber, std::string_view line) {
      script.ScriptErrorAt(script_texts::kBadParameter, line, TintTable::kPath, lineNumber, line);
    });
  }
  const int preset = isEventPicture ? -1 : table.Find(name);
  const TintTable::Tint tint = preset < 0 ? TintTable::Tint{} : table.Preset(preset);
  std::memcpy(&engine.state->flags[GameState::kRgbFlag], tint.data(), tint.size());
}

void ApplyTint(CDIBSprite& sprite, const GameState& state) {
  const int hue = state.SignedFlag(GameState::kHsvFlag);
  const int saturation = state.SignedFlag(GameState::kHsvFlag + 1);
  const int value = state.SignedFlag(GameState::kHsvFlag + 2);
  if (hue != 0 || saturation != 0 || value != 0) sprite.AdjustHsv(2 * hue, saturation, value);
  const int red = state.SignedFlag(GameState::kRgbFlag);
  const int green = state.SignedFlag(GameState::kRgbFlag + 1);
  const int blue = state.SignedFlag(GameState::kRgbFlag + 2);
  if (red != 0 || green != 0 || blue != 0) sprite.MultiplyColour(red, green, blue);
}

}  // namespace halcyra

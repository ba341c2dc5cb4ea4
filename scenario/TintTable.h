// The colour tints of backgrounds: game data naming backgrounds (dusk and night versions of a
// place, say) with one of three tint presets that scripts set with `set_rgb_ex1`..`set_rgb_ex3`.
// Showing a background makes its preset the scene tint, which standing sprites loaded afterwards
// take on (ApplyTint).
//
// The table is read once, the first time a background asks, from the game path "scr\\tint.txt"
// (loose file first, then the script archive); a game without one has an empty table. Format:
// one entry a line, a picture name (no folder or extension) and a preset number 0, 1 or 2
// separated by blanks or tabs; blank lines and lines starting with ";" are passed over. Names are
// compared without regard to ASCII case, the first match wins, and at most kMaxEntries entries
// are kept. A line of another form is reported ("パラメータが不正" naming the file and line) and
// passed over.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace halcyra {

class CDIBSprite;
class CScript;
struct GameState;

class TintTable {
 public:
  static constexpr int kMaxEntries = 1024;
  static constexpr int kPresetCount = 3;
  static constexpr char kPath[] = "scr\\tint.txt";
  using Tint = std::array<std::int8_t, 3>;  // red, green, blue
  // Told the line number (from 1) and text of every line it cannot use.
  using BadLine = std::function<void(int lineNumber, std::string_view line)>;

  // Replaces the entries by those of text (the file's bytes); marks the table read.
  void Parse(std::string_view text, const BadLine& badLine);
  bool IsRead() const { return read_; }
  int EntryCount() const { return static_cast<int>(entries_.size()); }
  // The preset of the first entry named name, or -1.
  int Find(std::string_view name) const;

  // Presets 0..2 (others are ignored); all 0 at start, not saved.
  void SetPreset(int preset, const Tint& tint);
  const Tint& Preset(int preset) const { return presets_[static_cast<std::size_t>(preset)]; }

 private:
  struct Entry {
    std::string name;
    int preset = 0;
  };

  std::vector<Entry> entries_;
  std::array<Tint, kPresetCount> presets_{};
  bool read_ = false;
};

// Sets the scene tint for a picture about to be shown on the background layer: the preset of a
// background named in the table, else (and always for an event picture) no tint. Reads the
// table first when it has not been read.
void LookUpTint(CScript& script, std::string_view name, bool isEventPicture);

// Changes a freshly loaded sprite's picture by the scene's hue-saturation-value adjustment and
// then its tint, each only when one of its three values is not 0.
void ApplyTint(CDIBSprite& sprite, const GameState& state);

}  // namespace halcyra

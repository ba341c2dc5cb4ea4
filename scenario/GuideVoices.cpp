#include "scenario/GuideVoices.h"

#include <array>

#include "scenario/SoundCommands.h"
#include "script/CScript.h"
#include "script/Engine.h"

namespace halcyra {
namespace {

constexpr int kSystemChannel = 3;
constexpr int kNamedSets = 10;
constexpr int kLastEntry = 14;
constexpr int kRecollectionSet = 11;
constexpr int kSetWithOwnNumbers = 3;

constexpr std::array<const char*, kNamedSets> kPrefixes = {
    "tha", "tma", "tre", "tay", "tur", "tku", "tru", "tra", "tmo", "tmi"};
// Voice numbers of entries 1..14: every set but one shares them.
constexpr std::array<int, kLastEntry> kNumbers = {5018, 5007, 5006, 5019, 5020, 5021, 5022,
                                                  5008, 5024, 5025, 5026, 5027, 5028, 5029};
constexpr std::array<int, kLastEntry> kLaterNumbers = {5019, 5007, 5006, 5020, 5022, 5023, 5024,
                                                       5008, 5026, 5027, 5028, 5029, 5030, 5031};

}  // namespace

std::string GuideVoiceName(int set, int entry) {
  if (set == kRecollectionSet && entry == 1) return "MZP";
  if (set < 0 || set >= kNamedSets || entry < 1 || entry > kLastEntry) return {};
  const auto& numbers = set == kSetWithOwnNumbers ? kLaterNumbers : kNumbers;
  return kPrefixes[static_cast<std::size_t>(set)] +
         std::to_string(numbers[static_cast<std::size_t>(entry - 1)]);
}

void PlayGuideVoice(CScript& script, int entry) {
  Engine& engine = script.GetEngine();
  if (!engine.settings.voice.guide || engine.channels == nullptr) return;
  const std::string name = GuideVoiceName(engine.settings.voice.guideNo, entry);
  if (name.empty()) return;
  const std::string path = SoundPath(name);
  if (!script.CheckFile(path, true)) return;
  CDSB& channel = (*engine.channels)[kSystemChannel];
  channel.LoadSound(path, 0);
  channel.SetVolume(engine.settings.volume.se, true);
  channel.Play(false);
}

}  // namespace halcyra

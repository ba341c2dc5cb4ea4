// The spoken guides: ten sets of voice names (chosen by Voice/GuideNo) for the icon bar, the
// backlog buttons, quick load and quick save, and the player that speaks them.
#pragma once

#include <string>

namespace halcyra {

class CScript;

inline constexpr int kQuickLoadGuide = 10;
inline constexpr int kQuickSaveGuide = 11;

// The base name of entry 0..19 of a set; empty for entry 0, entries past 14, sets outside
// 0..9 (set 11 names "MZP" in entry 1).
std::string GuideVoiceName(int set, int entry);

// Speaks entry of the chosen set as "wav\\NAME.wav" on the system channel at the effect volume,
// when Voice/Guide is on and the entry names a voice that exists.
void PlayGuideVoice(CScript& script, int entry);

}  // namespace halcyra

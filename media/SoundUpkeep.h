// The per-frame sound upkeep, run by Poll once per frame: advances fades and streams, and keeps
// the music, the looping effect and the second effect group at their set volumes — lowered (or,
// for the second group, silenced) while a voice plays.
//
// Each frame:
//   1. Update channel 0 with streaming, then 2, 4, 5 and 6 without (1 and 3 get none, so they
//      never fade).
//   2. While the voice (4) plays: channel 6 goes to 0 when Volume/SeXOn is on; with Bgm/BgmDown
//      on and d = 26 x Bgm/BgmDownRate, channel 0 goes to Volume/Bgm - d when Volume/BgmOn is on
//      and channel 5 to Volume/Se - d when Volume/SeOn is on.
//   3. Otherwise channel 6 goes to Volume/SeX, 0 to Volume/Bgm and 5 to Volume/Se, under the same
//      switches.
// A channel with a fade set is left alone; volumes are remembered. So changes in the settings
// reach channels 0, 5 and 6 on the next frame.
//
// Ownership: settings and channels are borrowed and must outlive the upkeep.
// Threading: engine thread only.
#pragma once

#include "app/Settings.h"
#include "media/SoundChannels.h"

namespace halcyra {

class SoundUpkeep {
 public:
  static constexpr int kBgmDownStep = 26;  // volume units per step of Bgm/BgmDownRate

  SoundUpkeep(const Settings& settings, SoundChannels& channels)
      : settings_(settings), channels_(channels) {}

  void Run();

 private:
  void UpdateChannels();
  void LowerForVoice();
  void RestoreVolumes();
  // Sets channel's volume (remembered) when switchOn and it has no fade.
  void SetUnlessFading(int channel, bool switchOn, int volume);

  const Settings& settings_;
  SoundChannels& channels_;
};

}  // namespace halcyra

#include "media/SoundUpkeep.h"

namespace halcyra {

void SoundUpkeep::Run() {
  UpdateChannels();
  if (channels_[SoundChannels::kVoice].IsPlaying()) {
    LowerForVoice();
  } else {
    RestoreVolumes();
  }
}

void SoundUpkeep::UpdateChannels() {
  channels_[SoundChannels::kMusic].Update(true);
  for (int channel : {SoundChannels::kEffect, SoundChannels::kVoice, SoundChannels::kAmbient,
                      SoundChannels::kSecondEffect}) {
    channels_[channel].Update(false);
  }
}

void SoundUpkeep::LowerForVoice() {
  const Settings::Volume& volume = settings_.volume;
  SetUnlessFading(SoundChannels::kSecondEffect, volume.seXOn, 0);
  if (!settings_.bgm.bgmDown) return;
  const int down = kBgmDownStep * settings_.bgm.bgmDownRate;
  SetUnlessFading(SoundChannels::kMusic, volume.bgmOn, volume.bgm - down);
  SetUnlessFading(SoundChannels::kAmbient, volume.seOn, volume.se - down);
}

void SoundUpkeep::RestoreVolumes() {
  const Settings::Volume& volume = settings_.volume;
  SetUnlessFading(SoundChannels::kSecondEffect, volume.seXOn, volume.seX);
  SetUnlessFading(SoundChannels::kMusic, volume.bgmOn, volume.bgm);
  SetUnlessFading(SoundChannels::kAmbient, volume.seOn, volume.se);
}

void SoundUpkeep::SetUnlessFading(int channel, bool switchOn, int volume) {
  CDSB& target = channels_[channel];
  if (switchOn && target.GetFadeStep() == 0) target.SetVolume(volume, true);
}

}  // namespace halcyra

#include "media/SoundChannels.h"

namespace halcyra {

SoundChannels::SoundChannels(CDS& device, CArcFile* soundArchive, const CVorbis& vorbis,
                             const Settings& settings) {
  for (std::unique_ptr<CDSB>& channel : channels_) {
    channel = std::make_unique<CDSB>(device, soundArchive, vorbis, settings);
  }
}

void SoundChannels::ReleaseAll() {
  for (std::unique_ptr<CDSB>& channel : channels_) channel->Release();
}

}  // namespace halcyra

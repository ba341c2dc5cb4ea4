// The engine's seven sound channels, indexed 0..6, each with a fixed role.
//
// Ownership: the channels are owned; what they borrow (device, archive, registration, settings)
// must outlive this object, and the device's CDS must be destroyed after it.
// Threading: engine thread only.
#pragma once

#include <array>
#include <memory>

#include "media/CDSB.h"

namespace halcyra {

class SoundChannels {
 public:
  static constexpr int kCount = 7;
  static constexpr int kMusic = 0;  // streamed; Volume/Bgm
  static constexpr int kUnused = 1;
  static constexpr int kEffect = 2;        // Volume/Se
  static constexpr int kSystem = 3;        // spoken guides, test plays; Volume/Se; never faded
  static constexpr int kVoice = 4;         // Volume/Voice, loaded with Voice/Rate
  static constexpr int kAmbient = 5;       // the looping effect; Volume/Se
  static constexpr int kSecondEffect = 6;  // the second effect group; Volume/SeX

  SoundChannels(CDS& device, CArcFile* soundArchive, const CVorbis& vorbis,
                const Settings& settings);
  SoundChannels(const SoundChannels&) = delete;
  SoundChannels& operator=(const SoundChannels&) = delete;

  // index must be 0..kCount-1.
  CDSB& operator[](int index) { return *channels_[static_cast<std::size_t>(index)]; }
  const CDSB& operator[](int index) const { return *channels_[static_cast<std::size_t>(index)]; }

  // Empties every channel. Cannot fail.
  void ReleaseAll();

 private:
  std::array<std::unique_ptr<CDSB>, kCount> channels_;
};

}  // namespace halcyra

// One sound channel: holds at most one sound in one buffer on the mixer — decoded whole before it
// plays, or streamed (decoded a second at a time, by the per-frame upkeep, into a buffer that has
// the sound's full length) — with its playback, volume, pan and a fade-out that ends by emptying
// the channel. "DSB" (the classic DirectSound buffer) means here: a SoundBuffer on our mixer.
//
// Scales:
//   volume v (clamped to 0..255) -> v x 15 - 3825 hundredths of a decibel; -3800 and below is
//   silence (-10000). So 255 is 0 dB, 128 is -19.05 dB, 2 is -37.95 dB, 0 and 1 are silent.
//   pan p (clamped to -255..255) -> p x 15; below -3800 it is -10000 (left only), from 3800 up
//   10000 (right only).
//
// Failure: a channel without a sound, or on a device that is not ready, fails its operations
// (false, or nothing happens) without a message. Decoding faults show CACM's "MMSystem Error"
// box; buffer faults show the "DirectSound Error" box with these steps, and the channel is
// emptied: 122 creating a loaded sound's buffer, 514 creating a stream's buffer, 538 a stream
// whose first second decodes to nothing.
//
// Ownership: the device, archive (may be null), registration and settings are borrowed and must
// outlive the channel; the buffer and a stream's decoder are owned.
// Threading: engine thread only; decoding never holds the device lock.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "app/Settings.h"
#include "media/CACM.h"
#include "media/CDS.h"
#include "media/CVorbis.h"
#include "media/SoundBuffer.h"

namespace halcyra {

class CArcFile;

class CDSB {
 public:
  // Longest path kept as the channel's name; a longer one is not kept, so that sound is loaded
  // afresh every time.
  static constexpr std::size_t kMaxNameLength = 31;
  static constexpr int kNoFade = -1;

  CDSB(CDS& device, CArcFile* soundArchive, const CVorbis& vorbis, const Settings& settings);
  ~CDSB() { Release(); }
  CDSB(const CDSB&) = delete;
  CDSB& operator=(const CDSB&) = delete;

  // Loads and decodes a whole sound (game path, loose file or sound archive). rateMode is the
  // voice rate mode (CACM's modes 0..3; 0 except for voices); with modes 1..3 the buffer is half
  // the decoded length. When path is the channel's name (ASCII case ignored) nothing changes at
  // all and the result is true: a playing sound goes on.
  bool LoadSound(std::string_view path, int rateMode);
  // Prepares a streamed sound: a zeroed buffer of its whole length with its first second decoded.
  // Needs the file's "fact" (step 484 without it). With Bgm/AllBgm on it loads whole instead.
  // The same name changes nothing, as for LoadSound.
  bool OpenStream(std::string_view path);

  // One upkeep step: a fade moves its level by its step (not below 0) and sets the volume,
  // emptying the channel at 0; then, when streaming is true and the stream is not complete, the
  // next second is decoded. False when decoding failed (the channel is then empty).
  bool Update(bool streaming);
  // Starts a fade at level (0..255) changing by step per Update; forgets the name, so the same
  // sound loads afresh. Nothing happens on an empty channel.
  void StartFade(int level, int step);
  // Non-zero while a fade is set.
  int GetFadeStep() const { return fadeStep_; }
  int GetFadeLevel() const { return fadeLevel_; }

  // Starts playing from the current position; when already playing nothing changes (neither a
  // restart nor the looping).
  bool Play(bool loop);
  // Stops and rewinds to 0.
  bool Stop();
  // Moves the play position (bytes of the buffer's PCM); only while stopped, and only inside the
  // sound.
  bool SetPosition(std::uint32_t byteOffset);
  bool GetPosition(std::uint32_t& byteOffset) const;
  bool SetVolume(int volume, bool remember);
  bool SetPan(int pan);
  bool IsPlaying() const;
  bool IsLooping() const { return loop_; }

  // Stops, frees the buffer and any decoder, and empties every field. Cannot fail.
  void Release();

  bool HasSound() const { return buffer_ != nullptr; }
  const std::string& GetName() const { return name_; }
  // The last volume set with remember (0..255).
  int GetVolume() const { return volume_; }
  // The buffer's attenuation and pan in hundredths of a decibel; 0 on an empty channel.
  int GetAttenuation() const;
  int GetPanHundredths() const;
  std::uint32_t GetStreamPosition() const { return streamPosition_; }
  std::uint32_t GetStreamEnd() const { return streamEnd_; }

  static int VolumeToHundredths(int volume);
  static int PanToHundredths(int pan);

 private:
  bool IsUsable() const { return device_.IsReady(); }
  bool IsSameName(std::string_view path) const;
  void KeepName(std::string_view path);
  bool CreateBuffer(const WaveFormat& format, std::uint32_t bytes, int failStep);
  bool DecodeNextChunk();
  void FinishStream();

  CDS& device_;
  CArcFile* soundArchive_;
  const CVorbis& vorbis_;
  const Settings& settings_;
  std::unique_ptr<SoundBuffer> buffer_;
  std::uint32_t streamPosition_ = 0;  // bytes decoded into the buffer while streaming
  std::unique_ptr<CACM> decoder_;     // kept while streaming
  std::uint32_t streamEnd_ = 0;       // the stream's whole length; 0 when not streaming
  std::string name_;
  int volume_ = 0;
  int fadeLevel_ = kNoFade;
  int fadeStep_ = 0;
  bool loop_ = false;
};

}  // namespace halcyra

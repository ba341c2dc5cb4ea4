#include "media/CDSB.h"

#include <algorithm>

#include "media/SoundErrorBox.h"
#include "resource/CArcFile.h"

namespace halcyra {
namespace {

constexpr int kMaxVolume = 255;
constexpr int kMaxPan = 255;
constexpr int kScaleStep = 15;           // hundredths of a decibel per volume or pan unit
constexpr int kVolumeOffset = 3825;      // 255 x 15: volume 255 is 0 dB
constexpr int kSilenceThreshold = 3800;  // attenuation at or past which nothing is heard
constexpr int kOneSideOnly = 10000;      // pan that silences the other side

bool IsTimeCompressed(int rateMode) {
  return rateMode >= CACM::kRateDouble && rateMode <= CACM::kRateShortened2;
}

}  // namespace

CDSB::CDSB(CDS& device, CArcFile* soundArchive, const CVorbis& vorbis, const Settings& settings)
    : device_(device), soundArchive_(soundArchive), vorbis_(vorbis), settings_(settings) {}

int CDSB::VolumeToHundredths(int volume) {
  const int attenuation = std::clamp(volume, 0, kMaxVolume) * kScaleStep - kVolumeOffset;
  return attenuation <= -kSilenceThreshold ? SoundBuffer::kSilence : attenuation;
}

int CDSB::PanToHundredths(int pan) {
  const int hundredths = std::clamp(pan, -kMaxPan, kMaxPan) * kScaleStep;
  if (hundredths < -kSilenceThreshold) return -kOneSideOnly;
  if (hundredths >= kSilenceThreshold) return kOneSideOnly;
  return hundredths;
}

bool CDSB::LoadSound(std::string_view path, int rateMode) {
  if (!IsUsable()) return false;
  if (IsSameName(path)) return true;
  Release();
  CACM decoder(soundArchive_, vorbis_, device_.Reporter());
  WaveFormat format;
  std::uint32_t length = 0;
  if (!decoder.OpenFile(path) || !decoder.GetPcmFormat(format) || !decoder.ConvertAll(length) ||
      length == 0) {
    return false;
  }
  std::uint32_t bytes = length;
  if (IsTimeCompressed(rateMode)) bytes = length / 2 / format.blockAlign * format.blockAlign;
  if (!CreateBuffer(format, bytes, 122)) return false;
  decoder.CopyOut(buffer_->Data(), bytes, rateMode);
  buffer_->SetPlayableBytes(bytes);
  KeepName(path);
  return true;
}

bool CDSB::OpenStream(std::string_view path) {
  if (settings_.bgm.allBgm) return LoadSound(path, CACM::kRateNormal);
  if (!IsUsable()) return false;
  if (IsSameName(path)) return true;
  Release();
  decoder_ = std::make_unique<CACM>(soundArchive_, vorbis_, device_.Reporter());
  WaveFormat format;
  if (!decoder_->OpenFile(path) || !decoder_->GetPcmFormat(format)) {
    Release();
    return false;
  }
  const std::uint32_t total = decoder_->GetTotalLength();
  if (total == 0) {
    device_.ShowError(484, kSoundFailed);
    Release();
    return false;
  }
  if (!decoder_->ReadSource() || !CreateBuffer(format, total, 514) ||
      !decoder_->PrepareChunks(CACM::kStreamChunkBytes) || !decoder_->OpenChunks()) {
    Release();
    return false;
  }
  streamEnd_ = total;
  std::uint32_t first = 0;
  if (!decoder_->DecodeChunk(buffer_->Data(), 0, first)) {
    Release();
    return false;
  }
  if (first == 0) {
    device_.ShowError(538, kSoundFailed);
    Release();
    return false;
  }
  streamPosition_ = first;
  buffer_->SetPlayableBytes(first);
  KeepName(path);
  return true;
}

bool CDSB::Update(bool streaming) {
  if (buffer_ == nullptr) return true;
  if (fadeLevel_ != kNoFade) {
    fadeLevel_ = std::clamp(fadeLevel_ + fadeStep_, 0, kMaxVolume);
    SetVolume(fadeLevel_, false);
    if (fadeLevel_ == 0) {
      Release();
      return true;
    }
  }
  if (!streaming || streamEnd_ == 0) return true;
  if (streamPosition_ < streamEnd_) return DecodeNextChunk();
  FinishStream();
  return true;
}

bool CDSB::DecodeNextChunk() {
  std::uint32_t length = 0;
  if (!decoder_->DecodeChunk(buffer_->Data(), streamPosition_, length)) {
    Release();
    return false;
  }
  // A source that runs dry early (a damaged stretch was skipped) ends the stream; the rest of
  // the buffer stays silent rather than being asked for again every frame.
  if (length == 0) {
    FinishStream();
    return true;
  }
  streamPosition_ += length;
  buffer_->SetPlayableBytes(streamPosition_);
  return true;
}

// The whole sound is in the buffer: the decoder and its compressed copy are no longer needed.
void CDSB::FinishStream() {
  streamPosition_ = 0;
  streamEnd_ = 0;
  decoder_.reset();
}

void CDSB::StartFade(int level, int step) {
  if (buffer_ == nullptr) return;
  fadeLevel_ = std::clamp(level, 0, kMaxVolume);
  fadeStep_ = step;
  name_.clear();
}

bool CDSB::Play(bool loop) {
  if (buffer_ == nullptr) return false;
  if (buffer_->IsPlaying()) return true;
  buffer_->Play(loop);
  loop_ = loop;
  return true;
}

bool CDSB::Stop() {
  if (buffer_ == nullptr) return false;
  buffer_->Stop();
  buffer_->SetCurrentPosition(0);
  return true;
}

bool CDSB::SetPosition(std::uint32_t byteOffset) {
  if (buffer_ == nullptr || buffer_->IsPlaying()) return false;
  return buffer_->SetCurrentPosition(byteOffset);
}

bool CDSB::GetPosition(std::uint32_t& byteOffset) const {
  byteOffset = 0;
  if (buffer_ == nullptr) return false;
  byteOffset = buffer_->GetCurrentPosition();
  return true;
}

bool CDSB::SetVolume(int volume, bool remember) {
  if (buffer_ == nullptr) return false;
  const int clamped = std::clamp(volume, 0, kMaxVolume);
  buffer_->SetVolume(VolumeToHundredths(clamped));
  if (remember) volume_ = clamped;
  return true;
}

bool CDSB::SetPan(int pan) {
  if (buffer_ == nullptr) return false;
  buffer_->SetPan(PanToHundredths(pan));
  return true;
}

bool CDSB::IsPlaying() const { return buffer_ != nullptr && buffer_->IsPlaying(); }

int CDSB::GetAttenuation() const { return buffer_ == nullptr ? 0 : buffer_->GetVolume(); }

int CDSB::GetPanHundredths() const { return buffer_ == nullptr ? 0 : buffer_->GetPan(); }

void CDSB::Release() {
  buffer_.reset();
  decoder_.reset();
  streamPosition_ = 0;
  streamEnd_ = 0;
  name_.clear();
  fadeLevel_ = kNoFade;
  fadeStep_ = 0;
  loop_ = false;
}

bool CDSB::IsSameName(std::string_view path) const {
  return !name_.empty() && CArcFile::SameMemberName(name_, path);
}

void CDSB::KeepName(std::string_view path) {
  name_ = path.size() <= kMaxNameLength ? std::string(path) : std::string();
}

bool CDSB::CreateBuffer(const WaveFormat& format, std::uint32_t bytes, int failStep) {
  std::uint32_t code = 0;
  buffer_ = device_.CreateBuffer(format, bytes, code);
  if (buffer_ != nullptr) return true;
  device_.ShowError(failStep, code);
  Release();
  return false;
}

}  // namespace halcyra

#include "media/CACM.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "media/SoundErrorBox.h"
#include "media/TryResize.h"

namespace halcyra {
namespace {

// WAVE files and the decoder's output are little-endian; PCM is copied as bytes.
static_assert(std::endian::native == std::endian::little, "PCM is copied without byte swapping");

constexpr std::uint32_t kShortenedBlock1 = 1500;
constexpr std::uint32_t kShortenedBlock2 = 3000;

bool StartsWithOggPage(const std::vector<std::uint8_t>& data) {
  return data.size() >= 4 && std::memcmp(data.data(), "OggS", 4) == 0;
}

}  // namespace

CACM::CACM(CArcFile* soundArchive, const CVorbis& vorbis, SoundErrorReporter& reporter)
    : soundArchive_(soundArchive), vorbis_(vorbis), reporter_(reporter) {}

bool CACM::OpenFile(std::string_view path) {
  CloseAll();
  wave_ = std::make_unique<CWave>(soundArchive_, reporter_);
  if (wave_->OpenWave(path)) return true;
  wave_.reset();
  return false;
}

bool CACM::GetPcmFormat(WaveFormat& target) {
  if (source_ != Source::kNone) {
    target = targetFormat_;
    return true;
  }
  if (wave_ == nullptr || !wave_->IsOpen()) return Fail(118, kSoundFailed);
  WaveFormat format;
  if (!wave_->ReadFormat(format)) return false;
  const std::uint32_t sampleCount = wave_->GetSampleCount();
  const std::uint64_t total = std::uint64_t{format.channels} * sampleCount * 2;
  if (total > kMaxPcmBytes) return Fail(140, kMmioOutOfMemory);
  if (!LoadSourceData(132)) return false;
  if (!ClassifySource(format, sampleCount)) return false;
  sourceFormat_ = format;
  targetFormat_ = WaveFormat::Pcm16(format.channels, format.samplesPerSec);
  totalLength_ = static_cast<std::uint32_t>(total);
  wave_.reset();
  target = targetFormat_;
  return true;
}

bool CACM::LoadSourceData(int memoryStep) {
  if (sourceLoaded_) return true;
  std::uint32_t size = 0;
  if (!wave_->GetDataSize(size)) return false;
  if (!TryResize(sourceData_, size)) return Fail(memoryStep, kMmioOutOfMemory);
  if (!wave_->ReadData(sourceData_.data(), size)) return false;
  sourceLoaded_ = true;
  return true;
}

bool CACM::ClassifySource(const WaveFormat& format, std::uint32_t sampleCount) {
  if (format.channels < 1 || format.channels > 2 || format.samplesPerSec < 1 ||
      format.samplesPerSec > WaveFormat::kMaxSampleRate) {
    return Fail(140, kAcmNotPossible);
  }
  if (StartsWithOggPage(sourceData_)) return CheckVorbisSource(format, sampleCount);
  if (format.formatTag != WaveFormat::kPcmTag ||
      (format.bitsPerSample != 8 && format.bitsPerSample != 16)) {
    return Fail(140, kAcmNotPossible);
  }
  const std::uint64_t frameBytes = std::uint64_t{format.channels} * format.bitsPerSample / 8;
  if (sampleCount * frameBytes > sourceData_.size()) return Fail(140, kAcmNotPossible);
  source_ = format.bitsPerSample == 8 ? Source::kPcm8 : Source::kPcm16;
  return true;
}

bool CACM::CheckVorbisSource(const WaveFormat& format, std::uint32_t sampleCount) {
  if (!vorbis_.IsLoaded() || !decoder_.Open(sourceData_.data(), sourceData_.size())) {
    return Fail(140, kAcmNotPossible);
  }
  const bool agrees = decoder_.Channels() == format.channels &&
                      static_cast<std::uint32_t>(decoder_.SampleRate()) == format.samplesPerSec;
  const bool longEnough = decoder_.TotalFrames() >= static_cast<std::int64_t>(sampleCount);
  decoder_.Close();
  if (!agrees || !longEnough) return Fail(140, kAcmNotPossible);
  source_ = Source::kVorbis;
  return true;
}

bool CACM::ConvertAll(std::uint32_t& length) {
  length = 0;
  if (!sourceLoaded_ || source_ == Source::kNone) return Fail(165, kSoundFailed);
  if (source_ == Source::kVorbis && !decoder_.Open(sourceData_.data(), sourceData_.size())) {
    return Fail(180, kAcmNotPossible);
  }
  std::uint64_t bytes = 0;
  if (!WholeLength(bytes)) {
    decoder_.Close();
    return false;
  }
  if (!TryResize(converted_, static_cast<std::size_t>(bytes))) {
    decoder_.Close();
    return Fail(191, kMmioOutOfMemory);
  }
  if (source_ == Source::kVorbis) {
    if (!DecodeWhole(length)) return false;
  } else {
    sourcePosition_ = 0;
    length = CopySourcePcm(converted_.data(), static_cast<std::uint32_t>(bytes));
  }
  convertedLength_ = length;
  sourceData_.clear();
  sourceData_.shrink_to_fit();
  sourceLoaded_ = false;
  return true;
}

// Bytes of the whole decoded sound: the PCM data widened to 16 bits, or for Vorbis the total
// length, else (no "fact") the stream's own length.
bool CACM::WholeLength(std::uint64_t& bytes) {
  const std::uint64_t channels = sourceFormat_.channels;
  switch (source_) {
    case Source::kPcm16: bytes = sourceData_.size() / (channels * 2) * channels * 2; break;
    case Source::kPcm8: bytes = sourceData_.size() / channels * channels * 2; break;
    case Source::kVorbis: {
      if (totalLength_ > 0) {
        bytes = totalLength_;
        break;
      }
      const std::int64_t frames = decoder_.TotalFrames();
      if (frames < 0) return Fail(184, kAcmNotPossible);
      bytes = static_cast<std::uint64_t>(frames) * channels * 2;
      break;
    }
    case Source::kNone: return Fail(184, kAcmNotPossible);
  }
  if (bytes > kMaxPcmBytes) return Fail(191, kMmioOutOfMemory);
  return true;
}

bool CACM::DecodeWhole(std::uint32_t& length) {
  std::size_t frames = 0;
  const bool decoded = decoder_.Decode(reinterpret_cast<std::int16_t*>(converted_.data()),
                                       converted_.size() / FrameBytes(), frames);
  decoder_.Close();
  if (!decoded) return Fail(206, kAcmNotPossible);
  length = static_cast<std::uint32_t>(frames * FrameBytes());
  return true;
}

// Copies (8-bit: widens) PCM from the source position into destination, at most room bytes of
// 16-bit output, whole frames only; returns the bytes written.
std::uint32_t CACM::CopySourcePcm(std::uint8_t* destination, std::uint32_t room) {
  const std::size_t channels = sourceFormat_.channels;
  const std::size_t left = sourceData_.size() - sourcePosition_;
  const std::uint8_t* from = sourceData_.data() + sourcePosition_;
  if (source_ == Source::kPcm16) {
    const std::size_t bytes = std::min<std::size_t>(room, left) / (channels * 2) * (channels * 2);
    // An empty sound has no buffers to copy between, not even their addresses.
    if (bytes > 0) std::memcpy(destination, from, bytes);
    sourcePosition_ += static_cast<std::uint32_t>(bytes);
    return static_cast<std::uint32_t>(bytes);
  }
  const std::size_t samples = std::min<std::size_t>(room / 2, left) / channels * channels;
  for (std::size_t i = 0; i < samples; ++i) {
    // Unsigned 8-bit centred on 128 becomes signed 16-bit: (value - 128) * 256.
    destination[2 * i] = 0;
    destination[2 * i + 1] = static_cast<std::uint8_t>(from[i] ^ 0x80);
  }
  sourcePosition_ += static_cast<std::uint32_t>(samples);
  return static_cast<std::uint32_t>(samples * 2);
}

bool CACM::CopyOut(void* destination, std::uint32_t length, int rateMode) {
  if (converted_.empty()) return false;
  auto* out = static_cast<std::uint8_t*>(destination);
  switch (rateMode) {
    case kRateDouble: CopyEveryOtherFrame(out, length); break;
    case kRateShortened1: CopyAlternateBlocks(out, length, kShortenedBlock1); break;
    case kRateShortened2: CopyAlternateBlocks(out, length, kShortenedBlock2); break;
    default: CopyStart(out, length); break;
  }
  CloseAll();
  return true;
}

// An empty destination may have no address at all, so nothing is copied into it.
void CACM::CopyStart(std::uint8_t* destination, std::uint32_t length) const {
  const std::uint32_t bytes = std::min(length, convertedLength_);
  if (bytes > 0) std::memcpy(destination, converted_.data(), bytes);
}

// Whole frames, so that a stereo voice keeps both of its channels.
void CACM::CopyEveryOtherFrame(std::uint8_t* destination, std::uint32_t length) const {
  const std::uint64_t frameBytes = FrameBytes();
  const std::uint64_t frames = length / frameBytes;
  for (std::uint64_t frame = 0; frame < frames; ++frame) {
    const std::uint64_t from = 2 * frame * frameBytes;
    if (from + frameBytes > convertedLength_) break;
    std::memcpy(destination + frame * frameBytes, converted_.data() + from, frameBytes);
  }
}

void CACM::CopyAlternateBlocks(std::uint8_t* destination, std::uint32_t length,
                               std::uint32_t block) const {
  std::uint64_t out = 0;
  std::uint64_t from = 0;
  while (out < length) {
    const std::uint64_t bytes = std::min<std::uint64_t>(block, length - out);
    if (from < convertedLength_) {
      std::memcpy(destination + out, converted_.data() + from,
                  std::min<std::uint64_t>(bytes, convertedLength_ - from));
    }
    // The output moves on by whole 16-bit samples; an odd last byte ends the copy.
    const std::uint64_t advance = bytes & ~std::uint64_t{1};
    if (advance == 0) break;
    out += advance;
    from += 2 * std::uint64_t{block};
  }
}

bool CACM::ReadSource() {
  if (sourceLoaded_) return true;
  if (wave_ == nullptr || !wave_->IsOpen()) return Fail(287, kSoundFailed);
  return LoadSourceData(301);
}

bool CACM::PrepareChunks(std::uint32_t chunkBytes) {
  const std::uint32_t frameBytes = FrameBytes();
  chunkBytes_ = frameBytes == 0 ? 0 : chunkBytes - chunkBytes % frameBytes;
  if (chunkBytes_ == 0) return Fail(323, kSoundFailed);
  sourcePosition_ = 0;
  return true;
}

bool CACM::OpenChunks() {
  CloseChunks();
  if (!sourceLoaded_ || chunkBytes_ == 0) return Fail(394, kAcmUnprepared);
  if (source_ == Source::kVorbis && !decoder_.Open(sourceData_.data(), sourceData_.size())) {
    return Fail(394, kAcmNotPossible);
  }
  chunksOpen_ = true;
  return true;
}

bool CACM::DecodeChunk(std::uint8_t* destination, std::uint32_t offset, std::uint32_t& length) {
  length = 0;
  if (!chunksOpen_) return Fail(431, kAcmUnprepared);
  if (offset >= totalLength_) return true;
  const std::uint32_t room = std::min(chunkBytes_, totalLength_ - offset);
  if (source_ != Source::kVorbis) {
    length = CopySourcePcm(destination + offset, room);
    return true;
  }
  std::size_t frames = 0;
  const bool decoded = decoder_.Decode(reinterpret_cast<std::int16_t*>(destination + offset),
                                       room / FrameBytes(), frames);
  length = static_cast<std::uint32_t>(frames * FrameBytes());
  return decoded || Fail(431, kAcmNotPossible);
}

void CACM::CloseChunks() {
  decoder_.Close();
  chunksOpen_ = false;
  sourcePosition_ = 0;
}

void CACM::CloseAll() {
  CloseChunks();
  wave_.reset();
  sourceFormat_ = WaveFormat{};
  targetFormat_ = WaveFormat{};
  source_ = Source::kNone;
  sourceData_.clear();
  sourceData_.shrink_to_fit();
  sourceLoaded_ = false;
  converted_.clear();
  converted_.shrink_to_fit();
  convertedLength_ = 0;
  totalLength_ = 0;
  chunkBytes_ = 0;
}

bool CACM::Fail(int step, std::uint32_t code) {
  reporter_.Report(SoundErrorBox::MMSystem(step, code));
  return false;
}

}  // namespace halcyra

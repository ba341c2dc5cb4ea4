#include "media/CWave.h"

#include <cstring>

#include "media/SoundErrorBox.h"
#include "media/TryResize.h"
#include "resource/CArcFile.h"
#include "resource/CFile.h"

namespace halcyra {
namespace {

constexpr std::size_t kRiffHeaderBytes = 12;  // "RIFF", size, "WAVE"
constexpr std::size_t kChunkHeaderBytes = 8;  // id, size
constexpr std::uint32_t kShortFormatBytes = 16;
constexpr std::uint32_t kFullFormatBytes = 18;

bool HasId(const std::vector<std::uint8_t>& bytes, std::size_t at, const char (&id)[5]) {
  return std::memcmp(bytes.data() + at, id, 4) == 0;
}

}  // namespace

CWave::CWave(CArcFile* soundArchive, SoundErrorReporter& reporter)
    : soundArchive_(soundArchive), reporter_(reporter) {}

bool CWave::OpenWave(std::string_view path) {
  CloseWave();
  CFile loose;
  if (loose.Open(path, FileAccess::kRead)) {
    const std::uint64_t size = loose.GetSize();
    loose.Close();
    if (!LoadLooseFile(path, size)) return false;
  } else if (soundArchive_ != nullptr && soundArchive_->Find(path)) {
    if (!LoadArchiveMember(path, soundArchive_->GetSize())) return false;
  } else {
    return false;
  }
  if (CheckRiffHeader()) return true;
  CloseWave();
  return false;
}

bool CWave::LoadLooseFile(std::string_view path, std::uint64_t size) {
  if (size > kMaxFileBytes || !TryResize(image_, static_cast<std::size_t>(size))) {
    return Fail(109, kMmioOutOfMemory);
  }
  CFile file;
  if (!file.Open(path, FileAccess::kRead) || file.Read(image_.data(), image_.size()) != size) {
    return Fail(122, kMmioCannotRead);
  }
  return true;
}

bool CWave::LoadArchiveMember(std::string_view path, std::uint64_t size) {
  if (size > kMaxFileBytes || !TryResize(image_, static_cast<std::size_t>(size))) {
    return Fail(109, kMmioOutOfMemory);
  }
  if (!soundArchive_->Find(path)) return Fail(128, kMmioFileNotFound);
  if (soundArchive_->Read(image_.data(), image_.size()) != size) return Fail(122, kMmioCannotRead);
  return true;
}

bool CWave::CheckRiffHeader() {
  if (image_.size() < kRiffHeaderBytes) return Fail(133, kMmioChunkNotFound);
  if (!HasId(image_, 0, "RIFF") || !HasId(image_, 8, "WAVE")) return Fail(140, kSoundFailed);
  const std::uint64_t declaredEnd = std::uint64_t{kChunkHeaderBytes} + Le32(4);
  riffEnd_ = declaredEnd < image_.size() ? static_cast<std::size_t>(declaredEnd) : image_.size();
  return true;
}

// Walks the chunks from `from` (the start of a chunk header) to the end of the RIFF chunk.
CWave::Search CWave::FindChunk(const char (&id)[5], std::size_t from, Chunk& chunk) const {
  std::size_t at = from;
  while (at + kChunkHeaderBytes <= riffEnd_) {
    const std::uint32_t size = Le32(at + 4);
    const std::size_t body = at + kChunkHeaderBytes;
    const bool fits = size <= image_.size() - body;
    if (HasId(image_, at, id)) {
      if (!fits) return Search::kBroken;
      chunk = Chunk{body, size};
      return Search::kFound;
    }
    if (!fits) return Search::kMissing;
    at = body + size + (size & 1);
  }
  return Search::kMissing;
}

bool CWave::ReadFormat(WaveFormat& format) {
  if (!IsOpen()) return Fail(164, kMmioChunkNotFound);
  if (!formatRead_) {
    Chunk fmt;
    const Search search = FindChunk("fmt ", kRiffHeaderBytes, fmt);
    if (search != Search::kFound) {
      return Fail(164, search == Search::kBroken ? kMmioInvalidFile : kMmioChunkNotFound);
    }
    if (fmt.size < kShortFormatBytes) return Fail(169, kSoundFailed);
    WaveFormat read;
    read.formatTag = Le16(fmt.body);
    read.channels = Le16(fmt.body + 2);
    read.samplesPerSec = Le32(fmt.body + 4);
    read.avgBytesPerSec = Le32(fmt.body + 8);
    read.blockAlign = Le16(fmt.body + 12);
    read.bitsPerSample = Le16(fmt.body + 14);
    read.extraSize = fmt.size < kFullFormatBytes ? 0 : Le16(fmt.body + 16);
    if (fmt.size >= kFullFormatBytes && read.extraSize > fmt.size - kFullFormatBytes) {
      return Fail(197, kSoundFailed);
    }
    if (!ReadFactChunk(fmt.body + fmt.size + (fmt.size & 1))) return false;
    format_ = read;
    formatRead_ = true;
  }
  format = format_;
  return true;
}

// The "fact" chunk is looked for after "fmt " only; without one the sample count is 0.
bool CWave::ReadFactChunk(std::size_t from) {
  Chunk fact;
  switch (FindChunk("fact", from, fact)) {
    case Search::kMissing: sampleCount_ = 0; return true;
    case Search::kBroken: return Fail(221, kSoundFailed);
    case Search::kFound: break;
  }
  if (fact.size != 4) return Fail(213, kSoundFailed);
  sampleCount_ = Le32(fact.body);
  return true;
}

bool CWave::GetDataSize(std::uint32_t& size) {
  size = 0;
  Chunk data;
  const Search search = IsOpen() ? FindChunk("data", kRiffHeaderBytes, data) : Search::kMissing;
  if (search != Search::kFound) {
    return Fail(261, search == Search::kBroken ? kMmioInvalidFile : kMmioChunkNotFound);
  }
  dataFound_ = true;
  dataPosition_ = data.body;
  dataEnd_ = data.body + data.size;
  size = data.size;
  return true;
}

bool CWave::ReadData(void* destination, std::size_t bytes) {
  if (!dataFound_) {
    std::uint32_t ignored = 0;
    if (!GetDataSize(ignored)) return false;
  }
  if (bytes > dataEnd_ - dataPosition_) return Fail(294, kSoundFailed);
  // An empty "data" chunk gives callers an empty buffer, which may have no address at all.
  if (bytes == 0) return true;
  std::memcpy(destination, image_.data() + dataPosition_, bytes);
  dataPosition_ += bytes;
  return true;
}

void CWave::CloseWave() {
  image_.clear();
  image_.shrink_to_fit();
  riffEnd_ = 0;
  formatRead_ = false;
  format_ = WaveFormat{};
  sampleCount_ = 0;
  dataFound_ = false;
  dataPosition_ = 0;
  dataEnd_ = 0;
}

std::uint16_t CWave::Le16(std::size_t at) const {
  return static_cast<std::uint16_t>(image_[at] | (image_[at + 1] << 8));
}

std::uint32_t CWave::Le32(std::size_t at) const {
  return static_cast<std::uint32_t>(image_[at]) |
         (static_cast<std::uint32_t>(image_[at + 1]) << 8) |
         (static_cast<std::uint32_t>(image_[at + 2]) << 16) |
         (static_cast<std::uint32_t>(image_[at + 3]) << 24);
}

bool CWave::Fail(int step, std::uint32_t code) {
  reporter_.Report(SoundErrorBox::MMSystem(step, code));
  return false;
}

}  // namespace halcyra

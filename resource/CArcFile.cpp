#include "resource/CArcFile.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "resource/ScrambleKey.h"

namespace halcyra {
namespace {

constexpr std::size_t kIndexedHeaderSize = 16;
constexpr std::size_t kEntrySize = 32;
constexpr std::uint64_t kChainedStart = 4096;
constexpr std::size_t kChainedNameField = 28;

std::uint32_t ReadLittleEndian32(const std::uint8_t* bytes) {
  return std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) |
         (std::uint32_t{bytes[2]} << 16) | (std::uint32_t{bytes[3]} << 24);
}

// Copies a name field, stopping at its zero or after the 23 bytes an entry can hold.
void CopyName(char (&name)[24], const std::uint8_t* field, std::size_t fieldLength) {
  const std::size_t limit = std::min(fieldLength, CArcFile::kMaxNameLength);
  std::size_t length = 0;
  while (length < limit && field[length] != 0) ++length;
  std::memcpy(name, field, length);
  name[length] = '\0';
}

std::uint64_t RoundUpTo16(std::uint64_t value) { return (value + 15) & ~std::uint64_t{15}; }

// Lead bytes of Shift-JIS file names (code page 932, as the platform's path mapping reads them):
// the byte after one is the second half of a character, even when it equals '\\'.
bool IsNameLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

CArcFile::CArcFile() = default;

CArcFile::~CArcFile() { Close(); }

bool CArcFile::Open(std::string_view name, bool scrambled, bool chained) {
  Close();
  chained_ = chained;
  file_ = std::make_unique<CFile>();
  if (!file_->Open(name, FileAccess::kRead)) {
    Close();
    return false;
  }
  fileSize_ = file_->GetSize();
  const bool read = chained ? ReadChainedDirectory(scrambled) : ReadIndexedDirectory(scrambled);
  if (!read) Close();
  return read;
}

bool CArcFile::ReadIndexedDirectory(bool scrambled) {
  std::uint8_t header[kIndexedHeaderSize];
  if (file_->Read(header, sizeof header) != sizeof header) return false;
  const std::uint64_t entryCount = ReadLittleEndian32(header);
  const std::uint64_t directorySize = entryCount * kEntrySize;
  if (kIndexedHeaderSize + directorySize > fileSize_ ||
      entryCount > static_cast<std::uint64_t>(std::numeric_limits<int>::max())) {
    return false;
  }
  std::vector<std::uint8_t> directory(directorySize);
  if (file_->Read(directory.data(), directory.size()) != directory.size()) return false;
  if (scrambled) Scramble(directory.data(), directory.size(), 0);

  entries_.resize(entryCount);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const std::uint8_t* raw = directory.data() + i * kEntrySize;
    entries_[i].offset = ReadLittleEndian32(raw);
    entries_[i].size = ReadLittleEndian32(raw + 4);
    CopyName(entries_[i].name, raw + 8, kEntrySize - 8);
  }
  count_ = static_cast<int>(entryCount);
  return true;
}

bool CArcFile::ReadChainedDirectory(bool scrambled) {
  entries_.reserve(kMaxChainedEntries);
  std::uint64_t headerPosition = kChainedStart;
  std::uint8_t header[kEntrySize];
  while (entries_.size() < kMaxChainedEntries) {
    if (headerPosition + kEntrySize > fileSize_) break;
    if (!file_->Seek(static_cast<std::int64_t>(headerPosition), SeekOrigin::kBegin)) break;
    if (file_->Read(header, sizeof header) != sizeof header) break;
    if (scrambled) Scramble(header, sizeof header, 0);
    Entry entry;
    entry.size = ReadLittleEndian32(header);
    const std::uint64_t dataPosition = headerPosition + kEntrySize;
    if (dataPosition + entry.size > fileSize_ ||
        dataPosition > std::numeric_limits<std::uint32_t>::max()) {
      break;
    }
    entry.offset = static_cast<std::uint32_t>(dataPosition);
    CopyName(entry.name, header + 4, kChainedNameField);
    entries_.push_back(entry);
    headerPosition = dataPosition + RoundUpTo16(entry.size);
  }
  count_ = static_cast<int>(entries_.size());
  return count_ > 0;
}

bool CArcFile::OpenPatch(std::string_view name, bool scrambled) {
  patch_ = std::make_unique<CArcFile>();
  return patch_->Open(name, scrambled, chained_);
}

void CArcFile::Close() {
  patch_.reset();
  file_.reset();
  entries_.clear();
  entries_.shrink_to_fit();
  count_ = 0;
  current_ = kNothingSelected;
  fileSize_ = 0;
  remaining_ = 0;
}

bool CArcFile::IsInsideFile(const Entry& entry) const {
  return std::uint64_t{entry.offset} + entry.size <= fileSize_;
}

bool CArcFile::Find(std::string_view name) {
  current_ = kNothingSelected;
  remaining_ = 0;
  if (file_ == nullptr) return false;
  if (patch_ != nullptr && patch_->Find(name)) {
    current_ = kSelectedInPatch;
    return true;
  }
  const std::string_view wanted = MemberName(name);
  for (int i = 0; i < count_; ++i) {
    if (SameMemberName(wanted, entries_[i].name)) return Select(i);
  }
  return false;
}

bool CArcFile::Select(int index) {
  current_ = kNothingSelected;
  remaining_ = 0;
  if (file_ == nullptr || index < 0 || index >= count_) return false;
  const Entry& entry = entries_[index];
  if (!IsInsideFile(entry) || !file_->Seek(entry.offset, SeekOrigin::kBegin)) return false;
  current_ = index;
  remaining_ = entry.size;
  return true;
}

std::size_t CArcFile::Read(void* buffer, std::size_t length) {
  if (file_ == nullptr || current_ == kNothingSelected) return 0;
  if (current_ == kSelectedInPatch) return patch_->Read(buffer, length);
  const std::size_t wanted = std::min<std::size_t>(length, remaining_);
  const std::size_t read = file_->Read(buffer, wanted);
  remaining_ -= static_cast<std::uint32_t>(read);
  return read;
}

std::uint32_t CArcFile::GetSize() const {
  if (file_ == nullptr || current_ == kNothingSelected) return 0;
  if (current_ == kSelectedInPatch) return patch_->GetSize();
  return entries_[current_].size;
}

const char* CArcFile::GetName(int index) const {
  if (index < 0 || index >= count_) return nullptr;
  return entries_[index].name;
}

std::uint32_t CArcFile::GetOffset(int index) const {
  if (index < 0 || index >= count_) return 0;
  return entries_[index].offset;
}

std::uint32_t CArcFile::GetEntrySize(int index) const {
  if (index < 0 || index >= count_) return 0;
  return entries_[index].size;
}

std::string_view CArcFile::MemberName(std::string_view path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (IsNameLeadByte(c)) {
      ++i;
    } else if (c == '\\') {
      start = i + 1;
    }
  }
  return path.substr(start);
}

bool CArcFile::SameMemberName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace halcyra

#include "tools/halcyra-tool/ArchiveWriter.h"

#include <cstdio>
#include <cstring>
#include <limits>

#include "platform/ShiftJis.h"
#include "resource/CArcFile.h"
#include "resource/ScrambleKey.h"

namespace halcyra {
namespace {

constexpr std::size_t kIndexedHeaderSize = 16;
constexpr std::size_t kEntrySize = 32;
constexpr std::size_t kChainedPrefixSize = 4096;
constexpr std::uint64_t kMaxArchiveSize = std::numeric_limits<std::uint32_t>::max();

void PutLittleEndian32(std::uint8_t* bytes, std::uint64_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t PaddingAfter(std::uint64_t size) { return (16 - size % 16) % 16; }

bool WriteBytes(std::FILE* file, const void* bytes, std::size_t length) {
  return length == 0 || std::fwrite(bytes, 1, length, file) == length;
}

}  // namespace

bool ArchiveWriter::Add(const std::string& shiftJisName, std::vector<std::uint8_t> bytes,
                        std::string& error) {
  const std::string shown = "\"" + ShiftJisToUtf8(shiftJisName) + "\"";
  if (shiftJisName.empty() || shiftJisName.size() > CArcFile::kMaxNameLength) {
    error = "member name " + shown + " must be 1 to 23 bytes in Shift-JIS";
    return false;
  }
  if (CArcFile::MemberName(shiftJisName).size() != shiftJisName.size()) {
    error = "member name " + shown + " contains a backslash";
    return false;
  }
  for (const Member& member : members_) {
    if (CArcFile::SameMemberName(member.name, shiftJisName)) {
      error = "member name " + shown + " duplicates \"" + ShiftJisToUtf8(member.name) +
              "\" (names are compared without regard to case)";
      return false;
    }
  }
  if (chained_ && members_.size() == CArcFile::kMaxChainedEntries) {
    error = "a chained archive holds at most 2000 members";
    return false;
  }
  const std::uint64_t growth = chained_ ? kEntrySize + bytes.size() + PaddingAfter(bytes.size())
                                        : kEntrySize + bytes.size();
  const std::uint64_t base = members_.empty() ? (chained_ ? kChainedPrefixSize : kIndexedHeaderSize)
                                              : archiveSize_;
  if (base + growth > kMaxArchiveSize) {
    error = "the archive would exceed 4 GiB at member " + shown;
    return false;
  }
  archiveSize_ = base + growth;
  members_.push_back({shiftJisName, std::move(bytes)});
  return true;
}

std::vector<std::uint8_t> ArchiveWriter::IndexedFront() const {
  std::vector<std::uint8_t> front(kIndexedHeaderSize + kEntrySize * members_.size(), 0);
  PutLittleEndian32(front.data(), members_.size());
  std::uint64_t offset = front.size();
  std::uint8_t* entry = front.data() + kIndexedHeaderSize;
  for (const Member& member : members_) {
    PutLittleEndian32(entry, offset);
    PutLittleEndian32(entry + 4, member.bytes.size());
    std::memcpy(entry + 8, member.name.data(), member.name.size());
    offset += member.bytes.size();
    entry += kEntrySize;
  }
  if (scrambled_) Scramble(front.data() + kIndexedHeaderSize, front.size() - kIndexedHeaderSize, 0);
  return front;
}

std::vector<std::uint8_t> ArchiveWriter::ChainedHeader(const Member& member) const {
  std::vector<std::uint8_t> header(kEntrySize, 0);
  PutLittleEndian32(header.data(), member.bytes.size());
  std::memcpy(header.data() + 4, member.name.data(), member.name.size());
  if (scrambled_) Scramble(header.data(), header.size(), 0);
  return header;
}

bool ArchiveWriter::Write(const std::filesystem::path& path, std::string& error) const {
  if (chained_ && members_.empty()) {
    error = "a chained archive needs at least one member";
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    error = "cannot create " + path.string();
    return false;
  }
  static const std::uint8_t kZeros[kChainedPrefixSize] = {};
  bool written = true;
  if (chained_) {
    written = WriteBytes(file, kZeros, kChainedPrefixSize);
    for (const Member& member : members_) {
      const std::vector<std::uint8_t> header = ChainedHeader(member);
      written = written && WriteBytes(file, header.data(), header.size()) &&
                WriteBytes(file, member.bytes.data(), member.bytes.size()) &&
                WriteBytes(file, kZeros, PaddingAfter(member.bytes.size()));
    }
  } else {
    const std::vector<std::uint8_t> front = IndexedFront();
    written = WriteBytes(file, front.data(), front.size());
    for (const Member& member : members_) {
      written = written && WriteBytes(file, member.bytes.data(), member.bytes.size());
    }
  }
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    error = "cannot write " + path.string();
    return false;
  }
  return true;
}

}  // namespace halcyra

#include "system/CReadList.h"

#include <new>
#include <utility>

#include "resource/CFile.h"

namespace halcyra {
namespace {

constexpr int kFreeOffset = -1;

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Script paths come from scripts and saved games written by hand, so "SCR\\Open.scr" and
// "scr\\open.scr" must share one entry; only ASCII letters fold, Shift-JIS bytes compare as is.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

// One byte of the file; a failed read answers `failed`, which the callers pick so that a cut
// file ends its name or record as if the missing terminator had been there.
std::uint8_t ReadByte(CFile& file, std::uint8_t failed) {
  std::uint8_t byte = 0;
  return file.Read(&byte, 1) == 1 ? byte : failed;
}

// The rest of a name whose first byte is already read, through its zero. Bytes past
// kMaxNameBytes are dropped rather than taken for flags, so an overlong name cannot shift the
// flags of its record.
std::string ReadNameRest(CFile& file, char first) {
  std::string name(1, first);
  for (std::uint8_t byte = ReadByte(file, 0); byte != 0; byte = ReadByte(file, 0)) {
    if (name.size() < CReadList::kMaxNameBytes) name.push_back(static_cast<char>(byte));
  }
  return name;
}

// Flag bytes through the end mark into flags (null: read and drop them); answers how many were
// stored. Flags past kMaxMessages are dropped but still read, so the next record is found.
int ReadFlags(CFile& file, std::uint8_t* flags) {
  int stored = 0;
  for (std::uint8_t byte = ReadByte(file, CReadList::kEndMark); byte != CReadList::kEndMark;
       byte = ReadByte(file, CReadList::kEndMark)) {
    if (flags != nullptr && stored < CReadList::kMaxMessages) flags[stored++] = byte;
  }
  return stored;
}

}  // namespace

CReadList::CReadList() : entries_(std::make_unique<Entry[]>(kCapacity)) {}

CReadList::~CReadList() = default;

bool CReadList::IsRead(std::string_view script, int number, bool mark) {
  if (!IsValidNumber(number)) return false;
  Entry* entry = Lookup(script);
  if (entry == nullptr) {
    // A script loaded without registering its lines (the no-save mode) is first seen here: it
    // gets listed, and its lines start out unread.
    AddScript(script);
    return false;
  }
  std::uint8_t& flag = entry->storage->flags[number];
  if (flag == 1) return true;
  if (mark) flag = 1;
  return false;
}

int CReadList::GetOffset(std::string_view script, int number) {
  if (!IsValidNumber(number)) return kScriptStart;
  const Entry* entry = Lookup(script);
  if (entry == nullptr) return kScriptStart;
  const int offset = entry->storage->offsets[number];
  return offset == kFreeOffset ? kScriptStart : offset;
}

int CReadList::FindNumber(std::string_view script, int position) {
  const Entry* entry = LookupOrAdd(script);
  if (entry == nullptr) return 0;
  const auto& offsets = entry->storage->offsets;
  for (int number = 0; number < kMaxMessages; ++number) {
    if (offsets[number] == kFreeOffset) return 0;
    if (offsets[number] == position) return number;
  }
  return kNoNumber;
}

bool CReadList::ResetScript(std::string_view script) {
  Entry* entry = LookupOrAdd(script);
  if (entry == nullptr) return false;
  entry->registered = 0;
  return true;
}

bool CReadList::Register(std::string_view script, int number, int position) {
  if (!IsValidNumber(number)) return false;
  Entry* entry = Lookup(script);
  if (entry == nullptr || entry->registered >= kMaxMessages) return false;
  entry->storage->offsets[number] = position;
  ++entry->registered;
  return true;
}

bool CReadList::AddScript(std::string_view script) {
  // An empty name would read as the end of the table to the lookup and as the end of the file.
  if (count_ >= kCapacity || script.empty()) return false;
  std::unique_ptr<Storage> storage(new (std::nothrow) Storage);
  if (storage == nullptr) return false;
  storage->offsets.fill(kFreeOffset);
  storage->flags.fill(0);
  Entry& entry = entries_[count_];
  entry.name.assign(script);
  entry.storage = std::move(storage);
  entry.registered = 0;
  ++count_;
  return true;
}

void CReadList::Clear() {
  for (int i = 0; i < count_; ++i) entries_[i] = Entry{};
  count_ = 0;
  cursor_ = 0;
}

bool CReadList::SaveFile(std::string_view path) {
  if (count_ == 0) return false;
  const std::string bytes = Serialize();
  CFile file;
  if (!file.Open(path, FileAccess::kWrite) || !file.IsOpen()) return false;
  return file.Write(bytes.data(), bytes.size()) == bytes.size();
}

bool CReadList::LoadFile(std::string_view path) {
  Clear();
  CFile file;
  if (!file.Open(path, FileAccess::kRead)) return false;
  for (int record = 0; record < kCapacity; ++record) {
    const std::uint8_t first = ReadByte(file, 0);
    if (first == 0) break;
    if (!AddScript(ReadNameRest(file, static_cast<char>(first)))) {
      ReadFlags(file, nullptr);
      continue;
    }
    Entry& entry = entries_[count_ - 1];
    entry.registered = ReadFlags(file, entry.storage->flags.data());
  }
  return true;
}

int CReadList::RegisteredCount(std::string_view script) const {
  const Entry* entry = Peek(script);
  return entry == nullptr ? -1 : entry->registered;
}

bool CReadList::IsMarked(std::string_view script, int number) const {
  const Entry* entry = Peek(script);
  return entry != nullptr && IsValidNumber(number) && entry->storage->flags[number] == 1;
}

CReadList::Entry* CReadList::Lookup(std::string_view script) {
  // The running script is asked for at every voice line, so the search starts where the last
  // one ended. The first nameless entry marks the end of the used part and sends the search
  // back to entry 0; wrapping at the table's end keeps a full table's cursor inside it too.
  for (int tested = 0; tested < count_; ++tested) {
    if (entries_[cursor_].name.empty()) cursor_ = 0;
    if (EqualIgnoringAsciiCase(entries_[cursor_].name, script)) return &entries_[cursor_];
    cursor_ = (cursor_ + 1) % kCapacity;
  }
  return nullptr;
}

CReadList::Entry* CReadList::LookupOrAdd(std::string_view script) {
  Entry* entry = Lookup(script);
  if (entry != nullptr) return entry;
  return AddScript(script) ? &entries_[count_ - 1] : nullptr;
}

const CReadList::Entry* CReadList::Peek(std::string_view script) const {
  for (int i = 0; i < count_; ++i) {
    if (EqualIgnoringAsciiCase(entries_[i].name, script)) return &entries_[i];
  }
  return nullptr;
}

std::string CReadList::Serialize() const {
  std::string bytes;
  for (int i = 0; i < count_; ++i) {
    const Entry& entry = entries_[i];
    bytes.append(entry.name, 0, kMaxNameBytes);
    bytes.push_back('\0');
    const auto* flags = reinterpret_cast<const char*>(entry.storage->flags.data());
    bytes.append(flags, static_cast<std::size_t>(entry.registered));
    bytes.push_back(static_cast<char>(kEndMark));
  }
  return bytes;
}

}  // namespace halcyra

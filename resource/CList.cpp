#include "resource/CList.h"

namespace halcyra {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

CList::CList() : entries_(std::make_unique<Entry[]>(kCapacity)) {}

CList::~CList() = default;

bool CList::Add(std::string_view key, std::string_view value) {
  if (count_ >= kCapacity) return false;
  if (Find(key, true) != nullptr) {
    entries_[cursor_].value.assign(value);
    return true;
  }
  entries_[count_].key.assign(key);
  entries_[count_].value.assign(value);
  ++count_;
  return true;
}

const char* CList::Find(std::string_view key, bool caseSensitive) {
  for (int i = 0; i < count_; ++i) {
    const std::string& candidate = entries_[i].key;
    if (caseSensitive ? candidate == key : EqualIgnoringAsciiCase(candidate, key)) {
      cursor_ = i;
      return entries_[i].value.c_str();
    }
  }
  return nullptr;
}

}  // namespace halcyra

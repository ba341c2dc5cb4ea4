// CList: a fixed dictionary of up to 1000 text pairs (key, value), filled from index 0 upwards
// and never emptied; the script's define and def_cg tables.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace halcyra {

class CList {
 public:
  static constexpr int kCapacity = 1000;

  CList();
  ~CList();
  CList(const CList&) = delete;
  CList& operator=(const CList&) = delete;

  // Stores a copy of value under key (both Shift-JIS text). A key already present (compared
  // case-sensitively) has its value replaced and becomes the cursor; a new key is appended.
  // False once the table holds kCapacity entries, even for a key already present.
  bool Add(std::string_view key, std::string_view value);

  // The value of the first entry whose key equals key, exactly (caseSensitive) or with ASCII
  // letter case ignored; sets the cursor to that entry. Null when no key matches. The text is
  // owned by the dictionary and stays valid until that entry's value is replaced.
  const char* Find(std::string_view key, bool caseSensitive);

  int GetCount() const { return count_; }
  // Index of the entry the last successful Find found; 0 before any.
  int GetCursor() const { return cursor_; }

 private:
  struct Entry {
    std::string key;
    std::string value;
  };

  int count_ = 0;
  int cursor_ = 0;
  std::unique_ptr<Entry[]> entries_;
};

}  // namespace halcyra

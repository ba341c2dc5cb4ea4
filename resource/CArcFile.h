// Reader for the engine's archive files: a directory of named members, optionally scrambled,
// with an optional patch archive whose members win over the base archive's by name.
//
// Two layouts: indexed (16-byte header holding the entry count N little-endian, then N 32-byte
// entries {offset, size, name[24]}, then member data) and chained (4096 unread bytes, then per
// member a 32-byte header {size, name[28]} followed by its data padded to a multiple of 16).
//
// The archive's bytes are not trusted:
// - an indexed directory the file cannot hold (16 + 32 * N beyond the file's size) refuses Open;
// - a name that is not zero-terminated within its field is cut to 23 bytes;
// - an entry whose bytes run past the end of the file stays in the directory (GetCount, GetName)
//   but cannot be selected: Find or Select on it fails as if nothing matched, so a broken patch
//   entry lets the base archive's member through;
// - the chained directory ends at 2000 entries, or before a header whose member would run past
//   the end of the file (or start beyond the 4 GiB an entry's offset can name);
// - Read never returns bytes beyond the selected member's end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "resource/CFile.h"

namespace halcyra {

class CArcFile {
 public:
  // Values of the selection besides a directory index.
  static constexpr int kNothingSelected = -1;
  static constexpr int kSelectedInPatch = -2;
  static constexpr std::size_t kMaxChainedEntries = 2000;
  static constexpr std::size_t kMaxNameLength = 23;  // bytes, before the terminating zero

  CArcFile();
  ~CArcFile();
  CArcFile(const CArcFile&) = delete;
  CArcFile& operator=(const CArcFile&) = delete;

  // Closes whatever was open (the patch included) and reads the directory of the archive at game
  // path name. scrambled: the directory (indexed) or each member header (chained) is scrambled
  // with the engine key. chained: the chained layout instead of the indexed one. False when the
  // file cannot be opened or its directory is unusable, and when a chained archive holds no
  // complete header; the reader is then closed. An indexed archive of 0 entries opens.
  bool Open(std::string_view name, bool scrambled, bool chained);

  // Replaces the patch by a new reader opened on name with the given scrambling and this
  // archive's layout. Returns that reader's Open result; a patch that fails to open stays
  // attached but closed and never matches.
  bool OpenPatch(std::string_view name, bool scrambled);

  // Destroys the patch, closes the file and empties the directory. Cannot fail.
  void Close();

  // Selects the member named like the part of name after its last backslash (a game path such
  // as "scr\\Open.SCR"), ASCII case ignored, and positions the archive for Read. The patch is
  // asked first and wins. False when this archive is closed or nothing usable matches; the
  // selection is then kNothingSelected.
  bool Find(std::string_view name);

  // Selects entry index of this archive's own directory (the patch is not consulted). False, with
  // nothing selected, when index is out of range or the entry lies outside the file.
  bool Select(int index);

  // Reads up to length bytes of the selected member from the current position into buffer
  // (borrowed) and returns how many were read; never past the member's end. 0 when nothing is
  // selected or no file is open. Read the whole member with one call of GetSize() bytes.
  std::size_t Read(void* buffer, std::size_t length);

  // Size in bytes of the selected member (the patch's when the patch holds it); 0 when nothing is
  // selected or no file is open.
  std::uint32_t GetSize() const;

  // Entries of this archive's own directory, in directory order; the patch's are not included.
  int GetCount() const { return count_; }
  // Name of entry index (Shift-JIS, zero-terminated, owned by the reader until Close); null when
  // index is outside 0..GetCount()-1.
  const char* GetName(int index) const;
  // Offset and size in bytes that entry index declares, whether or not the file holds them; 0
  // when index is outside 0..GetCount()-1. For listings; reading goes through Select.
  std::uint32_t GetOffset(int index) const;
  std::uint32_t GetEntrySize(int index) const;

  // The part of a game path after its last backslash. A backslash that is the second byte of a
  // Shift-JIS character ("表" is 0x95 0x5C) is not a separator. A forward slash never is.
  static std::string_view MemberName(std::string_view path);
  // True when the two names are equal with ASCII letter case ignored, byte by byte.
  static bool SameMemberName(std::string_view a, std::string_view b);

 private:
  struct Entry {
    std::uint32_t offset = 0;  // absolute position of the member's first byte
    std::uint32_t size = 0;    // bytes
    char name[24] = {};
  };

  bool ReadIndexedDirectory(bool scrambled);
  bool ReadChainedDirectory(bool scrambled);
  bool IsInsideFile(const Entry& entry) const;

  std::unique_ptr<CFile> file_;
  int count_ = 0;
  int current_ = kNothingSelected;
  bool chained_ = false;
  std::vector<Entry> entries_;
  std::unique_ptr<CArcFile> patch_;
  std::uint64_t fileSize_ = 0;
  std::uint32_t remaining_ = 0;  // bytes of the selected member not yet read
};

}  // namespace halcyra

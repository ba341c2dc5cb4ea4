// Archive directories, indexed and chained, scrambled or plain, with a patch archive: every
// entry listed, selected, found by name and read whole. The first byte chooses the layout
// (bit 0 chained, bit 1 scrambled, bit 2 the archive is also its own patch); the rest is the file.
#include <array>
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzSupport.h"
#include "resource/CArcFile.h"

namespace {

using halcyra::CArcFile;
using halcyra::fuzz::Require;

constexpr int kMaxEntriesVisited = 256;

std::uint32_t ReadWhole(CArcFile& archive) {
  std::array<std::uint8_t, 4096> buffer;
  const std::uint32_t size = archive.GetSize();
  std::uint64_t total = 0;
  for (;;) {
    const std::size_t got = archive.Read(buffer.data(), buffer.size());
    Require(got <= buffer.size(), "Read returns at most the bytes asked for");
    if (got == 0) break;
    total += got;
  }
  Require(total == size, "a selected member reads exactly GetSize() bytes");
  return size;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  halcyra::fuzz::EnterFuzzFolder();
  const bool chained = (data[0] & 1) != 0;
  const bool scrambled = (data[0] & 2) != 0;
  const bool selfPatched = (data[0] & 4) != 0;
  halcyra::fuzz::WriteFuzzFile("fuzz.dat", data + 1, size - 1);

  CArcFile archive;
  if (!archive.Open("fuzz.dat", scrambled, chained)) {
    Require(archive.GetCount() == 0 && archive.GetName(0) == nullptr, "a refused archive is closed");
    return 0;
  }
  if (selfPatched) archive.OpenPatch("fuzz.dat", scrambled);
  const int count = archive.GetCount();
  Require(count >= 0, "GetCount is never negative");
  Require(archive.GetName(count) == nullptr && archive.GetName(-1) == nullptr,
          "GetName is null outside the directory");
  for (int index = 0; index < count && index < kMaxEntriesVisited; ++index) {
    const char* name = archive.GetName(index);
    Require(name != nullptr, "every listed entry has a name");
    std::size_t length = 0;
    while (length <= CArcFile::kMaxNameLength && name[length] != '\0') ++length;
    Require(length <= CArcFile::kMaxNameLength, "a name holds at most 23 bytes");
    if (archive.Select(index)) {
      Require(archive.GetSize() == archive.GetEntrySize(index), "Select gives the entry's size");
      ReadWhole(archive);
    } else {
      Require(archive.GetSize() == 0 && archive.Read(nullptr, 0) == 0, "a failed Select selects nothing");
    }
    if (archive.Find(name)) ReadWhole(archive);
  }
  return 0;
}

// Read-list files: loaded, saved and loaded again. What one load keeps, a save must write and
// the next load must give back unchanged, so the second save equals the first byte for byte.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "platform/FileSystem.h"
#include "system/CReadList.h"

namespace {

std::string SavedBytes(halcyra::CReadList& list, const char* path) {
  std::string bytes;
  if (list.Count() == 0) return bytes;
  halcyra::fuzz::Require(list.SaveFile(path), "a loaded list can be saved");
  halcyra::fuzz::Require(halcyra::ReadWholeFile(path, bytes), "a saved list can be read back");
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  halcyra::fuzz::EnterFuzzFolder();
  halcyra::fuzz::WriteFuzzFile("SaveFuzz.dat", data, size);
  halcyra::CReadList list;
  halcyra::fuzz::Require(list.LoadFile("SaveFuzz.dat"), "an existing file loads");
  halcyra::fuzz::Require(list.Count() <= halcyra::CReadList::kCapacity, "at most kCapacity entries");
  const std::string first = SavedBytes(list, "SaveOnce.dat");
  if (first.empty()) return 0;
  halcyra::CReadList again;
  halcyra::fuzz::Require(again.LoadFile("SaveOnce.dat"), "a saved list loads");
  halcyra::fuzz::Require(again.Count() == list.Count(), "a saved list keeps every entry");
  halcyra::fuzz::Require(SavedBytes(again, "SaveTwice.dat") == first,
                         "a saved list loads back unchanged");
  return 0;
}

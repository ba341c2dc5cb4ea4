// Builds archive files in the layouts CArcFile reads: indexed (the engine's own archives) or
// chained, with or without scrambled directories.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace halcyra {

class ArchiveWriter {
 public:
  ArchiveWriter(bool chained, bool scrambled) : chained_(chained), scrambled_(scrambled) {}

  // Queues a member under shiftJisName with its stored bytes (already encoded; taken over).
  // False, with a message in error, when the name is empty, longer than 23 bytes, holds a
  // backslash separator, or equals an earlier member's name with ASCII case ignored (the engine
  // would never find the later one); also when the member count or the archive's size exceeds
  // what the layout can address (2000 members chained, 4 GiB offsets).
  bool Add(const std::string& shiftJisName, std::vector<std::uint8_t> bytes, std::string& error);

  // Writes the archive: indexed = 16-byte header (count, then 12 zero bytes), directory, data in
  // member order; chained = 4096 zero bytes, then per member its 32-byte header and data padded
  // with zeros to a multiple of 16. False, with a message in error, when the file cannot be
  // written, or a chained archive has no member (the reader would refuse it).
  bool Write(const std::filesystem::path& path, std::string& error) const;

 private:
  struct Member {
    std::string name;
    std::vector<std::uint8_t> bytes;
  };

  std::vector<std::uint8_t> IndexedFront() const;
  std::vector<std::uint8_t> ChainedHeader(const Member& member) const;

  bool chained_;
  bool scrambled_;
  std::vector<Member> members_;
  std::uint64_t archiveSize_ = 0;  // bytes the written archive will take, directory included
};

}  // namespace halcyra

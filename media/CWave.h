// Reads a RIFF WAVE file, loose on disk or a member of the sound archive, held whole in memory:
// its format ("fmt " of 16 bytes, or 18 plus the extra bytes it declares), its sample count
// ("fact") and its audio ("data").
//
// The file's bytes are not trusted. Chunk headers are looked for inside the RIFF chunk (clipped
// to the file, since writers often leave its size wrong); a chunk whose body runs past the end of
// the file is refused when it is the one asked for and ends the search otherwise; reads never
// leave the chunk they belong to. Chunks are word-aligned, as RIFF writes them.
//
// Failure: every fault shows the "MMSystem Error" box (SoundErrorBox) with the number of the step
// below and the operation returns false. A path that is neither a loose file nor an archive
// member fails OpenWave without a box.
//   OpenWave    109 no memory for the file, 122 the file cannot be read, 128 the archive member
//               went missing, 133 too short for a RIFF header, 140 not a RIFF WAVE file
//   ReadFormat  164 no (or a broken) "fmt ", 169 "fmt " under 16 bytes, 197 extra bytes beyond
//               "fmt ", 213 "fact" not 4 bytes, 221 "fact" runs past the file
//   GetDataSize 261 no (or a broken) "data"
//   ReadData    294 more bytes asked than "data" has left
//
// Ownership: the archive and the reporter are borrowed and must outlive the object; the file's
// bytes are owned. Threading: engine thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "media/SoundErrorReporter.h"
#include "media/WaveFormat.h"

namespace halcyra {

class CArcFile;

class CWave {
 public:
  // Largest file taken: its size must fit the signed 32-bit size the engine keeps.
  static constexpr std::uint64_t kMaxFileBytes = 0x7FFFFFFF;

  // soundArchive may be null (loose files only).
  CWave(CArcFile* soundArchive, SoundErrorReporter& reporter);
  ~CWave() = default;
  CWave(const CWave&) = delete;
  CWave& operator=(const CWave&) = delete;

  // Closes the file held, then opens path (a game path such as "wav\\bgm01.wav"): the loose file
  // when there is one, else the archive member named like its file name.
  bool OpenWave(std::string_view path);
  bool IsOpen() const { return !image_.empty(); }

  // The format's fixed fields. The first call reads (and keeps) "fmt " and the "fact" after it;
  // later calls only copy.
  bool ReadFormat(WaveFormat& format);
  // The "fact" value (frames of the decoded sound); 0 when the file has none or the format was
  // not read yet.
  std::uint32_t GetSampleCount() const { return sampleCount_; }

  // Finds "data" and returns its length in bytes; ReadData then reads it from its start onward.
  bool GetDataSize(std::uint32_t& size);
  // Copies the next bytes of "data" into destination (borrowed, at least bytes long).
  bool ReadData(void* destination, std::size_t bytes);

  // Size of the loose file or archive member; 0 when closed.
  std::uint32_t GetFileSize() const { return static_cast<std::uint32_t>(image_.size()); }

  // Frees the file's bytes and forgets the format. Cannot fail.
  void CloseWave();

 private:
  struct Chunk {
    std::size_t body = 0;  // offset of the chunk's first data byte in the file
    std::uint32_t size = 0;
  };
  enum class Search { kFound, kMissing, kBroken };

  bool LoadLooseFile(std::string_view path, std::uint64_t size);
  bool LoadArchiveMember(std::string_view path, std::uint64_t size);
  bool CheckRiffHeader();
  Search FindChunk(const char (&id)[5], std::size_t from, Chunk& chunk) const;
  bool ReadFactChunk(std::size_t from);
  std::uint16_t Le16(std::size_t at) const;
  std::uint32_t Le32(std::size_t at) const;
  bool Fail(int step, std::uint32_t code);

  CArcFile* soundArchive_;
  SoundErrorReporter& reporter_;
  std::vector<std::uint8_t> image_;
  std::size_t riffEnd_ = 0;  // where chunk headers stop: the RIFF chunk's end or the file's
  bool formatRead_ = false;
  WaveFormat format_;
  std::uint32_t sampleCount_ = 0;
  bool dataFound_ = false;
  std::size_t dataPosition_ = 0;
  std::size_t dataEnd_ = 0;
};

}  // namespace halcyra

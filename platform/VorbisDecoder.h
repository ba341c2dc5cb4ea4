// Decodes an Ogg Vorbis stream held in memory (libvorbisfile over memory callbacks) to signed
// 16-bit interleaved PCM in the host's byte order, written straight into the caller's buffer.
//
// Ownership: the stream's bytes are borrowed and must stay unchanged until Close (or
// destruction). Threading: one thread at a time. Failure: operations return false and keep a
// reason for LastError; a stream that changes its channel count or rate between chained parts
// is refused at that point, since the caller's buffer has one fixed layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace halcyra {

class VorbisDecoder {
 public:
  VorbisDecoder();
  ~VorbisDecoder();
  VorbisDecoder(const VorbisDecoder&) = delete;
  VorbisDecoder& operator=(const VorbisDecoder&) = delete;

  // True when the library answers (its version string is known); the engine's codec registration
  // asks this once at start-up.
  static bool IsLibraryUsable();

  // Opens the stream of size bytes at data (borrowed). Closes any earlier stream first. False
  // when the bytes are not a Vorbis stream or its headers are damaged or cut short.
  bool Open(const std::uint8_t* data, std::size_t size);
  void Close();
  bool IsOpen() const;

  // Of the stream's first part; 0 when closed.
  int Channels() const { return channels_; }
  int SampleRate() const { return sampleRate_; }
  // Frames (samples per channel) of the whole stream, as its last complete page states them;
  // -1 when closed or unknown. A stream cut short reports the frames it still holds.
  std::int64_t TotalFrames() const;

  // Decodes up to maxFrames frames at the current position into out (borrowed, room for
  // maxFrames * Channels() values) and moves on. decodedFrames is what was written; fewer than
  // asked only at the end of the stream. A damaged stretch of the stream is skipped, as the
  // library recovers from it. False on an unrecoverable error or a change of layout; the frames
  // decoded before it are kept and counted.
  bool Decode(std::int16_t* out, std::size_t maxFrames, std::size_t& decodedFrames);

  // Moves the decoding position to frame (0 = the start). False when closed or out of range.
  bool SeekToFrame(std::int64_t frame);

  const std::string& LastError() const { return lastError_; }

 private:
  struct Stream;
  bool Fail(const char* what, long code);

  std::unique_ptr<Stream> stream_;
  int channels_ = 0;
  int sampleRate_ = 0;
  std::string lastError_;
};

}  // namespace halcyra

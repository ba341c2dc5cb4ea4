// Turns a WAVE file's audio into 16-bit PCM for the channels: whole, or one chunk at a time for
// streaming, and copies it out, time-compressed on request for voices. "ACM" (the classic audio
// compression manager) means here: our own decoders — PCM passes through (8-bit widened to 16),
// Vorbis-in-WAVE goes through VorbisDecoder (libvorbisfile), only while CVorbis is registered.
//
// Sources taken: a data chunk starting with "OggS" is an Ogg Vorbis stream whatever the format
// tag says (Vorbis-in-WAVE uses tags 0x674F..0x6751 and 0x676F..0x6771); otherwise format tag 1
// with 8 or 16 bits. Mono or stereo, 1 to 384000 frames per second. The PCM target keeps the
// source's channels and rate. A Vorbis stream must agree with its "fmt " on channels and rate and
// hold at least the frames its "fact" states (a stream cut short is refused up front); PCM must
// hold the frames its "fact" states.
//
// Lengths in bytes of 16-bit PCM. The total length is channels x "fact" x 2, 0 without "fact":
// such a sound loads whole but cannot be streamed. No decoded sound may exceed kMaxPcmBytes.
//
// Failure: every fault shows the "MMSystem Error" box (SoundErrorBox) with the step's number and
// the operation returns false; the file's own faults carry CWave's numbers.
//   GetPcmFormat 118 no file, 132 no memory for the data, 140 a source that cannot be decoded
//                (unknown format, Vorbis not registered, damaged or cut-short stream, header and
//                stream disagreeing, too long)
//   ConvertAll   165 no source, 180 the stream does not open, 184 the length cannot be told,
//                191 no memory for the result, 206 decoding failed
//   ReadSource   287 no file, 301 no memory for the data
//   PrepareChunks 323 a chunk of 0 bytes
//   OpenChunks   394 the stream does not open
//   DecodeChunk  431 decoding failed or chunks not open
//
// Ownership: the archive, the registration and the reporter are borrowed and must outlive the
// object; everything else is owned. Threading: engine thread only; DecodeChunk writes into a
// channel buffer the mixer may be playing from, never into its played part.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "media/CVorbis.h"
#include "media/CWave.h"
#include "media/SoundErrorReporter.h"
#include "media/WaveFormat.h"
#include "platform/VorbisDecoder.h"

namespace halcyra {

class CArcFile;

class CACM {
 public:
  // The largest sound buffer the channels can hold, 256 MiB (about 25 minutes of 44100 Hz stereo).
  static constexpr std::uint32_t kMaxPcmBytes = 0x0FFFFFFF;
  // One second of the device's format: the chunk the channels stream in.
  static constexpr std::uint32_t kStreamChunkBytes = 176400;
  // Voice rate modes (the Voice/Rate setting).
  static constexpr int kRateNormal = 0;
  static constexpr int kRateDouble = 1;      // every other frame: twice as fast, higher pitch
  static constexpr int kRateShortened1 = 2;  // 1500-byte blocks kept and dropped in turn
  static constexpr int kRateShortened2 = 3;  // the same with 3000-byte blocks

  CACM(CArcFile* soundArchive, const CVorbis& vorbis, SoundErrorReporter& reporter);
  ~CACM() { CloseAll(); }
  CACM(const CACM&) = delete;
  CACM& operator=(const CACM&) = delete;

  // Opens path as CWave::OpenWave does (loose file, else archive member; silent when missing).
  bool OpenFile(std::string_view path);

  // Reads the format and the audio, checks that it can be decoded and gives the PCM target
  // format (tag 1, 16 bits, the source's channels and rate, no extra bytes). Sets the total
  // length. The file itself is no longer needed afterwards and is freed.
  bool GetPcmFormat(WaveFormat& target);
  // Total length in bytes of the decoded sound from "fact"; 0 without it. Set by GetPcmFormat.
  std::uint32_t GetTotalLength() const { return totalLength_; }

  // Decodes the whole sound; length is the number of PCM bytes it gave. Without "fact" a Vorbis
  // sound is as long as its stream; with it, never longer than the total length.
  bool ConvertAll(std::uint32_t& length);

  // Copies the converted PCM into destination (borrowed, length bytes) in a rate mode, then
  // frees everything (CloseAll). Modes 1..3 fill length bytes from about twice as much PCM, so
  // callers pass half the converted length, rounded down to whole frames:
  //   0 the first length bytes;
  //   1 frames 0, 2, 4, ... of the PCM (mono: every other sample);
  //   2, 3 blocks of 1500 / 3000 bytes taken and skipped in turn, starting with a taken block;
  //     the last block is cut to the bytes still missing.
  // Nothing is read past the converted PCM; destination bytes beyond it are left as they are.
  // An unknown mode copies as mode 0.
  bool CopyOut(void* destination, std::uint32_t length, int rateMode);

  // Streaming. ReadSource keeps the compressed audio in memory (GetPcmFormat already did);
  // PrepareChunks sets the PCM bytes of one chunk (whole frames); OpenChunks starts decoding
  // from the beginning; DecodeChunk decodes the next chunk straight into destination + offset,
  // where destination holds the whole sound (GetTotalLength bytes): it never writes at or past
  // the total length, and length is the number of bytes written (0 once the sound is complete
  // or the source has nothing more); CloseChunks stops.
  bool ReadSource();
  bool PrepareChunks(std::uint32_t chunkBytes);
  bool OpenChunks();
  bool DecodeChunk(std::uint8_t* destination, std::uint32_t offset, std::uint32_t& length);
  void CloseChunks();

  // Frees the file, the audio, the decoder and the converted PCM. Cannot fail.
  void CloseAll();

 private:
  enum class Source { kNone, kPcm8, kPcm16, kVorbis };

  bool LoadSourceData(int memoryStep);
  bool ClassifySource(const WaveFormat& format, std::uint32_t sampleCount);
  bool CheckVorbisSource(const WaveFormat& format, std::uint32_t sampleCount);
  bool WholeLength(std::uint64_t& bytes);
  bool DecodeWhole(std::uint32_t& length);
  std::uint32_t CopySourcePcm(std::uint8_t* destination, std::uint32_t room);
  void CopyStart(std::uint8_t* destination, std::uint32_t length) const;
  void CopyEveryOtherFrame(std::uint8_t* destination, std::uint32_t length) const;
  void CopyAlternateBlocks(std::uint8_t* destination, std::uint32_t length,
                           std::uint32_t block) const;
  std::uint32_t FrameBytes() const { return targetFormat_.blockAlign; }
  bool Fail(int step, std::uint32_t code);

  CArcFile* soundArchive_;
  const CVorbis& vorbis_;
  SoundErrorReporter& reporter_;
  std::unique_ptr<CWave> wave_;
  WaveFormat sourceFormat_;
  WaveFormat targetFormat_;
  Source source_ = Source::kNone;
  std::vector<std::uint8_t> sourceData_;  // the whole "data" chunk
  bool sourceLoaded_ = false;
  VorbisDecoder decoder_;
  std::vector<std::uint8_t> converted_;  // the whole decoded sound (ConvertAll)
  std::uint32_t convertedLength_ = 0;
  std::uint32_t totalLength_ = 0;
  std::uint32_t chunkBytes_ = 0;
  std::uint32_t sourcePosition_ = 0;  // PCM sources: next byte of the data to stream
  bool chunksOpen_ = false;
};

}  // namespace halcyra

#include "platform/VorbisDecoder.h"

#include <vorbis/codec.h>
// The library's stdio callback tables are unused here and would only draw warnings.
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace halcyra {
namespace {

// The stream's bytes and the read position the library's callbacks move.
struct MemorySource {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  std::size_t position = 0;
};

std::size_t ReadMemory(void* destination, std::size_t size, std::size_t count, void* source) {
  auto* memory = static_cast<MemorySource*>(source);
  if (size == 0) return 0;
  const std::size_t wanted = std::min(count, (memory->size - memory->position) / size);
  if (wanted == 0) return 0;
  std::memcpy(destination, memory->data + memory->position, wanted * size);
  memory->position += wanted * size;
  return wanted;
}

int SeekMemory(void* source, ogg_int64_t offset, int whence) {
  auto* memory = static_cast<MemorySource*>(source);
  ogg_int64_t base = 0;
  switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = static_cast<ogg_int64_t>(memory->position); break;
    case SEEK_END: base = static_cast<ogg_int64_t>(memory->size); break;
    default: return -1;
  }
  const ogg_int64_t target = base + offset;
  if (target < 0 || target > static_cast<ogg_int64_t>(memory->size)) return -1;
  memory->position = static_cast<std::size_t>(target);
  return 0;
}

long TellMemory(void* source) {
  return static_cast<long>(static_cast<MemorySource*>(source)->position);
}

constexpr ov_callbacks kMemoryCallbacks = {ReadMemory, SeekMemory, nullptr, TellMemory};

}  // namespace

struct VorbisDecoder::Stream {
  MemorySource source;
  OggVorbis_File file{};
};

VorbisDecoder::VorbisDecoder() = default;

VorbisDecoder::~VorbisDecoder() { Close(); }

bool VorbisDecoder::IsLibraryUsable() {
  const char* version = vorbis_version_string();
  return version != nullptr && version[0] != '\0';
}

bool VorbisDecoder::Open(const std::uint8_t* data, std::size_t size) {
  Close();
  lastError_.clear();
  auto stream = std::make_unique<Stream>();
  stream->source = MemorySource{data, size, 0};
  const int opened =
      ov_open_callbacks(&stream->source, &stream->file, nullptr, 0, kMemoryCallbacks);
  if (opened != 0) return Fail("not a readable Vorbis stream", opened);
  const vorbis_info* info = ov_info(&stream->file, -1);
  if (info == nullptr || info->channels < 1 || info->rate < 1) {
    ov_clear(&stream->file);
    return Fail("the stream states no channels or rate", 0);
  }
  channels_ = info->channels;
  sampleRate_ = static_cast<int>(info->rate);
  stream_ = std::move(stream);
  return true;
}

void VorbisDecoder::Close() {
  if (stream_ != nullptr) ov_clear(&stream_->file);
  stream_.reset();
  channels_ = 0;
  sampleRate_ = 0;
}

bool VorbisDecoder::IsOpen() const { return stream_ != nullptr; }

std::int64_t VorbisDecoder::TotalFrames() const {
  if (stream_ == nullptr) return -1;
  const ogg_int64_t total = ov_pcm_total(&stream_->file, -1);
  return total < 0 ? -1 : static_cast<std::int64_t>(total);
}

bool VorbisDecoder::Decode(std::int16_t* out, std::size_t maxFrames, std::size_t& decodedFrames) {
  decodedFrames = 0;
  if (stream_ == nullptr) return Fail("no stream is open", 0);
  const std::size_t frameBytes = static_cast<std::size_t>(channels_) * sizeof(std::int16_t);
  auto* bytes = reinterpret_cast<char*>(out);
  // The library writes at most one packet per call and never splits a frame.
  constexpr std::size_t kMaxRequest = 1 << 30;
  while (decodedFrames < maxFrames) {
    const std::size_t room = std::min((maxFrames - decodedFrames) * frameBytes, kMaxRequest);
    int link = 0;
    const long got = ov_read(&stream_->file, bytes + decodedFrames * frameBytes,
                             static_cast<int>(room), 0, 2, 1, &link);
    if (got == 0) break;
    if (got == OV_HOLE) continue;
    if (got < 0) return Fail("the stream is damaged", got);
    const vorbis_info* info = ov_info(&stream_->file, link);
    if (info == nullptr || info->channels != channels_ || info->rate != sampleRate_) {
      return Fail("a chained part changes the channel count or rate", 0);
    }
    decodedFrames += static_cast<std::size_t>(got) / frameBytes;
  }
  return true;
}

bool VorbisDecoder::SeekToFrame(std::int64_t frame) {
  if (stream_ == nullptr) return Fail("no stream is open", 0);
  const int result = ov_pcm_seek(&stream_->file, static_cast<ogg_int64_t>(frame));
  if (result != 0) return Fail("cannot seek there", result);
  return true;
}

bool VorbisDecoder::Fail(const char* what, long code) {
  lastError_ = what;
  if (code != 0) lastError_ += " (libvorbisfile " + std::to_string(code) + ")";
  return false;
}

}  // namespace halcyra

#include "platform/VorbisEncoder.h"

#include <vorbis/codec.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>

namespace halcyra {
namespace {

constexpr std::size_t kAnalysisFrames = 1024;

// The library's encoder state, cleared in reverse order of creation.
class EncoderState {
 public:
  EncoderState() {
    vorbis_info_init(&info);
    vorbis_comment_init(&comment);
  }
  ~EncoderState() {
    if (streamStarted) ogg_stream_clear(&stream);
    if (blockStarted) vorbis_block_clear(&block);
    if (analysisStarted) vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
  }
  EncoderState(const EncoderState&) = delete;
  EncoderState& operator=(const EncoderState&) = delete;

  vorbis_info info{};
  vorbis_comment comment{};
  vorbis_dsp_state dsp{};
  vorbis_block block{};
  ogg_stream_state stream{};
  bool analysisStarted = false;
  bool blockStarted = false;
  bool streamStarted = false;
};

void AppendPage(const ogg_page& page, std::vector<std::uint8_t>& out) {
  out.insert(out.end(), page.header, page.header + page.header_len);
  out.insert(out.end(), page.body, page.body + page.body_len);
}

bool WriteHeaders(EncoderState& state, std::vector<std::uint8_t>& out) {
  ogg_packet identification;
  ogg_packet comments;
  ogg_packet codebooks;
  if (vorbis_analysis_headerout(&state.dsp, &state.comment, &identification, &comments,
                                &codebooks) != 0) {
    return false;
  }
  ogg_stream_packetin(&state.stream, &identification);
  ogg_stream_packetin(&state.stream, &comments);
  ogg_stream_packetin(&state.stream, &codebooks);
  // The audio starts on a fresh page, as players expect.
  ogg_page page;
  while (ogg_stream_flush(&state.stream, &page) != 0) AppendPage(page, out);
  return true;
}

// Moves finished packets into pages; the last call (after the end of input) flushes the final
// partial page too.
void DrainPackets(EncoderState& state, std::vector<std::uint8_t>& out, bool finish) {
  ogg_packet packet;
  ogg_page page;
  while (vorbis_analysis_blockout(&state.dsp, &state.block) == 1) {
    vorbis_analysis(&state.block, nullptr);
    vorbis_bitrate_addblock(&state.block);
    while (vorbis_bitrate_flushpacket(&state.dsp, &packet) != 0) {
      ogg_stream_packetin(&state.stream, &packet);
      while (ogg_stream_pageout(&state.stream, &page) != 0) AppendPage(page, out);
    }
  }
  if (!finish) return;
  while (ogg_stream_flush(&state.stream, &page) != 0) AppendPage(page, out);
}

void FeedFrames(EncoderState& state, const std::int16_t* samples, std::size_t frames,
                int channels) {
  float** buffer = vorbis_analysis_buffer(&state.dsp, static_cast<int>(frames));
  for (std::size_t frame = 0; frame < frames; ++frame) {
    for (int channel = 0; channel < channels; ++channel) {
      buffer[channel][frame] = static_cast<float>(samples[frame * channels + channel]) / 32768.0f;
    }
  }
  vorbis_analysis_wrote(&state.dsp, static_cast<int>(frames));
}

}  // namespace

bool VorbisEncoder::Encode(const std::int16_t* samples, std::size_t frameCount,
                           const VorbisEncodeOptions& options, std::vector<std::uint8_t>& stream,
                           std::string& error) {
  stream.clear();
  if (options.channels < 1 || options.channels > 2 || options.sampleRate < 1) {
    error = "Vorbis encoding takes 1 or 2 channels and a positive rate";
    return false;
  }
  EncoderState state;
  if (vorbis_encode_init_vbr(&state.info, options.channels, options.sampleRate, options.quality) !=
      0) {
    error = "the Vorbis encoder refuses these channels, rate and quality";
    return false;
  }
  vorbis_analysis_init(&state.dsp, &state.info);
  state.analysisStarted = true;
  vorbis_block_init(&state.dsp, &state.block);
  state.blockStarted = true;
  ogg_stream_init(&state.stream, options.serialNumber);
  state.streamStarted = true;
  if (!WriteHeaders(state, stream)) {
    error = "the Vorbis encoder made no headers";
    return false;
  }
  for (std::size_t done = 0; done < frameCount;) {
    const std::size_t frames = std::min(kAnalysisFrames, frameCount - done);
    FeedFrames(state, samples + done * options.channels, frames, options.channels);
    DrainPackets(state, stream, false);
    done += frames;
  }
  vorbis_analysis_wrote(&state.dsp, 0);
  DrainPackets(state, stream, true);
  return true;
}

}  // namespace halcyra

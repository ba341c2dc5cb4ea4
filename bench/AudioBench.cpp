// Speed of the sound path: Vorbis decoding of a music-like stream (the engine needs at least 100
// times real time so that a second of music decodes within a frame), and the mixer adding seven
// playing channels of assorted formats into one second of device output.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "media/CDS.h"
#include "media/SoundBuffer.h"
#include "media/SoundErrorReporter.h"
#include "platform/NullAudioDevice.h"
#include "platform/VorbisDecoder.h"
#include "platform/VorbisEncoder.h"

namespace halcyra {
namespace {

constexpr int kRate = 44100;
constexpr double kRequiredRealTimeFactor = 100.0;

// Ten seconds of stereo "music": a chord with a slow tremolo and a little noise.
std::vector<std::int16_t> MusicLikeSamples(std::size_t frames) {
  std::vector<std::int16_t> samples(frames * 2);
  std::mt19937 random(11);
  for (std::size_t frame = 0; frame < frames; ++frame) {
    const double t = static_cast<double>(frame) / kRate;
    const double chord = std::sin(2 * std::numbers::pi * 220.0 * t) +
                         0.7 * std::sin(2 * std::numbers::pi * 277.2 * t) +
                         0.5 * std::sin(2 * std::numbers::pi * 329.6 * t);
    const double tremolo = 0.75 + 0.25 * std::sin(2 * std::numbers::pi * 0.5 * t);
    const double noise = static_cast<double>(random() % 2001) - 1000.0;
    samples[2 * frame] = static_cast<std::int16_t>(7000.0 * chord * tremolo + noise);
    samples[2 * frame + 1] = static_cast<std::int16_t>(7000.0 * chord * (1.5 - tremolo) - noise);
  }
  return samples;
}

void BM_VorbisDecode(benchmark::State& state) {
  const std::size_t frames = 10 * kRate;
  std::vector<std::uint8_t> stream;
  std::string error;
  VorbisEncodeOptions options;
  const std::vector<std::int16_t> music = MusicLikeSamples(frames);
  if (!VorbisEncoder::Encode(music.data(), frames, options, stream, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  std::vector<std::int16_t> out(frames * 2);
  VorbisDecoder decoder;
  std::size_t decoded = 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    decoder.Open(stream.data(), stream.size());
    decoder.Decode(out.data(), frames, decoded);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
  if (decoded != frames) state.SkipWithError("the stream did not decode to its length");
  const double audioSeconds = static_cast<double>(state.iterations()) * frames / kRate;
  state.counters["samples_per_s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * frames, benchmark::Counter::kIsRate);
  state.counters["x_real_time"] = audioSeconds / spent.count();
  if (audioSeconds / spent.count() < kRequiredRealTimeFactor) {
    state.SkipWithError("Vorbis decoding is slower than 100 times real time");
  }
}
BENCHMARK(BM_VorbisDecode)->Unit(benchmark::kMillisecond);

class IgnoringReporter : public SoundErrorReporter {
 public:
  void Report(const MessageBoxRequest&) override {}
};

void BM_MixSevenChannels(benchmark::State& state) {
  NullAudioDevice audio;
  audio.SetCapturing(false);
  IgnoringReporter reporter;
  CDS device(audio, reporter);
  if (!device.OpenDevice(CDS::kChannels, CDS::kSampleRate, CDS::kBits)) {
    state.SkipWithError("the null device did not open");
    return;
  }
  // Music, effects and a voice as a scene would hold them: three seconds each, looping, in the
  // rates and layouts game data comes in.
  struct Layout {
    std::uint16_t channels;
    std::uint32_t rate;
  };
  const Layout layouts[] = {{2, 44100}, {2, 44100}, {1, 22050}, {1, 44100},
                            {2, 48000}, {1, 32000}, {2, 22050}};
  std::vector<std::unique_ptr<SoundBuffer>> buffers;
  std::mt19937 random(5);
  int volume = 0;
  for (const Layout& layout : layouts) {
    const WaveFormat format = WaveFormat::Pcm16(layout.channels, layout.rate);
    std::uint32_t code = 0;
    auto buffer = device.CreateBuffer(format, 3 * format.avgBytesPerSec, code);
    auto* samples = reinterpret_cast<std::int16_t*>(buffer->Data());
    for (std::uint32_t i = 0; i < buffer->Size() / 2; ++i) {
      samples[i] = static_cast<std::int16_t>(random() % 20001) - 10000;
    }
    buffer->SetPlayableBytes(buffer->Size());
    buffer->SetVolume(-300 * volume);
    buffer->SetPan(500 * (volume - 3));
    buffer->Play(true);
    buffers.push_back(std::move(buffer));
    ++volume;
  }
  for (auto _ : state) {
    audio.PumpFrames(kRate);
  }
  state.counters["x_real_time"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MixSevenChannels)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace halcyra

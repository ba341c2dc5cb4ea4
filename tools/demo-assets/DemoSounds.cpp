// The demo game's sounds, made from nothing but arithmetic: a looping tune (Vorbis inside
// WAVE, streamed by the game) and a short chime (plain PCM).
#include "tools/demo-assets/DemoAssets.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "media/WaveWriter.h"
#include "platform/VorbisEncoder.h"

namespace halcyra::demo {
namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

// A plucked note: a sine with its octave, fading out, added into a stereo buffer.
void AddNote(std::vector<float>& stereo, double start, double length, double frequency,
             double level, double pan) {
  const auto first = static_cast<std::size_t>(start * kRate);
  const auto count = static_cast<std::size_t>(length * kRate);
  for (std::size_t i = 0; i < count && (first + i) * 2 + 1 < stereo.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double envelope = std::exp(-3.0 * t / length) * std::min(1.0, t * 200.0);
    const double value = level * envelope *
                         (std::sin(2 * kPi * frequency * t) + 0.3 * std::sin(4 * kPi * frequency * t));
    stereo[(first + i) * 2] += static_cast<float>(value * (1.0 - pan));
    stereo[(first + i) * 2 + 1] += static_cast<float>(value * (1.0 + pan));
  }
}

double NoteFrequency(int semitonesFromA4) { return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0); }

std::vector<std::int16_t> ToSamples(const std::vector<float>& mix) {
  std::vector<std::int16_t> samples(mix.size());
  for (std::size_t i = 0; i < mix.size(); ++i) {
    const float clipped = std::max(-1.0f, std::min(1.0f, mix[i]));
    samples[i] = static_cast<std::int16_t>(std::lround(clipped * 32000.0f));
  }
  return samples;
}

// Eight bars of a pentatonic tune over a walking bass, 16 seconds, seamless when looped.
std::vector<std::int16_t> Theme() {
  const double beat = 0.5;
  const int bars = 8;
  std::vector<float> mix(static_cast<std::size_t>(bars * 4 * beat * kRate) * 2, 0.0f);
  const int melody[] = {3, 5, 8, 10, 8, 5, 3, 0, -2, 0, 3, 5, 3, 0, -2, -4};
  const int bass[] = {-24, -17, -21, -19};
  for (int b = 0; b < bars * 4; ++b) {
    const double at = b * beat;
    AddNote(mix, at, beat * 1.8, NoteFrequency(melody[b % 16]), 0.22, 0.3);
    if (b % 2 == 0) AddNote(mix, at, beat * 2, NoteFrequency(bass[(b / 4) % 4]), 0.3, -0.3);
  }
  return ToSamples(mix);
}

std::vector<std::int16_t> Chime() {
  std::vector<float> mix(static_cast<std::size_t>(0.8 * kRate) * 2, 0.0f);
  AddNote(mix, 0.0, 0.8, NoteFrequency(15), 0.35, 0.0);
  AddNote(mix, 0.05, 0.75, NoteFrequency(22), 0.2, 0.0);
  return ToSamples(mix);
}

}  // namespace

bool MakeSounds(const std::filesystem::path& out) {
  const std::vector<std::int16_t> theme = Theme();
  const std::size_t themeFrames = theme.size() / 2;
  VorbisEncodeOptions options;
  options.channels = 2;
  options.sampleRate = kRate;
  std::vector<std::uint8_t> stream;
  std::string reason;
  if (!VorbisEncoder::Encode(theme.data(), themeFrames, options, stream, reason)) {
    std::fprintf(stderr, "halcyra-demo-assets: %s\n", reason.c_str());
    return false;
  }
  const std::vector<std::int16_t> chime = Chime();
  return WriteAsset(out / "theme.wav",
                    WaveWriter::Vorbis(2, kRate, static_cast<std::uint32_t>(themeFrames), stream)) &&
         WriteAsset(out / "chime.wav",
                    WaveWriter::Pcm16(2, kRate, reinterpret_cast<const std::uint8_t*>(chime.data()),
                                      chime.size() * sizeof(std::int16_t)));
}

}  // namespace halcyra::demo

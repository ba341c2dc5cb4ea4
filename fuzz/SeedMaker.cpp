// Writes the seed corpus of every fuzz target, made with the engine's own writers and encoders:
// halcyra-fuzz-seeds FOLDER makes FOLDER/<target>/<seed> for each target. The seeds are small
// valid inputs that reach deep into each parser, so that the fuzzer starts from real structure.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <string_view>
#include <utility>
#include <vector>

#include "media/WaveWriter.h"
#include "platform/FileSystem.h"
#include "platform/VorbisEncoder.h"
#include "resource/LzssEncoder.h"
#include "system/CReadList.h"
#include "tests/graphics/GraphicsFixtures.h"
#include "tools/demo-assets/PsdWriter.h"
#include "tools/halcyra-tool/ArchiveWriter.h"
#include "tools/halcyra-tool/PictureEncoder.h"

namespace halcyra::fuzz {
namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

class SeedFolder {
 public:
  explicit SeedFolder(fs::path root) : root_(std::move(root)) {}

  void Write(std::string_view target, std::string_view name, const Bytes& bytes) {
    const fs::path folder = root_ / target;
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) failed_ = true;
  }
  void Write(std::string_view target, std::string_view name, std::string_view text) {
    Write(target, name, Bytes(text.begin(), text.end()));
  }
  const fs::path& Root() const { return root_; }
  bool Failed() const { return failed_; }
  void Fail() { failed_ = true; }

 private:
  fs::path root_;
  bool failed_ = false;
};

Bytes Prefixed(std::uint8_t first, const Bytes& rest) {
  Bytes bytes{first};
  bytes.insert(bytes.end(), rest.begin(), rest.end());
  return bytes;
}

// 24-bit 3 x 2, 24-bit stored top first, 8-bit 4 x 2 with a short palette, and RLE8 4 x 3 with
// every escape.
std::vector<Bytes> Bitmaps() {
  using testing::MakeBmp;
  const std::vector<std::uint32_t> palette{0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  return {
      MakeBmp(3, 2, 24, 0, {}, Bytes(24, 0x5A)),
      MakeBmp(3, -2, 24, 0, {}, Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 0, 0}),
      MakeBmp(4, 2, 8, 0, palette, Bytes{0, 1, 2, 3, 3, 2, 1, 7}),
      MakeBmp(4, 3, 8, 1, palette,
              Bytes{2, 1, 0, 3, 9, 8, 7, 0, 0, 0, 2, 1, 0, 3, 1, 2, 3, 0, 3, 0, 1, 0, 1}),
  };
}

// A three-channel composite, raw and PackBits, and layered documents of one and two cells.
std::vector<Bytes> Documents() {
  testing::PsdDocument raw;
  raw.width = 2;
  raw.height = 2;
  raw.merged = testing::RawBlock(Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  testing::PsdDocument packed = raw;
  std::vector<Bytes> rows(6, Bytes{0xFF, 0x40});  // each row: one byte repeated twice
  packed.merged = testing::PackBitsBlock(rows);
  demo::Cell cell(3, 2, 0x80FF0000);
  cell.At(1, 1) = 0xFF00FF00;
  demo::Cell other(3, 2, 0x400000FF);
  return {testing::MakePsd(raw), testing::MakePsd(packed), demo::EncodePsd({cell}),
          demo::EncodePsd({cell, other})};
}

void PictureSeeds(SeedFolder& seeds) {
  int number = 0;
  for (const Bytes& bmp : Bitmaps()) seeds.Write("bmp", "bmp" + std::to_string(number++), bmp);
  number = 0;
  for (const Bytes& psd : Documents()) seeds.Write("psd", "psd" + std::to_string(number++), psd);

  std::vector<Bytes> pictures = Bitmaps();
  for (Bytes& psd : Documents()) pictures.push_back(std::move(psd));
  number = 0;
  for (const Bytes& picture : pictures) {
    for (bool scramble : {false, true}) {
      Bytes stored;
      std::string error;
      if (!EncodePicture(picture, scramble, stored, error)) seeds.Fail();
      seeds.Write("picture-member", "member" + std::to_string(number++),
                  Prefixed(scramble ? 1 : 0, stored));
    }
  }
  const std::string text = "abcabcabcabcabc the ring repeats the ring repeats";
  const Bytes stream = LzssEncode(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  const Bytes lengthAndStream = Prefixed(static_cast<std::uint8_t>(text.size()), Prefixed(0, stream));
  seeds.Write("lzss", "text", lengthAndStream);
  seeds.Write("lzss", "zero-ring", Bytes{64, 0, 0x00, 0xEE, 0xFF, 0xEE, 0x0F, 0x10, 0x00, 0x00, 0x00});
}

void ArchiveSeeds(SeedFolder& seeds) {
  const Bytes scriptBytes{'N', 'A', '=', '1', '\r', '\n'};
  int number = 0;
  for (int mode = 0; mode < 8; ++mode) {
    const bool chained = (mode & 1) != 0;
    const bool scrambled = (mode & 2) != 0;
    ArchiveWriter writer(chained, scrambled);
    std::string error;
    const fs::path path = "archive.tmp";
    if (!writer.Add("open.scr", scriptBytes, error) || !writer.Add("Second.SCR", Bytes(40, 7), error) ||
        !writer.Add("empty.scr", {}, error) || !writer.Write(path, error)) {
      seeds.Fail();
      continue;
    }
    std::string archive;
    if (!ReadWholeFile(path.string(), archive)) seeds.Fail();
    fs::remove(path);
    seeds.Write("arc", "archive" + std::to_string(number++),
                Prefixed(static_cast<std::uint8_t>(mode), Bytes(archive.begin(), archive.end())));
  }
}

// A 16-bit PCM sound, an 8-bit one written by hand, and Vorbis-in-WAVE, mono and stereo.
std::vector<Bytes> Sounds() {
  std::vector<Bytes> sounds;
  std::vector<std::int16_t> samples;
  for (int k = 0; k < 1600; ++k) samples.push_back(static_cast<std::int16_t>((k % 40) * 800 - 16000));
  const auto* pcm = reinterpret_cast<const std::uint8_t*>(samples.data());
  sounds.push_back(WaveWriter::Pcm16(1, 8000, pcm, 200));
  sounds.push_back(WaveWriter::Pcm16(2, 22050, pcm, 400));
  const Bytes eightBit{'R', 'I', 'F', 'F', 52, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0,
                       0,   0,   1,   0,   1,  0, 0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0, 1, 0, 8, 0,
                       'f', 'a', 'c', 't', 4, 0, 0, 0, 4, 0, 0, 0,
                       'd', 'a', 't', 'a', 4, 0, 0, 0, 0x80, 0xFF, 0x00, 0x80};
  sounds.push_back(eightBit);
  for (int channels : {1, 2}) {
    VorbisEncodeOptions options;
    options.channels = channels;
    options.sampleRate = 8000;
    options.quality = 0.0f;
    const std::size_t frames = samples.size() / static_cast<std::size_t>(channels);
    Bytes stream;
    std::string error;
    if (VorbisEncoder::Encode(samples.data(), frames, options, stream, error)) {
      sounds.push_back(WaveWriter::Vorbis(channels, 8000, static_cast<std::uint32_t>(frames), stream));
    }
  }
  return sounds;
}

void SoundSeeds(SeedFolder& seeds) {
  int number = 0;
  for (const Bytes& sound : Sounds()) {
    seeds.Write("wave", "wave" + std::to_string(number), sound);
    // Each sound converted whole in one rate mode and streamed once.
    seeds.Write("acm", "whole" + std::to_string(number), Prefixed(static_cast<std::uint8_t>(number % 4), sound));
    seeds.Write("acm", "stream" + std::to_string(number), Prefixed(4, sound));
    ++number;
  }
}

void ScriptSeeds(SeedFolder& seeds) {
  seeds.Write("script", "assign",
              "NF2047=300\r\nF5=3\r\nF5-=10\r\nF6*=100\r\nA=7/2\r\nB=-7/2\r\nC=A%B^F5|2&7\r\nD=Z/0\r\n");
  seeds.Write("script", "condition",
              "NA=1\r\n[A=1&F3<>0|B>=2]{\r\nB=1\r\n[B=1]{\r\nC=1\r\n}\r\n}\r\nD=1\r\n");
  seeds.Write("script", "goto",
              "NA=1\r\ngoto later\r\nA=2\r\nB=1 @later C=1\r\n[D=0]{\r\nD=1\r\ngoto back\r\n}\r\n@back\r\nE=1\r\n");
  seeds.Write("script", "define",
              "N; a comment\r\ndefine \x83\x41 F100\r\n\x83\x41=3\r\n\x83\x41+=1\r\nrandom A,10\r\n"
              "param_calc\r\nwait 1,5\r\nname_check\r\nchange second\r\n");
  seeds.Write("script", "scrambled", "X\x12\x34\x56\x78\x9a\r\n");
}

void TextSeeds(SeedFolder& seeds) {
  const std::string layout{'\x18', '\x0a', '\x03', '\x00', '\x05', '\x40'};
  seeds.Write("text", "plain", layout + "\x82\xa0\x82\xa2\x81\x42 abc\\n\x81\x75\x82\xa0\x82\xa0\x81\x76");
  seeds.Write("text", "names", layout + "\x81\x9c\x96\xbc\x81\x9c\x81\x40\x81\xa3\x8e\x81\x81\xa3$n");
  seeds.Write("text", "ruby", layout + "\x8a\xbf$r\x82\xa9-\x82\xf1+$\x8e\x9a\\x\\");
  const std::string narrow{'\x18', '\x04', '\x02', '\x02', '\x07', '\x00'};
  seeds.Write("text", "overflow", narrow + std::string(30, '\x82') + "\x81\x42\x81\x42\n\n");
}

void ListSeeds(SeedFolder& seeds) {
  CReadList list;
  list.IsRead("scr\\open.scr", 0, true);
  list.Register("scr\\open.scr", 1, 40);
  list.IsRead("scr\\open.scr", 1, true);
  list.AddScript("scr\\second.scr");
  list.Register("scr\\second.scr", 0, 12);
  const fs::path path = "SaveSeed.dat";
  std::string bytes;
  if (!list.SaveFile("SaveSeed.dat") || !ReadWholeFile(path.string(), bytes)) seeds.Fail();
  fs::remove(path);
  seeds.Write("read-list", "two-scripts", Bytes(bytes.begin(), bytes.end()));
  seeds.Write("read-list", "cut-short", std::string_view("scr\\a.scr\0\1\0", 12));
}

void IniSeeds(SeedFolder& seeds) {
  seeds.Write("ini", "settings",
              "\xEF\xBB\xBF; settings\r\n[Screen]\r\nMode = 0x1F\r\n[sound]\r\nVoice=-3 dB\r\n"
              "[Game]\r\nTitle= \x83\x41\x83\x61 \r\nTitle=second\r\nnothing here\r\n");
  seeds.Write("ini", "lf", "top=1\n[Screen]\nmode=+2147483648\n[Screen]\nMode=9\n[Game");
}

}  // namespace
}  // namespace halcyra::fuzz

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: halcyra-fuzz-seeds FOLDER\n");
    return 2;
  }
  // Writers that take game paths write into the seed folder itself; their files are removed.
  std::error_code error;
  std::filesystem::create_directories(argv[1], error);
  std::filesystem::current_path(argv[1], error);
  if (error) {
    std::fprintf(stderr, "halcyra-fuzz-seeds: cannot enter %s\n", argv[1]);
    return 1;
  }
  halcyra::fuzz::SeedFolder seeds{std::filesystem::current_path()};
  halcyra::fuzz::PictureSeeds(seeds);
  halcyra::fuzz::ArchiveSeeds(seeds);
  halcyra::fuzz::SoundSeeds(seeds);
  halcyra::fuzz::ScriptSeeds(seeds);
  halcyra::fuzz::TextSeeds(seeds);
  halcyra::fuzz::ListSeeds(seeds);
  halcyra::fuzz::IniSeeds(seeds);
  if (seeds.Failed()) {
    std::fprintf(stderr, "halcyra-fuzz-seeds: a seed could not be made in %s\n", argv[1]);
    return 1;
  }
  return 0;
}

// Shared pieces of the graphics tests: a recording error reporter, a guard that selects the
// plain or SIMD blend forms, and builders of small BMP and PSD files byte by byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/ErrorReporter.h"

namespace halcyra::testing {

using Bytes = std::vector<std::uint8_t>;

struct Report {
  std::string source;
  int number = 0;
  std::string message;
  std::string detail;
};

class RecordingReporter : public ErrorReporter {
 public:
  void SystemError(std::string_view source, int number, std::string_view message,
                   std::string_view detail) override {
    reports.push_back({std::string(source), number, std::string(message), std::string(detail)});
  }
  void ErrorBox(std::string_view caption, std::string_view text) override {
    boxes.push_back(std::string(caption) + "|" + std::string(text));
  }
  std::vector<std::string> Messages() const;

  std::vector<Report> reports;
  std::vector<std::string> boxes;
};

// Selects the SIMD (true) or plain (false) blend forms for a scope.
class BlendForm {
 public:
  explicit BlendForm(bool simd);
  ~BlendForm();
  BlendForm(const BlendForm&) = delete;
  BlendForm& operator=(const BlendForm&) = delete;

 private:
  bool previous_;
};

// A pixel value 0xAARRGGBB from its four channels.
constexpr std::uint32_t Argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return a << 24 | r << 16 | g << 8 | b;
}

// Shift-JIS bytes of a UTF-8 text, for names and texts in fixtures.
std::string Sjis(std::string_view utf8);

void Append16Le(Bytes& bytes, std::uint32_t value);
void Append32Le(Bytes& bytes, std::uint32_t value);
void Append16Be(Bytes& bytes, std::uint32_t value);
void Append32Be(Bytes& bytes, std::uint32_t value);

// A BMP file: the 14-byte file header (data offset dataOffset, 0 = right after header and
// palette), a 40-byte info header, the palette entries (0x00RRGGBB each) and then data as given.
Bytes MakeBmp(int width, int height, int bitsPerPixel, int compression,
              const std::vector<std::uint32_t>& palette, const Bytes& data,
              std::uint32_t dataOffset = 0);

// One channel of a PSD layer: its ID and its data block (compression word included).
struct PsdChannel {
  int id = 0;
  Bytes block;
};

struct PsdLayer {
  int top = 0;
  int left = 0;
  int bottom = 0;
  int right = 0;
  std::vector<PsdChannel> channels;
};

struct PsdDocument {
  int channels = 3;
  int width = 0;
  int height = 0;
  int depth = 8;
  int colourMode = 3;
  int storedLayerCount = 0;   // as written in the file (negative: merged transparency)
  bool layerSection = false;  // write a layer and mask section
  std::vector<PsdLayer> layers;
  Bytes merged;  // compression word and data
};

Bytes MakePsd(const PsdDocument& document);

// A raw channel block: compression 0, then the bytes.
Bytes RawBlock(const Bytes& rows);
// A PackBits block: compression 1, one 16-bit count per row, then the rows' runs.
Bytes PackBitsBlock(const std::vector<Bytes>& packedRows);

}  // namespace halcyra::testing

#include "tests/graphics/GraphicsFixtures.h"

#include "graphics/SimdFlag.h"
#include "platform/ShiftJis.h"

namespace halcyra::testing {

std::string Sjis(std::string_view utf8) { return Utf8ToShiftJis(utf8); }

std::vector<std::string> RecordingReporter::Messages() const {
  std::vector<std::string> messages;
  for (const Report& report : reports) messages.push_back(report.message);
  return messages;
}

BlendForm::BlendForm(bool simd) : previous_(HasMmx()) { SetHasMmx(simd); }
BlendForm::~BlendForm() { SetHasMmx(previous_); }

void Append16Le(Bytes& bytes, std::uint32_t value) {
  bytes.push_back(static_cast<std::uint8_t>(value));
  bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Append32Le(Bytes& bytes, std::uint32_t value) {
  Append16Le(bytes, value & 0xFFFF);
  Append16Le(bytes, value >> 16);
}

void Append16Be(Bytes& bytes, std::uint32_t value) {
  bytes.push_back(static_cast<std::uint8_t>(value >> 8));
  bytes.push_back(static_cast<std::uint8_t>(value));
}

void Append32Be(Bytes& bytes, std::uint32_t value) {
  Append16Be(bytes, value >> 16);
  Append16Be(bytes, value & 0xFFFF);
}

Bytes MakeBmp(int width, int height, int bitsPerPixel, int compression,
              const std::vector<std::uint32_t>& palette, const Bytes& data,
              std::uint32_t dataOffset) {
  const auto headers = static_cast<std::uint32_t>(54 + 4 * palette.size());
  Bytes bytes = {'B', 'M'};
  Append32Le(bytes, headers + static_cast<std::uint32_t>(data.size()));
  Append32Le(bytes, 0);
  Append32Le(bytes, dataOffset == 0 ? headers : dataOffset);
  Append32Le(bytes, 40);
  Append32Le(bytes, static_cast<std::uint32_t>(width));
  Append32Le(bytes, static_cast<std::uint32_t>(height));
  Append16Le(bytes, 1);
  Append16Le(bytes, static_cast<std::uint32_t>(bitsPerPixel));
  Append32Le(bytes, static_cast<std::uint32_t>(compression));
  Append32Le(bytes, static_cast<std::uint32_t>(data.size()));
  Append32Le(bytes, 2835);
  Append32Le(bytes, 2835);
  Append32Le(bytes, static_cast<std::uint32_t>(palette.size()));
  Append32Le(bytes, 0);
  for (std::uint32_t entry : palette) Append32Le(bytes, entry);
  bytes.insert(bytes.end(), data.begin(), data.end());
  return bytes;
}

Bytes MakePsd(const PsdDocument& document) {
  Bytes bytes = {'8', 'B', 'P', 'S'};
  Append16Be(bytes, 1);
  bytes.insert(bytes.end(), 6, 0);
  Append16Be(bytes, static_cast<std::uint32_t>(document.channels));
  Append32Be(bytes, static_cast<std::uint32_t>(document.height));
  Append32Be(bytes, static_cast<std::uint32_t>(document.width));
  Append16Be(bytes, static_cast<std::uint32_t>(document.depth));
  Append16Be(bytes, static_cast<std::uint32_t>(document.colourMode));
  Append32Be(bytes, 0);  // colour mode data
  Append32Be(bytes, 4);  // image resources: four bytes nobody reads
  bytes.insert(bytes.end(), {'8', 'B', 'I', 'M'});
  if (!document.layerSection) {
    Append32Be(bytes, 0);
  } else {
    Bytes info;
    Append16Be(info, static_cast<std::uint16_t>(document.storedLayerCount));
    Bytes data;
    for (const PsdLayer& layer : document.layers) {
      Append32Be(info, static_cast<std::uint32_t>(layer.top));
      Append32Be(info, static_cast<std::uint32_t>(layer.left));
      Append32Be(info, static_cast<std::uint32_t>(layer.bottom));
      Append32Be(info, static_cast<std::uint32_t>(layer.right));
      Append16Be(info, static_cast<std::uint32_t>(layer.channels.size()));
      for (const PsdChannel& channel : layer.channels) {
        Append16Be(info, static_cast<std::uint16_t>(channel.id));
        Append32Be(info, static_cast<std::uint32_t>(channel.block.size()));
        data.insert(data.end(), channel.block.begin(), channel.block.end());
      }
      info.insert(info.end(), {'8', 'B', 'I', 'M', 'n', 'o', 'r', 'm', 255, 0, 0, 0});
      Append32Be(info, 4);  // extra data: an empty mask record and nothing else
      Append32Be(info, 0);
    }
    info.insert(info.end(), data.begin(), data.end());
    Bytes section;
    Append32Be(section, static_cast<std::uint32_t>(info.size()));
    section.insert(section.end(), info.begin(), info.end());
    Append32Be(bytes, static_cast<std::uint32_t>(section.size()));
    bytes.insert(bytes.end(), section.begin(), section.end());
  }
  bytes.insert(bytes.end(), document.merged.begin(), document.merged.end());
  return bytes;
}

Bytes RawBlock(const Bytes& rows) {
  Bytes block = {0, 0};
  block.insert(block.end(), rows.begin(), rows.end());
  return block;
}

Bytes PackBitsBlock(const std::vector<Bytes>& packedRows) {
  Bytes block = {0, 1};
  for (const Bytes& row : packedRows) Append16Be(block, static_cast<std::uint32_t>(row.size()));
  for (const Bytes& row : packedRows) block.insert(block.end(), row.begin(), row.end());
  return block;
}

}  // namespace halcyra::testing

#include "tools/demo-assets/PsdWriter.h"

namespace halcyra::demo {
namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value >> 16);
  Put16(out, value & 0xFFFF);
}

// Channel IDs in the order written, with the bit position of each in a pixel.
struct ChannelOrder {
  int id;
  int shift;
};
constexpr ChannelOrder kChannels[] = {{0, 16}, {1, 8}, {2, 0}, {-1, 24}};

}  // namespace

std::vector<std::uint8_t> EncodePsd(const std::vector<Cell>& cells) {
  const int width = cells.empty() ? 0 : cells.front().width;
  const int height = cells.empty() ? 0 : cells.front().height;
  const auto plane = static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height);
  std::vector<std::uint8_t> out = {'8', 'B', 'P', 'S'};
  Put16(out, 1);
  out.insert(out.end(), 6, 0);
  Put16(out, 4);
  Put32(out, static_cast<std::uint32_t>(height));
  Put32(out, static_cast<std::uint32_t>(width));
  Put16(out, 8);
  Put16(out, 3);  // RGB
  Put32(out, 0);  // no colour mode data
  Put32(out, 0);  // no image resources
  std::vector<std::uint8_t> info;
  // The layer count is written negative: the pictures carry transparency, and the reader takes
  // a four-channel document as layered only with that mark.
  Put16(info, 0x10000u - static_cast<std::uint32_t>(cells.size()));
  std::vector<std::uint8_t> data;
  for (const Cell& cell : cells) {
    Put32(info, 0);
    Put32(info, 0);
    Put32(info, static_cast<std::uint32_t>(height));
    Put32(info, static_cast<std::uint32_t>(width));
    Put16(info, 4);
    for (const ChannelOrder& channel : kChannels) {
      Put16(info, static_cast<std::uint16_t>(channel.id));
      Put32(info, plane + 2);
      Put16(data, 0);  // raw
      for (std::uint32_t i = 0; i < plane; ++i) {
        data.push_back(static_cast<std::uint8_t>(cell.pixels[i] >> channel.shift));
      }
    }
    info.insert(info.end(), {'8', 'B', 'I', 'M', 'n', 'o', 'r', 'm', 255, 0, 0, 0});
    Put32(info, 4);
    Put32(info, 0);
  }
  info.insert(info.end(), data.begin(), data.end());
  std::vector<std::uint8_t> section;
  Put32(section, static_cast<std::uint32_t>(info.size()));
  section.insert(section.end(), info.begin(), info.end());
  Put32(out, static_cast<std::uint32_t>(section.size()));
  out.insert(out.end(), section.begin(), section.end());
  // The merged image: raw, four planes of zero; the engine reads the layers.
  Put16(out, 0);
  out.insert(out.end(), std::size_t(plane) * 4, 0);
  return out;
}

}  // namespace halcyra::demo

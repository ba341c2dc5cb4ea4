#include "graphics/CPSD.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "graphics/GraphicsTexts.h"
#include "resource/CArcFile.h"
#include "resource/PictureMember.h"

namespace halcyra {
namespace {

namespace texts = graphics_texts;

constexpr char kSource[] = "SCRIPT";
// The fixed numbers of this reader's reports.
enum ReportNumber {
  kOpenNumber = 3201,
  kSizeNumber = 3208,
  kHeaderNumber = 3215,
  kColourModeNumber = 3222,
  kDepthNumber = 3229,
  kSectionNumber = 3236,
  kChannelCountNumber = 3243,
  kDestinationNumber = 3301,
  kMergedPointerNumber = 3308,
  kCompressionNumber = 3315,
  kMergedOverrunNumber = 3322,
  kShortDataNumber = 3329,
  kLayerInfoNumber = 3401,
  kLayerChannelsNumber = 3408,
  kChannelPointerNumber = 3415,
  kLayerOverrunNumber = 3422,
};

constexpr std::size_t kHeaderSize = 26;
constexpr std::uint16_t kRgbMode = 3;
constexpr std::uint16_t kRaw = 0;
constexpr std::uint16_t kPackBits = 1;
constexpr std::size_t kRecordFixedSize = 18;  // rectangle and channel count
constexpr std::size_t kChannelInfoSize = 6;   // ID and data length
constexpr std::size_t kBlendFieldsSize = 12;  // blend signature, key, opacity, flags, filler

int ClampToInt(std::uint32_t value) {
  return static_cast<int>(std::min<std::uint32_t>(value, std::numeric_limits<int>::max()));
}

}  // namespace

bool CPSD::Fail(int number, std::string_view message, std::string_view detail) const {
  context_->SystemError(kSource, number, message, detail);
  return false;
}

std::uint16_t CPSD::Read16(std::size_t offset) const {
  return static_cast<std::uint16_t>(data_[offset] << 8 | data_[offset + 1]);
}

std::uint32_t CPSD::Read32(std::size_t offset) const {
  return static_cast<std::uint32_t>(data_[offset]) << 24 |
         static_cast<std::uint32_t>(data_[offset + 1]) << 16 |
         static_cast<std::uint32_t>(data_[offset + 2]) << 8 | data_[offset + 3];
}

bool CPSD::Has(std::size_t offset, std::size_t length) const {
  return offset <= data_.size() && data_.size() - offset >= length;
}

bool CPSD::Load(std::string_view fileName) {
  data_.clear();
  std::vector<std::uint8_t> bytes;
  CArcFile noArchive;
  CArcFile& archive = context_->pictures != nullptr ? *context_->pictures : noArchive;
  if (!LoadPicture(fileName, archive, bytes)) {
    return Fail(kOpenNumber, texts::kCannotOpenFile, fileName);
  }
  return LoadData(std::move(bytes), fileName);
}

bool CPSD::LoadData(std::vector<std::uint8_t> bytes, std::string_view fileName) {
  data_ = std::move(bytes);
  name_ = std::string(fileName);
  width_ = 0;
  height_ = 0;
  frameCount_ = 0;
  compressionReported_ = false;
  channelCountReported_ = false;
  if (data_.empty()) return Fail(kSizeNumber, texts::kBadDataSize, name_);
  const bool headerValid = Has(0, kHeaderSize) && std::memcmp(data_.data(), "8BPS", 4) == 0 &&
                           Read16(4) == 1 &&
                           std::all_of(data_.begin() + 6, data_.begin() + 12,
                                       [](std::uint8_t byte) { return byte == 0; });
  if (!headerValid) return Fail(kHeaderNumber, texts::kNoImageInformation, name_);
  if (Read16(24) != kRgbMode) return Fail(kColourModeNumber, texts::kUnsupportedColourMode, name_);
  if (Read16(22) != 8) return Fail(kDepthNumber, texts::kUnsupportedDepth, name_);
  channels_ = Read16(12);
  if (!ReadSections()) return Fail(kSectionNumber, texts::kBadLayerStructure, name_);
  if (!CheckChannels()) return false;
  height_ = ClampToInt(Read32(14));
  width_ = ClampToInt(Read32(18));
  frameCount_ = layerCount_ == 0 ? 1 : layerCount_;
  return true;
}

// Walks the colour mode data, the image resources and the layer and mask information to the
// merged image data, and reads the layer count.
bool CPSD::ReadSections() {
  std::size_t at = kHeaderSize;
  for (int section = 0; section < 2; ++section) {
    if (!Has(at, 4) || !Has(at + 4, Read32(at))) return false;
    at += 4 + Read32(at);
  }
  if (!Has(at, 4) || !Has(at + 4, Read32(at))) return false;
  const std::uint32_t layerSectionLength = Read32(at);
  const std::size_t layerSection = at + 4;
  mergedData_ = layerSection + layerSectionLength;
  layerCount_ = 0;
  mergedAlpha_ = false;
  if (layerSectionLength == 0) return true;
  if (layerSectionLength < 4) return false;
  if (Read32(layerSection) == 0) return true;
  if (layerSectionLength < 6) return false;
  const auto count = static_cast<std::int16_t>(Read16(layerSection + 4));
  mergedAlpha_ = count < 0;
  layerCount_ = std::abs(static_cast<int>(count));
  layerRecords_ = layerSection + 6;
  return true;
}

bool CPSD::CheckChannels() {
  if (channels_ == 3 && !mergedAlpha_) {
    layered_ = false;
    return true;
  }
  if (channels_ == 4 && mergedAlpha_) {
    layered_ = true;
    return true;
  }
  const std::string detail = "\n" + name_ + texts::kChannelCountLabel + std::to_string(channels_) +
                             texts::kLayerCountLabel + std::to_string(layerCount_) +
                             texts::kAlphaChannelLabel + (mergedAlpha_ ? "true" : "false");
  return Fail(kChannelCountNumber, texts::kUnsupportedChannels, detail);
}

bool CPSD::DecodeLayer(std::uint32_t* destination, int layer, int pitchBytes, bool& alpha) {
  if (destination == nullptr) return Fail(kDestinationNumber, texts::kBadDestination, name_);
  if (!layered_) {
    if (!DecodeMerged(destination, pitchBytes)) return false;
    auto* row = reinterpret_cast<std::uint8_t*>(destination);
    for (int y = 0; y < height_; ++y, row += pitchBytes) {
      for (int x = 0; x < width_; ++x) row[4 * x + 3] = 0xFF;
    }
    alpha = true;
    return true;
  }
  constexpr int kChannelIds[] = {0, 1, 2, -1};
  constexpr int kByteIndexes[] = {2, 1, 0, 3};
  for (int i = 0; i < 4; ++i) {
    if (!DecodeLayerChannel(destination, layer, kChannelIds[i], kByteIndexes[i], pitchBytes)) {
      return true;
    }
  }
  alpha = true;
  return true;
}

CPSD::RowResult CPSD::DecodeRow(bool packed, std::size_t& at, std::size_t end, int width,
                                std::uint8_t* visibleOut, VisibleSpan visible) const {
  int x = 0;
  while (x < width) {
    int count = width;
    bool repeat = false;
    if (packed) {
      if (at >= end) return RowResult::kShort;
      const int header = data_[at++];
      repeat = header >= 0x80;
      count = repeat ? 257 - header : header + 1;
      if (count > width - x) return RowResult::kOverrun;
    }
    const std::size_t sourceBytes = repeat ? 1 : static_cast<std::size_t>(count);
    if (end - std::min(at, end) < sourceBytes) return RowResult::kShort;
    const int first = std::max(x, visible.begin);
    const int last = std::min(x + count, visible.end);
    for (int column = first; column < last; ++column) {
      const std::size_t source = repeat ? at : at + static_cast<std::size_t>(column - x);
      visibleOut[4 * (column - visible.begin)] = data_[source];
    }
    at += sourceBytes;
    x += count;
  }
  return RowResult::kDone;
}

bool CPSD::DecodeMerged(std::uint32_t* destination, int pitchBytes) {
  std::size_t at = mergedData_;
  if (!Has(at, 2)) return Fail(kMergedPointerNumber, texts::kBadChannelPointer, name_);
  const std::uint16_t compression = Read16(at);
  at += 2;
  if (compression != kRaw && compression != kPackBits && !compressionReported_) {
    compressionReported_ = true;
    Fail(kCompressionNumber, texts::kUnknownCompression, std::to_string(compression));
  }
  const bool packed = compression != kRaw;
  if (packed) {
    const std::size_t table =
        static_cast<std::size_t>(channels_) * static_cast<std::size_t>(height_) * 2;
    if (!Has(at, table)) return Fail(kShortDataNumber, texts::kCannotReadProperly, name_);
    at += table;
  }
  auto* base = reinterpret_cast<std::uint8_t*>(destination);
  for (int channel = 0; channel < 3; ++channel) {
    const int byteIndex = 2 - channel;
    for (int y = 0; y < height_; ++y) {
      std::uint8_t* out = base + static_cast<std::ptrdiff_t>(y) * pitchBytes + byteIndex;
      switch (DecodeRow(packed, at, data_.size(), width_, out, {0, width_})) {
        case RowResult::kDone: break;
        case RowResult::kOverrun: return Fail(kMergedOverrunNumber, texts::kRleOverrun, name_);
        case RowResult::kShort: return Fail(kShortDataNumber, texts::kCannotReadProperly, name_);
      }
    }
  }
  return true;
}

// Reads the layer record at `at` and moves past it; dataLength receives the sum of its
// channels' data lengths.
bool CPSD::ReadRecord(std::size_t& at, LayerPlace& place, std::size_t& dataLength) const {
  if (!Has(at, kRecordFixedSize)) return false;
  place.top = static_cast<std::int32_t>(Read32(at));
  place.left = static_cast<std::int32_t>(Read32(at + 4));
  place.bottom = static_cast<std::int32_t>(Read32(at + 8));
  place.right = static_cast<std::int32_t>(Read32(at + 12));
  place.channelCount = Read16(at + 16);
  place.channelInfo = at + kRecordFixedSize;
  const std::size_t infoBytes = kChannelInfoSize * static_cast<std::size_t>(place.channelCount);
  const std::size_t extraAt = place.channelInfo + infoBytes + kBlendFieldsSize;
  if (!Has(place.channelInfo, infoBytes + kBlendFieldsSize + 4)) return false;
  const std::uint32_t extraLength = Read32(extraAt);
  if (!Has(extraAt + 4, extraLength)) return false;
  dataLength = 0;
  for (int c = 0; c < place.channelCount; ++c) {
    dataLength += Read32(place.channelInfo + kChannelInfoSize * static_cast<std::size_t>(c) + 2);
  }
  at = extraAt + 4 + extraLength;
  return true;
}

// Walks every record: fills place for the wanted layer with the offset of its first channel
// data block (the channel data follows the last record, layer by layer).
bool CPSD::FindLayer(int layer, LayerPlace& place) const {
  std::size_t at = layerRecords_;
  std::size_t dataBefore = 0;
  for (int i = 0; i < layerCount_; ++i) {
    LayerPlace record;
    std::size_t dataLength = 0;
    if (!ReadRecord(at, record, dataLength)) return false;
    if (i == layer) {
      place = record;
      place.channelData = dataBefore;
    }
    dataBefore += dataLength;
  }
  place.channelData += at;
  return layer >= 0 && layer < layerCount_;
}

std::string CPSD::LayerOverrunText(int layer, int channelId) const {
  return std::string(texts::kRleOverrun) + "\n" + name_ + texts::kLayerLabel +
         std::to_string(layer) + texts::kChannelLabel + std::to_string(channelId);
}

bool CPSD::DecodeLayerChannel(std::uint32_t* destination, int layer, int channelId, int byteIndex,
                              int pitchBytes) {
  LayerPlace first;
  std::size_t firstAt = layerRecords_;
  std::size_t firstLength = 0;
  if (layerCount_ == 0 || !ReadRecord(firstAt, first, firstLength)) {
    return Fail(kLayerInfoNumber, texts::kNoLayerInformation, name_);
  }
  if (first.channelCount != 4 && !channelCountReported_) {
    channelCountReported_ = true;
    Fail(kLayerChannelsNumber, texts::kBadChannelCount, name_);
  }
  LayerPlace place;
  if (!FindLayer(layer, place)) return Fail(kLayerInfoNumber, texts::kNoLayerInformation, name_);

  std::size_t block = place.channelData;
  std::size_t blockLength = 0;
  bool found = false;
  for (int c = 0; c < place.channelCount && !found; ++c) {
    const std::size_t info = place.channelInfo + kChannelInfoSize * static_cast<std::size_t>(c);
    blockLength = Read32(info + 2);
    found = static_cast<std::int16_t>(Read16(info)) == channelId;
    if (!found) block += blockLength;
  }
  if (!found || blockLength < 2 || !Has(block, blockLength)) {
    return Fail(kChannelPointerNumber, texts::kBadChannelPointer, name_);
  }
  const std::size_t end = block + blockLength;
  const bool packed = Read16(block) != kRaw;
  const std::int64_t layerWidth = static_cast<std::int64_t>(place.right) - place.left;
  const std::int64_t layerHeight = static_cast<std::int64_t>(place.bottom) - place.top;
  if (layerWidth <= 0 || layerHeight <= 0) return true;
  std::size_t at = block + 2;
  if (packed) {
    const auto table = static_cast<std::uint64_t>(layerHeight) * 2;
    if (table > end - at) return Fail(kShortDataNumber, texts::kCannotReadProperly, name_);
    at += static_cast<std::size_t>(table);
  }
  const int width =
      static_cast<int>(std::min<std::int64_t>(layerWidth, std::numeric_limits<int>::max()));
  const VisibleSpan visible{
      static_cast<int>(std::clamp<std::int64_t>(-static_cast<std::int64_t>(place.left), 0, width)),
      static_cast<int>(
          std::clamp<std::int64_t>(static_cast<std::int64_t>(width_) - place.left, 0, width))};
  auto* base = reinterpret_cast<std::uint8_t*>(destination);
  for (std::int64_t y = place.top; y < place.bottom; ++y) {
    const bool rowInside = y >= 0 && y < height_ && visible.begin < visible.end;
    const VisibleSpan rowSpan = rowInside ? visible : VisibleSpan{};
    std::uint8_t* out =
        rowInside ? base + y * pitchBytes +
                        4 * (static_cast<std::int64_t>(place.left) + visible.begin) + byteIndex
                  : nullptr;
    switch (DecodeRow(packed, at, end, width, out, rowSpan)) {
      case RowResult::kDone: break;
      case RowResult::kOverrun:
        return Fail(kLayerOverrunNumber, LayerOverrunText(layer, channelId), "");
      case RowResult::kShort: return Fail(kShortDataNumber, texts::kCannotReadProperly, name_);
    }
  }
  return true;
}

}  // namespace halcyra

// Reads the Photoshop documents the engine accepts (RGB colour, 8 bits per channel, raw or
// PackBits channel data) and turns them into 32-bit frames: the merged composite of a
// three-channel document, opaque, or every layer of a document with transparency placed on a
// transparent canvas of the document's size.
//
// The whole file is held in memory while the reader lives; every length in it is checked
// against the end of the data, so a broken document fails with a message instead of being read
// past its end. Faults are reported through the context's SystemError with source "SCRIPT".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/GraphicsContext.h"

namespace halcyra {

class CPSD {
 public:
  explicit CPSD(const GraphicsContext& context) : context_(&context) {}

  // Reads the picture at game path fileName: the loose file, else the member of the picture
  // archive (unscrambled, LZSS-decoded), then checks it as LoadData does. False after a report.
  bool Load(std::string_view fileName);
  // Takes plain PSD bytes; fileName names the picture in messages. Checks the header, the
  // colour mode, the depth, the sections and the channel and layer counts. False after a report.
  bool LoadData(std::vector<std::uint8_t> bytes, std::string_view fileName);

  // Pixels, from the header; 0 before a successful load.
  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  // Frames the picture gives: the number of layers, at least 1.
  int GetLayerCount() const { return frameCount_; }
  bool IsLayered() const { return layered_; }

  // Writes frame layer into destination: GetWidth() x GetHeight() pixels at pitchBytes bytes per
  // row, which the caller has cleared to 0. A three-channel document writes its composite (for
  // any layer) with alpha 255; false when that fails. A layered document writes the layer's red,
  // green, blue and transparency channels at the layer's place, dropping what lies outside the
  // document, and stops at the first channel that fails (reported); the result is still true
  // and alpha is set only when every channel was written. alpha: set true when the frame's
  // alpha bytes were written.
  bool DecodeLayer(std::uint32_t* destination, int layer, int pitchBytes, bool& alpha);

 private:
  // Where the channel data of one layer lies.
  struct LayerPlace {
    std::int32_t top = 0;
    std::int32_t left = 0;
    std::int32_t bottom = 0;
    std::int32_t right = 0;
    std::size_t channelInfo = 0;  // offset of the channel ID and length pairs
    int channelCount = 0;
    std::size_t channelData = 0;  // offset of the layer's first channel data block
  };
  // The columns of a row that land inside the document: layer columns [begin, end).
  struct VisibleSpan {
    int begin = 0;
    int end = 0;
  };
  enum class RowResult { kDone, kOverrun, kShort };

  bool Fail(int number, std::string_view message, std::string_view detail) const;
  bool ReadSections();
  bool CheckChannels();
  bool DecodeMerged(std::uint32_t* destination, int pitchBytes);
  bool DecodeLayerChannel(std::uint32_t* destination, int layer, int channelId, int byteIndex,
                          int pitchBytes);
  bool FindLayer(int layer, LayerPlace& place) const;
  bool ReadRecord(std::size_t& at, LayerPlace& place, std::size_t& dataLength) const;
  RowResult DecodeRow(bool packed, std::size_t& at, std::size_t end, int width,
                      std::uint8_t* visibleOut, VisibleSpan visible) const;
  std::string LayerOverrunText(int layer, int channelId) const;

  std::uint16_t Read16(std::size_t offset) const;
  std::uint32_t Read32(std::size_t offset) const;
  bool Has(std::size_t offset, std::size_t length) const;

  const GraphicsContext* context_;
  std::vector<std::uint8_t> data_;
  int width_ = 0;
  int height_ = 0;
  int channels_ = 0;
  bool layered_ = false;
  int frameCount_ = 0;
  int layerCount_ = 0;        // layers in the layer section (absolute value)
  bool mergedAlpha_ = false;  // the layer count was negative
  std::size_t layerRecords_ = 0;
  std::size_t mergedData_ = 0;
  std::string name_;
  // Warnings that let decoding go on are shown once per document, not once per frame.
  bool compressionReported_ = false;
  bool channelCountReported_ = false;
};

}  // namespace halcyra

// A scene to run layer statements on: the sprite table on the software compositor, the layer and
// motion statements attached, solid-colour test pictures in cg/, and a record of every presented
// frame taken when it is painted.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "graphics/SpriteTable.h"
#include "tests/support/ScriptFixture.h"

namespace halcyra::testing {

class LayerFixture : public ScriptFixture {
 protected:
  LayerFixture();

  // cg/NAME.bmp: a 24-bit picture of width x height in one colour (0xRRGGBB).
  void WritePicture(const std::string& name, int width, int height, std::uint32_t rgb);
  // Loads body as the script and runs it to its end; false when a statement ended the run.
  bool Run(const std::string& body);
  CDIBSprite& Slot(int slot) { return engine_.sprites->At(slot); }
  std::string RecordName(int record) const { return engine_.state->layerPicture[record]; }
  // The composed frame's pixel 0xAARRGGBB.
  std::uint32_t Pixel(int x, int y) const;

  // Frames painted since the fixture began; onFrame runs at each, after the frame was composed.
  int frames_ = 0;
  std::function<void()> onFrame;

 private:
  class CountingPainter : public ScreenPainter {
   public:
    explicit CountingPainter(LayerFixture& owner) : owner_(owner) {}
    void PaintScreen() override;

   private:
    LayerFixture& owner_;
  } painter_{*this};
};

}  // namespace halcyra::testing

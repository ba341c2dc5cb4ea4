#include "tests/scenario/LayerFixture.h"

#include "scenario/LayerCommands.h"
#include "tests/graphics/GraphicsFixtures.h"

namespace halcyra::testing {

void LayerFixture::CountingPainter::PaintScreen() {
  ++owner_.frames_;
  if (owner_.onFrame) owner_.onFrame();
}

LayerFixture::LayerFixture() {
  engine_.display->Release();
  engine_.display->Init(platform_, painter_, true);
  OpenScene();
  RegisterLayerStatements(script_);
}

void LayerFixture::WritePicture(const std::string& name, int width, int height, std::uint32_t rgb) {
  const int rowBytes = (width * 3 + 3) / 4 * 4;
  Bytes data(static_cast<std::size_t>(rowBytes) * height, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* pixel = &data[static_cast<std::size_t>(y) * rowBytes + 3 * x];
      pixel[0] = rgb & 0xFF;
      pixel[1] = rgb >> 8 & 0xFF;
      pixel[2] = rgb >> 16 & 0xFF;
    }
  }
  const Bytes bmp = MakeBmp(width, height, 24, 0, {}, data);
  folder_.Write("cg/" + name + ".bmp", std::string(bmp.begin(), bmp.end()));
}

bool LayerFixture::Run(const std::string& body) {
  if (!Load(body)) return false;
  return RunToEnd();
}

std::uint32_t LayerFixture::Pixel(int x, int y) const {
  return engine_.display->BackBuffer()[y * CDIB::kWidth + x];
}

}  // namespace halcyra::testing

#include "tests/scenario/EffectsFixture.h"

#include "graphics/SpriteTable.h"
#include "scenario/ScreenEffects.h"

namespace halcyra::testing {

void RecordingPainter::PaintScreen() {
  paints.push_back({display_.GetShakeX(), display_.GetShakeY(), display_.GetZoom(),
                    probe ? probe() : 0});
}

EffectsFixture::EffectsFixture() {
  engine_.display->Init(platform_, window_, true);
  OpenScene();
  RegisterScreenEffectStatements(script_);
}

CDIBSprite& EffectsFixture::Paint(int slot, int width, int height, std::uint32_t colour, int x,
                                  int y) {
  CDIBSprite& sprite = engine_.sprites->At(slot);
  EXPECT_TRUE(sprite.CreateBox(width, height, 1, true, false));
  sprite.GetSurface()->Fill(colour, 0);
  sprite.SetPosition(x, y);
  return sprite;
}

std::uint32_t EffectsFixture::Pixel(int x, int y) const {
  return engine_.display->BackBuffer()[y * CDIB::kWidth + x];
}

void EffectsFixture::ProbePixel(int x, int y) {
  window_.probe = [this, x, y] { return static_cast<std::int64_t>(Pixel(x, y)); };
}

bool EffectsFixture::Run(const std::string& body) {
  if (!Load(body)) return false;
  return RunToEnd();
}

std::vector<std::int64_t> EffectsFixture::Probes() const {
  std::vector<std::int64_t> values;
  for (const PaintRecord& paint : window_.paints) values.push_back(paint.probe);
  return values;
}

std::string Bmp(int width, int height, const std::function<std::uint32_t(int, int)>& colour) {
  const int stride = (width * 3 + 3) & ~3;
  Bytes data;
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t c = colour(x, y);
      data.push_back(static_cast<std::uint8_t>(c));
      data.push_back(static_cast<std::uint8_t>(c >> 8));
      data.push_back(static_cast<std::uint8_t>(c >> 16));
    }
    data.resize(data.size() + static_cast<std::size_t>(stride - width * 3), 0);
  }
  const Bytes file = MakeBmp(width, height, 24, 0, {}, data);
  return std::string(file.begin(), file.end());
}

}  // namespace halcyra::testing

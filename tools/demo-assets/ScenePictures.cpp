// The demo game's scene pictures, drawn by arithmetic: backgrounds 1000 pixels wide (they stand
// at x = -100, so the camera can pan) and standing sprites with transparent surroundings. Two
// sprites of one character share their size, so that changing between them morphs pixel by pixel.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "tools/demo-assets/DemoAssets.h"
#include "tools/demo-assets/PsdWriter.h"

namespace halcyra::demo {
namespace {

constexpr int kBackgroundWidth = 1000;
constexpr int kBackgroundHeight = 600;
constexpr int kSpriteWidth = 240;
constexpr int kSpriteHeight = 600;
constexpr int kFigureTop = 120;  // sprites stand at y = 0; the figure stands on the ground

struct Rgb {
  int r = 0;
  int g = 0;
  int b = 0;
};

std::uint32_t Opaque(const Rgb& c) {
  return 0xFF000000u | static_cast<std::uint32_t>(std::clamp(c.r, 0, 255)) << 16 |
         static_cast<std::uint32_t>(std::clamp(c.g, 0, 255)) << 8 |
         static_cast<std::uint32_t>(std::clamp(c.b, 0, 255));
}

Rgb Mix(const Rgb& a, const Rgb& b, double t) {
  return {static_cast<int>(a.r + (b.r - a.r) * t), static_cast<int>(a.g + (b.g - a.g) * t),
          static_cast<int>(a.b + (b.b - a.b) * t)};
}

// A sky fading from top to horizon over rolling hills.
Cell Meadow(const Rgb& skyTop, const Rgb& horizon, const Rgb& grass) {
  Cell cell(kBackgroundWidth, kBackgroundHeight);
  for (int y = 0; y < cell.height; ++y) {
    for (int x = 0; x < cell.width; ++x) {
      const double hill = 380 + 40 * std::sin(x / 90.0) + 25 * std::sin(x / 37.0 + 1.0);
      const Rgb colour = y < hill ? Mix(skyTop, horizon, y / hill)
                                  : Mix(grass, Rgb{grass.r / 2, grass.g / 2, grass.b / 2},
                                        (y - hill) / (cell.height - hill));
      cell.At(x, y) = Opaque(colour);
    }
  }
  return cell;
}

// A room: a papered wall with a window, and a wooden floor.
Cell Room() {
  Cell cell(kBackgroundWidth, kBackgroundHeight);
  for (int y = 0; y < cell.height; ++y) {
    for (int x = 0; x < cell.width; ++x) {
      Rgb colour{196, 176, 150};
      if ((x / 40) % 2 == 0) colour = {204, 184, 158};
      if (x > 600 && x < 820 && y > 110 && y < 330) colour = Mix({150, 200, 240}, {230, 240, 250}, (y - 110) / 220.0);
      if (y >= 430) colour = ((x + (y / 30) * 70) / 140) % 2 == 0 ? Rgb{120, 80, 50} : Rgb{132, 90, 58};
      cell.At(x, y) = Opaque(colour);
    }
  }
  return cell;
}

// A figure: a head, hair and a dress on a transparent ground; smiling draws the mouth as an arc.
Cell Figure(const Rgb& hair, const Rgb& dress, bool smiling) {
  Cell cell(kSpriteWidth, kSpriteHeight);
  const Rgb skin{246, 214, 190};
  const double cx = kSpriteWidth / 2.0;
  for (int y = 0; y < cell.height; ++y) {
    for (int x = 0; x < cell.width; ++x) {
      const double dx = x - cx;
      const double headY = y - kFigureTop - 110.0;
      const bool head = dx * dx / (55.0 * 55.0) + headY * headY / (65.0 * 65.0) <= 1.0;
      const bool hairCap = head && headY < -20 + 0.004 * dx * dx;
      const int bodyY = y - kFigureTop - 180;
      const double half = 40 + bodyY * 0.28;
      const bool body = bodyY >= 0 && std::abs(dx) <= half;
      const bool eye = (std::abs(dx + 20) < 6 || std::abs(dx - 20) < 6) && std::abs(headY + 5) < 7;
      const double mouthCurve = smiling ? 0.012 * dx * dx : -0.006 * dx * dx;
      const bool mouth = std::abs(dx) < 18 && std::abs(headY - 30 + mouthCurve) < 3;
      if (hairCap) {
        cell.At(x, y) = Opaque(hair);
      } else if (eye || mouth) {
        cell.At(x, y) = Opaque({60, 40, 40});
      } else if (head) {
        cell.At(x, y) = Opaque(skin);
      } else if (body) {
        cell.At(x, y) = Opaque(Mix(dress, {dress.r / 2, dress.g / 2, dress.b / 2}, bodyY / 300.0));
      }
    }
  }
  return cell;
}

bool Write(const std::filesystem::path& out, const std::string& name, const Cell& cell) {
  return WriteAsset(out / (name + ".psd"), EncodePsd({cell}));
}

}  // namespace

bool MakeScenePictures(const std::filesystem::path& out) {
  return Write(out, "meadow", Meadow({90, 150, 230}, {200, 225, 245}, {90, 160, 70})) &&
         Write(out, "meadow_dusk", Meadow({60, 50, 120}, {240, 150, 90}, {70, 100, 60})) &&
         Write(out, "room", Room()) &&
         Write(out, "ayla", Figure({120, 60, 30}, {200, 60, 90}, false)) &&
         Write(out, "ayla_smile", Figure({120, 60, 30}, {200, 60, 90}, true)) &&
         Write(out, "bren", Figure({40, 40, 50}, {60, 110, 180}, false));
}

}  // namespace halcyra::demo

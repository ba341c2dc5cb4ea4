// The demo game's message window: the window and name-window pictures with their frames, the
// icon bar (each icon a strip the width of the bar with its own button drawn at its place, two
// cells: normal and highlighted) and the animated key-wait icons.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/demo-assets/DemoAssets.h"
#include "tools/demo-assets/PsdWriter.h"

namespace halcyra::demo {
namespace {

constexpr std::uint32_t kNavy = 0xFF101A38;
constexpr std::uint32_t kDeepNavy = 0xFF080C1C;
constexpr std::uint32_t kGold = 0xFFD8B868;
constexpr std::uint32_t kPaleGold = 0xFFF4E2A8;

// The window: 760 x 190 (placed 20 pixels in from the left of the 800-pixel text surface).
constexpr int kWindowWidth = 760;
constexpr int kWindowHeight = 190;
constexpr int kNameWidth = 200;
constexpr int kNameHeight = 40;
// The icon bar: nine buttons of 44 x 22 every 48 pixels.
constexpr int kIconCount = 9;
constexpr int kIconPitch = 48;
constexpr int kButtonWidth = 44;
constexpr int kButtonHeight = 22;
constexpr int kKeyWaitSize = 24;
constexpr int kKeyWaitCells = 4;

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t) {
  auto channel = [&](int shift) {
    const double value = ((a >> shift) & 0xFF) * (1.0 - t) + ((b >> shift) & 0xFF) * t;
    return static_cast<std::uint32_t>(std::clamp(value, 0.0, 255.0)) << shift;
  };
  return channel(24) | channel(16) | channel(8) | channel(0);
}

// True inside a rectangle with rounded corners of the given radius.
bool InRoundedBox(int x, int y, int width, int height, int radius) {
  const int cx = std::clamp(x, radius, width - 1 - radius);
  const int cy = std::clamp(y, radius, height - 1 - radius);
  const int dx = x - cx;
  const int dy = y - cy;
  return dx * dx + dy * dy <= radius * radius;
}

// The background: a vertical gradient, opaque inside the rounded outline (the game draws it
// translucent).
Cell Background(int width, int height, int radius) {
  Cell cell(width, height);
  for (int y = 0; y < height; ++y) {
    const std::uint32_t colour = Mix(kNavy, kDeepNavy, static_cast<double>(y) / height);
    for (int x = 0; x < width; ++x) {
      if (InRoundedBox(x, y, width, height, radius)) cell.At(x, y) = colour;
    }
  }
  return cell;
}

// The frame: a two-pixel gold line along the rounded outline, transparent elsewhere.
Cell Frame(int width, int height, int radius) {
  Cell cell(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool inside = InRoundedBox(x, y, width, height, radius);
      const bool deepInside = x >= 2 && y >= 2 && x < width - 2 && y < height - 2 &&
                              InRoundedBox(x - 2, y - 2, width - 4, height - 4, radius - 2);
      if (inside && !deepInside) cell.At(x, y) = kGold;
    }
  }
  return cell;
}

// Small marks that tell the buttons apart: a pattern of dots per icon.
void DrawMark(Cell& cell, int left, int icon, std::uint32_t colour) {
  for (int dot = 0; dot < icon; ++dot) {
    const int x = left + 8 + (dot % 5) * 6;
    const int y = 6 + (dot / 5) * 7;
    for (int dy = 0; dy < 3; ++dy) {
      for (int dx = 0; dx < 3; ++dx) cell.At(x + dx, y + dy) = colour;
    }
  }
}

// Icon n: a strip as wide as the bar, with only its own button drawn, so that every icon can
// sit at the bar's place and be hit on its own pixels.
std::vector<Cell> IconCells(int icon) {
  std::vector<Cell> cells;
  for (const bool highlighted : {false, true}) {
    Cell cell(kIconCount * kIconPitch, kButtonHeight);
    const int left = (icon - 1) * kIconPitch;
    const std::uint32_t fill = highlighted ? kGold : kNavy;
    const std::uint32_t ink = highlighted ? kDeepNavy : kPaleGold;
    for (int y = 0; y < kButtonHeight; ++y) {
      for (int x = 0; x < kButtonWidth; ++x) {
        if (!InRoundedBox(x, y, kButtonWidth, kButtonHeight, 6)) continue;
        const bool edge = !InRoundedBox(x - 1, y - 1, kButtonWidth - 2, kButtonHeight - 2, 5);
        cell.At(left + x, y) = edge ? kGold : fill;
      }
    }
    DrawMark(cell, left, icon, ink);
    cells.push_back(std::move(cell));
  }
  return cells;
}

// The key-wait icon: a triangle pointing down (page) or right (line) that bobs over its
// cells; the mode icons carry two triangles in their colour.
std::vector<Cell> KeyWaitCells(bool down, int triangles, std::uint32_t colour) {
  std::vector<Cell> cells;
  for (int step = 0; step < kKeyWaitCells; ++step) {
    Cell cell(kKeyWaitSize, kKeyWaitSize);
    const int shift = step < kKeyWaitCells / 2 ? step : kKeyWaitCells - step;
    for (int k = 0; k < triangles; ++k) {
      const int offset = k * 8 + shift * 2;
      for (int a = 0; a < 8; ++a) {
        for (int b = a; b < 16 - a; ++b) {
          const int x = down ? 4 + b : 4 + a + offset;
          const int y = down ? 4 + a + offset : 4 + b;
          if (x < kKeyWaitSize && y < kKeyWaitSize) cell.At(x, y) = colour;
        }
      }
    }
    cells.push_back(std::move(cell));
  }
  return cells;
}

// A choice bar: a picture as wide as the screen (the game places every bar at x 0) with a
// rounded box in its middle, under the centred choice text; the highlight is the box's frame.
constexpr int kScreenWidth = 800;
constexpr int kChoiceWidth = 440;
constexpr int kChoiceHeight = 36;

Cell ChoiceBar(bool highlight) {
  const Cell box = highlight ? Frame(kChoiceWidth, kChoiceHeight, 12)
                             : Background(kChoiceWidth, kChoiceHeight, 12);
  Cell cell(kScreenWidth, kChoiceHeight);
  const int left = (kScreenWidth - kChoiceWidth) / 2;
  for (int y = 0; y < kChoiceHeight; ++y) {
    for (int x = 0; x < kChoiceWidth; ++x) {
      cell.At(left + x, y) = box.pixels[std::size_t(y) * kChoiceWidth + x];
    }
  }
  return cell;
}

struct Picture {
  std::string name;
  std::vector<Cell> cells;
};

}  // namespace

bool MakeWindowPictures(const std::filesystem::path& out) {
  const char* const iconNames[kIconCount] = {"_iLog",  "_iLoad", "_iSave",   "_iPrevSel",
                                             "_iNextSel", "_iSkip", "_iAuto", "_iOption",
                                             "_iExit"};
  std::vector<Picture> pictures;
  pictures.push_back({"_Window.psd", {Background(kWindowWidth, kWindowHeight, 16)}});
  pictures.push_back({"_Window_F.psd", {Frame(kWindowWidth, kWindowHeight, 16)}});
  pictures.push_back({"_Name.psd", {Background(kNameWidth, kNameHeight, 10)}});
  pictures.push_back({"_Name_F.psd", {Frame(kNameWidth, kNameHeight, 10)}});
  for (int icon = 1; icon <= kIconCount; ++icon) {
    pictures.push_back({std::string(iconNames[icon - 1]) + ".psd", IconCells(icon)});
  }
  pictures.push_back({"_Sel.psd", {ChoiceBar(false)}});
  pictures.push_back({"_Sel_S.psd", {ChoiceBar(true)}});
  pictures.push_back({"_Ret.psd", KeyWaitCells(false, 1, kPaleGold)});
  pictures.push_back({"_RetPage.psd", KeyWaitCells(true, 1, kPaleGold)});
  pictures.push_back({"_RetAuto.psd", KeyWaitCells(false, 2, 0xFF88D8A0)});
  pictures.push_back({"_RetSkip.psd", KeyWaitCells(false, 2, 0xFFE89078)});
  for (const Picture& picture : pictures) {
    if (!WriteAsset(out / picture.name, EncodePsd(picture.cells))) return false;
  }
  return true;
}

}  // namespace halcyra::demo

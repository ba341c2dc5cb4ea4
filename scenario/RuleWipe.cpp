#include "scenario/RuleWipe.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "graphics/CDIB.h"
#include "graphics/CDIBitmap.h"
#include "graphics/PixelOps.h"
#include "graphics/SimdFlag.h"
#include "graphics/SpriteTable.h"
#include "scenario/EffectSupport.h"
#include "scenario/LayerModel.h"
#include "scenario/LayerTransitions.h"
#include "scenario/MessageWindow.h"
#include "scenario/SoundCommands.h"
#include "scenario/TintTable.h"
#include "script/CScript.h"
#include "script/Engine.h"

namespace halcyra {
namespace {

constexpr int kNewPictureSlot = 12;
constexpr int kOverlay1Slot = 2;  // background overlay 1, exchanged with an empty background
constexpr int kClearedSlots[] = {10, 12, 14};
constexpr int kClearedRecords[] = {1, 2, 3};
constexpr std::uint32_t kOpaqueBlack = 0xFF000000u;

// Reports a picture that is not screen-sized; it is fitted to the screen all the same.
void CheckScreenSize(CScript& script, const std::string& path, int width, int height) {
  if (width != kWipeWidth || height != kWipeHeight) script.ParamError(path);
}

// Reads the rule picture into its screen-sized working copy; false when it is missing or
// unreadable (reported).
bool LoadRule(CScript& script, const std::string& name, std::span<std::uint32_t> rule) {
  const std::string path = FindPicture(script, name, false);
  if (path.empty()) return false;
  GraphicsContext context = script.GetEngine().display->Context();
  context.accelerated = nullptr;  // a private picture: pixels only
  CDIBitmap picture(context);
  if (!picture.LoadPicture(path)) return false;
  CheckScreenSize(script, path, picture.GetWidth(), picture.GetHeight());
  FitRule(picture.GetBits(0), picture.GetWidth(), picture.GetHeight(), rule);
  return true;
}

// Loads the new picture into slot 12, hidden (an empty name: opaque black), and fits its first
// frame into the working copy; false when the picture is missing or unreadable (reported).
bool LoadNewPicture(CScript& script, const std::string& name, std::span<std::uint32_t> fitted) {
  CDIBSprite& sprite = script.GetEngine().sprites->At(kNewPictureSlot);
  if (name.empty()) {
    if (!FillScreenPicture(sprite, kBlack)) return false;
  } else {
    const std::string path = FindPicture(script, name, false);
    if (path.empty() || !sprite.Load(path)) return false;
    CheckScreenSize(script, path, sprite.GetWidth(), sprite.GetHeight());
  }
  sprite.Show(false);
  FitPicture(sprite.GetSurface()->GetBits(0), sprite.GetWidth(), sprite.GetHeight(), fitted);
  return true;
}

// The background layer must hold a picture during the sweep: an empty one gets black, unless
// the effect layer holds a frozen scene, when overlay 1 and the background change places.
void PrepareBackground(SpriteTable& sprites) {
  CDIBSprite& background = sprites.At(0);
  const bool hasBackground = background.GetSurface() != nullptr;
  if (hasBackground || sprites.At(kEffectLayerSlot).GetSurface() == nullptr) {
    if (!hasBackground) FillScreenPicture(background, kBlack);
    return;
  }
  sprites.Swap(kOverlay1Slot, 0);
}

// The sweep: levels from 0 by step while below 256, then 255. Stops early when cancelled or a
// return to the title is asked for; false when the window closes.
bool Sweep(CScript& script, std::span<const std::uint32_t> rule,
           std::span<const std::uint32_t> picture, int step) {
  CDIB& display = *script.GetEngine().display;
  for (int level = 0; level < 256; level += step) {
    if (!script.Poll()) return false;
    if (script.IsTitleRequested() || script.IsEffectCancelled()) break;
    RuleWipe(level, rule.data(), picture.data(), display.BackBuffer(), kWipePixels);
    display.RepaintWindow();
  }
  RuleWipe(255, rule.data(), picture.data(), display.BackBuffer(), kWipePixels);
  display.RepaintWindow();
  return script.Poll();
}

// The new picture becomes the background: record 0 names it (levels 255) and records 1..3 are
// cleared.
void RecordNewBackground(GameState& state, const std::string& picture) {
  GameState::CopyName(state.layerPicture[0], picture);
  state.layerBrightness[0] = 255;
  state.layerOpacity[0] = 255;
  for (const int record : kClearedRecords) GameState::CopyName(state.layerPicture[record], "");
}

bool RuleEffect(CScript& script, bool readKind) {
  script.ConsumeToken();
  std::string kind(kFadeIn);
  if (readKind) {
    kind = ReadWord(script);
    ReadWord(script);  // the value: read and not used
  }
  const std::string ruleName = ReadWord(script);
  std::string picture = ReadWord(script);
  script.ExpandName(picture);
  MarkPictureSeen(script, picture);
  Engine& engine = script.GetEngine();
  RecordNewBackground(*engine.state, picture);
  if (script.IsFastForward()) {
    engine.state->flags[GameState::kBackgroundEffectFlag] = 0;
    return true;
  }
  const int step = std::max(1, TableStep(script) / 2);
  std::vector<std::uint32_t> rule(kWipePixels);
  std::vector<std::uint32_t> fitted(kWipePixels);
  if (!LoadRule(script, ruleName, rule) || !LoadNewPicture(script, picture, fitted)) return true;
  // The sweep paints over the whole screen, the window included: the window steps aside.
  const bool hideWindow = engine.state->flags[GameState::kWindowOffFlag] == 0;
  if (hideWindow) HideWindowSprites(engine, true);
  script.Present();
  SpriteTable& sprites = *engine.sprites;
  PrepareBackground(sprites);
  // The screen is dimmed in page mode; the incoming picture is dimmed alike so that the sweep
  // matches it.
  const int dim = engine.state->flags[GameState::kPageDimFlag];
  if (dim != 0 && HasMmx()) Darken(fitted.data(), kWipeWidth, kWipeHeight, dim);
  if (kind != kFadeIn) {
    script.ParamError(kind);
  } else if (!Sweep(script, rule, fitted, step)) {
    return false;
  }
  if (!ShowPicture(script, 0, picture, kFadeSet, 0, 0, 0, 0, false)) return false;
  LookUpTint(script, picture, false);
  for (const int slot : kClearedSlots) sprites.At(slot).Release();
  if (hideWindow) HideWindowSprites(engine, false);
  return true;
}

}  // namespace

void FitRule(const std::uint32_t* pixels, int width, int height, std::span<std::uint32_t> screen) {
  std::array<int, kWipeWidth> columns{};
  for (int x = 0; x < kWipeWidth; ++x) columns[x] = x * width / kWipeWidth;
  for (int y = 0; y < kWipeHeight; ++y) {
    const std::uint32_t* source =
        pixels + static_cast<std::ptrdiff_t>(y * height / kWipeHeight) * width;
    std::uint32_t* row = screen.data() + static_cast<std::ptrdiff_t>(y) * kWipeWidth;
    for (int x = 0; x < kWipeWidth; ++x) row[x] = source[columns[x]];
  }
}

void FitPicture(const std::uint32_t* pixels, int width, int height,
                std::span<std::uint32_t> screen) {
  std::fill(screen.begin(), screen.end(), kOpaqueBlack);
  const int columns = std::min(width, kWipeWidth);
  const int rows = std::min(height, kWipeHeight);
  for (int y = 0; y < rows; ++y) {
    const std::uint32_t* source = pixels + static_cast<std::ptrdiff_t>(y) * width;
    std::copy_n(source, columns, screen.data() + static_cast<std::ptrdiff_t>(y) * kWipeWidth);
  }
}

void RegisterRuleWipeStatements(CScript& script) {
  script.SetStatementHandler("effect", [](CScript& s) { return RuleEffect(s, true); });
  script.SetStatementHandler("ef2", [](CScript& s) { return RuleEffect(s, false); });
}

}  // namespace halcyra

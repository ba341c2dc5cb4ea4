#include "scenario/LayerTransitions.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "graphics/CDIB.h"
#include "graphics/PixelOps.h"
#include "graphics/SimdFlag.h"
#include "graphics/SpriteTable.h"
#include "scenario/LayerModel.h"
#include "scenario/TintTable.h"
#include "script/CScript.h"
#include "script/Engine.h"
#include "script/ScriptReader.h"
#include "script/ScriptTexts.h"

namespace halcyra {
namespace {

constexpr int kFullLevel = 255;
constexpr int kLevelEnd = 256;
constexpr int kScreenWidth = CDIB::kWidth;
constexpr int kScreenHeight = CDIB::kHeight;
constexpr int kScrollLimit = 799;  // a scrolling picture is gone once |x| passes this
constexpr int kScrollSpeedFactor = 3;
constexpr int kOverlaySlots[] = {2, 4, 6};
constexpr int kStandingSlots[] = {10, 12, 14};
constexpr int kFirstTintedSlot = 10;
constexpr int kLastTintedSlot = 15;
constexpr int kMorphSteps[] = {16, 24, 32};  // by the number of morphing pairs
// The placeholder: grey, with the name in a bold 72-pixel fixed-pitch font at (100, 100).
constexpr char kPlaceholderFace[] = "\x82l\x82r \x83S\x83V\x83""b\x83N";  // ＭＳ ゴシック
constexpr int kPlaceholderFontHeight = 72;
constexpr int kPlaceholderTextX = 100;
constexpr int kPlaceholderTextY = 100;
constexpr int kPlaceholderGrey = 128;

using Slots = std::array<int, 4>;

SpriteTable& Sprites(CScript& script) { return *script.GetEngine().sprites; }

bool HoldsPicture(const CDIBSprite& sprite) {
  return sprite.GetSurface() != nullptr && sprite.GetSurface()->IsValid();
}

void ClearRecordOfSlot(CScript& script, int slot) {
  const int record = RecordOfSlot(slot);
  if (record != kNoRecord) GameState::CopyName(script.GetEngine().state->layerPicture[record], "");
}

void EmptySlot(CScript& script, int slot) {
  Sprites(script).At(slot).Release();
  ClearRecordOfSlot(script, slot);
}

// What one frame of an animation does after polling.
enum class FrameStart { kGoOn, kCancelled, kClosing };

FrameStart StartFrame(CScript& script) {
  if (!script.Poll()) return FrameStart::kClosing;
  return script.IsEffectCancelled() ? FrameStart::kCancelled : FrameStart::kGoOn;
}

// The slots a fade acts on: the given ones, and in background mode the overlays too.
std::vector<int> FadeSlots(const Slots& slots, bool withOverlays) {
  std::vector<int> result;
  for (int slot : slots) {
    if (slot != kNoSlot) result.push_back(slot);
  }
  if (withOverlays && slots[0] == 0) result.insert(result.begin() + 1, std::begin(kOverlaySlots), std::end(kOverlaySlots));
  return result;
}

bool FadeOut(CScript& script, const Slots& slots, int step) {
  const bool background = slots[0] == 0;
  const std::vector<int> faded = FadeSlots(slots, true);
  SpriteTable& sprites = Sprites(script);
  for (int level = kFullLevel; level > 0; level -= step) {
    const FrameStart start = StartFrame(script);
    if (start == FrameStart::kClosing) return false;
    if (start == FrameStart::kCancelled) break;
    for (int slot : faded) {
      if (background) {
        sprites.At(slot).SetBrightness(level);
      } else {
        sprites.At(slot).SetOpacity(level);
      }
    }
    script.Present();
  }
  for (int slot : faded) EmptySlot(script, slot);
  if (background) script.GetEngine().display->SetPan(0);
  script.Present();
  return true;
}

void SetFadeInLevel(SpriteTable& sprites, const Slots& slots, int level) {
  const bool background = slots[0] == 0;
  for (int slot : slots) {
    if (slot == kNoSlot) continue;
    CDIBSprite& sprite = sprites.At(slot);
    if (!background) {
      sprite.SetOpacity(level);
      continue;
    }
    sprite.SetBrightness(level);
    if (slot != 0) sprite.SetOpacity(kFullLevel);
  }
}

bool FadeIn(CScript& script, const Slots& slots, int step) {
  SpriteTable& sprites = Sprites(script);
  for (int level = 0; level < kLevelEnd; level += step) {
    const FrameStart start = StartFrame(script);
    if (start == FrameStart::kClosing) return false;
    if (start == FrameStart::kCancelled) break;
    SetFadeInLevel(sprites, slots, level);
    script.Present();
  }
  SetFadeInLevel(sprites, slots, kFullLevel);
  script.Poll();
  script.Present();
  return true;
}

void FadeStop(CScript& script, const Slots& slots) {
  SpriteTable& sprites = Sprites(script);
  for (int slot : slots) {
    if (slot == kNoSlot) continue;
    if (slots[0] == 0) {
      sprites.At(slot).SetBrightness(0);
    } else {
      sprites.At(slot).SetOpacity(0);
    }
  }
  script.Present();
}

bool MosaicOut(CScript& script, int slot, int step) {
  CDIBSprite& sprite = Sprites(script).At(slot);
  for (int level = 0; level < kFullLevel; level += step) {
    const FrameStart start = StartFrame(script);
    if (start == FrameStart::kClosing) return false;
    if (start == FrameStart::kCancelled) break;
    sprite.SetMosaic(level);
    script.Present();
  }
  sprite.SetMosaic(kFullLevel);
  script.Present();
  return true;
}

bool MosaicIn(CScript& script, int slot, int step) {
  CDIBSprite& sprite = Sprites(script).At(slot);
  for (int level = kFullLevel; level > 0; level -= step) {
    const FrameStart start = StartFrame(script);
    if (start == FrameStart::kClosing) return false;
    if (start == FrameStart::kCancelled) break;
    sprite.SetMosaic(level);
    script.Present();
  }
  sprite.SetMosaic(0);
  script.Present();
  return true;
}

bool ScrollOut(CScript& script, int slot, int distance) {
  CDIBSprite& sprite = Sprites(script).At(slot);
  int x = sprite.GetX();
  for (;;) {
    const FrameStart start = StartFrame(script);
    if (start == FrameStart::kClosing) return false;
    if (start == FrameStart::kCancelled) break;
    x += distance;
    if (x < -kScrollLimit || x > kScrollLimit) break;
    sprite.SetPosition(x, sprite.GetY());
    script.Present();
  }
  EmptySlot(script, slot);
  script.Present();
  return true;
}

void SetCrossLevel(SpriteTable& sprites, const Slots& slots, int level) {
  if (slots[0] != 0) sprites.At(slots[0]).SetOpacity(level);
  sprites.At(slots[0] + 1).SetOpacity(kFullLevel - level);
  for (std::size_t i = 1; i < slots.size(); ++i) {
    if (slots[i] != kNoSlot) sprites.At(slots[i]).SetOpacity(level);
  }
}

bool CrossFadeSlots(CScript& script, const Slots& slots, int step) {
  SpriteTable& sprites = Sprites(script);
  CDIBSprite& incoming = sprites.At(slots[0]);
  const bool hadAlpha = incoming.HasAlpha();
  incoming.SetAlpha(true);
  sprites.At(slots[0] + 1).SetAlpha(true);
  for (int level = 0; level < kLevelEnd; level += step) {
    const FrameStart start = StartFrame(script);
    if (start == FrameStart::kClosing) return false;
    if (start == FrameStart::kCancelled) break;
    SetCrossLevel(sprites, slots, level);
    script.Present();
  }
  for (int slot : slots) {
    if (slot != kNoSlot) sprites.At(slot).SetOpacity(kFullLevel);
  }
  sprites.At(slots[0]).SetAlpha(hadAlpha);
  sprites.At(slots[0] + 1).Release();
  script.Poll();
  script.Present();
  return true;
}

// Fast-forward mode: a transition only empties records.
void TransitionRecords(CScript& script, std::string_view kind, const Slots& slots) {
  if (kind == kFadeOut) {
    for (int slot : FadeSlots(slots, true)) ClearRecordOfSlot(script, slot);
  } else if ((kind == kScrollLeftOut || kind == kScrollRightOut) && slots[0] != kNoSlot) {
    ClearRecordOfSlot(script, slots[0]);
  }
}

void StoreRecord(CScript& script, int slot, int x, int y, int velocityX, int velocityY,
                 bool wrap) {
  const int record = RecordOfSlot(slot);
  if (record == kNoRecord) return;
  GameState& state = *script.GetEngine().state;
  state.layerX[record] = x;
  state.layerY[record] = y;
  state.layerBrightness[record] = kFullLevel;
  state.layerOpacity[record] = kFullLevel;
  state.layerVelocityX[record] = velocityX;
  state.layerVelocityY[record] = velocityY;
  state.layerWrap[record] = wrap ? 1 : 0;
}

bool IsKnownKind(std::string_view kind) {
  static constexpr std::string_view kKinds[] = {kFadeNone, kFadeSet, kFadeIn, kFadeIn2,
                                                kFadeOut, kFadeCross, kFadeStop, kMosaicOut,
                                                kMosaicIn, kScrollLeftOut, kScrollRightOut};
  return std::find(std::begin(kKinds), std::end(kKinds), kind) != std::end(kKinds);
}

bool IsScrollOut(std::string_view kind) {
  return kind == kScrollLeftOut || kind == kScrollRightOut;
}

// Draws the name's characters into a transparent scratch picture and blends it onto the grey.
void WritePlaceholderName(Engine& engine, std::uint32_t* pixels, int pitch, std::string_view name) {
  if (engine.text == nullptr) return;
  FontRequest request;
  request.faceName = kPlaceholderFace;
  request.height = kPlaceholderFontHeight;
  request.bold = true;
  const TextFont* font = engine.text->CreateFont(request);
  if (font == nullptr) return;
  constexpr int kWidth = kScreenWidth - kPlaceholderTextX;
  constexpr int kHeight = kScreenHeight - kPlaceholderTextY;
  std::vector<std::uint32_t> scratch(static_cast<std::size_t>(kWidth) * kHeight, 0u);
  const GlyphTextRenderer::Surface surface{scratch.data(), kWidth, kWidth, kHeight};
  int x = 0;
  for (std::size_t i = 0; i < name.size() && x < kWidth;) {
    const auto lead = static_cast<unsigned char>(name[i]);
    const bool wide = ScriptReader::IsLeadByte(lead) && i + 1 < name.size();
    const std::uint16_t code =
        wide ? static_cast<std::uint16_t>(lead << 8 | static_cast<unsigned char>(name[i + 1]))
             : lead;
    engine.text->DrawGlyph(*font, code, kFullLevel, x, 0, surface);
    x += wide ? kPlaceholderFontHeight : kPlaceholderFontHeight / 2;
    i += wide ? 2 : 1;
  }
  engine.text->ReleaseFont(font);
  AlphaBlend(pixels + static_cast<std::ptrdiff_t>(kPlaceholderTextY) * pitch + kPlaceholderTextX,
             pitch, scratch.data(), kWidth, kHeight, kWidth);
}

}  // namespace

bool RunTransition(CScript& script, std::string_view kind, int a, int b, int c, int d,
                   int divisor) {
  const Slots slots{a, b, c, d};
  if (script.IsFastForward()) {
    TransitionRecords(script, kind, slots);
    return true;
  }
  if (!IsKnownKind(kind)) {
    script.ScriptError(script_texts::kBadParameter, kind);
    return true;
  }
  const int tableStep = EffectStep(script.GetEngine().settings.effect.speed);
  const int step = std::max(1, tableStep / std::max(1, divisor));
  if (kind == kFadeSet) return true;
  if (kind == kFadeNone) return script.Present();
  if (a == kNoSlot) return true;
  if (kind == kFadeOut) return FadeOut(script, slots, step);
  if (kind == kFadeStop) {
    FadeStop(script, slots);
    return true;
  }
  if (kind == kFadeIn) return FadeIn(script, slots, step);
  if (kind == kFadeIn2) return FadeIn(script, slots, std::max(1, tableStep / 4));
  if (kind == kMosaicOut) return MosaicOut(script, a, tableStep);
  if (kind == kMosaicIn) return MosaicIn(script, a, tableStep);
  if (kind == kScrollLeftOut) return ScrollOut(script, a, -kScrollSpeedFactor * tableStep);
  if (kind == kScrollRightOut) return ScrollOut(script, a, kScrollSpeedFactor * tableStep);
  return CrossFadeSlots(script, slots, step);
}

bool PlacePicture(CScript& script, int slot, std::string_view name, int x, int y) {
  Engine& engine = script.GetEngine();
  CDIBSprite& sprite = engine.sprites->At(slot);
  const std::string path = FindPicture(script, name, script.GetEngine().makePlaceholders);
  bool loaded = false;
  if (!path.empty()) {
    loaded = sprite.Load(path);
  } else if (engine.makePlaceholders) {
    MakePlaceholder(script, slot, name);
    loaded = true;
  }
  if (slot >= kFirstTintedSlot && slot <= kLastTintedSlot) ApplyTint(sprite, *engine.state);
  sprite.SetPosition(x, y);
  sprite.SetHoldLast(true);
  return loaded;
}

bool ShowPicture(CScript& script, int slot, std::string_view name, std::string_view kind, int x,
                 int y, int velocityX, int velocityY, bool wrap) {
  const int record = RecordOfSlot(slot);
  if (record != kNoRecord) GameState::CopyName(script.GetEngine().state->layerPicture[record], name);
  const bool takesAway = kind == kFadeOut || IsScrollOut(kind);
  if (script.IsFastForward()) {
    if (name.empty() || takesAway) {
      ClearRecordOfSlot(script, slot);
    } else {
      StoreRecord(script, slot, x, y, velocityX, velocityY, wrap);
    }
    return true;
  }
  if (takesAway) return RunTransition(script, kind, slot, kNoSlot, kNoSlot, kNoSlot, 1);
  SpriteTable& sprites = Sprites(script);
  if (name.empty()) {
    if (kind == kFadeCross) return RunTransition(script, kFadeOut, slot, kNoSlot, kNoSlot, kNoSlot, 1);
    sprites.At(slot).Release();
    return RunTransition(script, kind, slot, kNoSlot, kNoSlot, kNoSlot, 1);
  }
  if (kind == kFadeCross) {
    sprites.Swap(slot, slot + 1);
    CDIBSprite& outgoing = sprites.At(slot + 1);
    if (!HoldsPicture(outgoing)) outgoing.CreateBox(kScreenWidth, kScreenHeight, 1, true, false);
  }
  PlacePicture(script, slot, name, x, y);
  StoreRecord(script, slot, x, y, velocityX, velocityY, wrap);
  if (slot == 0 && kind == kFadeCross) {
    return RunTransition(script, kFadeCross, 0, kStandingSlots[0], kStandingSlots[1],
                         kStandingSlots[2], 1);
  }
  return RunTransition(script, kind, slot, kNoSlot, kNoSlot, kNoSlot, 1);
}

void MakePlaceholder(CScript& script, int slot, std::string_view name) {
  Engine& engine = script.GetEngine();
  CDIBSprite& sprite = engine.sprites->At(slot);
  if (!sprite.CreateBox(kScreenWidth, kScreenHeight, 1, true, false)) return;
  CDIBitmap& picture = *sprite.GetSurface();
  int pitch = 0;
  std::uint32_t* pixels = nullptr;
  if (!picture.Lock(0, pitch, pixels)) return;
  FillRect(pixels, kPlaceholderGrey, kPlaceholderGrey, kPlaceholderGrey, kFullLevel, kScreenWidth,
           kScreenHeight, pitch * static_cast<int>(sizeof(std::uint32_t)));
  WritePlaceholderName(engine, pixels, pitch, name);
  picture.Unlock(0);
}

bool ClearBeforeScene(CScript& script, bool withBackground, std::string_view kind) {
  if (kind != kFadeIn && kind != kMosaicIn) return true;
  SpriteTable& sprites = Sprites(script);
  bool shown = withBackground && HoldsPicture(sprites.At(0));
  for (int slot : kStandingSlots) shown = shown || HoldsPicture(sprites.At(slot));
  if (!shown) return true;
  if (kind == kMosaicIn) return RunTransition(script, kMosaicOut, 0, kNoSlot, kNoSlot, kNoSlot, 1);
  if (withBackground) {
    return RunTransition(script, kFadeOut, 0, kStandingSlots[0], kStandingSlots[1],
                         kStandingSlots[2], 1);
  }
  return RunTransition(script, kFadeOut, kStandingSlots[0], kStandingSlots[1], kStandingSlots[2],
                       kNoSlot, 1);
}

namespace {

// A standing-sprite pair during a change: the new sprite in the slot, the old one after it.
struct ChangingPair {
  int slot = 0;
  bool changed = false;
  bool morphs = false;
  std::vector<std::uint32_t> before;  // the old picture's pixels, when it morphs
};

bool PairMorphs(const CDIBSprite& incoming, const CDIBSprite& outgoing) {
  return HoldsPicture(incoming) && HoldsPicture(outgoing) && incoming.GetX() == outgoing.GetX() &&
         incoming.GetWidth() == outgoing.GetWidth() &&
         incoming.GetHeight() == outgoing.GetHeight();
}

// The old sprite's frame 0 becomes the cross blend of its first pixels and the new picture.
void MorphStep(SpriteTable& sprites, ChangingPair& pair, int level) {
  CDIBitmap* incoming = sprites.At(pair.slot).GetSurface();
  CDIBitmap* outgoing = sprites.At(pair.slot + 1).GetSurface();
  int pitch = 0;
  std::uint32_t* target = nullptr;
  if (!outgoing->Lock(0, pitch, target)) return;
  const int width = outgoing->GetWidth();
  const int pitchBytes = width * static_cast<int>(sizeof(std::uint32_t));
  CrossFade(target, pitch * static_cast<int>(sizeof(std::uint32_t)), incoming->GetBits(0),
            pitchBytes, pair.before.data(), pitchBytes, width, outgoing->GetHeight(),
            std::min(level, kFullLevel));
  outgoing->Unlock(0);
}

}  // namespace

bool ChangeSprites(CScript& script, std::span<const SpriteChange> changes) {
  SpriteTable& sprites = Sprites(script);
  std::array<ChangingPair, 3> pairs;
  for (std::size_t i = 0; i < pairs.size(); ++i) pairs[i].slot = kStandingSlots[i];
  for (const SpriteChange& change : changes) {
    auto pair = std::find_if(pairs.begin(), pairs.end(),
                             [&](const ChangingPair& p) { return p.slot == change.slot; });
    if (pair == pairs.end()) continue;
    pair->changed = true;
    sprites.Swap(change.slot, change.slot + 1);
    if (!ShowPicture(script, change.slot, change.name, kFadeSet, change.x, 0, 0, 0, false)) return false;
  }
  int morphing = 0;
  for (ChangingPair& pair : pairs) {
    CDIBSprite& incoming = sprites.At(pair.slot);
    CDIBSprite& outgoing = sprites.At(pair.slot + 1);
    if (!pair.changed || !PairMorphs(incoming, outgoing)) continue;
    const CDIBitmap& old = *outgoing.GetSurface();
    const std::uint32_t* first = old.GetBits(0);
    pair.before.assign(first, first + static_cast<std::size_t>(old.GetWidth()) * old.GetHeight());
    pair.morphs = true;
    incoming.Show(false);
    ++morphing;
  }
  const int step = morphing > 0 ? kMorphSteps[morphing - 1]
                                : EffectStep(script.GetEngine().settings.effect.speed);
  for (int level = 0; level < kLevelEnd; level += step) {
    const FrameStart start = StartFrame(script);
    if (start == FrameStart::kClosing) return false;
    if (start == FrameStart::kCancelled) break;
    for (ChangingPair& pair : pairs) {
      if (pair.morphs) {
        if (HasMmx()) MorphStep(sprites, pair, level);
        continue;
      }
      if (pair.changed) sprites.At(pair.slot).SetOpacity(level);
      sprites.At(pair.slot + 1).SetOpacity(kFullLevel - level);
    }
    script.Present();
  }
  for (const ChangingPair& pair : pairs) {
    sprites.At(pair.slot + 1).Release();
    sprites.At(pair.slot).SetOpacity(kFullLevel);
    sprites.At(pair.slot).Show(true);
  }
  script.Poll();
  script.Present();
  return true;
}

std::string FindPicture(CScript& script, std::string_view name, bool quiet) {
  const std::string stem = "cg\\" + std::string(name);
  if (script.CheckFile(stem + ".bmp", true)) return stem + ".bmp";
  const std::string psd = stem + ".psd";
  return script.CheckFile(psd, quiet) ? psd : std::string();
}

}  // namespace halcyra

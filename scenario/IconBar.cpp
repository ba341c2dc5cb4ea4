#include "scenario/IconBar.h"


#include "scenario/GuideVoices.h"
#include "scenario/MessageWindow.h"
#include "script/CScript.h"
#include "script/Engine.h"

namespace halcyra {
namespace {

namespace slots = message_slots;

constexpr int kIconOffsetX = 332;
constexpr int kIconOffsetY = 34;
constexpr int kGuideFlag = 100;  // the scenario flag that changes icon 8's guide

struct IconPicture {
  int icon;
  const char* path;
};
constexpr IconPicture kIconPictures[] = {
    {kIconLog, "cg\\_iLog.psd"},         {kIconLoad, "cg\\_iLoad.psd"},
    {kIconSave, "cg\\_iSave.psd"},       {kIconPreviousChoice, "cg\\_iPrevSel.psd"},
    {kIconNextChoice, "cg\\_iNextSel.psd"}, {kIconSkip, "cg\\_iSkip.psd"},
    {kIconAuto, "cg\\_iAuto.psd"},       {kIconOption, "cg\\_iOption.psd"},
    {kIconExit, "cg\\_iExit.psd"}};

bool IconApplies(int icon, bool scenario, bool noSave) {
  switch (icon) {
    case kIconLoad:
    case kIconSave: return scenario && !noSave;
    case kIconPreviousChoice:
    case kIconNextChoice: return scenario;
    case kIconExit: return !scenario;
    default: return true;
  }
}

// The guide voice entry of an icon; 0 for none.
int GuideEntry(int icon, bool alternative) {
  if (icon > 0 && icon < kIconOption) return icon;
  if (icon == kIconOption) return alternative ? 9 : 8;
  if (icon == kIconAffectionOption) return 9;
  return 0;
}

void ShowGuidePicture(Engine& engine, int icon, bool alternative) {
  CDIBSprite& guide = engine.sprites->At(slots::kIconGuide);
  if (icon < kIconOption) {
    guide.SetFrame(icon - 1);
  } else if (icon == kIconOption) {
    guide.SetFrame(alternative ? 8 : 7);
  } else if (icon == kIconAffectionOption) {
    guide.SetFrame(15);
  } else {
    return;
  }
  guide.Show(true);
}

}  // namespace

void SetupIconBar(CScript& script) {
  Engine& engine = script.GetEngine();
  const GameState& state = *engine.state;
  SpriteTable& sprites = *engine.sprites;
  const WindowLayout layout = CurrentLayout(state);
  const bool noSave = state.flags[GameState::kNoSaveFlag] != 0;
  for (const IconPicture& picture : kIconPictures) {
    CDIBSprite& sprite = sprites.At(slots::kIconBase + picture.icon);
    if (!IconApplies(picture.icon, script.IsScenarioMode(), noSave)) {
      sprite.Release();
      continue;
    }
    if (!sprite.Load(picture.path)) continue;
    sprite.SetPosition(layout.x + kIconOffsetX, layout.y + kIconOffsetY);
    sprite.SetFrame(0);
    sprite.SetAnimating(true);
  }
  sprites.At(slots::kIconBase + kIconLog).Show(state.backlogCount > 0);
  // The previous-choice icon shows only while a choice can be returned to.
  sprites.At(slots::kIconBase + kIconPreviousChoice).Show(engine.saveMenu.mnPrev);
  const Settings::Window& window = engine.settings.window;
  if (!window.window) {
    sprites.At(slots::kBackground).Show(false);
    sprites.At(slots::kNameBackground).Show(false);
  }
  if (!window.board) sprites.At(slots::kNameBoard).Show(false);
  if (!window.icon) {
    for (int slot = slots::kIconBase; slot <= slots::kLastIcon; ++slot) sprites.At(slot).Show(false);
  }
}

int HoverIcons(CScript& script) {
  Engine& engine = script.GetEngine();
  SpriteTable& sprites = *engine.sprites;
  sprites.At(slots::kIconGuide).Show(false);
  for (int icon = 1; icon <= kLastHoverIcon; ++icon) {
    CDIBSprite& sprite = sprites.At(slots::kIconBase + icon);
    if (sprite.IsShown()) sprite.SetFrame(0);
  }
  for (int icon = 1; icon <= kLastHoverIcon; ++icon) {
    CDIBSprite& sprite = sprites.At(slots::kIconBase + icon);
    if (!sprite.HitTest(script.MouseX(), script.MouseY())) continue;
    sprite.SetFrame(1);
    if (engine.settings.window.guide) {
      ShowGuidePicture(engine, icon, engine.state->flags[kGuideFlag] == 1);
    }
    return icon;
  }
  return 0;
}

void EnterIcon(CScript& script, int icon) {
  Engine& engine = script.GetEngine();
  const Settings& settings = engine.settings;
  if (icon > 0 && icon != kIconExit) {
    const int entry = GuideEntry(icon, engine.state->flags[kGuideFlag] == 1);
    if (entry > 0) PlayGuideVoice(script, entry);
  }
  const bool affection = icon == kIconAffectionAdvance || icon == kIconAffectionOption;
  const int opacity = affection ? 255 : settings.koukando.alpha;
  engine.sprites->At(slots::kAffectionA).SetOpacity(opacity);
  engine.sprites->At(slots::kAffectionB).SetOpacity(opacity);
}

}  // namespace halcyra

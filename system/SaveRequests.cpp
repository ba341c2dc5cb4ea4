#include "system/SaveRequests.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/FileSystem.h"
#include "script/CScript.h"
#include "script/Engine.h"
#include "scenario/GuideVoices.h"
#include "system/SaveData.h"
#include "system/SaveMenu.h"
#include "system/SaveTexts.h"

namespace halcyra {
namespace {

constexpr int kNoticeSlot = 299;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr int kNoticeCharacterWidth = 24;
constexpr int kNoticeY = 4;
constexpr int kNoticePolls = 10;
constexpr std::uint32_t kNoticePollSleep = 100;

bool SavingRefused(const Engine& engine) { return engine.state->flags[GameState::kNoSaveFlag] != 0; }

// The caption with the slot file's date, and whether the file exists.
bool DateCaption(int slot, std::string_view caption, std::string& result) {
  LocalTime time;
  if (!FileWriteTime(HostPath(SlotFileName(slot)), time)) return false;
  result = DatedCaption(caption, time);
  return true;
}

void ShowQuickSaveNotice(CScript& script) {
  Engine& engine = script.GetEngine();
  if (engine.sprites == nullptr) return;
  CDIBSprite& notice = engine.sprites->At(kNoticeSlot);
  const std::string_view text = save_texts::kQuickSaved;
  notice.SetText(text, engine.fonts[0], kWhite, kNoticeCharacterWidth, true);
  notice.SetPosition(800 - static_cast<int>(text.size() / 2) * kNoticeCharacterWidth, kNoticeY);
  script.Present();
  for (int i = 0; i < kNoticePolls; ++i) {
    script.Poll();
    script.GetPlatform().Sleep(kNoticePollSleep);
  }
  notice.Release();
  script.Present();
}

int PreviousChoice(CScript& script) {
  if (!LoadSlot(script, kChoiceSlot, false)) return kRequestNone;
  UpdateMenuState(script, false);
  return kRequestPositionChanged;
}

int QuickLoad(CScript& script) {
  if (SavingRefused(script.GetEngine()) || !LoadSlot(script, kQuickSlot, true)) return kRequestNone;
  PlayGuideVoice(script, kQuickLoadGuide);
  UpdateMenuState(script, false);
  return kRequestPositionChanged;
}

}  // namespace

std::string DatedCaption(std::string_view caption, const LocalTime& time) {
  char date[48];
  std::snprintf(date, sizeof date, " %04d/%02d/%02d %02d:%02d", time.year, time.month, time.day,
                time.hour, time.minute);
  return std::string(caption) + date;
}

int ProcessRequests(CScript& script) {
  Engine& engine = script.GetEngine();
  PlayRequests& requests = engine.requests;
  if (script.IsFastForward()) {
    UpdateMenuState(script, false);
    return kRequestAdvance;
  }
  if (requests.previousChoice) {
    requests.previousChoice = false;
    return PreviousChoice(script);
  }
  if (requests.quickLoad) {
    requests.quickLoad = false;
    return QuickLoad(script);
  }
  if (requests.quickSave) {
    requests.quickSave = false;
    if (!SavingRefused(engine)) QuickSave(script);
  }
  return kRequestNone;
}

void QuickSave(CScript& script) {
  SaveSlot(script, kQuickSlot);
  PlayGuideVoice(script, kQuickSaveGuide);
  ShowQuickSaveNotice(script);
  UpdateMenuState(script, true);
}

void UpdateMenuState(CScript& script, bool on) {
  SaveMenuItems& menu = script.GetEngine().saveMenu;
  if (on && script.IsScenarioMode()) {
    menu.mnNext = menu.cmNext = true;
    menu.mnPrev = menu.cmPrev = DateCaption(kChoiceSlot, save_menu_texts::kPrevious, menu.prevCaption);
    menu.mnQLoad = menu.cmQLoad =
        DateCaption(kQuickSlot, save_menu_texts::kQuickLoad, menu.quickLoadCaption);
    menu.mnQSave = true;
  } else {
    menu.mnNext = menu.mnPrev = menu.mnQLoad = menu.mnQSave = on;
    menu.cmNext = menu.cmPrev = menu.cmQLoad = on;
  }
  menu.cmQSave = on;
}

}  // namespace halcyra

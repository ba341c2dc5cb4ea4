#include "scenario/Choices.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "graphics/SpriteTable.h"
#include "resource/CFile.h"
#include "scenario/ChoiceRegistry.h"
#include "scenario/IconBar.h"
#include "scenario/KeyWait.h"
#include "scenario/MessageWindow.h"
#include "script/CScript.h"
#include "script/Engine.h"
#include "script/ScriptReader.h"
#include "script/ScriptTexts.h"
#include "system/SaveData.h"
#include "system/SaveRequests.h"

namespace halcyra {
namespace {

namespace slots = choice_slots;

constexpr int kQuestionSlot = 34;
constexpr int kQuestionNameSlot = 43;
constexpr int kKeyWaitIconSlot = 79;
constexpr int kIndicatorSlot = 298;
constexpr int kLabelSize = 24;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr char kNull[] = "NULL";
// 選択肢はこれ以上登録できない
constexpr char kTooManyChoices[] =
    "\x91I\x91\xf0\x8e\x88\x82\xcd\x82\xb1\x82\xea\x88\xc8\x8f\xe3\x93o\x98^\x82\xc5\x82\xab\x82"
    "\xc8\x82\xa2";
// 選択肢【未選択】
constexpr char kUnchosenEntry[] = "\x91I\x91\xf0\x8e\x88\x81y\x96\xa2\x91I\x91\xf0\x81z";
constexpr char kChosenOpen[] = "\x91I\x91\xf0\x8e\x88\x81y";  // 選択肢【
constexpr char kChosenClose[] = "\x81z";                      // 】

// The first bytes of text, never splitting a double-byte character.
std::string CutText(std::string_view text, std::size_t limit) {
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t step = ScriptReader::IsLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
    if (end + step > limit || end + step > text.size()) break;
    end += step;
  }
  return std::string(text.substr(0, end));
}

std::string ReadLongWord(CScript& script) {
  char word[CScript::kTokenCapacity];
  script.ReadParameter(word, sizeof word);
  return word;
}

bool DefineChoice(CScript& script) {
  script.ConsumeToken();
  const std::string text = ReadLongWord(script);
  ChoiceRegistry& registry = script.GetEngine().choices;
  if (registry.registered == ChoiceRegistry::kMaxChoices) {
    script.ScriptError(kTooManyChoices, text);
    return false;
  }
  if (text != kNull) {
    registry.texts[registry.registered] = CutText(text, ChoiceRegistry::kTextLimit);
    registry.numbers[registry.registered] = registry.lines;
    ++registry.registered;
  }
  ++registry.lines;
  return true;
}

bool DefineQuestion(CScript& script) {
  script.ConsumeToken();
  script.GetEngine().choices.question = CutText(ReadLongWord(script), ChoiceRegistry::kQuestionLimit);
  return true;
}

bool DefineQuestionName(CScript& script) {
  script.ConsumeToken();
  script.GetEngine().choices.questionName =
      CutText(ReadLongWord(script), ChoiceRegistry::kQuestionLimit);
  return true;
}

// The window number of the choice statements must be 1; another is named and taken as 1.
void CheckChoiceWindow(CScript& script, const char* number) {
  if (std::strcmp(number, "1") != 0) script.ScriptError(script_texts::kUnsupportedWindow, number);
}

bool DefineChoiceWindow(CScript& script) {
  script.ConsumeToken();
  char number[CScript::kParameterCapacity];
  script.ReadParameter(number);
  GameState& state = *script.GetEngine().state;
  for (std::int32_t& value : state.choiceWindow) value = script.EvaluateParameter();
  char picture[CScript::kParameterCapacity];
  script.ReadParameter(picture);
  GameState::CopyName(state.choiceWindowPicture, picture);
  for (std::int32_t& value : state.choiceWindowExtra) value = script.EvaluateParameter();
  CheckChoiceWindow(script, number);
  return true;
}

bool CentreChoices(CScript& script, bool on) {
  script.ConsumeToken();
  script.GetEngine().state->flags[GameState::kChoicesCentredFlag] = on ? 1 : 0;
  return true;
}

// The read-list key of a registered choice: the question's message number plus the choice's
// number plus 1.
int ChoiceKey(const Engine& engine, int slot) {
  return engine.state->messageNumber + engine.choices.numbers[slot] + 1;
}

bool MayUseReadList(CScript& script) {
  return script.IsScenarioMode() &&
         script.GetEngine().state->flags[GameState::kNoSaveFlag] == 0;
}

std::uint32_t ChoiceColour(CScript& script, int slot) {
  Engine& engine = script.GetEngine();
  const Settings& settings = engine.settings;
  if (!MayUseReadList(script) || !settings.message.selected) return kWhite;
  if (!engine.readList.IsRead(script.ScriptPath(), ChoiceKey(engine, slot), false)) return kWhite;
  const std::uint32_t grey = static_cast<std::uint32_t>(std::min(settings.message.readedLumi, 254));
  return grey << 16 | grey << 8 | grey;
}

// The choices are spread evenly over the upper screen, each text centred on its picture.
void LayoutChoices(CScript& script) {
  Engine& engine = script.GetEngine();
  const GameState& state = *engine.state;
  const int count = engine.choices.registered;
  const int step = 334 / (count + 1);
  const int first = step + 11;
  const std::string picture(state.choiceWindowPicture,
                            strnlen(state.choiceWindowPicture, sizeof state.choiceWindowPicture));
  for (int j = 0; j < count; ++j) {
    const std::string& text = engine.choices.texts[j];
    CDIBSprite& label = engine.sprites->At(slots::kText + j);
    label.SetText(text, engine.fonts[0], ChoiceColour(script, j), kLabelSize, true);
    label.SetPosition(400 - static_cast<int>(text.size()) * kLabelSize / 4,
                      j * step + first + state.choiceWindow[5]);
    CDIBSprite& back = engine.sprites->At(slots::kPicture + j);
    if (LoadWindowPicture(script, back, picture, false)) {
      back.SetPosition(0, j * step + first + state.choiceWindowExtra[1] - 2);
      back.SetAnimating(true);
      back.SetFrame(0);
      back.SetOpacity(engine.settings.window.alpha);
    }
  }
  CDIBSprite& highlight = engine.sprites->At(slots::kHighlight);
  if (highlight.Load("cg\\" + picture + "_S.psd")) {
    highlight.SetOpacity(255);
    highlight.Show(false);
  }
}

// The question stays in the message window while the player chooses; the page and the name
// keep it too, so the backlog and a redraw show it.
void ShowQuestion(CScript& script) {
  Engine& engine = script.GetEngine();
  const GameState& state = *engine.state;
  const ChoiceRegistry& registry = engine.choices;
  const WindowLayout layout = CurrentLayout(state);
  CDIBSprite& question = engine.sprites->At(kQuestionSlot);
  question.SetText(registry.question, engine.fonts[0], kWhite, kLabelSize, true);
  question.SetPosition(layout.x + layout.textX, layout.y + layout.textY);
  const WindowLayout nameLayout = LayoutOf(state.nameWindow);
  CDIBSprite& name = engine.sprites->At(kQuestionNameSlot);
  name.SetText(registry.questionName, engine.fonts[0], kWhite, kLabelSize, true);
  name.SetPosition(nameLayout.x + nameLayout.textX, nameLayout.y + nameLayout.textY);
  MessagePage& page = engine.message;
  if (page.hasPageBuffer) page.pageText = CutText(registry.question, MessagePage::kPageCapacity - 1);
  if (page.speakerName) *page.speakerName = registry.questionName;
}

// A random pair of choices trades places, so that the order alone does not give the answer
// away; the pair may be one choice, which leaves the order as it was.
void SwapRandomPair(Engine& engine) {
  ChoiceRegistry& registry = engine.choices;
  const auto count = static_cast<unsigned>(registry.registered);
  const unsigned a = engine.random() % count;
  const unsigned b = engine.random() % count;
  std::swap(registry.texts[a], registry.texts[b]);
  std::swap(registry.numbers[a], registry.numbers[b]);
}

int ChoiceUnderPointer(CScript& script) {
  const Engine& engine = script.GetEngine();
  for (int i = 0; i < engine.choices.registered; ++i) {
    if (engine.sprites->At(slots::kSecondHitArea + i).HitTest(script.MouseX(), script.MouseY()) ||
        engine.sprites->At(slots::kPicture + i).HitTest(script.MouseX(), script.MouseY())) {
      return i;
    }
  }
  return -1;
}

int MoveByKeys(InputState& input, int hovered, int count) {
  if (input.IsLatched(kInputUp | kInputLeft)) {
    input.ClearInput(0, true);
    return hovered - 1 < 0 ? count - 1 : hovered - 1;
  }
  if (input.IsLatched(kInputDown | kInputRight)) {
    input.ClearInput(0, true);
    return hovered + 1 >= count ? 0 : hovered + 1;
  }
  return hovered;
}

void ShowHighlight(Engine& engine, int hovered) {
  CDIBSprite& highlight = engine.sprites->At(slots::kHighlight);
  highlight.Show(false);
  for (int i = 0; i < engine.choices.registered; ++i) {
    if (i == hovered) {
      const CDIBSprite& picture = engine.sprites->At(slots::kPicture + i);
      highlight.SetPosition(picture.GetX(), picture.GetY());
      highlight.Show(true);
    } else {
      engine.sprites->At(slots::kSecondHitArea + i).Show(true);
    }
  }
}

enum class ChoiceEnd { kChosen, kRestarted, kStopAtOnce, kLeave };

ChoiceEnd RunChoiceLoop(CScript& script, int& hovered) {
  Engine& engine = script.GetEngine();
  const int count = engine.choices.registered;
  int lastX = script.MouseX();
  int lastY = script.MouseY();
  for (;;) {
    if (script.WaitStep(false, true)) return ChoiceEnd::kStopAtOnce;
    if (engine.requests.leaveReplay) {
      engine.requests.leaveReplay = false;
      return ChoiceEnd::kLeave;
    }
    if (script.MouseX() != lastX || script.MouseY() != lastY) {
      lastX = script.MouseX();
      lastY = script.MouseY();
      hovered = ChoiceUnderPointer(script);
    }
    hovered = MoveByKeys(engine.input, hovered, count);
    if (!engine.message.windowShown) {
      hovered = -1;
    } else {
      ShowHighlight(engine, hovered);
      if (engine.input.IsLatched(kInputAdvance) && hovered >= 0 && hovered < count) {
        engine.input.ClearInput(0, true);
        return ChoiceEnd::kChosen;
      }
    }
    const int result = HandleWaitInput(script, true);
    if (result == kWaitLoaded) return ChoiceEnd::kStopAtOnce;
    if (result == kWaitRestarted) return ChoiceEnd::kRestarted;
    engine.input.ClearInput(0, true);
    script.Present();
  }
}

void ClearChoiceSprites(Engine& engine) {
  SpriteTable& sprites = *engine.sprites;
  for (int i = 0; i < engine.choices.registered; ++i) {
    sprites.At(slots::kSecondHitArea + i).Release();
    sprites.At(slots::kPicture + i).Release();
    sprites.At(slots::kText + i).Release();
  }
  sprites.At(slots::kHighlight).Release();
  sprites.At(slots::kCleared).Release();
}

// The save of slot 900 keeps the state before the choice's result, so returning to the last
// choice asks the same question again.
void RecordChoice(CScript& script, int hovered) {
  Engine& engine = script.GetEngine();
  if (script.IsScenarioMode()) SaveSlot(script, kChoiceSlot);
  const int value = engine.choices.numbers[hovered] + 1;
  engine.state->variables['S' - 'A'] = value;
  if (MayUseReadList(script)) {
    engine.readList.IsRead(script.ScriptPath(), engine.state->messageNumber + value, true);
  }
  AddPageToLog(script, true, kChosenOpen + engine.choices.texts[hovered] + kChosenClose, true);
  engine.message.pageStartPending = true;
  engine.message.newPageForLog = true;
}

bool Select(CScript& script, bool swap) {
  script.ConsumeToken();
  char number[CScript::kParameterCapacity];
  script.ReadParameter(number);
  Engine& engine = script.GetEngine();
  StopFastForward(script);
  engine.sprites->At(kIndicatorSlot).Release();
  CheckChoiceWindow(script, number);
  if (swap && !engine.debugMode && engine.choices.registered > 1) SwapRandomPair(engine);
  LayoutChoices(script);
  if (script.IsScenarioMode()) UpdateMenuState(script, true);
  engine.saveMenu.mnNext = false;
  engine.saveMenu.cmNext = false;
  if (engine.state->flags[GameState::kWindowOffFlag] == 0) SetupIconBar(script);
  ShowQuestion(script);
  engine.waitingForInput = true;
  script.GetPlatform().WaitingForInput();
  if (MayUseReadList(script)) {
    engine.readList.IsRead(script.ScriptPath(), engine.state->messageNumber, true);
  }
  engine.sprites->At(kKeyWaitIconSlot).Release();
  AddPageToLog(script, false, kUnchosenEntry, true);
  int hovered = -1;
  const ChoiceEnd end = RunChoiceLoop(script, hovered);
  engine.sprites->At(kQuestionSlot).Release();
  engine.sprites->At(kQuestionNameSlot).Release();
  engine.waitingForInput = false;
  UpdateMenuState(script, false);
  if (script.IsClosing()) return true;
  ClearChoiceSprites(engine);
  if (end == ChoiceEnd::kChosen) RecordChoice(script, hovered);
  engine.choices.Clear();
  return end != ChoiceEnd::kLeave;
}

struct Registration {
  const char* word;
  CScript::StatementHandler handler;
};

const Registration kChoiceStatements[] = {
    {"def_sel", DefineChoice},
    {"def_selmes", DefineQuestion},
    {"def_selmes2", DefineQuestionName},
    {"window_sel", DefineChoiceWindow},
    {"select", [](CScript& s) { return Select(s, true); }},
    {"select2", [](CScript& s) { return Select(s, false); }},
    {"select_center_on", [](CScript& s) { return CentreChoices(s, true); }},
    {"select_center_off", [](CScript& s) { return CentreChoices(s, false); }},
};

// The indicator of a move: "cg\\NAME.bmp" when it exists, else the .psd.
void ShowIndicator(CScript& script, const char* name) {
  CDIBSprite& indicator = script.GetEngine().sprites->At(kIndicatorSlot);
  LoadWindowPicture(script, indicator, name, true);
  script.Present();
}

}  // namespace

void RegisterChoiceStatements(CScript& script) {
  for (const Registration& entry : kChoiceStatements) {
    script.SetStatementHandler(entry.word, entry.handler);
  }
}

void NextChoice(CScript& script) {
  script.SetFastForward(true);
  ShowIndicator(script, "_Skip");
}

bool PreviousChoice(CScript& script) {
  CFile save;
  if (!save.Open(SlotFileName(kChoiceSlot), FileAccess::kRead)) return false;
  save.Close();
  script.GetEngine().requests.previousChoice = true;
  ShowIndicator(script, "_Return");
  return true;
}

}  // namespace halcyra

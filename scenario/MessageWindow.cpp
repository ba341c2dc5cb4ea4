#include "scenario/MessageWindow.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "scenario/KeyWait.h"
#include "scenario/LayerTransitions.h"
#include "scenario/PageMode.h"
#include "scenario/VoiceCommands.h"
#include "script/CScript.h"
#include "script/Engine.h"
#include "system/Backlog.h"
#include "script/ScriptTexts.h"
#include "script/Expression.h"
#include "script/ScriptHost.h"

namespace halcyra {
namespace {

namespace slots = message_slots;

// window が定義されていません
constexpr char kNoWindow[] =
    "window \x82\xaa\x92\xe8\x8b\x60\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1";
// 現在サポートされていないウィンドウＮｏ．
// メモリが足りません
constexpr char kOutOfMemory[] =
    "\x83\x81\x83\x82\x83\x8a\x82\xaa\x91\xab\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
// ページの文字が多すぎます
constexpr char kPageTooLong[] =
    "\x83\x79\x81\x5b\x83\x57\x82\xcc\x95\xb6\x8e\x9a\x82\xaa\x91\xbd\x82\xb7\x82\xac\x82\xdc\x82"
    "\xb7";
constexpr std::string_view kGivenNamePlaceholder = "\x81\x9c\x96\xbc\x81\x9c";   // ●名●
constexpr std::string_view kFamilyNamePlaceholder = "\x81\xa3\x8e\x81\x81\xa3";  // ▲氏▲
constexpr std::string_view kDefaultHeroName = "\x88\xea\x96\xe7";                // 一也
constexpr char kFullWidthSpace[] = "\x81\x40";                                    // "　"
constexpr std::string_view kNoPicture = "NULL";
constexpr std::string_view kHeroVoiceSuffix = "-2";

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr int kBaseCharacterWidth = 24;  // the cursor counts columns of this width
constexpr int kNameSize = 24;
constexpr int kNameMargin = 24;          // the name surface is this much larger than window 2
constexpr int kSpeakerBytesPerRow = 20;
constexpr int kMaxReadGrey = 254;        // a grey of 255 would read as the unread white

bool IsLead(char c) { return ScriptReader::IsLeadByte(static_cast<unsigned char>(c)); }

std::string_view FieldText(const char (&field)[64]) { return {field, strnlen(field, sizeof field)}; }

std::uint32_t ReadGrey(const Engine& engine) {
  const auto g = static_cast<std::uint32_t>(
      std::clamp(engine.settings.message.readedLumi, 0, kMaxReadGrey));
  return g << 16 | g << 8 | g;
}

// The colour of the coming message; unread text ends the play modes the settings tie to it.
std::uint32_t MessageColour(CScript& script) {
  Engine& engine = script.GetEngine();
  if (!script.IsScenarioMode()) return kWhite;
  const Settings& settings = engine.settings;
  if (engine.readList.IsRead(script.ScriptPath(), engine.state->messageNumber, false)) {
    return settings.message.readed ? ReadGrey(engine) : kWhite;
  }
  if (settings.skip.unread) script.SetAutoMode(false);
  if (settings.skip2.unread) script.SetSkipMode(false);
  if (settings.skipSelect.unread) StopFastForward(script);
  return kWhite;
}


void PlaceWindowPicture(CDIBSprite& sprite, const WindowLayout& layout, int opacity) {
  sprite.SetPosition(layout.x + layout.frameX, layout.y + layout.frameY);
  sprite.SetOpacity(opacity);
}

// The message word and the lines that continue it: a line that ends the text at its line end
// keeps that line break, and each following line that starts with a double-byte character
// joins it.
std::string ReadMessageText(CScript& script) {
  if (std::strcmp(script.Token(), "msg") == 0) script.ConsumeToken();
  char word[CScript::kTokenCapacity];
  script.ReadParameter(word, sizeof word);
  std::string message = word;
  for (;;) {
    const char next = script.Reader().Current();
    if (next != '\0' && next != '\n' && next != '\r') break;
    message += '\n';
    script.PeekParameter(word, sizeof word);
    if (!IsLead(word[0])) break;
    script.ReadParameter(word, sizeof word);
    message += word;
  }
  return message;
}

// The first message of a page empties it and puts the cursor at the line start, on a text
// surface of the current layout.
void StartPage(Engine& engine) {
  MessagePage& page = engine.message;
  const WindowLayout layout = CurrentLayout(*engine.state);
  page.pageText.clear();
  CDIBSprite& surface = engine.sprites->At(slots::kTextSurface);
  if (surface.GetSurface() == nullptr) {
    surface.CreateBox(layout.width, layout.height, 1, false, false);
    surface.SetAlpha(true);
    surface.SetPosition(layout.x, layout.y);
  }
  page.cursorX = layout.textX;
  page.cursorY = layout.textY;
  page.indentColumn = -1;
}

// The name's length in bytes as shown: a leading placeholder counts as the name it stands for.
int ShownNameLength(std::string_view name, const Engine& engine) {
  const Settings& settings = engine.settings;
  if (name.starts_with(kGivenNamePlaceholder)) {
    return static_cast<int>(name.size() - kGivenNamePlaceholder.size() + settings.user.name.size());
  }
  if (name.starts_with(kFamilyNamePlaceholder)) {
    return static_cast<int>(name.size() - kFamilyNamePlaceholder.size() +
                            settings.user.family.size());
  }
  return static_cast<int>(name.size());
}

// At most capacity - 1 bytes, never half a double-byte character.
std::string CutToCapacity(std::string_view text, std::size_t capacity) {
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t step = IsLead(text[end]) ? 2 : 1;
    if (end + step > capacity - 1 || end + step > text.size()) break;
    end += step;
  }
  return std::string(text.substr(0, end));
}

void TypeWithRenderer(CScript& script, CDIBSprite& holder, const WindowLayout& layout,
                      CDIBSprite& surface, int count, bool lineStart, bool withWaits) {
  Engine& engine = script.GetEngine();
  if (engine.text == nullptr) return;
  const GlyphTextRenderer::CharWait wait = [&script](int& remaining) {
    CharWait(script, remaining);
  };
  engine.text->TypeText(holder, layout.columns, layout.rows, surface.GetSurface(), count,
                        engine.message.indentColumn, lineStart,
                        withWaits ? wait : GlyphTextRenderer::CharWait{});
}

bool WindowOn(CScript& script) {
  script.ConsumeToken();
  Engine& engine = script.GetEngine();
  engine.state->flags[GameState::kWindowOffFlag] = 0;
  HideWindowSprites(engine, false);
  return true;
}

bool WindowOff(CScript& script) {
  script.ConsumeToken();
  Engine& engine = script.GetEngine();
  engine.state->flags[GameState::kWindowOffFlag] = 1;
  HideWindowSprites(engine, true);
  return true;
}

bool ClearWindow(CScript& script) {
  script.ConsumeToken();
  Engine& engine = script.GetEngine();
  ClearPage(engine);
  RemoveNameWindow(engine);
  return true;
}

bool TextSize(CScript& script) {
  script.ConsumeToken();
  const std::int32_t value = script.EvaluateParameter();
  std::uint8_t& stored = script.GetEngine().state->flags[GameState::kTextSizeFlag];
  stored = static_cast<std::uint8_t>(value - 1);
  script.Host().SetTextSize(stored);
  return true;
}

bool SetRetWaits(CScript& script, std::uint8_t on) {
  script.ConsumeToken();
  script.GetEngine().state->flags[GameState::kRetWaitsOffFlag] = on;
  return true;
}

bool AutoRetOn(CScript& script) { return SetRetWaits(script, 0); }
bool AutoRetOff(CScript& script) { return SetRetWaits(script, 1); }

bool SetReadMode(CScript& script) {
  script.ConsumeToken();
  const std::int32_t value = script.EvaluateParameter();
  script.GetEngine().state->flags[GameState::kNoSaveFlag] = static_cast<std::uint8_t>(value);
  return true;
}

bool DefineCharacterList(CScript& script, void (GlyphTextRenderer::*set)(std::string_view)) {
  script.ConsumeToken();
  char word[CScript::kParameterCapacity];
  script.ReadParameter(word);
  Engine& engine = script.GetEngine();
  if (engine.text != nullptr) (engine.text.get()->*set)(word);
  return true;
}

bool DefineIndent(CScript& script) {
  return DefineCharacterList(script, &GlyphTextRenderer::SetIndentChars);
}

bool DefineKinsoku(CScript& script) {
  return DefineCharacterList(script, &GlyphTextRenderer::SetLineEndChars);
}

template <int kFlag>
bool DefineStandPosition(CScript& script) {
  script.ConsumeToken();
  const std::int32_t x = script.EvaluateParameter();
  script.GetEngine().state->SetFlag16(kFlag, static_cast<std::int16_t>(x));
  return true;
}

// Window 0 becomes the current layout even in page mode, with a new, empty page buffer.
bool StoreMessageWindow(CScript& script, const WindowDefinition& definition) {
  Engine& engine = script.GetEngine();
  GameState& state = *engine.state;
  MessagePage& page = engine.message;
  state.normalWindow = definition;
  const std::uint8_t pageMode = state.flags[GameState::kPageModeFlag];
  state.flags[GameState::kPageModeFlag] = 0;
  SelectWindowLayout(state);
  state.flags[GameState::kPageModeFlag] = pageMode;
  state.flags[GameState::kWindowOffFlag] = 0;
  try {
    std::string buffer;
    buffer.reserve(MessagePage::kPageCapacity);
    page.pageText = std::move(buffer);
  } catch (const std::bad_alloc&) {
    page.hasPageBuffer = false;
    script.ScriptError(kOutOfMemory, "");
    return false;
  }
  page.hasPageBuffer = true;
  LoadWindowPictures(script);
  return true;
}

}  // namespace

bool LoadWindowPicture(CScript& script, CDIBSprite& sprite, std::string_view name, bool quiet) {
  const std::string path = FindPicture(script, name, quiet);
  return !path.empty() && sprite.Load(path);
}

WindowLayout LayoutOf(const WindowDefinition& definition) {
  const std::int32_t* v = definition.values;
  return {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]};
}

WindowLayout CurrentLayout(const GameState& state) { return LayoutOf(state.messageWindow); }

int MessageTextSize(int code) {
  switch (code) {
    case 1: return 36;
    case 3: return 48;
    case 5: return 60;
    case 8: return 72;
    default: return 24;
  }
}

bool ShowMessage(CScript& script) {
  Engine& engine = script.GetEngine();
  MessagePage& page = engine.message;
  if (!page.hasPageBuffer) {
    script.ScriptError(kNoWindow, "");
    return false;
  }
  const std::uint32_t colour = MessageColour(script);
  const std::string message = ReadMessageText(script);
  const std::size_t kept = page.pageStartPending ? 0 : page.pageText.size();
  if (kept + message.size() >= MessagePage::kPageCapacity) {
    script.ScriptError(kPageTooLong, message);
    return true;
  }
  if (page.pageStartPending) StartPage(engine);
  page.pageText += message;
  ApplyHeroNameVoice(engine);
  const std::string shown = ExpandPlaceholders(message, engine);
  const bool fastForward = script.IsFastForward();
  if (!fastForward) FadePageDim(script, false);
  if (page.pageStartPending) {
    page.pageStartPending = false;
    if (!fastForward) PlayVoice(script, false, false, "");
  }
  if (fastForward) return true;
  ShowNameWindow(script, colour);
  TypeMessage(script, shown, colour);
  return true;
}

void ApplyHeroNameVoice(Engine& engine) {
  const std::string& text = engine.message.pageText;
  const std::size_t given = text.find(kGivenNamePlaceholder);
  const std::size_t family = text.find(kFamilyNamePlaceholder);
  if (given == std::string::npos && family == std::string::npos) return;
  const Settings::User& user = engine.settings.user;
  const bool givenFirst = given < family;
  const bool nameDiffers = givenFirst ? user.name != kDefaultHeroName : !user.family.empty();
  char (&voice)[64] = engine.state->pendingVoice;
  const std::string pending(FieldText(voice));
  if (!nameDiffers || pending.empty() || pending.ends_with(kHeroVoiceSuffix)) return;
  GameState::CopyName(voice, pending + std::string(kHeroVoiceSuffix));
}

std::string ExpandPlaceholders(std::string_view text, const Engine& engine) {
  std::string result;
  for (std::size_t i = 0; i < text.size();) {
    const std::string_view rest = text.substr(i);
    if (rest.starts_with(kGivenNamePlaceholder)) {
      result += engine.settings.user.name;
      i += kGivenNamePlaceholder.size();
    } else if (rest.starts_with(kFamilyNamePlaceholder)) {
      result += engine.settings.user.family;
      i += kFamilyNamePlaceholder.size();
    } else {
      const std::size_t length = IsLead(text[i]) && i + 1 < text.size() ? 2 : 1;
      result += text.substr(i, length);
      i += length;
    }
  }
  return result;
}

void TypeMessage(CScript& script, std::string_view message, std::uint32_t colour) {
  Engine& engine = script.GetEngine();
  MessagePage& page = engine.message;
  const WindowLayout layout = CurrentLayout(*engine.state);
  const int size = MessageTextSize(engine.state->flags[GameState::kTextSizeFlag]);
  const int count = script.IsFastForward() ? 0 : engine.settings.message.speed / 8;
  // A message that continues a line is led by spaces up to where the line stopped.
  std::string text;
  if (page.cursorX != layout.textX) {
    const int spaces = (page.cursorX - layout.textX) / kBaseCharacterWidth -
                       (page.indentColumn >= 0 ? 1 : 0);
    for (int k = 0; k < spaces; ++k) text += kFullWidthSpace;
    page.cursorX = layout.textX;
  }
  text += message;
  CDIBSprite& holder = engine.sprites->At(slots::kTextHolder);
  holder.SetTextDirect(text, engine.fonts[1], colour, size, layout.columns, layout.rows, true);
  holder.SetPosition(page.cursorX, page.cursorY);
  holder.Show(false);
  TypeWithRenderer(script, holder, layout, engine.sprites->At(slots::kTextSurface), count, true,
                   true);
  page.cursorX = holder.GetPlacedX();
  page.cursorY = holder.GetPlacedY();
  page.indentColumn = holder.Indent();
}

void CharWait(CScript& script, int& count) {
  if (script.IsFastForward() || count == 0) return;
  Engine& engine = script.GetEngine();
  auto takeAdvance = [&] {
    if (!engine.input.IsLatched(kInputAdvance)) return false;
    engine.input.ClearInput(0, true);
    script.SetAutoMode(false);
    script.SetSkipMode(false);
    count = 0;
    return true;
  };
  script.Poll();
  if (takeAdvance()) return;
  if (engine.input.IsHeld(kInputSkip) || engine.skipMode) {
    count = 0;
    return;
  }
  for (int frame = 0; frame < count; ++frame) {
    script.Poll();
    if (script.IsClosing() || script.Host().TitleRequested()) {
      count = 0;
      return;
    }
    if (takeAdvance()) return;
    script.Present();
  }
}

bool SetSpeakerName(CScript& script) {
  script.ConsumeToken();
  char name[CScript::kParameterCapacity];
  script.ReadParameter(name);
  Engine& engine = script.GetEngine();
  const WindowLayout nameWindow = LayoutOf(engine.state->nameWindow);
  const auto capacity =
      static_cast<std::size_t>(std::max(nameWindow.rows, 0)) * kSpeakerBytesPerRow + 2;
  engine.message.speakerName = CutToCapacity(name, capacity);
  return true;
}

void ShowNameWindow(CScript& script, std::uint32_t colour) {
  Engine& engine = script.GetEngine();
  const std::optional<std::string>& name = engine.message.speakerName;
  if (!name.has_value() || name->empty()) return;
  const WindowLayout layout = LayoutOf(engine.state->nameWindow);
  SpriteTable& sprites = *engine.sprites;
  CDIBSprite& holder = sprites.At(slots::kNameHolder);
  CDIBSprite& surface = sprites.At(slots::kNameSurface);
  holder.SetTextDirect(*name, engine.fonts[0], colour, kNameSize, layout.columns, layout.rows,
                       false);
  surface.CreateBox(layout.width + kNameMargin, layout.height + kNameMargin, 1, false, false);
  surface.SetAlpha(true);
  if (engine.text != nullptr) {
    int noWait = 0;
    engine.text->TypeText(holder, layout.columns, layout.rows, surface.GetSurface(), noWait, -1,
                          true, {});
  }
  holder.Release();
  const int length = ShownNameLength(*name, engine);
  surface.SetPosition(layout.x + layout.textX + layout.columns * 12 - length * 6,
                      layout.y + layout.textY);
  const std::string_view picture = FieldText(engine.state->nameWindow.picture);
  if (picture == kNoPicture) return;
  CDIBSprite& background = sprites.At(slots::kNameBackground);
  if (!LoadWindowPicture(script, background, picture, true)) return;
  PlaceWindowPicture(background, layout, engine.settings.window.alpha);
  CDIBSprite& frame = sprites.At(slots::kNameFrame);
  if (frame.Load("cg\\" + std::string(picture) + "_F.psd")) PlaceWindowPicture(frame, layout, 255);
}

void RemoveNameWindow(Engine& engine) {
  engine.message.speakerName.reset();
  if (engine.sprites == nullptr) return;
  for (const int slot : {slots::kNameBoard, slots::kNameSurface, slots::kNameBackground,
                         slots::kNameFrame}) {
    engine.sprites->At(slot).Release();
  }
}

void ClearPage(Engine& engine) {
  MessagePage& page = engine.message;
  if (engine.sprites != nullptr) {
    engine.sprites->At(slots::kTextHolder).Release();
    engine.sprites->At(slots::kTextSurface).Release();
  }
  page.pageStartPending = true;
  page.newPageForLog = true;
  page.pageText.clear();
}

void RedrawPage(CScript& script) {
  Engine& engine = script.GetEngine();
  MessagePage& page = engine.message;
  const GameState& state = *engine.state;
  const WindowLayout layout = CurrentLayout(state);
  const WindowLayout origin = LayoutOf(
      state.flags[GameState::kPageModeFlag] != 0 ? state.pageWindow : state.normalWindow);
  CDIBSprite& surface = engine.sprites->At(slots::kTextSurface);
  surface.CreateBox(layout.width, layout.height, 1, false, false);
  surface.SetAlpha(true);
  surface.SetPosition(layout.x, layout.y);
  page.indentColumn = -1;
  const bool grey = script.IsScenarioMode() && engine.settings.message.readed;
  CDIBSprite& holder = engine.sprites->At(slots::kTextHolder);
  holder.SetTextDirect(page.pageText, engine.fonts[1], grey ? ReadGrey(engine) : kWhite,
                       kBaseCharacterWidth, layout.columns, layout.rows, true);
  holder.SetPosition(origin.textX, origin.textY);
  TypeWithRenderer(script, holder, layout, surface, 0, true, false);
  page.cursorX = holder.GetPlacedX();
  page.cursorY = holder.GetPlacedY();
  page.indentColumn = holder.Indent();
}

void RestoreMessageWindow(CScript& script) {
  Engine& engine = script.GetEngine();
  const GameState& state = *engine.state;
  MessagePage& page = engine.message;
  ContinuedPage continued = PageToContinue(state);
  // The page buffer belongs to a defined window 0, which the state may bring along.
  page.hasPageBuffer = page.hasPageBuffer || state.normalWindow.picture[0] != '\0';
  page.pageStartPending = page.newPageForLog = continued.newPage;
  page.pageText = std::move(continued.text);
  RemoveNameWindow(engine);
  script.Host().SetTextSize(state.flags[GameState::kTextSizeFlag]);
  HideWindowSprites(engine, false);
  if (engine.sprites == nullptr) return;
  engine.sprites->At(slots::kTextHolder).Release();
  LoadWindowPictures(script);
  if (page.hasPageBuffer) RedrawPage(script);
}

bool DefineWindow(CScript& script) {
  script.ConsumeToken();
  char number[CScript::kParameterCapacity];
  script.ReadParameter(number);
  std::int32_t head[8];
  for (std::int32_t& value : head) value = script.EvaluateParameter();
  char picture[CScript::kParameterCapacity];
  script.ReadParameter(picture);
  const std::int32_t frameX = script.EvaluateParameter();
  const std::int32_t frameY = script.EvaluateParameter();
  Engine& engine = script.GetEngine();
  engine.message.windowShown = true;
  const std::int32_t which = Evaluate(number, *engine.state, script);
  if (which != 0 && which != 2 && which != 3) {
    script.ScriptError(script_texts::kUnsupportedWindow, number);
    return true;
  }
  WindowDefinition definition{};
  GameState::CopyName(definition.picture, picture);
  const std::int32_t values[10] = {head[0], head[1], head[2], head[3], frameX,
                                   frameY,  head[4], head[5], head[6], head[7]};
  std::copy(std::begin(values), std::end(values), definition.values);
  if (which == 0) return StoreMessageWindow(script, definition);
  if (which == 2) {
    engine.state->nameWindow = definition;
    engine.message.speakerName.reset();
  } else {
    engine.state->pageWindow = definition;
  }
  return true;
}

void SelectWindowLayout(GameState& state) {
  state.messageWindow =
      state.flags[GameState::kPageModeFlag] != 0 ? state.pageWindow : state.normalWindow;
}

void LoadWindowPictures(CScript& script) {
  Engine& engine = script.GetEngine();
  const GameState& state = *engine.state;
  const std::string_view picture = FieldText(state.messageWindow.picture);
  if (picture.empty()) return;
  const WindowLayout layout = CurrentLayout(state);
  CDIBSprite& background = engine.sprites->At(slots::kBackground);
  if (picture != kNoPicture && LoadWindowPicture(script, background, picture, false)) {
    PlaceWindowPicture(background, layout, engine.settings.window.alpha);
    if (state.flags[GameState::kPageModeFlag] != 0) background.Show(false);
  }
  CDIBSprite& frame = engine.sprites->At(slots::kFrame);
  if (frame.Load("cg\\" + std::string(picture) + "_F.psd")) PlaceWindowPicture(frame, layout, 255);
}

// Hiding twice keeps what the first hide remembered, so that showing brings it back.
void HideWindowSprites(Engine& engine, bool hide) {
  MessagePage& page = engine.message;
  page.windowShown = !hide;
  if (engine.sprites == nullptr || page.spritesHidden == hide) return;
  page.spritesHidden = hide;
  for (int k = 0; k < MessagePage::kWindowSlotCount; ++k) {
    CDIBSprite& sprite = engine.sprites->At(slots::kFirstWindowSlot + k);
    if (hide) {
      page.windowSlotShown[static_cast<std::size_t>(k)] = sprite.IsShown();
      sprite.Show(false);
    } else {
      sprite.Show(page.windowSlotShown[static_cast<std::size_t>(k)]);
    }
  }
}

void RegisterMessageStatements(CScript& script) {
  script.SetMessageLineHandler(ShowMessage);
  script.SetPreEffectStep(FadePageDimForEffect);
  script.SetStatementHandler("msg", ShowMessage);
  script.SetStatementHandler("msg2", SetSpeakerName);
  script.SetStatementHandler("set_read_mode", SetReadMode);
  script.SetStatementHandler("window", DefineWindow);
  script.SetStatementHandler("window_on", WindowOn);
  script.SetStatementHandler("window_off", WindowOff);
  script.SetStatementHandler("cls", ClearWindow);
  script.SetStatementHandler("moji", TextSize);
  script.SetStatementHandler("auto_ret_on", AutoRetOn);
  script.SetStatementHandler("auto_ret_off", AutoRetOff);
  script.SetStatementHandler("novel_on", PageModeOn);
  script.SetStatementHandler("novel_off", PageModeOff);
  script.SetStatementHandler("def_indent", DefineIndent);
  script.SetStatementHandler("def_kinsoku", DefineKinsoku);
  script.SetStatementHandler("def_sp_left", DefineStandPosition<GameState::kStandLeftXFlag>);
  script.SetStatementHandler("def_sp_center", DefineStandPosition<GameState::kStandCentreXFlag>);
  script.SetStatementHandler("def_sp_right", DefineStandPosition<GameState::kStandRightXFlag>);
  script.SetStatementHandler("def_sp_left3", DefineStandPosition<GameState::kStandLeft3XFlag>);
  script.SetStatementHandler("def_sp_right3", DefineStandPosition<GameState::kStandRight3XFlag>);
}

void AddPageToLog(CScript& script, bool replaceLast, std::string_view text, bool advance) {
  Engine& engine = script.GetEngine();
  MessagePage& message = engine.message;
  const std::string page = ExpandPlaceholders(message.pageText, engine);
  LogPage log;
  log.text = page;
  log.speaker = message.speakerName ? message.speakerName->c_str() : nullptr;
  log.newPageForLog = message.newPageForLog;
  AddLogEntry(engine, replaceLast, text, advance, log);
  message.newPageForLog = log.newPageForLog;
}

}  // namespace halcyra

#include "script/CScript.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "graphics/CDIB.h"
#include "graphics/SpriteTable.h"
#include "media/SoundChannels.h"
#include "media/SoundUpkeep.h"
#include "platform/Platform.h"
#include "resource/CFile.h"
#include "script/Engine.h"
#include "script/Expression.h"
#include "script/ScriptHost.h"
#include "script/ScriptTexts.h"

namespace halcyra {
namespace {

using namespace script_texts;

constexpr std::uint32_t kRateWindow = 1000;    // ms over which the frame rate is measured
constexpr std::uint32_t kIdleSleep = 100;      // ms slept per pass while inactive or at the end
constexpr char kTitleScriptPath[] = "scr\\open.scr";
constexpr std::uint32_t kFrameRateColour = 0xFFFFFF;  // white: drawn in the unread style
constexpr int kFrameRateCharacterWidth = 24;
constexpr int kMaxMessageNumbers = 4096;

// Fixed numbers the loader's reports carry, so that a report names its cause.
constexpr int kCannotOpenNumber = 489;
constexpr int kBadSizeNumber = 496;
constexpr int kOutOfMemoryNumber = 503;
constexpr int kBadReadSizeNumber = 510;

bool IsLead(char c) { return ScriptReader::IsLeadByte(static_cast<unsigned char>(c)); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsCapital(char c) { return c >= 'A' && c <= 'Z'; }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return CArcFile::SameMemberName(a, b);
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view ending) {
  return text.size() >= ending.size() &&
         EqualsIgnoringAsciiCase(text.substr(text.size() - ending.size()), ending);
}

// "=" outside double-byte characters makes a statement an assignment.
bool ContainsAssignment(const char* token) {
  for (std::size_t i = 0; token[i] != '\0'; ++i) {
    if (IsLead(token[i])) {
      if (token[i + 1] == '\0') break;
      ++i;
    } else if (token[i] == '=') {
      return true;
    }
  }
  return false;
}

std::string_view WithoutFolder(std::string_view path) { return CArcFile::MemberName(path); }

bool Compare(std::int32_t left, char comparison, std::int32_t right) {
  switch (comparison) {
    case '<': return left < right;
    case '>': return left > right;
    case '!': return left != right;
    case 'G': return left >= right;
    case 'L': return left <= right;
    default: return left == right;
  }
}

}  // namespace

// Every statement word in the order the dispatcher tests them. Words whose handlers belong to
// parts of the engine still to come are listed with no handler and report as undefined.
const CScript::StatementWord CScript::kStatementWords[] = {
    {"msg", nullptr}, {"minigame", &CScript::PassOver}, {"msg2", nullptr},
    {"set_read_mode", nullptr}, {"bg", nullptr}, {"bg1", nullptr}, {"bg1_fi", nullptr},
    {"bg1_cf", nullptr}, {"bg1_mi", nullptr}, {"bg1_", nullptr}, {"bg2", nullptr},
    {"bg2_fi", nullptr}, {"bg3", nullptr}, {"bg3_fi", nullptr}, {"bg4_fi", nullptr},
    {"ev", nullptr}, {"ev1", nullptr}, {"ev1_fi", nullptr}, {"ev1_cf", nullptr},
    {"ev1_", nullptr}, {"exchg", nullptr}, {"sp", nullptr}, {"spl", nullptr}, {"spr", nullptr},
    {"sp_loop", nullptr}, {"sp_wait", nullptr}, {"set_hsv", nullptr}, {"set_rgb2", nullptr},
    {"set_rgb_ex1", nullptr}, {"set_rgb_ex2", nullptr}, {"set_rgb_ex3", nullptr},
    {"spx_", nullptr}, {"sp4_", nullptr}, {"sp1", nullptr}, {"sp1_fi", nullptr},
    {"sp1_cf", nullptr}, {"sp1_", nullptr}, {"sp2", nullptr}, {"sp2_fi", nullptr},
    {"sp2_cf", nullptr}, {"sp2_", nullptr}, {"sp3", nullptr}, {"sp3_cf", nullptr},
    {"sp3_", nullptr}, {"sp_fade", nullptr}, {"sp_fade_out", nullptr}, {"sp_fade_in", nullptr},
    {"sp_fo", nullptr}, {"fade", nullptr}, {"fade_out", nullptr}, {"fade_in", nullptr},
    {"fo", nullptr}, {"fo2", nullptr}, {"fi", nullptr}, {"fi2", nullptr}, {"mono", nullptr},
    {"mosaic", nullptr}, {"posi", nullptr}, {"mask", nullptr}, {"move_yposi", nullptr},
    {"move_xyposi", nullptr}, {"move_xyset", nullptr}, {"move_xywait", nullptr},
    {"set_all_fade", nullptr}, {"set_fade", nullptr}, {"set_alpha", nullptr},
    {"set_alpha2", nullptr}, {"scroll", nullptr}, {"shake", nullptr}, {"shake2", nullptr},
    {"shake3", nullptr}, {"fade_all_out", nullptr}, {"fade_all_in", nullptr},
    {"fade_all_white_out", nullptr}, {"fade_all_white_in", nullptr}, {"flash", nullptr},
    {"flash1", nullptr}, {"flash2", nullptr}, {"flash3", nullptr}, {"zoom", nullptr},
    {"zoom2", nullptr}, {"zoom_set", nullptr}, {"zoom_wait", nullptr}, {"bgm", nullptr},
    {"bgm1", nullptr}, {"bgm2", nullptr}, {"bgm_stop", nullptr}, {"bgm_fo", nullptr},
    {"bgm1_ex", nullptr}, {"bgm2_ex", nullptr}, {"se", nullptr}, {"se1", nullptr},
    {"se2", nullptr}, {"se3", nullptr}, {"se_bgm1", nullptr}, {"se_bgm2", nullptr},
    {"sex", nullptr}, {"se_stop", nullptr}, {"se_fo", nullptr}, {"se_wait", nullptr},
    {"vo_wait", nullptr}, {"bgm_wait", nullptr}, {"vo", nullptr}, {"vox", nullptr},
    {"pan", nullptr}, {"set_pan", nullptr}, {"calc_pan", nullptr}, {"vol", nullptr},
    {"vor", nullptr}, {"vo2", nullptr}, {"vo_sel", nullptr}, {"window", nullptr},
    {"ret", nullptr}, {"ret_noskip", nullptr}, {"key", nullptr}, {"window_sel", nullptr},
    {"def_sel", nullptr}, {"def_selmes", nullptr}, {"def_selmes2", nullptr},
    {"select", nullptr}, {"select2", nullptr}, {"movie", nullptr}, {"midi", nullptr},
    {"change", &CScript::Change}, {"change_kaisou", &CScript::ChangeKaisou},
    {"rotate", nullptr}, {"rotate_set", nullptr}, {"rotate_wait", nullptr},
    {"name_check", &CScript::NameCheck}, {"wait", &CScript::Wait}, {"sleep", &CScript::Sleep},
    {"title", &CScript::Title}, {"window_off", nullptr}, {"window_on", nullptr},
    {"flag_update", nullptr}, {"auto_ret_on", nullptr}, {"auto_ret_off", nullptr},
    {"select_center_on", nullptr}, {"select_center_off", nullptr}, {"moji", nullptr},
    {"define", &CScript::Define}, {"def_cg", &CScript::DefineCg}, {"cls", nullptr},
    {"kaisou_end", nullptr}, {"menu", nullptr}, {"map", nullptr}, {"ending", nullptr},
    {"\\n", &CScript::PassOver}, {"\\i", &CScript::PassOver}, {"\\k", &CScript::PassOver},
    {"load", nullptr}, {"save", nullptr}, {"goto", &CScript::Goto},
    {"def_indent", nullptr}, {"def_kinsoku", nullptr}, {"def_sp_left", nullptr},
    {"def_sp_center", nullptr}, {"def_sp_right", nullptr}, {"def_sp_left3", nullptr},
    {"def_sp_right3", nullptr}, {"set_ff", &CScript::IgnoreOneToken},
    {"random", &CScript::Random}, {"effect", nullptr}, {"ef2", nullptr},
    {"bg_effect_on", nullptr}, {"bg_effect_off", nullptr}, {"bg_effect", nullptr},
    {"date_disp", nullptr}, {"date_disp2", nullptr}, {"trans_sp4", nullptr},
    {"fade_sp4", nullptr}, {"blue_sky", nullptr}, {"param_calc", &CScript::ParamCalc},
    {"break", &CScript::Break}, {"macro", &CScript::IgnoreOneToken},
    {"koukando_disp", nullptr}, {"novel_on", nullptr}, {"novel_off", nullptr},
    {"set_effect", nullptr},
};

CScript::CScript(Platform& platform, ScriptHost& host, Engine& engine)
    : platform_(platform), host_(host), engine_(engine), reader_(*this) {}

GameState& CScript::State() { return *engine_.state; }

// ---------------------------------------------------------------------------------------------
// Loading

bool CScript::LoadScript(std::string_view path, bool scenarioMode) {
  reader_.Clear();
  scriptPath_.clear();
  scenarioMode_ = scenarioMode;
  const std::string pathText(path);
  std::vector<char> text;
  std::uint64_t size = 0;
  std::size_t read = 0;
  CFile file;
  try {
    if (file.Open(path, FileAccess::kRead)) {
      size = file.GetSize();
      text.resize(size);
      read = file.Read(text.data(), text.size());
    } else if (engine_.scripts.Find(path)) {
      size = engine_.scripts.GetSize();
      text.resize(size);
      read = engine_.scripts.Read(text.data(), text.size());
    } else {
      ScriptErrorAt(kCannotOpen, "", "SCRIPT", kCannotOpenNumber, pathText);
      return false;
    }
  } catch (const std::bad_alloc&) {
    ScriptErrorAt(kOutOfMemory, "", "SCRIPT", kOutOfMemoryNumber, pathText);
    return false;
  }
  if (size == 0) {
    ScriptErrorAt(kBadSize, "", "SCRIPT", kBadSizeNumber, pathText);
    return false;
  }
  if (read < size) {
    ScriptErrorAt(kBadReadSize, "", "SCRIPT", kBadReadSizeNumber, pathText);
    return false;
  }
  reader_.SetText(std::move(text));
  scriptPath_ = pathText;
  if (State().flags[GameState::kNoSaveFlag] == 0) RegisterVoiceStatements();
  return true;
}

// Numbers every voice statement of the script in text order and records where it stands, so
// that the statement finds its read-list entry by its own position when it runs.
bool CScript::RegisterVoiceStatements() {
  CReadList& readList = engine_.readList;
  readList.ResetScript(scriptPath_);
  const std::string_view text = reader_.Text();
  const std::size_t size = text.size();
  auto blankBefore = [&](std::size_t p) {
    const char before = text[p - 1];
    return before == ' ' || before == '\t' || before == '\r' || before == '\n';
  };
  auto startsWith = [&](std::size_t p, std::string_view word) {
    return text.compare(p, word.size(), word) == 0;
  };
  int number = 0;
  std::size_t p = 1;
  while (p < size) {
    const char c = text[p];
    if (IsLead(c)) {
      p += 2;
    } else if (c == ';') {
      while (p < size && text[p] != '\n') ++p;
    } else if (startsWith(p, "vo_sel ")) {
      readList.Register(scriptPath_, number++, static_cast<int>(p));
      p += 7;
      const std::int32_t choices = LeadingNumber(text.substr(p));
      for (std::int32_t k = 0; k < choices && number < kMaxMessageNumbers; ++k) {
        readList.Register(scriptPath_, number++, static_cast<int>(p));
      }
      p += 1;
    } else if ((startsWith(p, "vo ") || startsWith(p, "vo\t") || startsWith(p, "vox ") ||
                startsWith(p, "vox\t")) &&
               blankBefore(p)) {
      readList.Register(scriptPath_, number++, static_cast<int>(p));
      p += 3;
    } else {
      p += 1;
    }
  }
  return true;
}

bool CScript::CheckFile(std::string_view path, bool quiet) {
  CFile loose;
  if (loose.Open(path, FileAccess::kRead)) return true;
  CArcFile* archive = nullptr;
  if (EndsWithIgnoringCase(path, ".scr")) {
    archive = &engine_.scripts;
  } else if (EndsWithIgnoringCase(path, ".wav")) {
    archive = &engine_.sounds;
  } else if (EndsWithIgnoringCase(path, ".bmp") || EndsWithIgnoringCase(path, ".psd")) {
    archive = &engine_.pictures;
  }
  if (archive != nullptr && archive->Find(path)) return true;
  if (!quiet) ScriptError(kFileMissing, path);
  return false;
}

// ---------------------------------------------------------------------------------------------
// Reports

void CScript::ScriptErrorAt(std::string_view message, std::string_view detail,
                            std::string_view name, int number, std::string_view text) {
  MessageBoxRequest box;
  box.caption = std::string(WithoutFolder(name)) + " (" + std::to_string(number) + ")";
  box.text = std::string(kScriptErrorHeading) + "\n" + std::string(message) + " " +
             std::string(detail) + "\n" + std::string(text);
  box.icon = MessageBoxIcon::kError;
  platform_.ShowMessageBox(box);
}

void CScript::ScriptError(std::string_view message, std::string_view detail) {
  ScriptErrorAt(message, detail, State().ScriptName(), reader_.LineNumber(), reader_.LineText());
}

bool CScript::ParamError(std::string_view detail) {
  ScriptError(kBadParameter, detail);
  return false;
}

// ---------------------------------------------------------------------------------------------
// The step

void CScript::SetReadPosition(int position) {
  const std::string_view text = reader_.Text();
  if (position < 1 || position > static_cast<int>(text.size())) position = 1;
  const std::size_t end = std::min(static_cast<std::size_t>(position), text.size());
  const auto lineBreaks = std::count(text.begin() + std::min<std::size_t>(1, end), text.begin() + end, '\n');
  reader_.SetPosition(position);
  reader_.SetLineNumber(1 + static_cast<int>(lineBreaks));
}

void CScript::ConsumeToken() { reader_.Advance(std::strlen(token_)); }

void CScript::ReadParameter(char* buffer, std::size_t capacity) {
  reader_.ReadToken(buffer, capacity);
  reader_.Advance(std::strlen(buffer));
}

std::int32_t CScript::EvaluateParameter() {
  char parameter[kParameterCapacity];
  ReadParameter(parameter);
  return Evaluate(parameter, State(), *this);
}

bool CScript::Tick() {
  reader_.ReadToken(token_, kTokenCapacity);
  reader_.ReadLineText();
  if (engine_.debugMode) {
    platform_.SetCaption(std::string(State().ScriptName()) + " (" +
                         std::to_string(reader_.LineNumber()) + ") : " + reader_.LineText());
  }
  if (token_[0] == '\0') return EndOfText();
  return Dispatch();
}

bool CScript::Dispatch() {
  switch (token_[0]) {
    case ';': return Comment();
    case '}': return BlockEnd();
    case '[': return Condition();
    default: break;
  }
  if (ContainsAssignment(token_)) return Assign();
  if (token_[0] == '$' || IsLead(token_[0])) {
    return messageLineHandler_ != nullptr ? messageLineHandler_(*this) : Undefined();
  }
  bool found = false;
  const bool result = RunStatementWord(found);
  if (found) return result;
  if (token_[0] == '@') return Label();
  return Undefined();
}

// Words are unique, so one lookup finds the word the ordered tests would find first.
const std::unordered_map<std::string_view, CScript::Handler>& CScript::WordTable() {
  static const std::unordered_map<std::string_view, Handler> table = [] {
    std::unordered_map<std::string_view, Handler> entries;
    for (const StatementWord& entry : kStatementWords) entries.emplace(entry.word, entry.handler);
    return entries;
  }();
  return table;
}

// The word's own handler, else one attached by its owner, else the undefined report.
bool CScript::RunStatementWord(bool& found) {
  const auto& words = WordTable();
  const auto word = words.find(token_);
  found = word != words.end();
  if (!found) return false;
  if (word->second != nullptr) return (this->*word->second)();
  const auto attached = attachedHandlers_.find(token_);
  if (attached == attachedHandlers_.end()) return Undefined();
  if (preEffectStep_ != nullptr && IsPreEffectWord(token_)) preEffectStep_(*this);
  return attached->second(*this);
}

// The statements that start a screen effect or a layer transition.
bool CScript::IsPreEffectWord(std::string_view word) {
  static constexpr std::string_view kWords[] = {
      "bg1", "bg1_fi", "bg1_cf", "bg1_mi", "bg2", "bg2_fi", "bg3", "bg3_fi", "bg4_fi", "ev1",
      "ev1_fi", "ev1_cf", "sp1", "sp1_fi", "sp1_cf", "sp2", "sp2_fi", "sp2_cf", "sp3_cf",
      "sp_fade_out", "sp_fo", "fade_out", "fo", "fo2", "sp_wait", "move_yposi", "move_xyposi",
      "move_xywait", "set_alpha2", "mono", "mosaic", "scroll", "shake", "shake2", "shake3",
      "fade_all_out", "fade_all_in", "fade_all_white_out", "fade_all_white_in", "zoom", "zoom2",
      "zoom_wait", "rotate", "rotate_wait", "ef2", "date_disp", "date_disp2", "fade_sp4"};
  return std::find(std::begin(kWords), std::end(kWords), word) != std::end(kWords);
}

bool CScript::SetStatementHandler(std::string_view word, StatementHandler handler) {
  const auto& words = WordTable();
  const auto entry = words.find(word);
  if (entry == words.end() || entry->second != nullptr) return false;
  attachedHandlers_[entry->first] = handler;
  return true;
}

bool CScript::Undefined() {
  ScriptError(kUndefinedCommand, token_);
  ConsumeToken();
  return true;
}

bool CScript::EndOfText() {
  if (endReportOn_ && engine_.ignoreBranches) {
    if (WalkToNextScript()) return true;
  } else if (endReportOn_) {
    ScriptError(kRanToTheEnd, "");
    endReportOn_ = false;
  } else {
    platform_.Sleep(kIdleSleep);
  }
  WaitStep(false, true);
  return true;
}

// Debug run through every script: the script after the current one in archive order, passing
// over the title script and the members that are not scripts (the tables beside them).
bool CScript::WalkToNextScript() {
  const CArcFile& scripts = engine_.scripts;
  const std::string current = std::string(State().ScriptName()) + ".scr";
  auto walkable = [&](int k) {
    const std::string member = scripts.GetName(k);
    const std::size_t dot = member.rfind('.');
    return dot != std::string::npos && EqualsIgnoringAsciiCase(member.substr(dot), ".scr") &&
           !EqualsIgnoringAsciiCase(member, "open.scr");
  };
  for (int i = 0; i < scripts.GetCount(); ++i) {
    if (!EqualsIgnoringAsciiCase(scripts.GetName(i), current)) continue;
    int next = i + 1;
    while (next < scripts.GetCount() && !walkable(next)) ++next;
    if (next >= scripts.GetCount()) return false;
    std::string name = scripts.GetName(next);
    name = name.substr(0, name.rfind('.'));
    State().SetScriptName(name);
    LoadScript("scr\\" + name + ".scr", scenarioMode_);
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// Waiting primitives

bool CScript::IsClosing() const { return host_.IsClosing(); }

bool CScript::IsTitleRequested() const { return host_.TitleRequested(); }

bool CScript::Poll() {
  host_.ProcessMessages();
  if (engine_.upkeep != nullptr) engine_.upkeep->Run();
  if (redrawRequest_) {
    Present();
    redrawRequest_ = false;
  }
  if (host_.IsClosing()) return false;
  const bool active = host_.IsRunningActive();
  mouseX_ = active ? host_.MouseX() : -1;
  mouseY_ = active ? host_.MouseY() : -1;
  InputState& input = engine_.input;
  input.ClearInput(kInputWheelUp | kInputWheelDown, false);
  if (active && host_.IsCtrlDown()) {
    input.SetInput(kInputSkip, true);
  } else {
    input.ClearInput(kInputSkip, false);
  }
  return true;
}

bool CScript::TakeClick() {
  if (!engine_.input.IsLatched(kInputAdvance)) return false;
  engine_.input.ClearInput(0, true);
  State().variables['C' - 'A'] = 1;
  SetAutoMode(false);
  SetSkipMode(false);
  return engine_.settings.effect.clickCancel;
}

// Turning a mode on frees the key-wait icon, so that the wait loads the mode's own icon.
void CScript::SetAutoMode(bool on) {
  engine_.autoMode = on;
  if (on) ReleaseKeyWaitIcon();
}

void CScript::SetSkipMode(bool on) {
  engine_.skipMode = on;
  if (on) ReleaseKeyWaitIcon();
}

void CScript::ReleaseKeyWaitIcon() {
  if (engine_.sprites != nullptr) engine_.sprites->At(message_slots::kKeyWaitIcon).Release();
}

bool CScript::Present() {
  if (!host_.IsRunningActive()) {
    platform_.Sleep(kIdleSleep);
    return true;
  }
  const std::uint32_t now = platform_.Ticks();
  const std::uint32_t elapsed = now - lastRateTime_;
  if (elapsed >= kRateWindow) {
    frameRate_ = static_cast<int>(frameCounter_ * 10000u / elapsed);
    frameCounter_ = 0;
    lastRateTime_ = now;
    ShowFrameRate();
  }
  if (engine_.display != nullptr) engine_.display->DrawFrame(true, true, false);
  ++frameCounter_;
  return true;
}

// Debug mode shows the frame rate in the corner the settings choose; otherwise the slot stays
// empty.
void CScript::ShowFrameRate() {
  if (engine_.sprites == nullptr) return;
  CDIBSprite& sprite = engine_.sprites->At(SpriteTable::kDebugSlot);
  if (!engine_.debugMode) return sprite.Release();
  char text[32];
  std::snprintf(text, sizeof text, "%d.%d FPS", frameRate_ / 10, frameRate_ % 10);
  sprite.SetText(text, engine_.fonts[0], kFrameRateColour, kFrameRateCharacterWidth, true);
  const int corner = engine_.settings.display.timeTop;
  const int right = 800 - 12 - 12 * static_cast<int>(std::strlen(text));
  sprite.SetPosition(corner >= 2 ? right : 12, corner == 1 || corner == 3 ? 576 : 0);
}

bool CScript::WaitStep(bool present, bool clearFontChange) {
  if (host_.IsClosing()) return true;
  Poll();
  if (present) Present();
  if (host_.TitleRequested()) {
    if (engine_.display != nullptr) engine_.display->SetPan(0);
    endReportOn_ = true;
    SetAutoMode(false);
    SetSkipMode(false);
    fastForward_ = false;
    host_.SetTextSize(0);
    State().flags[GameState::kBackgroundEffectFlag] = 0;
    State().Clear();
    return true;
  }
  if (engine_.fontChanged) {
    GiveTextSpritesFonts();
    if (clearFontChange) engine_.fontChanged = false;
  }
  return false;
}

// The sprites that keep text of their own hold the fonts they were made with; the old fonts
// are gone once the game fonts were made again.
void CScript::GiveTextSpritesFonts() {
  if (engine_.sprites == nullptr) return;
  SpriteTable& sprites = *engine_.sprites;
  sprites.At(message_slots::kTextHolder).SetFont(engine_.fonts[1]);
  for (const int slot : {message_slots::kNameSurface, 85, 93, 129, 232, 234}) {
    sprites.At(slot).SetFont(engine_.fonts[0]);
  }
  for (int slot = 240; slot <= 249; ++slot) sprites.At(slot).SetFont(engine_.fonts[0]);
  for (int i = 0; i < engine_.choices.registered; ++i) {
    sprites.At(choice_slots::kText + i).SetFont(engine_.fonts[0]);
  }
}

// ---------------------------------------------------------------------------------------------
// Statements of the language

bool CScript::Comment() {
  ConsumeToken();
  reader_.SkipToLineEnd();
  return true;
}

bool CScript::BlockEnd() {
  reader_.Advance(1);
  return true;
}

bool CScript::Label() {
  ConsumeToken();
  return true;
}

bool CScript::PassOver() {
  ConsumeToken();
  return true;
}

bool CScript::IgnoreOneToken() {
  ConsumeToken();
  char ignored[kParameterCapacity];
  ReadParameter(ignored);
  return true;
}

void CScript::ExpandName(std::string& word) const {
  if (word.empty() || !IsLead(word[0])) return;
  if (const char* value = engine_.defines.Find(word, true)) word = value;
}

std::string CScript::ExpandAssignmentNames(std::string_view token) const {
  std::string result;
  std::string word;
  for (std::size_t i = 0;; ++i) {
    const char c = i < token.size() ? token[i] : '\0';
    if (IsLead(c) && i + 1 < token.size()) {
      word += c;
      word += token[++i];
      continue;
    }
    switch (c) {
      case '\0': case '!': case '%': case '&': case '*': case '+': case '-': case '/':
      case '=': case ']': case '|':
        ExpandName(word);
        result += word;
        if (c == '\0') return result;
        result += c;
        word.clear();
        break;
      case '[':
      case '{':
        result += c;
        word.clear();
        break;
      default:
        word += c;
    }
  }
}

bool CScript::Assign() {
  const std::string token(token_);
  ConsumeToken();
  const std::string expanded = ExpandAssignmentNames(token);
  std::size_t at = 0;
  std::size_t operatorLength = 0;
  for (; at < expanded.size(); ++at) {
    const char c = expanded[at];
    if (IsLead(c)) {
      ++at;
      continue;
    }
    if (c == '=') {
      operatorLength = 1;
      break;
    }
    if ((c == '+' || c == '-' || c == '*' || c == '/') && at + 1 < expanded.size() &&
        expanded[at + 1] == '=') {
      operatorLength = 2;
      break;
    }
  }
  if (operatorLength == 0) {
    ScriptError(kNotAnAssignment, token);
    return false;
  }
  const std::string_view left = std::string_view(expanded).substr(0, at);
  const std::string_view op = std::string_view(expanded).substr(at, operatorLength);
  const std::int32_t value =
      Evaluate(std::string_view(expanded).substr(at + operatorLength), State(), *this);
  if (left.size() > 1 && left[0] == 'F' && IsDigit(left[1])) return AssignFlag(left, op, value);
  if (!left.empty() && IsCapital(left[0])) return AssignVariable(left, op, value);
  ScriptError(kCannotAssign, left);
  return false;
}

// Flags hold 0..255: every result is clamped into that range.
bool CScript::AssignFlag(std::string_view left, std::string_view op, std::int32_t value) {
  const std::int32_t flag = Evaluate(left.substr(1), State(), *this);
  if (flag < 0 || flag >= GameState::kFlagCount) {
    ScriptError(kFlagOutOfRange, left);
    return false;
  }
  std::uint8_t& stored = State().flags[flag];
  const std::int64_t current = stored;
  std::int64_t result = value;
  switch (op[0]) {
    case '+': result = current + value; break;
    case '-': result = current - value; break;
    case '*': result = current * value; break;
    case '/':
      if (value == 0) {
        ParamError(left);
        result = 0;
      } else {
        result = current / value;
      }
      break;
    default: break;
  }
  stored = static_cast<std::uint8_t>(result < 0 ? 0 : result > 255 ? 255 : result);
  return true;
}

// Variables wrap at 32 bits like the expressions.
bool CScript::AssignVariable(std::string_view left, std::string_view op, std::int32_t value) {
  std::int32_t& variable = State().variables[left[0] - 'A'];
  const auto current = static_cast<std::uint32_t>(variable);
  const auto operand = static_cast<std::uint32_t>(value);
  switch (op[0]) {
    case '+': variable = static_cast<std::int32_t>(current + operand); break;
    case '-': variable = static_cast<std::int32_t>(current - operand); break;
    case '*': variable = static_cast<std::int32_t>(current * operand); break;
    case '/':
      if (value == 0) {
        ParamError(left);
        variable = 0;
      } else if (value == -1) {
        variable = static_cast<std::int32_t>(0u - current);
      } else {
        variable /= value;
      }
      break;
    default: variable = value; break;
  }
  return true;
}

bool CScript::ConditionFails(std::string_view message) {
  ScriptError(message, "");
  return false;
}

bool CScript::ApplyConditionTerm(std::int32_t value, char& comparison, char& logic,
                                 std::int32_t& left, std::int32_t& result) {
  if (comparison == 0) {
    left = value;
    return true;
  }
  left = Compare(left, comparison, value) ? 1 : 0;
  if (logic == '&') {
    result = (result != 0 && left != 0) ? 1 : 0;
  } else if (logic == '|') {
    result = (result != 0 || left != 0) ? 1 : 0;
  } else {
    result = left;
  }
  logic = 0;
  comparison = 0;
  return true;
}

char CScript::SkipToBrace(bool openingOnly) {
  for (;;) {
    const char byte = reader_.SkipLineBreaks();
    if (byte == '\0') {
      ScriptError(kEndOfScript, "");
      return '\0';
    }
    reader_.Advance(IsLead(byte) ? 2 : 1);
    if (byte == ' ' || byte == '\t') continue;
    if (byte == ';') {
      while (!reader_.AtEnd() && reader_.Current() != '\r' && reader_.Current() != '\n') {
        reader_.Advance(1);
      }
      if (reader_.AtEnd()) {
        ScriptError(kEndOfScript, "");
        return '\0';
      }
      continue;
    }
    if (openingOnly || byte == '{' || byte == '}') return byte;
  }
}

bool CScript::SkipBlock() {
  int depth = 0;
  for (;;) {
    const char brace = SkipToBrace(false);
    if (brace == '\0') return false;
    depth += brace == '{' ? 1 : -1;
    if (depth < 0) return ConditionFails(kBracketNotClosed);
    if (depth == 0) return true;
  }
}

bool CScript::Condition() {
  reader_.Advance(1);
  const std::string_view text = reader_.Text();
  char logic = 0;
  char comparison = 0;
  std::int32_t result = 0;
  std::int32_t left = 0;
  for (;;) {
    if (reader_.AtEnd()) return ConditionFails(kEndOfScript);
    const char c = reader_.Current();
    const char next = reader_.At(reader_.Position() + 1);
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ScriptError(c == ' ' || c == '\t' ? kExtraSpace : kEndsWithLineBreak, "");
      reader_.Advance(1);
    } else if (c == '&' || c == '|') {
      logic = c;
      reader_.Advance(1);
    } else if ((c == '<' || c == '>') && next == '=') {
      comparison = c == '>' ? 'G' : 'L';
      reader_.Advance(2);
    } else if (c == '<' || c == '>' || c == '!' || c == '=') {
      comparison = c;
      reader_.Advance(1);
    } else if (c == ']') {
      reader_.Advance(1);
      if (comparison != 0 || logic != 0) return ConditionFails(kOperationUnfinished);
      if (result == 0 && !engine_.ignoreBranches) return SkipBlock();
      const char brace = SkipToBrace(true);
      if (brace == '{') return true;
      return brace == '\0' ? false : ConditionFails(kBlockNotStarted);
    } else {
      const std::size_t length = TermLength(text, static_cast<std::size_t>(reader_.Position()));
      std::string term(text.substr(static_cast<std::size_t>(reader_.Position()), length));
      std::int32_t value = 0;
      if (IsDigit(c)) {
        value = LeadingNumber(term);
      } else if (IsCapital(c) && c != 'F') {
        value = State().variables[c - 'A'];
      } else {
        if (!IsCapital(c)) ExpandName(term);
        if (term.empty() || term[0] != 'F') return ConditionFails(kBadCharacter);
        const int flag = FlagNumber(std::string_view(term).substr(1));
        if (flag < 0) {
          ScriptError(kFlagOutOfRange, term);
          return false;
        }
        value = State().flags[flag];
      }
      ApplyConditionTerm(value, comparison, logic, left, result);
      reader_.Advance(length);
    }
  }
}

bool CScript::Goto() {
  ConsumeToken();
  char label[kParameterCapacity];
  ReadParameter(label);
  if (engine_.ignoreBranches) return true;
  reader_.SetLineNumber(1);
  reader_.SetPosition(1);
  char token[kTokenCapacity];
  for (;;) {
    const int start = reader_.Position();
    reader_.ReadToken(token, sizeof token);
    reader_.Advance(std::strlen(token));
    // A zero byte reads as an empty token; stepping over it keeps the search moving.
    if (reader_.Position() == start) reader_.Advance(1);
    if (reader_.Position() >= reader_.Size()) {
      ScriptError(kLabelNotFound, label);
      return false;
    }
    if (token[0] == '@' && std::strcmp(token + 1, label) == 0) return true;
  }
}

bool CScript::Define() {
  ConsumeToken();
  char name[kParameterCapacity];
  char value[kParameterCapacity];
  ReadParameter(name);
  ReadParameter(value);
  if (!engine_.defines.Add(name, value)) ScriptError(kTableFull, "");
  return true;
}

bool CScript::DefineCg() {
  ConsumeToken();
  char picture[kParameterCapacity];
  char flag[kParameterCapacity];
  ReadParameter(picture);
  ReadParameter(flag);
  if (!engine_.cgTable.Add(picture, flag)) ScriptError(kTableFull, "");
  return true;
}

bool CScript::Random() {
  ConsumeToken();
  const std::int32_t limit = EvaluateParameter();
  const auto drawn = static_cast<std::int32_t>(engine_.random() & 0x7FFFFFFFu);
  State().variables['R' - 'A'] = limit == 0 ? 0 : drawn % limit;
  return true;
}

// Orders the five route scores (flags F771..F775 against their maxima) and leaves the ids of
// the two highest in F0 and F1; equal scores keep their order.
bool CScript::ParamCalc() {
  ConsumeToken();
  const std::uint8_t* flags = State().flags;
  int score[5] = {flags[771] * 1000 / 30, flags[772] * 1000 / 28, flags[773] * 1000 / 30,
                  flags[774] * 1000 / 32, flags[775] * 1000 / 16};
  int id[5] = {1, 2, 3, 4, 5};
  for (int pass = 0; pass < 5; ++pass) {
    for (int i = 0; i < 4; ++i) {
      if (score[i] < score[i + 1]) {
        std::swap(score[i], score[i + 1]);
        std::swap(id[i], id[i + 1]);
      }
    }
  }
  State().flags[0] = static_cast<std::uint8_t>(id[0]);
  State().flags[1] = static_cast<std::uint8_t>(id[1]);
  return true;
}

bool CScript::Break() {
  ConsumeToken();
  SetAutoMode(false);
  SetSkipMode(false);
  fastForward_ = false;
  ScriptError(kStoppedByBreak, "");
  return true;
}

// ---------------------------------------------------------------------------------------------
// Statements of the dispatcher

bool CScript::Change() { return ChangeScript(true); }

bool CScript::ChangeKaisou() { return ChangeScript(false); }

bool CScript::ChangeScript(bool replayEnds) {
  ConsumeToken();
  char name[kParameterCapacity];
  ReadParameter(name);
  if (replayEnds && !scenarioMode_) {
    fastForward_ = false;
    return false;
  }
  const std::string path = std::string("scr\\") + name + ".scr";
  if (!CheckFile(path, false) || engine_.ignoreBranches) return true;
  if (!LoadScript(path, scenarioMode_)) return false;
  State().SetScriptName(name);
  return true;
}

bool CScript::Title() {
  ConsumeToken();
  if (engine_.ignoreBranches) return true;
  SetAutoMode(false);
  SetSkipMode(false);
  fastForward_ = false;
  if (!scenarioMode_) {
    ScriptError(kTitleOnlyInScenario, "");
    return true;
  }
  State().Clear();
  if (!LoadScript(kTitleScriptPath, true)) return false;
  State().SetScriptName("open");
  if (engine_.sprites != nullptr) engine_.sprites->ReleaseAll();
  if (engine_.channels != nullptr) engine_.channels->ReleaseAll();
  engine_.message = MessagePage{};  // its text surface went with the sprites
  return true;
}

bool CScript::NameCheck() {
  ConsumeToken();
  State().variables['V' - 'A'] = engine_.settings.user.name == kDefaultHeroName ? 1 : 0;
  return true;
}

bool CScript::Wait() { return TimedWait(true); }

bool CScript::Sleep() { return TimedWait(false); }

// The time of `wait` and `sleep`: a decimal fraction of seconds ("1.5") or an expression in
// whole seconds; commas before the point are reported. A negative time waits not at all.
std::uint32_t CScript::WaitMilliseconds(const char* parameter) {
  const std::string_view text(parameter);
  const std::size_t point = text.find('.');
  for (std::size_t i = 0; i < std::min(point, text.size()); ++i) {
    if (text[i] == ',') ScriptError(kBadCharacterInTime, text);
  }
  std::int64_t milliseconds = 0;
  if (point != std::string_view::npos) {
    milliseconds = DecimalSeconds(text, 1000);
  } else {
    milliseconds = static_cast<std::int64_t>(Evaluate(text, State(), *this)) * 1000;
  }
  return static_cast<std::uint32_t>(std::clamp<std::int64_t>(milliseconds, 0, UINT32_MAX));
}

bool CScript::IsEffectCancelled() {
  if (engine_.input.IsHeld(kInputSkip)) return true;
  if (TakeClick()) return true;
  return engine_.skipMode || (engine_.autoMode && engine_.settings.skip.effect);
}

bool CScript::TimedWait(bool cancellable) {
  ConsumeToken();
  char parameter[kParameterCapacity];
  ReadParameter(parameter);
  if (fastForward_) {
    if (cancellable) return true;
    if (fastForwardStop_ != nullptr) {
      fastForwardStop_(*this);
    } else {
      fastForward_ = false;
    }
  }
  return WaitTime(parameter, cancellable);
}

bool CScript::WaitTime(const char* parameter, bool cancellable) {
  if (cancellable && engine_.settings.effect.waitCancel) return true;
  const std::uint32_t time = WaitMilliseconds(parameter);
  const std::uint32_t start = platform_.Ticks();
  do {
    if (host_.IsClosing()) break;
    if (!Poll()) return false;
    if (cancellable && IsEffectCancelled()) break;
    if (host_.TitleRequested()) break;
    Present();
  } while (platform_.Ticks() - start < time);
  return true;
}

}  // namespace halcyra

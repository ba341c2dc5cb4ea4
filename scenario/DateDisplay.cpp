#include "scenario/DateDisplay.h"

#include <cstdio>

#include "app/InputState.h"
#include "graphics/SpriteTable.h"
#include "scenario/EffectSupport.h"
#include "script/CScript.h"
#include "script/Engine.h"
#include "script/ScriptReader.h"

namespace halcyra {
namespace {

constexpr int kDateFontIndex = 0;  // the 24-pixel game font
constexpr int kDateCharacterWidth = 24;
constexpr unsigned char kWideDigitLead = 0x82;
constexpr int kWideDigitOffset = 31;

// Appends unit (one character) unless the text would grow past its capacity; false then.
bool AppendUnit(std::string& text, std::string_view unit) {
  if (text.size() + unit.size() > kDateTextCapacity) return false;
  text += unit;
  return true;
}

// The digits of one date or time field, or an empty text for an unknown code.
std::string FieldDigits(char code, const std::tm& time) {
  int value = 0;
  bool twoDigits = true;
  switch (code | 0x20) {  // either case
    case 'y': value = time.tm_year + 1900; twoDigits = false; break;
    case 'm': value = time.tm_mon + 1; twoDigits = false; break;
    case 'd': value = time.tm_mday; twoDigits = false; break;
    case 'h': value = time.tm_hour; break;
    case 'n': value = time.tm_min; break;
    case 's': value = time.tm_sec; break;
    default: return "";
  }
  char digits[16];
  std::snprintf(digits, sizeof digits, twoDigits ? "%02d" : "%d", value);
  return digits;
}

bool AppendWide(std::string& text, std::string_view digits) {
  for (const char digit : digits) {
    const char wide[2] = {static_cast<char>(kWideDigitLead),
                          static_cast<char>(digit + kWideDigitOffset)};
    if (!AppendUnit(text, std::string_view(wide, 2))) return false;
  }
  return true;
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool DateDisplay(CScript& script, bool waits) {
  script.ConsumeToken();
  const int x = script.EvaluateParameter();
  const int y = script.EvaluateParameter();
  char format[kDateTextCapacity + 1];
  script.ReadParameter(format, sizeof format);
  if (script.IsFastForward()) return true;
  Engine& engine = script.GetEngine();
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  CDIBSprite& sprite = engine.sprites->At(kDateSlot);
  sprite.SetText(ExpandDate(format, local), engine.fonts[kDateFontIndex], kWhite,
                 kDateCharacterWidth, false);
  sprite.SetPosition(x, y);
  if (!waits) return true;
  while (!engine.ignoreBranches) {
    if (script.WaitStep(true, false)) return true;
    if (engine.input.IsLatched(kInputAdvance)) {
      engine.input.ClearInput(0, true);
      return true;
    }
  }
  return true;
}

}  // namespace

std::string ExpandDate(std::string_view format, const std::tm& time) {
  std::string text;
  std::size_t i = 0;
  bool room = true;
  while (room && i < format.size()) {
    const char c = format[i];
    if (ScriptReader::IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < format.size()) {
      room = AppendUnit(text, format.substr(i, 2));
      i += 2;
    } else if (c == '%' && i + 1 < format.size() && IsLetter(format[i + 1])) {
      room = AppendWide(text, FieldDigits(format[i + 1], time));
      i += 2;
    } else {
      room = AppendUnit(text, format.substr(i, 1));
      ++i;
    }
  }
  return text;
}

void RegisterDateDisplayStatements(CScript& script) {
  script.SetStatementHandler("date_disp", [](CScript& s) { return DateDisplay(s, true); });
  script.SetStatementHandler("date_disp2", [](CScript& s) { return DateDisplay(s, false); });
}

}  // namespace halcyra

#include "script/Expression.h"

#include <algorithm>
#include <string>

#include "script/GameState.h"
#include "script/ScriptReader.h"
#include "script/ScriptTexts.h"

namespace halcyra {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsCapital(char c) { return c >= 'A' && c <= 'Z'; }

bool IsTermDelimiter(char c) {
  switch (c) {
    case '\0': case '\n': case '\r': case '\t': case ' ': case '+': case '-': case '*':
    case '/': case '%': case '^': case '=': case '!': case '<': case '>': case '&': case '|':
    case '[': case ']': case '{': case '}':
      return true;
    default:
      return false;
  }
}

bool IsOperator(char c) {
  return c == '+' || c == '-' || c == '*' || c == '/' || c == '%' || c == '&' || c == '|' ||
         c == '^';
}

std::int32_t Wrap(std::uint32_t value) { return static_cast<std::int32_t>(value); }

// One step of the left-to-right evaluation. Division and remainder by zero report and give 0;
// the one quotient that overflows (INT32_MIN / -1) wraps like the other operations.
std::int32_t Combine(std::int32_t result, char pending, std::int32_t value, std::string_view text,
                     ScriptErrorSink& errors) {
  const auto a = static_cast<std::uint32_t>(result);
  const auto b = static_cast<std::uint32_t>(value);
  switch (pending) {
    case '+': return Wrap(a + b);
    case '-': return Wrap(a - b);
    case '*': return Wrap(a * b);
    case '/':
    case '%':
      if (value == 0) {
        errors.ScriptError(script_texts::kBadParameter, text);
        return 0;
      }
      if (value == -1) return pending == '/' ? Wrap(0u - a) : 0;
      return pending == '/' ? result / value : result % value;
    case '&': return result & value;
    case '|': return result | value;
    case '^': return result ^ value;
    default: return value;
  }
}

}  // namespace

std::size_t TermLength(std::string_view text, std::size_t at) {
  std::size_t i = at;
  while (i < text.size() && !IsTermDelimiter(text[i])) {
    i += ScriptReader::IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
  }
  return (i < text.size() ? i : text.size()) - at;
}

int FlagNumber(std::string_view digits) {
  int number = 0;
  for (const char c : digits) {
    if (!IsDigit(c)) break;
    number = number * 10 + (c - '0');
    if (number >= GameState::kFlagCount) return -1;
  }
  return number;
}

std::int64_t DecimalSeconds(std::string_view text, std::int64_t unitsPerSecond) {
  std::size_t i = 0;
  std::int64_t seconds = 0;
  for (; i < text.size() && IsDigit(text[i]) && seconds < INT32_MAX; ++i) {
    seconds = seconds * 10 + (text[i] - '0');
  }
  std::int64_t fraction = 0;
  std::int64_t scale = 1;
  if (i < text.size() && text[i] == '.') {
    // Nine fraction digits are finer than any unit the engine counts in.
    for (++i; i < text.size() && IsDigit(text[i]) && scale < 1000000000; ++i) {
      fraction = fraction * 10 + (text[i] - '0');
      scale *= 10;
    }
  }
  return seconds * unitsPerSecond + fraction * unitsPerSecond / scale;
}

std::int32_t LeadingNumber(std::string_view text) {
  std::uint32_t number = 0;
  for (const char c : text) {
    if (!IsDigit(c)) break;
    number = number * 10u + static_cast<std::uint32_t>(c - '0');
  }
  return Wrap(number);
}

std::int32_t Evaluate(std::string_view text, const GameState& state, ScriptErrorSink& errors) {
  text = text.substr(0, text.find('\0'));
  std::int32_t result = 0;
  char pending = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (IsOperator(c)) {
      pending = c;
      continue;
    }
    if (!IsDigit(c) && !IsCapital(c)) {
      errors.ScriptError(script_texts::kBadParameter, text);
      return kExpressionError;
    }
    const std::size_t length = std::max<std::size_t>(TermLength(text, i), 1);
    const std::string_view term = text.substr(i, length);
    std::int32_t value = 0;
    if (IsDigit(c)) {
      value = LeadingNumber(term);
    } else if (c == 'F' && term.size() > 1 && IsDigit(term[1])) {
      const int flag = FlagNumber(term.substr(1));
      if (flag < 0) {
        errors.ScriptError(script_texts::kFlagOutOfRange, term);
        return kExpressionError;
      }
      value = state.flags[flag];
    } else {
      value = state.variables[c - 'A'];
    }
    result = Combine(result, pending, value, text, errors);
    pending = 0;
    i += length - 1;
  }
  if (pending != 0) {
    errors.ScriptError(script_texts::kBadParameter, text);
    return kExpressionError;
  }
  return result;
}

}  // namespace halcyra

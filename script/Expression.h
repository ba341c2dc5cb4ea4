// Integer expressions of the script language: terms (decimal literals, flags F0..F2047,
// variables A..Z) joined by + - * / % & | ^ strictly left to right, with no precedence,
// parentheses or blanks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace halcyra {

struct GameState;
class ScriptErrorSink;

inline constexpr std::int32_t kExpressionError = INT32_MIN;

// Evaluates text (up to its first zero byte). Faults are reported to errors and give
// kExpressionError. Arithmetic wraps at 32 bits. Division or remainder by zero reports
// "パラメータが不正" and gives 0 for that step, so a script that divides by an empty variable
// goes on with a defined value.
std::int32_t Evaluate(std::string_view text, const GameState& state, ScriptErrorSink& errors);

// Length of the term that starts at text[at]: bytes up to the next delimiter (zero, line break,
// blank, tab, an operator, a comparison or a bracket), two at a time for a double-byte
// character.
std::size_t TermLength(std::string_view text, std::size_t at);

// The flag number written at the start of digits (0 when none), or -1 when it lies beyond the
// last flag.
int FlagNumber(std::string_view digits);

// A decimal number of seconds at the start of text ("1.5"; digits, an optional point and up to
// nine fraction digits) times units per second, truncated toward zero.
std::int64_t DecimalSeconds(std::string_view text, std::int64_t unitsPerSecond);

// The decimal number at the start of text (leading digits only, 0 when none), wrapping at 32
// bits like the arithmetic.
std::int32_t LeadingNumber(std::string_view text);

}  // namespace halcyra

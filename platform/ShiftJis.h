// Conversion between the engine's Shift-JIS text (code page 932) and UTF-8 at the platform edge.
#pragma once

#include <string>
#include <string_view>

namespace halcyra {

// Bytes that do not form a valid character become '?'; the rest of the text is kept.
std::string ShiftJisToUtf8(std::string_view shiftJis);
std::string Utf8ToShiftJis(std::string_view utf8);

}  // namespace halcyra

// The date display statements `date_disp` and `date_disp2` (x, y, format): the format with its
// date and time codes replaced is drawn in white with the 24-pixel game font into sprite slot 34
// at (x, y); `date_disp` then waits for a click, `date_disp2` does not. The text stays until the
// slot is next drawn into.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

namespace halcyra {

class CScript;

inline constexpr int kDateSlot = 34;
inline constexpr std::size_t kDateTextCapacity = 1023;  // bytes of the expanded text

void RegisterDateDisplayStatements(CScript& script);

// The format (Shift-JIS) with "%" and a letter replaced by a field of time in full-width
// digits (each ASCII digit c becomes the bytes 0x82, c + 31): %y year, %m month, %d day as they
// are, %h hour, %n minute, %s second in two digits; either case. Any other letter after "%"
// gives nothing; a "%" before anything else stays. Double-byte characters are copied whole. The
// text is cut to kDateTextCapacity bytes, never inside a character.
std::string ExpandDate(std::string_view format, const std::tm& time);

}  // namespace halcyra

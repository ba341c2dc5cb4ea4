// The icon bar of the message window during a wait: which icons are loaded, the icon under the
// pointer with its highlighted cell, the guide picture and the spoken guides.
//
// Icon n (1..14) lives in sprite slot 50 + n; cell 0 is its normal look, cell 1 the highlighted
// one. Icons 10 to 14 are not loaded here (the hide button and the affection display belong to
// the scenario's own pictures).
#pragma once

#include <string>

namespace halcyra {

class CScript;
struct Engine;

inline constexpr int kIconLog = 1;
inline constexpr int kIconLoad = 2;
inline constexpr int kIconSave = 3;
inline constexpr int kIconPreviousChoice = 4;
inline constexpr int kIconNextChoice = 5;
inline constexpr int kIconSkip = 6;
inline constexpr int kIconAuto = 7;
inline constexpr int kIconOption = 8;
inline constexpr int kIconExit = 9;
inline constexpr int kIconHide = 10;
inline constexpr int kIconAffectionAdvance = 12;
inline constexpr int kIconAffectionOption = 14;
inline constexpr int kLastHoverIcon = 14;

// Loads the icons that apply at (x + 332, y + 34) of the current layout, stopped on cell 0, and
// hides what the Window settings switch off. Icons that do not apply are released.
void SetupIconBar(CScript& script);

// One frame of hovering: every shown icon back to cell 0, the first icon under the pointer
// (a non-transparent pixel of its current cell) to cell 1 with its guide picture. Returns the
// icon (0: none).
int HoverIcons(CScript& script);
// The pointer entered icon n: its spoken guide, and the affection display's opacity.
void EnterIcon(CScript& script, int icon);

}  // namespace halcyra

// Page mode: the text laid out a page at a time in window 3 over a darkened scene
// (`novel_on`, `novel_off`), and the fade of that darkening.
#pragma once

namespace halcyra {

class CScript;

// `novel_on` and `novel_off`.
bool PageModeOn(CScript& script);
bool PageModeOff(CScript& script);
// Page mode on or off: the current layout follows, and the window background hides in it.
void SetPageMode(CScript& script, bool on);
// Before every message (forEffect false): the text surface shows and the scene darkens to the
// page-mode level (none outside page mode). Before a screen effect or a layer transition
// (forEffect true): the text may hide and the scene brightens, as the Novel settings say.
// The fade is cut short by a click, Ctrl or skip mode.
void FadePageDim(CScript& script, bool forEffect);
void FadePageDimForEffect(CScript& script);

}  // namespace halcyra

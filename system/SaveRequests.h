// What a waiting statement does at the end of each frame with the player's save requests
// (quick save, quick load, return to the last choice), and the save items of the menus.
#pragma once

namespace halcyra {

class CScript;

enum RequestResult : int {
  kRequestNone = 0,
  kRequestPositionChanged = 1,  // a save was loaded: the wait ends and play goes on from it
  kRequestAdvance = 2,          // fast-forward mode: the wait ends at once
};

// Carries out one pending request (fast-forward mode first, then previous choice, quick load,
// quick save) and clears it. Quick save and quick load are refused while the no-save flag is
// set.
int ProcessRequests(CScript& script);

// Quick save to slot 800 with its guide voice and the notice "［クイックセーブしました］" at the
// top right for a second.
void QuickSave(CScript& script);

// on in scenario mode: Next and QSave enabled, Prev and QLoad enabled with the dates of
// "Save900.dat" and "Save800.dat" in their captions, or disabled (keeping their captions) when
// the file is missing. Otherwise every item but the popup's QSave follows on; the popup's QSave
// always does.
void UpdateMenuState(CScript& script, bool on);

}  // namespace halcyra

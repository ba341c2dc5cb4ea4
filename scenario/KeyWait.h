// The waits for the player at the end of a line or a page (`ret`, `ret_noskip`, `key`): the
// per-frame input handling of a wait (icons, hiding and showing the window, dragging it, keys
// and the wheel), the key-wait icon, the auto and skip timeouts, and the end of fast-forward
// mode with the scene brought back.
#pragma once

namespace halcyra {

class CScript;
struct Engine;

// What one frame of HandleWaitInput asks of the wait.
enum WaitInputResult : int {
  kWaitNothing = 0,    // nothing happened (or leaving was requested)
  kWaitLoaded = 1,     // the script position changed: leave the wait at once
  kWaitAdvance = 2,    // the wait ends
  kWaitRestarted = 3,  // the backlog restarted the script from a log entry
  kWaitScreen = 4,     // a screen was shown or the window was hidden or shown: wait on
  kWaitHover = 5,      // the icon under the pointer changed: wait on
};

// Attaches `ret`, `ret_noskip` and `key`.
void RegisterKeyWaitStatements(CScript& script);

// Waits for the player (skippable: Ctrl, auto and skip mode may end it; page: the page ends
// with it). Returns at once while the scenario has not switched the waits on (`auto_ret_off`).
// False when the player asked to leave a recollection replay.
bool WaitForKey(CScript& script, bool skippable, bool page);
// One frame of input while waiting (inChoice: a choice waits, not a message).
int HandleWaitInput(CScript& script, bool inChoice);
// Moves the window layer and the window's layouts; dx below -9999 moves x back to 0, dy below
// -9999 moves y back to 423.
void MoveWindow(Engine& engine, int dx, int dy);
// Loads the key-wait icon of the wait (line, page, or the running mode's own).
void ShowKeyWaitIcon(CScript& script, bool page);
// Shows the key-wait icon where Message/RetPosi puts it.
void PlaceKeyWaitIcon(Engine& engine);
// Ends fast-forward mode and brings back what it did not draw; nothing outside it.
void StopFastForward(CScript& script);
// Puts the two particle settings of `set_effect` kept in the state back on their layers.
void ReapplyParticles(Engine& engine);

}  // namespace halcyra

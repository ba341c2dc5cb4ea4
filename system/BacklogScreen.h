// The backlog screen: pages back through the logged messages in the message window, replays
// their voices and resumes play from any of them. It runs its own frame loop and owns the input
// while open; sprite slots 79..129 are its own.
#pragma once

namespace halcyra {

class CScript;

// Runs the backlog until the player leaves it. False when there is nothing logged or the program
// ends meanwhile; true when play resumes from an entry (closing resumes at the newest one,
// repeating the current line from its voice statement) or a return to the title was carried out,
// so that the waiting statement ends.
bool OpenBacklog(CScript& script);

// Draws entry k (1 = newest) in the log window. restore (or Log/Cg) makes the scene layers
// follow the entry.
void ShowLogEntry(CScript& script, int k, bool restore);

// Plays entry k's voice in the voice player's backlog mode.
void ReplayLogVoice(CScript& script, int k);

// Resumes play from entry k: the k newest entries are dropped, the state comes back from the
// entry and its script continues at the entry's voice statement. False when the script cannot
// be loaded.
bool ResumeFromLogEntry(CScript& script, int k);

}  // namespace halcyra

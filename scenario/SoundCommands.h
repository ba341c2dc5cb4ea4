// The script statements that play music and sound effects and wait for them: the `bgm` and `se`
// families, `se_wait`, `vo_wait`, `bgm_wait`, and the camera pan statements `pan`, `set_pan` and
// `calc_pan`.
// What plays is recorded in the scenario state, also in fast-forward mode, so that it can be
// restored.
#pragma once

#include <string>
#include <string_view>

namespace halcyra {

class CScript;

// Attaches the handlers of these statements to the interpreter.
void RegisterSoundStatements(CScript& script);

// The game path of a sound named in a script: "wav\\NAME.wav".
std::string SoundPath(std::string_view name);

// Puts a channel back into a recorded state, as loading a save or leaving fast-forward mode does:
// records the name (music, the three effect channels with their loop flag, the pending voice),
// then plays it at the channel's volume setting; an empty name or a volume of 0 releases the
// channel instead. Music is streamed and stays silent while music is switched off.
void RestoreSound(CScript& script, int channel, std::string_view name, bool loop);
// RestoreSound for the music and the three effect channels from what the scenario state
// records, as loading a save, resuming from the log and leaving fast-forward mode need.
void RestoreRecordedSounds(CScript& script);

// Moves the camera pan to target in equal steps over the pan duration (`set_pan`), one a frame;
// a distance shorter than the duration moves at once. Skip mode, auto mode when it cancels
// effects, and Ctrl cut it short at the target.
void PanCamera(CScript& script, int target);

// Sets the flag that def_cg registered for a picture or music name, in scenario mode only.
void MarkPictureSeen(CScript& script, std::string_view name);

}  // namespace halcyra

// The script statements that play music and sound effects and wait for them: the `bgm` and `se`
// families, `se_wait`, `vo_wait`, `bgm_wait`, and the camera pan statements `pan` and `set_pan`.
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

// Sets the flag that def_cg registered for a picture or music name, in scenario mode only.
void MarkPictureSeen(CScript& script, std::string_view name);

}  // namespace halcyra

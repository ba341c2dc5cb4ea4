// The voice statements: `vo`, `vol`, `vor` (register the voice line and make it the pending
// voice), `vox` (the same, then the camera turns to the speaking sprite), `vo_sel` (the voice
// line of a choice block) and `vo2` (play a voice at once), with `PlayVoice`, which the message
// window calls for the pending voice.
#pragma once

#include <string_view>

namespace halcyra {

class CScript;
struct Settings;

// Attaches the handlers of these statements to the interpreter.
void RegisterVoiceStatements(CScript& script);

// Plays a voice on the voice channel: name, else the pending voice. Nothing plays with Ctrl
// held, in skip mode, in auto mode set to play no voices, with voices switched off or at volume
// 0, or when the speaker's voice is switched off. fromBacklog plays at the normal rate and only
// when logged voices are on (or forced).
void PlayVoice(CScript& script, bool fromBacklog, bool forced, std::string_view name);

// The speaker's voice switch and volume (0..255) for a voice file name, from the settings of
// the character table's record for it; a voice of no record plays at full volume.
void VoiceSettingsFor(std::string_view voice, const Settings& settings, bool& enabled, int& volume);

}  // namespace halcyra

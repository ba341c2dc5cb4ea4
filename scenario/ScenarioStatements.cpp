#include "scenario/ScenarioStatements.h"

#include "scenario/KeyWait.h"
#include "scenario/MessageWindow.h"
#include "scenario/SoundCommands.h"
#include "scenario/VoiceCommands.h"

namespace halcyra {

void RegisterScenarioStatements(CScript& script) {
  RegisterSoundStatements(script);
  RegisterVoiceStatements(script);
  RegisterMessageStatements(script);
  RegisterKeyWaitStatements(script);
}

}  // namespace halcyra

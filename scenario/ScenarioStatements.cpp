#include "scenario/ScenarioStatements.h"

#include "scenario/ScreenEffects.h"
#include "scenario/SoundCommands.h"
#include "scenario/VoiceCommands.h"

namespace halcyra {

void RegisterScenarioStatements(CScript& script) {
  RegisterSoundStatements(script);
  RegisterVoiceStatements(script);
  RegisterScreenEffectStatements(script);
}

}  // namespace halcyra

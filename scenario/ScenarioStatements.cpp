#include "scenario/ScenarioStatements.h"

#include "scenario/LayerCommands.h"
#include "scenario/SoundCommands.h"
#include "scenario/VoiceCommands.h"

namespace halcyra {

void RegisterScenarioStatements(CScript& script) {
  RegisterSoundStatements(script);
  RegisterVoiceStatements(script);
  RegisterLayerStatements(script);
}

}  // namespace halcyra

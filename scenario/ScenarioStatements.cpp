#include "scenario/ScenarioStatements.h"

#include "scenario/LayerCommands.h"
#include "scenario/ScreenEffects.h"
#include "scenario/Choices.h"
#include "scenario/KeyWait.h"
#include "scenario/MessageWindow.h"
#include "scenario/SoundCommands.h"
#include "scenario/VoiceCommands.h"
#include "system/SaveData.h"

namespace halcyra {

void RegisterScenarioStatements(CScript& script) {
  RegisterSoundStatements(script);
  RegisterVoiceStatements(script);
  RegisterLayerStatements(script);
  RegisterScreenEffectStatements(script);
  RegisterSaveStatements(script);
  RegisterMessageStatements(script);
  RegisterKeyWaitStatements(script);
  RegisterChoiceStatements(script);
}

}  // namespace halcyra

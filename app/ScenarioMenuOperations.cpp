#include "app/ScenarioMenuOperations.h"

#include "scenario/Choices.h"
#include "scenario/KeyWait.h"
#include "script/CScript.h"
#include "script/Engine.h"

namespace halcyra {
namespace {

constexpr int kStandardPlace = -10000;  // MoveWindow: back to x 0 and y 423

}  // namespace

bool ScenarioMenuOperations::BacklogOpen() const { return engine_.backlogOpen; }

bool ScenarioMenuOperations::MessageWindowShown() const { return engine_.message.windowShown; }

void ScenarioMenuOperations::NextChoice() {
  if (script_ != nullptr) halcyra::NextChoice(*script_);
}

void ScenarioMenuOperations::CloseBacklog() { engine_.logCloseRequest = true; }

void ScenarioMenuOperations::MoveWindowToStandardPlace() {
  if (engine_.sprites != nullptr) MoveWindow(engine_, kStandardPlace, kStandardPlace);
}

}  // namespace halcyra

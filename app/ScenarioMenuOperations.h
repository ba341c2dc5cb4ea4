// The menu operations the scenario carries out itself: the screen states the context menu is
// prepared from, the move to the next choice, closing the backlog and putting the message
// window back in its place. The screens that do not exist yet keep the defaults.
#pragma once

#include <memory>

#include "app/MenuOperations.h"

namespace halcyra {

class CScript;
struct Engine;

class ScenarioMenuOperations : public MenuOperations {
 public:
  // script is the window's interpreter, which exists only while the game runs.
  ScenarioMenuOperations(Engine& engine, const std::unique_ptr<CScript>& script)
      : engine_(engine), script_(script) {}

  bool BacklogOpen() const override;
  bool MessageWindowShown() const override;
  void NextChoice() override;
  void CloseBacklog() override;
  void MoveWindowToStandardPlace() override;

 private:
  Engine& engine_;
  const std::unique_ptr<CScript>& script_;
};

}  // namespace halcyra

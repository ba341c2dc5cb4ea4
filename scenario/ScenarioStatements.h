// Attaches every statement family of the scenario presentation to an interpreter.
#pragma once

namespace halcyra {

class CScript;

void RegisterScenarioStatements(CScript& script);

}  // namespace halcyra

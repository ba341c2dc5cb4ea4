// Choices: the statements that register them (`def_sel`, `def_selmes`, `def_selmes2`,
// `window_sel`, `select_center_on`/`_off`) and show them (`select`, `select2`), and the player's
// two moves around them: on to the next choice (fast-forward) and back to the last one.
//
// The number of the picked choice among the block's def_sel lines, plus 1, goes to variable S;
// the choice is remembered in the read list under the question's message number + that value,
// so that it is drawn grey when it is offered again.
#pragma once

namespace halcyra {

class CScript;

void RegisterChoiceStatements(CScript& script);

// Runs on without drawing or waiting until the next choice (or unread text, as the settings
// say); the running wait ends at its next request check.
void NextChoice(CScript& script);
// Asks for the last-choice save to be loaded when one exists; false when there is none.
bool PreviousChoice(CScript& script);

}  // namespace halcyra

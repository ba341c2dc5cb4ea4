// The operations behind menu items whose owners are other parts of the engine (the choices,
// the backlog, the save/load screen, the dialogs, the debug tools, the shell), and the screen
// states the context menu is prepared from. The main window calls them through one object, the
// scenario's own (ScenarioMenuOperations) unless another is attached with
// TMainForm::SetMenuOperations; here every operation does nothing, every screen reports closed and
// the message window reports hidden.
#pragma once

#include <string>
#include <string_view>

#include "app/MainMenu.h"

namespace halcyra {

// A face chosen in the font dialog, with the style switches the dialog offers.
struct FontChoice {
  std::string name;  // Shift-JIS face name
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
};

class MenuOperations {
 public:
  virtual ~MenuOperations() = default;

  virtual bool BacklogOpen() const { return false; }
  virtual bool SaveLoadOpen() const { return false; }
  virtual bool MessageWindowShown() const { return false; }

  // Moving on to the next choice (fast-forward).
  virtual void NextChoice() {}
  // Close requests of the open screens.
  virtual void CloseBacklog() {}
  virtual void CloseSaveLoad() {}
  // `TOptionForm` and `THelpForm`, shown without waiting for them.
  virtual void ShowOptions() {}
  virtual void ShowKeyHelp() {}
  // The message window back to its standard place.
  virtual void MoveWindowToStandardPlace() {}
  // The font dialog (TrueType and existing fonts only) opened on choice; true on OK with the
  // player's choice in it.
  virtual bool RunFontDialog(FontChoice&) { return false; }
  // Opens a web address with the desktop's browser; false when that cannot be done.
  virtual bool OpenHomePage(std::string_view) { return false; }
  // A command of the debug tools (kNowLine .. kDebugSelect), from its menu item or its key.
  virtual void RunDebugCommand(MenuCommand) {}
};

}  // namespace halcyra

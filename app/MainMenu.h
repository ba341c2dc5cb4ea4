// The main window's menus as data: every item of the detached main menu and of the context menu
// (`PopupMenu1`) with its caption, visible, enabled and checked states and the command its click
// runs. The main menu is never drawn (its items are reached through keys, the context menu and
// the in-game screens), but its captions and ticks are kept as the player would see them.
//
// Items of a pair ("Mn" and "Cm" with the same job) share their command. The main window runs
// the commands (TMainForm::ExecuteMenuItem); this class only keeps and prepares the items.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>

#include "platform/PopupMenu.h"
#include "system/SaveMenu.h"

namespace halcyra {

enum class MenuItemId : int {
  // The main menu.
  kMnTitle, kMnExit, kMnKaisouExit, kMnSkip, kMnSkip2, kMnNext, kMnPrev, kMnQLoad, kMnQSave,
  kMnWindow, kMnFull16, kMnFull32, kMnFontNormal, kMnFont, kMnOption, kMnKeyHelp, kMnHP,
  kMnWinDef, kMnNone,
  // Its debug menu.
  kMnDebug, kMnNowLine, kMnDebugCopy, kMnEditor, kMnFlag, kMnJump, kMnNextScr, kMnOmake,
  kMnMakeCg, kMnDebugRoot, kMnDebugSelect,
  // The context menu, in the order it shows its items.
  kCmHide, kCmLogClose, kCmLoadClose, kCmQSave, kCmQLoad, kCmPrev, kCmNext, kCmWinDrag,
  kCmWinDragNone, kCmWinDragFree, kCmWinDragUpDown, kCmDisp, kCmOption, kCmNowLine,
  kCmDebugCopy, kCmEditor, kCmFlag, kCmJump, kCmNextScr, kCmDebugRoot, kCmDebugSelect, kCmOmake,
  kCmTitle, kCmExit,
  kCount
};

// The handler an item's click runs.
enum class MenuCommand {
  kNone,  // a submenu: opening it is the whole effect
  kTitle, kExit, kBackToMenu, kAutoMode, kSkipMode, kNextChoice, kPreviousChoice, kQuickLoad,
  kQuickSave, kHideWindow, kCloseBacklog, kCloseSaveLoad,
  kDisplayItem,     // the window and full-screen items: switch to the item's own mode
  kSwitchDisplay, kStandardFont, kChooseFont, kOptions, kKeyHelp, kHomePage,
  kWindowToStandardPlace,
  kWindowDrag,      // the three drag items: Window/Drag becomes the item's value
  kCancelMenu,
  // The debug tools.
  kNowLine, kDebugCopy, kEditor, kFlag, kJump, kNextScript, kOmake, kMakeCg, kDebugRoot,
  kDebugSelect,
};

enum class MenuKind { kMain, kContext };

struct MenuItem {
  MenuItemId id = MenuItemId::kMnNone;
  MenuKind menu = MenuKind::kMain;
  const char* name = "";  // the item's name in the form ("CmQSave")
  std::string caption;    // Shift-JIS
  bool visible = true;
  bool enabled = true;
  bool checked = false;
  MenuCommand command = MenuCommand::kNone;
  std::optional<MenuItemId> parent;  // the submenu that holds it
};

// What the context menu is prepared from when it opens.
struct PopupMenuState {
  bool debugMode = false;
  bool backlogOpen = false;
  bool saveLoadOpen = false;
  bool messageWindowShown = false;
  int windowDrag = 1;  // Window/Drag: 0 not allowed, 1 free, 2 vertical only
};

class MainMenu {
 public:
  static constexpr std::size_t kItemCount = static_cast<std::size_t>(MenuItemId::kCount);

  // The items as the window makes them: the home-page caption set, the item that leaves a
  // recollection replay hidden, one full-screen item shown, the debug items shown only in
  // debug mode, the window item ticked.
  explicit MainMenu(bool debugMode);

  const MenuItem& Item(MenuItemId id) const { return items_[Index(id)]; }
  MenuItem& Item(MenuItemId id) { return items_[Index(id)]; }
  // The item with the given form name; null when there is none.
  const MenuItem* Find(const std::string& name) const;

  // The auto and skip items' captions say whether their mode runs.
  void FollowPlayModes(bool autoMode, bool skipMode);
  // The save items of both menus take the enabled flags and dated captions the save code keeps.
  void FollowSaveMenu(const SaveMenuItems& saveMenu);
  // Ticks the window item in window mode and the full-screen item in full screen.
  void CheckDisplayMode(bool windowed);
  // `PopupMenu1Popup`: shows the debug items only in debug mode and the items that fit the
  // open screen (backlog, save/load screen, message window shown or hidden).
  void PopupMenu1Popup(const PopupMenuState& state);
  // The context menu's items as the platform shows them; each item's id is its MenuItemId.
  PopupMenuModel ContextMenu() const;

 private:
  static std::size_t Index(MenuItemId id) { return static_cast<std::size_t>(id); }
  void ShowOnly(std::initializer_list<MenuItemId> shown, std::initializer_list<MenuItemId> among);
  PopupMenuItem ModelOf(const MenuItem& item) const;

  std::array<MenuItem, kItemCount> items_;
};

}  // namespace halcyra

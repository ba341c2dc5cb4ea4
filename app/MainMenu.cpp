#include "app/MainMenu.h"

#include <initializer_list>
#include <iterator>

#include "app/MenuTexts.h"

namespace halcyra {
namespace {

using Id = MenuItemId;
using Command = MenuCommand;
namespace t = menu_texts;

struct ItemDefinition {
  Id id;
  const char* name;
  const char* caption;
  Command command;
  std::optional<Id> parent;
};

// Every item in MenuItemId order. The context menu shows its items in this order.
constexpr ItemDefinition kItems[] = {
    {Id::kMnTitle, "MnTitle", t::kTitle, Command::kTitle, {}},
    {Id::kMnExit, "MnExit", t::kExit, Command::kExit, {}},
    {Id::kMnKaisouExit, "MnKaisouExit", t::kBackToMenu, Command::kBackToMenu, {}},
    {Id::kMnSkip, "MnSkip", t::kAutoMode, Command::kAutoMode, {}},
    {Id::kMnSkip2, "MnSkip2", t::kSkipMode, Command::kSkipMode, {}},
    {Id::kMnNext, "MnNext", t::kNextChoice, Command::kNextChoice, {}},
    {Id::kMnPrev, "MnPrev", t::kPreviousChoice, Command::kPreviousChoice, {}},
    {Id::kMnQLoad, "MnQLoad", t::kQuickLoad, Command::kQuickLoad, {}},
    {Id::kMnQSave, "MnQSave", t::kQuickSave, Command::kQuickSave, {}},
    {Id::kMnWindow, "MnWindow", t::kWindowMode, Command::kDisplayItem, {}},
    {Id::kMnFull16, "MnFull16", t::kFullScreen, Command::kDisplayItem, {}},
    {Id::kMnFull32, "MnFull32", t::kFullScreen32, Command::kDisplayItem, {}},
    {Id::kMnFontNormal, "MnFontNormal", t::kStandardFont, Command::kStandardFont, {}},
    {Id::kMnFont, "MnFont", t::kChooseFont, Command::kChooseFont, {}},
    {Id::kMnOption, "MnOption", t::kOptions, Command::kOptions, {}},
    {Id::kMnKeyHelp, "MnKeyHelp", t::kKeyHelp, Command::kKeyHelp, {}},
    {Id::kMnHP, "MnHP", t::kHomePage, Command::kHomePage, {}},
    {Id::kMnWinDef, "MnWinDef", t::kWindowToStandardPlace, Command::kWindowToStandardPlace, {}},
    {Id::kMnNone, "MnNone", t::kCancel, Command::kCancelMenu, {}},
    {Id::kMnDebug, "MnDebug", t::kDebugMenu, Command::kNone, {}},
    {Id::kMnNowLine, "MnNowLine", t::kNowLine, Command::kNowLine, Id::kMnDebug},
    {Id::kMnDebugCopy, "MnDebugCopy", t::kDebugCopy, Command::kDebugCopy, Id::kMnDebug},
    {Id::kMnEditor, "MnEditor", t::kEditor, Command::kEditor, Id::kMnDebug},
    {Id::kMnFlag, "MnFlag", t::kFlag, Command::kFlag, Id::kMnDebug},
    {Id::kMnJump, "MnJump", t::kJump, Command::kJump, Id::kMnDebug},
    {Id::kMnNextScr, "MnNextScr", t::kNextScript, Command::kNextScript, Id::kMnDebug},
    {Id::kMnOmake, "MnOmake", t::kOmake, Command::kOmake, Id::kMnDebug},
    {Id::kMnMakeCg, "MnMakeCg", t::kMakeCg, Command::kMakeCg, Id::kMnDebug},
    {Id::kMnDebugRoot, "MnDebugRoot", t::kDebugRoot, Command::kDebugRoot, Id::kMnDebug},
    {Id::kMnDebugSelect, "MnDebugSelect", t::kDebugSelect, Command::kDebugSelect, Id::kMnDebug},
    {Id::kCmHide, "CmHide", t::kHideWindow, Command::kHideWindow, {}},
    {Id::kCmLogClose, "CmLogClose", t::kCloseBacklog, Command::kCloseBacklog, {}},
    {Id::kCmLoadClose, "CmLoadClose", t::kCloseSaveLoad, Command::kCloseSaveLoad, {}},
    {Id::kCmQSave, "CmQSave", t::kQuickSave, Command::kQuickSave, {}},
    {Id::kCmQLoad, "CmQLoad", t::kQuickLoad, Command::kQuickLoad, {}},
    {Id::kCmPrev, "CmPrev", t::kPreviousChoice, Command::kPreviousChoice, {}},
    {Id::kCmNext, "CmNext", t::kNextChoice, Command::kNextChoice, {}},
    {Id::kCmWinDrag, "CmWinDrag", t::kWindowDrag, Command::kNone, {}},
    {Id::kCmWinDragNone, "CmWinDragNone", t::kDragNone, Command::kWindowDrag, Id::kCmWinDrag},
    {Id::kCmWinDragFree, "CmWinDragFree", t::kDragFree, Command::kWindowDrag, Id::kCmWinDrag},
    {Id::kCmWinDragUpDown, "CmWinDragUpDown", t::kDragUpDown, Command::kWindowDrag,
     Id::kCmWinDrag},
    {Id::kCmDisp, "CmDisp", t::kSwitchDisplay, Command::kSwitchDisplay, {}},
    {Id::kCmOption, "CmOption", t::kOptions, Command::kOptions, {}},
    {Id::kCmNowLine, "CmNowLine", t::kNowLine, Command::kNowLine, {}},
    {Id::kCmDebugCopy, "CmDebugCopy", t::kDebugCopy, Command::kDebugCopy, {}},
    {Id::kCmEditor, "CmEditor", t::kEditor, Command::kEditor, {}},
    {Id::kCmFlag, "CmFlag", t::kFlag, Command::kFlag, {}},
    {Id::kCmJump, "CmJump", t::kJump, Command::kJump, {}},
    {Id::kCmNextScr, "CmNextScr", t::kNextScript, Command::kNextScript, {}},
    {Id::kCmDebugRoot, "CmDebugRoot", t::kDebugRoot, Command::kDebugRoot, {}},
    {Id::kCmDebugSelect, "CmDebugSelect", t::kDebugSelect, Command::kDebugSelect, {}},
    {Id::kCmOmake, "CmOmake", t::kOmake, Command::kOmake, {}},
    {Id::kCmTitle, "CmTitle", t::kTitle, Command::kTitle, {}},
    {Id::kCmExit, "CmExit", t::kExitGame, Command::kExit, {}},
};
static_assert(std::size(kItems) == MainMenu::kItemCount, "one definition per item");

constexpr bool InIdOrder() {
  for (std::size_t i = 0; i < std::size(kItems); ++i) {
    if (static_cast<std::size_t>(kItems[i].id) != i) return false;
  }
  return true;
}
static_assert(InIdOrder(), "definitions in MenuItemId order");

// The debug tools' entries, shown only in debug mode.
constexpr Id kDebugItems[] = {Id::kMnDebug,     Id::kCmNowLine, Id::kCmDebugCopy,
                              Id::kCmEditor,    Id::kCmFlag,    Id::kCmJump,
                              Id::kCmNextScr,   Id::kCmDebugRoot, Id::kCmDebugSelect,
                              Id::kCmOmake};

}  // namespace

MainMenu::MainMenu(bool debugMode) {
  for (const ItemDefinition& definition : kItems) {
    MenuItem& item = Item(definition.id);
    item.id = definition.id;
    item.menu = definition.name[0] == 'C' ? MenuKind::kContext : MenuKind::kMain;
    item.name = definition.name;
    item.caption = definition.caption;
    item.command = definition.command;
    item.parent = definition.parent;
  }
  Item(Id::kMnKaisouExit).visible = false;
  Item(Id::kMnFull32).visible = false;
  for (Id id : {Id::kMnWinDef, Id::kCmWinDrag}) {
    Item(id).visible = false;
    Item(id).enabled = false;
  }
  for (Id id : kDebugItems) Item(id).visible = debugMode;
  CheckDisplayMode(true);
}

const MenuItem* MainMenu::Find(const std::string& name) const {
  for (const MenuItem& item : items_) {
    if (name == item.name) return &item;
  }
  return nullptr;
}

void MainMenu::FollowPlayModes(bool autoMode, bool skipMode) {
  Item(Id::kMnSkip).caption = autoMode ? menu_texts::kAutoModeOn : menu_texts::kAutoMode;
  Item(Id::kMnSkip2).caption = skipMode ? menu_texts::kSkipModeOn : menu_texts::kSkipMode;
}

void MainMenu::FollowSaveMenu(const SaveMenuItems& saveMenu) {
  const struct {
    Id id;
    bool enabled;
  } items[] = {{Id::kMnNext, saveMenu.mnNext},   {Id::kMnPrev, saveMenu.mnPrev},
               {Id::kMnQLoad, saveMenu.mnQLoad}, {Id::kMnQSave, saveMenu.mnQSave},
               {Id::kCmNext, saveMenu.cmNext},   {Id::kCmPrev, saveMenu.cmPrev},
               {Id::kCmQLoad, saveMenu.cmQLoad}, {Id::kCmQSave, saveMenu.cmQSave}};
  for (const auto& item : items) Item(item.id).enabled = item.enabled;
  Item(Id::kMnPrev).caption = Item(Id::kCmPrev).caption = saveMenu.prevCaption;
  Item(Id::kMnQLoad).caption = Item(Id::kCmQLoad).caption = saveMenu.quickLoadCaption;
}

void MainMenu::CheckDisplayMode(bool windowed) {
  Item(Id::kMnWindow).checked = windowed;
  Item(Id::kMnFull16).checked = !windowed;
}

void MainMenu::ShowOnly(std::initializer_list<MenuItemId> shown,
                        std::initializer_list<MenuItemId> among) {
  for (Id id : among) Item(id).visible = false;
  for (Id id : shown) Item(id).visible = true;
}

void MainMenu::PopupMenu1Popup(const PopupMenuState& state) {
  for (Id id : kDebugItems) Item(id).visible = state.debugMode;
  const std::initializer_list<Id> screenItems = {Id::kCmHide,  Id::kCmLogClose, Id::kCmLoadClose,
                                                 Id::kCmQLoad, Id::kCmQSave,    Id::kCmNext,
                                                 Id::kCmPrev};
  if (state.backlogOpen) return ShowOnly({Id::kCmLogClose}, screenItems);
  if (state.saveLoadOpen) return ShowOnly({Id::kCmLoadClose}, screenItems);
  if (!state.messageWindowShown) {
    Item(Id::kCmHide).caption = menu_texts::kShowWindow;
    return ShowOnly({Id::kCmHide}, screenItems);
  }
  Item(Id::kCmHide).caption = menu_texts::kHideWindow;
  ShowOnly({Id::kCmHide, Id::kCmQLoad, Id::kCmQSave, Id::kCmNext, Id::kCmPrev}, screenItems);
  Item(Id::kCmWinDragNone).checked = state.windowDrag == 0;
  Item(Id::kCmWinDragFree).checked = state.windowDrag == 1;
  Item(Id::kCmWinDragUpDown).checked = state.windowDrag == 2;
}

PopupMenuItem MainMenu::ModelOf(const MenuItem& item) const {
  PopupMenuItem model{static_cast<int>(item.id), item.name, item.caption, item.visible,
                      item.enabled, item.checked, {}};
  for (const MenuItem& child : items_) {
    if (child.parent == item.id) model.children.push_back(ModelOf(child));
  }
  return model;
}

PopupMenuModel MainMenu::ContextMenu() const {
  PopupMenuModel model;
  for (const MenuItem& item : items_) {
    if (item.menu == MenuKind::kContext && !item.parent) model.items.push_back(ModelOf(item));
  }
  return model;
}

}  // namespace halcyra

// A popup menu as the engine describes it to the platform: a list of items, each with its
// caption and its visible, enabled and checked states, some holding a submenu. The platform
// shows it modally at a point of the client area and answers with the item the player chose.
//
// Captions are Shift-JIS bytes, as the engine holds them ("&" marks the access key and is not
// drawn); backends convert them at the edge. Only visible items are shown; a disabled item is
// shown but cannot be chosen; an item with children opens its submenu instead of being chosen.
#pragma once

#include <string>
#include <vector>

namespace halcyra {

struct PopupMenuItem {
  int id = 0;             // the caller's number for the item, returned when it is chosen
  std::string name;       // the caller's name for the item, as input scripts and logs write it
  std::string caption;    // Shift-JIS
  bool visible = true;
  bool enabled = true;
  bool checked = false;
  std::vector<PopupMenuItem> children;  // a submenu when not empty
};

struct PopupMenuModel {
  std::vector<PopupMenuItem> items;
};

// The item named name when the player could choose it: it and every menu above it visible and
// enabled, and it opens no submenu. Null otherwise.
inline const PopupMenuItem* FindChoosableItem(const std::vector<PopupMenuItem>& items,
                                              const std::string& name) {
  for (const PopupMenuItem& item : items) {
    if (!item.visible || !item.enabled) continue;
    if (item.children.empty()) {
      if (item.name == name) return &item;
    } else if (const PopupMenuItem* inner = FindChoosableItem(item.children, name)) {
      return inner;
    }
  }
  return nullptr;
}

}  // namespace halcyra

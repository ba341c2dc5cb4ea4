// The SDL window's popup menus, drawn with Dear ImGui over the game screen.
//
// One object per window and renderer: the ImGui context, its SDL input backend and its
// SDL_Renderer drawing backend are made with it (the Japanese face the game fonts resolve to
// becomes ImGui's font, so captions show as they do in the game) and released with it; it must
// go before the renderer and the window. A menu runs as frames: Open, then per frame the
// window's events go to ProcessEvent, BuildFrame lays the menu out, and DrawOverlay draws it
// into the renderer just before the frame is presented; IsOpen turns false once the player chose
// an item (Chosen) or dismissed the menu (a click elsewhere, Escape, Dismiss).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/PopupMenu.h"

struct SDL_Window;
struct SDL_Renderer;
union SDL_Event;
struct ImGuiContext;

namespace halcyra {

class ImGuiPopupMenu {
 public:
  ImGuiPopupMenu(SDL_Window* window, SDL_Renderer* renderer);
  ~ImGuiPopupMenu();
  ImGuiPopupMenu(const ImGuiPopupMenu&) = delete;
  ImGuiPopupMenu& operator=(const ImGuiPopupMenu&) = delete;

  // Starts showing menu with its top-left corner at the client point (x, y).
  void Open(const PopupMenuModel& menu, int x, int y);
  void ProcessEvent(const SDL_Event& event);
  void BuildFrame();
  // Draws the frame built last; does nothing when no menu is open.
  void DrawOverlay();
  void Dismiss() { open_ = false; }
  bool IsOpen() const { return open_; }
  const std::optional<int>& Chosen() const { return chosen_; }

 private:
  // An item as drawn: its caption in UTF-8 without access-key marks, made unique for ImGui.
  struct Entry {
    int id = 0;
    std::string label;
    bool enabled = true;
    bool checked = false;
    std::vector<Entry> children;
  };
  static std::vector<Entry> EntriesOf(const std::vector<PopupMenuItem>& items);
  static std::string LabelOf(const PopupMenuItem& item);
  void LoadJapaneseFont();
  void DrawEntries(const std::vector<Entry>& entries);

  SDL_Renderer* renderer_;
  ImGuiContext* context_ = nullptr;
  std::vector<Entry> entries_;
  float x_ = 0.0f;
  float y_ = 0.0f;
  bool open_ = false;
  bool justOpened_ = false;
  bool frameBuilt_ = false;
  std::optional<int> chosen_;
};

}  // namespace halcyra

// The message window's transient state: the text of the page being shown, the speaker's name,
// where the next message continues, and what the player did to the window (hidden, dragged,
// the icon under the pointer). Nothing here is saved; the window layouts live in GameState.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace halcyra {

// The sprite slots of the message window.
namespace message_slots {
inline constexpr int kBoard = 30;
inline constexpr int kBackground = 31;
inline constexpr int kFrame = 32;
inline constexpr int kTextSurface = 33;
inline constexpr int kTextHolder = 34;
inline constexpr int kNameBoard = 40;
inline constexpr int kNameBackground = 41;
inline constexpr int kNameFrame = 42;
inline constexpr int kNameSurface = 43;
inline constexpr int kNameHolder = 44;
inline constexpr int kIconBase = 50;  // icon n lives in slot 50 + n
inline constexpr int kLastIcon = 60;
inline constexpr int kIconGuide = 61;
inline constexpr int kAffectionA = 62;
inline constexpr int kAffectionB = 64;
inline constexpr int kKeyWaitIcon = 79;
inline constexpr int kFirstWindowSlot = 30;
inline constexpr int kFirstOverlay = 130;
inline constexpr int kIndicator = 298;
}  // namespace message_slots

struct MessagePage {
  // The page buffer holds this many bytes with its terminator, so a page is at most
  // kPageCapacity - 1 bytes of text.
  static constexpr std::size_t kPageCapacity = 2000;
  static constexpr int kWindowSlotCount = 50;    // slots 30..79
  static constexpr int kOverlaySlotCount = 100;  // slots 130..229
  static constexpr int kNoIcon = -1;

  // The page buffer exists once `window` 0 ran; it keeps the hero-name placeholders.
  bool hasPageBuffer = false;
  std::string pageText;
  // Allocated by the first `msg2` for the name window's size; freed with the name window.
  std::optional<std::string> speakerName;
  // Text cursor in text-surface pixels, and the hanging-indent column (-1: none).
  int cursorX = 0;
  int cursorY = 0;
  int indentColumn = -1;
  bool pageStartPending = true;
  bool newPageForLog = true;

  // The window layer is shown; the player's hide and `window_off` clear it.
  bool windowShown = false;
  bool spritesHidden = false;
  std::array<bool, kWindowSlotCount> windowSlotShown{};
  std::array<bool, kOverlaySlotCount> overlaySlotShown{};

  int lastHoveredIcon = kNoIcon;
  bool dragging = false;
  int dragStartX = 0;
  int dragStartY = 0;
  int dragLastX = 0;
  int dragLastY = 0;
};

}  // namespace halcyra

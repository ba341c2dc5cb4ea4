// The message window: the statements that define it, show and hide it and set its text defaults
// (`window`, `window_on`, `window_off`, `cls`, `moji`, `auto_ret_on`, `auto_ret_off`,
// `set_read_mode`, `def_indent`, `def_kinsoku`, the `def_sp_*` positions), and the message lines
// and `msg`, `msg2` that append text to the page and type it. Page mode (`novel_on`,
// `novel_off`) is in PageMode.h, the waits for the player in KeyWait.h.
//
// Coordinates: the window layouts are screen pixels; the text cursor is kept in text-surface
// pixels (a line starts at textX), so that moving the window does not move the text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace halcyra {

class CDIBSprite;
class CScript;
struct Engine;
struct GameState;
struct WindowDefinition;

// The ten integers of a window definition by name.
struct WindowLayout {
  int x = 0;        // window left edge on the screen
  int y = 0;        // window top edge on the screen
  int width = 0;    // text surface
  int height = 0;
  int frameX = 0;   // window pictures, from (x, y)
  int frameY = 0;
  int textX = 0;    // line start in the text surface
  int textY = 0;    // first line's top in the text surface
  int columns = 0;  // characters per line
  int rows = 0;     // lines per page
};

WindowLayout LayoutOf(const WindowDefinition& definition);
// The layout everything that draws the message text follows (window 0, or 3 in page mode).
WindowLayout CurrentLayout(const GameState& state);

// The pixel height of the message text for a stored text size code (`moji` value minus 1):
// 1 gives 36, 3 48, 5 60, 8 72, any other 24.
int MessageTextSize(int code);

// Attaches the message lines, the statements above and the pre-effect step of page mode.
void RegisterMessageStatements(CScript& script);

// A message line or `msg`: appends the text to the page and types it. False (after the report
// "window が定義されていません") before any `window` 0. A message that would make the page longer
// than the page buffer holds is reported and left out; the page stays as it was.
bool ShowMessage(CScript& script);
// `msg2`: the name shown over the next message.
bool SetSpeakerName(CScript& script);
// `window`: stores definition 0, 2 or 3; 0 also makes the page buffer and loads the pictures.
bool DefineWindow(CScript& script);
// Copies window 3 (page mode) or window 0 into the current layout.
void SelectWindowLayout(GameState& state);
// The window pictures of the current layout: background (slot 31) and frame (slot 32).
void LoadWindowPictures(CScript& script);
// Hides the window layer (slots 30..79), remembering what was shown, or shows it again.
void HideWindowSprites(Engine& engine, bool hide);
// Loads "cg\\NAME.bmp" when it exists, else "cg\\NAME.psd"; false when neither does (reported
// unless quiet).
bool LoadWindowPicture(CScript& script, CDIBSprite& sprite, std::string_view name, bool quiet);

// Types message into the text surface at the cursor and moves the cursor after it.
void TypeMessage(CScript& script, std::string_view message, std::uint32_t colour);
// The pause after a typed character: count frames, ended at once by a click (which also ends
// auto and skip mode), Ctrl or skip mode; count becomes 0 when the rest is to show at once.
void CharWait(CScript& script, int& count);
// The speaker's name, centred over its field in the name window, with the name window's
// pictures.
void ShowNameWindow(CScript& script, std::uint32_t colour);
void RemoveNameWindow(Engine& engine);
// Ends the page: the text surface goes and the next message starts a new page.
void ClearPage(Engine& engine);
// Types the whole page again at once into a new text surface (after fast-forward mode).
void RedrawPage(CScript& script);
// Brings the window back where a load or a resume from the log put play: its pictures, the
// state's text size, no name window, shown; the page goes on as the backlog says (empty when the
// continued message began a page, else the page so far, typed again at once).
void RestoreMessageWindow(CScript& script);

// The pending voice gets "-2" (the recording that does not speak the hero's name) when the
// page names the hero and the player chose another name than the default.
void ApplyHeroNameVoice(Engine& engine);
// Replaces the hero-name placeholders by the player's names.
std::string ExpandPlaceholders(std::string_view text, const Engine& engine);
// Writes the backlog's current entry from the page (placeholders expanded) and the speaker;
// text, when given, stands for the page. The page's new-page-for-log flag goes with an entry
// that advances the log, which then clears it.
void AddPageToLog(CScript& script, bool replaceLast, std::string_view text, bool advance);

}  // namespace halcyra

// The process-wide engine objects, gathered in one place: the main window owns one set for the
// life of the program, and a test builds a fresh set for every case.
#pragma once

#include <array>
#include <memory>
#include <random>

#include "app/InputState.h"
#include "app/Settings.h"
#include "graphics/CDIB.h"
#include "graphics/ErrorReporter.h"
#include "graphics/GlyphTextRenderer.h"
#include "graphics/SpriteTable.h"
#include "media/CDS.h"
#include "media/CVorbis.h"
#include "media/SoundChannels.h"
#include "media/SoundUpkeep.h"
#include "resource/CArcFile.h"
#include "resource/CList.h"
#include "scenario/ChoiceRegistry.h"
#include "scenario/TintTable.h"
#include "scenario/MessagePage.h"
#include "script/GameState.h"
#include "system/CReadList.h"
#include "system/SaveMenu.h"

namespace halcyra {

// What the player asked for from a menu, a key or an icon, carried out by the running wait.
struct PlayRequests {
  bool hideWindow = false;      // hide the message window (cancel input or the menu item)
  bool previousChoice = false;  // return to the last choice
  bool quickLoad = false;
  bool quickSave = false;
  bool leaveReplay = false;     // the exit icon: leave a recollection replay for its menu
};

struct Engine {
  Engine() : state(std::make_unique<GameState>()) { state->Clear(); }

  Settings settings;
  std::unique_ptr<GameState> state;  // about 1 MB, so it lives on the heap
  CReadList readList;
  CArcFile scripts;   // "scr.dat" with its patch
  CArcFile pictures;  // "cg.dat"
  CArcFile sounds;    // "wav.dat"
  CList defines;      // names given by `define`
  CList cgTable;      // picture names and their flags, given by `def_cg`
  TintTable tints;    // the backgrounds' tint presets, read from the game folder when first asked
  // Devices, made at start-up in this order and destroyed in the reverse one.
  std::unique_ptr<CDIB> display;
  std::unique_ptr<SpriteTable> sprites;  // the 300 sprites drawn every frame
  CVorbis vorbis;
  std::unique_ptr<CDS> sound;
  std::unique_ptr<SoundChannels> channels;  // the 7 channels
  std::unique_ptr<SoundUpkeep> upkeep;      // their per-frame care
  std::unique_ptr<FontRasterizer> fontRasterizer;
  std::unique_ptr<GlyphTextRenderer> text;  // draws every text, owns the fonts
  // The game fonts: 24 pixels, the text-size font, 24 again, and 12 (ruby and small labels).
  std::array<const TextFont*, 4> fonts{};
  InputState input;
  // A key wait or a choice is waiting for the player: the right button then opens the menu.
  bool waitingForInput = false;
  PlayRequests requests;
  // The choices registered for the next `select`, and its question.
  ChoiceRegistry choices;
  // The save items of the main menu and the popup menu, kept by the save code.
  SaveMenuItems saveMenu;
  // Nothing is saved while the title menu shows or a recollection replay runs.
  bool titleMenuActive = false;
  bool recollectionRunning = false;
  // The backlog is open (the popup menu then offers to close it), and the player asked so.
  bool backlogOpen = false;
  bool logCloseRequest = false;
  // The message window's page, cursor and window state between statements.
  MessagePage message;
  // The game fonts were made again: the text sprites take the new ones at the next wait step.
  bool fontChanged = false;
  // Play modes: the message waits advance by themselves (auto) or quickly (skip).
  bool autoMode = false;
  bool skipMode = false;
  // Frames a camera pan takes; `set_pan` changes it for the rest of the run.
  int panFrames = 20;
  // The report of a script with more voice lines than the read list holds is shown once a run.
  bool voiceLimitReported = false;
  std::mt19937 random;
  bool debugMode = false;
  // Debug switch: every condition enters its block and jumps and script changes are ignored,
  // so that a debug run walks through every script.
  bool ignoreBranches = false;
  // Debug switch: a missing picture is shown as a grey placeholder with its name instead of
  // being reported.
  bool makePlaceholders = false;
};

}  // namespace halcyra

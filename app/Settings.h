// The player's settings: one member per key of the settings INI file, the state derived from
// them when they are read, and the two operations that read and write the file.
//
// Members are grouped by INI section and start at the built-in defaults. Strings hold
// Shift-JIS bytes. Integers with a documented range are clamped into it when read, so that a
// hand-edited or damaged file (a message speed of 99, a volume of -5) never hands later code a
// value it cannot handle; the ranges are given beside each member.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/CharacterTable.h"

namespace halcyra {

struct Settings {
  struct Display {
    bool window = true;  // start in a window (false: full screen)
    int refresh = 60;    // full-screen refresh rate, Hz; not clamped, see refreshRateIndex
    int time = 0;        // corner display 0..2 [none, read ratio, current time]
    bool date = false;   // also show the date with the time
    int timeTop = 0;     // corner 0..3 [top left, bottom left, top right, bottom right]
    int drawWait = 0;    // update threshold 0..3 [15 fps, 30 fps, 60 fps, no limit]
    bool operator==(const Display&) const = default;
  };
  struct Font {
    std::string name = "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e";  // ＭＳ ゴシック
    int style = 0;  // 0..3 [regular, bold, italic, bold and italic]
    bool operator==(const Font&) const = default;
  };
  struct User {
    std::string name = "\x88\xea\x96\xe7";  // 一也, the hero's given name
    std::string family;                     // the hero's family name
    bool operator==(const User&) const = default;
  };
  struct Message {
    int speed = 0;          // 0..16 [fastest .. slowest]
    bool readed = true;     // dim already-read text
    int readedLumi = 128;   // brightness of read text, 0..255
    int readedLumi2 = 128;  // brightness of its outline, 0..255
    int mojiType = 0;       // 0..2 [shadowed, outlined, plain]
    int retPosi = 0;        // key-wait icon 0..1 [after the text, fixed]
    bool selected = true;   // dim choices already taken
    bool operator==(const Message&) const = default;
  };
  struct Skip2 {
    bool cancel = true;  // skip ends when the backlog opens
    bool unread = true;  // skip ends at unread text
    int wait = 5;        // wait per message, 0..255 (255 = one second)
    bool operator==(const Skip2&) const = default;
  };
  struct Skip {
    int wait = 5;         // auto-mode wait per message, 0..255 (255 = five seconds)
    bool voice = false;   // auto mode plays no voices
    bool effect = false;  // auto mode cancels screen effects
    bool cancel = true;   // auto mode ends when the backlog opens
    bool unread = true;   // auto mode ends at unread text
    bool operator==(const Skip&) const = default;
  };
  struct SkipSelect {
    bool unread = true;  // moving to the next choice stops at unread text
    bool operator==(const SkipSelect&) const = default;
  };
  struct Window {
    int red = 0;         // message window tint, 0..255
    int green = 0;       // 0..255
    int blue = 0;        // 0..255
    int alpha = 128;     // message window opacity, 0..255
    bool guide = true;   // describe the window icons
    int drag = 1;        // moving the window 0..2 [not allowed, free, vertical only]
    bool window = true;  // show the window frame
    bool board = true;   // show the translucent board
    bool icon = true;    // show the window icons
    bool operator==(const Window&) const = default;
  };
  struct Volume {
    int bgm = 100;    // 0..255
    int se = 100;     // 0..255
    int voice = 100;  // 0..255
    int pan = 10;     // 0..255
    int seX = 100;    // second effect group, 0..255
    bool bgmOn = true;
    bool seOn = true;
    bool voOn = true;
    bool seXOn = true;
    bool operator==(const Volume&) const = default;
  };
  struct Voice {
    bool next = false;  // let a voice run until the next one starts
    int rate = 0;       // 0..3 [normal, double, shortened 1, shortened 2]
    bool guide = true;  // spoken icon descriptions
    int guideNo = 0;    // voice used for icon descriptions; the game's voice list bounds it
    bool operator==(const Voice&) const = default;
  };
  struct Bgm {
    bool allBgm = false;  // load whole music files instead of streaming
    bool bgmDown = true;  // lower music while a voice plays
    int bgmDownRate = 2;  // by how much, 0..10
    bool operator==(const Bgm&) const = default;
  };
  struct Key {
    int repeat = 2;       // backlog key-repeat delay, 0..8 quarter seconds
    bool context = true;  // right click opens the context menu
    bool operator==(const Key&) const = default;
  };
  struct Save {
    bool overWriteCheck = true;  // ask before overwriting a slot
    bool recall = false;         // show the route summary when loading
    bool samWin = true;          // thumbnails include the message window
    bool samSaveBig = true;      // keep the large thumbnail too
    bool operator==(const Save&) const = default;
  };
  struct Effect {
    int speed = -4;            // transition speed -11..0 [slowest .. fastest]
    bool clickCancel = false;  // a left click cancels a running effect
    bool waitCancel = false;   // cancel waits written into the scenario
    bool operator==(const Effect&) const = default;
  };
  struct Log {
    int lumi = 160;     // brightness behind the backlog, 0..255
    bool exit = true;   // leaving the backlog resumes from the logged position
    bool cg = true;     // pictures follow the backlog position
    bool bgm = true;    // music and effects follow it
    bool voice = true;  // play a logged message's voice
    int icon = 0;       // log icons step 0..1 [message, page]
    int wheel = 1;      // wheel and keys step 0..1 [message, page]
    bool operator==(const Log&) const = default;
  };
  struct Movie {
    int play = 1;  // movie playback 0..2 [none, video player, media control]
    bool operator==(const Movie&) const = default;
  };
  struct System {
    bool noActive = false;  // keep running while the window is inactive
    bool operator==(const System&) const = default;
  };
  struct Koukando {
    int alpha = 128;  // affection display opacity, 0..255; read, never written
    bool operator==(const Koukando&) const = default;
  };
  struct Mouse {
    int type = 0;      // cursor 0..1 [standard, the file named by `name`]
    std::string name;  // cursor file (".cur" or ".ani")
    bool operator==(const Mouse&) const = default;
  };
  struct Novel {
    int novelRate = 128;     // brightness behind page-mode text, 0..255
    int novelSpd = 3;        // speed of that change, 0..16
    bool novelDisp = true;   // full brightness during screen effects
    bool novelMoji = true;   // keep the text during screen effects
    bool novelPage = false;  // show text a page at a time
    bool operator==(const Novel&) const = default;
  };
  struct Niji {
    bool rain1 = true;   // rain effect; read, never written
    bool rain2 = false;  // rain emphasised; read, never written
    bool operator==(const Niji&) const = default;
  };
  struct Editor {
    std::string path;        // text editor program
    std::string scrPath;     // folder of the script sources
    std::string jumpOption;  // editor option for jumping to a line
    bool operator==(const Editor&) const = default;
  };

  Display display;
  Font font;
  User user;
  Message message;
  Skip2 skip2;
  Skip skip;
  SkipSelect skipSelect;
  Window window;
  Volume volume;
  Voice voice;
  Bgm bgm;
  Key key;
  Save save;
  Effect effect;
  Log log;
  Movie movie;
  System system;
  Koukando koukando;
  Mouse mouse;
  // Per character of CharacterTable, by table position, starting at the table's values; only
  // the first CharacterTable::IniCount() entries are read and written.
  std::array<bool, CharacterTable::kMaxIniCharacters> charaVoice = DefaultCharaVoice();
  std::array<int, CharacterTable::kMaxIniCharacters> charaVolume = DefaultCharaVolume();  // 0..255
  Novel novel;
  Niji niji;
  Editor editor;

  // Derived state. The copies below are taken from their keys by load_settings for the parts
  // of the program that use them; save_settings writes the key members above, so code that
  // changes a copy changes its key member as well.
  std::vector<int> refreshRates;  // rates offered for 800x600, Hz; filled at start-up, kept by load
  int refreshRateIndex = -1;      // entry of refreshRates selected from display.refresh; -1 if none
  int fontHeight = -24;           // message font height; negative means character height, pixels
  bool fontBold = false;          // from font.style
  bool fontItalic = false;        // from font.style
  std::string heroName;           // copy of user.name for the text renderer
  std::string familyName;         // copy of user.family
  std::string cursorFile;         // copy of mouse.name
  std::string editorPath;         // copies of the Editor keys for the debug dialog
  std::string editorScrPath;
  std::string editorJumpOption;

  bool operator==(const Settings&) const = default;

  // The character table's voice switches and volumes; true and 255 past its end.
  static std::array<bool, CharacterTable::kMaxIniCharacters> DefaultCharaVoice();
  static std::array<int, CharacterTable::kMaxIniCharacters> DefaultCharaVolume();
};

// Reads every key from the host file into `settings`: a missing file or key gives the key's
// default, so every key member is replaced. Converts Effect/Speed from the older positive
// scale, clamps ranged integers, selects the refresh rate (the first entry equal to
// display.refresh, else the first entry, -1 for an empty list; refreshRates itself is kept),
// and fills the derived copies. Returns display.window (true = windowed). A file that exists
// but cannot be read is treated as missing.
bool load_settings(const std::string& hostPath, Settings& settings);

// Writes every key except Koukando/Alpha, Niji/Rain1 and Niji/Rain2 into the host file,
// keeping whatever else the file holds (unknown sections and keys, comments, and those three
// keys). Display/Window is written from `windowMode`; the Editor keys only in `debugMode`.
// CharaVoice and CharaVolume get keys "0" to IniCount()-1. False when the existing file cannot
// be read (it is left alone rather than replaced by a partial copy) or the new one cannot be
// written; the old file is then untouched.
bool save_settings(const std::string& hostPath, const Settings& settings, bool windowMode,
                   bool debugMode);

}  // namespace halcyra

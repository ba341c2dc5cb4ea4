// The transitions between old and new pictures on the scene layers, and the operations that put
// a picture on a layer. Every animation counts presented frames: each frame polls, asks whether
// the player cut the effect short (then the final state shows at once), changes levels or
// positions and presents. In fast-forward mode nothing is drawn: these operations change only
// the layer records of the scenario state.
//
// Slots are sprite slots of the scene (0..28); -1 stands for "no slot". A transition whose first
// slot is 0 runs in background mode: fades act on brightness instead of opacity, and a fade-out
// also empties the background overlays (slots 2, 4 and 6).
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace halcyra {

class CScript;

// Transition kinds, as scripts write them.
inline constexpr std::string_view kFadeNone = "FADE_NONE";
inline constexpr std::string_view kFadeSet = "FADE_SET";
inline constexpr std::string_view kFadeIn = "FADE_IN";
inline constexpr std::string_view kFadeIn2 = "FADE_IN2";
inline constexpr std::string_view kFadeOut = "FADE_OUT";
inline constexpr std::string_view kFadeCross = "FADE_CROSS";
inline constexpr std::string_view kFadeStop = "FADE_STOP";
inline constexpr std::string_view kMosaicOut = "MOSAIC_OUT";
inline constexpr std::string_view kMosaicIn = "MOSAIC_IN";
inline constexpr std::string_view kScrollLeftOut = "SCROLL_LEFT_OUT";
inline constexpr std::string_view kScrollRightOut = "SCROLL_RIGHT_OUT";

inline constexpr int kNoSlot = -1;

// Runs one transition on up to four slots. The fade step is the Effect/Speed table step divided
// by divisor (at least 1). An unknown kind is reported ("パラメータが不正") and presents nothing.
// False only when the program is closing.
bool RunTransition(CScript& script, std::string_view kind, int a, int b, int c, int d,
                   int divisor);

// Puts the picture name ("cg\\NAME.bmp", else "cg\\NAME.psd") on a slot at (x, y), records it in
// the slot's layer record (name, position, full levels, velocities, wrap; the sprite itself gets
// no velocity) and runs kind. An empty name empties the slot; "FADE_OUT" and the scroll-outs take
// the slot's current picture away whatever the name. A missing picture is reported and the slot
// keeps what it held, or shows a placeholder when the debug switch asks for one. False only when
// the program is closing.
bool ShowPicture(CScript& script, int slot, std::string_view name, std::string_view kind, int x,
                 int y, int velocityX, int velocityY, bool wrap);

// Fills a slot's sprite with an 800 x 600 opaque grey picture with name written on it in white.
void MakePlaceholder(CScript& script, int slot, std::string_view name);

// Takes the old scene away before a scene change of kind "FADE_IN" (fade-out) or "MOSAIC_IN"
// (mosaic-out of the background), when the background (only withBackground) or a standing
// sprite 1..3 shows a picture. False only when the program is closing.
bool ClearBeforeScene(CScript& script, bool withBackground, std::string_view kind);

// One standing sprite to change: slot 10, 12 or 14, its new picture (empty: none) and x.
struct SpriteChange {
  int slot = 0;
  std::string name;
  int x = 0;
};

// Cross-changes standing sprites: each changed slot's old picture moves to the slot after it and
// fades out while the new one fades in; a pair whose old and new pictures have the same x, width
// and height morphs pixel by pixel instead, in larger steps. Slots not named stay untouched.
// False only when the program is closing.
bool ChangeSprites(CScript& script, std::span<const SpriteChange> changes);

// Loads a recorded layer picture at once, without recording or transition: the picture lookup,
// placeholder, tint (slots 10..15) and placement of ShowPicture. False when nothing was loaded.
bool PlacePicture(CScript& script, int slot, std::string_view name, int x, int y);

// The game path of a picture named in a script: "cg\\NAME.bmp" when it exists, else
// "cg\\NAME.psd" (a missing one reported unless quiet); empty when neither exists.
std::string FindPicture(CScript& script, std::string_view name, bool quiet);

}  // namespace halcyra

// Small operations shared by the screen-effect statements: the per-frame fade step, the
// per-frame cancellation tests, reading scale and angle numbers, the sprite of a layer and
// full-screen pictures of one colour.
#pragma once

#include <cstdint>
#include <string>

namespace halcyra {

class CDIBSprite;
class CScript;

inline constexpr int kOverlaySlot = 298;       // full-screen cover drawn above everything
inline constexpr std::uint32_t kBlack = 0x000000u;
inline constexpr std::uint32_t kWhite = 0xFFFFFFu;

// What one frame of an effect found when it polled.
enum class FrameStep {
  kGoOn,
  kStop,     // cancelled: the effect jumps to its end
  kClosing,  // the main window is closing: the effect stops and the statement returns false
};

// The fade step of the current Effect/Speed setting; effects ask again every frame.
int TableStep(CScript& script);
// Poll, then the full cancellation test (IsEffectCancelled, which takes a latched click).
FrameStep PollEffect(CScript& script);
// Poll, then the test without its click step: Ctrl held, skip mode, or auto mode when auto mode
// cancels effects.
FrameStep PollEffectWithoutClick(CScript& script);
bool IsCtrlHeld(CScript& script);

// Reads one parameter as a word.
std::string ReadWord(CScript& script);
// Reads one parameter as a real number: a decimal number as written ("1.5", "-0.25"), anything
// else as an expression (0 after a reported fault).
float ReadDecimal(CScript& script);
// The sprite that shows the layer a position value names.
CDIBSprite& LayerSprite(CScript& script, int position);
// Gives a sprite an 800 x 600 picture of one opaque colour (0xRRGGBB), drawn with per-pixel
// alpha, shown at (0, 0) with levels 255. False (reported by the sprite) when it cannot be made.
bool FillScreenPicture(CDIBSprite& sprite, std::uint32_t colour);

}  // namespace halcyra

// The rule-picture transition to a new background: `effect` (kind, value, rule, picture) and
// `ef2` (rule, picture; kind "FADE_IN"). The new picture sweeps over the screen in the order of
// the rule picture's green values: at level L every screen pixel whose rule green is at most L
// shows the new picture. The sweep writes straight into the software back buffer between
// window repaints; no sprite is drawn while it runs.
//
// Pictures are expected at 800 x 600; another size is reported ("パラメータが不正") and then
// fitted to the screen, so the sweep never reads outside either picture: a rule picture is
// stretched to the screen (nearest pixel), so its whole pattern still sweeps the screen; a new
// picture sits at the top-left corner, cut to the screen, and the part of the screen it does
// not cover turns black, as the background layer will show it.
#pragma once

#include <cstdint>
#include <span>

namespace halcyra {

class CScript;

void RegisterRuleWipeStatements(CScript& script);

// Screen-sized working pictures: 800 x 600 packed pixels.
inline constexpr int kWipeWidth = 800;
inline constexpr int kWipeHeight = 600;
inline constexpr int kWipePixels = kWipeWidth * kWipeHeight;

// Stretches a width x height packed picture (both at least 1) over the screen-sized screen:
// pixel (x, y) takes source pixel (x * width / 800, y * height / 600).
void FitRule(const std::uint32_t* pixels, int width, int height, std::span<std::uint32_t> screen);
// Places a width x height packed picture at the top-left of the screen-sized screen, cut to it;
// the rest becomes opaque black.
void FitPicture(const std::uint32_t* pixels, int width, int height,
                std::span<std::uint32_t> screen);

}  // namespace halcyra

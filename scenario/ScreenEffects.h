// The screen-effect statements that act on the whole screen or on one sprite beyond the plain
// layer transitions: `scroll`, the shakes `shake`, `shake2`, `shake3`, the colour flashes
// `flash`..`flash3`, the whole-screen fades `fade_all_*`, `mono`, `mosaic` and the
// background-effect flag `bg_effect*`. Zoom and rotation, the date display, the effect layer and
// the rule transition are families of their own (scenario/ZoomRotate.h, DateDisplay.h,
// EffectLayer.h, RuleWipe.h), attached together with these by RegisterScreenEffectStatements.
//
// Every statement reads its parameters, then does nothing more in fast-forward mode unless its
// comment says otherwise. Animations run one frame per Poll and Present; when Poll reports the
// window closing they stop where they are and the statement returns false.
#pragma once

namespace halcyra {

class CScript;

// Attaches every screen-effect statement (this family and the four named above).
void RegisterScreenEffectStatements(CScript& script);

}  // namespace halcyra

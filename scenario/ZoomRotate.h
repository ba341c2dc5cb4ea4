// The zoom and rotation statements: the screen zoom `zoom`, the sprite scaling `zoom2`,
// `zoom_set`, `zoom_wait` and the sprite rotation `rotate`, `rotate_set`, `rotate_wait`. Scales
// and angles are read as decimal numbers ("1.5") or expressions. The scaling anchor of
// `zoom_set` and the rotation centre of `rotate_set` are named "DISPLAY_CENTER" (0),
// "OBJECT_UNDER" (1) or "OBJECT_CENTER" (2).
//
// `zoom_wait` and `rotate_wait` wait while the layer's sprite is shown and still moving: a
// hidden or empty sprite does not advance, so waiting for it ends at once.
#pragma once

namespace halcyra {

class CScript;

void RegisterZoomRotateStatements(CScript& script);

}  // namespace halcyra

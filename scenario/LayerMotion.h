// The script statements that move a filled layer, change its levels, animate it and wait for it:
// `spx_` (an endlessly scrolling picture), `exchg`, `sp_loop`, `sp_wait`, `posi`, `mask`,
// `move_yposi`, `move_xyposi`, `move_xyset`, `move_xywait`, `set_all_fade`, `set_fade`,
// `set_alpha` and `set_alpha2`. Layers 0..7 keep what these change in their records; the extra
// lower layer (position -4) has none and only its sprite changes.
//
// Degenerate counts: a frame count of 0 or below counts as 1 (the move is done on the next
// frame), and a step of 0 reaches its target at once, so no statement divides by zero or waits
// for ever.
#pragma once

namespace halcyra {

class CScript;

// Attaches the handlers of these statements to the interpreter.
void RegisterLayerMotionStatements(CScript& script);

}  // namespace halcyra

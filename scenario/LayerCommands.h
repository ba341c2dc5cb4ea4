// The script statements that put pictures on the scene layers and take them away: backgrounds
// (`bg`, `bg1`..`bg4_fi`), event pictures (`ev`, `ev1`...), standing sprites (`sp`, `spl`, `spr`,
// `sp1`..`sp3_`, `sp4_`), the fades of the whole scene or the standing sprites (`fade`, `fo`,
// `fi`, `fo2`, `fi2`, `sp_fade`...) and the colour settings for standing sprites (`set_hsv`,
// `set_rgb2`, `set_rgb_ex1`..`set_rgb_ex3`). Every statement writes what it shows into the layer
// records of the scenario state; in fast-forward mode it changes only the records, and
// RebuildLayers later shows what they hold.
#pragma once

namespace halcyra {

class CScript;

// Attaches the handlers of these statements, and those of the layer motion statements
// (scenario/LayerMotion.h), to the interpreter.
void RegisterLayerStatements(CScript& script);

// Shows the eight recorded layers at once, as the records hold them: picture (a missing one as
// the placeholder when the debug switch asks for one, else reported and left empty), position,
// brightness, opacity, velocity and wrap; standing sprites take the scene's tint; pictures play
// their animation once. Layers with no name are emptied, and no cross-fade picture is left over.
// Ends fast-forward mode's scene and restores a loaded save's. False when some picture could not
// be shown.
bool RebuildLayers(CScript& script);

}  // namespace halcyra

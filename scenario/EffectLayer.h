// The statements of the effect layer (slot 18) and the sky animation: `trans_sp4` freezes the
// scene into the effect layer and empties the layers beneath it, `fade_sp4` fades the frozen
// scene out, `blue_sky` plays the three sky pictures one after the other.
#pragma once

namespace halcyra {

class CScript;

void RegisterEffectLayerStatements(CScript& script);

}  // namespace halcyra

// `HasMmx`: the process-wide choice between the plain and the SIMD forms of the blends. Here it
// means "packed-integer SIMD (SSE2 on x86-64) is available and used".
#pragma once

namespace halcyra {

// Whether this processor runs the SIMD forms (SSE2 present).
bool DetectSimd();

// Starts as DetectSimd(); tests set it to run either form. Turning it on where DetectSimd() is
// false still works: the SIMD forms then run their arithmetic without vector instructions.
bool HasMmx();
void SetHasMmx(bool on);

}  // namespace halcyra

// Raster operations over rows of pixels (internal to platform/gdi).
#pragma once

#include "platform/gdi/objects.h"

namespace win::detail {

// d[i] := op(pattern, s[i], d[i]) for n pixels; s may be null when the operation reads no
// source.
using RopRow = void (*)(Pixel* d, const Pixel* s, Pixel pattern, int n, BYTE code);

RopRow RopFor(BYTE code);
constexpr bool RopReadsSource(BYTE code) {
    return ((code >> 2) & 0x33) != (code & 0x33);
}
constexpr bool RopReadsPattern(BYTE code) {
    return ((code >> 4) & 0x0F) != (code & 0x0F);
}
constexpr bool RopReadsDest(BYTE code) {
    return ((code >> 1) & 0x55) != (code & 0x55);
}

// The ternary operation of a binary ROP2 code (pen and destination).
BYTE Rop2ToRop3(int rop2);

}  // namespace win::detail

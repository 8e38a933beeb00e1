// Recolouring a loaded skin: its hue turned round the colour wheel, its saturation raised or
// lowered. Both change the master bitmap, the masks' own pictures and the colour values of the
// sections and the global record, in place; a load applies them once to a fresh copy.
//
// Rules:
//  1. Pixels of the transparent key and grey pixels (black and white included) stay as they
//     are; 32-bit pictures keep their alpha.
//  2. Colour values that mean "no colour" stay: -1, the transparent key, clNone and system
//     colours (any value with a non-zero top byte).
//  3. With BIKeepHue 2 the close icons of the title bar keep their hue, with 1 all nine title
//     icons do, each with its own-picture glow mask.
#pragma once

#include "skin/core/data/skin_content.h"

namespace skin {

// Nothing for 0 degrees.
void ShiftSkinHue(TsSkinContent& skin, int degrees);
// Percent = (-amount) mod 101 with the sign of -amount: positive amounts make colours more
// vivid, negative ones greyer. Nothing for 0.
void ShiftSkinSaturation(TsSkinContent& skin, int amount);

}  // namespace skin

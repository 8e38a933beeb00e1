// The inner loops of the blends, one scan-line run at a time: a fast form that works on 16
// bytes at once (the products of both formulas stay below 65 536, so 16-bit lanes hold them
// exactly) and a plain form, which the tests hold the fast one to.
#pragma once

#include <cstdint>

namespace skin {

// Straight alpha of 32-bit source pixels over 24- or 32-bit target pixels (`step` 3 or 4):
// D := (S * A + D * (256 - A)) >> 8 for blue, green and red; a 32-bit target keeps its alpha.
void AlphaRow(uint8_t* d, int step, const uint8_t* s, int width);
void AlphaRowPlain(uint8_t* d, int step, const uint8_t* s, int width);

// A constant weight of the target on every byte: D := (S * (255 - A) + D * A + 127) >> 8.
void RatioRow(uint8_t* d, const uint8_t* s, int bytes, uint8_t a);
void RatioRowPlain(uint8_t* d, const uint8_t* s, int bytes, uint8_t a);

}  // namespace skin

// Reversing the row filters of PNG image data (filter method 0: none, Sub, Up, Average, Paeth),
// in place, with the previous row's reversed bytes and the filter distance (the bytes of one
// pixel, at least 1). The fast form works on whole pixels at a time and gives the same bytes as
// the plain one, which the tests hold it to.
#pragma once

#include <cstddef>
#include <cstdint>

namespace skin {

// `filter` is 0 to 4; `prev` holds `count` bytes (zeros above the first row of a pass).
void UnfilterRow(uint8_t filter, uint8_t* row, const uint8_t* prev, size_t bpp, size_t count);
// `rows` rows one after the other, `stride` bytes apart, all with the same filter: each one's
// row above is the one before it, the first's is `prev`. Rows of Average and Paeth go through
// two or four at a time, each a pixel behind the one before, so that every step carries several
// pixels.
void UnfilterRows(uint8_t filter, uint8_t* first, const uint8_t* prev, size_t stride, size_t rows,
                  size_t bpp, size_t count);
// The same one byte at a time.
void UnfilterRowPlain(uint8_t filter, uint8_t* row, const uint8_t* prev, size_t bpp, size_t count);

}  // namespace skin

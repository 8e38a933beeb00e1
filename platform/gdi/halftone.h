// HALFTONE stretching (internal to platform/gdi): every destination pixel is the mean of the
// source area it covers, each source pixel weighted by the part of it inside, in exact integers,
// rounded half up; source pixels outside the source bitmap do not count.
#pragma once

#include <vector>

#include "platform/gdi/blit_impl.h"

namespace win::detail {

// The averaged picture for t.dstRect, row after row.
std::vector<Pixel> Halftone(const Transfer& t);

}  // namespace win::detail

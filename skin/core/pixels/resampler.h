// Separable resampling of 24- and 32-bit images with one of seven filter kernels: a horizontal
// pass into a work image, then a vertical pass, with contributor lists computed once per pass
// and 16.16 fixed-point weights (not normalised; sums are clamped to 0..255).
#pragma once

#include <cstdint>
#include <vector>

#include "skin/core/pixels/pixels.h"

namespace skin {

// Box, triangle, Hermite, bell, B-spline, windowed sine, Mitchell.
enum TResampleFilter : uint8_t {
    rfBox,
    rfTriangle,
    rfHermite,
    rfBell,
    rfBSpline,
    rfLanczos,
    rfMitchell,
};

struct TContributor {
    int32_t Offset;  // byte offset into the source line: source index times the pass's step
    int32_t Weight;  // 16.16 fixed point
};

struct TContributorList {
    int32_t BlockSize = 0;             // room per output pixel
    std::vector<int32_t> Counts;       // contributors of each output pixel
    std::vector<TContributor> Blocks;  // BlockSize entries per output pixel
    const TContributor* Of(int i) const { return Blocks.data() + size_t(i) * BlockSize; }
};

float FilterRadius(int filter);
TContributorList BuildFilterContributors(int outputSize, int inputSize, ptrdiff_t step, int filter);

// One output line: `count` output pixels from the line at `source`.
void ResampleRow24(ptrdiff_t targetStep, uint8_t* target, const uint8_t* source,
                   const TContributorList& list, int count);
void ResampleRow32(ptrdiff_t targetStep, uint8_t* target, const uint8_t* source,
                   const TContributorList& list, int count);

// Resamples `src` into `dst` (sized already: the new width and height) with the same bytes per
// pixel (3 or 4). Raises EResampleError "Source bitmap is too small" for a source narrower or
// lower than 2 pixels and for an empty target. Equal sizes copy.
void ResamplePixels(const PixelView& src, const PixelView& dst, int filter);

}  // namespace skin

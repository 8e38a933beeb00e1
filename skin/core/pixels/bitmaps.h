// The skin core's arithmetic on the class library's bitmaps: scan-line views of them, the new
// bitmaps the painters make, and the resampler over whole bitmaps.
#pragma once

#include "skin/core/pixels/pixels.h"
#include "vcl/graphics/bitmap.h"

namespace skin {

// The rows of a 8-, 24- or 32-bit bitmap; an empty view for other formats or an empty bitmap.
PixelView ViewOf(vcl::TBitmap* bmp);

// Device-independent bitmaps: the handle type and format are set before the size.
vcl::TBitmap* NewBitmap24(int width, int height);
vcl::TBitmap* NewBitmap32(int width, int height);
vcl::TBitmap* NewBitmapLike(vcl::TBitmap* bmp);
// Whether a bitmap of w x h pixels can be made; the sizes of any rectangle's sides, taken in
// 64 bits, can be asked without overflow.
bool BitmapSizeFits(int64_t w, int64_t h);

// Gives `dst` the new size and the source's format (32-bit stays, anything else becomes 24-bit)
// and resamples `src` into it; `dst` may be `src`. Raises EResampleError "Source bitmap is too
// small" for a source narrower or lower than 2 pixels, and for a new size of 0 or less.
void ResampleBitmap(vcl::TBitmap* src, vcl::TBitmap* dst, int width, int height, int filter);

}  // namespace skin

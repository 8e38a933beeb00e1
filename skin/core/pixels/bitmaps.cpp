#include "skin/core/pixels/bitmaps.h"

#include <memory>

#include "platform/gdi/bitmap.h"
#include "skin/core/pixels/errors.h"
#include "skin/core/pixels/resampler.h"

namespace skin {

PixelView ViewOf(vcl::TBitmap* bmp) {
    if (bmp == nullptr || bmp->Empty()) return {};
    const vcl::TPixelFormat f = bmp->PixelFormat();
    const int bpp = f == vcl::pf32bit ? 4 : f == vcl::pf24bit ? 3 : f == vcl::pf8bit ? 1 : 0;
    if (bpp == 0) return {};
    PixelView v;
    v.Base = bmp->ScanLine(0);
    // One row has no second scan line: rows of a bottom-up bitmap lie downwards in memory.
    v.Stride = bmp->Height() > 1 ? bmp->ScanLine(1) - v.Base
                                 : -ptrdiff_t((bmp->Width() * bpp + 3) / 4 * 4);
    v.Width = bmp->Width();
    v.Height = bmp->Height();
    v.BytesPerPixel = bpp;
    return v;
}

namespace {
vcl::TBitmap* NewBitmap(int width, int height, vcl::TPixelFormat format) {
    // Held until made: a size the drawing layer refuses raises, and nothing is left behind.
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> b(new vcl::TBitmap);
    b->SetPixelFormat(format);
    b->SetHandleType(vcl::bmDIB);
    b->SetSize(width, height);
    return b.release();
}
}  // namespace

bool BitmapSizeFits(int64_t w, int64_t h) {
    return w > 0 && h > 0 && w <= win::kMaxBitmapPixels && h <= win::kMaxBitmapPixels &&
           w * h <= win::kMaxBitmapPixels;
}

vcl::TBitmap* NewBitmap24(int width, int height) {
    return NewBitmap(width, height, vcl::pf24bit);
}
vcl::TBitmap* NewBitmap32(int width, int height) {
    return NewBitmap(width, height, vcl::pf32bit);
}
vcl::TBitmap* NewBitmapLike(vcl::TBitmap* bmp) {
    return NewBitmap(bmp->Width(), bmp->Height(), bmp->PixelFormat());
}

void ResampleBitmap(vcl::TBitmap* src, vcl::TBitmap* dst, int width, int height, int filter) {
    if (src->Width() < 2 || src->Height() < 2 || width < 1 || height < 1) {
        throw EResampleError("Source bitmap is too small");
    }
    const vcl::TPixelFormat format =
        src->PixelFormat() == vcl::pf32bit ? vcl::pf32bit : vcl::pf24bit;
    if (width == src->Width() && height == src->Height()) {
        if (dst != src) dst->Assign(src);
        return;
    }
    src->SetPixelFormat(format);
    // The source survives a target that is the source itself.
    std::unique_ptr<vcl::TBitmap> copy;
    if (dst == src) {
        copy.reset(NewBitmapLike(src));
        copy->Assign(src);
        src = copy.get();
    }
    dst->SetPixelFormat(format);
    dst->SetSize(width, height);
    ResamplePixels(ViewOf(src), ViewOf(dst), filter);
}

}  // namespace skin

#include "skin/core/pixels/png_graphic.h"

#include <memory>

#include "platform/gdi/gdi.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/pixels/fast_pixels.h"
#include "vcl/graphics/canvas.h"

namespace skin {
namespace {

// The decoder's target over the graphic's own bitmap.
class BitmapTarget : public PngTarget {
public:
    explicit BitmapTarget(vcl::TBitmap& b) : b_(b) {}
    void Clear() override {
        // Without a handle SetHandle changes nothing: the format and transparency of an earlier
        // picture are dropped here, so that the next one rebuilds all of them.
        b_.SetHandle(nullptr);
        b_.SetPixelFormat(pfDevice);
        b_.SetTransparent(false);
        b_.SetTransparentColor(vcl::clDefault);
        palette_.clear();
    }
    TPixelFormat PixelFormat() const override { return b_.PixelFormat(); }
    void SetPixelFormat(TPixelFormat f) override { b_.SetPixelFormat(f); }
    void SetPalette(const TPalette& p) override { palette_ = p; }
    void SetSize(int w, int h) override {
        b_.SetSize(w, h);
        if (palette_.empty() || b_.Empty()) return;
        std::vector<win::RGBQUAD> colours;
        for (const auto& e : palette_)
            colours.push_back({e.Blue, e.Green, e.Red, 0});
        win::SetDIBColorTable(b_.Canvas()->Handle(), 0, win::UINT(colours.size()), colours.data());
    }
    void SetTransparentColor(TColor c) override {
        b_.SetTransparentColor(vcl::TColor(c));
        b_.SetTransparent(true);
    }
    uint8_t* ScanLine(int y) override { return b_.ScanLine(y); }

private:
    vcl::TBitmap& b_;
    TPalette palette_;
};

}  // namespace

TPNGGraphic::TPNGGraphic() {
    // What the decoder reports reaches the picture's own progress event.
    decoder_.OnProgress = [this](TProgressStage stage, int percent, bool redraw,
                                 const std::string& text) {
        Progress(this, stage, uint8_t(percent), redraw, {0, 0, Width(), Height()}, text);
    };
}

void TPNGGraphic::Assign(const vcl::TPersistent* source) {
    if (auto* png = dynamic_cast<const TPNGGraphic*>(source)) decoder_.Header = png->Header();
    vcl::TBitmap::Assign(source);
}

void TPNGGraphic::LoadFromStream(vcl::TStream* stream) {
    BitmapTarget target(*this);
    decoder_.LoadFromStream(stream, target);
}

void TPNGGraphic::Draw(vcl::TCanvas* canvas, const vcl::TRect& rect) {
    if (PixelFormat() != pf32bit) {
        vcl::TBitmap::Draw(canvas, rect);
        return;
    }
    const int w = rect.Width(), h = rect.Height();
    if (w <= 0 || h <= 0) return;
    const int rows = h + Reflected * (h / 2);
    std::unique_ptr<vcl::TBitmap> scratch(NewBitmap24(w, rows));
    win::HDC target = canvas->Handle();
    win::BitBlt(scratch->Canvas()->Handle(), 0, 0, w, rows, target, rect.Left, rect.Top,
                win::SRCCOPY);
    if (w == Width() && h == Height()) {
        DrawAlphaBitmap32({0, 0, w, h}, {0, 0, w, h}, ViewOf(scratch.get()), ViewOf(this),
                          EmptyCacheInfo, false, clNone, 0, Reflected != 0);
    } else {
        // Colour and alpha are scaled apart (the alpha as a grey picture) and put together.
        std::unique_ptr<vcl::TBitmap> colour(NewBitmap32(w, h)),
            alpha(NewBitmap24(Width(), Height()));
        std::unique_ptr<vcl::TBitmap> scaledAlpha(NewBitmap24(w, h));
        win::HDC c = colour->Canvas()->Handle();
        win::SetStretchBltMode(c, win::HALFTONE);
        win::StretchBlt(c, 0, 0, w, h, Canvas()->Handle(), 0, 0, Width(), Height(), win::SRCCOPY);
        const PixelView self = ViewOf(this), grey = ViewOf(alpha.get());
        for (int y = 0; y < Height(); ++y) {
            for (int x = 0; x < Width(); ++x) {
                uint8_t a = self.At(x, y)[3];
                uint8_t* g = grey.At(x, y);
                g[0] = g[1] = g[2] = a;
            }
        }
        win::HDC s = scaledAlpha->Canvas()->Handle();
        win::SetStretchBltMode(s, win::HALFTONE);
        win::StretchBlt(s, 0, 0, w, h, alpha->Canvas()->Handle(), 0, 0, Width(), Height(),
                        win::SRCCOPY);
        const PixelView cv = ViewOf(colour.get()), av = ViewOf(scaledAlpha.get());
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                cv.At(x, y)[3] = av.At(x, y)[0];
        }
        DrawAlphaBitmap32({0, 0, w, h}, {0, 0, w, h}, ViewOf(scratch.get()), cv, EmptyCacheInfo,
                          false, clNone, 0, false);
    }
    win::BitBlt(target, rect.Left, rect.Top, w, rows, scratch->Canvas()->Handle(), 0, 0,
                win::SRCCOPY);
}

void RegisterPngFormat() {
    vcl::RegisterFileFormat("png", "Portable network graphics (Quillor)",
                            [] { return new TPNGGraphic; });
}
void UnregisterPngFormat() {
    vcl::UnregisterFileFormat("png");
}

void ClearTransparentWhite(vcl::TBitmap* bmp) {
    if (bmp == nullptr || bmp->PixelFormat() != pf32bit) return;
    const PixelView v = ViewOf(bmp);
    TacFast32 fast;
    if (!fast.Attach(v)) return;
    for (int y = 0; y < fast.Height; ++y) {
        for (int x = 0; x < fast.Width; ++x) {
            if (fast.GetPixel(x, y) == 0x00FFFFFF) fast.SetPixel(x, y, 0);
        }
    }
}

namespace {

std::unique_ptr<vcl::TBitmap> NewMask(int width, int height) {
    auto mask = std::make_unique<vcl::TBitmap>();
    mask->SetPixelFormat(pf1bit);
    mask->SetSize(width, height);
    // All black: every pixel of the icon shows.
    win::PatBlt(mask->Canvas()->Handle(), 0, 0, width, height, win::BLACKNESS);
    return mask;
}

win::HICON IconFrom(vcl::TBitmap* color, vcl::TBitmap* mask) {
    win::ICONINFO info;
    info.fIcon = win::TRUE;
    info.hbmColor = color->Handle();
    info.hbmMask = mask->Handle();
    return win::CreateIconIndirect(&info);
}

}  // namespace

win::HICON MakeAlphaIconFromBitmap(vcl::TBitmap* bmp, TColor background) {
    if (bmp == nullptr || bmp->Empty()) return nullptr;
    const int w = bmp->Width(), h = bmp->Height();
    std::unique_ptr<vcl::TBitmap> mask = NewMask(w, h);
    std::unique_ptr<vcl::TBitmap> color(NewBitmap32(w, h));
    FillRectSolid(color->Canvas()->Handle(), TRect{0, 0, w, h}, background);
    color->Canvas()->Draw(0, 0, bmp);  // a 32-bit picture blends itself over the background

    if (bmp->PixelFormat() != pf32bit) {
        // Without alpha, only the transparent key colour is transparent.
        bmp->SetPixelFormat(pf32bit);
        TacFast32 p;
        if (p.Attach(ViewOf(bmp))) {
            for (int y = 0; y < p.Height; ++y)
                for (int x = 0; x < p.Width; ++x) {
                    const uint32_t c = p.GetPixel(x, y);
                    if (c != kTransparentKey) p.SetPixel(x, y, c | 0xFF000000u);
                }
        }
    }
    TacFast32 p, c;
    if (p.Attach(ViewOf(bmp)) && c.Attach(ViewOf(color.get()))) {
        const win::HDC maskDC = mask->Canvas()->Handle();
        for (int y = 0; y < p.Height; ++y)
            for (int x = 0; x < p.Width; ++x) {
                const uint32_t px = p.GetPixel(x, y);
                c.SetPixel(x, y, px);
                win::SetPixelV(maskDC, x, y, (px >> 24) != 0 ? 0x000000 : 0xFFFFFF);
            }
    }
    return IconFrom(color.get(), mask.get());
}

win::HICON MakeIconFromBitmap(vcl::TBitmap* bmp, bool forceKeyMask) {
    if (bmp == nullptr || bmp->Empty()) return nullptr;
    std::unique_ptr<vcl::TBitmap> mask = NewMask(bmp->Width(), bmp->Height());
    if (forceKeyMask || bmp->PixelFormat() != pf32bit) {
        bmp->SetPixelFormat(pf32bit);
        TacFast32 p;
        if (p.Attach(ViewOf(bmp))) {
            // The top-left pixel, alpha included, is the colour that becomes transparent.
            const uint32_t key = p.GetPixel(0, 0);
            const win::HDC maskDC = mask->Canvas()->Handle();
            for (int y = 0; y < p.Height; ++y)
                for (int x = 0; x < p.Width; ++x)
                    if (p.GetPixel(x, y) == key) win::SetPixelV(maskDC, x, y, 0xFFFFFF);
        }
    }
    return IconFrom(bmp, mask.get());
}

}  // namespace skin

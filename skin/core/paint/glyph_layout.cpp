#include "skin/core/paint/glyph_layout.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/gdi/gdi.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "vcl/controls/controls.h"
#include "vcl/graphics/canvas.h"

namespace skin {

bool GlyphsUseFirstPicture = false;
bool KeepGraphicChildrenInClip = false;
const vcl::TClassInfo* UnexcludedGraphicClass = nullptr;

void CalcButtonLayout(const TRect& client, TPoint glyphSize, TPoint textSize, int layout,
                      int alignment, int margin, int spacing, TPoint& glyphPos, TRect& textBounds,
                      int flags) {
    if (flags & kLayoutRightToLeft) {
        if (layout == glGlyphLeft)
            layout = glGlyphRight;
        else if (layout == glGlyphRight)
            layout = glGlyphLeft;
    }
    if (layout < glGlyphLeft || layout > glGlyphBottom) layout = glGlyphLeft;
    const TPoint cs{client.Width(), client.Height()};
    const bool across = layout == glGlyphLeft || layout == glGlyphRight;
    TPoint glyph, text;
    if (across) {
        glyph.Y = (cs.Y - glyphSize.Y + 1) / 2;
        text.Y = (cs.Y - textSize.Y + 1) / 2;
    } else {
        glyph.X = (cs.X - glyphSize.X + 1) / 2;
        text.X = (cs.X - textSize.X + 1) / 2;
    }
    // Both chosen by the routine: the free space is split in three even when a missing glyph or
    // caption leaves no spacing between them.
    const bool chooseBoth = margin == -1 && spacing == -1;
    const bool noSpacing = textSize.X == 0 || glyphSize.X == 0;
    if (noSpacing) spacing = 0;

    const int room = across ? cs.X : cs.Y;
    const int g = across ? glyphSize.X : glyphSize.Y;
    const int t = across ? textSize.X : textSize.Y;
    if (chooseBoth) {
        margin = (room - g - t) / 3;
        spacing = noSpacing ? 0 : margin;
    } else if (margin == -1) {
        margin = alignment == gaCenter ? (room - (g + spacing + t) + 1) / 2 : 2;
    } else if (spacing == -1) {
        spacing = ((room - (g + margin)) - t) / 2;
    }

    switch (layout) {
        case glGlyphLeft:
        case glGlyphRight: {
            if (alignment == gaCenter) margin = (cs.X - t - spacing - g) / 2;
            const bool glyphFirst = layout == glGlyphLeft;
            if (alignment == gaRight) {
                const int lastX = cs.X - margin - (glyphFirst ? t : g);
                const int firstX = lastX - spacing - (glyphFirst ? g : t);
                (glyphFirst ? text.X : glyph.X) = lastX;
                (glyphFirst ? glyph.X : text.X) = firstX;
            } else {
                const int secondX = margin + (glyphFirst ? g : t) + spacing;
                (glyphFirst ? glyph.X : text.X) = margin;
                (glyphFirst ? text.X : glyph.X) = secondX;
            }
            break;
        }
        case glGlyphTop:
            glyph.Y = (cs.Y - g - spacing - t) / 2;
            text.Y = glyph.Y + g + spacing;
            break;
        default:  // glGlyphBottom
            glyph.Y = cs.Y - g - (cs.Y - g - spacing - t) / 2;
            text.Y = glyph.Y - spacing - t;
            break;
    }
    glyphPos = {glyph.X + client.Left, glyph.Y + client.Top};
    textBounds = {client.Left + text.X, client.Top + text.Y, client.Left + text.X + textSize.X,
                  client.Top + text.Y + textSize.Y};
}

namespace {

TColor PixelColor24(const PixelView& v, int x, int y) {
    const uint8_t* p = v.At(x, y);
    return RGB(p[2], p[1], p[0]);
}

// The picture shown for a state of a multi-state glyph.
int PictureIndex(int state, bool enabled, bool monochrome, int indexOffset, int numGlyphs) {
    if (!enabled || state <= 0) return 0;
    const bool first = monochrome || GlyphsUseFirstPicture;
    if (state == 1) return first ? 0 : 1;
    if (numGlyphs > indexOffset + 2 && indexOffset + 2 >= 0) return indexOffset + 2;
    return first ? 0 : std::min(1, numGlyphs - 1);
}

}  // namespace

void DrawMultiGlyph(vcl::TBitmap* glyph, vcl::TBitmap* target, TPoint pos, int indexOffset,
                    int blend, int state, TsDisabledKind disabledKind, bool enabled,
                    int numGlyphs) {
    if (!glyph || !target || glyph->Empty() || target->Empty()) return;
    numGlyphs = std::max(1, numGlyphs);
    const int pictureWidth = glyph->Width() / numGlyphs;
    if (pictureWidth < 1) return;
    std::unique_ptr<vcl::TBitmap> work(new vcl::TBitmap);
    work->Assign(glyph);
    work->SetPixelFormat(pf24bit);
    const PixelView w = ViewOf(work.get()), dst = ViewOf(target);
    if (w.Empty() || dst.Empty()) return;
    const int bottom = w.Height - 1;

    if (numGlyphs == 1) {
        const TColor key = PixelColor24(w, 0, bottom);
        const TRect all{0, 0, w.Width - 1, bottom};
        if (enabled) {
            if (state == 0 && blend >= 1)
                BlendBitmapTransparent(dst, pos.X, pos.Y, w, all, blend / 100.0, key);
            else
                CopyBitmapTransparent(dst, w, pos.X, pos.Y, key);
            return;
        }
        // Greying spares the key colour, which must stay transparent.
        if (disabledKind.Contains(dkGrayed)) GrayscaleBitmapTransparent(w, key);
        if (disabledKind.Contains(dkBlended))
            BlendBitmapTransparent(dst, pos.X, pos.Y, w, all, 0.5, key);
        else
            CopyBitmapTransparent(dst, w, pos.X, pos.Y, key);
        return;
    }

    const int index = PictureIndex(state, enabled, glyph->Monochrome(), indexOffset, numGlyphs);
    const int left = index * pictureWidth;
    const TRect picture{left, 0, left + pictureWidth - 1, bottom};
    const TColor key = PixelColor24(w, left, bottom);
    if (!enabled && state == 0 && blend >= 1)
        BlendBitmapTransparent(dst, pos.X, pos.Y, w, picture, blend / 100.0, key);
    else
        CopyRectTransparent24(dst, w, pos.X, pos.Y, picture, key);
}

void RotateBitmap90(vcl::TBitmap*& bmp, bool clockwise, bool keepSource) {
    if (!bmp) return;
    vcl::TBitmap* source = bmp;
    // Other formats are read from a 24-bit copy; the source itself is never changed.
    std::unique_ptr<vcl::TBitmap> converted;
    const bool wide = source->PixelFormat() == pf32bit;
    if (!wide && source->PixelFormat() != pf24bit && !source->Empty()) {
        converted = std::make_unique<vcl::TBitmap>();
        converted->Assign(source);
        converted->SetPixelFormat(pf24bit);
    }
    const int w = source->Width(), h = source->Height();
    vcl::TBitmap* turned = wide ? NewBitmap32(h, w) : NewBitmap24(h, w);
    const PixelView s = ViewOf(converted ? converted.get() : source), d = ViewOf(turned);
    // Plain loops rather than the fast accessors, which refuse bitmaps below 2 x 2.
    if (!s.Empty() && !d.Empty()) {
        const int bpp = s.BytesPerPixel;
        for (int y = 0; y < h; ++y) {
            const uint8_t* from = s.Row(y);
            for (int x = 0; x < w; ++x, from += bpp) {
                uint8_t* to = clockwise ? d.At(h - 1 - y, x) : d.At(y, w - 1 - x);
                std::copy(from, from + bpp, to);
            }
        }
    }
    if (!keepSource) delete source;
    bmp = turned;
}

void PaintRoundThumb(vcl::TBitmap* target, TRect r, int percent, int radius, int softWidth,
                     TColor color) {
    if (!target || target->Empty()) return;
    // A thumb larger than any bitmap is not drawn; nothing smaller can overflow below.
    const int64_t w64 = int64_t(r.Right) - r.Left, h64 = int64_t(r.Bottom) - r.Top;
    if (!BitmapSizeFits(w64, h64)) return;
    const int w = int(w64), h = int(h64);
    std::unique_ptr<vcl::TBitmap> work(NewBitmap24(w, h)), mask(NewBitmap24(w, h));
    win::BitBlt(work->Canvas()->Handle(), 0, 0, w, h, target->Canvas()->Handle(), r.Left, r.Top,
                win::SRCCOPY);
    const int half = std::min(h / 2, w / 2);
    const int soft = std::clamp(softWidth, 0, half);
    const int corner = std::clamp(radius, 0, half);
    const int a0 = std::clamp(percent, 0, 100) * 255 / 100;

    vcl::TCanvas* m = mask->Canvas();
    m->Pen()->SetStyle(vcl::psClear);
    m->Brush()->SetStyle(vcl::bsSolid);
    int grey = 255;
    for (int i = 0; i <= soft; ++i) {
        m->Brush()->SetColor(vcl::TColor(RGB(grey, grey, grey)));
        m->RoundRect(i, i, w - i, h - i, corner, corner);
        grey = int(std::nearbyint(double(soft - i) * (255 - a0) / (soft + 1))) + a0;
    }
    m->Brush()->SetColor(vcl::TColor(RGB(grey, grey, grey)));
    m->RoundRect(soft, soft, w - soft, h - soft, soft, soft);

    BlendEqualBitmaps(ViewOf(work.get()), ViewOf(mask.get()), ColorToRGB(color));
    win::BitBlt(target->Canvas()->Handle(), r.Left, r.Top, w, h, work->Canvas()->Handle(), 0, 0,
                win::SRCCOPY);
}

void ExcludeGraphicChildren(win::HDC dc, vcl::TWinControl* parent, int dy, int dx) {
    if (!dc || !parent || KeepGraphicChildrenInClip) return;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        vcl::TControl* child = parent->Controls(i);
        if (!child->Visible() || !dynamic_cast<vcl::TGraphicControl*>(child)) continue;
        if (UnexcludedGraphicClass && child->InheritsFrom(UnexcludedGraphicClass->Name())) continue;
        const TRect b = child->BoundsRect();
        win::ExcludeClipRect(dc, b.Left + dx, b.Top + dy, b.Right + dx, b.Bottom + dy);
    }
}

}  // namespace skin

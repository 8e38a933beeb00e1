#include "skin/core/paint/glyph_layout.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/gdi/gdi.h"
#include "skin/core/pixels/bitmaps.h"
#include "vcl/controls/controls.h"
#include "vcl/graphics/canvas.h"

namespace {

using namespace skin;

constexpr TColor kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00, kYellow = 0x00FFFF;

TColor At(vcl::TBitmap* b, int x, int y) {
    const uint8_t* p = ViewOf(b).At(x, y);
    return RGB(p[2], p[1], p[0]);
}

void Fill(vcl::TBitmap* b, TRect r, TColor c) {
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) {
            uint8_t* p = ViewOf(b).At(x, y);
            p[0] = BlueOf(c), p[1] = GreenOf(c), p[2] = RedOf(c);
        }
}

std::unique_ptr<vcl::TBitmap> Solid(int w, int h, TColor c) {
    std::unique_ptr<vcl::TBitmap> b(NewBitmap24(w, h));
    Fill(b.get(), {0, 0, w, h}, c);
    return b;
}

// Pictures of 4 x 4 side by side, each of its colour with a key-coloured bottom-left pixel.
std::unique_ptr<vcl::TBitmap> GlyphStrip(std::vector<TColor> colours) {
    auto b = Solid(4 * int(colours.size()), 4, 0);
    for (size_t i = 0; i < colours.size(); ++i) {
        Fill(b.get(), {4 * int(i), 0, 4 * int(i) + 4, 4}, colours[i]);
        Fill(b.get(), {4 * int(i), 3, 4 * int(i) + 1, 4}, kTransparentKey);
    }
    return b;
}

struct Placed {
    TPoint glyph;
    TRect text;
};

Placed Layout(TRect client, TPoint glyph, TPoint text, int layout, int alignment, int margin,
              int spacing, int flags = 0) {
    Placed p;
    CalcButtonLayout(client, glyph, text, layout, alignment, margin, spacing, p.glyph, p.text,
                     flags);
    return p;
}

TEST(CalcButtonLayout, PlacesGlyphAndCaptionSideBySide) {
    const TRect client{10, 20, 110, 50};  // 100 x 30
    // Centred with a given spacing: the block of 16 + 4 + 40 sits in the middle.
    Placed p = Layout(client, {16, 16}, {40, 10}, glGlyphLeft, gaCenter, -1, 4);
    EXPECT_EQ(p.glyph, TPoint(30, 27));
    EXPECT_EQ(p.text, TRect(50, 30, 90, 40));
    // Right to left puts the glyph after the caption.
    p = Layout(client, {16, 16}, {40, 10}, glGlyphLeft, gaCenter, -1, 4, kLayoutRightToLeft);
    EXPECT_EQ(p.glyph, TPoint(74, 27));
    EXPECT_EQ(p.text.Left, 30);
    // Right alignment counts the margin from the right edge.
    p = Layout(client, {16, 16}, {40, 10}, glGlyphLeft, gaRight, 3, 2);
    EXPECT_EQ(p.text.Left, 10 + 57);
    EXPECT_EQ(p.glyph.X, 10 + 39);
    p = Layout(client, {16, 16}, {40, 10}, glGlyphRight, gaRight, 3, 2);
    EXPECT_EQ(p.glyph.X, 10 + 81);
    EXPECT_EQ(p.text.Left, 10 + 39);
    // A given margin with spacing -1 takes half of what is left as spacing.
    p = Layout(client, {16, 16}, {40, 10}, glGlyphLeft, gaLeft, 4, -1);
    EXPECT_EQ(p.glyph.X, 14);
    EXPECT_EQ(p.text.Left, 10 + 4 + 16 + 20);
    // Margin -1 with a given spacing and left alignment is 2.
    p = Layout(client, {16, 16}, {40, 10}, glGlyphLeft, gaLeft, -1, 4);
    EXPECT_EQ(p.glyph.X, 12);
}

TEST(CalcButtonLayout, WithoutCaptionSplitsTheRoomInThree) {
    const Placed p = Layout({0, 0, 100, 30}, {16, 16}, {0, 0}, glGlyphLeft, gaLeft, -1, -1);
    EXPECT_EQ(p.glyph.X, 28);         // (100 - 16) div 3
    EXPECT_EQ(p.text.Left, 28 + 16);  // no spacing without a caption
    EXPECT_EQ(p.text.Right, p.text.Left);
}

TEST(CalcButtonLayout, StacksGlyphAboveOrBelowAndHalvesTowardZero) {
    const TRect client{0, 0, 40, 60};
    Placed p = Layout(client, {16, 16}, {30, 10}, glGlyphTop, gaCenter, -1, 5);
    EXPECT_EQ(p.glyph, TPoint(12, 14));
    EXPECT_EQ(p.text, TRect(5, 35, 35, 45));
    p = Layout(client, {16, 16}, {30, 10}, glGlyphBottom, gaCenter, -1, 5);
    EXPECT_EQ(p.glyph, TPoint(12, 30));
    EXPECT_EQ(p.text.Top, 15);
    // A glyph wider than the client: (10 - 16 + 1) div 2 is -2, not -3.
    p = Layout({0, 0, 10, 60}, {16, 16}, {0, 0}, glGlyphTop, gaCenter, -1, -1);
    EXPECT_EQ(p.glyph.X, -2);
}

class MultiGlyph : public ::testing::Test {
protected:
    std::unique_ptr<vcl::TBitmap> target = Solid(8, 8, kBlue);
    void TearDown() override { GlyphsUseFirstPicture = false; }
    TColor Drawn(vcl::TBitmap* glyph, int state, int offset, bool enabled, int n,
                 TsDisabledKind kind = {}, int blend = 0) {
        target = Solid(8, 8, kBlue);
        DrawMultiGlyph(glyph, target.get(), {2, 2}, offset, blend, state, kind, enabled, n);
        return At(target.get(), 3, 3);
    }
};

TEST_F(MultiGlyph, ChoosesThePictureOfTheState) {
    const TColor c0 = 0x101010, c1 = 0x202020, c2 = 0x303030, c3 = 0x404040;
    auto strip = GlyphStrip({c0, c1, c2, c3});
    EXPECT_EQ(Drawn(strip.get(), 0, 0, true, 4), c0);
    EXPECT_EQ(Drawn(strip.get(), 1, 0, true, 4), c1);
    EXPECT_EQ(Drawn(strip.get(), 2, 0, true, 4), c2);
    EXPECT_EQ(Drawn(strip.get(), 2, 1, true, 4), c3);
    // No picture at offset + 2: the hot one.
    EXPECT_EQ(Drawn(strip.get(), 2, 2, true, 4), c1);
    EXPECT_EQ(Drawn(strip.get(), 1, 0, false, 4), c0);
    GlyphsUseFirstPicture = true;
    EXPECT_EQ(Drawn(strip.get(), 1, 0, true, 4), c0);
    EXPECT_EQ(Drawn(strip.get(), 2, 2, true, 4), c0);
    // The picture's key pixel lets the target show.
    Drawn(strip.get(), 1, 0, true, 4);
    EXPECT_EQ(At(target.get(), 2, 5), kBlue);
    EXPECT_EQ(At(target.get(), 6, 5), kBlue);  // one picture wide
}

TEST_F(MultiGlyph, AFrameCountBelowOneIsOne) {
    auto strip = GlyphStrip({kRed, kGreen});
    for (int n : {0, -3}) {
        Drawn(strip.get(), 0, 0, true, n);
        EXPECT_EQ(At(target.get(), 3, 3), kRed);
        EXPECT_EQ(At(target.get(), 7, 3), kGreen);  // the whole bitmap is one picture
    }
}

TEST_F(MultiGlyph, OneGlyphBlendsInTheNormalStateOnly) {
    auto glyph = GlyphStrip({kRed});
    // Half mixed with the blue below: 127.5 rounds to the even 128.
    EXPECT_EQ(Drawn(glyph.get(), 0, 0, true, 1, {}, 50), RGB(128, 0, 128));
    EXPECT_EQ(At(target.get(), 2, 5), kBlue);
    EXPECT_EQ(Drawn(glyph.get(), 1, 0, true, 1, {}, 50), kRed);
}

TEST_F(MultiGlyph, DisabledOneGlyphIsGreyedAndKeepsItsHoles) {
    auto glyph = GlyphStrip({kRed});
    EXPECT_EQ(Drawn(glyph.get(), 0, 0, false, 1, TsDisabledKind{dkGrayed}), RGB(85, 85, 85));
    // The key pixel stays transparent although greying would have turned it grey.
    EXPECT_EQ(At(target.get(), 2, 5), kBlue);
    EXPECT_EQ(Drawn(glyph.get(), 0, 0, false, 1, TsDisabledKind{dkGrayed, dkBlended}),
              RGB(42, 42, 170));
    EXPECT_EQ(At(target.get(), 2, 5), kBlue);
}

std::unique_ptr<vcl::TBitmap> Numbered(int w, int h, vcl::TPixelFormat format) {
    std::unique_ptr<vcl::TBitmap> b(format == vcl::pf32bit ? NewBitmap32(w, h) : NewBitmap24(w, h));
    const PixelView v = ViewOf(b.get());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < v.BytesPerPixel; ++c)
                v.At(x, y)[c] = uint8_t(10 * y + x + c);
    return b;
}

bool SamePixels(vcl::TBitmap* a, vcl::TBitmap* b) {
    const PixelView va = ViewOf(a), vb = ViewOf(b);
    if (va.Width != vb.Width || va.Height != vb.Height || va.BytesPerPixel != vb.BytesPerPixel)
        return false;
    for (int y = 0; y < va.Height; ++y)
        for (int x = 0; x < va.Width; ++x)
            if (!std::equal(va.At(x, y), va.At(x, y) + va.BytesPerPixel, vb.At(x, y))) return false;
    return true;
}

TEST(RotateBitmap90, TwoClockwiseTurnsAreAHalfTurn) {
    for (auto format : {vcl::pf24bit, vcl::pf32bit}) {
        auto source = Numbered(3, 2, format);
        vcl::TBitmap* turned = source.get();
        RotateBitmap90(turned, true, true);
        ASSERT_EQ(turned->Width(), 2);
        ASSERT_EQ(turned->Height(), 3);
        EXPECT_EQ(turned->PixelFormat(), format);
        // The top-left pixel goes to the top-right corner.
        EXPECT_EQ(ViewOf(turned).At(1, 0)[0], ViewOf(source.get()).At(0, 0)[0]);
        RotateBitmap90(turned, true, false);
        std::unique_ptr<vcl::TBitmap> half(turned);
        const PixelView s = ViewOf(source.get()), d = ViewOf(half.get());
        ASSERT_EQ(d.Width, 3);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_TRUE(
                    std::equal(s.At(x, y), s.At(x, y) + s.BytesPerPixel, d.At(2 - x, 1 - y)));
        // Back the other way gives the picture again.
        vcl::TBitmap* back = half.release();
        RotateBitmap90(back, false, false);
        RotateBitmap90(back, false, false);
        std::unique_ptr<vcl::TBitmap> again(back);
        EXPECT_TRUE(SamePixels(again.get(), source.get()));
    }
}

TEST(RotateBitmap90, TurnsOnePixelWideBitmaps) {
    auto column = Numbered(1, 5, vcl::pf24bit);
    vcl::TBitmap* row = column.get();
    RotateBitmap90(row, true, true);
    std::unique_ptr<vcl::TBitmap> owned(row);
    ASSERT_EQ(row->Width(), 5);
    ASSERT_EQ(row->Height(), 1);
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(ViewOf(row).At(4 - y, 0)[0], ViewOf(column.get()).At(0, y)[0]);
    vcl::TBitmap* single = Numbered(1, 1, vcl::pf32bit).release();
    RotateBitmap90(single, false, false);
    std::unique_ptr<vcl::TBitmap> one(single);
    EXPECT_EQ(one->Width(), 1);
    EXPECT_EQ(ViewOf(one.get()).At(0, 0)[3], 3);
}

TEST(PaintRoundThumb, MixesTheColourInsideTheRectangleOnly) {
    auto target = Solid(40, 20, 0);
    PaintRoundThumb(target.get(), {10, 4, 30, 16}, 0, 4, 3, kYellow);
    // Weight 0 inside gives the colour itself; the outer ring keeps the picture.
    EXPECT_EQ(At(target.get(), 20, 10), kYellow);
    EXPECT_EQ(At(target.get(), 10, 4), 0u);
    EXPECT_EQ(At(target.get(), 9, 10), 0u);
    EXPECT_EQ(At(target.get(), 30, 10), 0u);
    EXPECT_EQ(At(target.get(), 20, 16), 0u);
    // Full percent keeps the picture everywhere.
    auto kept = Solid(40, 20, kBlue);
    PaintRoundThumb(kept.get(), {10, 4, 30, 16}, 100, 4, 3, kYellow);
    EXPECT_EQ(At(kept.get(), 20, 10), RGB(0, 0, 254));
}

TEST(ExcludeGraphicChildren, LeavesVisibleGraphicChildrenOutOfTheClip) {
    struct Box : vcl::TGraphicControl {
        using vcl::TGraphicControl::TGraphicControl;
    };
    std::unique_ptr<vcl::TWinControl, vcl::FreeDeleter> parent(vcl::New<vcl::TWinControl>(nullptr));
    auto* shown = vcl::New<Box>(parent.get());
    shown->SetBounds(2, 2, 3, 3);
    shown->SetParent(parent.get());
    auto* hidden = vcl::New<Box>(parent.get());
    hidden->SetBounds(10, 2, 3, 3);
    hidden->SetVisible(false);
    hidden->SetParent(parent.get());

    auto paint = [&](bool keep) {
        auto canvas = Solid(20, 10, 0);
        KeepGraphicChildrenInClip = keep;
        const win::HDC dc = canvas->Canvas()->Handle();
        ExcludeGraphicChildren(dc, parent.get(), 1, 1);
        KeepGraphicChildrenInClip = false;
        win::PatBlt(dc, 0, 0, 20, 10, win::WHITENESS);
        return canvas;
    };
    auto canvas = paint(false);
    EXPECT_EQ(At(canvas.get(), 3, 3), 0u);  // moved by (1, 1)
    EXPECT_EQ(At(canvas.get(), 2, 2), clWhite);
    EXPECT_EQ(At(canvas.get(), 11, 3), clWhite);
    canvas = paint(true);
    EXPECT_EQ(At(canvas.get(), 3, 3), clWhite);
}

}  // namespace

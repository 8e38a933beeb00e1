#include "vcl/graphics/canvas.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/gdi/gdi.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/picture.h"

namespace {

using namespace vcl;

// A white 24-bit bitmap to draw on.
struct Sheet {
    explicit Sheet(int w = 40, int h = 30) {
        bmp.SetPixelFormat(pf24bit);
        bmp.SetSize(w, h);
    }
    TCanvas* c() { return bmp.Canvas(); }
    TColor At(int x, int y) { return bmp.Canvas()->Pixels(x, y); }
    TBitmap bmp;
};

TEST(TCanvas, ShapesUseThePenForTheirEdgesAndTheBrushInside) {
    Sheet s;
    TCanvas* c = s.c();
    c->Pen()->SetColor(clBlue);
    c->Brush()->SetColor(clYellow);
    c->Rectangle(2, 2, 12, 12);
    EXPECT_EQ(s.At(2, 2), clBlue);
    EXPECT_EQ(s.At(11, 11), clBlue);  // the right and bottom edges are inside
    EXPECT_EQ(s.At(12, 12), clWhite);
    EXPECT_EQ(s.At(6, 6), clYellow);
    c->Brush()->SetStyle(bsClear);  // only the outline
    c->Rectangle(20, 2, 30, 12);
    EXPECT_EQ(s.At(20, 5), clBlue);
    EXPECT_EQ(s.At(25, 6), clWhite);
    c->Pen()->SetStyle(psClear);  // no outline either
    c->Brush()->SetColor(clRed);
    c->Rectangle(2, 15, 12, 25);
    EXPECT_EQ(s.At(2, 15), clRed);

    c->Brush()->SetColor(clGreen);
    c->FrameRect(Rect(20, 15, 30, 25));  // a one-pixel frame in the brush
    EXPECT_EQ(s.At(20, 20), clGreen);
    EXPECT_EQ(s.At(29, 24), clGreen);
    EXPECT_EQ(s.At(25, 20), clWhite);

    Sheet e;
    e.c()->Pen()->SetColor(clBlack);
    e.c()->Brush()->SetColor(clRed);
    e.c()->Ellipse(0, 0, 20, 20);
    EXPECT_EQ(e.At(10, 10), clRed);
    EXPECT_EQ(e.At(0, 0), clWhite);  // the corners stay out
    e.c()->RoundRect(22, 0, 40, 20, 8, 8);
    EXPECT_EQ(e.At(31, 10), clRed);
    EXPECT_EQ(e.At(22, 0), clWhite);
    EXPECT_EQ(e.At(22, 10), clBlack);

    Sheet p;
    p.c()->Pen()->SetColor(clBlack);
    p.c()->Brush()->SetColor(clBlue);
    p.c()->Polygon({{0, 0}, {20, 0}, {0, 20}});
    EXPECT_EQ(p.At(4, 4), clBlue);
    EXPECT_EQ(p.At(18, 18), clWhite);
    p.c()->Polyline({{25, 5}, {35, 5}, {35, 15}});
    EXPECT_EQ(p.At(30, 5), clBlack);
    EXPECT_EQ(p.At(35, 10), clBlack);
    EXPECT_EQ(p.At(30, 10), clWhite);  // a polyline is not filled
    p.c()->Polygon({});                // nothing to draw, nothing goes wrong
}

TEST(TCanvas, PenModesFocusFramesAndThePenPosition) {
    Sheet s;
    TCanvas* c = s.c();
    c->Pen()->SetColor(clWhite);
    c->Pen()->SetMode(pmXor);
    c->MoveTo(0, 5);
    c->LineTo(10, 5);
    EXPECT_EQ(s.At(3, 5), clBlack);  // white xor white
    EXPECT_EQ(c->PenPos(), Point(10, 5));
    c->MoveTo(0, 5);
    c->LineTo(10, 5);
    EXPECT_EQ(s.At(3, 5), clWhite);  // and back
    c->Pen()->SetMode(pmCopy);

    // A focus frame drawn twice leaves no trace.
    c->DrawFocusRect(Rect(5, 10, 25, 20));
    EXPECT_EQ(s.At(5, 10), clBlack);
    EXPECT_EQ(s.At(6, 10), clWhite);
    c->DrawFocusRect(Rect(5, 10, 25, 20));
    EXPECT_EQ(s.At(5, 10), clWhite);
    EXPECT_EQ(c->ClipRect(), Rect(0, 0, 40, 30));
}

TEST(TCanvas, TextIsMeasuredAndDrawnWithTheFontAndClipped) {
    Sheet s(120, 40);
    TCanvas* c = s.c();
    c->Font()->SetColor(clRed);
    const win::SIZE one = c->TextExtent("W");
    const win::SIZE two = c->TextExtent("WW");
    EXPECT_GT(one.cx, 0);
    EXPECT_EQ(two.cx, c->TextWidth("WW"));
    EXPECT_EQ(one.cy, c->TextHeight("W"));
    EXPECT_GT(two.cx, one.cx);
    c->Font()->SetSize(16);
    EXPECT_GT(c->TextHeight("W"), one.cy);  // a font change reaches the DC
    c->Font()->SetSize(8);

    // An opaque brush fills behind the text; a clear one does not.
    c->Brush()->SetColor(clYellow);
    c->TextOut(2, 2, "WWWW");
    auto count = [&](TColor colour, int x0, int x1, int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += s.At(x, y) == colour;
        return n;
    };
    EXPECT_GT(count(clYellow, 2, 2 + c->TextWidth("WWWW"), 2, 2 + one.cy), 0);
    EXPECT_GT(count(clRed, 2, 2 + c->TextWidth("WWWW"), 2, 2 + one.cy), 0);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(60, 2, "WWWW");
    EXPECT_EQ(count(clYellow, 60, 60 + c->TextWidth("WWWW"), 2, 2 + one.cy), 0);
    EXPECT_GT(count(clRed, 60, 60 + c->TextWidth("WWWW"), 2, 2 + one.cy), 0);

    // TextRect keeps the text inside its rectangle.
    c->TextRect(Rect(2, 20, 12, 40), 2, 20, "WWWWWWWW");
    EXPECT_GT(count(clRed, 2, 12, 20, 40), 0);
    EXPECT_EQ(count(clRed, 12, 120, 20, 40), 0);
}

TEST(TCanvas, PicturesAndCanvasesAreCopiedInWholeOrStretched) {
    TBitmap src;
    src.SetPixelFormat(pf24bit);
    src.SetSize(4, 4);
    src.Canvas()->Brush()->SetColor(clBlue);
    src.Canvas()->FillRect(Rect(0, 0, 2, 4));  // blue left half, white right half
    Sheet s;
    s.c()->Draw(10, 10, &src);
    EXPECT_EQ(s.At(11, 12), clBlue);
    EXPECT_EQ(s.At(12, 12), clWhite);
    s.c()->StretchDraw(Rect(20, 0, 36, 8), &src);  // four times as wide
    EXPECT_EQ(s.At(27, 4), clBlue);
    EXPECT_EQ(s.At(28, 4), clWhite);
    s.c()->CopyRect(Rect(0, 20, 2, 22), src.Canvas(), Rect(0, 0, 2, 2));
    EXPECT_EQ(s.At(1, 21), clBlue);
    s.c()->CopyMode = 0x00550009;  // DSTINVERT: the source is not used
    s.c()->CopyRect(Rect(0, 20, 2, 22), src.Canvas(), Rect(0, 0, 2, 2));
    EXPECT_EQ(s.At(1, 21), clYellow);  // blue inverted
    s.c()->Draw(0, 0, nullptr);        // nothing to draw
    TBitmap empty;
    s.c()->Draw(0, 0, &empty);
}

TEST(TBitmap, TransparentBitmapsLeaveTheirKeyColourOut) {
    TBitmap sprite;
    sprite.SetPixelFormat(pf24bit);
    sprite.SetSize(4, 4);
    sprite.Canvas()->Brush()->SetColor(clFuchsia);
    sprite.Canvas()->FillRect(Rect(0, 0, 4, 4));
    sprite.Canvas()->Brush()->SetColor(clRed);
    sprite.Canvas()->FillRect(Rect(1, 1, 3, 3));
    EXPECT_EQ(sprite.TransparentColor(), clFuchsia);  // automatic: the bottom-left pixel
    Sheet s;
    s.c()->Draw(0, 0, &sprite);
    EXPECT_EQ(s.At(0, 0), clFuchsia);  // not transparent yet
    sprite.SetTransparent(true);
    Sheet t;
    t.c()->Brush()->SetColor(clGray);
    t.c()->FillRect(Rect(0, 0, 40, 30));
    t.c()->Draw(0, 0, &sprite);
    EXPECT_EQ(t.At(0, 0), clGray);
    EXPECT_EQ(t.At(2, 2), clRed);
    // A fixed key colour: now red is left out and the fuchsia border shows.
    sprite.SetTransparentColor(clRed);
    t.c()->FillRect(Rect(0, 0, 40, 30));
    t.c()->Draw(0, 0, &sprite);
    EXPECT_EQ(t.At(2, 2), clGray);
    EXPECT_EQ(t.At(0, 0), clFuchsia);
    sprite.SetTransparentMode(tmAuto);
    EXPECT_EQ(sprite.TransparentColor(), clFuchsia);
}

TEST(TBitmap, DrawingOnTheCanvasTellsThePicture) {
    TPicture picture;
    int changes = 0;
    picture.OnChange = TNotifyEvent::FromCallable([&](TObject*) { ++changes; });
    TBitmap* bmp = picture.Bitmap();
    bmp->SetSize(8, 8);
    const int afterSize = changes;
    EXPECT_GT(afterSize, 0);
    bmp->Modified = false;
    bmp->Canvas()->FillRect(Rect(0, 0, 4, 4));
    EXPECT_GT(changes, afterSize);
    EXPECT_TRUE(bmp->Modified);
}

TEST(TCanvas, LockKeepsOtherThreadsOut) {
    TCanvas canvas;
    canvas.Lock();
    canvas.Lock();  // the owner may lock again
    EXPECT_EQ(canvas.LockCount(), 2);
    std::atomic<int> got{-1};
    std::thread other([&] { got = canvas.TryLock() ? 1 : 0; });
    other.join();
    EXPECT_EQ(got, 0);
    canvas.Unlock();
    canvas.Unlock();
    canvas.Unlock();  // one too many does no harm
    EXPECT_EQ(canvas.LockCount(), 0);
    std::thread again([&] {
        got = canvas.TryLock() ? 1 : 0;
        if (got) canvas.Unlock();
    });
    again.join();
    EXPECT_EQ(got, 1);
}

}  // namespace

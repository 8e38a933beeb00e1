#include <gtest/gtest.h>

#include "gdi_test_util.h"
#include "platform/gdi/dc_surface.h"

namespace {

using namespace win;
using gdi_test::Canvas;

constexpr uint32_t kRed = 0x00FF0000;  // raw 32-bit pixel of RGB(255, 0, 0)

TEST(DeviceContext, SaveAndRestoreKeepTheWholeState) {
    Canvas c(20, 20);
    HDC dc = c.dc();
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    SetTextColor(dc, RGB(9, 9, 9));
    const int level = SaveDC(dc);
    EXPECT_EQ(level, 1);
    HGDIOBJ old = SelectObject(dc, brush);
    EXPECT_EQ(old, GetStockObject(WHITE_BRUSH));
    SetWindowOrgEx(dc, 5, 5, nullptr);
    IntersectClipRect(dc, 0, 0, 10, 10);
    SetTextColor(dc, RGB(200, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    EXPECT_EQ(SaveDC(dc), 2);
    SetViewportOrgEx(dc, 3, 3, nullptr);
    ASSERT_TRUE(RestoreDC(dc, -1));  // back to level 2's state
    POINT p;
    GetViewportOrgEx(dc, &p);
    EXPECT_EQ(p, (POINT{0, 0}));
    GetWindowOrgEx(dc, &p);
    EXPECT_EQ(p, (POINT{5, 5}));
    ASSERT_TRUE(RestoreDC(dc, level));
    GetWindowOrgEx(dc, &p);
    EXPECT_EQ(p, (POINT{0, 0}));
    EXPECT_EQ(GetTextColor(dc), RGB(9, 9, 9));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    RECT box;
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{0, 0, 20, 20}));
    EXPECT_FALSE(RestoreDC(dc, 1));  // nothing saved any more
    DeleteObject(brush);
}

TEST(DeviceContext, ClippingFollowsOriginsAndReportsItsShape) {
    Canvas c(20, 20);
    HDC dc = c.dc();
    c.Fill(0);
    SetViewportOrgEx(dc, 2, 2, nullptr);
    // Logical (0, 0, 6, 6) is device (2, 2, 8, 8).
    EXPECT_EQ(IntersectClipRect(dc, 0, 0, 6, 6), SIMPLEREGION);
    EXPECT_EQ(ExcludeClipRect(dc, 2, 2, 4, 4), COMPLEXREGION);
    RECT box;
    EXPECT_EQ(GetClipBox(dc, &box), COMPLEXREGION);
    EXPECT_EQ(box, (RECT{0, 0, 6, 6}));
    RECT hole{2, 2, 4, 4}, edge{3, 3, 5, 5};
    EXPECT_FALSE(RectVisible(dc, &hole));
    EXPECT_TRUE(RectVisible(dc, &edge));
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT all{-10, -10, 30, 30};
    FillRect(dc, &all, red);
    EXPECT_EQ(c.Raw(2, 2), kRed);
    EXPECT_EQ(c.Raw(7, 7), kRed);
    EXPECT_EQ(c.Raw(8, 8), 0u);
    EXPECT_EQ(c.Raw(4, 4), 0u);  // the excluded hole, device (4, 4, 6, 6)
    EXPECT_EQ(c.Raw(5, 5), 0u);
    EXPECT_EQ(c.Raw(6, 6), kRed);
    EXPECT_EQ(c.Raw(1, 1), 0u);

    // A region selected as clip is in device coordinates and is copied.
    HRGN r = CreateRectRgn(10, 10, 12, 12);
    EXPECT_EQ(SelectClipRgn(dc, r), SIMPLEREGION);
    DeleteObject(r);
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{8, 8, 10, 10}));  // logical
    HRGN got = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(dc, got), 1);
    RECT rb;
    GetRgnBox(got, &rb);
    EXPECT_EQ(rb, (RECT{10, 10, 12, 12}));
    SelectClipRgn(dc, nullptr);
    EXPECT_EQ(GetClipRgn(dc, got), 0);
    IntersectClipRect(dc, 50, 50, 60, 60);
    EXPECT_EQ(GetClipBox(dc, &box), NULLREGION);
    DeleteObject(got);
    DeleteObject(red);
}

TEST(DeviceContext, BitmapSelectionRules) {
    Canvas a(4, 4);
    HDC other = CreateCompatibleDC(nullptr);
    // A bitmap lives in one DC at a time, and is not deleted while it is there.
    EXPECT_EQ(SelectObject(other, a.bitmap()), nullptr);
    EXPECT_FALSE(DeleteObject(a.bitmap()));
    // The same DC may select it again, also after saving the state that holds it.
    SaveDC(a.dc());
    HGDIOBJ prev = SelectObject(a.dc(), GetCurrentObject(other, OBJ_BITMAP));
    EXPECT_EQ(prev, a.bitmap());
    EXPECT_EQ(SelectObject(a.dc(), a.bitmap()), GetCurrentObject(other, OBJ_BITMAP));
    RestoreDC(a.dc(), -1);
    EXPECT_EQ(GetCurrentObject(a.dc(), OBJ_BITMAP), a.bitmap());
    // A compatible bitmap of a fresh memory DC is monochrome, as callers know to expect.
    HBITMAP mono = CreateCompatibleBitmap(other, 8, 8);
    BITMAP bm;
    ASSERT_EQ(GetObject(mono, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmBitsPixel, 1);
    HBITMAP dev = CreateCompatibleBitmap(a.dc(), 8, 8);
    DIBSECTION ds;
    // The device format is told apart by the smaller answer and missing bits.
    EXPECT_EQ(GetObject(dev, sizeof ds, &ds), int(sizeof(BITMAP)));
    EXPECT_EQ(ds.dsBm.bmBitsPixel, 32);
    EXPECT_EQ(ds.dsBm.bmBits, nullptr);
    EXPECT_EQ(GetObject(a.bitmap(), sizeof ds, &ds), int(sizeof ds));
    EXPECT_EQ(ds.dsBmih.biBitCount, 32);
    EXPECT_EQ(GetObjectType(other), OBJ_MEMDC);
    DeleteObject(mono);
    DeleteObject(dev);
    DeleteDC(other);
    EXPECT_EQ(GetObjectType(other), 0u);
}

TEST(DeviceContext, DeletedPenStaysUsableWhileSelected) {
    Canvas c(4, 4);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(c.dc(), pen);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_EQ(GetObjectType(pen), 0u);
    c.Fill(0);
    SetPixel(c.dc(), 0, 0, RGB(0, 255, 0));
    EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_PEN), pen);  // still the DC's pen
    SelectObject(c.dc(), old);
    EXPECT_FALSE(DeleteObject(GetStockObject(99)));
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));  // ignored
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), OBJ_PEN);
}

TEST(DeviceContext, SurfaceDcDrawsInsideItsWindowOnly) {
    Canvas screen(30, 30);
    screen.Fill(0);
    // A window at (10, 10) whose visible part is (10, 10)-(20, 16) of the surface.
    HRGN visible = CreateRectRgn(10, 10, 20, 16);
    auto owner = reinterpret_cast<HWND>(uintptr_t(0x1234));
    HDC dc = CreateSurfaceDC(screen.bitmap(), POINT{10, 10}, visible, owner);
    DeleteObject(visible);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetSurfaceDCOwner(dc), owner);
    EXPECT_EQ(GetSurfaceDCOwner(screen.dc()), nullptr);
    EXPECT_EQ(GetObjectType(dc), OBJ_DC);
    RECT box;
    GetClipBox(dc, &box);
    EXPECT_EQ(box, (RECT{0, 0, 10, 6}));
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT r{-5, -5, 100, 100};
    FillRect(dc, &r, red);
    EXPECT_EQ(screen.Raw(10, 10), kRed);
    EXPECT_EQ(screen.Raw(19, 15), kRed);
    EXPECT_EQ(screen.Raw(20, 15), 0u);
    EXPECT_EQ(screen.Raw(19, 16), 0u);
    EXPECT_EQ(screen.Raw(9, 10), 0u);
    // The application's clip narrows the visible part, relative to the window.
    IntersectClipRect(dc, 0, 0, 2, 2);
    GetClipBox(dc, &box);
    EXPECT_EQ(box, (RECT{0, 0, 2, 2}));
    // Moving the DC keeps its own clip and state.
    SetSurfaceDCGeometry(dc, POINT{0, 0}, nullptr);
    GetClipBox(dc, &box);
    EXPECT_EQ(box, (RECT{0, 0, 2, 2}));
    EXPECT_FALSE(SelectObject(dc, screen.bitmap()));  // no bitmaps into surface DCs
    EXPECT_FALSE(DeleteDC(dc));                       // given back another way
    EXPECT_TRUE(DeleteSurfaceDC(dc));
    EXPECT_EQ(GetSurfaceDCOwner(dc), nullptr);
    DeleteObject(red);
}

}  // namespace

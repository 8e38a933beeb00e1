#include <gtest/gtest.h>

#include "gdi_test_util.h"

namespace {

using namespace win;
using gdi_test::Canvas;

constexpr uint32_t kOn = 0x00FFFFFF;

struct Ink {
    explicit Ink(HDC dc) : dc_(dc) {
        pen_ = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
        brush_ = CreateSolidBrush(RGB(255, 255, 255));
        oldPen_ = SelectObject(dc, pen_);
        oldBrush_ = SelectObject(dc, brush_);
    }
    ~Ink() {
        SelectObject(dc_, oldPen_);
        SelectObject(dc_, oldBrush_);
        DeleteObject(pen_);
        DeleteObject(brush_);
    }
    HDC dc_;
    HPEN pen_;
    HBRUSH brush_;
    HGDIOBJ oldPen_, oldBrush_;
};

TEST(Lines, TheLastPointIsNotDrawn) {
    Canvas c(6, 4);
    c.Fill(0);
    Ink ink(c.dc());
    MoveToEx(c.dc(), 0, 0, nullptr);
    LineTo(c.dc(), 4, 0);
    LineTo(c.dc(), 4, 3);
    POINT pos;
    GetCurrentPositionEx(c.dc(), &pos);
    EXPECT_EQ(pos, (POINT{4, 3}));
    EXPECT_EQ(c.Picture(kOn),
              "#####.\n"  // the second line starts where the first stopped
              "....#.\n"
              "....#.\n"
              "......\n");
    c.Fill(0);
    const POINT diag[] = {{0, 0}, {3, 3}, {5, 3}};
    Polyline(c.dc(), diag, 3);
    EXPECT_EQ(c.Picture(kOn),
              "#.....\n"
              ".#....\n"
              "..#...\n"
              "...##.\n");
}

TEST(Lines, Rop2CombinesThePenWithWhatIsThere) {
    Canvas c(3, 1);
    c.Fill(0x00F0F0F0);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0x0F, 0x0F, 0xFF));
    HGDIOBJ old = SelectObject(c.dc(), pen);
    SetROP2(c.dc(), R2_XORPEN);
    MoveToEx(c.dc(), 0, 0, nullptr);
    LineTo(c.dc(), 1, 0);
    SetROP2(c.dc(), R2_NOT);
    LineTo(c.dc(), 2, 0);
    SetROP2(c.dc(), R2_COPYPEN);
    LineTo(c.dc(), 3, 0);
    EXPECT_EQ(c.Raw(0, 0), 0x00FFFF0Fu);  // F0F0F0 xor the pen's raw 0F0FFF
    EXPECT_EQ(c.Raw(1, 0), 0xFF0F0F0Fu);
    EXPECT_EQ(c.Raw(2, 0), 0x000F0FFFu);
    SelectObject(c.dc(), old);
    DeleteObject(pen);
}

TEST(Shapes, RectangleOutlineAndNullPen) {
    Canvas c(6, 5);
    c.Fill(0);
    {
        HBRUSH grey = CreateSolidBrush(RGB(0x80, 0x80, 0x80));
        HGDIOBJ oldBrush = SelectObject(c.dc(), grey);
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
        HGDIOBJ oldPen = SelectObject(c.dc(), pen);
        Rectangle(c.dc(), 0, 0, 5, 4);
        EXPECT_EQ(c.Picture(kOn),
                  "#####.\n"
                  "#...#.\n"
                  "#...#.\n"
                  "#####.\n"
                  "......\n");
        EXPECT_EQ(c.Raw(1, 1), 0x808080u);
        SelectObject(c.dc(), oldPen);
        SelectObject(c.dc(), oldBrush);
        DeleteObject(pen);
        DeleteObject(grey);
    }
    c.Fill(0);
    Ink ink(c.dc());
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    Rectangle(c.dc(), 0, 0, 5, 4);  // one pixel less to the right and bottom
    EXPECT_EQ(c.Picture(kOn),
              "####..\n"
              "####..\n"
              "####..\n"
              "......\n"
              "......\n");
    c.Fill(0);
    SelectObject(c.dc(), ink.pen_);
    SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
    Rectangle(c.dc(), 1, 1, 4, 4);
    EXPECT_EQ(c.Picture(kOn),
              "......\n"
              ".###..\n"
              ".#.#..\n"
              ".###..\n"
              "......\n");
}

TEST(Shapes, EllipsesAndRoundRectsAreSymmetric) {
    Canvas c(9, 7);
    c.Fill(0);
    Ink ink(c.dc());
    Ellipse(c.dc(), 0, 0, 9, 7);
    const std::string e = c.Picture(kOn);
    // Every row mirrors left to right, and the shape mirrors top to bottom.
    std::vector<std::string> rows;
    for (size_t p = 0; p < e.size(); p = e.find('\n', p) + 1)
        rows.push_back(e.substr(p, 9));
    for (const auto& r : rows)
        EXPECT_EQ(r, std::string(r.rbegin(), r.rend())) << e;
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i], rows[rows.size() - 1 - i]) << e;
    EXPECT_EQ(rows[3], "#########");  // the middle row spans the width
    EXPECT_EQ(rows[0][0], '.');       // corners stay free
    c.Fill(0);
    RoundRect(c.dc(), 0, 0, 9, 7, 4, 4);
    EXPECT_EQ(c.Raw(0, 0), 0u);
    EXPECT_EQ(c.Raw(4, 0), kOn);
    EXPECT_EQ(c.Raw(0, 3), kOn);
    EXPECT_EQ(c.Raw(8, 6), 0u);
}

TEST(Shapes, PolygonFillsAndOutlines) {
    Canvas c(6, 6);
    c.Fill(0);
    Ink ink(c.dc());
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    const POINT square[] = {{1, 1}, {5, 1}, {5, 5}, {1, 5}};
    Polygon(c.dc(), square, 4);
    EXPECT_EQ(c.Picture(kOn),
              "......\n"
              ".####.\n"
              ".####.\n"
              ".####.\n"
              ".####.\n"
              "......\n");
    c.Fill(0);
    SelectObject(c.dc(), ink.pen_);
    SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
    Polygon(c.dc(), square, 4);  // the outline runs on the vertices
    EXPECT_EQ(c.Raw(5, 5), kOn);
    EXPECT_EQ(c.Raw(3, 3), 0u);
}

TEST(Pixels, SetAndGetRespectClipAndFormat) {
    Canvas c(4, 4, 24);
    c.Fill(0);
    EXPECT_EQ(SetPixel(c.dc(), 1, 1, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(c.Raw(1, 1), 0x010203u);
    EXPECT_EQ(GetPixel(c.dc(), 1, 1), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(c.dc(), 4, 0), CLR_INVALID);
    IntersectClipRect(c.dc(), 2, 2, 4, 4);
    EXPECT_EQ(SetPixel(c.dc(), 1, 1, 0), CLR_INVALID);
    EXPECT_EQ(c.Raw(1, 1), 0x010203u);
    Canvas grey(2, 1, 8);
    EXPECT_EQ(SetPixel(grey.dc(), 0, 0, RGB(10, 20, 30)), RGB(20, 20, 20));  // nearest grey
}

}  // namespace

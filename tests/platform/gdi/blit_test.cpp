#include <gtest/gtest.h>

#include "gdi_test_util.h"

namespace {

using namespace win;
using gdi_test::Canvas;

TEST(Fill, RectanglesExcludeRightAndBottomAndIgnoreBadInput) {
    Canvas c(6, 5);
    c.Fill(0);
    HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
    RECT r{1, 1, 4, 3};
    EXPECT_TRUE(FillRect(c.dc(), &r, b));
    EXPECT_EQ(c.Picture(0x010203),
              "......\n"
              ".###..\n"
              ".###..\n"
              "......\n"
              "......\n");
    RECT inverted{4, 3, 1, 1};
    c.Fill(0);
    FillRect(c.dc(), &inverted, b);  // an inverted rectangle is empty
    EXPECT_EQ(c.Picture(0), "######\n######\n######\n######\n######\n");
    FrameRect(c.dc(), &r, b);
    EXPECT_EQ(c.Picture(0x010203),
              "......\n"
              ".###..\n"
              ".###..\n"
              "......\n"
              "......\n");
    RECT big{0, 0, 6, 5};
    FrameRect(c.dc(), &big, b);
    EXPECT_EQ(c.Raw(5, 4), 0x010203u);
    EXPECT_EQ(c.Raw(2, 2), 0x010203u);  // still the earlier frame
    // A system colour index + 1 stands for its brush.
    FillRect(c.dc(), &r, reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1)));
    EXPECT_EQ(c.Raw(1, 1), 0xD4D0C8u);
    DeleteObject(b);
    EXPECT_FALSE(FillRect(c.dc(), &r, b));  // stale brush
}

TEST(Fill, PatBltOperations) {
    Canvas c(4, 1);
    c.Fill(0x00123456);
    HBRUSH b = CreateSolidBrush(RGB(0xFF, 0, 0));
    SelectObject(c.dc(), b);
    PatBlt(c.dc(), 0, 0, 1, 1, PATCOPY);
    PatBlt(c.dc(), 1, 0, 1, 1, PATINVERT);
    PatBlt(c.dc(), 2, 0, 1, 1, DSTINVERT);
    PatBlt(c.dc(), 4, 0, -1, 1, BLACKNESS);  // negative width reaches left
    EXPECT_EQ(c.Raw(0, 0), 0x00FF0000u);
    EXPECT_EQ(c.Raw(1, 0), 0x00ED3456u);
    EXPECT_EQ(c.Raw(2, 0), 0xFFEDCBA9u);  // every bit, alpha included
    EXPECT_EQ(c.Raw(3, 0), 0u);
    EXPECT_FALSE(PatBlt(c.dc(), 0, 0, 1, 1, SRCCOPY));  // needs a source
    SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
    DeleteObject(b);
}

TEST(Blit, ClipsToBothBitmapsAndTheClipRegion) {
    Canvas src(4, 4), dst(6, 6);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            src.SetRaw(x, y, 0x80000000u | uint32_t(y * 16 + x));
    dst.Fill(0xFFFFFFFF);
    // Source origin at (-1, -1): the first row and column have no source and stay.
    ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, 6, 6, src.dc(), -1, -1, SRCCOPY));
    EXPECT_EQ(dst.Raw(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(dst.Raw(1, 1), 0x80000000u);  // alpha copied between 32-bit bitmaps
    EXPECT_EQ(dst.Raw(4, 4), 0x80000033u);
    EXPECT_EQ(dst.Raw(5, 5), 0xFFFFFFFFu);
    // Destination clip and window origin.
    dst.Fill(0);
    IntersectClipRect(dst.dc(), 2, 2, 3, 6);
    SetWindowOrgEx(src.dc(), 1, 0, nullptr);  // source logical (1, 0) is pixel (0, 0)
    BitBlt(dst.dc(), 0, 0, 6, 6, src.dc(), 1, 0, SRCCOPY);
    EXPECT_EQ(dst.Raw(2, 2), 0x80000022u);
    EXPECT_EQ(dst.Raw(2, 3), 0x80000032u);
    EXPECT_EQ(dst.Raw(3, 2), 0u);
    EXPECT_EQ(dst.Raw(1, 2), 0u);
}

TEST(Blit, RasterOperationsAndFormats) {
    Canvas s32(3, 1), d24(3, 1, 24), d32(3, 1);
    s32.SetRaw(0, 0, 0xFF0F0F0F);
    s32.SetRaw(1, 0, 0x11F0F0F0);
    s32.SetRaw(2, 0, 0x00FF00FF);
    struct Case {
        DWORD rop;
        uint32_t d24;  // with every destination pixel 0x00AAAAAA
    } cases[] = {
        {SRCCOPY, 0x0F0F0F},     {SRCPAINT, 0xAFAFAF},   {SRCAND, 0x0A0A0A},
        {SRCINVERT, 0xA5A5A5},   {SRCERASE, 0x050505},   {NOTSRCCOPY, 0xF0F0F0},
        {NOTSRCERASE, 0x505050}, {MERGEPAINT, 0xFAFAFA}, {0x00990066, 0x5A5A5A} /* ~(S^D) */,
    };
    for (const Case& k : cases) {
        d24.Fill(0xAAAAAA);
        BitBlt(d24.dc(), 0, 0, 3, 1, s32.dc(), 0, 0, k.rop);
        EXPECT_EQ(d24.Raw(0, 0), k.d24) << std::hex << k.rop;
    }
    // 24 bits into 32 gives alpha 0; 32 into 24 drops it.
    d24.Fill(0x123456);
    d32.Fill(0xFFFFFFFF);
    BitBlt(d32.dc(), 0, 0, 3, 1, d24.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(d32.Raw(0, 0), 0x00123456u);
    BitBlt(d24.dc(), 0, 0, 3, 1, s32.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(d24.Raw(1, 0), 0xF0F0F0u);
    // Overlapping copy inside one bitmap reads the pixels as they were.
    Canvas row(5, 1);
    for (int x = 0; x < 5; ++x)
        row.SetRaw(x, 0, uint32_t(x));
    BitBlt(row.dc(), 1, 0, 4, 1, row.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(row.Raw(1, 0), 0u);
    EXPECT_EQ(row.Raw(4, 0), 3u);
}

// A 24-bit picture copied into 32 bits is read straight into the target rows: every pixel the
// copy reaches is the source's with alpha 0, top-down or bottom-up, clipped or not, whatever
// the row's length, and no pixel outside it is touched.
TEST(Blit, TwentyFourBitsIntoThirtyTwoCopyEveryReachedPixel) {
    struct Case {
        bool bottomUp;
        int x, y, w, h, sx, sy;
        RECT clip;  // an empty one clips nothing
    } cases[] = {
        {false, 0, 0, 13, 5, 0, 0, {}},        {true, 0, 0, 13, 5, 0, 0, {}},
        {false, 2, 1, 4, 3, 1, 2, {}},         {true, -1, -1, 15, 9, 0, 0, {}},
        {false, 0, 0, 13, 5, 0, 0, {1, 1, 12, 4}}, {true, 1, 0, 12, 5, 0, 0, {3, 0, 5, 5}},
        {false, 0, 0, 13, 5, 5, 0, {}},
    };
    for (const Case& k : cases) {
        Canvas src(13, 5, 24, k.bottomUp), dst(13, 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 13; ++x)
                src.SetRaw(x, y, uint32_t(0x10203 * (y * 13 + x + 1)) & 0xFFFFFF);
        dst.Fill(0xFFFFFFFF);
        if (k.clip.right > k.clip.left)
            IntersectClipRect(dst.dc(), k.clip.left, k.clip.top, k.clip.right, k.clip.bottom);
        BitBlt(dst.dc(), k.x, k.y, k.w, k.h, src.dc(), k.sx, k.sy, SRCCOPY);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 13; ++x) {
                const int fx = x - k.x + k.sx, fy = y - k.y + k.sy;
                const bool clipped = k.clip.right > k.clip.left &&
                                     (x < k.clip.left || x >= k.clip.right || y < k.clip.top ||
                                      y >= k.clip.bottom);
                const bool reached = !clipped && x >= k.x && x < k.x + k.w && y >= k.y &&
                                     y < k.y + k.h && fx >= 0 && fx < 13 && fy >= 0 && fy < 5;
                EXPECT_EQ(dst.Raw(x, y), reached ? src.Raw(fx, fy) : 0xFFFFFFFFu)
                    << "case " << (&k - cases) << " at " << x << "," << y;
            }
    }
}

TEST(Blit, IndexedTargetsTakeTheNearestColour) {
    Canvas grey(3, 1, 8);  // grey ramp: index = level
    Canvas src(3, 1);
    src.SetRaw(0, 0, 0x00FFFFFF);
    src.SetRaw(1, 0, 0x00102030);  // grey nearest to (16, 32, 48) is 32
    src.SetRaw(2, 0, 0x00000000);
    BitBlt(grey.dc(), 0, 0, 3, 1, src.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(grey.Raw(0, 0), 255u);
    EXPECT_EQ(grey.Raw(1, 0), 32u);
    EXPECT_EQ(grey.Raw(2, 0), 0u);
    // 8 to 1 bit thresholds in the middle.
    Canvas mask(3, 1, 1);
    grey.SetRaw(0, 0, 127);
    grey.SetRaw(1, 0, 128);
    grey.SetRaw(2, 0, 255);
    BitBlt(mask.dc(), 0, 0, 3, 1, grey.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(mask.Raw(0, 0), 0u);
    EXPECT_EQ(mask.Raw(1, 0), 1u);
    EXPECT_EQ(mask.Raw(2, 0), 1u);
}

TEST(Blit, MonochromeBitmapsTakeTheirColoursFromTheDcs) {
    HBITMAP mono = CreateBitmap(2, 1, 1, 1, nullptr);
    HDC mdc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mdc, mono);
    Canvas colour(2, 1);
    colour.SetRaw(0, 0, 0x00FF00FF);
    colour.SetRaw(1, 0, 0x00000001);
    // Colour into monochrome: the source's background colour becomes white.
    SetBkColor(colour.dc(), RGB(255, 0, 255));
    BitBlt(mdc, 0, 0, 2, 1, colour.dc(), 0, 0, SRCCOPY);
    // Monochrome into colour: white takes the background colour, black the text colour.
    Canvas out(2, 1);
    SetTextColor(out.dc(), RGB(0, 0, 255));
    SetBkColor(out.dc(), RGB(0, 255, 0));
    BitBlt(out.dc(), 0, 0, 2, 1, mdc, 0, 0, SRCCOPY);
    EXPECT_EQ(out.Raw(0, 0), 0x0000FF00u);
    EXPECT_EQ(out.Raw(1, 0), 0x000000FFu);
    SelectObject(mdc, old);
    DeleteDC(mdc);
    DeleteObject(mono);
}

TEST(Stretch, NearestAndAreaAveraging) {
    Canvas src(4, 1), dst(2, 1), wide(8, 1);
    const uint32_t px[4] = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
    for (int x = 0; x < 4; ++x)
        src.SetRaw(x, 0, px[x]);
    SetStretchBltMode(dst.dc(), COLORONCOLOR);
    StretchBlt(dst.dc(), 0, 0, 2, 1, src.dc(), 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(dst.Raw(0, 0), 0x0000FFu);  // centre of the first half is pixel 1
    EXPECT_EQ(dst.Raw(1, 0), 0xFF0000u);
    SetStretchBltMode(dst.dc(), HALFTONE);
    StretchBlt(dst.dc(), 0, 0, 2, 1, src.dc(), 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(dst.Raw(0, 0), 0x000080u);  // (0 + 255) / 2 rounds up
    EXPECT_EQ(dst.Raw(1, 0), 0x808000u);
    // Mirrored by a negative width.
    SetStretchBltMode(wide.dc(), COLORONCOLOR);
    StretchBlt(wide.dc(), 7, 0, -8, 1, src.dc(), 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(wide.Raw(7, 0), 0x000000u);
    EXPECT_EQ(wide.Raw(0, 0), 0xFF0000u);
    // Three source pixels into two: each destination pixel covers one and a half.
    Canvas three(3, 1), two(2, 1);
    three.SetRaw(0, 0, 0x000000);
    three.SetRaw(1, 0, 0x000090);
    three.SetRaw(2, 0, 0x0000F0);
    SetStretchBltMode(two.dc(), HALFTONE);
    StretchBlt(two.dc(), 0, 0, 2, 1, three.dc(), 0, 0, 3, 1, SRCCOPY);
    EXPECT_EQ(two.Raw(0, 0), 0x000030u);  // (0 * 2 + 0x90) / 3
    EXPECT_EQ(two.Raw(1, 0), 0x0000D0u);  // (0x90 + 0xF0 * 2) / 3
}

TEST(Stretch, TransparentBltSkipsTheKeyColour) {
    Canvas src(2, 2, 24), dst(4, 4);
    src.Fill(0xFF00FF);
    src.SetRaw(1, 1, 0x112233);
    dst.Fill(0xAB000000);
    ASSERT_TRUE(TransparentBlt(dst.dc(), 0, 0, 4, 4, src.dc(), 0, 0, 2, 2, RGB(255, 0, 255)));
    EXPECT_EQ(dst.Picture(0x112233),
              "....\n"
              "....\n"
              "..##\n"
              "..##\n");
    EXPECT_EQ(dst.Raw(0, 0), 0xAB000000u);
}

}  // namespace

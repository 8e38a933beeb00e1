#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "gdi_test_util.h"

namespace {

using namespace win;
using gdi_test::Canvas;

TEST(Bitmap, DibSectionsInEveryDepthAndOrientation) {
    for (int bpp : {1, 4, 8, 24, 32}) {
        for (bool bottomUp : {false, true}) {
            Canvas c(5, 3, bpp, bottomUp);
            BitmapView v;
            ASSERT_TRUE(GetBitmapView(c.bitmap(), &v));
            EXPECT_EQ(v.bitsPerPixel, bpp);
            const int rowBytes = ((5 * bpp + 31) / 32) * 4;
            EXPECT_EQ(v.stride, bottomUp ? -rowBytes : rowBytes);
            DIBSECTION ds;
            ASSERT_EQ(GetObject(c.bitmap(), sizeof ds, &ds), int(sizeof ds));
            // The bits pointer is the start of the memory: the bottom row when bottom-up.
            EXPECT_EQ(static_cast<BYTE*>(ds.dsBm.bmBits), bottomUp ? v.Row(2) : v.Row(0));
            EXPECT_EQ(ds.dsBm.bmWidthBytes, rowBytes);
            // Drawing goes to the right row whatever the layout.
            SetPixel(c.dc(), 4, 0, RGB(255, 255, 255));
            EXPECT_EQ(c.Raw(4, 0),
                      bpp == 32 || bpp == 24 ? 0xFFFFFFu : (1u << std::min(bpp, 8)) - 1)
                << bpp;
        }
    }
}

TEST(Bitmap, BadSizesAndFormatsAreRefused) {
    BITMAPINFO bmi{};
    bmi.bmiHeader.biWidth = 0;
    bmi.bmiHeader.biHeight = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    bmi.bmiHeader.biWidth = 100000;
    bmi.bmiHeader.biHeight = -100000;
    EXPECT_EQ(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    bmi.bmiHeader.biWidth = 4;
    bmi.bmiHeader.biHeight = 4;
    bmi.bmiHeader.biBitCount = 16;
    EXPECT_EQ(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 70000, 70000), nullptr);
}

TEST(Bitmap, GetAndSetDIBitsConvert) {
    Canvas c24(2, 2, 24);
    c24.SetRaw(0, 0, 0x102030);
    c24.SetRaw(1, 1, 0xFFFFFF);
    // 24 to 32: alpha 0. Bottom-up rows: scan line 0 is the bottom row.
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colors[256];
    } info{};
    info.h.biWidth = 2;
    info.h.biHeight = 2;
    info.h.biBitCount = 32;
    uint32_t px[4] = {9, 9, 9, 9};
    ASSERT_EQ(GetDIBits(c24.dc(), c24.bitmap(), 0, 2, px, reinterpret_cast<BITMAPINFO*>(&info),
                        DIB_RGB_COLORS),
              2);
    EXPECT_EQ(px[0], 0u);         // bottom-left
    EXPECT_EQ(px[1], 0xFFFFFFu);  // bottom-right
    EXPECT_EQ(px[2], 0x102030u);  // top-left
    // 32 to 8 through a table the caller gives: the nearest entry.
    info.h.biBitCount = 8;
    info.h.biHeight = -2;
    info.h.biClrUsed = 2;
    info.colors[0] = RGBQUAD{0, 0, 0, 0};
    info.colors[1] = RGBQUAD{255, 255, 255, 0};
    BYTE idx[8] = {};
    Canvas c32(2, 2);
    c32.SetRaw(0, 0, 0xFF808080);
    c32.SetRaw(1, 0, 0x007F7F7F);
    ASSERT_EQ(GetDIBits(c32.dc(), c32.bitmap(), 0, 2, idx, reinterpret_cast<BITMAPINFO*>(&info),
                        DIB_RGB_COLORS),
              2);
    EXPECT_EQ(idx[0], 1);
    EXPECT_EQ(idx[1], 0);
    // Indexed to 32 through the palette; alpha 0.
    BYTE src[4] = {0x40, 0, 0, 0};  // one row of 1-bit pixels: 0 1 ...
    info.h.biBitCount = 1;
    info.h.biHeight = -1;
    info.colors[1] = RGBQUAD{1, 2, 3, 0};
    ASSERT_EQ(SetDIBits(c32.dc(), c32.bitmap(), 0, 1, src, reinterpret_cast<BITMAPINFO*>(&info),
                        DIB_RGB_COLORS),
              1);
    EXPECT_EQ(c32.Raw(0, 0), 0u);
    EXPECT_EQ(c32.Raw(1, 0), 0x030201u);
}

TEST(Bitmap, CreateBitmapTakesWordAlignedRows) {
    const BYTE rows[4] = {0xA0, 0x00, 0x50, 0x00};  // 4 x 2 monochrome, rows of 2 bytes
    HBITMAP mono = CreateBitmap(4, 2, 1, 1, rows);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mono);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 255, 255));
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 1);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(mono);
}

}  // namespace

// Large pixel blocks are handed on from dropped bitmaps: each new bitmap must still start
// all zero and never share memory with one that is alive.
TEST(Bitmap, LargeBitmapsStartClearWhenMemoryIsHandedOn) {
    struct Size {
        int width, height, bpp;
    };
    const Size sizes[] = {{640, 480, 32}, {600, 460, 32}, {640, 480, 24}, {700, 500, 32}};
    auto allZero = [](const Canvas& c) {
        BitmapView v;
        if (!GetBitmapView(c.bitmap(), &v)) return false;
        const int rowBytes = v.stride < 0 ? -v.stride : v.stride;
        for (int y = 0; y < v.height; ++y)
            for (int i = 0; i < rowBytes; ++i)
                if (v.Row(y)[i] != 0) return false;
        return true;
    };
    auto kept = std::make_unique<Canvas>(640, 480);
    kept->Fill(0x11223344);
    for (const Size& s : sizes) {
        {
            Canvas used(s.width, s.height, s.bpp);
            used.Fill(0xABABAB);
        }
        Canvas next(s.width, s.height, s.bpp);
        EXPECT_TRUE(allZero(next)) << s.width << "x" << s.height << "@" << s.bpp;
        next.Fill(0x556677);
        EXPECT_EQ(kept->Raw(639, 479), 0x11223344u);
    }
}

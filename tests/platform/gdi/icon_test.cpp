#include <gtest/gtest.h>

#include <random>
#include <string>

#include "gdi_test_util.h"

namespace {

using namespace win;
using gdi_test::Canvas;

// A 2 x 2 icon: opaque red, transparent, "invert" (mask white, colour white), opaque blue.
HICON TestIcon(bool alpha = false) {
    Canvas color(2, 2), mask(2, 2, 1);
    color.SetRaw(0, 0, alpha ? 0xFFFF0000 : 0x00FF0000);
    color.SetRaw(1, 0, 0);
    color.SetRaw(0, 1,
                 alpha ? 0x80800000 : 0x00FFFFFF);  // half-transparent red, premultiplied-free
    color.SetRaw(1, 1, alpha ? 0xFF0000FF : 0x000000FF);
    mask.SetRaw(1, 0, 1);
    mask.SetRaw(0, 1, 1);
    ICONINFO ii;
    ii.hbmColor = color.bitmap();
    ii.hbmMask = mask.bitmap();
    // The canvases keep their bitmaps selected; the icon makes its own copies.
    return CreateIconIndirect(&ii);
}

TEST(Icon, MaskedDrawingAndsThenXors) {
    HICON icon = TestIcon();
    ASSERT_NE(icon, nullptr);
    Canvas dst(3, 3, 24);
    dst.Fill(0x123456);
    ASSERT_TRUE(DrawIconEx(dst.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(dst.Raw(0, 0), 0xFF0000u);
    EXPECT_EQ(dst.Raw(1, 0), 0x123456u);  // transparent
    EXPECT_EQ(dst.Raw(0, 1), 0xEDCBA9u);  // inverted
    EXPECT_EQ(dst.Raw(1, 1), 0x0000FFu);
    EXPECT_EQ(dst.Raw(2, 2), 0x123456u);
    // Twice the size: every pixel becomes a 2 x 2 block.
    Canvas big(4, 4, 24);
    big.Fill(0);
    DrawIconEx(big.dc(), 0, 0, icon, 4, 4, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(big.Raw(1, 1), 0xFF0000u);
    EXPECT_EQ(big.Raw(3, 3), 0x0000FFu);
    EXPECT_EQ(big.Raw(3, 0), 0u);
    // The information comes back as copies the caller owns.
    ICONINFO ii;
    ASSERT_TRUE(GetIconInfo(icon, &ii));
    BITMAP bm;
    GetObject(ii.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    GetObject(ii.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_TRUE(DeleteObject(ii.hbmColor));
    EXPECT_TRUE(DeleteObject(ii.hbmMask));
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
    EXPECT_FALSE(DrawIconEx(dst.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
}

TEST(Icon, AlphaIconsBlendByTheirAlpha) {
    HICON icon = TestIcon(true);
    Canvas dst(2, 2);
    dst.Fill(0x7F0000FF);
    DrawIconEx(dst.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(dst.Raw(0, 0), 0x7FFF0000u);  // the target's alpha byte stays
    EXPECT_EQ(dst.Raw(1, 0), 0x7F0000FFu);
    // 0x80 of red 0x80 over blue: red 0x80*0x80/255, blue 0xFF*0x7F/255.
    EXPECT_EQ(dst.Raw(0, 1), 0x7F40007Fu);
    DestroyIcon(icon);
}

TEST(Icon, StandardIconsAreSharedAndSoftEdged) {
    HICON a = LoadIcon(nullptr, IDI_APPLICATION);
    HICON b = LoadIcon(nullptr, IDI_APPLICATION);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_TRUE(DestroyIcon(a));  // shared: stays
    EXPECT_EQ(LoadIcon(nullptr, IDI_APPLICATION), a);
    for (LPCSTR id :
         {IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK, IDI_WINLOGO, IDI_SHIELD}) {
        HICON icon = LoadIcon(nullptr, id);
        ASSERT_NE(icon, nullptr);
        ICONINFO ii;
        ASSERT_TRUE(GetIconInfo(icon, &ii));
        BITMAP bm;
        GetObject(ii.hbmColor, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, kDefaultIconSize);
        HDC dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, ii.hbmMask);
        EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));  // corners are clear
        EXPECT_EQ(GetPixel(dc, 16, 16), RGB(0, 0, 0));      // the middle is not
        DeleteDC(dc);
        DeleteObject(ii.hbmColor);
        DeleteObject(ii.hbmMask);
    }
    EXPECT_EQ(LoadIcon(nullptr, MAKEINTRESOURCE(1)), nullptr);
    EXPECT_EQ(LoadIcon(reinterpret_cast<HINSTANCE>(uintptr_t(0x400000)), IDI_HAND), nullptr);
}

TEST(Icon, CopyImageResizes) {
    HICON icon = TestIcon();
    HICON big = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, 8, 8, 0));
    ICONINFO ii;
    ASSERT_TRUE(GetIconInfo(big, &ii));
    BITMAP bm;
    GetObject(ii.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 8);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    EXPECT_EQ(CopyImage(icon, IMAGE_ICON, 0, 0, LR_COPYRETURNORG), icon);
    Canvas c(4, 2, 24);
    HBITMAP copy = static_cast<HBITMAP>(CopyImage(c.bitmap(), IMAGE_BITMAP, 2, 1, 0));
    GetObject(copy, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 2);
    EXPECT_EQ(bm.bmBitsPixel, 24);
    DeleteObject(copy);
    DestroyIcon(big);
    DestroyIcon(icon);
}

// An ICO file with the given images, each (size, bits per pixel), filled with one colour.
std::string Ico(std::initializer_list<std::pair<int, int>> images) {
    auto put16 = [](std::string& s, int v) { s.append({char(v), char(v >> 8)}); };
    auto put32 = [](std::string& s, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            s += char(v >> (8 * i));
    };
    std::string head, body;
    put16(head, 0);
    put16(head, 1);
    put16(head, int(images.size()));
    size_t offset = 6 + 16 * images.size();
    for (auto [size, bpp] : images) {
        std::string dib;
        put32(dib, 40);
        put32(dib, uint32_t(size));
        put32(dib, uint32_t(size * 2));
        put16(dib, 1);
        put16(dib, bpp);
        put32(dib, 0);
        put32(dib, 0);
        put32(dib, 0);
        put32(dib, 0);
        put32(dib, 0);
        put32(dib, 0);
        const int row = ((size * bpp + 31) / 32) * 4;
        for (int y = 0; y < size; ++y)
            for (int b = 0; b < row; ++b)
                dib += char(bpp == 32 && b % 4 == 3 ? 0xFF : size);
        const int maskRow = ((size + 31) / 32) * 4;
        dib.append(size_t(maskRow * size), '\0');
        head += char(size);
        head += char(size);
        head += '\0';
        head += '\0';
        put16(head, 1);
        put16(head, bpp);
        put32(head, uint32_t(dib.size()));
        put32(head, uint32_t(offset));
        offset += dib.size();
        body += dib;
    }
    return head + body;
}

int IconSize(HICON icon) {
    ICONINFO ii;
    GetIconInfo(icon, &ii);
    BITMAP bm;
    GetObject(ii.hbmColor, sizeof bm, &bm);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    return bm.bmWidth;
}

TEST(IcoFile, PicksTheNearestSizeAndReportsDamage) {
    const std::string file = Ico({{16, 24}, {32, 32}, {48, 8}});
    std::string error;
    HICON small = ReadIco(file.data(), file.size(), 16, 16, &error);
    ASSERT_NE(small, nullptr) << error;
    EXPECT_EQ(IconSize(small), 16);
    HICON def = ReadIco(file.data(), file.size(), 0, 0, &error);
    EXPECT_EQ(IconSize(def), 32);
    DestroyIcon(small);
    DestroyIcon(def);
    for (size_t n = 0; n < 6 + 16 * 3; ++n) {
        EXPECT_EQ(ReadIco(file.data(), n, 0, 0, &error), nullptr) << n;
        EXPECT_FALSE(error.empty());
    }
    std::string png = Ico({{16, 32}});
    png.replace(22, 4, "\x89PNG");
    EXPECT_EQ(ReadIco(png.data(), png.size(), 0, 0, &error), nullptr);
    EXPECT_NE(error.find("PNG"), std::string::npos);
}

TEST(IcoFile, SurvivesRandomDamage) {
    const std::string seed = Ico({{16, 4}, {16, 24}, {32, 32}, {8, 1}});
    std::mt19937 rng(99);
    for (int round = 0; round < 1500; ++round) {
        std::string f = seed;
        const int edits = 1 + int(rng() % 6);
        for (int e = 0; e < edits; ++e) {
            if (rng() % 5 == 0) f.resize(rng() % (f.size() + 1));
            if (f.empty()) break;
            // Damage the directory and headers more often than the pixels.
            const size_t at =
                rng() % 2 ? rng() % std::min<size_t>(f.size(), 120) : rng() % f.size();
            f[at] = char(rng());
        }
        std::vector<char> exact(f.begin(), f.end());
        std::string error;
        HICON icon = ReadIco(exact.data(), exact.size(), 0, 0, &error);
        if (icon) {
            Canvas c(64, 64);
            EXPECT_TRUE(DrawIconEx(c.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
            DestroyIcon(icon);
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
}

}  // namespace

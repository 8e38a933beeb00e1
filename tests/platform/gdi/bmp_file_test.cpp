#include <gtest/gtest.h>

#include <random>
#include <string>

#include "gdi_test_util.h"
#include "platform/gdi/bmp_file.h"

namespace {

using namespace win;
using gdi_test::Canvas;

void Put16(std::string& s, uint16_t v) {
    s.append({char(v), char(v >> 8)});
}
void Put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s += char(v >> (8 * i));
}

// A BMP file from its parts: header size 40 (or more, zero-padded), the table and the pixels.
std::string Bmp(int width, int height, int bpp, uint32_t compression, const std::string& table,
                const std::string& pixels, uint32_t headerSize = 40, uint32_t colorsUsed = 0) {
    if (bpp <= 8 && colorsUsed == 0) colorsUsed = uint32_t(table.size() / 4);
    std::string info;
    Put32(info, headerSize);
    Put32(info, uint32_t(width));
    Put32(info, uint32_t(height));
    Put16(info, 1);
    Put16(info, uint16_t(bpp));
    Put32(info, compression);
    Put32(info, uint32_t(pixels.size()));
    Put32(info, 0);
    Put32(info, 0);
    Put32(info, colorsUsed);
    Put32(info, 0);
    info.resize(headerSize, '\0');
    std::string s = "BM";
    Put32(s, uint32_t(14 + info.size() + table.size() + pixels.size()));
    Put32(s, 0);
    Put32(s, uint32_t(14 + info.size() + table.size()));
    return s + info + table + pixels;
}

std::string Table(std::initializer_list<uint32_t> rgb) {
    std::string t;
    for (uint32_t c : rgb)
        Put32(t, c);  // blue, green, red, 0 as a little-endian word
    return t;
}

struct Loaded {
    explicit Loaded(const std::string& file) {
        bitmap = ReadBmp(file.data(), file.size(), &error);
        if (bitmap) {
            dc = CreateCompatibleDC(nullptr);
            SelectObject(dc, bitmap);
        }
    }
    ~Loaded() {
        if (dc) DeleteDC(dc);
        if (bitmap) DeleteObject(bitmap);
    }
    uint32_t Raw(int x, int y) const {
        BitmapView v;
        GetBitmapView(bitmap, &v);
        const BYTE* p = v.Row(y) + x * v.bitsPerPixel / 8;
        if (v.bitsPerPixel == 32) return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
        return p[0] | (p[1] << 8) | (p[2] << 16);
    }
    int Bpp() const {
        BITMAP bm;
        GetObject(bitmap, sizeof bm, &bm);
        return bm.bmBitsPixel;
    }
    HBITMAP bitmap = nullptr;
    HDC dc = nullptr;
    std::string error;
};

TEST(BmpFile, WritesAndReadsBack24And32Bits) {
    for (int bpp : {24, 32}) {
        Canvas c(3, 2, bpp);
        c.SetRaw(0, 0, 0x80112233);
        c.SetRaw(2, 1, 0x00445566);
        std::string file;
        ASSERT_TRUE(WriteBmp(c.bitmap(), 0, &file));
        EXPECT_EQ(file.size(), 54u + (bpp == 24 ? 2 * 12 : 2 * 12));
        Loaded l(file);
        ASSERT_TRUE(l.bitmap) << l.error;
        EXPECT_EQ(l.Bpp(), bpp);
        EXPECT_EQ(l.Raw(0, 0), bpp == 32 ? 0x80112233u : 0x112233u);
        EXPECT_EQ(l.Raw(2, 1), bpp == 32 ? 0x00445566u : 0x445566u);
    }
    Canvas c8(2, 2, 8);
    std::string file;
    EXPECT_TRUE(WriteBmp(c8.bitmap(), 24, &file));  // indexed pictures are written as 24 bits
    EXPECT_FALSE(WriteBmp(c8.bitmap(), 8, &file));
}

TEST(BmpFile, ReadsIndexedAndSixteenBitFiles) {
    // 1 bit, bottom-up: the first stored row is the bottom one.
    {
        Loaded l(
            Bmp(3, 2, 1, 0, Table({0x000000, 0xFF0000}), std::string("\xA0\0\0\0\x40\0\0\0", 8)));
        ASSERT_TRUE(l.bitmap) << l.error;
        EXPECT_EQ(l.Bpp(), 1);
        EXPECT_EQ(GetPixel(l.dc, 0, 1), RGB(255, 0, 0));
        EXPECT_EQ(GetPixel(l.dc, 1, 1), RGB(0, 0, 0));
        EXPECT_EQ(GetPixel(l.dc, 1, 0), RGB(255, 0, 0));
    }
    // 4 bits, top-down, with a short table: index 5 is past it and shows black.
    {
        Loaded l(
            Bmp(2, -1, 4, 0, Table({0x0000FF, 0x00FF00}), std::string("\x15\0\0\0", 4), 40, 2));
        ASSERT_TRUE(l.bitmap) << l.error;
        EXPECT_EQ(GetPixel(l.dc, 0, 0), RGB(0, 255, 0));
        EXPECT_EQ(GetPixel(l.dc, 1, 0), RGB(0, 0, 0));
    }
    // 16 bits, 5-5-5 by default: 0x7C00 is full red.
    {
        Loaded l(Bmp(2, 1, 16, 0, "", std::string("\x00\x7C\x1F\x00", 4)));
        ASSERT_TRUE(l.bitmap) << l.error;
        EXPECT_EQ(l.Bpp(), 24);
        EXPECT_EQ(GetPixel(l.dc, 0, 0), RGB(255, 0, 0));
        EXPECT_EQ(GetPixel(l.dc, 1, 0), RGB(0, 0, 255));
    }
    // 16 bits with 5-6-5 bit fields after the header.
    {
        std::string masks;
        Put32(masks, 0xF800);
        Put32(masks, 0x07E0);
        Put32(masks, 0x001F);
        Loaded l(Bmp(2, 1, 16, 3, masks, std::string("\xE0\x07\x10\x00", 4)));
        ASSERT_TRUE(l.bitmap) << l.error;
        EXPECT_EQ(GetPixel(l.dc, 0, 0), RGB(0, 255, 0));
        EXPECT_EQ(GetPixel(l.dc, 1, 0), RGB(0, 0, 132));  // 16 of 31
    }
    // A V5 header with bit fields inside it, 32 bits with an alpha mask.
    {
        std::string file = Bmp(1, 1, 32, 3, "", std::string("\x11\x22\x33\x44", 4), 124);
        std::string masks;
        Put32(masks, 0x00FF0000);
        Put32(masks, 0x0000FF00);
        Put32(masks, 0x000000FF);
        Put32(masks, 0xFF000000);
        file.replace(14 + 40, 16, masks);
        Loaded l(file);
        ASSERT_TRUE(l.bitmap) << l.error;
        EXPECT_EQ(l.Raw(0, 0), 0x44332211u);
    }
}

TEST(BmpFile, ReadsRunLengthCodedFiles) {
    // RLE8, 4 x 2: bottom row = run of 3 x index 1 then a literal 2; top row = delta then 1.
    const std::string rle8(
        "\x03\x01\x00\x03\x02\x02\x02\x00"  // run, literal of 3 (padded)
        "\x00\x00"                          // end of line
        "\x00\x02\x02\x00\x02\x01"          // delta (2, 0), run of 2 x 1
        "\x00\x01",                         // end of bitmap
        18);
    Loaded l(Bmp(4, 2, 8, 1, Table({0x000000, 0xFFFFFF, 0xFF0000}), rle8));
    ASSERT_TRUE(l.bitmap) << l.error;
    EXPECT_EQ(GetPixel(l.dc, 0, 1), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(l.dc, 2, 1), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(l.dc, 3, 1), RGB(255, 0, 0));  // the literal, clipped after one pixel
    EXPECT_EQ(GetPixel(l.dc, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(l.dc, 2, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(l.dc, 3, 0), RGB(255, 255, 255));
    // RLE4: a run alternates the two nibbles.
    Loaded l4(
        Bmp(3, 1, 4, 2, Table({0x000000, 0xFFFFFF, 0xFF0000}), std::string("\x03\x12\x00\x01", 4)));
    ASSERT_TRUE(l4.bitmap) << "rle4 " << l4.error;
    EXPECT_EQ(GetPixel(l4.dc, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(l4.dc, 1, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(l4.dc, 2, 0), RGB(255, 255, 255));
}

TEST(BmpFile, DamagedFilesGiveMessages) {
    const std::string good = Bmp(2, 2, 24, 0, "", std::string(16, '\x7F'));
    ASSERT_TRUE(Loaded(good).bitmap);
    // Every shorter prefix fails with a message.
    for (size_t n = 0; n < good.size(); ++n) {
        Loaded l(good.substr(0, n));
        EXPECT_FALSE(l.bitmap) << n;
        EXPECT_FALSE(l.error.empty()) << n;
    }
    struct {
        std::string file;
        const char* why;
    } cases[] = {
        {Bmp(2, 2, 24, 0, "", std::string(16, 0), 20), "header size"},
        {Bmp(0, 2, 24, 0, "", ""), "no pixels"},
        {Bmp(100000, 100000, 24, 0, "", ""), "too large"},
        {Bmp(2, 2, 7, 0, "", std::string(16, 0)), "bit count"},
        {Bmp(2, 2, 24, 1, "", std::string(16, 0)), "compression"},
        {Bmp(2, -2, 8, 1, Table({0}), std::string(4, 0)), "bottom-up"},
        {Bmp(2, 2, 8, 0, Table({0}), std::string(8, 0), 40, 300), "table"},
        {Bmp(4, 2, 8, 1, Table({0}), std::string("\x00\x05\x01", 3)), "ends early"},
    };
    for (const auto& k : cases) {
        Loaded l(k.file);
        EXPECT_FALSE(l.bitmap) << k.why;
        EXPECT_NE(l.error.find(k.why), std::string::npos) << k.why << ": " << l.error;
    }
    std::string bad = good;
    bad[10] = '\xFF';  // pixel offset far past the end
    EXPECT_FALSE(Loaded(bad).bitmap);
    EXPECT_FALSE(ReadBmp(nullptr, 100, nullptr));
}

// Random damage to valid files of every kind: no crash and no read past the end (the
// sanitizer build checks the latter); whatever loads is a usable bitmap.
TEST(BmpFile, SurvivesRandomDamage) {
    std::string masks;
    Put32(masks, 0xF800);
    Put32(masks, 0x07E0);
    Put32(masks, 0x001F);
    const std::string seeds[] = {
        Bmp(5, 3, 1, 0, Table({0, 0xFFFFFF}), std::string(12, '\x55')),
        Bmp(5, -3, 4, 0, Table({0, 1, 2, 3}), std::string(12, '\x21'), 40, 4),
        Bmp(5, 3, 8, 1, Table({0, 0xFF}),
            std::string("\x05\x01\x00\x00\x00\x03\x01\x00\x01\x00\x00\x02\x01\x01\x00\x01", 16)),
        Bmp(5, 3, 4, 2, Table({0, 0xFF}),
            std::string("\x05\x12\x00\x00\x00\x03\x12\x30\x00\x01", 10)),
        Bmp(5, 3, 16, 3, masks, std::string(36, '\x33')),
        Bmp(5, 3, 24, 0, "", std::string(48, '\x44'), 108),
        Bmp(5, 3, 32, 0, "", std::string(60, '\x66'), 124),
    };
    std::mt19937 rng(12345);
    int loaded = 0;
    for (const std::string& seed : seeds) {
        for (int round = 0; round < 400; ++round) {
            std::string f = seed;
            const int edits = 1 + int(rng() % 4);
            for (int e = 0; e < edits; ++e) {
                switch (rng() % 3) {
                    case 0:
                        f[rng() % f.size()] = char(rng());
                        break;
                    case 1:
                        f.resize(rng() % (f.size() + 1));
                        break;
                    default:
                        if (f.size() > 14)
                            f[14 + rng() % std::min<size_t>(40, f.size() - 14)] =
                                char(rng() % 4 ? rng() : 0xFF);
                }
                if (f.empty()) break;
            }
            // An exactly sized copy, so any overread lands outside the allocation.
            std::vector<char> exact(f.begin(), f.end());
            std::string error;
            HBITMAP b = ReadBmp(exact.data(), exact.size(), &error);
            if (b) {
                ++loaded;
                BITMAP bm;
                ASSERT_EQ(GetObject(b, sizeof bm, &bm), int(sizeof bm));
                EXPECT_GT(bm.bmWidth, 0);
                DeleteObject(b);
            } else {
                EXPECT_FALSE(error.empty());
            }
        }
    }
    EXPECT_GT(loaded, 0);
}

}  // namespace

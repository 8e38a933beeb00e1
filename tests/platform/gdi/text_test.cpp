#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gdi_test_util.h"
#include "platform/os/cp_literal.h"

namespace {

using namespace win;
using gdi_test::Canvas;

std::string FileOf(HFONT f) {
    char path[512];
    EXPECT_TRUE(GetFontFile(f, path, sizeof path));
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

// A font selected into a canvas for one test.
struct Selected {
    Selected(HDC dc, int height, const char* face, int weight = FW_NORMAL, int escapement = 0,
             bool underline = false)
        : dc_(dc) {
        font = CreateFont(height, 0, escapement, 0, weight, 0, underline, 0, DEFAULT_CHARSET, 0, 0,
                          0, 0, face);
        old_ = SelectObject(dc, font);
    }
    ~Selected() {
        SelectObject(dc_, old_);
        DeleteObject(font);
    }
    HFONT font;
    HDC dc_;
    HGDIOBJ old_;
};

// The box of pixels that are not `background`, or an empty box.
RECT Ink(const Canvas& c, uint32_t background) {
    RECT r{c.width(), c.height(), 0, 0};
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if (c.Raw(x, y) != background) {
                r.left = std::min<LONG>(r.left, x);
                r.top = std::min<LONG>(r.top, y);
                r.right = std::max<LONG>(r.right, x + 1);
                r.bottom = std::max<LONG>(r.bottom, y + 1);
            }
    return r;
}

bool SamePixels(const Canvas& a, const Canvas& b) {
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.Raw(x, y) != b.Raw(x, y)) return false;
    return true;
}

TEST(Fonts, ClassicFacesMapToTheBundledFonts) {
    struct {
        const char* face;
        int weight;
        const char* file;
    } cases[] = {
        {"MS Sans Serif", FW_NORMAL, "DejaVuSans.ttf"},
        {"TAHOMA", FW_NORMAL, "DejaVuSans.ttf"},
        {"Arial", FW_BOLD, "DejaVuSans-Bold.ttf"},
        {"Verdana", FW_NORMAL, "DejaVuSans.ttf"},
        {"Courier New", FW_NORMAL, "DejaVuSansMono.ttf"},
        {"Times New Roman", FW_NORMAL, "DejaVuSerif.ttf"},
        {"No Such Face At All", FW_NORMAL, "DejaVuSans.ttf"},
        {"", FW_NORMAL, "DejaVuSans.ttf"},
    };
    for (const auto& k : cases) {
        HFONT f = CreateFont(-11, 0, 0, 0, k.weight, 0, 0, 0, 0, 0, 0, 0, 0, k.face);
        EXPECT_EQ(FileOf(f), k.file) << k.face;
        DeleteObject(f);
    }
    LOGFONT lf;
    std::strcpy(lf.lfFaceName, "Tahoma");
    lf.lfItalic = 1;
    HFONT italic = CreateFontIndirect(&lf);
    EXPECT_EQ(FileOf(italic), "DejaVuSans-Oblique.ttf");
    LOGFONT back;
    ASSERT_EQ(GetObject(italic, sizeof back, &back), int(sizeof back));
    EXPECT_STREQ(back.lfFaceName, "Tahoma");
    DeleteObject(italic);
}

TEST(Fonts, MetricsFollowTheHeightRules) {
    Canvas c(10, 10);
    {
        Selected s(c.dc(), -11, "MS Sans Serif");
        TEXTMETRIC tm;
        ASSERT_TRUE(GetTextMetrics(c.dc(), &tm));
        // An 11-pixel em of DejaVu Sans: ascent 10, descent 3.
        EXPECT_EQ(tm.tmAscent, 10);
        EXPECT_EQ(tm.tmDescent, 3);
        EXPECT_EQ(tm.tmHeight, 13);
        EXPECT_EQ(tm.tmInternalLeading, 2);
        EXPECT_GT(tm.tmAveCharWidth, 3);
        char face[LF_FACESIZE];
        EXPECT_EQ(GetTextFace(c.dc(), sizeof face, face), 13);
        EXPECT_STREQ(face, "MS Sans Serif");
    }
    {
        Selected s(c.dc(), 20, "Arial");  // a positive height is the whole cell
        TEXTMETRIC tm;
        GetTextMetrics(c.dc(), &tm);
        EXPECT_EQ(tm.tmHeight, 20);
    }
    {
        Selected s(c.dc(), 8 * -96 / 72, "Tahoma");  // 8 points at 96 dpi
        TEXTMETRIC tm;
        GetTextMetrics(c.dc(), &tm);
        EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 10);
    }
}

TEST(Text, ExtentsAddUpCharacterWidths) {
    Canvas c(10, 10);
    Selected s(c.dc(), -11, "MS Sans Serif");
    const char* text = "Hello, world";
    SIZE size;
    ASSERT_TRUE(GetTextExtentPoint32(c.dc(), text, int(std::strlen(text)), &size));
    INT widths[256];
    ASSERT_TRUE(GetCharWidth32(c.dc(), 0, 255, widths));
    int sum = 0;
    for (const char* p = text; *p; ++p)
        sum += widths[BYTE(*p)];
    EXPECT_EQ(size.cx, sum);
    EXPECT_EQ(size.cy, 13);
    EXPECT_GT(widths['W'], widths['i']);
    // Cyrillic letters have their own glyphs, wider than nothing and unlike the question mark.
    const char* ru = "Ж"_cp;
    EXPECT_GT(widths[BYTE(ru[0])], widths['i']);
    EXPECT_EQ(widths[0x0D], 0);  // control characters take no room
    EXPECT_FALSE(GetCharWidth32(c.dc(), 10, 300, widths));
}

TEST(Text, DrawsAntialiasedGreyInsideItsCell) {
    Canvas c(60, 20);
    c.Fill(0x00FFFFFF);
    Selected s(c.dc(), -11, "MS Sans Serif");
    SetBkMode(c.dc(), TRANSPARENT);
    ASSERT_TRUE(TextOut(c.dc(), 5, 3, "Rg", 2));
    SIZE size;
    GetTextExtentPoint32(c.dc(), "Rg", 2, &size);
    const RECT ink = Ink(c, 0x00FFFFFF);
    EXPECT_GE(ink.left, 5);
    EXPECT_LE(ink.right, 5 + size.cx + 1);
    EXPECT_GE(ink.top, 3);
    EXPECT_LE(ink.bottom, 3 + size.cy);
    EXPECT_GT(ink.bottom, 3 + 10);  // the descender of "g" goes below the baseline
    bool black = false, grey = false;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) {
            const uint32_t p = c.Raw(x, y) & 0xFF;
            black |= p < 64;  // stems come out nearly black
            grey |= p > 0 && p < 255 && (c.Raw(x, y) & 0xFFFFFF) == p * 0x010101u;
        }
    EXPECT_TRUE(black);
    EXPECT_TRUE(grey);
    // Drawing the same text again gives the same pixels (determinism); alignment moves it.
    Canvas a(60, 20), b(60, 20);
    a.Fill(0x00FFFFFF);
    b.Fill(0x00FFFFFF);
    {
        Selected sa(a.dc(), -11, "Tahoma");
        Selected sb(b.dc(), -11, "Tahoma");
        TextOut(a.dc(), 0, 0, "Rg", 2);
        SetTextAlign(b.dc(), TA_RIGHT | TA_BASELINE);
        TEXTMETRIC tm;
        GetTextMetrics(b.dc(), &tm);
        TextOut(b.dc(), size.cx, tm.tmAscent, "Rg", 2);
    }
    EXPECT_TRUE(SamePixels(a, b));
}

TEST(Text, OpaqueBackgroundAndExtTextOut) {
    Canvas c(40, 20);
    c.Fill(0);
    Selected s(c.dc(), -11, "MS Sans Serif");
    SetBkColor(c.dc(), RGB(0, 0, 255));
    SetTextColor(c.dc(), RGB(255, 255, 255));
    TextOut(c.dc(), 2, 2, "ab", 2);
    SIZE size;
    GetTextExtentPoint32(c.dc(), "ab", 2, &size);
    EXPECT_EQ(c.Raw(2, 2), 0x000000FFu);  // the cell is filled with the background colour
    EXPECT_EQ(c.Raw(2 + size.cx, 2), 0u);
    EXPECT_EQ(c.Raw(2, 2 + size.cy), 0u);
    // ETO_OPAQUE fills the rectangle; ETO_CLIPPED keeps the text inside it.
    c.Fill(0);
    RECT r{0, 0, 4, 20};
    ExtTextOut(c.dc(), 0, 0, ETO_OPAQUE | ETO_CLIPPED, &r, "WWW", 3, nullptr);
    EXPECT_EQ(Ink(c, 0).right, 4);
    EXPECT_EQ(c.Raw(0, 19), 0x000000FFu);
}

TEST(Text, RotatedTextRunsUpward) {
    Canvas c(30, 60);
    c.Fill(0x00FFFFFF);
    Selected s(c.dc(), -12, "Arial", FW_NORMAL, 900);
    SetBkMode(c.dc(), TRANSPARENT);
    TextOut(c.dc(), 5, 55, "HHHH", 4);
    const RECT ink = Ink(c, 0x00FFFFFF);
    EXPECT_GT(ink.bottom - ink.top, ink.right - ink.left);  // taller than wide
    EXPECT_LE(ink.bottom, 56);
    EXPECT_GE(ink.left, 4);
}

TEST(Text, WebdingsDrawsTheWindowButtonGlyphs) {
    Canvas c(16, 16);
    std::string seen[4];
    const char glyphs[] = "012r";
    for (int i = 0; i < 4; ++i) {
        c.Fill(0x00FFFFFF);
        Selected s(c.dc(), -14, "Webdings");
        SetBkMode(c.dc(), TRANSPARENT);
        TextOut(c.dc(), 1, 1, &glyphs[i], 1);
        seen[i] = c.Picture(0);
        EXPECT_NE(seen[i].find('#'), std::string::npos) << glyphs[i];
    }
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j)
            EXPECT_NE(seen[i], seen[j]);
}

}  // namespace

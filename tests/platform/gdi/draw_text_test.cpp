#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gdi_test_util.h"
#include "platform/gdi/draw_text.h"

namespace {

using namespace win;
using gdi_test::Canvas;

struct TextCanvas {
    explicit TextCanvas(int w = 120, int h = 60) : c(w, h) {
        c.Fill(0x00FFFFFF);
        font = CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
        old = SelectObject(c.dc(), font);
        SetBkMode(c.dc(), TRANSPARENT);
    }
    ~TextCanvas() {
        SelectObject(c.dc(), old);
        DeleteObject(font);
    }
    int Width(const char* s) {
        SIZE size;
        GetTextExtentPoint32(c.dc(), s, int(std::strlen(s)), &size);
        return size.cx;
    }
    bool Same(const TextCanvas& o) const {
        for (int y = 0; y < c.height(); ++y)
            for (int x = 0; x < c.width(); ++x)
                if (c.Raw(x, y) != o.c.Raw(x, y)) return false;
        return true;
    }
    Canvas c;
    HFONT font;
    HGDIOBJ old;
};

constexpr int kLine = 13;  // the cell of an 11-pixel DejaVu Sans

TEST(DrawText, CalcRectMeasuresLinesAndWrapping) {
    TextCanvas t;
    RECT r{10, 10, 10, 10};
    EXPECT_EQ(DrawText(t.c.dc(), "Hello", -1, &r, DT_CALCRECT | DT_SINGLELINE), kLine);
    EXPECT_EQ(r, (RECT{10, 10, 10 + t.Width("Hello"), 10 + kLine}));
    r = RECT{0, 0, 0, 0};
    EXPECT_EQ(DrawText(t.c.dc(), "one\r\ntwo words\nx", -1, &r, DT_CALCRECT), 3 * kLine);
    EXPECT_EQ(r.right, t.Width("two words"));
    // Wrapping at a width that holds two words of three.
    const int two = t.Width("aaa bbb");
    r = RECT{0, 0, two, 0};
    EXPECT_EQ(DrawText(t.c.dc(), "aaa bbb ccc", -1, &r, DT_CALCRECT | DT_WORDBREAK), 2 * kLine);
    EXPECT_EQ(r.right, two);
    // A word longer than the line stays whole unless edit-control breaking is asked for.
    r = RECT{0, 0, t.Width("abc"), 0};
    EXPECT_EQ(DrawText(t.c.dc(), "abcdefgh", -1, &r, DT_CALCRECT | DT_WORDBREAK), kLine);
    r = RECT{0, 0, t.Width("abc"), 0};
    EXPECT_GT(DrawText(t.c.dc(), "abcdefgh", -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL),
              kLine);
    // The external leading joins the line height only when asked for.
    TEXTMETRIC tm;
    GetTextMetrics(t.c.dc(), &tm);
    r = RECT{0, 0, 0, 0};
    EXPECT_EQ(DrawText(t.c.dc(), "a\nb", -1, &r, DT_CALCRECT | DT_EXTERNALLEADING),
              2 * (kLine + tm.tmExternalLeading));
    // Tabs expand to stops of eight average characters.
    r = RECT{0, 0, 0, 0};
    DrawText(t.c.dc(), "a\tb", -1, &r, DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE);
    EXPECT_EQ(r.right, 8 * tm.tmAveCharWidth + t.Width("b"));
}

TEST(DrawText, EllipsisShortensToWhatFits) {
    const char* text = "Hello wonderful world";
    TextCanvas narrow, expected;
    const int width = expected.Width("Hello wo...");
    RECT r{0, 0, width, kLine};
    DrawText(narrow.c.dc(), text, -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS);
    RECT wide{0, 0, 120, kLine};
    DrawText(expected.c.dc(), "Hello wo...", -1, &wide, DT_SINGLELINE);
    EXPECT_TRUE(narrow.Same(expected));

    TextCanvas word, wordExpected;
    r = RECT{0, 0, wordExpected.Width("Hello wonde..."), kLine};
    DrawText(word.c.dc(), text, -1, &r, DT_SINGLELINE | DT_WORD_ELLIPSIS);
    DrawText(wordExpected.c.dc(), "Hello...", -1, &wide, DT_SINGLELINE);
    EXPECT_TRUE(word.Same(wordExpected));

    TextCanvas path, pathExpected;
    const char* file = "C:\\Program Files\\Tessary\\gate.log";
    r = RECT{0, 0, pathExpected.Width("C:\\Pro...\\gate.log"), kLine};
    DrawText(path.c.dc(), file, -1, &r, DT_SINGLELINE | DT_PATH_ELLIPSIS);
    DrawText(pathExpected.c.dc(), "C:\\Pro...\\gate.log", -1, &wide, DT_SINGLELINE);
    EXPECT_TRUE(path.Same(pathExpected));

    // Text that fits is left alone.
    TextCanvas fits, plain;
    DrawText(fits.c.dc(), "Hi", -1, &wide, DT_SINGLELINE | DT_END_ELLIPSIS);
    DrawText(plain.c.dc(), "Hi", -1, &wide, DT_SINGLELINE);
    EXPECT_TRUE(fits.Same(plain));
}

TEST(DrawText, AlignmentAndClipping) {
    TextCanvas left, right, centre;
    const int w = left.Width("Text");
    RECT r{0, 0, 120, 60};
    EXPECT_EQ(
        DrawText(right.c.dc(), "Text", -1, &r, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM | DT_NOCLIP),
        60);
    RECT moved{120 - w, 60 - kLine, 120, 60};
    DrawText(left.c.dc(), "Text", -1, &moved, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_TRUE(left.Same(right));
    // Vertical centring answers the bottom of the text, relative to the top.
    EXPECT_EQ(DrawText(centre.c.dc(), "Text", -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER),
              (60 - kLine) / 2 + kLine);
    // Without DT_NOCLIP nothing lands outside the rectangle.
    TextCanvas clipped;
    RECT small{5, 5, 12, 10};
    DrawText(clipped.c.dc(), "Wide text", -1, &small, DT_SINGLELINE);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x)
            if (!PtInRect(&small, POINT{x, y})) {
                ASSERT_EQ(clipped.c.Raw(x, y), 0x00FFFFFFu);
            }
}

TEST(DrawText, PrefixesUnderlineTheMarkedLetter) {
    TextCanvas marked, plain, hidden, literal, literalPlain;
    RECT r{0, 0, 120, 20};
    DrawText(marked.c.dc(), "&File", -1, &r, DT_SINGLELINE);
    DrawText(plain.c.dc(), "File", -1, &r, DT_SINGLELINE);
    DrawText(hidden.c.dc(), "&File", -1, &r, DT_SINGLELINE | DT_HIDEPREFIX);
    EXPECT_FALSE(marked.Same(plain));
    EXPECT_TRUE(hidden.Same(plain));
    // The difference is a line below the baseline under the first letter only.
    const int f = plain.Width("F");
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 120; ++x)
            if (marked.c.Raw(x, y) != plain.c.Raw(x, y)) {
                EXPECT_LT(x, f);
                EXPECT_GT(y, 9);
            }
    DrawText(literal.c.dc(), "a&&b", -1, &r, DT_SINGLELINE);
    DrawText(literalPlain.c.dc(), "a&b", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_TRUE(literal.Same(literalPlain));
}

}  // namespace

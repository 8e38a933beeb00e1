// The hint HTML renderer: what is drawn as text, where lines go, what the tags do to the font.
#include "skin/controls/hint_html.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/vcl/gui_fixture.h"

namespace skin {
namespace {

using namespace vcl;

class HintHtmlTest : public vcl::testing::GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        bmp.SetPixelFormat(pf24bit);
        bmp.SetSize(400, 200);
    }
    // Renders `text` from (0, 0) with an 8-point font; the canvas font is what the tags left.
    TRect Render(const std::string& text) {
        TFont* f = bmp.Canvas()->Font();
        f->SetName("DejaVu Sans");
        f->SetSize(8);
        f->SetStyle({});
        f->SetColor(clBlack);
        TsHtml html;
        html.Init(&bmp, text, Rect(0, 0, 400, 200));
        TRect r;
        html.Render(r);
        align = html.Alignment();
        return r;
    }
    int Width(const std::string& plain) {
        bmp.Canvas()->Font()->SetSize(8);
        bmp.Canvas()->Font()->SetStyle({});
        return bmp.Canvas()->TextWidth(plain);
    }
    int LineHeight() {
        bmp.Canvas()->Font()->SetSize(8);
        bmp.Canvas()->Font()->SetStyle({});
        return bmp.Canvas()->TextHeight("X");
    }
    TFont* Font() { return bmp.Canvas()->Font(); }

    TBitmap bmp;
    TsHtml::TAlign align = TsHtml::haLeft;
};

TEST_F(HintHtmlTest, WhatIsDrawnAsText) {
    struct Case {
        const char* html;
        const char* shown;
    } cases[] = {
        {"a<<b", "a<b"},          // two "<" draw one
        {"a<b", "ab"},            // a "<" without ">" is dropped
        {"<X>y", "<X>y"},         // unknown tags are text
        {"<XYB>t", "<XYB>t"},     // a name ending in B is no B
        {"<PRE>x", "<PRE>x"},     // nor is a name beginning with P a P
        {"</X>y", "</X>y"},       // an unknown closing tag
        {"a\r\nb", "ab"},         // line breaks of the text are left out
        {"<b></b>ab", "ab"},      // tags match in any case
        {"<>z", "<>z"},
    };
    for (const Case& c : cases) {
        const TRect r = Render(c.html);
        EXPECT_EQ(r.Right, Width(c.shown)) << c.html;
        EXPECT_EQ(r.Bottom, LineHeight()) << c.html;
    }
}

TEST_F(HintHtmlTest, OnlyBrAndPBreakLines) {
    const int h = LineHeight();
    EXPECT_EQ(Render("a<BR>b").Bottom, h + 2 + h);
    EXPECT_EQ(Render("a<BR/>b").Bottom, h + 2 + h);
    EXPECT_EQ(Render("a<BR><BR>b").Bottom, h + 2 + 2 + h);  // the empty line adds 2
    const TRect p = Render("wide text<P ALIGN=CENTER>x");
    EXPECT_EQ(p.Bottom, h + 2 + h);
    EXPECT_EQ(p.Right, Width("wide text"));  // the widest line
    EXPECT_EQ(align, TsHtml::haCenter);
    // Runs of different sizes share one line that is as tall as its tallest "X".
    const TRect mixed = Render("a<FONT SIZE=20>B</FONT>c");
    Font()->SetSize(20);
    EXPECT_EQ(mixed.Bottom, bmp.Canvas()->TextHeight("X"));
}

TEST_F(HintHtmlTest, FontTagsChangeTheFontAndClosingOnesGiveItBack) {
    struct Case {
        const char* html;
        int size;
        uint32_t color;
        TFontStyles style;
    } cases[] = {
        {"<FONT SIZE=8><FONT SIZE=+2>", 10, 0, {}},
        {"<FONT SIZE=14><FONT SIZE=+2></FONT></FONT>", 8, 0, {}},
        {"<FONT SIZE=-3>", 5, 0, {}},
        {"<FONT SIZE=-100>", 1, 0, {}},           // at least 1
        {"<FONT SIZE=2147483647>", 400, 0, {}},   // bounded
        {"<FONT SIZE=abc>", 8, 0, {}},            // no number: no change
        {"<FONT COLOR=\"#FF0000\">", 8, 0x0000FF, {}},
        {"<font color=ff8000>", 8, 0x0080FF, {}},
        {"<FONT COLOR=#GG0000>", 8, 0, {}},       // not hex: black
        {"<FONT COLOR=teal>", 8, 0x808000, {}},
        {"<B><I><U></I>", 8, 0, {fsBold, fsUnderline}},
        {"</FONT></FONT><B>", 8, 0, {fsBold}},    // nothing to give back
    };
    for (const Case& c : cases) {
        Render(c.html);
        EXPECT_EQ(Font()->Size(), c.size) << c.html;
        EXPECT_EQ(uint32_t(Font()->Color()), c.color) << c.html;
        EXPECT_EQ(Font()->Style(), c.style) << c.html;
    }
    Render("<FONT FACE=\"dejavu serif\" SIZE=9>");
    EXPECT_EQ(Font()->Name(), "DEJAVU SERIF");
    EXPECT_EQ(Font()->Size(), 9);
    Render("<FONT FACE=\"\">");
    EXPECT_EQ(Font()->Name(), "DejaVu Sans");
}

TEST_F(HintHtmlTest, TagSoupEndsInBoundedWork) {
    std::mt19937 rng(31);
    const char* pieces[] = {"<", ">", "<<", "<FONT SIZE=+9>", "</FONT>", "<B>", "<BR>", "<P",
                            "<FONT COLOR=#ZZ>", "<FONT SIZE=-2147483648>", "x", "\r\n", "\"",
                            "<FONT FACE=\"", "=", " "};
    for (int round = 0; round < 40; ++round) {
        std::string text;
        const int n = int(rng() % 400);
        for (int i = 0; i < n; ++i) text += pieces[rng() % std::size(pieces)];
        const TRect r = Render(text);
        EXPECT_GE(r.Right, 0);
        EXPECT_GE(r.Bottom, 0);
    }
    std::string nested;
    for (int i = 0; i < 10000; ++i) nested += "<FONT SIZE=+1>";
    nested += "x";
    for (int i = 0; i < 10000; ++i) nested += "</FONT>";
    Render(nested);
    EXPECT_EQ(Font()->Size(), 8);
    Render(std::string(100000, '<') + "a" + std::string(100001, '<'));
}

}  // namespace
}  // namespace skin

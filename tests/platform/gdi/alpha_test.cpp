#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "gdi_test_util.h"

namespace {

using namespace win;
using gdi_test::Canvas;

BLENDFUNCTION Blend(BYTE constant, BYTE format) {
    BLENDFUNCTION b;
    b.SourceConstantAlpha = constant;
    b.AlphaFormat = format;
    return b;
}

TEST(AlphaBlend, PerPixelPremultipliedOver) {
    Canvas src(4, 1), dst(4, 1);
    src.SetRaw(0, 0, 0xFF102030);  // opaque: replaces
    src.SetRaw(1, 0, 0x00000000);  // clear: keeps
    src.SetRaw(2, 0, 0x80400000);  // half: 0x40 + d * 127 / 255
    src.SetRaw(3, 0, 0x10FF0000);  // not premultiplied: the sum is capped
    dst.Fill(0xFF808080);
    ASSERT_TRUE(AlphaBlend(dst.dc(), 0, 0, 4, 1, src.dc(), 0, 0, 4, 1, Blend(255, AC_SRC_ALPHA)));
    EXPECT_EQ(dst.Raw(0, 0), 0xFF102030u);
    EXPECT_EQ(dst.Raw(1, 0), 0xFF808080u);
    // 0x80 * 127 / 255 = 63.75 -> 64; alpha 0x80 + 0xFF * 127 / 255 = 0xFF.
    EXPECT_EQ(dst.Raw(2, 0), 0xFF804040u);
    EXPECT_EQ(dst.Raw(3, 0), 0xFFFF7878u);
    // With a constant alpha the source is scaled first.
    dst.Fill(0x00000000);
    AlphaBlend(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, 1, 1, Blend(128, AC_SRC_ALPHA));
    EXPECT_EQ(dst.Raw(0, 0), 0x80081018u);  // every byte * 128 / 255, rounded
    // A 24-bit source has no alpha to use.
    Canvas s24(1, 1, 24);
    EXPECT_FALSE(AlphaBlend(dst.dc(), 0, 0, 1, 1, s24.dc(), 0, 0, 1, 1, Blend(255, AC_SRC_ALPHA)));
}

TEST(AlphaBlend, ConstantAlphaMixesEveryByteAndClips) {
    Canvas src(2, 2, 24), dst(3, 3);
    src.Fill(0xFFFFFF);
    dst.Fill(0xFF000000);
    ASSERT_TRUE(AlphaBlend(dst.dc(), 1, 1, 2, 2, src.dc(), 0, 0, 2, 2, Blend(51, 0)));
    // 255 * 51 / 255 = 51 for colour; alpha: 0 * 51 + 255 * 204 -> 204.
    EXPECT_EQ(dst.Raw(1, 1), 0xCC333333u);
    EXPECT_EQ(dst.Raw(0, 0), 0xFF000000u);
    // Stretching samples the nearest source pixel; a source reaching past its bitmap paints
    // only where it has pixels.
    dst.Fill(0);
    AlphaBlend(dst.dc(), 0, 0, 3, 3, src.dc(), 1, 1, 3, 3, Blend(255, 0));
    EXPECT_EQ(dst.Raw(0, 0), 0x00FFFFFFu);
    EXPECT_EQ(dst.Raw(1, 1), 0u);
}

TEST(Gradient, RectanglesAndTriangles) {
    Canvas c(4, 2);
    c.Fill(0);
    TRIVERTEX v[2];
    v[0].x = 0;
    v[0].y = 0;
    v[0].Red = 0;
    v[0].Alpha = 0xFF00;
    v[1].x = 4;
    v[1].y = 2;
    v[1].Red = 0xFF00;
    v[1].Alpha = 0xFF00;
    GRADIENT_RECT r{0, 1};
    ASSERT_TRUE(GradientFill(c.dc(), v, 2, &r, 1, GRADIENT_FILL_RECT_H));
    EXPECT_EQ(c.Raw(0, 0), 0xFF000000u);
    EXPECT_EQ(c.Raw(1, 1), 0xFF3F0000u);  // 0xFF00 / 4 >> 8
    EXPECT_EQ(c.Raw(3, 0), 0xFFBF0000u);
    GRADIENT_RECT bad{0, 7};
    EXPECT_FALSE(GradientFill(c.dc(), v, 2, &bad, 1, GRADIENT_FILL_RECT_H));

    // Two triangles sharing a diagonal leave no gap.
    Canvas t(8, 8);
    t.Fill(0);
    TRIVERTEX q[4];
    const int xy[4][2] = {{0, 0}, {8, 0}, {8, 8}, {0, 8}};
    for (int i = 0; i < 4; ++i) {
        q[i].x = xy[i][0];
        q[i].y = xy[i][1];
        q[i].Green = 0x8000;
    }
    GRADIENT_TRIANGLE tris[2] = {{0, 1, 2}, {0, 2, 3}};
    ASSERT_TRUE(GradientFill(t.dc(), q, 4, tris, 2, GRADIENT_FILL_TRIANGLE));
    EXPECT_EQ(t.Picture(0x00008000),
              "########\n########\n########\n########\n"
              "########\n########\n########\n########\n");
    // Colours interpolate across a triangle: the centre of a red-green-blue one mixes them.
    Canvas m(3, 3);
    TRIVERTEX tri[3];
    tri[0].x = 0, tri[0].y = 0, tri[0].Red = 0xFF00;
    tri[1].x = 30, tri[1].y = 0, tri[1].Green = 0xFF00;
    tri[2].x = 0, tri[2].y = 30, tri[2].Blue = 0xFF00;
    GRADIENT_TRIANGLE one{0, 1, 2};
    GradientFill(m.dc(), tri, 3, &one, 1, GRADIENT_FILL_TRIANGLE);
    const uint32_t p = m.Raw(0, 0);
    EXPECT_GT((p >> 16) & 0xFF, 0xE0u);  // near the red corner
    EXPECT_LT(p & 0xFF, 0x10u);
}

}  // namespace

namespace {

// Rows of odd lengths, so every pixel count and position is blended by the wide and the
// narrow code alike; both must give the formula's bytes.
TEST(AlphaBlend, EveryPixelFollowsTheFormula) {
    std::mt19937 rng(5);
    for (int n : {1, 3, 4, 7, 13}) {
        Canvas src(n, 1), dst(n, 1), con(n, 1);
        std::vector<uint32_t> s(n), d(n);
        for (int i = 0; i < n; ++i) {
            const uint32_t a = rng() & 0xFF;
            s[i] = (a << 24) | ((rng() % (a + 1)) << 16) | ((rng() % (a + 1)) << 8) |
                   (rng() % (a + 1));
            d[i] = rng();
            src.SetRaw(i, 0, s[i]);
            dst.SetRaw(i, 0, d[i]);
            con.SetRaw(i, 0, d[i]);
        }
        AlphaBlend(dst.dc(), 0, 0, n, 1, src.dc(), 0, 0, n, 1, Blend(255, AC_SRC_ALPHA));
        AlphaBlend(con.dc(), 0, 0, n, 1, src.dc(), 0, 0, n, 1, Blend(77, 0));
        auto div255 = [](uint32_t v) { return (v + 127) / 255; };  // round to nearest
        for (int i = 0; i < n; ++i) {
            const uint32_t ia = 255 - (s[i] >> 24);
            uint32_t over = 0, mix = 0;
            for (int c = 0; c < 32; c += 8) {
                const uint32_t sc = (s[i] >> c) & 0xFF, dc = (d[i] >> c) & 0xFF;
                over |= std::min<uint32_t>(255, sc + div255(dc * ia)) << c;
                mix |= div255(sc * 77 + dc * 178) << c;
            }
            EXPECT_EQ(dst.Raw(i, 0), over) << n << " " << i;
            EXPECT_EQ(con.Raw(i, 0), mix) << n << " " << i;
        }
    }
}

}  // namespace

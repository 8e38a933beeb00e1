#include "skin/core/data/hue_shift.h"

#include <gtest/gtest.h>

#include "tests/skin/core/png_reference.h"
#include "tests/skin/core/skin_reading.h"

namespace skin {
namespace {

using skin_test::Bmp24, skin_test::PixelOf, skin_test::SkinReading, skin_test::Solid;

constexpr uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kGrey = 0x808080;

// The master bitmap's columns: red, grey, black, white, the key, a pale colour, then the title
// icons BICONCLOSE (x 6-7) and BICONMAX (x 8-9), both red.
uint32_t MasterPixel(int x, int) {
    static const uint32_t columns[] = {kRed,     kGrey, 0,    0xFFFFFF, kTransparentKey,
                                       0xA08060, kRed,  kRed, kRed,     kRed};
    return columns[x];
}

std::string Png(uint32_t rgb, uint8_t alpha) {
    return skin_test::WriteSolidPng(2, 2, rgb | uint32_t(alpha) << 24);
}

struct Shifted {
    explicit Shifted(int keepHue, int hue, int saturation = 0) {
        skin_test::TestSkin s;
        s.Options =
            "[GLOBALINFO]\nMASTERBITMAP=M.BMP\nSHADOW1COLOR=255\nBORDERCOLOR=0xFF00FF\n"
            "BIKEEPHUE=" +
            std::to_string(keepHue) +
            "\n"
            "BICONCLOSE=^0006^0000^0008^0002^0000^0000^0000^0000^1^0^0^0\n"
            "BICONMAX=^0008^0000^0010^0002^0000^0000^0000^0000^1^0^0^0\n"
            "SICONCLOSE=!SCLOSE.BMP!1!0!2\nSICONCLOSEGLOW0=!SGLOW.PNG!1!0!3\n"
            "BICONMAXGLOW0=!MGLOW.PNG!1!0!3\n"
            "[X]\nCOLOR=255\nTCLEFT=-1\nTCTOP=255\nFONTCOLOR=0x1FFFFFFF\n"
            "HOTCOLOR=0x8000000F\nGCOL=0xFF00FF\nGRADIENTDATA=255;8421504;100;0;0\n"
            "OTHER=!OTHER.PNG!1!0!3\nSHARED=!SGLOW.PNG!1!0!3\nSHARED2=!SGLOW.PNG!1!0!3\n"
            "[Y]\nCOLOR=3302856\n";
        s.Add("M.BMP", Bmp24(10, 2, MasterPixel));
        s.Add("SCLOSE.BMP", Bmp24(2, 2, Solid(kRed)));
        s.Add("SGLOW.PNG", Png(kRed, 0x80));
        s.Add("MGLOW.PNG", Png(kRed, 0x80));
        s.Add("OTHER.PNG", Png(kRed, 0x40));
        r.source.HueOffset = hue;
        r.source.Saturation = saturation;
        r.Packed(s);
    }
    uint32_t Master(int x) { return PixelOf(r.skin.MasterBitmap.get(), x, 1); }
    uint32_t Own(const char* section, const char* prop) {
        const int i = r.skin.GetMaskIndexByNames(section, prop);
        return PixelOf(r.skin.Masks.at(size_t(i)).Bmp.get(), 1, 1);
    }
    const TsGeneralData& X() { return r.skin.Sections[size_t(r.skin.GetSkinIndex("X"))]; }
    SkinReading r;
};

TEST(HueShift, ColoursTurnRoundTheWheelButGreysKeysAndNoColourStay) {
    Shifted s(0, 120);
    EXPECT_EQ(s.Master(0), kGreen);
    EXPECT_EQ(s.Master(1), kGrey);
    EXPECT_EQ(s.Master(2), 0u);
    EXPECT_EQ(s.Master(3), 0xFFFFFFu);
    EXPECT_EQ(s.Master(4), kTransparentKey);
    EXPECT_EQ(s.Own("X", "OTHER"), 0x40000000u | kGreen);  // 32 bits keep their alpha
    const TsGeneralData& x = s.X();
    EXPECT_EQ(x.Color, kGreen);
    EXPECT_EQ(x.TCTop, kGreen);
    EXPECT_EQ(x.TCLeft, TColor(-1));
    EXPECT_EQ(x.FontColor, clNone);
    EXPECT_EQ(x.HotColor, 0x8000000Fu);
    EXPECT_EQ(x.GlowColor, kTransparentKey);
    ASSERT_EQ(x.GradientArray.size(), 1u);
    EXPECT_EQ(x.GradientArray[0].Color1, kGreen);
    EXPECT_EQ(x.GradientArray[0].Color2, kGrey);
    EXPECT_EQ(s.r.skin.SkinData.Shadow1Color, kGreen);
    EXPECT_EQ(s.r.skin.SkinData.BorderColor, kTransparentKey);
    EXPECT_EQ(s.r.skin.Sections[0].HotGlowColor, 0xFFFFFFu);
}

TEST(HueShift, TitleIconsKeepTheirHueAsTheSkinAsks) {
    const struct {
        int keep;
        bool close, others;
    } cases[] = {{0, false, false}, {2, true, false}, {1, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keep);
        Shifted s(c.keep, 120);
        const uint32_t close = c.close ? kRed : kGreen, others = c.others ? kRed : kGreen;
        EXPECT_EQ(s.Master(6), close);
        EXPECT_EQ(s.Master(7), close);
        EXPECT_EQ(s.Master(8), others);
        EXPECT_EQ(s.Own("GLOBALINFO", "SICONCLOSE"), close);
        EXPECT_EQ(s.Own("GLOBALINFO", "SICONCLOSEGLOW0"), 0x80000000u | close);
        EXPECT_EQ(s.Own("GLOBALINFO", "BICONMAXGLOW0"), 0x80000000u | others);
        EXPECT_EQ(s.Master(0), kGreen);
        EXPECT_EQ(s.Own("X", "OTHER"), 0x40000000u | kGreen);
        // Keys sharing a kept icon's picture turn, and turn once.
        EXPECT_EQ(s.Own("X", "SHARED"), 0x80000000u | kGreen);
        EXPECT_EQ(s.Own("X", "SHARED2"), 0x80000000u | kGreen);
    }
}

TEST(HueShift, SaturationWrapsAtOneHundredAndOne) {
    Shifted vivid(0, 0, 30), grey(0, 0, -30), wrapped(0, 0, 150), same(0, 0, 49);
    auto spread = [](uint32_t c) {
        return std::max({RedOf(c), GreenOf(c), BlueOf(c)}) -
               std::min({RedOf(c), GreenOf(c), BlueOf(c)});
    };
    EXPECT_GT(spread(vivid.Master(5)), spread(0xA08060));
    EXPECT_LT(spread(grey.Master(5)), spread(0xA08060));
    EXPECT_EQ(grey.Master(1), kGrey);
    EXPECT_EQ(grey.Master(4), kTransparentKey);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(wrapped.Master(x), same.Master(x));
    EXPECT_EQ(wrapped.X().Color, same.X().Color);
    EXPECT_EQ(vivid.X().TCLeft, TColor(-1));
}

TEST(HueShift, NoShiftLeavesTheSkinAsRead) {
    Shifted s(1, 0, 0);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(s.Master(x), MasterPixel(x, 0));
    EXPECT_EQ(s.Own("X", "OTHER"), 0x40000000u | kRed);
    EXPECT_EQ(s.X().Color, kRed);
    EXPECT_EQ(s.X().GradientArray[0].Color1, kRed);
    EXPECT_EQ(s.r.skin.SkinData.Shadow1Color, kRed);
    // Whole turns are no turn at all, though the shift rounds hues.
    for (int hue : {360, -720}) {
        Shifted turn(0, hue);
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(turn.Master(x), MasterPixel(x, 0)) << hue;
        EXPECT_EQ(turn.r.skin.Sections[size_t(turn.r.skin.GetSkinIndex("Y"))].Color, 0x3265C8u);
    }
}

}  // namespace
}  // namespace skin

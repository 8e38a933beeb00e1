#include "skin/core/pixels/color_manager.h"

#include <gtest/gtest.h>

#include "skin/core/pixels/errors.h"

namespace skin {
namespace {

TEST(ColorManager, GammaTables) {
    TColorManager cm;
    EXPECT_EQ(cm.GammaTable()[128], 186);  // 1.0 and 2.2
    cm.InitGamma(0.45455f, 2.2f);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(cm.GammaTable()[i], i);
    cm.InitGamma(0, -1);
    EXPECT_EQ(cm.MainGamma(), 1.0f);
    EXPECT_EQ(cm.DisplayGamma(), 2.2f);
}

TEST(ColorManager, RefusesLayoutsWithItsOwnMessages) {
    TColorManager cm;
    EXPECT_THROW(cm.SetSourceBitsPerSample(17), EColorConversionError);
    EXPECT_NO_THROW(cm.SetSourceBitsPerSample(12));
    EXPECT_THROW(cm.SetTargetSamplesPerPixel(5), EColorConversionError);
    cm.SetSourceBitsPerSample(8);
    cm.SetSourceScheme(TSampleScheme::Grey);
    uint8_t in[3] = {}, out[3] = {};
    try {
        cm.ConvertScanline(in, out, 1, 0xFF);
        FAIL();
    } catch (const EColorConversionError& e) {
        EXPECT_EQ(e.Message,
                  "Conversion between indexed and non-indexed pixel formats is not supported.");
    }
    cm.SetSourceScheme(TSampleScheme::CMY);
    EXPECT_THROW(cm.ConvertScanline(in, out, 1, 0xFF), EColorConversionError);
    // Grey with alpha into an indexed target drops the alpha.
    cm.SetSourceScheme(TSampleScheme::GreyAlpha);
    cm.SetTargetScheme(TSampleScheme::Indexed);
    cm.SetTargetSamplesPerPixel(1);
    cm.SetTargetBitsPerSample(8);
    uint8_t ga[4] = {10, 200, 20, 100};
    cm.ConvertScanline(ga, out, 2, 0xFF);
    EXPECT_EQ(out[0], 10);
    EXPECT_EQ(out[1], 20);
}

TEST(ColorManager, MaskedRowsAndSixteenBitScaling) {
    TColorManager cm;
    cm.SetSourceBitsPerSample(16);
    cm.SourceOptions = coNeedByteSwap;
    uint8_t rgb16[6] = {0xFF, 0xFF, 0x01, 0x01, 0x80, 0x00};
    uint8_t out[3];
    cm.ConvertScanline(rgb16, out, 1, 0xFF);
    EXPECT_EQ(out[2], 255);  // red
    EXPECT_EQ(out[1], 1);
    EXPECT_EQ(out[0], 127);

    cm.SetSourceBitsPerSample(8);
    uint8_t src[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    uint8_t row[18];
    std::fill(std::begin(row), std::end(row), 0xEE);
    cm.ConvertScanline(src, row, 6, 0x55);
    EXPECT_EQ(row[0], 0xEE);
    EXPECT_EQ(row[3], 3);  // pixel 1 takes source pixel 0
    EXPECT_EQ(row[5], 1);
    EXPECT_EQ(row[9], 6);  // pixel 3 takes source pixel 1
    EXPECT_EQ(row[6], 0xEE);
}

TEST(ColorManager, PalettesAndPixelFormats) {
    TColorManager cm;
    cm.SetSourceScheme(TSampleScheme::Indexed);
    cm.SetTargetScheme(TSampleScheme::Indexed);
    cm.SetSourceSamplesPerPixel(1);
    cm.SetTargetSamplesPerPixel(1);
    cm.SetSourceBitsPerSample(2);
    cm.SetTargetBitsPerSample(4);
    const uint8_t rgb[12] = {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4};
    const uint8_t* p = rgb;
    TPalette pal = cm.MakePalette(&p, 1, 0, 4, false);
    ASSERT_EQ(pal.size(), 16u);
    EXPECT_EQ(pal[4].Red, 1);
    EXPECT_EQ(pal[5].Red, 2);
    EXPECT_EQ(pal[15].Red, 4);
    // A palette shorter than the source range spreads black, not stale memory.
    pal = cm.MakePalette(&p, 1, 0, 2, true);
    EXPECT_EQ(pal[10].Red, 0);
    EXPECT_EQ(cm.PixelFormatFor(1), pf4bit);
    EXPECT_EQ(cm.PixelFormatFor(0), pf4bit);
    cm.SetSourceBitsPerSample(1);
    cm.SetTargetBitsPerSample(1);
    EXPECT_EQ(cm.MakePalette(&p, 1, 0, 2, false).size(), 2u);
    EXPECT_EQ(cm.MakeGrayPalette(true)[0].Red, 255);
    cm.SetSourceSamplesPerPixel(4);
    EXPECT_EQ(cm.PixelFormatFor(0), pfCustom);

    // 2-bit samples become 0, 5, 10, 15 in the 4-bit target.
    cm.SetSourceBitsPerSample(2);
    cm.SetSourceSamplesPerPixel(1);
    cm.SetTargetBitsPerSample(4);
    uint8_t packed = 0b00011011, out[2] = {};
    cm.ConvertScanline(&packed, out, 4, 0xFF);
    EXPECT_EQ(out[0], 0x05);
    EXPECT_EQ(out[1], 0xAF);
}

TEST(ColorManager, OtherColourSpaces) {
    TColorManager cm;
    cm.SetSourceScheme(TSampleScheme::CMYK);
    cm.SetSourceSamplesPerPixel(4);
    uint8_t cmyk[4] = {255, 0, 0, 0}, out[3];
    cm.ConvertScanline(cmyk, out, 1, 0xFF);
    EXPECT_EQ(out[2], 0);  // cyan takes the red away
    EXPECT_EQ(out[1], 255);
    cm.SetSourceScheme(TSampleScheme::YCbCr);
    cm.SetSourceSamplesPerPixel(3);
    uint8_t grey[3] = {100, 128, 128};
    cm.ConvertScanline(grey, out, 1, 0xFF);
    EXPECT_EQ(out[0], 100);
    EXPECT_EQ(out[2], 100);
    cm.SetSourceScheme(TSampleScheme::CIELab);
    cm.SourceOptions = coLabChromaOffset;
    uint8_t white[3] = {100, 128, 128};
    cm.ConvertScanline(white, out, 1, 0xFF);
    EXPECT_NEAR(out[1], 255, 2);
}

}  // namespace
}  // namespace skin

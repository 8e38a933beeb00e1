// One decoder, and one TPNGGraphic, loading picture after picture: each load must give what a
// fresh object gives, whatever the loads before it left behind or where they failed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "skin/core/fuzz/png_reuse_check.h"
#include "skin/core/pixels/crc32.h"
#include "skin/core/pixels/png_graphic.h"
#include "tests/skin/core/png_reference.h"

namespace skin {
namespace {

using skin_test::PngSpec;

std::string Encode(const PngSpec& s) {
    return skin_test::WritePng(s);
}

// A picture that fails after its layout was set up: an unknown critical chunk behind PLTE (or
// behind IHDR), or damaged image data.
std::string Broken(std::string png, int how) {
    const size_t ihdrEnd = 8 + 25;
    switch (how) {
        case 0: {
            // "ABCD" with an empty body, put right before the first IDAT.
            const uint32_t crc = UpdateCrc32(0, "ABCD", 4);
            const std::string chunk =
                std::string(4, '\0') + "ABCD" +
                std::string{char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)};
            return png.insert(png.find("IDAT") - 4, chunk);
        }
        case 1:
            png[png.find("IDAT") + 6] ^= 0x40;  // CRC error
            return png;
        default:
            return png.substr(0, ihdrEnd + 20);  // cut short
    }
}

TEST(PngReuse, ASecondPictureWithAlphaMatchesAFreshDecode) {
    std::mt19937 rng(11);
    const std::string a = Encode(skin_test::RandomPng(6, 8, false, 5, 4, rng));
    const std::string b = Encode(skin_test::RandomPng(6, 8, false, 5, 4, rng));
    PngDecoder reused, fresh;
    PngImage first, second;
    reused.Load(reinterpret_cast<const uint8_t*>(a.data()), a.size(), first);
    reused.Load(reinterpret_cast<const uint8_t*>(b.data()), b.size(), first);
    fresh.Load(reinterpret_cast<const uint8_t*>(b.data()), b.size(), second);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(first.ColorAt(x, y), second.ColorAt(x, y)) << x << "," << y;
    }
}

TEST(PngReuse, AGraphicRebuildsItsPixelFormatForEveryPicture) {
    std::mt19937 rng(12);
    const std::string deep = Encode(skin_test::RandomPng(6, 16, false, 200, 3, rng));
    // A format set by hand, and one left by a load that failed after its palette.
    TPNGGraphic set, failed, fresh;
    set.SetPixelFormat(pf8bit);
    vcl::TStringStream s1(deep),
        s2(Broken(Encode(skin_test::RandomPng(3, 8, false, 4, 4, rng)), 0)), s3(deep), s4(deep);
    set.LoadFromStream(&s1);
    EXPECT_ANY_THROW(failed.LoadFromStream(&s2));
    failed.LoadFromStream(&s3);
    fresh.LoadFromStream(&s4);
    for (auto* g : {&set, &failed}) {
        ASSERT_EQ(g->PixelFormat(), pf32bit);
        for (int y = 0; y < 3; ++y)
            EXPECT_EQ(std::memcmp(g->ScanLine(y), fresh.ScanLine(y), 200 * 4), 0) << y;
    }
}

TEST(PngReuse, EverySequenceOfPicturesAndFailuresMatchesFreshLoads) {
    std::mt19937 rng(13);
    const std::pair<int, std::vector<int>> kinds[] = {
        {0, {1, 2, 4, 8, 16}}, {2, {8, 16}}, {3, {1, 2, 4, 8}}, {4, {8, 16}}, {6, {8, 16}}};
    std::vector<std::string> sequence;
    for (int round = 0; round < 3; ++round) {
        for (const auto& [type, depths] : kinds) {
            for (int depth : depths) {
                const bool interlaced = rng() % 2;
                const int w = 1 + int(rng() % 19), h = 1 + int(rng() % 11);
                PngSpec s = skin_test::RandomPng(type, depth, interlaced, w, h, rng);
                if (rng() % 3 == 0) s.gamma = rng() % 2 ? 45455 : 100000;
                if (type == 3 && rng() % 2) s.paletteAlpha = {0, 99};
                if ((type == 0 || type == 2) && rng() % 2) {
                    for (int k = 0; k < 3; ++k)
                        s.transparent[k] = int(rng() % (1u << depth));
                }
                std::string png = Encode(s);
                const bool broken = rng() % 5 == 0;
                sequence.push_back(broken ? Broken(png, int(rng() % 3)) : png);
            }
        }
    }
    std::shuffle(sequence.begin(), sequence.end(), rng);
    EXPECT_EQ(fuzz::CompareReusedLoads(sequence), "");
}

}  // namespace
}  // namespace skin

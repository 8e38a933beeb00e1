#include "skin/core/pixels/png_decoder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <random>

#include "platform/os/files.h"
#include "skin/core/pixels/adler32.h"
#include "skin/core/pixels/crc32.h"
#include "skin/core/pixels/errors.h"
#include "tests/skin/core/png_reference.h"
#include "tests/support/temp_dir.h"

namespace skin {
namespace {

using skin_test::PngSpec;

// A PNG taken apart into chunks, so that tests can damage one and put it back together with
// correct CRCs.
struct Chunk {
    std::string type;
    std::string data;
};

std::vector<Chunk> Split(const std::string& png) {
    std::vector<Chunk> chunks;
    size_t pos = 8;
    while (pos + 12 <= png.size()) {
        auto b = [&](size_t i) { return uint32_t(uint8_t(png[pos + i])); };
        uint32_t len = b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
        chunks.push_back({png.substr(pos + 4, 4), png.substr(pos + 8, len)});
        pos += 12 + len;
    }
    return chunks;
}

std::string Be32(uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

std::string Join(const std::vector<Chunk>& chunks) {
    std::string out("\x89PNG\r\n\x1a\n", 8);
    for (const auto& c : chunks) {
        std::string body = c.type + c.data;
        out += Be32(uint32_t(c.data.size())) + body +
               Be32(uint32_t(
                   crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
    }
    return out;
}

size_t Decode(PngDecoder& decoder, PngImage& image, const std::string& png) {
    return decoder.Load(reinterpret_cast<const uint8_t*>(png.data()), png.size(), image);
}

TPixelFormat FormatFor(int colorType, int depth) {
    if (colorType == 2) return pf24bit;
    if (colorType == 6) return pf32bit;
    if (colorType == 4) return pf8bit;
    return depth == 1 ? pf1bit : depth <= 4 ? pf4bit : pf8bit;
}

void ExpectSameAsLibpng(const std::string& png, const std::string& what) {
    SCOPED_TRACE(what);
    auto ref = skin_test::ReadWithLibpng(png);
    PngDecoder decoder;
    PngImage image;
    EXPECT_EQ(Decode(decoder, image, png), png.size());
    ASSERT_EQ(image.Width(), ref.width);
    ASSERT_EQ(image.Height(), ref.height);
    EXPECT_EQ(image.PixelFormat(), FormatFor(ref.colorType, ref.depth));
    // The key is the colour shown for the tRNS samples; other samples that come to show it are
    // moved one step off it.
    const int64_t key = skin_test::ExpectedKey(ref);
    EXPECT_EQ(int64_t(decoder.TransparentKey), key < 0 ? int64_t(clNone) : key);
    auto near = [](uint32_t a, uint32_t b) {
        for (int shift = 0; shift < 24; shift += 8) {
            if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > 1) return false;
        }
        return a != b;
    };
    int mismatches = 0;
    for (int y = 0; y < ref.height; ++y) {
        for (int x = 0; x < ref.width; ++x) {
            uint32_t want = skin_test::ExpectedColor(ref, x, y), got = image.ColorAt(x, y);
            if (want == key && !skin_test::IsKeyPixel(ref, x, y) && near(got, want)) continue;
            if (want != got && ++mismatches <= 3) {
                ADD_FAILURE() << "pixel " << x << "," << y << ": want " << std::hex << want
                              << " got " << got;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(PngDecoder, DecodesThePngSuiteAsLibpngDoes) {
    int files = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(testing_support::TestDataDir() + "skin/pngsuite")) {
        if (entry.path().extension() != ".png") continue;
        ++files;
        ExpectSameAsLibpng(*os::ReadWholeFile(entry.path().string()), entry.path().filename());
    }
    EXPECT_GE(files, 50);
}

PngSpec RandomSpec(int colorType, int depth, bool interlaced, int w, int h, std::mt19937& rng) {
    PngSpec s;
    s.width = w, s.height = h, s.colorType = colorType, s.depth = depth, s.interlaced = interlaced;
    const int spp = colorType == 2 ? 3 : colorType == 4 ? 2 : colorType == 6 ? 4 : 1;
    int top = (1 << depth) - 1;
    if (colorType == 3) {
        int entries = 1 + int(rng() % (top + 1));
        for (int i = 0; i < entries * 3; ++i)
            s.palette.push_back(uint8_t(rng()));
        top = entries - 1;
    }
    for (int i = 0; i < w * h * spp; ++i)
        s.samples.push_back(uint16_t(rng() % (top + 1)));
    return s;
}

TEST(PngDecoder, DecodesEveryColourTypeDepthAndInterlaceAsLibpngDoes) {
    std::mt19937 rng(8);
    const std::pair<int, std::vector<int>> kinds[] = {
        {0, {1, 2, 4, 8, 16}}, {2, {8, 16}}, {3, {1, 2, 4, 8}}, {4, {8, 16}}, {6, {8, 16}}};
    const std::pair<int, int> sizes[] = {{1, 1}, {2, 3}, {5, 9}, {33, 17}, {64, 5}};
    for (const auto& [type, depths] : kinds) {
        for (int depth : depths) {
            for (bool interlaced : {false, true}) {
                for (auto [w, h] : sizes) {
                    for (int gamma : {0, 45455, 100000}) {
                        PngSpec s = RandomSpec(type, depth, interlaced, w, h, rng);
                        s.gamma = gamma;
                        ExpectSameAsLibpng(skin_test::WritePng(s),
                                           "type " + std::to_string(type) + " depth " +
                                               std::to_string(depth) + " interlaced " +
                                               std::to_string(interlaced) + " " +
                                               std::to_string(w) + "x" + std::to_string(h) +
                                               " gamma " + std::to_string(gamma));
                    }
                }
            }
        }
    }
}

TEST(PngDecoder, KeepsTransparencyAsKeyOrAlphaTable) {
    std::mt19937 rng(3);
    PngSpec s = RandomSpec(3, 4, false, 4, 4, rng);
    s.paletteAlpha = {0, 128};
    PngDecoder d;
    PngImage image;
    Decode(d, image, skin_test::WritePng(s));
    ASSERT_EQ(d.AlphaTable.size(), 256u);
    EXPECT_EQ(d.AlphaTable[0], 0);
    EXPECT_EQ(d.AlphaTable[1], 128);
    EXPECT_EQ(d.AlphaTable[2], 255);
    EXPECT_EQ(d.TransparentKey, clNone);

    s = RandomSpec(2, 16, false, 4, 4, rng);
    s.transparent[0] = 0xFFFF, s.transparent[1] = 0x0101, s.transparent[2] = 0;
    Decode(d, image, skin_test::WritePng(s));
    EXPECT_EQ(d.TransparentKey, RGB(255, 1, 0));
    EXPECT_EQ(image.TransparentColor(), RGB(255, 1, 0));
    EXPECT_TRUE(d.AlphaTable.empty());

    // A grey key of a low-depth image is the grey the image shows for that sample.
    s = RandomSpec(0, 2, false, 4, 4, rng);
    s.transparent[0] = 1;
    Decode(d, image, skin_test::WritePng(s));
    EXPECT_EQ(d.TransparentKey, RGB(85, 85, 85));
}

TEST(PngDecoder, TheKeyIsTheColourShownForTheTransparentSamples) {
    PngSpec s;
    s.width = 3, s.height = 1, s.colorType = 0, s.depth = 8, s.samples = {1, 2, 1};
    s.gamma = 100000, s.transparent[0] = 1;
    PngDecoder d;
    PngImage image;
    Decode(d, image, skin_test::WritePng(s));
    EXPECT_EQ(image.ColorAt(0, 0), 0x151515u);
    EXPECT_EQ(d.TransparentKey, 0x151515u);
    EXPECT_EQ(image.TransparentColor(), 0x151515u);

    // A strong gamma shows the greys 0 to 20 all black; only the transparent one may stay so.
    s.samples = {0, 5, 20}, s.gamma = 20000, s.transparent[0] = 0;
    Decode(d, image, skin_test::WritePng(s));
    EXPECT_EQ(d.TransparentKey, 0u);
    EXPECT_EQ(image.ColorAt(0, 0), 0u);
    EXPECT_EQ(image.ColorAt(1, 0), 0x010101u);
    EXPECT_EQ(image.ColorAt(2, 0), 0x010101u);

    // 16-bit samples that reduce to the key's colour are moved off it, toward their own value.
    s.depth = 16, s.gamma = 0, s.samples = {0x1234, 0x1235, 0x1233}, s.transparent[0] = 0x1234;
    Decode(d, image, skin_test::WritePng(s));
    EXPECT_EQ(d.TransparentKey, 0x121212u);
    EXPECT_EQ(image.ColorAt(0, 0), 0x121212u);
    EXPECT_EQ(image.ColorAt(1, 0), 0x131313u);
    EXPECT_EQ(image.ColorAt(2, 0), 0x111111u);

    s.colorType = 2, s.samples = {0x1000, 0x2000, 0x3000, 0x1000, 0x2001, 0x3000, 0, 0, 0xFFFF};
    s.transparent[0] = 0x1000, s.transparent[1] = 0x2000, s.transparent[2] = 0x3000;
    for (bool interlaced : {false, true}) {
        s.interlaced = interlaced;
        Decode(d, image, skin_test::WritePng(s));
        EXPECT_EQ(d.TransparentKey, RGB(0x0F, 0x1F, 0x2F));
        EXPECT_EQ(image.ColorAt(0, 0), RGB(0x0F, 0x1F, 0x2F));
        EXPECT_EQ(image.ColorAt(1, 0), RGB(0x0F, 0x20, 0x2F));
        EXPECT_EQ(image.ColorAt(2, 0), RGB(0, 0, 0xFF));
    }
}

TEST(PngDecoder, TheAlphaTableFollowsTheIndexesTheBitmapHolds) {
    PngSpec s;
    s.width = 4, s.height = 1, s.colorType = 3, s.depth = 2, s.samples = {0, 1, 2, 3};
    s.palette.assign(12, 7);
    s.paletteAlpha = {10, 20, 30};
    PngDecoder d;
    PngImage image;
    Decode(d, image, skin_test::WritePng(s));
    ASSERT_EQ(d.AlphaTable.size(), 256u);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(d.AlphaTable[image.RawPixel(x, 0)], x < 3 ? 10 * (x + 1) : 255) << x;
}

TEST(PngDecoder, WidensTwoBitSamplesToFourBitPixels) {
    PngSpec s;
    s.width = 4, s.height = 1, s.colorType = 3, s.depth = 2;
    s.samples = {0, 1, 2, 3};
    s.palette = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
    PngDecoder d;
    PngImage image;
    Decode(d, image, skin_test::WritePng(s));
    ASSERT_EQ(image.PixelFormat(), pf4bit);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(image.RawPixel(x, 0), uint32_t(x * 5));
    ASSERT_EQ(image.Palette().size(), 16u);
    EXPECT_EQ(image.Palette()[10], (TPaletteEntry{70, 80, 90, 0}));
    EXPECT_EQ(image.Palette()[15], (TPaletteEntry{100, 110, 120, 0}));

    s.colorType = 0, s.palette.clear();
    Decode(d, image, skin_test::WritePng(s));
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(image.ColorAt(x, 0), RGB(85 * x, 85 * x, 85 * x));
}

TEST(PngDecoder, ReadsAPngInsideALargerStreamAndStopsBehindIend) {
    std::mt19937 rng(1);
    std::string png = skin_test::WritePng(RandomSpec(2, 8, false, 3, 3, rng));
    std::string stream = "leading bytes" + png + "trailing bytes";
    PngDecoder d;
    PngImage image;
    const auto* start = reinterpret_cast<const uint8_t*>(stream.data()) + 13;
    EXPECT_EQ(d.Load(start, stream.size() - 13, image), png.size());
    EXPECT_EQ(image.Width(), 3);

    vcl::TStringStream s(stream);
    s.SetPosition(13);
    d.LoadFromStream(&s, image);
    EXPECT_EQ(s.Position(), int64_t(13 + png.size()));
    EXPECT_EQ(image.Height(), 3);
}

TEST(PngDecoder, TakesChunkNamesInAnyLetterCase) {
    std::mt19937 rng(2);
    std::string png = skin_test::WritePng(RandomSpec(2, 8, false, 3, 3, rng));
    auto chunks = Split(png);
    for (auto& c : chunks) {
        if (c.type == "IDAT") c.type = "Idat";
        if (c.type == "IEND") c.type = "iend";
    }
    PngDecoder d;
    PngImage a, b;
    Decode(d, a, png);
    Decode(d, b, Join(chunks));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(a.ColorAt(x, y), b.ColorAt(x, y));
    }
}

TEST(PngDecoder, AppliesGammaOnlyToWhatFollowsTheGammaChunkAndNeverCarriesItOver) {
    PngSpec s;
    s.width = 1, s.height = 1, s.colorType = 3, s.depth = 8, s.samples = {0};
    s.palette = {128, 128, 128};
    s.gamma = 100000;  // exponent 1 / 2.2: 128 becomes 186
    std::string png = skin_test::WritePng(s);
    PngDecoder d;
    PngImage image;
    Decode(d, image, png);
    EXPECT_EQ(image.ColorAt(0, 0), RGB(186, 186, 186));

    // Moved behind PLTE, the gAMA leaves the palette as it is.
    auto chunks = Split(png);
    ASSERT_EQ(chunks[1].type, "gAMA");
    std::swap(chunks[1], chunks[2]);
    Decode(d, image, Join(chunks));
    EXPECT_EQ(image.ColorAt(0, 0), RGB(128, 128, 128));

    // The same decoder then loads a file without gAMA uncorrected.
    Decode(d, image, png);
    s.gamma = 0;
    Decode(d, image, skin_test::WritePng(s));
    EXPECT_EQ(image.ColorAt(0, 0), RGB(128, 128, 128));
    EXPECT_EQ(d.Header.Flags & 2, 0);
}

// An 8-bit grey image of one row per filter byte, written by hand.
std::string GreyWithRawRows(const std::string& raw, int w, int h, int interlace = 0) {
    std::string ihdr = Be32(w) + Be32(h) + std::string{8, 0, 0, 0, char(interlace)};
    uLongf n = compressBound(uLong(raw.size()));
    std::string z(n, '\0');
    compress(reinterpret_cast<Bytef*>(z.data()), &n, reinterpret_cast<const Bytef*>(raw.data()),
             uLong(raw.size()));
    z.resize(n);
    return Join({{"IHDR", ihdr}, {"IDAT", z}, {"IEND", ""}});
}

TEST(PngDecoder, RefusesUnknownRowFiltersAndIgnoresOddInterlaceMethods) {
    PngDecoder d;
    PngImage image;
    std::string raw = std::string{0, 1, 2, 3} + std::string{5, 4, 5, 6};
    try {
        Decode(d, image, GreyWithRawRows(raw, 3, 2));
        ADD_FAILURE() << "a row filter of 5 was taken";
    } catch (const vcl::EInvalidGraphic& e) {
        EXPECT_EQ(e.Message, "Cannot load image. Invalid row filter type in PNG file.");
    }
    // The rows before it were decoded; the rest shows the background.
    EXPECT_EQ(image.RawPixel(2, 0), 3u);
    EXPECT_EQ(image.ColorAt(0, 1), RGB(255, 255, 255));

    Decode(d, image, GreyWithRawRows(std::string{0, 7, 8, 9}, 3, 1, 2));
    EXPECT_TRUE(d.Header.Interlaced);
    EXPECT_EQ(image.RawPixel(1, 0), 8u);
}

TEST(PngDecoder, LeavesTheRowsAfterATruncatedImageDataStreamBlack) {
    std::string raw;
    for (int y = 0; y < 4; ++y)
        raw += std::string{0, 50, 60};
    std::string png = GreyWithRawRows(raw, 2, 4);
    auto chunks = Split(png);
    // Keep only the first part of the zlib stream: enough for about one row.
    chunks[1].data.resize(7);
    PngDecoder d;
    PngImage image;
    Decode(d, image, Join(chunks));
    EXPECT_EQ(image.Width(), 2);
    EXPECT_EQ(image.Height(), 4);
    EXPECT_EQ(image.ColorAt(1, 3), 0u);
    EXPECT_EQ(image.ColorAt(0, 2), 0u);

    // Palette pictures too, whatever their first entry, interlaced or not: without a black entry
    // the index shown is the one nearest to black (2, widened to 10).
    PngSpec s;
    s.width = 9, s.height = 9, s.colorType = 3, s.depth = 2;
    s.samples.assign(81, 1);
    s.palette = {200, 200, 200, 40, 50, 60, 10, 0, 5, 90, 90, 90};
    for (bool interlaced : {false, true}) {
        s.interlaced = interlaced;
        chunks = Split(skin_test::WritePng(s));
        ASSERT_EQ(chunks[2].type, "IDAT");
        chunks[2].data.resize(4);
        Decode(d, image, Join(chunks));
        for (int y = 0; y < 9; ++y) {
            for (int x = 0; x < 9; ++x)
                EXPECT_EQ(image.RawPixel(x, y), 10u) << x << "," << y;
        }
    }
}

void ExpectError(const std::string& png, const std::string& message) {
    PngDecoder d;
    PngImage image;
    try {
        Decode(d, image, png);
        ADD_FAILURE() << "no error for " << message;
    } catch (const vcl::Exception& e) {
        EXPECT_EQ(e.Message, message);
    }
}

TEST(PngDecoder, RefusesDamagedFilesWithTheirOwnMessages) {
    std::mt19937 rng(4);
    const std::string good = skin_test::WritePng(RandomSpec(2, 8, false, 4, 4, rng));
    const std::string invalid = "Cannot load image. Invalid or unexpected PNG image format.";

    ExpectError("not a png at all, but long enough to be read", invalid);
    ExpectError(good.substr(0, 20), invalid);

    std::string badCrc = good;
    badCrc[good.size() - 20] ^= 1;  // inside the IDAT data
    ExpectError(badCrc, "Cannot load image. CRC error found in PNG file.");

    auto chunks = Split(good);
    auto with = [&](auto change) {
        auto c = chunks;
        change(c);
        return Join(c);
    };
    ExpectError(with([](auto& c) { c[0].data.replace(0, 4, Be32(100000)); }), invalid);
    ExpectError(with([](auto& c) { c[0].data.replace(0, 8, Be32(16384) + Be32(16384)); }), invalid);
    ExpectError(with([](auto& c) { c[0].data.replace(4, 4, Be32(0)); }), invalid);
    ExpectError(with([](auto& c) { c[0].data += "x"; }), invalid);
    ExpectError(with([](auto& c) { c[0].data[9] = 5; }), "Invalid color format in PNG file.");
    ExpectError(with([](auto& c) { c[0].data[8] = 4; }), "Invalid color format in PNG file.");
    ExpectError(with([](auto& c) { c[0].data[10] = 1; }),
                "Cannot load image. The compression scheme is not supported for PNG files.");
    ExpectError(with([](auto& c) {
                    c.insert(c.begin() + 1, {"PLTE", "abcd"});
                }),
                "Cannot load image. Palette in PNG file is invalid.");
    ExpectError(with([](auto& c) { c.insert(c.begin() + 1, c[0]); }),
                "Cannot load PNG image. Unexpected but critical chunk detected.");
    ExpectError(with([](auto& c) {
                    c.insert(c.begin() + 1, {"ABCD", ""});
                }),
                "Cannot load PNG image. Unexpected but critical chunk detected.");
    ExpectError(with([](auto& c) { c[1].data[c[1].data.size() / 2] ^= 0x55; }),
                "Cannot load image. Compression error found in PNG file.");
    ExpectError(with([](auto& c) { c[1].data += "more"; }),
                "Cannot load image. Extra compressed data found in PNG file.");
    // The end before any image data: nothing would be shown.
    ExpectError(with([](auto& c) { c.erase(c.begin() + 1); }),
                "Cannot load image. No image data found in PNG file.");
    // A length that reaches past the end of the file.
    std::string longChunk = good;
    longChunk.replace(33, 4, Be32(0x7FFFFFF0));
    ExpectError(longChunk, invalid);
    // Cut inside the image data: the chunk reaches past the end.
    ExpectError(good.substr(0, good.size() - 20), invalid);
    // Cut inside a chunk head, or without IEND: the read runs out.
    for (size_t cut : {6u, 12u}) {
        try {
            PngDecoder d;
            PngImage image;
            Decode(d, image, good.substr(0, good.size() - cut));
            ADD_FAILURE() << "no read error for a cut of " << cut;
        } catch (const vcl::EReadError& e) {
            EXPECT_EQ(e.Message, "Stream read error");
        }
    }
}

TEST(PngDecoder, SkipsShortAncillaryChunksAndAncillaryChunksItDoesNotKnow) {
    std::mt19937 rng(5);
    PngSpec s = RandomSpec(2, 8, false, 3, 3, rng);
    const std::string good = skin_test::WritePng(s);
    auto chunks = Split(good);
    chunks.insert(chunks.begin() + 1, {"gAMA", "ab"});
    chunks.insert(chunks.begin() + 1, {"bKGD", "a"});
    chunks.insert(chunks.begin() + 1, {"tRNS", "abc"});
    chunks.insert(chunks.begin() + 1, {"teXt", "anything"});
    PngDecoder d;
    PngImage a, b;
    Decode(d, a, good);
    Decode(d, b, Join(chunks));
    EXPECT_EQ(d.TransparentKey, clNone);
    EXPECT_EQ(d.BackgroundFill, clWhite);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(a.ColorAt(x, y), b.ColorAt(x, y));
    }
}

TEST(PngDecoder, ShowsIndexesBeyondThePaletteAsBlack) {
    PngSpec s;
    s.width = 3, s.height = 1, s.colorType = 3, s.depth = 8, s.samples = {0, 1, 200};
    s.palette = {1, 2, 3, 4, 5, 6};
    std::string png = skin_test::WritePng(s);
    PngDecoder d;
    PngImage image;
    Decode(d, image, png);
    EXPECT_EQ(image.ColorAt(1, 0), RGB(4, 5, 6));
    EXPECT_EQ(image.ColorAt(2, 0), 0u);
    // Without any palette there is nothing to show.
    auto chunks = Split(png);
    chunks.erase(chunks.begin() + 1);
    ExpectError(Join(chunks), "Cannot load image. Palette missing in PNG file.");
}

TEST(PngDecoder, FillsTheBackgroundColourAndReportsProgress) {
    PngSpec s;
    s.width = 2, s.height = 2, s.colorType = 2, s.depth = 16;
    s.samples.assign(12, 0x8000);
    auto chunks = Split(skin_test::WritePng(s));
    chunks.insert(chunks.begin() + 1, {"bKGD", std::string{0, 0, char(0xFF), char(0xFF), 0, 0}});
    PngDecoder d;
    std::vector<std::string> events;
    d.OnProgress = [&](TProgressStage stage, int percent, bool, const std::string& text) {
        events.push_back(std::to_string(int(stage)) + ":" + std::to_string(percent) + text);
    };
    PngImage image;
    Decode(d, image, Join(chunks));
    EXPECT_EQ(d.BackgroundFill, RGB(0, 255, 0));
    EXPECT_EQ(image.ColorAt(0, 0), RGB(127, 127, 127));
    EXPECT_EQ(events, (std::vector<std::string>{"0:0Preparing...", "2:0", "0:0Transfering...",
                                                "1:50", "1:100", "2:0"}));
}

// The image data goes through in spans of many rows; spans of a few bytes put their ends
// everywhere: inside rows, between rows of one filter that go through together, between passes.
TEST(PngDecoder, GivesTheSameImageWhereverTheSpansOfImageDataEnd) {
    std::mt19937 rng(9);
    const std::pair<int, int> kinds[] = {{0, 1}, {0, 16}, {2, 8}, {3, 2},
                                         {3, 8}, {4, 8},  {6, 8}, {6, 16}};
    for (auto [type, depth] : kinds) {
        for (bool interlaced : {false, true}) {
            const int w = 1 + int(rng() % 40), h = 1 + int(rng() % 30);
            PngSpec s = RandomSpec(type, depth, interlaced, w, h, rng);
            // Flat stretches make the encoder pick the same filter for rows in a row.
            for (size_t i = 0; i < s.samples.size(); i += 7)
                s.samples[i] = s.samples[i / 2];
            const std::string png = skin_test::WritePng(s);
            PngDecoder whole;
            PngImage expected;
            Decode(whole, expected, png);
            for (size_t span : {1, 7, 64, 100}) {
                PngDecoder d;
                d.SpanBytes = span;
                PngImage image;
                Decode(d, image, png);
                for (int y = 0; y < image.Height(); ++y) {
                    ASSERT_EQ(std::memcmp(image.Row(y), expected.Row(y), image.Stride()), 0)
                        << "type " << type << " depth " << depth << " interlaced " << interlaced
                        << " span " << span << " row " << y;
                }
            }
        }
    }
}

TEST(PngDecoder, ChecksTheSumThatEndsTheImageDataWhereverItLies) {
    std::string raw;
    for (int y = 0; y < 3; ++y)
        raw += std::string{0, 10, 20, 30};
    auto chunks = Split(GreyWithRawRows(raw, 3, 3));
    ASSERT_EQ(chunks[1].type, "IDAT");
    chunks[1].data.back() ^= 1;
    ExpectError(Join(chunks), "Cannot load image. Compression error found in PNG file.");

    // A stream that ends a row early, over four chunks, its sum split between two of them: the
    // sum is read across the chunks before the missing row is reported.
    chunks = Split(GreyWithRawRows(raw.substr(0, 8), 3, 3));
    const std::string z = chunks[1].data;
    chunks[1].data = z.substr(0, 3);
    chunks.insert(
        chunks.begin() + 2,
        {{"IDAT", z.substr(3, z.size() - 5)}, {"IDAT", ""}, {"IDAT", z.substr(z.size() - 2)}});
    ExpectError(Join(chunks), "Cannot load image. Extra compressed data found in PNG file.");
    chunks[4].data[1] ^= 1;
    ExpectError(Join(chunks), "Cannot load image. Compression error found in PNG file.");
}

TEST(Checksums, MatchZlib) {
    std::mt19937 rng(7);
    std::vector<uint8_t> data(20000);
    for (auto& c : data)
        c = uint8_t(rng());
    for (size_t n : {0u, 1u, 15u, 16u, 17u, 5552u, 5553u, 11104u, 19999u}) {
        for (size_t at : {0u, 1u}) {
            const uint8_t* p = data.data() + at;
            EXPECT_EQ(UpdateAdler32(1, p, n), adler32(1, p, uInt(n))) << n;
            EXPECT_EQ(UpdateAdler32(UpdateAdler32(1, p, n / 3), p + n / 3, n - n / 3),
                      adler32(1, p, uInt(n)));
        }
    }
    // The largest bytes everywhere: the sums may not overflow before they are reduced.
    std::fill(data.begin(), data.end(), 0xFF);
    EXPECT_EQ(UpdateAdler32(0xFFF0FFF0, data.data(), data.size()),
              adler32(0xFFF0FFF0, data.data(), uInt(data.size())));
}

TEST(Crc32, MatchesZlib) {
    std::mt19937 rng(6);
    std::string data(4099, '\0');
    for (auto& c : data)
        c = char(rng());
    for (size_t n : {0u, 1u, 7u, 8u, 9u, 63u, 1000u, 4099u}) {
        const auto* p = reinterpret_cast<const Bytef*>(data.data());
        EXPECT_EQ(UpdateCrc32(0, p, n), crc32(0, p, uInt(n))) << n;
        // Continued over two pieces.
        EXPECT_EQ(UpdateCrc32(UpdateCrc32(0, p, n / 3), p + n / 3, n - n / 3),
                  crc32(0, p, uInt(n)));
    }
    EXPECT_EQ(UpdateCrc32(1234, nullptr, 5), 0u);
}

}  // namespace
}  // namespace skin

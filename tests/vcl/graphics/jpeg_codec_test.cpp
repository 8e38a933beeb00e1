#include "vcl/graphics/jpeg_codec.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/os/files.h"
#include "tests/support/temp_dir.h"
#include "vcl/system/exceptions.h"

namespace {

using namespace vcl;

std::vector<uint8_t> ReadData(const std::string& name) {
    auto s = os::ReadWholeFile(testing_support::TestDataDir() + "vcl/" + name);
    EXPECT_TRUE(s.has_value()) << name;
    return s ? std::vector<uint8_t>(s->begin(), s->end()) : std::vector<uint8_t>();
}

// The pixel at (x, y) is within `tol` of the colour.
void ExpectNear(const JpegPixels& p, int x, int y, int r, int g, int b, int tol = 12) {
    const uint8_t* px = p.rgb.data() + (std::size_t(y) * p.width + x) * 3;
    EXPECT_NEAR(px[0], r, tol) << x << "," << y;
    EXPECT_NEAR(px[1], g, tol) << x << "," << y;
    EXPECT_NEAR(px[2], b, tol) << x << "," << y;
}

// The test pictures were made by libjpeg's cjpeg from a 32 x 16 picture: red and blue on top,
// green and white below.
TEST(Jpeg, DecodesPicturesMadeByTheLibrarysOwnTools) {
    const JpegPixels p = DecodeJpeg(ReadData("quad.jpg"));
    ASSERT_EQ(p.width, 32);
    ASSERT_EQ(p.height, 16);
    EXPECT_FALSE(p.grayscale);
    ExpectNear(p, 3, 3, 255, 0, 0);
    ExpectNear(p, 28, 3, 0, 0, 255);
    ExpectNear(p, 3, 12, 0, 255, 0);
    ExpectNear(p, 28, 12, 255, 255, 255);

    const JpegPixels g = DecodeJpeg(ReadData("quad_grey_progressive.jpg"));
    EXPECT_TRUE(g.grayscale);
    ASSERT_EQ(g.rgb.size(), 32u * 16 * 3);
    ExpectNear(g, 28, 12, 255, 255, 255);
    const uint8_t* red = g.rgb.data() + (3 * 32 + 3) * 3;
    EXPECT_EQ(red[0], red[1]);  // grey comes out as equal components
}

TEST(Jpeg, EncodedPicturesReadBackAndToolsReadThem) {
    std::vector<uint8_t> rgb(20 * 10 * 3);
    for (int i = 0; i < 20 * 10; ++i) {
        rgb[i * 3] = 200;
        rgb[i * 3 + 1] = 100;
        rgb[i * 3 + 2] = 50;
    }
    const auto jpeg = EncodeJpeg(20, 10, rgb, 90, false);
    const JpegPixels back = DecodeJpeg(jpeg);
    EXPECT_EQ(back.width, 20);
    EXPECT_EQ(back.height, 10);
    ExpectNear(back, 10, 5, 200, 100, 50, 4);

    const JpegPixels grey = DecodeJpeg(EncodeJpeg(20, 10, rgb, 90, true));
    EXPECT_TRUE(grey.grayscale);

    // The library's own decoder reads what we wrote.
    testing_support::TempDir dir;
    testing_support::WriteFile(dir / "out.jpg", std::string(jpeg.begin(), jpeg.end()));
    const std::string cmd = "djpeg -outfile " + (dir / "out.ppm") + " " + (dir / "out.jpg");
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    auto ppm = os::ReadWholeFile(dir / "out.ppm");
    ASSERT_TRUE(ppm);
    EXPECT_EQ(ppm->rfind("P6\n20 10\n255\n", 0), 0u);
}

TEST(Jpeg, DamagedInputRaisesInsteadOfCrashing) {
    EXPECT_THROW(DecodeJpeg({}), EInvalidGraphic);
    const std::vector<uint8_t> notJpeg = {'G', 'I', 'F', '8', '9', 'a', 0, 0};
    EXPECT_THROW(DecodeJpeg(notJpeg), EInvalidGraphic);
    auto data = ReadData("quad.jpg");
    for (std::size_t cut : {std::size_t(2), std::size_t(20), data.size() / 2}) {
        std::vector<uint8_t> part(data.begin(), data.begin() + cut);
        try {
            DecodeJpeg(part);  // libjpeg may pad a short scan; it must not crash
        } catch (const EInvalidGraphic&) {}
    }
    // A header that claims a huge picture is refused before any allocation.
    auto huge = data;
    for (std::size_t i = 0; i + 8 < huge.size(); ++i)
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
            huge[i + 5] = 0xFF;  // height
            huge[i + 6] = 0xFF;
            huge[i + 7] = 0xFF;  // width
            huge[i + 8] = 0xFF;
            break;
        }
    EXPECT_THROW(DecodeJpeg(huge), EInvalidGraphic);
    EXPECT_THROW(EncodeJpeg(0, 5, {}, 90, false), EInvalidGraphic);
    EXPECT_THROW(EncodeJpeg(4, 4, std::vector<uint8_t>(10), 90, false), EInvalidGraphic);
}

}  // namespace

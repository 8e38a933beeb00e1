// The bar image: each look changes only the part the arithmetic places, and the disabled look
// is the enabled one with the background laid over it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/pixels.h"
#include "skin/windows/scroll/scroll_wnd.h"
#include "tests/skin/windows/windows_fixture.h"
#include "vcl/graphics/bitmap.h"

namespace skin::testing {
namespace {

using BitmapOwner = std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter>;

class BarImageTest : public WindowsTest {
protected:
    // A vertical bar 17 x 200 over a plain background.
    BitmapOwner Paint(const BarLooks& looks, const win::SCROLLINFO& si) {
        BitmapOwner bmp(NewBitmap24(17, 200));
        CacheInfo bg;
        bg.FillColor = kBackground;
        PaintBarImage(bmp.get(), manager.get(), true, si, 17, 17, kDefaultMinThumb, looks, bg);
        return bmp;
    }
    static uint32_t At(vcl::TBitmap* b, int x, int y) {
        const uint8_t* p = ViewOf(b).At(x, y);
        return uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16;
    }
    // The rows along the bar where the two images differ: [first, last].
    static std::pair<int, int> DifferingRows(vcl::TBitmap* a, vcl::TBitmap* b) {
        int first = -1, last = -1;
        for (int y = 0; y < a->Height(); ++y)
            for (int x = 0; x < a->Width(); ++x)
                if (At(a, x, y) != At(b, x, y)) {
                    if (first < 0) first = y;
                    last = y;
                }
        return {first, last};
    }
    static constexpr uint32_t kBackground = 0x00C08040;
    win::SCROLLINFO si{sizeof(win::SCROLLINFO), win::SIF_ALL, 0, 99, 10, 50, 0};
};

TEST_F(BarImageTest, EachLookChangesOnlyItsPart) {
    BarLooks normal;
    BitmapOwner base = Paint(normal, si);
    ThumbPlace t = CalcScrollThumbRect(0, 200, 17, si);
    struct Case {
        const char* what;
        BarLooks looks;
        int from, to;  // the rows allowed to change
    };
    BarLooks firstPressed, secondHot, thumbHot, pageBefore;
    firstPressed.First = 2;
    secondHot.Second = 1;
    thumbHot.Thumb = 1;
    pageBefore.PressedPart = spPageBefore;
    const Case cases[] = {
        {"first arrow pressed", firstPressed, 0, 16},
        {"second arrow hot", secondHot, 183, 199},
        {"thumb hot", thumbHot, t.start, t.start + t.length - 1},
        {"page before pressed", pageBefore, 17, t.start + t.length / 2 - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BitmapOwner other = Paint(c.looks, si);
        auto [first, last] = DifferingRows(base.get(), other.get());
        ASSERT_GE(first, 0) << "the look shows no change";
        EXPECT_GE(first, c.from);
        EXPECT_LE(last, c.to);
    }
}

// Behind the bar lies a plain colour, or a picture that covers only part of it (the rest takes
// the colour): the disabled bar is the enabled one with that laid over it at 60 %.
TEST_F(BarImageTest, TheDisabledBarIsTheEnabledOneUnderTheBackground) {
    BarLooks enabled, disabled;
    disabled.Enabled = false;
    // A 30 x 120 picture of stripes whose (12, 100) lies under the bar's top-left corner: it
    // covers the bar's first 18 columns and 20 rows only.
    std::vector<uint8_t> stripes(30 * 120 * 3);
    for (size_t i = 0; i < stripes.size(); ++i)
        stripes[i] = uint8_t(i * 7);
    PixelView picture{stripes.data(), 30 * 3, 30, 120, 3};
    CacheInfo plain, pictured;
    plain.FillColor = pictured.FillColor = kBackground;
    pictured.Bmp = &picture;
    pictured.Ready = true;
    pictured.X = 12;
    pictured.Y = 100;
    ThumbPlace t = CalcScrollThumbRect(0, 200, 17, si);
    for (const CacheInfo* bg : {&plain, &pictured}) {
        SCOPED_TRACE(bg == &plain ? "colour" : "picture");
        BitmapOwner on(NewBitmap24(17, 200)), off(NewBitmap24(17, 200));
        PaintBarImage(on.get(), manager.get(), true, si, 17, 17, kDefaultMinThumb, enabled, *bg);
        PaintBarImage(off.get(), manager.get(), true, si, 17, 17, kDefaultMinThumb, disabled, *bg);
        for (int y = 0; y < 200; ++y) {
            if (y >= t.start && y < t.start + t.length) continue;  // no thumb when disabled
            for (int x = 0; x < 17; ++x) {
                uint32_t behind = kBackground;
                if (bg->Bmp && picture.Contains(x + bg->X, y + bg->Y)) {
                    const uint8_t* p = picture.At(x + bg->X, y + bg->Y);
                    behind = uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16;
                }
                uint32_t a = At(on.get(), x, y), b = At(off.get(), x, y);
                for (int shift : {0, 8, 16}) {
                    int want =
                        int(((a >> shift) & 0xFF) * 40 + ((behind >> shift) & 0xFF) * 60 + 50) /
                        100;
                    ASSERT_LE(std::abs(int((b >> shift) & 0xFF) - want), 1) << x << "," << y;
                }
            }
        }
    }
}

}  // namespace
}  // namespace skin::testing

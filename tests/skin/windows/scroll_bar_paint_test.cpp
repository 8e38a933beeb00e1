// The bar image: each look changes only the part the arithmetic places, and the disabled look
// is the enabled one with the background laid over it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

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

TEST_F(BarImageTest, TheDisabledBarIsTheEnabledOneUnderTheBackground) {
    BarLooks enabled, disabled;
    disabled.Enabled = false;
    win::SCROLLINFO noThumb = si;
    BitmapOwner on = Paint(enabled, noThumb);
    BitmapOwner off = Paint(disabled, noThumb);
    ThumbPlace t = CalcScrollThumbRect(0, 200, 17, si);
    for (int y = 0; y < 200; ++y) {
        if (y >= t.start && y < t.start + t.length) continue;  // no thumb when disabled
        for (int x = 0; x < 17; ++x) {
            uint32_t a = At(on.get(), x, y), b = At(off.get(), x, y);
            for (int shift : {0, 8, 16}) {
                int want = int(((a >> shift) & 0xFF) * 40 + ((kBackground >> shift) & 0xFF) * 60 + 50) / 100;
                ASSERT_LE(std::abs(int((b >> shift) & 0xFF) - want), 1) << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace skin::testing

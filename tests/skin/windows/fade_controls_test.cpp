// Whole cross-fades of a skinned check box and bit button on the fake clock: the mouse enters,
// every tick shows the blend of the old and the new look on the screen, the last frame is the
// new look itself, and the fade's timer is gone after the tick that ends it.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <functional>

#include "skin/controls/buttons.h"
#include "skin/controls/check_box.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/common_data.h"
#include "skin/windows/effects/fade_timers.h"
#include "tests/skin/windows/windows_fixture.h"
#include "vcl/graphics/bitmap.h"

namespace skin::testing {
namespace {

using Rgb = std::array<int, 3>;

class FadeControls : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        InitFades();
        manager->SetAllowGlowing(false);  // no halo over the probed pixels
        WindowSlots().IsAnimEventAllowed = [](TacAnimatEvent, TacAnimatEvents, TsSkinManager*) {
            return true;
        };
        form->Show();
    }
    void TearDown() override {
        WindowsTest::TearDown();
        ResetWindowServices();
    }
    static Rgb Screen(vcl::TWinControl* c, int x, int y) {
        const win::COLORREF p = WindowPixel(c->Handle(), x, y);
        return {int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF)};
    }
    static Rgb Cached(TsCommonData* d, int x, int y) {
        const uint8_t* p = ViewOf(d->CacheBmp()).At(x, y);
        return {p[0], p[1], p[2]};
    }
};

TEST_F(FadeControls, MouseEnterFadesTheWholeWayOnTheScreen) {
    struct Case {
        const char* what;
        std::function<vcl::TWinControl*(vcl::TForm*)> make;
        std::function<TsCommonData*(vcl::TWinControl*)> data;
    } cases[] = {
        {"check box",
         [](vcl::TForm* f) {
             auto* c = Place<TsCheckBox>(f, vcl::Bounds(10, 10, 100, 30));
             c->SetCaption("Fade");
             return c;
         },
         [](vcl::TWinControl* c) { return static_cast<TsCheckBox*>(c)->SkinData(); }},
        {"bit button",
         [](vcl::TForm* f) {
             auto* b = Place<TsBitBtn>(f, vcl::Bounds(10, 10, 100, 30));
             b->SetCaption("Fade");
             return b;
         },
         [](vcl::TWinControl* c) { return static_cast<TsBitBtn*>(c)->SkinData(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        vcl::TWinControl* control = c.make(form);
        Pump();
        TsCommonData* d = c.data(control);
        const int w = control->Width(), h = control->Height();
        std::vector<Rgb> before;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                before.push_back(Screen(control, x, y));

        control->Perform(vcl::CM_MOUSEENTER, 0, 0);
        ASSERT_EQ(LiveEffectTimers, 1);
        // The cache holds the new look now; the probe is where it differs most from the old.
        int px = 0, py = 0, most = -1;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Rgb o = before[size_t(y * w + x)], n = Cached(d, x, y);
                const int diff =
                    std::abs(o[0] - n[0]) + std::abs(o[1] - n[1]) + std::abs(o[2] - n[2]);
                if (diff > most) most = diff, px = x, py = y;
            }
        ASSERT_GT(most, 30) << "the hot look differs from the normal one";
        const Rgb oldPx = before[size_t(py * w + px)], newPx = Cached(d, px, py);
        const int steps = d->Section()->FadingIterations;
        ASSERT_GT(steps, 1);
        for (int step = 1; step <= steps; ++step) {
            SCOPED_TRACE(step);
            clock_.Advance(10);
            Pump();
            const int a = std::clamp(255 - step * 256 / steps, 0, 255);
            Rgb expect;
            for (int k = 0; k < 3; ++k)
                expect[size_t(k)] =
                    (newPx[size_t(k)] * (255 - a) + oldPx[size_t(k)] * a + 127) >> 8;
            if (step == steps) expect = newPx;  // the last frame is the new look exactly
            EXPECT_EQ(Screen(control, px, py), expect);
            EXPECT_EQ(LiveEffectTimers, 1);
        }
        clock_.Advance(10);
        Pump();
        EXPECT_EQ(LiveEffectTimers, 0) << "the tick after the last frame ends the fade";
        EXPECT_EQ(Screen(control, px, py), newPx);
        control->Free();
        Pump();
    }
}

}  // namespace
}  // namespace skin::testing

// Cross-fades of real skinned buttons on the fake clock: how many ticks a fade lasts, that its
// timer is freed once it ends (also when cut short), and what its frames show.
#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "skin/controls/buttons.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_commands.h"
#include "platform/gdi/dc.h"
#include "skin/windows/effects/fade_timers.h"
#include "tests/skin/windows/windows_fixture.h"
#include "vcl/graphics/bitmap.h"

namespace skin::testing {
namespace {

class Fade : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        InitFades();
        form->Show();
    }
    void TearDown() override {
        WindowsTest::TearDown();
        ResetWindowServices();
        StopEffects = false;
    }
    template <typename T>
    T* Button() {
        auto* b = Place<T>(form, vcl::Bounds(10, 10, 80, 24));
        b->SetCaption("Fade");
        Pump();
        return b;
    }
    // One timer interval passes; answers whether a fade timer still lives.
    bool Tick() {
        clock_.Advance(10);
        Pump();
        return LiveEffectTimers > 0;
    }
    // Ticks until every fade timer is gone (at most `limit`); answers how many it took.
    int TicksToEnd(int limit = 50) {
        int n = 1;
        while (Tick() && n < limit) ++n;
        return n;
    }
};

TEST_F(Fade, AFastFadeTakesHalfTheSkinsSteps) {
    auto* b = Button<TsBitBtn>();
    ASSERT_EQ(b->SkinData()->Section()->FadingIterations, 5);
    for (bool fast : {false, true}) {
        FadePtr fade;
        b->SkinData()->CacheStale = false;
        ChangeStateAnimated(fade, b->SkinData(), fast, 1, true);
        ASSERT_TRUE(fade && fade->Running());
        EXPECT_EQ(static_cast<TsFadeTimer*>(fade.get())->StepCount, fast ? 2 : 5);
        StopControlFade(fade);
        EXPECT_EQ(LiveEffectTimers, 0);
    }
}

TEST_F(Fade, AButtonsOwnFadeEndsWithCommand16EvenWhenCutShort) {
    struct Case {
        const char* what;
        std::function<void(TsBitBtn*)> cut;  // done after the first frame
        int ticks;
    } cases[] = {
        {"runs out", nullptr, 6},
        {"effects stopped", [](TsBitBtn*) { StopEffects = true; }, 2},
        {"control disabled", [](TsBitBtn* b) { b->SetEnabled(false); }, 2},
    };
    WindowSlots().IsAnimEventAllowed = [](TacAnimatEvent, TacAnimatEvents, TsSkinManager*) {
        return true;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* b = Button<TsBitBtn>();
        b->Perform(vcl::CM_MOUSEENTER, 0, 0);
        ASSERT_EQ(LiveEffectTimers, 1);
        int ticks = 1;
        Tick();
        if (c.cut) c.cut(b);
        ticks += TicksToEnd();
        EXPECT_EQ(ticks, c.ticks);
        EXPECT_EQ(LiveEffectTimers, 0) << "the session's end would wait for it";
        StopEffects = false;
        b->Free();
        Pump();
    }
}

TEST_F(Fade, FramesGoFromTheOldPictureToExactlyTheNewOne) {
    auto* b = Button<TsBitBtn>();
    TsCommonData* d = b->SkinData();
    vcl::TBitmap* cache = d->CacheBmp();
    ASSERT_NE(cache, nullptr);
    // The old look, red all over; the fade rebuilds the cache into the button's real look.
    cache->Canvas()->Brush()->SetColor(vcl::clRed);
    cache->Canvas()->FillRect(vcl::Rect(0, 0, cache->Width(), cache->Height()));
    d->CacheStale = false;
    FadePtr fade;
    StartControlFade(fade, d, false, 1);
    auto* timer = static_cast<TsFadeTimer*>(fade.get());
    const auto px = [](vcl::TBitmap* bmp) {
        const uint8_t* p = ViewOf(bmp).At(40, 3);
        return std::array<int, 3>{p[0], p[1], p[2]};
    };
    const std::array<int, 3> red{0, 0, 255}, now = px(d->CacheBmp());
    ASSERT_NE(now, red);
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> shot(NewBitmap24(80, 24));
    int painted = 0;
    b->WindowProc = vcl::TWndMethod::FromCallable(
        [&, own = b->WindowProc](vcl::TMessage& m) {
            // The button paints the frame itself: the frame it gets is kept.
            if (m.Msg == SM_ALPHACMD && SkinCommandCode(m.WParam) == SKC_PAINTTOBITMAP) {
                auto* frame = reinterpret_cast<vcl::TBitmap*>(m.LParam);
                win::BitBlt(shot->Canvas()->Handle(), 0, 0, 80, 24, frame->Canvas()->Handle(),
                            0, 0, win::SRCCOPY);
                ++painted;
                m.Result = 1;
                return;
            }
            own(m);
        });
    timer->DrawFrame();
    const std::array<int, 3> first = px(shot.get());
    EXPECT_GT(first[2], now[2]) << "the first frame is mostly the old picture";
    while (timer->CurrentStep <= timer->StepCount) timer->DrawFrame();
    EXPECT_EQ(px(shot.get()), now) << "the last frame is the new picture alone";
    EXPECT_EQ(painted, 5);
    StopControlFade(fade);
}

TEST_F(Fade, GlobalDefaultDefersToTheManagersEvents) {
    manager->AnimEffects()->Buttons.Events = {beMouseEnter, beMouseUp};
    const TacAnimatEvents own{aeMouseLeave}, deferring{aeGlobalDef};
    struct Case {
        TacAnimatEvent event;
        TacAnimatEvents events;
        bool allowed;
    } cases[] = {
        {aeMouseLeave, own, true},       {aeMouseEnter, own, false},
        {aeMouseEnter, deferring, true}, {aeMouseLeave, deferring, false},
        {aeGlobalDef, deferring, true},  // maps onto the manager's mouse-up
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsAnimEventAllowed(c.event, c.events, nullptr), c.allowed) << int(c.event);
    }
}

}  // namespace
}  // namespace skin::testing

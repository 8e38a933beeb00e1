// Cross-fades of real skinned buttons on the fake clock: how many ticks a fade lasts, that its
// timer is freed once it ends (also when cut short), and what its frames show.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

#include "skin/controls/buttons.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/engine_state.h"
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
        SkinChanging = 0;
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

// Fades kept after their control has gone end their timers at the next tick.
TEST_F(Fade, AFadeWithoutItsControlEndsItsTimer) {
    TsCommonData data(nullptr, true);
    TsFadeTimer fade(&data);
    TsAnimTimer anim(&data);
    fade.Mode = 1;
    TsEffectTimer* const timers[] = {&fade, &anim};
    for (TsEffectTimer* timer : timers) {
        timer->StepCount = 5, timer->CurrentStep = 1;
        timer->SetEnabled(true);
    }
    Tick();
    EXPECT_FALSE(fade.Enabled());
    EXPECT_FALSE(anim.Enabled());
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
    std::vector<std::array<int, 3>> frames;
    int stops = 0;
    b->WindowProc = vcl::TWndMethod::FromCallable(
        [&, own = b->WindowProc](vcl::TMessage& m) {
            // The button paints the frame itself: the frame it gets is kept.
            if (m.Msg == SM_ALPHACMD && SkinCommandCode(m.WParam) == SKC_PAINTTOBITMAP) {
                auto* frame = reinterpret_cast<vcl::TBitmap*>(m.LParam);
                win::BitBlt(shot->Canvas()->Handle(), 0, 0, 80, 24, frame->Canvas()->Handle(),
                            0, 0, win::SRCCOPY);
                frames.push_back(px(shot.get()));
                m.Result = 1;
                return;
            }
            if (m.Msg == SM_ALPHACMD && SkinCommandCode(m.WParam) == SKC_STOPFADE) ++stops;
            own(m);
        });
    const win::COLORREF onScreen = WindowPixel(b->Handle(), 40, 3);
    while (timer->CurrentStep <= timer->StepCount) timer->DrawFrame();
    // The old picture's weight per step of five: 255 - step * 256 / 5; the last frame, of
    // weight 0, is the new picture itself rather than the blend's rounding of it.
    const int weights[] = {204, 153, 102, 51, 0};
    ASSERT_EQ(frames.size(), std::size(weights));
    for (size_t k = 0; k + 1 < frames.size(); ++k) {
        SCOPED_TRACE(k);
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(frames[k][c], (now[c] * (255 - weights[k]) + red[c] * weights[k] + 127) >> 8);
    }
    EXPECT_EQ(frames.back(), now) << "the last frame is the new picture alone";
    EXPECT_EQ(WindowPixel(b->Handle(), 40, 3), onScreen) << "a control painting its frames "
                                                            "gets no copy on its window";
    // The tick after the last frame ends the fade.
    clock_.Advance(10);
    Pump();
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(frames.size(), std::size(weights));
    StopControlFade(fade);
}

TEST_F(Fade, ARestartReusesTheTimerAndTheFlagsKeepFadesAway) {
    auto* b = Button<TsBitBtn>();
    TsCommonData* d = b->SkinData();
    FadePtr fade;
    d->CacheStale = false;
    ChangeStateAnimated(fade, d, false, 1, true);
    auto* timer = dynamic_cast<TsFadeTimer*>(fade.get());
    ASSERT_NE(timer, nullptr);
    timer->DrawFrame();
    timer->DrawFrame();
    // Mid-fade the state changes again: the same timer starts over from the picture shown.
    d->CacheStale = false;
    ChangeStateAnimated(fade, d, false, 1, true);
    EXPECT_EQ(fade.get(), timer);
    EXPECT_EQ(LiveEffectTimers, 1);
    EXPECT_EQ(timer->CurrentStep, 1);
    EXPECT_EQ(timer->StepCount, 5);
    StopControlFade(fade);

    const struct {
        const char* what;
        uint8_t* flag;
    } flags[] = {{"skin changing", &SkinChanging}, {"effects stopped", nullptr}};
    for (const auto& f : flags) {
        SCOPED_TRACE(f.what);
        d->CacheStale = false;
        ChangeStateAnimated(fade, d, false, 1, true);
        ASSERT_TRUE(fade);
        if (f.flag)
            *f.flag = 1;
        else
            StopEffects = true;
        // A running fade is stopped and none starts; the control shows its new look at once.
        d->CacheStale = false;
        ChangeStateAnimated(fade, d, false, 2, true);
        EXPECT_FALSE(fade);
        EXPECT_EQ(LiveEffectTimers, 0);
        SkinChanging = 0;
        StopEffects = false;
    }
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

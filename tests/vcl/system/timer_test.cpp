#include "vcl/system/timer.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/vcl/gui_fixture.h"
#include "vcl/system/exceptions.h"

namespace vcl::testing {
namespace {

class TimerTest : public GuiTest {
protected:
    // Lets `ms` pass on the fake clock and handles what became due.
    void Let(uint32_t ms) {
        clock_.Advance(ms);
        Pump();
    }
    int ticks = 0;
    TNotifyEvent Count() {
        return TNotifyEvent::FromCallable([this](TObject*) { ++ticks; });
    }
};

TEST_F(TimerTest, TicksEveryIntervalWhileEnabledWithoutPilingUp) {
    auto* t = New<TTimer>(nullptr);
    EXPECT_TRUE(t->Enabled());
    EXPECT_EQ(t->Interval(), 1000u);
    t->OnTimer = Count();
    t->SetInterval(100);
    Let(99);
    EXPECT_EQ(ticks, 0);
    Let(1);
    EXPECT_EQ(ticks, 1);
    Let(100);
    EXPECT_EQ(ticks, 2);
    Let(450);  // late: one tick, not four
    EXPECT_EQ(ticks, 3);
    Let(99);
    EXPECT_EQ(ticks, 3);

    t->SetEnabled(false);
    Let(1000);
    EXPECT_EQ(ticks, 3);
    t->SetEnabled(true);  // starts over: a whole interval from now
    Let(60);
    t->SetInterval(200);  // so does a new interval
    Let(150);
    EXPECT_EQ(ticks, 3);
    Let(50);
    EXPECT_EQ(ticks, 4);
    t->SetInterval(0);
    Let(1000);
    EXPECT_EQ(ticks, 4);
    SetOrdProp(t, "Interval", 10);
    Let(10);
    EXPECT_EQ(ticks, 5);
    t->Free();
    Let(1000);  // a freed timer is gone for good
    EXPECT_EQ(ticks, 5);
}

TEST_F(TimerTest, TimersRunInsideModalLoopsAndHandTheirErrorsToTheApplication) {
    TForm* form = nullptr;
    Application()->CreateForm(form);
    auto* t = New<TTimer>(form);  // owned by the form, freed with it
    t->SetInterval(50);
    std::string error;
    Application()->OnException =
        TExceptionEvent::FromCallable([&](TObject*, const std::exception& e) { error = e.what(); });
    t->OnTimer = TNotifyEvent::FromCallable([&](TObject*) {
        if (++ticks == 3) form->SetModalResult(mrOk);  // the loop sleeps on the fake clock
        if (ticks == 2) throw EInvalidOperation("tick failed");
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(error, "tick failed");
}

}  // namespace
}  // namespace vcl::testing

#include "skin/core/state/threaded_timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "platform/os/clock.h"
#include "platform/user/user.h"
#include "vcl/controls/forms.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/window_exceptions.h"

namespace skin {
namespace {

using namespace std::chrono_literals;

class ThreadedTimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        win::ResetWindowing();
        // The application installs its own wake and error handler: ours go in after it.
        vcl::Application();
        vcl::SetWakeMainThread([this] { ++queued; });
    }
    void TearDown() override {
        vcl::SetWakeMainThread(nullptr);
        vcl::SetWindowExceptionHandler(nullptr);
        vcl::DoneApplication();
        win::ResetWindowing();
    }

    // Lets virtual time pass a millisecond at a time and runs the ticks the worker queues,
    // until `done` holds or a real-time bound (a failure, not a measurement) passes.
    bool RunUntil(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            clock.Advance(1);
            vcl::CheckSynchronize();
            std::this_thread::sleep_for(200us);
        }
        return true;
    }
    // Lets `ms` of virtual time pass, giving the worker real time to notice each millisecond.
    void Idle(int ms) {
        for (int i = 0; i < ms; ++i) {
            clock.Advance(1);
            std::this_thread::sleep_for(300us);
            vcl::CheckSynchronize();
        }
    }

    TacThreadedTimer* Counting(uint32_t interval) {
        auto* t = new TacThreadedTimer(nullptr);
        t->SetInterval(interval);
        t->SetOnTimer(vcl::TNotifyEvent::FromCallable([this](vcl::TObject*) { ++ticks; }));
        return t;
    }

    os::FakeClock clock;
    os::ScopedClock scoped{clock};
    std::atomic<int> queued{0};
    int ticks = 0;
};

TEST_F(ThreadedTimerTest, DefaultsAndNoTicksWithoutAHandler) {
    std::unique_ptr<TacThreadedTimer, vcl::FreeDeleter> t(new TacThreadedTimer(nullptr));
    EXPECT_TRUE(t->Enabled());
    EXPECT_EQ(t->Interval(), 1000u);
    EXPECT_EQ(t->ThreadPriority(), vcl::TThreadPriority::tpNormal);
    EXPECT_TRUE(t->HasWorker());
    t->SetInterval(5);
    EXPECT_FALSE(t->Ticking());
    Idle(40);
    EXPECT_EQ(queued, 0);
    // A handler starts the ticks.
    t->SetOnTimer(vcl::TNotifyEvent::FromCallable([this](vcl::TObject* sender) {
        EXPECT_TRUE(vcl::IsMainThread());
        EXPECT_NE(sender, nullptr);
        ++ticks;
    }));
    EXPECT_TRUE(t->Ticking());
    EXPECT_TRUE(RunUntil([&] { return ticks >= 3; }));
}

TEST_F(ThreadedTimerTest, IntervalZeroAndDisablingPauseTheWorkerAndSettingThemBackResumes) {
    std::unique_ptr<TacThreadedTimer, vcl::FreeDeleter> t(new TacThreadedTimer(nullptr));
    t->SetInterval(10);
    t->SetOnTimer(vcl::TNotifyEvent::FromCallable([this](vcl::TObject*) { ++ticks; }));
    ASSERT_TRUE(RunUntil([&] { return ticks >= 2; }));

    t->SetEnabled(false);
    EXPECT_FALSE(t->Ticking());
    Idle(5);  // a tick queued before the pause is dropped
    const int paused = ticks;
    Idle(60);
    EXPECT_EQ(ticks, paused);
    t->SetEnabled(true);
    ASSERT_TRUE(RunUntil([&] { return ticks >= paused + 2; }));

    t->SetInterval(0);
    EXPECT_FALSE(t->Ticking());
    Idle(5);
    const int stopped = ticks;
    Idle(60);
    EXPECT_EQ(ticks, stopped);
    t->SetInterval(10);
    EXPECT_TRUE(RunUntil([&] { return ticks >= stopped + 2; }));

    // OnTimer nil with Interval 65535 is the hide timer's way of stopping it.
    t->SetInterval(65535);
    t->SetOnTimer({});
    EXPECT_FALSE(t->Ticking());
}

TEST_F(ThreadedTimerTest, DestroyingEndsAWaitingWorkerAndDropsAQueuedTick) {
    // Waiting on a long interval: the destructor wakes the worker and returns.
    auto* t = new TacThreadedTimer(nullptr);
    t->SetInterval(1000000);
    t->SetOnTimer(vcl::TNotifyEvent::FromCallable([this](vcl::TObject*) { ++ticks; }));
    Idle(3);
    t->Free();

    // A tick already queued for the GUI thread when the timer goes is not run.
    t = new TacThreadedTimer(nullptr);
    t->SetInterval(10);
    t->SetOnTimer(vcl::TNotifyEvent::FromCallable([this](vcl::TObject*) { ++ticks; }));
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (queued == 0 && std::chrono::steady_clock::now() < deadline) {
        clock.Advance(1);
        std::this_thread::sleep_for(200us);
    }
    ASSERT_EQ(queued, 1);
    t->Free();
    EXPECT_EQ(ticks, 0);
    EXPECT_FALSE(vcl::CheckSynchronize());
}

TEST_F(ThreadedTimerTest, ATickMayDestroyItsOwnTimer) {
    TacThreadedTimer* t = new TacThreadedTimer(nullptr);
    t->SetInterval(10);
    t->SetOnTimer(vcl::TNotifyEvent::FromCallable([&](vcl::TObject* sender) {
        ++ticks;
        static_cast<TacThreadedTimer*>(sender)->Free();
        t = nullptr;
    }));
    ASSERT_TRUE(RunUntil([&] { return t == nullptr; }));
    Idle(30);
    EXPECT_EQ(ticks, 1);
}

TEST_F(ThreadedTimerTest, ATerminatingApplicationGetsNoWorkerAndEndsARunningOne) {
    std::unique_ptr<TacThreadedTimer, vcl::FreeDeleter> running(Counting(10));
    ASSERT_TRUE(RunUntil([&] { return ticks >= 1; }));
    vcl::Application()->Terminate();

    std::unique_ptr<TacThreadedTimer, vcl::FreeDeleter> late(new TacThreadedTimer(nullptr));
    EXPECT_FALSE(late->HasWorker());
    EXPECT_FALSE(late->Enabled());
    EXPECT_EQ(late->Interval(), 0u);
    late->SetInterval(10);
    late->SetEnabled(true);
    late->SetOnTimer(vcl::TNotifyEvent::FromCallable([this](vcl::TObject*) { ++ticks; }));
    EXPECT_EQ(late->Interval(), 10u);
    EXPECT_FALSE(late->Ticking());

    const int before = ticks;
    Idle(60);
    EXPECT_EQ(ticks, before);
}

TEST_F(ThreadedTimerTest, AFailingTickGoesToTheHandlerAndTheTicksGoOn) {
    static int errors = 0;
    errors = 0;
    vcl::SetWindowExceptionHandler([](std::exception_ptr) { ++errors; });
    std::unique_ptr<TacThreadedTimer, vcl::FreeDeleter> t(new TacThreadedTimer(nullptr));
    t->SetInterval(10);
    t->SetOnTimer(vcl::TNotifyEvent::FromCallable([this](vcl::TObject*) {
        ++ticks;
        throw vcl::Exception("tick failed");
    }));
    EXPECT_TRUE(RunUntil([&] { return ticks >= 3; }));
    EXPECT_EQ(errors, ticks);
}

}  // namespace
}  // namespace skin

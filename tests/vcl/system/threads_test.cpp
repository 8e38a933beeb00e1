#include "vcl/system/threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>

#include "vcl/system/exceptions.h"

namespace {

using namespace std::chrono_literals;

class Counter : public vcl::TThread {
public:
    explicit Counter(bool suspended) : TThread(suspended) {}
    ~Counter() override { TerminateAndWait(); }
    std::atomic<int> turns{0};

protected:
    void Execute() override {
        while (!Terminated()) {
            ++turns;
            std::this_thread::sleep_for(1ms);
        }
        ReturnValue = 7;
    }
};

TEST(TThread, SuspendedUntilStartedThenTerminatedAndWaitedFor) {
    Counter t(true);
    std::this_thread::sleep_for(5ms);
    EXPECT_EQ(t.turns, 0);
    EXPECT_TRUE(t.Suspended());
    t.SetPriority(vcl::TThreadPriority::tpLower);
    t.Start();
    EXPECT_THROW(t.Start(), vcl::EThread);
    while (t.turns < 3)
        std::this_thread::sleep_for(1ms);
    t.Terminate();
    EXPECT_EQ(t.WaitFor(), 7);
    EXPECT_TRUE(t.Finished());
}

class Syncer : public vcl::TThread {
public:
    // Created suspended and started once whole: a thread started from the base constructor
    // could reach Execute before this class exists.
    Syncer() : TThread(true) {}
    ~Syncer() override { TerminateAndWait(); }
    std::atomic<bool> ranOnMain{false};
    std::atomic<bool> caught{false};

protected:
    void Execute() override {
        Synchronize([this] { ranOnMain = vcl::IsMainThread(); });
        try {
            Synchronize([] { throw vcl::EInvalidOperation("boom"); });
        } catch (const vcl::EInvalidOperation&) {
            caught = true;
        }
    }
};

TEST(TThread, SynchronizeRunsOnTheMainThreadAndCarriesExceptions) {
    ASSERT_TRUE(vcl::IsMainThread());
    std::atomic<int> wakes{0};
    vcl::SetWakeMainThread([&] { ++wakes; });
    Syncer t;
    t.Start();
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!t.Finished() && std::chrono::steady_clock::now() < deadline) {
        vcl::CheckSynchronize();
        std::this_thread::sleep_for(1ms);
    }
    t.WaitFor();
    vcl::SetWakeMainThread(nullptr);
    EXPECT_TRUE(t.ranOnMain);
    EXPECT_TRUE(t.caught);
    EXPECT_EQ(wakes, 2);
}

TEST(TThreadList, LockedAccess) {
    vcl::TThreadList<int> list;
    list.Add(1);
    list.Add(2);
    {
        auto l = list.LockList();
        EXPECT_EQ(l->size(), 2u);
        l->pop_front();
    }
    EXPECT_EQ(list.Count(), 1u);
}

}  // namespace

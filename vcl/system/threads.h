// TThread and TThreadList: the class library's threads.
//
// A thread is created running or suspended; its body is Execute, which polls Terminated.
// Synchronize runs a call on the GUI (main) thread: the caller waits until the main thread
// reaches CheckSynchronize, which the application's message loop calls; WakeMainThread, when
// set, is called to nudge that loop.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace vcl {

enum class TThreadPriority {
    tpIdle,
    tpLowest,
    tpLower,
    tpNormal,
    tpHigher,
    tpHighest,
    tpTimeCritical
};

class TThread {
public:
    explicit TThread(bool createSuspended);
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();  // starts a suspended thread; once only
    void Resume() { Start(); }
    void Terminate() { terminated_ = true; }
    int WaitFor();  // waits until Execute has returned; gives ReturnValue
    bool Finished() const { return finished_; }
    bool Suspended() const { return !started_; }

    TThreadPriority Priority() const { return priority_; }
    void SetPriority(TThreadPriority p);  // before Start; only lowering takes effect

    bool FreeOnTerminate = false;
    std::thread::id ThreadID() const { return id_; }

    // Runs `call` on the main thread and returns when it has run. From the main thread it runs
    // at once. An exception of the call is raised again in the caller.
    static void Synchronize(const std::function<void()>& call);

protected:
    virtual void Execute() = 0;
    bool Terminated() const { return terminated_; }
    int ReturnValue = 0;

    // Derived classes whose Execute uses their own members stop the thread in their destructor
    // with this, before those members go away.
    void TerminateAndWait();

private:
    void Run();

    std::thread thread_;
    std::thread::id id_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    bool started_ = false;
    std::atomic<TThreadPriority> priority_{TThreadPriority::tpNormal};
    std::mutex doneLock_;
    std::condition_variable done_;
};

// The id of the main (GUI) thread: the thread that first used the class library.
std::thread::id MainThreadID();
bool IsMainThread();

// Runs the calls that other threads queued with Synchronize; true when any ran.
bool CheckSynchronize();
// Called (from any thread) when a call was queued, so the main loop can wake up.
void SetWakeMainThread(std::function<void()> wake);

// A list guarded by a lock. LockList gives access while the returned guard lives.
template <typename T>
class TThreadList {
public:
    class Locked {
    public:
        Locked(std::mutex& m, std::deque<T>& items) : lock_(m), items_(items) {}
        std::deque<T>* operator->() { return &items_; }
        std::deque<T>& operator*() { return items_; }

    private:
        std::unique_lock<std::mutex> lock_;
        std::deque<T>& items_;
    };

    Locked LockList() { return Locked(lock_, items_); }
    void Add(T item) {
        std::lock_guard g(lock_);
        items_.push_back(std::move(item));
    }
    void Clear() {
        std::lock_guard g(lock_);
        items_.clear();
    }
    std::size_t Count() {
        std::lock_guard g(lock_);
        return items_.size();
    }

private:
    std::mutex lock_;
    std::deque<T> items_;
};

}  // namespace vcl

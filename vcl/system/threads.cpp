#include "vcl/system/threads.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <exception>

#include "vcl/system/exceptions.h"

namespace vcl {

namespace {

const std::thread::id gMainThread = std::this_thread::get_id();

struct SyncCall {
    const std::function<void()>* call;
    std::exception_ptr error;
    bool done = false;
};

std::mutex gSyncLock;
std::condition_variable gSyncDone;
std::deque<SyncCall*> gSyncQueue;
std::function<void()> gWake;

int NiceFor(TThreadPriority p) {
    switch (p) {
        case TThreadPriority::tpIdle:
            return 19;
        case TThreadPriority::tpLowest:
            return 10;
        case TThreadPriority::tpLower:
            return 5;
        default:
            return 0;
    }
}

}  // namespace

std::thread::id MainThreadID() {
    return gMainThread;
}
bool IsMainThread() {
    return std::this_thread::get_id() == gMainThread;
}

void SetWakeMainThread(std::function<void()> wake) {
    std::lock_guard g(gSyncLock);
    gWake = std::move(wake);
}

bool CheckSynchronize() {
    bool any = false;
    for (;;) {
        SyncCall* c;
        {
            std::lock_guard g(gSyncLock);
            if (gSyncQueue.empty()) break;
            c = gSyncQueue.front();
            gSyncQueue.pop_front();
        }
        try {
            (*c->call)();
        } catch (...) {
            c->error = std::current_exception();
        }
        {
            std::lock_guard g(gSyncLock);
            c->done = true;
        }
        gSyncDone.notify_all();
        any = true;
    }
    return any;
}

void TThread::Synchronize(const std::function<void()>& call) {
    if (IsMainThread()) {
        call();
        return;
    }
    SyncCall c{&call, nullptr, false};
    std::function<void()> wake;
    {
        std::lock_guard g(gSyncLock);
        gSyncQueue.push_back(&c);
        wake = gWake;
    }
    if (wake) wake();
    std::unique_lock l(gSyncLock);
    gSyncDone.wait(l, [&] { return c.done; });
    if (c.error) std::rethrow_exception(c.error);
}

TThread::TThread(bool createSuspended) {
    if (!createSuspended) Start();
}

TThread::~TThread() {
    // Safety net only: a derived class must already have stopped a thread that uses its members.
    if (thread_.joinable()) {
        Terminate();
        if (thread_.get_id() == std::this_thread::get_id())
            thread_.detach();
        else
            thread_.join();
    }
}

void TThread::Start() {
    if (started_) throw EThread("Cannot call Start on a running or suspended thread");
    started_ = true;
    thread_ = std::thread([this] { Run(); });
    id_ = thread_.get_id();
}

void TThread::Run() {
    if (const int nice = NiceFor(priority_))
        setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), nice);
    try {
        Execute();
    } catch (...) {
        // An exception must not end the process; the class library keeps it as FatalException.
    }
    {
        std::lock_guard g(doneLock_);
        finished_ = true;
    }
    done_.notify_all();
    if (FreeOnTerminate) {
        thread_.detach();
        delete this;
    }
}

// Linux sets the niceness per thread from inside it, so a new priority is applied when the
// thread starts: the log thread, the one user, sets it while still suspended.
void TThread::SetPriority(TThreadPriority p) {
    priority_ = p;
}

int TThread::WaitFor() {
    if (!started_) return ReturnValue;
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) {
        std::unique_lock l(doneLock_);
        done_.wait(l, [&] { return finished_.load(); });
        l.unlock();
        thread_.join();
    }
    return ReturnValue;
}

void TThread::TerminateAndWait() {
    Terminate();
    WaitFor();
}

}  // namespace vcl

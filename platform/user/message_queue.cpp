// The GUI thread's message queue, the calls other threads queue for it, and the wait for work.
#include "platform/user/message_queue.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/os/clock.h"
#include "platform/user/gui_thread.h"
#include "platform/user/input.h"
#include "platform/user/internal.h"
#include "platform/user/painting.h"
#include "platform/user/timers.h"
#include "platform/user/window_store.h"

namespace win {
namespace {

// Everything other threads touch sits behind one lock.
struct SharedQueue {
    std::mutex lock;
    std::deque<MSG> posted;
    std::deque<std::function<void()>> calls;
    bool quit = false;
    int quitCode = 0;
};

SharedQueue& Shared() {
    static SharedQueue q;
    return q;
}

std::mutex guiLock;
std::thread::id guiThread;
bool guiBound = false;

// The built-in wait: a condition variable for the real clock; with a test clock, time passes by
// sleeping on that clock, so timers come due without real waiting.
class DefaultEventSource : public EventSource {
public:
    void Wait(uint32_t timeoutMs) override {
        if (&os::CurrentClock() != &os::SystemClock()) {
            std::this_thread::yield();
            if (!woken_.exchange(false)) os::Sleep(timeoutMs == kInfinite ? 1 : timeoutMs);
            return;
        }
        std::unique_lock g(lock_);
        auto ready = [this] { return woken_.load(); };
        if (timeoutMs == kInfinite) {
            cv_.wait(g, ready);
        } else {
            cv_.wait_for(g, std::chrono::milliseconds(timeoutMs), ready);
        }
        woken_ = false;
    }
    void Wake() override {
        {
            std::lock_guard g(lock_);
            woken_ = true;
        }
        cv_.notify_all();
    }

private:
    std::mutex lock_;
    std::condition_variable cv_;
    std::atomic<bool> woken_{false};
};

DefaultEventSource& BuiltInSource() {
    static DefaultEventSource s;
    return s;
}
std::atomic<EventSource*> source{nullptr};

MSG lastMsg;
int sendDepth = 0;

bool InRange(UINT msg, UINT lo, UINT hi) {
    if (lo == 0 && hi == 0) return true;
    if (lo > hi) return msg >= lo || msg <= hi;
    return msg >= lo && msg <= hi;
}

bool Matches(const MSG& m, HWND filter, UINT lo, UINT hi) {
    return InRange(m.message, lo, hi) && detail::MatchesWindowFilter(m.hwnd, filter);
}

void Stamp(MSG* m) {
    m->time = os::GetTickCount();
    m->pt = detail::CursorPos();
}

}  // namespace

void BindGuiThread() {
    std::lock_guard g(guiLock);
    guiThread = std::this_thread::get_id();
    guiBound = true;
}

namespace detail {

bool OnGuiThread() {
    std::lock_guard g(guiLock);
    if (!guiBound) {
        guiThread = std::this_thread::get_id();
        guiBound = true;
    }
    return guiThread == std::this_thread::get_id();
}

bool MatchesWindowFilter(HWND hwnd, HWND filter) {
    if (filter == nullptr) return true;
    if (filter == reinterpret_cast<HWND>(intptr_t(-1))) return hwnd == nullptr;
    if (hwnd == filter) return true;
    Window* f = Peek(filter);
    Window* w = Peek(hwnd);
    return f != nullptr && w != nullptr && IsAncestor(f, w);
}

void ClearQueue() {
    auto& q = Shared();
    std::lock_guard g(q.lock);
    q.posted.clear();
    q.calls.clear();
    q.quit = false;
    q.quitCode = 0;
}

void DropMessagesFor(HWND hwnd) {
    auto& q = Shared();
    std::lock_guard g(q.lock);
    std::erase_if(q.posted, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
}

}  // namespace detail

void SetEventSource(EventSource* s) {
    source.store(s);
}

EventSource& CurrentEventSource() {
    EventSource* s = source.load();
    return s ? *s : BuiltInSource();
}

void PostToGuiThread(std::function<void()> call) {
    if (!call) return;
    auto& q = Shared();
    {
        std::lock_guard g(q.lock);
        q.calls.push_back(std::move(call));
    }
    CurrentEventSource().Wake();
}

void RunOnGuiThread(const std::function<void()>& call) {
    if (!call) return;
    if (detail::OnGuiThread()) {
        call();
        return;
    }
    std::mutex m;
    std::condition_variable done;
    bool finished = false;
    std::exception_ptr error;
    PostToGuiThread([&] {
        try {
            call();
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard g(m);
        finished = true;
        done.notify_all();
    });
    std::unique_lock g(m);
    done.wait(g, [&] { return finished; });
    if (error) std::rethrow_exception(error);
}

bool RunPendingGuiCalls() {
    if (!detail::OnGuiThread()) return false;
    auto& q = Shared();
    bool ran = false;
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard g(q.lock);
            if (q.calls.empty()) break;
            call = std::move(q.calls.front());
            q.calls.pop_front();
        }
        call();
        ran = true;
    }
    return ran;
}

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!detail::OnGuiThread()) {
        LRESULT result = 0;
        RunOnGuiThread([&] { result = SendMessageA(hwnd, msg, wParam, lParam); });
        return result;
    }
    detail::Window* w = detail::Find(hwnd);
    if (w == nullptr) return 0;
    ++sendDepth;
    struct Depth {
        ~Depth() { --sendDepth; }
    } depth;
    return detail::CallProc(w, msg, wParam, lParam);
}

BOOL InSendMessage() {
    return FALSE;
}

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (hwnd == HWND_BROADCAST) {
        // Broadcast to the top-level windows, which only the GUI thread may list.
        PostToGuiThread([=] {
            for (detail::Window* t : detail::Desktop()->children)
                PostMessageA(t->handle, msg, wParam, lParam);
        });
        return TRUE;
    }
    bool gui = detail::OnGuiThread();
    // Other threads cannot look windows up safely; the handle is checked when the message is
    // taken, and a message for a window gone by then is dropped.
    if (gui && hwnd != nullptr && detail::Find(hwnd) == nullptr) return FALSE;
    MSG m{hwnd, msg, wParam, lParam, 0, {}};
    if (gui) Stamp(&m);
    auto& q = Shared();
    {
        std::lock_guard g(q.lock);
        q.posted.push_back(m);
    }
    if (!gui) CurrentEventSource().Wake();
    return TRUE;
}

BOOL PostThreadMessageA(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
    (void)threadId;  // one GUI thread
    return PostMessageA(nullptr, msg, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    auto& q = Shared();
    {
        std::lock_guard g(q.lock);
        q.quit = true;
        q.quitCode = exitCode;
    }
    CurrentEventSource().Wake();
}

namespace {

bool TakePosted(MSG* out, HWND filter, UINT lo, UINT hi, bool remove) {
    auto& q = Shared();
    std::lock_guard g(q.lock);
    for (auto it = q.posted.begin(); it != q.posted.end();) {
        if (it->hwnd != nullptr && detail::Peek(it->hwnd) == nullptr) {
            it = q.posted.erase(it);  // its window is gone
            continue;
        }
        if (Matches(*it, filter, lo, hi)) {
            *out = *it;
            if (out->time == 0) Stamp(out);
            if (remove) q.posted.erase(it);
            return true;
        }
        ++it;
    }
    return false;
}

bool TakeQuit(MSG* out, bool remove) {
    auto& q = Shared();
    std::lock_guard g(q.lock);
    if (!q.quit || !q.posted.empty()) return false;
    *out = MSG{nullptr, WM_QUIT, WPARAM(q.quitCode), 0, 0, {}};
    Stamp(out);
    if (remove) q.quit = false;
    return true;
}

bool HasQueuedCalls() {
    auto& q = Shared();
    std::lock_guard g(q.lock);
    return !q.calls.empty();
}

}  // namespace

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (msg == nullptr || !detail::OnGuiThread()) return FALSE;
    if (hwnd != nullptr && hwnd != reinterpret_cast<HWND>(intptr_t(-1)) &&
        detail::Find(hwnd) == nullptr)
        return FALSE;
    bool remove = (removeFlags & PM_REMOVE) != 0;
    RunPendingGuiCalls();
    CurrentEventSource().Poll();
    detail::CallScope scope;
    MSG m;
    bool got = TakePosted(&m, hwnd, filterMin, filterMax, remove) ||
               detail::NextInputMessage(&m, hwnd, filterMin, filterMax, remove) ||
               TakeQuit(&m, remove);
    if (!got && InRange(WM_PAINT, filterMin, filterMax)) got = detail::NextPaintMessage(&m, hwnd);
    if (!got && InRange(WM_TIMER, filterMin, filterMax))
        got = detail::NextTimerMessage(hwnd, remove, &m);
    if (!got) return FALSE;
    if (m.time == 0) Stamp(&m);
    *msg = m;
    lastMsg = m;
    return TRUE;
}

namespace {

// Milliseconds the loop may sleep before something it knows of comes due.
uint32_t IdleTimeout() {
    uint32_t t = detail::MsUntilNextTimer();
    return t;
}

}  // namespace

BOOL GetMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    if (msg == nullptr) return -1;
    if (hwnd != nullptr && hwnd != reinterpret_cast<HWND>(intptr_t(-1)) &&
        detail::Find(hwnd) == nullptr)
        return -1;
    for (;;) {
        if (PeekMessageA(msg, hwnd, filterMin, filterMax, PM_REMOVE))
            return msg->message == WM_QUIT ? 0 : 1;
        if (HasQueuedCalls()) continue;
        CurrentEventSource().Wait(IdleTimeout());
    }
}

BOOL WaitMessage() {
    MSG m;
    for (;;) {
        if (HasQueuedCalls()) RunPendingGuiCalls();
        if (PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE)) return TRUE;
        CurrentEventSource().Wait(IdleTimeout());
    }
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (msg == nullptr) return 0;
    if (msg->message == WM_TIMER && msg->lParam != 0) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        if (msg->hwnd != nullptr && detail::Find(msg->hwnd) == nullptr) return 0;
        proc(msg->hwnd, WM_TIMER, msg->wParam, os::GetTickCount());
        return 0;
    }
    if (msg->hwnd == nullptr) return 0;
    detail::Window* w = detail::Find(msg->hwnd);
    if (w == nullptr) return 0;
    LRESULT r = detail::CallProc(w, msg->message, msg->wParam, msg->lParam);
    // A procedure that ignores WM_PAINT would otherwise be asked again and again, starving
    // timers; what it did not paint counts as painted.
    if (msg->message == WM_PAINT) detail::ValidateAfterPaint(msg->hwnd);
    return r;
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (proc == nullptr) return 0;
    detail::EnterCall();
    struct Depth {
        ~Depth() { detail::LeaveCall(); }
    } depth;
    return proc(hwnd, msg, wParam, lParam);
}

DWORD GetMessagePos() {
    return DWORD(MAKELONG(WORD(int16_t(lastMsg.pt.x)), WORD(int16_t(lastMsg.pt.y))));
}

LONG GetMessageTime() {
    return LONG(lastMsg.time);
}

}  // namespace win

// Timer table. Timers are few; a vector scanned per retrieval is fast enough and keeps the
// order of creation as the tie-break between timers due at once.
#include "platform/user/timers.h"

#include <algorithm>
#include <vector>

#include "platform/os/clock.h"
#include "platform/user/gui_thread.h"
#include "platform/user/internal.h"
#include "platform/user/messages.h"

namespace win {
namespace {

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT elapse;
    TIMERPROC proc;
    uint32_t start;  // tick of the last start or firing
};

std::vector<Timer>& Timers() {
    static std::vector<Timer> t;
    return t;
}

UINT_PTR nextThreadTimerId = 1;

uint32_t Remaining(const Timer& t, uint32_t now) {
    uint32_t passed = os::TickDiff(t.start, now);
    return passed >= t.elapse ? 0 : t.elapse - passed;
}

}  // namespace

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
    if (hwnd != nullptr && detail::Find(hwnd) == nullptr) return 0;
    elapseMs = std::max(elapseMs, USER_TIMER_MINIMUM);
    elapseMs = std::min<UINT>(elapseMs, 0x7FFFFFFF);
    auto& timers = Timers();
    uint32_t now = os::GetTickCount();
    if (hwnd == nullptr) {
        // A thread timer: the id given is only a request to replace that timer.
        auto it = std::find_if(timers.begin(), timers.end(),
                               [&](const Timer& t) { return t.hwnd == nullptr && t.id == id; });
        if (id != 0 && it != timers.end()) {
            *it = Timer{nullptr, id, elapseMs, proc, now};
            return id;
        }
        id = nextThreadTimerId++;
        if (nextThreadTimerId > 0x7FFF) nextThreadTimerId = 1;
        timers.push_back(Timer{nullptr, id, elapseMs, proc, now});
        return id;
    }
    for (auto& t : timers) {
        if (t.hwnd == hwnd && t.id == id) {
            t = Timer{hwnd, id, elapseMs, proc, now};
            return id == 0 ? 1 : id;
        }
    }
    timers.push_back(Timer{hwnd, id, elapseMs, proc, now});
    return id == 0 ? 1 : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    auto& timers = Timers();
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (it == timers.end()) {
        SetLastError(ERROR_TIMER_NOT_FOUND);
        return FALSE;
    }
    timers.erase(it);
    return TRUE;
}

namespace detail {

bool NextTimerMessage(HWND filter, bool remove, MSG* out) {
    auto& timers = Timers();
    uint32_t now = os::GetTickCount();
    Timer* best = nullptr;
    uint32_t bestLate = 0;
    for (auto& t : timers) {
        if (Remaining(t, now) != 0 || !MatchesWindowFilter(t.hwnd, filter)) continue;
        uint32_t late = os::TickDiff(t.start, now) - t.elapse;
        if (best == nullptr || late > bestLate) {
            best = &t;
            bestLate = late;
        }
    }
    if (best == nullptr) return false;
    *out = MSG{best->hwnd, WM_TIMER, best->id, reinterpret_cast<LPARAM>(best->proc), now, {}};
    if (remove) best->start = now;
    return true;
}

uint32_t MsUntilNextTimer() {
    uint32_t now = os::GetTickCount();
    uint32_t best = kInfinite;
    for (auto& t : Timers())
        best = std::min(best, Remaining(t, now));
    return best;
}

void KillTimersOf(HWND hwnd) {
    auto& timers = Timers();
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [&](const Timer& t) { return t.hwnd == hwnd; }),
                 timers.end());
}

void ClearTimers() {
    Timers().clear();
}

}  // namespace detail
}  // namespace win

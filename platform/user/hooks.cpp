// The CBT hook chain.
#include "platform/user/hooks.h"

#include <algorithm>
#include <functional>
#include <thread>
#include <vector>

#include "platform/user/gui_thread.h"

namespace win {
namespace {

struct Hook {
    HHOOK handle;
    HOOKPROC proc;
    bool removed = false;
};

struct HookChain {
    std::vector<Hook> hooks;  // newest first
    uintptr_t next = 0x7000010;
    int running = 0;  // hook calls in progress: removal only marks entries then
};

HookChain& Chain() {
    static HookChain c;
    return c;
}

void Compact() {
    auto& c = Chain();
    if (c.running > 0) return;
    c.hooks.erase(
        std::remove_if(c.hooks.begin(), c.hooks.end(), [](const Hook& h) { return h.removed; }),
        c.hooks.end());
}

// Calls the first live hook at or after index `from`.
LRESULT CallFrom(size_t from, int code, WPARAM wp, LPARAM lp) {
    auto& c = Chain();
    for (size_t i = from; i < c.hooks.size(); ++i) {
        if (c.hooks[i].removed) continue;
        ++c.running;
        struct Done {
            ~Done() {
                --Chain().running;
                Compact();
            }
        } done;
        return c.hooks[i].proc(code, wp, lp);
    }
    return 0;
}

}  // namespace

DWORD GetCurrentThreadId() {
    return DWORD(std::hash<std::thread::id>{}(std::this_thread::get_id()) & 0x7FFFFFFF) | 1;
}

HHOOK SetWindowsHookExA(int idHook, HOOKPROC proc, HINSTANCE, DWORD threadId) {
    if (idHook != WH_CBT || proc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if ((threadId != 0 && threadId != GetCurrentThreadId()) || !detail::OnGuiThread()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    auto& c = Chain();
    HHOOK h = reinterpret_cast<HHOOK>(c.next);
    c.next += 0x10;
    c.hooks.insert(c.hooks.begin(), Hook{h, proc});
    return h;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
    auto& c = Chain();
    for (auto& h : c.hooks) {
        if (h.handle == hook && !h.removed) {
            h.removed = true;
            Compact();
            return TRUE;
        }
    }
    SetLastError(ERROR_INVALID_HOOK_HANDLE);
    return FALSE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    auto& c = Chain();
    for (size_t i = 0; i < c.hooks.size(); ++i)
        if (c.hooks[i].handle == hook) return CallFrom(i + 1, code, wParam, lParam);
    return 0;
}

namespace detail {

LRESULT CallCbtHooks(int code, WPARAM wParam, LPARAM lParam) {
    return CallFrom(0, code, wParam, lParam);
}

void ClearHooks() {
    auto& c = Chain();
    if (c.running > 0) {
        for (auto& h : c.hooks)
            h.removed = true;
    } else {
        c.hooks.clear();
    }
}

}  // namespace detail
}  // namespace win

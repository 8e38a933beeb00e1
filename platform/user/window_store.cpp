// Handle table, window tree helpers, rectangle helpers and the last-error value.
#include "platform/user/window_store.h"

#include <algorithm>
#include <unordered_map>

#include "platform/user/scroll_bar.h"
#include "platform/user/window_class.h"

namespace win {

namespace {
thread_local DWORD lastError = 0;
}

DWORD GetLastError() {
    return lastError;
}
void SetLastError(DWORD code) {
    lastError = code;
}

namespace detail {

Window::Window() = default;
Window::~Window() = default;

struct WindowStore {
    std::unordered_map<uintptr_t, std::unique_ptr<Window>> live;
    std::vector<std::unique_ptr<Window>> retired;
    std::vector<Window*> order;  // creation order of live windows
    uintptr_t nextHandle = 0x10010;
    int callDepth = 0;
    std::unique_ptr<Window> desktop;
};

WindowStore& Store() {
    static WindowStore s;
    return s;
}

namespace {

void FreeRetired() {
    auto& s = Store();
    if (s.callDepth == 0) s.retired.clear();
}

}  // namespace

Window* Desktop() {
    auto& s = Store();
    if (!s.desktop) {
        s.desktop = std::make_unique<Window>();
        s.desktop->handle = reinterpret_cast<HWND>(s.nextHandle);
        s.nextHandle += 0x10;
        s.desktop->style = WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_POPUP;
        auto cls = std::make_shared<WindowClass>();
        cls->name = "#32769";
        cls->atom = kDesktopClassAtom;
        s.desktop->cls = cls;
    }
    return s.desktop.get();
}

Window* Peek(HWND h) {
    auto& s = Store();
    auto key = reinterpret_cast<uintptr_t>(h);
    if (auto it = s.live.find(key); it != s.live.end()) return it->second.get();
    Window* d = Desktop();
    return h == d->handle ? d : nullptr;
}

Window* Find(HWND h) {
    Window* w = Peek(h);
    if (w == nullptr) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

Window* NewWindow() {
    auto& s = Store();
    Desktop();
    auto w = std::make_unique<Window>();
    // Steps of 16 keep the handles apart from small integers and from HWND_* constants.
    w->handle = reinterpret_cast<HWND>(s.nextHandle);
    s.nextHandle += 0x10;
    Window* raw = w.get();
    s.live.emplace(reinterpret_cast<uintptr_t>(raw->handle), std::move(w));
    s.order.push_back(raw);
    return raw;
}

void Retire(Window* w) {
    auto& s = Store();
    auto it = s.live.find(reinterpret_cast<uintptr_t>(w->handle));
    if (it == s.live.end()) return;
    w->alive = false;
    s.retired.push_back(std::move(it->second));
    s.live.erase(it);
    s.order.erase(std::remove(s.order.begin(), s.order.end(), w), s.order.end());
    FreeRetired();
}

void ClearAll() {
    auto& s = Store();
    s.live.clear();
    s.order.clear();
    if (s.callDepth == 0) s.retired.clear();
    if (s.desktop) s.desktop->children.clear();
}

std::vector<Window*> AllWindows() {
    return Store().order;
}

void EnterCall() {
    ++Store().callDepth;
}
void LeaveCall() {
    --Store().callDepth;
    FreeRetired();
}

void Unlink(Window* w) {
    if (w->parent == nullptr) return;
    auto& c = w->parent->children;
    c.erase(std::remove(c.begin(), c.end(), w), c.end());
}

void LinkAt(Window* parent, Window* w, size_t index) {
    w->parent = parent;
    auto& c = parent->children;
    c.insert(c.begin() + std::ptrdiff_t(std::min(index, c.size())), w);
}

size_t IndexOf(const Window* w) {
    if (w->parent == nullptr) return 0;
    auto& c = w->parent->children;
    return size_t(std::find(c.begin(), c.end(), w) - c.begin());
}

bool IsAncestor(const Window* ancestor, const Window* w) {
    for (; w != nullptr; w = w->parent)
        if (w == ancestor) return true;
    return false;
}

Window* TopLevelOf(Window* w) {
    while (w != nullptr && w->parent != nullptr && w->parent->parent != nullptr)
        w = w->parent;
    return w;
}

bool IsReallyVisible(const Window* w) {
    for (; w != nullptr; w = w->parent)
        if (!w->Visible()) return false;
    return true;
}

POINT ClientOrigin(const Window* w) {
    POINT p{0, 0};
    for (; w != nullptr && w->parent != nullptr; w = w->parent) {
        p.x += w->client.left;
        p.y += w->client.top;
    }
    return p;
}

RECT ScreenRect(const Window* w) {
    if (w->parent == nullptr) return w->rect;
    POINT o = ClientOrigin(w->parent);
    RECT r = w->rect;
    OffsetRect(&r, o.x, o.y);
    return r;
}

RECT ScreenClientRect(const Window* w) {
    if (w->parent == nullptr) return w->client;
    POINT o = ClientOrigin(w->parent);
    RECT r = w->client;
    OffsetRect(&r, o.x, o.y);
    return r;
}

LRESULT CallProc(Window* w, UINT msg, WPARAM wp, LPARAM lp) {
    if (w == nullptr || !w->alive || w->proc == nullptr) return 0;
    struct Depth {
        Depth() { EnterCall(); }
        ~Depth() { LeaveCall(); }
    } depth;
    return w->proc(w->handle, msg, wp, lp);
}

LRESULT Send(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    return CallProc(Peek(h), msg, wp, lp);
}

}  // namespace detail
}  // namespace win

// Window creation and destruction, the tree queries, window data and properties.
#include "platform/user/window_tree.h"

#include <algorithm>
#include <cstring>

#include "platform/user/caret.h"
#include "platform/user/clipboard.h"
#include "platform/user/gui_thread.h"
#include "platform/user/hooks.h"
#include "platform/user/internal.h"
#include "platform/user/menus.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"
#include "platform/user/screen.h"
#include "platform/user/system_metrics.h"
#include "platform/user/timers.h"
#include "platform/user/window_class.h"
#include "platform/user/window_dc.h"
#include "platform/user/window_pos.h"
#include "platform/user/window_region.h"

namespace win {

using detail::Find;
using detail::Peek;
using detail::Send;
using detail::Window;

namespace {

int cascade = 0;

// Overlapped windows without a place or size get one, stepping down the screen.
void DefaultPlacement(CREATESTRUCTA& cs) {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    if (cs.x == CW_USEDEFAULT) {
        int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
        int n = cascade++ % 8;
        cs.x = work.left + step * n;
        cs.y = work.top + step * n;
    }
    if (cs.cx == CW_USEDEFAULT) {
        cs.cx = (work.right - work.left) * 3 / 4;
        cs.cy = (work.bottom - work.top) * 3 / 4;
    }
}

void NotifyParents(Window* w, UINT event) {
    if (!w->IsChild()) return;
    WPARAM wp = MAKEWPARAM(int(event), int(w->id));
    HWND h = w->handle;
    for (Window* c = w; c && c->alive && c->IsChild() && !(c->exStyle & WS_EX_NOPARENTNOTIFY);
         c = c->parent) {
        Window* p = c->parent;
        if (p == nullptr || p == detail::Desktop()) break;
        Send(p->handle, WM_PARENTNOTIFY, wp, reinterpret_cast<LPARAM>(h));
        if (!Peek(h)) break;
    }
}

void SendDestroy(Window* w) {
    HWND h = w->handle;
    Send(h, WM_DESTROY, 0, 0);
    if (!Peek(h)) return;
    auto children = w->children;
    for (Window* c : children)
        if (c->alive) SendDestroy(c);
}

void FreeWindow(Window* w) {
    auto children = w->children;
    for (Window* c : children)
        if (c->alive) FreeWindow(c);
    HWND h = w->handle;
    detail::KillTimersOf(h);
    detail::CaretWindowGone(h);
    detail::ForgetInputState(w);
    detail::ForgetPaintState(w);
    if (w->IsTopLevel()) detail::DropSurface(w);
    detail::ForgetShape(w);
    Send(h, WM_NCDESTROY, 0, 0);
    if (w->sysMenu) DestroyMenu(w->sysMenu);
    if (w->menu && !w->IsChild()) DestroyMenu(w->menu);
    w->sysMenu = w->menu = nullptr;
    detail::DropMessagesFor(h);
    detail::Unlink(w);
    w->children.clear();
    if (w->cls) --w->cls->windows;
    detail::Retire(w);
}

Window* ParentFor(HWND parent, DWORD style, HWND* owner) {
    *owner = nullptr;
    if (style & WS_CHILD) {
        if (parent == nullptr) {
            SetLastError(ERROR_TLW_WITH_WSCHILD);
            return nullptr;
        }
        return Find(parent);
    }
    if (parent != nullptr && parent != HWND_MESSAGE) {
        Window* o = Find(parent);
        if (o == nullptr) return nullptr;
        if (o != detail::Desktop()) *owner = detail::TopLevelOf(o)->handle;
    }
    return detail::Desktop();
}

}  // namespace

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                     int x, int y, int width, int height, HWND parent, HMENU menu,
                     HINSTANCE instance, void* param) {
    if (!detail::OnGuiThread()) {
        HWND made = nullptr;
        RunOnGuiThread([&] {
            made = CreateWindowExA(exStyle, className, windowName, style, x, y, width, height,
                                   parent, menu, instance, param);
        });
        return made;
    }
    detail::EnsureScreen();
    auto cls = detail::FindClass(className);
    if (!cls) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    HWND owner = nullptr;
    Window* parentWin = ParentFor(parent, style, &owner);
    if (parentWin == nullptr) return nullptr;

    // Overlapped windows always have a caption and clip their siblings.
    if (!(style & (WS_CHILD | WS_POPUP))) style |= WS_CAPTION | WS_CLIPSIBLINGS;
    if (exStyle & WS_EX_DLGMODALFRAME) exStyle |= WS_EX_WINDOWEDGE;

    CREATESTRUCTA cs;
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.x = x;
    cs.y = y;
    cs.cx = width;
    cs.cy = height;
    cs.style = LONG(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    if (!(style & (WS_CHILD | WS_POPUP))) {
        DefaultPlacement(cs);
    } else {
        if (cs.x == CW_USEDEFAULT) cs.x = cs.y = 0;
        if (cs.cx == CW_USEDEFAULT) cs.cx = cs.cy = 0;
    }

    Window* w = detail::NewWindow();
    HWND h = w->handle;
    w->cls = cls;
    ++cls->windows;
    w->proc = cls->info.lpfnWndProc;
    w->style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
    w->exStyle = exStyle;
    w->instance = instance;
    w->owner = owner;
    w->text = windowName && !IS_INTRESOURCE(windowName) ? windowName : "";
    w->extra.assign(size_t(cls->info.cbWndExtra), 0);
    if (style & WS_CHILD) w->id = LONG_PTR(reinterpret_cast<uintptr_t>(menu));
    w->rect = RECT{cs.x, cs.y, cs.x + std::max(cs.cx, 0), cs.y + std::max(cs.cy, 0)};
    w->client = w->rect;
    w->normalRect = w->rect;
    w->parent = parentWin;  // not linked yet: hooks see a window outside the z-order

    CBT_CREATEWNDA cbt{&cs, HWND_TOP};
    if (detail::CallCbtHooks(HCBT_CREATEWND, reinterpret_cast<WPARAM>(h),
                             reinterpret_cast<LPARAM>(&cbt)) != 0) {
        w->parent = nullptr;
        --cls->windows;
        detail::Retire(w);
        return nullptr;
    }
    if (!Peek(h)) return nullptr;
    // The hook may have moved or resized the window.
    w->rect = RECT{cs.x, cs.y, cs.x + std::max(cs.cx, 0), cs.y + std::max(cs.cy, 0)};
    w->client = w->rect;
    w->normalRect = w->rect;
    detail::LinkNewWindow(parentWin, w);
    if (!(style & WS_CHILD) && menu) SetMenu(h, menu);

    if ((style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD))) {
        MINMAXINFO mmi = detail::MinMaxInfo(w);
        int cx = std::clamp<int>(w->rect.right - w->rect.left, mmi.ptMinTrackSize.x,
                                 std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
        int cy = std::clamp<int>(w->rect.bottom - w->rect.top, mmi.ptMinTrackSize.y,
                                 std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
        if (!Peek(h)) return nullptr;
        w->rect.right = w->rect.left + cx;
        w->rect.bottom = w->rect.top + cy;
        w->client = w->normalRect = w->rect;
    }

    if (!Send(h, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        if (Peek(h)) FreeWindow(w);
        return nullptr;
    }
    if (!Peek(h)) return nullptr;
    RECT client = w->rect;
    Send(h, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
    if (!Peek(h)) return nullptr;
    w->client = client;
    if (Send(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(h);
        return nullptr;
    }
    if (!Peek(h)) return nullptr;
    Send(h, WM_SIZE, SIZE_RESTORED,
         MAKELPARAM(w->client.right - w->client.left, w->client.bottom - w->client.top));
    if (!Peek(h)) return nullptr;
    Send(h, WM_MOVE, 0, MAKELPARAM(w->client.left, w->client.top));
    if (!Peek(h)) return nullptr;

    if (style & (WS_MINIMIZE | WS_MAXIMIZE)) {
        bool show = (style & WS_VISIBLE) != 0;
        int cmd =
            (style & WS_MINIMIZE) ? (show ? SW_SHOWMINIMIZED : SW_MINIMIZE) : SW_SHOWMAXIMIZED;
        if (!show) w->createdWithMaximize = true;
        detail::SetShowState(w, cmd, show);
        if (!Peek(h)) return nullptr;
    }
    NotifyParents(w, WM_CREATE);
    if (!Peek(h)) return nullptr;
    if (style & WS_VISIBLE) ShowWindow(h, (style & WS_CHILD) ? SW_SHOWNA : SW_SHOW);
    return Peek(h) ? h : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
    if (!detail::OnGuiThread()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    detail::CallScope scope;
    Window* w = Find(hwnd);
    if (w == nullptr || w == detail::Desktop()) return FALSE;
    if (w->destroying) return TRUE;
    if (detail::CallCbtHooks(HCBT_DESTROYWND, reinterpret_cast<WPARAM>(hwnd), 0) != 0) return FALSE;
    if (!Peek(hwnd) || w->destroying) return TRUE;
    w->destroying = true;
    NotifyParents(w, WM_DESTROY);
    if (!Peek(hwnd)) return TRUE;
    if (w->Visible()) {
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        if (!Peek(hwnd)) return TRUE;
    }
    detail::ActivateNextAfter(w);
    if (!w->IsChild()) {
        std::vector<HWND> owned;
        for (Window* o : detail::AllWindows())
            if (o->owner == hwnd && !o->destroying) owned.push_back(o->handle);
        for (HWND o : owned)
            DestroyWindow(o);
        if (!Peek(hwnd)) return TRUE;
    }
    detail::ReleaseCaptureIfIn(w);
    detail::MoveFocusOutOf(w);
    if (!Peek(hwnd)) return TRUE;
    SendDestroy(w);
    if (Peek(hwnd)) FreeWindow(w);
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    return hwnd != nullptr && Peek(hwnd) != nullptr;
}

BOOL IsChild(HWND parent, HWND hwnd) {
    Window* p = Peek(parent);
    Window* w = Peek(hwnd);
    if (p == nullptr || w == nullptr || p == w) return FALSE;
    for (Window* c = w; c && c->IsChild(); c = c->parent)
        if (c->parent == p) return TRUE;
    return FALSE;
}

BOOL IsWindowUnicode(HWND) {
    return FALSE;
}

HWND GetParent(HWND hwnd) {
    Window* w = Find(hwnd);
    if (w == nullptr) return nullptr;
    if (w->IsChild()) return w->parent ? w->parent->handle : nullptr;
    return (w->style & WS_POPUP) ? w->owner : nullptr;
}

HWND SetParent(HWND hwnd, HWND newParent) {
    Window* w = Find(hwnd);
    if (w == nullptr || w == detail::Desktop()) return nullptr;
    Window* p = newParent ? Find(newParent) : detail::Desktop();
    if (p == nullptr || detail::IsAncestor(w, p)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HWND old = w->parent ? w->parent->handle : nullptr;
    bool visible = w->Visible();
    if (visible) ShowWindow(hwnd, SW_HIDE);
    // The window keeps its position relative to the new parent's client area, as before.
    detail::Unlink(w);
    detail::LinkNewWindow(p, w);
    if (visible) ShowWindow(hwnd, SW_SHOWNA);
    return old;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
    Window* w = Find(hwnd);
    if (w == nullptr || w == detail::Desktop()) return nullptr;
    switch (flags) {
        case GA_PARENT:
            return w->parent->handle;
        case GA_ROOT:
            return detail::TopLevelOf(w)->handle;
        case GA_ROOTOWNER: {
            Window* t = detail::TopLevelOf(w);
            while (t->owner) {
                Window* o = Peek(t->owner);
                if (o == nullptr) break;
                t = o;
            }
            return t->handle;
        }
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

HWND GetWindow(HWND hwnd, UINT cmd) {
    Window* w = Find(hwnd);
    if (w == nullptr) return nullptr;
    auto sibling = [w](std::ptrdiff_t step) -> HWND {
        if (w->parent == nullptr) return nullptr;
        auto& c = w->parent->children;
        auto i = std::ptrdiff_t(detail::IndexOf(w)) + step;
        return i >= 0 && i < std::ptrdiff_t(c.size()) ? c[size_t(i)]->handle : nullptr;
    };
    switch (cmd) {
        case GW_HWNDFIRST:
            return w->parent && !w->parent->children.empty() ? w->parent->children.front()->handle
                                                             : nullptr;
        case GW_HWNDLAST:
            return w->parent && !w->parent->children.empty() ? w->parent->children.back()->handle
                                                             : nullptr;
        case GW_HWNDNEXT:
            return sibling(1);
        case GW_HWNDPREV:
            return sibling(-1);
        case GW_OWNER:
            return w->IsChild() ? nullptr : w->owner;
        case GW_CHILD:
            return w->children.empty() ? nullptr : w->children.front()->handle;
        case GW_ENABLEDPOPUP:
            for (Window* t : detail::Desktop()->children)
                if (t->owner == hwnd && t->Visible() && !(t->style & WS_DISABLED)) return t->handle;
            return nullptr;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

HWND GetNextWindow(HWND hwnd, UINT cmd) {
    return GetWindow(hwnd, cmd);
}

HWND GetTopWindow(HWND hwnd) {
    Window* w = hwnd ? Find(hwnd) : detail::Desktop();
    if (w == nullptr || w->children.empty()) return nullptr;
    return w->children.front()->handle;
}

HWND GetDesktopWindow() {
    detail::EnsureScreen();
    return detail::Desktop()->handle;
}

HWND GetDlgItem(HWND dialog, int id) {
    Window* d = Find(dialog);
    if (d == nullptr) return nullptr;
    for (Window* c : d->children)
        if (c->id == id) return c->handle;
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
    Window* w = Find(hwnd);
    return w && w->IsChild() ? int(w->id) : 0;
}

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId) {
    if (processId) *processId = 1;
    return IsWindow(hwnd) ? GetCurrentThreadId() : 0;
}

namespace {

bool EnumTree(Window* parent, WNDENUMPROC proc, LPARAM lp) {
    std::vector<HWND> handles;
    for (Window* c : parent->children)
        handles.push_back(c->handle);
    for (HWND h : handles) {
        Window* c = Peek(h);
        if (c == nullptr) continue;  // destroyed by an earlier callback
        if (!proc(h, lp)) return false;
        if ((c = Peek(h)) != nullptr && !EnumTree(c, proc, lp)) return false;
    }
    return true;
}

}  // namespace

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
    Window* p = parent ? Find(parent) : detail::Desktop();
    if (p == nullptr || proc == nullptr) return FALSE;
    return EnumTree(p, proc, lParam) ? TRUE : FALSE;
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam) {
    if (proc == nullptr) return FALSE;
    std::vector<HWND> handles;
    for (Window* c : detail::Desktop()->children)
        handles.push_back(c->handle);
    for (HWND h : handles)
        if (Peek(h) && !proc(h, lParam)) return FALSE;
    return TRUE;
}

BOOL EnumThreadWindows(DWORD, WNDENUMPROC proc, LPARAM lParam) {
    return EnumWindows(proc, lParam);
}

HWND FindWindowExA(HWND parent, HWND after, const char* className, const char* windowName) {
    Window* p = parent ? Find(parent) : detail::Desktop();
    if (p == nullptr) return nullptr;
    auto cls = className ? detail::FindClass(className) : nullptr;
    if (className && !cls) return nullptr;
    bool started = after == nullptr;
    for (Window* c : p->children) {
        if (!started) {
            started = c->handle == after;
            continue;
        }
        if (cls && c->cls != cls) continue;
        if (windowName && c->text != windowName) continue;
        return c->handle;
    }
    return nullptr;
}

namespace {

LONG_PTR ChangeStyle(Window* w, int index, DWORD value) {
    HWND h = w->handle;
    DWORD& field = index == GWL_STYLE ? w->style : w->exStyle;
    STYLESTRUCT ss{field, value};
    if (index == GWL_EXSTYLE)  // only SetWindowPos changes the topmost band
        ss.styleNew = (ss.styleNew & ~WS_EX_TOPMOST) | (field & WS_EX_TOPMOST);
    Send(h, WM_STYLECHANGING, WPARAM(index), reinterpret_cast<LPARAM>(&ss));
    if (!Peek(h)) return 0;
    DWORD old = field;
    field = ss.styleNew;
    if (index == GWL_EXSTYLE) detail::ExStyleChanged(w, old);
    Send(h, WM_STYLECHANGED, WPARAM(index), reinterpret_cast<LPARAM>(&ss));
    return LONG_PTR(old);
}

}  // namespace

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index) {
    Window* w = Find(hwnd);
    if (w == nullptr) return 0;
    switch (index) {
        case GWL_WNDPROC:
            return reinterpret_cast<LONG_PTR>(w->proc);
        case GWL_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(w->instance);
        case GWL_HWNDPARENT:
            return reinterpret_cast<LONG_PTR>(w->IsChild() ? w->parent->handle : w->owner);
        case GWL_STYLE:
            return LONG_PTR(w->style);
        case GWL_EXSTYLE:
            return LONG_PTR(w->exStyle);
        case GWL_USERDATA:
            return w->userData;
        case GWL_ID:
            return w->id;
        default:
            break;
    }
    if (index >= 0 && size_t(index) + sizeof(LONG_PTR) <= w->extra.size()) {
        LONG_PTR v;
        std::memcpy(&v, w->extra.data() + index, sizeof v);
        return v;
    }
    if (index >= 0 && size_t(index) + sizeof(LONG) <= w->extra.size()) {
        LONG v;
        std::memcpy(&v, w->extra.data() + index, sizeof v);
        return v;
    }
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    Window* w = Find(hwnd);
    if (w == nullptr || w == detail::Desktop()) return 0;
    LONG_PTR old = 0;
    switch (index) {
        case GWL_WNDPROC:
            if (value == 0) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return 0;
            }
            old = reinterpret_cast<LONG_PTR>(w->proc);
            w->proc = reinterpret_cast<WNDPROC>(value);
            return old;
        case GWL_HINSTANCE:
            old = reinterpret_cast<LONG_PTR>(w->instance);
            w->instance = reinterpret_cast<HINSTANCE>(value);
            return old;
        case GWL_HWNDPARENT: {
            if (w->IsChild()) return reinterpret_cast<LONG_PTR>(SetParent(hwnd, HWND(value)));
            old = reinterpret_cast<LONG_PTR>(w->owner);
            Window* o = value ? Find(HWND(value)) : nullptr;
            if (value && (o == nullptr || detail::IsAncestor(w, o))) return 0;
            w->owner = o ? detail::TopLevelOf(o)->handle : nullptr;
            return old;
        }
        case GWL_STYLE:
            return ChangeStyle(w, GWL_STYLE, DWORD(value));
        case GWL_EXSTYLE:
            return ChangeStyle(w, GWL_EXSTYLE, DWORD(value));
        case GWL_USERDATA:
            std::swap(old, w->userData);
            w->userData = value;
            return old;
        case GWL_ID:
            std::swap(old, w->id);
            w->id = value;
            return old;
        default:
            break;
    }
    if (index >= 0 && size_t(index) + sizeof(LONG_PTR) <= w->extra.size()) {
        std::memcpy(&old, w->extra.data() + index, sizeof old);
        std::memcpy(w->extra.data() + index, &value, sizeof value);
        return old;
    }
    if (index >= 0 && size_t(index) + sizeof(LONG) <= w->extra.size()) {
        LONG o32, v32 = LONG(value);
        std::memcpy(&o32, w->extra.data() + index, sizeof o32);
        std::memcpy(w->extra.data() + index, &v32, sizeof v32);
        return o32;
    }
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
}

namespace {

// Properties named by atom are kept under the atom's "#n" name.
std::string PropKey(const char* name) {
    if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
    std::string k = name;
    for (char& c : k)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return k;
}

}  // namespace

BOOL SetPropA(HWND hwnd, const char* name, HANDLE data) {
    Window* w = Find(hwnd);
    if (w == nullptr || name == nullptr) return FALSE;
    auto key = PropKey(name);
    for (auto& [k, v] : w->props) {
        if (k == key) {
            v = data;
            return TRUE;
        }
    }
    w->props.emplace_back(key, data);
    return TRUE;
}

HANDLE GetPropA(HWND hwnd, const char* name) {
    Window* w = Peek(hwnd);
    if (w == nullptr || name == nullptr) return nullptr;
    auto key = PropKey(name);
    for (auto& [k, v] : w->props)
        if (k == key) return v;
    return nullptr;
}

HANDLE RemovePropA(HWND hwnd, const char* name) {
    Window* w = Peek(hwnd);
    if (w == nullptr || name == nullptr) return nullptr;
    auto key = PropKey(name);
    for (auto it = w->props.begin(); it != w->props.end(); ++it) {
        if (it->first == key) {
            HANDLE v = it->second;
            w->props.erase(it);
            return v;
        }
    }
    return nullptr;
}

BOOL SetWindowTextA(HWND hwnd, const char* text) {
    if (Find(hwnd) == nullptr) return FALSE;
    return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE
                                                                                         : FALSE;
}

int GetWindowTextA(HWND hwnd, char* buffer, int size) {
    if (buffer == nullptr || size <= 0 || Find(hwnd) == nullptr) return 0;
    buffer[0] = '\0';
    return int(SendMessageA(hwnd, WM_GETTEXT, WPARAM(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthA(HWND hwnd) {
    if (Find(hwnd) == nullptr) return 0;
    return int(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

void ResetWindowing() {
    detail::ClearHooks();
    {
        detail::CallScope scope;
        std::vector<HWND> tops;
        for (Window* t : detail::Desktop()->children)
            tops.push_back(t->handle);
        for (HWND t : tops)
            if (Peek(t)) DestroyWindow(t);
        for (Window* w : detail::AllWindows())  // anything a procedure kept from dying
            if (w->alive) w->proc = nullptr;
    }
    detail::ClearAll();
    detail::ResetCaret();
    detail::ResetClipboard();
    detail::ClearTimers();
    detail::ClearQueue();
    detail::ClearClasses();
    detail::ClearMenus();
    detail::ResetInput();
    detail::ResetActivation();
    detail::ResetScreen();
    detail::ClearScreenState();
}

}  // namespace win

// The window objects behind HWND handles, and the handle table that resolves them.
//
// Internal to platform/user. Every handle is a serial number that is never given out twice; a
// handle resolves only while its window lives, so stale handles are detected. Window objects of
// destroyed windows are kept until no message call is running, because internal code may still
// hold a pointer across a SendMessage that destroyed the window; such code checks `alive`.
//
// The tree: the desktop window is the root; top-level windows are its children. Children are kept
// front to back: children.front() is the top of the z-order. Window and client rectangles are
// kept in the coordinates of the parent's client area (the screen for top-level windows).
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/user/messages.h"
#include "platform/user/styles.h"
#include "platform/user/win_types.h"

namespace win::detail {

struct WindowClass;
struct ScrollBarState;

struct Window {
    HWND handle = nullptr;
    bool alive = true;
    bool destroying = false;

    std::shared_ptr<WindowClass> cls;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string text;
    HINSTANCE instance = nullptr;
    LONG_PTR id = 0;  // GWL_ID of a child window
    LONG_PTR userData = 0;
    std::vector<uint8_t> extra;  // the class's cbWndExtra bytes
    std::vector<std::pair<std::string, HANDLE>> props;

    Window* parent = nullptr;  // the desktop for top-level windows; nullptr only for the desktop
    HWND owner = nullptr;      // top-level windows only
    std::vector<Window*> children;  // front to back

    RECT rect;    // window rectangle, parent client coordinates
    RECT client;  // client rectangle, parent client coordinates

    // Placement kept across minimise and maximise.
    RECT normalRect;
    POINT minPos{-1, -1};
    POINT maxPos{-1, -1};
    bool restoreToMaximized = false;
    bool createdWithMaximize = false;

    HMENU menu = nullptr;     // the menu bar of a top-level window
    HMENU sysMenu = nullptr;  // the window's own copy of the system menu, made on first request
    HICON icons[3] = {nullptr, nullptr, nullptr};  // ICON_SMALL, ICON_BIG, ICON_SMALL2
    LONG_PTR font = 0;

    // Painting state (see painting.cpp).
    RECT update;                // what needs painting, client coordinates
    bool redrawLocked = false;  // WM_SETREDRAW FALSE until TRUE again
    bool internalPaint = false;
    bool needsErase = false;
    bool needsFrame = false;
    bool inPaint = false;

    bool ncActive = false;      // the caption shows as active
    bool keyMenuArmed = false;  // an Alt or F10 press went down with no other key since
    std::unique_ptr<ScrollBarState> scroll;

    Window();
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    bool IsChild() const { return (style & WS_CHILD) != 0; }
    bool IsTopLevel() const { return parent != nullptr && parent->parent == nullptr; }
    bool Visible() const { return (style & WS_VISIBLE) != 0; }
};

struct WindowStore;
WindowStore& Store();

// The window of a handle, or nullptr (and ERROR_INVALID_WINDOW_HANDLE) for a stale or bad one.
Window* Find(HWND h);
// The same without touching the last error: for internal look-ups after a callback.
Window* Peek(HWND h);
Window* Desktop();

// A new window object with a fresh handle; it belongs to the store.
Window* NewWindow();
// Unlinks a window from the handle table; the object is freed once no message call runs.
void Retire(Window* w);
// Frees every window, for a fresh start (tests and shutdown).
void ClearAll();
// All live windows, in creation order.
std::vector<Window*> AllWindows();

// Message-call depth: window objects are freed only at depth 0.
void EnterCall();
void LeaveCall();

// Keeps retired window objects alive for the scope: for operations that walk windows while
// sending messages.
struct CallScope {
    CallScope() { EnterCall(); }
    ~CallScope() { LeaveCall(); }
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;
};

// Tree helpers.
void Unlink(Window* w);
void LinkAt(Window* parent, Window* w, size_t index);
size_t IndexOf(const Window* w);
bool IsAncestor(const Window* ancestor, const Window* w);  // w itself counts
Window* TopLevelOf(Window* w);
// Whether w and all its ancestors up to the desktop are visible.
bool IsReallyVisible(const Window* w);

// Coordinates: the offset of a window's client area from the screen origin, and of its window
// rectangle.
POINT ClientOrigin(const Window* w);
RECT ScreenRect(const Window* w);
RECT ScreenClientRect(const Window* w);

// Calls a window's procedure within the call-depth bracket.
LRESULT CallProc(Window* w, UINT msg, WPARAM wp, LPARAM lp);
LRESULT Send(HWND h, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace win::detail

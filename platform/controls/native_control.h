// What the procedures of the common controls share: their state in the window's extra bytes
// (made at WM_NCCREATE, freed at WM_NCDESTROY), their style, texts handed out into a caller's
// buffer, and text measured in their font.
#pragma once

#include <string>

#include "platform/gdi/win_types.h"
#include "platform/user/messages.h"
#include "platform/user/window_tree.h"

namespace win {

template <typename State>
State* ControlState(HWND h) {
    return reinterpret_cast<State*>(GetWindowLongPtrA(h, 0));
}

// The state of the window for this message; nullptr before WM_NCCREATE and from WM_NCDESTROY
// on, when the message is the default procedure's alone.
template <typename State>
State* KeepControlState(HWND h, UINT msg) {
    if (msg == WM_NCCREATE) SetWindowLongPtrA(h, 0, reinterpret_cast<LONG_PTR>(new State));
    State* st = ControlState<State>(h);
    if (msg == WM_NCDESTROY) {
        delete st;
        SetWindowLongPtrA(h, 0, 0);
        return nullptr;
    }
    return st;
}

inline DWORD ControlStyle(HWND h) {
    return static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE));
}

// A notification code to the parent as WM_COMMAND, with the control's id and handle.
void CommandToParent(HWND h, WORD code);

// As much of the text as fits, with its terminating NUL; nothing without a buffer.
void CopyTextOut(const std::string& text, LPSTR buffer, int size);

// The line height of the font (nullptr: the window DC's own), and a text's width in it.
int FontLineHeight(HWND h, HFONT font);
int TextWidthIn(HWND h, HFONT font, const std::string& text);

// The brush a control's face is filled with, asked of `owner` (the parent when nullptr) by
// `msg`, one of the WM_CTLCOLOR messages: the DC takes the default colours for it first, so an
// answer that leaves them stands on sensible ones; without an answer, the default brush.
HBRUSH AskControlColor(HWND h, UINT msg, HDC dc, HWND owner = nullptr);

// Where the procedure of a control that paints itself whole ends: WM_PAINT and WM_PRINTCLIENT
// paint into the DC given or the window's, WM_ERASEBKGND is left to the paint, WM_ENABLE
// repaints; anything else goes to the default procedure.
LRESULT PaintedControlDefault(HWND h, UINT msg, WPARAM wParam, LPARAM lParam,
                              void (*paint)(HWND, HDC));

}  // namespace win

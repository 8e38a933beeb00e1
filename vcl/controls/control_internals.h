// State and small helpers that the files of the control families share: the map from windows to
// controls, the control whose window is being made, the class procedures the library's window
// classes copy, and the control under the mouse. Only the control family's .cpp files include it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>

#include "platform/user/user.h"
#include "vcl/controls/controls.h"
#include "vcl/controls/forms.h"

namespace vcl {

namespace controls_internal {

inline std::unordered_map<win::HWND, TWinControl*>& ControlMap() {
    static std::unordered_map<win::HWND, TWinControl*> map;
    return map;
}

// The control whose window is being made: its first messages arrive before CreateWindowEx
// returns the handle.
inline thread_local TWinControl* gCreating = nullptr;

// The window procedures of the classes the library's window classes copy, by class name.
inline std::map<std::string, win::WNDPROC>& BaseProcs() {
    static std::map<std::string, win::WNDPROC> m;
    return m;
}

// The control the mouse was last over, for CM_MOUSEENTER and CM_MOUSELEAVE.
inline TControl* gMouseControl = nullptr;

// The button and move messages, with client coordinates; the wheel (screen coordinates, sent
// to the focused window) goes its own way.
inline bool IsMouseMsg(uint32_t m) {
    return m >= win::WM_MOUSEFIRST && m < win::WM_MOUSEWHEEL;
}

// Set while a wheel message goes to the window class's own procedure, which passes it on to
// the parent window: the class library's chain has already been offered it.
inline thread_local bool gWheelPassedOn = false;

inline TControl* TopParent(TControl* c) {
    while (c->Parent())
        c = c->Parent();
    return c;
}

inline TCursor ScreenCursor() {
    return Screen()->Cursor();
}

inline TPoint PointFromLParam(intptr_t lp) {
    return {static_cast<int16_t>(lp & 0xFFFF), static_cast<int16_t>((lp >> 16) & 0xFFFF)};
}

inline intptr_t LParamFromPoint(TPoint p) {
    return static_cast<intptr_t>((static_cast<uint32_t>(static_cast<uint16_t>(p.Y)) << 16) |
                                 static_cast<uint16_t>(p.X));
}

}  // namespace controls_internal

}  // namespace vcl

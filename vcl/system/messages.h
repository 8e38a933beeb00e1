// The class library's own window messages: the CM_ notifications that controls send each other,
// and the CN_ messages, which are the parent's WM_ notifications reflected back to the control
// they are about (CN_ = CN_BASE + the WM_ number). Their numbers are the well-known ones,
// because the skin code compares and sends them as numbers.
#pragma once

#include <cstdint>

#include "vcl/system/delegate.h"

namespace vcl {

// The message record every window procedure of the class library receives.
struct TMessage {
    uint32_t Msg = 0;
    uintptr_t WParam = 0;  // win::WPARAM
    intptr_t LParam = 0;   // win::LPARAM
    intptr_t Result = 0;   // win::LRESULT

    uint16_t WParamLo() const { return static_cast<uint16_t>(WParam); }
    uint16_t WParamHi() const { return static_cast<uint16_t>(WParam >> 16); }
    uint16_t LParamLo() const { return static_cast<uint16_t>(LParam); }
    uint16_t LParamHi() const {
        return static_cast<uint16_t>(static_cast<uintptr_t>(LParam) >> 16);
    }
};

// A replaceable window procedure: a control's WindowProc, a utility window's method.
using TWndMethod = Delegate<void(TMessage& Message)>;

inline constexpr uint32_t CM_BASE = 0xB000;
inline constexpr uint32_t CM_ACTIVATE = CM_BASE + 0;
inline constexpr uint32_t CM_DEACTIVATE = CM_BASE + 1;
inline constexpr uint32_t CM_GOTFOCUS = CM_BASE + 2;
inline constexpr uint32_t CM_LOSTFOCUS = CM_BASE + 3;
inline constexpr uint32_t CM_CANCELMODE = CM_BASE + 4;
inline constexpr uint32_t CM_DIALOGKEY = CM_BASE + 5;
inline constexpr uint32_t CM_DIALOGCHAR = CM_BASE + 6;
inline constexpr uint32_t CM_FOCUSCHANGED = CM_BASE + 7;
inline constexpr uint32_t CM_PARENTFONTCHANGED = CM_BASE + 8;
inline constexpr uint32_t CM_PARENTCOLORCHANGED = CM_BASE + 9;
inline constexpr uint32_t CM_HITTEST = CM_BASE + 10;
inline constexpr uint32_t CM_VISIBLECHANGED = CM_BASE + 11;
inline constexpr uint32_t CM_ENABLEDCHANGED = CM_BASE + 12;
inline constexpr uint32_t CM_COLORCHANGED = CM_BASE + 13;
inline constexpr uint32_t CM_FONTCHANGED = CM_BASE + 14;
inline constexpr uint32_t CM_CURSORCHANGED = CM_BASE + 15;
inline constexpr uint32_t CM_CTL3DCHANGED = CM_BASE + 16;
inline constexpr uint32_t CM_PARENTCTL3DCHANGED = CM_BASE + 17;
inline constexpr uint32_t CM_TEXTCHANGED = CM_BASE + 18;
inline constexpr uint32_t CM_MOUSEENTER = CM_BASE + 19;
inline constexpr uint32_t CM_MOUSELEAVE = CM_BASE + 20;
inline constexpr uint32_t CM_MENUCHANGED = CM_BASE + 21;
inline constexpr uint32_t CM_APPKEYDOWN = CM_BASE + 22;
inline constexpr uint32_t CM_APPSYSCOMMAND = CM_BASE + 23;
inline constexpr uint32_t CM_BUTTONPRESSED = CM_BASE + 24;
inline constexpr uint32_t CM_SHOWINGCHANGED = CM_BASE + 25;
inline constexpr uint32_t CM_ENTER = CM_BASE + 26;
inline constexpr uint32_t CM_EXIT = CM_BASE + 27;
inline constexpr uint32_t CM_DESIGNHITTEST = CM_BASE + 28;
inline constexpr uint32_t CM_ICONCHANGED = CM_BASE + 29;
inline constexpr uint32_t CM_WANTSPECIALKEY = CM_BASE + 30;
inline constexpr uint32_t CM_INVOKEHELP = CM_BASE + 31;
inline constexpr uint32_t CM_WINDOWHOOK = CM_BASE + 32;
inline constexpr uint32_t CM_RELEASE = CM_BASE + 33;
inline constexpr uint32_t CM_SHOWHINTCHANGED = CM_BASE + 34;
inline constexpr uint32_t CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
inline constexpr uint32_t CM_SYSCOLORCHANGE = CM_BASE + 36;
inline constexpr uint32_t CM_WININICHANGE = CM_BASE + 37;
inline constexpr uint32_t CM_FONTCHANGE = CM_BASE + 38;
inline constexpr uint32_t CM_TIMECHANGE = CM_BASE + 39;
inline constexpr uint32_t CM_TABSTOPCHANGED = CM_BASE + 40;
inline constexpr uint32_t CM_UIACTIVATE = CM_BASE + 41;
inline constexpr uint32_t CM_UIDEACTIVATE = CM_BASE + 42;
inline constexpr uint32_t CM_DOCWINDOWACTIVATE = CM_BASE + 43;
inline constexpr uint32_t CM_CONTROLLISTCHANGE = CM_BASE + 44;
inline constexpr uint32_t CM_GETDATALINK = CM_BASE + 45;
inline constexpr uint32_t CM_CHILDKEY = CM_BASE + 46;
inline constexpr uint32_t CM_DRAG = CM_BASE + 47;
inline constexpr uint32_t CM_HINTSHOW = CM_BASE + 48;
inline constexpr uint32_t CM_DIALOGHANDLE = CM_BASE + 49;
inline constexpr uint32_t CM_ISTOOLCONTROL = CM_BASE + 50;
inline constexpr uint32_t CM_RECREATEWND = CM_BASE + 51;
inline constexpr uint32_t CM_INVALIDATE = CM_BASE + 52;
inline constexpr uint32_t CM_SYSFONTCHANGED = CM_BASE + 53;
inline constexpr uint32_t CM_CONTROLCHANGE = CM_BASE + 54;
inline constexpr uint32_t CM_CHANGED = CM_BASE + 55;
inline constexpr uint32_t CM_DOCKCLIENT = CM_BASE + 56;
inline constexpr uint32_t CM_UNDOCKCLIENT = CM_BASE + 57;
inline constexpr uint32_t CM_FLOAT = CM_BASE + 58;
inline constexpr uint32_t CM_BORDERCHANGED = CM_BASE + 59;
inline constexpr uint32_t CM_BIDIMODECHANGED = CM_BASE + 60;
inline constexpr uint32_t CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
inline constexpr uint32_t CM_ALLCHILDRENFLIPPED = CM_BASE + 62;
inline constexpr uint32_t CM_ACTIONUPDATE = CM_BASE + 63;
inline constexpr uint32_t CM_ACTIONEXECUTE = CM_BASE + 64;
inline constexpr uint32_t CM_HINTSHOWPAUSE = CM_BASE + 65;
inline constexpr uint32_t CM_DOCKNOTIFICATION = CM_BASE + 66;
inline constexpr uint32_t CM_MOUSEWHEEL = CM_BASE + 67;
inline constexpr uint32_t CM_ISSHORTCUT = CM_BASE + 68;

inline constexpr uint32_t CN_BASE = 0xBC00;
inline constexpr uint32_t CN_CHARTOITEM = CN_BASE + 0x002F;   // WM_CHARTOITEM
inline constexpr uint32_t CN_COMMAND = CN_BASE + 0x0111;      // WM_COMMAND
inline constexpr uint32_t CN_COMPAREITEM = CN_BASE + 0x0039;  // WM_COMPAREITEM
inline constexpr uint32_t CN_CTLCOLORMSGBOX = CN_BASE + 0x0132;
inline constexpr uint32_t CN_CTLCOLOREDIT = CN_BASE + 0x0133;
inline constexpr uint32_t CN_CTLCOLORLISTBOX = CN_BASE + 0x0134;
inline constexpr uint32_t CN_CTLCOLORBTN = CN_BASE + 0x0135;
inline constexpr uint32_t CN_CTLCOLORDLG = CN_BASE + 0x0136;
inline constexpr uint32_t CN_CTLCOLORSCROLLBAR = CN_BASE + 0x0137;
inline constexpr uint32_t CN_CTLCOLORSTATIC = CN_BASE + 0x0138;
inline constexpr uint32_t CN_DELETEITEM = CN_BASE + 0x002D;
inline constexpr uint32_t CN_DRAWITEM = CN_BASE + 0x002B;
inline constexpr uint32_t CN_HSCROLL = CN_BASE + 0x0114;
inline constexpr uint32_t CN_MEASUREITEM = CN_BASE + 0x002C;
inline constexpr uint32_t CN_PARENTNOTIFY = CN_BASE + 0x0210;
inline constexpr uint32_t CN_VKEYTOITEM = CN_BASE + 0x002E;
inline constexpr uint32_t CN_VSCROLL = CN_BASE + 0x0115;
inline constexpr uint32_t CN_KEYDOWN = CN_BASE + 0x0100;
inline constexpr uint32_t CN_KEYUP = CN_BASE + 0x0101;
inline constexpr uint32_t CN_CHAR = CN_BASE + 0x0102;
inline constexpr uint32_t CN_SYSKEYDOWN = CN_BASE + 0x0104;
inline constexpr uint32_t CN_SYSCHAR = CN_BASE + 0x0106;
inline constexpr uint32_t CN_NOTIFY = CN_BASE + 0x004E;  // WM_NOTIFY

}  // namespace vcl

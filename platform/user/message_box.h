// MessageBox: a modal dialog ("#32770") made of standard controls: the icon, the text (lines
// broken at "\r", "\n" or "\r\n", and wrapped when too wide) and a row of push buttons. It needs
// no form and no application object, so start-up code can report with it; it does need the
// standard control classes (win::RegisterStandardControls of platform/controls).
#pragma once

#include "platform/user/dialog_manager.h"
#include "platform/user/win_types.h"

namespace win {

inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
inline constexpr UINT MB_YESNOCANCEL = 0x3;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_RETRYCANCEL = 0x5;
inline constexpr UINT MB_TYPEMASK = 0xF;
inline constexpr UINT MB_ICONHAND = 0x10;
inline constexpr UINT MB_ICONSTOP = MB_ICONHAND;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONASTERISK = 0x40;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_ICONMASK = 0xF0;
inline constexpr UINT MB_DEFBUTTON1 = 0x000;
inline constexpr UINT MB_DEFBUTTON2 = 0x100;
inline constexpr UINT MB_DEFBUTTON3 = 0x200;
inline constexpr UINT MB_DEFMASK = 0xF00;
inline constexpr UINT MB_APPLMODAL = 0x0000;
inline constexpr UINT MB_SYSTEMMODAL = 0x1000;
inline constexpr UINT MB_TASKMODAL = 0x2000;
// A Help button after the others; pressing it leaves the box up (there is no help system).
inline constexpr UINT MB_HELP = 0x4000;
inline constexpr UINT MB_SETFOREGROUND = 0x10000;
inline constexpr UINT MB_TOPMOST = 0x40000;

// The ids the icon and the text controls of a message box have.
inline constexpr int kMessageBoxIconId = 20;
inline constexpr int kMessageBoxTextId = 0xFFFF;

// Answers the id of the button chosen (IDOK, IDYES, ...), or 0 when the box could not be made.
// Escape and the close box answer IDCANCEL when the box has a Cancel button, IDOK for MB_OK,
// and do nothing otherwise.
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);
inline int MessageBox(HWND o, const char* t, const char* c, UINT f) {
    return MessageBoxA(o, t, c, f);
}

// There is no sound device: the beep is only a return value.
BOOL MessageBeep(UINT type);

}  // namespace win

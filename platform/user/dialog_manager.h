// The dialog manager: windows of the class "#32770" with a dialog procedure, made from a
// template in memory, shown modeless or in a modal loop, and the keyboard interface of
// dialogs (IsDialogMessage): Tab and Shift+Tab through the controls with WS_TABSTOP, the arrow
// keys inside a WS_GROUP group, Enter for the default push button, Escape for IDCANCEL, and
// mnemonics. Controls say which keys they want themselves through WM_GETDLGCODE.
//
// The dialog procedure answers TRUE for a message it handled; its result for the sender is
// then in DWLP_MSGRESULT. The template is given in pixels.
#pragma once

#include <string>
#include <vector>

#include "platform/user/messages.h"
#include "platform/user/win_types.h"

namespace win {

using INT_PTR = intptr_t;
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

inline constexpr const char* WC_DIALOG = "#32770";
inline constexpr int DWLP_MSGRESULT = 0;
inline constexpr int DWLP_DLGPROC = int(sizeof(LONG_PTR));
inline constexpr int DWLP_USER = int(2 * sizeof(LONG_PTR));
inline constexpr int DLGWINDOWEXTRA = int(3 * sizeof(LONG_PTR));

// Dialog styles.
inline constexpr DWORD DS_ABSALIGN = 0x01;
inline constexpr DWORD DS_SYSMODAL = 0x02;
inline constexpr DWORD DS_SETFONT = 0x40;
inline constexpr DWORD DS_MODALFRAME = 0x80;
inline constexpr DWORD DS_NOIDLEMSG = 0x100;
inline constexpr DWORD DS_SETFOREGROUND = 0x200;
inline constexpr DWORD DS_CENTER = 0x800;

// Command ids of the standard buttons.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr int IDCLOSE = 8;
inline constexpr int IDHELP = 9;

// DM_GETDEFID answers DC_HASDEFID in the high word when a default id is set.
inline constexpr WORD DC_HASDEFID = 0x534B;

// The button messages and styles the dialog manager itself uses (the Button class has the rest).
inline constexpr UINT BM_GETCHECK = 0x00F0;
inline constexpr UINT BM_SETCHECK = 0x00F1;
inline constexpr UINT BM_GETSTATE = 0x00F2;
inline constexpr UINT BM_SETSTATE = 0x00F3;
inline constexpr UINT BM_SETSTYLE = 0x00F4;
inline constexpr UINT BM_CLICK = 0x00F5;
inline constexpr DWORD BS_PUSHBUTTON = 0x0;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x1;
inline constexpr DWORD BS_TYPEMASK = 0xF;
inline constexpr WORD BN_CLICKED = 0;
inline constexpr UINT BST_UNCHECKED = 0;
inline constexpr UINT BST_CHECKED = 1;
inline constexpr UINT BST_INDETERMINATE = 2;
inline constexpr UINT BST_PUSHED = 4;
inline constexpr UINT BST_FOCUS = 8;

// The Static styles message boxes are made with (the Static class has the rest).
inline constexpr DWORD SS_LEFT = 0x0;
inline constexpr DWORD SS_CENTER = 0x1;
inline constexpr DWORD SS_RIGHT = 0x2;
inline constexpr DWORD SS_ICON = 0x3;
inline constexpr DWORD SS_NOPREFIX = 0x80;

// The owner-draw records (DRAWITEMSTRUCT, MEASUREITEMSTRUCT, ODT_, ODA_, ODS_) are in
// messages.h with the other message records.

// The lines a label shows: broken at "\r", "\n" and "\r\n", then wrapped at blanks to
// maxWidth (a word wider than that stays whole; maxWidth <= 0 does not wrap). `extent` gets
// the size of the block in the DC's font.
std::vector<std::string> LayoutTextLines(HDC dc, const std::string& text, int maxWidth,
                                         SIZE* extent);

// The head of every WM_NOTIFY record.
struct NMHDR {
    HWND hwndFrom = nullptr;
    UINT_PTR idFrom = 0;
    UINT code = 0;
};

struct DialogItem {
    std::string className;  // "Button", "Static", ...
    std::string text;
    int id = 0;
    DWORD style = 0;  // WS_CHILD is added
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string caption;
    int x = 0, y = 0, cx = 0, cy = 0;  // the window's outer bounds
    std::vector<DialogItem> items;
    HFONT font = nullptr;  // for every control; nullptr: the default GUI font
};

HWND CreateDialogIndirectParamA(HINSTANCE instance, const DialogTemplate* dialog, HWND parent,
                                DLGPROC proc, LPARAM param);
// Shows the dialog modally: the parent is disabled while the dialog's own loop runs, until
// EndDialog. Returns EndDialog's result, or -1 when the dialog could not be made.
INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, const DialogTemplate* dialog, HWND parent,
                                DLGPROC proc, LPARAM param);
BOOL EndDialog(HWND dialog, INT_PTR result);
LRESULT DefDlgProcA(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
// Handles the message when it is meant for the dialog or one of its controls (dispatching it
// if need be); FALSE when it is not.
BOOL IsDialogMessageA(HWND dialog, MSG* msg);
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);

// The children of a window in dialog order: for a dialog, the order its template made them in
// (then any added later); for any other window, the z-order.
std::vector<HWND> ChildrenInDialogOrder(HWND parent);

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL SetDlgItemTextA(HWND dialog, int id, const char* text);
UINT GetDlgItemTextA(HWND dialog, int id, char* buffer, int size);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);

inline HWND CreateDialogIndirectParam(HINSTANCE i, const DialogTemplate* d, HWND p, DLGPROC f,
                                      LPARAM l) {
    return CreateDialogIndirectParamA(i, d, p, f, l);
}
inline INT_PTR DialogBoxIndirectParam(HINSTANCE i, const DialogTemplate* d, HWND p, DLGPROC f,
                                      LPARAM l) {
    return DialogBoxIndirectParamA(i, d, p, f, l);
}
inline LRESULT DefDlgProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return DefDlgProcA(h, m, w, l);
}
inline BOOL IsDialogMessage(HWND h, MSG* m) {
    return IsDialogMessageA(h, m);
}

}  // namespace win

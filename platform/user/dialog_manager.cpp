#include "platform/user/dialog_manager.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <utility>

#include "platform/gdi/gdi.h"
#include "platform/os/cp1251.h"
#include "platform/user/user.h"

namespace win {

namespace {

// What a dialog keeps besides its window extra bytes: where the focus was when it was last
// deactivated, and, for a modal dialog, whether and how it ended.
struct DialogState {
    HWND savedFocus = nullptr;
    WORD defId = 0;
    bool hasDefId = false;
    bool ended = false;
    INT_PTR result = 0;
    std::vector<HWND> order;       // the controls in the order the template made them
    HWND disabledOwner = nullptr;  // the owner a modal loop disabled, until it is enabled again
};

std::unordered_map<HWND, DialogState>& States() {
    static std::unordered_map<HWND, DialogState> m;
    return m;
}

DialogState* StateOf(HWND dlg) {
    auto it = States().find(dlg);
    return it == States().end() ? nullptr : &it->second;
}

// The procedure of the dialog being made: its first messages arrive inside CreateWindowEx.
thread_local DLGPROC gPendingProc = nullptr;

void EnsureDialogClass() {
    WNDCLASSA wc;
    if (GetClassInfoA(nullptr, WC_DIALOG, &wc)) return;
    wc = {};
    wc.style = CS_DBLCLKS | CS_SAVEBITS;
    wc.lpfnWndProc = DefDlgProcA;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_BTNFACE + 1));
    wc.lpszClassName = WC_DIALOG;
    RegisterClassA(&wc);
}

DWORD StyleOf(HWND h) {
    return static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE));
}

bool Usable(HWND h) {
    return IsWindowVisible(h) && IsWindowEnabled(h);
}

std::vector<HWND> Children(HWND dlg) {
    return ChildrenInDialogOrder(dlg);
}

LRESULT DlgCode(HWND h, MSG* msg) {
    return SendMessageA(h, WM_GETDLGCODE, msg ? msg->wParam : 0, reinterpret_cast<LPARAM>(msg));
}

bool IsPushButton(HWND h) {
    return (DlgCode(h, nullptr) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

// The push button that shows the default frame follows the focus: a focused push button is
// the default while it has the focus; otherwise the dialog's default id is.
void UpdateDefaultButton(HWND dlg, HWND focus) {
    DialogState* st = StateOf(dlg);
    HWND def = nullptr;
    if (focus && IsPushButton(focus))
        def = focus;
    else if (st && st->hasDefId)
        def = GetDlgItem(dlg, st->defId);
    for (HWND c : Children(dlg)) {
        const LRESULT code = DlgCode(c, nullptr);
        if (!(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) continue;
        const bool isDef = (code & DLGC_DEFPUSHBUTTON) != 0;
        if (c == def && !isDef) SendMessageA(c, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        if (c != def && isDef) SendMessageA(c, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    }
}

void MoveFocus(HWND dlg, HWND to) {
    if (!to) return;
    SetFocus(to);
    UpdateDefaultButton(dlg, to);
}

// Sends the dialog the command of a button, as a click would.
void SendCommand(HWND dlg, int id) {
    HWND button = GetDlgItem(dlg, id);
    if (button && !IsWindowEnabled(button)) return;
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

int DefaultId(HWND dlg) {
    const LRESULT r = SendMessageA(dlg, DM_GETDEFID, 0, 0);
    return HIWORD(static_cast<DWORD>(r)) == DC_HASDEFID ? LOWORD(static_cast<DWORD>(r)) : IDOK;
}

// The letter after a single "&" of a control's text, upper-cased; 0 when there is none.
char Mnemonic(HWND h) {
    char text[256];
    const int n = GetWindowTextA(h, text, sizeof text);
    for (int i = 0; i + 1 < n; ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(os::UpperCp1251(static_cast<unsigned char>(text[i + 1])));
    }
    return 0;
}

bool HandleMnemonic(HWND dlg, char ch) {
    ch = static_cast<char>(os::UpperCp1251(static_cast<unsigned char>(ch)));
    const std::vector<HWND> kids = Children(dlg);
    for (std::size_t i = 0; i < kids.size(); ++i) {
        HWND c = kids[i];
        if (!Usable(c) || Mnemonic(c) != ch) continue;
        const LRESULT code = DlgCode(c, nullptr);
        if (code & DLGC_STATIC) {
            // A label moves the focus to the next control that can take it.
            for (std::size_t j = i + 1; j < kids.size(); ++j)
                if (Usable(kids[j]) && !(DlgCode(kids[j], nullptr) & DLGC_STATIC)) {
                    MoveFocus(dlg, kids[j]);
                    return true;
                }
            return true;
        }
        if (code & DLGC_BUTTON) {
            MoveFocus(dlg, c);
            SendMessageA(c, BM_CLICK, 0, 0);
            return true;
        }
        MoveFocus(dlg, c);
        return true;
    }
    return false;
}

HWND FirstTabItem(HWND dlg) {
    return GetNextDlgTabItem(dlg, nullptr, FALSE);
}

}  // namespace

LRESULT DefDlgProcA(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(dlg, DWLP_DLGPROC));
    if (!proc && gPendingProc) {
        proc = gPendingProc;
        SetWindowLongPtrA(dlg, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
        States()[dlg];
    }
    if (proc) {
        SetWindowLongPtrA(dlg, DWLP_MSGRESULT, 0);
        const INT_PTR handled = proc(dlg, msg, wParam, lParam);
        if (handled) {
            switch (msg) {
                case WM_CTLCOLORMSGBOX:
                case WM_CTLCOLOREDIT:
                case WM_CTLCOLORLISTBOX:
                case WM_CTLCOLORBTN:
                case WM_CTLCOLORDLG:
                case WM_CTLCOLORSCROLLBAR:
                case WM_CTLCOLORSTATIC:
                case WM_INITDIALOG:
                    return handled;
                default:
                    return GetWindowLongPtrA(dlg, DWLP_MSGRESULT);
            }
        }
    }
    DialogState* st = StateOf(dlg);
    switch (msg) {
        case WM_INITDIALOG:
            return TRUE;
        case DM_GETDEFID:
            if (st && st->hasDefId) return MAKELONG(st->defId, DC_HASDEFID);
            return 0;
        case DM_SETDEFID:
            if (st) {
                st->defId = static_cast<WORD>(wParam);
                st->hasDefId = true;
                UpdateDefaultButton(dlg,
                                    GetFocus() && IsChild(dlg, GetFocus()) ? GetFocus() : nullptr);
            }
            return TRUE;
        case WM_CLOSE:
            SendCommand(dlg, IDCANCEL);
            return 0;
        case WM_ACTIVATE:
            if (st) {
                if (LOWORD(static_cast<DWORD>(wParam)) == WA_INACTIVE) {
                    HWND f = GetFocus();
                    if (f && IsChild(dlg, f)) st->savedFocus = f;
                } else {
                    HWND f = st->savedFocus && IsWindow(st->savedFocus) ? st->savedFocus
                                                                        : FirstTabItem(dlg);
                    if (f) MoveFocus(dlg, f);
                }
            }
            return 0;
        case WM_SETFOCUS: {
            HWND f = st && st->savedFocus && IsWindow(st->savedFocus) ? st->savedFocus
                                                                      : FirstTabItem(dlg);
            if (f) MoveFocus(dlg, f);
            return 0;
        }
        case WM_NEXTDLGCTL: {
            HWND to = lParam ? reinterpret_cast<HWND>(wParam)
                             : GetNextDlgTabItem(dlg, GetFocus(), wParam != 0);
            MoveFocus(dlg, to);
            return 0;
        }
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_NCDESTROY:
            States().erase(dlg);
            break;
        default:
            break;
    }
    return DefWindowProcA(dlg, msg, wParam, lParam);
}

HWND CreateDialogIndirectParamA(HINSTANCE, const DialogTemplate* t, HWND parent, DLGPROC proc,
                                LPARAM param) {
    if (!t) return nullptr;
    EnsureDialogClass();
    DWORD style = t->style & ~WS_VISIBLE;
    if (!(style & WS_CHILD)) style |= WS_POPUP;
    int x = t->x, y = t->y;
    if (t->style & DS_CENTER) {
        RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        if (parent && IsWindowVisible(parent)) GetWindowRect(parent, &area);
        x = area.left + (area.right - area.left - t->cx) / 2;
        y = area.top + (area.bottom - area.top - t->cy) / 2;
    }
    DLGPROC outer = gPendingProc;
    gPendingProc = proc;
    // By atom, as the system makes its dialogs: creation hooks see 0x8002, not the name.
    HWND dlg = CreateWindowExA(t->exStyle | WS_EX_CONTROLPARENT, MAKEINTATOM(kDialogClassAtom),
                               t->caption.c_str(), style, x, y, t->cx, t->cy, parent, nullptr,
                               nullptr, nullptr);
    gPendingProc = outer;
    if (!dlg) return nullptr;
    if (!GetWindowLongPtrA(dlg, DWLP_DLGPROC))
        SetWindowLongPtrA(dlg, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
    States()[dlg];
    HFONT font = t->font ? t->font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageA(dlg, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (const DialogItem& item : t->items) {
        HWND c = CreateWindowExA(item.exStyle, item.className.c_str(), item.text.c_str(),
                                 item.style | WS_CHILD, item.x, item.y, item.cx, item.cy, dlg,
                                 reinterpret_cast<HMENU>(static_cast<intptr_t>(item.id)), nullptr,
                                 nullptr);
        if (!c) {
            DestroyWindow(dlg);
            return nullptr;
        }
        SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (DialogState* st = StateOf(dlg)) st->order.push_back(c);
    }
    HWND first = FirstTabItem(dlg);
    if (!IsWindow(dlg)) return nullptr;
    if (SendMessageA(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) && first &&
        IsWindow(dlg))
        MoveFocus(dlg, first);
    if (!IsWindow(dlg)) return nullptr;
    if (t->style & WS_VISIBLE) ShowWindow(dlg, SW_SHOWNORMAL);
    return dlg;
}

INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, const DialogTemplate* t, HWND parent,
                                DLGPROC proc, LPARAM param) {
    if (!t) return -1;
    DialogTemplate hidden = *t;
    hidden.style &= ~WS_VISIBLE;
    HWND dlg = CreateDialogIndirectParamA(instance, &hidden, parent, proc, param);
    if (!dlg) return -1;
    DialogState* st = StateOf(dlg);
    // EndDialog during WM_INITDIALOG ends the dialog before it is shown.
    const bool disableParent = parent && IsWindowEnabled(parent);
    if (st && !st->ended) {
        if (disableParent) {
            EnableWindow(parent, FALSE);
            st->disabledOwner = parent;
        }
        ShowWindow(dlg, SW_SHOWNORMAL);
        SetActiveWindow(dlg);
        // The focus belongs inside the dialog now that its controls can be seen.
        HWND f = GetFocus();
        if (!f || (f != dlg && !IsChild(dlg, f))) {
            HWND first = FirstTabItem(dlg);
            if (first)
                MoveFocus(dlg, first);
            else
                SetFocus(dlg);
        }
        MSG msg;
        while ((st = StateOf(dlg)) && !st->ended) {
            const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
            if (got == 0) {
                // Quitting the program ends the dialog and leaves the quit for the outer loop.
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (got < 0) break;
            if (!IsDialogMessageA(dlg, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        // The parent is enabled before the dialog goes, so that activation returns to it
        // (EndDialog has done so unless the loop ended otherwise).
        st = StateOf(dlg);
        if (disableParent && (!st || st->disabledOwner)) EnableWindow(parent, TRUE);
        if (st) st->disabledOwner = nullptr;
    }
    st = StateOf(dlg);
    const INT_PTR result = st ? st->result : 0;
    if (IsWindow(dlg)) DestroyWindow(dlg);
    return result;
}

BOOL EndDialog(HWND dlg, INT_PTR result) {
    DialogState* st = StateOf(dlg);
    if (!st) return FALSE;
    st->ended = true;
    st->result = result;
    // The owner is enabled before the dialog hides, or the activation would have nowhere to go.
    if (HWND owner = std::exchange(st->disabledOwner, nullptr)) EnableWindow(owner, TRUE);
    ShowWindow(dlg, SW_HIDE);
    PostMessageA(dlg, WM_NULL, 0, 0);  // wakes the modal loop
    return TRUE;
}

HWND GetNextDlgTabItem(HWND dlg, HWND control, BOOL previous) {
    const std::vector<HWND> kids = Children(dlg);
    std::vector<HWND> stops;
    for (HWND c : kids)
        if (Usable(c) && (StyleOf(c) & WS_TABSTOP)) stops.push_back(c);
    if (stops.empty()) return control;
    auto it = std::find(stops.begin(), stops.end(), control);
    if (it == stops.end()) {
        // From a control that is not a tab stop, go from its place in the z-order.
        auto pos = std::find(kids.begin(), kids.end(), control);
        if (pos == kids.end()) return previous ? stops.back() : stops.front();
        if (!previous) {
            for (auto k = pos; k != kids.end(); ++k)
                if (std::find(stops.begin(), stops.end(), *k) != stops.end()) return *k;
            return stops.front();
        }
        for (auto k = std::make_reverse_iterator(pos); k != kids.rend(); ++k)
            if (std::find(stops.begin(), stops.end(), *k) != stops.end()) return *k;
        return stops.back();
    }
    const std::size_t i = static_cast<std::size_t>(it - stops.begin());
    const std::size_t n = stops.size();
    return stops[previous ? (i + n - 1) % n : (i + 1) % n];
}

HWND GetNextDlgGroupItem(HWND dlg, HWND control, BOOL previous) {
    const std::vector<HWND> kids = Children(dlg);
    auto pos = std::find(kids.begin(), kids.end(), control);
    if (pos == kids.end()) return control;
    // The group runs from the last WS_GROUP control at or before this one to the control
    // before the next WS_GROUP control.
    std::size_t start = static_cast<std::size_t>(pos - kids.begin());
    while (start > 0 && !(StyleOf(kids[start]) & WS_GROUP))
        --start;
    std::size_t end = static_cast<std::size_t>(pos - kids.begin()) + 1;
    while (end < kids.size() && !(StyleOf(kids[end]) & WS_GROUP))
        ++end;
    const std::size_t n = end - start;
    std::size_t i = static_cast<std::size_t>(pos - kids.begin()) - start;
    for (std::size_t step = 1; step < n; ++step) {
        const std::size_t j = previous ? (i + n - step) % n : (i + step) % n;
        if (Usable(kids[start + j])) return kids[start + j];
    }
    return control;
}

BOOL IsDialogMessageA(HWND dlg, MSG* msg) {
    if (!msg || !dlg || (msg->hwnd != dlg && !IsChild(dlg, msg->hwnd))) return FALSE;
    if (msg->message == WM_KEYDOWN || msg->message == WM_CHAR || msg->message == WM_SYSCHAR) {
        HWND target = msg->hwnd;
        const LRESULT code = DlgCode(target, msg);
        if (!(code & (DLGC_WANTMESSAGE | DLGC_WANTALLKEYS))) {
            if (msg->message == WM_KEYDOWN) {
                const bool shift = GetKeyState(VK_SHIFT) < 0;
                switch (msg->wParam) {
                    case VK_TAB:
                        if (code & DLGC_WANTTAB) break;
                        MoveFocus(dlg, GetNextDlgTabItem(dlg, GetFocus(), shift));
                        return TRUE;
                    case VK_LEFT:
                    case VK_UP:
                    case VK_RIGHT:
                    case VK_DOWN: {
                        if (code & DLGC_WANTARROWS) break;
                        const bool back = msg->wParam == VK_LEFT || msg->wParam == VK_UP;
                        HWND next = GetNextDlgGroupItem(dlg, GetFocus(), back);
                        MoveFocus(dlg, next);
                        if (next && (DlgCode(next, nullptr) & DLGC_RADIOBUTTON))
                            SendMessageA(next, BM_CLICK, 0, 0);
                        return TRUE;
                    }
                    case VK_RETURN: {
                        HWND f = GetFocus();
                        const int id = f && (DlgCode(f, nullptr) & DLGC_DEFPUSHBUTTON)
                                           ? GetDlgCtrlID(f)
                                           : DefaultId(dlg);
                        SendCommand(dlg, id);
                        return TRUE;
                    }
                    case VK_ESCAPE:
                        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                                     reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDCANCEL)));
                        return TRUE;
                    default:
                        break;
                }
            } else if (!(code & DLGC_WANTCHARS) || msg->message == WM_SYSCHAR) {
                const char ch = static_cast<char>(msg->wParam);
                if (static_cast<unsigned char>(ch) > ' ' && HandleMnemonic(dlg, ch)) return TRUE;
                if (msg->message == WM_SYSCHAR) return TRUE;
            }
        }
    }
    TranslateMessage(msg);
    DispatchMessageA(msg);
    return TRUE;
}

std::vector<HWND> ChildrenInDialogOrder(HWND parent) {
    std::vector<HWND> zorder;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        zorder.push_back(c);
    const DialogState* st = StateOf(parent);
    if (!st) return zorder;
    std::vector<HWND> out;
    for (HWND c : st->order)
        if (std::find(zorder.begin(), zorder.end(), c) != zorder.end()) out.push_back(c);
    for (HWND c : zorder)
        if (std::find(out.begin(), out.end(), c) == out.end()) out.push_back(c);
    return out;
}

LRESULT SendDlgItemMessageA(HWND dlg, int id, UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND c = GetDlgItem(dlg, id);
    return c ? SendMessageA(c, msg, wParam, lParam) : 0;
}

BOOL SetDlgItemTextA(HWND dlg, int id, const char* text) {
    HWND c = GetDlgItem(dlg, id);
    return c ? SetWindowTextA(c, text) : FALSE;
}

UINT GetDlgItemTextA(HWND dlg, int id, char* buffer, int size) {
    HWND c = GetDlgItem(dlg, id);
    if (!c) {
        if (buffer && size > 0) buffer[0] = 0;
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(c, buffer, size));
}

BOOL CheckDlgButton(HWND dlg, int id, UINT check) {
    return SendDlgItemMessageA(dlg, id, BM_SETCHECK, check, 0), TRUE;
}

UINT IsDlgButtonChecked(HWND dlg, int id) {
    return static_cast<UINT>(SendDlgItemMessageA(dlg, id, BM_GETCHECK, 0, 0));
}

std::vector<std::string> LayoutTextLines(HDC dc, const std::string& text, int maxWidth,
                                         SIZE* extent) {
    std::vector<std::string> lines;
    std::string cur;
    auto width = [dc](const std::string& s) {
        SIZE sz{};
        GetTextExtentPoint32(dc, s.c_str(), static_cast<int>(s.size()), &sz);
        return sz;
    };
    auto flush = [&] {
        // Wrap the paragraph.
        std::string line;
        std::size_t i = 0;
        while (i <= cur.size()) {
            const std::size_t blank = cur.find(' ', i);
            const std::string word =
                cur.substr(i, blank == std::string::npos ? std::string::npos : blank - i);
            const std::string tryLine = line.empty() ? word : line + " " + word;
            if (maxWidth > 0 && !line.empty() && width(tryLine).cx > maxWidth) {
                lines.push_back(line);
                line = word;
            } else {
                line = tryLine;
            }
            if (blank == std::string::npos) break;
            i = blank + 1;
        }
        lines.push_back(line);
        cur.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            flush();
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            cur += text[i];
        }
    }
    flush();
    if (extent) {
        *extent = {0, 0};
        for (const std::string& l : lines) {
            const SIZE s = width(l.empty() ? std::string(" ") : l);
            extent->cx = std::max(extent->cx, s.cx);
            extent->cy += s.cy;
        }
    }
    return lines;
}

BOOL CheckRadioButton(HWND dlg, int first, int last, int check) {
    for (int id = first; id <= last; ++id)
        SendDlgItemMessageA(dlg, id, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
    return TRUE;
}

}  // namespace win

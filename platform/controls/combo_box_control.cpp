// The "ComboBox" class in the classic look: a 2-pixel sunken edge, the drop button
// (SM_CXVSCROLL wide) inside it on the right, the field between; its list is a "ComboLBox".
//
// A drop-down combo box keeps its window as high as the field (the closed height); the height
// it is made or placed with beyond that is the room its list may drop into, shrunk to the
// items it holds. The list is made once, a pop-up owned by the combo box's form.
//
// States of a drop-down combo box:
//   closed  --a press on the button (anywhere on a drop-down list's face), F4, Alt+Down,
//             CB_SHOWDROPDOWN(TRUE)--> dropped, by Drop: CBN_DROPDOWN, the list placed below
//             the box (above when the screen ends), WM_CTLCOLORLISTBOX sent to the box with
//             the list in lParam, the list shown and given the capture. A press that dropped
//             it stays tracked (LBCB_STARTTRACK) until the button is let go (LBCB_ENDTRACK).
//   dropped --an item picked (click, Enter), F4, Alt+Up--> closed, by CloseUp(ok):
//             CBN_SELENDOK, hidden, CBN_CLOSEUP, then CBN_SELCHANGE when the pick differs.
//           --a press outside, Escape, focus loss, CB_SHOWDROPDOWN(FALSE)--> closed, by
//             CloseUp(cancel): the selection the mouse passed over goes back,
//             CBN_SELENDCANCEL, hidden, CBN_CLOSEUP.
//   In both states the arrow keys move the selection and tell CBN_SELCHANGE at once.
//
// Rules: 1. `chosen` is the selection last told (or set by a message); the list's own
// selection differs from it only while dropped, under the mouse. 2. Notifications go to the
// parent; a handler may destroy the box, so every step after one checks the window still is.
#include "platform/controls/combo_box_control.h"

#include <algorithm>
#include <string>

#include "platform/controls/classic_paint.h"
#include "platform/controls/edit_control.h"
#include "platform/controls/list_box_control.h"
#include "platform/controls/native_control.h"
#include "platform/gdi/gdi.h"
#include "platform/os/clock.h"
#include "platform/user/user.h"

namespace win {

namespace {

constexpr uint32_t kTypeAheadMs = 1000;

struct ComboState {
    DWORD style = 0;
    HWND list = nullptr;
    HWND edit = nullptr;
    WNDPROC editProc = nullptr;  // the edit's own procedure, under the box's
    HFONT font = nullptr;
    int fieldHeight = 16;
    int dropHeight = 0;
    bool dropped = false;
    bool tracking = false;
    bool focused = false;
    bool settingText = false;  // the box itself puts text into the edit
    bool swallowChar = false;  // the character of a key that closed the list
    int chosen = -1;
    std::string typed;
    uint32_t typedAt = 0;

    DWORD Kind() const {
        const DWORD k = style & 3;
        return k == 0 ? CBS_SIMPLE : k;
    }
    bool DropDown() const { return Kind() != CBS_SIMPLE; }
    bool OwnerDraw() const { return (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0; }
    int ClosedHeight() const { return fieldHeight + 6; }
};

ComboState* StateOf(HWND h) {
    return ControlState<ComboState>(h);
}

LRESULT ToList(const ComboState& st, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    return st.list ? SendMessageA(st.list, msg, wp, lp) : LB_ERR;
}

int Selection(const ComboState& st) {
    return static_cast<int>(ToList(st, LB_GETCURSEL));
}

std::string ItemText(const ComboState& st, int i) {
    const LRESULT n = ToList(st, LB_GETTEXTLEN, static_cast<WPARAM>(i));
    if (n < 0 || !(ControlStyle(st.list) & LBS_HASSTRINGS)) return {};
    std::string s(static_cast<std::size_t>(n) + 1, '\0');
    s.resize(static_cast<std::size_t>(std::max<LRESULT>(
        0, ToList(st, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.data())))));
    return s;
}

void Notify(HWND h, WORD code) {
    if (HWND parent = GetParent(h))
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), code),
                     reinterpret_cast<LPARAM>(h));
}

// --- geometry ---

RECT ButtonRect(HWND h, const ComboState& st) {
    RECT rc;
    GetClientRect(h, &rc);
    if (!st.DropDown()) return {rc.right - 2, 2, rc.right - 2, 2};
    const int h2 = st.ClosedHeight() - 2;
    return {rc.right - 2 - GetSystemMetrics(SM_CXVSCROLL), 2, rc.right - 2, h2};
}

// Where the field shows its text, inside the edge and left of the button.
RECT FieldRect(HWND h, const ComboState& st) {
    RECT rc;
    GetClientRect(h, &rc);
    const RECT b = ButtonRect(h, st);
    return {3, 3, st.DropDown() ? b.left - 1 : rc.right - 3, st.ClosedHeight() - 3};
}

void Layout(HWND h, const ComboState& st) {
    RECT rc;
    GetClientRect(h, &rc);
    if (st.edit) {
        const RECT f = FieldRect(h, st);
        SetWindowPos(st.edit, nullptr, f.left, f.top, f.right - f.left, f.bottom - f.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!st.DropDown() && st.list)
        SetWindowPos(st.list, nullptr, 0, st.ClosedHeight(), rc.right,
                     std::max(0, static_cast<int>(rc.bottom) - st.ClosedHeight()),
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

// The closed height follows the field; the window is kept at it.
void FitHeight(HWND h, const ComboState& st) {
    if (!st.DropDown()) return;
    RECT wr;
    GetWindowRect(h, &wr);
    SetWindowPos(h, nullptr, 0, 0, wr.right - wr.left, st.ClosedHeight(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The list's rectangle on the screen when dropped: as many rows as the room allows and the
// items need (one at least), below the box or, when the screen ends there, above it.
RECT DropRect(HWND h, const ComboState& st) {
    RECT wr;
    GetWindowRect(h, &wr);
    const int count = static_cast<int>(ToList(st, LB_GETCOUNT));
    const bool variable = (st.style & CBS_OWNERDRAWVARIABLE) != 0;
    const int room = std::max(0, st.dropHeight - 2);
    int items = 0, shown = 0;
    for (int i = 0; i < std::max(count, 1); ++i) {
        const int ih = static_cast<int>(ToList(st, LB_GETITEMHEIGHT, variable ? i : 0));
        if (shown > 0 && items + ih > room) break;
        items += std::max(1, ih);
        ++shown;
        if (!variable && i + 1 < count) {  // all rows alike: take what fits at once
            const int more = std::min(count - 1, room / std::max(1, ih) - 1);
            if (more > 0) {
                items += more * ih;
                shown += more;
            }
            break;
        }
    }
    const int height = items + 2;
    const int screen = GetSystemMetrics(SM_CYSCREEN);
    int y = wr.bottom;
    if (y + height > screen && wr.top - height >= 0) y = wr.top - height;
    return {wr.left, y, wr.right, y + height};
}

// --- selection ---

void Repaint(HWND h) {
    InvalidateRect(h, nullptr, FALSE);
}

// The field shows item `i`; an edit gets its text, all selected.
void ShowChoice(HWND h, ComboState& st, int i) {
    if (st.edit) {
        const std::string s = i >= 0 ? ItemText(st, i) : std::string();
        st.settingText = true;
        SetWindowTextA(st.edit, s.c_str());
        st.settingText = false;
        SendMessageA(st.edit, EM_SETSEL, 0, -1);
    }
    Repaint(h);
}

// The operator chose item `i`: the field shows it, the parent hears of it once.
void Choose(HWND h, ComboState& st, int i) {
    if (i == st.chosen) return;
    st.chosen = i;
    ShowChoice(h, st, i);
    Notify(h, CBN_SELCHANGE);
}

void EndTracking(HWND h, ComboState& st) {
    if (!st.tracking) return;
    st.tracking = false;
    ToList(st, LBCB_ENDTRACK);
    if (IsWindow(h)) Repaint(h);
}

void Drop(HWND h, ComboState& st) {
    if (!st.DropDown() || st.dropped || !st.list) return;
    Notify(h, CBN_DROPDOWN);  // the parent may still fill or size the list
    if (!IsWindow(h) || StateOf(h) != &st || st.dropped) return;
    const RECT r = DropRect(h, st);
    SetWindowPos(st.list, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOACTIVATE);
    const int sel = Selection(st);
    if (sel >= 0)
        ToList(st, LB_SETCURSEL, static_cast<WPARAM>(sel));
    else
        ToList(st, LB_SETTOPINDEX, 0);
    HDC dc = GetDC(st.list);
    SendMessageA(h, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(st.list));
    ReleaseDC(st.list, dc);
    if (!IsWindow(h)) return;
    st.dropped = true;
    ShowWindow(st.list, SW_SHOWNA);
    SetCapture(st.list);
    Repaint(h);
}

void CloseUp(HWND h, ComboState& st, bool ok) {
    if (!st.dropped) return;
    st.dropped = false;
    EndTracking(h, st);
    int sel = Selection(st);
    if (!ok && sel != st.chosen) {
        ToList(st, LB_SETCURSEL, static_cast<WPARAM>(st.chosen));
        sel = st.chosen;
    }
    if (ok && sel >= 0) ShowChoice(h, st, sel);  // what was typed gives way to the pick
    Notify(h, ok ? CBN_SELENDOK : CBN_SELENDCANCEL);
    if (!IsWindow(h) || StateOf(h) != &st) return;
    if (GetCapture() == st.list) ReleaseCapture();
    ShowWindow(st.list, SW_HIDE);
    Repaint(h);
    Notify(h, CBN_CLOSEUP);
    if (!IsWindow(h) || StateOf(h) != &st) return;
    if (ok && sel != st.chosen) {
        st.chosen = sel;
        Notify(h, CBN_SELCHANGE);
    }
}

void Toggle(HWND h, ComboState& st) {
    if (st.dropped)
        CloseUp(h, st, true);
    else
        Drop(h, st);
}

// Arrow keys, pages and the ends move the selection at once, dropped or not.
void Step(HWND h, ComboState& st, int to) {
    const int count = static_cast<int>(ToList(st, LB_GETCOUNT));
    if (count == 0) return;
    to = std::clamp(to, 0, count - 1);
    if (to == Selection(st) && to == st.chosen) return;
    ToList(st, LB_SETCURSEL, static_cast<WPARAM>(to));
    Choose(h, st, to);
}

// Rows a page key moves: those the dropped list shows, less one.
int Page(const ComboState& st) {
    RECT c;
    GetClientRect(st.list, &c);
    const int ih = std::max(1, static_cast<int>(ToList(st, LB_GETITEMHEIGHT)));
    return std::max(1, static_cast<int>(c.bottom) / ih - 1);
}

// The keys a combo box takes (from its own window or its edit); false lets them on.
bool Key(HWND h, ComboState& st, UINT msg, WPARAM vk) {
    if (msg == WM_SYSKEYDOWN) {
        if (vk != VK_DOWN && vk != VK_UP) return false;
        Toggle(h, st);
        return true;
    }
    const int sel = Selection(st);
    const int page = Page(st);
    switch (vk) {
        case VK_F4:
            Toggle(h, st);
            return true;
        case VK_UP:
            Step(h, st, sel < 0 ? 0 : sel - 1);
            return true;
        case VK_DOWN:
            Step(h, st, sel + 1);
            return true;
        case VK_PRIOR:
            Step(h, st, sel - page);
            return true;
        case VK_NEXT:
            Step(h, st, sel < 0 ? page - 1 : sel + page);
            return true;
        case VK_HOME:
        case VK_END:
            if (st.edit) return false;  // the edit's own
            Step(h, st, vk == VK_HOME ? 0 : static_cast<int>(ToList(st, LB_GETCOUNT)) - 1);
            return true;
        case VK_RETURN:
        case VK_ESCAPE:
            if (!st.dropped) return false;
            CloseUp(h, st, vk == VK_RETURN);
            return true;
        default:
            return false;
    }
}

// A drop-down list picks the item its typed letters begin.
void TypeAhead(HWND h, ComboState& st, unsigned char ch) {
    if (ch < 0x20) return;
    const uint32_t now = os::GetTickCount();
    if (os::TickDiff(st.typedAt, now) >= kTypeAheadMs) st.typed.clear();
    st.typedAt = now;
    st.typed += static_cast<char>(ch);
    const int sel = Selection(st);
    const LRESULT i =
        ToList(st, LB_FINDSTRING, static_cast<WPARAM>(st.typed.size() == 1 ? sel : sel - 1),
               reinterpret_cast<LPARAM>(st.typed.c_str()));
    if (i >= 0) Step(h, st, static_cast<int>(i));
}

void Wheel(HWND h, ComboState& st, WPARAM wp, LPARAM lp) {
    if (st.dropped) {
        ToList(st, WM_MOUSEWHEEL, wp, lp);
        return;
    }
    const int notches = static_cast<short>(HIWORD(static_cast<DWORD>(wp))) / WHEEL_DELTA;
    if (notches != 0) Step(h, st, Selection(st) - notches);
}

// --- painting ---

// The field's ground: WM_CTLCOLOREDIT while enabled, WM_CTLCOLORSTATIC (and grey text) when not.
HBRUSH FieldBrush(HWND h, HDC dc) {
    const bool enabled = IsWindowEnabled(h) != 0;
    HBRUSH b = AskControlColor(h, enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC, dc);
    if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    return b;
}

void PaintField(HWND h, const ComboState& st, HDC dc, HBRUSH bg) {
    const RECT f = FieldRect(h, st);
    const int sel = Selection(st);
    const bool hot = st.focused && !st.dropped;
    if (st.OwnerDraw()) {
        DRAWITEMSTRUCT dis;
        dis.CtlType = ODT_COMBOBOX;
        dis.CtlID = static_cast<UINT>(GetDlgCtrlID(h));
        dis.itemID = static_cast<UINT>(sel);
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = ODS_COMBOBOXEDIT | (hot ? ODS_SELECTED | ODS_FOCUS : 0) |
                        (IsWindowEnabled(h) ? 0 : ODS_DISABLED);
        dis.hwndItem = h;
        dis.hDC = dc;
        dis.rcItem = f;
        dis.itemData =
            sel >= 0 ? static_cast<ULONG_PTR>(ToList(st, LB_GETITEMDATA, static_cast<WPARAM>(sel)))
                     : 0;
        SendDrawItem(GetParent(h), dis);
        return;
    }
    if (hot) {
        FillSysColor(dc, f, COLOR_HIGHLIGHT);
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
        FillRect(dc, &f, bg);
    }
    const std::string s = sel >= 0 ? ItemText(st, sel) : std::string();
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    SetBkMode(dc, TRANSPARENT);
    ExtTextOut(dc, f.left + 2, f.top + (f.bottom - f.top - tm.tmHeight) / 2, ETO_CLIPPED, &f,
               s.data(), static_cast<UINT>(s.size()), nullptr);
    if (hot) DrawFocusRect(dc, &f);
}

void Paint(HWND h, HDC dc) {
    ComboState* st = StateOf(h);
    if (!st) return;
    RECT rc;
    GetClientRect(h, &rc);
    const int saved = SaveDC(dc);
    if (st->font) SelectObject(dc, st->font);
    const RECT box{0, 0, rc.right, std::min<LONG>(rc.bottom, st->ClosedHeight())};
    HBRUSH bg = FieldBrush(h, dc);
    const RECT inner{2, 2, box.right - 2, box.bottom - 2};
    FillRect(dc, &inner, bg);
    DrawSunkenFrame(dc, box);
    if (st->DropDown()) {
        RECT b = ButtonRect(h, *st);
        DrawFrameControl(dc, &b, DFC_SCROLL,
                         DFCS_SCROLLCOMBOBOX | (st->tracking ? DFCS_PUSHED | DFCS_FLAT : 0) |
                             (IsWindowEnabled(h) ? 0 : DFCS_INACTIVE));
    }
    if (!st->edit) PaintField(h, *st, dc, bg);
    RestoreDC(dc, saved);
}

// --- the edit ---

// The edit's procedure under the box: the keys of the list, the wheel, and closing the list
// when the focus leaves; everything else is the edit's own.
LRESULT ComboEditProc(HWND e, UINT msg, WPARAM wp, LPARAM lp) {
    HWND h = GetParent(e);
    ComboState* st = h ? StateOf(h) : nullptr;
    if (!st || st->edit != e) return CallWindowProcA(EditWndProc, e, msg, wp, lp);
    const WNDPROC next = st->editProc ? st->editProc : EditWndProc;
    switch (msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            const bool closing = st->dropped && (wp == VK_RETURN || wp == VK_ESCAPE);
            if (Key(h, *st, msg, wp)) {
                if (IsWindow(h)) st->swallowChar = closing;
                return 0;
            }
            break;
        }
        case WM_CHAR:
            if (st->swallowChar && (wp == '\r' || wp == 0x1B)) {
                st->swallowChar = false;
                return 0;
            }
            st->swallowChar = false;
            break;
        case WM_GETDLGCODE:
            return CallWindowProcA(next, e, msg, wp, lp) | (st->dropped ? DLGC_WANTALLKEYS : 0);
        case WM_KILLFOCUS:
            if (reinterpret_cast<HWND>(wp) != h) CloseUp(h, *st, false);
            if (!IsWindow(e)) return 0;
            break;
        case WM_MOUSEWHEEL:
            Wheel(h, *st, wp, lp);
            return 0;
        default:
            break;
    }
    return CallWindowProcA(next, e, msg, wp, lp);
}

// --- messages ---

LRESULT Create(HWND h, ComboState& st, const CREATESTRUCTA* cs) {
    st.style = ControlStyle(h) & 0xFFFF;
    if (!st.OwnerDraw()) st.style |= CBS_HASSTRINGS;
    st.fieldHeight = FontLineHeight(h, nullptr) + 2;
    if (st.OwnerDraw()) {
        MEASUREITEMSTRUCT mis;
        mis.CtlType = ODT_COMBOBOX;
        mis.CtlID = static_cast<UINT>(GetDlgCtrlID(h));
        mis.itemID = static_cast<UINT>(-1);
        mis.itemHeight = static_cast<UINT>(st.fieldHeight);
        if (HWND parent = GetParent(h))
            SendMessageA(parent, WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
        st.fieldHeight = std::clamp<int>(static_cast<int>(mis.itemHeight), 1, 255);
    }
    DWORD ls = LBS_COMBOBOX | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER;
    if (st.style & CBS_SORT) ls |= LBS_SORT;
    if (st.style & CBS_HASSTRINGS) ls |= LBS_HASSTRINGS;
    if (st.style & CBS_OWNERDRAWFIXED) ls |= LBS_OWNERDRAWFIXED;
    if (st.style & CBS_OWNERDRAWVARIABLE) ls |= LBS_OWNERDRAWVARIABLE;
    if (st.style & CBS_DISABLENOSCROLL) ls |= LBS_DISABLENOSCROLL;
    const int width = cs ? cs->cx : 100;
    if (st.DropDown()) {
        st.dropHeight = cs ? std::max(0, cs->cy - st.ClosedHeight()) : 0;
        st.list = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, "ComboLBox",
                                  "", ls | WS_POPUP, 0, 0, width, 100, h, nullptr, nullptr, h);
    } else {
        st.list = CreateWindowExA(0, "ComboLBox", "", ls | WS_CHILD | WS_VISIBLE, 0, 0, width, 100,
                                  h, reinterpret_cast<HMENU>(intptr_t(kComboListId)), nullptr, h);
    }
    if (!st.list) return -1;
    if (st.Kind() != CBS_DROPDOWNLIST) {
        DWORD es = WS_CHILD | WS_VISIBLE | ES_LEFT;
        if (st.style & CBS_AUTOHSCROLL) es |= ES_AUTOHSCROLL;
        if (st.style & CBS_UPPERCASE) es |= ES_UPPERCASE;
        if (st.style & CBS_LOWERCASE) es |= ES_LOWERCASE;
        st.edit =
            CreateWindowExA(0, "Edit", "", es, 0, 0, width, st.fieldHeight, h,
                            reinterpret_cast<HMENU>(intptr_t(kComboEditId)), nullptr, nullptr);
        if (!st.edit) return -1;
        st.editProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(st.edit, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&ComboEditProc)));
    }
    FitHeight(h, st);
    Layout(h, st);
    return 0;
}

LRESULT ComboMessage(HWND h, ComboState& st, UINT msg, WPARAM wp, LPARAM lp) {
    const int index = static_cast<int>(static_cast<intptr_t>(wp));
    switch (msg) {
        case CB_ADDSTRING:
            return ToList(st, LB_ADDSTRING, 0, lp);
        case CB_INSERTSTRING:
            return ToList(st, LB_INSERTSTRING, wp, lp);
        case CB_DELETESTRING: {
            const LRESULT r = ToList(st, LB_DELETESTRING, wp);
            if (r >= 0) {
                if (index == st.chosen) {
                    st.chosen = -1;
                    ShowChoice(h, st, -1);
                } else if (index < st.chosen) {
                    --st.chosen;
                }
                Repaint(h);
            }
            return r;
        }
        case CB_RESETCONTENT:
            ToList(st, LB_RESETCONTENT);
            st.chosen = -1;
            ShowChoice(h, st, -1);
            return CB_OKAY;
        case CB_GETCOUNT:
            return ToList(st, LB_GETCOUNT);
        case CB_GETLBTEXT:
            return ToList(st, LB_GETTEXT, wp, lp);
        case CB_GETLBTEXTLEN:
            return ToList(st, LB_GETTEXTLEN, wp);
        case CB_GETITEMDATA:
            return ToList(st, LB_GETITEMDATA, wp);
        case CB_SETITEMDATA:
            return ToList(st, LB_SETITEMDATA, wp, lp);
        case CB_FINDSTRING:
            return ToList(st, LB_FINDSTRING, wp, lp);
        case CB_FINDSTRINGEXACT:
            return ToList(st, LB_FINDSTRINGEXACT, wp, lp);
        case CB_GETCURSEL:
            return Selection(st);
        case CB_SETCURSEL: {
            const LRESULT r = ToList(st, LB_SETCURSEL, wp);
            st.chosen = Selection(st);
            ShowChoice(h, st, st.chosen);
            return r;
        }
        case CB_SELECTSTRING: {
            const LRESULT i = ToList(st, LB_FINDSTRING, wp, lp);
            if (i < 0) return CB_ERR;
            return ComboMessage(h, st, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        }
        case CB_SHOWDROPDOWN:
            if (wp)
                Drop(h, st);
            else
                CloseUp(h, st, false);
            return TRUE;
        case CB_GETDROPPEDSTATE:
            return st.dropped ? TRUE : FALSE;
        case CB_GETITEMHEIGHT:
            if (index == -1) return st.fieldHeight;
            return ToList(st, LB_GETITEMHEIGHT, wp);
        case CB_SETITEMHEIGHT:
            if (index == -1) {
                const int height = LOWORD(static_cast<DWORD>(lp));
                if (height <= 0 || height > 255) return CB_ERR;
                st.fieldHeight = height;
                FitHeight(h, st);
                Layout(h, st);
                Repaint(h);
                return CB_OKAY;
            }
            return ToList(st, LB_SETITEMHEIGHT, wp, lp);
        case CB_LIMITTEXT:
            if (st.edit) SendMessageA(st.edit, EM_LIMITTEXT, wp, 0);
            return TRUE;
        case CB_GETEDITSEL:
            if (!st.edit) return CB_ERR;
            return SendMessageA(st.edit, EM_GETSEL, wp, lp);
        case CB_SETEDITSEL: {
            if (!st.edit) return CB_ERR;
            const int from = static_cast<short>(LOWORD(static_cast<DWORD>(lp)));
            const int to = static_cast<short>(HIWORD(static_cast<DWORD>(lp)));
            SendMessageA(st.edit, EM_SETSEL, static_cast<WPARAM>(from), to);
            return TRUE;
        }
        default:
            return 0;
    }
}

LRESULT ListNotice(HWND h, ComboState& st, WORD code) {
    switch (code) {
        case LBN_SELCHANGE:
            if (st.dropped)
                CloseUp(h, st, true);
            else
                Choose(h, st, Selection(st));
            break;
        case LBN_SELCANCEL:
            CloseUp(h, st, false);
            break;
        case LBN_ENDTRACK:
            EndTracking(h, st);
            break;
        case LBN_DBLCLK:
            if (!st.DropDown()) Notify(h, CBN_DBLCLK);
            break;
        default:
            break;
    }
    return 0;
}

LRESULT EditNotice(HWND h, ComboState& st, WORD code) {
    if (st.settingText) return 0;
    if (code == EN_UPDATE) Notify(h, CBN_EDITUPDATE);
    if (code != EN_CHANGE) return 0;
    // Typed text shows the first item it begins in a dropped list, without choosing it.
    if (st.dropped) {
        const int n = GetWindowTextLengthA(st.edit);
        std::string text(static_cast<std::size_t>(n) + 1, '\0');
        text.resize(
            static_cast<std::size_t>(std::max(0, GetWindowTextA(st.edit, text.data(), n + 1))));
        const LRESULT i =
            ToList(st, LB_FINDSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str()));
        if (i >= 0) ToList(st, LB_SETCURSEL, static_cast<WPARAM>(i));
    }
    Notify(h, CBN_EDITCHANGE);
    return 0;
}

LRESULT Press(HWND h, ComboState& st, POINT p) {
    HWND focus = st.edit ? st.edit : h;
    if (GetFocus() != focus) SetFocus(focus);
    if (!IsWindow(h) || !st.DropDown()) return 0;
    const RECT b = ButtonRect(h, st);
    if (st.Kind() != CBS_DROPDOWNLIST && !PtInRect(&b, p)) return 0;
    Drop(h, st);
    if (!IsWindow(h) || !st.dropped) return 0;
    st.tracking = true;
    ToList(st, LBCB_STARTTRACK);
    Repaint(h);
    return 0;
}

}  // namespace

LRESULT ComboBoxWndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)  // scroll bars asked for belong to the list; the box shows none
        SetWindowLongPtrA(h, GWL_STYLE,
                          GetWindowLongPtrA(h, GWL_STYLE) & ~LONG_PTR(WS_VSCROLL | WS_HSCROLL));
    ComboState* st = KeepControlState<ComboState>(h, msg);
    if (!st) return DefWindowProcA(h, msg, wp, lp);
    if (msg >= CB_GETEDITSEL && msg <= CB_FINDSTRINGEXACT) return ComboMessage(h, *st, msg, wp, lp);
    switch (msg) {
        case WM_CREATE:
            return Create(h, *st, reinterpret_cast<const CREATESTRUCTA*>(lp));
        case WM_DESTROY:
            if (st->DropDown() && st->list) {  // a pop-up, not a child: it goes by hand
                HWND list = st->list;
                st->list = nullptr;
                st->dropped = false;
                DestroyWindow(list);
            }
            break;
        case WM_WINDOWPOSCHANGING:
            if (auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
                pos && st->DropDown() && !(pos->flags & SWP_NOSIZE)) {
                if (pos->cy > st->ClosedHeight()) st->dropHeight = pos->cy - st->ClosedHeight();
                pos->cy = st->ClosedHeight();
            }
            break;
        case WM_SIZE:
            Layout(h, *st);
            Repaint(h);
            return 0;
        case WM_SETFONT: {
            st->font = reinterpret_cast<HFONT>(wp);
            if (st->list) SendMessageA(st->list, WM_SETFONT, wp, lp);
            if (st->edit) SendMessageA(st->edit, WM_SETFONT, wp, lp);
            if (!st->OwnerDraw()) st->fieldHeight = FontLineHeight(h, st->font) + 2;
            FitHeight(h, *st);
            Layout(h, *st);
            if (lp) Repaint(h);
            return 0;
        }
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(st->font);
        case WM_SETTEXT: {
            if (st->edit) {  // text set by a message is not the operator's edit
                st->settingText = true;
                const LRESULT r = SendMessageA(st->edit, msg, wp, lp);
                if (IsWindow(h)) st->settingText = false;
                return r;
            }
            // A drop-down list shows only its items: the text picks the item it names.
            const LRESULT i = ToList(*st, LB_FINDSTRINGEXACT, WPARAM(-1), lp);
            if (i < 0) return CB_ERR;
            ComboMessage(h, *st, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            return TRUE;
        }
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH: {
            if (st->edit) return SendMessageA(st->edit, msg, wp, lp);
            const std::string s = ItemText(*st, Selection(*st));
            if (msg == WM_GETTEXTLENGTH) return static_cast<LRESULT>(s.size());
            if (wp == 0 || lp == 0) return 0;
            CopyTextOut(s, reinterpret_cast<LPSTR>(lp),
                        static_cast<int>(std::min<WPARAM>(wp, 0x7FFFFFFF)));
            return static_cast<LRESULT>(std::min<std::size_t>(s.size(), wp - 1));
        }
        case WM_ENABLE:
            if (st->edit) EnableWindow(st->edit, wp != 0);
            if (!wp) CloseUp(h, *st, false);
            Repaint(h);
            return 0;
        case WM_SETFOCUS:
            if (st->edit) {
                SetFocus(st->edit);
                if (IsWindow(h) && GetFocus() == st->edit) SendMessageA(st->edit, EM_SETSEL, 0, -1);
                return 0;
            }
            st->focused = true;
            Repaint(h);
            return 0;
        case WM_KILLFOCUS:
            st->focused = false;
            if (reinterpret_cast<HWND>(wp) != st->edit) CloseUp(h, *st, false);
            if (IsWindow(h)) Repaint(h);
            return 0;
        case WM_CANCELMODE:
            CloseUp(h, *st, false);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS | (st->dropped ? DLGC_WANTALLKEYS : 0);
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (Key(h, *st, msg, wp)) return 0;
            break;
        case WM_CHAR:
            if (st->Kind() == CBS_DROPDOWNLIST) TypeAhead(h, *st, static_cast<unsigned char>(wp));
            return 0;
        case WM_MOUSEWHEEL:
            Wheel(h, *st, wp, lp);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            return Press(h, *st, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        case WM_COMMAND:
            if (reinterpret_cast<HWND>(lp) == st->list && st->list)
                return ListNotice(h, *st, HIWORD(static_cast<DWORD>(wp)));
            if (reinterpret_cast<HWND>(lp) == st->edit && st->edit)
                return EditNotice(h, *st, HIWORD(static_cast<DWORD>(wp)));
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSTATIC:
            // The children's colours are the parent's to choose, as for the box itself.
            if (HWND parent = GetParent(h)) return SendMessageA(parent, msg, wp, lp);
            break;
        default:
            break;
    }
    return PaintedControlDefault(h, msg, wp, lp, Paint);
}

}  // namespace win

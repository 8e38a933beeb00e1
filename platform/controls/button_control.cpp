// The "Button" class: push buttons, check boxes, radio buttons, group boxes and owner-drawn
// buttons, in the classic look. A click (mouse released over the button, the space bar, or
// BM_CLICK) toggles automatic check boxes and radio buttons and tells the parent BN_CLICKED.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/controls/classic_paint.h"
#include "platform/controls/standard_controls.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "platform/user/window_dc.h"

namespace win {

namespace {

struct ButtonState {
    HFONT font = nullptr;
    UINT check = BST_UNCHECKED;
    bool pushed = false;
    bool focused = false;
    bool captured = false;
    bool spaceDown = false;
};

ButtonState* StateOf(HWND h) {
    return reinterpret_cast<ButtonState*>(GetWindowLongPtrA(h, 0));
}
DWORD StyleOf(HWND h) {
    return static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE));
}
DWORD TypeOf(HWND h) {
    return StyleOf(h) & BS_TYPEMASK;
}

bool IsPush(DWORD t) {
    return t == BS_PUSHBUTTON || t == BS_DEFPUSHBUTTON || t == BS_USERBUTTON;
}
bool IsCheck(DWORD t) {
    return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_3STATE || t == BS_AUTO3STATE;
}
bool IsRadio(DWORD t) {
    return t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON;
}

std::string TextOf(HWND h) {
    const int n = GetWindowTextLengthA(h);
    std::string s(static_cast<std::size_t>(n) + 1, '\0');
    s.resize(static_cast<std::size_t>(std::max(GetWindowTextA(h, s.data(), n + 1), 0)));
    return s;
}

void Notify(HWND h, WORD code) {
    if (HWND parent = GetParent(h))
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), code),
                     reinterpret_cast<LPARAM>(h));
}

void Redraw(HWND h) {
    InvalidateRect(h, nullptr, TRUE);
}

void SetCheck(HWND h, UINT check) {
    ButtonState* st = StateOf(h);
    if (!st) return;
    const DWORD t = TypeOf(h);
    if (!IsCheck(t) && !IsRadio(t)) return;
    if (check == BST_INDETERMINATE && t != BS_3STATE && t != BS_AUTO3STATE) check = BST_CHECKED;
    if (st->check == check) return;
    st->check = check;
    Redraw(h);
}

// An automatic radio button being checked unchecks the other automatic radio buttons of its
// group (the siblings from the last WS_GROUP button to the next one).
void UncheckGroup(HWND h) {
    HWND parent = GetParent(h);
    if (!parent) return;
    const std::vector<HWND> kids = ChildrenInDialogOrder(parent);
    const auto pos = std::find(kids.begin(), kids.end(), h);
    if (pos == kids.end()) return;
    std::size_t first = static_cast<std::size_t>(pos - kids.begin());
    while (first > 0 && !(StyleOf(kids[first]) & WS_GROUP))
        --first;
    for (std::size_t i = first; i < kids.size(); ++i) {
        if (i != first && (StyleOf(kids[i]) & WS_GROUP)) break;
        if (kids[i] != h && TypeOf(kids[i]) == BS_AUTORADIOBUTTON) SetCheck(kids[i], BST_UNCHECKED);
    }
}

void Clicked(HWND h) {
    ButtonState* st = StateOf(h);
    if (!st || !IsWindowEnabled(h)) return;
    switch (TypeOf(h)) {
        case BS_AUTOCHECKBOX:
            SetCheck(h, st->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
            break;
        case BS_AUTO3STATE:
            SetCheck(h, (st->check + 1) % 3);
            break;
        case BS_AUTORADIOBUTTON:
            SetCheck(h, BST_CHECKED);
            UncheckGroup(h);
            break;
        default:
            break;
    }
    Notify(h, BN_CLICKED);
}

void SetPushed(HWND h, bool pushed) {
    ButtonState* st = StateOf(h);
    if (!st || st->pushed == pushed) return;
    st->pushed = pushed;
    Redraw(h);
}

LRESULT DlgCode(HWND h) {
    const DWORD t = TypeOf(h);
    if (t == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    if (IsPush(t) || t == BS_OWNERDRAW) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    if (IsRadio(t)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
    if (t == BS_GROUPBOX) return DLGC_STATIC;
    return DLGC_BUTTON;
}

int TextAlign(DWORD style, int fallback) {
    switch (style & BS_CENTER) {
        case BS_LEFT:
            return 0;
        case BS_RIGHT:
            return 2;
        case BS_CENTER:
            return 1;
        default:
            return fallback;
    }
}

void PaintPush(HWND h, HDC dc, const RECT& rc, const ButtonState& st) {
    const bool def = TypeOf(h) == BS_DEFPUSHBUTTON;
    const bool enabled = IsWindowEnabled(h);
    const bool pressed = st.pushed || st.check == BST_CHECKED;
    const RECT r = DrawPushFace(dc, rc, def || st.focused, pressed);
    RECT text{r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
    if (pressed) {
        text.left += 1;
        text.top += 1;
        text.right += 1;
        text.bottom += 1;
    }
    const DWORD style = StyleOf(h);
    DrawLabelText(dc, TextOf(h), text, TextAlign(style, 1), true, !(style & BS_MULTILINE), false,
                  !enabled);
    if (st.focused) DrawDottedFocus(dc, {r.left + 3, r.top + 3, r.right - 3, r.bottom - 3});
}

void PaintCheckOrRadio(HWND h, HDC dc, const RECT& rc, const ButtonState& st, HBRUSH bg) {
    const DWORD style = StyleOf(h);
    const bool radio = IsRadio(TypeOf(h));
    const bool enabled = IsWindowEnabled(h);
    FillRect(dc, &rc, bg);
    const int box = radio ? 12 : 13;
    const int top = rc.top + (rc.bottom - rc.top - box) / 2;
    const bool leftText = (style & BS_LEFTTEXT) != 0;
    const int boxLeft = leftText ? rc.right - box : rc.left;
    RECT b{boxLeft, top, boxLeft + box, top + box};
    const COLORREF face = GetSysColor(st.pushed || !enabled ? COLOR_BTNFACE : COLOR_WINDOW);
    const COLORREF ink =
        GetSysColor(enabled && st.check != BST_INDETERMINATE ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
    if (radio) {
        HBRUSH fill = CreateSolidBrush(face);
        HPEN edge = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
        HGDIOBJ ob = SelectObject(dc, fill), op = SelectObject(dc, edge);
        Ellipse(dc, b.left, b.top, b.right, b.bottom);
        if (st.check) {
            HBRUSH dot = CreateSolidBrush(ink);
            HPEN dotPen = CreatePen(PS_SOLID, 1, ink);
            SelectObject(dc, dot);
            SelectObject(dc, dotPen);
            Ellipse(dc, b.left + 4, b.top + 4, b.right - 4, b.bottom - 4);
            SelectObject(dc, ob);
            SelectObject(dc, op);
            DeleteObject(dot);
            DeleteObject(dotPen);
        }
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(fill);
        DeleteObject(edge);
    } else {
        HBRUSH fill = CreateSolidBrush(face);
        FillRect(dc, &b, fill);
        DeleteObject(fill);
        DrawSunkenFrame(dc, b);
        if (st.check) {
            // The tick: three pixels thick, from the left middle down and up to the right.
            HPEN pen = CreatePen(PS_SOLID, 1, ink);
            HGDIOBJ op = SelectObject(dc, pen);
            for (int i = 0; i < 3; ++i) {
                MoveToEx(dc, b.left + 3, b.top + 5 + i, nullptr);
                LineTo(dc, b.left + 5, b.top + 7 + i);
                LineTo(dc, b.left + 10, b.top + 2 + i);
            }
            SelectObject(dc, op);
            DeleteObject(pen);
        }
    }
    RECT text = leftText ? RECT{rc.left, rc.top, boxLeft - 4, rc.bottom}
                         : RECT{b.right + 4, rc.top, rc.right, rc.bottom};
    const RECT covered = DrawLabelText(dc, TextOf(h), text, TextAlign(style, 0), true,
                                       !(style & BS_MULTILINE), false, !enabled);
    if (st.focused && covered.right > covered.left)
        DrawDottedFocus(dc, {covered.left - 1, covered.top, covered.right + 1, covered.bottom});
}

void Paint(HWND h, HDC dc) {
    ButtonState* st = StateOf(h);
    if (!st) return;
    RECT rc;
    GetClientRect(h, &rc);
    const DWORD type = TypeOf(h);
    HWND parent = GetParent(h);
    const int saved = SaveDC(dc);
    if (st->font) SelectObject(dc, st->font);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    if (type == BS_OWNERDRAW) {
        DRAWITEMSTRUCT dis;
        dis.CtlType = ODT_BUTTON;
        dis.CtlID = static_cast<UINT>(GetDlgCtrlID(h));
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = (st->pushed ? ODS_SELECTED : 0) | (st->focused ? ODS_FOCUS : 0) |
                        (IsWindowEnabled(h) ? 0 : ODS_DISABLED);
        dis.hwndItem = h;
        dis.hDC = dc;
        dis.rcItem = rc;
        if (parent) SendMessageA(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        RestoreDC(dc, saved);
        return;
    }
    const UINT ctl = IsPush(type) ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC;
    auto bg =
        reinterpret_cast<HBRUSH>(parent ? SendMessageA(parent, ctl, reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(h))
                                        : 0);
    if (!bg) bg = GetSysColorBrush(COLOR_BTNFACE);
    if (IsPush(type) || (StyleOf(h) & BS_PUSHLIKE))
        PaintPush(h, dc, rc, *st);
    else if (type == BS_GROUPBOX)
        DrawGroupFrame(dc, rc, TextOf(h), bg, !IsWindowEnabled(h));
    else
        PaintCheckOrRadio(h, dc, rc, *st, bg);
    RestoreDC(dc, saved);
}

}  // namespace

LRESULT ButtonWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    ButtonState* st = StateOf(h);
    switch (msg) {
        case WM_NCCREATE:
            SetWindowLongPtrA(h, 0, reinterpret_cast<LONG_PTR>(new ButtonState));
            break;
        case WM_NCDESTROY:
            delete st;
            SetWindowLongPtrA(h, 0, 0);
            break;
        case WM_SETFONT:
            if (st) st->font = reinterpret_cast<HFONT>(wParam);
            if (lParam) Redraw(h);
            return 0;
        case WM_GETFONT:
            return st ? reinterpret_cast<LRESULT>(st->font) : 0;
        case WM_GETDLGCODE:
            return DlgCode(h);
        case BM_GETCHECK:
            return st ? st->check : 0;
        case BM_SETCHECK:
            SetCheck(h, static_cast<UINT>(wParam));
            return 0;
        case BM_GETSTATE:
            return st ? (st->check | (st->pushed ? BST_PUSHED : 0) | (st->focused ? BST_FOCUS : 0))
                      : 0;
        case BM_SETSTATE:
            SetPushed(h, wParam != 0);
            return 0;
        case BM_SETSTYLE: {
            const DWORD style = (StyleOf(h) & ~0xFFFFu) | (static_cast<DWORD>(wParam) & 0xFFFF);
            SetWindowLongPtrA(h, GWL_STYLE, style);
            if (lParam) Redraw(h);
            return 0;
        }
        case BM_CLICK:
            if (IsWindowEnabled(h) && TypeOf(h) != BS_GROUPBOX) Clicked(h);
            return 0;
        case WM_SETTEXT: {
            const LRESULT r = DefWindowProcA(h, msg, wParam, lParam);
            Redraw(h);
            return r;
        }
        case WM_ENABLE:
            Redraw(h);
            return 0;
        case WM_NCHITTEST:
            if (TypeOf(h) == BS_GROUPBOX) return HTTRANSPARENT;
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!st || TypeOf(h) == BS_GROUPBOX) return 0;
            if (msg == WM_LBUTTONDBLCLK && (StyleOf(h) & BS_NOTIFY)) Notify(h, BN_DOUBLECLICKED);
            SetFocus(h);
            SetCapture(h);
            st->captured = true;
            SetPushed(h, true);
            return 0;
        case WM_MOUSEMOVE:
            if (st && st->captured) {
                RECT rc;
                GetClientRect(h, &rc);
                const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                SetPushed(h, PtInRect(&rc, p) != 0);
            }
            return 0;
        case WM_LBUTTONUP:
            if (st && st->captured) {
                const bool inside = st->pushed;
                st->captured = false;
                SetPushed(h, false);
                ReleaseCapture();
                if (inside) Clicked(h);
            }
            return 0;
        case WM_CAPTURECHANGED:
            if (st && st->captured) {
                st->captured = false;
                SetPushed(h, false);
            }
            return 0;
        case WM_KEYDOWN:
            if (st && wParam == VK_SPACE && !st->captured) {
                st->spaceDown = true;
                SetPushed(h, true);
                return 0;
            }
            break;
        case WM_KEYUP:
            if (st && wParam == VK_SPACE && st->spaceDown) {
                st->spaceDown = false;
                const bool was = st->pushed;
                SetPushed(h, false);
                if (was) Clicked(h);
                return 0;
            }
            break;
        case WM_SETFOCUS:
            if (st) {
                st->focused = true;
                Redraw(h);
                if (StyleOf(h) & BS_NOTIFY) Notify(h, BN_SETFOCUS);
            }
            return 0;
        case WM_KILLFOCUS:
            if (st) {
                st->focused = false;
                st->spaceDown = false;
                if (st->captured) {
                    st->captured = false;
                    ReleaseCapture();
                }
                SetPushed(h, false);
                Redraw(h);
                if (StyleOf(h) & BS_NOTIFY) Notify(h, BN_KILLFOCUS);
            }
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT:
            return PaintWholeControl(h, wParam, Paint);
        default:
            break;
    }
    return DefWindowProcA(h, msg, wParam, lParam);
}

}  // namespace win

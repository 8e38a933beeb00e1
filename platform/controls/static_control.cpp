// The "Static" class: labels, frames, filled rectangles and the standard message-box icons.
#include <string>

#include "platform/controls/classic_paint.h"
#include "platform/controls/standard_controls.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "platform/user/window_dc.h"

namespace win {

namespace {

struct StaticState {
    HFONT font = nullptr;
    HICON icon = nullptr;
};

StaticState* StateOf(HWND h) {
    return reinterpret_cast<StaticState*>(GetWindowLongPtrA(h, 0));
}

std::string TextOf(HWND h) {
    const int n = GetWindowTextLengthA(h);
    std::string s(static_cast<std::size_t>(n) + 1, '\0');
    s.resize(static_cast<std::size_t>(std::max(GetWindowTextA(h, s.data(), n + 1), 0)));
    return s;
}

void FilledCircle(HDC dc, int l, int t, int r, int b, COLORREF fill, COLORREF edge) {
    HBRUSH br = CreateSolidBrush(fill);
    HPEN pen = CreatePen(PS_SOLID, 1, edge);
    HGDIOBJ ob = SelectObject(dc, br), op = SelectObject(dc, pen);
    Ellipse(dc, l, t, r, b);
    SelectObject(dc, ob);
    SelectObject(dc, op);
    DeleteObject(br);
    DeleteObject(pen);
}

// The four standard icons, drawn in 32 x 32: a red disc with a white cross (stop), a speech
// bubble with "?" (question), a yellow triangle with "!" (warning), a bubble with "i"
// (information).
void DrawStandardIcon(HDC dc, int x, int y, const std::string& name) {
    const COLORREF white = RGB(255, 255, 255), black = RGB(0, 0, 0);
    auto bar = [&](int l, int t, int r, int b, COLORREF c) {
        HBRUSH br = CreateSolidBrush(c);
        RECT rc{x + l, y + t, x + r, y + b};
        FillRect(dc, &rc, br);
        DeleteObject(br);
    };
    if (name == "#32513") {
        FilledCircle(dc, x + 1, y + 1, x + 31, y + 31, RGB(255, 0, 0), RGB(128, 0, 0));
        HPEN pen = CreatePen(PS_SOLID, 3, white);
        HGDIOBJ op = SelectObject(dc, pen);
        MoveToEx(dc, x + 10, y + 10, nullptr);
        LineTo(dc, x + 21, y + 21);
        MoveToEx(dc, x + 21, y + 10, nullptr);
        LineTo(dc, x + 10, y + 21);
        SelectObject(dc, op);
        DeleteObject(pen);
    } else if (name == "#32515") {
        HBRUSH br = CreateSolidBrush(RGB(255, 255, 0));
        HPEN pen = CreatePen(PS_SOLID, 1, black);
        HGDIOBJ ob = SelectObject(dc, br), op = SelectObject(dc, pen);
        const POINT tri[3] = {{x + 16, y + 1}, {x + 31, y + 29}, {x + 1, y + 29}};
        Polygon(dc, tri, 3);
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(br);
        DeleteObject(pen);
        bar(15, 9, 18, 21, black);
        bar(15, 23, 18, 26, black);
    } else {
        const bool question = name == "#32514";
        FilledCircle(dc, x + 1, y + 1, x + 31, y + 31, white, question ? black : RGB(0, 0, 160));
        const COLORREF ink = RGB(0, 0, 160);
        if (question) {
            bar(11, 8, 21, 11, ink);
            bar(18, 8, 21, 16, ink);
            bar(15, 14, 18, 20, ink);
            bar(15, 22, 18, 25, ink);
        } else {
            bar(15, 7, 18, 10, ink);
            bar(15, 12, 18, 25, ink);
        }
    }
}

void Paint(HWND h, HDC dc) {
    RECT rc;
    GetClientRect(h, &rc);
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE));
    const DWORD type = style & SS_TYPEMASK;
    StaticState* st = StateOf(h);
    HWND parent = GetParent(h);
    const int saved = SaveDC(dc);
    if (st && st->font) SelectObject(dc, st->font);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    auto brush = reinterpret_cast<HBRUSH>(parent ? SendMessageA(parent, WM_CTLCOLORSTATIC,
                                                                reinterpret_cast<WPARAM>(dc),
                                                                reinterpret_cast<LPARAM>(h))
                                                 : 0);
    if (!brush) brush = GetSysColorBrush(COLOR_BTNFACE);
    switch (type) {
        case SS_BLACKRECT:
            FillSysColor(dc, rc, COLOR_WINDOWFRAME);
            break;
        case SS_GRAYRECT:
            FillSysColor(dc, rc, COLOR_BTNSHADOW);
            break;
        case SS_WHITERECT:
            FillSysColor(dc, rc, COLOR_BTNHIGHLIGHT);
            break;
        case SS_BLACKFRAME:
            FrameRect(dc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME));
            break;
        case SS_GRAYFRAME:
            FrameRect(dc, &rc, GetSysColorBrush(COLOR_BTNSHADOW));
            break;
        case SS_WHITEFRAME:
            FrameRect(dc, &rc, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
            break;
        case SS_ETCHEDFRAME:
            DrawEtchedFrame(dc, rc);
            break;
        case SS_ETCHEDHORZ: {
            RECT top{rc.left, rc.top, rc.right, rc.top + 1},
                bot{rc.left, rc.top + 1, rc.right, rc.top + 2};
            FillSysColor(dc, top, COLOR_BTNSHADOW);
            FillSysColor(dc, bot, COLOR_BTNHIGHLIGHT);
            break;
        }
        case SS_ETCHEDVERT: {
            RECT l{rc.left, rc.top, rc.left + 1, rc.bottom},
                r{rc.left + 1, rc.top, rc.left + 2, rc.bottom};
            FillSysColor(dc, l, COLOR_BTNSHADOW);
            FillSysColor(dc, r, COLOR_BTNHIGHLIGHT);
            break;
        }
        case SS_ICON:
            FillRect(dc, &rc, brush);
            // An icon handed in with STM_SETICON; else the standard one its text names.
            if (st && st->icon)
                DrawIconEx(dc, 0, 0, st->icon, 0, 0, 0, nullptr, DI_NORMAL);
            else
                DrawStandardIcon(dc, 0, 0, TextOf(h));
            break;
        case SS_OWNERDRAW: {
            DRAWITEMSTRUCT dis;
            dis.CtlType = ODT_STATIC;
            dis.CtlID = static_cast<UINT>(GetDlgCtrlID(h));
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = IsWindowEnabled(h) ? 0 : ODS_DISABLED;
            dis.hwndItem = h;
            dis.hDC = dc;
            dis.rcItem = rc;
            if (parent)
                SendMessageA(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
            break;
        }
        default: {
            FillRect(dc, &rc, brush);
            const int align = type == SS_CENTER ? 1 : type == SS_RIGHT ? 2 : 0;
            const bool single = type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
            DrawLabelText(dc, TextOf(h), rc, align, (style & SS_CENTERIMAGE) != 0,
                          single || (style & SS_CENTERIMAGE), (style & SS_NOPREFIX) != 0,
                          !IsWindowEnabled(h));
            break;
        }
    }
    if (style & SS_SUNKEN) DrawSunkenFrame(dc, rc);
    RestoreDC(dc, saved);
}

}  // namespace

LRESULT StaticWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_NCCREATE:
            SetWindowLongPtrA(h, 0, reinterpret_cast<LONG_PTR>(new StaticState));
            break;
        case WM_NCDESTROY:
            delete StateOf(h);
            SetWindowLongPtrA(h, 0, 0);
            break;
        case WM_SETFONT:
            if (StaticState* st = StateOf(h)) st->font = reinterpret_cast<HFONT>(wParam);
            if (lParam) InvalidateRect(h, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return StateOf(h) ? reinterpret_cast<LRESULT>(StateOf(h)->font) : 0;
        case STM_SETICON: {
            StaticState* st = StateOf(h);
            if (!st) return 0;
            HICON old = st->icon;
            st->icon = reinterpret_cast<HICON>(wParam);
            InvalidateRect(h, nullptr, TRUE);
            return reinterpret_cast<LRESULT>(old);
        }
        case STM_GETICON:
            return StateOf(h) ? reinterpret_cast<LRESULT>(StateOf(h)->icon) : 0;
        case WM_SETTEXT: {
            const LRESULT r = DefWindowProcA(h, msg, wParam, lParam);
            InvalidateRect(h, nullptr, TRUE);
            return r;
        }
        case WM_ENABLE:
            InvalidateRect(h, nullptr, TRUE);
            return 0;
        case WM_NCHITTEST:
            if (!(GetWindowLongPtrA(h, GWL_STYLE) & SS_NOTIFY)) return HTTRANSPARENT;
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if ((GetWindowLongPtrA(h, GWL_STYLE) & SS_NOTIFY) && GetParent(h))
                SendMessageA(
                    GetParent(h), WM_COMMAND,
                    MAKEWPARAM(GetDlgCtrlID(h), msg == WM_LBUTTONDOWN ? STN_CLICKED : STN_DBLCLK),
                    reinterpret_cast<LPARAM>(h));
            return 0;
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        case WM_ERASEBKGND:
            return 1;  // the paint fills the background itself
        case WM_PAINT:
        case WM_PRINTCLIENT:
            return PaintWholeControl(h, wParam, Paint);
        default:
            break;
    }
    return DefWindowProcA(h, msg, wParam, lParam);
}

}  // namespace win

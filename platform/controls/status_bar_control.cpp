// The "msctls_statusbar32" class.
#include "platform/controls/status_bar_control.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/controls/classic_paint.h"
#include "platform/controls/native_control.h"
#include "platform/controls/standard_controls.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

namespace win {

namespace {

constexpr int kHorzBorder = 0;  // left of the first part
constexpr int kVertBorder = 2;  // above the parts
constexpr int kGap = 2;         // between two parts
constexpr int kMaxParts = 256;

struct Part {
    int right = -1;
    std::string text;
    UINT flags = 0;
    LPARAM data = 0;  // of an owner-drawn part
};

struct StatusState {
    HFONT font = nullptr;
    std::vector<Part> parts{Part{}};
    Part simple;
    bool isSimple = false;
    int minHeight = 0;
    bool placing = false;
};

StatusState* StateOf(HWND h) {
    return ControlState<StatusState>(h);
}

int GripSize(HWND h) {
    return (ControlStyle(h) & SBARS_SIZEGRIP) ? GetSystemMetrics(SM_CXVSCROLL) : 0;
}

// The top-level window the grip sizes, when it can be sized now.
HWND SizedWindow(HWND h) {
    HWND top = GetAncestor(h, GA_ROOT);
    if (!top || top == h) return nullptr;
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(top, GWL_STYLE));
    return (style & WS_THICKFRAME) && !(style & WS_MAXIMIZE) ? top : nullptr;
}

RECT GripRect(HWND h) {
    RECT c;
    GetClientRect(h, &c);
    const int g = GripSize(h);
    return {c.right - g, c.bottom - g, c.right, c.bottom};
}

RECT PartRect(HWND h, const StatusState* st, int i) {
    RECT c;
    GetClientRect(h, &c);
    const int end = c.right - GripSize(h);
    if (st->isSimple) return {kHorzBorder, kVertBorder, end, c.bottom};
    const auto edge = [&](int k) { return st->parts[k].right < 0 ? end : st->parts[k].right; };
    // A part may end at the largest coordinate: the next one starts there, not past it.
    const int left =
        i == 0 ? kHorzBorder : int(std::min<int64_t>(int64_t(edge(i - 1)) + kGap, INT32_MAX));
    return {left, kVertBorder, std::max(left, edge(i)), c.bottom};
}

int BarHeight(HWND h, const StatusState* st) {
    return std::max(st->minHeight, FontLineHeight(h, st->font) + 7);
}

void Place(HWND h) {
    StatusState* st = StateOf(h);
    HWND parent = GetParent(h);
    if (!st || st->placing || !parent || (ControlStyle(h) & (CCS_NORESIZE | CCS_NOPARENTALIGN)))
        return;
    RECT pc;
    GetClientRect(parent, &pc);
    const int height = BarHeight(h, st);
    const int y = (ControlStyle(h) & CCS_BOTTOM) == CCS_TOP ? 0 : pc.bottom - height;
    st->placing = true;
    SetWindowPos(h, nullptr, 0, y, pc.right, height, SWP_NOZORDER | SWP_NOACTIVATE);
    if ((st = StateOf(h))) st->placing = false;
}

// "left\tcentre\tright"
void PartText(HDC dc, const Part& part, RECT r) {
    std::vector<std::string> pieces{std::string()};
    for (char ch : part.text) {
        if (ch == '\t' && !(part.flags & SBT_NOTABPARSING) && pieces.size() < 3)
            pieces.emplace_back();
        else
            pieces.back() += ch;
    }
    r.left += 2;
    r.right -= 2;
    const UINT align[3] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        RECT box = r;
        DrawTextA(dc, pieces[i].c_str(), static_cast<int>(pieces[i].size()), &box,
                  align[i] | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
}

void PaintPart(HWND h, HDC dc, const Part& part, RECT r, int index) {
    if (r.right <= r.left) return;
    if (!(part.flags & SBT_NOBORDERS)) {
        RECT edge = r;
        DrawEdge(dc, &edge, (part.flags & SBT_POPOUT) ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    }
    RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    if (part.flags & SBT_OWNERDRAW) {
        DRAWITEMSTRUCT dis;
        dis.CtlType = ODT_STATIC;
        dis.CtlID = static_cast<UINT>(GetDlgCtrlID(h));
        dis.itemID = static_cast<UINT>(index);
        dis.itemAction = ODA_DRAWENTIRE;
        dis.hwndItem = h;
        dis.hDC = dc;
        dis.rcItem = inner;
        dis.itemData = static_cast<ULONG_PTR>(part.data);
        const int saved = SaveDC(dc);
        if (HWND parent = GetParent(h))
            SendMessageA(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        RestoreDC(dc, saved);
        return;
    }
    PartText(dc, part, inner);
}

void Paint(HWND h, HDC dc) {
    if (!StateOf(h)) return;
    RECT c;
    GetClientRect(h, &c);
    const int saved = SaveDC(dc);
    FillSysColor(dc, c, COLOR_BTNFACE);
    if (StateOf(h)->font) SelectObject(dc, StateOf(h)->font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(h) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    // Owner-drawn parts call out to the parent: the state is looked up again after each.
    if (StateOf(h)->isSimple) {
        const Part simple = StateOf(h)->simple;
        PaintPart(h, dc, simple, PartRect(h, StateOf(h), 0), SB_SIMPLEID);
    } else {
        for (int i = 0; StateOf(h) && i < static_cast<int>(StateOf(h)->parts.size()); ++i) {
            const Part part = StateOf(h)->parts[i];
            PaintPart(h, dc, part, PartRect(h, StateOf(h), i), i);
        }
    }
    if (GripSize(h)) {
        RECT g = GripRect(h);
        DrawFrameControl(dc, &g, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    }
    RestoreDC(dc, saved);
}

Part* PartOf(StatusState* st, WPARAM wParam) {
    const auto i = static_cast<std::size_t>(wParam & 0xFF);
    if (i == SB_SIMPLEID || st->isSimple) return &st->simple;
    return i < st->parts.size() ? &st->parts[i] : nullptr;
}

}  // namespace

LRESULT StatusBarWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    StatusState* st = KeepControlState<StatusState>(h, msg);
    if (!st) return DefWindowProcA(h, msg, wParam, lParam);
    switch (msg) {
        case WM_CREATE:
            Place(h);
            return 0;
        case WM_SIZE:
            Place(h);
            InvalidateRect(h, nullptr, TRUE);
            return 0;
        case WM_SETFONT:
            st->font = reinterpret_cast<HFONT>(wParam);
            Place(h);
            if (lParam) InvalidateRect(h, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(st->font);
        case WM_SETTEXT:
            (st->isSimple ? st->simple : st->parts[0]).text =
                lParam ? reinterpret_cast<const char*>(lParam) : "";
            InvalidateRect(h, nullptr, TRUE);
            return DefWindowProcA(h, msg, wParam, lParam);
        case SB_SETTEXTA: {
            const auto i = static_cast<UINT>(wParam & 0xFF);
            const UINT flags = static_cast<UINT>(wParam) & 0xFF00;
            Part* part = i == SB_SIMPLEID       ? &st->simple
                         : i < st->parts.size() ? &st->parts[i]
                                                : nullptr;
            if (!part) return FALSE;
            part->flags = flags;
            part->data = (flags & SBT_OWNERDRAW) ? lParam : 0;
            part->text =
                !(flags & SBT_OWNERDRAW) && lParam ? reinterpret_cast<const char*>(lParam) : "";
            InvalidateRect(h, nullptr, TRUE);
            return TRUE;
        }
        case SB_GETTEXTA:
        case SB_GETTEXTLENGTHA: {
            const Part* part = PartOf(st, wParam);
            if (!part) return 0;
            if (part->flags & SBT_OWNERDRAW) return msg == SB_GETTEXTA ? part->data : 0;
            if (msg == SB_GETTEXTA && lParam)
                std::memcpy(reinterpret_cast<char*>(lParam), part->text.c_str(),
                            part->text.size() + 1);
            return MAKELONG(static_cast<WORD>(part->text.size()), static_cast<WORD>(part->flags));
        }
        case SB_SETPARTS: {
            const auto* rights = reinterpret_cast<const int*>(lParam);
            const int n = static_cast<int>(wParam);
            if (!rights || n <= 0 || n > kMaxParts) return FALSE;
            st->parts.resize(static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i)
                st->parts[i].right = rights[i];
            InvalidateRect(h, nullptr, TRUE);
            return TRUE;
        }
        case SB_GETPARTS: {
            auto* rights = reinterpret_cast<int*>(lParam);
            const int n = static_cast<int>(st->parts.size());
            if (rights)
                for (int i = 0; i < std::min(n, static_cast<int>(wParam)); ++i)
                    rights[i] = st->parts[i].right;
            return n;
        }
        case SB_GETBORDERS: {
            auto* borders = reinterpret_cast<int*>(lParam);
            if (!borders) return FALSE;
            borders[0] = kHorzBorder;
            borders[1] = kVertBorder;
            borders[2] = kGap;
            return TRUE;
        }
        case SB_SETMINHEIGHT:
            st->minHeight = static_cast<int>(wParam);
            return 0;
        case SB_SIMPLE: {
            const bool simple = wParam != 0;
            if (simple == st->isSimple) return 0;
            st->isSimple = simple;
            InvalidateRect(h, nullptr, TRUE);
            NMHDR nm;
            NotifyParent(h, SBN_SIMPLEMODECHANGE, &nm);
            return 0;
        }
        case SB_ISSIMPLE:
            return st->isSimple;
        case SB_GETRECT: {
            auto* r = reinterpret_cast<RECT*>(lParam);
            const int i = static_cast<int>(wParam);
            if (!r || i < 0 || (!st->isSimple && i >= static_cast<int>(st->parts.size())))
                return FALSE;
            *r = PartRect(h, st, i);
            return TRUE;
        }
        case WM_NCHITTEST: {
            const LRESULT hit = DefWindowProcA(h, msg, wParam, lParam);
            if (hit != HTCLIENT || !GripSize(h) || !SizedWindow(h)) return hit;
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(h, &p);
            const RECT g = GripRect(h);
            return PtInRect(&g, p) ? HTBOTTOMRIGHT : hit;
        }
        case WM_NCLBUTTONDOWN:
            if (wParam == static_cast<WPARAM>(HTBOTTOMRIGHT)) {
                if (HWND top = SizedWindow(h))
                    SendMessageA(top, WM_SYSCOMMAND, SC_SIZE + WMSZ_BOTTOMRIGHT, lParam);
                return 0;
            }
            break;
        default:
            break;
    }
    return PaintedControlDefault(h, msg, wParam, lParam, Paint);
}

}  // namespace win

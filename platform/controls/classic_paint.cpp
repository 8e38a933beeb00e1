#include "platform/controls/classic_paint.h"

#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/user/dialog_manager.h"
#include "platform/user/user.h"
#include "platform/user/window_dc.h"

namespace win {

namespace {

void Line(HDC dc, int x1, int y1, int x2, int y2, int colorIndex) {
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(colorIndex));
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, old);
    DeleteObject(pen);
}

// Top and left edges in one colour, bottom and right in another, `inset` pixels in.
void Edge(HDC dc, const RECT& r, int inset, int topLeft, int bottomRight) {
    const int l = r.left + inset, t = r.top + inset, rr = r.right - 1 - inset,
              b = r.bottom - 1 - inset;
    if (rr < l || b < t) return;
    Line(dc, l, b, l, t, topLeft);
    Line(dc, l, t, rr, t, topLeft);
    Line(dc, rr, t, rr, b, bottomRight);
    Line(dc, l, b, rr + 1, b, bottomRight);
}

// The text without its "&" marks, and the place of the underlined character (or npos).
std::string StripPrefix(const std::string& s, std::size_t* underline) {
    std::string out;
    *underline = std::string::npos;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&' && i + 1 < s.size()) {
            if (s[i + 1] == '&') {
                out += '&';
                ++i;
                continue;
            }
            if (*underline == std::string::npos) *underline = out.size();
            continue;
        }
        out += s[i];
    }
    return out;
}

}  // namespace

void FillSysColor(HDC dc, const RECT& r, int colorIndex) {
    FillRect(dc, &r, GetSysColorBrush(colorIndex));
}

RECT DrawPushFace(HDC dc, RECT r, bool framed, bool pressed) {
    FillSysColor(dc, r, COLOR_BTNFACE);
    if (framed) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    DrawRaisedFrame(dc, r, pressed);
    return r;
}

void DrawGroupFrame(HDC dc, const RECT& rc, const std::string& caption, HBRUSH bg, bool disabled) {
    FillRect(dc, &rc, bg);
    SIZE s{};
    GetTextExtentPoint32(dc, "Wg", 2, &s);
    RECT frame{rc.left, rc.top + s.cy / 2, rc.right, rc.bottom};
    DrawEtchedFrame(dc, frame);
    if (caption.empty()) return;
    SIZE t{};
    GetTextExtentPoint32(dc, caption.c_str(), static_cast<int>(caption.size()), &t);
    RECT label{rc.left + 8, rc.top, rc.left + 8 + t.cx + 4, rc.top + s.cy};
    FillRect(dc, &label, bg);
    DrawLabelText(dc, caption, {label.left + 2, label.top, label.right, label.bottom}, 0, false,
                  true, false, disabled);
}

void FillCheckered(HDC dc, const RECT& r, int colorIndex, int otherIndex) {
    FillSysColor(dc, r, colorIndex);
    const COLORREF other = GetSysColor(otherIndex);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left + ((r.left + y) & 1); x < r.right; x += 2)
            SetPixelV(dc, x, y, other);
}

void DrawRaisedFrame(HDC dc, RECT r, bool pressed) {
    if (pressed) {
        Edge(dc, r, 0, COLOR_BTNSHADOW, COLOR_BTNSHADOW);
        return;
    }
    Edge(dc, r, 0, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW);
    Edge(dc, r, 1, COLOR_3DLIGHT, COLOR_BTNSHADOW);
}

void DrawSunkenFrame(HDC dc, RECT r) {
    Edge(dc, r, 0, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
    Edge(dc, r, 1, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
}

void DrawEtchedFrame(HDC dc, RECT r) {
    RECT inner{r.left + 1, r.top + 1, r.right, r.bottom};
    Edge(dc, inner, 0, COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT);
    RECT outer{r.left, r.top, r.right - 1, r.bottom - 1};
    Edge(dc, outer, 0, COLOR_BTNSHADOW, COLOR_BTNSHADOW);
}

void DrawDottedFocus(HDC dc, RECT r) {
    // Every other pixel inverted, so drawing it twice takes it away.
    for (int x = r.left; x < r.right; x += 2) {
        RECT a{x, r.top, x + 1, r.top + 1}, b{x, r.bottom - 1, x + 1, r.bottom};
        InvertRect(dc, &a);
        if (r.bottom - 1 > r.top) InvertRect(dc, &b);
    }
    for (int y = r.top + 2; y < r.bottom - 1; y += 2) {
        RECT a{r.left, y, r.left + 1, y + 1}, b{r.right - 1, y, r.right, y + 1};
        InvertRect(dc, &a);
        if (r.right - 1 > r.left) InvertRect(dc, &b);
    }
}

RECT DrawLabelText(HDC dc, const std::string& text, RECT r, int align, bool vcenter,
                   bool singleLine, bool noPrefix, bool disabled) {
    std::size_t underline = std::string::npos;
    const std::string shown = noPrefix ? text : StripPrefix(text, &underline);
    SIZE extent{};
    std::vector<std::string> lines;
    if (singleLine) {
        lines = {shown};
        for (char& c : lines[0])
            if (c == '\r' || c == '\n') c = ' ';
        LayoutTextLines(dc, lines[0], 0, &extent);
    } else {
        lines = LayoutTextLines(dc, shown, r.right - r.left, &extent);
    }
    const int lineH = lines.empty() ? 0 : extent.cy / static_cast<int>(lines.size());
    int y = vcenter ? r.top + (r.bottom - r.top - extent.cy) / 2 : r.top;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = GetTextColor(dc);
    RECT covered{r.right, y, r.left, y + extent.cy};
    std::size_t consumed = 0;  // characters of `shown` before the current line
    for (const std::string& line : lines) {
        SIZE s{};
        GetTextExtentPoint32(dc, line.c_str(), static_cast<int>(line.size()), &s);
        const int x = align == 1   ? r.left + (r.right - r.left - s.cx) / 2
                      : align == 2 ? r.right - s.cx
                                   : r.left;
        auto draw = [&](int dx, int dy, COLORREF color) {
            SetTextColor(dc, color);
            ExtTextOut(dc, x + dx, y + dy, ETO_CLIPPED, &r, line.c_str(),
                       static_cast<UINT>(line.size()), nullptr);
            if (underline != std::string::npos && underline >= consumed &&
                underline < consumed + line.size()) {
                SIZE before{}, ch{};
                GetTextExtentPoint32(dc, line.c_str(), static_cast<int>(underline - consumed),
                                     &before);
                GetTextExtentPoint32(dc, line.c_str() + (underline - consumed), 1, &ch);
                HPEN pen = CreatePen(PS_SOLID, 1, color);
                HGDIOBJ old = SelectObject(dc, pen);
                MoveToEx(dc, x + dx + before.cx, y + dy + s.cy - 1, nullptr);
                LineTo(dc, x + dx + before.cx + ch.cx, y + dy + s.cy - 1);
                SelectObject(dc, old);
                DeleteObject(pen);
            }
        };
        if (disabled) {
            draw(1, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
            draw(0, 0, GetSysColor(COLOR_GRAYTEXT));
        } else {
            draw(0, 0, oldColor);
        }
        covered.left = std::min<LONG>(covered.left, x);
        covered.right = std::max<LONG>(covered.right, x + s.cx);
        consumed += line.size() + 1;
        y += lineH;
    }
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    if (covered.left > covered.right) covered.left = covered.right = r.left;
    return covered;
}

void SendDrawItem(HWND owner, const DRAWITEMSTRUCT& dis) {
    if (!owner) return;
    const int saved = SaveDC(dis.hDC);
    SendMessageA(owner, WM_DRAWITEM, dis.CtlID,
                 reinterpret_cast<LPARAM>(const_cast<DRAWITEMSTRUCT*>(&dis)));
    RestoreDC(dis.hDC, saved);
}

LRESULT PaintWholeControl(HWND h, WPARAM wParam, void (*paint)(HWND, HDC)) {
    if (wParam) {
        paint(h, reinterpret_cast<HDC>(wParam));
        return 0;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    paint(h, dc);
    EndPaint(h, &ps);
    return 0;
}

}  // namespace win

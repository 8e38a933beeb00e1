// Focus rectangles, edges and frame controls in the classic look.
#include "platform/gdi/frame_draw.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc_impl.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/draw_text.h"
#include "platform/gdi/font.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/sys_colors.h"

namespace win {

using namespace detail;

namespace {

void Fill(HDC dc, const RECT& r, int sysColor) {
    FillRect(dc, &r, GetSysColorBrush(sysColor));
}

// One ring: top-left colour on the top and left sides, bottom-right colour on the others.
void Ring(HDC dc, const RECT& r, UINT sides, int tl, int br) {
    if (RectIsEmpty(r)) return;
    if (sides & BF_TOP) Fill(dc, RECT{r.left, r.top, r.right, r.top + 1}, tl);
    if (sides & BF_LEFT) Fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, tl);
    if (sides & BF_BOTTOM) Fill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, br);
    if (sides & BF_RIGHT) Fill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, br);
}

// Lays a shape over the DC in a colour with soft edges (4 x 4 samples a pixel); the shape
// works in coordinates relative to the rectangle.
void Shape(HDC hdc, const RECT& r, COLORREF color, const std::function<bool(double, double)>& in) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    hits += in(x - r.left + (sx + 0.5) / 4, y - r.top + (sy + 0.5) / 4);
            if (!hits) continue;
            if (hits == 16) {
                SetPixelV(hdc, x, y, color);
                continue;
            }
            const COLORREF under = GetPixel(hdc, x, y);
            if (under == CLR_INVALID) continue;
            auto mix = [&](int s) {
                return BYTE(
                    (((color >> s) & 0xFF) * hits + ((under >> s) & 0xFF) * (16 - hits) + 8) / 16);
            };
            SetPixelV(hdc, x, y, RGB(mix(0), mix(8), mix(16)));
        }
}

// A glyph of the window-button font centred in the rectangle; "?" (the help button's) is a
// bold question mark of the interface face.
void ButtonGlyph(HDC dc, const RECT& r, char glyph, COLORREF color, int offset) {
    const int size = std::max(4, std::min(r.right - r.left, r.bottom - r.top) * 3 / 4);
    HFONT f = glyph == '?' ? CreateFont(-size, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                                        0, "MS Sans Serif")
                           : CreateFont(-size, 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0,
                                        0, "Webdings");
    HGDIOBJ old = SelectObject(dc, f);
    const int mode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, color);
    RECT box = r;
    OffsetRect(&box, offset, offset);
    DrawText(dc, &glyph, 1, &box, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, mode);
    SelectObject(dc, old);
    DeleteObject(f);
}

// A disabled glyph: highlight one pixel down and right, shadow on top.
void Glyph(HDC dc, const RECT& r, char glyph, UINT state) {
    const int offset = (state & DFCS_PUSHED) ? 1 : 0;
    if (state & DFCS_INACTIVE) {
        ButtonGlyph(dc, r, glyph, GetSysColor(COLOR_BTNHIGHLIGHT), offset + 1);
        ButtonGlyph(dc, r, glyph, GetSysColor(COLOR_BTNSHADOW), offset);
    } else {
        ButtonGlyph(dc, r, glyph, GetSysColor(COLOR_BTNTEXT), offset);
    }
}

RECT Square(const RECT& r) {
    const int side = std::min(r.right - r.left, r.bottom - r.top);
    const int left = r.left + (r.right - r.left - side) / 2,
              top = r.top + (r.bottom - r.top - side) / 2;
    return RECT{left, top, left + side, top + side};
}

void PushButton(HDC dc, RECT* r, UINT state) {
    const bool pushed = state & (DFCS_PUSHED | DFCS_CHECKED);
    if (state & DFCS_FLAT) {
        if (!(state & DFCS_TRANSPARENT)) Fill(dc, *r, COLOR_BTNFACE);
        DrawEdge(dc, r, pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    } else if (pushed) {
        // A pushed button shows a flat shadow frame.
        Ring(dc, *r, BF_RECT, COLOR_3DDKSHADOW, COLOR_3DDKSHADOW);
        RECT in = *r;
        InflateRect(&in, -1, -1);
        Ring(dc, in, BF_RECT, COLOR_BTNSHADOW, COLOR_BTNSHADOW);
        InflateRect(&in, -1, -1);
        if (!(state & DFCS_TRANSPARENT)) Fill(dc, in, COLOR_BTNFACE);
    } else {
        DrawEdge(dc, r, EDGE_RAISED, BF_RECT | ((state & DFCS_TRANSPARENT) ? 0 : BF_MIDDLE));
    }
    if (state & DFCS_ADJUSTRECT) InflateRect(r, -2, -2);
}

void CheckMark(HDC dc, const RECT& box, COLORREF color) {
    const double s = (box.right - box.left) / 13.0;
    Shape(dc, box, color, [s](double x, double y) {
        x /= s;
        y /= s;
        // The classic tick: down from (3, 5.5) to (5, 7.5), up to (9.5, 3).
        const double d1 = std::fabs((x - 3) - (y - 5.5)) / std::sqrt(2.0);
        const double d2 = std::fabs((x - 5) + (y - 7.5)) / std::sqrt(2.0);
        const bool a = x >= 2.7 && x <= 5.3 && d1 < 1.1;
        const bool b = x >= 4.7 && x <= 9.8 && d2 < 1.1;
        return a || b;
    });
}

void CheckBox(HDC dc, const RECT& r, UINT state) {
    RECT box = Square(r);
    if (state & DFCS_FLAT) {
        Ring(dc, box, BF_RECT, COLOR_BTNSHADOW, COLOR_BTNSHADOW);
    } else {
        DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT);
    }
    RECT in = box;
    InflateRect(&in, -2, -2);
    const bool grey = (state & (DFCS_INACTIVE | DFCS_PUSHED)) ||
                      ((state & DFCS_BUTTON3STATE) && (state & DFCS_CHECKED));
    Fill(dc, in, grey ? COLOR_BTNFACE : COLOR_WINDOW);
    if (state & DFCS_CHECKED)
        CheckMark(dc, box,
                  GetSysColor((state & (DFCS_INACTIVE | DFCS_BUTTON3STATE)) ? COLOR_BTNSHADOW
                                                                            : COLOR_WINDOWTEXT));
}

void Radio(HDC dc, const RECT& r, UINT state) {
    const RECT box = Square(r);
    const double c = (box.right - box.left) / 2.0;
    auto ring = [c](double lo, double hi, int half) {
        return [=](double x, double y) {
            const double d = std::hypot(x - c, y - c);
            if (d < lo || d >= hi) return false;
            const bool topLeft = (x - c) + (y - c) < 0;
            return half == 0 ? topLeft : !topLeft;
        };
    };
    if (state & DFCS_BUTTONRADIOMASK) {
        Shape(dc, box, RGB(0, 0, 0),
              [c](double x, double y) { return std::hypot(x - c, y - c) < c; });
        return;
    }
    Shape(dc, box, GetSysColor(COLOR_BTNSHADOW), ring(c - 1, c, 0));
    Shape(dc, box, GetSysColor(COLOR_BTNHIGHLIGHT), ring(c - 1, c, 1));
    Shape(dc, box, GetSysColor(COLOR_3DDKSHADOW), ring(c - 2, c - 1, 0));
    Shape(dc, box, GetSysColor(COLOR_3DLIGHT), ring(c - 2, c - 1, 1));
    const COLORREF inside =
        GetSysColor((state & (DFCS_INACTIVE | DFCS_PUSHED)) ? COLOR_BTNFACE : COLOR_WINDOW);
    Shape(dc, box, inside, [c](double x, double y) { return std::hypot(x - c, y - c) < c - 2; });
    if (state & DFCS_CHECKED) {
        const COLORREF dot =
            GetSysColor((state & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT);
        Shape(dc, box, dot, [c](double x, double y) { return std::hypot(x - c, y - c) < c / 3; });
    }
}

void SizeGrip(HDC dc, const RECT& r) {
    const int size = std::min(r.right - r.left, r.bottom - r.top);
    // Three pairs of diagonal lines in the bottom-right corner.
    for (int k = 0; k < 3; ++k) {
        for (int line = 0; line < 2; ++line) {
            const int d = size - 1 - 4 * k - line - 1;
            if (d < 0) continue;
            const COLORREF c = GetSysColor(line == 0 ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
            for (int i = 0; i <= size - 1 - d; ++i)
                SetPixelV(dc, r.right - size + d + i, r.bottom - 1 - i, c);
        }
    }
}

}  // namespace

BOOL DrawFocusRect(HDC hdc, const RECT* rect) {
    auto dc = GetDc(hdc);
    if (!dc || !rect) return FALSE;
    const RECT r = dc->ToTarget(*rect);
    if (RectIsEmpty(r)) return TRUE;
    Bitmap* b = dc->Target();
    if (!b || b->stock) return TRUE;
    auto flip = [&](int x, int y) {
        if (((x + y) & 1) || !dc->Clip().Contains(x, y)) return;
        WritePixel(*b, x, y, ReadPixel(*b, x, y) ^ 0x00FFFFFF);
    };
    for (int x = r.left; x < r.right; ++x) {
        flip(x, r.top);
        if (r.bottom - 1 > r.top) flip(x, r.bottom - 1);
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        flip(r.left, y);
        if (r.right - 1 > r.left) flip(r.right - 1, y);
    }
    return TRUE;
}

BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags) {
    if (!GetDc(dc) || !rect) return FALSE;
    if (flags & BF_DIAGONAL) return TRUE;
    RECT r = *rect;
    const bool mono = flags & BF_MONO, flat = flags & BF_FLAT;
    // Colours of the outer and inner rings, top-left and bottom-right.
    int outerTL = -1, outerBR = -1, innerTL = -1, innerBR = -1;
    if (edge & BDR_RAISEDOUTER) outerTL = COLOR_3DLIGHT, outerBR = COLOR_3DDKSHADOW;
    if (edge & BDR_SUNKENOUTER) outerTL = COLOR_BTNSHADOW, outerBR = COLOR_BTNHIGHLIGHT;
    if (edge & BDR_RAISEDINNER) innerTL = COLOR_BTNHIGHLIGHT, innerBR = COLOR_BTNSHADOW;
    if (edge & BDR_SUNKENINNER) innerTL = COLOR_3DDKSHADOW, innerBR = COLOR_3DLIGHT;
    if (flags & BF_SOFT) {
        if (edge & BDR_RAISEDOUTER) outerTL = COLOR_BTNHIGHLIGHT;
        if (edge & BDR_SUNKENINNER) innerTL = COLOR_BTNSHADOW;
    }
    if (mono) {
        outerTL = outerBR = outerTL >= 0 ? COLOR_WINDOWFRAME : -1;
        innerTL = innerBR = innerTL >= 0 ? COLOR_WINDOW : -1;
    } else if (flat) {
        outerTL = outerBR = outerTL >= 0 ? COLOR_BTNSHADOW : -1;
        innerTL = innerBR = innerTL >= 0 ? COLOR_BTNFACE : -1;
    }
    const UINT sides = flags & BF_RECT;
    if (outerTL >= 0) {
        Ring(dc, r, sides, outerTL, outerBR);
        if (sides & BF_LEFT) ++r.left;
        if (sides & BF_TOP) ++r.top;
        if (sides & BF_RIGHT) --r.right;
        if (sides & BF_BOTTOM) --r.bottom;
    }
    if (innerTL >= 0) {
        Ring(dc, r, sides, innerTL, innerBR);
        if (sides & BF_LEFT) ++r.left;
        if (sides & BF_TOP) ++r.top;
        if (sides & BF_RIGHT) --r.right;
        if (sides & BF_BOTTOM) --r.bottom;
    }
    if (flags & BF_MIDDLE) Fill(dc, r, mono ? COLOR_WINDOW : COLOR_BTNFACE);
    if (flags & BF_ADJUST) *rect = r;
    return TRUE;
}

BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state) {
    if (!GetDc(dc) || !rect) return FALSE;
    RECT r = *rect;
    switch (type) {
        case DFC_BUTTON:
            if (state & DFCS_BUTTONPUSH) {
                PushButton(dc, rect, state);
            } else if (state & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) {
                Radio(dc, r, state);
            } else {
                CheckBox(dc, r, state);
            }
            return TRUE;
        case DFC_CAPTION: {
            PushButton(dc, &r, state & ~DFCS_ADJUSTRECT);
            static const char kGlyphs[] = {'r', '0', '1', '2', '?'};
            const UINT kind = state & 0xFF;
            if (kind <= DFCS_CAPTIONHELP) Glyph(dc, *rect, kGlyphs[kind], state);
            return TRUE;
        }
        case DFC_SCROLL: {
            const UINT kind = state & 0xFF;
            if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
                if (!(state & DFCS_TRANSPARENT)) Fill(dc, r, COLOR_BTNFACE);
                SizeGrip(dc, r);
                return TRUE;
            }
            if ((state & DFCS_PUSHED) && !(state & DFCS_FLAT)) {
                Ring(dc, r, BF_RECT, COLOR_BTNSHADOW, COLOR_BTNSHADOW);
                RECT in = r;
                InflateRect(&in, -1, -1);
                Fill(dc, in, COLOR_BTNFACE);
            } else {
                PushButton(dc, &r, state & ~(DFCS_ADJUSTRECT | DFCS_PUSHED));
            }
            static const char kArrows[] = {'5', '6', '3', '4', 0, '6'};
            if (kind < 6 && kArrows[kind]) Glyph(dc, *rect, kArrows[kind], state);
            return TRUE;
        }
        case DFC_MENU: {
            const COLORREF ink = GetSysColor(COLOR_MENUTEXT);
            const UINT kind = state & 0xFF;
            if (kind == DFCS_MENUCHECK) {
                CheckMark(dc, Square(r), ink);
            } else if (kind == DFCS_MENUBULLET) {
                const RECT box = Square(r);
                const double c = (box.right - box.left) / 2.0;
                Shape(dc, box, ink,
                      [c](double x, double y) { return std::hypot(x - c, y - c) < c / 3; });
            } else {
                ButtonGlyph(dc, r, kind == DFCS_MENUARROWRIGHT ? '3' : '4', ink, 0);
            }
            return TRUE;
        }
        default:
            return FALSE;
    }
}

HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name) {
    if (instance || name != OBM_CHECKBOXES) return nullptr;
    constexpr int kCell = 13;
    HDC screen = CreateCompatibleDC(nullptr);
    HBITMAP b = CreateBitmap(4 * kCell, 3 * kCell, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, b);
    RECT all{0, 0, 4 * kCell, 3 * kCell};
    Fill(dc, all, COLOR_BTNFACE);
    static const UINT kRows[] = {DFCS_BUTTONCHECK, DFCS_BUTTONRADIO, DFCS_BUTTON3STATE};
    static const UINT kColumns[] = {0, DFCS_CHECKED, DFCS_PUSHED, DFCS_PUSHED | DFCS_CHECKED};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col) {
            RECT cell{col * kCell, row * kCell, (col + 1) * kCell, (row + 1) * kCell};
            DrawFrameControl(dc, &cell, DFC_BUTTON, kRows[row] | kColumns[col]);
        }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteDC(screen);
    return b;
}

}  // namespace win

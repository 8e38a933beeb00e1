// Window surfaces and the DCs over them.
#include "platform/user/window_dc.h"

#include <map>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/dc_surface.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/region.h"
#include "platform/user/internal.h"
#include "platform/user/painting.h"
#include "platform/user/screen.h"
#include "platform/user/window_tree.h"

namespace win {

using detail::Peek;
using detail::Window;

namespace detail {
namespace {

struct Surface {
    HBITMAP bitmap = nullptr;
    int width = 0, height = 0;
};

std::map<HWND, Surface>& Surfaces() {
    static std::map<HWND, Surface> s;
    return s;
}

// Removes from `rgn` (surface coordinates, offset `o` = surface origin in screen space) the
// screen rectangle r.
void Cut(HRGN rgn, RECT r, POINT o) {
    OffsetRect(&r, -o.x, -o.y);
    HRGN cut = CreateRectRgnIndirect(&r);
    CombineRgn(rgn, rgn, cut, RGN_DIFF);
    DeleteObject(cut);
}

}  // namespace

HBITMAP SurfaceOf(Window* top) {
    if (top == nullptr || !top->IsTopLevel()) return nullptr;
    int w = std::max(1, int(top->rect.right - top->rect.left));
    int h = std::max(1, int(top->rect.bottom - top->rect.top));
    Surface& s = Surfaces()[top->handle];
    if (s.bitmap && s.width == w && s.height == h) return s.bitmap;
    HBITMAP fresh = CreateCompatibleBitmap(nullptr, w, h);
    if (fresh == nullptr) return s.bitmap;
    if (s.bitmap) {  // keep what was painted where it still fits
        HDC from = CreateCompatibleDC(nullptr), to = CreateCompatibleDC(nullptr);
        HGDIOBJ a = SelectObject(from, s.bitmap), b = SelectObject(to, fresh);
        BitBlt(to, 0, 0, std::min(w, s.width), std::min(h, s.height), from, 0, 0, SRCCOPY);
        SelectObject(from, a);
        SelectObject(to, b);
        DeleteDC(from);
        DeleteDC(to);
        DeleteObject(s.bitmap);
    }
    s = Surface{fresh, w, h};
    return fresh;
}

void DropSurface(Window* top) {
    auto& all = Surfaces();
    if (auto it = all.find(top->handle); it != all.end()) {
        DeleteObject(it->second.bitmap);
        all.erase(it);
    }
}

HDC MakeWindowDC(Window* w, bool whole, const RECT* clipClient) {
    Window* top = TopLevelOf(w);
    HBITMAP surface = SurfaceOf(top);
    if (surface == nullptr) return nullptr;
    POINT so{0, 0};
    RECT topScreen = ScreenRect(top);
    so = POINT{topScreen.left, topScreen.top};
    RECT area = whole ? ScreenRect(w) : ScreenClientRect(w);
    POINT origin{area.left - so.x, area.top - so.y};
    RECT vis = area;
    if (clipClient) {
        RECT c = *clipClient;
        POINT co = ClientOrigin(w);
        OffsetRect(&c, co.x, co.y);
        IntersectRect(&vis, &vis, &c);
    }
    for (Window* p = w; p->IsChild() && p->parent && p->parent->parent; p = p->parent) {
        RECT pc = ScreenClientRect(p->parent);
        IntersectRect(&vis, &vis, &pc);
    }
    RECT local = vis;
    OffsetRect(&local, -so.x, -so.y);
    HRGN rgn = CreateRectRgnIndirect(&local);
    if (w->style & WS_CLIPCHILDREN) {
        for (Window* c : w->children)
            if (c->Visible()) Cut(rgn, ScreenRect(c), so);
    }
    for (Window* s = w; s->IsChild() && s->parent; s = s->parent) {
        if (!(s->style & WS_CLIPSIBLINGS)) continue;
        for (Window* sib : s->parent->children) {
            if (sib == s) break;  // only the ones above
            if (sib->Visible()) Cut(rgn, ScreenRect(sib), so);
        }
    }
    HDC dc = CreateSurfaceDC(surface, origin, rgn, w->handle);
    DeleteObject(rgn);
    return dc;
}

}  // namespace detail

HDC GetDC(HWND hwnd) {
    if (hwnd == nullptr) return detail::MakeDesktopDC();
    Window* w = detail::Find(hwnd);
    if (w == nullptr) return nullptr;
    if (w == detail::Desktop()) return detail::MakeDesktopDC();
    return detail::MakeWindowDC(w, false, nullptr);
}

HDC GetWindowDC(HWND hwnd) {
    if (hwnd == nullptr) return detail::MakeDesktopDC();
    Window* w = detail::Find(hwnd);
    if (w == nullptr) return nullptr;
    if (w == detail::Desktop()) return detail::MakeDesktopDC();
    return detail::MakeWindowDC(w, true, nullptr);
}

int ReleaseDC(HWND hwnd, HDC dc) {
    if (!IsSurfaceDC(dc)) return 0;
    const bool desktop = GetSurfaceDCOwner(dc) == detail::kDesktopDCOwner;
    DeleteSurfaceDC(dc);
    if (desktop) detail::DesktopDCReleased();
    if (Window* w = Peek(hwnd)) detail::NoteScreenChange(w, detail::ScreenRect(w));
    return 1;
}

HWND WindowFromDC(HDC dc) {
    HWND owner = GetSurfaceDCOwner(dc);
    return owner == detail::kDesktopDCOwner ? GetDesktopWindow() : owner;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    Window* w = detail::Find(hwnd);
    if (w == nullptr || ps == nullptr) return nullptr;
    *ps = PAINTSTRUCT{};
    RECT area;
    bool erase = false;
    if (!detail::TakeUpdate(w, &area, &erase) || !Peek(hwnd)) return nullptr;
    w->inPaint = true;
    HDC dc = detail::MakeWindowDC(w, false, &area);
    ps->hdc = dc;
    ps->rcPaint = area;
    if (erase && dc) ps->fErase = detail::Send(hwnd, WM_ERASEBKGND, WPARAM(dc), 0) ? FALSE : TRUE;
    return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    Window* w = Peek(hwnd);
    if (w) {
        w->inPaint = false;
        detail::NoteScreenChange(w, detail::ScreenRect(w));
    }
    if (ps && ps->hdc) DeleteSurfaceDC(ps->hdc);
    return TRUE;
}

}  // namespace win

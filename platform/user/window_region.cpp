// Window regions and layered windows.
#include "platform/user/window_region.h"

#include <map>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/region.h"
#include "platform/user/internal.h"
#include "platform/user/painting.h"
#include "platform/user/window_dc.h"
#include "platform/user/window_pos.h"

namespace win {

using detail::Window;

namespace detail {
namespace {

struct Shape {
    HRGN region = nullptr;      // window coordinates
    bool layeredShown = false;  // the layered window has been given content
    bool ownImage = false;      // UpdateLayeredWindow content rather than the painted surface
    bool perPixel = false;
    BYTE alpha = 255;
    COLORREF key = 0;
    DWORD attrFlags = 0;
    HBITMAP image = nullptr;  // 32-bit top-down DIB of an UpdateLayeredWindow window
};

std::map<HWND, Shape>& Shapes() {
    static std::map<HWND, Shape> s;
    return s;
}

Shape* ShapeOf(const Window* w) {
    auto& s = Shapes();
    auto it = s.find(w->handle);
    return it == s.end() ? nullptr : &it->second;
}

void DropImage(Shape& s) {
    if (s.image) DeleteObject(s.image);
    s.image = nullptr;
    s.ownImage = s.perPixel = false;
}

BYTE AlphaAt(const Shape& s, POINT p) {
    BitmapView v;
    if (!s.image || !GetBitmapView(s.image, &v) || p.x < 0 || p.y < 0 || p.x >= v.width ||
        p.y >= v.height)
        return 0;
    return v.Row(p.y)[p.x * 4 + 3];
}

bool Layered(const Window* w) {
    return (w->exStyle & WS_EX_LAYERED) != 0;
}

}  // namespace

bool PointInWindowRegion(const Window* w, POINT p) {
    const Shape* s = ShapeOf(w);
    if (s == nullptr) return !Layered(w);
    if (s->region && !PtInRegion(s->region, p.x, p.y)) return false;
    if (Layered(w)) {
        if (!s->layeredShown) return false;
        if (s->perPixel && AlphaAt(*s, p) == 0) return false;
    }
    return true;
}

bool IsClickThrough(const Window* w, POINT screen) {
    if (!Layered(w)) return false;
    if (w->exStyle & WS_EX_TRANSPARENT) return true;
    RECT r = ScreenRect(w);
    return !PointInWindowRegion(w, POINT{screen.x - r.left, screen.y - r.top});
}

void ExStyleChanged(Window* w, DWORD oldExStyle) {
    bool was = (oldExStyle & WS_EX_LAYERED) != 0, now = Layered(w);
    if (was == now) return;
    if (Shape* s = ShapeOf(w)) {
        DropImage(*s);
        s->layeredShown = false;
    }
    if (w->IsTopLevel()) NoteScreenChange(w, ScreenRect(w));
}

void ForgetShape(Window* w) {
    auto& all = Shapes();
    auto it = all.find(w->handle);
    if (it == all.end()) return;
    DropImage(it->second);
    if (it->second.region) DeleteObject(it->second.region);
    all.erase(it);
}

void ComposeWindow(Window* w, HDC screen, HDC scratch) {
    RECT r = ScreenRect(w);
    const Shape* s = ShapeOf(w);
    if (Layered(w) && (s == nullptr || !s->layeredShown)) return;
    int saved = SaveDC(screen);
    if (s && s->region) {
        HRGN clip = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(clip, s->region, nullptr, RGN_COPY);
        OffsetRgn(clip, r.left, r.top);
        ExtSelectClipRgn(screen, clip, RGN_AND);
        DeleteObject(clip);
    }
    HBITMAP source = (s && s->ownImage) ? s->image : SurfaceOf(w);
    HGDIOBJ prev = SelectObject(scratch, source);
    int width = r.right - r.left, height = r.bottom - r.top;
    if (Layered(w) && s && (s->perPixel || s->alpha != 255)) {
        BLENDFUNCTION bf;
        bf.SourceConstantAlpha = s->alpha;
        bf.AlphaFormat = s->perPixel ? AC_SRC_ALPHA : 0;
        AlphaBlend(screen, r.left, r.top, width, height, scratch, 0, 0, width, height, bf);
    } else {
        BitBlt(screen, r.left, r.top, width, height, scratch, 0, 0, SRCCOPY);
    }
    SelectObject(scratch, prev);
    RestoreDC(screen, saved);
}

}  // namespace detail

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
    Window* w = detail::Find(hwnd);
    if (w == nullptr) return 0;
    auto& s = detail::Shapes()[hwnd];
    if (s.region) DeleteObject(s.region);
    s.region = region;
    if (redraw && w->Visible()) {
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
    }
    detail::NoteScreenChange(w, detail::ScreenRect(detail::TopLevelOf(w)));
    return 1;
}

int GetWindowRgn(HWND hwnd, HRGN region) {
    Window* w = detail::Find(hwnd);
    const detail::Shape* s = w ? detail::ShapeOf(w) : nullptr;
    if (s == nullptr || s->region == nullptr || region == nullptr) return 0;
    return CombineRgn(region, s->region, nullptr, RGN_COPY);
}

BOOL UpdateLayeredWindow(HWND hwnd, HDC, const POINT* dstPos, const SIZE* size, HDC srcDC,
                         const POINT* srcPos, COLORREF key, const BLENDFUNCTION* blend,
                         DWORD flags) {
    Window* w = detail::Find(hwnd);
    if (w == nullptr || !(w->exStyle & WS_EX_LAYERED) || !w->IsTopLevel()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RECT before = detail::ScreenRect(w);
    if (dstPos || size) {
        UINT swp = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW;
        if (!dstPos) swp |= SWP_NOMOVE;
        if (!size) swp |= SWP_NOSIZE;
        SetWindowPos(hwnd, nullptr, dstPos ? dstPos->x : 0, dstPos ? dstPos->y : 0,
                     size ? size->cx : 0, size ? size->cy : 0, swp);
        if ((w = detail::Peek(hwnd)) == nullptr) return FALSE;
    }
    auto& s = detail::Shapes()[hwnd];
    if (srcDC) {
        int width = w->rect.right - w->rect.left, height = w->rect.bottom - w->rect.top;
        detail::DropImage(s);
        BITMAPINFO bmi;
        bmi.bmiHeader.biWidth = width;
        bmi.bmiHeader.biHeight = -height;
        bmi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        s.image = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (s.image == nullptr) return FALSE;
        HDC to = CreateCompatibleDC(nullptr);
        HGDIOBJ prev = SelectObject(to, s.image);
        BitBlt(to, 0, 0, width, height, srcDC, srcPos ? srcPos->x : 0, srcPos ? srcPos->y : 0,
               SRCCOPY);
        SelectObject(to, prev);
        DeleteDC(to);
        s.ownImage = true;
    }
    // The colour key counts only with ULW_COLORKEY; it is kept but not applied.
    s.key = (flags & ULW_COLORKEY) ? key : 0;
    s.alpha = blend && (flags & ULW_ALPHA) ? blend->SourceConstantAlpha : 255;
    s.perPixel = s.ownImage && blend && (flags & ULW_ALPHA) && (blend->AlphaFormat & AC_SRC_ALPHA);
    s.layeredShown = s.ownImage;
    detail::NoteScreenChange(w, before);
    return TRUE;
}

BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags) {
    Window* w = detail::Find(hwnd);
    if (w == nullptr || !(w->exStyle & WS_EX_LAYERED)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto& s = detail::Shapes()[hwnd];
    detail::DropImage(s);
    s.key = key;
    s.attrFlags = flags;
    s.alpha = (flags & LWA_ALPHA) ? alpha : 255;
    s.layeredShown = true;
    detail::NoteScreenChange(w, detail::ScreenRect(w));
    return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags) {
    Window* w = detail::Find(hwnd);
    const detail::Shape* s = w ? detail::ShapeOf(w) : nullptr;
    if (s == nullptr || s->ownImage || !s->layeredShown) return FALSE;
    if (key) *key = s->key;
    if (alpha) *alpha = s->alpha;
    if (flags) *flags = s->attrFlags;
    return TRUE;
}

bool GetLayeredLook(HWND hwnd, LayeredLook* look) {
    Window* w = detail::Find(hwnd);
    if (w == nullptr || !detail::Layered(w) || !w->IsTopLevel() || look == nullptr) return false;
    const detail::Shape* s = detail::ShapeOf(w);
    *look = LayeredLook{};
    if (s == nullptr || !s->layeredShown) return true;
    look->picture = s->ownImage ? s->image : detail::SurfaceOf(w);
    look->alpha = s->alpha;
    look->perPixel = s->perPixel;
    return true;
}

}  // namespace win

// Damage tracking and composition of the virtual screen.
#include "platform/user/screen.h"

#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/dc_surface.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/region.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/caret.h"
#include "platform/user/internal.h"
#include "platform/user/system_metrics.h"
#include "platform/user/window_dc.h"
#include "platform/user/window_region.h"

namespace win {
namespace detail {
namespace {

struct ScreenState {
    HBITMAP bitmap = nullptr;
    SIZE size;
    RECT dirty;                // still to compose
    std::vector<RECT> damage;  // not yet taken by a presenter
};

ScreenState& S() {
    static ScreenState s;
    return s;
}

void EnsureBitmap() {
    auto& s = S();
    SIZE want = ScreenSize();
    if (s.bitmap && s.size == want) return;
    if (s.bitmap) DeleteObject(s.bitmap);
    s.bitmap = CreateCompatibleBitmap(nullptr, want.cx, want.cy);
    s.size = want;
    s.dirty = RECT{0, 0, want.cx, want.cy};
    s.damage.assign(1, s.dirty);
}

}  // namespace

void DamageScreen(const RECT& r) {
    auto& s = S();
    SIZE sz = ScreenSize();
    RECT screen{0, 0, sz.cx, sz.cy}, part;
    if (!IntersectRect(&part, &r, &screen)) return;
    UnionRect(&s.dirty, &s.dirty, &part);
    for (RECT& d : s.damage) {
        RECT i;
        if (IntersectRect(&i, &d, &part)) {
            UnionRect(&d, &d, &part);
            return;
        }
    }
    s.damage.push_back(part);
}

void NoteScreenChange(Window* w, const RECT& oldScreen) {
    DamageScreen(oldScreen);
    DamageScreen(ScreenRect(TopLevelOf(w)));
}

HDC MakeDesktopDC() {
    EnsureBitmap();
    RECT all{0, 0, S().size.cx, S().size.cy};
    DamageScreen(all);  // whatever is drawn there shows until the next composition
    return CreateSurfaceDC(S().bitmap, POINT{0, 0}, nullptr, kDesktopDCOwner);
}

void ClearScreenState() {
    auto& s = S();
    if (s.bitmap) DeleteObject(s.bitmap);
    s = ScreenState{};
}

}  // namespace detail

HBITMAP ComposeScreen() {
    using namespace detail;
    EnsureBitmap();
    auto& s = S();
    if (IsRectEmpty(&s.dirty)) return s.bitmap;
    HDC screen = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(screen, s.bitmap);
    HRGN clip = CreateRectRgnIndirect(&s.dirty);
    SelectClipRgn(screen, clip);
    DeleteObject(clip);
    FillRect(screen, &s.dirty, GetSysColorBrush(COLOR_BACKGROUND));
    HDC src = CreateCompatibleDC(nullptr);
    auto& tops = Desktop()->children;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        Window* t = *it;
        if (!t->Visible()) continue;
        RECT r = ScreenRect(t);
        RECT i;
        if (!IntersectRect(&i, &r, &s.dirty)) continue;
        ComposeWindow(t, screen, src);
    }
    DeleteDC(src);
    OverlayCaret(screen);
    SelectObject(screen, old);
    DeleteDC(screen);
    s.dirty = RECT{};
    return s.bitmap;
}

std::vector<RECT> TakeScreenDamage() {
    detail::EnsureBitmap();
    std::vector<RECT> out;
    out.swap(detail::S().damage);
    return out;
}

}  // namespace win

// Damage tracking and composition of the virtual screen.
#include "platform/user/screen.h"

#include <algorithm>
#include <cstdint>

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
    // Pixels inverted on the desktop DC (drawn with R2_NOT), one byte each: they stay inverted
    // over every composition until inverted again, as an outline drawn for a move must.
    std::vector<uint8_t> inverted;
    std::size_t invertedCount = 0;  // pixels set in `inverted`
    // The composed screen when the first desktop DC still open was made, to tell afterwards
    // which pixels were inverted through it.
    std::vector<uint32_t> before;
    int desktopDCs = 0;
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
    s.inverted.assign(std::size_t(want.cx) * std::size_t(want.cy), 0);
    s.invertedCount = 0;
    s.dirty = RECT{0, 0, want.cx, want.cy};
    s.damage.assign(1, s.dirty);
}

// Calls `visit(pixel, index)` for each pixel of the screen bitmap inside `r`.
template <typename Visit>
void ForPixels(const RECT& r, Visit visit) {
    auto& s = S();
    BitmapView v;
    if (!GetBitmapView(s.bitmap, &v) || v.bitsPerPixel != 32) return;
    RECT screen{0, 0, std::min(v.width, s.size.cx), std::min(v.height, s.size.cy)}, part;
    if (!IntersectRect(&part, &r, &screen)) return;
    for (int y = part.top; y < part.bottom; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(v.Row(y));
        for (int x = part.left; x < part.right; ++x)
            visit(row[x], std::size_t(y) * std::size_t(s.size.cx) + std::size_t(x));
    }
}

void OverlayInversion(const RECT& r) {
    // Almost always nothing is inverted: the composed area is not walked pixel by pixel then.
    if (S().invertedCount == 0) return;
    auto& inverted = S().inverted;
    ForPixels(r, [&](uint32_t& px, std::size_t i) {
        if (inverted[i]) px ^= 0x00FFFFFF;
    });
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
    auto& s = S();
    RECT all{0, 0, s.size.cx, s.size.cy};
    if (s.desktopDCs++ == 0) {
        ComposeScreen();
        s.before.assign(s.inverted.size(), 0);
        ForPixels(all, [&](uint32_t& px, std::size_t i) { s.before[i] = px; });
    }
    DamageScreen(all);  // whatever is drawn there shows until the next composition
    return CreateSurfaceDC(s.bitmap, POINT{0, 0}, nullptr, kDesktopDCOwner);
}

void DesktopDCReleased() {
    auto& s = S();
    if (s.desktopDCs == 0 || --s.desktopDCs > 0) return;
    // A pixel that is now exactly the inverse of what it was was drawn with R2_NOT (twice
    // over, it is as it was): the mask keeps it so.
    if (s.before.size() == s.inverted.size())
        ForPixels(RECT{0, 0, s.size.cx, s.size.cy}, [&](uint32_t& px, std::size_t i) {
            if (((px ^ s.before[i]) & 0x00FFFFFF) == 0x00FFFFFF) {
                s.inverted[i] ^= 1;
                if (s.inverted[i])
                    ++s.invertedCount;
                else
                    --s.invertedCount;
            }
        });
    s.before.clear();
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
    OverlayInversion(s.dirty);
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

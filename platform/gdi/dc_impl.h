// The device context behind an HDC (internal to platform/gdi).
#pragma once

#include <optional>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"

namespace win::detail {

struct Font;

struct DcState {
    POINT windowOrg{};
    POINT viewportOrg{};
    std::optional<RegionSet> clip;   // device coordinates; none = no clip
    std::shared_ptr<Bitmap> bitmap;  // memory DCs
    std::shared_ptr<Pen> pen;
    std::shared_ptr<Brush> brush;
    std::shared_ptr<Font> font;
    std::shared_ptr<Palette> palette;
    COLORREF textColor = 0;
    COLORREF bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int stretchMode = BLACKONWHITE;
    int polyFillMode = ALTERNATE;
    UINT textAlign = 0;
    POINT pos{};
    POINT brushOrg{};
};

struct Dc : Object {
    static constexpr Kind kKind = Kind::DC;
    Dc() : Object(kKind) {}

    bool surfaceDc = false;
    std::shared_ptr<Bitmap> surface;   // surface DCs
    POINT origin{};                    // device (0, 0) inside the target bitmap
    std::optional<RegionSet> visible;  // target coordinates
    HWND owner = nullptr;

    DcState st;
    std::vector<DcState> saved;

    Bitmap* Target() const { return surfaceDc ? surface.get() : st.bitmap.get(); }
    // Offset from logical to target coordinates.
    int Dx() const { return origin.x + st.viewportOrg.x - st.windowOrg.x; }
    int Dy() const { return origin.y + st.viewportOrg.y - st.windowOrg.y; }
    RECT ToTarget(const RECT& r) const {
        return RECT{r.left + Dx(), r.top + Dy(), r.right + Dx(), r.bottom + Dy()};
    }
    // Everything drawing may touch, in target coordinates (inside the target bitmap).
    const RegionSet& Clip();
    void ClipChanged() { clipValid_ = false; }
    // The rectangle of the device (target bounds less the origin), device coordinates.
    RECT DeviceArea() const;

private:
    bool clipValid_ = false;
    RegionSet clip_;
};

std::shared_ptr<Dc> GetDc(HDC dc);

// Stock objects the DC starts with.
std::shared_ptr<Pen> DefaultPen();
std::shared_ptr<Brush> DefaultBrush();
std::shared_ptr<Font> DefaultFont();
std::shared_ptr<Bitmap> DefaultBitmap();
std::shared_ptr<Palette> DefaultPalette();

// Calls f(rect) for each piece of `r` (target coordinates) that the DC's clip lets through.
template <class F>
void ForClipped(Dc& dc, const RECT& r, F&& f) {
    const RegionSet& clip = dc.Clip();
    if (clip.empty()) return;
    const RECT& b = clip.bounds();
    if (r.right <= b.left || r.left >= b.right || r.bottom <= b.top || r.top >= b.bottom) return;
    for (const RECT& c : clip.rects()) {
        if (c.top >= r.bottom) break;
        if (c.bottom <= r.top || c.right <= r.left || c.left >= r.right) continue;
        RECT x{c.left > r.left ? c.left : r.left, c.top > r.top ? c.top : r.top,
               c.right < r.right ? c.right : r.right, c.bottom < r.bottom ? c.bottom : r.bottom};
        f(x);
    }
}

}  // namespace win::detail

namespace win::detail {

// A brush handle, or a system colour index + 1 standing for its brush.
std::shared_ptr<Brush> BrushFromHandle(HBRUSH brush);
// Applies the operation with a constant pattern to a target rectangle, through the clip.
void RopFill(Dc& dc, const RECT& target, BYTE code, Pixel pattern);
// The same for one span of one row (already clipped).
void RopSpan(Bitmap& b, int x, int y, int n, BYTE code, Pixel pattern);

}  // namespace win::detail

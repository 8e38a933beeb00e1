// Device contexts: creation, selected objects, the saved-state stack, origins and clipping.
#include "platform/gdi/dc.h"

#include <algorithm>

#include "platform/gdi/dc_impl.h"
#include "platform/gdi/dc_surface.h"
#include "platform/gdi/font_impl.h"
#include "platform/gdi/rect.h"

namespace win {

using namespace detail;

namespace {

SIZE g_screen{1024, 768};

// A very large device area for clip operations on a DC that has no clip yet.
constexpr LONG kFar = 1 << 28;

void InitState(DcState& st) {
    st.pen = DefaultPen();
    st.brush = DefaultBrush();
    st.font = DefaultFont();
    st.palette = DefaultPalette();
}

// Keeps the count of DCs holding a bitmap in step when the selection changes.
void Hold(Bitmap* b, const Dc* dc, int delta) {
    if (!b || b->stock) return;
    b->selections += delta;
    b->holder = b->selections > 0 ? dc : nullptr;
}

void SwapBitmap(const Dc* dc, DcState& st, std::shared_ptr<Bitmap> b) {
    Hold(st.bitmap.get(), dc, -1);
    st.bitmap = std::move(b);
    Hold(st.bitmap.get(), dc, +1);
}

}  // namespace

std::shared_ptr<Dc> detail::GetDc(HDC dc) {
    return Get<Dc>(dc);
}

RECT Dc::DeviceArea() const {
    const Bitmap* t = Target();
    if (!t) return RECT{};
    return RECT{-origin.x, -origin.y, t->width - origin.x, t->height - origin.y};
}

const RegionSet& Dc::Clip() {
    if (clipValid_) return clip_;
    const Bitmap* t = Target();
    clip_ = t ? RegionSet(t->Bounds()) : RegionSet();
    if (visible) clip_.CombineWith(*visible, RegionSet::Op::And);
    if (st.clip) {
        RegionSet c = *st.clip;
        c.Offset(origin.x, origin.y);
        clip_.CombineWith(c, RegionSet::Op::And);
    }
    clipValid_ = true;
    return clip_;
}

HDC CreateCompatibleDC(HDC dc) {
    if (dc && !GetDc(dc)) return nullptr;
    auto d = std::make_shared<Dc>();
    InitState(d->st);
    SwapBitmap(d.get(), d->st, DefaultBitmap());
    return Add<HDC>(d);
}

BOOL DeleteDC(HDC hdc) {
    auto dc = GetDc(hdc);
    if (!dc || dc->surfaceDc) return FALSE;
    SwapBitmap(dc.get(), dc->st, nullptr);
    for (auto& s : dc->saved)
        SwapBitmap(dc.get(), s, nullptr);
    return Unregister(hdc);
}

HDC CreateSurfaceDC(HBITMAP surface, POINT origin, HRGN visible, HWND owner) {
    auto b = Get<Bitmap>(surface);
    if (!b) return nullptr;
    auto d = std::make_shared<Dc>();
    d->surfaceDc = true;
    d->surface = b;
    d->origin = origin;
    d->owner = owner;
    if (visible) {
        auto r = Get<RegionObject>(visible);
        if (!r) return nullptr;
        d->visible = r->set;
    }
    InitState(d->st);
    return Add<HDC>(d);
}

BOOL SetSurfaceDCGeometry(HDC hdc, POINT origin, HRGN visible) {
    auto dc = GetDc(hdc);
    if (!dc || !dc->surfaceDc) return FALSE;
    if (visible) {
        auto r = Get<RegionObject>(visible);
        if (!r) return FALSE;
        dc->visible = r->set;
    } else {
        dc->visible.reset();
    }
    dc->origin = origin;
    dc->ClipChanged();
    return TRUE;
}

BOOL DeleteSurfaceDC(HDC hdc) {
    auto dc = GetDc(hdc);
    if (!dc || !dc->surfaceDc) return FALSE;
    return Unregister(hdc);
}

HWND GetSurfaceDCOwner(HDC hdc) {
    auto dc = GetDc(hdc);
    return dc && dc->surfaceDc ? dc->owner : nullptr;
}

BOOL IsSurfaceDC(HDC hdc) {
    auto dc = GetDc(hdc);
    return dc && dc->surfaceDc;
}

void SetScreenSize(int width, int height) {
    g_screen = SIZE{width, height};
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
    auto dc = GetDc(hdc);
    auto o = Find(object);
    if (!dc || !o) return nullptr;
    DcState& st = dc->st;
    switch (o->kind) {
        case Kind::Pen: {
            HGDIOBJ old = HandleOf<HGDIOBJ>(*st.pen);
            st.pen = std::static_pointer_cast<Pen>(o);
            return old;
        }
        case Kind::Brush: {
            HGDIOBJ old = HandleOf<HGDIOBJ>(*st.brush);
            st.brush = std::static_pointer_cast<Brush>(o);
            return old;
        }
        case Kind::Font: {
            HGDIOBJ old = HandleOf<HGDIOBJ>(*st.font);
            st.font = std::static_pointer_cast<Font>(o);
            return old;
        }
        case Kind::Bitmap: {
            auto b = std::static_pointer_cast<Bitmap>(o);
            if (dc->surfaceDc) return nullptr;
            if (b == st.bitmap) return object;
            if (b->selections > 0 && b->holder != dc.get()) return nullptr;  // held by another DC
            HGDIOBJ old = HandleOf<HGDIOBJ>(*st.bitmap);
            SwapBitmap(dc.get(), st, b);
            dc->ClipChanged();
            return old;
        }
        case Kind::Region: {
            const int r = SelectClipRgn(hdc, static_cast<HRGN>(object));
            return reinterpret_cast<HGDIOBJ>(intptr_t(r));
        }
        default:
            return nullptr;
    }
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
    auto dc = GetDc(hdc);
    if (!dc) return nullptr;
    const DcState& st = dc->st;
    switch (type) {
        case OBJ_PEN:
            return HandleOf<HGDIOBJ>(*st.pen);
        case OBJ_BRUSH:
            return HandleOf<HGDIOBJ>(*st.brush);
        case OBJ_FONT:
            return HandleOf<HGDIOBJ>(*st.font);
        case OBJ_PAL:
            return HandleOf<HGDIOBJ>(*st.palette);
        case OBJ_BITMAP: {
            const Bitmap* t = dc->Target();
            return t ? HandleOf<HGDIOBJ>(*t) : nullptr;
        }
        default:
            return nullptr;
    }
}

int SaveDC(HDC hdc) {
    auto dc = GetDc(hdc);
    if (!dc) return 0;
    dc->saved.push_back(dc->st);
    Hold(dc->st.bitmap.get(), dc.get(), +1);
    return int(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int saved) {
    auto dc = GetDc(hdc);
    if (!dc) return FALSE;
    const int depth = int(dc->saved.size());
    const int level = saved < 0 ? depth + saved + 1 : saved;
    if (level < 1 || level > depth) return FALSE;
    DcState st = std::move(dc->saved[size_t(level - 1)]);
    for (int i = level; i < depth; ++i)
        SwapBitmap(dc.get(), dc->saved[size_t(i)], nullptr);
    dc->saved.resize(size_t(level - 1));
    // The saved copy counted as a holder of its bitmap; it becomes the current one.
    SwapBitmap(dc.get(), dc->st, nullptr);
    dc->st = std::move(st);
    dc->ClipChanged();
    return TRUE;
}

namespace {

BOOL SetPoint(HDC hdc, POINT DcState::*field, int x, int y, POINT* old, bool relative) {
    auto dc = GetDc(hdc);
    if (!dc) return FALSE;
    POINT& p = dc->st.*field;
    if (old) *old = p;
    p = relative ? POINT{p.x + x, p.y + y} : POINT{x, y};
    return TRUE;
}

BOOL GetPoint(HDC hdc, POINT DcState::*field, POINT* out) {
    auto dc = GetDc(hdc);
    if (!dc || !out) return FALSE;
    *out = dc->st.*field;
    return TRUE;
}

}  // namespace

BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old) {
    return SetPoint(dc, &DcState::windowOrg, x, y, old, false);
}
BOOL GetWindowOrgEx(HDC dc, POINT* org) {
    return GetPoint(dc, &DcState::windowOrg, org);
}
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* old) {
    return SetPoint(dc, &DcState::windowOrg, dx, dy, old, true);
}
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old) {
    return SetPoint(dc, &DcState::viewportOrg, x, y, old, false);
}
BOOL GetViewportOrgEx(HDC dc, POINT* org) {
    return GetPoint(dc, &DcState::viewportOrg, org);
}
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old) {
    return SetPoint(dc, &DcState::viewportOrg, dx, dy, old, true);
}
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* old) {
    return SetPoint(dc, &DcState::brushOrg, x, y, old, false);
}
BOOL GetCurrentPositionEx(HDC dc, POINT* pos) {
    return GetPoint(dc, &DcState::pos, pos);
}

BOOL LPtoDP(HDC hdc, POINT* points, int count) {
    auto dc = GetDc(hdc);
    if (!dc || (!points && count > 0)) return FALSE;
    const int dx = dc->st.viewportOrg.x - dc->st.windowOrg.x;
    const int dy = dc->st.viewportOrg.y - dc->st.windowOrg.y;
    for (int i = 0; i < count; ++i)
        points[i] = POINT{points[i].x + dx, points[i].y + dy};
    return TRUE;
}

BOOL DPtoLP(HDC hdc, POINT* points, int count) {
    auto dc = GetDc(hdc);
    if (!dc || (!points && count > 0)) return FALSE;
    const int dx = dc->st.viewportOrg.x - dc->st.windowOrg.x;
    const int dy = dc->st.viewportOrg.y - dc->st.windowOrg.y;
    for (int i = 0; i < count; ++i)
        points[i] = POINT{points[i].x - dx, points[i].y - dy};
    return TRUE;
}

int SetMapMode(HDC dc, int mode) {
    return GetDc(dc) && mode == MM_TEXT ? MM_TEXT : 0;
}
int GetMapMode(HDC dc) {
    return GetDc(dc) ? MM_TEXT : 0;
}

namespace {

int ClipType(Dc& dc) {
    return dc.Clip().complexity();
}

// Combines the DC's clip with a device-coordinate region.
int CombineClip(Dc& dc, const RegionSet& r, int mode) {
    DcState& st = dc.st;
    if (mode == RGN_COPY) {
        st.clip = r;
    } else {
        RegionSet cur = st.clip ? *st.clip : RegionSet(RECT{-kFar, -kFar, kFar, kFar});
        static constexpr RegionSet::Op kOps[] = {RegionSet::Op::And, RegionSet::Op::Or,
                                                 RegionSet::Op::Xor, RegionSet::Op::Diff};
        if (mode < RGN_AND || mode > RGN_DIFF) return ERROR;
        cur.CombineWith(r, kOps[mode - RGN_AND]);
        st.clip = std::move(cur);
    }
    dc.ClipChanged();
    return ClipType(dc);
}

RECT LogicalToDevice(const Dc& dc, int l, int t, int r, int b) {
    const int dx = dc.st.viewportOrg.x - dc.st.windowOrg.x;
    const int dy = dc.st.viewportOrg.y - dc.st.windowOrg.y;
    return RECT{l + dx, t + dy, r + dx, b + dy};
}

}  // namespace

int SelectClipRgn(HDC hdc, HRGN region) {
    return ExtSelectClipRgn(hdc, region, RGN_COPY);
}

int ExtSelectClipRgn(HDC hdc, HRGN region, int mode) {
    auto dc = GetDc(hdc);
    if (!dc) return ERROR;
    if (!region) {
        if (mode != RGN_COPY) return ERROR;
        dc->st.clip.reset();
        dc->ClipChanged();
        return ClipType(*dc);
    }
    auto r = Get<RegionObject>(region);
    if (!r) return ERROR;
    return CombineClip(*dc, r->set, mode);
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
    auto dc = GetDc(hdc);
    if (!dc) return ERROR;
    return CombineClip(*dc, RegionSet(LogicalToDevice(*dc, left, top, right, bottom)), RGN_AND);
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
    auto dc = GetDc(hdc);
    if (!dc) return ERROR;
    if (!dc->st.clip) dc->st.clip = RegionSet(dc->DeviceArea());
    return CombineClip(*dc, RegionSet(LogicalToDevice(*dc, left, top, right, bottom)), RGN_DIFF);
}

int OffsetClipRgn(HDC hdc, int dx, int dy) {
    auto dc = GetDc(hdc);
    if (!dc) return ERROR;
    if (dc->st.clip) dc->st.clip->Offset(dx, dy);
    dc->ClipChanged();
    return ClipType(*dc);
}

int GetClipBox(HDC hdc, RECT* rect) {
    auto dc = GetDc(hdc);
    if (!dc || !rect) return ERROR;
    const RegionSet& c = dc->Clip();
    *rect = c.bounds();
    if (!c.empty()) OffsetRect(rect, -dc->Dx(), -dc->Dy());
    return c.complexity();
}

int GetClipRgn(HDC hdc, HRGN region) {
    auto dc = GetDc(hdc);
    auto r = Get<RegionObject>(region);
    if (!dc || !r) return -1;
    if (!dc->st.clip) return 0;
    r->set = *dc->st.clip;
    return 1;
}

BOOL RectVisible(HDC hdc, const RECT* rect) {
    auto dc = GetDc(hdc);
    if (!dc || !rect) return FALSE;
    RECT r = *rect;
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    return dc->Clip().Intersects(dc->ToTarget(r));
}

BOOL PtVisible(HDC hdc, int x, int y) {
    auto dc = GetDc(hdc);
    return dc && dc->Clip().Contains(x + dc->Dx(), y + dc->Dy());
}

namespace {

template <class T>
T SetField(HDC hdc, T DcState::*field, T value, T fail) {
    auto dc = GetDc(hdc);
    if (!dc) return fail;
    T old = dc->st.*field;
    dc->st.*field = value;
    return old;
}

template <class T>
T GetField(HDC hdc, T DcState::*field, T fail) {
    auto dc = GetDc(hdc);
    return dc ? dc->st.*field : fail;
}

}  // namespace

COLORREF SetTextColor(HDC dc, COLORREF c) {
    return SetField(dc, &DcState::textColor, c & 0xFFFFFF, CLR_INVALID);
}
COLORREF GetTextColor(HDC dc) {
    return GetField(dc, &DcState::textColor, CLR_INVALID);
}
COLORREF SetBkColor(HDC dc, COLORREF c) {
    return SetField(dc, &DcState::bkColor, c & 0xFFFFFF, CLR_INVALID);
}
COLORREF GetBkColor(HDC dc) {
    return GetField(dc, &DcState::bkColor, CLR_INVALID);
}
int SetBkMode(HDC dc, int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) return 0;
    return SetField(dc, &DcState::bkMode, mode, 0);
}
int GetBkMode(HDC dc) {
    return GetField(dc, &DcState::bkMode, 0);
}
int SetROP2(HDC dc, int rop2) {
    if (rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
    return SetField(dc, &DcState::rop2, rop2, 0);
}
int GetROP2(HDC dc) {
    return GetField(dc, &DcState::rop2, 0);
}
int SetStretchBltMode(HDC dc, int mode) {
    if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
    return SetField(dc, &DcState::stretchMode, mode, 0);
}
int GetStretchBltMode(HDC dc) {
    return GetField(dc, &DcState::stretchMode, 0);
}
int SetPolyFillMode(HDC dc, int mode) {
    if (mode != ALTERNATE && mode != WINDING) return 0;
    return SetField(dc, &DcState::polyFillMode, mode, 0);
}
int GetPolyFillMode(HDC dc) {
    return GetField(dc, &DcState::polyFillMode, 0);
}
UINT SetTextAlign(HDC dc, UINT align) {
    return SetField(dc, &DcState::textAlign, align, UINT(0xFFFFFFFF));
}
UINT GetTextAlign(HDC dc) {
    return GetField(dc, &DcState::textAlign, UINT(0xFFFFFFFF));
}

int GetDeviceCaps(HDC hdc, int index) {
    auto dc = GetDc(hdc);
    if (!dc) return 0;
    switch (index) {
        case TECHNOLOGY:
            return DT_RASDISPLAY;
        case HORZRES:
        case DESKTOPHORZRES:
            return g_screen.cx;
        case VERTRES:
        case DESKTOPVERTRES:
            return g_screen.cy;
        case HORZSIZE:
            return MulDiv(g_screen.cx, 254, 960);
        case VERTSIZE:
            return MulDiv(g_screen.cy, 254, 960);
        case BITSPIXEL: {
            const Bitmap* t = dc->Target();
            return t && t->bpp == 1 && t->mono ? 1 : 32;
        }
        case PLANES:
            return 1;
        case NUMCOLORS:
            return -1;
        case RASTERCAPS:
            return RC_BITBLT | RC_STRETCHBLT | RC_DI_BITMAP;
        case LOGPIXELSX:
        case LOGPIXELSY:
            return 96;
        case SIZEPALETTE:
        case NUMRESERVED:
            return 0;
        case COLORRES:
            return 24;
        case SHADEBLENDCAPS:
            return SB_CONST_ALPHA | SB_PIXEL_ALPHA | SB_GRAD_RECT | SB_GRAD_TRI;
        default:
            return 0;
    }
}

}  // namespace win

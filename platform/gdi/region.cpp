// Region handles over RegionSet.
#include "platform/gdi/region.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/objects.h"

namespace win {

using namespace detail;

namespace {

RECT Ordered(int l, int t, int r, int b) {
    return RECT{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

HRGN Make(RegionSet set) {
    auto o = std::make_shared<RegionObject>();
    o->set = std::move(set);
    return Add<HRGN>(o);
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    return Make(RegionSet(Ordered(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(const RECT* r) {
    if (!r) return nullptr;
    return CreateRectRgn(r->left, r->top, r->right, r->bottom);
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
    auto r = Get<RegionObject>(region);
    if (!r) return FALSE;
    r->set = RegionSet(Ordered(left, top, right, bottom));
    return TRUE;
}

int CombineRgn(HRGN dst, HRGN src1, HRGN src2, int mode) {
    auto d = Get<RegionObject>(dst);
    auto a = Get<RegionObject>(src1);
    if (!d || !a || mode < RGN_AND || mode > RGN_COPY) return ERROR;
    if (mode == RGN_COPY) {
        if (d != a) d->set = a->set;
        return d->set.complexity();
    }
    auto b = Get<RegionObject>(src2);
    if (!b) return ERROR;
    static constexpr RegionSet::Op kOps[] = {RegionSet::Op::And, RegionSet::Op::Or,
                                             RegionSet::Op::Xor, RegionSet::Op::Diff};
    const RegionSet::Op op = kOps[mode - RGN_AND];
    if (d == a) {
        if (a == b) {
            const RegionSet copy = b->set;
            d->set.CombineWith(copy, op);
        } else {
            d->set.CombineWith(b->set, op);
        }
    } else {
        d->set = RegionSet::Combine(a->set, b->set, op);
    }
    return d->set.complexity();
}

int OffsetRgn(HRGN region, int dx, int dy) {
    auto r = Get<RegionObject>(region);
    if (!r) return ERROR;
    r->set.Offset(dx, dy);
    return r->set.complexity();
}

BOOL PtInRegion(HRGN region, int x, int y) {
    auto r = Get<RegionObject>(region);
    return r && r->set.Contains(x, y);
}

BOOL RectInRegion(HRGN region, const RECT* rect) {
    auto r = Get<RegionObject>(region);
    if (!r || !rect) return FALSE;
    return r->set.Intersects(Ordered(rect->left, rect->top, rect->right, rect->bottom));
}

int GetRgnBox(HRGN region, RECT* rect) {
    auto r = Get<RegionObject>(region);
    if (!r || !rect) return ERROR;
    *rect = r->set.bounds();
    return r->set.complexity();
}

BOOL EqualRgn(HRGN a, HRGN b) {
    auto ra = Get<RegionObject>(a);
    auto rb = Get<RegionObject>(b);
    if (!ra || !rb) return ERROR;
    return ra->set == rb->set;
}

DWORD GetRegionData(HRGN region, DWORD size, RGNDATA* data) {
    auto r = Get<RegionObject>(region);
    if (!r) return 0;
    const auto& rects = r->set.rects();
    const DWORD body = DWORD(rects.size() * sizeof(RECT));
    const DWORD need = DWORD(sizeof(RGNDATAHEADER)) + body;
    if (!data || size < need) return need;
    data->rdh = RGNDATAHEADER{};
    data->rdh.nCount = DWORD(rects.size());
    data->rdh.nRgnSize = body;
    data->rdh.rcBound = r->set.bounds();
    if (body) std::memcpy(data->Buffer, rects.data(), body);
    return need;
}

HRGN ExtCreateRegion(const void* transform, DWORD size, const RGNDATA* data) {
    if (transform || !data || size < sizeof(RGNDATAHEADER)) return nullptr;
    const RGNDATAHEADER& h = data->rdh;
    if (h.dwSize != sizeof(RGNDATAHEADER) || h.iType != RDH_RECTANGLES) return nullptr;
    // The count must fit inside what the caller says it handed over.
    if (h.nCount > (size - sizeof(RGNDATAHEADER)) / sizeof(RECT)) return nullptr;
    std::vector<RECT> rects(h.nCount);
    if (h.nCount) std::memcpy(rects.data(), data->Buffer, h.nCount * sizeof(RECT));
    for (RECT& r : rects)
        r = Ordered(r.left, r.top, r.right, r.bottom);
    return Make(RegionSet::FromRects(rects.data(), rects.size()));
}

}  // namespace win

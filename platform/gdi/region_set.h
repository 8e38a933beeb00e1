// A region as a list of rectangles in bands (internal to platform/gdi).
//
// Invariants: rectangles are sorted by top, then left; all rectangles of a band share top and
// bottom; bands do not overlap; rectangles of a band neither overlap nor touch; two touching
// bands never hold the same spans (they are merged). So two equal regions have equal lists,
// and every operation is a sweep over the bands of its operands.
#pragma once

#include <vector>

#include "platform/gdi/win_types.h"

namespace win::detail {

class RegionSet {
public:
    enum class Op { And, Or, Xor, Diff };

    RegionSet() = default;
    explicit RegionSet(const RECT& r);
    // Any rectangles, in any order, overlapping or not.
    static RegionSet FromRects(const RECT* rects, size_t count);

    const std::vector<RECT>& rects() const { return rects_; }
    const RECT& bounds() const { return bounds_; }
    bool empty() const { return rects_.empty(); }
    // NULLREGION (1), SIMPLEREGION (2) or COMPLEXREGION (3).
    int complexity() const { return rects_.empty() ? 1 : rects_.size() == 1 ? 2 : 3; }

    bool Contains(int x, int y) const;
    bool Intersects(const RECT& r) const;
    void Offset(int dx, int dy);

    static RegionSet Combine(const RegionSet& a, const RegionSet& b, Op op);
    // *this = *this op b; leaves the bands above b untouched, so building a region row by row
    // costs only the last band each time.
    void CombineWith(const RegionSet& b, Op op);
    void Intersect(const RECT& r);

    friend bool operator==(const RegionSet& a, const RegionSet& b) { return a.rects_ == b.rects_; }

private:
    void Sweep(const RECT* a, size_t na, const RECT* b, size_t nb, Op op);
    void EmitBand(int top, int bottom, const std::vector<int>& spans);
    void UpdateBounds();

    std::vector<RECT> rects_;
    RECT bounds_{};
    size_t lastBand_ = 0;  // start of the last band while sweeping
};

}  // namespace win::detail

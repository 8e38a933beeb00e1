#include "platform/gdi/region_set.h"

#include <algorithm>
#include <climits>

#include "platform/gdi/rect.h"

namespace win::detail {
namespace {

constexpr int kInf = INT_MAX;

size_t BandEnd(const RECT* r, size_t n, size_t i) {
    const int top = r[i].top;
    size_t j = i + 1;
    while (j < n && r[j].top == top)
        ++j;
    return j;
}

bool Apply(RegionSet::Op op, bool a, bool b) {
    switch (op) {
        case RegionSet::Op::And:
            return a && b;
        case RegionSet::Op::Or:
            return a || b;
        case RegionSet::Op::Xor:
            return a != b;
        case RegionSet::Op::Diff:
            return a && !b;
    }
    return false;
}

// Spans of one band combined with those of another: the flat list l0, r0, l1, r1, ...
void CombineSpans(const RECT* a, size_t na, const RECT* b, size_t nb, RegionSet::Op op,
                  std::vector<int>& out) {
    out.clear();
    size_t pa = 0, pb = 0;  // boundary indexes: even = a left edge, odd = a right edge
    const size_t ea = 2 * na, eb = 2 * nb;
    bool cur = false;
    int start = 0;
    while (pa < ea || pb < eb) {
        const int xa = pa < ea ? ((pa & 1) ? a[pa / 2].right : a[pa / 2].left) : kInf;
        const int xb = pb < eb ? ((pb & 1) ? b[pb / 2].right : b[pb / 2].left) : kInf;
        const int x = std::min(xa, xb);
        if (xa == x) ++pa;
        if (xb == x) ++pb;
        const bool in = Apply(op, pa & 1, pb & 1);
        if (in && !cur) {
            start = x;
            cur = true;
        } else if (!in && cur) {
            if (!out.empty() && out.back() == start) {
                out.back() = x;  // touching spans become one
            } else {
                out.push_back(start);
                out.push_back(x);
            }
            cur = false;
        }
    }
}

}  // namespace

RegionSet::RegionSet(const RECT& r) {
    if (!RectIsEmpty(r)) {
        rects_.push_back(r);
        bounds_ = r;
    }
}

RegionSet RegionSet::FromRects(const RECT* rects, size_t count) {
    std::vector<RECT> sorted;
    sorted.reserve(count);
    for (size_t i = 0; i < count; ++i)
        if (!RectIsEmpty(rects[i])) sorted.push_back(rects[i]);
    std::sort(sorted.begin(), sorted.end(), [](const RECT& a, const RECT& b) {
        return a.top != b.top ? a.top < b.top : a.left < b.left;
    });
    RegionSet out;
    for (const RECT& r : sorted)
        out.CombineWith(RegionSet(r), Op::Or);
    return out;
}

bool RegionSet::Contains(int x, int y) const {
    if (x < bounds_.left || x >= bounds_.right || y < bounds_.top || y >= bounds_.bottom)
        return false;
    auto it = std::partition_point(rects_.begin(), rects_.end(),
                                   [y](const RECT& r) { return r.bottom <= y; });
    for (; it != rects_.end() && it->top <= y; ++it)
        if (x >= it->left && x < it->right) return true;
    return false;
}

bool RegionSet::Intersects(const RECT& r) const {
    if (RectIsEmpty(Intersection(r, bounds_))) return false;
    auto it = std::partition_point(rects_.begin(), rects_.end(),
                                   [&r](const RECT& x) { return x.bottom <= r.top; });
    for (; it != rects_.end() && it->top < r.bottom; ++it)
        if (it->left < r.right && it->right > r.left) return true;
    return false;
}

void RegionSet::Offset(int dx, int dy) {
    for (RECT& r : rects_)
        OffsetRect(&r, dx, dy);
    if (!rects_.empty()) OffsetRect(&bounds_, dx, dy);
}

void RegionSet::EmitBand(int top, int bottom, const std::vector<int>& spans) {
    if (spans.empty() || top >= bottom) return;
    const size_t n = spans.size() / 2;
    // Merge with the band above when it touches and holds the same spans.
    if (lastBand_ < rects_.size() && rects_[lastBand_].bottom == top &&
        rects_.size() - lastBand_ == n) {
        bool same = true;
        for (size_t k = 0; k < n && same; ++k)
            same = rects_[lastBand_ + k].left == spans[2 * k] &&
                   rects_[lastBand_ + k].right == spans[2 * k + 1];
        if (same) {
            for (size_t k = lastBand_; k < rects_.size(); ++k)
                rects_[k].bottom = bottom;
            return;
        }
    }
    lastBand_ = rects_.size();
    for (size_t k = 0; k < n; ++k)
        rects_.push_back(RECT{spans[2 * k], top, spans[2 * k + 1], bottom});
}

void RegionSet::Sweep(const RECT* a, size_t na, const RECT* b, size_t nb, Op op) {
    std::vector<int> spans;
    size_t ia = 0, ib = 0;
    int y = INT_MIN;
    while (ia < na || ib < nb) {
        const size_t ja = ia < na ? BandEnd(a, na, ia) : ia;
        const size_t jb = ib < nb ? BandEnd(b, nb, ib) : ib;
        const int ta = ia < na ? a[ia].top : kInf, ba = ia < na ? a[ia].bottom : kInf;
        const int tb = ib < nb ? b[ib].top : kInf, bb = ib < nb ? b[ib].bottom : kInf;
        y = std::max(y, std::min(ta, tb));
        const bool aOn = ta <= y, bOn = tb <= y;
        const int next = std::min(aOn ? ba : ta, bOn ? bb : tb);
        if ((op == Op::And && !(aOn && bOn)) || (op == Op::Diff && !aOn)) {
            spans.clear();
        } else {
            CombineSpans(a + ia, aOn ? ja - ia : 0, b + ib, bOn ? jb - ib : 0, op, spans);
        }
        EmitBand(y, next, spans);
        y = next;
        if (aOn && ba == y) ia = ja;
        if (bOn && bb == y) ib = jb;
        if (op == Op::And && (ia >= na || ib >= nb)) break;
        if (op == Op::Diff && ia >= na) break;
    }
}

void RegionSet::UpdateBounds() {
    if (rects_.empty()) {
        bounds_ = RECT{};
        return;
    }
    bounds_ =
        RECT{rects_.front().left, rects_.front().top, rects_.front().right, rects_.back().bottom};
    for (const RECT& r : rects_) {
        bounds_.left = std::min(bounds_.left, r.left);
        bounds_.right = std::max(bounds_.right, r.right);
    }
}

RegionSet RegionSet::Combine(const RegionSet& a, const RegionSet& b, Op op) {
    RegionSet out = a;
    out.CombineWith(b, op);
    return out;
}

void RegionSet::CombineWith(const RegionSet& b, Op op) {
    if (op == Op::And && (empty() || b.empty())) {
        *this = RegionSet();
        return;
    }
    if (b.empty()) return;  // Or, Xor, Diff with nothing
    if (empty()) {
        if (op != Op::Diff) *this = b;
        return;
    }
    // Bands that end above b keep what they hold (Or, Xor, Diff) or vanish (And).
    auto it = std::partition_point(rects_.begin(), rects_.end(),
                                   [&](const RECT& r) { return r.bottom <= b.bounds_.top; });
    size_t keep = size_t(it - rects_.begin());
    std::vector<RECT> tail(rects_.begin() + keep, rects_.end());
    if (op == Op::And) keep = 0;
    rects_.resize(keep);
    lastBand_ = keep;
    if (keep > 0) {
        lastBand_ = keep - 1;
        while (lastBand_ > 0 && rects_[lastBand_ - 1].top == rects_[keep - 1].top)
            --lastBand_;
    }
    Sweep(tail.data(), tail.size(), b.rects_.data(), b.rects_.size(), op);
    UpdateBounds();
}

void RegionSet::Intersect(const RECT& r) {
    if (!empty() && r.left <= bounds_.left && r.top <= bounds_.top && r.right >= bounds_.right &&
        r.bottom >= bounds_.bottom)
        return;
    CombineWith(RegionSet(r), Op::And);
}

}  // namespace win::detail

// The arithmetic of the skinned scroll bars.
#include "skin/windows/scroll/scroll_bar_geometry.h"

#include <algorithm>

namespace skin {
namespace {

int64_t Range(const win::SCROLLINFO& si) {
    return int64_t(si.nMax) - int64_t(si.nMin) + 1;
}

// What the range leaves the thumb to travel over, in positions (never negative).
int64_t Span(const win::SCROLLINFO& si) {
    return std::max<int64_t>(0, Range(si) - std::max<int64_t>(1, si.nPage));
}

int ClampInt(int64_t v) {
    return int(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

int64_t SafeMulDiv(int64_t a, int64_t b, int64_t c) {
    if (c <= 0) return 0;
    __int128 p = __int128(a) * b;
    __int128 half = c / 2;
    __int128 q = p >= 0 ? (p + half) / c : -((-p + half) / c);
    if (q > INT64_MAX) return INT64_MAX;
    if (q < INT64_MIN) return INT64_MIN;
    return int64_t(q);
}

int ScrollBarThickness(int own, int metric) {
    if (own >= 0) return own;
    return ClampInt(-int64_t(own) * metric);
}

int ScrollArrowLength(int own, int defaultLength, int skinImage) {
    if (own >= 0) return own;
    int base = skinImage >= 0 ? std::max(defaultLength, skinImage) : defaultLength;
    return ClampInt(-int64_t(own) * base);
}

ThumbPlace CalcScrollThumbRect(int a, int b, int arrow, const win::SCROLLINFO& si, int minThumb) {
    ThumbPlace t;
    int64_t track = int64_t(b) - a - 2 * int64_t(arrow);
    int64_t range = Range(si);
    int64_t length = 0;
    if (si.nPage == 0)
        length = arrow;
    else if (range > 0)
        length = std::max<int64_t>(SafeMulDiv(si.nPage, track, range), minThumb);
    int64_t offset = 0;
    if (range > 0) {
        int64_t room = track - length;
        offset = SafeMulDiv(int64_t(si.nPos) - si.nMin, room, Span(si));
        offset = std::clamp<int64_t>(offset, 0, std::max<int64_t>(0, room));
    }
    t.start = ClampInt(int64_t(a) + arrow + offset);
    t.length = ClampInt(length);
    t.visible = length >= 1 && length <= track;
    return t;
}

int ScrollPosForThumb(int a, int b, int arrow, const win::SCROLLINFO& si, int start,
                      int minThumb) {
    ThumbPlace t = CalcScrollThumbRect(a, b, arrow, si, minThumb);
    int64_t trackStart = int64_t(a) + arrow;
    int64_t room = int64_t(b) - a - 2 * int64_t(arrow) - t.length;
    if (!t.visible || room <= 0) return si.nMin <= si.nMax ? std::clamp(si.nPos, si.nMin, si.nMax)
                                                           : si.nMin;
    int64_t offset = std::clamp<int64_t>(start - trackStart, 0, room);
    int64_t pos = si.nMin + SafeMulDiv(offset, Span(si), room);
    return ClampInt(std::clamp<int64_t>(pos, si.nMin, std::max(si.nMin, si.nMax)));
}

int DraggedThumbStart(int a, int b, int arrow, int length, int cursor, int grab) {
    int64_t trackStart = int64_t(a) + arrow, trackEnd = int64_t(b) - arrow;
    int64_t start = std::max<int64_t>(int64_t(cursor) - grab, trackStart);
    start = std::min<int64_t>(start, trackEnd - length);
    return ClampInt(std::max<int64_t>(start, trackStart));
}

int ScrollBarPartAt(int a, int b, int arrow, const win::SCROLLINFO& si, int x, int minThumb) {
    if (x < a || x >= b) return spNone;
    int64_t length = int64_t(b) - a;
    if (length <= 2 * int64_t(arrow)) return x < a + length / 2 ? spFirstArrow : spSecondArrow;
    if (x < int64_t(a) + arrow) return spFirstArrow;
    if (x >= int64_t(b) - arrow) return spSecondArrow;
    ThumbPlace t = CalcScrollThumbRect(a, b, arrow, si, minThumb);
    if (!t.visible || t.length >= length - 2 * int64_t(arrow)) return spNone;
    if (x >= t.start && x < int64_t(t.start) + t.length) return spThumb;
    if (x < t.start) return spPageBefore;
    return spPageAfter;
}

ScrollBarRects ScrollBarRectsOf(const win::RECT& w, const NonClientBorders& br, int hThick,
                                bool hShown, int vThick, bool vShown, bool left) {
    ScrollBarRects r;
    int h = hShown ? hThick : 0, v = vShown ? vThick : 0;
    r.horz.left = w.left + br.left + (left ? v : 0);
    r.horz.right = w.right - br.right - (left ? 0 : v);
    r.horz.bottom = w.bottom - br.bottom;
    r.horz.top = r.horz.bottom - h;
    r.vert.top = w.top + br.top;
    r.vert.bottom = w.bottom - h - br.bottom;
    if (left) {
        r.vert.left = w.left + br.left;
        r.vert.right = r.vert.left + v;
    } else {
        r.vert.right = w.right - br.right;
        r.vert.left = r.vert.right - v;
    }
    r.sizeBox.bottom = w.bottom - br.bottom;
    r.sizeBox.top = r.sizeBox.bottom - hThick;
    if (left) {
        r.sizeBox.left = w.left + br.left;
        r.sizeBox.right = r.sizeBox.left + vThick;
    } else {
        r.sizeBox.right = w.right - br.right;
        r.sizeBox.left = r.sizeBox.right - vThick;
    }
    return r;
}

bool SizeGripShown(const ScrollBarRects& r, const NonClientBorders& br, bool left,
                   bool parentTopLevel, const win::RECT& pc) {
    if (!parentTopLevel) return false;
    bool bottom = r.sizeBox.bottom + br.bottom == pc.bottom;
    if (left) return bottom && r.sizeBox.left - br.left == pc.left;
    return bottom && r.sizeBox.right + br.right == pc.right;
}

}  // namespace skin

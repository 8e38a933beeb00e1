// The arithmetic of the skinned scroll bars, as pure functions: part sizes, where the bars and
// the size box lie, where the thumb lies and what position it stands for, and which part a
// point falls on.
//
// One thumb model serves painting, hit testing and dragging alike. Along a bar from a to b with
// arrows of length `arrow`: the track is (b - a) - 2 * arrow long; the range is
// nMax - nMin + 1; the thumb is `arrow` long when nPage is 0, else nPage / range of the track
// but at least the minimum; it starts (nPos - nMin) / (range - max(1, nPage)) of the way along
// what the track leaves it. A drag maps back through the same fractions, so a thumb dragged to
// any pixel and placed again from the position it sent stands for that same position.
//
// Rules:
//  1. A zero or negative divisor gives 0; every product is taken in 128 bits.
//  2. A thumb longer than the track, or of no length, is neither drawn nor hit.
//  3. On a bar no longer than two arrows, each arrow takes half: the second [a + L/2, b).
//  4. A position made from a thumb lies within nMin .. nMax whatever the scroll info holds.
#pragma once

#include <cstdint>

#include "platform/user/user.h"

namespace skin {

// Part codes, numbered as the scroll codes they send.
enum ScrollPart : int {
    spNone = -1,
    spFirstArrow = 0,
    spSecondArrow = 1,
    spPageBefore = 2,
    spPageAfter = 3,
    spThumb = 5,
};

inline constexpr int kDefaultMinThumb = 10;

// a * b / c rounded half away from zero; 0 when c <= 0.
int64_t SafeMulDiv(int64_t a, int64_t b, int64_t c);

// A bar's thickness: `own` when >= 0, else -own times the system metric.
int ScrollBarThickness(int own, int metric);
// A bar's arrow length: `own` when >= 0; else -own times `defaultLength`, or times
// max(defaultLength, skinImage) when `skinImage` >= 0 (the skin asks for its image size).
int ScrollArrowLength(int own, int defaultLength, int skinImage = -1);

// The thumb along a bar: its start (absolute, like a and b) and length; `visible` false when
// rule 2 hides it.
struct ThumbPlace {
    int start = 0;
    int length = 0;
    bool visible = false;
};
ThumbPlace CalcScrollThumbRect(int a, int b, int arrow, const win::SCROLLINFO& si,
                               int minThumb = kDefaultMinThumb);
// The position a thumb starting at `start` stands for (start clamped to the track).
int ScrollPosForThumb(int a, int b, int arrow, const win::SCROLLINFO& si, int start,
                      int minThumb = kDefaultMinThumb);
// The thumb start a drag with the cursor at `cursor` and `grab` pixels into the thumb gives:
// pinned to the track.
int DraggedThumbStart(int a, int b, int arrow, int length, int cursor, int grab);
// The part at `x` along a bar [a, b); spNone outside it.
int ScrollBarPartAt(int a, int b, int arrow, const win::SCROLLINFO& si, int x,
                    int minThumb = kDefaultMinThumb);

// Where a window's bars and size box lie (screen coordinates) from its window rectangle, the
// non-client borders outside the bars, and the bars' thicknesses and shown flags.
struct ScrollBarRects {
    win::RECT horz{}, vert{}, sizeBox{};
};
struct NonClientBorders {
    int left = 0, top = 0, right = 0, bottom = 0;
};
ScrollBarRects ScrollBarRectsOf(const win::RECT& window, const NonClientBorders& border,
                                int horzThickness, bool horzShown, int vertThickness,
                                bool vertShown, bool leftScrollBar);
// Whether the size box shows the grip: the parent is top-level and the box touches the corner
// of the parent's client area (`parentClient`, screen coordinates).
bool SizeGripShown(const ScrollBarRects& rects, const NonClientBorders& border, bool leftScrollBar,
                   bool parentTopLevel, const win::RECT& parentClient);

}  // namespace skin

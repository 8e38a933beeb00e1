// The geometry the mask painters share: a mask record read into safe numbers, the shrinking of
// borders wider than the target, the nine pieces of a state frame and the tiling of a piece over
// a span.
//
// Rules:
//  1. A readable mask has a skin, a 24- or 32-bit picture, at least one frame and a rectangle
//     cut to its picture; MaskType below 0 reads as 0 and negative border widths as 0.
//  2. Tiling lays whole copies from the start while the end lies beyond them, then one copy cut
//     to what remains; a piece of no size covers nothing. Only copies that reach into the
//     visible window are made, so the work is bounded by the bitmap, not by the rectangle.
#pragma once

#include <array>
#include <cstdint>

#include "skin/core/data/skin_data.h"
#include "skin/core/pixels/pixels.h"

namespace vcl {
class TBitmap;
}

namespace skin {

// Target rectangles larger than this a side are refused: no control is that large, and the
// stretches would allocate by the rectangle's size.
inline constexpr int64_t kMaxMaskTargetSide = int64_t(1) << 20;

// Rectangles and points the piece copiers take must lie within this distance of the origin;
// farther ones paint nothing, so that no size or offset worked out from them overflows.
inline constexpr int kMaxMaskCoord = 1 << 28;
inline bool InReach(int v) {
    return v >= -kMaxMaskCoord && v <= kMaxMaskCoord;
}
inline bool InReach(const TPoint& p) {
    return InReach(p.X) && InReach(p.Y);
}
inline bool InReach(const TRect& r) {
    return InReach(r.Left) && InReach(r.Top) && InReach(r.Right) && InReach(r.Bottom);
}

// A 24- or 32-bit pixel of the key colour (alpha not compared).
inline bool IsKeyPixel(const uint8_t* p) {
    return p[0] == BlueOf(kTransparentKey) && p[1] == GreenOf(kTransparentKey) &&
           p[2] == RedOf(kTransparentKey);
}

struct MaskFrame {
    vcl::TBitmap* Picture = nullptr;  // the mask's own picture, else the skin's master bitmap
    PixelView Src;
    TRect R;        // the mask rectangle, cut to the picture
    int Count = 0;  // frames side by side, at least 1
    int Type = 0;   // 0 plain, 1 (or more) masked
    int FW = 0, FH = 0;
    int MaskRows = 0;  // from a picture row to its mask row: the rectangle's height div 2
    int WL = 0, WT = 0, WR = 0, WB = 0;

    // Left column of the frame of a state; states beyond the frames take the last one.
    int FrameLeft(int state) const;
};

// False when the mask cannot paint. With `wholePicture`, a mask of fewer than one frame that has
// its own picture reads as one frame covering that picture.
bool ReadMaskFrame(const TsMaskData& m, MaskFrame& f, bool wholePicture = false);

// Two borders wider together than `size` lose the excess evenly, the second one the odd pixel
// more, and never go below 0.
void ShrinkBorders(int64_t size, int& first, int& second);

// The pieces in painting order; destination and source rectangles are exclusive.
enum MaskPiece : int {
    kPieceTopLeft,
    kPieceLeft,
    kPieceTop,
    kPieceBottomLeft,
    kPieceBottom,
    kPieceBottomRight,
    kPieceTopRight,
    kPieceRight,
    kPieceCentre,
};
struct PieceRects {
    TRect Dst, Src;
};
// The nine pieces of a frame at source column `sx` painted into `t` with the given (shrunk)
// border widths.
std::array<PieceRects, 9> NinePieces(const TRect& t, const MaskFrame& f, int sx, int wl, int wt,
                                     int wr, int wb);

// Covers [from, to) with copies `size` long, calling copy(position, length) for those that reach
// into [lo, hi).
template <typename Copy>
void TileSpan(int64_t from, int64_t to, int64_t size, int64_t lo, int64_t hi, Copy&& copy) {
    if (size < 1 || from >= to) return;
    // Whole copies stand at from + k * size while that lies before to - size.
    const int64_t whole = to - size > from ? (to - size - from + size - 1) / size : 0;
    int64_t k = lo > from ? std::min((lo - from) / size, whole) : 0;
    for (; k < whole; ++k) {
        const int64_t pos = from + k * size;
        if (pos >= hi) return;
        copy(pos, size);
    }
    const int64_t pos = from + whole * size;
    if (pos < to && pos < hi) copy(pos, to - pos);
}

// Tiles a piece `pw` x `ph` over the rectangle `d`, row by row, for the copies that reach into
// the bitmap (`width` x `height`); copy(x, y, w, h) places the piece's top-left w x h pixels.
template <typename Copy>
void TileRect(const TRect& d, int pw, int ph, int width, int height, Copy&& copy) {
    if (pw < 1 || ph < 1) return;
    TileSpan(d.Top, d.Bottom, ph, 0, height, [&](int64_t y, int64_t h) {
        TileSpan(d.Left, d.Right, pw, 0, width,
                 [&](int64_t x, int64_t w) { copy(int(x), int(y), int(w), int(h)); });
    });
}

}  // namespace skin

// Synthetic masks whose source pixels name their own position, and the per-axis layout that
// says which source pixel every target pixel of a painted mask must show.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "skin/core/data/skin_content.h"
#include "skin/core/pixels/bitmaps.h"
#include "tests/skin/core/skin_reading.h"
#include "tests/skin/core/test_image.h"
#include "vcl/graphics/bitmap.h"

namespace skin_test {

using namespace skin;  // NOLINT: the fixtures speak the painters' language

using BitmapOwner = std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter>;

inline const TColor kUnder = RGB(1, 2, 3);  // what the targets hold before painting

// Source pixel colours name their own position: red the column, green the row. Masked
// pictures hold a mask below the picture whose value varies from pixel to pixel.
inline TColor PictureColor(int x, int y) {
    return RGB(x, y, 7);
}
inline TColor MaskColor(int x, int y) {
    const uint32_t m = uint32_t(x * 37 + y * 11) % 256;
    return RGB(m, 255 - m, m / 2);
}

// A skin of one mask cut from its master bitmap: `frames` frames of fw x fh.
struct SyntheticMask {
    SyntheticMask(int frames, int fw, int fh, int type, int wl, int wt, int wr, int wb) {
        const int h = fh * (type + 1);
        skin.MasterBitmap.reset(NewBitmap24(frames * fw, h));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < frames * fw; ++x)
                Set(x, y, y < fh ? PictureColor(x, y) : MaskColor(x, y));
        }
        mask.Manager = &skin;
        mask.R = {0, 0, frames * fw, h};
        mask.ImageCount = int16_t(frames);
        mask.MaskType = int16_t(type);
        mask.WL = int16_t(wl), mask.WT = int16_t(wt), mask.WR = int16_t(wr), mask.WB = int16_t(wb);
    }
    void Set(int x, int y, TColor c) {
        uint8_t* p = ViewOf(skin.MasterBitmap.get()).At(x, y);
        p[0] = BlueOf(c), p[1] = GreenOf(c), p[2] = RedOf(c);
    }
    TsSkinContent skin;
    TsMaskData mask;
};

inline BitmapOwner Target(int w, int h, bool alpha = false) {
    BitmapOwner b(alpha ? NewBitmap32(w, h) : NewBitmap24(w, h));
    const PixelView v = ViewOf(b.get());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = v.At(x, y);
            p[0] = BlueOf(kUnder), p[1] = GreenOf(kUnder), p[2] = RedOf(kUnder);
            if (alpha) p[3] = 0;
        }
    }
    return b;
}

// The nine-piece layout, worked out per axis: a column lies in the left border, the right
// border or the tiled middle (both borders where they overlap), a row likewise; a piece covers
// the pixels of its column zone and row zone, and the pieces are laid in their order.
struct Layout {
    TRect T;
    int sx, sy, FW, FH, wl, wt, wr, wb;
    bool centre;
    enum Zone { kNear, kMid, kFar };
    struct Cover {
        TPoint at;
        bool corner;
    };

    // The source pixels laid on target pixel (x, y), first to last.
    std::vector<Cover> Covers(int x, int y) const {
        std::vector<Cover> out;
        if (!T.Contains(TPoint(x, y))) return out;
        const int cw = std::max(FW - wl - wr, 0), ch = std::max(FH - wt - wb, 0);
        auto in = [](Zone z, int v, int lo, int hi, int nearEnd, int farStart) {
            return z == kNear  ? v < nearEnd && v >= lo
                   : z == kFar ? v >= farStart && v < hi
                               : v >= nearEnd && v < farStart;
        };
        const std::pair<Zone, Zone> order[] = {{kNear, kNear}, {kNear, kMid}, {kMid, kNear},
                                               {kNear, kFar},  {kMid, kFar},  {kFar, kFar},
                                               {kFar, kNear},  {kFar, kMid},  {kMid, kMid}};
        for (auto [ax, ay] : order) {
            if (ax == kMid && ay == kMid && !centre) continue;
            if ((ax == kMid && cw == 0) || (ay == kMid && ch == 0)) continue;
            if (!in(ax, x, T.Left, T.Right, T.Left + wl, T.Right - wr)) continue;
            if (!in(ay, y, T.Top, T.Bottom, T.Top + wt, T.Bottom - wb)) continue;
            const int px = ax == kNear  ? sx + (x - T.Left)
                           : ax == kFar ? sx + wl + cw + (x - (T.Right - wr))
                                        : sx + wl + (x - T.Left - wl) % cw;
            const int py = ay == kNear  ? sy + (y - T.Top)
                           : ay == kFar ? sy + FH - wb + (y - (T.Bottom - wb))
                                        : sy + wt + (y - T.Top - wt) % ch;
            out.push_back({TPoint(px, py), ax != kMid && ay != kMid});
        }
        return out;
    }
};

// What the mask painter must leave in every pixel of the target, from the source picture, the
// layout and what the target held: plain pieces are copied (corners keep the target, or show
// the cache, under the key colour), masked ones are mixed by their mask half and skip the key.
inline void ExpectPainted(vcl::TBitmap* target, const TestImage& before, const PixelView& src,
                          const Layout& l, int type, int maskRows, const CacheInfo& cache,
                          bool corner, const std::string& what) {
    const PixelView dst = ViewOf(target);
    int wrong = 0;
    for (int y = 0; y < dst.Height && wrong < 5; ++y) {
        for (int x = 0; x < dst.Width && wrong < 5; ++x) {
            uint32_t want = before.get(x, y) & 0xFFFFFF;
            for (const auto& [at, isCorner] : l.Covers(x, y)) {
                const uint8_t* p = src.At(at.X, at.Y);
                const bool key = RGB(p[2], p[1], p[0]) == kTransparentKey;
                if (key && isCorner) {
                    if (corner && cache.Ready && cache.Bmp) {
                        const uint8_t* b = cache.Bmp->At(x + cache.X, y + cache.Y);
                        want = RGB(b[2], b[1], b[0]);
                    } else if (!cache.Ready && cache.FillColor != kTransparentKey) {
                        want = cache.FillColor;
                    }
                } else if (type == 0) {
                    want = RGB(p[2], p[1], p[0]);
                } else if (!key) {
                    const uint8_t* m = src.At(at.X, at.Y + maskRows);
                    const uint8_t d[3] = {BlueOf(want), GreenOf(want), RedOf(want)};
                    uint8_t o[3];
                    for (int c = 0; c < 3; ++c)
                        o[c] = uint8_t(((d[c] - p[c]) * m[c] + p[c] * 256) >> 8);
                    want = RGB(o[2], o[1], o[0]);
                }
            }
            const uint32_t got = PixelOf(target, x, y) & 0xFFFFFF;
            if (got != want) {
                ++wrong;
                ADD_FAILURE() << what << ": pixel " << x << "," << y << " is " << std::hex << got
                              << ", not " << want;
            }
        }
    }
}

inline TestImage Snapshot(vcl::TBitmap* b) {
    const PixelView v = ViewOf(b);
    TestImage copy(v.Width, v.Height, v.BytesPerPixel);
    for (int y = 0; y < v.Height; ++y) {
        for (int x = 0; x < v.Width; ++x)
            copy.set(x, y, PixelOf(b, x, y));
    }
    return copy;
}

}  // namespace skin_test

// BitBlt, StretchBlt and TransparentBlt.
#include "platform/gdi/blit.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/blit_impl.h"
#include "platform/gdi/halftone.h"
#include "platform/gdi/rect.h"
#include "platform/gdi/rop.h"

namespace win {

using namespace detail;

namespace {

bool fastPaths = true;

// Nearest source index for each of n destination indexes over a source run of m from
// `first`, sampling at pixel centres; -1 where the source index falls outside [0, limit).
std::vector<int> NearestMap(int n, int first, int m, bool mirror, int limit) {
    std::vector<int> map(static_cast<size_t>(n));
    if (m == n && !mirror && fastPaths) {
        // Unstretched: every index maps to its own, (2k + 1) * n / 2n = k.
        for (int i = 0; i < n; ++i)
            map[size_t(i)] = first + i >= 0 && first + i < limit ? first + i : -1;
        return map;
    }
    for (int i = 0; i < n; ++i) {
        const int k = mirror ? n - 1 - i : i;
        const int s = first + int((int64_t(2 * k + 1) * m) / (int64_t(2) * n));
        map[size_t(i)] = s >= 0 && s < limit ? s : -1;
    }
    return map;
}

// The map is monotonic, so the entries with a source form one run.
void TrimToMap(const std::vector<int>& map, LONG base, LONG& lo, LONG& hi) {
    while (lo < hi && map[size_t(lo - base)] < 0)
        ++lo;
    while (hi > lo && map[size_t(hi - 1 - base)] < 0)
        --hi;
}

std::shared_ptr<Bitmap> Hold(const Dc& src, const Bitmap* target) {
    const Bitmap* b = src.Target();
    // Copy a bitmap that is also the target, so overlapping transfers read the old pixels.
    if (b == target) return CloneBitmap(*b);
    // The source DC owns what is selected into it, whether or not its handle still lives.
    return src.surfaceDc ? src.surface : src.st.bitmap;
}

}  // namespace

bool detail::FastPaths() {
    return fastPaths;
}

void detail::SetFastPaths(bool on) {
    fastPaths = on;
}

bool detail::PrepareTransfer(Transfer& t, Dc* dst, int x, int y, int w, int h, Dc* src, int sx,
                             int sy, int sw, int sh) {
    if (!dst || !dst->Target() || dst->Target()->stock) return false;
    if (w == 0 || h == 0 || sw == 0 || sh == 0) return false;
    t.dst = dst;
    t.target = dst->Target();
    if (src) {
        if (!src->Target()) return false;
        t.srcDc = src;
        t.source = Hold(*src, t.target);
        if (!t.source) return false;
        sx += src->Dx();
        sy += src->Dy();
    }
    t.mirrorX = (w < 0) != (sw < 0);
    t.mirrorY = (h < 0) != (sh < 0);
    auto normalise = [](int& pos, int& size) {
        if (size < 0) {
            pos += size;
            size = -size;
        }
    };
    normalise(x, w);
    normalise(y, h);
    normalise(sx, sw);
    normalise(sy, sh);
    t.full = dst->ToTarget(RECT{x, y, x + w, y + h});
    t.dstRect = t.full;
    t.srcLeft = sx;
    t.srcTop = sy;
    t.srcWidth = sw;
    t.srcHeight = sh;
    if (t.source) {
        t.xmap = NearestMap(w, sx, sw, t.mirrorX, t.source->width);
        t.ymap = NearestMap(h, sy, sh, t.mirrorY, t.source->height);
        TrimToMap(t.xmap, t.full.left, t.dstRect.left, t.dstRect.right);
        TrimToMap(t.ymap, t.full.top, t.dstRect.top, t.dstRect.bottom);
    }
    return !RectIsEmpty(t.dstRect);
}

void detail::MapMono(const Transfer& t, Pixel* row, int n) {
    if (!t.source || t.source->mono == t.target->mono) return;
    if (t.source->mono) {
        const Pixel fg = ColorToPixel(t.dst->st.textColor), bg = ColorToPixel(t.dst->st.bkColor);
        for (int i = 0; i < n; ++i)
            row[i] = (row[i] & 0xFFFFFF) ? bg : fg;
    } else {
        const Pixel key = ColorToPixel(t.srcDc->st.bkColor);
        for (int i = 0; i < n; ++i)
            row[i] = (row[i] & 0xFFFFFF) == key ? 0xFFFFFF : 0;
    }
}

void detail::SampleRow(const Transfer& t, int y, int x0, int x1, Pixel* out) {
    const Bitmap& s = *t.source;
    const int sy = t.SourceRow(y);
    const int* xm = t.SourceColumns(x0);
    const int n = x1 - x0;
    if (xm[n - 1] - xm[0] == n - 1) {
        ReadPixels(s, xm[0], sy, n, out);
    } else if (s.bpp == 32) {
        const Pixel* row = s.Row32(sy);
        for (int i = 0; i < n; ++i)
            out[i] = row[xm[i]];
    } else {
        for (int i = 0; i < n; ++i)
            out[i] = ReadPixel(s, xm[i], sy);
    }
    MapMono(t, out, n);
}

namespace {

// Writes a row of source pixels through the operation.
void PutRow(Bitmap& b, int x, int y, int n, const Pixel* src, BYTE code, Pixel pattern,
            std::vector<Pixel>& work) {
    if (code == 0xCC) {
        WritePixels(b, x, y, n, src);
        return;
    }
    work.resize(size_t(n));
    if (RopReadsDest(code)) ReadPixels(b, x, y, n, work.data());
    RopFor(code)(work.data(), src, pattern, n, code);
    WritePixels(b, x, y, n, work.data());
}

BOOL NearestTransfer(const Transfer& t, BYTE code) {
    const auto& brush = *t.dst->st.brush;
    if (RopReadsPattern(code) && brush.Null()) return TRUE;
    const Pixel pattern = ColorToPixel(brush.color);
    // Rows of one direct format copy as bytes.
    const bool bytes = code == 0xCC && t.source->bpp == t.target->bpp && t.target->bpp >= 24 &&
                       !t.source->mono && !t.target->mono;
    const size_t bpp = size_t(t.target->bpp / 8);
    // A plain copy into 32 bits from a direct format: the pixels read are the pixels written.
    const bool direct = code == 0xCC && t.target->bpp == 32 && t.source->bpp >= 24 &&
                        !t.source->mono && !t.target->mono;
    std::vector<Pixel> row, work;
    ForClipped(*t.dst, t.dstRect, [&](const RECT& r) {
        const int n = r.right - r.left;
        row.resize(size_t(n));
        const int* xm = t.SourceColumns(r.left);
        const bool contiguous = xm[n - 1] - xm[0] == n - 1;
        // Whole rows of two top-down bitmaps of one layout: one copy for the block.
        const int rows = r.bottom - r.top;
        if (bytes && contiguous && r.left == 0 && xm[0] == 0 && n == t.target->width &&
            n == t.source->width && t.source->rowBytes == t.target->rowBytes &&
            !t.source->bottomUp && !t.target->bottomUp &&
            t.SourceRow(r.bottom - 1) - t.SourceRow(r.top) == rows - 1) {
            std::memcpy(t.target->Row(r.top), t.source->Row(t.SourceRow(r.top)),
                        size_t(t.target->rowBytes) * size_t(rows));
            return;
        }
        for (int y = r.top; y < r.bottom; ++y) {
            if (bytes && contiguous) {
                std::memcpy(t.target->Row(y) + size_t(r.left) * bpp,
                            t.source->Row(t.SourceRow(y)) + size_t(xm[0]) * bpp, size_t(n) * bpp);
                continue;
            }
            if (direct && contiguous) {
                // Skin caches of 24 bits go to 32-bit surfaces on every paint: read them
                // straight into the target row, without the round through the row buffer.
                ReadPixels(*t.source, xm[0], t.SourceRow(y), n, t.target->Row32(y) + r.left);
                continue;
            }
            SampleRow(t, y, r.left, r.right, row.data());
            PutRow(*t.target, r.left, y, n, row.data(), code, pattern, work);
        }
    });
    return TRUE;
}

BOOL HalftoneTransfer(const Transfer& t, BYTE code) {
    const auto& brush = *t.dst->st.brush;
    if (RopReadsPattern(code) && brush.Null()) return TRUE;
    const std::vector<Pixel> picture = Halftone(t);
    const int cols = t.dstRect.right - t.dstRect.left;
    std::vector<Pixel> work;
    ForClipped(*t.dst, t.dstRect, [&](const RECT& r) {
        for (int y = r.top; y < r.bottom; ++y) {
            const Pixel* src = &picture[size_t(y - t.dstRect.top) * size_t(cols) +
                                        size_t(r.left - t.dstRect.left)];
            PutRow(*t.target, r.left, y, r.right - r.left, src, code, ColorToPixel(brush.color),
                   work);
        }
    });
    return TRUE;
}

}  // namespace

std::shared_ptr<Bitmap> detail::StretchCopy(const std::shared_ptr<Bitmap>& src, int w, int h,
                                            bool average) {
    auto out = MakeBitmap(w, h, src->bpp);
    if (!out) return nullptr;
    out->colors = src->colors;
    out->mono = src->mono;
    out->dib = true;
    Transfer t;
    t.target = out.get();
    t.source = src;
    t.full = t.dstRect = RECT{0, 0, w, h};
    t.srcWidth = src->width;
    t.srcHeight = src->height;
    if (average) {
        const std::vector<Pixel> picture = Halftone(t);
        for (int y = 0; y < h; ++y)
            WritePixels(*out, 0, y, w, &picture[size_t(y) * size_t(w)]);
        return out;
    }
    t.xmap = NearestMap(w, 0, src->width, false, src->width);
    t.ymap = NearestMap(h, 0, src->height, false, src->height);
    std::vector<Pixel> row(static_cast<size_t>(w));
    for (int y = 0; y < h; ++y) {
        SampleRow(t, y, 0, w, row.data());
        WritePixels(*out, 0, y, w, row.data());
    }
    return out;
}

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
    const BYTE code = BYTE(rop >> 16);
    if (!RopReadsSource(code)) return PatBlt(dst, x, y, width, height, rop);
    auto d = GetDc(dst), s = GetDc(src);
    if (!d || !s) return FALSE;
    if (width <= 0 || height <= 0) return TRUE;
    Transfer t;
    if (!PrepareTransfer(t, d.get(), x, y, width, height, s.get(), srcX, srcY, width, height))
        return TRUE;
    return NearestTransfer(t, code);
}

BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                int srcWidth, int srcHeight, DWORD rop) {
    const BYTE code = BYTE(rop >> 16);
    if (!RopReadsSource(code)) return PatBlt(dst, x, y, width, height, rop);
    auto d = GetDc(dst), s = GetDc(src);
    if (!d || !s) return FALSE;
    Transfer t;
    if (!PrepareTransfer(t, d.get(), x, y, width, height, s.get(), srcX, srcY, srcWidth, srcHeight))
        return TRUE;
    const bool same =
        t.srcWidth == t.full.right - t.full.left && t.srcHeight == t.full.bottom - t.full.top;
    if (d->st.stretchMode == HALFTONE && !same) return HalftoneTransfer(t, code);
    return NearestTransfer(t, code);
}

BOOL TransparentBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                    int srcWidth, int srcHeight, UINT transparent) {
    auto d = GetDc(dst), s = GetDc(src);
    if (!d || !s) return FALSE;
    if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0) return FALSE;
    Transfer t;
    if (!PrepareTransfer(t, d.get(), x, y, width, height, s.get(), srcX, srcY, srcWidth, srcHeight))
        return TRUE;
    const Pixel key = ColorToPixel(transparent & 0xFFFFFF);
    std::vector<Pixel> row;
    ForClipped(*t.dst, t.dstRect, [&](const RECT& r) {
        const int n = r.right - r.left;
        row.resize(size_t(n));
        for (int y = r.top; y < r.bottom; ++y) {
            SampleRow(t, y, r.left, r.right, row.data());
            // Runs of opaque pixels are written in one go.
            int i = 0;
            while (i < n) {
                while (i < n && (row[size_t(i)] & 0xFFFFFF) == key)
                    ++i;
                int j = i;
                while (j < n && (row[size_t(j)] & 0xFFFFFF) != key)
                    ++j;
                if (j > i) WritePixels(*t.target, r.left + i, y, j - i, &row[size_t(i)]);
                i = j;
            }
        }
    });
    return TRUE;
}

}  // namespace win

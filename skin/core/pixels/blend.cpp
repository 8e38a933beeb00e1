#include "skin/core/pixels/blend.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "skin/core/pixels/blend_rows.h"
#include "skin/core/pixels/fast_pixels.h"

namespace skin {
namespace {

inline bool IsKey(const uint8_t* p, TColor key) {
    return p[0] == BlueOf(key) && p[1] == GreenOf(key) && p[2] == RedOf(key);
}
// A whole 32-bit pixel as 0xAABBGGRR, compared with a colour including its top byte.
inline uint32_t Pixel32(const uint8_t* p) {
    return RGB(p[2], p[1], p[0]) | uint32_t(p[3]) << 24;
}
inline uint8_t RoundByte(double v) {
    return static_cast<uint8_t>(int(std::nearbyint(v)));
}
inline uint8_t AlphaMix(uint32_t s, uint32_t d, uint32_t a) {
    return static_cast<uint8_t>((s * a + d * (256 - a)) >> 8);  // ((S - D) * A + D * 256) >> 8
}
bool Is24Or32(const PixelView& v) {
    return v.Base != nullptr && (v.BytesPerPixel == 3 || v.BytesPerPixel == 4);
}
// An inclusive rectangle cut to the bitmap and made exclusive.
TRect InclusiveToExclusive(TRect r, const PixelView& v) {
    return {r.Left, r.Top, std::min(r.Right, v.Width - 1) + 1,
            std::min(r.Bottom, v.Height - 1) + 1};
}
// The background pixel under target pixel (x, y) of a cache, or null.
const uint8_t* BackgroundAt(const CacheInfo& cache, int x, int y) {
    if (!cache.Ready || cache.Bmp == nullptr || !Is24Or32(*cache.Bmp)) return nullptr;
    x += cache.X, y += cache.Y;
    return cache.Bmp->Contains(x, y) ? cache.Bmp->At(x, y) : nullptr;
}

}  // namespace

void GrayscaleBitmap(const PixelView& bmp) {
    if (!Is24Or32(bmp)) return;
    for (int y = 0; y < bmp.Height; ++y) {
        uint8_t* p = bmp.Row(y);
        for (int x = 0; x < bmp.Width; ++x, p += bmp.BytesPerPixel) {
            p[0] = p[1] = p[2] = static_cast<uint8_t>((p[0] + p[1] + p[2]) / 3);
        }
    }
}

void GrayscaleBitmapTransparent(const PixelView& bmp, TColor color) {
    if (!Is24Or32(bmp)) return;
    for (int y = 0; y < bmp.Height; ++y) {
        uint8_t* p = bmp.Row(y);
        for (int x = 0; x < bmp.Width; ++x, p += bmp.BytesPerPixel) {
            if (!IsKey(p, color))
                p[0] = p[1] = p[2] = static_cast<uint8_t>((p[0] + p[1] + p[2]) / 3);
        }
    }
}

void TransferByteChannel(const PixelView& bmp32, const PixelView& plane8, int channel,
                         bool toPlane) {
    if (bmp32.Base == nullptr || plane8.Base == nullptr || bmp32.BytesPerPixel != 4 ||
        channel < 0 || channel > 3 || bmp32.Width != plane8.Width ||
        bmp32.Height != plane8.Height) {
        return;
    }
    for (int y = 0; y < bmp32.Height; ++y) {
        uint8_t* p = bmp32.Row(y) + channel;
        uint8_t* q = plane8.Row(y);
        for (int x = 0; x < bmp32.Width; ++x, p += 4, ++q) {
            if (toPlane)
                *q = *p;
            else
                *p = *q;
        }
    }
}

TColor AverageColors(TColor a, TColor b) {
    TColor r = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        int ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        r |= TColor(((ca - cb) * 127 + cb * 256) >> 8 & 0xFF) << shift;
    }
    return r;
}

TColor BlendTwoColors(TColor a, TColor b, double ratio) {
    TColor r = a & 0xFF000000;
    for (int shift = 0; shift < 24; shift += 8) {
        double ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        r |= TColor(RoundByte(ca * ratio + cb * (1 - ratio))) << shift;
    }
    return r;
}

void BlendBitmapTransparent(const PixelView& dst, int x, int y, const PixelView& src, TRect sr,
                            double ratio, uint32_t key) {
    if (!Is24Or32(dst) || !Is24Or32(src) || (src.BytesPerPixel == 4 && dst.BytesPerPixel == 4)) {
        return;
    }
    sr = InclusiveToExclusive(sr, src);
    const CopyArea a =
        ClipCopy(x, y, sr.Left, sr.Top, sr.Right - sr.Left, sr.Bottom - sr.Top, dst, src);
    if (a.Empty()) return;
    const bool keyed = (key >> 24) != 0xFF;
    for (int j = 0; j < a.Height; ++j) {
        const uint8_t* s = src.At(a.SrcX, a.SrcY + j);
        uint8_t* d = dst.At(a.DstX, a.DstY + j);
        for (int i = 0; i < a.Width; ++i, s += src.BytesPerPixel, d += dst.BytesPerPixel) {
            if (keyed && (src.BytesPerPixel == 4 ? Pixel32(s) == key : IsKey(s, key))) continue;
            for (int c = 0; c < 3; ++c)
                d[c] = RoundByte(s[c] - (s[c] - d[c]) * ratio);
        }
    }
}

void BlendBitmapWithColor(const PixelView& bmp, TColor color, uint32_t key, double ratio) {
    if (!Is24Or32(bmp)) return;
    const double c[3] = {double(BlueOf(color)), double(GreenOf(color)), double(RedOf(color))};
    for (int y = 0; y < bmp.Height; ++y) {
        uint8_t* p = bmp.Row(y);
        for (int x = 0; x < bmp.Width; ++x, p += bmp.BytesPerPixel) {
            if (bmp.BytesPerPixel == 4 ? Pixel32(p) == key : IsKey(p, key)) continue;
            for (int k = 0; k < 3; ++k)
                p[k] = RoundByte((p[k] - c[k]) * ratio + c[k]);
        }
    }
}

namespace {
template <int B>
void SumBlend(const PixelView& dst, const PixelView& src, uint8_t ratio, const CopyArea& a) {
    TacFastSum<B> sum;
    if (!sum.Attach(src, dst)) return;
    sum.Alpha = ratio;
    sum.DstRect = {a.DstX, a.DstY, a.DstX + a.Width, a.DstY + a.Height};
    sum.SrcRect = {a.SrcX, a.SrcY, a.SrcX + a.Width, a.SrcY + a.Height};
    sum.BlendRect();
}
}  // namespace

void BlendBitmapRect(const PixelView& dst, const PixelView& src, uint8_t ratio, TRect srcRect,
                     TPoint dstPoint) {
    if (!Is24Or32(dst) || src.BytesPerPixel != dst.BytesPerPixel) return;
    const CopyArea a =
        ClipCopy(dstPoint.X, dstPoint.Y, srcRect.Left, srcRect.Top, srcRect.Right - srcRect.Left,
                 srcRect.Bottom - srcRect.Top, dst, src);
    if (a.Empty()) return;
    if (dst.BytesPerPixel == 3)
        SumBlend<3>(dst, src, ratio, a);
    else
        SumBlend<4>(dst, src, ratio, a);
}

void BlendBitmaps24(const PixelView& dst, const PixelView& src, uint8_t ratio) {
    if (src.Width != dst.Width || src.Height != dst.Height) return;
    BlendBitmapRect(dst, src, ratio, {0, 0, src.Width, src.Height}, {0, 0});
}

void BlendEqualBitmaps(const PixelView& dst, const PixelView& weight, TColor color) {
    if (dst.Base == nullptr || weight.Base == nullptr || dst.BytesPerPixel != 3 ||
        weight.BytesPerPixel != 3 || dst.Width != weight.Width || dst.Height != weight.Height) {
        return;
    }
    const uint32_t c[3] = {BlueOf(color), GreenOf(color), RedOf(color)};
    for (int y = 0; y < dst.Height; ++y) {
        uint8_t* d = dst.Row(y);
        const uint8_t* w = weight.Row(y);
        for (int i = 0; i < dst.Width * 3; ++i)
            d[i] = AlphaMix(d[i], c[i % 3], w[i]);
    }
}

namespace {
template <typename WeightOf>
void Mix(const PixelView& dst, const PixelView& f, const PixelView& g, const PixelView* w,
         WeightOf weightOf) {
    const int b = dst.BytesPerPixel;
    if (!Is24Or32(dst) || f.Base == nullptr || g.Base == nullptr || f.BytesPerPixel != b ||
        g.BytesPerPixel != b || (w && (w->Base == nullptr || w->BytesPerPixel != b))) {
        return;
    }
    int width = std::min({dst.Width, f.Width, g.Width}),
        height = std::min({dst.Height, f.Height, g.Height});
    if (w) width = std::min(width, w->Width), height = std::min(height, w->Height);
    for (int y = 0; y < height; ++y) {
        uint8_t* d = dst.Row(y);
        const uint8_t *fp = f.Row(y), *gp = g.Row(y), *wp = w ? w->Row(y) : nullptr;
        for (int i = 0; i < width * b; ++i)
            d[i] = AlphaMix(fp[i], gp[i], weightOf(wp, i));
    }
}
}  // namespace

void MixBitmaps(const PixelView& dst, const PixelView& first, const PixelView& second,
                const PixelView& weight) {
    Mix(dst, first, second, &weight, [](const uint8_t* w, int i) { return uint32_t(w[i]); });
}

void MixBitmaps(const PixelView& dst, const PixelView& first, const PixelView& second,
                uint8_t ratio) {
    Mix(dst, first, second, nullptr, [ratio](const uint8_t*, int) { return uint32_t(ratio); });
}

void DrawAlphaBitmapOverBg(TRect dstRect, TRect srcRect, const PixelView& dst, const PixelView& src,
                           const CacheInfo& cache, bool useBackground) {
    if (!Is24Or32(dst) || !Is24Or32(src)) return;
    const bool masked = src.BytesPerPixel == 3;
    const int half = src.Height / 2;
    // A mask-layout source keeps its picture in the upper half only.
    const CopyArea a =
        ClipCopy(dstRect.Left, dstRect.Top, srcRect.Left, srcRect.Top,
                 std::min(dstRect.Right - dstRect.Left, srcRect.Right - srcRect.Left),
                 std::min(dstRect.Bottom - dstRect.Top, srcRect.Bottom - srcRect.Top), dst, src,
                 masked ? half : src.Height);
    if (a.Empty()) return;
    if (!masked && !cache.Ready) {
        for (int j = 0; j < a.Height; ++j) {
            AlphaRow(dst.At(a.DstX, a.DstY + j), dst.BytesPerPixel, src.At(a.SrcX, a.SrcY + j),
                     a.Width);
        }
        return;
    }
    for (int j = 0; j < a.Height; ++j) {
        const uint8_t* s = src.At(a.SrcX, a.SrcY + j);
        const uint8_t* m = masked ? src.At(a.SrcX, a.SrcY + j + half) : nullptr;
        uint8_t* d = dst.At(a.DstX, a.DstY + j);
        for (int i = 0; i < a.Width; ++i, s += src.BytesPerPixel, d += dst.BytesPerPixel) {
            if (cache.Ready && IsKey(s, kTransparentKey)) {
                if (const uint8_t* bg =
                        useBackground ? BackgroundAt(cache, a.DstX + i, a.DstY + j) : nullptr) {
                    d[0] = bg[0], d[1] = bg[1], d[2] = bg[2];
                }
                continue;
            }
            if (masked) {
                const uint8_t* mp = m + i * 3;
                for (int c = 0; c < 3; ++c)
                    d[c] = AlphaMix(d[c], s[c], mp[c]);
            } else {
                for (int c = 0; c < 3; ++c)
                    d[c] = AlphaMix(s[c], d[c], s[3]);
            }
        }
    }
}

void DrawAlphaBitmap32(TRect dstRect, TRect srcRect, const PixelView& dst, const PixelView& src,
                       const CacheInfo& cache, bool useBackground, TColor color, int percent,
                       bool reflect) {
    if (!Is24Or32(dst) || src.Base == nullptr || src.BytesPerPixel != 4) return;
    const CopyArea a =
        ClipCopy(dstRect.Left, dstRect.Top, srcRect.Left, srcRect.Top,
                 std::min(dstRect.Right - dstRect.Left, srcRect.Right - srcRect.Left),
                 std::min(dstRect.Bottom - dstRect.Top, srcRect.Bottom - srcRect.Top), dst, src);
    if (a.Empty()) return;
    const bool tint = color != clNone;
    const uint32_t tc[3] = {BlueOf(color), GreenOf(color), RedOf(color)};
    const bool plain = !cache.Ready && !tint && percent == 0;
    for (int j = 0; j < a.Height; ++j) {
        if (plain) {
            AlphaRow(dst.At(a.DstX, a.DstY + j), dst.BytesPerPixel, src.At(a.SrcX, a.SrcY + j),
                     a.Width);
            continue;
        }
        const uint8_t* s = src.At(a.SrcX, a.SrcY + j);
        uint8_t* d = dst.At(a.DstX, a.DstY + j);
        for (int i = 0; i < a.Width; ++i, s += 4, d += dst.BytesPerPixel) {
            if (cache.Ready && Pixel32(s) == kTransparentKey) {
                if (const uint8_t* bg =
                        useBackground ? BackgroundAt(cache, a.DstX + i, a.DstY + j) : nullptr) {
                    d[0] = bg[0], d[1] = bg[1], d[2] = bg[2];
                }
                continue;
            }
            const uint32_t alpha = percent == 0 ? s[3] : s[3] * uint32_t(100 - percent) / 100;
            if (tint) {
                const double grey = (s[0] + s[1] + s[2]) / 3;
                for (int c = 0; c < 3; ++c) {
                    uint32_t t = std::min(255, int(std::nearbyint(grey * tc[c] / 255)));
                    d[c] = AlphaMix(t, d[c], alpha);
                }
            } else {
                for (int c = 0; c < 3; ++c)
                    d[c] = AlphaMix(s[c], d[c], alpha);
            }
        }
    }
    // The mirror image fades out over half the source height; a source of one row has none.
    const int rows = a.Height / 2;
    if (!reflect || rows == 0) return;
    const int fall = 255 / rows;
    int fade = 255;
    // The mirror starts on the first row below the picture, so that h + h div 2 rows hold both.
    const int top = a.DstY + a.Height;
    for (int k = 0; k < rows && top + k < dst.Height; ++k, fade -= fall) {
        const uint8_t* s = src.At(a.SrcX, a.SrcY + a.Height - 1 - k);
        uint8_t* d = dst.At(a.DstX, top + k);
        for (int i = 0; i < a.Width; ++i, s += 4, d += dst.BytesPerPixel) {
            if (IsKey(s, kTransparentKey)) continue;
            int alpha = percent == 0 ? (fade / 3) * s[3] / 255
                                     : (fade * (100 - percent) / 300) * s[3] / 255;
            alpha = std::max(0, alpha);
            for (int c = 0; c < 3; ++c)
                d[c] = AlphaMix(s[c], d[c], uint32_t(alpha));
        }
    }
}

void DrawAlphaBitmapMasked(const PixelView& dst, const PixelView& src, const PixelView& mask,
                           TRect r) {
    if (dst.Base == nullptr || src.Base == nullptr || mask.Base == nullptr ||
        dst.BytesPerPixel != 3 || src.BytesPerPixel != 4 || !Is24Or32(mask)) {
        return;
    }
    r.Left = std::max(r.Left, 0), r.Top = std::max(r.Top, 0);
    r.Right = std::min({r.Right, dst.Width, src.Width, mask.Width});
    r.Bottom = std::min({r.Bottom, dst.Height, src.Height, mask.Height});
    for (int y = r.Top; y < r.Bottom; ++y) {
        for (int x = r.Left; x < r.Right; ++x) {
            const uint8_t* s = src.At(x, y);
            const uint32_t m = mask.At(x, y)[2];
            if (m == 255) continue;
            const uint32_t alpha = m == 0 ? s[3] : ((255 - m) * s[3]) >> 8;
            uint8_t* d = dst.At(x, y);
            for (int c = 0; c < 3; ++c)
                d[c] = AlphaMix(s[c], d[c], alpha);
        }
    }
}

namespace {
void CopyKeyed(const PixelView& dst, const PixelView& src, const CopyArea& a, TColor key) {
    if (a.Empty()) return;
    for (int j = 0; j < a.Height; ++j) {
        const uint8_t* s = src.At(a.SrcX, a.SrcY + j);
        uint8_t* d = dst.At(a.DstX, a.DstY + j);
        for (int i = 0; i < a.Width; ++i, s += src.BytesPerPixel, d += dst.BytesPerPixel) {
            if (IsKey(s, key)) continue;
            d[0] = s[0], d[1] = s[1], d[2] = s[2];
            if (dst.BytesPerPixel == 4) d[3] = 255;
        }
    }
}
}  // namespace

void CopyBitmapTransparent(const PixelView& dst, const PixelView& src, int x, int y, TColor key) {
    if (!Is24Or32(dst) || src.Base == nullptr || src.BytesPerPixel != 3) return;
    CopyKeyed(dst, src, ClipCopy(x, y, 0, 0, src.Width, src.Height, dst, src), key);
}

void CopyRectTransparent24(const PixelView& dst, const PixelView& src, int x, int y, TRect sr,
                           TColor key) {
    if (!Is24Or32(dst) || src.Base == nullptr || src.BytesPerPixel != 3) return;
    sr = InclusiveToExclusive(sr, src);
    CopyKeyed(dst, src,
              ClipCopy(x, y, sr.Left, sr.Top, sr.Right - sr.Left, sr.Bottom - sr.Top, dst, src),
              key);
}

namespace {
// Shared walk of the mask piece copiers: `mix` handles a pixel that is not the key colour.
template <typename Mix>
void CopyPiece(const PixelView& dst, int x, int y, const PixelView& src, TRect sr, int srcRows,
               TColor key, const CacheInfo& cache, bool corner, Mix mix) {
    if (!Is24Or32(dst) || !Is24Or32(src)) return;
    sr = InclusiveToExclusive(sr, src);
    const CopyArea a =
        ClipCopy(x, y, sr.Left, sr.Top, sr.Right - sr.Left, sr.Bottom - sr.Top, dst, src, srcRows);
    if (a.Empty()) return;
    // Key-coloured pixels show the background when asked for it and it is there, the fill colour
    // of a cache that holds no background, or else what the target holds.
    const bool fromBackground =
        corner && cache.Ready && cache.Bmp != nullptr && cache.Bmp->Base != dst.Base;
    const bool fromColor = !cache.Ready && cache.FillColor != kTransparentKey;
    const uint8_t fill[3] = {BlueOf(cache.FillColor), GreenOf(cache.FillColor),
                             RedOf(cache.FillColor)};
    for (int j = 0; j < a.Height; ++j) {
        const uint8_t* s = src.At(a.SrcX, a.SrcY + j);
        uint8_t* d = dst.At(a.DstX, a.DstY + j);
        for (int i = 0; i < a.Width; ++i, s += src.BytesPerPixel, d += dst.BytesPerPixel) {
            if (!IsKey(s, key)) {
                mix(s, d, a.SrcX + i, a.SrcY + j);
                continue;
            }
            const uint8_t* bg = fromBackground ? BackgroundAt(cache, a.DstX + i, a.DstY + j)
                                : fromColor    ? fill
                                               : nullptr;
            if (bg == nullptr) continue;
            d[0] = bg[0], d[1] = bg[1], d[2] = bg[2];
            if (dst.BytesPerPixel == 4) d[3] = 255;
        }
    }
}
}  // namespace

void CopyMaskCorner(const PixelView& dst, int x, int y, const PixelView& src, TRect srcRect,
                    TColor key, const CacheInfo& cache, bool corner) {
    const bool alpha = dst.BytesPerPixel == 4;
    CopyPiece(dst, x, y, src, srcRect, src.Height, key, cache, corner,
              [alpha](const uint8_t* s, uint8_t* d, int, int) {
                  d[0] = s[0], d[1] = s[1], d[2] = s[2];
                  if (alpha) d[3] = 255;
              });
}

void CopyMaskPiece(const PixelView& dst, int x, int y, const PixelView& src, TRect srcRect,
                   int maskRowOffset, TColor key, const CacheInfo& cache, bool corner) {
    if (maskRowOffset < 0) return;
    // Only picture rows whose mask row lies inside the image are painted.
    CopyPiece(dst, x, y, src, srcRect, src.Height - maskRowOffset, key, cache, corner,
              [&src, maskRowOffset](const uint8_t* s, uint8_t* d, int sx, int sy) {
                  const uint8_t* m = src.At(sx, sy + maskRowOffset);
                  for (int c = 0; c < 3; ++c)
                      d[c] = AlphaMix(d[c], s[c], m[c]);
              });
}

}  // namespace skin

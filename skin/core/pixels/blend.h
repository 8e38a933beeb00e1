// The blend formulas and transparent copies of the painting core, on scan-line views of 24- and
// 32-bit bitmaps. Every routine clips to both bitmaps; a pair of formats a routine does not
// know paints nothing.
#pragma once

#include <cstdint>

#include "skin/core/pixels/pixels.h"

namespace skin {

// Red, green and blue of every pixel := (R + G + B) div 3; alpha kept.
void GrayscaleBitmap(const PixelView& bmp);
// The same, except pixels of the given colour (24-bit).
void GrayscaleBitmapTransparent(const PixelView& bmp, TColor color);
// Copies byte `channel` of every 32-bit pixel into the 8-bit plane (`toPlane`) or back. Nothing
// when the sizes differ.
void TransferByteChannel(const PixelView& bmp32, const PixelView& plane8, int channel,
                         bool toPlane);

// Per channel ((a - b) * 127 + b * 256) >> 8; the fourth byte 0.
TColor AverageColors(TColor a, TColor b);
// Per channel Round(a * ratio + b * (1 - ratio)); the fourth byte is a's.
TColor BlendTwoColors(TColor a, TColor b, double ratio);

// D := Round(S - (S - D) * ratio) over the inclusive source rectangle, placed at (x, y).
// Pairs: 24 on 32, 24 on 24, 32 on 24. A key whose top byte is 0xFF blends every pixel;
// otherwise source pixels equal to the key are skipped.
void BlendBitmapTransparent(const PixelView& dst, int x, int y, const PixelView& src, TRect srcRect,
                            double ratio, uint32_t key);
// P := Round((P - C) * ratio + C) over the whole bitmap; pixels equal to the key stay.
void BlendBitmapWithColor(const PixelView& bmp, TColor color, uint32_t key, double ratio);

// D := (S * (255 - A) + D * A + 127) >> 8 on every byte; both bitmaps 24-bit or both 32-bit.
void BlendBitmapRect(const PixelView& dst, const PixelView& src, uint8_t ratio, TRect srcRect,
                     TPoint dstPoint);
// The same over the whole bitmaps; nothing when their sizes differ.
void BlendBitmaps24(const PixelView& dst, const PixelView& src, uint8_t ratio);

// D := ((D - C) * W + C * 256) >> 8 with W the weight bitmap's channel (same sizes).
void BlendEqualBitmaps(const PixelView& dst, const PixelView& weight, TColor color);
// D := ((F - G) * W + G * 256) >> 8, over the common size of all the bitmaps.
void MixBitmaps(const PixelView& dst, const PixelView& first, const PixelView& second,
                const PixelView& weight);
void MixBitmaps(const PixelView& dst, const PixelView& first, const PixelView& second,
                uint8_t ratio);

// Per-pixel alpha of a 32-bit source, D := ((S - D) * A + D * 256) >> 8; a 24-bit source is a
// mask-layout picture (picture above, its grey mask below). With a ready cache, key-coloured
// source pixels are not blended: with `useBackground` they show the cache bitmap.
void DrawAlphaBitmapOverBg(TRect dstRect, TRect srcRect, const PixelView& dst, const PixelView& src,
                           const CacheInfo& cache, bool useBackground);
// Alpha of a 32-bit source lowered by `percent`, tinted when `color` is not clNone, with a
// fading mirror image below the target rectangle when `reflect` is set.
void DrawAlphaBitmap32(TRect dstRect, TRect srcRect, const PixelView& dst, const PixelView& src,
                       const CacheInfo& cache, bool useBackground, TColor color, int percent,
                       bool reflect);
// A 32-bit source over a 24-bit target with its alpha scaled by the red byte of a mask.
void DrawAlphaBitmapMasked(const PixelView& dst, const PixelView& src, const PixelView& mask,
                           TRect r);

// Copies a 24-bit source skipping the key colour; a 32-bit target gets alpha 255 where copied.
void CopyBitmapTransparent(const PixelView& dst, const PixelView& src, int x, int y, TColor key);
// The source rectangle's Right and Bottom are inclusive, as the glyph painters give them.
void CopyRectTransparent24(const PixelView& dst, const PixelView& src, int x, int y, TRect srcRect,
                           TColor key);

// One piece of a skin mask; the source rectangle's Right and Bottom are inclusive.
// A plain picture's pixels are copied; key-coloured ones show the cache bitmap when `corner` is
// set and the cache is ready (unless the target is the cache bitmap itself), the cache's
// FillColor when it is not ready (unless that is the key), and else keep the target.
void CopyMaskCorner(const PixelView& dst, int x, int y, const PixelView& src, TRect srcRect,
                    TColor key, const CacheInfo& cache, bool corner);
// A mask-layout picture: the mask of a picture row lies `maskRowOffset` rows below it (the mask
// rectangle's height div 2); D := ((D - S) * M + S * 256) >> 8.
void CopyMaskPiece(const PixelView& dst, int x, int y, const PixelView& src, TRect srcRect,
                   int maskRowOffset, TColor key, const CacheInfo& cache, bool corner);

}  // namespace skin

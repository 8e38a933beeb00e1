#include "skin/core/state/mask_paint.h"

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "skin/core/data/skin_content.h"
#include "skin/core/paint/mask_geometry.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_manager.h"
#include "vcl/controls/controls.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin {
namespace {

bool Is24Or32(const PixelView& v) {
    return !v.Empty() && (v.BytesPerPixel == 3 || v.BytesPerPixel == 4);
}
// The w x h pixels from (x, y) as the piece copiers take them: Right and Bottom inclusive.
TRect Inclusive(int x, int y, int w, int h) {
    return {x, y, x + w - 1, y + h - 1};
}
uint8_t Clamp255(int v) {
    return uint8_t(std::clamp(v, 0, 255));
}

// Whether drawing through `dc` reaches every pixel of `dst` at its own coordinates: no clip
// and no moved origin (a clip box of exactly the picture can only be that).
bool DrawsWholePicture(win::HDC dc, const PixelView& dst) {
    win::RECT box{};
    return win::GetClipBox(dc, &box) == win::SIMPLEREGION && box.left == 0 && box.top == 0 &&
           box.right == dst.Width && box.bottom == dst.Height;
}

// A plain edge or centre: opaque block copies, tiled or stretched over the whole span.
void PaintPlainPiece(win::HDC dc, const PixelView& dst, const MaskFrame& f, const PieceRects& r,
                     bool stretch) {
    const int pw = r.Src.Right - r.Src.Left, ph = r.Src.Bottom - r.Src.Top;
    if (pw < 1 || ph < 1) return;
    const win::HDC src = f.Picture->Canvas()->Handle();
    if (stretch) {
        const int w = r.Dst.Right - r.Dst.Left, h = r.Dst.Bottom - r.Dst.Top;
        if (w > 0 && h > 0)
            win::StretchBlt(dc, r.Dst.Left, r.Dst.Top, w, h, src, r.Src.Left, r.Src.Top, pw, ph,
                            win::SRCCOPY);
        return;
    }
    // Edges are mostly tiled from pieces a pixel or two thick: hundreds of copies a frame, each
    // a block transfer costing far more than its few bytes. With nothing in the way the copies
    // go straight from row to row, as the block transfer would make them.
    const bool direct = r.Src.Left >= 0 && r.Src.Top >= 0 && r.Src.Right <= f.Src.Width &&
                        r.Src.Bottom <= f.Src.Height && DrawsWholePicture(dc, dst);
    TileRect(r.Dst, pw, ph, dst.Width, dst.Height, [&](int x, int y, int w, int h) {
        if (direct)
            CopyPixelBlock(dst, x, y, f.Src, r.Src.Left, r.Src.Top, w, h);
        else
            win::BitBlt(dc, x, y, w, h, src, r.Src.Left, r.Src.Top, win::SRCCOPY);
    });
}

// Masked edges and centre: tiles mixed by their mask, key-coloured pixels left alone.
void PaintMaskedPiece(const PixelView& dst, const MaskFrame& f, const PieceRects& r) {
    TileRect(r.Dst, r.Src.Right - r.Src.Left, r.Src.Bottom - r.Src.Top, dst.Width, dst.Height,
             [&](int x, int y, int w, int h) {
                 CopyMaskPiece(dst, x, y, f.Src, Inclusive(r.Src.Left, r.Src.Top, w, h), f.MaskRows,
                               kTransparentKey, EmptyCacheInfo, false);
             });
}

}  // namespace

void PaintMaskIntoRect(vcl::TBitmap* target, TRect t, bool fillCentre, const CacheInfo& cache,
                       const TsMaskData& mask, int state, bool corner) {
    if (state == 0 && (mask.StretchMode & smNoNormalState) != 0) return;
    const int64_t w = int64_t(t.Right) - t.Left, h = int64_t(t.Bottom) - t.Top;
    if (w < 2 || h < 2 || w > kMaxMaskTargetSide || h > kMaxMaskTargetSide || !InReach(t)) return;
    const PixelView dst = ViewOf(target);
    MaskFrame f;
    if (!Is24Or32(dst) || !ReadMaskFrame(mask, f)) return;

    int wl = f.WL, wt = f.WT, wr = f.WR, wb = f.WB;
    ShrinkBorders(w, wl, wr);
    ShrinkBorders(h, wt, wb);
    const auto p = NinePieces(t, f, f.FrameLeft(state), wl, wt, wr, wb);
    const bool centre = fillCentre && (mask.StretchMode & smPaintCentre) != 0;

    const bool stretch = f.Type == 0 && (mask.StretchMode & smStretch) != 0;
    const win::HDC dc = f.Type == 0 ? target->Canvas()->Handle() : nullptr;
    const int oldMode = stretch ? win::SetStretchBltMode(dc, win::HALFTONE) : 0;
    for (int piece = kPieceTopLeft; piece <= kPieceCentre; ++piece) {
        const PieceRects& r = p[size_t(piece)];
        if (piece == kPieceCentre && !centre) break;
        const bool isCorner = piece == kPieceTopLeft || piece == kPieceBottomLeft ||
                              piece == kPieceBottomRight || piece == kPieceTopRight;
        if (isCorner) {
            const TRect s = Inclusive(r.Src.Left, r.Src.Top, r.Src.Right - r.Src.Left,
                                      r.Src.Bottom - r.Src.Top);
            if (f.Type == 0)
                CopyMaskCorner(dst, r.Dst.Left, r.Dst.Top, f.Src, s, kTransparentKey, cache,
                               corner);
            else
                CopyMaskPiece(dst, r.Dst.Left, r.Dst.Top, f.Src, s, f.MaskRows, kTransparentKey,
                              cache, corner);
        } else if (f.Type == 0) {
            PaintPlainPiece(dc, dst, f, r, stretch);
        } else {
            PaintMaskedPiece(dst, f, r);
        }
    }
    if (stretch) win::SetStretchBltMode(dc, oldMode);
}

void BlendMaskRegion(vcl::TBitmap* target, TPoint p, int state, int mode, const TsMaskData& mask,
                     const CacheInfo& cache) {
    const PixelView dst = ViewOf(target);
    MaskFrame f;
    if (!InReach(p) || !Is24Or32(dst) || !ReadMaskFrame(mask, f)) return;
    // Columns and rows left of or above the bitmap are skipped; the frame still ends where it
    // ends.
    const int dx = p.X < 0 ? -p.X : 0, dy = p.Y < 0 ? -p.Y : 0;
    const int fx = f.FrameLeft(state);
    const TRect src{fx + dx, f.R.Top + dy, fx + f.FW - 1, f.R.Top + f.FH - 1};
    const TRect to{p.X + dx, p.Y + dy, p.X + f.FW - 1, p.Y + f.FH - 1};
    if (mask.Bmp || f.Type >= 1) {
        BlendMaskHalfPiece(to, src, dst, mask, mode, kTransparentKey, f.Src);
    } else if (mode == 1) {
        CopyMaskCorner(dst, to.Left, to.Top, f.Src, src, kTransparentKey, cache, true);
    } else {
        BlendBitmapTransparent(dst, to.Left, to.Top, f.Src, src, 0.5, kTransparentKey);
    }
}

void BlendMaskHalfPiece(TRect dstRect, TRect srcRect, const PixelView& target,
                        const TsMaskData& mask, int mode, TColor key, const PixelView& source) {
    if (!Is24Or32(target) || !Is24Or32(source) || !InReach(dstRect) || !InReach(srcRect)) return;
    const int type = std::max<int>(mask.MaskType, 0);
    // Both rectangles are inclusive; the area is the smaller of the two.
    const int w = std::min(dstRect.Right - dstRect.Left, srcRect.Right - srcRect.Left) + 1;
    const int h = std::min(dstRect.Bottom - dstRect.Top, srcRect.Bottom - srcRect.Top) + 1;
    if (w < 1 || h < 1) return;
    if (type == 0) {
        CopyRectTransparent24(target, source, dstRect.Left, dstRect.Top,
                              Inclusive(srcRect.Left, srcRect.Top, w, h), key);
        return;
    }
    const int half = int((int64_t(mask.R.Bottom) - mask.R.Top) / (int64_t(type) + 1));
    if (half < 0) return;
    const CopyArea a = ClipCopy(dstRect.Left, dstRect.Top, srcRect.Left, srcRect.Top, w, h, target,
                                source, source.Height - half);
    if (a.Empty()) return;
    const uint8_t k[3] = {BlueOf(key), GreenOf(key), RedOf(key)};
    for (int j = 0; j < a.Height; ++j) {
        const uint8_t* s = source.At(a.SrcX, a.SrcY + j);
        const uint8_t* m = source.At(a.SrcX, a.SrcY + j + half);
        uint8_t* d = target.At(a.DstX, a.DstY + j);
        for (int i = 0; i < a.Width;
             ++i, s += source.BytesPerPixel, m += source.BytesPerPixel, d += target.BytesPerPixel) {
            if (s[0] == k[0] && s[1] == k[1] && s[2] == k[2]) continue;
            for (int c = 0; c < 3; ++c) {
                // Other modes keep the piece at least partly see-through.
                const int mv = mode == 1 ? m[c] : std::min(m[c] + 100, 255);
                d[c] = Clamp255(((d[c] - s[c]) * mv + s[c] * 256) >> 8);
            }
            if (target.BytesPerPixel == 4) d[3] = 255;
        }
    }
}

void CopyMaskRectTransparent(const PixelView& a, const PixelView& b, TRect r, TPoint p,
                             int maskIndex, const TsSkinContent* skin, int cornerCode) {
    if (a.Empty() || b.Empty() || a.BytesPerPixel != 4 || b.BytesPerPixel != 4) return;
    if (!InReach(r) || !InReach(p)) return;
    // Without a mask, A's own key-coloured pixels decide.
    PixelView decider = a;
    int cx = r.Left, cy = r.Top;
    if (maskIndex != -1) {
        if (skin == nullptr || !skin->IsValidImgIndex(maskIndex)) return;
        const TsMaskData& m = skin->Masks[size_t(maskIndex)];
        MaskFrame f;
        if (!ReadMaskFrame(m, f)) return;
        decider = f.Src;
        cx = f.R.Left, cy = f.R.Top;
        if (cornerCode == kCornerTopRight || cornerCode == kCornerBottomRight)
            cx += f.FW - std::max<int>(m.WR, 0);
        if (cornerCode == kCornerBottomLeft || cornerCode == kCornerBottomRight)
            cy += f.FH - std::max<int>(m.WB, 0);
    }
    // Walk the rectangle's offsets that lie inside A, B and the deciding picture.
    const int w = std::max(r.Right - r.Left, 0), h = std::max(r.Bottom - r.Top, 0);
    const int i0 = std::max({0, -r.Left, -p.X, -cx}), j0 = std::max({0, -r.Top, -p.Y, -cy});
    const int i1 = std::min({w, a.Width - r.Left, b.Width - p.X, decider.Width - cx});
    const int j1 = std::min({h, a.Height - r.Top, b.Height - p.Y, decider.Height - cy});
    for (int j = j0; j < j1; ++j) {
        for (int i = i0; i < i1; ++i) {
            if (!IsKeyPixel(decider.At(cx + i, cy + j))) continue;
            std::copy_n(b.At(p.X + i, p.Y + j), 4, a.At(r.Left + i, r.Top + j));
        }
    }
}

void PaintMaskRectWithState(TRect dstRect, TRect srcRect, const PixelView& target,
                            const TsMaskData& mask, const CacheInfo& cache) {
    if (mask.Manager == nullptr || !InReach(dstRect) || !InReach(srcRect)) return;
    const PixelView src = ViewOf(mask.Manager->MasterBitmap.get());
    const int w = std::min(dstRect.Right - dstRect.Left, srcRect.Right - srcRect.Left);
    const int h = std::min(dstRect.Bottom - dstRect.Top, srcRect.Bottom - srcRect.Top);
    if (w < 1 || h < 1) return;
    const int64_t rows = (int64_t(mask.R.Bottom) - mask.R.Top) / 2;
    if (rows < 0 || rows > src.Height) return;
    // Key-coloured pixels take the background wherever the cache knows it.
    CopyMaskPiece(target, dstRect.Left, dstRect.Top, src,
                  Inclusive(srcRect.Left, srcRect.Top, w, h), int(rows), kTransparentKey, cache,
                  true);
}

void RestoreMaskCorners(const PixelView& cache, const TsMaskData& mask, int state, int corners,
                        const CornerBackground& background) {
    if (!Is24Or32(cache) || cache.Width < 2 || cache.Height < 2 || !InReach(background.Offset))
        return;
    MaskFrame f;
    if (mask.ImageCount < 1 && mask.Bmp) {
        // A picture of its own without a count: three states over a mask half.
        if (mask.Manager == nullptr) return;
        f.Picture = mask.Bmp.get();
        f.Src = ViewOf(f.Picture);
        if (!Is24Or32(f.Src)) return;
        f.R = {0, 0, f.Src.Width, f.Src.Height};
        f.Count = 3, f.Type = 1;
        f.FW = f.Src.Width / 3, f.FH = f.Src.Height / 2;
        f.WL = std::max<int>(mask.WL, 0), f.WT = std::max<int>(mask.WT, 0);
        f.WR = std::max<int>(mask.WR, 0), f.WB = std::max<int>(mask.WB, 0);
    } else if (!ReadMaskFrame(mask, f)) {
        return;
    }
    const int sx = f.FrameLeft(state);
    const int cw = f.FW - f.WL - f.WR;
    // Plain masks take the lower corners from the rectangle's bottom rows, masked ones from the
    // frame's.
    const int bottom = (f.Type == 0 ? f.R.Bottom : f.R.Top + f.FH) - f.WB;
    struct Corner {
        int bit, sx, sy, w, h, x, y;
    };
    const Corner order[] = {
        {kSideTopLeft, sx, f.R.Top, f.WL, f.WT, 0, 0},
        {kSideBottomLeft, sx, bottom, f.WL, f.WB, 0, cache.Height - f.WB},
        {kSideBottomRight, sx + f.WL + cw, bottom, f.WR, f.WB, cache.Width - f.WR,
         cache.Height - f.WB},
        {kSideTopRight, sx + f.WL + cw, f.R.Top, f.WR, f.WT, cache.Width - f.WR, 0},
    };
    const PixelView* bg =
        background.Bmp != nullptr && Is24Or32(*background.Bmp) ? background.Bmp : nullptr;
    const uint8_t color[3] = {BlueOf(background.Color), GreenOf(background.Color),
                              RedOf(background.Color)};
    for (const Corner& c : order) {
        if ((corners & c.bit) == 0) continue;
        for (int j = 0; j < c.h; ++j) {
            for (int i = 0; i < c.w; ++i) {
                const int px = c.x + i, py = c.y + j;
                if (!f.Src.Contains(c.sx + i, c.sy + j) || !cache.Contains(px, py)) continue;
                if (!IsKeyPixel(f.Src.At(c.sx + i, c.sy + j))) continue;
                const uint8_t* from = color;
                if (bg != nullptr) {
                    const int bx = background.Offset.X + px, by = background.Offset.Y + py;
                    if (!bg->Contains(bx, by)) continue;
                    from = bg->At(bx, by);
                }
                uint8_t* d = cache.At(px, py);
                d[0] = from[0], d[1] = from[1], d[2] = from[2];
                if (cache.BytesPerPixel == 4) d[3] = 255;
            }
        }
    }
}

void PaintCtrlBorders(TsCommonData* data, int state) {
    PaintCtrlBorderSides(data, state, kSideAllCorners);
}

void PaintCtrlBorderSides(TsCommonData* data, int state, int corners) {
    if (data == nullptr) return;
    TsSkinManager* manager = data->SkinManager();
    vcl::TControl* owner = data->OwnerControl();
    if (manager == nullptr || !manager->IsValidImgIndex(data->BorderIndex) ||
        data->CacheBmp() == nullptr || owner == nullptr || owner->Width() < 2 ||
        owner->Height() < 2 || owner->Parent() == nullptr) {
        return;
    }
    BackgroundInfo info;
    GetParentBackground(info, owner->Parent(), false);
    if (info.BgType == btUnknown) return;  // nothing is known of what lies behind
    CornerBackground background;
    const PixelView parent = ViewOf(info.Bmp);
    if (info.BgType == btCache && !parent.Empty()) {
        background.Bmp = &parent;
        background.Offset = {info.Offset.X + owner->Left(), info.Offset.Y + owner->Top()};
    } else {
        background.Color = ControlColorToRGB(info.Color);
    }
    RestoreMaskCorners(ViewOf(data->CacheBmp()), manager->Masks()[size_t(data->BorderIndex)], state,
                       corners, background);
}

}  // namespace skin

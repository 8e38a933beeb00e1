#include "skin/core/state/bordered_sections.h"

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "skin/core/paint/mask_geometry.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_manager.h"
#include "vcl/controls/controls.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin {
namespace {

// Removes one run of key-coloured pixels, one row high, from the region.
void CutRun(win::HRGN rgn, int left, int right, int y) {
    if (rgn == nullptr || right <= left) return;
    const win::HRGN run = win::CreateRectRgn(left, y, right, y + 1);
    win::CombineRgn(rgn, rgn, run, win::RGN_DIFF);
    win::DeleteObject(run);
}

}  // namespace

void PaintSectionWithBorders(win::HDC dc, TRect r, int b, TsCommonData* data, int state,
                             TRect& inner) {
    // The block transfers cost by the rectangle, not by what of it is visible.
    if (data == nullptr || !InReach(r) || int64_t(r.Right) - r.Left > kMaxMaskTargetSide ||
        int64_t(r.Bottom) - r.Top > kMaxMaskTargetSide) {
        return;
    }
    b = std::clamp(b, 0, int(kMaxMaskTargetSide));
    const TColor color = GetControlBGColor(data, state != 0, nullptr);
    TsSkinManager* manager = data->SkinManager();
    const bool hasMask = manager != nullptr && manager->IsValidImgIndex(data->BorderIndex);
    if (!hasMask) {
        if (b != 0) FillBorderBands(dc, r, b, b, b, b, color);
        return;
    }
    vcl::TBitmap* cache = data->CacheBmp();
    if (cache == nullptr || cache->Empty()) return;
    // What lies behind the control, as seen from the cache image's origin.
    BackgroundInfo bg;
    vcl::TControl* owner = data->OwnerControl();
    const bool hasParent = owner != nullptr && owner->Parent() != nullptr;
    if (hasParent) {
        GetParentBackground(bg, owner->Parent(), false);
        bg.Offset = {bg.Offset.X + owner->Left(), bg.Offset.Y + owner->Top()};
    }
    const TsMaskData& mask = manager->Masks()[size_t(data->BorderIndex)];
    const int wl = std::max<int>(mask.WL, 0), wt = std::max<int>(mask.WT, 0);
    const int wr = std::max<int>(mask.WR, 0), wb = std::max<int>(mask.WB, 0);
    const win::HDC cacheDC = cache->Canvas()->Handle();
    if (mask.MaskType == 1) {
        if (bg.BgType == btCache && bg.Bmp != nullptr) {
            win::BitBlt(cacheDC, r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top,
                        bg.Bmp->Canvas()->Handle(), bg.Offset.X + r.Left, bg.Offset.Y + r.Top,
                        win::SRCCOPY);
        } else {
            FillBorderBands(cacheDC, r, wl, wt, wr, wb, color);
        }
    }
    CacheInfo ci;
    PixelView view;
    // An unanswered question gives no colour to show under the corners.
    if (bg.BgType != btUnknown) BGInfoToCacheInfo(bg, ci, view);
    PaintMaskIntoRect(cache, r, false, ci, mask, state, true);

    const int width = r.Right - r.Left, height = r.Bottom - r.Top;
    inner = {r.Left + wl, r.Top + wt, r.Right - wr, r.Bottom - wb};
    if (b != 0) {
        FillBorderBands(cacheDC, inner, std::max(std::min(b, width - wr) - wl, 0),
                        std::max(std::min(b, height - wb) - wt, 0),
                        std::max(std::min(b, width - wl) - wr, 0),
                        std::max(std::min(b, height - wt) - wb, 0), color);
        inner = {r.Left + b, r.Top + b, r.Right - b, r.Bottom - b};
    }
    // Crossing sides meet in a line.
    inner.Right = std::max(inner.Right, inner.Left);
    inner.Bottom = std::max(inner.Bottom, inner.Top);
    if (b != 0 && dc != cacheDC)
        CopyBorderStrips(dc, r.Left, r.Top, width, height, cacheDC, r.Left, r.Top, b);
}

void CopyTransparent24(TRect dst, bool transparent, const TsMaskData& mask, win::HRGN rgn,
                       const PixelView& target, TRect src) {
    if (dst.Left < 0 || dst.Top < 0 || dst.Right < 0 || dst.Bottom < 0) return;
    if (!InReach(dst) || !InReach(src)) return;
    if (target.Empty() || target.BytesPerPixel != 3 || target.Width < 2 || target.Height < 2)
        return;
    MaskFrame f;
    if (!ReadMaskFrame(mask, f, true)) return;
    const PixelView& s = f.Src;
    // The source rows of a masked piece need their mask rows inside the picture too.
    const bool masked = f.Type == 1;
    const int maskRows = masked ? f.MaskRows : 0;
    int w = std::min(dst.Right - dst.Left, src.Right - src.Left) + 1;
    int h = std::min(dst.Bottom - dst.Top, src.Bottom - src.Top) + 1;
    const CopyArea a =
        ClipCopy(dst.Left, dst.Top, src.Left, src.Top, w, h, target, s, s.Height - maskRows);
    if (a.Empty()) return;
    for (int j = 0; j < a.Height; ++j) {
        const uint8_t* p = s.At(a.SrcX, a.SrcY + j);
        const uint8_t* m = masked ? s.At(a.SrcX, a.SrcY + j + maskRows) : nullptr;
        uint8_t* d = target.At(a.DstX, a.DstY + j);
        int run = -1;  // first column of the current key-coloured run
        for (int i = 0; i < a.Width; ++i, p += s.BytesPerPixel, d += 3) {
            if (transparent && IsKeyPixel(p)) {
                if (run < 0) run = i;
            } else {
                if (run >= 0) CutRun(rgn, a.DstX + run, a.DstX + i, a.DstY + j);
                run = -1;
                if (masked) {
                    for (int c = 0; c < 3; ++c)
                        d[c] =
                            uint8_t(std::clamp(((d[c] - p[c]) * m[c] + p[c] * 256) >> 8, 0, 255));
                } else {
                    d[0] = p[0], d[1] = p[1], d[2] = p[2];
                }
            }
            if (masked) m += s.BytesPerPixel;
        }
        if (run >= 0) CutRun(rgn, a.DstX + run, a.DstX + a.Width, a.DstY + j);
    }
}

void PaintMaskToDC(vcl::TBitmap* bmp, win::HRGN rgn, bool fillCentre, const TsMaskData& mask,
                   int state) {
    const PixelView dst = ViewOf(bmp);
    if (dst.Empty() || dst.BytesPerPixel != 3 || dst.Width < 2 || dst.Height < 2) return;
    if (dst.Width > kMaxMaskTargetSide || dst.Height > kMaxMaskTargetSide) return;
    MaskFrame f;
    if (!ReadMaskFrame(mask, f, true)) return;
    int wl = f.WL, wt = f.WT, wr = f.WR, wb = f.WB;
    ShrinkBorders(dst.Width, wl, wr);
    ShrinkBorders(dst.Height, wt, wb);
    const auto p = NinePieces({0, 0, dst.Width, dst.Height}, f, f.FrameLeft(state), wl, wt, wr, wb);
    const bool stretch = (mask.StretchMode & smStretch) != 0 && f.Type != 1;
    const win::HDC dc = stretch ? bmp->Canvas()->Handle() : nullptr;
    const int oldMode = stretch ? win::SetStretchBltMode(dc, win::HALFTONE) : 0;

    auto piece = [&](int index, bool transparent) {
        const PieceRects& r = p[size_t(index)];
        const int pw = r.Src.Right - r.Src.Left, ph = r.Src.Bottom - r.Src.Top;
        if (pw < 1 || ph < 1) return;
        if (transparent) {  // a corner
            CopyTransparent24({r.Dst.Left, r.Dst.Top, r.Dst.Right - 1, r.Dst.Bottom - 1}, true,
                              mask, rgn, dst,
                              {r.Src.Left, r.Src.Top, r.Src.Right - 1, r.Src.Bottom - 1});
        } else if (stretch) {
            const int w = r.Dst.Right - r.Dst.Left, h = r.Dst.Bottom - r.Dst.Top;
            if (w > 0 && h > 0)
                win::StretchBlt(dc, r.Dst.Left, r.Dst.Top, w, h, f.Picture->Canvas()->Handle(),
                                r.Src.Left, r.Src.Top, pw, ph, win::SRCCOPY);
        } else {
            TileRect(r.Dst, pw, ph, dst.Width, dst.Height, [&](int x, int y, int w, int h) {
                CopyTransparent24({x, y, x + w - 1, y + h - 1}, false, mask, rgn, dst,
                                  {r.Src.Left, r.Src.Top, r.Src.Left + w - 1, r.Src.Top + h - 1});
            });
        }
    };
    piece(kPieceTopLeft, true);
    piece(kPieceBottomLeft, true);
    for (int edge : {kPieceLeft, kPieceTop, kPieceBottom, kPieceRight})
        piece(edge, false);
    piece(kPieceBottomRight, true);
    piece(kPieceTopRight, true);
    if (fillCentre && (mask.StretchMode & smPaintCentre) != 0) piece(kPieceCentre, false);
    if (stretch) win::SetStretchBltMode(dc, oldMode);
}

}  // namespace skin

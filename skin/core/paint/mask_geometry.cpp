#include "skin/core/paint/mask_geometry.h"

#include <algorithm>

#include "skin/core/data/skin_content.h"
#include "skin/core/pixels/bitmaps.h"

namespace skin {

int MaskFrame::FrameLeft(int state) const {
    return R.Left + std::clamp(state, 0, Count - 1) * FW;
}

bool ReadMaskFrame(const TsMaskData& m, MaskFrame& f, bool wholePicture) {
    if (m.Manager == nullptr) return false;
    f.Picture = m.Bmp ? m.Bmp.get() : m.Manager->MasterBitmap.get();
    f.Src = ViewOf(f.Picture);
    if (f.Src.Empty() || (f.Src.BytesPerPixel != 3 && f.Src.BytesPerPixel != 4)) return false;
    f.R = m.R;
    f.Count = m.ImageCount;
    if (f.Count < 1) {
        if (!wholePicture || !m.Bmp) return false;
        f.R = {0, 0, f.Src.Width, f.Src.Height};
        f.Count = 1;
    }
    f.R.Left = std::max(f.R.Left, 0), f.R.Top = std::max(f.R.Top, 0);
    f.R.Right = std::min(f.R.Right, f.Src.Width), f.R.Bottom = std::min(f.R.Bottom, f.Src.Height);
    if (f.R.Right <= f.R.Left || f.R.Bottom <= f.R.Top) return false;
    f.Type = std::max<int>(m.MaskType, 0);
    f.FW = (f.R.Right - f.R.Left) / f.Count;
    f.FH = int((int64_t(f.R.Bottom) - f.R.Top) / (int64_t(f.Type) + 1));
    f.MaskRows = (f.R.Bottom - f.R.Top) / 2;
    f.WL = std::max<int>(m.WL, 0), f.WT = std::max<int>(m.WT, 0);
    f.WR = std::max<int>(m.WR, 0), f.WB = std::max<int>(m.WB, 0);
    return f.FW > 0 && f.FH > 0;
}

void ShrinkBorders(int64_t size, int& first, int& second) {
    if (size >= int64_t(first) + second) return;
    const int64_t d = (int64_t(first) + second - size) / 2;
    first = int(first - d);
    second = int(second - d - (size % 2 != 0 ? 1 : 0));
    first = std::max(first, 0), second = std::max(second, 0);
}

std::array<PieceRects, 9> NinePieces(const TRect& t, const MaskFrame& f, int sx, int wl, int wt,
                                     int wr, int wb) {
    const int sy = f.R.Top;
    const int cw = std::max(f.FW - wl - wr, 0), ch = std::max(f.FH - wt - wb, 0);
    const int sr = sx + wl + cw;    // source column of the right pieces
    const int sb = sy + f.FH - wb;  // source row of the bottom pieces
    std::array<PieceRects, 9> p;
    p[kPieceTopLeft] = {{t.Left, t.Top, t.Left + wl, t.Top + wt}, {sx, sy, sx + wl, sy + wt}};
    p[kPieceLeft] = {{t.Left, t.Top + wt, t.Left + wl, t.Bottom - wb},
                     {sx, sy + wt, sx + wl, sy + wt + ch}};
    p[kPieceTop] = {{t.Left + wl, t.Top, t.Right - wr, t.Top + wt},
                    {sx + wl, sy, sx + wl + cw, sy + wt}};
    p[kPieceBottomLeft] = {{t.Left, t.Bottom - wb, t.Left + wl, t.Bottom},
                           {sx, sb, sx + wl, sy + f.FH}};
    p[kPieceBottom] = {{t.Left + wl, t.Bottom - wb, t.Right - wr, t.Bottom},
                       {sx + wl, sb, sx + wl + cw, sy + f.FH}};
    p[kPieceBottomRight] = {{t.Right - wr, t.Bottom - wb, t.Right, t.Bottom},
                            {sr, sb, sr + wr, sy + f.FH}};
    p[kPieceTopRight] = {{t.Right - wr, t.Top, t.Right, t.Top + wt}, {sr, sy, sr + wr, sy + wt}};
    p[kPieceRight] = {{t.Right - wr, t.Top + wt, t.Right, t.Bottom - wb},
                      {sr, sy + wt, sr + wr, sy + wt + ch}};
    p[kPieceCentre] = {{t.Left + wl, t.Top + wt, t.Right - wr, t.Bottom - wb},
                       {sx + wl, sy + wt, sx + wl + cw, sy + wt + ch}};
    return p;
}

}  // namespace skin

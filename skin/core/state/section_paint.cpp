#include "skin/core/state/section_paint.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/user/message_queue.h"
#include "platform/user/messages.h"
#include "skin/core/data/skin_content.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/pixels/fast_pixels.h"
#include "skin/core/pixels/text_utils.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/jpeg_image.h"

namespace skin {

namespace {

using BitmapHolder = std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter>;

bool Is24Or32(const PixelView& v) {
    return !v.Empty() && (v.BytesPerPixel == 3 || v.BytesPerPixel == 4);
}

// The painters' precondition: a rectangle that lies inside the bitmap.
bool LiesInside(const TRect& r, const PixelView& v) {
    return r.Left >= 0 && r.Top >= 0 && r.Right <= v.Width && r.Bottom <= v.Height;
}

bool HasArea(const TRect& r) {
    return r.Right > r.Left && r.Bottom > r.Top;
}

TsSkinManager* EffectiveManager(TsSkinManager* manager) {
    return manager ? manager : DefaultManager;
}

// A record that holds a background bitmap.
bool HasBackground(const CacheInfo& c) {
    return c.Ready && c.Bmp && !c.Bmp->Empty();
}

int Clamp32(int64_t v) {
    return int(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// Offsets from skin data and callers may be anything: they saturate instead of wrapping.
CacheInfo Shifted(CacheInfo c, int dx, int dy) {
    c.X = Clamp32(int64_t(c.X) + dx);
    c.Y = Clamp32(int64_t(c.Y) + dy);
    return c;
}

TRect Covered() {
    return {-1, -1, -1, -1};
}

// FillRect32 keeps alpha 255 on a 32-bit target; a 24-bit one is filled through its DC.
void FillTarget(vcl::TBitmap* target, const PixelView& view, const TRect& r, TColor c) {
    if (!HasArea(r)) return;
    if (view.BytesPerPixel == 4)
        FillRect32(view, r, c);
    else
        FillRectSolid(target->Canvas()->Handle(), r, c);
}

// Copies w x h pixels from (sx, sy) of `src` to (dx, dy) of `dst`, clipped to both; a 24-bit
// source gives opaque pixels in a 32-bit target.
void CopyPixels(const PixelView& dst, int dx, int dy, const PixelView& src, int sx, int sy, int w,
                int h) {
    if (!Is24Or32(dst) || !Is24Or32(src)) return;
    // Origins far outside the source meet nothing (and would overflow the clipping).
    if (int64_t(sx) + w <= 0 || sx >= src.Width || int64_t(sy) + h <= 0 || sy >= src.Height) return;
    const CopyArea a = ClipCopy(dx, dy, sx, sy, w, h, dst, src);
    if (a.Empty()) return;
    const int db = dst.BytesPerPixel, sb = src.BytesPerPixel;
    for (int y = 0; y < a.Height; ++y) {
        uint8_t* d = dst.At(a.DstX, a.DstY + y);
        const uint8_t* s = src.At(a.SrcX, a.SrcY + y);
        if (db == sb) {
            std::memmove(d, s, size_t(a.Width) * db);
            continue;
        }
        for (int x = 0; x < a.Width; ++x, d += db, s += sb) {
            d[0] = s[0], d[1] = s[1], d[2] = s[2];
            if (db == 4) d[3] = 255;
        }
    }
}

// What lies under `r` of the target: the record's bitmap at the record's offset (not when the
// target is that bitmap itself), else its colour.
void PutParent(vcl::TBitmap* target, const PixelView& view, const TRect& r, const CacheInfo& c) {
    if (HasBackground(c)) {
        if (c.Bmp->Base == view.Base) return;
        const CacheInfo at = Shifted(c, r.Left, r.Top);
        CopyPixels(view, r.Left, r.Top, *c.Bmp, at.X, at.Y, WidthOf(r), HeightOf(r));
    } else if (c.FillColor != kTransparentKey) {
        FillTarget(target, view, r, c.FillColor);
    }
}

BitmapHolder NewWorkBitmap(int bytesPerPixel, int w, int h) {
    return BitmapHolder(bytesPerPixel == 4 ? NewBitmap32(w, h) : NewBitmap24(w, h));
}

uint8_t ParentShare(int transparency) {
    return uint8_t(std::clamp<int64_t>(int64_t(transparency) * 255 / 100, 0, 255));
}

// Percent sums of skin data, without wrapping.
int64_t PercentSum(const SectionFill& v) {
    return int64_t(v.GradientPercent) + v.ImagePercent;
}

const TsMaskData* MaskAt(const TsSkinContent& skin, int i) {
    return skin.IsValidImgIndex(i) ? &skin.Masks[size_t(i)] : nullptr;
}

// The piece of a master-bitmap texture, cut to the master bitmap.
bool MasterPiece(const TsMaskData& mask, vcl::TBitmap*& master, TRect& piece) {
    if (!mask.Manager || !mask.Manager->MasterBitmap) return false;
    master = mask.Manager->MasterBitmap.get();
    piece = IntersectRects(mask.R, {0, 0, master->Width(), master->Height()});
    return HasArea(piece);
}

// The tiles of a w x h piece laid from `area`'s top-left over the area, the last column and
// row cut; only the tiles that meet `bounds` are visited.
template <typename Tile>
void ForEachTile(const TRect& area, int w, int h, const TRect& bounds, Tile tile) {
    if (w < 1 || h < 1) return;
    const int64_t right = std::min<int64_t>(area.Right, bounds.Right);
    const int64_t bottom = std::min<int64_t>(area.Bottom, bounds.Bottom);
    int64_t y0 = area.Top;
    if (bounds.Top > y0) y0 += (int64_t(bounds.Top) - y0) / h * h;
    int64_t x0 = area.Left;
    if (bounds.Left > x0) x0 += (int64_t(bounds.Left) - x0) / w * w;
    for (int64_t y = y0; y < bottom; y += h) {
        for (int64_t x = x0; x < right; x += w)
            tile(int(x), int(y), int(std::min<int64_t>(w, area.Right - x)),
                 int(std::min<int64_t>(h, area.Bottom - y)));
    }
}

TRect ClipBoxOf(vcl::TCanvas* canvas) {
    return canvas->ClipRect();
}

void TileFromDC(win::HDC dst, const TRect& area, win::HDC src, const TRect& piece,
                const TRect& bounds) {
    ForEachTile(area, WidthOf(piece), HeightOf(piece), bounds, [&](int x, int y, int w, int h) {
        win::BitBlt(dst, x, y, w, h, src, piece.Left, piece.Top, win::SRCCOPY);
    });
}

void StretchFromDC(win::HDC dst, const TRect& area, win::HDC src, const TRect& piece) {
    // A span wider than an int can say is not drawn.
    if (!HasArea(area) || int64_t(area.Right) - area.Left > INT32_MAX ||
        int64_t(area.Bottom) - area.Top > INT32_MAX) {
        return;
    }
    const int old = win::SetStretchBltMode(dst, win::HALFTONE);
    win::StretchBlt(dst, area.Left, area.Top, WidthOf(area), HeightOf(area), src, piece.Left,
                    piece.Top, WidthOf(piece), HeightOf(piece), win::SRCCOPY);
    win::SetStretchBltMode(dst, old);
}

// Where a walk from `start` in steps of `step` (at least 1) first reaches `limit` or beyond.
int64_t StopOfWalk(int64_t start, int64_t limit, int step) {
    return start >= limit ? start : start + (limit - start + step - 1) / step * step;
}

// The section's corner images, each one state frame placed at its corner of `r`.
void PaintSectionCorners(const TsSkinContent& skin, const TsGeneralData& s, int state,
                         const TRect& r, vcl::TBitmap* target, const PixelView& view) {
    const CacheInfo own = MakeCacheInfo(&view, 0, 0);
    for (int k = 0; k < 4; ++k) {
        const TsMaskData* m = MaskAt(skin, s.CornerMasks[k]);
        if (!m) continue;
        const int fw = SkinFrameWidth(*m), fh = SkinFrameHeight(*m);
        const TPoint p{k == 1 || k == 3 ? Clamp32(int64_t(r.Right) - fw) : r.Left,
                       k == 2 || k == 3 ? Clamp32(int64_t(r.Bottom) - fh) : r.Top};
        BlendMaskRegion(target, p, state, 1, *m, own);
    }
}

}  // namespace

SectionFill SectionFillValues(const TsSkinContent& skin, int skinIndex, std::string_view section,
                              int state, int texture, int hotTexture, TColor color) {
    SectionFill v;
    if (color != kTransparentKey) {
        v.Color = color;
        return v;
    }
    if (!skin.IsValidSkinIndex(skinIndex)) return v;
    const TsGeneralData& s = skin.Sections[size_t(skinIndex)];
    const bool hot = state > 0;
    v.Color = hot ? s.HotColor : s.Color;
    v.Transparency = hot ? s.HotTransparency : s.Transparency;
    if (v.Transparency == 100) return v;
    v.ImagePercent = hot ? s.HotImagePercent : s.ImagePercent;
    v.GradientPercent = hot ? s.HotGradientPercent : s.GradientPercent;
    if (v.ImagePercent > 0) {
        const int given = hot ? hotTexture : texture;
        if (given != -1) {
            // A given texture counts only as a plain picture.
            const TsMaskData* m = MaskAt(skin, given);
            if (m && m->MaskType == 0) v.Texture = given;
        } else {
            const char* prop = hot ? "HOTPATTERN" : "PATTERN";
            const int mask = skin.GetMaskIndex(skinIndex, section, prop);
            if (skin.IsValidImgIndex(mask)) {
                v.Texture = mask;
            } else {
                v.Texture = skin.GetPatternIndex(skinIndex, section, prop);
                v.IsPattern = v.Texture > -1;
            }
        }
    }
    if (v.GradientPercent != 0) {
        const std::string& text = hot ? s.HotGradientData : s.GradientData;
        if (!text.empty()) v.Gradient = hot ? &s.HotGradientArray : &s.GradientArray;
    }
    return v;
}

namespace {

// The texture and the gradient of a fill, without the final mix with the colour.
void FillTextureAndGradient(vcl::TBitmap* target, const PixelView& view, const TRect& r,
                            const SectionFill& v, const CacheInfo& parent,
                            const TsSkinContent& skin) {
    const int ip = v.ImagePercent;
    bool textured = false;
    if (ip > 0) {
        TRect rest = r;
        if (v.IsPattern) {
            if (v.Texture >= 0 && size_t(v.Texture) < skin.Patterns.size() &&
                skin.Patterns[size_t(v.Texture)].Img) {
                PaintTexture(target->Canvas(), rest, skin.Patterns[size_t(v.Texture)].Img.get(),
                             nullptr, 0);
                textured = true;
            }
        } else if (const TsMaskData* m = MaskAt(skin, v.Texture)) {
            if ((m->MaskType & 0xFF) != 0)
                PaintPatternMask(target, rest, parent, *m, m->StretchMode);
            else
                PaintTexture(target->Canvas(), rest, m->Bmp.get(), m, m->StretchMode);
            textured = true;
        }
        if (rest.Right != -1) FillTarget(target, view, rest, v.Color);
    }
    if (v.GradientPercent > 0) {
        const bool plain = !v.Gradient || v.Gradient->empty();
        if (textured) {
            const int w = WidthOf(r), h = HeightOf(r);
            BitmapHolder work = NewWorkBitmap(view.BytesPerPixel, w, h);
            const PixelView wv = ViewOf(work.get());
            if (plain)
                FillTarget(work.get(), wv, {0, 0, w, h}, v.Color);
            else
                PaintGradientStops(work.get(), {0, 0, w, h}, *v.Gradient, 0);
            // The texture keeps IP percent of the mix.
            BlendBitmapRect(view, wv, ParentShare(ip), {0, 0, w, h}, {r.Left, r.Top});
        } else if (plain) {
            FillTarget(target, view, r, v.Color);
        } else {
            PaintGradientStops(target, r, *v.Gradient, 0);
        }
    }
}

// Every channel := channel * S/100 + colour * (1 - S/100); BlendColorRect takes Right and
// Bottom as the last column and row.
void MixWithColor(const PixelView& view, const TRect& r, int s, TColor c) {
    BlendColorRect(view, {r.Left, r.Top, r.Right - 1, r.Bottom - 1}, uint8_t(s), c);
}

}  // namespace

void FillSkinBackground(vcl::TBitmap* target, TRect r, const SectionFill& v,
                        const CacheInfo& parent, const TsSkinContent& skin) {
    const PixelView view = ViewOf(target);
    if (!Is24Or32(view) || !LiesInside(r, view) || !HasArea(r)) return;
    FillTextureAndGradient(target, view, r, v, parent, skin);
    const int64_t s = PercentSum(v);
    if (s >= 1 && s <= 99)
        MixWithColor(view, r, int(s), v.Color);
    else if (s == 0)
        // A record that knows nothing of the parent never mixes its magenta in.
        FillTarget(target, view, r, v.Color);
}

void PaintSkinBackground(int skinIndex, std::string_view section, const CacheInfo& parent,
                         int state, TRect r, TPoint offset, vcl::TBitmap* target,
                         TsSkinManager* manager, int texture, int hotTexture, TColor color) {
    manager = EffectiveManager(manager);
    if (!manager || !manager->IsValidSkinIndex(skinIndex)) return;
    const PixelView view = ViewOf(target);
    if (!Is24Or32(view) || !LiesInside(r, view) || !HasArea(r)) return;
    const TsSkinContent& skin = manager->Skin();
    const SectionFill v =
        SectionFillValues(skin, skinIndex, section, state, texture, hotTexture, color);
    const CacheInfo shifted = Shifted(parent, offset.X, offset.Y);
    const int t = v.Transparency;
    const bool known = HasBackground(parent) || parent.FillColor != kTransparentKey;
    if (!known || t == 0) {
        FillSkinBackground(target, r, v, shifted, skin);
    } else if (t == 100) {
        PutParent(target, view, r, shifted);
    } else if (HasBackground(parent) || PercentSum(v) != 0) {
        const int w = WidthOf(r), h = HeightOf(r);
        BitmapHolder work = NewWorkBitmap(view.BytesPerPixel, w, h);
        FillSkinBackground(work.get(), {0, 0, w, h}, v, Shifted(shifted, r.Left, r.Top), skin);
        PutParent(target, view, r, shifted);
        BlendBitmapRect(view, ViewOf(work.get()), ParentShare(t), {0, 0, w, h}, {r.Left, r.Top});
    } else {
        const double share = std::clamp(t, 0, 100) / 100.0;
        FillTarget(target, view, r, BlendTwoColors(parent.FillColor, v.Color, share));
    }
    if (state == 0) {
        const int overlay = texture != -1 ? texture : hotTexture;
        const TsMaskData* m = overlay != -1 ? MaskAt(skin, overlay) : nullptr;
        if (m && m->MaskType > 0 && m->StretchMode == 10) {
            TRect rest = r;
            PaintPatternMask(target, rest, shifted, *m, 10);
        }
    }
}

void PaintPartBackground(int skinIndex, int texture, int hotTexture, const CacheInfo& parent,
                         int state, TRect r, TPoint offset, vcl::TBitmap* target,
                         TsSkinManager* manager) {
    manager = EffectiveManager(manager);
    if (!manager || !manager->IsValidSkinIndex(skinIndex)) return;
    const PixelView view = ViewOf(target);
    if (!Is24Or32(view) || !LiesInside(r, view) || !HasArea(r)) return;
    const TsSkinContent& skin = manager->Skin();
    const TsGeneralData& s = skin.Sections[size_t(skinIndex)];
    const bool hot = state > 0;
    SectionFill v;
    v.Color = hot ? s.HotColor : s.Color;
    v.Transparency = hot ? s.HotTransparency : s.Transparency;
    v.ImagePercent = hot ? s.HotImagePercent : s.ImagePercent;
    v.GradientPercent = hot ? s.HotGradientPercent : s.GradientPercent;
    v.Texture = hot ? hotTexture : texture;
    if (!(hot ? s.HotGradientData : s.GradientData).empty())
        v.Gradient = hot ? &s.HotGradientArray : &s.GradientArray;
    const CacheInfo shifted = Shifted(parent, offset.X, offset.Y);
    const int t = v.Transparency;
    const bool ready = HasBackground(parent);

    // The part's own fill: S = 0 or above 100 ends in the plain colour (over a plain parent of
    // a fully see-through part: the parent's colour); S = 100 adds nothing.
    auto fill = [&](vcl::TBitmap* bmp, const TRect& rect, const CacheInfo& c) {
        const PixelView bv = ViewOf(bmp);
        FillTextureAndGradient(bmp, bv, rect, v, c, skin);
        const int64_t sum = PercentSum(v);
        if (sum >= 1 && sum <= 99) {
            MixWithColor(bv, rect, int(sum), v.Color);
        } else if (sum == 0 || sum > 100) {
            const bool parentColour =
                t == 100 && !HasBackground(c) && c.FillColor != kTransparentKey;
            FillTarget(bmp, bv, rect, parentColour ? c.FillColor : v.Color);
        }
    };

    if (ready && t == 100) {
        PutParent(target, view, r, shifted);
    } else if (t == 100 && shifted.FillColor != kTransparentKey) {
        // Wholly see-through over a parent known only by its colour: that colour, whatever
        // texture or gradient the part names.
        FillTarget(target, view, r, shifted.FillColor);
    } else if (!ready || t == 0) {
        fill(target, r, shifted);
    } else if (t > 0 && t < 100) {
        // The work bitmap takes the target's format, so that the blend can mix the two.
        const int w = WidthOf(r), h = HeightOf(r);
        BitmapHolder work = NewWorkBitmap(view.BytesPerPixel, w, h);
        fill(work.get(), {0, 0, w, h}, Shifted(shifted, r.Left, r.Top));
        PutParent(target, view, r, shifted);
        BlendBitmapRect(view, ViewOf(work.get()), ParentShare(t), {0, 0, w, h}, {r.Left, r.Top});
    } else if (t > 100) {
        PutParent(target, view, r, shifted);
    }
}

void PaintTexture(vcl::TCanvas* canvas, TRect& r, vcl::TGraphic* image, const TsMaskData* mask,
                  int mode) {
    if (!canvas) return;
    if (image && !image->Empty()) {
        TileBitmapOnCanvas(canvas, r, image);
        r = Covered();
        return;
    }
    vcl::TBitmap* master = nullptr;
    TRect piece;
    if (!mask || !MasterPiece(*mask, master, piece)) return;
    const int w = WidthOf(piece), h = HeightOf(piece);
    const win::HDC dst = canvas->Handle();
    const win::HDC src = master->Canvas()->Handle();
    const TRect bounds = ClipBoxOf(canvas);
    auto tile = [&](const TRect& area) { TileFromDC(dst, area, src, piece, bounds); };
    const int64_t top = r.Top, left = r.Left, right = r.Right, bottom = r.Bottom;
    const TRect topBand{r.Left, r.Top, r.Right, Clamp32(std::min(bottom, top + h))};
    const TRect leftBand{r.Left, r.Top, Clamp32(std::min(right, left + w)), r.Bottom};
    const TRect bottomBand{r.Left, Clamp32(std::max(top, bottom - h)), r.Right, r.Bottom};
    const TRect rightBand{Clamp32(std::max(left, right - w)), r.Top, r.Right, r.Bottom};
    switch (mode) {
        case 0:
            tile(r);
            r = Covered();
            break;
        case 1:
            StretchFromDC(dst, r, src, piece);
            r = Covered();
            break;
        case 2:
            tile(topBand);
            r.Top = topBand.Bottom;
            break;
        case 3:
            tile(leftBand);
            r.Left = leftBand.Right;
            break;
        case 4:
            StretchFromDC(dst, topBand, src, piece);
            r.Top = topBand.Bottom;
            break;
        case 5:
            StretchFromDC(dst, leftBand, src, piece);
            r.Left = leftBand.Right;
            break;
        case 6:
            tile(bottomBand);
            r.Bottom = bottomBand.Top;
            break;
        case 7:
            tile(rightBand);
            r.Right = rightBand.Left;
            break;
        case 10: {
            // Whole rows only; what lies below the last one keeps what was there.
            tile({r.Left, r.Top, r.Right, Clamp32(StopOfWalk(top, bottom - h, h))});
            r = Covered();
            break;
        }
        default:
            tile(rightBand);
            r = rightBand;
            break;
    }
}

void TileBitmapOnCanvas(vcl::TCanvas* canvas, TRect r, vcl::TGraphic* picture) {
    if (!canvas || !picture || picture->Width() <= 0 || picture->Height() <= 0) return;
    const int w = picture->Width(), h = picture->Height();
    const TRect bounds = ClipBoxOf(canvas);
    if (auto* bmp = dynamic_cast<vcl::TBitmap*>(picture)) {
        TileFromDC(canvas->Handle(), r, bmp->Canvas()->Handle(), {0, 0, w, h}, bounds);
    } else if (dynamic_cast<vcl::TJPEGImage*>(picture)) {
        const win::HDC dc = canvas->Handle();
        const int saved = win::SaveDC(dc);
        win::IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
        ForEachTile(r, w, h, bounds, [&](int x, int y, int, int) { canvas->Draw(x, y, picture); });
        win::RestoreDC(dc, saved);
    }
}

void PaintPatternMask(vcl::TBitmap* target, TRect& r, const CacheInfo& parent,
                      const TsMaskData& mask, int mode) {
    if (!mask.Manager || mask.ImageCount < 1 || (mode != 0 && mode != 10)) return;
    const PixelView view = ViewOf(target);
    if (!Is24Or32(view)) return;
    const int fw = Clamp32((int64_t(mask.R.Right) - mask.R.Left) / mask.ImageCount);
    const int fh = Clamp32((int64_t(mask.R.Bottom) - mask.R.Top) / 2);
    if (fw < 1 || fh < 1) return;
    const TRect src{mask.R.Left, mask.R.Top, Clamp32(int64_t(mask.R.Left) + fw),
                    Clamp32(int64_t(mask.R.Top) + fh)};
    // Whole pieces while one more still fits before the far edge; tiles outside the bitmap
    // are not visited.
    const int64_t xEnd = int64_t(r.Right) - fw, yEnd = int64_t(r.Bottom) - fh;
    const TRect grid{r.Left, r.Top, Clamp32(StopOfWalk(r.Left, xEnd, fw)),
                     Clamp32(StopOfWalk(r.Top, yEnd, fh))};
    ForEachTile(grid, fw, fh, {0, 0, view.Width, view.Height}, [&](int x, int y, int, int) {
        PaintMaskRectWithState({x, y, Clamp32(int64_t(x) + fw), Clamp32(int64_t(y) + fh)}, src,
                               view, mask, parent);
    });
    if (mode == 0) {
        // The cut column at the right, for the same rows.
        const int x = grid.Right;
        const int cut = Clamp32(int64_t(r.Right) - x);
        if (cut > 0) {
            ForEachTile({x, grid.Top, r.Right, grid.Bottom}, cut, fh,
                        {0, 0, view.Width, view.Height}, [&](int, int y, int, int) {
                            PaintMaskRectWithState(
                                {x, y, r.Right, Clamp32(int64_t(y) + fh)},
                                {src.Left, src.Top, Clamp32(int64_t(src.Left) + cut), src.Bottom},
                                view, mask, parent);
                        });
        }
    } else {
        // The strips below the last row and right of the last column show the parent. They
        // start at the rectangle's own top when no whole column fitted.
        auto showParent = [&](const TRect& strip) {
            const TRect clipped = IntersectRects(strip, {0, 0, view.Width, view.Height});
            if (!HasArea(clipped)) return;
            if (HasBackground(parent))
                PutParent(target, view, clipped, parent);
            else if (parent.FillColor != kTransparentKey)
                FillTarget(target, view, clipped, parent.FillColor);
        };
        showParent({r.Left, grid.Right > r.Left ? grid.Bottom : r.Top, r.Right, r.Bottom});
        showParent({grid.Right, r.Top, r.Right, r.Bottom});
    }
    r = Covered();
}

void PaintMaskWithBorders(int skinIndex, std::string_view section, const CacheInfo& parent,
                          bool fillCentre, int state, TRect r, TPoint offset, vcl::TBitmap* target,
                          TsSkinManager* manager, int texture, int hotTexture) {
    manager = EffectiveManager(manager);
    if (!manager || !manager->IsValidSkinIndex(skinIndex)) return;
    PixelView view = ViewOf(target);
    if (!Is24Or32(view) || !LiesInside(r, view) || !HasArea(r)) return;
    PaintSkinBackground(skinIndex, section, parent, state, r, offset, target, manager, texture,
                        hotTexture, kTransparentKey);
    const TsSkinContent& skin = manager->Skin();
    const TsGeneralData& s = skin.Sections[size_t(skinIndex)];
    PaintSectionCorners(skin, s, state, r, target, view);
    if (const TsMaskData* m = MaskAt(skin, s.BordersMask))
        PaintMaskIntoRect(target, r, fillCentre, Shifted(parent, offset.X, offset.Y), *m, state,
                          true);
}

void PaintSectionToDC(int skinIndex, std::string_view section, const CacheInfo& parent,
                      bool fillCentre, int state, TRect r, TPoint offset, win::HDC dc,
                      TsSkinManager* manager) {
    manager = EffectiveManager(manager);
    if (!dc || !manager || !manager->IsValidSkinIndex(skinIndex)) return;
    // The section is laid out over the whole rectangle, so a rectangle larger than any bitmap
    // is not painted at all.
    const int64_t w = int64_t(r.Right) - r.Left, h = int64_t(r.Bottom) - r.Top;
    if (r.Left < 0 || r.Top < 0 || !BitmapSizeFits(w, h)) return;
    BitmapHolder work(NewBitmap24(int(w), int(h)));
    PaintMaskWithBorders(skinIndex, section, parent, fillCentre, state, {0, 0, int(w), int(h)},
                         offset, work.get(), manager, -1, -1);
    const int saved = win::SaveDC(dc);
    win::BitBlt(dc, r.Left, r.Top, int(w), int(h), work->Canvas()->Handle(), 0, 0, win::SRCCOPY);
    win::RestoreDC(dc, saved);
}

void PaintSectionPart(int skinIndex, int borderMask, int texture, int hotTexture, CacheInfo& parent,
                      bool fillCentre, int state, TRect r, TPoint offset, vcl::TBitmap* target,
                      TsSkinManager* manager) {
    manager = EffectiveManager(manager);
    if (!manager) return;
    PaintPartBackground(skinIndex, texture, hotTexture, parent, state, r, offset, target, manager);
    const PixelView view = ViewOf(target);
    if (!Is24Or32(view) || !LiesInside(r, view) || !HasArea(r)) return;
    if (const TsMaskData* m = MaskAt(manager->Skin(), borderMask))
        PaintMaskIntoRect(target, r, fillCentre, Shifted(parent, offset.X, offset.Y), *m, state,
                          true);
}

int PaintSectionByName(vcl::TBitmap* bmp, std::string_view name, std::string_view secondName,
                       int state, TsSkinManager* manager, TPoint sourcePoint, TColor color,
                       win::HDC sourceDC) {
    manager = EffectiveManager(manager);
    if (!manager) return -1;
    std::string_view used = name;
    int index = manager->GetSkinIndex(name);
    if (!manager->IsValidSkinIndex(index)) {
        used = secondName;
        index = manager->GetSkinIndex(secondName);
    }
    const PixelView view = ViewOf(bmp);
    if (!manager->IsValidSkinIndex(index) || !Is24Or32(view)) return index;
    CacheInfo record;
    record.FillColor = color;
    if (sourceDC) {
        win::BitBlt(bmp->Canvas()->Handle(), 0, 0, view.Width, view.Height, sourceDC, sourcePoint.X,
                    sourcePoint.Y, win::SRCCOPY);
        record.Bmp = &view;
        record.Ready = true;
    }
    // The index belongs to this manager's skin, so this manager paints it.
    PaintMaskWithBorders(index, used, record, true, state, {0, 0, view.Width, view.Height}, {0, 0},
                         bmp, manager, -1, -1);
    return index;
}

void PaintControlBackground(TsCommonData* data, const CacheInfo& parent, int state, TRect r,
                            TPoint offset, vcl::TBitmap* target) {
    if (!data) return;
    TColor color = kTransparentKey;
    if (data->CustomColor()) {
        if (vcl::TControl* owner = data->OwnerControl())
            color = ControlColorToRGB(owner->Color());
        else if (auto* p = dynamic_cast<TsSkinProviderBase*>(data->OwnerObject()); p && p->Form())
            color = ControlColorToRGB(p->Form()->Color());
    }
    PaintSkinBackground(data->SkinIndex, data->SkinSection(), parent, state, r, offset, target,
                        data->SkinManager(), data->Texture, data->HotTexture, color);
}

void PaintControlSection(TsCommonData* data, const CacheInfo& parent, bool fillCentre, int state,
                         TRect r, TPoint offset, vcl::TBitmap* target, uint8_t borderOption) {
    if (!data) return;
    TsSkinManager* manager = data->SkinManager();
    if (!manager || !manager->IsValidSkinIndex(data->SkinIndex)) return;
    const PixelView view = ViewOf(target);
    if (!Is24Or32(view) || !LiesInside(r, view) || !HasArea(r)) return;
    PaintControlBackground(data, parent, state, r, offset, target);
    const TsSkinContent& skin = manager->Skin();
    const TsMaskData* m = MaskAt(skin, data->BorderIndex);
    if (m && !(state == 0 && (m->StretchMode & smNoNormalState)))
        PaintMaskIntoRect(target, r, fillCentre, Shifted(parent, offset.X, offset.Y), *m, state,
                          borderOption != 0);
    PaintSectionCorners(skin, skin.Sections[size_t(data->SkinIndex)], state, r, target, view);
}

void PaintControlSectionEx(TsCommonData* data, vcl::TControl* parent, bool fillCentre, int state,
                           TRect r, TPoint offset, vcl::TBitmap* target, uint8_t borderOption) {
    BackgroundInfo info;
    info.PleaseDraw = 0;
    GetParentBackground(info, parent, false);
    CacheInfo cache;
    PixelView view;
    BGInfoToCacheInfo(info, cache, view);
    PaintControlSection(data, cache, fillCentre, state, r, offset, target, borderOption);
}

namespace {

// The DC's rectangle R painted by the asked window itself, seen from the asker's origin.
template <typename Send>
void PaintInto(const BackgroundInfo& info, Send send) {
    if (!info.DC) return;
    const int saved = win::SaveDC(info.DC);
    win::OffsetViewportOrgEx(info.DC, -info.Offset.X, -info.Offset.Y, nullptr);
    auto moved = [&](int v, int by) { return Clamp32(int64_t(v) + by); };
    const TRect r{moved(info.R.Left, info.Offset.X), moved(info.R.Top, info.Offset.Y),
                  moved(info.R.Right, info.Offset.X), moved(info.R.Bottom, info.Offset.Y)};
    win::IntersectClipRect(info.DC, r.Left, r.Top, r.Right, r.Bottom);
    send(win::WM_ERASEBKGND);
    send(win::WM_PAINT);
    win::RestoreDC(info.DC, saved);
}

// The colour answer; with PleaseDraw (and a DC to draw into) R of the DC is filled with it.
void AnswerColor(BackgroundInfo& info, TColor color) {
    info.BgType = btFill;
    info.Color = color;
    if (info.PleaseDraw && info.DC) FillRectSolid(info.DC, info.R, color);
}

TColor WindowFallbackColor() {
    return DefaultManager ? DefaultManager->GetGlobalColor() : ColorToRGB(vcl::clBtnFace);
}

}  // namespace

bool GetParentBackground(BackgroundInfo& info, vcl::TControl* control, bool pleaseDraw) {
    const bool drawAsked = info.PleaseDraw != 0;
    info.BgType = btUnknown;
    info.PleaseDraw = pleaseDraw;
    if (!control) {
        AnswerColor(info, WindowFallbackColor());
        return false;
    }
    // Nothing is sent to a control that is going: its own colour answers.
    if (control->ComponentState().Contains(vcl::csDestroying)) {
        AnswerColor(info, ControlColorToRGB(control->Color()));
        return false;
    }
    const intptr_t lParam = reinterpret_cast<intptr_t>(&info);
    auto* windowed = dynamic_cast<vcl::TWinControl*>(control);
    if (windowed && windowed->HandleAllocated())
        SendSkinCommand(windowed->Handle(), SKC_GETBGINFO, lParam);
    else
        control->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_GETBGINFO), lParam);
    if (info.BgType != btUnknown) return true;
    if (drawAsked) {
        PaintInto(info, [&](uint32_t msg) {
            control->Perform(msg, reinterpret_cast<uintptr_t>(info.DC), 0);
        });
        return false;
    }
    TColor color = TColor(control->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_GETBGCOLOR), 0));
    if (color == 0) color = ControlColorToRGB(control->Color());
    AnswerColor(info, color);
    return false;
}

bool GetBGInfoFromWindow(BackgroundInfo& info, win::HWND wnd, bool pleaseDraw) {
    const bool drawAsked = info.PleaseDraw != 0;
    info.BgType = btUnknown;
    info.PleaseDraw = pleaseDraw;
    if (wnd) SendSkinCommand(wnd, SKC_GETBGINFO, reinterpret_cast<intptr_t>(&info));
    if (info.BgType != btUnknown) return true;
    if (drawAsked && wnd) {
        PaintInto(info, [&](uint32_t msg) {
            win::SendMessageA(wnd, msg, reinterpret_cast<win::WPARAM>(info.DC), 0);
        });
        return false;
    }
    AnswerColor(info, WindowFallbackColor());
    return false;
}

void BGInfoToCacheInfo(const BackgroundInfo& info, CacheInfo& cache, PixelView& view) {
    if (info.BgType == btCache) {
        view = ViewOf(info.Bmp);
        cache = MakeCacheInfo(&view, info.Offset.X, info.Offset.Y);
        return;
    }
    view = {};
    cache = {};
    cache.X = info.Offset.X;
    cache.Y = info.Offset.Y;
    cache.FillColor = ControlColorToRGB(info.Color);
    cache.Ready = false;
}

}  // namespace skin

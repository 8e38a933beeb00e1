// Painting of the skinned scroll bars: each bar is composed off-screen over what lies behind
// it and copied to the window in one BitBlt, so it never flickers.
#include <algorithm>
#include <memory>
#include <vector>

#include "skin/core/data/skin_data.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/pixels/fast_pixels.h"
#include "skin/core/pixels/pixels.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/engine_state.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/scroll/scroll_wnd.h"
#include "vcl/controls/controls.h"
#include "vcl/graphics/bitmap.h"

namespace skin {
namespace {

using BitmapOwner = std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter>;

// The pixels of `bg` under the whole target (its bitmap at its offset, else its colour).
void CopyBackground(const PixelView& dst, const CacheInfo& bg) {
    if (dst.Empty()) return;
    TColor c = bg.FillColor == kTransparentKey ? 0xFFFFFF : bg.FillColor;
    const uint8_t fill[3] = {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)};
    const PixelView* src = bg.Ready && bg.Bmp && bg.Bmp->BytesPerPixel >= 3 ? bg.Bmp : nullptr;
    const size_t step = size_t(dst.BytesPerPixel);
    auto fillSpan = [&](uint8_t* d, int n) {
        for (int i = 0; i < n; ++i, d += step)
            d[0] = fill[0], d[1] = fill[1], d[2] = fill[2];
    };
    // The columns the picture covers; the colour on either side of them.
    const int from = src ? std::clamp(-bg.X, 0, dst.Width) : 0;
    const int to = src ? std::clamp(src->Width - bg.X, from, dst.Width) : 0;
    for (int y = 0; y < dst.Height; ++y) {
        uint8_t* d = dst.Row(y);
        const bool covered = src && from < to && y + bg.Y >= 0 && y + bg.Y < src->Height;
        if (!covered) {
            // A row of colour alone: the first one painted, the others copied from it.
            if (y > 0 && step == 3 && !(src && from < to))
                std::copy(dst.Row(0), dst.Row(0) + step * size_t(dst.Width), d);
            else
                fillSpan(d, dst.Width);
            continue;
        }
        fillSpan(d, from);
        const uint8_t* s = src->At(from + bg.X, y + bg.Y);
        const size_t sstep = size_t(src->BytesPerPixel);
        uint8_t* p = d + step * size_t(from);
        for (int x = from; x < to; ++x, p += step, s += sstep)
            p[0] = s[0], p[1] = s[1], p[2] = s[2];
        fillSpan(d + step * size_t(to), dst.Width - to);
    }
}

// A packed w x h view over `store`, sized to fit.
PixelView PackedView(int w, int h, int bytesPerPixel, std::vector<uint8_t>& store) {
    PixelView v;
    if (w <= 0 || h <= 0) return v;
    store.resize(size_t(w) * size_t(bytesPerPixel) * size_t(h));
    v.Base = store.data();
    v.Stride = ptrdiff_t(w) * bytesPerPixel;
    v.Width = w;
    v.Height = h;
    v.BytesPerPixel = bytesPerPixel;
    return v;
}

// A packed copy of `from`, held in `store` (reused from part to part): what lay under a
// part before it is painted, without a bitmap handle for every part.
PixelView CopyOf(const PixelView& from, std::vector<uint8_t>& store) {
    if (from.Empty()) return PixelView{};
    PixelView v = PackedView(from.Width, from.Height, from.BytesPerPixel, store);
    for (int y = 0; y < from.Height; ++y)
        std::copy(from.Row(y), from.Row(y) + v.Stride, v.Row(y));
    return v;
}

// One part: the section over the bar's pixels beneath, then its glyph centred in `glyphBox`.
void PaintPart(vcl::TBitmap* bar, TsSkinManager* manager, const TConstantSection& s, int state,
               TRect r, const TRect* glyphBox) {
    if (r.Right <= r.Left || r.Bottom <= r.Top || !manager->IsValidSkinIndex(s.Section)) return;
    static std::vector<uint8_t> underStore;
    PixelView barView = ViewOf(bar);
    PixelView underView = CopyOf(barView, underStore);
    CacheInfo cache;
    cache.Bmp = &underView;
    cache.Ready = true;
    PaintSectionPart(s.Section, s.BordersMask, s.Pattern, s.HotPattern, cache, true, state, r,
                     TPoint{0, 0}, bar, manager);
    if (glyphBox == nullptr || s.GlyphMask < 0 || size_t(s.GlyphMask) >= manager->Masks().size())
        return;
    const TsMaskData& g = manager->Masks()[size_t(s.GlyphMask)];
    int gw = SkinFrameWidth(g), gh = SkinFrameHeight(g);
    if (gw <= 0 || gh <= 0) return;
    TPoint p{glyphBox->Left + (glyphBox->Right - glyphBox->Left - gw) / 2,
             glyphBox->Top + (glyphBox->Bottom - glyphBox->Top - gh) / 2};
    CacheInfo self;
    self.Bmp = &barView;
    self.Ready = true;
    BlendMaskRegion(bar, p, std::min<int>(state, std::max<int>(g.ImageCount, 1) - 1), 0, g, self);
}

}  // namespace

void PaintBarImage(vcl::TBitmap* target, TsSkinManager* manager, bool vertical,
                   const win::SCROLLINFO& si, int arrow, int glyphBox, int minThumb,
                   const BarLooks& looks, const CacheInfo& bg) {
    CopyBackground(ViewOf(target), bg);
    if (manager == nullptr || !manager->SkinData().Active) return;
    const TConstantSkinData& k = manager->ConstData();
    int W = vertical ? target->Height() : target->Width();
    int T = vertical ? target->Width() : target->Height();
    if (W <= 0 || T <= 0) return;
    // Along the bar [from, to) as a rectangle of the bitmap.
    auto span = [&](int from, int to) {
        return vertical ? TRect{0, from, T, to} : TRect{from, 0, to, T};
    };
    const TConstantSection& track1 = k.ScrollBars[vertical ? 1 : 0];
    const TConstantSection& track2 = k.ScrollBars[vertical ? 3 : 2];
    const TConstantSection& first = k.ScrollButtons[vertical ? 0 : 2];
    const TConstantSection& second = k.ScrollButtons[vertical ? 1 : 3];
    const TConstantSection& slider = k.Sliders[vertical ? 0 : 1];
    int box = std::min(glyphBox, W);
    if (2 * arrow >= W) {
        int half = W / 2;
        PaintPart(target, manager, track1, 0, span(0, half), nullptr);
        PaintPart(target, manager, track2, 0, span(half, W), nullptr);
        TRect g1 = span(0, std::min(box, half)), g2 = span(std::max(W - box, half), W);
        PaintPart(target, manager, first, looks.First, span(0, half), &g1);
        PaintPart(target, manager, second, looks.Second, span(half, W), &g2);
    } else {
        ThumbPlace t = CalcScrollThumbRect(0, W, arrow, si, minThumb);
        if (looks.ThumbStart >= 0) t.start = looks.ThumbStart;
        int split = t.start + t.length / 2;
        split = std::clamp(split, 0, W);
        PaintPart(target, manager, track1, looks.PressedPart == spPageBefore ? 2 : 0, span(0, split),
                  nullptr);
        PaintPart(target, manager, track2, looks.PressedPart == spPageAfter ? 2 : 0, span(split, W),
                  nullptr);
        TRect g1 = span(0, box), g2 = span(W - box, W);
        PaintPart(target, manager, first, looks.First, span(0, arrow), &g1);
        PaintPart(target, manager, second, looks.Second, span(W - arrow, W), &g2);
        if (looks.Enabled && t.visible) {
            TRect r = span(t.start, t.start + t.length);
            PaintPart(target, manager, slider, looks.Thumb, r, &r);
        }
    }
    if (!looks.Enabled) {
        // Dimmed toward what lies behind: its picture at 40 %, else its colour laid over at 60 %.
        PixelView v = ViewOf(target);
        if (bg.Ready && bg.Bmp) {
            static std::vector<uint8_t> behindStore;
            PixelView b = CopyOf(v, behindStore);
            CopyBackground(b, bg);
            BlendBitmapTransparent(v, 0, 0, b, TRect{0, 0, b.Width - 1, b.Height - 1}, 0.4,
                                   0xFFFFFFFF);
        } else {
            BlendColorRect(v, TRect{0, 0, v.Width - 1, v.Height - 1}, 40, bg.FillColor);
        }
    }
}

namespace {

// What lies behind `screen` (a rectangle of the adapted window's non-client area): the parent's
// background at that place. A class-library parent is asked as its children ask it, so one that
// does not answer with a picture gives its own colour (a plain form its face colour); a bare
// window gives the default manager's global colour.
void BackgroundAt(win::HWND wnd, const win::RECT& screen, CacheInfo& cache, PixelView& view,
                  BackgroundInfo& info) {
    win::HWND parent = win::GetParent(wnd);
    if (vcl::TWinControl* control = parent ? vcl::FindControl(parent) : nullptr)
        GetParentBackground(info, control, false);
    else
        GetBGInfoFromWindow(info, parent, false);
    BGInfoToCacheInfo(info, cache, view);
    if (info.BgType != btCache) return;
    win::POINT p{screen.left, screen.top};
    win::ScreenToClient(parent, &p);
    cache.X += p.x;
    cache.Y += p.y;
}

void BlitToWindow(win::HWND wnd, win::HDC dc, vcl::TBitmap* bmp, const win::RECT& screen) {
    win::RECT wr{};
    win::GetWindowRect(wnd, &wr);
    win::HDC target = dc ? dc : win::GetWindowDC(wnd);
    if (target == nullptr) return;
    win::BitBlt(target, screen.left - wr.left, screen.top - wr.top, bmp->Width(), bmp->Height(),
                bmp->Canvas()->Handle(), 0, 0, win::SRCCOPY);
    if (dc == nullptr) win::ReleaseDC(wnd, target);
}

}  // namespace

void ShowBackgroundBehind(win::HWND wnd, const win::RECT& screen) {
    const int w = screen.right - screen.left, h = screen.bottom - screen.top;
    if (!win::IsWindow(wnd) || !BitmapSizeFits(w, h)) return;
    CacheInfo bg;
    PixelView view;
    BackgroundInfo info;
    BackgroundAt(wnd, screen, bg, view, info);
    BitmapOwner bmp(NewBitmap24(w, h));
    CopyBackground(ViewOf(bmp.get()), bg);
    BlitToWindow(wnd, nullptr, bmp.get(), screen);
}

vcl::TBitmap* TacScrollWnd::ComposeImage(int slot, int width, int height) {
    BitmapOwner& image = Images[slot];
    if (image && image->Width() == width && image->Height() == height) return image.get();
    image.reset();
    if (slot < kSizeBoxImage) ImageInputs[slot] = BarImageInputs{};
    if (!BitmapSizeFits(width, height)) return nullptr;
    image.reset(NewBitmap24(width, height));
    return image.get();
}

void TacScrollWnd::PaintBar(int kind, win::HDC dc, int pressedPart, int thumbPos) {
    ScrollMouseState& s = ScrollMouse();
    bool current = s.CurrentWindow == CtrlHandle;
    // A dragged thumb paints itself as it moves.
    if (ThumbTracking && thumbPos < 0 && current && s.PressedBar == kind) return;
    TacScrollBar& b = Bar(kind);
    TsSkinManager* manager = SkinData ? SkinData->SkinManager() : nullptr;
    if (!b.Shown || manager == nullptr || !manager->SkinData().Active ||
        manager->ConstData().ScrollBars[0].Section < 0)
        return;
    if (kind == win::SB_VERT && OwnScrollMessage && thumbPos < 0) return;
    const Layout layout = BarLayout(kind);
    const win::RECT& bar = layout.rect;
    bool vertical = kind == win::SB_VERT;
    int across = vertical ? bar.right - bar.left : bar.bottom - bar.top;
    int W = vertical ? bar.bottom - bar.top : bar.right - bar.left;
    if (across < 2 || W <= 0) return;
    b.ScrollInfo.fMask = win::SIF_ALL;
    win::GetScrollInfo(CtrlHandle, kind, &b.ScrollInfo);
    vcl::TControl* c = SkinData->OwnerControl();
    BarLooks looks;
    looks.Enabled = BarUsable(kind) && (c ? c->Enabled() : win::IsWindowEnabled(CtrlHandle) != 0);
    if (current) {
        auto look = [&](int part) {
            if (pressedPart == part) return 2;
            return s.HotBar == kind && s.HotPart == part && looks.Enabled ? 1 : 0;
        };
        looks.First = look(spFirstArrow);
        looks.Second = look(spSecondArrow);
        looks.Thumb = look(spThumb);
        looks.PressedPart = pressedPart;
    }
    looks.ThumbStart = thumbPos;
    CacheInfo bg;
    PixelView view;
    BackgroundInfo info;
    BackgroundAt(CtrlHandle, bar, bg, view, info);
    const int w = bar.right - bar.left, h = bar.bottom - bar.top;
    vcl::TBitmap* bmp = ComposeImage(kind, w, h);
    if (bmp == nullptr) return;
    // The bars are repainted after nearly every message the window gets, mostly unchanged: an
    // image composed from the same inputs over the same background is shown again as it is.
    BarImageInputs in;
    in.Valid = true;
    in.Vertical = vertical;
    in.Width = w;
    in.Height = h;
    in.Min = b.ScrollInfo.nMin;
    in.Max = b.ScrollInfo.nMax;
    in.Page = b.ScrollInfo.nPage;
    in.Pos = b.ScrollInfo.nPos;
    in.Arrow = layout.arrow;
    in.GlyphBox = win::GetSystemMetrics(win::SM_CXHSCROLL);
    in.MinThumb = b.MinThumb;
    in.Looks = looks;
    in.Manager = manager;
    in.Masks = manager->Masks().data();
    in.Fill = uint32_t(bg.FillColor);
    in.Picture = bg.Ready && bg.Bmp;
    PixelView behind = PackedView(w, h, 3, in.Background);
    CopyBackground(behind, bg);
    BarImageInputs& last = ImageInputs[kind];
    if (!(in == last)) {
        PaintBarImage(bmp, manager, vertical, b.ScrollInfo, in.Arrow, in.GlyphBox, in.MinThumb,
                      looks, bg);
        last = std::move(in);
        ++BarsComposed;
    }
    ++BarsShown;
    BlitToWindow(CtrlHandle, dc, bmp, bar);
}

void TacScrollWnd::PaintSizeBox(win::HDC dc) {
    ScrollBarRects r = BarRects();
    int w = r.sizeBox.right - r.sizeBox.left, h = r.sizeBox.bottom - r.sizeBox.top;
    if (w <= 0 || h <= 0) return;
    CacheInfo bg;
    PixelView view;
    BackgroundInfo info;
    BackgroundAt(CtrlHandle, r.sizeBox, bg, view, info);
    vcl::TBitmap* bmp = ComposeImage(kSizeBoxImage, w, h);
    if (bmp == nullptr) return;
    CopyBackground(ViewOf(bmp), bg);
    TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
    if (m && m->SkinData().Active && GripShown(r)) {
        int grip = m->GetMaskIndexByNames("GLOBALINFO", "GRIPIMAGE");
        if (grip >= 0 && size_t(grip) < m->Masks().size()) {
            const TsMaskData& g = m->Masks()[size_t(grip)];
            int gw = SkinFrameWidth(g), gh = SkinFrameHeight(g);
            PixelView self = ViewOf(bmp);
            CacheInfo under;
            under.Bmp = &self;
            under.Ready = true;
            if (gw > 0 && gh > 0) BlendMaskRegion(bmp, TPoint{w - gw, h - gh}, 0, 0, g, under);
        }
    }
    BlitToWindow(CtrlHandle, dc, bmp, r.sizeBox);
}

bool TacScrollWnd::PaintScrollBars(win::HDC dc, int thumbPos, uint32_t /*flags*/) {
    if (Unhooked || SkinData == nullptr || SkinData->BGChanged) return false;
    if (vcl::TControl* c = SkinData->OwnerControl();
        c && c->ComponentState().Contains(vcl::csLoading))
        return false;
    if (!win::IsWindowVisible(CtrlHandle)) return false;
    if (SkinData->CacheStale)
        win::SendMessageA(CtrlHandle, SM_ALPHACMD, SkinCommandWParam(SKC_CLEARCACHE), 0);
    if (Unhooked) return false;
    ScrollMouseState& s = ScrollMouse();
    bool current = s.CurrentWindow == CtrlHandle;
    bool painted = false;
    for (int kind : {int(win::SB_HORZ), int(win::SB_VERT)}) {
        if (!Bar(kind).Shown) continue;
        bool pressed = current && s.PressedBar == kind;
        PaintBar(kind, dc, pressed ? s.RepeatingPart : spNone, pressed ? thumbPos : -1);
        painted = true;
    }
    if (HBar.Shown && VBar.Shown) PaintSizeBox(dc);
    return painted;
}

}  // namespace skin

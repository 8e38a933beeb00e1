// The frame cache of a skinned form and the strips of it that reach the window.
//
// The whole window (frame, caption band, icon, caption text, menu band, buttons, client
// background) is painted into one bitmap, the form skin state's cache image, and only when that
// state's CacheStale flag says so. A non-client paint copies four strips of it to the window.
//
// Rules:
//  1. Rebuilds happen only on the stale flag (or a cache of the wrong size); a plain WM_NCPAINT
//     copies strips and paints nothing.
//  2. The right strip mirrors the left one: as wide as the left frame, from the caption's
//     bottom down.
//  3. Every strip, the grip and the icon are clipped to the cache and to their target; a form of
//     0 x 0, or one narrower than its frame, makes no bitmap of negative size.
//  4. A missing section or mask skips its element silently.
#include <algorithm>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "skin/core/paint/alpha_image_list.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/pixels/fast_pixels.h"
#include "skin/core/pixels/text_utils.h"
#include "skin/core/state/bordered_sections.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/graphic_children.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/skin_text.h"
#include "skin/core/state/system_utils.h"
#include "skin/windows/provider/frame_paint.h"
#include "skin/windows/provider/skin_provider.h"
#include "vcl/controls/menus.h"

namespace skin {

using namespace vcl;

namespace {

// The class library's forms have no inner border of their own.
constexpr int kFormBorderWidth = 0;
// DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER
constexpr uint32_t kCaptionTextFlags = 0x8824;

uint32_t StyleOf(win::HWND w) {
    return uint32_t(win::GetWindowLongPtrA(w, win::GWL_STYLE));
}

int TextWidthOn(TCanvas* canvas, const std::string& text) {
    if (text.empty()) return 0;
    win::SIZE s{};
    CanvasTextExtent(canvas, text, s);
    return s.cx;
}

}  // namespace

TacAddedTitle::TacAddedTitle(TsSkinProvider* provider)
    : provider_(provider), font_(std::make_unique<TFont>()) {
    font_->SetColor(TColor(clNone));
}
TacAddedTitle::~TacAddedTitle() = default;
void TacAddedTitle::SetText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    Changed();
}
void TacAddedTitle::SetFont(const TFont* font) {
    font_->Assign(font);
    Changed();
}
void TacAddedTitle::Changed() {
    if (provider_ && !provider_->ComponentState().Contains(csLoading)) provider_->RedrawCaption();
}

void BlitClipped(win::HDC dst, int x, int y, int w, int h, TBitmap* src, int sx, int sy) {
    if (!dst || !src) return;
    // Cut the source rectangle to the bitmap, moving the target with it.
    if (sx < 0) x -= sx, w += sx, sx = 0;
    if (sy < 0) y -= sy, h += sy, sy = 0;
    w = std::min(w, src->Width() - sx);
    h = std::min(h, src->Height() - sy);
    if (w <= 0 || h <= 0) return;
    win::BitBlt(dst, x, y, w, h, src->Canvas()->Handle(), sx, sy, win::SRCCOPY);
}

FrameStrips TsSkinProvider::NonClientStrips() {
    FrameStrips s;
    TBitmap* cache = skinData_ ? skinData_->CacheBmp() : nullptr;
    if (!cache || !form_ || !form_->HandleAllocated()) return s;
    const win::HWND h = form_->Handle();
    const int b = FullBorderWidthNoExt(true);
    const int t = (StyleOf(h) & win::WS_CAPTION) == win::WS_CAPTION ? CaptionAreaHeight() : b;
    const int l = FullBorderWidth(true);
    const int w = FormWidth();
    const int cacheW = cache->Width(), cacheH = cache->Height();
    const int formH = form_->Height();
    const int m = MenuPresent() && MenuBarVisible() ? MenuLineCount() * MenuHeight() + 1 : 0;
    const int c = SysBorderWidthNoExt(h, borderForm_, true) + CaptionHeight(true) +
                  (win::IsIconic(h) ? 1 : 0);
    const int below = c + m + kFormBorderWidth;
    s.Part[0] = {{0, 0, w, t}, {0, 0}};
    s.Part[1] = {{0, t, l, cacheH - t}, {0, below}};
    s.Part[2] = {{l, formH - b, w - l, b},
                 {skin::SysBorderWidth(h, borderForm_, true) + kFormBorderWidth, formH - b}};
    s.Part[3] = {{cacheW - l, t, l, cacheH - t}, {cacheW - l, below}};
    return s;
}

void TsSkinProvider::PaintNonClientArea(win::HDC dc) {
    if (!form_ || !skinData_ || !dc) return;
    TsCommonData* d = skinData_.get();
    if (!d->CacheBmp() || CacheSizeWrong()) d->CacheStale = true;
    if (d->CacheStale) {
        if (!TitleBGStillFits()) ClientRepaintPending = !FormPainted;
        PaintFrame();
        d->CacheStale = false;
        d->SetBGChanged(false);
    }
    TBitmap* cache = d->CacheBmp();
    if (!cache) return;
    const FrameStrips s = NonClientStrips();
    // Strips are (x, y, width, height) on the window, then the source point in the cache.
    for (const FrameStrips::Strip& p : s.Part)
        BlitClipped(dc, p.Dst.Left, p.Dst.Top, p.Dst.Right, p.Dst.Bottom, cache, p.Src.X, p.Src.Y);
}

namespace {

// Where a place along a side of `size` takes its source in a picture of `frame` sliced nine
// ways with borders `lo` and `hi`: borders kept, centre stretched.
int SliceSource(int at, int size, int frame, int lo, int hi) {
    lo = std::min(lo, frame / 2), hi = std::min(hi, frame - lo);
    int s;
    if (at < lo)
        s = at;
    else if (at >= size - hi)
        s = frame - (size - at);
    else
        s = lo + int(int64_t(at - lo) * std::max(frame - lo - hi, 1) / std::max(size - lo - hi, 1));
    return std::clamp(s, 0, frame - 1);
}

// The shadow picture laid over a w x h image as a nine-slice with borders `b`, centre clear,
// premultiplied as a layered window takes it.
struct ShadowSlice {
    PixelView Src;
    int W, H;
    TRect B;
    void At(int x, int y, uint8_t* out) const {
        if (x >= B.Left && x < W - B.Right && y >= B.Top && y < H - B.Bottom) {
            std::fill_n(out, 4, uint8_t(0));
            return;
        }
        const uint8_t* p = Src.At(SliceSource(x, W, Src.Width, B.Left, B.Right),
                                  SliceSource(y, H, Src.Height, B.Top, B.Bottom));
        const uint8_t a = Src.BytesPerPixel == 4 ? p[3] : 255;
        for (int c = 0; c < 3; ++c)
            out[c] = uint8_t((p[c] * a + 127) / 255);
        out[3] = a;
    }
};

}  // namespace

void PaintExtShadow(TsSkinManager* sm, bool active, const PixelView& cache, const TRect& m,
                    int formMask, int titleMask) {
    vcl::TBitmap* picture = active ? sm->ShadowActive() : sm->ShadowInactive();
    if (!picture || picture->Empty() || cache.Empty() || cache.BytesPerPixel != 4) return;
    const PixelView src = ViewOf(picture);
    if (src.Empty() || src.BytesPerPixel != 4) return;
    const int fo = sm->SkinData().FormOffset;
    const ShadowSlice slice{
        src, cache.Width, cache.Height, {m.Left + fo, m.Top + fo, m.Right + fo, m.Bottom + fo}};
    const int inL = m.Left, inT = m.Top, inR = cache.Width - m.Right, inB = cache.Height - m.Bottom;
    for (int y = 0; y < cache.Height; ++y) {
        const bool rowInside = y >= inT && y < inB;
        for (int x = 0; x < cache.Width; ++x) {
            if (rowInside && x == inL && inR > inL) x = inR;
            if (x >= cache.Width) break;
            slice.At(x, y, cache.At(x, y));
        }
    }
    // The frame's cut corners show the shadow under them instead of the opaque key colour.
    struct Corner {
        int Mask, Code;
    };
    const Corner corners[] = {{titleMask, kCornerTopLeft},
                              {titleMask, kCornerTopRight},
                              {formMask, kCornerBottomLeft},
                              {formMask, kCornerBottomRight}};
    for (const Corner& c : corners) {
        if (!sm->IsValidImgIndex(c.Mask)) continue;
        const bool right = c.Code == kCornerTopRight || c.Code == kCornerBottomRight;
        const bool bottom = c.Code == kCornerBottomLeft || c.Code == kCornerBottomRight;
        const int cw = right ? sm->MaskWidthRight(c.Mask) : sm->MaskWidthLeft(c.Mask);
        const int ch = bottom ? sm->MaskWidthBottom(c.Mask) : sm->MaskWidthTop(c.Mask);
        if (cw <= 0 || ch <= 0 || cw > cache.Width || ch > cache.Height) continue;
        const int x0 = right ? inR - cw : inL, y0 = bottom ? inB - ch : inT;
        std::unique_ptr<vcl::TBitmap> under(NewBitmap32(cw, ch));
        const PixelView u = ViewOf(under.get());
        for (int y = 0; y < ch; ++y)
            for (int x = 0; x < cw; ++x)
                slice.At(x0 + x, y0 + y, u.At(x, y));
        CopyMaskRectTransparent(cache, u, {x0, y0, x0 + cw, y0 + ch}, {0, 0}, c.Mask, &sm->Skin(),
                                c.Code);
    }
}

bool TsSkinProvider::CacheSizeWrong() const {
    // An iconic form or one with extended borders has a cache of another height than the form.
    if (borderForm_ || !form_->HandleAllocated() || win::IsIconic(form_->Handle())) return false;
    return FrameSizeChanged();
}

bool TsSkinProvider::TitleBGStillFits() const {
    TBitmap* cache = skinData_->CacheBmp();
    TsSkinManager* sm = SkinManager();
    if (MenuLineChanged || !sm || !TitleBG || !cache) return false;
    if (IsSingleImageMask(skinData_->BorderIndex, sm)) return false;
    return TitleBG->Width() == FormWidth() && cache->Height() == form_->Height() && HasBorder();
}

int TsSkinProvider::ResolvedTitleSkinIndex() const {
    const int cached = TitleSkinIndex();
    if (cached >= 0) return cached;
    TsSkinManager* sm = SkinManager();
    return sm ? sm->GetSkinIndex(TitleSkinSection()) : -1;
}

void TsSkinProvider::PaintFrame() {
    if (!form_ || !skinData_ || !form_->HandleAllocated() || FramePainting) return;
    TsSkinManager* sm = SkinManager();
    if (!sm) return;
    struct Painting {
        bool* flag;
        std::weak_ptr<int> life;
        ~Painting() {
            if (!life.expired()) *flag = false;
        }
    } painting{&FramePainting, life_};
    FramePainting = true;
    TsCommonData* d = skinData_.get();
    const win::HWND h = form_->Handle();
    const bool iconic = win::IsIconic(h);
    const TRect margins = GetFrameMargins();
    const int f = SysBorderWidthNoExt(h, borderForm_, true);
    const int hc = CaptionHeight(true);
    const int tc = f + hc + margins.Top;
    int limit = iconic ? tc - margins.Top + 2 : form_->Height();
    if (borderForm_) {
        limit += ExtBorderExtra(borderForm_) + skin::ExtCaptionExtra(borderForm_) + margins.Top +
                 margins.Bottom + (MenuPresent() ? 1 : 0);
    }
    d->InitCacheBmp();
    TBitmap* cache = d->CacheBmp();
    // 32 bits also without extended borders: the window's surface has them, so the strips of
    // every non-client paint copy as rows of bytes instead of pixel by pixel.
    cache->SetPixelFormat(pf32bit);
    const bool wasPlain = d->CtrlState & kCtrlPlainBG;
    d->UpdatePlainBGFlag(false);
    const bool plain = d->CtrlState & kCtrlPlainBG;
    if (plain != wasPlain && !form_->ComponentState().Contains(csLoading)) {
        TMessage m = SkinCommandMessage(SKC_PLAINBG, 0, 1);
        BroadcastToChildControls(form_, m);
    }

    if (d->CacheStale) {
        RegionChanged = true;
        const int w = std::max(FormWidth(), 0);
        limit = std::max(limit, 0);
        if (!BitmapSizeFits(w, limit)) return;
        if (cache->Width() != w || cache->Height() != limit) {
            // Everything is painted anew: the old picture need not be carried into the new one.
            cache->SetSize(0, 0);
            cache->SetSize(w, limit);
        }
        if (sm->IsValidSkinIndex(d->SkinIndex) && w > 0 && limit > 0) PaintFrameLayers(limit);
    }
    MenuLineChanged = false;
    d->CacheStale = false;
    if (form_->OnPaint && d->NeedsParentBG()) {
        // The form's own painting lands on the client part of the cache.
        const win::HDC cacheDC = cache->Canvas()->Handle();
        const int saved = win::SaveDC(cacheDC);
        win::POINT old{};
        win::SetWindowOrgEx(cacheDC, -ClientOffsetX(), -ClientOffsetY(), &old);
        TCanvas* canvas = form_->Canvas();
        const win::HDC formDC = canvas->HandleAllocated() ? canvas->Handle() : nullptr;
        canvas->SetHandle(cacheDC);
        form_->OnPaint(form_);
        canvas->SetHandle(formDC);
        win::RestoreDC(cacheDC, saved);
    }
    FormPainted = true;
}

void TsSkinProvider::PaintFrameLayers(int limit) {
    TsSkinManager* sm = SkinManager();
    TsCommonData* d = skinData_.get();
    TBitmap* cache = d->CacheBmp();
    const win::HWND h = form_->Handle();
    const TRect margins = GetFrameMargins();
    const int f = SysBorderWidthNoExt(h, borderForm_, true);
    const int tc = f + CaptionHeight(true) + margins.Top;
    const int w = cache->Width();
    const bool extCaption = borderForm_ && sm->SkinData().BorderMode == 1;
    const int state = FormActive ? 1 : 0;

    // A top-level form has nothing behind it; a child form shows its parent.
    CacheInfo bg = EmptyCacheInfo;
    PixelView parentView;
    BackgroundInfo info;
    if (form_->Parent()) {
        GetParentBackground(info, form_->Parent(), false);
        BGInfoToCacheInfo(info, bg, parentView);
    }
    const TRect whole{0, 0, w, limit};
    if (d->CtrlState & kCtrlPlainBG) {
        const int cx = ClientOffsetX(), cy = ClientOffsetY();
        FillRectSolid(cache->Canvas()->Handle(),
                      {cx, cy, cx + WndClientWidth(h), cy + WndClientHeight(h)}, FormColor());
        if (!extCaption) {
            TRect inner;
            PaintSectionWithBorders(cache->Canvas()->Handle(), whole, 0, d, state, inner);
        }
    } else if ((!HasBorder() && !form_->Parent()) || extCaption) {
        PaintSkinBackground(d->SkinIndex, d->SkinSection(), bg, state, whole, {0, 0}, cache, sm,
                            d->Texture, d->HotTexture, kTransparentKey);
    } else {
        PaintControlSection(d, bg, true, state, whole, {0, 0}, cache, 1);
    }

    if (GripVisible() && d->NeedsParentBG()) PaintGrip(nullptr);
    if (!extCaption) PaintTitleBar();

    // An iconic form's cache holds the caption only: no menu band fits in it.
    if (!win::IsIconic(h) && MenuPresent() && MenuBarVisible() && MenuHeight() > 0 &&
        DrawNonClientArea) {
        int line = -1;
        if (!menuLineSkin_.empty()) line = sm->GetSkinIndex(menuLineSkin_);
        const std::string section = line >= 0 ? menuLineSkin_ : std::string("MENULINE");
        if (line < 0) line = sm->GetSkinIndex(section);
        const TRect band{margins.Left + f, tc, w - margins.Right - f,
                         tc + MenuLineCount() * MenuHeight()};
        if (line >= 0 && band.Right > band.Left && band.Bottom > band.Top)
            PaintMaskWithBorders(line, section, EmptyCacheInfo, true, 0, band, {0, 0}, cache, sm,
                                 -1, -1);
        PaintMenuBarItems();
    }
    if (borderForm_ && !extCaption) PaintCaptionText();
    if (borderForm_) {
        // Everything painted so far is opaque; the margins take the shadow, and so do the
        // frame's cut corners.
        FillAlphaRect(ViewOf(cache), {0, 0, w, limit}, 255);
        const int title =
            sm->GetMaskIndex(ResolvedTitleSkinIndex(), TitleSkinSection(), "BORDERSMASK");
        PaintExtShadow(sm, FormActive, ViewOf(cache), margins, d->BorderIndex,
                       sm->IsValidImgIndex(title) ? title : d->BorderIndex);
    }
    if (IsSingleImageMask(d->BorderIndex, sm) && (!TitleBG || TitleBG->Width() != FormWidth()))
        SaveTitleBG();
    if (!borderForm_ && !extCaption) PaintCaptionText();
    if (CaptionHeight(true) != 0 && DrawNonClientArea) {
        SaveButtonsArea(false);
        PaintTitleButtons();
    }
}

void TsSkinProvider::PaintMenuBarItems() {
    TMainMenu* menu = form_->Menu();
    TBitmap* cache = skinData_->CacheBmp();
    if (!menu || !cache) return;
    const win::HWND h = form_->Handle();
    const win::HMENU bar = win::GetMenu(h);
    if (!bar) return;
    const TPoint origin = CacheScreenOrigin();
    TCanvas* canvas = cache->Canvas();
    canvas->Font()->Assign(form_->Font());
    const TOwnerDrawState state(0x500, 0);
    TsSkinManager* sm = SkinManager();
    int line = sm && !menuLineSkin_.empty() ? sm->GetSkinIndex(menuLineSkin_) : -1;
    if (sm && line < 0) line = sm->GetSkinIndex("MENULINE");
    const TColor bandFont =
        line >= 0 ? sm->Sections()[size_t(line)].FontColor : TColor(vcl::clMenuText);
    TMenuItem* items = menu->Items();
    int position = 0;
    for (int i = 0; i < items->Count(); ++i) {
        TMenuItem* item = items->Items(i);
        if (!item->Visible()) continue;
        win::RECT r{};
        if (win::GetMenuItemRect(h, bar, win::UINT(position++), &r)) {
            const TRect inCache{r.left - origin.X, r.top - origin.Y, r.right - origin.X,
                                r.bottom - origin.Y};
            if (item->OnAdvancedDrawItem) {
                item->AdvancedDrawItem(canvas, inCache, state);
            } else {
                // No skinned-menu painter owns the item: its caption goes straight onto the
                // skinned band, since the classic look would fill the band with the menu colour.
                canvas->Brush()->SetStyle(vcl::bsClear);
                canvas->Font()->SetColor(item->Enabled() ? bandFont : vcl::clGrayText);
                std::string text = item->Caption();
                std::erase(text, '&');
                const int th = canvas->TextHeight(text.empty() ? "W" : text);
                canvas->TextOut(inCache.Left + (inCache.Width() - canvas->TextWidth(text)) / 2,
                                inCache.Top + (inCache.Height() - th) / 2, text);
            }
        }
    }
}

void TsSkinProvider::PaintTitleBar() {
    TsSkinManager* sm = SkinManager();
    TBitmap* cache = skinData_ ? skinData_->CacheBmp() : nullptr;
    if (!sm || !cache || !form_->HandleAllocated() || !DrawNonClientArea) return;
    const win::HWND h = form_->Handle();
    if ((StyleOf(h) & win::WS_CAPTION) != win::WS_CAPTION && !win::IsIconic(h)) return;
    const TRect margins = GetFrameMargins();
    const int f = SysBorderWidthNoExt(h, borderForm_, true);
    const int tc = f + CaptionHeight(true) + margins.Top;
    const int bottom = win::IsIconic(h) ? std::min(tc + 2, cache->Height()) : tc;
    const int title = ResolvedTitleSkinIndex();
    const TRect band{0, 0, cache->Width(), std::min(bottom, cache->Height())};
    if (title >= 0 && band.Right > 0 && band.Bottom > 0)
        PaintMaskWithBorders(title, TitleSkinSection(), EmptyCacheInfo, true, FormActive ? 1 : 0,
                             band, {0, 0}, cache, sm, -1, -1);
    if (IconVisible()) PaintTitleIcon();
    if (VisibleSysBtnCount() > 0) {
        const int bar =
            sm->GetMaskIndex(skinData_->SkinIndex, skinData_->SkinSection(), "TITLEBAR");
        if (sm->IsValidImgIndex(bar)) {
            const TsMaskData& m = sm->Masks()[size_t(bar)];
            const int fw = FormWidth();
            const TRect r{fw - SkinFrameWidth(m), 0, fw, band.Bottom};
            if (r.Right > std::max(r.Left, 0))
                PaintMaskIntoRect(cache, {std::max(r.Left, 0), r.Top, r.Right, r.Bottom}, true,
                                  EmptyCacheInfo, m, FormActive ? 1 : 0, false);
        }
    }
}

win::HICON TsSkinProvider::FormIconHandle() const {
    if (!form_ || form_->Icon()->Empty() || !form_->HandleAllocated()) return nullptr;
    // The form keeps a copy at the small size, the nearest image of its icon file.
    return reinterpret_cast<win::HICON>(
        win::SendMessageA(form_->Handle(), win::WM_GETICON, win::ICON_SMALL, 0));
}

win::HICON TsSkinProvider::ProgramIconHandle(bool large) const {
    TApplication* app = Application();
    if (!app || app->Icon()->Empty()) return nullptr;
    if (large) return app->Icon()->Handle();
    return app->SmallIcon();
}

win::HICON TsSkinProvider::ApplicationIconHandle() const {
    TApplication* app = Application();
    if (!app) return nullptr;
    return reinterpret_cast<win::HICON>(
        win::SendMessageA(app->Handle(), win::WM_GETICON, win::ICON_SMALL2, 0));
}

void TsSkinProvider::PaintTitleIcon() {
    TBitmap* cache = skinData_ ? skinData_->CacheBmp() : nullptr;
    if (!cache || cache->Empty()) return;
    const TRect ir = IconRect();
    TBitmap* glyph = titleIcon_->Glyph();
    if (glyph && !glyph->Empty()) {
        if (glyph->PixelFormat() == pf32bit) {
            const PixelView dst = ViewOf(cache), src = ViewOf(glyph);
            DrawAlphaBitmapOverBg({ir.Left, ir.Top, ir.Left + src.Width, ir.Top + src.Height},
                                  {0, 0, src.Width, src.Height}, dst, src, EmptyCacheInfo, false);
        } else {
            const int captionArea = CaptionAreaHeight() - 2;
            const int bw =
                titleIcon_->Width > 0 ? titleIcon_->Width : TitleIconSizeFor(captionArea);
            const int bh =
                titleIcon_->Height > 0 ? titleIcon_->Height : TitleIconSizeFor(captionArea);
            glyph->SetTransparentColor(kTransparentKey);
            glyph->SetTransparent(true);
            cache->Canvas()->StretchDraw({ir.Left, ir.Top, ir.Left + bw, ir.Top + bh}, glyph);
        }
        return;
    }
    const win::HDC dc = cache->Canvas()->Handle();
    win::HICON icon = FormIconHandle();
    if (!icon) icon = ApplicationIconHandle();
    if (icon) {
        win::DrawIconEx(dc, ir.Left, ir.Top, icon, TitleIconWidth(), TitleIconHeight(), 0, nullptr,
                        win::DI_NORMAL);
        return;
    }
    // Without a size of its own, the icon fills the caption below its top.
    const int w = titleIcon_->Width > 0 ? titleIcon_->Width : CaptionHeight(true) - ir.Top;
    const int h = titleIcon_->Height > 0 ? titleIcon_->Height : CaptionHeight(true) - ir.Top;
    if (w <= 0 || h <= 0) return;
    icon = ProgramIconHandle(h > 16);
    if (!icon) icon = win::LoadIcon(nullptr, win::IDI_APPLICATION);
    win::DrawIconEx(dc, ir.Left, ir.Top, icon, w, h, 0, nullptr, win::DI_NORMAL);
}

void TsSkinProvider::PaintCaptionText() {
    TsSkinManager* sm = SkinManager();
    TBitmap* cache = skinData_ ? skinData_->CacheBmp() : nullptr;
    if (!sm || !cache || cache->Empty() || !DrawNonClientArea || !form_->HandleAllocated()) return;
    const win::HWND h = form_->Handle();
    if ((StyleOf(h) & win::WS_CAPTION) != win::WS_CAPTION) return;
    const TsSkinData& gd = sm->SkinData();
    const TRect margins = GetFrameMargins();
    const bool zoomed = win::IsZoomed(h);
    const int captionSection = sm->GetSkinIndex("CAPTION");
    const int title = ResolvedTitleSkinIndex();
    const int section = captionSection >= 0 ? captionSection : title;
    const int state = FormActive ? 1 : 0;
    const int sysBorder = skin::SysBorderWidth(h, borderForm_, true);

    TRect r;
    r.Left = sysBorder + (IconVisible() ? TitleIconWidth() : 0) + 4 + gd.BILeft + margins.Left +
             (captionSection >= 0 ? 2 : 0);
    r.Right = FormWidth() - ButtonsWidth() - 12 - margins.Right;
    r.Top = zoomed ? sysBorder / 2 + margins.Top + 1 : margins.Top + 2;
    if (borderForm_) {
        r.Top += gd.CenterOffset;
        if (zoomed && gd.TitleHeight != gd.MaxHeight)
            r.Top += (gd.TitleHeight - gd.MaxHeight) / 2 - 2;
    }
    r.Bottom = SysBorderWidthNoExt(h, borderForm_, true) + CaptionHeight(true) + margins.Top;

    TCanvas* canvas = cache->Canvas();
    const std::string& added = addedTitle_->Text();
    int addedW = 0;
    if (!added.empty()) {
        canvas->Font()->Assign(addedTitle_->Font());
        addedW = TextWidthOn(canvas, added);
    }
    CaptionFontScope font(canvas);
    const std::string text = form_->Caption();
    const int textW = TextWidthOn(canvas, text);
    const int textH = TextHeightOf(canvas, "Wy");

    r.Top += (r.Bottom - r.Top - textH) / 2;
    r.Bottom = r.Top + textH;
    const int width = r.Right - r.Left;
    switch (captionAlignment_) {
        case taRightJustify:
            if (width > textW + addedW + 4) r.Left = r.Right - (textW + addedW + 4);
            break;
        case taCenter:
            r.Left = std::max(r.Left, r.Left + (width - textW - addedW - 4) / 2);
            r.Right = std::min(r.Left + textW, r.Right);
            break;
        default:
            break;
    }
    if (r.Right <= r.Left) return;

    if (captionSection >= 0 && !text.empty()) PaintCaptionPlate(captionSection, r, text);
    const TsGeneralData& s = sm->Sections()[size_t(section >= 0 ? section : 0)];
    if (section >= 0) {
        const uint8_t glow = state ? s.HotGlowSize : s.GlowSize;
        if (glow != 0 && !RunsUnderWow64()) {
            BitmapPtr mask;
            DrawGlowText(cache, text, r, mask, state ? s.HotGlowColor : s.GlowColor, glow, 0,
                         kCaptionTextFlags);
        }
        DrawSectionTextEx(canvas, text, true, sm, state, section, kCaptionTextFlags, r);
    }
    if (!added.empty()) {
        TRect ar{r.Left + textW + 4, r.Top,
                 std::max(r.Right, FormWidth() - ButtonsWidth() - 12 - margins.Right), r.Bottom};
        if (ar.Right <= ar.Left) return;
        TFont* af = addedTitle_->Font();
        canvas->Font()->Assign(af);
        TColor color = af->Color();
        if (color == TColor(clNone) || color == TColor(clWindowText))
            color = title >= 0 ? (state ? sm->Sections()[size_t(title)].HotFontColor
                                        : sm->Sections()[size_t(title)].FontColor)
                               : af->Color();
        canvas->Font()->SetColor(color);
        canvas->Brush()->SetStyle(bsClear);
        CanvasDrawText(canvas, added, kCaptionTextFlags, ar);
    }
}

void TsSkinProvider::PaintCaptionPlate(int captionSection, const TRect& r,
                                       const std::string& text) {
    TsSkinManager* sm = SkinManager();
    TBitmap* cache = skinData_->CacheBmp();
    TRect plate = r;
    CanvasDrawText(cache->Canvas(), text, kCaptionTextFlags | win::DT_CALCRECT, plate);
    plate = {plate.Left - 4, r.Top - 2, std::min(plate.Right, r.Right) + 4, r.Bottom + 2};
    plate = IntersectRects(plate, {0, 0, cache->Width(), cache->Height()});
    if (plate.Right <= plate.Left || plate.Bottom <= plate.Top) return;
    // The plate mixes with the band as it was before the plate: a copy of the band above the
    // plate's bottom.
    const int w = cache->Width(), h = plate.Bottom;
    if (!CaptionImages[0] || CaptionImages[0]->Width() != w || CaptionImages[0]->Height() != h)
        CaptionImages[0].reset(NewBitmap32(w, h));
    TBitmap* under = CaptionImages[0].get();
    win::BitBlt(under->Canvas()->Handle(), 0, 0, w, h, cache->Canvas()->Handle(), 0, 0,
                win::SRCCOPY);
    const PixelView uv = ViewOf(under);
    PaintMaskWithBorders(captionSection, "CAPTION", MakeCacheInfo(&uv, 0, 0), true,
                         FormActive ? 1 : 0, plate, {plate.Left, plate.Top}, cache, sm, -1, -1);
}

void TsSkinProvider::PaintClientBackground(win::HDC dc, bool repaintChildren) {
    if (!form_ || !skinData_ || !dc || !form_->HandleAllocated()) return;
    TsCommonData* d = skinData_.get();
    const win::HWND h = form_->Handle();
    const TRect client{0, 0, WndClientWidth(h), WndClientHeight(h)};
    if ((d->CtrlState & kCtrlPlainBG) && !win::IsZoomed(h)) {
        FillRectSolid(dc, client, FormColor());
    } else {
        if (!d->CacheBmp() || CacheSizeWrong()) d->CacheStale = true;
        if (d->CacheStale) {
            PaintFrame();
            d->CacheStale = false;
        }
        CopyCacheBorderToDC(form_, d, {ClientOffsetX(), ClientOffsetY()}, 0, 0, false, dc, client);
        PaintParentBackground(dc, form_, {0, 0});
    }
    if (repaintChildren) {
        TMessage m = SkinCommandMessage(SKC_ENDPARENTUPDATE, 0, 0);
        BroadcastToChildControls(form_, m);
    }
}

void TsSkinProvider::RedrawCaption() {
    if (InAnimation || !form_ || !skinData_ || !DrawNonClientArea || !form_->HandleAllocated())
        return;
    // A form that shows its own frame keeps it.
    if (form_->ControlState.Contains(csDestroyingHandle) || Passive || !Skinned()) return;
    const win::HWND h = form_->Handle();
    if (!win::IsWindowVisible(h)) return;
    skinData_->CacheStale = true;
    if (borderForm_) {
        borderForm_->UpdateExBordersPos(true, 255);
        return;
    }
    WindowDCScope dc(h);
    PaintNonClientArea(dc.Get());
}

void TsSkinProvider::PaintGrip(win::HDC dc) {
    TsSkinManager* sm = SkinManager();
    TBitmap* cache = skinData_ ? skinData_->CacheBmp() : nullptr;
    if (!sm || !cache || cache->Empty()) return;
    const int grip = sm->GetMaskIndexByNames("GLOBALINFO", "GRIPIMAGE");
    if (!sm->IsValidImgIndex(grip)) return;
    const TsMaskData& m = sm->Masks()[size_t(grip)];
    const int gw = SkinFrameWidth(m), gh = SkinFrameHeight(m);
    if (gw <= 0 || gh <= 0) return;
    const TPoint p = GripPos(grip);
    std::unique_ptr<TBitmap> bmp(NewBitmap24(gw, gh));
    const win::HDC gdc = bmp->Canvas()->Handle(), cdc = cache->Canvas()->Handle();
    // The cache already holds the section under the grip, frame parts included.
    win::BitBlt(gdc, 0, 0, gw, gh, cdc, p.X, p.Y, win::SRCCOPY);
    const PixelView cv = ViewOf(cache);
    BlendMaskRegion(bmp.get(), {0, 0}, 0, 1, m, MakeCacheInfo(&cv, p.X, p.Y));
    BlitClipped(cdc, p.X, p.Y, gw, gh, bmp.get(), 0, 0);
    if (dc) BlitClipped(dc, p.X, p.Y, gw, gh, bmp.get(), 0, 0);
}

}  // namespace skin

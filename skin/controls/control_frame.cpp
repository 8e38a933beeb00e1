#include "skin/controls/control_frame.h"

#include <algorithm>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/painting.h"
#include "platform/user/user.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/state/engine_state.h"
#include "skin/core/pixels/fast_pixels.h"
#include "skin/core/state/graphic_children.h"
#include "skin/core/pixels/pixels.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/pixels/text_utils.h"
#include "vcl/graphics/bitmap.h"

namespace skin {

using namespace vcl;

bool RedrawFrozen() {
    return AnimationRunning;
}

int ClampInset(int value) {
    return std::clamp(value, -1024, 1024);
}

bool IsSkinnedNow(TControl* control, const TsCommonData* data) {
    return IsControlReadyToPaint(control) && IsControlSkinned(data);
}

bool IsOwnSkinChange(const TMessage& m, const TsCommonData* data) {
    if (m.Msg != SM_ALPHACMD || !data) return false;
    const uint16_t code = SkinCommandCode(m.WParam);
    if (code != SKC_NEWSKIN && code != SKC_REMOVESKIN && code != SKC_REFRESH) return false;
    return reinterpret_cast<TsSkinManager*>(m.LParam) == data->GetSkinManager();
}

std::string FontKey(vcl::TFont* font) {
    if (!font) return {};
    return font->Name() + '/' + std::to_string(font->Height()) + '/' +
           std::to_string(font->Style().Bits()) + '/' + std::to_string(int(font->Charset())) + '/' +
           std::to_string(int(font->Pitch())) + '/' + std::to_string(uint32_t(font->Color()));
}

bool CacheNeedsBuild(TControl* control, TsCommonData* data, bool changed) {
    const TBitmap* cache = data->CacheBmp();
    if (changed || data->CacheStale || !cache || cache->Width() != control->Width() ||
        cache->Height() != control->Height())
        return true;
    TWinControl* parent = control->Parent();
    return parent && !RectIsInRect(parent->ClientRect(), control->BoundsRect());
}

bool DecideCacheStale(TControl* control, TsCommonData* data) {
    data->BGChanged = data->GetBGChanged();
    if (data->BGChanged) return false;
    TWinControl* parent = control->Parent();
    data->CacheStale = data->CacheStale || data->HalfVisible ||
                       (parent && SendSkinCommandNoParam(parent, SKC_ISHALFVISIBLE) != 0);
    NoteHalfVisible(control, data);
    return true;
}

void NoteHalfVisible(TControl* control, TsCommonData* data) {
    TWinControl* parent = control->Parent();
    data->HalfVisible = parent && !RectIsInRect(parent->ClientRect(), control->BoundsRect());
}

void PaintSectionIntoCache(TControl* control, TsCommonData* data, int state, bool borders,
                           int height) {
    data->InitCacheBmp();
    TBitmap* cache = data->CacheBmp();
    if (height >= 0) cache->SetSize(control->Width(), height);
    const TRect all(0, 0, control->Width(), height >= 0 ? height : control->Height());
    CacheInfo parent;
    PixelView view;
    GetParentBGInfo(data, parent, view);
    const TPoint at{control->Left(), control->Top()};
    if (borders)
        PaintControlSection(data, parent, true, state, all, at, cache, 1);
    else
        PaintControlBackground(data, parent, state, all, at, cache);
}

void CopyParentBackground(TControl* control, const CacheInfo& parent, TBitmap* cache, int height) {
    const int w = cache->Width();
    if (parent.Ready && parent.Bmp) {
        const PixelView dst = ViewOf(cache);
        const CopyArea a = ClipCopy(0, 0, parent.X + control->Left(), parent.Y + control->Top(), w,
                                    height, dst, *parent.Bmp);
        // The parent's image may be 32-bit; the cache is 24-bit.
        if (!a.Empty() && parent.Bmp->BytesPerPixel >= 3 && dst.BytesPerPixel >= 3)
            for (int y = 0; y < a.Height; ++y)
                for (int x = 0; x < a.Width; ++x)
                    std::copy_n(parent.Bmp->At(a.SrcX + x, a.SrcY + y), 3,
                                dst.At(a.DstX + x, a.DstY + y));
        return;
    }
    const TColor behind = parent.FillColor == kTransparentKey && control->Parent()
                              ? TColor(AskControlBackColor(control->Parent()))
                              : parent.FillColor;
    FillRectSolid(cache->Canvas()->Handle(), TRect(0, 0, w, height), behind);
}

void BlendDisabledCache(TControl* control, TsCommonData* data, TsDisabledKind kind) {
    TBitmap* cache = data->CacheBmp();
    if (!cache || cache->Width() < 1 || cache->Height() < 1) return;
    CacheInfo parent;
    PixelView view;
    GetParentBGInfo(data, parent, view);
    TColor color = control->Parent() ? control->Parent()->Color() : control->Color();
    BlendDisabledEffect(ViewOf(cache), kind, parent, {control->Left(), control->Top()}, color);
}

FramePaintDC::FramePaintDC(TWinControl* control, win::HDC dc, bool clientDC, bool saveOwn)
    : control_(control), painting_(!RedrawFrozen()), dc_(dc), clientDC_(clientDC) {
    if (painting_) win::BeginPaint(control_->Handle(), &ps_);
    if (!dc_) {
        own_ = dc_ = win::GetWindowDC(control_->Handle());
        if (saveOwn) saved_ = win::SaveDC(dc_);
        clientDC_ = false;
    }
}

FramePaintDC::~FramePaintDC() {
    if (own_) {
        if (saved_) win::RestoreDC(own_, saved_);
        win::ReleaseDC(control_->Handle(), own_);
    }
    if (painting_) win::EndPaint(control_->Handle(), &ps_);
}

void WithCacheAsBackground(TBitmap* cache, const std::function<void(const CacheInfo&)>& draw) {
    const PixelView view = ViewOf(cache);
    draw(MakeCacheInfo(&view, 0, 0));
}

void WithCopyAsBackground(TBitmap* bmp, const std::function<void(const CacheInfo&)>& draw) {
    TBitmap under;
    under.SetPixelFormat(pf24bit);
    under.SetSize(bmp->Width(), bmp->Height());
    win::BitBlt(under.Canvas()->Handle(), 0, 0, bmp->Width(), bmp->Height(),
                bmp->Canvas()->Handle(), 0, 0, win::SRCCOPY);
    WithCacheAsBackground(&under, draw);
}

void DrawEmbossedText(win::HDC dc, const std::string& text, TRect& r, uint32_t flags) {
    auto draw = [&](int d, win::COLORREF color) {
        win::RECT box{r.Left + d, r.Top + d, r.Right + d, r.Bottom + d};
        win::SetTextColor(dc, color);
        win::DrawText(dc, text.c_str(), static_cast<int>(text.size()), &box, flags);
        return box;
    };
    draw(1, win::GetSysColor(win::COLOR_BTNHIGHLIGHT));
    r = draw(0, win::GetSysColor(win::COLOR_BTNSHADOW));
}

void PaintOnPaintDC(TWinControl* control, const TMessage& m,
                    const std::function<void(win::HDC)>& paint) {
    win::HDC dc = reinterpret_cast<win::HDC>(m.WParam);
    if (dc) {
        paint(dc);
        ValidateOnly(control);
        return;
    }
    win::PAINTSTRUCT ps{};
    dc = win::BeginPaint(control->Handle(), &ps);
    paint(dc);
    win::EndPaint(control->Handle(), &ps);
}

bool AnswerContainerCommand(TWinControl* container, TsCommonData* data, TMessage& m,
                            const std::function<void(BackgroundInfo&)>& background) {
    const bool own = IsOwnSkinChange(m, data);
    if (AnswerCommonCommands(m)) return true;
    switch (SkinCommandCode(m.WParam)) {
        // The broadcast reaches a skinned container's children only through it.
        case SKC_NEWSKIN:
            data->UpdatePlainBGFlag(true);
            if (own) CommonWndProc(m, data);
            BroadcastToChildControls(container, m);
            return true;
        case SKC_GETBGINFO:
            if (m.LParam) background(*reinterpret_cast<BackgroundInfo*>(m.LParam));
            m.Result = 1;
            return true;
        default:
            return false;
    }
}

void CopyCacheToDC(TWinControl* control, TsCommonData* data, win::HDC dc, bool clientDC) {
    TBitmap* cache = data->CacheBmp();
    if (!cache || !dc) return;
    int x = 0, y = 0;
    if (clientDC && control->HandleAllocated()) {
        win::RECT client{};
        GetClientRectInWindow(control->Handle(), client);
        x = -client.left;
        y = -client.top;
    }
    win::BitBlt(dc, x, y, control->Width(), control->Height(), cache->Canvas()->Handle(), 0, 0,
                win::SRCCOPY);
}

void CopyCacheBorders(TControl* control, TsCommonData* data, win::HDC dc, int width) {
    TBitmap* cache = data->CacheBmp();
    if (!cache || !dc || width <= 0) return;
    CopyBorderStrips(dc, 0, 0, control->Width(), control->Height(), cache->Canvas()->Handle(), 0,
                     0, width);
}

void ValidateOnly(TWinControl* control) {
    if (!control->HandleAllocated()) return;
    win::PAINTSTRUCT ps;
    win::BeginPaint(control->Handle(), &ps);
    win::EndPaint(control->Handle(), &ps);
}

void TakeSectionColors(TControl* control, TsCommonData* data, bool active) {
    const TsGeneralData* s = data->Section();
    if (!s) return;
    const auto color = vcl::TColor(active ? s->HotColor : s->Color);
    const auto font = vcl::TColor(active ? s->HotFontColor : s->FontColor);
    if (!data->CustomColor() && control->Color() != color) control->SetColor(color);
    if (!data->CustomFont() && control->Font()->Color() != font) control->Font()->SetColor(font);
}

void TakeSkinColors(TControl* control, TsCommonData* data) {
    if (IsControlSkinned(data)) TakeSectionColors(control, data, false);
}

void TakeWindowColors(TControl* control, TsCommonData* data) {
    if (!data->CustomColor()) control->SetColor(clWindow);
    if (!data->CustomFont()) control->Font()->SetColor(clWindowText);
}

bool AnswerCommonCommands(vcl::TMessage& m) {
    if (m.Msg != SM_ALPHACMD) return false;
    switch (SkinCommandCode(m.WParam)) {
        case SKC_ISSKINAWARE:
            m.Result = 1;
            return true;
        case SKC_GETAPPLICATION:
            m.Result = reinterpret_cast<intptr_t>(vcl::Application());
            return true;
        default:
            return false;
    }
}

}  // namespace skin

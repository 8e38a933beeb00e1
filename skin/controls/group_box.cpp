#include "skin/controls/group_box.h"

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/user/painting.h"
#include "platform/user/user.h"
#include "skin/controls/control_frame.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/pixels/pixels.h"
#include "skin/core/state/graphic_children.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/skin_text.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/bitmap.h"

namespace skin {

using namespace vcl;

std::vector<TPropInfo> TsGroupBox::Published() {
    using G = TsGroupBox;
    return {Property("CaptionLayout", &G::CaptionLayout, &G::SetCaptionLayout),
            Property("CaptionYOffset", &G::CaptionYOffset, &G::SetCaptionYOffset),
            Property("CaptionSkin", &G::CaptionSkin, &G::SetCaptionSkin),
            Property("SkinData", &G::SkinData)};
}

TsGroupBox::TsGroupBox(TComponent* owner)
    : TGroupBox(owner), skinData_(std::make_unique<TsCommonData>(this, true)) {
    skinData_->COC = 74;
}

TsGroupBox::~TsGroupBox() = default;

void TsGroupBox::AfterConstruction() {
    TGroupBox::AfterConstruction();
    skinData_->Loaded();
}

void TsGroupBox::Loaded() {
    TGroupBox::Loaded();
    skinData_->Loaded();
}

void TsGroupBox::SetCaptionLayout(TsCaptionLayout layout) {
    if (layout == captionLayout_) return;
    captionLayout_ = layout;
    Realign();
    skinData_->Invalidate();
}

void TsGroupBox::SetCaptionYOffset(int offset) {
    if (offset == captionYOffset_) return;
    captionYOffset_ = offset;
    Realign();
    skinData_->Invalidate();
}

void TsGroupBox::SetCaptionSkin(const std::string& section) {
    if (section == captionSkin_) return;
    captionSkin_ = section;
    skinData_->Invalidate();
}

TRect TsGroupBox::CaptionRect(int width) {
    width = std::min(width, Width());
    int x = 6;
    if (captionLayout_ == clTopRight) x = Width() - width - 14;
    if (captionLayout_ == clTopCenter) x = (Width() - width - 4 - 6) / 2;
    x = std::max(x, 0);
    const int top = std::min(captionYOffset_, 0);
    return Rect(x, top, x + width, top + CaptionHeight());
}

int TsGroupBox::CaptionHeight() {
    TCanvas* canvas = skinData_->CacheBmp() ? skinData_->CacheBmp()->Canvas() : Canvas();
    canvas->SetFont(Font());
    return std::max(4, canvas->TextHeight("W")) + 2;
}

namespace {

constexpr int kCaptionMargin = 4;  // on each side of the caption's text

}  // namespace

void TsGroupBox::PrepareCache() {
    TsCommonData* d = skinData_.get();
    // A box wholly inside its parent tells its children that their background is kept.
    NoteHalfVisible(this, d);
    d->InitCacheBmp();
    TBitmap* cache = d->CacheBmp();
    const int w = Width(), h = Height();
    if (w < 1 || h < 1) {
        d->CacheStale = false;
        return;
    }
    CacheInfo parent;
    PixelView view;
    GetParentBGInfo(d, parent, view);
    const std::string caption = Caption();
    cache->Canvas()->SetFont(Font());
    const int textWidth = caption.empty() ? 0 : cache->Canvas()->TextWidth(caption);
    const TRect cr = CaptionRect(caption.empty() ? 0 : textWidth + 2 * kCaptionMargin);
    // What lies behind the box shows above its frame.
    const int frameTop = std::clamp(captionYOffset_ < 0 ? 0 : cr.Top + cr.Height() / 2, 0, h);
    CopyParentBackground(this, parent, cache, frameTop);
    if (frameTop < h)
        PaintControlSection(d, parent, true, 0, TRect(0, frameTop, w, h), {Left(), Top()}, cache,
                            1);
    if (!caption.empty() && cr.Width() > 0) {
        TsSkinManager* m = d->GetSkinManager();
        const std::string section = captionSkin_.empty() ? "CHECKBOX" : captionSkin_;
        const int index = m ? m->GetSkinIndex(section) : -1;
        const TRect shown(cr.Left, std::max(cr.Top, 0), cr.Right, std::min(cr.Bottom, h));
        if (m && m->IsValidSkinIndex(index)) {
            WithCacheAsBackground(cache, [&](const CacheInfo& self) {
                PaintMaskWithBorders(index, section, self, true, 0, shown, {0, 0}, cache, m, -1,
                                     -1);
            });
        } else {
            FillRectSolid(cache->Canvas()->Handle(), shown, TColor(vcl::ColorToRGB(Color())));
        }
        DrawSkinText(cache->Canvas(), caption, Enabled(), 0, d,
                     win::DT_CENTER | win::DT_VCENTER | win::DT_SINGLELINE, cr);
    }
    d->CacheStale = false;
}

void TsGroupBox::PaintBox(win::HDC dc) {
    TsCommonData* d = skinData_.get();
    if (!dc || d->GetBGChanged()) return;
    if (d->CacheStale || (d->ShowsParentBG() && d->HalfVisible)) PrepareCache();
    CopyCacheBorderToDC(this, d, {0, 0}, 0, 0, false, dc, TRect(0, 0, Width(), Height()));
    PaintParentBackground(dc, this, {0, 0});
    RepaintChangedChildren(this);
}

void TsGroupBox::AnswerBackground(BackgroundInfo& info) {
    TsCommonData* d = skinData_.get();
    // As a panel: a box that was told it is clipped finds out again whether it is.
    if ((d->CacheStale || d->HalfVisible) && !d->GetBGChanged() && IsSkinnedNow(this, d))
        PrepareCache();
    if (captionSkin_.empty() || !d->CacheBmp()) {
        d->GetBGInfo(info, false, nullptr);
        return;
    }
    info.BgType = btCache;
    if (info.PleaseDraw && info.DC) {
        win::BitBlt(info.DC, info.R.Left, info.R.Top, info.R.Width(), info.R.Height(),
                    d->CacheBmp()->Canvas()->Handle(), info.Offset.X, info.Offset.Y, win::SRCCOPY);
    } else {
        info.Bmp = d->CacheBmp();
        info.Offset = {0, 0};
    }
}

void TsGroupBox::AdjustClientRect(TRect& r) {
    TGroupBox::AdjustClientRect(r);
    if (!ComponentState().Contains(csDestroying)) r.Top += captionYOffset_;
}

// The skin commands the box answers itself; false sends the message on.
bool TsGroupBox::SkinCommand(TMessage& m) {
    TsCommonData* d = skinData_.get();
    const bool own = IsOwnSkinChange(m, d);
    if (AnswerContainerCommand(this, d, m, [this](BackgroundInfo& i) { AnswerBackground(i); }))
        return true;
    switch (SkinCommandCode(m.WParam)) {
        // A skin's removal and refresh go on to the children too.
        case SKC_REMOVESKIN:
        case SKC_REFRESH:
            if (!own) return true;
            if (SkinCommandCode(m.WParam) == SKC_REMOVESKIN) BroadcastToChildControls(this, m);
            CommonWndProc(m, d);
            if (SkinCommandCode(m.WParam) == SKC_REFRESH) BroadcastToChildControls(this, m);
            d->UpdatePlainBGFlag(true);
            Repaint();
            return true;
        case SKC_SETKEEPCACHE:
            CommonWndProc(m, d);
            if (!d->KeepCache && IsSkinnedNow(this, d)) PrepareCache();
            return true;
        case SKC_ENDPARENTUPDATE:
            if (d->BGChanged) {
                d->BGChanged = d->GetBGChanged();
                if (!d->BGChanged && Showing()) Repaint();
            }
            return true;
        case SKC_ISUPDATING:
            m.Result = d->CacheStale || d->BGChanged ? 1 : 0;
            return true;
        default:
            return UpdateControlSkin(m, d);
    }
}

void TsGroupBox::WndProc(TMessage& m) {
    TsCommonData* d = skinData_.get();
    if (m.Msg == SM_ALPHACMD && SkinCommand(m)) return;
    if (IsSkinnedNow(this, d)) {
        switch (m.Msg) {
            case win::WM_PAINT:
                PaintOnPaintDC(this, m, [this](win::HDC dc) { PaintBox(dc); });
                return;
            case win::WM_ERASEBKGND:
                m.Result = 1;
                return;
            case win::WM_PRINT:
                d->BGChanged = false;
                PaintBox(reinterpret_cast<win::HDC>(m.WParam));
                return;
            case win::WM_SETFOCUS:
            case win::WM_KILLFOCUS:
                TGroupBox::WndProc(m);
                return;
            case CM_TEXTCHANGED:
                d->Invalidate();
                break;
            case win::WM_MOVE:
                if (d->ShowsParentBG()) d->CacheStale = true;
                break;
            case win::WM_WINDOWPOSCHANGED:
            case CM_VISIBLECHANGED:
                d->CacheStale = true;
                break;
            default:
                break;
        }
    }
    if (CommonWndProc(m, d)) return;
    TGroupBox::WndProc(m);
    if (m.Msg == CM_FONTCHANGED) d->Invalidate();
}

}  // namespace skin

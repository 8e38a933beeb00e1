#include "skin/controls/bevel.h"

#include "platform/gdi/gdi.h"
#include "skin/controls/control_frame.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/pixels/pixels.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/bitmap.h"

namespace skin {

using namespace vcl;

std::vector<TPropInfo> TsBevel::Published() {
    return {Property("SkinData", &TsBevel::SkinData)};
}

TsBevel::TsBevel(TComponent* owner)
    : TBevel(owner), skinData_(std::make_unique<TsCommonData>(this, true)) {
    skinData_->COC = 92;
}

TsBevel::~TsBevel() = default;

void TsBevel::ChooseSection() {
    shape_ = Shape();
    style_ = Style();
    skinData_->SetSkinSection(shape_ == bsFrame    ? "GROUPBOX"
                              : style_ == bsRaised ? "PANEL"
                                                   : "PANEL_LOW");
}

void TsBevel::AfterConstruction() {
    TBevel::AfterConstruction();
    ChooseSection();
    skinData_->Loaded();
}

void TsBevel::Loaded() {
    TBevel::Loaded();
    ChooseSection();
    skinData_->Loaded();
}

void TsBevel::Invalidate() {
    if (skinData_ && (Shape() != shape_ || Style() != style_)) {
        ChooseSection();
        skinData_->CacheStale = true;
    }
    TBevel::Invalidate();
}

namespace {

constexpr int kStrip = 3;  // the width of every strip the bevel shows

}  // namespace

void TsBevel::PrepareCache() {
    TsCommonData* d = skinData_.get();
    d->InitCacheBmp();
    CacheInfo parent;
    PixelView view;
    GetParentBGInfo(d, parent, view);
    PaintMaskWithBorders(d->SkinIndex, d->SkinSection(), parent, false, 0,
                         TRect(0, 0, Width(), Height()), {Left(), Top()}, d->CacheBmp(),
                         d->GetSkinManager(), d->Texture, d->HotTexture);
    d->CacheStale = false;
}

void TsBevel::Paint() {
    TsCommonData* d = skinData_.get();
    if (Shape() == bsSpacer || !IsSkinnedNow(this, d)) {
        TBevel::Paint();
        return;
    }
    if (Width() < 1 || Height() < 1) return;
    if (d->CacheStale) PrepareCache();
    win::HDC dst = Canvas()->Handle(), src = d->CacheBmp()->Canvas()->Handle();
    const int w = Width(), h = Height();
    auto copy = [&](int l, int t, int r, int b) {
        if (r > l && b > t) win::BitBlt(dst, l, t, r - l, b - t, src, l, t, win::SRCCOPY);
    };
    switch (Shape()) {
        case bsBox:
        case bsFrame:
            CopyBorderStrips(dst, 0, 0, w, h, src, 0, 0, kStrip);
            break;
        case bsTopLine:
            copy(kStrip, 0, w - kStrip, kStrip);
            break;
        case bsBottomLine:
            copy(kStrip, h - kStrip, w - kStrip, h);
            break;
        case bsLeftLine:
            copy(0, kStrip, kStrip, h - kStrip);
            break;
        case bsRightLine:
            copy(w - kStrip, kStrip, w, h - kStrip);
            break;
        case bsSpacer:
            break;
    }
    Canvas()->Refresh();
}

void TsBevel::WndProc(TMessage& m) {
    TsCommonData* d = skinData_.get();
    if (m.Msg == SM_ALPHACMD) {
        const bool own = IsOwnSkinChange(m, d);
        if (AnswerCommonCommands(m)) return;
        switch (SkinCommandCode(m.WParam)) {
            case SKC_REPAINTGRAPHIC:
                d->BGChanged = false;
                d->CacheStale = true;
                Invalidate();
                return;
            case SKC_NEWSKIN:
            case SKC_REMOVESKIN:
            case SKC_REFRESH:
                if (!own) break;
                CommonWndProc(m, d);
                if (SkinCommandCode(m.WParam) != SKC_NEWSKIN && Visible()) Invalidate();
                return;
            default:
                break;
        }
    }
    if (IsSkinnedNow(this, d)) {
        if (m.Msg == win::WM_ERASEBKGND) return;
        if ((m.Msg == win::WM_SIZE || m.Msg == win::WM_WINDOWPOSCHANGED) && Visible())
            d->CacheStale = true;
        CommonWndProc(m, d);
    }
    TBevel::WndProc(m);
}

}  // namespace skin

#include "skin/controls/frame_adapter.h"

#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "skin/controls/control_frame.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/paint/glyph_layout.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/state/graphic_children.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/bordered_sections.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "vcl/controls/menus.h"
#include "vcl/system/exceptions.h"

namespace skin {

using namespace vcl;

namespace {

constexpr const char* kSection = "GROUPBOX";
constexpr uint32_t kRedrawChildren = win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_FRAME |
                                     win::RDW_ALLCHILDREN | win::RDW_UPDATENOW;

}  // namespace

TsFrameAdapter::TsFrameAdapter(TComponent* owner) : TComponent(owner) {
    frame_ = dynamic_cast<TCustomFrame*>(owner);
    if (!frame_) throw Exception("TsFrameAdapter adapter must be placed on the handled frame");
    data_ = std::make_unique<TsCommonData>(frame_, true);
    if (data_->SkinSection().empty() || data_->SkinSection() == ClassName())
        data_->SetSkinSection(kSection);
    data_->COC = 226;
    oldProc_ = frame_->WindowProc;
    frame_->WindowProc = TWndMethod(this, &TsFrameAdapter::WndProc);
}

TsFrameAdapter::~TsFrameAdapter() {
    adapter_.reset();
    if (frame_ && frame_->WindowProc == TWndMethod(this, &TsFrameAdapter::WndProc))
        frame_->WindowProc = oldProc_;
    frame_ = nullptr;
    data_.reset();
}

std::vector<TPropInfo> TsFrameAdapter::Published() {
    return {Property("SkinData", &TsFrameAdapter::SkinData)};
}

bool TsFrameAdapter::FrameSkinned() const {
    return frame_ && frame_->HandleAllocated() &&
           win::SendMessageA(frame_->Handle(), SM_ALPHACMD, SkinCommandWParam(SKC_ISSKINAWARE), 0) == 1;
}

void TsFrameAdapter::AfterConstruction() {
    TComponent::AfterConstruction();
    if (frame_ && (!frame_->HandleAllocated() || FrameSkinned())) data_->UpdateIndexes();
}

void TsFrameAdapter::Loaded() {
    TComponent::Loaded();
    if (!frame_) return;
    TsSkinManager* mgr = data_->GetSkinManager();
    if (mgr) data_->UpdateIndexes();
    if (mgr && mgr->SkinData().Active && !ComponentState().Contains(csDesigning))
        OwnerDrawPopups();
    if (IsControlSkinned(data_.get())) NotifyForm();
}

void TsFrameAdapter::NotifyForm() {
    TsSkinManager* mgr = data_->GetSkinManager();
    if (mgr && mgr->SkinningRules().Contains(srThirdParty)) NotifyParentForm(frame_);
}

void TsFrameAdapter::OwnerDrawPopups() {
    TsSkinManager* mgr = data_->GetSkinManager();
    if (!mgr || !mgr->SkinnedPopups()) return;
    for (int i = 0; i < frame_->ComponentCount(); ++i)
        if (auto* popup = dynamic_cast<TPopupMenu*>(frame_->Components(i)))
            Neighbours().SetMenuOwnerDraw(mgr->SkinableMenus(), popup, true);
}

void TsFrameAdapter::TellChildren(uint16_t code) {
    TMessage m{SM_ALPHACMD, SkinCommandWParam(code),
               reinterpret_cast<intptr_t>(data_->GetSkinManager()), 0};
    BroadcastToChildControls(frame_, m);
}

void TsFrameAdapter::Redraw(uint32_t flags) {
    if (frame_->HandleAllocated()) win::RedrawWindow(frame_->Handle(), nullptr, nullptr, flags);
}

// The core's colour rule: the parent's share is the section's transparency.
TColor TsFrameAdapter::BackgroundColor() {
    if (!IsControlSkinned(data_.get())) return ColorToRGB(frame_->Color());
    if (data_->NeedsParentBG()) return TColor(0xFF00FF);
    BackgroundColorQuery q;
    q.Skinned = true;
    q.OwnerColor = ColorToRGB(frame_->Color());
    if (const TsGeneralData* s = data_->Section()) {
        q.SectionColor = TColor(s->Color);
        q.Transparency = s->Transparency;
    }
    q.HasParent = frame_->Parent() != nullptr;
    if (q.HasParent) q.ParentColor = ColorToRGB(frame_->Parent()->Color());
    return AnswerBackgroundColor(q, [&] { return AskControlBackColor(frame_->Parent()); });
}

// The commands answered skinned or not.
bool TsFrameAdapter::SkinCommand(TMessage& m) {
    const uint16_t code = SkinCommandCode(m.WParam);
    switch (code) {
        case SKC_GETSKININDEX:
            if (m.LParam) *reinterpret_cast<int32_t*>(m.LParam) = data_->SkinIndex;
            return true;
        case SKC_ISSKINAWARE:
            m.Result = 1;
            return true;
        case SKC_STOPFADE:
            BroadcastToChildControls(frame_, m);
            return true;
        case SKC_GETBGINFO:
            if (m.LParam)
                data_->GetBGInfo(*reinterpret_cast<BackgroundInfo*>(m.LParam), false,
                                 frame_->HandleAllocated() ? frame_->Handle() : nullptr);
            return true;
        case SKC_BEFORESCROLL: {
            // What shows through the frame moves with the scroll: the frame waits for it.
            TWinControl* parent = frame_->Parent();
            if (redrawOff_ || !frame_->HandleAllocated() ||
                !((parent && SendSkinCommandNoParam(parent, SKC_ISHALFVISIBLE) != 0) ||
                  data_->ShowsParentBG()))
                return true;
            win::SendMessageA(frame_->Handle(), win::WM_SETREDRAW, 0, 0);
            redrawOff_ = true;
            return true;
        }
        case SKC_AFTERSCROLL:
            // Drawing comes back by what was switched off, not by asking again: the parent's
            // clipping may have changed with the scroll.
            if (!redrawOff_) return true;
            redrawOff_ = false;
            if (!frame_->HandleAllocated()) return true;
            win::SendMessageA(frame_->Handle(), win::WM_SETREDRAW, 1, 0);
            Redraw(win::RDW_INVALIDATE | win::RDW_FRAME | win::RDW_ALLCHILDREN |
                   win::RDW_UPDATENOW);
            return true;
        default:
            break;
    }
    if (AnswerCommonCommands(m)) return true;
    if (!IsOwnSkinChange(m, data_.get())) return false;
    if (code == SKC_NEWSKIN) {
        BroadcastToChildControls(frame_, m);
        CommonWndProc(m, data_.get());
        OwnerDrawPopups();
    } else if (code == SKC_REMOVESKIN) {
        adapter_.reset();
        CommonWndProc(m, data_.get());
        BroadcastToChildControls(frame_, m);
        if (frame_->HandleAllocated())
            win::SetWindowPos(frame_->Handle(), nullptr, 0, 0, 0, 0,
                              win::SWP_FRAMECHANGED | win::SWP_NOMOVE | win::SWP_NOSIZE);
        Redraw(kRedrawChildren);
    } else {
        CommonWndProc(m, data_.get());
        data_->UpdateIndexes();
        BroadcastToChildControls(frame_, m);
        Redraw(kRedrawChildren);
        WindowSlots().UpdateScrollWndAdapter(data_.get(), adapter_);
    }
    return true;
}

// The commands answered while the frame paints through an active skin.
bool TsFrameAdapter::SkinnedCommand(TMessage& m) {
    TsCommonData* d = data_.get();
    switch (SkinCommandCode(m.WParam)) {
        case SKC_ENDPARENTUPDATE:
            if (d->BGChanged) {
                d->CacheStale = true;
                Redraw(win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_ALLCHILDREN);
            }
            return true;
        case SKC_SETBGCHANGED:
            d->BGChanged = win::LOWORD(m.WParam) != 0;
            BroadcastToChildControls(frame_, m);
            return true;
        case SKC_ISUPDATING:
            m.Result = d->BGChanged ? 1 : 0;
            return true;
        case SKC_SETTRANSCHANGED:
            if (const TsGeneralData* s = d->Section(); s && s->Transparency > 0) d->CacheStale = true;
            return true;
        case SKC_ISSEETHROUGH: {
            const TsGeneralData* s = d->Section();
            m.Result = s && (s->GradientPercent + s->ImagePercent >= 1 || d->NeedsParentBG()) ? 1 : 0;
            return true;
        }
        case SKC_GETBGCOLOR:
            m.Result = static_cast<intptr_t>(BackgroundColor());
            return true;
        default:
            CommonWndProc(m, d);
            return true;
    }
}

void TsFrameAdapter::PaintBackground(win::HDC dc) {
    TsCommonData* d = data_.get();
    if (!dc || !frame_->HandleAllocated()) return;
    const TRect all(0, 0, frame_->Width(), frame_->Height());
    if (d->NeedsParentBG()) {
        if (d->CacheStale || !d->CacheBmp() || d->CacheBmp()->Width() != all.Width() ||
            d->CacheBmp()->Height() != all.Height()) {
            d->InitCacheBmp();
            d->CacheBmp()->SetSize(all.Width(), all.Height());
            PaintControlSectionEx(d, frame_->Parent(), true, 0, all, TPoint{0, 0}, d->CacheBmp(), 0);
            d->CacheStale = false;
        }
        // The children that paint themselves keep their places.
        CopyCacheBorderToDC(frame_, d, {0, 0}, 0, 0, false, dc, all);
    } else {
        d->BGChanged = false;
        const int saved = win::SaveDC(dc);
        ExcludeGraphicChildren(dc, frame_, 0, 0);
        TRect inner = all;
        if (const int b = GetMaxBorderWidth(d); b > 0) {
            d->InitCacheBmp();
            PaintSectionWithBorders(dc, all, b, d, 0, inner);
        }
        if (inner.Width() > 0 && inner.Height() > 0)
            FillRectSolid(dc, inner, TColor(GetControlBGColor(d, false, frame_->Handle())));
        win::RestoreDC(dc, saved);
    }
    PaintParentBackground(dc, frame_, {0, 0});
    if (!frame_->ControlState.Contains(csCreating)) RepaintChangedChildren(frame_);
}

void TsFrameAdapter::WndProc(TMessage& m) {
    if (!frame_) return;
    if (ComponentState().Contains(csDesigning)) return oldProc_(m);
    if (m.Msg == SM_ALPHACMD && SkinCommand(m)) return;
    TsCommonData* d = data_.get();
    const bool live = !ComponentState().Contains(csDestroying) &&
                      !frame_->ComponentState().Contains(csDestroying) && IsControlSkinned(d, true);
    if (!live) {
        oldProc_(m);
        if ((m.Msg == CM_VISIBLECHANGED || m.Msg == CM_SHOWINGCHANGED) &&
            frame_->HandleAllocated() && d->GetSkinManager()) {
            d->UpdateIndexes();
            TellChildren(SKC_NEWSKIN);
        }
        return;
    }
    switch (m.Msg) {
        case SM_ALPHACMD:
            SkinnedCommand(m);
            return;
        case win::WM_PAINT: {
            win::PAINTSTRUCT ps{};
            const win::HDC dc = win::BeginPaint(frame_->Handle(), &ps);
            PaintBackground(m.WParam ? reinterpret_cast<win::HDC>(m.WParam) : dc);
            win::EndPaint(frame_->Handle(), &ps);
            m.Result = 0;
            return;
        }
        case win::WM_ERASEBKGND:
            if (!RedrawFrozen()) PaintBackground(reinterpret_cast<win::HDC>(m.WParam));
            m.Result = 1;
            return;
        case win::WM_NCPAINT:
            d->BGChanged = d->GetBGChanged();
            m.Result = 0;
            return;
        case win::WM_PRINT:
            PaintBackground(reinterpret_cast<win::HDC>(m.WParam));
            if (adapter_) adapter_->PaintScrollBars(reinterpret_cast<win::HDC>(m.WParam), -1, 0);
            m.Result = 1;
            return;
        case win::WM_MOVE:
        case win::WM_SIZE:
            if (m.Msg == win::WM_SIZE || d->NeedsParentBG()) d->CacheStale = true;
            if (d->CacheStale) TellChildren(SKC_ENDPARENTUPDATE);
            if (m.Msg == win::WM_SIZE && frame_->HandleAllocated())
                win::InvalidateRect(frame_->Handle(), nullptr, win::TRUE);
            break;
        case CM_VISIBLECHANGED:
            d->CacheStale = true;
            oldProc_(m);
            if (frame_->HandleAllocated())
                win::SendMessageA(frame_->Handle(), SM_ALPHACMD, SkinCommandWParam(SKC_REFRESH),
                                  reinterpret_cast<intptr_t>(d->GetSkinManager()));
            return;
        case CM_SHOWINGCHANGED:
            oldProc_(m);
            WindowSlots().UpdateScrollWndAdapter(d, adapter_);
            NotifyForm();
            return;
        case win::WM_PARENTNOTIFY: {
            const auto event = win::LOWORD(uint32_t(m.WParam));
            if ((event != win::WM_CREATE && event != win::WM_DESTROY) ||
                ComponentState().Contains(csLoading) || frame_->ControlState.Contains(csCreating))
                break;
            // A child made after the skin takes it from its frame.
            if (event == win::WM_CREATE && frame_->HandleAllocated()) {
                d->UpdateIndexes();
                TellChildren(SKC_NEWSKIN);
                NotifyForm();
            }
            oldProc_(m);
            if (adapter_) adapter_->RefreshScrollBarInfo(false);
            return;
        }
        case CM_MOUSEENTER:
            oldProc_(m);
            // Only the control under the mouse shows it.
            LeaveOtherSkinControls(frame_, reinterpret_cast<TControl*>(m.LParam));
            if (TsSkinManager* mgr = d->GetSkinManager(); mgr && frame_->HandleAllocated())
                mgr->SetActiveControl(frame_->Handle());
            return;
        default:
            break;
    }
    oldProc_(m);
}

}  // namespace skin

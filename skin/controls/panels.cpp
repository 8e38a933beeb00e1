#include "skin/controls/panels.h"

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/user/painting.h"
#include "platform/user/user.h"
#include "skin/controls/control_frame.h"
#include "skin/controls/skin_types.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/paint/glyph_layout.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/pixels/text_utils.h"
#include "skin/core/state/bordered_sections.h"
#include "skin/core/state/graphic_children.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/skin_text.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/bitmap.h"

namespace skin {

using namespace vcl;

// --- TsPanel ---

std::vector<TPropInfo> TsPanel::Published() {
    return {Property("SkinData", &TsPanel::SkinData)};
}

TsPanel::TsPanel(TComponent* owner)
    : TPanel(owner), skinData_(std::make_unique<TsCommonData>(this, true)) {
    skinData_->COC = 51;
}

TsPanel::~TsPanel() = default;

void TsPanel::AfterConstruction() {
    TPanel::AfterConstruction();
    skinData_->Loaded();
}

void TsPanel::Loaded() {
    TPanel::Loaded();
    skinData_->Loaded();
}

TRect TsPanel::CaptionArea() const {
    TRect r(0, 0, ClientWidth(), ClientHeight());
    const int inset = ((BevelOuter() != bvNone) + (BevelInner() != bvNone)) * BevelWidth() +
                      ClampInset(BorderWidth());
    r.Left += inset;
    r.Top += inset;
    r.Right -= inset;
    r.Bottom -= inset;
    return r;
}

void TsPanel::PaintCaption(TCanvas* canvas) {
    const std::string caption = Caption();
    if (caption.empty()) return;
    canvas->SetFont(Font());
    win::SelectObject(canvas->Handle(), Font()->Handle());
    const TRect area = CaptionArea();
    const uint32_t flags = TextFlagsForAlignment(this, Alignment());
    win::RECT calc{area.Left, 0, std::max(area.Right, area.Left), 0};
    win::DrawText(canvas->Handle(), caption.c_str(), int(caption.size()), &calc,
                  win::DT_CALCRECT | flags);
    const int h = calc.bottom - calc.top;
    const int top = area.Top + (area.Height() - h) / 2;
    DrawSkinText(canvas, caption, Enabled(), 0, skinData_.get(), flags,
                 TRect(area.Left, top, area.Right, top + h));
}

void TsPanel::PrepareCache() {
    TsCommonData* d = skinData_.get();
    // Only a panel partly outside its parent is rebuilt at each child's background request;
    // one wholly inside keeps the cache built here until something marks it stale.
    NoteHalfVisible(this, d);
    PaintSectionIntoCache(this, d, 0, true);
    if (Width() > 0 && Height() > 0) {
        PaintCaption(d->CacheBmp()->Canvas());
        OnPaint(this, d->CacheBmp()->Canvas());
    }
    d->CacheStale = false;
}

bool TsPanel::PaintedByCache() const {
    return skinData_->NeedsParentBG() || RedrawFrozen();
}

void TsPanel::PaintPanel(win::HDC dc) {
    TsCommonData* d = skinData_.get();
    if (!dc || !Showing() || !IsSkinnedNow(this, d)) return;
    if (!PaintedByCache()) {
        d->BGChanged = false;
        const int w = GetMaxBorderWidth(d);
        const int saved = win::SaveDC(dc);
        ExcludeGraphicChildren(dc, this, 0, 0);
        const TColor fill = d->CustomColor() ? TColor(vcl::ColorToRGB(Color()))
                                             : TColor(GetControlBGColor(d, false, nullptr));
        TRect inner(0, 0, Width(), Height());
        if (w > 0) {
            d->InitCacheBmp();
            PaintSectionWithBorders(dc, inner, w, d, 0, inner);
            inner = TRect(w, w, Width() - w, Height() - w);
        }
        if (inner.Width() > 0 && inner.Height() > 0) FillRectSolid(dc, inner, fill);
        TCanvas canvas;
        canvas.SetHandle(dc);
        PaintCaption(&canvas);
        canvas.SetHandle(nullptr);
        win::RestoreDC(dc, saved);
        if (OnPaint) {
            TCanvas handler;
            handler.SetHandle(dc);
            OnPaint(this, &handler);
            handler.SetHandle(nullptr);
        }
    } else {
        d->BGChanged = d->GetBGChanged();
        if (d->BGChanged) return;
        const bool resized =
            d->ShowsParentBG() && d->CacheBmp() &&
            (d->CacheBmp()->Width() != Width() || d->CacheBmp()->Height() != Height());
        if (resized || (d->CacheStale && !d->KeepCache)) PrepareCache();
        CopyCacheBorderToDC(this, d, {0, 0}, 0, 0, false, dc, TRect(0, 0, Width(), Height()));
    }
    PaintParentBackground(dc, this, {0, 0});
    if (!ControlState.Contains(csCreating)) RepaintChangedChildren(this);
}

void TsPanel::Paint() {
    if (IsSkinnedNow(this, skinData_.get())) {
        PaintPanel(Canvas()->Handle());
        return;
    }
    TPanel::Paint();
    if (Showing()) OnPaint(this, Canvas());
}

void TsPanel::AnswerBackground(BackgroundInfo& info) {
    TsCommonData* d = skinData_.get();
    const TsGeneralData* s = d->Section();
    const bool seeThrough = s && s->Transparency >= 100;
    if ((d->CacheStale || d->HalfVisible) && !d->GetBGChanged() && !seeThrough &&
        IsSkinnedNow(this, d))
        PrepareCache();
    d->GetBGInfo(info, false, nullptr);
    // The cache covers the whole window; a child's place is in client coordinates.
    if (info.BgType == btCache && !info.PleaseDraw && ClientWidth() != Width() &&
        HandleAllocated()) {
        win::RECT client{};
        GetClientRectInWindow(Handle(), client);
        info.Offset = {info.Offset.X + client.left, info.Offset.Y + client.top};
    }
}

// The skin commands the panel answers itself; false sends the message on.
bool TsPanel::SkinCommand(TMessage& m) {
    TsCommonData* d = skinData_.get();
    const bool own = IsOwnSkinChange(m, d);
    const uint16_t code = SkinCommandCode(m.WParam);
    if (code == SKC_NEWSKIN || code == SKC_REMOVESKIN) ControlStyle.Exclude(csOpaque);
    if (AnswerContainerCommand(this, d, m, [this](BackgroundInfo& i) { AnswerBackground(i); }))
        return true;
    switch (code) {
        // A skin's removal and refresh go on to the children too.
        case SKC_REMOVESKIN:
            BroadcastToChildControls(this, m);
            if (own) {
                CommonWndProc(m, d);
                Invalidate();
            }
            d->UpdatePlainBGFlag(true);
            return true;
        case SKC_REFRESH:
            if (!own) return true;
            CommonWndProc(m, d);
            BroadcastToChildControls(this, m);
            if (HandleAllocated() && !ComponentState().Contains(csLoading)) {
                Invalidate();
                Update();
            }
            return true;
        case SKC_ENDPARENTUPDATE:
            if (d->BGChanged) {
                d->BGChanged = d->GetBGChanged();
                if (!d->BGChanged && HandleAllocated()) Update();
                RepaintChangedChildren(this);
            }
            return true;
        case SKC_ISUPDATING:
            m.Result = d->BGChanged ? 1 : 0;
            return true;
        default:
            return UpdateControlSkin(m, d);
    }
}

void TsPanel::WndProc(TMessage& m) {
    TsCommonData* d = skinData_.get();
    if (m.Msg == SM_ALPHACMD && SkinCommand(m)) return;
    if (IsSkinnedNow(this, d)) {
        switch (m.Msg) {
            case win::WM_SIZE:
                d->CacheStale = true;
                break;
            case win::WM_WINDOWPOSCHANGING:
                if (d->IsTransparent()) d->CacheStale = true;
                break;
            case win::WM_SETFOCUS:
            case win::WM_KILLFOCUS:
                TPanel::WndProc(m);
                return;
            case win::WM_PAINT:
                if (painting_) {
                    ValidateOnly(this);
                    return;
                }
                painting_ = true;
                PaintOnPaintDC(this, m, [this](win::HDC dc) { PaintPanel(dc); });
                painting_ = false;
                return;
            case win::WM_ERASEBKGND: {
                const auto dc = reinterpret_cast<win::HDC>(m.WParam);
                if (m.WParam && intptr_t(m.WParam) == m.LParam) {
                    // A child asks for the panel's background.
                    if (d->CacheStale) PrepareCache();
                    CopyCacheBorderToDC(this, d, {0, 0}, 0, 0, false, dc,
                                        TRect(0, 0, Width(), Height()));
                } else if (!PaintedByCache() && !d->BGChanged) {
                    PaintPanel(dc);
                }
                m.Result = 1;
                return;
            }
            case win::WM_PRINT:
                d->BGChanged = false;
                d->InitCacheBmp();
                PrepareCache();
                PaintCtrlBorders(d, 0);
                CopyCacheBorderToDC(this, d, {0, 0}, 0, 0, false,
                                    reinterpret_cast<win::HDC>(m.WParam),
                                    TRect(0, 0, Width(), Height()));
                PaintParentBackground(reinterpret_cast<win::HDC>(m.WParam), this, {0, 0});
                return;
            case CM_VISIBLECHANGED:
                d->CacheStale = true;
                d->BGChanged = false;
                break;
            case CM_COLORCHANGED:
                if (d->CustomColor()) d->CacheStale = true;
                break;
            case CM_TEXTCHANGED:
            case CM_ENABLEDCHANGED:
            case win::WM_SETFONT:
                if (Parent()) d->Invalidate();
                break;
            default:
                break;
        }
    } else if (m.Msg == win::WM_PRINT && OnPaint) {
        TPanel::WndProc(m);
        TCanvas canvas;
        canvas.SetHandle(reinterpret_cast<win::HDC>(m.WParam));
        OnPaint(this, &canvas);
        canvas.SetHandle(nullptr);
        TellMouse(m, this, OnMouseEnter, OnMouseLeave);
        return;
    }
    if (CommonWndProc(m, d)) return;
    TPanel::WndProc(m);
    TellMouse(m, this, OnMouseEnter, OnMouseLeave);
}

// --- TsDragBar ---

std::vector<TPropInfo> TsDragBar::Published() {
    return {Property("DraggedControl", &TsDragBar::DraggedControl, &TsDragBar::SetDraggedControl)};
}

TsDragBar::TsDragBar(TComponent* owner) : TsPanel(owner) {
    SkinData()->COC = 56;
    SetCaption(" ");
    SetAlignment(taCenter);
    SetAlign(alTop);
    SetHeight(20);
    Font()->SetColor(clCaptionText);
    Font()->SetStyle({fsBold});
    SetColor(clActiveCaption);
    SetCursor(crHandPoint);
    SetParentColor(false);
}

void TsDragBar::SetDraggedControl(TControl* control) {
    if (control == dragged_) return;
    if (dragged_) dragged_->RemoveFreeNotification(this);
    dragged_ = control;
    if (dragged_) dragged_->FreeNotification(this);
}

void TsDragBar::Loaded() {
    if (!dragged_) SetDraggedControl(GetParentForm(this));
    TsPanel::Loaded();
}

void TsDragBar::Notification(TComponent* component, TOperation operation) {
    TsPanel::Notification(component, operation);
    if (operation == opRemove && component == dragged_) dragged_ = nullptr;
}

void TsDragBar::WndProc(TMessage& m) {
    TsPanel::WndProc(m);
    if (m.Msg == win::WM_ACTIVATEAPP) {
        // The caption keeps its own colour against the bar's: both follow the application.
        SetColor(m.WParam ? clActiveCaption : clInactiveCaption);
        Font()->SetColor(m.WParam ? clCaptionText : clInactiveCaptionText);
    } else if (m.Msg == SM_ALPHACMD && SkinCommandCode(m.WParam) == SKC_REMOVESKIN) {
        SetColor(clActiveCaption);
        SetParentColor(false);
    }
}

void TsDragBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TsPanel::MouseDown(button, shift, x, y);
    auto* target = dynamic_cast<TWinControl*>(dragged_);
    if (button != mbLeft || !target) return;
    win::ReleaseCapture();
    // SC_MOVE by the caption: the windowing layer's own move loop.
    win::SendMessageA(target->Handle(), win::WM_SYSCOMMAND, 0xF012, 0);
}

}  // namespace skin

#include "skin/controls/edits.h"

#include <string>

#include "platform/controls/edit_control.h"
#include "platform/gdi/dc.h"
#include "platform/user/painting.h"
#include "platform/user/user.h"
#include "platform/user/window_dc.h"
#include "skin/controls/control_frame.h"
#include "skin/core/state/graphic_children.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_text.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/bitmap.h"

namespace skin {

using namespace vcl;

namespace {

constexpr win::UINT kRedrawWithFrame = win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_FRAME;

void RedrawWithFrame(TWinControl* c) {
    if (c->HandleAllocated() && !RedrawFrozen())
        win::RedrawWindow(c->Handle(), nullptr, nullptr, kRedrawWithFrame);
}

// What the look of any of the three follows after the class library's handling.
void FollowLook(TWinControl* c, TsCommonData* d, const TMessage& m) {
    switch (m.Msg) {
        case win::WM_SETFONT:
        case win::WM_SETTEXT:
        case CM_VISIBLECHANGED:
        case CM_ENABLEDCHANGED:
        case CM_TEXTCHANGED:
            if (c->ComponentState().Contains(csLoading) || RedrawFrozen()) return;
            d->Invalidate();
            if (c->HandleAllocated()) win::SendMessage(c->Handle(), win::WM_NCPAINT, 1, 0);
            return;
        case win::WM_SIZE:
            if (c->HandleAllocated()) win::SendMessage(c->Handle(), win::WM_NCPAINT, 1, 0);
            return;
        case win::WM_KILLFOCUS:
        case CM_EXIT:
            d->Focused = d->MouseAbove = false;
            d->CacheStale = true;
            if (c->Visible()) c->Repaint();
            return;
        default:
            return;
    }
}

// The frame paint of an edit: the stale decision, the cache (rebuilt by `build` when stale and
// not locked) with its borders in `state`, the whole of it to `dc` (the window DC when null;
// `clientDC` when the DC's origin is the client area).
template <class Build>
void PaintWholeCache(TWinControl* c, TsCommonData* d, win::HDC dc, bool clientDC, int state,
                     Build build) {
    const FramePaintDC target(c, dc, clientDC, true);
    if (!DecideCacheStale(c, d)) return;
    if (d->CacheStale && !d->KeepCache) build();
    PaintCtrlBorders(d, state);
    CopyCacheToDC(c, d, target.dc(), target.clientDC());
}

// The border strips, `width` pixels wide, of the same cache to `dc` (the window DC when null).
template <class Build>
void PaintCacheBorders(TWinControl* c, TsCommonData* d, win::HDC dc, int width, int state,
                       Build build) {
    const win::HDC own = dc ? nullptr : win::GetWindowDC(c->Handle());
    if (own) dc = own;
    if (!dc) return;
    if (d->CacheStale && !d->KeepCache) build();
    PaintCtrlBorders(d, state);
    CopyCacheBorders(c, d, dc, width);
    if (own) win::ReleaseDC(c->Handle(), own);
}

// The text as the cache shows it: one password character for each character.
std::string ShownText(TCustomEdit* e) {
    std::string text = e->Text();
    if (e->PasswordChar()) text.assign(text.size(), e->PasswordChar());
    return text;
}

}  // namespace

// --- TsEdit ---

std::vector<TPropInfo> TsEdit::Published() {
    return SkinProperties<TsEdit>();
}

int TsEdit::FrameWidth() const {
    const int border = BorderStyle() == bsNone ? 0 : (Ctl3D() ? 2 : 1);
    return border + BevelWidth();
}

void TsEdit::PrepareCache() {
    TsCommonData* d = SkinData();
    PaintSectionIntoCache(this, d, ControlIsActive(d) ? 1 : 0, true);
    PaintText();
    if (!Enabled()) BlendDisabledCache(this, d, DisabledKind());
    d->CacheStale = false;
}

void TsEdit::PaintText() {
    TsCommonData* d = SkinData();
    TCanvas* canvas = d->CacheBmp()->Canvas();
    canvas->SetFont(Font());
    const int b = FrameWidth();
    const TRect r(b + 1, b + 1, Width() - b, Height() - b);
    DrawSkinText(canvas, ShownText(this), true, ControlIsActive(d) ? 1 : 0, d,
                 win::DT_SINGLELINE | win::DT_NOPREFIX, r);
}

void TsEdit::PaintFrameToDC(win::HDC dc, bool clientDC) {
    TsCommonData* d = SkinData();
    PaintWholeCache(this, d, dc, clientDC, ControlIsActive(d) ? 1 : 0, [this] { PrepareCache(); });
}

void TsEdit::PaintNonClient() {
    TsCommonData* d = SkinData();
    // A hidden window shows nothing: its cache waits for it to be shown.
    if (RedrawFrozen() || d->GetBGChanged() || !win::IsWindowVisible(Handle())) return;
    PaintCacheBorders(this, d, nullptr, FrameWidth(), ControlIsActive(d) ? 1 : 0,
                      [this] { PrepareCache(); });
}

void TsEdit::WndProc(TMessage& m) {
    TsCommonData* d = SkinData();
    if (AnswerCommonCommands(m)) return;
    if (m.Msg == SM_ALPHACMD) {
        switch (SkinCommandCode(m.WParam)) {
            case SKC_ISSEETHROUGH:
                m.LParam = 0;
                return;
            case SKC_GETBGCOLOR:
                if (!IsSkinnedNow(this, d)) {
                    m.Result = vcl::ColorToRGB(Color());
                    return;
                }
                break;
            default:
                if (IsOwnSkinChange(m, d)) {
                    CommonWndProc(m, d);
                    if (SkinCommandCode(m.WParam) == SKC_REFRESH) RedrawWithFrame(this);
                    return;
                }
                break;
        }
    }
    if (!IsSkinnedNow(this, d)) {
        InheritedWndProc(m);
        FollowLabel(m);
        return;
    }
    switch (m.Msg) {
        case win::WM_PAINT:
            d->BGChanged = d->GetBGChanged();
            if (RedrawFrozen() || d->BGChanged) {
                ValidateOnly(this);
                return;
            }
            TakeSectionColors(this, d, ControlIsActive(d));
            if (!Enabled())
                PaintFrameToDC(reinterpret_cast<win::HDC>(m.WParam), true);
            else
                InheritedWndProc(m);
            return;
        case win::WM_ERASEBKGND:
            if (RedrawFrozen()) return;
            d->BGChanged = d->GetBGChanged();
            if (d->BGChanged || !Enabled()) return;
            InheritedWndProc(m);
            return;
        case win::WM_NCPAINT:
            if (!RedrawFrozen()) PaintNonClient();
            return;
        case win::WM_PRINT: {
            auto dc = reinterpret_cast<win::HDC>(m.WParam);
            d->BGChanged = false;
            PrepareCache();
            PaintCtrlBorders(d, ControlIsActive(d) ? 1 : 0);
            CopyCacheBorders(this, d, dc, FrameWidth());
            if (!Enabled()) CopyCacheToDC(this, d, dc, false);
            // The class library prints the inside at the client origin, within the frame.
            win::RECT client{};
            GetClientRectInWindow(Handle(), client);
            const int saved = win::SaveDC(dc);
            win::OffsetViewportOrgEx(dc, client.left, client.top, nullptr);
            win::IntersectClipRect(dc, 0, 0, client.right - client.left,
                                   client.bottom - client.top);
            m.LParam &= ~intptr_t(win::PRF_NONCLIENT);
            if (Enabled()) InheritedWndProc(m);
            win::RestoreDC(dc, saved);
            FollowLabel(m);
            return;
        }
        case CM_COLORCHANGED:
            if (d->CustomColor()) d->CacheStale = true;
            break;
        case CN_DRAWITEM:
            if (RedrawFrozen()) return;
            d->BGChanged = d->GetBGChanged();
            if (d->BGChanged || !Enabled()) return;
            InheritedWndProc(m);
            return;
        default:
            break;
    }
    if (CommonWndProc(m, d)) return;
    InheritedWndProc(m);
    FollowLook(this, d, m);
    if (m.Msg == SM_ALPHACMD && SkinCommandCode(m.WParam) == SKC_ENDPARENTUPDATE && d->BGChanged) {
        d->BGChanged = false;
        Repaint();
        win::SendMessage(Handle(), win::WM_NCPAINT, 1, 0);
    }
    FollowLabel(m);
}

// --- TsMaskEdit ---

std::vector<TPropInfo> TsMaskEdit::Published() {
    return SkinProperties<TsMaskEdit>();
}

TsMaskEdit::TsMaskEdit(TComponent* owner) : TsEditSkinned(owner, 3, "EDIT") {
    ControlStyle >> csSetCaption;
}

int TsMaskEdit::EditBorderExtraWidth() const {
    return BorderStyle() == bsNone ? 0 : 2 + (Ctl3D() ? 1 : 0);
}

int TsMaskEdit::CurrentState() const {
    return ControlIsActive(SkinData()) ? 1 : 0;
}

void TsMaskEdit::PaintEditFrame() {
    TsCommonData* d = SkinData();
    if (!IsControlSkinned(d)) {
        d->InitCacheBmp();
        TCanvas* canvas = d->CacheBmp()->Canvas();
        canvas->Brush()->SetColor(Color());
        canvas->FillRect(Rect(0, 0, Width(), Height()));
    } else {
        PaintSectionIntoCache(this, d, CurrentState() & 0x3F, BorderStyle() == bsSingle);
    }
    PaintText();
    if (!Enabled()) BlendDisabledCache(this, d, DisabledKind());
    d->CacheStale = false;
}

void TsMaskEdit::PaintText() {
    const std::string text = Text();
    if (text.empty()) return;
    TsCommonData* d = SkinData();
    TCanvas* canvas = d->CacheBmp()->Canvas();
    canvas->SetFont(Font());
    const int e = EditBorderExtraWidth();
    const int h = canvas->TextHeight("Wg");
    const TRect r(e, e, Width() - e, e + h + 2);
    const int state = CurrentState();
    if (PasswordChar()) {
        const uint32_t flags = TextFlagsForAlignment(const_cast<TsMaskEdit*>(this), taLeftJustify);
        DrawSkinText(canvas, ShownText(this), true, state, d, flags | win::DT_NOPREFIX, r);
    } else {
        DrawSkinText(canvas, text, true, state, d, win::DT_NOPREFIX | win::DT_EXTERNALLEADING, r);
    }
}

void TsMaskEdit::PaintBorder(win::HDC dc) {
    TsCommonData* d = SkinData();
    if (!Parent() || !Visible() || !Parent()->Visible() || ControlState.Contains(csCreating) ||
        BorderStyle() == bsNone || d->GetBGChanged() || !HandleAllocated())
        return;
    PaintCacheBorders(this, d, dc, 2, CurrentState(), [this] { PaintEditFrame(); });
}

void TsMaskEdit::PaintToDC(win::HDC dc, bool clientDC) {
    PaintWholeCache(this, SkinData(), dc, clientDC, CurrentState(), [this] { PaintEditFrame(); });
}

void TsMaskEdit::WndProc(TMessage& m) {
    TsCommonData* d = SkinData();
    if (AnswerCommonCommands(m)) return;
    if (m.Msg == SM_ALPHACMD) {
        const uint16_t code = SkinCommandCode(m.WParam);
        if (code == SKC_ENDPARENTUPDATE && d->BGChanged) {
            d->BGChanged = false;
            if (HandleAllocated()) {
                win::InvalidateRect(Handle(), nullptr, win::TRUE);
                win::SendMessage(Handle(), win::WM_NCPAINT, 1, 0);
            }
            return;
        }
        if (IsOwnSkinChange(m, d)) {
            CommonWndProc(m, d);
            if (code == SKC_REMOVESKIN) Invalidate();
            if (code == SKC_REFRESH && HandleAllocated()) {
                win::SendMessage(Handle(), win::WM_NCPAINT, 1, 0);
                Repaint();
            }
            return;
        }
    }
    if (!IsSkinnedNow(this, d)) {
        InheritedWndProc(m);
        FollowLabel(m);
        return;
    }
    switch (m.Msg) {
        case win::WM_PAINT:
            if (CurrentState() != 0) {
                InheritedWndProc(m);
                PaintBorder(nullptr);
            } else {
                PaintToDC(reinterpret_cast<win::HDC>(m.WParam), true);
            }
            return;
        case win::WM_NCPAINT:
            if (!RedrawFrozen() && !d->GetBGChanged()) PaintBorder(nullptr);
            return;
        case win::WM_ERASEBKGND:
        case CN_DRAWITEM:
            if (RedrawFrozen()) return;
            d->BGChanged = d->GetBGChanged();
            if (d->BGChanged) return;
            InheritedWndProc(m);
            return;
        case win::WM_PRINT: {
            auto dc = reinterpret_cast<win::HDC>(m.WParam);
            d->BGChanged = false;
            if (d->CacheStale) PaintEditFrame();
            PaintCtrlBorders(d, CurrentState());
            CopyCacheToDC(this, d, dc, false);
            CopyCacheBorders(this, d, dc, EditBorderExtraWidth());
            return;
        }
        case CM_COLORCHANGED:
        case CM_CHANGED:
            d->CacheStale = true;
            break;
        default:
            break;
    }
    CommonWndProc(m, d);
    InheritedWndProc(m);
    switch (m.Msg) {
        case win::WM_SETFOCUS:
            Invalidate();
            break;
        case win::WM_SETFONT:
        case CM_VISIBLECHANGED:
        case CM_ENABLEDCHANGED:
            d->Invalidate();
            break;
        case win::WM_KILLFOCUS:
        case CM_EXIT:
            // The idle look is the cache again: rebuilt without the focus.
            d->CacheStale = true;
            Invalidate();
            break;
        default:
            break;
    }
    FollowLabel(m);
}

// --- TsMemo ---

std::vector<TPropInfo> TsMemo::Published() {
    return SkinProperties<TsMemo>();
}

TsMemo::TsMemo(TComponent* owner) : TsEditSkinned(owner, 7, "EDIT") {
    ControlStyle >> csOpaque;
}

TsMemo::~TsMemo() {
    WindowSlots().ReleaseControlScrollAdapter(adapter_);
}

void TsMemo::UpdateAdapter() {
    WindowSlots().UpdateEditWndAdapter(SkinData(), adapter_);
}

void TsMemo::CreateWnd() {
    TsEditSkinned<vcl::TMemo>::CreateWnd();
    if (IsControlSkinned(SkinData())) UpdateAdapter();
}

void TsMemo::Loaded() {
    TsEditSkinned::Loaded();
    UpdateAdapter();
}

void TsMemo::WndProc(TMessage& m) {
    TsCommonData* d = SkinData();
    if (m.Msg == CM_FONTCHANGED && Showing() && HandleAllocated())
        win::RedrawWindow(Handle(), nullptr, nullptr, kRedrawWithFrame);
    if (AnswerCommonCommands(m)) return;
    if (IsOwnSkinChange(m, d)) {
        switch (SkinCommandCode(m.WParam)) {
            case SKC_REMOVESKIN:
                // The command may come through the adapter's own window procedure: the
                // window skinning frees it once that has returned.
                WindowSlots().ReleaseControlScrollAdapter(adapter_);
                CommonWndProc(m, d);
                // The window is made again, with the class library's own frame.
                if (HandleAllocated()) Perform(CM_RECREATEWND, 0, 0);
                return;
            case SKC_REFRESH:
                CommonWndProc(m, d);
                UpdateAdapter();
                RedrawWithFrame(this);
                return;
            default:
                CommonWndProc(m, d);
                return;
        }
    }
    if (!IsSkinnedNow(this, d)) {
        InheritedWndProc(m);
    } else if (m.Msg == win::WM_PAINT) {
        d->BGChanged = d->GetBGChanged();
        if (d->BGChanged)
            ValidateOnly(this);
        else
            InheritedWndProc(m);
    } else {
        CommonWndProc(m, d);
        InheritedWndProc(m);
        switch (m.Msg) {
            case CM_VISIBLECHANGED:
            case CM_ENABLEDCHANGED:
            case win::WM_SETFONT:
                d->Invalidate();
                break;
            case CM_TEXTCHANGED:
            case CM_CHANGED:
                if (adapter_) adapter_->RefreshScrollBarInfo(true);
                break;
            case CM_SHOWINGCHANGED:
                UpdateAdapter();
                break;
            default:
                break;
        }
    }
    if (m.Msg == win::EM_SETSEL) OnScrollCaret(this);
    if (m.Msg == win::WM_VSCROLL) OnVScroll(this);
    FollowLabel(m);
}

}  // namespace skin

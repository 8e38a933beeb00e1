#include "skin/controls/status_bar.h"

#include "platform/controls/status_bar_control.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "skin/controls/control_frame.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/text_utils.h"
#include "skin/core/state/graphic_children.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/state/skin_text.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/bitmap.h"

namespace skin {

using namespace vcl;

std::vector<TPropInfo> TsStatusBar::Published() {
    return {Property("SkinData", &TsStatusBar::SkinData)};
}

TsStatusBar::TsStatusBar(TComponent* owner)
    : TStatusBar(owner), skinData_(std::make_unique<TsCommonData>(this, true)) {
    skinData_->COC = 151;
    ControlStyle << csAcceptsControls << csOpaque;
}

TsStatusBar::~TsStatusBar() = default;

void TsStatusBar::AfterConstruction() {
    TStatusBar::AfterConstruction();
    skinData_->Loaded();
}

void TsStatusBar::Loaded() {
    TStatusBar::Loaded();
    skinData_->Loaded();
}

std::vector<TRect> TsStatusBar::PanelAreas() const {
    const int w = Width(), h = Height();
    const int n = Panels()->Count();
    if (SimplePanel() || n == 0) return {TRect(0, 1, w - 1, h - 1)};
    std::vector<TRect> areas;
    int x = 0;
    for (int i = 0; i < n; ++i) {
        // Widths as large as they come end at the bar's right edge.
        const int right =
            i == n - 1
                ? w
                : int(std::min<int64_t>(w, int64_t(x) + std::max(Panels()->Items(i)->Width(), 0)));
        areas.emplace_back(x, 0, right, h);
        x = right;
    }
    return areas;
}

TRect TsStatusBar::TextArea(const TRect& area) {
    return TRect(area.Left + 1 + 2, area.Top + 1, area.Right - 1 - 4, area.Bottom - 1 + 1);
}

void TsStatusBar::PaintPanelText(const std::string& text, const TRect& area, uint32_t align) {
    TCanvas* c = skinData_->CacheBmp()->Canvas();
    const TRect r = TextArea(area);
    c->SetFont(Font());
    c->Brush()->SetStyle(bsClear);
    std::string shown;
    CutTextWithEllipsis(c, text, r.Width(), shown);
    if (shown.empty()) return;
    DrawSkinText(c, shown, true, 0, skinData_.get(),
                 align | win::DT_SINGLELINE | win::DT_VCENTER | DrawTextBiDiModeFlags(0), r);
}

void TsStatusBar::PrepareCache() {
    TsCommonData* d = skinData_.get();
    TsSkinManager* m = d->GetSkinManager();
    const int w = Width(), h = Height();
    // Partly outside its parent, it is rebuilt at every paint.
    NoteHalfVisible(this, d);
    PaintSectionIntoCache(this, d, 0, true);
    TBitmap* cache = d->CacheBmp();
    PixelView cv = ViewOf(cache);
    const CacheInfo behind = MakeCacheInfo(&cv, 0, 0);
    const int panelMask = m->GetMaskIndex(d->SkinIndex, d->SkinSection(), "STATUSPANELMASK");
    const bool framed = m->Skin().IsValidImgIndex(panelMask);
    const bool simple = SimplePanel() || Panels()->Count() == 0;
    const std::vector<TRect> areas = PanelAreas();
    // Without framed panels a divider stands between two panels.
    const int divider = m->GetSkinIndex("DIVIDER");
    const int dividerMask =
        m->IsValidSkinIndex(divider) ? m->GetMaskIndex(divider, "DIVIDER", "BORDERSMASK") : -1;
    for (size_t i = 0; i < areas.size(); ++i) {
        const TRect& area = areas[i];
        if (framed) {
            PaintMaskIntoRect(cache, simple ? TRect(0, 0, w, h) : area, false, behind,
                              m->Masks()[size_t(panelMask)], 0, true);
        } else if (!simple && i + 1 < areas.size() && m->Skin().IsValidImgIndex(dividerMask)) {
            const TsMaskData& dm = m->Masks()[size_t(dividerMask)];
            const int dw = std::max(2, dm.WL + dm.WR), dh = h - 2;
            if (dh > 0) {
                TBitmap bar;
                bar.SetPixelFormat(pf24bit);
                bar.SetSize(dw, dh);
                const int x = area.Right - dw / 2 - 1;
                PaintMaskWithBorders(divider, "DIVIDER", MakeCacheInfo(&cv, x, 1), true, 0,
                                     TRect(0, 0, dw, dh), {0, 0}, &bar, m, -1, -1);
                win::BitBlt(cache->Canvas()->Handle(), x, 1, dw, dh, bar.Canvas()->Handle(), 0, 0,
                            win::SRCCOPY);
            }
        }
        if (simple) {
            PaintPanelText(SimpleText(), area, win::DT_LEFT);
            continue;
        }
        TStatusPanel* panel = Panels()->Items(int(i));
        if (panel->Style() == psOwnerDraw && OnDrawPanel) {
            // The handler draws on the bar's canvas, which paints into the cache meanwhile.
            TCanvas* c = Canvas();
            c->SetHandle(cache->Canvas()->Handle());
            OnDrawPanel(this, panel, area);
            c->SetHandle(nullptr);
            continue;
        }
        const uint32_t align = panel->Alignment() == taCenter         ? win::DT_CENTER
                               : panel->Alignment() == taRightJustify ? win::DT_RIGHT
                                                                      : win::DT_LEFT;
        PaintPanelText(panel->Text(), area, align);
    }
    if (SizeGrip()) {
        int grip = m->GetMaskIndexByNames("GLOBALINFO", "GRIPIMAGE");
        if (!m->Skin().IsValidImgIndex(grip)) grip = m->GetMaskIndexByNames("FORM", "GRIPIMAGE");
        if (m->Skin().IsValidImgIndex(grip)) {
            const TsMaskData& g = m->Masks()[size_t(grip)];
            BlendMaskRegion(cache,
                            {w - SkinFrameWidth(g) - ClampInset(BorderWidth()),
                             h - SkinFrameHeight(g) - ClampInset(BorderWidth())},
                            0, 1, g, behind);
        }
    }
    d->CacheStale = false;
}

void TsStatusBar::PaintToDC(win::HDC dc) {
    TsCommonData* d = skinData_.get();
    win::PAINTSTRUCT ps{};
    const bool own = !dc;
    if (own) dc = win::BeginPaint(Handle(), &ps);
    if (!d->BGChanged) {
        if (d->CacheStale || !d->CacheBmp()) PrepareCache();
        CopyCacheToDC(this, d, dc, true);
        PaintParentBackground(dc, this, {0, 0});
        // A child that waited for this background (a skin change) paints now.
        RepaintChangedChildren(this);
    }
    if (own) win::EndPaint(Handle(), &ps);
}

void TsStatusBar::WndProc(TMessage& m) {
    TsCommonData* d = skinData_.get();
    if (m.Msg == SM_ALPHACMD) {
        const bool own = IsOwnSkinChange(m, d);
        if (AnswerCommonCommands(m)) return;
        switch (SkinCommandCode(m.WParam)) {
            case SKC_ENDPARENTUPDATE:
                d->BGChanged = false;
                if (HandleAllocated()) Repaint();
                return;
            case SKC_NEWSKIN:
            case SKC_REFRESH:
                if (!own) break;
                BroadcastToChildControls(this, m);
                CommonWndProc(m, d);
                if (SkinCommandCode(m.WParam) == SKC_REFRESH && HandleAllocated()) {
                    win::RedrawWindow(Handle(), nullptr, nullptr,
                                      win::RDW_INVALIDATE | win::RDW_FRAME | win::RDW_UPDATENOW);
                }
                return;
            case SKC_REMOVESKIN:
                if (!own) break;
                CommonWndProc(m, d);
                if (HandleAllocated()) RecreateWnd();
                BroadcastToChildControls(this, m);
                return;
            default:
                break;
        }
    }
    if (HandleAllocated() && IsSkinnedNow(this, d)) {
        switch (m.Msg) {
            case win::WM_ERASEBKGND:
                if (!d->BGChanged && !d->CacheStale && d->CacheBmp()) {
                    CopyCacheToDC(this, d, reinterpret_cast<win::HDC>(m.WParam), true);
                    PaintParentBackground(reinterpret_cast<win::HDC>(m.WParam), this, {0, 0});
                }
                m.Result = 1;
                return;
            case win::WM_PAINT:
                if (RedrawFrozen())
                    ValidateOnly(this);
                else
                    PaintToDC(reinterpret_cast<win::HDC>(m.WParam));
                return;
            case win::WM_PRINT:
                if (RedrawFrozen() || d->BGChanged) return;
                PrepareCache();
                CopyCacheToDC(this, d, reinterpret_cast<win::HDC>(m.WParam), false);
                return;
            case win::WM_NCPAINT:
                if (BorderWidth() > 0 && Visible() && !RedrawFrozen() && !d->BGChanged) {
                    PrepareCache();
                    win::HDC dc = win::GetWindowDC(Handle());
                    CopyCacheBorders(this, d, dc, BorderWidth());
                    win::ReleaseDC(Handle(), dc);
                }
                return;
            case win::WM_MOVE:
                if (const TsGeneralData* s = d->Section();
                    s && (s->Transparency >= 1 || s->HotTransparency >= 1))
                    d->CacheStale = true;
                break;
            default:
                break;
        }
        if (CommonWndProc(m, d)) return;
        TStatusBar::WndProc(m);
        if (m.Msg == win::SB_SETTEXTA || m.Msg == win::SB_SIMPLE || m.Msg == win::SB_SETPARTS ||
            m.Msg == win::SB_GETRECT || m.Msg == win::WM_SIZE)
            d->CacheStale = true;
        if (m.Msg == win::WM_SIZE && BorderWidth() != 0 && Visible()) Invalidate();
        return;
    }
    CommonWndProc(m, d);
    TStatusBar::WndProc(m);
}

}  // namespace skin

#include "vcl/controls/status_bar.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/controls/status_bar_control.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "vcl/controls/forms.h"

namespace vcl {

// --- TStatusPanel ---

std::vector<TPropInfo> TStatusPanel::Published() {
    return {Property("Text", &TStatusPanel::Text, &TStatusPanel::SetText),
            Property("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth),
            Property("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment),
            Property("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle)};
}

void TStatusPanel::SetText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    Changed(false);
}

void TStatusPanel::SetWidth(int width) {
    if (width == width_) return;
    width_ = width;
    Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle style) {
    if (style == style_) return;
    style_ = style;
    Changed(false);
}

void TStatusPanel::Assign(const TPersistent* source) {
    if (const auto* p = dynamic_cast<const TStatusPanel*>(source)) {
        text_ = p->text_;
        width_ = p->width_;
        alignment_ = p->alignment_;
        style_ = p->style_;
        Changed(true);
        return;
    }
    TCollectionItem::Assign(source);
}

// --- TStatusPanels ---

TStatusPanels::TStatusPanels(TCustomStatusBar* owner)
    : TCollection(ItemsOf<TStatusPanel>(), owner), owner_(owner) {}

void TStatusPanels::Update(TCollectionItem*) {
    owner_->UpdatePanels();
}

// --- TCustomStatusBar ---

std::vector<TPropInfo> TCustomStatusBar::Published() {
    using S = TCustomStatusBar;
    return {Property("Panels", &S::Panels),
            Property("SimplePanel", &S::SimplePanel, &S::SetSimplePanel),
            Property("SimpleText", &S::SimpleText, &S::SetSimpleText),
            Property("SizeGrip", &S::SizeGrip, &S::SetSizeGrip),
            Property("BorderWidth", &S::BorderWidth, &S::SetBorderWidth)};
}

TCustomStatusBar::TCustomStatusBar(TComponent* owner)
    : TWinControl(owner), panels_(new TStatusPanels(this)), canvas_(new TCanvas) {
    ControlStyle = {csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque, csAcceptsControls};
    SetColor(clBtnFace);
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

TCustomStatusBar::~TCustomStatusBar() {
    delete panels_;
    delete canvas_;
}

bool TCustomStatusBar::ShowsGrip() const {
    const auto* form = dynamic_cast<const TCustomForm*>(Parent());
    return sizeGrip_ && form &&
           (form->BorderStyle() == bsSizeable || form->BorderStyle() == bsSizeToolWin);
}

void TCustomStatusBar::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    CreateSubClass(p, win::STATUSCLASSNAMEA);
    p.Style |= win::CCS_NOPARENTALIGN | win::CCS_NORESIZE;
    if (ShowsGrip()) p.Style |= win::SBARS_SIZEGRIP;
}

void TCustomStatusBar::CreateWnd() {
    TWinControl::CreateWnd();
    UpdatePanels();
    win::SendMessageA(Handle(), win::SB_SETTEXTA, win::SB_SIMPLEID,
                      reinterpret_cast<win::LPARAM>(simpleText_.c_str()));
    win::SendMessageA(Handle(), win::SB_SIMPLE, simplePanel_, 0);
}

// The parts end where the panels' widths add up to; the last one reaches the end. A panel's
// alignment becomes the tabs that place its text.
void TCustomStatusBar::UpdatePanels() {
    if (!HandleAllocated()) return;
    constexpr int kMaxParts = 256;
    const int n = std::min(panels_->Count(), kMaxParts);
    std::vector<int> edges(static_cast<std::size_t>(std::max(n, 1)), -1);
    // Widths add up saturated: huge ones end at the largest edge, never wrap around.
    int64_t x = 0;
    for (int i = 0; i + 1 < n; ++i) {
        x = std::min<int64_t>(x + panels_->Items(i)->Width(), INT32_MAX);
        edges[i] = static_cast<int>(x);
    }
    win::SendMessageA(Handle(), win::SB_SETPARTS, edges.size(),
                      reinterpret_cast<win::LPARAM>(edges.data()));
    if (n == 0) win::SendMessageA(Handle(), win::SB_SETTEXTA, 0, reinterpret_cast<win::LPARAM>(""));
    for (int i = 0; i < n; ++i) {
        const TStatusPanel* panel = panels_->Items(i);
        if (panel->Style() == psOwnerDraw) {
            win::SendMessageA(Handle(), win::SB_SETTEXTA, i | win::SBT_OWNERDRAW, 0);
            continue;
        }
        const std::string text = (panel->Alignment() == taCenter         ? "\t"
                                  : panel->Alignment() == taRightJustify ? "\t\t"
                                                                         : "") +
                                 panel->Text();
        win::SendMessageA(Handle(), win::SB_SETTEXTA, i,
                          reinterpret_cast<win::LPARAM>(text.c_str()));
    }
}

void TCustomStatusBar::SetSimplePanel(bool on) {
    if (on == simplePanel_) return;
    simplePanel_ = on;
    if (HandleAllocated()) win::SendMessageA(Handle(), win::SB_SIMPLE, on, 0);
}

void TCustomStatusBar::SetSimpleText(const std::string& text) {
    if (text == simpleText_) return;
    simpleText_ = text;
    if (HandleAllocated())
        win::SendMessageA(Handle(), win::SB_SETTEXTA, win::SB_SIMPLEID,
                          reinterpret_cast<win::LPARAM>(simpleText_.c_str()));
}

void TCustomStatusBar::SetSizeGrip(bool on) {
    if (on == sizeGrip_) return;
    sizeGrip_ = on;
    RecreateWnd();
}

void TCustomStatusBar::SetBorderWidth(int width) {
    width = std::max(width, 0);
    if (width == borderWidth_) return;
    borderWidth_ = width;
    if (HandleAllocated())
        win::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                          win::SWP_NOMOVE | win::SWP_NOSIZE | win::SWP_NOZORDER |
                              win::SWP_NOACTIVATE | win::SWP_FRAMECHANGED);
    Invalidate();
}

void TCustomStatusBar::DrawPanel(TStatusPanel* panel, const TRect& rect) {
    if (OnDrawPanel)
        OnDrawPanel(this, panel, rect);
    else
        canvas_->FillRect(rect);
}

void TCustomStatusBar::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case CN_DRAWITEM: {
            const auto* dis = reinterpret_cast<const win::DRAWITEMSTRUCT*>(m.LParam);
            const auto index = static_cast<int>(dis->itemID);
            m.Result = 1;
            if (index < 0 || index >= panels_->Count()) return;
            canvas_->SetHandle(dis->hDC);
            canvas_->Font()->Assign(Font());
            canvas_->Brush()->SetColor(Color());
            try {
                DrawPanel(panels_->Items(index), dis->rcItem);
            } catch (...) {
                canvas_->SetHandle(nullptr);
                throw;
            }
            canvas_->SetHandle(nullptr);
            return;
        }
        case win::WM_NCCALCSIZE: {
            DefaultHandler(m);
            auto* r = m.WParam ? &reinterpret_cast<win::NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0]
                               : reinterpret_cast<win::RECT*>(m.LParam);
            // A border wider than any window leaves no client area rather than overflowing.
            const int b = std::min(borderWidth_, 1 << 24);
            r->left += b;
            r->top += b;
            r->right = std::max(r->left, r->right - b);
            r->bottom = std::max(r->top, r->bottom - b);
            return;
        }
        case win::WM_NCPAINT: {
            DefaultHandler(m);
            if (borderWidth_ == 0) return;
            // The margin between the window's edge and its client area, in the bar's colour.
            win::HDC dc = win::GetWindowDC(Handle());
            win::RECT w, c;
            win::GetWindowRect(Handle(), &w);
            win::GetClientRect(Handle(), &c);
            win::POINT origin{0, 0};
            win::ClientToScreen(Handle(), &origin);
            const int ox = origin.x - w.left, oy = origin.y - w.top;
            win::ExcludeClipRect(dc, ox, oy, ox + c.right, oy + c.bottom);
            win::RECT all{0, 0, w.right - w.left, w.bottom - w.top};
            win::HBRUSH b = win::CreateSolidBrush(ColorToRGB(Color()));
            win::FillRect(dc, &all, b);
            win::DeleteObject(b);
            win::ReleaseDC(Handle(), dc);
            return;
        }
        default:
            TWinControl::Dispatch(m);
            return;
    }
}

}  // namespace vcl

// The speed-button handler and the link that puts it into the button's WindowProc chain.
#include "skin/windows/adapters/speed_button_handler.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/gdi/draw_text.h"
#include "skin/controls/button_glyphs.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/fast_pixels.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/engine_state.h"
#include "skin/core/state/mask_paint.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_text.h"
#include "skin/windows/adapters/button_adapters.h"
#include "skin/windows/adapters/window_adapter.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin {

// The handler's place in the button's chain; it outlives the handler while something calls it.
class SpeedButtonLink : public vcl::TComponent {
public:
    explicit SpeedButtonLink(vcl::TSpeedButton* b) : vcl::TComponent(nullptr), button(b) {
        button->FreeNotification(this);
    }
    ~SpeedButtonLink() override {
        if (button) button->RemoveFreeNotification(this);
    }

    vcl::TWndMethod Mine() { return vcl::TWndMethod(this, &SpeedButtonLink::WndProc); }
    void WndProc(vcl::TMessage& m) {
        ++depth;
        if (handler)
            handler->WndProc(m);
        else if (old)
            old(m);
        --depth;
    }
    void Notification(vcl::TComponent* c, vcl::TOperation op) override {
        vcl::TComponent::Notification(c, op);
        if (op != vcl::opRemove || c != button) return;
        button = nullptr;
        if (handler) {
            handler->Button = nullptr;
            handler->Destroyed = true;
        }
    }
    // Nothing calls it any more.
    bool Idle() const { return handler == nullptr && depth == 0 && (button == nullptr || out); }

    TacSpeedButtonHandler* handler = nullptr;
    vcl::TSpeedButton* button;
    vcl::TWndMethod old;
    int depth = 0;
    bool out = false;  // taken out of the chain
};

namespace {

std::vector<std::unique_ptr<SpeedButtonLink, vcl::FreeDeleter>>& Links() {
    static std::vector<std::unique_ptr<SpeedButtonLink, vcl::FreeDeleter>> links;
    return links;
}

void SweepLinks() {
    std::erase_if(Links(), [](const auto& l) { return l->Idle(); });
}

constexpr uint32_t kMeasureFlags = win::DT_CALCRECT | win::DT_WORDBREAK | win::DT_EXPANDTABS;
constexpr int kMeasureWidth = 255;

}  // namespace

int LiveSpeedButtonLinks() {
    SweepLinks();
    return int(Links().size());
}

TacSpeedButtonHandler::TacSpeedButtonHandler(vcl::TSpeedButton* button,
                                             const std::string& section, TsSkinManager* manager,
                                             TsCommonData* skinData)
    : Button(button), SkinData(skinData) {
    SkinManager = manager ? manager : skinData ? skinData->SkinManager() : nullptr;
    if (SkinData && SkinData->SkinSection().empty()) SkinData->SetSkinSection(section);
    SweepLinks();
    if (Button == nullptr) {
        Destroyed = true;
        return;
    }
    link_ = new SpeedButtonLink(Button);
    Links().emplace_back(link_);
    link_->handler = this;
    link_->old = Button->WindowProc;
    Button->WindowProc = link_->Mine();
}

TacSpeedButtonHandler::~TacSpeedButtonHandler() {
    if (link_) {
        link_->handler = nullptr;
        // Freed with all the form's items while the skin stays: the button keeps its look.
        const bool leave = AdapterItemsFreeing && !RemovingSkin;
        if (!Destroyed && Button && !leave && Button->WindowProc == link_->Mine()) {
            Button->WindowProc = link_->old;
            link_->out = true;
        }
        link_ = nullptr;
    }
    Destroyed = true;
    SkinManager = nullptr;
    SweepLinks();
}

int TacSpeedButtonHandler::CurrentState() const {
    if (Button && (Button->State() == vcl::bsDown || Button->State() == vcl::bsExclusive)) return 2;
    return ControlIsActive(SkinData) ? 1 : 0;
}

void TacSpeedButtonHandler::PassOn(vcl::TMessage& m) {
    if (link_ && link_->old) link_->old(m);
}

void TacSpeedButtonHandler::Repaint() {
    if (Button && Button->Visible() && Button->Parent() && Button->Parent()->HandleAllocated())
        Button->Repaint();
}

void TacSpeedButtonHandler::LayOut(vcl::TCanvas* canvas) {
    vcl::TPoint glyph{0, 0};
    if (vcl::TBitmap* g = Button->Glyph(); g && !g->Empty())
        glyph = {g->Width() / std::max(1, Button->NumGlyphs()), g->Height()};
    vcl::TPoint text{0, 0};
    const std::string caption = Button->Caption();
    if (!caption.empty()) {
        win::RECT r{0, 0, kMeasureWidth, 0};
        win::SelectObject(canvas->Handle(), canvas->Font()->Handle());
        win::DrawTextA(canvas->Handle(), caption.c_str(), int(caption.size()), &r, kMeasureFlags);
        text = {r.right - r.left, r.bottom - r.top};
    }
    const GlyphTextPlace p =
        PlaceGlyphAndText({Button->Width(), Button->Height()}, glyph, text, Button->Layout(),
                          Button->Margin(), Button->Spacing());
    GlyphRect = p.Glyph;
    TextRect = p.Text;
}

bool TacSpeedButtonHandler::PrepareCache() {
    TsCommonData* d = SkinData;
    if (d == nullptr || Button == nullptr || Button->Parent() == nullptr) return false;
    d->InitCacheBmp();
    vcl::TBitmap* cache = d->CacheBmp();
    if (cache == nullptr || cache->Width() < 1 || cache->Height() < 1) return false;
    cache->Canvas()->SetFont(Button->Font());
    BackgroundInfo info;
    GetParentBackground(info, Button->Parent(), false);
    if (info.BgType == btCache && (info.Bmp == nullptr || info.Bmp->Width() < 1)) return false;
    CacheInfo parent;
    PixelView view;
    BGInfoToCacheInfo(info, parent, view);
    const int state = CurrentState();
    const vcl::TPoint at{Button->Left(), Button->Top()};
    PaintControlSection(d, parent, true, state, TRect{0, 0, cache->Width(), cache->Height()}, at,
                        cache, 0);
    PaintCtrlBorders(d, state);
    LayOut(cache->Canvas());
    if (const std::string caption = Button->Caption(); !caption.empty()) {
        cache->Canvas()->Brush()->SetStyle(vcl::bsClear);
        DrawSkinText(cache->Canvas(), caption, true, state, d,
                     win::DT_CENTER | win::DT_WORDBREAK | win::DT_EXPANDTABS, TextRect);
    }
    if (vcl::TBitmap* g = Button->Glyph(); g && !g->Empty()) {
        ButtonGlyph in;
        in.Glyph = g;
        in.NumGlyphs = std::max(1, Button->NumGlyphs());
        in.SkinData = d;
        in.Skinned = true;
        in.Enabled = Button->Enabled();
        in.State = state;
        in.GlyphRect = GlyphRect;
        DrawButtonGlyph(in, nullptr);
    }
    if (!Button->Enabled())
        BlendDisabledEffect(ViewOf(cache), TsDisabledKind{dkBlended}, parent, at,
                            TColor(vcl::ColorToRGB(Button->Parent()->Color())));
    d->CacheStale = false;
    return true;
}

void TacSpeedButtonHandler::WndProc(vcl::TMessage& m) {
    if (Destroyed || Button == nullptr || SkinData == nullptr) return PassOn(m);
    SpeedButtonLink* link = link_;
    // Whether this handler still exists after a call into the button's own procedure.
    auto gone = [link, this] { return link->handler != this; };
    switch (m.Msg) {
        case win::WM_PAINT: {
            auto dc = reinterpret_cast<win::HDC>(m.WParam);
            if (dc == nullptr || !IsControlSkinned(SkinData, true)) break;
            const int saved = win::SaveDC(dc);
            if (PrepareCache()) {
                PaintCtrlBorders(SkinData, CurrentState());
                vcl::TBitmap* cache = SkinData->CacheBmp();
                win::BitBlt(dc, 0, 0, Button->Width(), Button->Height(), cache->Canvas()->Handle(),
                            0, 0, win::SRCCOPY);
            }
            win::RestoreDC(dc, saved);
            m.Result = 0;
            return;
        }
        case vcl::CM_MOUSEENTER:
        case vcl::CM_MOUSELEAVE:
            SkinData->MouseAbove = m.Msg == vcl::CM_MOUSEENTER;
            PassOn(m);
            if (!gone()) Repaint();
            return;
        case SM_ALPHACMD:
            switch (SkinCommandCode(m.WParam)) {
                case SKC_ISSKINAWARE:
                    m.Result = 1;
                    return;
                case SKC_GETAPPLICATION:
                    m.Result = reinterpret_cast<intptr_t>(vcl::Application());
                    return;
                case SKC_REPAINTGRAPHIC:
                    SkinData->BGChanged = false;
                    SkinData->CacheStale = true;
                    Repaint();
                    break;
                case SKC_NEWSKIN:
                    if (m.LParam != reinterpret_cast<intptr_t>(SkinManager)) break;
                    CommonWndProc(m, SkinData);
                    return;
                case SKC_REMOVESKIN:
                    if (m.LParam != reinterpret_cast<intptr_t>(SkinManager) ||
                        Button->ComponentState().Contains(vcl::csDestroying))
                        break;
                    CommonWndProc(m, SkinData);
                    Repaint();
                    break;
                case SKC_REFRESH:
                    if (m.LParam != reinterpret_cast<intptr_t>(SkinManager)) break;
                    CommonWndProc(m, SkinData);
                    Repaint();
                    return;
                case SKC_ENDPARENTUPDATE:
                    if (!SkinData->BGChanged) break;
                    SkinData->BGChanged = false;
                    Repaint();
                    return;
                default:
                    break;
            }
            break;
        default:
            break;
    }
    PassOn(m);
}

}  // namespace skin

// The provider as the owner of its extended-border window, and the start-up that lets
// providers make one.
#include "platform/user/user.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/effects/border_form.h"
#include "skin/windows/provider/provider_startup.h"
#include "skin/windows/provider/skin_provider.h"
#include "skin/windows/provider/system_menu.h"

namespace skin {

using namespace vcl;

namespace {

class ProviderBorderOwner : public TacBorderOwner {
public:
    explicit ProviderBorderOwner(TsSkinProvider* p) : p_(p) {}

    win::HWND Handle() const override { return p_->FormHandle(); }
    TsCommonData* SkinData() const override { return p_->SkinData(); }
    TsSkinManager* Manager() const override { return p_->SkinManager(); }

    bool PlacingPaused() const override {
        const TsCommonData* d = p_->SkinData();
        return p_->Form()->FormState.Contains(fsShowing) || (d->CtrlState & kCtrlUpdating) ||
               d->BGChanged || p_->InAnimation || !p_->DrawNonClientArea;
    }
    bool Destroying() const override { return p_->Destroying(); }
    void RemoveBorders() override { p_->UpdateBorderForm(false); }
    bool MaximizedExtended() const override { return p_->FormMaximized(); }
    bool Modal() const override { return p_->Form()->FormState.Contains(fsModal); }
    uint8_t ConstantAlpha(uint8_t alpha) const override {
        return p_->Form()->AlphaBlend() ? p_->Form()->AlphaBlendValue() : alpha;
    }

    int FrameWidth(bool extended) const override {
        return skin::SysBorderWidth(Handle(), p_->BorderForm(), extended);
    }
    int ExtBorderWidth() const override { return p_->ExtBorderWidth(); }
    int ExtTitleHeight() const override { return p_->ExtTitleHeight(); }
    int ExtCaptionExtra() const override { return p_->ExtCaptionExtra(); }
    bool HasCaption() const override { return p_->CaptionHeight(false) != 0; }
    int CaptionHeight(bool extended) const override { return p_->CaptionHeight(extended); }
    int MenuHeight() const override { return p_->MenuLineCount() * p_->MenuHeight(); }
    TRect IconRect() const override { return p_->IconVisible() ? p_->IconRect() : TRect{}; }
    TRect ClientRect() const override {
        const win::HWND h = Handle();
        const int x = p_->ClientOffsetX(), y = p_->ClientOffsetY();
        return {x, y - MenuHeight(), x + WndClientWidth(h), y + WndClientHeight(h)};
    }

    int ButtonAt(TPoint p) const override { return p_->CaptionButtonAt(p); }
    bool ExtHitTest(TMessage& m) override {
        if (!p_->OnExtHitTest) return false;
        m.Result = 0;
        p_->OnExtHitTest(m);
        return m.Result != 0;
    }
    bool GripAt(TPoint p) const override {
        TsSkinManager* manager = Manager();
        if (!p_->GripVisible() || !manager) return false;
        const int grip = manager->GetMaskIndexByNames("GLOBALINFO", "GRIPIMAGE");
        if (!manager->IsValidImgIndex(grip)) return false;
        const TPoint g = p_->GripPos(grip);
        return p.X > g.X && p.Y > g.Y;
    }

    void PaintFrame() override { p_->PaintFrame(); }
    void SetHotHT(int code) override { p_->SetHotHT(code, true); }
    void KillAnimations() override { p_->KillAnimations(); }
    void StopOutline() override {
        if (p_->ResizeMode != rmBorder || !OutlineRunning()) return;
        win::POINT c{};
        win::GetCursorPos(&c);
        p_->StopMoveSize(c.x, c.y);
        win::ReleaseCapture();
    }
    void CaptionDoubleClick() override {
        const win::HWND h = Handle();
        TsSystemMenu* menu = p_->SystemMenu;
        const bool iconic = win::IsIconic(h);
        if (menu && menu->VisibleClose() && (menu->EnabledMax() || menu->EnabledRestore())) {
            const bool restore = iconic || win::IsZoomed(h);
            const std::weak_ptr<int> life = p_->LifeToken();
            win::SendMessageA(h, win::WM_SYSCOMMAND, restore ? win::SC_RESTORE : win::SC_MAXIMIZE,
                              0);
            if (!life.expired() && p_->SystemMenu) p_->SystemMenu->UpdateItems();
        } else if (iconic) {
            win::SendMessageA(h, win::WM_SYSCOMMAND, win::SC_RESTORE, 0);
        }
    }

private:
    TsSkinProvider* p_;
};

}  // namespace

BorderFormCreator& BorderFormCreation() {
    static BorderFormCreator creator;
    return creator;
}

void InitBorderForms() {
    BorderFormCreation() = [](TsSkinProvider* p) -> TacBorderFormBase* {
        return new TacBorderForm(std::make_unique<ProviderBorderOwner>(p));
    };
}

int BorderHitTest(TacBorderFormBase* border, TMessage& m) {
    auto* b = dynamic_cast<TacBorderForm*>(border);
    if (!b) return int(win::HTTRANSPARENT);
    TMessage test = m;
    test.Msg = win::WM_NCHITTEST;
    return b->HitTest(test);
}

}  // namespace skin

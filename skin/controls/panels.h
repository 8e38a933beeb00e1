// TsPanel, the skinned container (kind 51, section "PANEL"), and TsDragBar, a title-coloured
// strip (kind 56, section "DRAGBAR") whose left-button press moves DraggedControl.
#pragma once

#include <memory>

#include "skin/core/state/common_data.h"
#include "vcl/controls/ext_ctrls.h"

namespace skin {

using TPaintEvent = vcl::Delegate<void(vcl::TObject* Sender, vcl::TCanvas* Canvas)>;

class TsPanel : public vcl::TPanel {
public:
    VCL_CLASS_PUBLISHED(TsPanel, vcl::TPanel)
    explicit TsPanel(vcl::TComponent* owner);
    ~TsPanel() override;

    TsCommonData* SkinData() const { return skinData_.get(); }

    // After the panel painted itself, while it is showing.
    TPaintEvent OnPaint;
    vcl::TNotifyEvent OnMouseEnter;
    vcl::TNotifyEvent OnMouseLeave;

    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(vcl::TMessage& message) override;

protected:
    void Paint() override;

private:
    std::unique_ptr<TsCommonData> skinData_;
};

class TsDragBar : public TsPanel {
public:
    VCL_CLASS_PUBLISHED(TsDragBar, TsPanel)
    explicit TsDragBar(vcl::TComponent* owner);

    // The control the bar moves: its form, when none is set before the form is loaded.
    vcl::TControl* DraggedControl() const { return dragged_; }
    void SetDraggedControl(vcl::TControl* control);

    void Loaded() override;
    void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

protected:
    void MouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;

private:
    vcl::TControl* dragged_ = nullptr;
};

}  // namespace skin

// TsPanel, the skinned container (kind 51, section "PANEL"), and TsDragBar, a title-coloured
// strip (kind 56, section "DRAGBAR") whose left-button press moves DraggedControl.
//
// Skinned, a panel whose background is a plain colour paints it straight into the DC (with the
// border mask from its cache when the section has one); any other panel paints from its cache,
// which also answers its children's background questions (command 34). The plain colour is
// mixed as the core mixes it (the parent's share TRANSPARENCY / 100), so both paths show the
// same pixels. Removing the skin gives the class library's panel back.
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
    // Rebuilds the cache image: the section over the parent's background, the caption, then
    // OnPaint on the cache's canvas.
    void PrepareCache();
    // Paints the skinned panel and its graphic children into `dc` (the panel's origin at 0, 0).
    void PaintPanel(win::HDC dc);

protected:
    void Paint() override;

private:
    // The client area less the bevels and BorderWidth, where the caption is written.
    vcl::TRect CaptionArea() const;
    void PaintCaption(vcl::TCanvas* canvas);
    bool PaintedByCache() const;
    void AnswerBackground(BackgroundInfo& info);
    bool SkinCommand(vcl::TMessage& m);

    std::unique_ptr<TsCommonData> skinData_;
    bool painting_ = false;
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
    void WndProc(vcl::TMessage& message) override;

protected:
    void MouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;

private:
    vcl::TControl* dragged_ = nullptr;
};

}  // namespace skin

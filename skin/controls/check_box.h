// TsCheckBox: the skinned check box (kind 32, section "CHECKBOX").
//
// Skinned, the box composes its whole window in its cache at every paint: the section, the
// caption in the section's colours and the box glyph in its state (0 normal, 1 active, 2
// pressed); state changes fade through the window services. It then toggles itself: on the
// release of the space bar, or of the left button inside the box, after a press on it. A press
// that ends any other way (focus lost, cancelled, capture lost) does not toggle.
//
// ReadOnly keeps the operator from toggling it, by mouse or keyboard, silently; code still
// sets Checked and State. With AutoSize the box takes the size of its caption: until a skin is
// active that is the caption's width plus 20 and its height plus 4, at least 20 high. The box's
// glyph comes from Images (ImgChecked, ImgUnchecked), from GlyphChecked and GlyphUnChecked, or
// from the skin, in that order of preference.
#pragma once

#include <memory>

#include "skin/controls/control_frame.h"
#include "skin/controls/skin_types.h"
#include "skin/controls/window_services.h"
#include "skin/core/state/common_data.h"
#include "skin/core/data/skin_data.h"
#include "vcl/controls/std_ctrls.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/image_list.h"

namespace skin {

class TsCheckBox : public vcl::TCustomCheckBox, public TsStatefulControl {
public:
    VCL_CLASS_PUBLISHED(TsCheckBox, vcl::TCustomCheckBox)
    explicit TsCheckBox(vcl::TComponent* owner);
    ~TsCheckBox() override;

    TsCommonData* SkinData() const { return skinData_.get(); }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on) { readOnly_ = on; }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    // The gap between the control's edge and the glyph.
    int Margin() const { return margin_; }
    void SetMargin(int margin);
    // The extra gap between the glyph and the caption.
    int TextIndent() const { return textIndent_; }
    void SetTextIndent(int indent);
    bool ShowFocus() const { return showFocus_; }
    void SetShowFocus(bool on);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on);
    vcl::TBitmap* GlyphChecked() const { return glyphChecked_.get(); }
    void SetGlyphChecked(vcl::TBitmap* glyph);
    vcl::TBitmap* GlyphUnChecked() const { return glyphUnChecked_.get(); }
    void SetGlyphUnChecked(vcl::TBitmap* glyph);
    vcl::TCustomImageList* Images() const { return images_; }
    void SetImages(vcl::TCustomImageList* images);
    int ImgChecked() const { return imgChecked_; }
    void SetImgChecked(int index);
    int ImgUnchecked() const { return imgUnchecked_; }
    void SetImgUnchecked(int index);
    TsDisabledKind DisabledKind() const { return disabledKind_; }
    void SetDisabledKind(TsDisabledKind kind);
    TacAnimatEvents AnimatEvents() const { return animatEvents_; }
    void SetAnimatEvents(TacAnimatEvents events) { animatEvents_ = events; }
    // A mouse button or the space bar is down on the box.
    bool Pressed() const { return pressed_; }
    // 2 pressed, 1 active and not ReadOnly, else 0.
    int CurrentState() const override;
    // The glyph's size from its source (16 x 16 without one) and its place in the control.
    vcl::TPoint GlyphSize() const;
    vcl::TRect GlyphRect() const;
    // Rebuilds the cache image.
    void PrepareCache();

    // Every change of the value (code, click or key) fades in as the value change (CM_CHANGED),
    // or shows at once.
    void SetState(vcl::TCheckBoxState state) override;

    vcl::TNotifyEvent OnMouseEnter;
    vcl::TNotifyEvent OnMouseLeave;

    void AfterConstruction() override;
    void Loaded() override;
    void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
    void WndProc(vcl::TMessage& message) override;

protected:
    void ButtonClicked() override;
    // Takes the size AutoSize asks for.
    void AdjustSize();

private:
    void GlyphChanged();
    bool UsesImages() const;
    const TsMaskData* SkinGlyph(int which) const;
    bool CaptionRight() const;
    void PaintCaption(int state);
    void PaintGlyph(int state);
    void PaintToDC(win::HDC dc, bool clientDC);
    void StopFade();
    void ChangeState(TacAnimatEvent event, bool fast);
    bool SkinnedInput(vcl::TMessage& m);
    void EndPress();

    std::unique_ptr<TsCommonData> skinData_;
    bool readOnly_ = false;
    bool autoSize_ = true;
    int margin_ = 2;
    int textIndent_ = 0;
    bool showFocus_ = true;
    bool wordWrap_ = false;
    std::unique_ptr<vcl::TBitmap> glyphChecked_;
    std::unique_ptr<vcl::TBitmap> glyphUnChecked_;
    vcl::TCustomImageList* images_ = nullptr;
    int imgChecked_ = 0;
    int imgUnchecked_ = 0;
    TsDisabledKind disabledKind_{dkBlended};
    TacAnimatEvents animatEvents_{aeGlobalDef};
    bool pressed_ = false;
    FadePtr fade_;
    LookKey look_;  // what the cache image was last built from
};

}  // namespace skin

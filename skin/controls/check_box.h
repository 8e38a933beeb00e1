// TsCheckBox: the skinned check box (kind 32, section "CHECKBOX").
//
// ReadOnly keeps the operator from toggling it, by mouse or keyboard, silently; code still
// sets Checked and State. With AutoSize the box takes the size of its caption: until a skin is
// active that is the caption's width plus 20 and its height plus 4, at least 20 high. The box's
// glyph comes from Images (ImgChecked, ImgUnchecked), from GlyphChecked and GlyphUnChecked, or
// from the skin, in that order of preference.
#pragma once

#include <memory>

#include "skin/controls/skin_types.h"
#include "skin/core/state/common_data.h"
#include "vcl/controls/std_ctrls.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/image_list.h"

namespace skin {

class TsCheckBox : public vcl::TCustomCheckBox {
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

    void SetChecked(bool on) override;

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
};

}  // namespace skin

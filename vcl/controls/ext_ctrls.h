// Panels, bevels, images and paint boxes.
//
// A panel paints its outer bevel, a border of BorderWidth pixels in its colour, its inner
// bevel, then its face and its caption (centred vertically, placed by Alignment); aligned
// children stay inside bevels and border. A bevel is a graphic control that paints only a
// box, a frame or one line in the raised or lowered look. An image shows its picture; a paint
// box leaves all painting to OnPaint.
#pragma once

#include <memory>

#include "vcl/controls/controls.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/picture.h"

namespace vcl {

// TBevelCut is the windowed controls' own (controls.h): edits have bevels too.
using TPanelBevel = TBevelCut;
using TBevelWidth = int;

class TCustomPanel : public TCustomControl {
public:
    VCL_CLASS(TCustomPanel, TCustomControl)
    explicit TCustomPanel(TComponent* owner);

    TPanelBevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(TPanelBevel b);
    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel b);
    TBevelWidth BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(TBevelWidth w);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int w);
    // bsSingle gives the window a sunken client edge.
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle s);

    void Dispatch(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void AdjustClientRect(TRect& rect) override;
    void Paint() override;

private:
    void FrameChanged();

    TPanelBevel bevelInner_ = bvNone;
    TPanelBevel bevelOuter_ = bvRaised;
    TBevelWidth bevelWidth_ = 1;
    int borderWidth_ = 0;
    TBorderStyle borderStyle_ = bsNone;
};

class TPanel : public TCustomPanel {
public:
    VCL_CLASS_PUBLISHED(TPanel, TCustomPanel)
    using TCustomPanel::TCustomPanel;
};

enum TBevelShape : uint8_t {
    bsBox,
    bsFrame,
    bsTopLine,
    bsBottomLine,
    bsLeftLine,
    bsRightLine,
    bsSpacer
};
enum TBevelStyle : uint8_t { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
public:
    VCL_CLASS_PUBLISHED(TBevel, TGraphicControl)
    explicit TBevel(TComponent* owner);

    TBevelShape Shape() const { return shape_; }
    void SetShape(TBevelShape s);
    TBevelStyle Style() const { return style_; }
    void SetStyle(TBevelStyle s);

protected:
    void Paint() override;

private:
    TBevelShape shape_ = bsBox;
    TBevelStyle style_ = bsLowered;
};

class TCustomImage : public TGraphicControl {
public:
    VCL_CLASS(TCustomImage, TGraphicControl)
    explicit TCustomImage(TComponent* owner);
    ~TCustomImage() override;

    // The image's own picture; assigning copies.
    TPicture* Picture() const { return picture_.get(); }
    void SetPicture(TPicture* picture);
    // The control takes the picture's size.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    // A picture smaller than the control is centred (else it sits at the top left).
    bool Center() const { return center_; }
    void SetCenter(bool on);
    // The picture fills the control.
    bool Stretch() const { return stretch_; }
    void SetStretch(bool on);
    // The picture's transparent parts let the parent show.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);

protected:
    void Paint() override;
    // Where the picture goes: the whole control, centred, or at the top left.
    TRect DestRect() const;

private:
    void PictureChanged(TObject*);

    std::unique_ptr<TPicture, FreeDeleter> picture_;
    bool autoSize_ = false;
    bool center_ = false;
    bool stretch_ = false;
    bool transparent_ = false;
};

class TImage : public TCustomImage {
public:
    VCL_CLASS_PUBLISHED(TImage, TCustomImage)
    using TCustomImage::TCustomImage;
};

class TPaintBox : public TGraphicControl {
public:
    VCL_CLASS(TPaintBox, TGraphicControl)
    explicit TPaintBox(TComponent* owner);

    // Paints on Canvas, which has the box's font and a brush of its colour.
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

}  // namespace vcl

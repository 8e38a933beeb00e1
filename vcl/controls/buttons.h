// Buttons with glyphs: TBitBtn, a push button over an owner-drawn native button, and
// TSpeedButton, a graphic tool button that never takes the focus.
//
// Both lay a glyph and a caption out the same way. The glyph is a bitmap strip of NumGlyphs
// frames of equal width (up, disabled, down, stuck down); its bottom-left pixel's colour is
// transparent. A state without its own frame shows the up frame (disabled: embossed). Layout
// puts the glyph left of, right of, above or below the caption; Margin is the gap from the
// edge on the glyph's side (-1 centres glyph and caption together); Spacing is the gap between
// them (-1 spreads them evenly when Margin is set).
//
// A speed button's states: up, down while the mouse holds it, and stuck down (Down) when it
// belongs to a group (GroupIndex not 0). Pressing a grouped button sticks it down and releases
// the others of its group on the same parent; pressing it again releases it only when the
// group AllowAllUp. OnClick fires when the mouse is released over the button.
#pragma once

#include <memory>
#include <string>

#include "platform/user/messages.h"
#include "vcl/controls/std_ctrls.h"
#include "vcl/graphics/bitmap.h"

namespace vcl {

enum TButtonLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonState : uint8_t { bsUp, bsDisabled, bsDown, bsExclusive };
using TNumGlyphs = int;  // 1 to 4

class TButtonGlyph;

// The glyph and its layout, shared by the buttons that show one.
template <class Base>
class TGlyphButton : public Base {
public:
    explicit TGlyphButton(TComponent* owner);
    ~TGlyphButton() override;

    // The glyph is the button's own copy; changing it repaints the button. A strip whose
    // width is a whole multiple of its height sets NumGlyphs to the number of squares.
    TBitmap* Glyph() const;
    void SetGlyph(TBitmap* glyph);
    TNumGlyphs NumGlyphs() const;
    void SetNumGlyphs(TNumGlyphs n);
    TButtonLayout Layout() const;
    void SetLayout(TButtonLayout layout);
    int Margin() const;
    void SetMargin(int margin);
    int Spacing() const;
    void SetSpacing(int spacing);

protected:
    // Glyph and caption in the state, inside `client` moved by `offset`; the DC has the font
    // and the text colour. Answers the caption's rectangle.
    TRect DrawGlyphAndCaption(win::HDC dc, const TRect& client, TPoint offset, TButtonState state,
                              bool transparent, uint32_t textFlags);

private:
    void GlyphChanged(TObject*) { this->Invalidate(); }

    std::unique_ptr<TButtonGlyph> glyph_;
};

class TBitBtn : public TGlyphButton<TButton> {
public:
    VCL_CLASS_PUBLISHED(TBitBtn, TButton)
    explicit TBitBtn(TComponent* owner) : TGlyphButton(owner) {}

    // The caption breaks into lines at blanks and line breaks.
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on);

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    void ApplyButtonStyle(bool isDefault) override;
    // Paints the whole button into the DC of a WM_DRAWITEM.
    virtual void DrawItem(const win::DRAWITEMSTRUCT& item);

private:
    bool wordWrap_ = false;
};

class TSpeedButton : public TGlyphButton<TGraphicControl> {
public:
    VCL_CLASS_PUBLISHED(TSpeedButton, TGraphicControl)
    explicit TSpeedButton(TComponent* owner);

    // Only the button under the mouse (or down) shows its edges.
    bool Flat() const { return flat_; }
    void SetFlat(bool on);
    // The parent shows through where the button paints nothing (a flat button's face, the
    // glyph's transparent pixels).
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool on);
    // Always false outside a group.
    bool Down() const { return down_; }
    void SetDown(bool on);
    TButtonState State() const { return state_; }

    void Dispatch(TMessage& message) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    // Tells the other buttons of the group on the parent that this one is down, and shares
    // AllowAllUp with them.
    void UpdateExclusive();

    TButtonState state_ = bsUp;
    bool mouseInControl_ = false;
    bool dragging_ = false;

private:
    bool flat_ = false;
    bool transparent_ = true;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    bool down_ = false;
};

}  // namespace vcl

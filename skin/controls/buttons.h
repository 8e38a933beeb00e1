// The skinned buttons: TsBitBtn (kind 94, section "BUTTON"), TsSpeedButton (kind 92, section
// "SPEEDBUTTON") and TsTimerSpeedButton, which repeats its click while it is held.
//
// Both buttons show a glyph from their Glyph bitmap or, when that is empty, picture ImageIndex
// of Images; changing either repaints the button. They place glyph and caption the same way
// (LayoutButton): the block of glyph, Spacing and caption by Alignment inside the effective
// margin (0 for an automatic Margin of -1, else Margin + 3), the glyph centred across it; a
// pressed button moves both by one pixel. Until a skin is active a button whose glyph comes
// from Images paints the classic face itself; any other paints as its base does.
//
// A speed button of style tbsDropDown has a drop-down part 16 pixels wide at its right, which
// shows DropdownMenu under the button (the whole button does when it has no OnClick).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "skin/controls/skin_types.h"
#include "skin/core/state/common_data.h"
#include "vcl/controls/buttons.h"
#include "vcl/controls/menus.h"
#include "vcl/graphics/image_list.h"
#include "vcl/system/timer.h"

namespace skin {

using TBmpPaintEvent = vcl::Delegate<void(vcl::TObject* Sender, vcl::TBitmap* Bmp)>;

// The number of images of a list; 0 for none.
int ImageListCount(vcl::TCustomImageList* images);

// Where glyph and caption go inside a button of `size`.
struct TsButtonLayout {
    vcl::TRect glyph;
    vcl::TRect caption;
};
TsButtonLayout LayoutButton(vcl::TPoint size, vcl::TPoint glyphSize, vcl::TPoint captionSize,
                            vcl::TButtonLayout layout, vcl::TAlignment alignment, int margin,
                            int spacing);

// What both skinned buttons add to their base: the skin state, the picture of an image list
// and the options of the glyph and caption.
template <class Base>
class TsGlyphSkinned : public Base {
public:
    TsGlyphSkinned(vcl::TComponent* owner, int kind);
    ~TsGlyphSkinned() override;

    TsCommonData* SkinData() const { return skinData_.get(); }
    vcl::TCustomImageList* Images() const { return images_; }
    void SetImages(vcl::TCustomImageList* images);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    vcl::TAlignment TextAlignment() const { return textAlignment_; }
    void SetTextAlignment(vcl::TAlignment a);
    int Blend() const { return blend_; }
    void SetBlend(int percent);
    bool Grayed() const { return grayed_; }
    void SetGrayed(bool on);
    TsDisabledGlyphKind DisabledGlyphKind() const { return disabledGlyphKind_; }
    void SetDisabledGlyphKind(TsDisabledGlyphKind kind);
    TsDisabledKind DisabledKind() const { return disabledKind_; }
    void SetDisabledKind(TsDisabledKind kind);
    bool Reflected() const { return reflected_; }
    void SetReflected(bool on);
    bool DrawOverBorder() const { return drawOverBorder_; }
    void SetDrawOverBorder(bool on);
    int TextOffset() const { return textOffset_; }
    void SetTextOffset(int offset);
    TacAnimatEvents AnimatEvents() const { return animatEvents_; }
    void SetAnimatEvents(TacAnimatEvents events) { animatEvents_ = events; }
    void SetAlignment(vcl::TAlignment a) override;
    // The glyph comes from Images: ImageIndex lies within the list.
    bool ImageUsable() const;

    TBmpPaintEvent OnPaint;
    vcl::TNotifyEvent OnMouseEnter;
    vcl::TNotifyEvent OnMouseLeave;

    void AfterConstruction() override;
    void Loaded() override;
    void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

    // The published properties both buttons share, of a button class C.
    template <class C>
    static std::vector<vcl::TPropInfo> GlyphProperties();

protected:
    // The look changed: the button repaints (when it may).
    virtual void LookChanged() { skinData_->Invalidate(); }

private:
    std::unique_ptr<TsCommonData> skinData_;
    vcl::TCustomImageList* images_ = nullptr;
    int imageIndex_ = -1;
    vcl::TAlignment textAlignment_ = vcl::taCenter;
    int blend_ = 0;
    bool grayed_ = false;
    TsDisabledGlyphKind disabledGlyphKind_{dgBlended};
    TsDisabledKind disabledKind_{dkBlended};
    bool reflected_ = false;
    bool drawOverBorder_ = true;
    int textOffset_ = 0;
    TacAnimatEvents animatEvents_{aeGlobalDef};
};

class TsBitBtn : public TsGlyphSkinned<vcl::TBitBtn> {
public:
    VCL_CLASS_PUBLISHED(TsBitBtn, vcl::TBitBtn)
    explicit TsBitBtn(vcl::TComponent* owner);

    // Held down: painted pressed.
    bool Down() const { return down_; }
    void SetDown(bool on);
    int FocusMargin() const { return focusMargin_; }
    void SetFocusMargin(int margin) { focusMargin_ = margin; }
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool on);
    bool ShowFocus() const { return showFocus_; }
    void SetShowFocus(bool on);

    // 0 normal, 1 hot (under the mouse, focused or the default button), 2 pressed.
    virtual int CurrentState();

    void WndProc(vcl::TMessage& message) override;

protected:
    void DrawItem(const win::DRAWITEMSTRUCT& item) override;

private:
    bool down_ = false;
    int focusMargin_ = 1;
    bool showCaption_ = true;
    bool showFocus_ = true;
    bool pressed_ = false;
};

enum TToolButtonStyle : uint8_t {
    tbsButton,
    tbsCheck,
    tbsDropDown,
    tbsSeparator,
    tbsDivider,
    tbsTextButton
};

class TsSpeedButton : public TsGlyphSkinned<vcl::TSpeedButton> {
public:
    VCL_CLASS_PUBLISHED(TsSpeedButton, vcl::TSpeedButton)
    explicit TsSpeedButton(vcl::TComponent* owner);

    TToolButtonStyle ButtonStyle() const { return buttonStyle_; }
    void SetButtonStyle(TToolButtonStyle style);
    vcl::TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
    void SetDropdownMenu(vcl::TPopupMenu* menu);
    // Off: the caption is kept aside and the button shows none.
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool on);

    // 16 for the drop-down style, else 0.
    int DropDownArrowWidth() const { return buttonStyle_ == tbsDropDown ? 16 : 0; }
    // 0 normal, 1 hot, 2 pressed (down or stuck down).
    virtual int CurrentState();
    // The drop-down menu is showing.
    bool DroppedDown() const { return droppedDown_; }

    void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
    void WndProc(vcl::TMessage& message) override;

protected:
    // Shown only: the cache is stale and the button repaints.
    void LookChanged() override;
    void Paint() override;
    void MouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
    void MouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;

private:
    void ShowDropDown();

    TToolButtonStyle buttonStyle_ = tbsButton;
    vcl::TPopupMenu* dropdownMenu_ = nullptr;
    bool showCaption_ = true;
    std::string savedCaption_;
    bool droppedDown_ = false;
    bool hintsSaved_ = false;
    bool savedShowHint_ = false;
};

// A speed button that clicks again and again while it is held: 400 ms after the press, then
// every 100 ms, as long as the mouse holds it (AllowTimer).
class TsTimerSpeedButton : public TsSpeedButton {
public:
    VCL_CLASS_PUBLISHED(TsTimerSpeedButton, TsSpeedButton)
    explicit TsTimerSpeedButton(vcl::TComponent* owner);
    ~TsTimerSpeedButton() override;

    bool AllowTimer() const { return allowTimer_; }
    void SetAllowTimer(bool on) { allowTimer_ = on; }
    // Draws a focus rectangle inside the face.
    bool FocusMark() const { return focusMark_; }
    void SetFocusMark(bool on);

protected:
    void Paint() override;
    void MouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
    void MouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;

private:
    void TimerTick(vcl::TObject*);

    vcl::TTimer* timer_ = nullptr;
    bool allowTimer_ = true;
    bool focusMark_ = false;
};

}  // namespace skin

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

#include "skin/controls/button_glyphs.h"
#include "skin/controls/skin_types.h"
#include "skin/controls/window_services.h"
#include "skin/core/state/common_data.h"
#include "vcl/controls/buttons.h"
#include "vcl/controls/menus.h"
#include "vcl/graphics/image_list.h"
#include "vcl/system/timer.h"

namespace skin {

using TBmpPaintEvent = vcl::Delegate<void(vcl::TObject* Sender, vcl::TBitmap* Bmp)>;

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
class TsGlyphSkinned : public Base, public TsGlyphOwner, public TsStatefulControl {
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
    // The glyph's size: the list's with a usable image, else one frame of Glyph; 0, 0 without.
    vcl::TPoint GlyphSize() const;
    // What the glyph painter reads; the glyph's place comes from the button's layout.
    ButtonGlyph GlyphInputs() override;

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
    // Where the glyph goes in the current state.
    virtual vcl::TRect GlyphRect() { return {}; }
    // Held down (both buttons have the property, the speed button from its base).
    virtual bool IsDown() const { return false; }
    // Where glyph and caption go in an area of `size` (from the left of the button), the
    // caption measured in the button's font on `dc`, wrapped when `wrap`: `pressed` moves both
    // by one pixel, `lift` raises the glyph by a sixth of its height, TextOffset moves the
    // caption.
    TsButtonLayout PlaceGlyphAndCaption(win::HDC dc, vcl::TPoint size, vcl::TPoint glyph,
                                        const std::string& caption, bool wrap, bool pressed,
                                        bool lift);
    // The glyph at `place` on `dc`, as the unskinned button shows it.
    void DrawGlyphAt(win::HDC dc, const vcl::TRect& place);
    // The application's hints go off while the button is held: the setting is saved once per
    // press and given back when the press ends, whichever way it ends.
    void SuspendHints();
    void RestoreHints();
    // `m` ends a press without a release (cancel, capture loss, disabled, hidden): the hints
    // come back. Answers whether it did.
    bool EndsPressWithoutRelease(const vcl::TMessage& m);

    FadePtr fade_;  // the running fade, when one runs

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
    bool hintsSaved_ = false;
    bool savedShowHint_ = false;
};

// Skinned, the bit button paints its whole window from its cache: the section background, the
// border mask of its state (whose key-coloured corners are cut out of the window region), the
// caption and the glyph. States: 0 normal, 1 hot (under the mouse, focused or the default
// button), 2 pressed. Every change of state fades when the section and the events allow it.
//
// Rules:
//  1. The window owns the region it is given; the button never frees a region it handed
//     over, and frees one it made but did not hand over.
//  2. The application's hints are off while the button is held: saved once per press, given
//     back on the release, on cancel, on capture loss, when disabled, hidden or destroyed.
//  3. A release while a fade still runs shows the pressed look at once, waits 30 ms, then
//     fades to the released look.
class TsBitBtn : public TsGlyphSkinned<vcl::TBitBtn> {
public:
    VCL_CLASS_PUBLISHED(TsBitBtn, vcl::TBitBtn)
    explicit TsBitBtn(vcl::TComponent* owner);
    ~TsBitBtn() override;

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
    int CurrentState() const override;
    // Rebuilds the cache image for the current state.
    void PrepareCache();
    // The glyph and caption rectangles of the current state.
    TsButtonLayout ButtonLayout();

    void WndProc(vcl::TMessage& message) override;

protected:
    void DrawItem(const win::DRAWITEMSTRUCT& item) override;
    void ApplyButtonStyle(bool isDefault) override;
    vcl::TRect GlyphRect() override { return ButtonLayout().glyph; }
    bool IsDown() const override { return down_; }

private:
    bool SkinnedWndProc(vcl::TMessage& m);
    void PaintCaption(const vcl::TRect& r, int state);
    void PaintBorderMask(int state);
    void PaintToDC(win::HDC dc, bool clientDC);
    void StopFade();
    void ChangeState(TacAnimatEvent event, bool fast);
    // The release `m`: the inherited handling between showing the press and fading away.
    void PressEnded(vcl::TMessage& m);

    bool down_ = false;
    int focusMargin_ = 1;
    bool showCaption_ = true;
    bool showFocus_ = true;
    bool pressed_ = false;
    bool forcePressed_ = false;
    bool regionChanged_ = true;
    win::HRGN region_ = nullptr;  // made for the window, not yet handed over
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
    int CurrentState() const override;
    // Rebuilds the cache image; skinned, the button shows it (Redraw).
    virtual void PrepareCache();
    // Shows the cache (or the running fade's frame) now; unskinned, repaints.
    void Redraw();
    // The glyph and caption rectangles of the current state, beside the drop-down part.
    TsButtonLayout ButtonLayout();
    // The drop-down menu is showing.
    bool DroppedDown() const { return droppedDown_; }

    void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
    void WndProc(vcl::TMessage& message) override;

protected:
    // Shown only: the cache is stale and the button repaints.
    void LookChanged() override;
    vcl::TRect GlyphRect() override { return ButtonLayout().glyph; }
    // The look changes for `event`: a fade the button paints itself, or at once.
    void ChangeState(TacAnimatEvent event, bool fast);
    void PaintCaption(const vcl::TRect& r, int state);
    void Paint() override;
    void MouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
    void MouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
    // Paints the parent's graphic controls that lie over the button (later in its order and
    // overlapping) into `dc`, where the button's top-left corner is (0, 0), clipped to the
    // button: a label over the button stays visible when the button shows its picture outside
    // the parent's paint, and in the pictures a fade runs between.
    void PaintSiblings(win::HDC dc);

private:
    void ShowDropDown();
    // Copies the cache (rebuilt when stale), or the running fade's frame, onto the control;
    // `alone` outside the parent's paint: then with the controls lying over the button.
    void ShowPicture(bool alone);

    TToolButtonStyle buttonStyle_ = tbsButton;
    vcl::TPopupMenu* dropdownMenu_ = nullptr;
    bool showCaption_ = true;
    std::string savedCaption_;
    bool droppedDown_ = false;
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

// The skinned edits: TsEdit, TsMaskEdit and TsMemo, the class library's edits with a skin
// state (SkinData, kind 3, or 7 for the memo; section "EDIT"), a disabled look and a bound
// label. Until a skin is active they look and behave as their bases.
//
// Skinned, an edit paints its section into a cache image of its whole window: the frame reaches
// the screen as border strips on WM_NCPAINT, and the inside of an enabled edit is the class
// library's own text painting over the section's colour. A disabled edit, and an idle masked
// edit, show the whole cache with the text drawn into it. The memo paints no frame of its own:
// its frame and scroll bars come from an edit window adapter of the window skinning.
//
// The window procedure order, the same in all three:
//  1. Skin commands answered skinned or not: 7 (1), 60 (the application), and 1, 2, 3 for the
//     state's own manager only.
//  2. Not skinned: the class library's handling.
//  3. Skinned: the messages that paint (WM_PAINT, WM_ERASEBKGND, WM_NCPAINT, WM_PRINT).
//  4. Everything else: the skin state, then the class library, then the look follows.
//  5. The bound label follows the control.
#pragma once

#include "skin/controls/edit_skin.h"
#include "skin/controls/window_services.h"
#include "vcl/controls/edits.h"
#include "vcl/controls/mask_edit.h"

namespace skin {

class TsEdit : public TsEditSkinned<vcl::TEdit> {
public:
    VCL_CLASS_PUBLISHED(TsEdit, vcl::TEdit)
    explicit TsEdit(vcl::TComponent* owner) : TsEditSkinned(owner, 3) {}

    void WndProc(vcl::TMessage& message) override;

    // Paints the whole control into the cache image.
    virtual void PrepareCache();
    // Draws the text (or its password characters) into the cache image.
    virtual void PaintText();
    // The stale decision, then the cache to `dc` (the window DC when null; `clientDC` when the
    // DC's origin is the client area).
    void PaintFrameToDC(win::HDC dc, bool clientDC);

protected:
    // The frame from the cache on the window DC.
    void PaintNonClient();
    // The width of the frame the window's non-client area takes.
    int FrameWidth() const;
};

class TsMaskEdit : public TsEditSkinned<vcl::TMaskEdit>, public TsStatefulControl {
public:
    VCL_CLASS_PUBLISHED(TsMaskEdit, vcl::TMaskEdit)
    explicit TsMaskEdit(vcl::TComponent* owner);

    void WndProc(vcl::TMessage& message) override;

    // Sets the edit's formatting rectangle; a control with a button inside keeps the text
    // clear of it.
    virtual void SetEditRect() {}
    // The border strips of the cache to `dc` (the window DC when null).
    virtual void PaintBorder(win::HDC dc);
    virtual void PaintText();
    // The whole cache to `dc` (the window DC when null), rebuilt first when stale.
    virtual void PaintToDC(win::HDC dc, bool clientDC);
    // 0 normal, 1 active.
    int CurrentState() const override;
    // The cache builder: the section (with borders for a single border), the text, the
    // disabled look.
    void PaintEditFrame();

protected:
    // 0 without a border, else 2 + Ctl3D.
    int EditBorderExtraWidth() const;
};

class TsMemo : public TsEditSkinned<vcl::TMemo> {
public:
    VCL_CLASS_PUBLISHED(TsMemo, vcl::TMemo)
    explicit TsMemo(vcl::TComponent* owner);
    ~TsMemo() override;

    // The selection was set (EM_SETSEL): the caret may have moved out of sight.
    vcl::TNotifyEvent OnScrollCaret;
    // The memo scrolled vertically (WM_VSCROLL).
    vcl::TNotifyEvent OnVScroll;

    // The adapter that draws the frame and scroll bars; null while none is made.
    TacControlAdapter* Adapter() const { return adapter_.get(); }

    void Loaded() override;
    void WndProc(vcl::TMessage& message) override;

protected:
    // A memo on a form shown after it was made gets its window only after it starts showing:
    // the adapter comes with the window.
    void CreateWnd() override;

private:
    void UpdateAdapter();

    AdapterPtr adapter_;
};

}  // namespace skin

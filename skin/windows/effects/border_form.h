// The extended-border window: a borderless layered top-level window lying around a skinned form
// (or skinned dialog) that shows the skin's wide frame, caption and drop shadow with per-pixel
// alpha while the owner itself is clipped to its inner part. It hit-tests the outer frame for
// the owner, lets clicks in the transparent shadow fall through to the window below and follows
// the owner's place, size, state and z-order.
//
// The window layers above know the owner (the form provider, the dialog adapter); this one sees
// it only through TacBorderOwner. Coordinates named "image" are those of the owner's frame cache,
// which is the border window's own picture: (0, 0) is the border window's top-left corner.
#pragma once

#include <cstdint>
#include <memory>

#include "skin/core/state/neighbour_services.h"
#include "vcl/system/messages.h"
#include "vcl/system/types.h"

namespace vcl {
class TForm;
}

namespace skin {

class TsCommonData;
class TsSkinManager;

// What the border window asks of its owner.
class TacBorderOwner {
public:
    virtual ~TacBorderOwner() = default;
    // The owner's window; null while it has none.
    virtual win::HWND Handle() const = 0;
    // Its skin state: the cache image is the border window's picture.
    virtual TsCommonData* SkinData() const = 0;
    virtual TsSkinManager* Manager() const = 0;
    virtual bool IsDialog() const { return false; }

    // Placing waits (the form is showing, in a skin update, animating, or draws no frame).
    virtual bool PlacingPaused() const { return false; }
    // The owner (or its form) is being destroyed: the border window must go.
    virtual bool Destroying() const { return false; }
    // Takes the border form away (it is the caller).
    virtual void RemoveBorders() {}
    // Maximised and wearing extended borders: the caption is raised into the screen's edge.
    virtual bool MaximizedExtended() const { return false; }
    virtual bool Modal() const { return false; }
    // The form's constant alpha when it blends, else `alpha`.
    virtual uint8_t ConstantAlpha(uint8_t alpha) const { return alpha; }

    // Frame measures: the frame width (`extended`: the skin's extended width when set), the
    // skin's extended border width and title height, and the caption's extra height.
    virtual int FrameWidth(bool extended) const = 0;
    virtual int ExtBorderWidth() const = 0;
    virtual int ExtTitleHeight() const = 0;
    virtual int ExtCaptionExtra() const = 0;
    virtual bool HasCaption() const = 0;
    virtual int CaptionHeight(bool extended) const = 0;
    // The menu rows' height (0 for a dialog).
    virtual int MenuHeight() const { return 0; }
    virtual vcl::TRect IconRect() const { return {}; }
    // The client area and menu rows in image coordinates; empty for a dialog.
    virtual vcl::TRect ClientRect() const { return {}; }

    // The caption element's code at an image point (HTCLOSE, HTMAXBUTTON ..., 1000 + i), with
    // its enabled rules; 0 for none.
    virtual int ButtonAt(vcl::TPoint p) const = 0;
    // The application's hit test; true when it answered (m.Result non-zero).
    virtual bool ExtHitTest(vcl::TMessage& /*m*/) { return false; }
    // The point lies on the size grip.
    virtual bool GripAt(vcl::TPoint /*p*/) const { return false; }

    virtual void PaintFrame() = 0;
    virtual void SetHotHT(int code) = 0;
    virtual void KillAnimations() {}
    // Ends an outline move or size in progress.
    virtual void StopOutline() {}
    // A double click on the caption: maximise, restore or nothing, as the owner allows.
    virtual void CaptionDoubleClick() {}
};

class TacBorderForm : public TacBorderFormBase {
public:
    explicit TacBorderForm(std::unique_ptr<TacBorderOwner> owner);
    ~TacBorderForm() override;
    TacBorderForm(const TacBorderForm&) = delete;
    TacBorderForm& operator=(const TacBorderForm&) = delete;

    // ---- TacBorderFormBase ----
    win::HWND Handle() const override;
    win::HRGN MakeRgn() override;
    void UpdateExBordersPos(bool repaint, uint8_t alpha) override;
    win::HWND OwnerHandle() const override;
    void PaintOwnerFrame() override;

    // The hit-test code of a WM_NCHITTEST-shaped message (screen point in LParam).
    int HitTest(vcl::TMessage& m);
    // Whether the point of a mouse message lies in the shadow margin; clears the owner's hot
    // element when it does.
    bool PtInMargin(const vcl::TMessage& m);
    // Sets the cursor for the point under the mouse; false when it left it to the default.
    bool UpdateCursor();
    vcl::TRect GetFrameMargins() const;
    // How far the border window's top lies above the owner's (not maximised).
    int TopOffset() const;
    // The border window's offsets from the owner's top-left corner.
    int OffsetX() const;
    int OffsetY() const;

    TacBorderOwner* Owner() const { return owner_.get(); }
    vcl::TForm* AForm() const { return form_; }
    uint8_t PassThrough = 0;
    uint8_t Updating = 0;

private:
    void BorderWndProc(vcl::TMessage& m);
    void PassToWindowBelow(vcl::TMessage& m);
    void DoubleClick(vcl::TMessage& m);
    int SizingZone(int x, int y, int w, int h) const;
    bool Running() const;

    std::unique_ptr<TacBorderOwner> owner_;
    vcl::TForm* form_ = nullptr;
    vcl::TWndMethod savedProc_;
    int depth_ = 0;  // messages of the border window running now
    std::shared_ptr<int> life_ = std::make_shared<int>(0);
};

}  // namespace skin

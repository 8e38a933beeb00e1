// Form show, hide and skin-change animations.
//
// Every animation works alike: the window's picture is drawn into a 32-bit image, a borderless
// overlay is laid over the window's place, and the overlay is updated frame by frame as a
// layered window whose constant alpha ramps up (show, skin change) or down (hide); in the aero
// mode the picture also grows from, or shrinks to, three quarters of its size (an eighth off
// each side). Frames are 10 ms apart on the current clock.
//
// Rules:
//  1. N = time div 10. N > 0 gives N + 1 frames; N = 0 draws the final picture once at the
//     target alpha (show, dialog, skin change) and a hide does nothing.
//  2. The animation-running flag is set for the whole of any animation and cleared on every
//     way out, exceptions included.
//  3. Show and skin-change animations run to their end inside the call; a hide returns at once
//     and goes on on the hide timer (at once, too, while the application is terminating).
//  4. The hide timer owns the overlay, image and frame of its hide and frees each once, at the
//     end of the hide or with the timer. A new hide ends an earlier one completely first.
//  5. A temporary overlay (a dialog without a border form) is hidden and freed at the end.
//  6. Every frame goes through LayeredWindowUpdate, which tests replace to record the frames.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/gdi/blit.h"
#include "platform/user/win_types.h"
#include "skin/core/data/stored_skins.h"
#include "skin/core/state/threaded_timer.h"
#include "vcl/controls/controls.h"

namespace vcl {
class TBitmap;
class TCustomForm;
}  // namespace vcl

namespace skin {

class TsSkinProviderBase;
class TacDialogWndBase;

// The layered-window update of one frame: the overlay shows `size` of the picture selected into
// `srcDC` from (0, 0), with `blend`'s constant alpha over its per-pixel alpha.
using TLayeredWindowUpdate =
    std::function<win::BOOL(win::HWND overlay, win::HDC screenDC, const win::SIZE& size,
                            win::HDC srcDC, const win::BLENDFUNCTION& blend)>;
// The call in use; the default is the windowing layer's UpdateLayeredWindow.
TLayeredWindowUpdate& LayeredWindowUpdate();
void ResetLayeredWindowUpdate();

// The arithmetic of appearing frames (show, dialog, skin change): the constant alpha rises by
// A / N per frame, and in the aero mode the rectangle the picture is stretched into grows by
// W / 8N, H / 8N per side and step, from an eighth in on each side to the whole picture.
struct TacAppearFrames {
    void Init(int steps, uint8_t alpha, int width, int height, TacAnimType mode);
    // The next frame into `frame` (same size as `image`); answers its constant alpha.
    uint8_t Frame(win::HDC image, win::HDC frame);
    void Step();

    TacAnimType Mode = atFading;
    uint8_t Target = 255;
    int Width = 0, Height = 0;
    double Alpha = 0, AlphaStep = 0;
    double Dx = 0, Dy = 0;
    double Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// The timer of hide animations: fades its overlay from half the alpha to 0 in N + 1 steps (in
// the aero mode shrinking the picture to three quarters), then frees overlay, image and frame.
class TacHideTimer : public TacThreadedTimer {
public:
    VCL_CLASS(TacHideTimer, TacThreadedTimer)

    explicit TacHideTimer(vcl::TComponent* owner);
    ~TacHideTimer() override;

    // Takes the overlay and the image; ends an earlier hide first.
    void Start(vcl::TCustomForm* overlay, vcl::TBitmap* image, int steps, TacAnimType mode,
               uint8_t alpha);
    void InitSteps();
    void MakeFrame();
    void StepRect();
    // One frame; past the last one, the end of the hide.
    void DoStep(vcl::TObject* sender = nullptr);
    // Ends a running hide: stops the steps and frees overlay, image and frame.
    void Finish();

    bool Running() const { return overlay_ || image_ || frame_; }
    vcl::TCustomForm* Overlay() const { return overlay_; }
    uint32_t Counter() const { return counter_; }
    uint32_t Steps() const { return steps_; }
    uint8_t CurrentAlpha() const { return blend_.SourceConstantAlpha; }

protected:
    void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

private:
    void FreeParts();

    vcl::TCustomForm* overlay_ = nullptr;
    win::SIZE size_{};
    win::BLENDFUNCTION blend_{};
    uint32_t startAlpha_ = 0;
    uint32_t counter_ = 0;
    uint32_t steps_ = 0;
    TacAnimType mode_ = atFading;
    double alpha_ = 0, alphaStep_ = 0;
    double dx_ = 0, dy_ = 0;
    double left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
    vcl::TBitmap* image_ = nullptr;
    vcl::TBitmap* frame_ = nullptr;
};

// A window that paints nothing, so it goes on showing what it was placed over.
class TOutputWindow : public vcl::TCustomControl {
public:
    VCL_CLASS(TOutputWindow, vcl::TCustomControl)
    explicit TOutputWindow(vcl::TComponent* owner);
    ~TOutputWindow() override;

protected:
    void CreateParams(vcl::TCreateParams& params) override;
    void WndProc(vcl::TMessage& message) override;
};

// The state of the animations, on the GUI thread.
extern vcl::TBitmap* AnimBmp;             // the window's picture during an animation
extern win::HDC AnimDC;                   // its DC while the window is drawn into it
extern vcl::TWinControl* SnapshotWindow;  // the overlay of the running skin change
extern vcl::TBitmap* SnapshotBmp;         // the screen under a control (CoverWithSnapshot)
// The hide timer; null until the first hide (and after the application freed it).
TacHideTimer* HideTimer();

// The show animation of a skinned form; its overlay is the provider's border form.
void AnimShowForm(TsSkinProviderBase* provider, int time, uint8_t alpha, TacAnimType mode);
void AnimShowDialog(TacDialogWndBase* dialog, int time, uint8_t alpha, TacAnimType mode);
void AnimHideForm(TsSkinProviderBase* provider);
void AnimHideDialog(TacDialogWndBase* dialog);
// Fades `overlay` out over `time` ms, showing `image`; takes both.
void RunHideAnimation(vcl::TCustomForm* overlay, vcl::TBitmap* image, int time, TacAnimType mode,
                      uint8_t alpha);
// The new look of a form (or any windowed control) fades in over the old picture.
void AnimFormTransition(vcl::TWinControl* control, int time, uint8_t alpha, TacAnimType mode);
// Keeps the screen's picture of the control in front of it until the snapshot window goes.
void CoverWithSnapshot(vcl::TWinControl* control);
// Puts the snapshot window just above the control among its siblings.
void PlaceAfterControl(vcl::TWinControl* snapshot, vcl::TWinControl* control);

}  // namespace skin

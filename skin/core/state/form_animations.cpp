#include "skin/core/state/form_animations.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "platform/gdi/dc.h"
#include "platform/os/clock.h"
#include "platform/user/user.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/pixels/fast_pixels.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/engine_state.h"
#include "skin/core/state/graphic_children.h"
#include "skin/core/state/hooked_forms.h"
#include "skin/core/state/library_startup.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin {

vcl::TBitmap* AnimBmp = nullptr;
win::HDC AnimDC = nullptr;
vcl::TWinControl* SnapshotWindow = nullptr;
vcl::TBitmap* SnapshotBmp = nullptr;

namespace {

constexpr int kFrameMs = 10;
constexpr win::UINT kBehindFlags =
    win::SWP_NOREDRAW | win::SWP_NOACTIVATE | win::SWP_NOCOPYBITS | win::SWP_NOOWNERZORDER;
constexpr win::UINT kRedrawAll = win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_FRAME |
                                 win::RDW_ALLCHILDREN | win::RDW_UPDATENOW;
constexpr intptr_t kEngineWindowTag = -98;

TacHideTimer* gHideTimer = nullptr;

win::BOOL SystemLayeredUpdate(win::HWND overlay, win::HDC screenDC, const win::SIZE& size,
                              win::HDC srcDC, const win::BLENDFUNCTION& blend) {
    win::POINT origin{0, 0};
    return win::UpdateLayeredWindow(overlay, screenDC, nullptr, &size, srcDC, &origin, 0x1FFFFFFF,
                                    &blend, win::ULW_ALPHA);
}

TLayeredWindowUpdate& CurrentLayeredUpdate() {
    static TLayeredWindowUpdate update = SystemLayeredUpdate;
    return update;
}

// Rounds half to even, as the engine's floating-point mixes do.
int RoundEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}

win::BLENDFUNCTION Blend(uint8_t alpha) {
    win::BLENDFUNCTION b;
    b.BlendOp = win::AC_SRC_OVER;
    b.BlendFlags = 0;
    b.SourceConstantAlpha = alpha;
    b.AlphaFormat = win::AC_SRC_ALPHA;
    return b;
}

// One frame of `bmp` onto the overlay. No screen DC: the layered window needs none, and
// opening one would compose the whole screen at every frame.
void ShowFrame(win::HWND overlay, vcl::TBitmap* bmp, uint8_t alpha) {
    LayeredWindowUpdate()(overlay, nullptr, win::SIZE{bmp->Width(), bmp->Height()},
                          bmp->Canvas()->Handle(), Blend(alpha));
}

// Sets the animation-running flag for its lifetime.
class RunningFlag {
public:
    RunningFlag() { AnimationRunning = true; }
    ~RunningFlag() { AnimationRunning = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;
};

// Frees the animation image (and forgets its DC) on every way out.
class AnimImage {
public:
    AnimImage() = default;
    ~AnimImage() {
        AnimDC = nullptr;
        vcl::FreeAndNil(AnimBmp);
    }
    AnimImage(const AnimImage&) = delete;
    AnimImage& operator=(const AnimImage&) = delete;
};

// Draws `control` into the animation image with its canvas locked and its DC published.
void DrawIntoAnimImage(vcl::TWinControl* control, TsSkinProviderBase* provider) {
    vcl::TCanvas* canvas = AnimBmp->Canvas();
    canvas->Lock();
    AnimDC = canvas->Handle();
    try {
        PaintControlToBitmap(AnimBmp, control, 0, provider, 0);
    } catch (...) {
        AnimDC = nullptr;
        canvas->Unlock();
        throw;
    }
    AnimDC = nullptr;
    canvas->Unlock();
}

void AddLayeredStyles(win::HWND wnd) {
    const auto ex = win::GetWindowLong(wnd, win::GWL_EXSTYLE);
    win::SetWindowLong(wnd, win::GWL_EXSTYLE,
                       ex | win::LONG_PTR(win::WS_EX_LAYERED | win::WS_EX_NOACTIVATE));
}

bool IsTopmost(win::HWND wnd) {
    return (win::GetWindowLong(wnd, win::GWL_EXSTYLE) & win::WS_EX_TOPMOST) != 0;
}

// The window above `wnd` in z-order, so that a window put after it lies just above `wnd`.
win::HWND WindowBefore(win::HWND wnd) {
    return win::GetWindow(wnd, win::GW_HWNDPREV);
}

// A borderless form of the engine's own, never skinned.
vcl::TForm* NewOverlayForm() {
    auto* form = new vcl::TForm(vcl::Application());
    form->SetTag(kEngineWindowTag);
    form->SetBorderStyle(vcl::bsNone);
    const win::HWND wnd = form->Handle();
    win::SetWindowLong(wnd, win::GWL_EXSTYLE,
                       win::GetWindowLong(wnd, win::GWL_EXSTYLE) |
                           win::LONG_PTR(win::WS_EX_TOOLWINDOW | win::WS_EX_NOACTIVATE));
    return form;
}

// The window's outer rectangle widened by the extended-border margins.
win::RECT OverlayRect(win::HWND wnd, const vcl::TRect& margins) {
    win::RECT r{};
    win::GetWindowRect(wnd, &r);
    return win::RECT{r.left - margins.Left, r.top - margins.Top, r.right + margins.Right,
                     r.bottom + margins.Bottom};
}

// The image's frame and client area: all of it but the extended-border margins.
void MakeWindowOpaque(vcl::TBitmap* image, const vcl::TRect& margins) {
    FillAlphaRect(ViewOf(image),
                  vcl::TRect(margins.Left, margins.Top, image->Width() - margins.Right,
                             image->Height() - margins.Bottom),
                  255);
}

// The cache image of a skin state; null without one.
vcl::TBitmap* CacheOf(TsCommonData* data) {
    return data ? data->CacheBmp() : nullptr;
}

// What a show or dialog animation needs of its window.
struct ShowTarget {
    win::HWND Wnd = nullptr;
    win::HWND Overlay = nullptr;
    vcl::TRect Margins;
    vcl::TCustomForm* Form = nullptr;        // a form's own object, or null for a dialog
    TsSkinProviderBase* Provider = nullptr;  // the form's provider, or null for a dialog
    vcl::TForm* TemporaryOverlay = nullptr;  // the overlay made for a dialog without a border form
};

// The N + 1 appearing frames of the animation image on the overlay, 10 ms apart.
void RunAppearFrames(win::HWND overlay, int steps, uint8_t alpha, TacAnimType mode) {
    const int w = AnimBmp->Width(), h = AnimBmp->Height();
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> frame(NewBitmap32(w, h));
    win::PatBlt(frame->Canvas()->Handle(), 0, 0, w, h, win::BLACKNESS);
    TacAppearFrames f;
    f.Init(steps, alpha, w, h, mode);
    for (int i = 0; i <= steps; ++i) {
        const uint8_t a = f.Frame(AnimBmp->Canvas()->Handle(), frame->Canvas()->Handle());
        ShowFrame(overlay, frame.get(), a);
        f.Step();
        os::Sleep(kFrameMs);
    }
}

// Algorithms of the show animations, from the image on: the overlay ramps up to `alpha` over
// the window, then the window takes over and the overlay goes behind it.
void RunShow(const ShowTarget& t, int time, uint8_t alpha, TacAnimType mode) {
    const int steps = time / kFrameMs;
    const int w = AnimBmp->Width(), h = AnimBmp->Height();
    const win::RECT place = OverlayRect(t.Wnd, t.Margins);

    AddLayeredStyles(t.Overlay);
    // With N = 0 this first update is the only frame: the final picture at the target alpha.
    ShowFrame(t.Overlay, AnimBmp, steps > 0 ? 0 : alpha);
    win::ShowWindow(t.Overlay, win::SW_SHOWNOACTIVATE);
    win::HWND after = WindowBefore(t.Wnd);
    win::UINT order = 0;
    if (IsTopmost(t.Wnd)) {
        after = win::HWND_TOPMOST;
        if (t.TemporaryOverlay) t.TemporaryOverlay->SetFormStyle(vcl::fsStayOnTop);
    } else if (after == t.Overlay) {
        order = win::SWP_NOZORDER;  // just above its window already: not over other programs
    } else if (!after) {
        after = win::HWND_TOP;
    }
    win::SetWindowPos(t.Overlay, after, place.left, place.top, w, h, kBehindFlags | order);

    if (steps > 0) {
        RunAppearFrames(t.Overlay, steps, alpha, mode);
        win::SetWindowPos(t.Overlay, nullptr, place.left, place.top, w, h,
                          kBehindFlags | win::SWP_NOZORDER);
        ShowFrame(t.Overlay, AnimBmp, alpha);
    }
}

// After the frames: the window is itself again and redrawn; without an overlay (no frames were
// drawn) it is shown here.
void EndShow(const ShowTarget& t, uint8_t alpha) {
    if (t.Provider) t.Provider->FormChanging = false;
    if (t.Form && t.Form->AlphaBlend()) t.Form->SetAlphaBlendValue(alpha);
    win::SendMessageA(t.Wnd, win::WM_SETREDRAW, 1, 0);
    if (!t.Overlay && !win::IsWindowVisible(t.Wnd)) win::ShowWindow(t.Wnd, win::SW_SHOWNA);
    win::UpdateWindow(t.Wnd);
    AnimationRunning = false;
    win::RedrawWindow(t.Wnd, nullptr, nullptr, kRedrawAll);
}

// Runs the show and ends it on every way out: a failure while drawing still gives the window
// its redrawing back before it goes on.
template <typename F>
void ShowThenEnd(const ShowTarget& t, uint8_t alpha, F show) {
    try {
        show();
    } catch (...) {
        try {
            EndShow(t, alpha);
        } catch (...) {
            // The first failure is the one to report.
        }
        throw;
    }
    EndShow(t, alpha);
}

}  // namespace

TLayeredWindowUpdate& LayeredWindowUpdate() {
    return CurrentLayeredUpdate();
}

void ResetLayeredWindowUpdate() {
    CurrentLayeredUpdate() = SystemLayeredUpdate;
}

// --- appearing frames ---

void TacAppearFrames::Init(int steps, uint8_t alpha, int width, int height, TacAnimType mode) {
    Mode = mode;
    Target = alpha;
    Width = width;
    Height = height;
    Alpha = 0.0;
    AlphaStep = steps > 0 ? double(alpha) / steps : double(alpha);
    if (mode == atAero && steps > 0) {
        Dx = double(width) / (8.0 * steps);
        Dy = double(height) / (8.0 * steps);
        Left = width / 8.0;
        Top = height / 8.0;
        Right = width - width / 8.0;
        Bottom = height - height / 8.0;
    } else {
        Dx = Dy = Left = Top = Right = Bottom = 0.0;
    }
}

uint8_t TacAppearFrames::Frame(win::HDC image, win::HDC frame) {
    Alpha = std::min(double(Target), Alpha + AlphaStep);
    if (Mode == atAero) {
        if (Left >= 0 && Top >= 0) {
            const int l = RoundEven(Left), t = RoundEven(Top);
            win::StretchBlt(frame, l, t, RoundEven(Right) - l, RoundEven(Bottom) - t, image, 0, 0,
                            Width, Height, win::SRCCOPY);
        } else {
            win::BitBlt(frame, 0, 0, Width, Height, image, 0, 0, win::SRCCOPY);
        }
    } else if (Left == 0) {
        // The fading picture never changes: it is copied once.
        win::BitBlt(frame, 0, 0, Width, Height, image, 0, 0, win::SRCCOPY);
        Left = 1.0;
    }
    return static_cast<uint8_t>(RoundEven(Alpha));
}

void TacAppearFrames::Step() {
    if (Mode != atAero) return;
    Left -= Dx;
    Top -= Dy;
    Right += Dx;
    Bottom += Dy;
}

// --- the hide timer ---

TacHideTimer::TacHideTimer(vcl::TComponent* owner) : TacThreadedTimer(owner) {
    gHideTimer = this;
}

TacHideTimer::~TacHideTimer() {
    // The worker goes first, so no step runs while the parts are freed.
    SetOnTimer({});
    FreeParts();
    if (gHideTimer == this) gHideTimer = nullptr;
}

void TacHideTimer::Notification(vcl::TComponent* component, vcl::TOperation operation) {
    TacThreadedTimer::Notification(component, operation);
    if (operation == vcl::opRemove && component == overlay_) overlay_ = nullptr;
}

void TacHideTimer::FreeParts() {
    if (overlay_) {
        vcl::TCustomForm* overlay = overlay_;
        overlay_ = nullptr;
        overlay->RemoveFreeNotification(this);
        overlay->Free();
    }
    vcl::FreeAndNil(image_);
    vcl::FreeAndNil(frame_);
}

void TacHideTimer::Finish() {
    SetInterval(65535);
    SetOnTimer({});
    FreeParts();
}

void TacHideTimer::Start(vcl::TCustomForm* overlay, vcl::TBitmap* image, int steps,
                         TacAnimType mode, uint8_t alpha) {
    Finish();
    SetInterval(kFrameMs);
    overlay_ = overlay;
    overlay_->FreeNotification(this);
    image_ = image;
    counter_ = 0;
    startAlpha_ = alpha;
    mode_ = mode;
    steps_ = uint32_t(steps);
    size_ = win::SIZE{image->Width(), image->Height()};
    blend_ = Blend(uint8_t(alpha / 2));

    const win::HWND wnd = overlay_->Handle();
    AddLayeredStyles(wnd);
    ShowFrame(wnd, image_, blend_.SourceConstantAlpha);
    win::ShowWindow(wnd, win::SW_SHOWNOACTIVATE);
    win::SetWindowPos(wnd, win::HWND_TOPMOST, overlay_->Left(), overlay_->Top(), size_.cx, size_.cy,
                      kBehindFlags);
    frame_ = NewBitmap32(size_.cx, size_.cy);
    win::PatBlt(frame_->Canvas()->Handle(), 0, 0, size_.cx, size_.cy, win::BLACKNESS);
    InitSteps();
}

void TacHideTimer::InitSteps() {
    alpha_ = double(startAlpha_ / 2);
    alphaStep_ = double(startAlpha_) / (2.0 * steps_);
    if (mode_ == atAero) {
        dx_ = -double(size_.cx) / (8.0 * steps_);
        dy_ = -double(size_.cy) / (8.0 * steps_);
        left_ = top_ = 0.0;
        right_ = size_.cx;
        bottom_ = size_.cy;
    } else {
        dx_ = dy_ = left_ = top_ = right_ = bottom_ = 0.0;
    }
}

void TacHideTimer::MakeFrame() {
    alpha_ = std::max(0.0, alpha_ - alphaStep_);
    blend_.SourceConstantAlpha = static_cast<uint8_t>(RoundEven(alpha_));
    const win::HDC src = image_->Canvas()->Handle();
    const win::HDC dst = frame_->Canvas()->Handle();
    if (mode_ == atAero) {
        win::PatBlt(dst, 0, 0, size_.cx, size_.cy, win::BLACKNESS);
        if (left_ >= 0 && top_ >= 0) {
            const int l = RoundEven(left_), t = RoundEven(top_);
            win::StretchBlt(dst, l, t, RoundEven(right_) - l, RoundEven(bottom_) - t, src, 0, 0,
                            size_.cx, size_.cy, win::SRCCOPY);
        } else {
            win::BitBlt(dst, 0, 0, size_.cx, size_.cy, src, 0, 0, win::SRCCOPY);
        }
    } else if (left_ == 0) {
        win::BitBlt(dst, 0, 0, size_.cx, size_.cy, src, 0, 0, win::SRCCOPY);
        left_ = 1.0;
    }
}

void TacHideTimer::StepRect() {
    if (mode_ != atAero) return;
    left_ -= dx_;
    top_ -= dy_;
    right_ += dx_;
    bottom_ += dy_;
}

void TacHideTimer::DoStep(vcl::TObject*) {
    if (!Running()) return;
    if (counter_ > steps_ || !overlay_) {
        Finish();
        return;
    }
    MakeFrame();
    ShowFrame(overlay_->Handle(), frame_, blend_.SourceConstantAlpha);
    StepRect();
    ++counter_;
}

TacHideTimer* HideTimer() {
    return gHideTimer;
}

// --- the output window ---

TOutputWindow::TOutputWindow(vcl::TComponent* owner) : vcl::TCustomControl(owner) {
    SetText("acOutputWindow");
    SetVisible(false);
    SetColor(0x800080);
}

TOutputWindow::~TOutputWindow() {
    if (SnapshotWindow == this) SnapshotWindow = nullptr;
}

void TOutputWindow::CreateParams(vcl::TCreateParams& params) {
    vcl::TCustomControl::CreateParams(params);
    if (Parent()) return;
    params.Style = win::WS_POPUP;
    params.ExStyle &= ~win::WS_EX_TOPMOST;
    auto* owner = dynamic_cast<vcl::TWinControl*>(Owner());
    if (owner && owner->HandleAllocated() && IsTopmost(owner->Handle()))
        params.ExStyle |= win::WS_EX_TOPMOST;
    params.WndParent = vcl::Application()->Handle();
}

void TOutputWindow::WndProc(vcl::TMessage& message) {
    switch (message.Msg) {
        case win::WM_ERASEBKGND:
            message.Result = 1;
            return;
        case win::WM_NCPAINT:
            message.Result = 0;
            return;
        case win::WM_PAINT: {
            // Painting nothing keeps the picture it was placed over; the update is validated.
            win::PAINTSTRUCT ps;
            win::BeginPaint(Handle(), &ps);
            win::EndPaint(Handle(), &ps);
            message.Result = 0;
            return;
        }
        default:
            vcl::TCustomControl::WndProc(message);
    }
}

// --- the animations ---

namespace {

// A new animation image the size of the window's cache image (the window's rectangle and its
// margins without one).
void NewAnimImage(vcl::TBitmap* cache, win::HWND wnd, const vcl::TRect& margins) {
    if (cache && !cache->Empty()) {
        AnimBmp = NewBitmap32(cache->Width(), cache->Height());
        return;
    }
    win::RECT r = OverlayRect(wnd, margins);
    AnimBmp = NewBitmap32(r.right - r.left, r.bottom - r.top);
}

void CopyCache(vcl::TBitmap* cache) {
    if (!cache) return;
    win::BitBlt(AnimBmp->Canvas()->Handle(), 0, 0, cache->Width(), cache->Height(),
                cache->Canvas()->Handle(), 0, 0, win::SRCCOPY);
}

// A dialog's picture: its frame freshly painted into its cache, its child windows printed
// into the client area and clipped to it.
void DrawDialogImage(TacDialogWndBase* dialog, const vcl::TRect& margins) {
    const win::HWND wnd = dialog->Handle();
    dialog->PaintFrame();
    vcl::TBitmap* cache = CacheOf(dialog->SkinData());
    NewAnimImage(cache, wnd, margins);
    CopyCache(cache);
    const win::HDC dc = AnimBmp->Canvas()->Handle();
    win::RECT client{};
    win::GetClientRect(wnd, &client);
    const int x = margins.Left + dialog->DialogBorderWidth();
    const int y = margins.Top + dialog->DialogTopFrameHeight();
    const int saved = win::SaveDC(dc);
    win::IntersectClipRect(dc, x, y, x + client.right, y + client.bottom);
    win::SetWindowOrgEx(dc, -x, -y, nullptr);
    Neighbours().PrintChildWindows(wnd, dc);
    win::RestoreDC(dc, saved);
    MakeWindowOpaque(AnimBmp, margins);
}

// A form's picture with its frame freshly painted; a form being destroyed gives its cache.
void DrawFormImage(TsSkinProviderBase* provider, const vcl::TRect& margins) {
    vcl::TCustomForm* form = provider->Form();
    provider->PaintFrame();
    vcl::TBitmap* cache = CacheOf(provider->SkinData());
    NewAnimImage(cache, form->Handle(), margins);
    if (!form->ComponentState().Contains(vcl::csDestroying))
        DrawIntoAnimImage(form, provider);
    else
        CopyCache(cache);
    MakeWindowOpaque(AnimBmp, margins);
}

// The window's painted picture, frame and children included, on the overlay at constant alpha
// `alpha`: the window is opaque, as an image whose every pixel has alpha 255 would show.
void ShowWindowPicture(win::HWND overlay, win::HWND wnd, const win::SIZE& size, uint8_t alpha) {
    struct WindowDC {
        win::HWND wnd;
        win::HDC dc;
        ~WindowDC() { win::ReleaseDC(wnd, dc); }
    } picture{wnd, win::GetWindowDC(wnd)};
    win::BLENDFUNCTION blend = Blend(alpha);
    blend.AlphaFormat = 0;
    LayeredWindowUpdate()(overlay, nullptr, size, picture.dc, blend);
}

const TacAnimEffects* EffectsOf(TsSkinManager* manager) {
    if (!manager) manager = DefaultManager;
    return manager ? manager->AnimEffects() : nullptr;
}

// The common end of both hides: the overlay at the window's place, faded on the hide timer.
void HideWindow(win::HWND wnd, const vcl::TRect& margins, const TacFormAnimation& settings) {
    vcl::TBitmap* image = AnimBmp;
    AnimBmp = nullptr;
    vcl::TForm* overlay = NewOverlayForm();
    const win::RECT place = OverlayRect(wnd, margins);
    overlay->SetBounds(place.left, place.top, image->Width(), image->Height());
    RunHideAnimation(overlay, image, settings.Time, settings.Mode, 255);
}

void PutBehind(win::HWND overlay, win::HWND wnd) {
    win::SetWindowPos(overlay, wnd, 0, 0, 0, 0, kBehindFlags | win::SWP_NOMOVE | win::SWP_NOSIZE);
}

}  // namespace

void AnimShowForm(TsSkinProviderBase* provider, int time, uint8_t alpha, TacAnimType mode) {
    if (!provider || !provider->Form()) return;
    RunningFlag running;
    AnimImage owned;
    ShowTarget t;
    t.Form = provider->Form();
    t.Wnd = t.Form->Handle();
    t.Provider = provider;
    TacBorderFormBase* border = provider->BorderForm();
    ShowThenEnd(t, alpha, [&] {
        if (!border || !border->Handle()) return;
        t.Overlay = border->Handle();
        t.Margins = provider->GetFrameMargins();
        NewAnimImage(CacheOf(provider->SkinData()), t.Wnd, t.Margins);
        DrawIntoAnimImage(t.Form, provider);
        MakeWindowOpaque(AnimBmp, t.Margins);
        RunShow(t, time, alpha, mode);
    });
    // The border form stays behind the window as its extended border.
    if (t.Overlay) PutBehind(t.Overlay, t.Wnd);
}

void AnimShowDialog(TacDialogWndBase* dialog, int time, uint8_t alpha, TacAnimType mode) {
    if (!dialog || !dialog->Handle()) return;
    RunningFlag running;
    AnimImage owned;
    ShowTarget t;
    t.Wnd = dialog->Handle();
    TacBorderFormBase* border = dialog->BorderForm();
    std::unique_ptr<vcl::TForm, vcl::FreeDeleter> temporary;
    if (border && border->Handle()) {
        t.Overlay = border->Handle();
        t.Margins = dialog->GetDialogFrameMargins();
    } else {
        temporary.reset(NewOverlayForm());
        t.TemporaryOverlay = temporary.get();
        t.Overlay = temporary->Handle();
    }
    ShowThenEnd(t, alpha, [&] {
        DrawDialogImage(dialog, t.Margins);
        RunShow(t, time, alpha, mode);
    });
    if (temporary)
        win::ShowWindow(t.Overlay, win::SW_HIDE);
    else
        PutBehind(t.Overlay, t.Wnd);
}

void RunHideAnimation(vcl::TCustomForm* overlay, vcl::TBitmap* image, int time, TacAnimType mode,
                      uint8_t alpha) {
    std::unique_ptr<vcl::TCustomForm, vcl::FreeDeleter> ownedOverlay(overlay);
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> ownedImage(image);
    if (gHideTimer) gHideTimer->Finish();
    const int steps = time / kFrameMs;
    if (steps <= 0 || !overlay || !image || image->Empty()) return;
    if (!gHideTimer) new TacHideTimer(vcl::Application());
    TacHideTimer* timer = gHideTimer;
    timer->Start(ownedOverlay.release(), ownedImage.release(), steps, mode, alpha);
    if (vcl::Application()->Terminated()) {
        // No ticks come any more: the steps run here, and the last one frees the parts.
        while (timer->Running()) {
            timer->DoStep();
            if (timer->Running()) os::Sleep(kFrameMs);
        }
        return;
    }
    timer->SetOnTimer(vcl::TNotifyEvent(timer, &TacHideTimer::DoStep));
    timer->DoStep();
    timer->SetEnabled(true);
}

void AnimHideForm(TsSkinProviderBase* provider) {
    Neighbours().ClearGlows();
    if (!provider || !provider->Form()) return;
    vcl::TCustomForm* form = provider->Form();
    if (form->FormStyle() == vcl::fsMDIChild || !form->HandleAllocated()) return;
    const TacAnimEffects* effects = EffectsOf(provider->SkinManager());
    if (!effects) return;
    RunningFlag running;
    AnimImage owned;
    const vcl::TRect margins = provider->GetFrameMargins();
    DrawFormImage(provider, margins);
    provider->FreeBorderForm();
    HideWindow(form->Handle(), margins, effects->FormHide);
}

void AnimHideDialog(TacDialogWndBase* dialog) {
    Neighbours().ClearGlows();
    if (!dialog || !dialog->Handle()) return;
    const TacAnimEffects* effects =
        EffectsOf(dialog->SkinData() ? dialog->SkinData()->SkinManager() : nullptr);
    if (!effects) return;
    RunningFlag running;
    AnimImage owned;
    const vcl::TRect margins = dialog->GetDialogFrameMargins();
    DrawDialogImage(dialog, margins);
    Neighbours().SetLayeredTransparent(dialog->Handle(), true);
    HideWindow(dialog->Handle(), margins, effects->DialogHide);
}

void CoverWithSnapshot(vcl::TWinControl* control) {
    if (!control || !control->HandleAllocated()) return;
    const win::HWND wnd = control->Handle();
    win::RECT wr{};
    win::GetWindowRect(wnd, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    if (!SnapshotBmp) SnapshotBmp = NewBitmap24(w, h);
    const win::HDC screen = win::GetDC(nullptr);
    win::BitBlt(SnapshotBmp->Canvas()->Handle(), 0, 0, w, h, screen, wr.left, wr.top, win::SRCCOPY);
    win::ReleaseDC(nullptr, screen);

    if (!SnapshotWindow) SnapshotWindow = new TOutputWindow(control);
    if (control->Parent()) {
        SnapshotWindow->SetParent(control->Parent());
        SnapshotWindow->SetBoundsRect(control->BoundsRect());
        PlaceAfterControl(SnapshotWindow, control);
        win::ShowWindow(SnapshotWindow->Handle(), win::SW_SHOWNA);
    } else {
        SnapshotWindow->SetBounds(wr.left, wr.top, w, h);
        const win::HWND before = WindowBefore(wnd);
        const win::HWND own = SnapshotWindow->Handle();
        constexpr win::UINT kShow =
            win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOACTIVATE | win::SWP_SHOWWINDOW;
        if (before && before != own)
            win::SetWindowPos(own, before, 0, 0, 0, 0, kShow);
        else
            win::SetWindowPos(own, win::HWND_TOP, 0, 0, 0, 0, kShow);
    }
}

void PlaceAfterControl(vcl::TWinControl* snapshot, vcl::TWinControl* control) {
    if (!snapshot || !control || !control->HandleAllocated()) return;
    const win::HWND own = snapshot->Handle();
    const win::HWND before = WindowBefore(control->Handle());
    if (before == own) return;
    win::SetWindowPos(own, before ? before : win::HWND_TOP, 0, 0, 0, 0,
                      win::SWP_NOMOVE | win::SWP_NOSIZE | win::SWP_NOACTIVATE);
}

namespace {

void FreeSnapshot() {
    if (SnapshotWindow) {
        if (SnapshotWindow->HandleAllocated())
            win::ShowWindow(SnapshotWindow->Handle(), win::SW_HIDE);
        vcl::TWinControl* w = SnapshotWindow;
        SnapshotWindow = nullptr;
        w->Free();
    }
    vcl::FreeAndNil(SnapshotBmp);
}

// The skin change of a form through a layered overlay.
void LayeredTransition(vcl::TCustomForm* form, TsSkinProviderBase* provider, int time,
                       uint8_t alpha, TacAnimType mode) {
    const vcl::TRect margins = provider->GetFrameMargins();
    const win::HWND wnd = form->Handle();
    AnimImage owned;
    const int steps = time / kFrameMs;
    auto takeOver = [&] {
        AnimationRunning = false;
        if (form->AlphaBlend()) form->SetAlphaBlendValue(alpha);
        win::SendMessageA(wnd, win::WM_SETREDRAW, 1, 0);
        if (TacBorderFormBase* border = provider->BorderForm()) {
            if (border->Handle())
                win::SetWindowRgn(border->Handle(), border->MakeRgn(), win::FALSE);
        }
        win::RedrawWindow(wnd, nullptr, nullptr, kRedrawAll);
    };
    // A show without frames puts the final picture on the overlay once and the form takes over
    // within the same call, before anything is put on the screen: the form is painted first
    // and the overlay is given its window's picture, so it is painted once instead of twice
    // (into the image, then into its window) and no image is made. A skin change keeps its
    // order: the frozen form's old picture has to stay until the new one is drawn.
    const bool paintOnce = steps == 0 && !provider->FormChanging && margins.Left == 0 &&
                           margins.Top == 0 && margins.Right == 0 && margins.Bottom == 0;
    if (paintOnce)
        takeOver();
    else
        DrawFormImage(provider, margins);
    const win::RECT place = OverlayRect(wnd, margins);
    const int w = paintOnce ? place.right - place.left : AnimBmp->Width();
    const int h = paintOnce ? place.bottom - place.top : AnimBmp->Height();

    struct SnapshotGuard {
        ~SnapshotGuard() { FreeSnapshot(); }
    } snapshotGuard;
    vcl::TForm* overlay = NewOverlayForm();
    SnapshotWindow = overlay;
    overlay->SetBounds(place.left, place.top, w, h);
    if (IsTopmost(wnd)) overlay->SetFormStyle(vcl::fsStayOnTop);
    const win::HWND ow = overlay->Handle();
    AddLayeredStyles(ow);
    if (paintOnce) {
        ShowWindowPicture(ow, wnd, win::SIZE{w, h}, alpha);
    } else {
        ShowFrame(ow, AnimBmp, steps > 0 ? 0 : alpha);
    }
    win::ShowWindow(ow, win::SW_SHOWNOACTIVATE);
    if (paintOnce) return;
    if (steps > 0) RunAppearFrames(ow, steps, alpha, mode);
    takeOver();
}

// The skin change by cross-fading a copy of the old picture into the new one.
void CrossFade(vcl::TWinControl* control, int time) {
    struct SnapshotGuard {
        ~SnapshotGuard() { FreeSnapshot(); }
    } snapshotGuard;
    if (!SnapshotWindow) CoverWithSnapshot(control);
    const int w = control->Width(), h = control->Height();
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> image(NewBitmap24(w, h));
    PaintControlToBitmap(image.get(), control, 0, nullptr, 0);
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> frame(NewBitmap24(w, h));
    const int steps = time / kFrameMs;
    const win::HWND out = SnapshotWindow ? SnapshotWindow->Handle() : nullptr;
    auto show = [&](vcl::TBitmap* bmp) {
        if (!out) return;
        const win::HDC dc = win::GetDC(out);
        win::BitBlt(dc, 0, 0, w, h, bmp->Canvas()->Handle(), 0, 0, win::SRCCOPY);
        win::ReleaseDC(out, dc);
    };
    if (steps > 0 && SnapshotBmp) {
        int weight = 255;
        for (int i = 0; i <= steps; ++i) {
            MixBitmaps(ViewOf(frame.get()), ViewOf(SnapshotBmp), ViewOf(image.get()),
                       uint8_t(std::max(weight, 0)));
            show(frame.get());
            if (win::HWND fade = Neighbours().FadeLayeredWindow())
                SendSkinCommand(fade, SKC_REFRESH, reinterpret_cast<intptr_t>(DefaultManager));
            os::Sleep(kFrameMs);
            weight -= 255 / steps;
        }
    }
    show(image.get());
    AnimationRunning = false;
    if (control->Visible() && control->HandleAllocated()) {
        win::SendMessageA(control->Handle(), win::WM_SETREDRAW, 1, 0);
        win::RedrawWindow(control->Handle(), nullptr, nullptr, kRedrawAll);
    }
}

}  // namespace

void AnimFormTransition(vcl::TWinControl* control, int time, uint8_t alpha, TacAnimType mode) {
    if (!control || !control->HandleAllocated()) return;
    RunningFlag running;
    auto* form = dynamic_cast<vcl::TCustomForm*>(control);
    TsSkinProviderBase* provider = form ? ProviderOf(form) : nullptr;
    if (LayeredWindowsAvailable() && form && provider) {
        LayeredTransition(form, provider, time, alpha, mode);
    } else {
        CrossFade(control, time);
    }
}

}  // namespace skin

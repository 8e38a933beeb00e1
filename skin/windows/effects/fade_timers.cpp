#include "skin/windows/effects/fade_timers.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/user/user.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/engine_state.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "vcl/controls/controls.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/system/util_window.h"

namespace skin {

namespace {

constexpr uint32_t kFadeInterval = 10;
constexpr uint32_t kFreeStopped = win::WM_USER + 1;

bool Dying(const vcl::TComponent* c) {
    return !c || c->ComponentState().Contains(vcl::csDestroying);
}

intptr_t Command(vcl::TControl* c, uint16_t code, uintptr_t arg = 0, intptr_t lParam = 0) {
    return c->Perform(SM_ALPHACMD, SkinCommandWParam(code, uint16_t(arg)), lParam);
}

// Timers stopped inside their own tick wait here until the message loop comes round again.
std::vector<std::unique_ptr<TacControlFade>>& Stopped() {
    static std::vector<std::unique_ptr<TacControlFade>> stopped;
    return stopped;
}

// Made again when the window system that held it has gone (each test starts a fresh one).
win::HWND Reaper() {
    static win::HWND wnd = nullptr;
    if (!wnd || !win::IsWindow(wnd)) {
        wnd = vcl::AllocateHWnd(vcl::TWndMethod::FromCallable([](vcl::TMessage& m) {
            if (m.Msg == kFreeStopped) {
                auto gone = std::move(Stopped());
                Stopped().clear();
                gone.clear();
            }
        }));
    }
    return wnd;
}

// The opacity of the start picture at a step: 255 at step 0, 0 at the last.
uint8_t StartOpacity(int step, int steps) {
    if (steps <= 0) return 0;
    return uint8_t(std::clamp(255 - (step * 256) / steps, 0, 255));
}

std::unique_ptr<vcl::TBitmap> CopyOf(vcl::TBitmap* source) {
    if (!source) return nullptr;
    std::unique_ptr<vcl::TBitmap> copy(NewBitmapLike(source));
    win::BitBlt(copy->Canvas()->Handle(), 0, 0, source->Width(), source->Height(),
                source->Canvas()->Handle(), 0, 0, win::SRCCOPY);
    return copy;
}

int Iterations(TsCommonData* data) {
    const TsGeneralData* s = data ? data->Section() : nullptr;
    return s ? s->FadingIterations : 0;
}

bool FadingEnabled(TsCommonData* data) {
    const TsGeneralData* s = data ? data->Section() : nullptr;
    return s && s->FadingEnabled;
}

}  // namespace

// --- the timers ---

TsEffectTimer::TsEffectTimer(TsCommonData* data) : vcl::TTimer(nullptr), data_(data) {
    SetEnabled(false);
    SetInterval(kFadeInterval);
    ++LiveEffectTimers;
}

TsEffectTimer::~TsEffectTimer() { --LiveEffectTimers; }

void TsEffectTimer::Timer() {
    inTick_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{inTick_};
    // Nothing is left to fade: the timer stops rather than tick on for as long as it is kept.
    if (!LiveControl()) SetEnabled(false);
    Tick();
}

void TsEffectTimer::TakeStartPicture() { start_ = CopyOf(data_ ? data_->CacheBmp() : nullptr); }

std::unique_ptr<vcl::TBitmap> TsEffectTimer::BlendedFrame() const {
    vcl::TBitmap* now = data_ ? data_->CacheBmp() : nullptr;
    const uint8_t opacity = StartOpacity(CurrentStep, StepCount);
    // The blend's rounding takes one off every channel even at opacity 0: the last frame is
    // the new picture itself, so the end of the fade does not jump.
    if (opacity == 0 && now && start_ && now->Width() == start_->Width() &&
        now->Height() == start_->Height())
        return CopyOf(now);
    std::unique_ptr<vcl::TBitmap> frame = CopyOf(start_.get());
    if (frame && now) BlendBitmaps24(ViewOf(frame.get()), ViewOf(now), opacity);
    return frame;
}

vcl::TControl* TsEffectTimer::LiveControl() const {
    vcl::TControl* c = data_ ? data_->OwnerControl() : nullptr;
    vcl::TApplication* app = vcl::Application();
    if (Dying(c) || (app && app->Terminated())) return nullptr;
    return c;
}

void TsEffectTimer::Finish() {
    SetEnabled(false);
    TsCommonData* data = data_;
    vcl::TControl* c = data->OwnerControl();
    Command(c, SKC_STOPFADE);
    // The control may have let the timer go: only what the control owns is touched now.
    data->Invalidate();
}

void TsFadeTimer::Tick() {
    if (!data_) return;
    vcl::TControl* c = LiveControl();
    if (!c) {
        if (!data_->OwnerControl()) Mode = 0;
        return;
    }
    // A fade that may not go on ends as a finished one, so its timer is freed and the
    // session's end does not wait for it.
    if (StopEffects || !c->Enabled() || CurrentStep < 0 || CurrentStep > StepCount) {
        Finish();
        return;
    }
    if (Mode != 1 && Mode != 2) return;
    DrawFrame();
}

void TsFadeTimer::DrawFrame() {
    vcl::TControl* c = LiveControl();
    if (!c || StepCount == 0 || StopEffects) return;
    if (!c->Enabled()) {
        SetEnabled(false);
        StepCount = 0;
        data_->Invalidate();
        return;
    }
    std::unique_ptr<vcl::TBitmap> frame = BlendedFrame();
    if (frame && !Command(c, SKC_PAINTTOBITMAP, 0, reinterpret_cast<intptr_t>(frame.get()))) {
        auto* w = dynamic_cast<vcl::TWinControl*>(c);
        if (w && w->HandleAllocated()) {
            const win::HDC dc = win::GetWindowDC(w->Handle());
            const int saved = win::SaveDC(dc);
            win::BitBlt(dc, 0, 0, frame->Width(), frame->Height(), frame->Canvas()->Handle(), 0,
                        0, win::SRCCOPY);
            win::RestoreDC(dc, saved);
            win::ReleaseDC(w->Handle(), dc);
        }
    }
    ++CurrentStep;
}

void TsAnimTimer::Tick() {
    vcl::TControl* c = LiveControl();
    if (!c) return;
    if (StopEffects || !c->Enabled() || CurrentStep < 0 || CurrentStep > StepCount) {
        Finish();
        return;
    }
    DrawFrame();
}

void TsAnimTimer::DrawFrame() {
    vcl::TControl* c = LiveControl();
    if (!busy_ && c && StepCount != 0 && CurrentStep >= 0 && !StopEffects) {
        busy_ = true;
        struct Done {
            bool& flag;
            ~Done() { flag = false; }
        } done{busy_};
        frame_ = BlendedFrame();
        Command(c, SKC_SETBGCHANGED, 0);
        Command(c, SKC_REPAINTGRAPHIC);
    }
    ++CurrentStep;
}

// --- the routines ---

bool IsAnimEventAllowed(TacAnimatEvent event, TacAnimatEvents events, TsSkinManager* manager) {
    if (events.Contains(event)) return true;
    if (!events.Contains(aeGlobalDef)) return false;
    if (!manager) manager = DefaultManager;
    if (!manager || !manager->AnimEffects()) return false;
    // "Defer to the manager" itself means the manager's mouse-up.
    static constexpr TacBtnEvent kManagerEvent[] = {beMouseEnter, beMouseLeave, beMouseDown,
                                                    beMouseUp, beMouseUp};
    if (size_t(event) >= std::size(kManagerEvent)) return false;
    return manager->AnimEffects()->Buttons.Events.Contains(kManagerEvent[event]);
}

void StopControlFade(FadePtr& fade) {
    if (!fade) return;
    auto* timer = dynamic_cast<TsEffectTimer*>(fade.get());
    if (timer && timer->InTick()) {
        timer->SetEnabled(false);
        Stopped().push_back(std::move(fade));
        win::PostMessageA(Reaper(), kFreeStopped, 0, 0);
        return;
    }
    fade.reset();
}

void StartControlFade(FadePtr& fade, TsCommonData* data, bool fast, int mode) {
    if (!data || !FadingEnabled(data) || StopEffects) return;
    auto* timer = dynamic_cast<TsFadeTimer*>(fade.get());
    if (timer) {
        timer->CurrentStep = Iterations(data);
    } else {
        StopControlFade(fade);
        timer = new TsFadeTimer(data);
        fade.reset(timer);
        timer->CurrentStep = 1;
    }
    vcl::TControl* c = data->OwnerControl();
    if (data->CacheStale && !data->CacheBmp() && c) Command(c, SKC_CLEARCACHE);
    timer->TakeStartPicture();
    timer->StepCount = Iterations(data);
    // A restart goes on from how far the previous fade had come.
    if (timer->Mode == 1)
        timer->StepCount = timer->CurrentStep;
    else if (timer->Mode == 2)
        timer->StepCount -= timer->CurrentStep;
    if (fast) timer->StepCount /= 2;
    if (timer->CurrentStep >= timer->StepCount || timer->CurrentStep < 1) timer->CurrentStep = 1;
    if (c) Command(c, SKC_CLEARCACHE);
    timer->Mode = uint8_t(mode);
    timer->SetEnabled(mode != 0);
}

void StartAnimFade(FadePtr& fade, TsCommonData* data, bool fast,
                   const std::function<void()>& rebuild) {
    if (!data || !FadingEnabled(data) || StopEffects) {
        StopControlFade(fade);
        if (rebuild) rebuild();
        if (data && data->OwnerControl()) data->OwnerControl()->Repaint();
        return;
    }
    auto* timer = dynamic_cast<TsAnimTimer*>(fade.get());
    if (!timer) {
        StopControlFade(fade);
        timer = new TsAnimTimer(data);
        fade.reset(timer);
    }
    timer->TakeStartPicture();
    if (rebuild) rebuild();
    timer->StepCount = fast ? Iterations(data) / 2 : Iterations(data);
    timer->CurrentStep = 1;
    timer->SetEnabled(true);
}

void ChangeStateAnimated(FadePtr& fade, TsCommonData* data, bool fast, int mode, bool allowed) {
    if (!data || !IsControlSkinned(data)) return;
    const bool fades = !SkinChanging && allowed && FadingEnabled(data) && !StopEffects &&
                       data->CacheBmp() && !data->CacheStale;
    data->CacheStale = true;
    if (fades) {
        StartControlFade(fade, data, fast, mode);
    } else {
        StopControlFade(fade);
        if (vcl::TControl* c = data->OwnerControl()) c->Repaint();
    }
    ShowGlowingIfNeeded(data);
}

void InitFades() {
    WindowServices& w = WindowSlots();
    w.IsAnimEventAllowed = &IsAnimEventAllowed;
    w.ChangeStateAnimated = &ChangeStateAnimated;
    w.StartControlFade = &StartControlFade;
    w.StartAnimFade = &StartAnimFade;
    w.StopControlFade = &StopControlFade;
}

}  // namespace skin

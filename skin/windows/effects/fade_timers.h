// Cross-fades of a control's look: the fades' shared state (how many effect timers live now,
// and the flag that stops new fades and frames, set while the session ends), the two timers and
// the routines the skinned controls reach through their fade slots.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "skin/controls/window_services.h"
#include "vcl/system/timer.h"

namespace vcl {
class TControl;
}

namespace skin {

// Incremented by each fade or animation timer when made, decremented when freed.
inline int LiveEffectTimers = 0;
// While set no fade starts and no frame is drawn.
inline bool StopEffects = false;

// What both timers share: the control's skin data, the start picture and the steps. A timer is
// owned by the control's fade variable and is never freed inside its own tick.
class TsEffectTimer : public vcl::TTimer, public TacControlFade {
public:
    explicit TsEffectTimer(TsCommonData* data);
    ~TsEffectTimer() override;

    int StepCount = 0;
    int CurrentStep = 0;
    // True while the tick runs.
    bool InTick() const { return inTick_; }
    vcl::TBitmap* StartPicture() const { return start_.get(); }
    // Copies the control's cached picture into the start picture.
    void TakeStartPicture();

protected:
    void Timer() final;
    virtual void Tick() = 0;
    // The start picture with the cached one blended in as far as the current step says.
    std::unique_ptr<vcl::TBitmap> BlendedFrame() const;
    // The control, or null when it is gone, being destroyed or the application is ending.
    vcl::TControl* LiveControl() const;
    // Ends the fade as a finished one does: the control stops it (skin command 16) and
    // repaints.
    void Finish();

    TsCommonData* data_;
    std::unique_ptr<vcl::TBitmap> start_;

private:
    bool inTick_ = false;
};

// A fade that paints each frame on the control's window (or lets the control paint it, skin
// command 24).
class TsFadeTimer : public TsEffectTimer {
public:
    using TsEffectTimer::TsEffectTimer;
    bool Running() const override { return Enabled() && Mode != 0; }
    void DrawFrame() override;
    vcl::TBitmap* Frame() const override { return nullptr; }
    // 0 stopped, 1 or 2 running.
    uint8_t Mode = 0;

protected:
    void Tick() override;
};

// A fade whose frames the control paints itself (skin commands 8 and 18).
class TsAnimTimer : public TsEffectTimer {
public:
    using TsEffectTimer::TsEffectTimer;
    bool Running() const override { return Enabled() && CurrentStep <= StepCount; }
    void DrawFrame() override;
    vcl::TBitmap* Frame() const override { return frame_.get(); }

protected:
    void Tick() override;

private:
    bool busy_ = false;
    std::unique_ptr<vcl::TBitmap> frame_;
};

bool IsAnimEventAllowed(TacAnimatEvent event, TacAnimatEvents events, TsSkinManager* manager);
void ChangeStateAnimated(FadePtr& fade, TsCommonData* data, bool fast, int mode, bool allowed);
void StartControlFade(FadePtr& fade, TsCommonData* data, bool fast, int mode);
void StartAnimFade(FadePtr& fade, TsCommonData* data, bool fast,
                   const std::function<void()>& rebuild);
// Stops and frees the fade; called from inside the fade's own tick, the timer is freed once
// the tick has returned.
void StopControlFade(FadePtr& fade);

// Fills the fade slots of the skinned controls. Idempotent.
void InitFades();

}  // namespace skin

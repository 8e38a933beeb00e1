// What the skinned controls call of the window skinning (scroll-bar adapters, fades), which sits
// above them and may not be included here: a table of replaceable slots. The window skinning
// fills the slots at start-up; tests fill them with recorders. Until then every slot gives the
// control without the effect: the memo keeps the platform's frame and scroll bars, and a state
// change repaints at once instead of fading.
//
// A control holds what it gets through the two abstract types below, which the window skinning
// derives its adapters and fade timers from. The control owns them (unique_ptr) and frees them
// in its destructor; the slots create, replace and free them through the control's variable.
//
// Rules:
//  1. Every slot is callable at all times; ResetWindowServices puts the defaults back.
//  2. StopControlFade leaves the variable empty. It may be called from inside the fade's own
//     tick (the control answers skin command 16 by stopping), so an implementation keeps the
//     object alive until its tick has returned.
//  3. InitSkinControls is the one start-up call of the skinned controls: it fills the skin
//     core's slots that belong to them (the edit labels, the border repaint of a cache).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/gdi/win_types.h"
#include "skin/controls/skin_types.h"
#include "vcl/system/messages.h"

namespace vcl {
class TBitmap;
}

namespace skin {

class TsCommonData;
class TsSkinManager;

// A window adapter that draws a control's frame and scroll bars.
class TacControlAdapter {
public:
    virtual ~TacControlAdapter() = default;
    // Re-reads the scroll information of both bars; with `repaint` paints them again.
    virtual void RefreshScrollBarInfo(bool repaint) = 0;
    // Paints both bars and the size box on `dc` (the window DC when null); `thumbPos` -1 takes
    // the thumb from the scroll information. Answers whether anything was painted.
    virtual bool PaintScrollBars(win::HDC dc, int thumbPos, uint32_t flags) = 0;
    // The adapter's window is gone; the next update makes a new adapter.
    virtual bool Destroyed() const = 0;
    // The widths of the non-client border the adapter paints, left/right and top/bottom.
    virtual int BorderWidthX() const = 0;
    virtual int BorderWidthY() const = 0;
    // The thickness of the shown horizontal and vertical bar, 0 when hidden.
    virtual int HorzBarHeight() const = 0;
    virtual int VertBarWidth() const = 0;
    // The adapter's window procedure (what the subclassed window hears first).
    virtual void WndProc(vcl::TMessage& message) = 0;
};

// A cross-fade of a control's look from its old cached picture to the new one.
class TacControlFade {
public:
    virtual ~TacControlFade() = default;
    // The fade has steps left to show.
    virtual bool Running() const = 0;
    // Shows the frame of the current step at once.
    virtual void DrawFrame() = 0;
    // The frame a control that paints the fade itself copies (skin command 18); null while
    // none is made.
    virtual vcl::TBitmap* Frame() const = 0;
};

using AdapterPtr = std::unique_ptr<TacControlAdapter>;
using FadePtr = std::unique_ptr<TacControlFade>;

struct WindowServices {
    // Makes, keeps or frees the frame-and-bars adapter of an edit-like control (the memo) as
    // its skin state says. Default: none; the control keeps the platform's frame and bars.
    std::function<void(TsCommonData* data, AdapterPtr& adapter)> UpdateEditWndAdapter;
    // The same with a scroll-bar-only adapter. Default: none.
    std::function<void(TsCommonData* data, AdapterPtr& adapter)> UpdateScrollWndAdapter;
    // Whether `event` fades for a control whose own event set is `events`. Default: false.
    std::function<bool(TacAnimatEvent event, TacAnimatEvents events, TsSkinManager* manager)>
        IsAnimEventAllowed;
    // A control's look changes: fade to it when allowed, else repaint now. Default: the cache
    // goes stale, a running fade stops, the control repaints and its glow follows the mouse.
    std::function<void(FadePtr& fade, TsCommonData* data, bool fast, int mode, bool allowed)>
        ChangeStateAnimated;
    // Starts (or restarts) a fade that paints on the control's window. Default: no fade; the
    // control repaints.
    std::function<void(FadePtr& fade, TsCommonData* data, bool fast, int mode)> StartControlFade;
    // Starts a fade whose frames the control paints itself (skin commands 8 and 18; the start
    // picture is the cache as it is now, and the control rebuilds the cache for its new state
    // through `rebuild`). Default: `rebuild`, then the control repaints at once.
    std::function<void(FadePtr& fade, TsCommonData* data, bool fast,
                       const std::function<void()>& rebuild)>
        StartAnimFade;
    // Stops and frees a running fade. Default: frees it.
    std::function<void(FadePtr& fade)> StopControlFade;
    // The frame-and-bars adapter of a combo box's dropped list `list`; `simple` for a combo
    // whose list is always shown, `hasItems` when the list holds items already. Default: none;
    // the list keeps the platform's border and bar.
    std::function<AdapterPtr(win::HWND list, bool simple, bool hasItems,
                             const std::string& section, TsSkinManager* manager)>
        CreateComboListAdapter;
    // Frees a control's scroll adapter, waiting while the adapter is inside its own message.
    // Default: frees it.
    std::function<void(AdapterPtr& adapter)> ReleaseControlScrollAdapter;
    // The thumb position the skinned bars of `adapter` last tracked, -1 when none (or no
    // adapter). Default: -1.
    std::function<int(const TacControlAdapter* adapter)> LastTrackPosition;
};

// The one table of the process.
WindowServices& WindowSlots();
// Puts the defaults back into every slot.
void ResetWindowServices();

// A control whose look has states (normal, hot, pressed) beyond the active test.
class TsStatefulControl {
public:
    virtual ~TsStatefulControl() = default;
    virtual int CurrentState() const = 0;
};

// The state the owner of `data` paints in now: its CurrentState, else 1 when active.
int PresentState(const TsCommonData* data);

// Fills the skin core's slots that the skinned controls serve. Idempotent.
void InitSkinControls();

}  // namespace skin

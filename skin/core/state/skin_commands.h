// The skin command message: how the pieces of the skin engine talk to each other, and the
// routines that send it. This header is the contract between the skin core, the skinned
// controls and the window skinning.
//
// The message is SM_ALPHACMD (0xA100). wParam carries the command code in its high word and a
// small argument in its low word (1 = true for the commands that read it as a flag); lParam the
// command's argument; the result is the answer. A window that does not know a command answers
// 0, which senders take as "no".
//
// Rules the senders keep:
//  1. A windowed control is reached by SendMessage to its window, and only when the window
//     exists; a control without a window by a direct call of its window procedure (Perform).
//     No sender creates a window.
//  2. Nothing is sent to a control that is being destroyed.
//  3. All sends are synchronous: an answer, and a record the receiver fills, are ready when the
//     sender goes on.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/user/win_types.h"
#include "skin/core/pixels/pixels.h"
#include "vcl/controls/controls.h"
#include "vcl/system/messages.h"

namespace skin {

inline constexpr uint32_t SM_ALPHACMD = 0xA100;

// Command codes. "Passed on" commands let the control's own processing continue after the skin
// state has acted; the others are answered there.
enum : uint16_t {
    SKC_NEWSKIN = 1,             // lParam the manager: re-read the skin indexes
    SKC_REMOVESKIN = 2,          // lParam the manager: forget the skin
    SKC_REFRESH = 3,             // lParam the manager: repaint with the current skin
    SKC_GETPROVIDER = 4,         // to a form: its skin provider, or 0
    SKC_BEFOREPAINT = 5,         // an adapter is about to paint the window
    SKC_ENDPARENTUPDATE = 6,     // the parent's update ended: re-check and redraw
    SKC_ISSKINAWARE = 7,         // answer 1: the window paints itself through the skin
    SKC_SETBGCHANGED = 8,        // background-changed flag := low word
    SKC_SETKEEPCACHE = 9,        // cache-locked flag := low word
    SKC_ISUPDATING = 10,         // answer 1 while the cache is stale or the background changed
    SKC_ISHALFVISIBLE = 11,      // answer the background-dirty flag
    SKC_SETTRANSCHANGED = 12,    // low word 1: a transparent section's cache goes stale
    SKC_INVALIDATESECTION = 13,  // repaint when the section is the repaint section
    SKC_MENUSKINNED = 14,        // to a menu window
    SKC_STOPFADE = 16,           // stop a running fade
    SKC_SETSTALE = 17,           // the cache image is stale
    SKC_REPAINTGRAPHIC = 18,     // paint the animation frame, or re-place the border window
    SKC_ISSEETHROUGH = 19,       // answer 1 when the parent shows through
    SKC_SEETHROUGHCHANGED = 20,  // recompute the see-through state (low word 1: redraw)
    SKC_GETBGCOLOR = 21,         // answer the background colour; lParam the default answer
    SKC_SETHALFVISIBLE = 22,     // the control is clipped away in part
    SKC_CLEARCACHE = 23,         // rebuild the cached picture now
    SKC_PAINTTOBITMAP = 24,      // lParam a bitmap: paint into it, answer non-zero when done
    SKC_CHILDCREATED = 25,       // lParam the new control (or 0): skin it
    SKC_GETSKININDEX = 26,       // lParam an int32_t*: write the section index into it
    SKC_GETCAPTIONHEIGHT = 27,   // answer a group box's caption band height
    SKC_MOUSEENTER = 29,         // lParam the manager
    SKC_MOUSELEAVE = 30,         // lParam the manager
    SKC_BEGINUPDATE = 31,
    SKC_ENDUPDATE = 32,
    SKC_GETBGINFO = 34,  // lParam a background-info record to fill
    SKC_BEFOREBGPAINT = 35,
    SKC_PLAINBG = 36,        // lParam 1: recompute the plain-background flag; 0: answer flags
    SKC_PLACEEXBORDER = 37,  // re-place the extended-border window
    SKC_BEFORESCROLL = 51,   // lParam: low word the scroll code, high word the message
    SKC_AFTERSCROLL = 52,
    SKC_GETAPPLICATION = 60,   // answer the application object
    SKC_GETCLIENTOFFSET = 61,  // answer MakeLong of a form's client offsets X and Y
};

// wParam of a command: the code in the high word, the small argument in the low word.
constexpr uintptr_t SkinCommandWParam(uint16_t code, uint16_t arg = 0) {
    return uintptr_t(uint32_t(arg) | uint32_t(code) << 16);
}
constexpr uint16_t SkinCommandCode(uintptr_t wParam) {
    return uint16_t(wParam >> 16);
}
constexpr uint16_t SkinCommandArg(uintptr_t wParam) {
    return uint16_t(wParam);
}
// The argument of commands 8, 9, 12 and 20: exactly 1 is true.
constexpr bool SkinCommandFlag(uintptr_t wParam) {
    return SkinCommandArg(wParam) == 1;
}
inline vcl::TMessage SkinCommandMessage(uint16_t code, intptr_t lParam = 0, uint16_t arg = 0) {
    return {SM_ALPHACMD, SkinCommandWParam(code, arg), lParam, 0};
}

// Registers the message's name with the windowing layer once; the number stays 0xA100.
void InitMessagesUnit();

// Senders. Each answers the receiver's result, or 0 when nothing was sent.
intptr_t SendSkinCommand(win::HWND wnd, uint16_t code, intptr_t lParam);
intptr_t SendSkinCommandToControl(vcl::TControl* control, uint16_t code, intptr_t lParam);
inline intptr_t SendSkinCommandNoParam(vcl::TControl* control, uint16_t code) {
    return SendSkinCommandToControl(control, code, 0);
}
// True when the window answers exactly 1.
bool SendSkinQuery(win::HWND wnd, uint16_t code);

// The message to every child control of `control`, in order. A skin-aware windowed child gets
// it sent and passes it on to its own children; a windowed child that is not skin-aware is
// offered to the window adapters and, when none takes it, the broadcast goes down into its
// children instead. Children being destroyed are skipped.
void BroadcastToChildControls(vcl::TWinControl* control, vcl::TMessage& message);
// The message to every direct child window of `wnd`.
void BroadcastToChildWindows(win::HWND wnd, const vcl::TMessage& message);
// Command 6 to each child that may have waited for its parent's update; nothing while a form
// animation runs.
void RepaintChangedChildren(vcl::TWinControl* control);
void RepaintChangedChildWindows(win::HWND wnd);
// Command 25 with the control to its form's window; nothing while the control is designed or
// loaded, or its form has no window.
intptr_t NotifyParentForm(vcl::TControl* control);

// The background colour a control or window shows, as RGB: the skin's answer to command 21
// when it is skin-aware, else the control's Color or the window class's background (the button
// face when the class has none). No control or window gives 0xFF00FF.
TColor AskControlBackColor(vcl::TControl* control);
TColor AskWindowBackColor(win::HWND wnd);

// The answer of a skinned control to command 21. The parent's share is Transparency / 100,
// mixed as the section painter mixes it: per channel (own * (255 - A) + parent * A + 127) >> 8
// with A = Transparency * 255 div 100; the top byte is the parent's.
struct BackgroundColorQuery {
    bool Skinned = false;     // the control paints itself through the skin
    TColor OwnerColor = 0;    // the control's Color as it stands
    TColor SectionColor = 0;  // the section's COLOR
    int Transparency = 0;     // the section's TRANSPARENCY, percent
    bool HasParent = false;
    TColor ParentColor = 0;  // the parent's Color as it stands
};
// `askParent` is the parent's own answer to command 21; it is asked only when needed.
TColor AnswerBackgroundColor(const BackgroundColorQuery& q,
                             const std::function<TColor()>& askParent);

}  // namespace skin

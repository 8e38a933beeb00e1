// The window adapter base: an object that subclasses one window that does not paint itself
// through the skin, keeps the window's skin state and answers the skin command on its behalf.
//
// An adapter is bound to its window through a link, a small object of this module that sits in
// the window's chain of procedures: the window procedure (GWL_WNDPROC) of a plain window, the
// WindowProc delegate of a class-library control, or the saved form procedure of a skin
// provider (the adapter then sits between the provider and the form). The window property
// "ACSBSC" holds the adapter while it is bound.
//
// Rules:
//  1. Unhooking puts the saved procedure back only while the link is the one in force. When
//     another handler was put on top since, or when an adapter is freed while the control
//     adapter frees its items, the link stays in the chain as a pass-through to the saved
//     procedure until the window's WM_NCDESTROY.
//  2. WM_NCDESTROY always releases: the property goes, the adapter is marked unhooked, the link
//     is freed (a class-library control's link only once nothing sits on top of it).
//  3. A message reaching an unhooked adapter goes to the saved procedure.
//  4. FreeAdapter from inside one of the adapter's own messages unhooks at once and frees the
//     object when its outermost message returns.
#pragma once

#include <string>

#include "platform/user/user.h"
#include "vcl/controls/controls.h"
#include "vcl/system/messages.h"

namespace skin {

class TsCommonData;
class TsSkinManager;
class AdapterLink;

// True while the dialog hook attaches adapters to dialog children; copied into each adapter.
extern bool DialogChildMode;
// True while a form's control adapter frees all its items: adapters freed then leave their
// windows as they are.
extern bool AdapterItemsFreeing;

inline constexpr char kAdapterProperty[] = "ACSBSC";

class TacMainWnd {
public:
    TacMainWnd();
    virtual ~TacMainWnd();
    TacMainWnd(const TacMainWnd&) = delete;
    TacMainWnd& operator=(const TacMainWnd&) = delete;

    // Binds the adapter to `wnd` with `skinData` (null: an own one) and `manager` (null: the
    // skin state's). `flag` is for the scrolling family (redraw the frame once bound).
    virtual void AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                                const std::string& section, bool flag);
    virtual void SaveStdParams() {}
    virtual void RestoreStdParams() {}
    virtual void SetSkinParams() { ParamsSet = true; }
    virtual void AdapterWindowProc(vcl::TMessage& m);

    // What the window had before the adapter; the lParam the handler wrote back comes back.
    intptr_t CallPrevWndProc(win::HWND wnd, uint32_t msg, uintptr_t wParam, intptr_t& lParam);
    void CallPrevWndProc(vcl::TMessage& m);

    // Undoes the subclassing (as the rules say); with `redrawFrame` the frame is laid out anew,
    // else WM_NCPAINT repaints it, when the window is visible. With `leaveWindow` the window
    // keeps its look and the link stays as a pass-through.
    void Unhook(bool redrawFrame, bool leaveWindow = false);

    // The adapter is skinned now: a skin state with an active manager.
    bool Skinned() const;
    // Still bound to its window and skinned: the adapter paints and answers for the window;
    // otherwise its messages take the base handling.
    bool CanSkin() const { return !Unhooked && Skinned(); }
    // Inside one of its own messages.
    bool Busy() const { return depth_ > 0; }

    bool InDialog = false;
    std::string Caption;
    vcl::TRect WndRect{};
    vcl::TPoint WndSize{};
    vcl::TPoint WndPos{};
    vcl::TRect ParentRect{};
    win::HWND ParentWnd = nullptr;
    win::HWND CtrlHandle = nullptr;
    TsSkinManager* SkinManager = nullptr;
    TsCommonData* SkinData = nullptr;
    bool ParamsSet = false;
    bool Unhooked = false;  // given back its window; an unhooked adapter is dead
    bool OwnSkinData = false;

protected:
    // Subclasses the window (the scrolling family first sets up its bars).
    virtual void Bind() { SubclassAdapterWindow(this, CtrlHandle); }
    // The skin command handling of the base; false when the command goes on to the window.
    bool HandleSkinCommand(vcl::TMessage& m);
    // Rebuilds the cache image (skin command 23).
    virtual void PrepareCache();

private:
    friend class AdapterLink;
    // The link running a message of this adapter now, told when the adapter goes meanwhile.
    AdapterLink* dispatching_ = nullptr;
    friend void SubclassAdapterWindow(TacMainWnd* adapter, win::HWND wnd);
    friend void FreeAdapter(TacMainWnd*& adapter);
    AdapterLink* link_ = nullptr;
    int depth_ = 0;
    bool freePending_ = false;
};

// Makes an adapter of class T and binds it.
template <class T>
T* AttachAdapter(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                 const std::string& section, bool flag = false) {
    T* a = new T();
    a->AttachToWindow(wnd, skinData, manager, section, flag);
    return a;
}

// Binds `adapter` to `wnd`: property "ACSBSC" and a link in the window's chain.
void SubclassAdapterWindow(TacMainWnd* adapter, win::HWND wnd);
// Unhooks and frees the adapter (deferred while it is inside its own message); clears it.
void FreeAdapter(TacMainWnd*& adapter);
// The window's text as its adapters keep it in Caption.
std::string WindowCaption(win::HWND wnd);
// The adapter bound to `wnd`, or null.
TacMainWnd* FindWindowAdapter(win::HWND wnd);
// Links kept alive as pass-throughs, for tests: how many exist now.
int LiveAdapterLinks();

}  // namespace skin

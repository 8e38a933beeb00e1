// Helpers shared by the window adapters: the window's place in its parent, the cache image of
// an adapter's frame, and passing a message down to the children of a control or window.
#pragma once

#include "platform/user/user.h"
#include "vcl/controls/controls.h"
#include "vcl/system/messages.h"

namespace skin {

class TacMainWnd;
class TsCommonData;

// Fills the adapter's WndRect (screen), WndSize, WndPos (in the parent's client area),
// ParentWnd and ParentRect (screen) from its window.
void GetWindowRectsInParent(TacMainWnd* adapter);
// Rebuilds a stale cache image of the window: the section over the parent's background, or
// with `transparent` and a skin of a real global colour, that colour; dimmed over the parent
// for a disabled class-library control.
void PrepareAdapterCache(TsCommonData* data, win::HWND wnd, bool transparent);
// Shows what lies behind the window under the key-coloured corner pixels of the border mask's
// `state` image in the freshly painted cache (the state kept within the mask's images).
void FillAdapterCorners(int state, TsCommonData* data, win::HWND wnd);
// The message to the child controls of `control`, or without one to the child windows of `wnd`.
void BroadcastToChildren(vcl::TControl* control, win::HWND wnd, vcl::TMessage& m);
// The windowed control with handle `wnd` among the children of `parent` (depth first), or null.
vcl::TWinControl* FindControlByHandle(win::HWND wnd, vcl::TWinControl* parent);
// Skin command 25 to the top-level ancestor of `wnd`.
void SendSkinCommandToTopParent(win::HWND wnd);

}  // namespace skin

// Helpers shared by the window adapters: the window's place in its parent, the cache image of
// an adapter's frame, and passing a message down to the children of a control or window.
#pragma once

#include "platform/user/user.h"
#include "skin/core/pixels/pixels.h"
#include "vcl/controls/controls.h"
#include "vcl/system/messages.h"

namespace vcl {
class TBitmap;
}

namespace skin {

class TacMainWnd;
class TsCommonData;

// What lies behind the window as the painters take it: asked of the control's parent, else of
// the parent window.
void ParentBackground(TsCommonData* data, win::HWND wnd, CacheInfo& cache, PixelView& view);
// Fills the adapter's WndRect (screen), WndSize, WndPos (in the parent's client area),
// ParentWnd and ParentRect (screen) from its window.
void GetWindowRectsInParent(TacMainWnd* adapter);
// The skin state's cache, 24-bit and sized; empty for a size of no area or too large for a
// picture.
vcl::TBitmap* SizedCache(TsCommonData* data, int width, int height);
// Rebuilds a stale cache image of the window: the section over the parent's background, or
// with `transparent` and a skin of a real global colour, that colour; dimmed over the parent
// for a disabled class-library control. A window too large for a picture gets an empty one.
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

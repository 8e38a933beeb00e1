// What the pop-up menu windows' adapters share with the dialog hook that makes them and the
// skinned menus that prepare their backgrounds.
//
// The hook appends one adapter per pop-up menu window it sees; an adapter's destruction frees
// them all once none is live any more. An adapter whose message is running is never freed under
// it: the list is cleared after that message returns.
#pragma once

#include <functional>
#include <vector>

#include "platform/gdi/win_types.h"

namespace vcl {
class TBitmap;
}

namespace skin {

class TacMnuWnd;

// The adapters of the pop-up menu windows seen since the last clean-up, in order.
std::vector<TacMnuWnd*>& MenuWndAdapters();
// Frees every adapter of MenuWndAdapters (at once, or after the running message of one of them)
// and empties the list.
void ClearMenuWndAdapters();

// Raised while a pop-up drawn by the skinned menus is shown; the form provider clears it on
// WM_INITMENUPOPUP and the last menu window's destruction clears it.
bool SkinnedMenuShown();
void SetSkinnedMenuShown(bool shown);

// The skinned menus' prepared background of the pop-up shown in `menuWnd`, or null. It is the
// window's own size (its pixel (x + 3, y + 3) is the client's (x, y)); the menu window's adapter
// also takes one 6 pixels smaller each way. The skinned menus set it; until then none.
using TPopupBackgroundLookup = std::function<vcl::TBitmap*(win::HWND menuWnd)>;
void SetPopupBackgroundLookup(TPopupBackgroundLookup lookup);
vcl::TBitmap* PopupBackground(win::HWND menuWnd);

}  // namespace skin

#include "skin/windows/scroll/menu_wnd_adapters.h"

#include <utility>

namespace skin {

namespace {
bool g_skinnedMenuShown = false;
TPopupBackgroundLookup& Lookup() {
    static TPopupBackgroundLookup lookup;
    return lookup;
}
}  // namespace

std::vector<TacMnuWnd*>& MenuWndAdapters() {
    static std::vector<TacMnuWnd*> adapters;
    return adapters;
}

// Filled in with the adapter itself; until then there is nothing to free.
void ClearMenuWndAdapters() { MenuWndAdapters().clear(); }

bool SkinnedMenuShown() { return g_skinnedMenuShown; }
void SetSkinnedMenuShown(bool shown) { g_skinnedMenuShown = shown; }

void SetPopupBackgroundLookup(TPopupBackgroundLookup lookup) { Lookup() = std::move(lookup); }

vcl::TBitmap* PopupBackground(win::HWND menuWnd) {
    return Lookup() ? Lookup()(menuWnd) : nullptr;
}

}  // namespace skin

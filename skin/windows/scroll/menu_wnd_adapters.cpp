#include "skin/windows/scroll/menu_wnd_adapters.h"

#include <algorithm>
#include <utility>

#include "skin/windows/scroll/menu_wnd_adapter.h"

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

// The list is emptied first: freeing sends messages, and the hook may append meanwhile.
void ClearMenuWndAdapters() {
    std::vector<TacMnuWnd*> gone;
    gone.swap(MenuWndAdapters());
    for (size_t i = 0; i < gone.size(); ++i) {
        if (std::find(gone.begin(), gone.begin() + long(i), gone[i]) != gone.begin() + long(i))
            continue;  // listed twice: freed once
        TacMainWnd* a = gone[i];
        FreeAdapter(a);
    }
}

bool SkinnedMenuShown() { return g_skinnedMenuShown; }
void SetSkinnedMenuShown(bool shown) { g_skinnedMenuShown = shown; }

void SetPopupBackgroundLookup(TPopupBackgroundLookup lookup) { Lookup() = std::move(lookup); }

vcl::TBitmap* PopupBackground(win::HWND menuWnd) {
    return Lookup() ? Lookup()(menuWnd) : nullptr;
}

}  // namespace skin

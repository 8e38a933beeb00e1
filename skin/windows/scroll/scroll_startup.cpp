#include "skin/windows/scroll/scroll_startup.h"

#include "skin/controls/window_services.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/windows/adapters/adapter_startup.h"
#include "skin/windows/scroll/combo_list_wnd.h"
#include "skin/windows/scroll/edit_wnd.h"
#include "skin/windows/scroll/menu_wnd_adapters.h"

namespace skin {
namespace {

// Frees through FreeAdapter, which waits while the adapter is inside its own message (the
// memo frees its adapter on a skin command that reaches it through that adapter).
void Release(AdapterPtr& adapter) {
    TacControlAdapter* raw = adapter.release();
    TacMainWnd* a = dynamic_cast<TacMainWnd*>(raw);
    if (a == nullptr) {
        delete raw;
        return;
    }
    FreeAdapter(a);
}

template <class T>
void Update(TsCommonData* data, AdapterPtr& adapter) {
    vcl::TControl* c = data ? data->OwnerControl() : nullptr;
    auto* w = dynamic_cast<vcl::TWinControl*>(c);
    if (w == nullptr) return;
    auto state = w->ComponentState();
    if (state.Contains(vcl::csLoading) || state.Contains(vcl::csDestroying) ||
        state.Contains(vcl::csDesigning))
        return;
    if (IsControlSkinned(data)) {
        if (adapter && adapter->Destroyed()) Release(adapter);
        if (!adapter && w->HandleAllocated())
            adapter.reset(AttachAdapter<T>(w->Handle(), data, data->SkinManager(),
                                           data->SkinSection(), true));
    } else {
        Release(adapter);
    }
}

}  // namespace

void InitScrollAdapters() {
    InitWindowAdapters();
    WindowSlots().UpdateEditWndAdapter = &Update<TacEditWnd>;
    WindowSlots().UpdateScrollWndAdapter = &Update<TacScrollWnd>;
    WindowSlots().CreateComboListAdapter = [](win::HWND list, bool simple, bool hasItems,
                                              const std::string& section,
                                              TsSkinManager* manager) {
        return AdapterPtr(TacComboListWnd::CreateForList(list, simple, hasItems, section, manager));
    };
    WindowSlots().ReleaseControlScrollAdapter = &Release;
    Neighbours().ClearMenuWndAdapters = &ClearMenuWndAdapters;
    WindowSlots().LastTrackPosition = [](const TacControlAdapter* adapter) {
        // The bars keep one mouse state for the process: a drag is on one bar at a time.
        return dynamic_cast<const TacScrollWnd*>(adapter) ? ScrollMouse().LastTrackPosition
                                                           : -1;
    };
}

}  // namespace skin

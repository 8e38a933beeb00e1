#include "skin/windows/walk/scroll_factories.h"

#include "skin/windows/scroll/combo_box_wnd.h"
#include "skin/windows/scroll/list_view_wnd.h"
#include "skin/windows/scroll/tree_view_wnd.h"
#include "skin/windows/walk/control_adapter.h"

namespace skin {
namespace {

template <class T>
TacAdapterFactory Maker() {
    return [](win::HWND wnd, TsCommonData* data, TsSkinManager* manager,
              const std::string& section) -> TacMainWnd* {
        return AttachAdapter<T>(wnd, data, manager, section, true);
    };
}

}  // namespace

void RegisterScrollAdapterFactories() {
    SetThirdPartyAdapterFactory(tgComboBoxes, Maker<TacComboBoxWnd>());
    SetThirdPartyAdapterFactory(tgListViews, Maker<TacListViewWnd>());
    SetThirdPartyAdapterFactory(tgTreeViews, Maker<TacTreeViewWnd>());
}

}  // namespace skin

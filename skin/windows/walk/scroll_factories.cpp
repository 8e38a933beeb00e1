#include "skin/windows/walk/scroll_factories.h"

#include "skin/windows/scroll/combo_box_wnd.h"
#include "skin/windows/scroll/list_view_wnd.h"
#include "skin/windows/scroll/tree_view_wnd.h"
#include "skin/windows/walk/control_adapter.h"

namespace skin {

void RegisterScrollAdapterFactories() {
    SetThirdPartyAdapterFactory(tgComboBoxes, AdapterFactoryOf<TacComboBoxWnd>());
    SetThirdPartyAdapterFactory(tgListViews, AdapterFactoryOf<TacListViewWnd>());
    SetThirdPartyAdapterFactory(tgTreeViews, AdapterFactoryOf<TacTreeViewWnd>());
}

}  // namespace skin

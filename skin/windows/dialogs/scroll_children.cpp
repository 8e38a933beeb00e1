#include "skin/windows/dialogs/scroll_children.h"

#include "skin/windows/dialogs/dialog_hook.h"
#include "skin/windows/scroll/combo_box_wnd.h"
#include "skin/windows/scroll/list_view_wnd.h"
#include "skin/windows/scroll/menu_wnd_adapter.h"
#include "skin/windows/scroll/tree_view_wnd.h"

namespace skin {
namespace {

template <class T>
TacMainWnd* Make(win::HWND wnd, TsSkinManager* manager, const std::string& section) {
    return AttachAdapter<T>(wnd, nullptr, manager, section, true);
}

}  // namespace

void RegisterScrollDialogChildren() {
    SetDialogChildFactory("combobox", &Make<TacComboBoxWnd>);
    SetDialogChildFactory("comboboxex32", &Make<TacComboBoxWnd>);
    SetDialogChildFactory("syslistview32", &Make<TacListViewWnd>);
    SetDialogChildFactory("systreeview32", &Make<TacTreeViewWnd>);
    SetMenuWndFactory([](win::HWND wnd, TsSkinManager* manager) -> TacMnuWnd* {
        return AttachAdapter<TacMnuWnd>(wnd, nullptr, manager, "MAINMENU");
    });
}

}  // namespace skin

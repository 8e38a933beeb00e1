#include "skin/windows/container_dialog_rows.h"

#include "skin/windows/adapters/container_adapters.h"
#include "skin/windows/dialogs/dialog_hook.h"

namespace skin {
namespace {

template <class T>
TDialogChildCreator Row() {
    return [](win::HWND wnd, TsSkinManager* manager, const std::string& section) -> TacMainWnd* {
        return AttachAdapter<T>(wnd, nullptr, manager, section);
    };
}

}  // namespace

void RegisterContainerDialogRows() {
    SetDialogChildFactory("#32770", Row<TacTransPanelWnd>());
    SetDialogChildFactory("shbrowseforfolder", Row<TacTransPanelWnd>());
    SetDialogChildFactory("tpanel", Row<TacDlgPanelWnd>());
}

}  // namespace skin

#include "skin/windows/scroll/grid_wnd.h"

#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"

namespace skin {

void TacGridWnd::SaveStdParams() {
    TacEditWnd::SaveStdParams();
    vcl::TControl* c = SkinData ? SkinData->OwnerControl() : nullptr;
    HasFixedColor = c && vcl::IsPublishedProp(c, "FixedColor");
    if (HasFixedColor) SavedFixedColor = vcl::GetOrdProp(c, "FixedColor");
}

void TacGridWnd::RestoreStdParams() {
    TacEditWnd::RestoreStdParams();
    vcl::TControl* c = SkinData ? SkinData->OwnerControl() : nullptr;
    if (c && HasFixedColor && !c->ComponentState().Contains(vcl::csDestroying))
        vcl::SetOrdProp(c, "FixedColor", SavedFixedColor);
}

void TacGridWnd::SetSkinParams() {
    TacEditWnd::SetSkinParams();
    vcl::TControl* c = SkinData ? SkinData->OwnerControl() : nullptr;
    TsSkinManager* m = SkinData ? SkinData->SkinManager() : nullptr;
    if (c && m && HasFixedColor) vcl::SetOrdProp(c, "FixedColor", m->GetGlobalColor());
}

void TacGridWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (Unhooked || !Skinned()) {
        TacEditWnd::AdapterWindowProc(m);
        return;
    }
    vcl::TControl* c = SkinData->OwnerControl();
    if (m.Msg == SM_ALPHACMD && SkinCommandCode(m.WParam) == SKC_REMOVESKIN &&
        m.LParam == reinterpret_cast<intptr_t>(SkinData->SkinManager()) && c &&
        vcl::IsPublishedProp(c, "ScrollBars")) {
        TacEditWnd::AdapterWindowProc(m);
        // Off and on again: the grid lays its system bars out anew.
        int64_t bars = vcl::GetOrdProp(c, "ScrollBars");
        vcl::SetOrdProp(c, "ScrollBars", 0);
        vcl::SetOrdProp(c, "ScrollBars", bars);
        return;
    }
    TacEditWnd::AdapterWindowProc(m);
    if (!Unhooked && m.Msg == win::WM_WINDOWPOSCHANGED && win::IsWindowVisible(CtrlHandle))
        win::SendMessageA(CtrlHandle, win::WM_NCPAINT, 0, 0);
}

}  // namespace skin

// The tree view adapter.
#include "skin/windows/scroll/tree_view_wnd.h"

#include "platform/gdi/sys_colors.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/pixels/dc_paint.h"
#include "skin/core/state/common_data.h"

namespace skin {

void TacTreeViewWnd::AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                                    const std::string& section, bool flag) {
    TacEditWnd::AttachToWindow(wnd, skinData, manager, section, flag);
    if (!Unhooked && Skinned()) SetSkinParams();
}

uint32_t TacTreeViewWnd::FieldColor() const {
    const TsGeneralData* s = SkinData ? SkinData->Section() : nullptr;
    return InDialog || s == nullptr ? win::GetSysColor(win::COLOR_WINDOW) : s->HotColor;
}

uint32_t TacTreeViewWnd::TextColor() const {
    const TsGeneralData* s = SkinData ? SkinData->Section() : nullptr;
    return InDialog || s == nullptr ? win::GetSysColor(win::COLOR_WINDOWTEXT) : s->HotFontColor;
}

void TacTreeViewWnd::SetSkinParams() {
    TacEditWnd::SetSkinParams();
    if (SkinData == nullptr || Unhooked) return;
    vcl::TControl* c = SkinData->OwnerControl();
    if (c && !SkinData->CustomFont()) c->Font()->SetColor(vcl::TColor(TextColor()));
    if (c == nullptr) win::SendMessageA(CtrlHandle, TVM_SETTEXTCOLOR, 0, intptr_t(TextColor()));
    if (c == nullptr || !SkinData->CustomColor())
        win::SendMessageA(CtrlHandle, TVM_SETBKCOLOR, 0, intptr_t(FieldColor()));
}

void TacTreeViewWnd::RestoreStdParams() {
    TacEditWnd::RestoreStdParams();
    if (!win::IsWindow(CtrlHandle)) return;
    win::SendMessageA(CtrlHandle, TVM_SETBKCOLOR, 0, intptr_t(win::GetSysColor(win::COLOR_WINDOW)));
    if (SkinData == nullptr || SkinData->OwnerControl() == nullptr)
        win::SendMessageA(CtrlHandle, TVM_SETTEXTCOLOR, 0,
                          intptr_t(win::GetSysColor(win::COLOR_WINDOWTEXT)));
}

void TacTreeViewWnd::AdapterWindowProc(vcl::TMessage& m) {
    if (!CanSkin()) return TacEditWnd::AdapterWindowProc(m);
    if (m.Msg == win::WM_ERASEBKGND) {
        if (!SkinData->BGChanged && m.WParam) {
            win::RECT r{};
            win::GetClientRect(CtrlHandle, &r);
            FillRectSolid(reinterpret_cast<win::HDC>(m.WParam), vcl::TRect(r.left, r.top, r.right, r.bottom),
                          vcl::TColor(FieldColor()));
        }
        m.Result = 1;
        return;
    }
    TacEditWnd::AdapterWindowProc(m);
    if (!Unhooked && m.Msg == win::WM_LBUTTONUP && win::GetCapture() == CtrlHandle)
        win::ReleaseCapture();
}

}  // namespace skin

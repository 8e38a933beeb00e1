// The skinned form's window region, its redraw locks and its own scroll adapter.
#include "skin/windows/provider/skin_provider.h"

namespace skin {

using namespace vcl;

void TsSkinProvider::BuildRegionCuts() {}
void TsSkinProvider::UpdateFormRegion(bool) {}
win::HRGN TsSkinProvider::CreateFormRegion(int, int) { return nullptr; }
void TsSkinProvider::LockFormRedraw(bool) {}
void TsSkinProvider::UnlockFormRedraw(bool) {}
void TsSkinProvider::AttachScrollAdapter(TacMainWnd*&) {}

bool IsDwmCompositionEnabled() { return false; }
int32_t CallDwmSetWindowAttribute(win::HWND, uint32_t, const void*, uint32_t) {
    return static_cast<int32_t>(0x80004001u);
}
void SetDwmTransitionsDisabled(win::HWND, bool) {}

}  // namespace skin

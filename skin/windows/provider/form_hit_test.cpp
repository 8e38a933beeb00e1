// Hit testing of the skinned frame, caption mouse work, outline move/size and snapping.
#include "skin/windows/provider/skin_provider.h"

namespace skin {

using namespace vcl;

bool ButtonPressed = false;

int TsSkinProvider::HitTest(TMessage&) { return 0; }
int TsSkinProvider::ButtonIndexAt(TPoint) const { return 0; }
void TsSkinProvider::StartMoveSize(int, int) {}
void TsSkinProvider::StopMoveSize(int, int) {}
void TsSkinProvider::DrawMoveSizeOutline(int, int) {}
void TsSkinProvider::WMGetMinMaxInfo(TMessage& m) { CallOldWndProc(m); }
TPoint TsSkinProvider::ScreenToFormPoint(TPoint screen) const { return screen; }

}  // namespace skin

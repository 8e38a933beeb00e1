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
void TsSkinProvider::WMNCHitTest(TMessage& m) { CallOldWndProc(m); }
void TsSkinProvider::WMNCLButtonDown(TMessage& m) { CallOldWndProc(m); }
void TsSkinProvider::WMNCLButtonUp(TMessage& m) { CallOldWndProc(m); }
void TsSkinProvider::WMNCLButtonDblClk(TMessage& m) { CallOldWndProc(m); }
void TsSkinProvider::WMNCRButtonDown(TMessage& m) { CallOldWndProc(m); }
void TsSkinProvider::WMNCRButtonUp(TMessage& m) { CallOldWndProc(m); }
void TsSkinProvider::WMMouseMoveOutline(TMessage& m) { CallOldWndProc(m); }
void TsSkinProvider::WMWindowPosChangingSnap(TMessage& m) { CallOldWndProc(m); }
void TsSkinProvider::WMSizing(TMessage& m) { CallOldWndProc(m); }
bool TsSkinProvider::ArmOutline(TMessage&) { return false; }

}  // namespace skin

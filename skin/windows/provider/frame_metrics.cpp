// How the skinned frame measures: caption, borders, buttons, menu rows, icon, client offsets.
#include "skin/windows/provider/skin_provider.h"

namespace skin {

using namespace vcl;

int TsSkinProvider::ClientOffsetX() const { return 0; }
int TsSkinProvider::ClientOffsetY() const { return 0; }
TRect TsSkinProvider::GetFrameMargins() const { return {}; }
int TsSkinProvider::ExtTitleHeight() const { return skin::ExtTitleHeight(borderForm_); }
int TsSkinProvider::ExtBorderWidth() const { return skin::ExtBorderWidth(borderForm_); }
int TsSkinProvider::SysBorderWidth() const { return 0; }
int TsSkinProvider::ExtCaptionExtra() const { return skin::ExtCaptionExtra(borderForm_); }
int TsSkinProvider::CaptionHeight(bool) const { return 0; }
int TsSkinProvider::FullBorderWidth(bool) const { return 0; }
int TsSkinProvider::FullBorderWidthNoExt(bool) const { return 0; }
int TsSkinProvider::CaptionAreaHeight() const { return 0; }
int TsSkinProvider::MenuHeight() const { return 0; }
bool TsSkinProvider::IconVisible() const { return false; }
int TsSkinProvider::FormWidth() const { return 0; }
bool TsSkinProvider::FrameSizeChanged() const { return true; }
int TsSkinProvider::SysButtonWidth(const TsCaptionButton&) const { return 21; }
int TsSkinProvider::SysButtonHeight() const { return 21; }
int TsSkinProvider::VisibleSysBtnCount() const { return 0; }
int TsSkinProvider::UserButtonWidth(const TsTitleButton&) const { return 21; }
int TsSkinProvider::ButtonsWidth() const { return 0; }
int TsSkinProvider::TitleReserveWidth(int) const { return 0; }
int TsSkinProvider::MDIButtonWidth() const { return 16; }
int TsSkinProvider::MDIButtonHeight() const { return 16; }
bool TsSkinProvider::MDIChildButtonsVisible() const { return false; }
TPoint TsSkinProvider::GripPos(int) const { return {}; }
void TsSkinProvider::SaveButtonsArea(bool) {}
void TsSkinProvider::RestoreButtonsArea() {}
void TsSkinProvider::RepaintMenuBarItem(TMenuItem*, const TRect&, int) {}
void TsSkinProvider::SaveTitleBG() {}
void TsSkinProvider::LoadTitleButtonMasks() {}
bool TsSkinProvider::HasBorder() const { return true; }
bool TsSkinProvider::BorderSingleOrSizeable() const { return true; }
bool TsSkinProvider::MenuPresent() const { return false; }
bool TsSkinProvider::MenuBarVisible() const { return false; }
bool TsSkinProvider::GripVisible() const { return false; }
int TsSkinProvider::TitleIconWidth() const { return 0; }
int TsSkinProvider::TitleIconHeight() const { return 0; }
TRect TsSkinProvider::IconRect() const { return {}; }
int TsSkinProvider::MenuLineCount() { return 0; }
TPoint TsSkinProvider::FormScreenOrigin() const { return {}; }

int SysBorderWidth(win::HWND, TacBorderFormBase*, bool) { return 0; }
int SysBorderWidthNoExt(win::HWND, TacBorderFormBase*, bool) { return 0; }
int ExtTitleHeight(TacBorderFormBase*) { return 0; }
int ExtBorderWidth(TacBorderFormBase*) { return 0; }
int ExtCaptionExtra(TacBorderFormBase*) { return 0; }
int ExtBorderExtra(TacBorderFormBase*) { return 0; }
bool IsWindowSizeable(win::HWND) { return false; }
bool IsSingleImageMask(int, TsSkinManager*) { return true; }
int TitleIconSizeFor(int) { return 16; }
int WndWidth(win::HWND) { return 0; }
int WndHeight(win::HWND) { return 0; }
int WndClientWidth(win::HWND) { return 0; }
int WndClientHeight(win::HWND) { return 0; }

}  // namespace skin

// The skinned form's window region, its redraw locks and its own scroll adapter, and the link to
// a desktop window manager that this platform never has.
#include <algorithm>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/region.h"
#include "platform/user/user.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/color_helpers.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/provider/skin_provider.h"

namespace skin {

using namespace vcl;

namespace {

// The wParam of the own-region question, given back by a window that keeps its region.
constexpr uintptr_t kOwnRegionAnswer = 0x41A2;

}  // namespace

// The corners of one mask, top or bottom, as runs of the transparent key in window rows.
void AddMaskRegionCuts(std::vector<TRect>& cuts, const TsSkinManager* m, int index,
                       int windowWidth, bool bottom, int rowOffset) {
    if (!m->IsValidImgIndex(index)) return;
    const TsMaskData& mask = m->Skin().Masks[size_t(index)];
    TBitmap* image = mask.Bmp ? mask.Bmp.get() : m->MasterBitmap();
    if (image == nullptr) return;
    const MaskCorners corners{mask.R,  mask.ImageCount, mask.MaskType, mask.WL,
                              mask.WT, mask.WR,         mask.WB};
    GetMaskRegionCuts(cuts, ViewOf(image), corners, windowWidth, bottom, rowOffset);
}

void TsSkinProvider::BuildRegionCuts() {
    RegionCuts.clear();
    TsSkinManager* m = SkinManager();
    if (m == nullptr || form_ == nullptr) return;
    int formMask = skinData_->BorderIndex;
    if (!m->IsValidImgIndex(formMask)) {
        const std::string& section = skinData_->SkinSection();
        formMask = m->GetMaskIndexByNames(
            section.empty() || section == "UNKNOWN" ? "FORM" : section, "BORDERSMASK");
    }
    const int width = FormWidth();
    if (m->IsValidImgIndex(formMask)) {
        const int height = FormIconic() ? WndHeight(FormHandle()) : form_->Height();
        AddMaskRegionCuts(RegionCuts, m, formMask, width, false, 0);
        AddMaskRegionCuts(RegionCuts, m, formMask, width, true,
                    height - m->Skin().Masks[size_t(formMask)].WB);
    }
    const int title =
        TitleSkinIndex() >= 0 ? TitleSkinIndex() : m->GetSkinIndex(TitleSkinSection());
    if (m->IsValidSkinIndex(title))
        AddMaskRegionCuts(RegionCuts, m, m->GetMaskIndex(title, TitleSkinSection(), "BORDERSMASK"), width,
                    false, 0);
}

win::HRGN TsSkinProvider::CreateFormRegion(int dx, int dy) {
    if (form_ == nullptr) return nullptr;
    const int height = std::max(FormIconic() ? WndHeight(FormHandle()) : form_->Height(), 0);
    win::HRGN region = win::CreateRectRgn(dx, dy, dx + FormWidth(), dy + height);
    win::HRGN cut = win::CreateRectRgn(0, 0, 0, 0);
    for (const TRect& r : RegionCuts) {
        win::SetRectRgn(cut, r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
        win::CombineRgn(region, region, cut, win::RGN_DIFF);
    }
    win::DeleteObject(cut);
    return region;
}

bool KeepsOwnRegion(win::HWND wnd) {
    return uintptr_t(win::SendMessageA(wnd, kOwnRegionQuery, kOwnRegionAnswer, 0)) ==
           kOwnRegionAnswer;
}

void TsSkinProvider::UpdateFormRegion(bool repaint) {
    win::HWND wnd = FormHandle();
    if (wnd == nullptr || !DrawNonClientArea || Passive) return;
    const bool iconic = FormIconic();
    if (!HasBorder() && !iconic && !IsWindowSizeable(wnd)) return;
    // A window that shapes itself keeps its region, whatever the skin's corners.
    if (KeepsOwnRegion(wnd)) return;
    // The class library's forms are never docked, so no docked form loses its region here.
    if (RegionChanged && !RegionUpdating) BuildRegionCuts();
    win::HRGN region;
    const int w = WndWidth(wnd), h = WndHeight(wnd);
    if (borderForm_) {
        const int f = skin::SysBorderWidth(wnd, borderForm_, false);
        const int top = FormMaximized() ? f + CaptionHeight(false) - 4
                                        : SysBorderWidthNoExt(wnd, borderForm_, false) +
                                              CaptionHeight(false) + f;
        region = win::CreateRectRgn(f, top, w - f, h - f);
    } else if (FormMaximized() && form_->FormStyle() != fsMDIChild &&
               form_->Constraints()->MaxWidth() == 0 && form_->Constraints()->MaxHeight() == 0) {
        // The frame of a maximised form lies off the screen: only the inside stays.
        const int f = SysBorderWidth();
        region = win::CreateRectRgn(f, f, w - f, h - f);
    } else {
        region = CreateFormRegion(0, 0);
    }
    RegionUpdating = true;
    win::SetWindowRgn(wnd, region, repaint);
    RegionUpdating = false;
    // The region now matches the frame; the next frame rebuild marks it stale again. (Leaving it
    // stale would re-apply it on every paint, and a redrawing SetWindowRgn paints again.)
    RegionChanged = false;
}

void TsSkinProvider::LockFormRedraw(bool withMDIParent) {
    if (form_ == nullptr) return;
    skinData_->BeginUpdate();
    if (FormHandle()) win::SendMessageA(FormHandle(), win::WM_SETREDRAW, 0, 0);
    if (withMDIParent && form_->FormStyle() == fsMDIChild && MDISkinProvider &&
        MDISkinProvider != this)
        MDISkinProvider->LockFormRedraw(false);
}

void TsSkinProvider::UnlockFormRedraw(bool withMDIParent) {
    if (form_ == nullptr) return;
    skinData_->EndUpdate(false);
    if (FormHandle()) win::SendMessageA(FormHandle(), win::WM_SETREDRAW, 1, 0);
    if (withMDIParent && form_->FormStyle() == fsMDIChild && MDISkinProvider &&
        MDISkinProvider != this)
        MDISkinProvider->UnlockFormRedraw(false);
}

// A form's own scroll bars come with AutoScroll, which the class library's forms do not have:
// no adapter is ever attached to a form.
void TsSkinProvider::AttachScrollAdapter(TacMainWnd*&) {}

// No desktop composition here: nothing to ask, nothing to set.
bool IsDwmCompositionEnabled() {
    return false;
}
int32_t CallDwmSetWindowAttribute(win::HWND, uint32_t, const void*, uint32_t) {
    return static_cast<int32_t>(0x80004001u);  // E_NOTIMPL
}
void SetDwmTransitionsDisabled(win::HWND, bool) {}

}  // namespace skin

// The adapter of tree views that do not paint themselves through the skin: the edit adapter's
// frame and bars, and the tree's colours from the section (its hot colours, as a tree shows its
// items on the field an edit shows when active). A dialog's tree keeps the system window colour.
#pragma once

#include "skin/windows/scroll/edit_wnd.h"

namespace skin {

// The tree view messages the adapter sends (the windowing layer has no tree view class).
inline constexpr win::UINT TVM_SETBKCOLOR = 0x1100 + 29;
inline constexpr win::UINT TVM_SETTEXTCOLOR = 0x1100 + 30;
inline constexpr win::UINT TVM_GETBKCOLOR = 0x1100 + 31;
inline constexpr win::UINT TVM_GETTEXTCOLOR = 0x1100 + 32;

class TacTreeViewWnd : public TacEditWnd {
public:
    void AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                        const std::string& section, bool flag) override;
    void SetSkinParams() override;
    void RestoreStdParams() override;
    void AdapterWindowProc(vcl::TMessage& m) override;

    // The field's colour: the section's HOTCOLOR, the system window colour in a dialog.
    uint32_t FieldColor() const;
    // The items' colour: the section's HOTFONTCOLOR, the system's in a dialog.
    uint32_t TextColor() const;
};

}  // namespace skin

// The adapter of combo boxes that do not paint themselves through the skin (a dialog's combo
// boxes, class-library combo boxes named in the skin manager's lists): the field and its frame
// from the control's section, the drop button from "COMBOBTN" with the "COMBOBOX" arrow, and a
// skinned frame and bars on the dropped list.
//
// Rules:
//  1. The list gets one adapter: a new one only while the list has no live adapter.
//  2. The list's background brush is made once and kept; it goes with a skin change and with
//     the adapter, so dropping the list again and again makes no new drawing objects.
#pragma once

#include <memory>

#include "skin/windows/scroll/combo_list_wnd.h"

namespace skin {

// Raised between a combo box's drop-down and close-up (process-wide: one list is open at a time).
extern bool ComboBoxDroppedDown;

class TacComboBoxWnd : public TacEditWnd {
public:
    TacComboBoxWnd();
    ~TacComboBoxWnd() override;

    void AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                        const std::string& section, bool flag) override;
    void AdapterWindowProc(vcl::TMessage& m) override;

    // The drop button in the window's coordinates: SM_CXVSCROLL wide (none for a simple combo)
    // at the right, at the left with WS_EX_LEFTSCROLLBAR, inset by 2.
    virtual win::RECT ButtonRect() const;
    // 2 while the list is shown, 1 while the box is active or under the mouse, else 0.
    int ButtonState() const;

    // The skin state of the button ("COMBOBTN").
    std::unique_ptr<TsCommonData> ButtonData;
    // The adapter of the dropped list (null until the list first drops).
    TacMainWnd* ListAdapter = nullptr;
    // The brush the list's background is answered with (null until asked).
    win::HBRUSH ListBrush = nullptr;

protected:
    void PrepareCache() override;

private:
    void PaintBox(win::HDC dc);
    void PaintText(vcl::TBitmap* cache);
    // Answers WM_CTLCOLORLISTBOX: the list's adapter when it has none, the section's colours.
    void ListColors(vcl::TMessage& m);
    void DropBrush();
};

}  // namespace skin

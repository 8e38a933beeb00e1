// The frame-and-bars adapter of a combo box's list ("ComboLBox"): a thin skinned border taken
// from the cache and skinned bars, with the list's own press tracking kept apart from a press
// on a bar (a dropped list holds the mouse capture while it is open).
#pragma once

#include <string>

#include "skin/windows/scroll/edit_wnd.h"

namespace skin {

class TacComboListWnd : public TacEditWnd {
public:
    // Adapts the list `list` of a combo box; `simple` for a combo whose list is always shown.
    // Without `hasItems` the list is sized one pixel wider and back, so that its frame is laid
    // out again with the adapter's bars.
    static TacComboListWnd* CreateForList(win::HWND list, bool simple, bool hasItems,
                                          const std::string& section, TsSkinManager* manager);

    void AdapterWindowProc(vcl::TMessage& m) override;

    bool Simple = false;
    bool Tracking = false;  // the list follows a press that dropped it

private:
    // The border strips of the cache, `strip` pixels wide, and the bars on `dc`.
    void PaintListFrame(win::HDC dc, int strip);
    void ListButtonUp(vcl::TMessage& m);
    // A simple combo's list that ends above the combo's bottom leaves a strip of the combo
    // under it: that shows what lies behind the combo, as the skinned frame around it does.
    void PaintStripUnderList();
};

}  // namespace skin

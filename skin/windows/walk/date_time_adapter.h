// A time picker's adapter: the edit's skinned frame and background, and the picker's own
// up-down child skinned as a dialog's up-down is. The walk meets only the class library's
// controls, so that child, a bare window of the picker, would otherwise keep the classic look.
#pragma once

#include <string>

#include "skin/windows/scroll/edit_wnd.h"
#include "skin/windows/walk/control_adapter.h"

namespace skin {

class TacDateTimeWnd : public TacEditWnd {
public:
    ~TacDateTimeWnd() override;
    void AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                        const std::string& section, bool flag) override;
    // The up-down child's adapter, or null.
    TacMainWnd* Spin() const { return spin_; }

private:
    TacMainWnd* spin_ = nullptr;
};

// The edits' factory: a window with an up-down child (a time picker) gets TacDateTimeWnd, any
// other TacEditWnd.
TacAdapterFactory EditAdapterFactory();

}  // namespace skin

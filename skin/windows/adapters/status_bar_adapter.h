// The status bar adapter: the bar's section over the parent's background, then its parts, each
// framed by the section's "STATUSPANELMASK" or, in a skin without it, divided from the next by
// the "DIVIDER" section, with the part's text in the section's colours. It serves the native
// bar class and the class library's status bar alike.
#pragma once

#include <string>
#include <vector>

#include "skin/windows/adapters/window_adapter.h"

namespace vcl {
class TCustomStatusBar;
}

namespace skin {

class TacStatusBarWnd : public TacMainWnd {
public:
    void AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                        const std::string& section, bool flag) override;
    void AdapterWindowProc(vcl::TMessage& m) override;

    // The painted areas of the parts in window coordinates: one in simple mode.
    std::vector<vcl::TRect> PartRects();
    bool Simple();

    vcl::TCustomStatusBar* StatusBar = nullptr;

private:
    // The text of part `i` and how it is aligned (DT_LEFT, DT_CENTER, DT_RIGHT).
    std::string PartText(int i, bool simple, uint32_t& align);
    void PrepareBarCache();
    void Paint(win::HDC dc);
};

}  // namespace skin

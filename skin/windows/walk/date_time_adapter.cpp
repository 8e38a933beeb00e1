#include "skin/windows/walk/date_time_adapter.h"

#include "platform/user/user.h"
#include "skin/windows/adapters/sizer_spin_adapters.h"

namespace skin {

namespace {

std::string ClassOf(win::HWND wnd) {
    char name[64] = {};
    win::GetClassNameA(wnd, name, sizeof name);
    return name;
}

// The picker's up-down child (the class library names the picker's window after its own class,
// so the picker is known by this child).
win::HWND UpDownChild(win::HWND wnd) {
    for (win::HWND c = win::GetWindow(wnd, win::GW_CHILD); c;
         c = win::GetWindow(c, win::GW_HWNDNEXT))
        if (ClassOf(c) == "msctls_updown32") return c;
    return nullptr;
}

}  // namespace

TacDateTimeWnd::~TacDateTimeWnd() {
    if (spin_) FreeAdapter(spin_);
}

void TacDateTimeWnd::AttachToWindow(win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                                    const std::string& section, bool flag) {
    TacEditWnd::AttachToWindow(wnd, skinData, manager, section, flag);
    const win::HWND spin = UpDownChild(wnd);
    if (spin && !FindWindowAdapter(spin))
        spin_ = AttachAdapter<TacSpinWnd>(spin, nullptr, manager, "SPEEDBUTTON_SMALL");
}

TacAdapterFactory EditAdapterFactory() {
    return [](win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
              const std::string& section) -> TacMainWnd* {
        if (UpDownChild(wnd))
            return AttachAdapter<TacDateTimeWnd>(wnd, skinData, manager, section, true);
        return AttachAdapter<TacEditWnd>(wnd, skinData, manager, section, true);
    };
}

}  // namespace skin

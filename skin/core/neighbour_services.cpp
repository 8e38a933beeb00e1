#include "skin/core/neighbour_services.h"

#include "platform/gdi/dc.h"
#include "platform/user/message_box.h"
#include "platform/user/system_metrics.h"
#include "platform/user/user.h"
#include "skin/core/form_animations.h"
#include "skin/core/library_startup.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/graphics.h"

namespace skin {

TacMenuSupport::TacMenuSupport() : ExtraLineFont(new vcl::TFont) {}

TacMenuSupport::~TacMenuSupport() {
    vcl::FreeAndNil(ExtraLineFont);
}

namespace {

void PlainMessageBox(const std::string& text, TMsgDlgKind kind) {
    static const char* const kCaptions[] = {"Warning", "Error", "Information", "Confirm"};
    static const win::UINT kIcons[] = {win::MB_ICONWARNING, win::MB_ICONERROR,
                                       win::MB_ICONINFORMATION, win::MB_ICONQUESTION};
    const int k = kind >= mdWarning && kind <= mdConfirmation ? kind : mdWarning;
    win::MessageBoxA(nullptr, text.c_str(), kCaptions[k], win::MB_OK | kIcons[k]);
}

win::LRESULT PassHookOn(int code, win::WPARAM w, win::LPARAM l) {
    return win::CallNextHookEx(nullptr, code, w, l);
}

// Children are printed from the bottom of the z-order up, so the top one ends on top.
void PrintChildren(win::HWND wnd, win::HDC dc) {
    std::vector<win::HWND> children;
    for (win::HWND c = win::GetWindow(wnd, win::GW_CHILD); c;
         c = win::GetWindow(c, win::GW_HWNDNEXT))
        children.push_back(c);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (!win::IsWindowVisible(*it)) continue;
        win::RECT r{};
        win::GetWindowRect(*it, &r);
        win::POINT at{r.left, r.top};
        win::MapWindowPoints(nullptr, wnd, &at, 1);
        const int saved = win::SaveDC(dc);
        win::OffsetWindowOrgEx(dc, -at.x, -at.y, nullptr);
        win::SendMessageA(*it, win::WM_PRINT, reinterpret_cast<win::WPARAM>(dc),
                          win::PRF_NONCLIENT | win::PRF_CLIENT | win::PRF_ERASEBKGND);
        PrintChildren(*it, dc);
        win::RestoreDC(dc, saved);
    }
}

bool MakeLayeredTransparent(win::HWND wnd, bool on) {
    if (!on || !LayeredWindowsAvailable() || !win::IsWindow(wnd)) return false;
    win::SetWindowLong(
        wnd, win::GWL_EXSTYLE,
        win::GetWindowLong(wnd, win::GWL_EXSTYLE) | win::LONG_PTR(win::WS_EX_LAYERED));
    return win::SetLayeredWindowAttributes(wnd, 0, 10, win::LWA_ALPHA) != 0;
}

NeighbourServices Defaults() {
    NeighbourServices s;
    s.BroadcastToAdapter = [](vcl::TWinControl*, vcl::TMessage&) { return false; };
    s.ShowMessage = PlainMessageBox;
    s.ShowSkinnedMessageDlg = [](const std::string& text, TMsgDlgKind kind, TMsgDlgButtonSet, int) {
        Neighbours().ShowMessage(text, kind);
        return int(vcl::mrOk);
    };
    s.ClearGlows = [] {};
    s.CreateSkinableMenus = [](TsSkinManager* owner) {
        return std::make_unique<TsSkinableMenusBase>(owner);
    };
    s.DialogHookProc = PassHookOn;
    s.HookedWindows = [] { return std::vector<win::HWND>(); };
    s.CreateHookedWindowList = [] {};
    s.FreeHookedWindowList = [] {};
    s.ClearMenuWndAdapters = [] {};
    s.FindMenuItemRecord = [](TsSkinableMenusBase*, vcl::TMenuItem*, win::HWND) -> void* {
        return nullptr;
    };
    s.HookMenuWindow = [](TsSkinableMenusBase*, win::HWND, void*) {};
    s.IsDwmCompositionEnabled = [] {
        win::BOOL on = win::FALSE;
        return win::DwmIsCompositionEnabled(&on) == 0 && on;
    };
    s.AnimFormTransition = [](vcl::TCustomForm* form, int time, uint8_t alpha, int mode) {
        AnimFormTransition(form, time, alpha, TacAnimType(mode));
    };
    s.PrintChildWindows = PrintChildren;
    s.SetLayeredTransparent = MakeLayeredTransparent;
    s.FadeWindow = [] { return win::HWND(nullptr); };
    return s;
}

}  // namespace

NeighbourServices& Neighbours() {
    static NeighbourServices services = Defaults();
    return services;
}

void ResetNeighbourServices() {
    Neighbours() = Defaults();
}

}  // namespace skin

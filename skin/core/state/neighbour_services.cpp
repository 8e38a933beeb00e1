#include "skin/core/state/neighbour_services.h"

#include "platform/gdi/dc.h"
#include "platform/user/message_box.h"
#include "platform/user/messages.h"
#include "platform/user/system_metrics.h"
#include "platform/user/user.h"
#include "platform/user/window_pos.h"
#include "platform/user/window_tree.h"
#include "skin/core/state/form_animations.h"
#include "skin/core/state/skin_manager.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/std_ctrls.h"
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

// Each visible child prints itself and its own children at its place in `wnd`'s window.
void PrintChildren(win::HWND wnd, win::HDC dc) {
    for (win::HWND child = win::GetTopWindow(wnd); child;
         child = win::GetWindow(child, win::GW_HWNDNEXT)) {
        if (!win::IsWindowVisible(child)) continue;
        win::RECT r{};
        win::GetWindowRect(child, &r);
        win::POINT p{r.left, r.top};
        win::MapWindowPoints(nullptr, wnd, &p, 1);
        win::OffsetViewportOrgEx(dc, p.x, p.y, nullptr);
        win::SendMessage(child, win::WM_PRINT, reinterpret_cast<win::WPARAM>(dc),
                         win::PRF_CLIENT | win::PRF_NONCLIENT | win::PRF_ERASEBKGND);
        PrintChildren(child, dc);
        win::OffsetViewportOrgEx(dc, -p.x, -p.y, nullptr);
    }
}

// Names its own hook, so the hooks installed before the manager's are called too.
win::LRESULT PassHookOn(int code, win::WPARAM w, win::LPARAM l) {
    return win::CallNextHookEx(DialogHookHandle, code, w, l);
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
    s.ShowGlow = [](const vcl::TRect&, const vcl::TRect&, const std::string&, TsSkinManager*,
                    win::HWND, uint8_t, int, const std::string&) { return -1; };
    s.HideGlow = [](int) {};
    s.SetMenuOwnerDraw = [](TsSkinableMenusBase*, vcl::TMenu*, bool) {};
    s.EmptySkinHook = [] {};
    s.PrintChildWindows = PrintChildren;
    s.SetLayeredTransparent = [](win::HWND, bool) { return false; };
    s.FadeLayeredWindow = [] { return win::HWND(nullptr); };
    s.CreateEditLabel = [](vcl::TControl* edit, TsBoundLabel*) -> vcl::TCustomLabel* {
        return vcl::New<vcl::TLabel>(edit);
    };
    s.RepaintCacheBorders = [](TsCommonData*) {};
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

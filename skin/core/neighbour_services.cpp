#include "skin/core/neighbour_services.h"

#include "platform/user/message_box.h"
#include "platform/user/system_metrics.h"
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
    s.AnimFormTransition = [](vcl::TCustomForm*, int, uint8_t, int) {};
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

// The thread's creation hook that skins the windows the application does not skin itself: its
// forms made without a provider get one from the library. The default manager installs it when
// its skin comes into force and removes it with the skin.
#pragma once

#include <string>
#include <vector>

#include "platform/user/hooks.h"
#include "vcl/system/component.h"

namespace vcl {
class TCustomForm;
}

namespace skin {

class TsSkinProvider;

// What the hook made for one window. A form's record is owned by the form and dies with it; the
// provider it made belongs to the form too.
class TacProvider : public vcl::TComponent {
public:
    VCL_CLASS(TacProvider, vcl::TComponent)
    explicit TacProvider(vcl::TComponent* owner);
    ~TacProvider() override;

    void InitForm(vcl::TCustomForm* form);

    bool RightToLeft = false;
    win::HWND Handle = nullptr;  // the skinned system dialog; null for a form
    TsSkinProvider* SkinProvider = nullptr;
};

// Every record made since the hook was installed; a freed record leaves its slot null. Empty
// while the hook is not installed.
extern std::vector<TacProvider*> HookedProviders;
// Form classes the hook never skins.
extern std::vector<std::string> NoSkinFormClasses;

win::LRESULT DialogSkinHookProc(int code, win::WPARAM wParam, win::LPARAM lParam);
// Decides and does the skinning of one top-level window; true when a record was made.
bool SkinActivatedWindow(win::HWND wnd);

std::string GetWindowClassName(win::HWND wnd);
TacProvider* FindDialogProvider(win::HWND wnd);
// Searches the screen's forms from the newest.
vcl::TCustomForm* FindFormByHandle(win::HWND wnd);

// Fills the hook's slots of the neighbour services. Idempotent.
void InitDialogHook();

}  // namespace skin

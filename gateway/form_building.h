// Forms built in code: the form set up as a fixed dialog, and each component made, named and
// placed in the order a stored form would load it.
#pragma once

#include <string>

#include "vcl/controls/forms.h"

namespace gateway {

// A modal dialog of a fixed size with only the close box, centred on the screen.
inline void SetUpDialog(vcl::TForm* form, const char* name, const std::string& caption,
                        int clientWidth, int clientHeight) {
    form->SetName(name);
    form->SetCaption(caption);
    form->SetBorderStyle(vcl::bsDialog);
    form->SetBorderIcons({vcl::biSystemMenu});
    form->SetPosition(vcl::poScreenCenter);
    form->SetClientSize(clientWidth, clientHeight);
}

// A component of class T owned by `owner`, named `name`, placed on `parent` at `bounds`, with
// `caption` when one is given.
template <typename T>
T* MakeComponent(vcl::TComponent* owner, vcl::TWinControl* parent, const char* name,
                 vcl::TRect bounds, const std::string& caption = {}) {
    T* c = vcl::New<T>(owner);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBoundsRect(bounds);
    if (!caption.empty()) c->SetCaption(caption);
    return c;
}

}  // namespace gateway

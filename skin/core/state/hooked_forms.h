// The registry of forms that carry a form skin provider, the broadcasts that carry a skin
// command to every form, and the freezing of the forms' redrawing around a skin change.
//
// Rules:
//  1. A control is registered once per AddHookedControl and removed wholly by one
//     RemoveHookedControl; the array holds no null slots.
//  2. Freezing and resuming pair: FreezeFormsRedraw records the forms it froze (each once, for
//     the manager that froze it) and ResumeFormsRedraw thaws exactly those, whatever happened to
//     the main window in between; a form that leaves the registry leaves the record too.
//  3. A form freed by a receiver during a broadcast or a freeze is not touched again; the walk
//     goes on over the forms there were at its start, so none is passed over.
//  4. Resuming always clears the animation-running flag.
#pragma once

#include <vector>

#include "platform/gdi/win_types.h"
#include "vcl/controls/forms.h"

namespace skin {

class TsSkinManager;
class TsSkinProviderBase;

// The registered forms, in order of registration.
extern std::vector<vcl::TControl*> HookedForms;
// The program file's small and large shell icons; null when the shell has none.
extern win::HICON AppSmallIcon;
extern win::HICON AppLargeIcon;

// Answers the new number of entries.
int AddHookedControl(vcl::TControl* control);
void RemoveHookedControl(vcl::TControl* control);

// The provider that skins the form (its answer to skin command 4), or null.
TsSkinProviderBase* ProviderOf(vcl::TControl* form);

// The message to every form of the application that has no provider (with its controls), then
// to the registered forms.
void BroadcastToForms(vcl::TMessage& message);
// The message to every registered form with its controls, then to every visible window of the
// dialog hook's adapters.
void BroadcastToHookedForms(vcl::TMessage& message);

void FreezeFormsRedraw(TsSkinManager* manager);
void ResumeFormsRedraw(TsSkinManager* manager, bool animate);
// The forms frozen now.
std::vector<vcl::TCustomForm*> FrozenForms();

// Resumes on leaving the scope what was frozen for the manager and is still frozen, without
// animation; the normal way out has resumed already and leaves nothing to do.
class FreezeGuard {
public:
    explicit FreezeGuard(TsSkinManager* manager) : manager_(manager) {}
    ~FreezeGuard();
    FreezeGuard(const FreezeGuard&) = delete;
    FreezeGuard& operator=(const FreezeGuard&) = delete;

private:
    TsSkinManager* manager_;
};

// Start-up and clean-up of the registry's unit: the shell icons, the array.
void InitSkinDataUnit();
void FinalizeSkinDataUnit();

}  // namespace skin

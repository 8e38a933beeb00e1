// A borderless form of a given size under a skin manager of its own with the internal skin, on
// a fresh window system; freed with the application. The benchmarks of skinned controls put
// their controls on it and show it.
#pragma once

#include <memory>

#include "platform/user/user.h"
#include "skin/controls/window_services.h"
#include "skin/core/data/internal_skin.h"
#include "skin/core/data/stored_skins.h"
#include "skin/core/state/skin_manager.h"
#include "vcl/controls/forms.h"

namespace bench {

class SkinnedStage {
public:
    SkinnedStage(int width, int height) {
        win::ResetWindowing();
        skin::InitSkinControls();
        manager.reset(new skin::TsSkinManager(nullptr));
        skin::AddInternalSkin(*manager->InternalSkins());
        manager->SetSkinName(skin::InternalSkinName());
        vcl::Application()->CreateForm(form);
        form->SetBorderStyle(vcl::bsNone);
        form->SetBounds(0, 0, width, height);
    }
    ~SkinnedStage() {
        manager.reset();  // first: freed later it would make a new application
        vcl::DoneApplication();
        win::ResetWindowing();
    }
    SkinnedStage(const SkinnedStage&) = delete;
    SkinnedStage& operator=(const SkinnedStage&) = delete;

    vcl::TForm* form = nullptr;
    std::unique_ptr<skin::TsSkinManager, vcl::FreeDeleter> manager;
};

}  // namespace bench

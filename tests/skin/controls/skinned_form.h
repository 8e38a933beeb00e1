// A form test with the program's internal skin active through a manager of its own (the
// default one), freed before the form's application goes.
#pragma once

#include <memory>

#include "skin/core/data/internal_skin.h"
#include "skin/core/state/skin_manager.h"
#include "skin/core/data/stored_skins.h"
#include "tests/vcl/gui_fixture.h"

namespace skin_test {

class SkinnedFormTest : public vcl::testing::FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        manager.reset(new skin::TsSkinManager(nullptr));
        skin::AddInternalSkin(*manager->InternalSkins());
        manager->SetSkinName(skin::InternalSkinName());
    }
    void TearDown() override {
        vcl::DoneApplication();
        manager.reset();
        FormTest::TearDown();
    }
    // The section's record in the active skin.
    const skin::TsGeneralData& Section(const char* name) const {
        return manager->Skin().Sections[size_t(manager->GetSkinIndex(name))];
    }

    std::unique_ptr<skin::TsSkinManager, vcl::FreeDeleter> manager;
};

}  // namespace skin_test

// A form test with the program's internal skin active through a manager of its own (the
// default one), freed before the form's application goes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "skin/controls/window_services.h"
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

// A fade that runs until it is stopped, noting its end.
class RecordedFade : public skin::TacControlFade {
public:
    explicit RecordedFade(std::vector<std::string>* log) : log_(log) {}
    ~RecordedFade() override { log_->push_back("fade freed"); }
    bool Running() const override { return true; }
    void DrawFrame() override {}
    vcl::TBitmap* Frame() const override { return nullptr; }

private:
    std::vector<std::string>* log_;
};

}  // namespace skin_test

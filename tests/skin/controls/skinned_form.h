// A form test with the program's internal skin active through a manager of its own (the
// default one), freed before the form's application goes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "skin/controls/window_services.h"
#include "skin/core/data/internal_skin.h"
#include "skin/core/data/stored_skins.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_manager.h"
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

// A fade that runs until it is stopped, noting its end; its frame is `frame`.
class RecordedFade : public skin::TacControlFade {
public:
    explicit RecordedFade(std::vector<std::string>* log, vcl::TBitmap* frame = nullptr)
        : log_(log), frame_(frame) {}
    ~RecordedFade() override { log_->push_back("fade freed"); }
    bool Running() const override { return true; }
    void DrawFrame() override {}
    vcl::TBitmap* Frame() const override { return frame_; }

private:
    std::vector<std::string>* log_;
    vcl::TBitmap* frame_;
};

// Every state change may fade, and each one is written to `log` ("fast fade", "slow fade")
// with its cache marked stale; the first starts a RecordedFade that runs until stopped.
inline void RecordFades(std::vector<std::string>& log) {
    skin::WindowServices& w = skin::WindowSlots();
    w.IsAnimEventAllowed = [](skin::TacAnimatEvent, skin::TacAnimatEvents, skin::TsSkinManager*) {
        return true;
    };
    w.ChangeStateAnimated = [&log](skin::FadePtr& fade, skin::TsCommonData* d, bool fast, int,
                                   bool allowed) {
        log.push_back(std::string(fast ? "fast" : "slow") + (allowed ? " fade" : " jump"));
        d->CacheStale = true;
        if (!fade) fade = std::make_unique<RecordedFade>(&log);
    };
}

}  // namespace skin_test

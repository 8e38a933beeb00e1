#include "skin/controls/window_services.h"

#include <gtest/gtest.h>

#include "skin/controls/edits.h"
#include "skin/controls/labels.h"
#include "skin/core/state/neighbour_services.h"
#include "tests/vcl/gui_fixture.h"

namespace skin {
namespace {

using namespace vcl;
using vcl::testing::FormTest;

class WindowServicesTest : public FormTest {
protected:
    void TearDown() override {
        ResetWindowServices();
        FormTest::TearDown();
    }
};

class NullFade : public TacControlFade {
public:
    explicit NullFade(int* freed) : freed_(freed) {}
    ~NullFade() override { ++*freed_; }
    bool Running() const override { return true; }
    void DrawFrame() override {}
    TBitmap* Frame() const override { return nullptr; }

private:
    int* freed_;
};

TEST_F(WindowServicesTest, DefaultsGiveTheControlWithoutTheEffect) {
    auto* ed = Place<TsEdit>(form, Bounds(10, 10, 100, 21));
    WindowServices& s = WindowSlots();
    AdapterPtr adapter;
    s.UpdateEditWndAdapter(ed->SkinData(), adapter);
    s.UpdateScrollWndAdapter(ed->SkinData(), adapter);
    EXPECT_EQ(adapter, nullptr);
    // A combo's list keeps the platform's frame; there is no tracked thumb.
    EXPECT_EQ(s.CreateComboListAdapter(ed->Handle(), false, true, "EDIT", nullptr), nullptr);
    EXPECT_EQ(s.LastTrackPosition(nullptr), -1);
    EXPECT_FALSE(s.IsAnimEventAllowed(aeMouseEnter, TacAnimatEvents{aeMouseEnter}, nullptr));
    // Stopping, starting and a state change all free a fade the control still held.
    int freed = 0;
    FadePtr fade = std::make_unique<NullFade>(&freed);
    s.StopControlFade(fade);
    EXPECT_EQ(fade, nullptr);
    fade = std::make_unique<NullFade>(&freed);
    s.StartControlFade(fade, ed->SkinData(), false, 1);
    EXPECT_EQ(fade, nullptr);
    int rebuilt = 0;
    s.StartAnimFade(fade, ed->SkinData(), true, [&] { ++rebuilt; });
    EXPECT_EQ(rebuilt, 1);
    EXPECT_EQ(freed, 2);
    // The start-up call made the bound label's caption a skinned label.
    ed->BoundLabel()->SetActive(true);
    EXPECT_NE(dynamic_cast<TsEditLabel*>(ed->BoundLabel()->Label()), nullptr);
}

TEST_F(WindowServicesTest, PresentStateIsTheControlsOwnStateElseItsActivity) {
    struct Stateful : TsEdit, TsStatefulControl {
        using TsEdit::TsEdit;
        int CurrentState() const override { return 2; }
    };
    auto* ed = Place<TsEdit>(form, Bounds(10, 10, 100, 21));
    auto* own = Place<Stateful>(form, Bounds(10, 40, 100, 21));
    EXPECT_EQ(PresentState(ed->SkinData()), 0);
    ed->SkinData()->Focused = true;
    EXPECT_EQ(PresentState(ed->SkinData()), 1);
    EXPECT_EQ(PresentState(own->SkinData()), 2);
    EXPECT_EQ(PresentState(nullptr), 0);
}

}  // namespace
}  // namespace skin

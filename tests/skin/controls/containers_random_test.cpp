// Panels and group boxes painted from skins with broken mask records, at odd sizes, with
// random captions and extreme insets: every paint path ends without a fault.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/user/messages.h"
#include "skin/controls/group_box.h"
#include "skin/controls/panels.h"
#include "skin/core/data/skin_data.h"
#include "tests/skin/controls/skinned_form.h"
#include "vcl/graphics/bitmap.h"

namespace skin {
namespace {

using namespace vcl;

class RandomContainersTest : public skin_test::SkinnedFormTest {};

TEST_F(RandomContainersTest, BrokenMasksAndExtremeSizesPaintSafely) {
    std::mt19937 rng(20261209);
    auto pick = [&](std::initializer_list<int> values) {
        return *(values.begin() + rng() % values.size());
    };
    auto* panel = Place<TsPanel>(form, Bounds(0, 0, 10, 10));
    auto* child = Place<TsPanel>(panel, Bounds(2, 2, 5, 5));
    auto* box = Place<TsGroupBox>(panel, Bounds(0, 0, 10, 10));  // over the panel's cache
    auto* bar = Place<TsDragBar>(form, Bounds(0, 0, 10, 10));
    form->SetBounds(0, 0, 600, 400);
    form->Show();
    Pump();
    TBitmap print;
    print.SetPixelFormat(pf24bit);
    print.SetSize(64, 64);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        for (const char* name : {"PANEL", "GROUPBOX", "CHECKBOX", "DRAGBAR"}) {
            const int index = manager->GetSkinIndex(name);
            if (index < 0) continue;
            TsGeneralData& s = manager->Skin().Sections[size_t(index)];
            s.Transparency = pick({0, 50, 100, -7, 250});
            if (s.BordersMask < 0) continue;
            TsMaskData& m = manager->Masks()[size_t(s.BordersMask)];
            m.WL = int16_t(pick({0, -5, 3, 30000}));
            m.WT = int16_t(pick({0, -1, 2, 9999}));
            m.WR = int16_t(pick({0, -32768, 1}));
            m.WB = int16_t(pick({0, 7, 32767}));
            m.ImageCount = int16_t(pick({0, 1, 3, -2}));
        }
        std::string caption(size_t(pick({0, 1, 40})), char('A' + rng() % 26));
        for (TWinControl* c : {static_cast<TWinControl*>(panel), static_cast<TWinControl*>(box),
                               static_cast<TWinControl*>(bar)}) {
            const bool wide = rng() % 2;
            const int big = pick({0, 1, 17, 4000});
            c->SetBounds(pick({-20, 0, 5}), pick({-20, 0, 5}), wide ? big : pick({1, 3}),
                         wide ? pick({1, 3}) : big);
            c->SetCaption(caption);
        }
        panel->SetBorderWidth(pick({0, 1, 3000}));
        panel->SetBevelWidth(TBevelWidth(pick({1, 2, 255})));
        panel->SetBevelInner(rng() % 2 ? bvLowered : bvNone);
        box->SetCaptionYOffset(pick({0, -30000, 10, 30000}));
        box->SetCaptionLayout(TsGroupBox::TsCaptionLayout(rng() % 3));
        child->SetBounds(pick({-3, 2}), 2, pick({0, 9}), 5);
        manager->SetActive(true);
        Pump();
        for (TWinControl* c : {static_cast<TWinControl*>(panel), static_cast<TWinControl*>(box)})
            c->Perform(win::WM_PRINT, reinterpret_cast<uintptr_t>(print.Canvas()->Handle()), 0);
        if (round % 5 == 4) manager->SetActive(false);
    }
}

}  // namespace
}  // namespace skin

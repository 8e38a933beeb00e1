// Every skinned control of the forms painted from skins with broken mask records, at sizes from
// nothing to 4000 pixels, with random captions and extreme insets: every paint path ends
// without a fault, and the messages a round takes to settle are bounded.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>

#include "platform/user/message_queue.h"
#include "platform/user/messages.h"
#include "skin/controls/bevel.h"
#include "skin/controls/buttons.h"
#include "skin/controls/check_box.h"
#include "skin/controls/edits.h"
#include "skin/controls/gauge.h"
#include "skin/controls/group_box.h"
#include "skin/controls/labels.h"
#include "skin/controls/panels.h"
#include "skin/controls/status_bar.h"
#include "skin/core/data/skin_data.h"
#include "tests/skin/controls/skinned_form.h"
#include "vcl/graphics/bitmap.h"

namespace skin {
namespace {

using namespace vcl;

class RandomControlsTest : public skin_test::SkinnedFormTest {
protected:
    // Handles the waiting messages; answers how many there were, stopping past `limit`.
    int Settle(int limit) {
        win::MSG msg;
        int n = 0;
        while (n <= limit && win::PeekMessage(&msg, nullptr, 0, 0, win::PM_REMOVE)) {
            ++n;
            win::TranslateMessage(&msg);
            win::DispatchMessage(&msg);
        }
        return n;
    }
};

TEST_F(RandomControlsTest, BrokenMasksAndExtremeSizesPaintSafelyInBoundedWork) {
    std::mt19937 rng(20261209);
    auto pick = [&](std::initializer_list<int> values) {
        return *(values.begin() + rng() % values.size());
    };
    auto caption = [&] {
        std::string s(size_t(pick({0, 1, 7, 60})), ' ');
        for (char& c : s)
            c = char(pick({'&', '\t', '\n', ' ', 'W', int('A' + rng() % 26), 0xC0, 0xFF}));
        return s;
    };
    form->SetBounds(0, 0, 600, 400);
    auto* panel = Place<TsPanel>(form, Bounds(0, 0, 10, 10));
    auto* child = Place<TsPanel>(panel, Bounds(2, 2, 5, 5));
    auto* box = Place<TsGroupBox>(panel, Bounds(0, 0, 10, 10));  // over the panel's cache
    auto* check = Place<TsCheckBox>(box, Bounds(0, 0, 10, 10));
    auto* edit = Place<TsEdit>(form, Bounds(0, 0, 10, 10));
    auto* memo = Place<TsMemo>(form, Bounds(0, 0, 10, 10));
    auto* bitBtn = Place<TsBitBtn>(form, Bounds(0, 0, 10, 10));
    auto* drop = Place<TsSpeedButton>(form, Bounds(0, 0, 10, 10));
    auto* repeat = Place<TsTimerSpeedButton>(panel, Bounds(0, 0, 10, 10));
    auto* bar = Place<TsDragBar>(form, Bounds(0, 0, 10, 10));
    auto* status = Place<TsStatusBar>(form, Bounds(0, 0, 10, 10));
    for (int i = 0; i < 3; ++i)
        status->Panels()->Add()->SetWidth(40);
    auto* bevel = Place<TsBevel>(form, Bounds(0, 0, 10, 10));
    auto* gauge = Place<TsGauge>(form, Bounds(0, 0, 10, 10));
    auto* label = Place<TsLabel>(drop->Parent(), Bounds(0, 0, 10, 10));  // over the button
    auto* fx = Place<TsLabelFX>(form, Bounds(0, 0, 10, 10));
    auto* web = Place<TsWebLabel>(panel, Bounds(0, 0, 10, 10));
    const std::initializer_list<TControl*> all{panel,  child, box,    check, edit,   memo,
                                               bitBtn, drop,  repeat, bar,   status, bevel,
                                               gauge,  label, fx,     web};
    drop->SetButtonStyle(tbsDropDown);
    form->Show();
    Settle(100000);
    TBitmap print;
    print.SetPixelFormat(pf24bit);
    print.SetSize(64, 64);
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        for (TsMaskData& m : manager->Masks()) {
            if (rng() % 3) continue;
            m.WL = int16_t(pick({0, -5, 3, 30000}));
            m.WT = int16_t(pick({0, -1, 2, 9999}));
            m.WR = int16_t(pick({0, -32768, 1}));
            m.WB = int16_t(pick({0, 7, 32767}));
            m.ImageCount = int16_t(pick({0, 1, 3, -2, 32767}));
            m.MaskType = int16_t(pick({0, 1, -1, 5}));
            m.BorderWidth = int16_t(pick({0, -3, 2, 32767}));
            if (rng() % 4 == 0)
                m.R = TRect(pick({0, -40, 1 << 20}), pick({0, -1, 9}), pick({0, 5, 1 << 24}),
                            pick({-9, 3, INT_MAX / 2}));
        }
        for (TsGeneralData& s : manager->Skin().Sections)
            s.Transparency = pick({0, 50, 100, -7, 250});
        const std::string text = caption();
        for (TControl* c : all) {
            const bool wide = rng() % 2;
            const int big = pick({0, 1, 17, 4000});
            c->SetBounds(pick({-20, 0, 5}), pick({-20, 0, 5}), wide ? big : pick({0, 1, 3, 21}),
                         wide ? pick({0, 1, 3, 21}) : big);
            c->SetText(text);
        }
        const int extreme = pick({INT_MIN, -1, 0, 3, 30000, INT_MAX});
        check->SetMargin(extreme);
        check->SetTextIndent(pick({INT_MIN, -7, 0, INT_MAX}));
        for (TSpeedButton* b :
             {static_cast<TSpeedButton*>(drop), static_cast<TSpeedButton*>(repeat)}) {
            b->SetMargin(pick({INT_MIN, -1, 0, 4000, INT_MAX}));
            b->SetSpacing(pick({INT_MIN, -4, 0, 4000, INT_MAX}));
        }
        bitBtn->SetMargin(extreme);
        bitBtn->SetSpacing(pick({INT_MIN, 0, INT_MAX}));
        panel->SetBorderWidth(pick({0, 1, 3000, INT_MAX}));
        panel->SetBevelWidth(TBevelWidth(pick({1, 2, 255})));
        panel->SetBevelInner(rng() % 2 ? bvLowered : bvNone);
        status->SetBorderWidth(pick({0, 2, 30000, INT_MAX}));
        status->Panels()->Items(1)->SetWidth(pick({-1, 0, 30000, INT_MAX}));
        box->SetCaptionYOffset(pick({0, -30000, 10, 30000}));
        box->SetCaptionLayout(TsGroupBox::TsCaptionLayout(rng() % 3));
        bevel->SetShape(TBevelShape(rng() % 7));
        gauge->SetKind(TsGaugeKind(rng() % 5));
        gauge->SetProgress(pick({0, 1, 47, 100}));
        child->SetBounds(pick({-3, 2}), 2, pick({0, 9}), 5);
        manager->SetActive(true);
        EXPECT_LT(Settle(2000), 2000);  // no paint that keeps asking for another
        for (TControl* c : all) {
            if (auto* w = dynamic_cast<TWinControl*>(c))
                w->Perform(win::WM_PRINT, reinterpret_cast<uintptr_t>(print.Canvas()->Handle()), 0);
            else
                c->Perform(win::WM_PAINT, reinterpret_cast<uintptr_t>(print.Canvas()->Handle()), 0);
        }
        drop->Perform(CM_MOUSEENTER);
        drop->Perform(CM_MOUSELEAVE);
        if (round % 4 == 3) {
            manager->SetActive(false);
            EXPECT_LT(Settle(2000), 2000);
        }
    }
}

}  // namespace
}  // namespace skin

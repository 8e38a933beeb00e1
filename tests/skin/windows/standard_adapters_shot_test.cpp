// Buttons, check boxes, radio buttons, containers, a status bar, speed buttons, a grip and an
// up-down on a skinned form under the internal skin, adapted by the form's walk (the native
// radio buttons, grip and up-down directly). The picture is kept as
// tests/data/skin/standard_adapters.png for the eye (TESSARY_UPDATE_REFERENCE=1 writes it
// again); the probes check a disabled button against its enabled twin and the background.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/controls/standard_controls.h"
#include "platform/controls/up_down_control.h"
#include "platform/display/screenshot.h"
#include "platform/user/scroll_bar.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/windows/adapters/button_adapters.h"
#include "skin/windows/adapters/sizer_spin_adapters.h"
#include "skin/windows/walk/button_factories.h"
#include "skin/windows/walk/container_factories.h"
#include "skin/windows/walk/control_adapter.h"
#include "tests/skin/windows/provider_fixture.h"
#include "tests/support/temp_dir.h"
#include "vcl/controls/buttons.h"
#include "vcl/controls/ext_ctrls.h"
#include "vcl/controls/status_bar.h"
#include "vcl/controls/std_ctrls.h"
#include "vcl/graphics/canvas.h"

namespace skin::testing {
namespace {

using vcl::Bounds;
using BitmapPtr = std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter>;

// A 16 x 16 glyph: a blue square with a yellow centre (bottom-left pixel transparent).
BitmapPtr Glyph() {
    BitmapPtr g(NewBitmap24(16, 16));
    g->Canvas()->Brush()->SetColor(vcl::TColor(0xC04000));
    g->Canvas()->FillRect(vcl::Rect(0, 0, 16, 16));
    g->Canvas()->Brush()->SetColor(vcl::TColor(0x00E0FF));
    g->Canvas()->FillRect(vcl::Rect(5, 5, 11, 11));
    g->Canvas()->SetPixels(0, 15, vcl::TColor(0xFF00FF));
    return g;
}

using StandardAdaptersShotTest = ProviderTest;

TEST_F(StandardAdaptersShotTest, EveryKindInItsStates) {
    for (auto [group, list] : {std::pair{tgBitBtns, "TBitBtn"}, {tgCheckBoxes, "TCheckBox"},
                               {tgGroupBoxes, "TGroupBox"}, {tgPanels, "TPanel"},
                               {tgStatusBar, "TStatusBar"}, {tgSpeedButton, "TSpeedButton"}})
        manager->ThirdParty()->SetString(group, list);
    manager->UpdateThirdNames(false);
    RegisterButtonAdapters();
    RegisterContainerAdapters();
    vcl::TForm* f = MakeForm({.Border = vcl::bsNone, .Width = 520, .Height = 300, .Show = false});
    f->SetBounds(0, 0, 520, 300);
    BitmapPtr glyph = Glyph();

    // Push buttons: normal, default, hot, pressed, disabled.
    std::vector<vcl::TButton*> buttons;
    const char* names[] = {"Normal", "Default", "Hot", "Pressed", "Normal"};
    for (int i = 0; i < 5; ++i) {
        auto* b = Place<vcl::TButton>(f, Bounds(10 + 100 * i, 10, 92, 26));
        b->SetCaption(names[i]);
        buttons.push_back(b);
    }
    buttons[1]->SetDefault(true);
    buttons[4]->SetEnabled(false);
    auto* bit = Place<vcl::TBitBtn>(f, Bounds(10, 46, 110, 32));
    bit->SetCaption("Send");
    bit->SetGlyph(glyph.get());
    auto* bitOff = Place<vcl::TBitBtn>(f, Bounds(130, 46, 110, 32));
    bitOff->SetCaption("Stop");
    bitOff->SetGlyph(glyph.get());
    bitOff->SetEnabled(false);
    // Speed buttons: raised, flat, down.
    for (int i = 0; i < 3; ++i) {
        auto* s = Place<vcl::TSpeedButton>(f, Bounds(260 + 40 * i, 46, 32, 32));
        s->SetGlyph(glyph.get());
        s->SetFlat(i == 1);
        if (i == 2) s->SetGroupIndex(1), s->SetDown(true);
    }
    // Check boxes in three states; radio buttons of both radio styles.
    const vcl::TCheckBoxState states[] = {vcl::cbUnchecked, vcl::cbChecked, vcl::cbGrayed};
    vcl::TCheckBox* firstCheck = nullptr;
    for (int i = 0; i < 3; ++i) {
        auto* c = Place<vcl::TCheckBox>(f, Bounds(10 + 100 * i, 90, 95, 20));
        if (i == 0) firstCheck = c;
        c->SetCaption(i == 0 ? "Off" : i == 1 ? "On" : "Grey");
        c->SetAllowGrayed(true);
        c->SetState(states[i]);
    }
    std::vector<TacMainWnd*> natives;
    for (int i = 0; i < 2; ++i) {
        win::HWND r = win::CreateWindowExA(
            0, "Button", i ? "Radio 9" : "Radio 4",
            win::WS_CHILD | win::WS_VISIBLE | (i ? win::BS_AUTORADIOBUTTON : win::BS_RADIOBUTTON),
            310 + 100 * i, 90, 95, 20, f->Handle(), nullptr, nullptr, nullptr);
        win::SendMessageA(r, win::BM_SETCHECK, i, 0);
        natives.push_back(AttachAdapter<TacCheckBoxWnd>(r, nullptr, nullptr, ""));
    }
    // A group box and panels of four bevel pairs.
    auto* group = Place<vcl::TGroupBox>(f, Bounds(10, 120, 170, 110));
    group->SetCaption("Group");
    const std::pair<vcl::TBevelCut, vcl::TBevelCut> bevels[] = {
        {vcl::bvRaised, vcl::bvNone}, {vcl::bvLowered, vcl::bvNone}, {vcl::bvNone, vcl::bvNone},
        {vcl::bvRaised, vcl::bvLowered}};
    for (int i = 0; i < 4; ++i) {
        auto* p = Place<vcl::TPanel>(f, Bounds(190 + 80 * i, 126, 72, 50));
        p->SetBevelOuter(bevels[i].first);
        p->SetBevelInner(bevels[i].second);
        p->SetCaption("Panel");
    }
    auto* status = Place<vcl::TStatusBar>(f, Bounds(0, 276, 520, 24));
    status->SetAlign(vcl::alBottom);
    status->SetSimplePanel(true);
    status->SetSimpleText("Ready");
    win::HWND grip = win::CreateWindowExA(0, "ScrollBar", "",
                                          win::WS_CHILD | win::WS_VISIBLE | win::SBS_SIZEGRIP, 460,
                                          186, 20, 20, f->Handle(), nullptr, nullptr, nullptr);
    natives.push_back(AttachAdapter<TacSizerWnd>(grip, nullptr, nullptr, ""));
    win::HWND spin = win::CreateWindowExA(0, win::UPDOWN_CLASSA, "",
                                          win::WS_CHILD | win::WS_VISIBLE, 490, 186, 18, 40,
                                          f->Handle(), nullptr, nullptr, nullptr);
    natives.push_back(AttachAdapter<TacSpinWnd>(spin, nullptr, nullptr, "SPEEDBUTTON_SMALL"));

    f->Show();
    Pump();
    auto* walker = dynamic_cast<TacCtrlAdapter*>(provider->CtrlAdapter);
    ASSERT_NE(walker, nullptr);
    walker->AddAllItems(nullptr);
    EXPECT_EQ(walker->GraphCount(), 3);
    manager->SetActiveControl(buttons[2]->Handle());
    win::SendMessageA(buttons[3]->Handle(), win::BM_SETSTATE, 1, 0);
    // The focus on a check box: the default button shows its frame, no other button the focus.
    win::SetFocus(firstCheck->Handle());
    Pump();
    win::RedrawWindow(f->Handle(), nullptr, nullptr,
                      win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_ALLCHILDREN | win::RDW_UPDATENOW |
                          win::RDW_FRAME);
    Pump();

    const win::RECT area{0, 0, 520, 300};
    const display::Rgb shot = display::CaptureScreen(&area);
    ASSERT_EQ(shot.width, 520);
    testing_support::TempDir dir;
    EXPECT_TRUE(display::WritePng(shot, dir / "standard_adapters.png"));
    if (const char* u = std::getenv("TESSARY_UPDATE_REFERENCE"); u && *u == '1')
        display::WritePng(shot, testing_support::TestDataDir() + "skin/standard_adapters.png");

    // The disabled button is its enabled twin mixed with what lies behind it at 0.4: the
    // background is read just left of the button, where nothing covers the form.
    auto at = [&](int x, int y) {
        const unsigned char* p = shot.pixels.data() + (size_t(y) * 520 + size_t(x)) * 3;
        return std::array<int, 3>{p[0], p[1], p[2]};
    };
    const int y = 10 + 13;
    const auto back = at(405, y);
    int x = 0;
    while (x < 40 && at(10 + x, y) == back) ++x;  // the first pixel the section paints
    ASSERT_LT(x, 40);
    const auto on = at(10 + x, y), off = at(410 + x, y);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(off[size_t(c)], on[size_t(c)] * 0.4 + back[size_t(c)] * 0.6, 1.0) << c;

    for (TacMainWnd*& a : natives) FreeAdapter(a);
}

}  // namespace
}  // namespace skin::testing

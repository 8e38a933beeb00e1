// Random skins and sizes through the effects: glow pictures for any control and clip rectangle
// (empty ones and ones outside the control included), skinned dialog frames from 0 x 0 to
// 4000 x 3000 with and without extended borders, and the border window's region and hit zones.
// Nothing may fault (the sanitizer build watches), and the work stays bounded: the messages one
// dialog's life costs are counted, never timed.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/user/dialog_manager.h"
#include "platform/user/user.h"
#include "skin/core/data/internal_skin.h"
#include "skin/core/state/library_startup.h"
#include "skin/windows/dialogs/dialog_hook.h"
#include "skin/windows/dialogs/dialog_window.h"
#include "skin/windows/effects/border_form.h"
#include "skin/windows/effects/glow.h"
#include "tests/skin/windows/provider_fixture.h"

namespace skin::testing {
namespace {

using vcl::TRect;

long gMessages = 0;

win::INT_PTR CountingProc(win::HWND, win::UINT msg, win::WPARAM, win::LPARAM) {
    ++gMessages;
    return msg == win::WM_INITDIALOG;
}

class EffectsRandom : public ProviderTest {
protected:
    void SetUp() override {
        InitDialogHook();
        ProviderTest::SetUp();
        InitSkinLibrary();  // the built-in shadow pictures
        // Show and hide animations of huge dialogs only take time here.
        manager->AnimEffects()->DialogShow.Active = false;
        manager->AnimEffects()->DialogHide.Active = false;
    }
    void TearDown() override {
        ClearGlows();
        Pump();
        ProviderTest::TearDown();
        FinalizeSkinLibrary();
        ResetNeighbourServices();
    }
    // A synthetic skin with random frame measures and some of its masks left out.
    SynthSkin RandomSkin() {
        SynthSkin s;
        auto pick = [this](int hi) { return std::to_string(int(rng() % unsigned(hi + 1))); };
        s.Global["TITLEHEIGHT"] = pick(60);
        s.Global["BORDERWIDTH"] = pick(12);
        s.Global["BIRIGHT"] = pick(10);
        s.Global["BISPACE"] = pick(5);
        s.Global["BILEFT"] = pick(8);
        s.Global["BIVALIGN"] = pick(1);
        s.Global["BORDERMODE"] = pick(1);
        s.Global["CENTEROFFSET"] = pick(6);
        s.Global["BICONCLOSEGLOWMARGIN"] = pick(20);
        for (const char* mask :
             {"BORDERSMASK", "BICONCLOSE", "BICLOSEALONE", "SICONCLOSE", "BICONMAX", "GRIPIMAGE"})
            if (rng() % 3 == 0) s.Omit.insert(mask);
        return s;
    }
    // Any rectangle near the screen, sometimes empty or turned inside out.
    TRect RandomRect() {
        const int x = int(rng() % 900) - 100, y = int(rng() % 700) - 100;
        const int w = rng() % 5 == 0 ? -int(rng() % 20) : int(rng() % 300);
        const int h = rng() % 5 == 0 ? -int(rng() % 20) : int(rng() % 200);
        return {x, y, x + w, y + h};
    }
    win::HWND MakeDialog(win::DWORD style, win::DWORD exStyle, int width, int height) {
        win::DialogTemplate t;
        t.style = style | win::WS_VISIBLE;
        t.exStyle = exStyle;
        t.caption = rng() % 4 == 0 ? "" : std::string(size_t(rng() % 300), 'W');
        t.x = 10, t.y = 10, t.cx = 100, t.cy = 60;
        t.items = {
            {"Button", "OK", win::IDOK, win::BS_DEFPUSHBUTTON | win::WS_VISIBLE, 0, 20, 20, 75, 23},
            {"Edit", "text", 100, win::WS_VISIBLE | win::WS_BORDER, 0, 20, 50, 60, 14}};
        win::HWND d = win::CreateDialogIndirectParamA(nullptr, &t, form->Handle(), CountingProc, 0);
        if (d)
            win::SetWindowPos(d, nullptr, 0, 0, width, height, win::SWP_NOMOVE | win::SWP_NOZORDER);
        Pump();
        return d;
    }
    std::mt19937 rng{30};
};

TEST_F(EffectsRandom, GlowsForAnyControlAndClipRectangle) {
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        UseSynthetic(RandomSkin());
        std::vector<int> ids;
        for (int k = 0; k < 40; ++k) {
            const TRect control = RandomRect();
            // The clip: the control itself, a part of it, empty, or somewhere else entirely.
            TRect clip = control;
            switch (rng() % 4) {
                case 0:
                    break;
                case 1:
                    clip = {control.Left + 5, control.Top + 3, control.Right - 7, control.Bottom};
                    break;
                case 2:
                    clip = {control.Left, control.Top, control.Left, control.Top};
                    break;
                default:
                    clip = RandomRect();
                    break;
            }
            const int id =
                ShowGlow(control, clip, "GLOBALINFO", manager.get(),
                         rng() % 2 ? form->Handle() : nullptr, uint8_t(rng() % 256),
                         int(rng() % 30) - 5, rng() % 5 ? "BICONCLOSEGLOW" : "NOSUCHGLOW");
            if (id >= 0) ids.push_back(id);
            if (!ids.empty() && rng() % 3 == 0) HideGlow(ids[rng() % ids.size()]);
        }
        EXPECT_LE(GlowCount(), 40);
        HideGlow(-1);
        ClearGlows();
        EXPECT_EQ(GlowCount(), 0);
        for (int id : ids)
            HideGlow(id);  // stale ids do nothing
    }
}

TEST_F(EffectsRandom, DialogFramesAndBorderRegionsOfAnySize) {
    const win::DWORD caption = win::WS_POPUP | win::WS_CAPTION;
    const struct {
        win::DWORD style, exStyle;
    } shapes[] = {
        {caption | win::WS_SYSMENU | win::DS_MODALFRAME, 0},
        {caption | win::WS_SYSMENU | win::WS_THICKFRAME | win::WS_MAXIMIZEBOX | win::WS_MINIMIZEBOX,
         win::WS_EX_CONTEXTHELP},
        {caption | win::WS_SYSMENU, win::WS_EX_TOOLWINDOW},
        {caption | win::WS_THICKFRAME, win::WS_EX_TOOLWINDOW},
        {win::WS_POPUP | win::WS_BORDER, 0},
    };
    int bordered = 0;
    for (int round = 0; round < 14; ++round) {
        SCOPED_TRACE(round);
        if (round % 3 == 2)
            manager->SetSkinName(InternalSkinName());
        else
            UseSynthetic(RandomSkin());
        manager->SetExtendedBorders(rng() % 3 != 0);
        Pump();
        // The extremes first, then anything between.
        const int width = round == 0 ? 0 : round == 1 ? 4000 : int(rng() % 1601);
        const int height = round == 0 ? 0 : round == 1 ? 3000 : int(rng() % 1201);
        const auto& shape = shapes[rng() % std::size(shapes)];
        gMessages = 0;
        win::HWND d = MakeDialog(shape.style, shape.exStyle, width, height);
        ASSERT_NE(d, nullptr);
        TacProvider* record = FindDialogProvider(d);
        TacDialogWnd* a = record ? record->DialogWnd : nullptr;
        ASSERT_NE(a, nullptr);
        win::RECT wr{};
        win::GetWindowRect(d, &wr);
        for (int k = 0; k < 25; ++k) {
            const win::LPARAM at =
                win::MAKELPARAM(wr.left + int(rng() % 700) - 60, wr.top + int(rng() % 500) - 60);
            win::SendMessageA(d, win::WM_NCHITTEST, 0, at);
            if (auto* b = dynamic_cast<TacBorderForm*>(a->BorderForm()); b && b->Handle()) {
                vcl::TMessage m{};
                m.Msg = win::WM_NCHITTEST;
                m.LParam = at;
                b->HitTest(m);
                win::SendMessageA(b->Handle(), win::WM_NCHITTEST, 0, at);
                win::SendMessageA(b->Handle(), win::WM_MOUSEMOVE, 0, win::MAKELPARAM(k * 9, k * 4));
            }
        }
        if (rng() % 3 == 0) {
            win::ShowWindow(d, rng() % 2 ? win::SW_MAXIMIZE : win::SW_MINIMIZE);
            Pump();
        }
        if (auto* b = dynamic_cast<TacBorderForm*>(a->BorderForm())) {
            ++bordered;
            if (win::HRGN rgn = b->MakeRgn()) win::DeleteObject(rgn);
            b->UpdateExBordersPos(rng() % 2 == 0, uint8_t(rng() % 256));
        }
        win::SendMessageA(d, win::WM_NCACTIVATE, rng() % 2, 0);
        win::RedrawWindow(
            d, nullptr, nullptr,
            win::RDW_FRAME | win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_UPDATENOW);
        win::DestroyWindow(d);
        Pump();
        // A dialog's whole life, with every hit test above, is about a hundred messages; a paint
        // or placement feeding itself would run far past this.
        EXPECT_LT(gMessages, 1000);
    }
    EXPECT_GT(bordered, 0);
}

}  // namespace
}  // namespace skin::testing

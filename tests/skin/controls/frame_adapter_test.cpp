// The frame adapter: where it may sit, the colour it answers for its children, what it paints
// and that the frame gets its own procedure back.
#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "skin/controls/edits.h"
#include "skin/controls/frame_adapter.h"
#include "skin/controls/panels.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_commands.h"
#include "tests/skin/controls/skinned_form.h"
#include "vcl/controls/ext_ctrls.h"
#include "vcl/controls/menus.h"
#include "vcl/system/exceptions.h"

namespace skin {
namespace {

using namespace vcl;

class FrameAdapterTest : public skin_test::SkinnedFormTest {
protected:
    TFrame* MakeFrame() {
        auto* frame = Place<TFrame>(form, Bounds(10, 10, 120, 80));
        form->Show();
        Pump();
        return frame;
    }
    TsGeneralData& Writable(const char* name) {
        return manager->Skin().Sections[size_t(manager->GetSkinIndex(name))];
    }
};

TEST_F(FrameAdapterTest, AnAdapterOffAFrameIsRefusedWithItsMessage) {
    try {
        New<TsFrameAdapter>(form);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "TsFrameAdapter adapter must be placed on the handled frame");
    }
}

TEST_F(FrameAdapterTest, TheFrameGetsItsProcedureBackWhenTheAdapterGoes) {
    auto* frame = MakeFrame();
    const TWndMethod own = frame->WindowProc;
    auto* adapter = New<TsFrameAdapter>(frame);
    EXPECT_FALSE(frame->WindowProc == own);
    EXPECT_EQ(frame->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_ISSKINAWARE), 0), 1);
    adapter->Free();
    EXPECT_TRUE(frame->WindowProc == own);
    frame->Invalidate();
    Pump();
}

// The parent's share of the answered colour is the section's transparency, evenly.
TEST_F(FrameAdapterTest, TheBackgroundColourWeighsTheParentByTheTransparency) {
    auto* frame = MakeFrame();
    auto* adapter = New<TsFrameAdapter>(frame);
    adapter->SkinData()->SetSkinSection("BAR");
    adapter->SkinData()->UpdateIndexes();
    TsGeneralData& bar = Writable("BAR");
    const uint32_t c = bar.Color & 0xFFFFFF;
    const uint32_t p = AskControlBackColor(form) & 0xFFFFFF;
    ASSERT_NE(c, p);
    const auto channel = [](uint32_t rgb, int i) { return int((rgb >> (8 * i)) & 0xFF); };
    struct Case {
        int t;
        double parentShare;
    } cases[] = {{0, 0.0}, {1, 0.01}, {50, 0.5}, {99, 0.99}, {100, 1.0}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.t);
        bar.Transparency = k.t;
        const auto got = uint32_t(frame->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_GETBGCOLOR), 0));
        for (int i = 0; i < 3; ++i) {
            const double want = channel(c, i) + (channel(p, i) - channel(c, i)) * k.parentShare;
            EXPECT_NEAR(channel(got, i), want, 1.5) << "channel " << i;
        }
    }
    bar.Transparency = 0;
}

TEST_F(FrameAdapterTest, ABorderlessSectionFillsTheFrameInItsColour) {
    auto* frame = MakeFrame();
    auto* adapter = New<TsFrameAdapter>(frame);
    adapter->SkinData()->SetSkinSection("BAR");
    adapter->SkinData()->UpdateIndexes();
    ASSERT_EQ(GetMaxBorderWidth(adapter->SkinData()), 0);
    TBitmap print;
    print.SetPixelFormat(pf24bit);
    print.SetSize(frame->Width(), frame->Height());
    frame->Perform(win::WM_PRINT, reinterpret_cast<uintptr_t>(print.Canvas()->Handle()),
                   win::PRF_CLIENT);
    const uint32_t want = Writable("BAR").Color & 0xFFFFFF;
    for (TPoint at : {TPoint{0, 0}, TPoint{119, 79}, TPoint{60, 40}, TPoint{0, 79}})
        EXPECT_EQ(win::GetPixel(print.Canvas()->Handle(), at.X, at.Y) & 0xFFFFFF, want)
            << at.X << "," << at.Y;
}

TEST_F(FrameAdapterTest, ASeeThroughFrameLeavesItsChildWindowsPlacesAlone) {
    auto* frame = MakeFrame();
    auto* child = Place<TPanel>(frame, Bounds(20, 20, 40, 30));
    Pump();
    auto* adapter = New<TsFrameAdapter>(frame);
    adapter->SkinData()->SetSkinSection("BAR");
    TsGeneralData& bar = Writable("BAR");
    bar.Transparency = 50;
    adapter->SkinData()->UpdateIndexes();
    ASSERT_TRUE(adapter->SkinData()->NeedsParentBG());
    TBitmap print;
    print.SetPixelFormat(pf24bit);
    print.SetSize(frame->Width(), frame->Height());
    print.Canvas()->Brush()->SetColor(TColor(0x123456));
    print.Canvas()->FillRect(Rect(0, 0, frame->Width(), frame->Height()));
    frame->Perform(win::WM_PRINT, reinterpret_cast<uintptr_t>(print.Canvas()->Handle()),
                   win::PRF_CLIENT);
    const auto at = [&](int x, int y) { return win::GetPixel(print.Canvas()->Handle(), x, y); };
    EXPECT_EQ(at(child->Left() + 5, child->Top() + 5), 0x123456u);
    EXPECT_NE(at(5, 5), 0x123456u);
    EXPECT_NE(at(child->Left() - 1, child->Top() + 5), 0x123456u);
    bar.Transparency = 0;
}

TEST_F(FrameAdapterTest, PopupsGoToTheSkinnedMenusAndTheMouseShowsOverOneChildOnly) {
    auto* frame = MakeFrame();
    auto* popup = New<TPopupMenu>(frame);
    auto* a = Place<TsEdit>(frame, Bounds(4, 4, 60, 20));
    auto* b = Place<TsEdit>(frame, Bounds(4, 30, 60, 20));
    Pump();
    std::vector<std::pair<TMenu*, bool>> drawn;
    const auto saved = Neighbours().SetMenuOwnerDraw;
    Neighbours().SetMenuOwnerDraw = [&](TsSkinableMenusBase*, TMenu* menu, bool on) {
        drawn.emplace_back(menu, on);
    };
    auto* adapter = New<TsFrameAdapter>(frame);
    for (const bool skinned : {false, true}) {
        SCOPED_TRACE(skinned);
        drawn.clear();
        manager->SetSkinnedPopups(skinned);
        adapter->Loaded();
        frame->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_NEWSKIN),
                       reinterpret_cast<intptr_t>(manager.get()));
        using Calls = std::vector<std::pair<TMenu*, bool>>;
        const Calls want = skinned ? Calls{{popup, true}, {popup, true}} : Calls{};
        EXPECT_EQ(drawn, want);
    }
    Neighbours().SetMenuOwnerDraw = saved;

    a->SkinData()->MouseAbove = true;
    frame->Perform(CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(b));
    EXPECT_FALSE(a->SkinData()->MouseAbove);
    EXPECT_EQ(manager->ActiveControl(), frame->Handle());
}

// A child made in a skinned frame is given the skin and the form hears of it, as of the frame
// being shown; around a scroll the frame stops drawing while its parent is partly clipped.
TEST_F(FrameAdapterTest, ALaterChildTakesTheSkinAndAScrollWaitsForAClippedParent) {
    auto* panel = Place<TsPanel>(form, Bounds(10, 10, 160, 120));
    auto* frame = Place<TFrame>(panel, Bounds(10, 10, 120, 80));
    form->Show();
    Pump();
    auto log = std::make_shared<std::vector<std::string>>();
    const auto hear = [log](TControl* c, auto heard) {
        const TWndMethod own = c->WindowProc;
        c->WindowProc = TWndMethod::FromCallable([=](TMessage& m) {
            if (const char* what = heard(m)) log->push_back(what);
            own(m);
        });
    };
    hear(frame, [](const TMessage& m) {
        return m.Msg != win::WM_SETREDRAW ? nullptr : m.WParam ? "draw" : "no draw";
    });
    New<TsFrameAdapter>(frame);
    hear(form, [=](const TMessage& m) {
        return m.Msg == SM_ALPHACMD && SkinCommandCode(m.WParam) == SKC_CHILDCREATED &&
                       m.LParam == intptr_t(frame)
                   ? "form told"
                   : nullptr;
    });
    auto* child = New<TsPanel>(form);
    hear(child, [](const TMessage& m) {
        return m.Msg == SM_ALPHACMD && SkinCommandCode(m.WParam) == SKC_NEWSKIN ? "child told"
                                                                                : nullptr;
    });
    frame->Perform(CM_SHOWINGCHANGED);
    child->SetParent(frame);
    // Clipped before the scroll and after it: drawing comes back by what was switched off,
    // also when the clipping changed meanwhile.
    for (const auto& [before, after] :
         {std::pair{false, false}, {true, true}, {false, true}, {true, false}}) {
        panel->SkinData()->HalfVisible = before;
        frame->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_BEFORESCROLL), 0);
        panel->SkinData()->HalfVisible = after;
        frame->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_AFTERSCROLL), 0);
    }
    EXPECT_EQ(*log, (std::vector<std::string>{"form told", "child told", "form told", "no draw",
                                              "draw", "no draw", "draw"}));
}

}  // namespace
}  // namespace skin

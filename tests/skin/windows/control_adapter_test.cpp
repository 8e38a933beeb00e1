// The control walk on a form built in code: which controls get which adapter, what the
// application's veto and the tags change, how dead items go, and the provider making the walk.
#include "skin/windows/walk/control_adapter.h"

#include <gtest/gtest.h>

#include <string>

#include "skin/controls/frame_adapter.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_commands.h"
#include "skin/windows/adapters/button_adapters.h"
#include "skin/windows/adapters/speed_button_handler.h"
#include "skin/windows/adapters/window_adapter.h"
#include "skin/windows/provider/skin_provider.h"
#include "skin/windows/scroll/edit_wnd.h"
#include "skin/windows/scroll/grid_wnd.h"
#include "skin/windows/walk/button_factories.h"
#include "skin/windows/walk/date_time_adapter.h"
#include "tests/skin/windows/windows_fixture.h"
#include "vcl/controls/date_time_picker.h"
#include "vcl/controls/edits.h"
#include "vcl/controls/grids.h"
#include "vcl/controls/std_ctrls.h"

namespace skin::testing {
namespace {

using vcl::Bounds;

class ControlAdapterTest : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        provider.form = form;
        provider.manager = manager.get();
        RegisterButtonAdapters();
        SetList(tgEdits, "TEdit\nTMemo");
        SetList(tgGrids, "TStringGrid");
        form->Show();
        Pump();
    }
    void TearDown() override {
        delete walker;
        WindowsTest::TearDown();
    }
    void SetList(int group, const std::string& text) {
        manager->ThirdParty()->SetString(group, text);
        manager->UpdateThirdNames(false);
    }
    TacCtrlAdapter* Walk() {
        if (walker == nullptr) walker = new TacCtrlAdapter(&provider);
        walker->AddAllItems(nullptr);
        return walker;
    }
    template <class T>
    T* Add(intptr_t tag = 0) {
        T* c = Place<T>(form, Bounds(10, 10 + 30 * form->ControlCount(), 120, 24));
        c->SetTag(tag);
        c->HandleNeeded();
        return c;
    }
    // The adapter bound to the control's window now, or null.
    static TacMainWnd* AdapterOf(vcl::TWinControl* c) { return FindWindowAdapter(c->Handle()); }

    WalkProvider provider;
    TacCtrlAdapter* walker = nullptr;
};

TEST_F(ControlAdapterTest, ListedClassesGetTheAdapterOfTheirLowestList) {
    auto* edit = Add<vcl::TEdit>();
    auto* grid = Add<vcl::TStringGrid>();
    auto* helper = Add<vcl::TEdit>(-98);
    auto* button = Add<vcl::TButton>();  // listed by default
    auto* bitBtn = Add<vcl::TBitBtn>();  // a descendant, not listed by default
    auto* unlisted = Add<vcl::TDrawGrid>();
    Walk();
    EXPECT_NE(dynamic_cast<TacEditWnd*>(AdapterOf(edit)), nullptr);
    EXPECT_NE(dynamic_cast<TacGridWnd*>(AdapterOf(grid)), nullptr);
    EXPECT_NE(dynamic_cast<TacBtnWnd*>(AdapterOf(button)), nullptr);
    for (vcl::TWinControl* c : std::initializer_list<vcl::TWinControl*>{helper, bitBtn, unlisted})
        EXPECT_EQ(AdapterOf(c), nullptr) << c->ClassName();
    EXPECT_EQ(walker->Count(), 3);

    // A second walk adds nothing; a class in two lists keeps the lower index.
    Walk();
    EXPECT_EQ(walker->Count(), 3);
    SetList(tgBitBtns, "TBitBtn");
    SetList(tgCheckBoxes, "TCheckBox");
    auto* check = Add<vcl::TCheckBox>();
    Walk();
    EXPECT_NE(dynamic_cast<TacBitBtnWnd*>(AdapterOf(bitBtn)), nullptr);
    EXPECT_NE(dynamic_cast<TacCheckBoxWnd*>(AdapterOf(check)), nullptr);
    SetList(tgEdits, "TEdit\nTDrawGrid");
    SetList(tgGrids, "TDrawGrid");
    Walk();
    EXPECT_NE(dynamic_cast<TacEditWnd*>(AdapterOf(unlisted)), nullptr);
    EXPECT_EQ(dynamic_cast<TacGridWnd*>(AdapterOf(unlisted)), nullptr);
}

TEST_F(ControlAdapterTest, LabelsAndTheApplicationsVeto) {
    struct Case {
        intptr_t tag;
        bool thirdParty;
        bool skinned;
    };
    for (const Case& k : {Case{0, true, true}, Case{98, true, false}, Case{0, false, false}}) {
        auto* label = Place<vcl::TLabel>(form, Bounds(200, 10, 80, 16));
        label->SetTag(k.tag);
        label->SetTransparent(false);
        label->Font()->SetColor(vcl::TColor(0x123456));
        TacSkinningRules rules{srStdForms, srStdDialogs};
        if (k.thirdParty) rules << srThirdParty;
        manager->SetSkinningRules(rules);
        Walk();
        EXPECT_EQ(label->Transparent(), k.skinned) << k.tag;
        EXPECT_EQ(label->Font()->Color() != vcl::TColor(0x123456), k.skinned) << k.tag;
        label->Free();
    }

    manager->SetSkinningRules({srStdForms, srStdDialogs, srThirdParty});
    auto* refused = Add<vcl::TEdit>();
    auto* renamed = Add<vcl::TEdit>();
    walker->OnSkinItem = [&](vcl::TComponent* c, bool& can, std::string& section) {
        if (c == refused) can = false;
        if (c == renamed) section = "panel";
    };
    Walk();
    EXPECT_EQ(AdapterOf(refused), nullptr);
    ASSERT_NE(AdapterOf(renamed), nullptr);
    EXPECT_EQ(AdapterOf(renamed)->SkinData->SkinSection(), "PANEL");
}

TEST_F(ControlAdapterTest, DeadItemsGoAndComeBackWithTheirControl) {
    auto* a = Add<vcl::TEdit>();
    auto* b = Add<vcl::TEdit>();
    auto* c = Add<vcl::TEdit>();
    Walk();
    ASSERT_EQ(walker->Count(), 3);
    a->Free();  // two neighbours die while adapted
    b->Free();
    Pump();
    walker->RemoveDeadItems();
    ASSERT_EQ(walker->Count(), 1);
    EXPECT_EQ(walker->GetItem(0)->Ctrl, c);
    EXPECT_EQ(walker->GetItem(1), nullptr);
    walker->RemoveItem(-1);  // out of range: nothing happens
    walker->RemoveItem(5);

    // The window comes back under the same control: a new adapter on the next walk.
    c->RecreateWnd();
    Pump();
    Walk();
    EXPECT_NE(AdapterOf(c), nullptr);
    EXPECT_EQ(walker->Count(), 1);

    // The walker goes while its windows live: they keep working without it.
    delete walker;
    walker = nullptr;
    c->SetText("after");
    Pump();
    EXPECT_EQ(c->Text(), "after");
}

TEST_F(ControlAdapterTest, ATimePickersUpDownIsSkinnedWithIt) {
    SetList(tgEdits, "TEdit\nTDateTimePicker");
    auto* picker = Add<vcl::TDateTimePicker>();
    Walk();
    auto* a = dynamic_cast<TacDateTimeWnd*>(AdapterOf(picker));
    ASSERT_NE(a, nullptr);
    const win::HWND spin = win::GetWindow(picker->Handle(), win::GW_CHILD);
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(FindWindowAdapter(spin), a->Spin());
    EXPECT_NE(SendSkinCommand(spin, SKC_ISSKINAWARE, 0), 0);
    // Both go with the picker.
    picker->Free();
    Pump();
    walker->RemoveDeadItems();
    EXPECT_EQ(walker->Count(), 0);
}

TEST_F(ControlAdapterTest, TheFormProviderWalksItsFormOnce) {
    auto* grid = Add<vcl::TStringGrid>();
    bool asked = false;
    auto* p = vcl::New<TsSkinProvider>(form);
    p->OnSkinItem = [&](vcl::TComponent* c, bool&, std::string&) { asked |= c == grid; };
    p->CreateCtrlAdapter();
    ASSERT_NE(p->CtrlAdapter, nullptr);
    EXPECT_TRUE(asked);
    EXPECT_NE(dynamic_cast<TacGridWnd*>(AdapterOf(grid)), nullptr);
    p->Free();
    Pump();
    EXPECT_EQ(AdapterOf(grid), nullptr);
}

TEST_F(ControlAdapterTest, SpeedButtonsGetHandlersByFlatness) {
    SetList(tgSpeedButton, "TSpeedButton");
    auto speed = [&](bool flat, intptr_t tag = 0) {
        auto* b = Place<vcl::TSpeedButton>(form, Bounds(150, 10 + 30 * form->ControlCount(), 30, 24));
        b->SetFlat(flat);
        b->SetTag(tag);
        return b;
    };
    auto* raised = speed(false);
    auto* flat = speed(true);
    auto* helper = speed(false, -98);
    auto* refused = speed(false);
    walker = new TacCtrlAdapter(&provider);
    walker->OnSkinItem = [&](vcl::TComponent* c, bool& can, std::string& section) {
        can = c != refused;
        section = "EDIT";  // not used for speed buttons
    };
    Walk();
    ASSERT_EQ(walker->GraphCount(), 2);
    for (auto [b, section] : {std::pair{raised, "SPEEDBUTTON"}, {flat, "SPEEDBUTTON_SMALL"}}) {
        TacGraphItem* item = walker->GetGraphItem(b == raised ? 0 : 1);
        EXPECT_EQ(item->Ctrl, b);
        EXPECT_EQ(item->OwnerAdapter, walker);
        EXPECT_EQ(item->SkinData->SkinSection(), section);
        EXPECT_EQ(SendSkinCommandToControl(b, SKC_ISSKINAWARE, 0), 1);
    }
    for (vcl::TControl* c : {static_cast<vcl::TControl*>(helper), static_cast<vcl::TControl*>(refused)})
        EXPECT_EQ(SendSkinCommandToControl(c, SKC_ISSKINAWARE, 0), 0);
    Walk();
    EXPECT_EQ(walker->GraphCount(), 2);

    // A button freed while handled goes at the next walk; an unlisted class is never met.
    flat->Free();
    Walk();
    EXPECT_EQ(walker->GraphCount(), 1);
    SetList(tgSpeedButton, " ");
    delete walker;
    walker = new TacCtrlAdapter(&provider);
    Walk();
    EXPECT_EQ(walker->GraphCount(), 0);

    // The walker goes while handled buttons live (one of them still under the pass-through
    // its first walker left): they keep working, then free.
    SetList(tgSpeedButton, "TSpeedButton");
    Walk();
    ASSERT_EQ(walker->GraphCount(), 2);  // no veto on this walker
    delete walker;
    walker = nullptr;
    vcl::TMessage paint{win::WM_PAINT, 0, 0, 0};
    raised->WindowProc(paint);
    raised->Free();
    Pump();
}

TEST_F(ControlAdapterTest, FramesPaintThroughAFrameAdapterAsGroupBoxes) {
    auto frameAdapter = [](vcl::TWinControl* f) -> TsFrameAdapter* {
        TsFrameAdapter* found = nullptr;
        int count = 0;
        for (int i = 0; i < f->ComponentCount(); ++i)
            if (auto* a = dynamic_cast<TsFrameAdapter*>(f->Components(i))) found = a, ++count;
        EXPECT_LE(count, 1);
        return found;
    };
    struct Case {
        bool withEvent, refuse;
    };
    for (const Case& k : {Case{false, false}, Case{true, false}, Case{true, true}}) {
        auto* frame = Add<vcl::TFrame>();
        auto* inner = vcl::New<vcl::TEdit>(frame);
        inner->SetParent(frame);
        inner->SetBoundsRect(Bounds(4, 4, 60, 20));
        inner->HandleNeeded();
        delete walker;
        walker = new TacCtrlAdapter(&provider);
        if (k.withEvent)
            walker->OnSkinItem = [&](vcl::TComponent* c, bool& can, std::string& section) {
                if (c == frame) can = !k.refuse, section = "PANEL";
            };
        Walk();
        Walk();
        TsFrameAdapter* a = frameAdapter(frame);
        EXPECT_EQ(a == nullptr, k.refuse) << k.withEvent;
        if (a) {
            EXPECT_EQ(a->SkinData()->SkinSection(), "GROUPBOX");
        }
        // The frame's children are walked either way.
        EXPECT_NE(AdapterOf(inner), nullptr);
        frame->Free();
        Pump();
    }
}

}  // namespace
}  // namespace skin::testing

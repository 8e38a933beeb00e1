#include "skin/core/state/hooked_forms.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/os/clock.h"
#include "platform/user/user.h"
#include "skin/core/state/engine_state.h"
#include "skin/core/state/skin_manager.h"
#include "tests/skin/core/png_reference.h"
#include "tests/skin/core/skin_reading.h"
#include "tests/skin/core/skin_recorders.h"

namespace skin {
namespace {

using skin_test::Log;
using skin_test::TRecordingForm;

// The entries of `log` that begin with `prefix`, without the activation repaints (command 18).
Log Only(const Log& log, const std::string& prefix) {
    Log out;
    for (const std::string& e : skin_test::Only(log, prefix)) {
        if (!e.ends_with(":18")) out.push_back(e);
    }
    return out;
}
size_t Count(const Log& log, const std::string& entry) {
    return size_t(std::count(log.begin(), log.end(), entry));
}

// A graphic control that fails on hearing of a new skin.
class TThrowingControl : public vcl::TGraphicControl {
public:
    VCL_CLASS(TThrowingControl, vcl::TGraphicControl)
    explicit TThrowingControl(vcl::TWinControl* parent) : vcl::TGraphicControl(parent) {
        SetParent(parent);
    }
    void WndProc(vcl::TMessage& m) override {
        if (m.Msg == SM_ALPHACMD && SkinCommandCode(m.WParam) == SKC_NEWSKIN) {
            throw vcl::Exception("receiver failed");
        }
        vcl::TGraphicControl::WndProc(m);
    }
};

class HookedFormsTest : public ::testing::Test {
protected:
    void SetUp() override {
        win::ResetWindowing();
        neighbours_ = std::make_unique<skin_test::RecordingNeighbours>(&log);
        Neighbours().AnimFormTransition = [this](vcl::TCustomForm* f, int time, uint8_t, int) {
            log.push_back(f->Name() + ":fade" + std::to_string(time));
        };
        manager.reset(new TsSkinManager(nullptr));
        skin_test::TestSkin s;
        s.Options = "[GLOBALINFO]\nMASTERBITMAP=M.BMP\n[EDIT]\nCOLOR=0xFFFFFF\n";
        s.Add("M.BMP", skin_test::Bmp24(4, 4, skin_test::Solid(0x808080)));
        TsStoredSkin* item = manager->InternalSkins()->Add();
        item->Name = "Mini";
        const std::string blob = s.Packed();
        item->Data.reset(new vcl::TMemoryStream);
        item->Data->WriteBuffer(blob.data(), int64_t(blob.size()));
    }
    void TearDown() override {
        manager.reset();
        neighbours_.reset();
        vcl::DoneApplication();
        win::ResetWindowing();
        HookedForms.clear();
    }
    TRecordingForm* Form(const std::string& name, bool provider, bool show = true) {
        auto* f =
            new TRecordingForm(vcl::Application(), name, &log, provider ? manager.get() : nullptr);
        f->SetBounds(10, 10, 100, 80);
        if (show) f->Show();
        return f;
    }

    os::FakeClock clock_;
    os::ScopedClock scoped_{clock_};
    Log log;
    std::unique_ptr<skin_test::RecordingNeighbours> neighbours_;
    std::unique_ptr<TsSkinManager, vcl::FreeDeleter> manager;
};

TEST(HookedFormRegistry, RemovalTakesEveryOccurrenceAndLeavesNoHole) {
    vcl::TControl *a = reinterpret_cast<vcl::TControl*>(0x10),
                  *b = reinterpret_cast<vcl::TControl*>(0x20),
                  *c = reinterpret_cast<vcl::TControl*>(0x30);
    HookedForms.clear();
    EXPECT_EQ(AddHookedControl(a), 1);
    AddHookedControl(b);
    EXPECT_EQ(AddHookedControl(c), 3);
    RemoveHookedControl(c);  // the last: one shorter
    EXPECT_EQ(HookedForms, (std::vector<vcl::TControl*>{a, b}));
    AddHookedControl(c);
    RemoveHookedControl(a);  // the first of three: the third moves into its place
    EXPECT_EQ(HookedForms, (std::vector<vcl::TControl*>{c, b}));
    AddHookedControl(c);
    RemoveHookedControl(c);  // registered twice: both go
    EXPECT_EQ(HookedForms, (std::vector<vcl::TControl*>{b}));
    RemoveHookedControl(a);  // not there: nothing
    EXPECT_EQ(HookedForms.size(), 1u);
    HookedForms.clear();
}

TEST_F(HookedFormsTest, EachFormHearsABroadcastOnceAndFrozenFormsAreThawed) {
    Form("Plain", false);
    Form("Skinned", true);
    manager->SetSkinName("Mini");
    // The provider's form is frozen before the new skin and thawed after the repaint.
    EXPECT_EQ(Only(log, "Plain:"), Log({"Plain:1", "Plain:16", "Plain:3"}));
    EXPECT_EQ(Only(log, "Skinned:"),
              Log({"Skinned:redraw0", "Skinned:1", "Skinned:16", "Skinned:3", "Skinned:fade100",
                   "Skinned:redraw1", "Skinned:cuts", "Skinned:region"}));
    EXPECT_TRUE(FrozenForms().empty());
    EXPECT_FALSE(AnimationRunning);
    EXPECT_FALSE(ProviderOf(HookedForms[0])->FormChanging);
}

TEST_F(HookedFormsTest, FormsOfAnotherManagerOrHiddenOnesAreNotFrozen) {
    auto* hidden = Form("Hidden", true, false);
    std::unique_ptr<TsSkinManager, vcl::FreeDeleter> other(new TsSkinManager(nullptr));
    auto* foreign = new TRecordingForm(vcl::Application(), "Foreign", &log, other.get());
    foreign->Show();
    manager->SetSkinName("Mini");
    EXPECT_TRUE(Only(log, "Hidden:redraw").empty());
    EXPECT_TRUE(Only(log, "Foreign:redraw").empty());
    EXPECT_EQ(Count(log, "Foreign:1"), 1u);  // the broadcast still reaches both
    EXPECT_EQ(Count(log, "Hidden:1"), 1u);
    foreign->Free();
    hidden->Free();
}

TEST_F(HookedFormsTest, AMinimisedMainWindowFreezesNothingButWhatWasFrozenIsThawed) {
    auto* main = Form("Main", true);
    ASSERT_EQ(vcl::Application()->MainForm(), nullptr);  // made without CreateForm
    vcl::TForm* mainRef = nullptr;
    vcl::Application()->CreateForm(mainRef);
    mainRef->Show();
    win::ShowWindow(mainRef->Handle(), win::SW_MINIMIZE);
    manager->SetSkinName("Mini");
    EXPECT_TRUE(Only(log, "Main:redraw").empty());
    EXPECT_EQ(Count(log, "Main:1"), 1u);

    win::ShowWindow(mainRef->Handle(), win::SW_RESTORE);
    log.clear();
    FreezeFormsRedraw(manager.get());
    win::ShowWindow(mainRef->Handle(), win::SW_MINIMIZE);
    ResumeFormsRedraw(manager.get(), false);
    EXPECT_EQ(Only(log, "Main:"), Log({"Main:redraw0", "Main:redraw1"}));
    EXPECT_FALSE(ProviderOf(main)->FormChanging);
}

TEST_F(HookedFormsTest, AReceiverThatFreesAFormDuringABroadcast) {
    auto* first = Form("First", true);
    auto* second = Form("Second", true);
    auto* third = Form("Third", true);
    first->onCommand = [&](uint16_t code) {
        if (code == SKC_NEWSKIN && second) {
            second->Free();
            second = nullptr;
        }
    };
    manager->SetSkinName("Mini");
    EXPECT_EQ(Count(log, "Second:1"), 0u);
    EXPECT_EQ(Count(log, "Third:1"), 1u);
    EXPECT_TRUE(FrozenForms().empty());
    EXPECT_EQ(HookedForms.size(), 2u);
    (void)third;
}

TEST_F(HookedFormsTest, AReceiverThatFreesAnEarlierFormMakesNoOtherMissTheWalk) {
    // The registry fills a removed entry with its last one; each walk still reaches every form.
    auto* first = Form("First", true);
    auto* second = Form("Second", true);
    auto* third = Form("Third", true);
    second->onCommand = [&](uint16_t code) {
        if (code == SKC_NEWSKIN && first) {
            first->Free();
            first = nullptr;
        }
    };
    manager->SetSkinName("Mini");
    EXPECT_EQ(Count(log, "Third:1"), 1u);
    EXPECT_EQ(Count(log, "Third:3"), 1u);

    Form("Last", true);  // the registry: Third, Second, Last
    log.clear();
    second->onRedraw = [&](uintptr_t on) {
        if (on == 0 && third) {
            third->Free();
            third = nullptr;
        }
    };
    FreezeFormsRedraw(manager.get());
    EXPECT_EQ(FrozenForms().size(), 2u);
    ResumeFormsRedraw(manager.get(), false);
    EXPECT_EQ(Only(log, "Last:redraw"), Log({"Last:redraw0", "Last:redraw1"}));
}

// Counts the manager's after-change events.
struct TChangeCounter : vcl::TObject {
    void Changed(vcl::TObject*) { ++count; }
    int count = 0;
};

TEST_F(HookedFormsTest, AReceiverThatThrowsLeavesNoFormFrozen) {
    auto* form = Form("Skinned", true);
    new TThrowingControl(form);
    TChangeCounter changes;
    manager->OnAfterChange = vcl::TNotifyEvent(&changes, &TChangeCounter::Changed);
    manager->AnimEffects()->SkinChanging.Active = false;
    EXPECT_THROW(manager->SetSkinName("Mini"), vcl::Exception);  // loads; the broadcast fails
    EXPECT_EQ(SkinChanging, 0);
    EXPECT_TRUE(FrozenForms().empty());
    // The change is completed before the failure goes on.
    EXPECT_TRUE(manager->SkinData().Active);
    EXPECT_TRUE(manager->HookInstalled());
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(Count(log, "Skinned:3"), 1u);
    log.clear();
    manager->AnimEffects()->SkinChanging.Active = true;
    EXPECT_THROW(manager->SendNewSkin(true), vcl::Exception);
    EXPECT_TRUE(FrozenForms().empty());
    EXPECT_FALSE(AnimationRunning);
    EXPECT_FALSE(BroadcastingNewSkin);
    EXPECT_EQ(Only(log, "Skinned:redraw"), Log({"Skinned:redraw0", "Skinned:redraw1"}));
    EXPECT_FALSE(ProviderOf(form)->FormChanging);
}

}  // namespace
}  // namespace skin

// The creation hook's form branch: forms the application made without a provider get one from
// the library while the skin is in force, and give their frame back with the skin.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/user/user.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_commands.h"
#include "skin/windows/dialogs/dialog_hook.h"
#include "skin/windows/provider/skin_provider.h"
#include "tests/skin/windows/windows_fixture.h"

namespace skin::testing {
namespace {

class DialogHook : public WindowsTest {
protected:
    void SetUp() override {
        // The manager installs the hook when its skin comes into force, so the slots go first.
        InitDialogHook();
        WindowsTest::SetUp();
    }
    void TearDown() override {
        WindowsTest::TearDown();
        ResetNeighbourServices();
    }
    // A second form of the application, shown and activated.
    vcl::TForm* Second(intptr_t tag = 0) {
        auto* f = vcl::New<vcl::TForm>(vcl::Application());
        f->SetBorderStyle(vcl::bsSizeable);
        f->SetBounds(100, 80, 300, 200);
        f->SetTag(tag);
        f->Show();
        Pump();
        return f;
    }
    // The hook's records of form `f`.
    static std::vector<TacProvider*> RecordsOf(vcl::TForm* f) {
        std::vector<TacProvider*> found;
        for (TacProvider* p : HookedProviders) {
            if (p && p->SkinProvider && p->SkinProvider->Form() == f) found.push_back(p);
        }
        return found;
    }
    // True while the window's frame is the skin's: its non-client area is drawn by a provider.
    static bool Aware(vcl::TForm* f) { return SendSkinQuery(f->Handle(), SKC_ISSKINAWARE); }
};

TEST_F(DialogHook, SecondFormWearsTheSkinUntilItIsRemoved) {
    vcl::TForm* f = Second();
    ASSERT_TRUE(Aware(f));
    ASSERT_EQ(RecordsOf(f).size(), 1u);
    TsSkinProvider* provider = RecordsOf(f)[0]->SkinProvider;
    EXPECT_TRUE(provider->Skinned());
    EXPECT_FALSE(provider->MadeByLibrary) << "the frame was never painted";

    // Activated again: still one record, one provider.
    form->Show();
    Pump();
    win::SetActiveWindow(f->Handle());
    Pump();
    EXPECT_EQ(RecordsOf(f).size(), 1u);

    // Removing the skin frees the records; the provider, the form's own, gives the frame back.
    manager->SetActive(false);
    Pump();
    EXPECT_TRUE(HookedProviders.empty());
    EXPECT_FALSE(provider->Skinned());
    // Back in force: the form keeps its provider, no second one is made.
    manager->SetActive(true);
    win::SetActiveWindow(f->Handle());
    Pump();
    EXPECT_TRUE(provider->Skinned());
    EXPECT_TRUE(RecordsOf(f).empty());
    f->Free();
}

TEST_F(DialogHook, FormsThatAreLeftAlone) {
    struct Case {
        const char* what;
        intptr_t tag;
        TacSkinningRules rules;
    } cases[] = {
        {"auxiliary tag", -98, {srStdForms, srStdDialogs}},
        {"tag -1 covers it too", -1, {srStdForms}},
        {"standard forms not admitted", 0, {srStdDialogs, srThirdParty}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        manager->SetSkinningRules(c.rules);
        vcl::TForm* f = Second(c.tag);
        EXPECT_FALSE(Aware(f));
        EXPECT_TRUE(RecordsOf(f).empty());
        f->Free();
        Pump();
    }
}

TEST_F(DialogHook, FreedFormClearsItsSlot) {
    vcl::TForm* f = Second();
    ASSERT_EQ(RecordsOf(f).size(), 1u);
    const size_t slots = HookedProviders.size();
    f->Free();
    Pump();
    EXPECT_EQ(HookedProviders.size(), slots) << "slots are never compacted";
    EXPECT_TRUE(std::count(HookedProviders.begin(), HookedProviders.end(), nullptr) >= 1);
    EXPECT_TRUE(Neighbours().HookedWindows().empty());
}

}  // namespace
}  // namespace skin::testing

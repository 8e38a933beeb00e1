// The list chooser on the headless screen: both modes' layout, what it returns, and what it
// refuses, driven by the operator's mouse and keys.
#include "lists/form_load_save.h"

#include <gtest/gtest.h>

#include "gateway/program_images.h"
#include "platform/os/cp_literal.h"
#include "platform/user/input.h"
#include "platform/user/styles.h"
#include "tests/lists/list_forms_rig.h"

namespace {

using lists::TformLoadSave;

class Chooser : public lists_test::ListFormsRig, public ::testing::Test {
protected:
    Chooser() {
        vcl::Application()->CreateForm(form);
        rig.giveUp = [this] { form->SetModalResult(vcl::mrCancel); };
    }

    // Runs the chooser with the script set up before.
    bool Run(bool load, std::string& name) { return form->Execute(load, names, name); }
    void ClickItem(int index) {
        const vcl::TRect r = form->List->ItemRect(index);
        const vcl::TPoint p = form->List->ClientToScreen({r.Left + 5, (r.Top + r.Bottom) / 2});
        rig.screen.Click(p.X, p.Y);
    }
    bool Shown() { return form->Visible(); }
    int Bottom(vcl::TControl* c) { return c->Top() + c->Height(); }

    std::vector<std::string> names{"Alpha", "Клиенты"_cp, "Beta"};
    TformLoadSave* form = nullptr;
};

TEST_F(Chooser, SaveModeOffersTheCurrentNameAndRefusesBlanks) {
    std::string name = "КЛИЕНТЫ"_cp;
    rig.Then(
        "the chooser", [&] { return Shown(); },
        [&] {
            EXPECT_EQ(form->Caption(), "Сохранить список"_cp);
            EXPECT_TRUE(form->edName->Visible());
            EXPECT_TRUE(form->labName->Visible());
            EXPECT_EQ(form->edName->Text(), "КЛИЕНТЫ"_cp);
            EXPECT_EQ(form->List->Count(), 3);
            EXPECT_EQ(form->List->ItemIndex(), 1);  // ignoring case, Cyrillic too
            EXPECT_EQ(form->btnOK->Caption(), "Сохранить"_cp);
            EXPECT_EQ(form->btnOK->ImageIndex(), gateway::piSave);
            EXPECT_EQ(form->btnOK->Images(), rig.main->AlphaImageList());
            // Buttons: below the name field's bottom rounded down to 8, plus 16.
            EXPECT_EQ(form->btnOK->Top(), Bottom(form->edName) / 8 * 8 + 16);
            EXPECT_EQ(form->btnCancel->Top(), form->btnOK->Top());
            EXPECT_EQ(form->ClientHeight(), Bottom(form->btnOK) + 8);
            form->edName->SetFocus();
            form->edName->SelectAll();
            rig.Type("   ");
            rig.Click(form->btnOK);
        });
    rig.Then(
        "the blank refused", [&] { return !rig.boxes.empty(); },
        [&] {
            EXPECT_EQ(rig.boxes[0].caption, "Внимание"_cp);
            EXPECT_EQ(rig.boxes[0].text, "Укажите имя."_cp);
            EXPECT_TRUE(Shown());
            EXPECT_FALSE(form->Accepted);
            form->edName->SetFocus();
            rig.Type("New list  ");
            rig.Click(form->btnOK);
        });
    EXPECT_TRUE(Run(false, name));
    EXPECT_TRUE(rig.ScriptDone());
    EXPECT_EQ(name, "New list");  // trimmed
    EXPECT_EQ(rig.boxes.size(), 1u);
}

// Save starts in the name field and load in the list; Enter anywhere there is the default OK.
TEST_F(Chooser, EnterSavesANameTypedAtOnceAndLoadsTheSelectedEntry) {
    std::string name;
    rig.Then(
        "save", [&] { return Shown(); },
        [&] {
            rig.Type("Fresh");
            rig.Key(win::VK_RETURN, '\r');
        });
    EXPECT_TRUE(Run(false, name));
    EXPECT_EQ(name, "Fresh");

    name = "beta";
    rig.Then(
        "load", [&] { return Shown(); }, [&] { rig.Key(win::VK_RETURN, '\r'); });
    EXPECT_TRUE(Run(true, name));
    EXPECT_EQ(name, "Beta");
    EXPECT_TRUE(rig.ScriptDone());
    EXPECT_TRUE(rig.boxes.empty());
}

TEST_F(Chooser, AClickedEntryFillsTheNameAndEscapeCancels) {
    std::string name = "nothing like it";
    rig.Then(
        "the chooser", [&] { return Shown(); },
        [&] {
            EXPECT_EQ(form->List->ItemIndex(), -1);
            ClickItem(2);
        });
    rig.Then(
        "the entry in the field", [&] { return form->edName->Text() == "Beta"; },
        [&] { rig.Key(win::VK_ESCAPE, 27); });
    EXPECT_FALSE(Run(false, name));
    EXPECT_EQ(name, "nothing like it");
    EXPECT_FALSE(form->Accepted);

    rig.Then(
        "the chooser again", [&] { return Shown(); },
        [&] {
            EXPECT_EQ(form->edName->Text(), "nothing like it");
            rig.Click(form->btnCancel);
        });
    EXPECT_FALSE(Run(false, name));
    EXPECT_TRUE(rig.ScriptDone());
}

TEST_F(Chooser, LoadModeReturnsTheSelectedEntryNotStaleFieldText) {
    std::string name = "Stale";
    rig.Then(
        "save", [&] { return Shown(); }, [&] { rig.Click(form->btnOK); });
    ASSERT_TRUE(Run(false, name));  // leaves "Stale" in the hidden field

    name = "beta";
    rig.Then(
        "load", [&] { return Shown(); },
        [&] {
            EXPECT_EQ(form->Caption(), "Загрузить список"_cp);
            EXPECT_FALSE(form->edName->Visible());
            EXPECT_FALSE(form->labName->Visible());
            EXPECT_EQ(form->btnOK->Caption(), "Загрузить"_cp);
            EXPECT_EQ(form->btnOK->ImageIndex(), gateway::piLoad);
            EXPECT_EQ(form->btnOK->Top(), Bottom(form->List) + 8);
            EXPECT_EQ(form->ClientHeight(), Bottom(form->btnOK) + 8);
            EXPECT_EQ(form->edName->Text(), "Stale");
            EXPECT_EQ(form->List->ItemIndex(), 2);
            rig.Click(form->btnOK);
        });
    ASSERT_TRUE(Run(true, name));
    EXPECT_EQ(name, "Beta");  // the entry as stored, not the name asked for or the field
    EXPECT_TRUE(rig.boxes.empty());
}

TEST_F(Chooser, LoadModeNeedsAnEntryAndADoubleClickChoosesOne) {
    std::string name = "none of them";
    rig.Then(
        "load", [&] { return Shown(); }, [&] { rig.Click(form->btnOK); });
    rig.Then(
        "nothing selected", [&] { return !rig.boxes.empty(); },
        [&] {
            EXPECT_EQ(rig.boxes[0].text, "Укажите имя."_cp);
            EXPECT_TRUE(Shown());
            const vcl::TRect r = form->List->ItemRect(0);
            DoubleClick(form->List, r.Left + 5, (r.Top + r.Bottom) / 2);
        });

    ASSERT_TRUE(Run(true, name));
    EXPECT_EQ(name, "Alpha");
    EXPECT_TRUE(rig.ScriptDone());

    names.clear();  // no lists stored: nothing can be loaded
    rig.Then(
        "empty", [&] { return Shown(); }, [&] { rig.Click(form->btnOK); });
    rig.Then(
        "refused", [&] { return rig.boxes.size() == 2; }, [&] { rig.Key(win::VK_ESCAPE, 27); });
    EXPECT_FALSE(Run(true, name));
    EXPECT_EQ(name, "Alpha");
}

}  // namespace

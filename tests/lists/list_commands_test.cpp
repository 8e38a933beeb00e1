// The main window's commands that open the list chooser, the list manager, the about box and
// the guide, through its own buttons and menus on the headless screen.
#include <gtest/gtest.h>

#include "lists/form_about.h"
#include "lists/form_list.h"
#include "lists/form_load_save.h"
#include "main_window_rig.h"
#include "platform/os/cp_literal.h"
#include "platform/user/styles.h"
#include "platform/user/user.h"

namespace {

using lists_test::MainWindowRig;

// The form of class T the application made.
template <typename T>
T* Made() {
    for (int i = 0; i < vcl::Screen()->FormCount(); ++i)
        if (auto* f = dynamic_cast<T*>(vcl::Screen()->Forms(i))) return f;
    return nullptr;
}

template <typename T>
bool Up() {
    T* f = Made<T>();
    return f && f->Visible() && f->Active();
}

// A rig whose stuck script closes the dialogs instead of hanging the test.
struct Rig : MainWindowRig {
    Rig() {
        stepLimit = 100;
        giveUp = [] {
            for (vcl::TForm* f : std::initializer_list<vcl::TForm*>{Made<lists::TformLoadSave>(),
                                                                    Made<lists::TformList>(),
                                                                    Made<lists::TformAbout>()})
                if (f) f->SetModalResult(vcl::mrCancel);
        };
    }
};

// The chooser, when it is up, gets `name` typed into its field (save) or its first entry
// selected (load), and is confirmed.
void Choose(MainWindowRig& rig, const std::string& label, const char* name = nullptr) {
    rig.Then(
        label, [] { return Up<lists::TformLoadSave>(); },
        [&rig, name] {
            lists::TformLoadSave* chooser = Made<lists::TformLoadSave>();
            if (!name) chooser->List->SetItemIndex(0);
            if (name) {
                chooser->edName->SetFocus();
                chooser->edName->SelectAll();
                rig.Type(name);
            }
            rig.WindowRig::Click(chooser->btnOK);
        });
}

std::string Status(lists::TformMain* f) {
    return f->StatusBar->Panels()->Items(0)->Text();
}

TEST(ListCommands, SaveAndLoadGoThroughTheChooser) {
    Rig rig;
    lists::TformMain* f = rig.form;
    rig.Click(f->btnAddRow);
    rig.ClickCell(1, 1);
    rig.TypeText("79161234567");
    rig.Press(win::VK_RETURN);
    f->memoTextSMS->SetText("Hello");
    Choose(rig, "save", "First");
    rig.Click(f->btnSave);
    EXPECT_EQ(f->ListName(), "First");
    EXPECT_EQ(Status(f), "Имя списка: First"_cp);
    EXPECT_EQ(rig.Count("select count(*) from NumberList"), 1);

    f->mnuNew->Click();
    EXPECT_TRUE(f->GridLocked());
    Choose(rig, "load");
    rig.Click(f->btnLoad);
    EXPECT_TRUE(rig.ScriptDone());
    EXPECT_EQ(rig.Cells(), (std::vector<std::vector<std::string>>{{"79161234567"}}));
    EXPECT_EQ(f->memoTextSMS->Text(), "Hello");
    EXPECT_EQ(f->ListName(), "First");
}

TEST(ListCommands, TheManagerRenamesAndDeletesTheOpenList) {
    Rig rig;
    lists::TformMain* f = rig.form;
    rig.Exec("insert into List (Name, TextSMS, Active) values ('Alpha', 'Hi', 0)");
    rig.Exec("insert into NumberList (ListID, Number, Processed) values (1, '79160000001', 0)");
    Choose(rig, "load");
    rig.Click(f->btnLoad);
    ASSERT_EQ(f->ListName(), "Alpha");

    auto manage = [&](const char* label, vcl::TControl* (*button)(lists::TformList*)) {
        rig.Then(
            label, [] { return Up<lists::TformList>(); },
            [&rig, button] {
                lists::TformList* manager = Made<lists::TformList>();
                if (manager->lvList->Items()->Count() > 0) manager->lvList->SetItemIndex(0);
                rig.WindowRig::Click(button(manager));
            });
    };
    manage("rename", [](lists::TformList* m) -> vcl::TControl* { return m->btnRename; });
    rig.Then(
        "the new name", [] { return Made<lists::TformList>() && !Up<lists::TformList>(); },
        [&rig] {
            rig.Type("Omega");
            rig.Key(win::VK_RETURN, '\r');
        });
    manage("close", [](lists::TformList* m) -> vcl::TControl* { return m->btnClose; });
    f->mnuManageList->Click();
    EXPECT_EQ(f->ListName(), "Omega");  // a later save updates the renamed list
    EXPECT_EQ(Status(f), "Имя списка: Omega"_cp);

    manage("delete", [](lists::TformList* m) -> vcl::TControl* { return m->btnDel; });
    manage("close after delete", [](lists::TformList* m) -> vcl::TControl* { return m->btnClose; });
    f->mnuManageList->Click();
    EXPECT_TRUE(rig.ScriptDone());
    EXPECT_EQ(f->ListName(), "");  // a new list
    EXPECT_TRUE(f->GridLocked());
    EXPECT_EQ(rig.Count("select count(*) from List"), 0);
}

TEST(ListCommands, TheAboutBoxShowsTheVersion) {
    Rig rig;
    rig.Then(
        "about", [] { return Up<lists::TformAbout>(); },
        [&rig] {
            EXPECT_EQ(Made<lists::TformAbout>()->labVer->Caption(),
                      "версия "_cp + lists::GetVersionText(false));
            rig.Key(win::VK_ESCAPE, 27);
        });
    rig.form->mnuAbout->Click();
    EXPECT_TRUE(rig.ScriptDone());
    // The main window's title carries the same version.
    EXPECT_EQ(rig.form->Caption(), "Tessary Varnock " + lists::GetVersionText(true));
}

}  // namespace

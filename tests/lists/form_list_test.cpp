// The list manager on the headless screen: what it shows, and renaming and deleting lists
// through its buttons and the input box, against the test's own database.
#include "lists/form_list.h"

#include <gtest/gtest.h>

#include <functional>

#include "lists/list_activity.h"
#include "platform/controls/list_view_control.h"
#include "platform/os/cp_literal.h"
#include "platform/user/input.h"
#include "platform/user/message_queue.h"
#include "platform/sql/shared_database.h"
#include "platform/user/styles.h"
#include "tests/lists/list_forms_rig.h"

namespace {

using lists::TformList;

class Manager : public lists_test::ListFormsRig, public ::testing::Test {
protected:
    Manager() {
        vcl::Application()->CreateForm(form);
        rig.giveUp = [this] { form->SetModalResult(vcl::mrCancel); };
    }

    bool Shown() { return form->Visible(); }
    bool Asking() { return ActiveCaption() == "Переименование"_cp; }
    // Each row as name, all numbers, processed numbers.
    std::vector<std::vector<std::string>> Rows() {
        std::vector<std::vector<std::string>> out;
        vcl::TListItems* items = form->lvList->Items();
        for (int i = 0; i < items->Count(); ++i) {
            vcl::TListItem* item = items->Item(i);
            out.push_back(
                {item->Caption(), item->SubItems()->Strings(0), item->SubItems()->Strings(1)});
        }
        return out;
    }
    std::vector<std::string> Column(int column) {
        std::vector<std::string> out;
        for (const auto& row : Rows())
            out.push_back(row[column]);
        return out;
    }
    // Selects a row and presses a button; the rename then types `answer` and Enter (nullptr:
    // Escape) into the input box, after `meanwhile` (another copy's doing) has run.
    void Press(const std::string& label, int row, vcl::TControl* button,
               const char* answer = nullptr, bool asks = true,
               std::function<void()> meanwhile = {}) {
        rig.Then(
            label, [&] { return Shown() && form->Active(); },
            [this, row, button] {
                form->lvList->SetItemIndex(row);
                rig.Click(button);
            });
        if (!asks) return;
        rig.Then(
            label + ": the input box", [&] { return Asking(); },
            [this, answer, meanwhile] {
                if (meanwhile) meanwhile();
                if (!answer) return rig.Key(win::VK_ESCAPE, 27);
                rig.Type(answer);
                rig.Key(win::VK_RETURN, '\r');
            });
    }
    // Runs the script, then closes the manager with Escape.
    bool Run(std::string& current) {
        rig.Then(
            "close", [&] { return Shown() && form->Active(); },
            [&] { rig.Key(win::VK_ESCAPE, 27); });
        const bool deleted = form->Execute(current);
        EXPECT_TRUE(rig.ScriptDone());
        return deleted;
    }
    win::RECT ItemRect(int row) {
        win::RECT rc{};
        rc.left = win::LVIR_BOUNDS;
        win::SendMessageA(form->lvList->Handle(), win::LVM_GETITEMRECT, row,
                          reinterpret_cast<win::LPARAM>(&rc));
        return rc;
    }
    win::COLORREF RowPixel(int row) {
        const win::RECT rc = ItemRect(row);
        return ScreenPixel(form->lvList, rc.right - 4, (rc.top + rc.bottom) / 2);
    }

    TformList* form = nullptr;
};

TEST_F(Manager, ShowsEveryListWithItsCountsAndClosesItsQueries) {
    AddList("Alpha", 3, 1, 2);
    AddList("Empty", 0);
    AddList("Клиенты"_cp, 2, 2);

    rig.Then(
        "the manager", [&] { return Shown(); },
        [&] {
            const std::vector<std::vector<std::string>> want = {
                {"Alpha", "3", "1"}, {"Empty", "0", "0"}, {"Клиенты"_cp, "2", "2"}};
            EXPECT_EQ(Rows(), want);
            // Every second row has its own background; the others keep the view's.
            const win::COLORREF plain = vcl::ColorToRGB(form->lvList->Color());
            EXPECT_EQ(RowPixel(0), plain);
            EXPECT_EQ(RowPixel(1), win::RGB(238, 238, 255));
            EXPECT_EQ(RowPixel(2), plain);
        });
    std::string current = "Alpha";
    EXPECT_FALSE(Run(current));
    EXPECT_EQ(current, "Alpha");
    const db::TMainDataSets ds = Data();
    EXPECT_FALSE(ds.Query.Active());
    EXPECT_FALSE(ds.Query2.Active());
    EXPECT_FALSE(ds.Query3.Active());
}

TEST_F(Manager, RenameKeepsNamesUniqueIgnoringCaseAndTrimmed) {
    AddList("Alpha", 1);
    AddList("Beta", 1);
    const std::vector<std::string> before = {"Alpha", "Beta"};
    Press("same name in other case", 0, form->btnRename, "ALPHA");
    Press("cancelled", 0, form->btnRename, nullptr);
    Press("blank", 0, form->btnRename, "   ");
    rig.Then(
        "nothing changed", [&] { return Shown() && form->Active(); },
        [&] {
            EXPECT_EQ(Names(), before);
            EXPECT_TRUE(rig.boxes.empty());
        });
    Press("taken in other case, with blanks", 0, form->btnRename, "  bETA ");
    rig.Then(
        "refused", [&] { return !rig.boxes.empty(); },
        [&] {
            EXPECT_EQ(rig.boxes[0].caption, "Ошибка"_cp);
            EXPECT_EQ(rig.boxes[0].text, "Такое имя уже существует."_cp);
            EXPECT_EQ(Names(), before);
        });
    Press("trimmed", 0, form->btnRename, "  Gamma  ");
    rig.Then(
        "renamed", [&] { return Column(0) != before; },
        [&] {
            EXPECT_EQ(Names(), (std::vector<std::string>{"Gamma", "Beta"}));
            EXPECT_EQ(Column(0), Names());
            // A double click on a row renames too.
            form->lvList->SetItemIndex(1);
            const win::RECT rc = ItemRect(1);
            DoubleClick(form->lvList, 20, (rc.top + rc.bottom) / 2);
        });
    rig.Then(
        "double click: the input box", [&] { return Asking(); },
        [&] {
            rig.Type("Delta");
            rig.Key(win::VK_RETURN, '\r');
        });
    std::string current = "beta";  // the open list follows its rename
    EXPECT_FALSE(Run(current));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Gamma", "Delta"}));
    EXPECT_EQ(current, "Delta");
    EXPECT_EQ(rig.boxes.size(), 1u);
}

TEST_F(Manager, ARenameOfAListDeletedMeanwhileChangesNothing) {
    AddList("Alpha", 1);
    Press("rename", 0, form->btnRename, "Omega", true, [&] { Exec("delete from List"); });
    std::string current = "Alpha";
    EXPECT_FALSE(Run(current));
    EXPECT_EQ(current, "Alpha");  // the editor does not take a name no list holds
    EXPECT_TRUE(Names().empty());
}

// A run starts on the list, in another copy, while the input box is open: the rename is
// refused when it is written, not only when the button is pressed.
TEST_F(Manager, AListARunTookWhileTheInputBoxWasOpenIsNotRenamed) {
    AddList("Alpha", 1);
    Press("rename", 0, form->btnRename, "Omega", true, [&] {
        sql::Database other(sql::DatabaseFile(rig.dir.path()));
        other.ExecuteRaw("update List set Active=1");
    });
    std::string current = "Alpha";
    EXPECT_FALSE(Run(current));
    EXPECT_EQ(current, "Alpha");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Alpha"}));
    ASSERT_EQ(rig.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes[0].text, "Список \"Alpha\" нельзя изменять, т.к. по нему идет рассылка."_cp);
}

TEST_F(Manager, DeleteTakesTheWholeListAndReportsTheOpenOne) {
    const int alpha = AddList("Alpha", 2, 0, 3);
    AddList("Beta", 2, 0, 3);
    AddList("Gamma", 1);
    Press("delete another list", 1, form->btnDel, nullptr, false);
    rig.Then(
        "deleted", [&] { return Rows().size() == 2; },
        [&] {
            EXPECT_EQ(Names(), (std::vector<std::string>{"Alpha", "Gamma"}));
            EXPECT_EQ(Count("select count(*) from NumberList"), 3);
            EXPECT_EQ(Count("select count(*) from UserValues"), 7);
            EXPECT_FALSE(form->Changed);
            // Another copy deletes Gamma while the manager still shows it.
            Exec("delete from List where Name='Gamma'");
        });
    Press("delete the vanished list", 1, form->btnDel, nullptr, false);
    rig.Then(
        "refilled", [&] { return Rows().size() == 1; },
        [&] {
            EXPECT_TRUE(rig.boxes.empty());
            EXPECT_FALSE(form->Changed);
        });
    Press("delete the open list", 0, form->btnDel, nullptr, false);
    rig.Then(
        "all gone", [&] { return Rows().empty(); },
        [&] {
            EXPECT_EQ(
                Count("select count(*) from NumberList where ListID=" + std::to_string(alpha)), 0);
            EXPECT_EQ(Count("select count(*) from UserValues"), 1);  // Gamma's, orphaned
            // Nothing selected: the buttons do nothing.
            rig.Click(form->btnDel);
            rig.Click(form->btnRename);
        });
    std::string current = "ALPHA";
    EXPECT_TRUE(Run(current));
    EXPECT_TRUE(rig.boxes.empty());
}

TEST_F(Manager, AListInUseIsNeitherRenamedNorDeleted) {
    const int busy = AddList("Клиенты"_cp, 2, 1);
    SetActive(busy, true);
    Press("rename", 0, form->btnRename, nullptr, false);
    rig.Then(
        "refused", [&] { return rig.boxes.size() == 1; }, [&] { EXPECT_FALSE(Asking()); });
    Press("delete", 0, form->btnDel, nullptr, false);
    rig.Then(
        "refused again", [&] { return rig.boxes.size() == 2; }, [] {});
    std::string current = "Клиенты"_cp;
    EXPECT_FALSE(Run(current));
    for (const auto& box : rig.boxes) {
        EXPECT_EQ(box.caption, "Внимание"_cp);
        EXPECT_EQ(box.text, "Список \"Клиенты\" нельзя изменять, т.к. по нему идет рассылка."_cp);
    }
    EXPECT_EQ(Names(), (std::vector<std::string>{"Клиенты"_cp}));
    EXPECT_EQ(Count("select count(*) from NumberList"), 2);
}

TEST_F(Manager, AFailedDeleteLeavesTheListWhole) {
    AddList("Alpha", 2, 0, 2);
    // The last of the three statements fails: the first two must not stay done.
    sql::SharedDatabase(rig.dir.path())
        ->ExecuteRaw(
            "create trigger keep before delete on List begin select raise(abort, 'kept'); end");
    Press("delete", 0, form->btnDel, nullptr, false);
    rig.Then(
        "the error shown", [&] { return rig.boxes.size() == 1; }, [] {});
    std::string current = "Alpha";
    EXPECT_FALSE(Run(current));
    EXPECT_NE(rig.boxes[0].text.find("kept"), std::string::npos) << rig.boxes[0].text;
    EXPECT_EQ(Names(), (std::vector<std::string>{"Alpha"}));
    EXPECT_EQ(Count("select count(*) from NumberList"), 2);
    EXPECT_EQ(Count("select count(*) from UserValues"), 4);
}

}  // namespace

#include "vcl/controls/dialogs.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/controls/combo_box_control.h"
#include "platform/controls/file_dialog.h"
#include "platform/controls/list_box_control.h"
#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "platform/user/message_box.h"
#include "tests/support/modal_script.h"
#include "tests/support/temp_dir.h"
#include "tests/vcl/gui_fixture.h"
#include "vcl/controls/edits.h"
#include "vcl/controls/std_ctrls.h"

namespace vcl::testing {
namespace {

// Runs a check on every window that becomes active, while modal loops are running.
class ActivationWatch {
public:
    explicit ActivationWatch(std::function<void(win::HWND)> check) {
        check_ = std::move(check);
        hook_ = win::SetWindowsHookExA(win::WH_CBT, Proc, nullptr, win::GetCurrentThreadId());
    }
    ~ActivationWatch() {
        win::UnhookWindowsHookEx(hook_);
        check_ = nullptr;
    }

private:
    static win::LRESULT Proc(int code, win::WPARAM w, win::LPARAM l) {
        if (code == win::HCBT_ACTIVATE && check_) check_(reinterpret_cast<win::HWND>(w));
        return win::CallNextHookEx(nullptr, code, w, l);
    }
    static inline std::function<void(win::HWND)> check_;
    win::HHOOK hook_;
};

std::string WindowText(win::HWND h) {
    char buf[256] = {};
    win::GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

using DialogsTest = GuiTest;

TEST_F(DialogsTest, ShowMessageAndMessageBoxHoldEveryFormWhileUp) {
    TForm* main = nullptr;
    TForm* other = nullptr;
    Application()->CreateForm(main);
    Application()->CreateForm(other);
    main->SetBounds(10, 10, 200, 100);
    other->SetBounds(300, 10, 200, 100);
    auto* edit = new TEdit(other);
    edit->SetParent(other);
    main->Show();
    other->Show();
    edit->SetFocus();
    Pump();
    std::string caption;
    win::HWND owner = nullptr;
    bool formsEnabled = true;
    ActivationWatch watch([&](win::HWND h) {
        if (win::GetWindowLongPtrA(h, win::GWL_STYLE) & win::WS_CHILD) return;
        if (FindControl(h)) return;  // one of the forms
        caption = WindowText(h);
        owner = win::GetWindow(h, win::GW_OWNER);
        formsEnabled =
            win::IsWindowEnabled(main->Handle()) || win::IsWindowEnabled(other->Handle());
    });
    Application()->SetTitle("Tessary");
    QueueKey(win::VK_RETURN, '\r');
    ShowMessage("Saved");
    EXPECT_EQ(caption, "Tessary");
    EXPECT_EQ(owner, Application()->Handle());
    EXPECT_FALSE(formsEnabled);
    EXPECT_TRUE(win::IsWindowEnabled(main->Handle()));  // both come back
    EXPECT_TRUE(win::IsWindowEnabled(other->Handle()));
    EXPECT_EQ(win::GetFocus(), edit->Handle());  // the keyboard goes back where it was

    QueueKey(win::VK_RIGHT);  // from Yes to No
    QueueKey(win::VK_RETURN, '\r');
    EXPECT_EQ(Application()->MessageBox("Delete?", "Question", win::MB_YESNO), win::IDNO);
    EXPECT_EQ(caption, "Question");
}

TEST_F(DialogsTest, InputBoxTakesTypedTextAndEdits) {
    // The default text starts selected: typing replaces it.
    QueueKey('4', '4');
    QueueKey('2', '2');
    QueueKey(win::VK_RETURN, '\r');
    EXPECT_EQ(InputBox("Pause", "Seconds:", "7"), "42");

    // End, Backspace, Home, Delete, then a letter.
    for (win::UINT vk : {win::VK_END, win::VK_BACK, win::VK_HOME, win::VK_DELETE})
        QueueKey(vk, vk == win::VK_BACK ? '\b' : 0);
    QueueKey('X', 'x');
    QueueKey(win::VK_RETURN, '\r');
    EXPECT_EQ(InputBox("Name", "List name:", "abc"), "xb");

    // Escape cancels: InputQuery leaves the value alone.
    QueueKey('Q', 'q');
    QueueKey(win::VK_ESCAPE, 27);
    std::string value = "kept";
    EXPECT_FALSE(InputQuery("Name", "List name:", value));
    EXPECT_EQ(value, "kept");
    EXPECT_EQ(Screen()->FormCount(), 0);  // the dialog is gone
}

TEST_F(DialogsTest, InputBoxButtonsAnswerClicks) {
    // Once the dialog is up, a click on the named button.
    auto clickOn = [&](const std::string& name) {
        return ActivationWatch([this, name](win::HWND h) {
            TWinControl* form = FindControl(h);
            if (!form) return;
            for (int i = 0; i < form->ControlCount(); ++i)
                if (form->Controls(i)->Caption() == name) QueueClick(form->Controls(i));
        });
    };
    {
        auto watch = clickOn("Cancel");
        QueueKey('Z', 'z');
        EXPECT_EQ(InputBox("Caption", "Prompt", "default"), "default");
    }
    {
        auto watch = clickOn("OK");
        QueueKey('Z', 'z');
        EXPECT_EQ(InputBox("Caption", "Prompt", "default"), "z");
    }
}

TEST_F(DialogsTest, AModalFormHearsEscapeAfterAMessageBoxOverIt) {
    TForm* dialog = nullptr;
    Application()->CreateForm(dialog);
    dialog->SetBounds(10, 10, 300, 200);
    auto* edit = Place<TEdit>(dialog, TRect(10, 10, 150, 31));
    auto* cancel = Place<TButton>(dialog, TRect(10, 50, 90, 75));
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    dialog->SetActiveControl(edit);
    win::HWND focusAfterBox = nullptr;
    testing_support::Script script({
        [](win::HWND) { ShowMessage("Saved"); },
        [](win::HWND) { testing_support::QueueType("\r"); },
        [&](win::HWND) {
            focusAfterBox = win::GetFocus();
            testing_support::QueueType("\x1b");
        },
    });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(focusAfterBox, edit->Handle());
}

// The file dialogs over a folder of Cyrillic UTF-8 names.
class FileDialogsTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        os::MakeDirectories(dir_ / "Отчёты");
        testing_support::WriteFile(dir_ / "Отчёты/май.csv", "1;");
        testing_support::WriteFile(dir_ / "Отчёты/май.txt", "1");
        folder_ = os::Utf8ToCp1251(dir_ / "Отчёты/");
    }
    static std::string BoxText(win::HWND box) {
        return WindowText(win::GetDlgItem(box, win::kMessageBoxTextId));
    }
    testing_support::TempDir dir_;
    std::string folder_;
};

TEST_F(FileDialogsTest, SaveDialogTakesItsPropertiesAndGivesTheCp1251Path) {
    TForm* main = PlainForm();
    main->Show();
    Pump();
    std::unique_ptr<TSaveDialog, FreeDeleter> save(New<TSaveDialog>(nullptr));
    save->SetFilter("CSV|*.csv|Все файлы|*.*"_cp);
    save->SetFilterIndex(2);
    save->SetDefaultExt("csv");
    save->SetInitialDir(folder_);
    save->SetTitle("Экспорт"_cp);
    save->SetOptions({ofOverwritePrompt});
    std::string caption, box;
    int type = -1, files = -1;
    bool formEnabled = true;
    testing_support::Script script({
        [&](win::HWND dlg) {
            caption = WindowText(dlg);
            type =
                int(win::SendDlgItemMessageA(dlg, win::kFileDialogTypeId, win::CB_GETCURSEL, 0, 0));
            files = int(
                win::SendDlgItemMessageA(dlg, win::kFileDialogFileListId, win::LB_GETCOUNT, 0, 0));
            formEnabled = win::IsWindowEnabled(main->Handle());
            testing_support::QueueType("май\r"_cp);
        },
        [&](win::HWND b) {
            box = BoxText(b);
            testing_support::QueueType("д"_cp);  // Yes
        },
    });
    ASSERT_TRUE(save->Execute());
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(save->FileName(), folder_ + "май.csv"_cp);
    EXPECT_EQ(save->FilterIndex(), 2);
    EXPECT_EQ(caption, "Экспорт"_cp);
    EXPECT_EQ(type, 1);
    EXPECT_EQ(files, 2);
    EXPECT_NE(box.find("май.csv"_cp), std::string::npos);
    EXPECT_FALSE(formEnabled);
    EXPECT_TRUE(win::IsWindowEnabled(main->Handle()));
}

TEST_F(FileDialogsTest, OpenDialogRefusesAMissingFileAndCancelKeepsTheName) {
    std::unique_ptr<TOpenDialog, FreeDeleter> open(New<TOpenDialog>(nullptr));
    open->SetFilter("CSV|*.csv"_cp);
    open->SetFileName(folder_ + "старый.csv"_cp);  // starts in its folder
    open->SetOptions({ofFileMustExist});
    std::string caption, box;
    testing_support::Script script({
        [&](win::HWND dlg) {
            caption = WindowText(dlg);
            testing_support::QueueType("\r");  // the start name, which does not exist
        },
        [&](win::HWND b) {
            box = BoxText(b);
            testing_support::QueueType("\r");
        },
        [](win::HWND) { testing_support::QueueType("\x1b"); },
    });
    EXPECT_FALSE(open->Execute());
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(caption, "Открыть"_cp);
    EXPECT_NE(box.find("старый.csv"_cp), std::string::npos);
    EXPECT_EQ(open->FileName(), folder_ + "старый.csv"_cp);

    // Without the option a new name is taken, completed by nothing when DefaultExt is empty.
    open->SetOptions({});
    testing_support::Script take({[](win::HWND) { testing_support::QueueType("новый\r"_cp); }});
    EXPECT_TRUE(open->Execute());
    EXPECT_EQ(open->FileName(), folder_ + "новый"_cp);
}

}  // namespace
}  // namespace vcl::testing

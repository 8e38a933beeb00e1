#include "platform/controls/file_dialog.h"

#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/controls/combo_box_control.h"
#include "platform/controls/list_box_control.h"
#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "platform/user/message_box.h"
#include "tests/platform/controls/controls_fixture.h"
#include "tests/support/modal_script.h"
#include "tests/support/temp_dir.h"

namespace win::testing {
namespace {

using testing_support::QueueDoubleClick;
using testing_support::QueueType;
using testing_support::Script;
using testing_support::Step;

std::string Text(HWND h) {
    char buf[512] = {};
    GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

std::vector<std::string> Items(HWND dlg, int id) {
    std::vector<std::string> out;
    HWND list = GetDlgItem(dlg, id);
    const auto n = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char buf[512] = {};
        SendMessageA(list, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(buf));
        out.push_back(buf);
    }
    return out;
}

// The texts, each ending with a NUL, then one more NUL.
std::string Pairs(std::initializer_list<std::string> texts) {
    std::string out;
    for (const std::string& t : texts)
        out += t + '\0';
    return out + '\0';
}

// A folder of UTF-8 names, Cyrillic and worse.
class FileDialogTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        os::MakeDirectories(dir_ / "Документы");
        os::MakeDirectories(dir_ / "Ελληνικά");  // no cp1251 for Greek
        os::MakeDirectories(dir_ / ".скрытая");
        for (const char* f : {"Документы/Отчёт.csv", "Документы/заметки.txt", "данные.csv",
                              "список.txt", "日本.txt", "??.txt", "README", ".profile"})
            testing_support::WriteFile(dir_ / f, "x");
        root_ = os::Utf8ToCp1251(dir_.path());
        buf_[0] = '\0';
        ofn_.lpstrFile = buf_;
        ofn_.nMaxFile = sizeof buf_;
        ofn_.lpstrInitialDir = root_.c_str();
        ofn_.lpstrFilter = filter_.c_str();
        ofn_.hwndOwner = parent_;
    }

    // Double-clicks the `nth` item of a list showing `text`.
    static Step DoubleClickItem(int listId, const std::string& text, int nth = 0) {
        return [=](HWND dlg) {
            HWND list = GetDlgItem(dlg, listId);
            const std::vector<std::string> items = Items(dlg, listId);
            int seen = 0;
            for (std::size_t i = 0; i < items.size(); ++i)
                if (items[i] == text && seen++ == nth) {
                    QueueDoubleClick(ListItemPoint(list, static_cast<int>(i)));
                    return;
                }
            ADD_FAILURE() << "no item " << text;
        };
    }
    static Step TypeKeys(const std::string& keys) {
        return [=](HWND) { QueueType(keys); };
    }
    // Notes the text of the message box that is up and answers it with `keys`.
    Step AnswerBox(const std::string& keys) {
        return [this, keys](HWND box) {
            boxTexts_.push_back(Text(GetDlgItem(box, kMessageBoxTextId)));
            QueueType(keys);
        };
    }

    testing_support::TempDir dir_;
    std::string root_;
    std::string filter_ =
        Pairs({"CSV (*.csv)", "*.csv", "Текст"_cp, "*.txt; *.TXT", "Все файлы"_cp, "*.*"});
    char buf_[1024];
    OPENFILENAMEA ofn_;
    std::vector<std::string> boxTexts_;
};

TEST_F(FileDialogTest, EntersCyrillicFolderByDoubleClickAndChoosesAFile) {
    std::vector<std::string> folders, files, inner, classes;
    std::string caption, shownFolder;
    Script script({
        [&](HWND dlg) {
            caption = Text(dlg);
            for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                char cls[64] = {};
                GetClassNameA(c, cls, sizeof cls);
                classes.push_back(cls);
            }
            shownFolder = Text(GetDlgItem(dlg, kFileDialogFolderId));
            folders = Items(dlg, kFileDialogFolderListId);
            files = Items(dlg, kFileDialogFileListId);
            SendDlgItemMessageA(dlg, kFileDialogTypeId, CB_SETCURSEL, 2, 0);
            SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(kFileDialogTypeId, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(GetDlgItem(dlg, kFileDialogTypeId)));
        },
        DoubleClickItem(kFileDialogFolderListId, "Документы"_cp),
        DoubleClickItem(kFileDialogFolderListId, ".."),
        DoubleClickItem(kFileDialogFolderListId, "Документы"_cp),
        [&](HWND dlg) { inner = Items(dlg, kFileDialogFileListId); },
        DoubleClickItem(kFileDialogFileListId, "Отчёт.csv"_cp),
    });
    ASSERT_TRUE(GetOpenFileNameA(&ofn_));
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(std::string(buf_), root_ + "Документы/Отчёт.csv"_cp);
    EXPECT_EQ(ofn_.nFilterIndex, 3u);  // the type in use comes back
    EXPECT_EQ(caption, "Открыть"_cp);
    // Only classes that a skin's dialog hook knows how to dress.
    for (const std::string& c : classes)
        EXPECT_TRUE(c == "Static" || c == "ListBox" || c == "Edit" || c == "ComboBox" ||
                    c == "Button")
            << c;
    EXPECT_EQ(classes.size(), 10u);
    EXPECT_EQ(shownFolder.back(), '/');
    EXPECT_NE(root_.find(shownFolder.substr(shownFolder.rfind("...") == 0 ? 3 : 0)),
              std::string::npos);
    // ".." first, then by name; hidden entries are left out; Greek shows as "?".
    EXPECT_EQ(folders, (std::vector<std::string>{"..", "????????", "Документы"_cp}));
    // The first type (nFilterIndex 0 means the first) lists the CSV files only.
    EXPECT_EQ(files, (std::vector<std::string>{"данные.csv"_cp}));
    EXPECT_EQ(inner, (std::vector<std::string>{"заметки.txt"_cp, "Отчёт.csv"_cp}));
    EXPECT_TRUE(IsWindowEnabled(parent_));
}

TEST_F(FileDialogTest, TypeSwitchesTheFileListAndComesBack) {
    std::vector<std::string> before, after;
    ofn_.nFilterIndex = 2;
    Script script({
        [&](HWND dlg) {
            before = Items(dlg, kFileDialogFileListId);
            SetFocus(GetDlgItem(dlg, kFileDialogTypeId));
            QueueKeyEvent(KeyEvent{VK_DOWN, true});
            QueueKeyEvent(KeyEvent{VK_DOWN, false});
        },
        [&](HWND dlg) { after = Items(dlg, kFileDialogFileListId); },
        DoubleClickItem(kFileDialogFileListId, "README"),
    });
    ASSERT_TRUE(GetOpenFileNameA(&ofn_));
    EXPECT_TRUE(script.Finished());
    // "*.txt; *.TXT": masks split at ";", blanks trimmed.
    EXPECT_EQ(before, (std::vector<std::string>{"??.txt", "??.txt", "список.txt"_cp}));
    EXPECT_EQ(after, (std::vector<std::string>{"??.txt", "??.txt", "README", "данные.csv"_cp,
                                               "список.txt"_cp}));
    EXPECT_EQ(std::string(buf_), root_ + "README");
    EXPECT_EQ(ofn_.nFilterIndex, 3u);
}

TEST_F(FileDialogTest, DefaultExtensionCompletesABareName) {
    ofn_.lpstrDefExt = "csv";
    {
        Script script({TypeKeys("отчёт\r"_cp)});
        ASSERT_TRUE(GetSaveFileNameA(&ofn_));
        EXPECT_EQ(std::string(buf_), root_ + "отчёт.csv"_cp);
    }
    {
        // A name with an extension keeps it; a typed path is taken from the folder shown.
        std::strcpy(buf_, "старое"_cp);
        Script script({[](HWND dlg) {
            // The start name is in the edit, selected: typing replaces it.
            EXPECT_EQ(Text(GetDlgItem(dlg, kFileDialogNameId)), "старое"_cp);
            QueueType("Документы/../итог.txt\r"_cp);
        }});
        ASSERT_TRUE(GetSaveFileNameA(&ofn_));
        EXPECT_TRUE(script.Finished());
        EXPECT_EQ(std::string(buf_), root_ + "итог.txt"_cp);
    }
    {
        // An existing file without an extension is taken as it is.
        Script script({TypeKeys("README\r")});
        ASSERT_TRUE(GetOpenFileNameA(&ofn_));
        EXPECT_EQ(std::string(buf_), root_ + "README");
    }
    {
        // A typed folder is entered, not chosen; a start path starts in its folder.
        std::strcpy(buf_, (root_ + "Документы/x"_cp).c_str());
        ofn_.lpstrInitialDir = nullptr;
        std::string shown;
        Script script({TypeKeys("..\r"), [&](HWND dlg) {
                           shown = Text(GetDlgItem(dlg, kFileDialogNameId));
                           QueueType("данные\r"_cp);
                       }});
        ASSERT_TRUE(GetOpenFileNameA(&ofn_));
        EXPECT_EQ(shown, "");
        EXPECT_EQ(std::string(buf_), root_ + "данные.csv"_cp);
    }
    {
        // A path longer than the buffer fails and says why.
        ofn_.nMaxFile = static_cast<DWORD>(root_.size());
        Script script({TypeKeys("a\r")});
        EXPECT_FALSE(GetSaveFileNameA(&ofn_));
        EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
    }
}

TEST_F(FileDialogTest, OverwritePromptAnsweredBothWays) {
    ofn_.Flags = OFN_OVERWRITEPROMPT;
    ofn_.lpstrDefExt = "csv";
    HWND dialog = nullptr;
    bool dialogActiveAgain = false;
    Script script({
        [&](HWND dlg) {
            dialog = dlg;
            QueueType("данные\r"_cp);
        },
        AnswerBox("\r"),  // No is the default
        [&](HWND dlg) {
            dialogActiveAgain = dlg == dialog;
            QueueType("\r");
        },
        AnswerBox("д"_cp),  // "&Да"
    });
    ASSERT_TRUE(GetSaveFileNameA(&ofn_));
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(dialogActiveAgain);
    EXPECT_EQ(std::string(buf_), root_ + "данные.csv"_cp);
    ASSERT_EQ(boxTexts_.size(), 2u);
    EXPECT_NE(boxTexts_[0].find("данные.csv уже существует"_cp), std::string::npos);
    // No prompt without the flag, nor in the open dialog.
    ofn_.Flags = 0;
    Script quiet({TypeKeys("данные\r"_cp)});
    EXPECT_TRUE(GetSaveFileNameA(&ofn_));
    EXPECT_EQ(boxTexts_.size(), 2u);
}

TEST_F(FileDialogTest, MissingFileRefusedThenCancelLeavesTheBufferAlone) {
    ofn_.Flags = OFN_FILEMUSTEXIST;
    std::strcpy(buf_, "старое"_cp);
    Script script({TypeKeys("нет.txt\r"_cp), AnswerBox("\r"), TypeKeys("\x1b")});
    EXPECT_FALSE(GetOpenFileNameA(&ofn_));
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_EQ(std::string(buf_), "старое"_cp);
    ASSERT_EQ(boxTexts_.size(), 1u);
    EXPECT_NE(boxTexts_[0].find("нет.txt"_cp), std::string::npos);
    EXPECT_NE(boxTexts_[0].find("не найден"_cp), std::string::npos);

    // The Cancel button, with the name typed, the same.
    Script cancel({TypeKeys("список.txt"_cp), [](HWND dlg) {
                       RECT r;
                       GetWindowRect(GetDlgItem(dlg, IDCANCEL), &r);
                       const POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
                       QueueMouseEvent(MouseEvent{MouseEvent::Move, p});
                       QueueMouseEvent(MouseEvent{MouseEvent::Down, p, MouseButton::Left});
                       QueueMouseEvent(MouseEvent{MouseEvent::Up, p, MouseButton::Left});
                   }});
    EXPECT_FALSE(GetOpenFileNameA(&ofn_));
    EXPECT_TRUE(cancel.Finished());
    EXPECT_EQ(std::string(buf_), "старое"_cp);
}

TEST_F(FileDialogTest, NameOutsideCp1251IsShownWithQuestionMarksAndRefused) {
    ofn_.nFilterIndex = 3;
    std::strcpy(buf_, "старое"_cp);
    std::string picked;
    Script script({
        // Two entries read "??.txt": the real one sorts first, the Japanese one second.
        DoubleClickItem(kFileDialogFileListId, "??.txt", 1),
        AnswerBox("\r"),
        [&](HWND dlg) {
            picked = Text(GetDlgItem(dlg, kFileDialogNameId));
            QueueType("\r");  // Enter on the same name: refused again
        },
        AnswerBox("\r"),
        DoubleClickItem(kFileDialogFolderListId, "????????"),
        AnswerBox("\r"),
        TypeKeys("\x1b"),
    });
    EXPECT_FALSE(GetOpenFileNameA(&ofn_));
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(picked, "??.txt");
    EXPECT_EQ(std::string(buf_), "старое"_cp);
    ASSERT_EQ(boxTexts_.size(), 3u);
    EXPECT_NE(boxTexts_[0].find("cp1251"), std::string::npos);
    EXPECT_NE(boxTexts_[2].find("папку"_cp), std::string::npos);

    // Typed, the real "??.txt" is a name like any other.
    Script typed({TypeKeys("??.txt\r")});
    ASSERT_TRUE(GetOpenFileNameA(&ofn_));
    EXPECT_EQ(std::string(buf_), root_ + "??.txt");
}

}  // namespace
}  // namespace win::testing

#include "platform/user/dialog_manager.h"

#include "tests/platform/controls/controls_fixture.h"
#include "tests/support/modal_script.h"

namespace win::testing {
namespace {

struct Seen {
    std::vector<int> commands;
    bool initDialog = false;
};
Seen* gSeen = nullptr;

INT_PTR RecordingProc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) {
        gSeen->initDialog = true;
        return TRUE;
    }
    if (msg == WM_COMMAND) {
        const int id = LOWORD(DWORD(wp));
        gSeen->commands.push_back(id);
        if (id == IDOK || id == IDCANCEL) EndDialog(dlg, id == IDOK ? 100 : 200);
        return TRUE;
    }
    return FALSE;
}

class DialogTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        gSeen = &seen;
        tmpl.style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME;
        tmpl.caption = "Dialog";
        tmpl.x = 50;
        tmpl.y = 50;
        tmpl.cx = 300;
        tmpl.cy = 200;
        tmpl.items = {
            {"Button", "&First", 10, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, 10, 10, 75, 23},
            {"Button", "R1", 11, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP | WS_VISIBLE, 0, 10, 40,
             80, 20},
            {"Button", "R2", 12, BS_AUTORADIOBUTTON | WS_VISIBLE, 0, 10, 60, 80, 20},
            {"Button", "OK", IDOK, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP | WS_VISIBLE, 0, 100,
             150, 75, 23},
            {"Button", "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, 190, 150, 75,
             23}};
    }
    void TearDown() override {
        gSeen = nullptr;
        ControlsTest::TearDown();
    }
    Seen seen;
    DialogTemplate tmpl;
};

HHOOK gCbtHook = nullptr;
uintptr_t gCreatedClass = 0;

TEST_F(DialogTest, TabArrowsAndTheDefaultButton) {
    // The creation hook sees the dialog's class by atom, as the system passes it.
    gCreatedClass = 0;
    gCbtHook = SetWindowsHookExA(
        WH_CBT,
        [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
            auto* cbt = reinterpret_cast<CBT_CREATEWNDA*>(lp);
            if (code == HCBT_CREATEWND && !gCreatedClass)
                gCreatedClass = reinterpret_cast<uintptr_t>(cbt->lpcs->lpszClass);
            return CallNextHookEx(gCbtHook, code, wp, lp);
        },
        nullptr, GetCurrentThreadId());
    HWND dlg = CreateDialogIndirectParamA(nullptr, &tmpl, parent_, RecordingProc, 0);
    UnhookWindowsHookEx(gCbtHook);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(gCreatedClass, uintptr_t(kDialogClassAtom));
    EXPECT_TRUE(seen.initDialog);
    char cls[16];
    GetClassNameA(dlg, cls, sizeof cls);
    EXPECT_STREQ(cls, "#32770");
    HWND first = GetDlgItem(dlg, 10), r1 = GetDlgItem(dlg, 11), r2 = GetDlgItem(dlg, 12),
         ok = GetDlgItem(dlg, IDOK), cancel = GetDlgItem(dlg, IDCANCEL);
    EXPECT_EQ(GetFocus(), first);  // WM_INITDIALOG answered TRUE

    auto feed = [&](UINT vk, bool shift = false) {
        if (shift) Key(VK_SHIFT, true);
        MSG m{};
        m.hwnd = GetFocus();
        m.message = WM_KEYDOWN;
        m.wParam = vk;
        IsDialogMessageA(dlg, &m);
        if (shift) Key(VK_SHIFT, false);
    };
    feed(VK_TAB);
    EXPECT_EQ(GetFocus(), r1);
    feed(VK_DOWN);  // inside the group, and an automatic radio button gets checked
    EXPECT_EQ(GetFocus(), r2);
    EXPECT_EQ(SendMessageA(r2, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
    feed(VK_DOWN);  // the group wraps
    EXPECT_EQ(GetFocus(), r1);
    feed(VK_TAB);
    feed(VK_TAB);
    EXPECT_EQ(GetFocus(), cancel);
    // A focused push button carries the default frame; OK gives it up meanwhile.
    EXPECT_EQ(SendMessageA(cancel, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON, DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(SendMessageA(ok, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON, 0);
    feed(VK_TAB, true);
    EXPECT_EQ(GetFocus(), ok);
    feed(VK_TAB);
    feed(VK_TAB);
    EXPECT_EQ(GetFocus(), first);  // wrapped round

    // Enter on a control that is not a push button runs the dialog's default id.
    SetFocus(r1);
    SendMessageA(dlg, DM_SETDEFID, 10, 0);
    EXPECT_EQ(SendMessageA(dlg, DM_GETDEFID, 0, 0), MAKELONG(10, DC_HASDEFID));
    feed(VK_RETURN);
    EXPECT_EQ(seen.commands.back(), 10);
    MSG ch{};  // the mnemonic of "&First"
    ch.hwnd = r1;
    ch.message = WM_CHAR;
    ch.wParam = 'f';
    IsDialogMessageA(dlg, &ch);
    EXPECT_EQ(GetFocus(), first);
    EXPECT_EQ(seen.commands.back(), 10);
    feed(VK_ESCAPE);
    EXPECT_EQ(seen.commands.back(), IDCANCEL);
    DestroyWindow(dlg);
}

TEST_F(DialogTest, ModalLoopEndsWithTheResultAndEnablesTheOwnerAgain) {
    // The keys are waiting when the dialog starts. Enter clicks the focused push button (the
    // first control), which does not end the dialog; Escape then ends it through IDCANCEL.
    QueueKeyEvent(KeyEvent{VK_RETURN, true, '\r'});
    QueueKeyEvent(KeyEvent{VK_RETURN, false});
    QueueKeyEvent(KeyEvent{VK_ESCAPE, true, 27});
    QueueKeyEvent(KeyEvent{VK_ESCAPE, false});
    tmpl.style &= ~WS_VISIBLE;
    const INT_PTR r = DialogBoxIndirectParamA(nullptr, &tmpl, parent_, RecordingProc, 0);
    EXPECT_EQ(r, 200);
    EXPECT_EQ(seen.commands, (std::vector<int>{10, IDCANCEL}));
    EXPECT_TRUE(IsWindowEnabled(parent_));
    EXPECT_EQ(GetActiveWindow(), parent_);  // the owner is active again
    // A dialog that ends while it starts is never shown; a bad template gives -1.
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, nullptr, parent_, RecordingProc, 0), -1);
}

// A modal dialog over a modal dialog (a message box over a file dialog): when the upper one
// ends, the lower one is active again and takes keys, though its own owner is disabled.
TEST_F(DialogTest, EndingANestedDialogActivatesTheOneBelow) {
    HWND lower = nullptr;
    HWND activeAfter = nullptr;
    testing_support::Script script({
        [&](HWND dlg) {
            lower = dlg;
            DialogTemplate upper = tmpl;
            upper.caption = "Upper";
            QueueKeyEvent(KeyEvent{VK_ESCAPE, true, 27});
            QueueKeyEvent(KeyEvent{VK_ESCAPE, false});
            EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &upper, dlg, RecordingProc, 0), 200);
            activeAfter = GetActiveWindow();
        },
        [](HWND) { testing_support::QueueType("\x1b"); },
    });
    tmpl.style &= ~WS_VISIBLE;
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &tmpl, parent_, RecordingProc, 0), 200);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(activeAfter, lower);
    EXPECT_EQ(seen.commands, (std::vector<int>{IDCANCEL, IDCANCEL}));
}

}  // namespace
}  // namespace win::testing

#include "platform/user/message_box.h"

#include "platform/os/cp_literal.h"
#include "tests/platform/controls/controls_fixture.h"

namespace win::testing {
namespace {

using MessageBoxTest = ControlsTest;

// Clicks the button `id` of the message box as soon as the box is activated.
int gClickId = 0;
bool gThenEscape = false;  // Escape after the click, for a button that leaves the box up
bool gClicked = false;
HHOOK gHook = nullptr;
std::string gBoxText;

LRESULT ClickWhenActive(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wp);
        if (HWND label = GetDlgItem(box, kMessageBoxTextId)) {
            char text[256] = {};
            GetWindowTextA(label, text, sizeof text);
            gBoxText = text;
        }
        if (HWND b = GetDlgItem(box, gClickId)) {
            gClicked = true;
            RECT r;
            GetWindowRect(b, &r);
            const POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            QueueMouseEvent(MouseEvent{MouseEvent::Move, p});
            QueueMouseEvent(MouseEvent{MouseEvent::Down, p, MouseButton::Left});
            QueueMouseEvent(MouseEvent{MouseEvent::Up, p, MouseButton::Left});
        }
        if (gThenEscape) QueueKeyEvent(KeyEvent{VK_ESCAPE, true, 27});
    }
    return CallNextHookEx(gHook, code, wp, lp);
}

TEST_F(MessageBoxTest, AnsweredByKeys) {
    // Enter takes the default button; MB_DEFBUTTON2 makes it the second.
    QueueKeyEvent(KeyEvent{VK_RETURN, true, '\r'});
    EXPECT_EQ(MessageBoxA(nullptr, "Сохранить?"_cp, "Вопрос"_cp,
                          MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION),
              IDNO);
    Notes().clear();
    QueueKeyEvent(KeyEvent{VK_RETURN, false});
    QueueKeyEvent(KeyEvent{VK_ESCAPE, true, 27});
    SetActiveWindow(parent_);
    EXPECT_EQ(MessageBoxA(parent_, "text", "caption", MB_OKCANCEL), IDCANCEL);
    EXPECT_TRUE(IsWindowEnabled(parent_));
    EXPECT_EQ(GetActiveWindow(), parent_);  // so the owner's keys work again at once
    // Escape answers IDOK for a box with only OK.
    QueueKeyEvent(KeyEvent{VK_ESCAPE, false});
    QueueKeyEvent(KeyEvent{VK_ESCAPE, true, 27});
    EXPECT_EQ(MessageBoxA(nullptr, "done", nullptr, MB_OK), IDOK);
    // The mnemonic of "&Нет" answers at once.
    QueueKeyEvent(KeyEvent{VK_ESCAPE, false});
    QueueKeyEvent(KeyEvent{'Y', true, static_cast<unsigned char>("т"_cp[0])});
    QueueKeyEvent(KeyEvent{'Y', true, static_cast<unsigned char>("н"_cp[0])});
    EXPECT_EQ(MessageBoxA(nullptr, "?", "?", MB_YESNOCANCEL), IDNO);
}

TEST_F(MessageBoxTest, AnsweredByAClickAndKeepsLineBreaks) {
    gHook = SetWindowsHookExA(WH_CBT, ClickWhenActive, nullptr, GetCurrentThreadId());
    gClickId = IDRETRY;
    EXPECT_EQ(MessageBoxA(nullptr, "first\rsecond", "Ошибка"_cp,
                          MB_ABORTRETRYIGNORE | MB_ICONSTOP | MB_DEFBUTTON3),
              IDRETRY);
    EXPECT_EQ(gBoxText, "first\r\nsecond");
    gClickId = IDYES;
    EXPECT_EQ(MessageBoxA(nullptr, "x", "y", MB_YESNO), IDYES);
    // Help keeps the box up; Escape then answers it.
    gClickId = IDHELP;
    gThenEscape = true;
    gClicked = false;
    EXPECT_EQ(MessageBoxA(nullptr, "x", "y", MB_OK | MB_HELP), IDOK);
    EXPECT_TRUE(gClicked);
    gThenEscape = false;
    UnhookWindowsHookEx(gHook);
    EXPECT_TRUE(MessageBeep(MB_ICONHAND));
}

}  // namespace
}  // namespace win::testing

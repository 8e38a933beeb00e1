// The skinned message box (flags, captions, placement held only while the box is up, the
// application's modal bracket) and the skinned open and save dialogs.
#include "skin/windows/dialogs/message_dialogs.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/controls/file_dialog.h"
#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "platform/user/message_box.h"
#include "skin/core/state/library_startup.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/windows/dialogs/dialog_hook.h"
#include "skin/windows/dialogs/dialog_window.h"
#include "skin/windows/scroll/edit_wnd.h"
#include "tests/skin/windows/windows_fixture.h"
#include "tests/support/modal_script.h"
#include "tests/support/temp_dir.h"

namespace skin::testing {
namespace {

using vcl::TMsgDlgButtons;

TEST(MessageBoxFlags, KindAndButtonSetMapToTheSystemsRowIconAndHelp) {
    constexpr win::UINT front = win::MB_SETFOREGROUND | win::MB_TOPMOST;
    struct Row {
        vcl::TMsgDlgType type;
        TMsgDlgButtons buttons;
        win::UINT flags;
    };
    const Row rows[] = {
        {vcl::mtWarning, {vcl::mbOK}, win::MB_ICONEXCLAMATION | win::MB_OK},
        {vcl::mtError, {vcl::mbOK, vcl::mbCancel}, win::MB_ICONHAND | win::MB_OKCANCEL},
        // OK wins over every other button.
        {vcl::mtInformation, {vcl::mbOK, vcl::mbYes, vcl::mbAbort}, win::MB_ICONASTERISK},
        {vcl::mtConfirmation,
         {vcl::mbYes, vcl::mbNo, vcl::mbCancel},
         win::MB_ICONQUESTION | win::MB_YESNOCANCEL},
        {vcl::mtConfirmation, {vcl::mbYes, vcl::mbNo}, win::MB_ICONQUESTION | win::MB_YESNO},
        {vcl::mtCustom, {vcl::mbNo}, win::MB_YESNO},
        {vcl::mtCustom, {vcl::mbAbort}, win::MB_ABORTRETRYIGNORE},
        {vcl::mtCustom, {vcl::mbIgnore, vcl::mbYes}, win::MB_ABORTRETRYIGNORE},
        {vcl::mtCustom, {vcl::mbRetry, vcl::mbCancel}, win::MB_RETRYCANCEL},
        {vcl::mtCustom, {vcl::mbCancel}, win::MB_OK},  // nothing the system has: plain OK
        {vcl::mtError,
         {vcl::mbYes, vcl::mbNo, vcl::mbHelp},
         win::MB_ICONHAND | win::MB_YESNO | win::MB_HELP},
        {vcl::mtCustom, {vcl::mbHelp}, win::MB_HELP},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(MessageBoxFlags(r.type, r.buttons), r.flags | front)
            << "type " << int(r.type) << " buttons " << r.buttons.Bits();
    }
    EXPECT_EQ(DefaultDialogCaption(vcl::mtConfirmation), "Confirm");
    EXPECT_EQ(DefaultDialogCaption(vcl::TMsgDlgType(77)), "");
}

// What a box showed, read when it became active.
struct Seen {
    std::string caption;
    int buttons = 0;
    bool topmost = false;
    bool icon = false;
    int posX = 0, posY = 0;
    int modalLevel = 0;
    win::RECT rect{};
    bool skinned = false;  // the hook gave it a dialog adapter
    win::HWND border = nullptr;  // its extended-border window
};

class MessageDialogs : public WindowsTest {
protected:
    void SetUp() override {
        // The manager installs the hook when its skin comes into force, so its slots go first.
        if (hooked) InitDialogHook();
        WindowsTest::SetUp();
        InitMessageDialogs();
        vcl::Application()->OnModalBegin =
            vcl::TNotifyEvent::FromCallable([this](vcl::TObject*) { ++begins; });
        vcl::Application()->OnModalEnd =
            vcl::TNotifyEvent::FromCallable([this](vcl::TObject*) { ++ends; });
        hook_ = win::SetWindowsHookExA(win::WH_CBT, Watch, nullptr, win::GetCurrentThreadId());
    }
    void TearDown() override {
        win::UnhookWindowsHookEx(hook_);
        keys_.clear();
        // The manager frees the hook's records through the slots as it goes.
        WindowsTest::TearDown();
        ResetNeighbourServices();
    }
    // The next box gets these keys and is read into `seen`.
    void Answer(const std::string& keys) {
        keys_ = keys;
        seen = {};
    }
    static win::LRESULT Watch(int code, win::WPARAM w, win::LPARAM l) {
        if (code == win::HCBT_CREATEWND) {
            const auto* cw = reinterpret_cast<win::CBT_CREATEWNDA*>(l);
            if (cw->lpcs && reinterpret_cast<uintptr_t>(cw->lpcs->lpszClass) == 0x8000)
                menus.push_back({cw->lpcs->x, cw->lpcs->y});
        }
        if (code == win::HCBT_ACTIVATE && !keys_.empty()) {
            auto box = reinterpret_cast<win::HWND>(w);
            char text[64] = {};
            win::GetWindowTextA(box, text, sizeof text);
            seen.caption = text;
            seen.buttons = 0;
            for (win::HWND c = win::GetWindow(box, win::GW_CHILD); c;
                 c = win::GetWindow(c, win::GW_HWNDNEXT)) {
                char cls[16] = {};
                win::GetClassNameA(c, cls, sizeof cls);
                seen.buttons += std::string(cls) == "Button";
            }
            seen.topmost =
                (win::DWORD(win::GetWindowLongA(box, win::GWL_EXSTYLE)) & win::WS_EX_TOPMOST) != 0;
            seen.icon = win::GetDlgItem(box, win::kMessageBoxIconId) != nullptr;
            seen.posX = DialogPosX;
            seen.posY = DialogPosY;
            seen.modalLevel = vcl::Application()->ModalLevel();
            win::GetWindowRect(box, &seen.rect);
            TacProvider* record = FindDialogProvider(box);
            seen.skinned = record && record->DialogWnd;
            if (seen.skinned && record->DialogWnd->BorderForm())
                seen.border = record->DialogWnd->BorderForm()->Handle();
            testing_support::QueueType(keys_);
            keys_.clear();
        }
        return win::CallNextHookEx(hook_, code, w, l);
    }

    static inline Seen seen;
    static inline std::vector<win::POINT> menus;  // where pop-up menus were made
    static inline std::string keys_;
    int begins = 0, ends = 0;
    bool hooked = false;
    static inline win::HHOOK hook_ = nullptr;
};

TEST_F(MessageDialogs, TheBoxTheLibraryAndTheSlotsShow) {
    struct Row {
        const char* name;
        std::function<int()> show;
        const char* keys;
        int answer;
        Seen want;
    };
    const std::string question = "Сохранить список?"_cp;
    const Row rows[] = {
        {"at a point, own caption",
         [&] {
             return ShowSkinnedMessageBox("Вопрос"_cp, question, vcl::mtConfirmation,
                                          {vcl::mbYes, vcl::mbNo, vcl::mbCancel}, 0, 40, 30);
         },
         "\x1b",
         win::IDCANCEL,
         {"Вопрос"_cp, 3, true, true, 40, 30, 1}},
        {"the library's dialog",
         [&] {
             return ShowSkinnedMessageDlg(question, vcl::mtCustom, {vcl::mbOK, vcl::mbHelp}, 7);
         },
         "\r",
         win::IDOK,
         {"", 2, true, false, -1, -1, 1}},
        {"the skin core's dialog slot",
         [&] { return Neighbours().ShowSkinnedMessageDlg(question, mdWarning, mbYesNo, 0); },
         "\r",
         vcl::mrYes,
         {"Warning", 2, true, true, -1, -1, 1}},
        {"the skin core's message slot",
         [&] {
             Neighbours().ShowMessage(question, mdError);
             return int(win::IDOK);
         },
         "\r",
         win::IDOK,
         {"Error", 1, true, true, -1, -1, 1}},
    };
    for (bool formActive : {false, true}) {
        if (formActive) {
            form->Show();
            Pump();
            ASSERT_NE(win::GetActiveWindow(), nullptr);
        }
        for (const Row& r : rows) {
            SCOPED_TRACE(std::string(r.name) + (formActive ? ", over a form" : ", no window"));
            begins = ends = 0;
            Answer(r.keys);
            EXPECT_EQ(r.show(), r.answer);
            EXPECT_EQ(seen.caption, r.want.caption);
            EXPECT_EQ(seen.buttons, r.want.buttons);
            EXPECT_EQ(seen.topmost, r.want.topmost);
            EXPECT_EQ(seen.icon, r.want.icon);
            EXPECT_EQ(seen.posX, r.want.posX);
            EXPECT_EQ(seen.posY, r.want.posY);
            // One bracket for the box, however many loops nest inside it.
            EXPECT_GE(seen.modalLevel, r.want.modalLevel);
            EXPECT_EQ(begins, 1);
            EXPECT_EQ(ends, 1);
            EXPECT_EQ(DialogPosX, -1);
            EXPECT_EQ(DialogPosY, -1);
            EXPECT_EQ(vcl::Application()->ModalLevel(), 0);
        }
    }
    // The form is usable again and active after the boxes.
    EXPECT_TRUE(win::IsWindowEnabled(form->Handle()));
    EXPECT_EQ(win::GetActiveWindow(), form->Handle());
}

TEST_F(MessageDialogs, AFailureOnTheWayInLeavesNoPositionOrModalLevelBehind) {
    vcl::Application()->OnModalBegin = vcl::TNotifyEvent::FromCallable(
        [](vcl::TObject*) { throw std::runtime_error("begin failed"); });
    EXPECT_THROW(ShowSkinnedMessageBox("", "x", vcl::mtError, {vcl::mbOK}, 0, 100, 200),
                 std::runtime_error);
    EXPECT_EQ(DialogPosX, -1);
    EXPECT_EQ(DialogPosY, -1);
    EXPECT_EQ(vcl::Application()->ModalLevel(), 0);
    EXPECT_EQ(ends, 0) << "nothing began, so nothing ends";

    // The next box is placed by the system, and the bracket works again.
    vcl::Application()->OnModalBegin =
        vcl::TNotifyEvent::FromCallable([this](vcl::TObject*) { ++begins; });
    Answer("\r");
    EXPECT_EQ(ShowSkinnedMessageDlg("x", vcl::mtError, {vcl::mbOK}, 0), win::IDOK);
    EXPECT_EQ(seen.posX, -1);
    EXPECT_EQ(begins, 1);
    EXPECT_EQ(ends, 1);
}

class SkinnedMessageDialogs : public MessageDialogs {
protected:
    SkinnedMessageDialogs() { hooked = true; }
};

TEST_F(SkinnedMessageDialogs, TheHookSkinsTheBoxAndPlacesItAtThePointAsked) {
    form->Show();
    Pump();
    Answer("\r");
    EXPECT_EQ(ShowSkinnedMessageBox("", "text", vcl::mtInformation, {vcl::mbOK}, 0, 40, 30),
              win::IDOK);
    EXPECT_TRUE(seen.skinned);
    EXPECT_EQ(seen.rect.left, 40);
    EXPECT_EQ(seen.rect.top, 30);

    // Without a point the system centres it; the point asked before is not reused.
    Answer("\r");
    EXPECT_EQ(ShowSkinnedMessageDlg("text", vcl::mtInformation, {vcl::mbOK}, 0), win::IDOK);
    EXPECT_TRUE(seen.skinned);
    const int width = seen.rect.right - seen.rect.left;
    EXPECT_EQ(seen.rect.left, (win::GetSystemMetrics(win::SM_CXSCREEN) - width) / 2);
    EXPECT_EQ(DialogPosX, -1);
}

TEST_F(SkinnedMessageDialogs, WithExtendedBordersTheBoxWearsABorderWindowThatGoesWithIt) {
    InitSkinLibrary();  // the built-in shadow pictures
    manager->SetExtendedBorders(true);
    form->Show();
    Pump();
    Answer("\r");
    EXPECT_EQ(ShowSkinnedMessageBox("", "text", vcl::mtInformation, {vcl::mbOK}, 0, 40, 30),
              win::IDOK);
    EXPECT_TRUE(seen.skinned);
    EXPECT_NE(seen.border, nullptr);
    Pump();
    EXPECT_FALSE(win::IsWindow(seen.border));
    manager->SetExtendedBorders(false);
    FinalizeSkinLibrary();
}

TEST_F(SkinnedMessageDialogs, TheFileDialogsEditsAndListsWearTheirAdapters) {
    form->Show();
    Pump();
    struct Seen {
        bool frame = false;
        int edits = 0;
    };
    static Seen seen;
    seen = {};
    std::unique_ptr<TsOpenDialog, vcl::FreeDeleter> open(vcl::New<TsOpenDialog>(nullptr));
    testing_support::Script look({[](win::HWND d) {
        if (TacProvider* p = FindDialogProvider(d)) {
            seen.frame = p->DialogWnd != nullptr;
            for (TacMainWnd* a : p->ChildAdapters) seen.edits += dynamic_cast<TacEditWnd*>(a) != nullptr;
        }
        testing_support::QueueType("\x1b");
    }});
    EXPECT_FALSE(open->Execute());
    EXPECT_TRUE(seen.frame);
    // The name's edit and the file list at least.
    EXPECT_GE(seen.edits, 2);
}

// Alt+Space drops a skinned dialog's system menu at its caption; its Move moves the dialog with
// the mouse until Enter, its Close ends it.
TEST_F(SkinnedMessageDialogs, AltSpaceDropsTheSystemMenuWhoseMoveAndCloseWork) {
    form->Show();
    Pump();
    std::unique_ptr<TsOpenDialog, vcl::FreeDeleter> open(vcl::New<TsOpenDialog>(nullptr));
    const std::function<bool()> shownAndClosed[] = {
        [] { return ShowSkinnedMessageDlg("text", vcl::mtInformation, {vcl::mbOK}, 0) == win::IDOK; },
        [&] { return !open->Execute(); }};
    for (const auto& closed : shownAndClosed) {
        menus.clear();
        static win::RECT caption;  // the window's top-left corner, then the client's
        const auto keys = [](std::initializer_list<win::UINT> vks) {
            for (win::UINT vk : vks) {
                win::QueueKeyEvent({vk, true, static_cast<unsigned char>(vk == win::VK_SPACE ? ' ' : 0)});
                win::QueueKeyEvent({vk, false});
            }
        };
        const auto altSpace = [keys](win::HWND) {
            win::QueueKeyEvent({win::VK_MENU, true});
            keys({win::VK_SPACE});
            win::QueueKeyEvent({win::VK_MENU, false});
        };
        testing_support::Script script({
            [altSpace](win::HWND d) {
                win::POINT client{0, 0};
                win::ClientToScreen(d, &client);
                win::GetWindowRect(d, &caption);
                caption.right = client.x, caption.bottom = client.y;
                altSpace(d);
            },
            [keys](win::HWND) { keys({win::VK_DOWN, win::VK_RETURN}); },  // Move
            [keys](win::HWND) {
                win::POINT c{};
                win::GetCursorPos(&c);
                win::QueueMouseEvent({win::MouseEvent::Move, {c.x + 30, c.y + 20}});
                keys({win::VK_RETURN});
            },
            altSpace,
            [keys](win::HWND) { keys({win::VK_UP, win::VK_RETURN}); },  // Close
        });
        EXPECT_TRUE(closed());
        EXPECT_TRUE(script.Finished());
        ASSERT_EQ(menus.size(), 2u);
        // Below the icon, at the caption's left.
        EXPECT_EQ(menus[0].x, caption.right);
        EXPECT_GT(menus[0].y, caption.top);
        EXPECT_LE(menus[0].y, caption.bottom + win::GetSystemMetrics(win::SM_CYSMICON));
        // Moved by the mouse: the second drop follows the dialog.
        EXPECT_EQ(menus[1].x - menus[0].x, 30);
        EXPECT_EQ(menus[1].y - menus[0].y, 20);
    }
}

TEST_F(MessageDialogs, TheSkinnedFileDialogsAnswerAsTheClassLibrarys) {
    testing_support::TempDir dir;
    testing_support::WriteFile(dir / "список.csv", "1;");
    const std::string folder = os::Utf8ToCp1251(dir.path());
    std::unique_ptr<TsOpenDialog, vcl::FreeDeleter> open(vcl::New<TsOpenDialog>(nullptr));
    EXPECT_EQ(open->ZipShowing, zsAsFolder);
    open->SetInitialDir(folder);
    open->SetFilter("CSV|*.csv"_cp);
    open->SetOptions({vcl::ofFileMustExist});
    testing_support::Script pick(
        {[](win::HWND) { testing_support::QueueType("список.csv\r"_cp); }});
    ASSERT_TRUE(open->Execute());
    EXPECT_EQ(open->FileName(), folder + "список.csv"_cp);
    EXPECT_EQ(begins, 1);
    EXPECT_EQ(ends, 1);

    std::unique_ptr<TsSaveDialog, vcl::FreeDeleter> save(vcl::New<TsSaveDialog>(nullptr));
    save->SetInitialDir(folder);
    save->SetFileName("прежний.csv"_cp);
    testing_support::Script cancel({[](win::HWND) { testing_support::QueueType("\x1b"); }});
    EXPECT_FALSE(save->Execute());
    EXPECT_EQ(save->FileName(), "прежний.csv"_cp) << "a cancelled dialog keeps the name";
    EXPECT_EQ(ends, 2);
    EXPECT_EQ(vcl::Application()->ModalLevel(), 0);
}

}  // namespace
}  // namespace skin::testing

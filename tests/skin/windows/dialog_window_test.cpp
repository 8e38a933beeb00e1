// The skinned frame of system dialogs: border kinds, title buttons and their commands, the
// region, the system menu and the background brush.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/region.h"
#include "platform/user/dialog_manager.h"
#include "platform/user/user.h"
#include "skin/core/state/library_startup.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_commands.h"
#include "skin/windows/dialogs/dialog_hook.h"
#include "skin/windows/dialogs/dialog_window.h"
#include "skin/windows/effects/border_form.h"
#include "tests/skin/windows/provider_fixture.h"

namespace skin::testing {
namespace {

std::vector<win::WPARAM>* gCommands = nullptr;

// Records the system commands and keeps them from the dialog's default handling.
win::INT_PTR CommandProc(win::HWND, win::UINT msg, win::WPARAM wp, win::LPARAM) {
    if (msg == win::WM_SYSCOMMAND && gCommands) {
        gCommands->push_back(wp & 0xFFF0);
        return win::TRUE;
    }
    return msg == win::WM_INITDIALOG;
}

class DialogWindow : public ProviderTest {
protected:
    void SetUp() override {
        InitDialogHook();
        ProviderTest::SetUp();
        gCommands = &commands;
    }
    void TearDown() override {
        gCommands = nullptr;
        for (win::HWND d : made)
            if (win::IsWindow(d)) win::DestroyWindow(d);
        ProviderTest::TearDown();
        ResetNeighbourServices();
    }
    // A modeless dialog of the style given, with one button, shown.
    win::HWND Make(win::DWORD style, win::DWORD exStyle = 0) {
        win::DialogTemplate t;
        t.style = style | win::WS_VISIBLE;
        t.exStyle = exStyle;
        t.caption = "Skinned";
        t.x = 60, t.y = 50, t.cx = 320, t.cy = 200;
        t.items = {{"Button", "OK", win::IDOK, win::BS_DEFPUSHBUTTON | win::WS_VISIBLE, 0, 20, 20,
                    75, 23}};
        win::HWND d = win::CreateDialogIndirectParamA(nullptr, &t, form->Handle(), CommandProc, 0);
        made.push_back(d);
        Pump();
        return d;
    }
    static TacDialogWnd* Adapter(win::HWND d) {
        TacProvider* p = FindDialogProvider(d);
        return p ? p->DialogWnd : nullptr;
    }
    // Whether a point of the window's own rectangle lies inside its region.
    static bool InRegion(win::HWND d, int x, int y) {
        win::HRGN rgn = win::CreateRectRgn(0, 0, 0, 0);
        const bool in = win::GetWindowRgn(d, rgn) != win::ERROR && win::PtInRegion(rgn, x, y);
        win::DeleteObject(rgn);
        return in;
    }
    static win::POINT Centre(win::HWND d, const vcl::TRect& r) {
        win::RECT wr{};
        win::GetWindowRect(d, &wr);
        return {wr.left + (r.Left + r.Right) / 2, wr.top + (r.Top + r.Bottom) / 2};
    }
    std::vector<win::WPARAM> commands;
    std::vector<win::HWND> made;
};

constexpr win::DWORD kCaption = win::WS_POPUP | win::WS_CAPTION;

TEST_F(DialogWindow, FrameAndButtonsFollowTheStyle) {
    const int big = win::GetSystemMetrics(win::SM_CYCAPTION);
    const int small = win::GetSystemMetrics(win::SM_CYSMCAPTION);
    struct Case {
        const char* what;
        win::DWORD style, exStyle;
        int kind, caption;
        std::vector<int> buttons;  // from the right
    } cases[] = {
        {"modal frame", kCaption | win::WS_SYSMENU | win::DS_MODALFRAME, 0, 0, big, {win::HTCLOSE}},
        {"sizeable with boxes",
         kCaption | win::WS_SYSMENU | win::WS_THICKFRAME | win::WS_MAXIMIZEBOX | win::WS_MINIMIZEBOX,
         win::WS_EX_CONTEXTHELP, 3, big,
         {win::HTCLOSE, win::HTMAXBUTTON, win::HTMINBUTTON, win::HTHELP}},
        {"no system menu", kCaption, 0, 3, big, {}},
        {"tool window", kCaption | win::WS_SYSMENU, win::WS_EX_TOOLWINDOW, 4, small, {win::HTCLOSE}},
        {"sizeable tool window", kCaption | win::WS_SYSMENU | win::WS_THICKFRAME,
         win::WS_EX_TOOLWINDOW, 5, small, {win::HTCLOSE}},
        {"pop-up without caption", win::WS_POPUP | win::WS_BORDER | win::WS_SYSMENU, 0, 2, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        win::HWND d = Make(c.style, c.exStyle);
        TacDialogWnd* a = Adapter(d);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->BorderKind, c.kind);
        EXPECT_EQ(a->DialogCaptionHeight(false), c.caption);
        // The system draws no buttons of its own over the skinned ones.
        EXPECT_FALSE(win::GetWindowLongA(d, win::GWL_STYLE) & win::WS_SYSMENU);
        std::vector<int> shown;
        int right = a->Width;
        for (TsCaptionButton* b : a->ShownButtons()) {
            shown.push_back(b->HitCode);
            EXPECT_LE(b->Rect.Right, right) << b->HitCode;
            EXPECT_GT(b->Rect.Width(), 0);
            EXPECT_GE(b->Rect.Top, 0);
            EXPECT_LE(b->Rect.Bottom, a->DialogTopFrameHeight() + 1);
            right = b->Rect.Left;
            EXPECT_EQ(a->HitTest(Centre(d, b->Rect)), b->HitCode);
        }
        EXPECT_EQ(shown, c.buttons);
        // Only a dialog with a full caption is cut to the skin's corners.
        win::HRGN rgn = win::CreateRectRgn(0, 0, 0, 0);
        const int kind = win::GetWindowRgn(d, rgn);
        win::DeleteObject(rgn);
        EXPECT_EQ(kind != win::ERROR, c.kind != 2);
        win::DestroyWindow(d);
        Pump();
    }
}

TEST_F(DialogWindow, RegionLeavesOutTheMaskCorners) {
    UseSynthetic();
    win::HWND d = Make(kCaption | win::WS_SYSMENU | win::DS_MODALFRAME);
    TacDialogWnd* a = Adapter(d);
    ASSERT_NE(a, nullptr);
    ASSERT_FALSE(a->RegionCuts.empty()) << "the synthetic caption has round corners";
    for (const vcl::TRect& cut : a->RegionCuts) {
        EXPECT_FALSE(InRegion(d, cut.Left, cut.Top)) << cut.Left << "," << cut.Top;
    }
    EXPECT_TRUE(InRegion(d, a->Width / 2, a->Height / 2));
}

TEST_F(DialogWindow, PressedButtonsSendTheirCommands) {
    win::HWND d = Make(kCaption | win::WS_SYSMENU | win::WS_THICKFRAME | win::WS_MAXIMIZEBOX |
                           win::WS_MINIMIZEBOX,
                       win::WS_EX_CONTEXTHELP);
    TacDialogWnd* a = Adapter(d);
    ASSERT_NE(a, nullptr);
    const struct {
        TsCaptionButton* button;
        win::WPARAM command;
    } rows[] = {{&a->ButtonClose, win::SC_CLOSE},
                {&a->ButtonMax, win::SC_MAXIMIZE},
                {&a->ButtonMin, win::SC_MINIMIZE},
                {&a->ButtonHelp, win::SC_CONTEXTHELP}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.button->HitCode);
        commands.clear();
        const win::POINT p = Centre(d, row.button->Rect);
        QueueMove(p.x, p.y);
        Pump();
        EXPECT_EQ(a->HotButton, row.button->HitCode);
        EXPECT_EQ(row.button->State, 1);
        Down(p);
        EXPECT_EQ(row.button->State, 2);
        Up(p);
        EXPECT_EQ(commands, std::vector<win::WPARAM>{row.command});
        EXPECT_EQ(a->HotButton, 0);
    }
    // Let go away from the button: nothing is sent.
    commands.clear();
    Down(Centre(d, a->ButtonClose.Rect));
    Up(Centre(d, {0, a->Height / 2, 0, a->Height / 2}));
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(a->ButtonClose.State, 0);
}

TEST_F(DialogWindow, SystemMenuItemsFollowTheStyle) {
    struct Case {
        const char* what;
        win::DWORD style;
        // Restore, Move, Size, Minimize, Maximize, Close: visible, then enabled.
        bool visible[6], enabled[6];
    } cases[] = {
        {"message box", kCaption | win::WS_SYSMENU | win::DS_MODALFRAME,
         {false, true, false, false, false, true},
         {false, true, true, false, false, true}},
        {"sizeable with boxes",
         kCaption | win::WS_SYSMENU | win::WS_THICKFRAME | win::WS_MAXIMIZEBOX | win::WS_MINIMIZEBOX,
         {true, true, true, true, true, true},
         {false, true, true, true, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        win::HWND d = Make(c.style);
        TacDialogWnd* a = Adapter(d);
        ASSERT_NE(a, nullptr);
        TacSystemMenu* m = a->SystemMenu;
        const char* names[] = {"miRestore", "miMove", "miSize", "miMinimize", "miMaximize", "miClose"};
        vcl::TMenuItem* items[] = {m->ItemRestore, m->ItemMove,     m->ItemSize,
                                   m->ItemMinimize, m->ItemMaximize, m->ItemClose};
        for (int i = 0; i < 6; ++i) {
            SCOPED_TRACE(names[i]);
            EXPECT_EQ(items[i]->Name(), names[i]);
            EXPECT_EQ(items[i]->Visible(), c.visible[i]);
            EXPECT_EQ(items[i]->Enabled(), c.enabled[i]);
        }
        // A line between Maximize and Close.
        EXPECT_EQ(m->Items()->Items(5)->Caption(), "-");
        commands.clear();
        m->ItemClose->Click();
        EXPECT_EQ(commands, std::vector<win::WPARAM>{win::SC_CLOSE});
        win::DestroyWindow(d);
        Pump();
    }
}

TEST_F(DialogWindow, OneBrushPerSkinFreedWithTheAdapter) {
    win::HWND d = Make(kCaption | win::WS_SYSMENU | win::DS_MODALFRAME);
    ASSERT_NE(Adapter(d), nullptr);
    auto brush = [d] {
        return reinterpret_cast<win::HGDIOBJ>(win::SendMessageA(d, win::WM_CTLCOLORDLG, 0, 0));
    };
    win::HGDIOBJ first = brush();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(brush(), first);
    // A static that paints itself is given the same background.
    EXPECT_EQ(reinterpret_cast<win::HGDIOBJ>(win::SendMessageA(d, win::WM_CTLCOLORSTATIC, 0, 0)),
              first);
    Command(d, SKC_NEWSKIN, reinterpret_cast<intptr_t>(manager.get()));
    win::HGDIOBJ second = brush();
    EXPECT_EQ(win::GetObjectType(first), 0u) << "the old skin's brush is deleted";
    manager->SetActive(false);
    Pump();
    EXPECT_EQ(FindDialogProvider(d), nullptr);
    EXPECT_EQ(win::GetObjectType(second), 0u);
    // The window has its own buttons and shape back.
    EXPECT_TRUE(win::GetWindowLongA(d, win::GWL_STYLE) & win::WS_SYSMENU);
    win::HRGN rgn = win::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(win::GetWindowRgn(d, rgn), win::ERROR);
    win::DeleteObject(rgn);
    EXPECT_FALSE(SendSkinQuery(d, SKC_ISSKINAWARE));
}

TEST_F(DialogWindow, ShowAndHideAnimateWhenAsked) {
    manager->AnimEffects()->DialogShow.Time = 20;
    manager->AnimEffects()->DialogHide.Time = 20;
    win::HWND d = Make(kCaption | win::WS_SYSMENU | win::DS_MODALFRAME);
    TacDialogWnd* a = Adapter(d);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->ShowAnimations, 1);
    win::ShowWindow(d, win::SW_HIDE);
    Pump();
    EXPECT_EQ(a->HideAnimations, 1);
    EXPECT_FALSE(win::IsWindowVisible(d));
    manager->AnimEffects()->DialogShow.Active = false;
    win::ShowWindow(d, win::SW_SHOW);
    Pump();
    EXPECT_EQ(a->ShowAnimations, 1);
    EXPECT_TRUE(win::IsWindowVisible(d));
}

class DialogBorders : public DialogWindow {
protected:
    void SetUp() override {
        DialogWindow::SetUp();
        InitSkinLibrary();  // the built-in shadow pictures
        manager->SetExtendedBorders(true);
        ASSERT_TRUE(manager->ExtendedBorders());
    }
    void TearDown() override {
        DialogWindow::TearDown();
        FinalizeSkinLibrary();
    }
    static win::RECT RectOf(win::HWND w) {
        win::RECT r{};
        win::GetWindowRect(w, &r);
        return r;
    }
};

TEST_F(DialogBorders, AMessageBoxWearsABorderWindowThatFollowsItAndGoesWithIt) {
    win::HWND d = Make(kCaption | win::WS_SYSMENU | win::DS_MODALFRAME);
    TacDialogWnd* a = Adapter(d);
    ASSERT_NE(a, nullptr);
    auto* border = dynamic_cast<TacBorderForm*>(a->BorderForm());
    ASSERT_NE(border, nullptr);
    const win::HWND bw = border->Handle();
    const vcl::TRect m = a->GetDialogFrameMargins();
    ASSERT_GT(m.Left + m.Top + m.Right + m.Bottom, 0);
    // Around the box, its picture the frame cache grown by the shadow margins.
    auto expectAround = [&](const char* when) {
        SCOPED_TRACE(when);
        const win::RECT dr = RectOf(d), br = RectOf(bw);
        EXPECT_TRUE(win::IsWindowVisible(bw));
        EXPECT_EQ(br.left, dr.left - m.Left);
        EXPECT_EQ(br.top, dr.top - m.Top);
        EXPECT_EQ(br.right, dr.right + m.Right);
        EXPECT_EQ(br.bottom, dr.bottom + m.Bottom);
    };
    expectAround("shown");
    // The box keeps its client part; the caption is the border window's.
    const int top = a->DialogTopFrameHeight();
    EXPECT_FALSE(InRegion(d, a->Width / 2, top / 2));
    EXPECT_TRUE(InRegion(d, a->Width / 2, top + 1));

    // Its close button, hot under the mouse and pressed through the border window.
    const win::RECT br = RectOf(bw);
    const vcl::TRect& close = a->ButtonClose.Rect;
    const win::POINT p{br.left + (close.Left + close.Right) / 2,
                       br.top + (close.Top + close.Bottom) / 2};
    EXPECT_EQ(win::WindowFromPoint(p), bw);
    QueueMove(p.x, p.y);
    Pump();
    EXPECT_EQ(a->HotButton, win::HTCLOSE);
    commands.clear();
    Click(p);
    EXPECT_EQ(commands, std::vector<win::WPARAM>{win::SC_CLOSE});

    win::SetWindowPos(d, nullptr, 200, 150, 0, 0, win::SWP_NOSIZE | win::SWP_NOZORDER);
    Pump();
    expectAround("moved");
    win::ShowWindow(d, win::SW_HIDE);
    Pump();
    EXPECT_FALSE(win::IsWindowVisible(bw));
    win::ShowWindow(d, win::SW_SHOW);
    Pump();
    expectAround("shown again");
    win::DestroyWindow(d);
    Pump();
    EXPECT_FALSE(win::IsWindow(bw));
}

}  // namespace
}  // namespace skin::testing

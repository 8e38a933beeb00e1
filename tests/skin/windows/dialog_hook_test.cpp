// The creation hook: forms the application made without a provider get one from the library
// while the skin is in force, system dialogs their dialog adapter and child adapters, pop-up
// menu windows theirs; everything is given back with the skin.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <typeinfo>
#include <vector>

#include "platform/user/dialog_manager.h"
#include "platform/user/menus.h"
#include "platform/user/message_box.h"
#include "platform/user/user.h"
#include "skin/core/data/internal_skin.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/skin_commands.h"
#include "skin/windows/adapters/button_adapters.h"
#include "skin/windows/adapters/container_adapters.h"
#include "skin/windows/adapters/sizer_spin_adapters.h"
#include "skin/windows/adapters/static_adapters.h"
#include "skin/windows/dialogs/dialog_hook.h"
#include "skin/windows/dialogs/dialog_position.h"
#include "skin/windows/dialogs/dialog_window.h"
#include "skin/windows/provider/skin_provider.h"
#include "skin/windows/scroll/edit_wnd.h"
#include "skin/windows/scroll/menu_wnd_adapters.h"
#include "tests/skin/windows/windows_fixture.h"
#include "tests/support/modal_script.h"

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
        SetMenuWndFactory(nullptr);
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
        bool listed = false;
        vcl::TFormBorderStyle border = vcl::bsSizeable;
    } cases[] = {
        {"auxiliary tag", -98, {srStdForms, srStdDialogs}},
        {"tag -1 covers it too", -1, {srStdForms}},
        {"standard forms not admitted", 0, {srStdDialogs, srThirdParty}},
        {"class listed as never skinned", 0, {srStdForms}, true},
        {"pop-up without a border", 0, {srStdForms}, false, vcl::bsNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        manager->SetSkinningRules(c.rules);
        const std::vector<std::string> kept = NoSkinFormClasses;
        auto* f = vcl::New<vcl::TForm>(vcl::Application());
        f->SetBorderStyle(c.border);
        f->SetBounds(100, 80, 300, 200);
        f->SetTag(c.tag);
        if (c.listed) NoSkinFormClasses.push_back(GetWindowClassName(f->Handle()));
        f->Show();
        Pump();
        EXPECT_FALSE(Aware(f));
        EXPECT_TRUE(RecordsOf(f).empty());
        NoSkinFormClasses = kept;
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

// The adapters a message box's record holds, by kind.
struct BoxSeen {
    bool dialog = false;
    int statics = 0, buttons = 0;
};

TEST_F(DialogHook, MessageBoxIsSkinnedOnlyWhenDialogsAreAdmitted) {
    for (const bool admitted : {true, false}) {
        SCOPED_TRACE(admitted);
        manager->SetSkinningRules(admitted ? TacSkinningRules{srStdForms, srStdDialogs}
                                           : TacSkinningRules{srStdForms});
        BoxSeen seen;
        testing_support::Script script({
            [&](win::HWND box) {
                TacProvider* p = FindDialogProvider(box);
                seen.dialog = p && p->DialogWnd && SendSkinQuery(box, SKC_ISSKINAWARE);
                if (!p) return;
                for (TacMainWnd* a : p->ChildAdapters) {
                    seen.statics += dynamic_cast<TacStaticWnd*>(a) != nullptr;
                    seen.buttons += dynamic_cast<TacBtnWnd*>(a) != nullptr;
                }
                // Closed through the skinned close button.
                ASSERT_TRUE(p->DialogWnd);
                win::RECT wr{};
                win::GetWindowRect(box, &wr);
                const vcl::TRect& r = p->DialogWnd->ButtonClose.Rect;
                const win::POINT at{wr.left + (r.Left + r.Right) / 2, wr.top + (r.Top + r.Bottom) / 2};
                QueueMove(at.x, at.y);
                win::QueueMouseEvent(win::MouseEvent{win::MouseEvent::Down, at, win::MouseButton::Left});
                win::QueueMouseEvent(win::MouseEvent{win::MouseEvent::Up, at, win::MouseButton::Left});
            },
        });
        const int answer = win::MessageBoxA(form->Handle(), "Text", "Caption",
                                            win::MB_OKCANCEL | win::MB_ICONINFORMATION);
        EXPECT_EQ(seen.dialog, admitted);
        if (admitted) {
            EXPECT_TRUE(script.Finished());
            EXPECT_EQ(answer, win::IDCANCEL);
            EXPECT_GE(seen.statics, 2) << "the icon and the text";
            EXPECT_EQ(seen.buttons, 2);
        } else {
            EXPECT_EQ(seen.statics + seen.buttons, 0);
        }
        // The record goes at the next window destruction after the box's end.
        win::DestroyWindow(win::CreateWindowExA(0, "Static", "", 0, 0, 0, 1, 1, nullptr, nullptr,
                                                nullptr, nullptr));
        EXPECT_TRUE(Neighbours().HookedWindows().empty());
    }
}

// What adapter a dialog child got, by its class.
std::string KindOf(TacMainWnd* a) {
    if (!a) return "none";
    if (dynamic_cast<TacIconWnd*>(a)) return "icon";
    if (dynamic_cast<TacStaticWnd*>(a)) return "static";
    if (dynamic_cast<TacCheckBoxWnd*>(a)) return "check";
    if (dynamic_cast<TacGroupBoxWnd*>(a)) return "group";
    if (dynamic_cast<TacBtnWnd*>(a)) return "button";
    if (dynamic_cast<TacEditWnd*>(a)) return a->InDialog ? "edit in dialog" : "edit";
    if (dynamic_cast<TacSizerWnd*>(a)) return "sizer";
    if (dynamic_cast<TacSpinWnd*>(a)) return "spin";
    return "other";
}

TEST_F(DialogHook, DialogChildrenGetTheAdapterOfTheirRow) {
    struct Row {
        const char* cls;
        win::DWORD style;
        const char* kind;
    } rows[] = {
        {"Static", 3, "icon"},           {"Static", 0, "static"},
        {"Static", 5, "none"},           {"Button", 0, "button"},
        {"Button", 0xA, "button"},       {"Button", 3, "check"},
        {"Button", 9, "check"},          {"Button", 7, "group"},
        {"Button", 0xB, "none"},         {"Button", 0xE, "none"},
        {"Edit", 0, "edit in dialog"},   {"ListBox", 0, "edit in dialog"},
        {"ScrollBar", 0, "sizer"},       {"msctls_updown32", 0, "spin"},
        {"ComboBox", 0, "none"},         {"SysListView32", 0, "none"},
    };
    // The rows whose classes are made elsewhere ask their creator, in dialog-child mode.
    std::vector<std::string> asked;
    for (const char* row : {"combobox", "syslistview32"}) {
        SetDialogChildFactory(row, [&asked, row](win::HWND, TsSkinManager*,
                                                 const std::string& section) -> TacMainWnd* {
            asked.push_back(std::string(row) + " " + section + (DialogChildMode ? " in" : ""));
            return nullptr;
        });
    }
    win::DialogTemplate t;
    t.style = win::WS_POPUP | win::WS_CAPTION | win::WS_SYSMENU | win::WS_VISIBLE;
    t.caption = "Children";
    t.cx = 400, t.cy = 600;
    int y = 0;
    for (const Row& r : rows)
        t.items.push_back({r.cls, "x", 100 + y, r.style | win::WS_VISIBLE, 0, 5, 5 + 30 * y++, 80, 24});
    auto proc = [](win::HWND, win::UINT msg, win::WPARAM, win::LPARAM) -> win::INT_PTR {
        return msg == win::WM_INITDIALOG;
    };
    win::HWND d = win::CreateDialogIndirectParamA(nullptr, &t, form->Handle(), proc, 0);
    Pump();
    TacProvider* p = FindDialogProvider(d);
    ASSERT_TRUE(p && p->DialogWnd);
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(::testing::Message() << rows[i].cls << " " << rows[i].style);
        win::HWND child = win::GetDlgItem(d, int(100 + i));
        TacMainWnd* found = nullptr;
        for (TacMainWnd* a : p->ChildAdapters)
            if (a->CtrlHandle == child) found = a;
        EXPECT_EQ(KindOf(found), rows[i].kind);
    }
    // Asked again at each rescan while they make nothing.
    EXPECT_EQ(std::set<std::string>(asked.begin(), asked.end()),
              (std::set<std::string>{"combobox COMBOBOX in", "syslistview32 EDIT in"}));
    EXPECT_FALSE(p->DialogWnd->DrawClientSelf) << "an edit draws over the client area";
    EXPECT_FALSE(DialogChildMode);
    SetDialogChildFactory("combobox", nullptr);
    SetDialogChildFactory("syslistview32", nullptr);
    win::DestroyWindow(d);
    Pump();
}

// A dialog's up-down draws its halves from x = 2: the two columns before them show the dialog.
TEST_F(DialogHook, ADialogsUpDownHalvesBeginTwoPixelsIn) {
    win::DialogTemplate t;
    t.style = win::WS_POPUP | win::WS_CAPTION | win::WS_VISIBLE;
    t.cx = 120, t.cy = 80;
    t.items.push_back({"msctls_updown32", "", 100, win::WS_VISIBLE, 0, 20, 10, 12, 24});
    win::HWND d = win::CreateDialogIndirectParamA(nullptr, &t, form->Handle(), nullptr, 0);
    win::HWND spin = win::GetDlgItem(d, 100);
    win::RECT sr{};
    win::GetWindowRect(spin, &sr);
    // The upper half pressed, so that its face shows; left of the spin lies the dialog.
    win::SetCursorPos(sr.left + 6, sr.top + 3);
    win::SendMessageA(spin, win::WM_LBUTTONDOWN, win::MK_LBUTTON, 0);
    Pump();
    for (int x : {0, 1, 2})
        EXPECT_EQ(WindowPixel(spin, x, 3) == WindowPixel(spin, -1, 3), x < 2) << x;
    win::DestroyWindow(d);
}

// The first goes where it is asked; the second stays plain while the first is shown.
TEST_F(DialogHook, SecondDialogStaysPlainWhileOneIsShown) {
    win::DialogTemplate t;
    t.style = win::WS_POPUP | win::WS_CAPTION | win::WS_SYSMENU | win::WS_VISIBLE;
    t.caption = "First";
    t.cx = 200, t.cy = 120;
    auto proc = [](win::HWND, win::UINT msg, win::WPARAM, win::LPARAM) -> win::INT_PTR {
        return msg == win::WM_INITDIALOG;
    };
    win::HWND first = nullptr;
    {
        TDialogPlacement at(123, 45);
        first = win::CreateDialogIndirectParamA(nullptr, &t, form->Handle(), proc, 0);
    }
    win::HWND second = win::CreateDialogIndirectParamA(nullptr, &t, form->Handle(), proc, 0);
    Pump();
    EXPECT_TRUE(SendSkinQuery(first, SKC_ISSKINAWARE));
    EXPECT_FALSE(SendSkinQuery(second, SKC_ISSKINAWARE));
    win::RECT r{};
    win::GetWindowRect(first, &r);
    EXPECT_EQ(r.left, 123);
    EXPECT_EQ(r.top, 45);
    win::DestroyWindow(second);
    win::DestroyWindow(first);
    Pump();
}

TEST_F(DialogHook, PopupMenuWindowsAreHookedOnlyWithSkinnedPopups) {
    std::vector<win::HWND> asked;
    SetMenuWndFactory([&](win::HWND wnd, TsSkinManager* m) -> TacMnuWnd* {
        EXPECT_EQ(m, manager.get());
        asked.push_back(wnd);
        return nullptr;
    });
    // The menu takes its keys while its owner is active.
    form->Show();
    Pump();
    win::HMENU menu = win::CreatePopupMenu();
    win::AppendMenuA(menu, win::MF_STRING, 1, "Item");
    const struct {
        const char* what;
        bool skinned, composition;
        size_t hooked;
    } cases[] = {
        {"skinned pop-ups", true, false, 1},
        {"classic pop-ups", false, false, 0},
        {"composition on", true, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        asked.clear();
        manager->SetSkinnedPopups(c.skinned);
        Neighbours().IsDwmCompositionEnabled = [&c] { return c.composition; };
        testing_support::QueueType("\x1b");
        win::TrackPopupMenu(menu, win::TPM_RETURNCMD, 10, 10, 0, form->Handle(), nullptr);
        EXPECT_EQ(asked.size(), c.hooked);
    }
    win::DestroyMenu(menu);
}

// Windows of every kind made, shown, activated and destroyed in random order with the hook in,
// while the skin changes and goes: nothing is left behind once the hook is out.
TEST_F(DialogHook, RandomWindowsWhileTheSkinChanges) {
    std::mt19937 rng(30);
    auto pick = [&rng](int n) { return int(rng() % unsigned(n)); };
    int menusAsked = 0, dialogsSkinned = 0;
    SetMenuWndFactory([&](win::HWND, TsSkinManager*) -> TacMnuWnd* {
        ++menusAsked;
        return nullptr;
    });
    auto proc = [](win::HWND, win::UINT msg, win::WPARAM, win::LPARAM) -> win::INT_PTR {
        return msg == win::WM_INITDIALOG;
    };
    form->Show();
    std::vector<vcl::TForm*> forms;
    std::vector<win::HWND> dialogs;
    win::HMENU menu = win::CreatePopupMenu();
    win::AppendMenuA(menu, win::MF_STRING, 1, "One");
    win::AppendMenuA(menu, win::MF_STRING, 2, "Two");
    for (int step = 0; step < 160; ++step) {
        SCOPED_TRACE(step);
        switch (pick(10)) {
            case 0:
                forms.push_back(Second(pick(4) == 0 ? -98 : 0));
                break;
            case 1: {
                win::DialogTemplate t;
                t.style = win::WS_POPUP | win::WS_CAPTION | win::WS_SYSMENU |
                          (pick(2) ? win::WS_THICKFRAME : win::DS_MODALFRAME) |
                          (pick(2) ? win::WS_VISIBLE : 0);
                t.exStyle = pick(3) == 0 ? win::WS_EX_TOOLWINDOW : 0;
                t.caption = "Random";
                t.cx = pick(400), t.cy = pick(300);
                t.items = {{"Button", "OK", 1, win::WS_VISIBLE, 0, 5, 5, 60, 20},
                           {"Static", "Text", 2, win::WS_VISIBLE, 0, 5, 30, 60, 20},
                           {"Edit", "", 3, win::WS_VISIBLE | win::WS_BORDER, 0, 5, 55, 60, 20},
                           {"Button", "Check", 4, win::WS_VISIBLE | 3, 0, 5, 80, 60, 20}};
                if (win::HWND d = win::CreateDialogIndirectParamA(nullptr, &t, form->Handle(),
                                                                  proc, 0))
                    dialogs.push_back(d);
                break;
            }
            case 2:
                testing_support::QueueType("\x1b");
                win::MessageBoxA(form->Handle(), "Box", "Random", win::MB_YESNOCANCEL);
                break;
            case 3:
                manager->SetSkinnedPopups(pick(2) != 0);
                win::SetActiveWindow(form->Handle());
                testing_support::QueueType("\x1b");
                win::TrackPopupMenu(menu, win::TPM_RETURNCMD, pick(300), pick(300), 0,
                                    form->Handle(), nullptr);
                break;
            case 4:
                if (!dialogs.empty()) {
                    win::HWND d = dialogs[size_t(pick(int(dialogs.size())))];
                    win::ShowWindow(d, pick(2) ? win::SW_SHOW : win::SW_HIDE);
                    // Now and then from nothing up to a frame far larger than the screen.
                    const bool huge = pick(8) == 0;
                    if (pick(2))
                        win::SetWindowPos(d, nullptr, 0, 0, huge ? pick(4001) : pick(500),
                                          huge ? pick(3001) : pick(400),
                                          win::SWP_NOMOVE | win::SWP_NOZORDER);
                }
                break;
            case 5:
                if (!forms.empty()) win::SetActiveWindow(forms[size_t(pick(int(forms.size())))]->Handle());
                else if (!dialogs.empty()) win::SetActiveWindow(dialogs.back());
                break;
            case 6:
                if (!dialogs.empty()) {
                    const size_t i = size_t(pick(int(dialogs.size())));
                    win::DestroyWindow(dialogs[i]);
                    dialogs.erase(dialogs.begin() + std::ptrdiff_t(i));
                }
                break;
            case 7:
                if (!forms.empty()) {
                    const size_t i = size_t(pick(int(forms.size())));
                    forms[i]->Free();
                    forms.erase(forms.begin() + std::ptrdiff_t(i));
                }
                break;
            case 8:
                manager->SetActive(pick(3) != 0);
                break;
            default:
                manager->SetSkinName(InternalSkinName());
                break;
        }
        Pump();
        for (win::HWND wnd : Neighbours().HookedWindows()) EXPECT_TRUE(win::IsWindow(wnd));
        dialogsSkinned += int(Neighbours().HookedWindows().size());
    }
    EXPECT_GT(menusAsked, 0);
    EXPECT_GT(dialogsSkinned, 0);
    manager->SetActive(false);
    EXPECT_TRUE(HookedProviders.empty());
    EXPECT_TRUE(MenuWndAdapters().empty());
    for (win::HWND d : dialogs) {
        EXPECT_FALSE(SendSkinQuery(d, SKC_ISSKINAWARE));
        win::DestroyWindow(d);
    }
    for (vcl::TForm* f : forms) f->Free();
    win::DestroyMenu(menu);
    Pump();
}

}  // namespace
}  // namespace skin::testing

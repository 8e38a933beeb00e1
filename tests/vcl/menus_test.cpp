#include "vcl/menus.h"

#include <gtest/gtest.h>

#include "tests/vcl/gui_fixture.h"

namespace vcl::testing {
namespace {

TMenuItem* Item(TComponent* owner, const char* caption, TMenuItem* parent) {
    auto* i = New<TMenuItem>(owner);
    i->SetCaption(caption);
    parent->Add(i);
    return i;
}

std::string NativeText(win::HMENU m, int pos) {
    char buf[128] = {};
    win::GetMenuStringA(m, static_cast<win::UINT>(pos), buf, sizeof buf, win::MF_BYPOSITION);
    return buf;
}

using MenusTest = GuiTest;

TEST_F(MenusTest, NativeMenuFollowsTheItems) {
    TForm* form = nullptr;
    Application()->CreateForm(form);
    auto* menu = New<TMainMenu>(form);
    TMenuItem* file = Item(form, "&List", menu->Items());
    TMenuItem* save = Item(form, "Save...", file);
    save->SetShortCut(ShortCut('S', {ssCtrl}));
    TMenuItem* line = Item(form, "-", file);
    TMenuItem* hidden = Item(form, "Hidden", file);
    hidden->SetVisible(false);
    TMenuItem* exit = Item(form, "Exit", file);
    exit->SetChecked(true);
    form->SetMenu(menu);
    form->Show();
    Pump();
    win::HMENU bar = win::GetMenu(form->Handle());
    ASSERT_EQ(bar, menu->Handle());
    win::HMENU sub = win::GetSubMenu(bar, 0);
    ASSERT_EQ(win::GetMenuItemCount(sub), 3);  // the hidden item is left out
    EXPECT_EQ(NativeText(sub, 0), "Save...\tCtrl+S");
    EXPECT_TRUE(win::GetMenuState(sub, 1, win::MF_BYPOSITION) & win::MF_SEPARATOR);
    EXPECT_TRUE(win::GetMenuState(sub, 2, win::MF_BYPOSITION) & win::MF_CHECKED);
    (void)line;

    // Commands and short-cuts reach the items.
    int saves = 0;
    save->OnClick = TNotifyEvent::FromCallable([&](TObject*) { ++saves; });
    win::SendMessageA(form->Handle(), win::WM_COMMAND, save->Command(), 0);
    EXPECT_TRUE(form->IsShortCut('S', {ssCtrl}));
    save->SetEnabled(false);
    EXPECT_FALSE(form->IsShortCut('S', {ssCtrl}));
    EXPECT_EQ(saves, 2);
    EXPECT_TRUE(win::GetMenuState(sub, 0, win::MF_BYPOSITION) & win::MF_GRAYED);

    // Freeing an item takes it out of the native menu; freeing the menu leaves no menu bar.
    exit->Free();
    EXPECT_EQ(win::GetMenuItemCount(sub), 2);
    EXPECT_EQ(file->Find("save..."), save);
    menu->Free();
    EXPECT_EQ(form->Menu(), nullptr);
    EXPECT_EQ(win::GetMenu(form->Handle()), nullptr);
}

TEST_F(MenusTest, PopupRunsTheChosenItemAndOwnerDrawingAsksTheItems) {
    TForm* form = nullptr;
    Application()->CreateForm(form);
    form->Show();
    Pump();
    auto* popup = New<TPopupMenu>(form);
    TMenuItem* insert = Item(form, "Insert", popup->Items());
    TMenuItem* clear = Item(form, "Clear", popup->Items());
    int measured = 0, drawn = 0, popups = 0;
    std::string chosen;
    popup->OnPopup = TNotifyEvent::FromCallable([&](TObject*) { ++popups; });
    for (TMenuItem* i : {insert, clear}) {
        i->OnClick = TNotifyEvent::FromCallable([&chosen, i](TObject*) { chosen = i->Caption(); });
        i->OnMeasureItem =
            TMenuMeasureItemEvent::FromCallable([&](TObject*, TCanvas*, int& w, int& h) {
                ++measured;
                w = 80;
                h = 20;
            });
        i->OnAdvancedDrawItem = TAdvancedMenuDrawItemEvent::FromCallable(
            [&](TObject*, TCanvas*, TRect, TOwnerDrawState) { ++drawn; });
    }
    popup->SetOwnerDraw(true);
    QueueKey(win::VK_DOWN);
    QueueKey(win::VK_DOWN);
    QueueKey(win::VK_RETURN, '\r');
    popup->Popup(200, 200);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(chosen, "Clear");
    EXPECT_GE(measured, 2);
    EXPECT_GE(drawn, 2);
    // Escape closes the menu without a choice.
    chosen.clear();
    QueueKey(win::VK_ESCAPE, 27);
    popup->Popup(200, 200);
    EXPECT_TRUE(chosen.empty());
}

}  // namespace
}  // namespace vcl::testing

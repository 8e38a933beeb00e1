#include "vcl/controls/menus.h"

#include <gtest/gtest.h>

#include "tests/vcl/gui_fixture.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/system/exceptions.h"
#include "vcl/controls/forms.h"

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

namespace vcl::testing {
namespace {

TEST(ShortCuts, TextsInTheClassLibraryForm) {
    EXPECT_EQ(ShortCutToText(ShortCut('S', {ssCtrl})), "Ctrl+S");
    EXPECT_EQ(ShortCutToText(ShortCut(win::VK_DELETE, {ssShift})), "Shift+Del");
    EXPECT_EQ(ShortCutToText(ShortCut(win::VK_F1, {})), "F1");
    EXPECT_EQ(ShortCutToText(ShortCut(win::VK_F1 + 11, {ssAlt})), "Alt+F12");
    EXPECT_EQ(ShortCutToText(ShortCut('9', {ssShift, ssCtrl, ssAlt})), "Shift+Ctrl+Alt+9");
    EXPECT_EQ(ShortCutToText(ShortCut(win::VK_RETURN, {})), "Enter");
    EXPECT_EQ(ShortCutToText(0x07), "");  // a key without a name
    uint16_t key = 0;
    TShiftState shift;
    ShortCutToKey(ShortCut(win::VK_INSERT, {ssCtrl, ssShift}), key, shift);
    EXPECT_EQ(key, win::VK_INSERT);
    EXPECT_TRUE(shift == (TShiftState{ssCtrl, ssShift}));
}

TEST(ShortCuts, TextsReadBackIntoTheShortCutsTheyName) {
    for (int mods : {0, scShift | scAlt, +scCtrl, scShift | scCtrl | scAlt})
        for (int key = 1; key <= 0xFF; ++key) {
            const auto s = static_cast<TShortCut>(key | mods);
            if (const std::string text = ShortCutToText(s); !text.empty()) {
                EXPECT_EQ(TextToShortCut(text), s) << text;
            }
        }
    EXPECT_EQ(TextToShortCut("alt+SHIFT+f4"), ShortCut(win::VK_F1 + 3, {ssAlt, ssShift}));
    for (const char* bad : {"", "Ctrl+", "Ctrl+Nope", "Ctrl S", "Meta+S", "F13"})
        EXPECT_EQ(TextToShortCut(bad), scNone) << bad;
}

TEST_F(MenusTest, RadioGroupsDefaultItemsAndTheItemList) {
    TForm* form = nullptr;
    Application()->CreateForm(form);
    auto* popup = New<TPopupMenu>(form);
    TMenuItem* root = popup->Items();
    TMenuItem* a = Item(form, "A", root);
    TMenuItem* b = Item(form, "B", root);
    TMenuItem* other = Item(form, "Other", root);
    for (TMenuItem* i : {a, b, other})
        i->SetRadioItem(true);
    other->SetGroupIndex(2);
    a->SetChecked(true);
    other->SetChecked(true);
    b->SetChecked(true);  // unchecks A, its own group only
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(other->Checked());
    win::HMENU native = popup->Handle();
    win::MENUITEMINFOA mi;
    mi.fMask = win::MIIM_FTYPE | win::MIIM_STATE;
    ASSERT_TRUE(win::GetMenuItemInfoA(native, 1, win::TRUE, &mi));
    EXPECT_TRUE(mi.fType & win::MFT_RADIOCHECK);
    EXPECT_TRUE(mi.fState & win::MFS_CHECKED);
    EXPECT_FALSE(win::GetMenuState(native, 0, win::MF_BYPOSITION) & win::MF_CHECKED);

    // One default item per list.
    a->SetDefault(true);
    b->SetDefault(true);
    EXPECT_FALSE(a->Default());
    EXPECT_EQ(win::GetMenuDefaultItem(native, win::TRUE, 0), 1u);

    // Insert, Delete (which frees), Remove (which does not) and Clear.
    auto* first = New<TMenuItem>(form);
    first->SetCaption("First");
    root->Insert(0, first);
    EXPECT_EQ(root->IndexOf(first), 0);
    EXPECT_EQ(NativeText(native, 0), "First");
    EXPECT_THROW(root->Insert(0, first), EMenuError);  // already in a menu
    EXPECT_THROW(root->Insert(9, New<TMenuItem>(form)), EListError);
    root->Delete(0);
    EXPECT_EQ(root->Count(), 3);
    root->Remove(other);
    EXPECT_EQ(other->Parent(), nullptr);
    EXPECT_EQ(win::GetMenuItemCount(native), 2);
    other->Free();
    b->Free();  // its owner's freeing takes it out of the list
    EXPECT_EQ(root->Count(), 1);
    EXPECT_EQ(win::GetMenuItemCount(native), 1);
    root->Clear();
    EXPECT_EQ(root->Count(), 0);
    EXPECT_EQ(win::GetMenuItemCount(native), 0);
    EXPECT_THROW(root->Items(0), EListError);
}

TEST_F(MenusTest, OwnerDrawnItemsWithoutHandlersPaintTheClassicLook) {
    auto* menu = New<TPopupMenu>(nullptr);
    auto* item = New<TMenuItem>(menu);
    item->SetCaption("&Save");
    item->SetShortCut(ShortCut('S', {ssCtrl}));
    menu->Items()->Add(item);
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(120, 20);
    int w = 0, h = 0;
    item->MeasureItem(bmp.Canvas(), w, h);
    EXPECT_GT(w, bmp.Canvas()->TextWidth("Save"));
    EXPECT_GE(h, 19);
    item->AdvancedDrawItem(bmp.Canvas(), Rect(0, 0, 120, 20), TOwnerDrawState{odSelected});
    EXPECT_EQ(ColorToRGB(bmp.Canvas()->Pixels(1, 1)), ColorToRGB(clHighlight));
    item->AdvancedDrawItem(bmp.Canvas(), Rect(0, 0, 120, 20), TOwnerDrawState{});
    EXPECT_EQ(ColorToRGB(bmp.Canvas()->Pixels(1, 1)), ColorToRGB(clMenu));
    menu->Free();
}

}  // namespace
}  // namespace vcl::testing

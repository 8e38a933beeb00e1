// The skinned menus under the internal skin: measuring, the painting of pop-up items, the
// pop-up windows (background, region, hot item on the screen), the handlers an application
// keeps, the bar's hot item while the menu bar is tracked, and the system menu's skins.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>
#include <memory>
#include <random>

#include "platform/display/screenshot.h"
#include "platform/os/cp_literal.h"
#include "platform/gdi/gdi.h"
#include "platform/user/input.h"
#include "platform/user/user.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/common_data.h"
#include "skin/windows/menus/skinned_menus.h"
#include "skin/windows/provider/system_menu.h"
#include "skin/windows/scroll/menu_wnd_adapters.h"
#include "tests/skin/windows/provider_fixture.h"
#include "tests/support/temp_dir.h"

namespace skin::testing {
namespace {

using vcl::TMenuItem;

// The internal skin's "MENUITEM" colours.
constexpr win::COLORREF kItemColour = 0xF7F5F4, kItemHotColour = 0x994C1A;

// Runs the steps one at a time as a menu loop of the spied window goes idle (a key queued by a
// step is handled before the next), then closes the menu with Esc.
std::vector<std::function<void()>> g_steps;
win::WNDPROC g_ownerProc = nullptr;
void TapKey(win::UINT vk) {
    win::QueueKeyEvent(win::KeyEvent{vk, true});
    win::QueueKeyEvent(win::KeyEvent{vk, false});
}
win::LRESULT IdleSpy(win::HWND h, win::UINT msg, win::WPARAM wp, win::LPARAM lp) {
    if (msg == win::WM_ENTERIDLE && !g_steps.empty()) {
        auto step = std::move(g_steps.front());
        g_steps.erase(g_steps.begin());
        step();
        if (g_steps.empty())
            for (int i = 0; i < 3; ++i) TapKey(win::VK_ESCAPE);
    }
    return win::CallWindowProcA(g_ownerProc, h, msg, wp, lp);
}
void WhenIdle(win::HWND owner, std::vector<std::function<void()>> steps) {
    g_steps = std::move(steps);
    g_ownerProc = reinterpret_cast<win::WNDPROC>(win::SetWindowLongPtrA(
        owner, win::GWLP_WNDPROC, reinterpret_cast<win::LONG_PTR>(&IdleSpy)));
}
void StopSpying(win::HWND owner) {
    win::SetWindowLongPtrA(owner, win::GWLP_WNDPROC, reinterpret_cast<win::LONG_PTR>(g_ownerProc));
}

class SkinnedMenus : public ProviderTest {
protected:
    void SetUp() override {
        // The manager makes its painter when it is made, so the slots go first.
        InitSkinnedMenus();
        ProviderTest::SetUp();
        menus = dynamic_cast<TsSkinableMenus*>(manager->SkinableMenus());
        ASSERT_NE(menus, nullptr);
        // The icon column, as the program's manager names it once loaded.
        manager->MenuSupport()->IcoLineSkin = "ICOLINE";
        popup = vcl::New<vcl::TPopupMenu>(vcl::Application());
    }
    void TearDown() override {
        ProviderTest::TearDown();
        TsSkinableMenus::ClearMenuItemRecords();
        SetPopupBackgroundLookup(nullptr);
        SetSkinnedMenuShown(false);
        ResetNeighbourServices();
    }
    TMenuItem* Add(const std::string& caption, TMenuItem* parent = nullptr) {
        auto* item = vcl::New<TMenuItem>(popup);
        item->SetCaption(caption);
        (parent ? parent : popup->Items())->Add(item);
        return item;
    }
    win::SIZE Measure(TMenuItem* item) {
        std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> work(NewBitmap24(1, 1));
        int w = 0, h = 0;
        menus->MeasureMenuItem(item, work->Canvas(), w, h);
        return {w, h};
    }
    // `item` painted alone into a bitmap of its measured size.
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> Paint(TMenuItem* item,
                                                           vcl::TOwnerDrawState state = {}) {
        const win::SIZE s = Measure(item);
        std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> bmp(NewBitmap24(s.cx + 40, s.cy));
        menus->DrawMenuItem(item, bmp->Canvas(), {0, 0, s.cx + 40, s.cy}, state);
        return bmp;
    }
    static win::COLORREF Px(vcl::TBitmap* b, int x, int y) {
        return win::GetPixel(b->Canvas()->Handle(), x, y);
    }
    // Pixels of the column x0 <= x < x1 (all rows) that are not the item colour.
    static int Ink(vcl::TBitmap* b, int x0, int x1) {
        int n = 0;
        for (int y = 0; y < b->Height(); ++y)
            for (int x = x0; x < x1; ++x)
                n += Px(b, x, y) != kItemColour;
        return n;
    }

    TsSkinableMenus* menus = nullptr;
    vcl::TPopupMenu* popup = nullptr;
};

TEST(MenuLineHeight, IsAQuarterAboveTheTextRoundedHalfToEven) {
    const std::pair<int, int> rows[] = {{10, 12}, {12, 15}, {13, 16}, {14, 18}, {18, 22}, {0, 0}};
    for (auto [text, line] : rows)
        EXPECT_EQ(MenuLineHeight(text), line) << text;
}

TEST_F(SkinnedMenus, MeasuresDividersCaptionItemsGlyphsAndColumns) {
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> work(NewBitmap24(1, 1));
    work->Canvas()->Font()->Assign(vcl::Screen()->MenuFont());
    const int line = MenuLineHeight(work->Canvas()->TextHeight("W"));
    const int textW = work->Canvas()->TextWidth("Open");
    ASSERT_GE(line, 16);  // the 16-pixel glyph does not decide the height here

    TMenuItem* open = Add("Open");
    TMenuItem* divider = Add("-");
    TMenuItem* caption = Add("-Tools-");
    TMenuItem* dashes = Add("--");
    EXPECT_EQ(Measure(open).cx, 16 * 2 + textW + 2 * 3 + 6);
    EXPECT_EQ(Measure(open).cy, line + 2 * 2);
    EXPECT_EQ(Measure(divider).cy, 2);
    EXPECT_EQ(Measure(caption).cy, line + 2 * 2);
    EXPECT_EQ(TsSkinableMenus::ItemType(dashes), smCaption);
    EXPECT_EQ(TsSkinableMenus::ItemType(divider), smDivider);

    // A picture of its own decides the glyph column and, when taller, the height.
    open->Bitmap()->SetSize(40, 30);
    EXPECT_EQ(Measure(open).cx, 40 * 2 + textW + 2 * 3 + 6);
    EXPECT_EQ(Measure(open).cy, 30 + 2 * 2);

    // Columns: each the widest of its items plus 12, 4 between; the tallest column's height.
    open->SetBitmap(nullptr);
    divider->SetBreak(vcl::mbBreak);
    const int col1 = std::max(Measure(open).cx, 0);
    const int col2 = std::max({Measure(divider).cx, Measure(caption).cx, Measure(dashes).cx});
    const win::SIZE size = menus->PopupSize(popup->Items());
    EXPECT_EQ(size.cx, col1 + 12 + 4 + col2 + 12);
    EXPECT_EQ(size.cy, 2 + 2 * (line + 4));
}

TEST_F(SkinnedMenus, PaintsHotCheckedDisabledAndShortcutItems) {
    TMenuItem* item = Add("Save");
    const int w = Measure(item).cx + 40;
    EXPECT_EQ(Px(Paint(item).get(), w - 3, 2), kItemColour);
    EXPECT_EQ(Px(Paint(item, {vcl::odSelected}).get(), w - 3, 2), kItemHotColour);

    // Check and radio marks sit in the glyph column, each of its own mask.
    const auto plain = Paint(item), check = Paint(item, {vcl::odChecked});
    item->SetRadioItem(true);
    const auto radio = Paint(item, {vcl::odChecked});
    EXPECT_EQ(Ink(plain.get(), 0, 18), 0);
    EXPECT_GT(Ink(check.get(), 0, 18), 0);
    EXPECT_GT(Ink(radio.get(), 0, 18), 0);
    int differ = 0;
    for (int y = 0; y < check->Height(); ++y)
        for (int x = 0; x < 18; ++x)
            differ += Px(check.get(), x, y) != Px(radio.get(), x, y);
    EXPECT_GT(differ, 0);
    item->SetRadioItem(false);

    // The shortcut text stands at the right end.
    EXPECT_EQ(Ink(plain.get(), w - 40, w), 0);
    item->SetShortCut(vcl::ShortCut('S', {vcl::ssCtrl}));
    const auto keys = Paint(item);
    EXPECT_GT(Ink(keys.get(), keys->Width() - 8 - 20, keys->Width() - 8), 0);

    // Disabled: every pixel is 40 % of the enabled one over the background.
    const auto enabled = Paint(item);
    item->SetEnabled(false);
    const auto disabled = Paint(item);
    int checked = 0;
    for (int y = 0; y < enabled->Height(); ++y)
        for (int x = 0; x < w; ++x) {
            const win::COLORREF e = Px(enabled.get(), x, y), d = Px(disabled.get(), x, y);
            for (int shift : {0, 8, 16}) {
                const int s = (kItemColour >> shift) & 0xFF, en = (e >> shift) & 0xFF;
                ASSERT_EQ(int((d >> shift) & 0xFF), int(std::nearbyint(s - (s - en) * 0.4)))
                    << x << "," << y;
            }
            checked += e != kItemColour;
        }
    EXPECT_GT(checked, 0);
}

TEST_F(SkinnedMenus, SystemMenuCommandsWearWindowButtonGlyphs) {
    popup->SetName("SysMenu");
    const std::pair<unsigned, bool> rows[] = {{win::SC_CLOSE, true},    {win::SC_MINIMIZE, true},
                                              {win::SC_MAXIMIZE, true}, {win::SC_RESTORE, true},
                                              {win::SC_MOVE, false},    {0x1234, false}};
    for (auto [tag, glyph] : rows) {
        TMenuItem* item = Add("Command");
        item->SetTag(int(tag));
        EXPECT_EQ(Ink(Paint(item).get(), 2, 20) > 0, glyph) << std::hex << tag;
    }
}

TEST_F(SkinnedMenus, OwnerDrawKeepsTheApplicationsHandlersAndRemovesOnlyOurs) {
    struct Own {
        void Draw(vcl::TObject*, vcl::TCanvas*, vcl::TRect, vcl::TOwnerDrawState) {}
        void Measure(vcl::TObject*, vcl::TCanvas*, int&, int&) {}
    } own;
    TMenuItem* plain = Add("Plain");
    TMenuItem* drawn = Add("Drawn");
    TMenuItem* sub = Add("Sub", plain);
    drawn->OnAdvancedDrawItem = vcl::Method(&own, &Own::Draw);
    drawn->OnMeasureItem = vcl::Method(&own, &Own::Measure);
    const auto ourDraw = vcl::Method(menus, &TsSkinableMenus::DrawMenuItem);

    Neighbours().SetMenuOwnerDraw(menus, popup, true);
    EXPECT_TRUE(popup->OwnerDraw());
    EXPECT_TRUE(popup->MenuAnimation.Contains(vcl::maNone));
    EXPECT_EQ(plain->OnAdvancedDrawItem, ourDraw);
    EXPECT_EQ(sub->OnAdvancedDrawItem, ourDraw);
    EXPECT_EQ(drawn->OnAdvancedDrawItem, vcl::Method(&own, &Own::Draw));

    Neighbours().SetMenuOwnerDraw(menus, popup, false);
    EXPECT_FALSE(popup->OwnerDraw());
    EXPECT_FALSE(plain->OnAdvancedDrawItem);
    EXPECT_FALSE(sub->OnMeasureItem);
    EXPECT_EQ(drawn->OnAdvancedDrawItem, vcl::Method(&own, &Own::Draw));
    EXPECT_EQ(drawn->OnMeasureItem, vcl::Method(&own, &Own::Measure));

    // A main menu's top items take the bar's painters, the others the pop-up's.
    vcl::TForm* form = MakeForm({.MenuRows = 1});
    TMenuItem* top = form->Menu()->Items()->Items(0);
    auto* inner = vcl::New<TMenuItem>(form);
    inner->SetCaption("Inner");
    top->Add(inner);
    // In force since the skin came, before this form existed: switched over again, it walks
    // the forms anew.
    menus->SetActive(false);
    menus->SetActive(true);
    EXPECT_EQ(top->OnAdvancedDrawItem, vcl::Method(menus, &TsSkinableMenus::DrawBarItem));
    EXPECT_EQ(inner->OnAdvancedDrawItem, ourDraw);
    menus->SetActive(false);
    EXPECT_FALSE(top->OnAdvancedDrawItem);
    EXPECT_FALSE(inner->OnAdvancedDrawItem);
}

// The painter follows the skin: forms hear of a new skin before it is in force, so the manager
// itself switches the painter once the skin is, and off again when the skin goes.
TEST_F(SkinnedMenus, ThePainterFollowsTheSkinInForce) {
    EXPECT_TRUE(menus->Active());
    manager->SetActive(false);
    EXPECT_FALSE(menus->Active());
    manager->SetActive(true);
    EXPECT_TRUE(menus->Active());
}

TEST_F(SkinnedMenus, PopupRegionLeavesOutTheCutsOrOnlyTheTopLeftPixel) {
    win::HWND wnd = win::CreateWindowExA(0, "Static", "", win::WS_POPUP | win::WS_VISIBLE, 10, 10,
                                         60, 40, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(wnd, nullptr);
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> bg(NewBitmap24(60, 40));
    auto inRegion = [wnd](int x, int y) {
        win::HRGN r = win::CreateRectRgn(0, 0, 0, 0);
        const bool in = win::GetWindowRgn(wnd, r) != win::ERROR && win::PtInRegion(r, x, y);
        win::DeleteObject(r);
        return in;
    };
    menus->RegionCuts.clear();
    menus->HookMenuWindow(wnd, bg.get());
    EXPECT_FALSE(inRegion(0, 0));
    EXPECT_TRUE(inRegion(1, 0));
    EXPECT_TRUE(inRegion(0, 1));
    EXPECT_TRUE(inRegion(59, 39));

    menus->RegionCuts = {{0, 0, 3, 1}, {57, 39, 60, 40}};
    menus->HookMenuWindow(wnd, bg.get());
    EXPECT_FALSE(inRegion(2, 0));
    EXPECT_TRUE(inRegion(3, 0));
    EXPECT_FALSE(inRegion(58, 39));
    EXPECT_TRUE(inRegion(56, 39));
    win::DestroyWindow(wnd);
}

TEST_F(SkinnedMenus, ShownPopupIsPaintedFromItsBackgroundWithTheHotItem) {
    // Keys go to the active form's thread; the pop-up opens over it.
    MakeForm({.Width = 300, .Height = 200});
    for (const std::string caption : {"Открыть"_cp, "Сохранить"_cp, "-"_cp, "Удалить"_cp})
        Add(caption);
    Add("Выход"_cp)->SetEnabled(false);
    Neighbours().SetMenuOwnerDraw(menus, popup, true);
    win::HWND shown = nullptr;
    win::COLORREF hot = 0, normal = 0;
    bool background = false, flag = false;
    WhenIdle(vcl::PopupListWindow(), {[] { TapKey(win::VK_DOWN); }, [&] {
        shown = win::WindowFromPoint({80, 70});
        background = PopupBackground(shown) != nullptr;
        flag = SkinnedMenuShown();
        win::RECT r{};
        win::GetMenuItemRect(nullptr, popup->Handle(), 0, &r);
        hot = WindowPixel(shown, r.right - r.left - 2 + 3, 3 + 2);
        normal = WindowPixel(shown, r.right - r.left - 2 + 3, 3 + (r.bottom - r.top) + 2);
        const win::RECT area{0, 0, 400, 300};
        const display::Rgb shot = display::CaptureScreen(&area);
        testing_support::TempDir dir;
        display::WritePng(shot, dir / "skinned_popup.png");
        if (const char* keep = std::getenv("TESSARY_KEEP_MENU_SHOT")) display::WritePng(shot, keep);
    }});
    popup->Popup(60, 50);
    StopSpying(vcl::PopupListWindow());
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(background);
    EXPECT_TRUE(flag);
    EXPECT_EQ(hot, kItemHotColour);
    EXPECT_EQ(normal, kItemColour);
    // The window is gone, and its record with it.
    Pump();
    EXPECT_EQ(PopupBackground(shown), nullptr);
    EXPECT_FALSE(SkinnedMenuShown());
}

TEST_F(SkinnedMenus, BarItemIsHotWhileTheBarIsTracked) {
    vcl::TForm* form = MakeForm({.MenuRows = 1});
    TMenuItem* top = form->Menu()->Items()->Items(0);
    auto* inner = vcl::New<TMenuItem>(form);
    inner->SetCaption("Inner");
    top->Add(inner);
    menus->SetActive(true);
    form->Menu()->SetOwnerDraw(true);
    Pump();
    win::RECT r{};
    ASSERT_TRUE(win::GetMenuItemRect(form->Handle(), win::GetMenu(form->Handle()), 0, &r));
    win::RECT wr{};
    win::GetWindowRect(form->Handle(), &wr);
    const int x = r.right - wr.left - 2, y = r.top - wr.top + 2;
    const win::COLORREF before = WindowPixel(form->Handle(), x, y);
    win::COLORREF during = 0;
    WhenIdle(form->Handle(), {[&] { during = WindowPixel(form->Handle(), x, y); }});
    win::SendMessageA(form->Handle(), win::WM_SYSCOMMAND, win::SC_KEYMENU, 0);
    Pump();
    StopSpying(form->Handle());
    EXPECT_NE(before, kItemHotColour);
    EXPECT_EQ(during, kItemHotColour);
    EXPECT_EQ(WindowPixel(form->Handle(), x, y), before);
}

TEST_F(SkinnedMenus, SkinsSubmenuListsEverySkinInColumnsOfTwentyAndLoadsTheChoice) {
    vcl::TMemoryStream* packed = manager->InternalSkins()->GetItem(0)->Data.get();
    for (int i = 1; i < 45; ++i) {
        TsStoredSkin* copy = manager->InternalSkins()->Add();
        copy->Name = "Skin " + std::string(i < 10 ? "0" : "") + std::to_string(i);
        copy->Data.reset(new vcl::TMemoryStream);
        copy->Data->WriteBuffer(packed->Memory(), packed->Size());
    }
    vcl::TForm* form = MakeForm({});
    provider->MakeSkinMenu = true;
    if (!provider->SystemMenu) provider->SystemMenu = new TsSystemMenu(provider);
    TsSystemMenu& menu = *provider->SystemMenu;
    menu.MakeItems();
    TMenuItem* skins = menu.SkinItem();
    ASSERT_NE(skins, nullptr);
    EXPECT_TRUE(menu.Items()->Items(1)->IsLine());
    ASSERT_EQ(skins->Count(), 45);
    int columns = 1, checked = 0;
    for (int i = 0; i < skins->Count(); ++i) {
        columns += skins->Items(i)->Break() == vcl::mbBreak;
        EXPECT_EQ(skins->Items(i)->Break() == vcl::mbBreak, i == 20 || i == 40) << i;
        checked += skins->Items(i)->Checked();
    }
    EXPECT_EQ(columns, 3);
    EXPECT_EQ(checked, 1);
    TMenuItem* choice = skins->Find("Skin 07");
    ASSERT_NE(choice, nullptr);
    choice->Click();
    EXPECT_EQ(manager->SkinName(), "Skin 07");
    EXPECT_TRUE(manager->SkinData().Active);
    // Rebuilt, the list checks the skin now in force.
    menu.MakeItems();
    EXPECT_TRUE(menu.SkinItem()->Find("Skin 07")->Checked());
    (void)form;
}

// Random pop-ups (no items to 200, empty, divider, caption, dashed and long captions, column
// breaks, pictures of any size) measured and painted item by item without a fault.
TEST_F(SkinnedMenus, RandomPopupsArePreparedAndPaintedSafely) {
    std::mt19937 random(30);
    const std::string captions[] = {"", "-", "--", "-Caption-", std::string(120, 'W'), "&Open"};
    for (int round = 0; round < 8; ++round) {
        popup->Items()->Clear();
        Pump();  // what the last round's painting posted names items freed now
        TsSkinableMenus::ClearMenuItemRecords();
        const int count = round == 0 ? 0 : int(random() % 201);
        for (int i = 0; i < count; ++i) {
            TMenuItem* item = Add(captions[random() % std::size(captions)]);
            if (random() % 9 == 0) item->SetBreak(vcl::mbBreak);
            if (random() % 7 == 0) item->Bitmap()->SetSize(int(random() % 70), int(random() % 70));
            item->SetEnabled(random() % 4 != 0);
        }
        const win::SIZE size = menus->PopupSize(popup->Items());
        EXPECT_GE(size.cx, 12);
        for (int i = 0; i < popup->Items()->Count(); ++i) {
            const win::SIZE s = Measure(popup->Items()->Items(i));
            std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> bmp(
                NewBitmap24(std::max<int>(s.cx, 1), std::max<int>(s.cy, 1)));
            menus->DrawMenuItem(popup->Items()->Items(i), bmp->Canvas(),
                                {0, 0, int(s.cx), int(s.cy)},
                                random() % 2 ? vcl::TOwnerDrawState{vcl::odSelected}
                                             : vcl::TOwnerDrawState{vcl::odChecked});
        }
    }
    // A whole pop-up freed after one of its items was painted: what the painting posted names
    // a menu that is gone, and is dropped.
    std::unique_ptr<vcl::TPopupMenu, vcl::FreeDeleter> other(
        vcl::New<vcl::TPopupMenu>(vcl::Application()));
    auto* item = vcl::New<TMenuItem>(other.get());
    item->SetCaption("Open");
    other->Items()->Add(item);
    std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> bmp(NewBitmap24(80, 20));
    menus->DrawMenuItem(item, bmp->Canvas(), {0, 0, 80, 20}, vcl::TOwnerDrawState{});
    other.reset();
    Pump();
}

}  // namespace
}  // namespace skin::testing

// The skinned frame under the mouse: hit codes per style and state, presses and releases on the
// caption buttons, double clicks, drags, snapping, the maximised place, the outline mode; the
// skinned system menu's items and where it drops; and random skins and sizes through painting,
// the region and the hit test.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/os/cp_literal.h"
#include "platform/user/screen.h"
#include "platform/user/user.h"
#include "skin/core/state/common_data.h"
#include "skin/windows/provider/system_menu.h"
#include "tests/skin/windows/provider_fixture.h"

namespace skin::testing {
namespace {

using namespace vcl;

// A point of the frame, found from the provider's layout and metrics.
// clang-format off
enum Spot { kClose, kMax, kMin, kHelp, kUser0, kUser1, kIcon, kCaption, kLeft, kRight, kTopLeft,
            kBottomRight, kMenuRow1, kMenuRow2, kGrip, kClient };
// clang-format on

class ProviderHitTest : public ProviderTest {
protected:
    void SetUp() override {
        ProviderTest::SetUp();
        UseSynthetic();
    }

    TsSystemMenu* Menu() {
        if (!provider->SystemMenu) provider->SystemMenu = new TsSystemMenu(provider);
        return provider->SystemMenu;
    }

    static TPoint Centre(const TRect& r) {
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }

    // The spot in form (frame cache) coordinates.
    TPoint At(TForm* f, Spot s) {
        const win::HWND h = f->Handle();
        const int w = f->Width(), ht = f->Height(), b = skin::SysBorderWidth(h, nullptr, true);
        const int top = SysBorderWidthNoExt(h, nullptr, true);
        const int cap = top + provider->CaptionHeight(true), mh = provider->MenuHeight();
        const TsCaptionButton* buttons[] = {&provider->ButtonClose, &provider->ButtonMax,
                                            &provider->ButtonMin, &provider->ButtonHelp};
        if (s <= kHelp) return Centre(buttons[s]->Rect);
        if (s <= kUser1) return Centre(provider->TitleButtons()->GetItem(s - kUser0)->Data.Rect);
        const TPoint spots[] = {Centre(provider->IconRect()),
                                {100, top + 3},
                                {0, ht / 2},
                                {w - 1, ht / 2},
                                {0, 0},
                                {w - 1, ht - 1},
                                {w / 2, cap + mh / 2},
                                {w / 2, cap + mh * 3 / 2},
                                {w - b - 3, ht - b - 3},
                                {w / 2, ht / 2 + 20}};
        return spots[s - kIcon];
    }

    TPoint ScreenAt(TForm* f, Spot s) {
        const TPoint p = At(f, s), o = provider->FormScreenOrigin();
        return {p.X + o.X, p.Y + o.Y};
    }

    int Hit(TForm* f, Spot s) {
        const TPoint p = ScreenAt(f, s);
        TMessage m{win::WM_NCHITTEST, 0, win::MAKELPARAM(p.X, p.Y), 0};
        return provider->HitTest(m);
    }

    // Every WM_SYSCOMMAND that reaches the form, by command.
    std::vector<win::WPARAM> commands;
    void RecordCommands(TForm* f) {
        TWndMethod inner = f->WindowProc;
        f->WindowProc = TWndMethod::FromCallable([this, inner](TMessage& m) {
            if (m.Msg == win::WM_SYSCOMMAND) commands.push_back(m.WParam & 0xFFF0);
            inner(m);
        });
    }

    win::POINT Pt(TPoint p) { return {p.X, p.Y}; }
    // Queued whole: the system's move and size loop takes the rest of the drag. Apart in
    // time, so two drags make no double click.
    void Drag(TPoint from, TPoint to) {
        clock_.Advance(1000);
        QueueDrag(from, to);
        Pump();
    }
};

// ---- hit codes ----

struct HitRow {
    const char* name;
    FormShape shape;
    int userButtons;  // the second one disabled
    TsGripMode grip;
    std::vector<std::pair<Spot, int>> expect;
};

TEST_F(ProviderHitTest, CodesPerStyleAndState) {
    using namespace win;
    const TBorderIcons helpMin{biSystemMenu, biMinimize, biHelp}, help{biSystemMenu, biHelp};
    // clang-format off
    const std::vector<HitRow> rows = {
        {"sizeable", {}, 0, gmNone,
         {{kClose, HTCLOSE}, {kMax, HTMAXBUTTON}, {kMin, HTMINBUTTON}, {kIcon, HTSYSMENU},
          {kCaption, HTCAPTION}, {kLeft, HTLEFT}, {kRight, HTRIGHT}, {kTopLeft, HTTOPLEFT},
          {kBottomRight, HTBOTTOMRIGHT}, {kClient, HTCLIENT}}},
        {"maximised: restore, no edges", {bsSizeable, wsMaximized}, 0, gmNone,
         {{kMax, HTMAXBUTTON}, {kLeft, HTCLIENT}, {kTopLeft, HTCAPTION}, {kCaption, HTCAPTION}}},
        {"two menu rows", {bsSizeable, wsNormal, 2}, 0, gmNone,
         {{kMenuRow1, HTMENU}, {kMenuRow2, HTMENU}, {kCaption, HTCAPTION}}},
        {"single: no edges", {bsSingle}, 0, gmNone,
         {{kClose, HTCLOSE}, {kLeft, HTCLIENT}, {kIcon, HTSYSMENU}}},
        // The third button is help here, not minimise.
        {"close, minimise, help", {bsSingle, wsNormal, 0, 400, 300, helpMin}, 0, gmNone,
         {{kMin, HTMINBUTTON}, {kHelp, HTHELP}}},
        {"dialog with help", {bsDialog, wsNormal, 0, 400, 300, help}, 0, gmNone,
         {{kClose, HTCLOSE}, {kHelp, HTHELP}, {kIcon, HTCAPTION}}},
        {"tool window", {bsToolWindow}, 0, gmNone, {{kClose, HTCLOSE}, {kCaption, HTCAPTION}}},
        // A disabled one is no button: the press falls through to the caption.
        {"user buttons, the second disabled", {}, 2, gmNone,
         {{kUser0, kHitUserButton}, {kUser1, HTCAPTION}, {kClose, HTCLOSE}}},
        {"grip", {}, 0, gmRightBottom, {{kGrip, HTBOTTOMRIGHT}, {kClient, HTCLIENT}}},
    };
    // clang-format on
    for (const HitRow& row : rows) {
        SCOPED_TRACE(row.name);
        FormShape shape = row.shape;
        shape.Show = false;
        TForm* f = MakeForm(shape);
        for (int i = 0; i < row.userButtons; ++i) {
            auto* b = static_cast<TsTitleButton*>(provider->TitleButtons()->Add());
            b->Enabled = i == 0;
        }
        provider->GripMode = row.grip;
        f->Show();
        Pump();
        Menu();
        for (const auto& [spot, code] : row.expect) {
            SCOPED_TRACE(spot);
            if (spot <= kUser1) {
                const TPoint c = At(f, spot);
                ASSERT_GT(c.X, 0) << "element not laid out";
            }
            EXPECT_EQ(code, Hit(f, spot));
        }
        f->Free();
        Pump();
    }
}

// An invisible user button takes no place: the next one closes up to the one before it, has the
// next place from the right and keeps its own code.
TEST_F(ProviderHitTest, AnInvisibleUserButtonTakesNoPlace) {
    FormShape shape;
    shape.Show = false;
    TForm* f = MakeForm(shape);
    for (int i = 0; i < 3; ++i)
        provider->TitleButtons()->Add();
    provider->TitleButtons()->GetItem(1)->SetVisible(false);
    f->Show();
    Pump();
    Menu();
    const TRect first = provider->TitleButtons()->GetItem(0)->Data.Rect;
    const TRect third = provider->TitleButtons()->GetItem(2)->Data.Rect;
    ASSERT_GT(third.Width(), 0);
    EXPECT_EQ(provider->TitleButtons()->GetItem(1)->Data.Rect.Width(), 0);
    EXPECT_EQ(first.Left - third.Right,
              provider->ButtonMax.Rect.Left - provider->ButtonMin.Rect.Right);
    EXPECT_EQ(provider->ButtonIndexAt(Centre(third)), provider->ButtonIndexAt(Centre(first)) + 1);
    const TPoint o = provider->FormScreenOrigin(), c = Centre(third);
    TMessage m{win::WM_NCHITTEST, 0, win::MAKELPARAM(o.X + c.X, o.Y + c.Y), 0};
    EXPECT_EQ(provider->HitTest(m), kHitUserButton + 2);
}

// ---- the mouse through the screen ----

TEST_F(ProviderHitTest, CaptionButtonsActOnReleaseOverThemAndDoubleClicksMaximise) {
    TForm* f = MakeForm({});
    RecordCommands(f);
    // Pressed on close, released on the client: nothing happens, and close is normal again
    // once the mouse is back on the caption.
    Down(Pt(ScreenAt(f, kClose)));
    EXPECT_EQ(2, provider->ButtonClose.State);
    Up(Pt(ScreenAt(f, kClient)));
    QueueMove(ScreenAt(f, kCaption).X, ScreenAt(f, kCaption).Y);
    Pump();
    EXPECT_EQ(0, provider->ButtonClose.State);
    EXPECT_TRUE(commands.empty());
    // A double click on the caption maximises, another restores.
    for (int i = 0; i < 2; ++i) {
        clock_.Advance(1000);
        QueueClickAt(ScreenAt(f, kCaption)), QueueClickAt(ScreenAt(f, kCaption));
        Pump();
        EXPECT_EQ(i == 0, win::IsZoomed(f->Handle()) != 0);
    }
    // Each button acts when pressed and released over it.
    for (Spot s : {kMin, kClose}) {
        clock_.Advance(1000);  // apart: no double click
        Click(Pt(ScreenAt(f, s)));
        if (s == kMin) {
            EXPECT_TRUE(win::IsIconic(f->Handle()));
        }
        f->SetWindowState(wsNormal);
        Pump();
    }
    // The first press on the caption starts the system's move (a maximised form's does not).
    using namespace win;
    EXPECT_EQ((std::vector<WPARAM>{SC_MOVE, SC_MAXIMIZE, SC_RESTORE, SC_MINIMIZE, SC_CLOSE}),
              commands);
}

TEST_F(ProviderHitTest, MaximiseAndRestoreByTheButton) {
    TForm* f = MakeForm({});
    for (bool zoomed : {true, false}) {
        clock_.Advance(1000);
        Click(Pt(ScreenAt(f, kMax)));
        EXPECT_EQ(zoomed, win::IsZoomed(f->Handle()) != 0);
    }
}

TEST_F(ProviderHitTest, DragsMoveSizeAndSnapAndAMaximisedFormFillsTheWorkArea) {
    TForm* f = MakeForm({});
    const TPoint c = ScreenAt(f, kCaption);
    Drag(c, {c.X + 50, c.Y + 30});
    EXPECT_EQ(TRect(110, 70, 510, 370), f->BoundsRect());
    const TPoint right = ScreenAt(f, kRight);
    Drag(right, {right.X + 40, right.Y});
    EXPECT_EQ(TRect(110, 70, 550, 370), f->BoundsRect());
    // Snapping: 9 pixels from the edge snap, 10 do not.
    provider->ScreenSnap = true;
    const TRect wa = FormWorkArea(f);
    for (int gap : {9, 10}) {
        f->SetBounds(100, 100, 400, 300);
        Pump();
        const TPoint from = ScreenAt(f, kCaption);
        Drag(from, {from.X + wa.Right - gap - 500, from.Y});
        EXPECT_EQ(gap == 9 ? wa.Right : wa.Right - 10, f->Left() + f->Width()) << gap;
    }
    // Only moves snap: a size from the left edge keeps the right edge where it was.
    f->SetBounds(wa.Left + 30, 100, 400, 300);
    Pump();
    const TPoint left = ScreenAt(f, kLeft);
    Drag(left, {left.X - 25, left.Y});
    EXPECT_EQ(TRect(wa.Left + 5, 100, wa.Left + 430, 400), f->BoundsRect());
    // Maximised: the frame lies just outside the work area.
    f->SetWindowState(wsMaximized);
    Pump();
    const int b = skin::SysBorderWidth(f->Handle(), nullptr, true);
    win::RECT r{};
    win::GetWindowRect(f->Handle(), &r);
    EXPECT_EQ(TRect(wa.Left - b, wa.Top - b, wa.Right + b, wa.Bottom + b),
              TRect(r.left, r.top, r.right, r.bottom));
}

// The screen's pixels (RGB) and its width.
std::vector<uint32_t> Screen(int* width) {
    win::BitmapView v;
    EXPECT_TRUE(win::GetBitmapView(win::ComposeScreen(), &v));
    std::vector<uint32_t> px;
    for (int y = 0; y < v.height; ++y)
        for (int x = 0; x < v.width; ++x)
            px.push_back(reinterpret_cast<const uint32_t*>(v.Row(y))[x] & 0xFFFFFF);
    *width = v.width;
    return px;
}

TEST_F(ProviderHitTest, TheBorderModeOutlineIsDrawnOnTheScreenThenErased) {
    TForm* f = MakeForm({});
    provider->ResizeMode = rmBorder;
    const TPoint c = ScreenAt(f, kCaption);
    const TRect from = f->BoundsRect();
    const TRect to(from.Left + 100, from.Top + 60, from.Right + 100, from.Bottom + 60);
    int w = 0;
    const std::vector<uint32_t> before = Screen(&w);
    Down(Pt(c));
    ASSERT_TRUE(OutlineRunning());
    QueueMove(c.X + 100, c.Y + 60);
    Pump();
    EXPECT_EQ(from, f->BoundsRect());  // only the outline moved
    // Its right side, just outside the new place and right of the old one, is inverted.
    const std::vector<uint32_t> during = Screen(&w);
    const size_t probe = size_t((to.Top + 10) * w + to.Right);
    EXPECT_EQ(~before[probe] & 0xFFFFFF, during[probe]);
    Up(Pt({c.X + 100, c.Y + 60}));
    EXPECT_FALSE(OutlineRunning());
    EXPECT_EQ(to, f->BoundsRect());
    // Away from both places the screen is as it was.
    const std::vector<uint32_t> after = Screen(&w);
    size_t changed = 0;
    for (size_t i = 0; i < after.size(); ++i) {
        const int x = int(i % size_t(w)), y = int(i / size_t(w));
        auto near = [&](const TRect& r) {
            return x >= r.Left - 1 && x <= r.Right && y >= r.Top - 1 && y <= r.Bottom;
        };
        changed += !near(from) && !near(to) && after[i] != before[i];
    }
    EXPECT_EQ(0u, changed);
    // Sizing by the right edge follows the mouse from the press on.
    const TPoint right = ScreenAt(f, kRight);
    clock_.Advance(1000);
    Down(Pt(right));
    QueueMove(right.X + 30, right.Y), QueueMove(right.X + 45, right.Y);
    Pump();
    Up(Pt({right.X + 45, right.Y}));
    EXPECT_EQ(TRect(to.Left, to.Top, to.Right + 45, to.Bottom), f->BoundsRect());
    // Never below the form's smallest width.
    f->Constraints()->SetMinWidth(300);
    const TPoint left = ScreenAt(f, kLeft);
    clock_.Advance(1000);
    Down(Pt(left));
    QueueMove(left.X + 250, left.Y);
    Pump();
    Up(Pt({left.X + 250, left.Y}));
    EXPECT_EQ(300, f->Width());
    // A form freed in the middle of its outline does not keep the next one from running.
    Down(Pt(ScreenAt(f, kCaption)));
    ASSERT_TRUE(OutlineRunning());
    f->Free();
    Pump();
    EXPECT_FALSE(OutlineRunning());
    TForm* g = MakeForm({});
    provider->ResizeMode = rmBorder;
    clock_.Advance(1000);
    Down(Pt(ScreenAt(g, kCaption)));
    EXPECT_TRUE(OutlineRunning());
    Up(Pt(ScreenAt(g, kCaption)));
}

// ---- the system menu ----

TEST_F(ProviderHitTest, SystemMenuItemsFollowStyleAndState) {
    // Restore, Move, Size, Minimise, Maximise, Close: h hidden, d disabled, e enabled.
    struct Row {
        FormShape shape;
        const char* items;
    };
    const Row rows[] = {
        {{bsSizeable}, "deeeee"},
        {{bsSizeable, wsMaximized}, "edeede"},
        {{bsSizeable, wsMinimized}, "eeddee"},
        {{bsDialog}, "hehhhe"},
        {{bsSingle, wsNormal, 0, 400, 300, {biSystemMenu, biMinimize}}, "dedehe"},
        {{bsToolWindow}, "hehhhe"},
        {{bsSizeToolWin}, "heehhe"},
        {{bsSizeable, wsNormal, 0, 400, 300, {biMinimize, biMaximize}}, "heehhh"},
    };
    for (const Row& row : rows) {
        TForm* f = MakeForm(row.shape);
        TsSystemMenu* m = Menu();
        m->UpdateItems(true);
        std::string got;
        for (TMenuItem* i : {m->ItemRestore, m->ItemMove, m->ItemSize, m->ItemMinimize,
                             m->ItemMaximize, m->ItemClose})
            got += !i->Visible() ? 'h' : i->Enabled() ? 'e' : 'd';
        EXPECT_EQ(row.items, got) << int(row.shape.Border) << " " << int(row.shape.State);
        f->Free();
        Pump();
    }
}

TEST_F(ProviderHitTest, AnApplicationEntryIsListedBeforeCloseAndPostsItsCommand) {
    TForm* f = MakeForm({});
    win::HMENU sys = win::GetSystemMenu(f->Handle(), win::FALSE);
    win::AppendMenuA(sys, win::MF_SEPARATOR, 0, nullptr);
    win::AppendMenuA(sys, win::MF_STRING, 0x120, "About the program");
    RecordCommands(f);
    TsSystemMenu* m = Menu();
    m->UpdateItems(true);
    EXPECT_EQ(1, m->ExtItemCount);
    // Restore, Move, Size, Minimise, Maximise, line, the entry, line, Close.
    ASSERT_EQ(9, m->Items()->Count());
    TMenuItem* entry = m->Items()->Items(6);
    EXPECT_EQ("About the program", entry->Caption());
    EXPECT_TRUE(m->Items()->Items(7)->IsLine());
    EXPECT_EQ(m->ItemClose, m->Items()->Items(8));
    // Texts come from the window's own menu, the short-cut after the tab apart.
    EXPECT_EQ(std::string("&Закрыть"_cp), m->ItemClose->Caption());
    EXPECT_EQ(TextToShortCut("Alt+F4"), m->ItemClose->ShortCut());
    entry->Click();
    EXPECT_TRUE(commands.empty());  // posted, not sent
    Pump();
    EXPECT_EQ(std::vector<win::WPARAM>{0x120}, commands);
}

// Where the pop-up window of a menu appeared, and which menu it showed.
struct DropSeen {
    int count = 0;
    win::POINT at{};
};
DropSeen gDrop;
win::LRESULT DropHook(int code, win::WPARAM wp, win::LPARAM lp) {
    if (code == win::HCBT_CREATEWND) {
        auto* cw = reinterpret_cast<win::CBT_CREATEWNDA*>(lp);
        if (cw->lpcs && reinterpret_cast<uintptr_t>(cw->lpcs->lpszClass) == 0x8000) {
            ++gDrop.count;
            gDrop.at = {cw->lpcs->x, cw->lpcs->y};
            win::QueueKeyEvent(win::KeyEvent{win::VK_ESCAPE, true});
        }
    }
    return win::CallNextHookEx(nullptr, code, wp, lp);
}

TEST_F(ProviderHitTest, SystemMenuDropsAtARightClickAndOnAltSpaceInBothModes) {
    win::HHOOK hook = win::SetWindowsHookExA(win::WH_CBT, DropHook, nullptr, 0);
    for (bool skinned : {false, true}) {
        SCOPED_TRACE(skinned);
        manager->SetSkinnedPopups(skinned);
        TForm* f = MakeForm({bsSizeable, wsMaximized});
        int popups = 0, systemInits = 0;
        Menu()->OnPopup = TNotifyEvent::FromCallable([&](TObject*) { ++popups; });
        TWndMethod inner = f->WindowProc;
        f->WindowProc = TWndMethod::FromCallable([&, inner](TMessage& m) {
            if (m.Msg == win::WM_INITMENUPOPUP && win::HIWORD(m.LParam)) ++systemInits;
            inner(m);
        });
        // A right click on the caption: at the point.
        gDrop = {};
        const TPoint c = ScreenAt(f, kCaption);
        win::QueueMouseEvent({win::MouseEvent::Down, Pt(c), win::MouseButton::Right});
        win::QueueMouseEvent({win::MouseEvent::Up, Pt(c), win::MouseButton::Right});
        Pump();
        EXPECT_EQ(1, gDrop.count);
        EXPECT_EQ(Pt(c), gDrop.at);
        // Alt+Space: below the icon.
        gDrop = {};
        win::QueueKeyEvent({win::VK_MENU, true});
        win::QueueKeyEvent({win::VK_SPACE, true, ' '});
        win::QueueKeyEvent({win::VK_SPACE, false});
        win::QueueKeyEvent({win::VK_MENU, false});
        Pump();
        const TPoint o = provider->FormScreenOrigin();
        const win::HWND h = f->Handle();
        EXPECT_EQ(1, gDrop.count);
        EXPECT_EQ(
            (win::POINT{o.X + skin::SysBorderWidth(h, nullptr, true),
                        o.Y + provider->FullBorderWidthNoExt(true) + provider->TitleIconHeight()}),
            gDrop.at);
        // The skinned pop-up or the window's own menu, never both; the window's own one with
        // the skinned menu's rules for a maximised form.
        EXPECT_EQ(skinned ? 2 : 0, popups);
        EXPECT_EQ(skinned ? 0 : 2, systemInits);
        win::HMENU sys = win::GetSystemMenu(h, win::FALSE);
        auto grey = [&](win::UINT cmd) {
            return (win::GetMenuState(sys, cmd, win::MF_BYCOMMAND) & win::MF_GRAYED) != 0;
        };
        // Greyed: restore no, move and maximise yes.
        if (!skinned) {
            EXPECT_EQ("011", std::string({"01"[grey(win::SC_RESTORE)], "01"[grey(win::SC_MOVE)],
                                          "01"[grey(win::SC_MAXIMIZE)]}));
        }
        f->Free();
        Pump();
    }
    win::UnhookWindowsHookEx(hook);
}

TEST_F(ProviderHitTest, AClickOnTheIconDropsTheMenuAfterAWaitADoubleClickClosesTheForm) {
    win::HHOOK hook = win::SetWindowsHookExA(win::WH_CBT, DropHook, nullptr, 0);
    manager->SetSkinnedPopups(false);
    TForm* f = MakeForm({});
    const win::HWND h = f->Handle();
    gDrop = {};
    QueueClickAt(ScreenAt(f, kIcon));
    Pump();
    const TPoint o = provider->FormScreenOrigin();
    EXPECT_EQ(1, gDrop.count);
    EXPECT_EQ((win::POINT{o.X + skin::SysBorderWidth(h, nullptr, true),
                          o.Y + provider->FullBorderWidthNoExt(true) + provider->TitleIconHeight() +
                              SysBorderWidthNoExt(h, nullptr, true)}),
              gDrop.at);
    // The form is freed while the first click waits; nothing drops.
    f->OnClose = TCloseEvent::FromCallable([](TObject*, TCloseAction& a) { a = caFree; });
    gDrop = {};
    clock_.Advance(1000);
    QueueClickAt(ScreenAt(f, kIcon)), QueueClickAt(ScreenAt(f, kIcon));
    Pump();
    EXPECT_FALSE(win::IsWindow(h));
    EXPECT_EQ(0, gDrop.count);
    win::UnhookWindowsHookEx(hook);
}

// ---- random skins and sizes ----

TEST_F(ProviderHitTest, RandomSkinsAndSizesPaintRegionAndHitTestSafely) {
    std::mt19937 rng(2812);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    const char* const numbers[] = {"0", "-7", "1", "3", "40", "100000", "-100000"};
    const char* const keys[] = {"BORDERWIDTH", "TITLEHEIGHT", "BIRIGHT",
                                "BISPACE",     "BITOP",       "BIVALIGN"};
    const TFormBorderStyle styles[] = {bsNone,   bsSingle,     bsSizeable,
                                       bsDialog, bsToolWindow, bsSizeToolWin};
    const TWindowState states[] = {wsNormal, wsMaximized, wsMinimized};
    for (int skinNo = 0; skinNo < 12; ++skinNo) {
        SynthSkin skin;
        for (const char* k : keys)
            if (pick(2)) skin.Global[k] = numbers[pick(7)];
        for (const SynthMaskInfo& m : kSynthMasks)
            if (pick(3) == 0) skin.Omit.insert(m.Name);
        UseSynthetic(skin);
        for (int formNo = 0; formNo < 4; ++formNo) {
            FormShape shape;
            shape.Border = styles[pick(6)];
            shape.State = states[pick(3)];
            shape.MenuRows = pick(3);
            shape.Width = pick(4) == 0 ? pick(4001) : pick(600);
            shape.Height = pick(4) == 0 ? pick(3001) : pick(500);
            shape.Icons = {biSystemMenu};
            if (pick(2)) shape.Icons.Include(biMinimize);
            if (pick(2)) shape.Icons.Include(biMaximize);
            if (pick(2)) shape.Icons.Include(biHelp);
            SCOPED_TRACE(::testing::Message()
                         << skinNo << "/" << formNo << " " << shape.Width << "x" << shape.Height);
            TForm* f = MakeForm(shape);
            Menu();
            for (int n = pick(3); n > 0; --n)
                provider->TitleButtons()->Add();
            provider->GripMode = pick(2) ? gmRightBottom : gmNone;
            provider->PaintFrame();
            provider->BuildRegionCuts();
            win::HRGN rgn = provider->CreateFormRegion(0, 0);
            if (rgn) win::DeleteObject(rgn);
            // The cuts are runs of corner rows: never more than a few per row of the form.
            EXPECT_LE(provider->RegionCuts.size(), size_t(4 * (f->Height() + 1)));
            win::RECT r{};
            win::GetWindowRect(f->Handle(), &r);
            for (int i = 0; i < 40; ++i) {
                const int x = r.left - 2 + pick(std::max(1, int(r.right - r.left) + 4));
                const int y = r.top - 2 + pick(std::max(1, int(r.bottom - r.top) + 4));
                TMessage m{win::WM_NCHITTEST, 0, win::MAKELPARAM(x, y), 0};
                const int code = provider->HitTest(m);
                EXPECT_TRUE(code >= win::HTNOWHERE &&
                            (code <= win::HTHELP || code >= kHitUserButton))
                    << code;
            }
            f->Free();
            Pump();
        }
    }
}

}  // namespace
}  // namespace skin::testing

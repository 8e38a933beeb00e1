// Skinned bars on the headless screen: a memo with both bars, a list box scrolled halfway, a
// string grid with one bar hot and one pressed, a disabled memo, a combo list dropped open. The
// picture is kept as tests/data/skin/scroll_bars.png for the eye (TESSARY_UPDATE_REFERENCE=1
// writes it again); the probes compare each bar on the screen with the same bar painted alone
// over the form's colour, before and after the content and the form's colour change.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/combo_box_control.h"
#include "platform/controls/list_box_control.h"
#include "platform/display/screenshot.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/window_tree.h"
#include "skin/controls/edits.h"
#include "skin/controls/window_services.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/pixels.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_commands.h"
#include "skin/windows/scroll/combo_list_wnd.h"
#include "skin/windows/scroll/edit_wnd.h"
#include "skin/windows/scroll/grid_wnd.h"
#include "skin/windows/scroll/scroll_startup.h"
#include "tests/skin/windows/windows_fixture.h"
#include "tests/support/temp_dir.h"
#include "vcl/controls/grids.h"

namespace skin::testing {
namespace {

class ScrollBarsShotTest : public WindowsTest {
protected:
    void TearDown() override {
        if (listAdapter) FreeAdapter(listAdapter);
        if (gridAdapter) FreeAdapter(gridAdapter);
        if (comboAdapter) {
            TacMainWnd* c = comboAdapter;
            FreeAdapter(c);
        }
        memoAdapter.reset();
        offAdapter.reset();
        gridData.reset();
        ResetWindowServices();
        WindowsTest::TearDown();
    }
    TsMemo* Memo(vcl::TRect bounds) {
        auto* m = Place<TsMemo>(form, bounds);
        m->SetScrollBars(vcl::ssBoth);
        for (int i = 0; i < 40; ++i) m->Lines()->Add("line " + std::to_string(i) + " of the memo");
        return m;
    }
    // The screen from the form's top-left corner.
    void Capture() {
        const win::RECT area{50, 50, 50 + kW, 50 + kH};
        shot = display::CaptureScreen(&area);
    }
    win::COLORREF At(int sx, int sy) const {
        const unsigned char* p = shot.pixels.data() + (size_t(sy - 50) * kW + size_t(sx - 50)) * 3;
        return RGB(p[0], p[1], p[2]);
    }
    // Pixels of `kind`'s bar on the screen that differ from the bar painted alone in `looks`
    // with the window's own scroll information (not the adapter's copy) over the plain colour
    // `behind`, and classic-coloured ones.
    void CompareBar(TacScrollWnd* a, int kind, const BarLooks& looks, TColor behind, int& differing,
                    int& classic) {
        TacScrollBar& b = a->Bar(kind);
        ASSERT_TRUE(b.Shown);
        const bool vertical = kind == win::SB_VERT;
        const win::RECT r = vertical ? a->BarRects().vert : a->BarRects().horz;
        const int w = r.right - r.left, h = r.bottom - r.top;
        win::SCROLLINFO si{sizeof(si), win::SIF_ALL, 0, 0, 0, 0, 0};
        ASSERT_TRUE(win::GetScrollInfo(a->CtrlHandle, kind, &si));
        std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> alone(NewBitmap24(w, h));
        CacheInfo bg;
        bg.FillColor = behind;
        PaintBarImage(alone.get(), manager.get(), vertical, si, a->BarArrowLength(b, true),
                      win::GetSystemMetrics(win::SM_CXHSCROLL), b.MinThumb, looks, bg);
        const PixelView v = ViewOf(alone.get());
        const win::COLORREF sys = win::GetSysColor(win::COLOR_SCROLLBAR);
        differing = classic = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const win::COLORREF screen = At(r.left + x, r.top + y);
                classic += screen == sys;
                const uint8_t* p = v.At(x, y);
                differing += screen != RGB(p[2], p[1], p[0]);
            }
    }
    static constexpr int kW = 480, kH = 260;
    display::Rgb shot;
    AdapterPtr memoAdapter, offAdapter;
    TacMainWnd* listAdapter = nullptr;
    TacMainWnd* gridAdapter = nullptr;
    TacComboListWnd* comboAdapter = nullptr;
    std::unique_ptr<TsCommonData> gridData;
};

TEST_F(ScrollBarsShotTest, EveryBarOnTheScreenIsTheSkinsBar) {
    InitScrollAdapters();
    form->SetBounds(50, 50, kW, kH);
    TsMemo* memo = Memo(vcl::Bounds(10, 10, 150, 110));
    TsMemo* off = Memo(vcl::Bounds(10, 135, 150, 110));
    off->SetEnabled(false);
    win::HWND list = win::CreateWindowExA(
        0, "ListBox", "", win::WS_CHILD | win::WS_VISIBLE | win::WS_BORDER | win::WS_VSCROLL,
        170, 10, 130, 110, form->Handle(), nullptr, nullptr, nullptr);
    for (int i = 0; i < 100; ++i) {
        const std::string item = "item " + std::to_string(i);
        win::SendMessageA(list, win::LB_ADDSTRING, 0, reinterpret_cast<intptr_t>(item.c_str()));
    }
    win::HWND combo = win::CreateWindowExA(
        0, "ComboBox", "",
        win::WS_CHILD | win::WS_VISIBLE | win::WS_VSCROLL | win::CBS_DROPDOWNLIST, 170, 130, 130,
        110, form->Handle(), nullptr, nullptr, nullptr);
    for (int i = 0; i < 30; ++i) {
        const std::string item = "choice " + std::to_string(i);
        win::SendMessageA(combo, win::CB_ADDSTRING, 0, reinterpret_cast<intptr_t>(item.c_str()));
    }
    auto* grid = Place<vcl::TStringGrid>(form, vcl::Bounds(310, 10, 160, 235));
    grid->SetColCount(12);
    grid->SetRowCount(50);
    form->Show();
    Pump();

    WindowSlots().UpdateEditWndAdapter(memo->SkinData(), memoAdapter);
    WindowSlots().UpdateEditWndAdapter(off->SkinData(), offAdapter);
    listAdapter = AttachAdapter<TacEditWnd>(list, nullptr, manager.get(), "", true);
    gridData = std::make_unique<TsCommonData>(grid, true);
    gridData->SetSkinSection("EDIT");
    gridAdapter = AttachAdapter<TacGridWnd>(grid->Handle(), gridData.get(), nullptr, "");
    for (win::HWND w : {list, grid->Handle()})
        Command(w, SKC_REFRESH, reinterpret_cast<intptr_t>(manager.get()));
    win::SendMessageA(combo, win::CB_SHOWDROPDOWN, win::TRUE, 0);
    Pump();
    win::HWND dropped = win::FindWindowA("ComboLBox", nullptr);
    ASSERT_NE(dropped, nullptr);
    comboAdapter = TacComboListWnd::CreateForList(dropped, false, false, "", manager.get());
    win::SCROLLINFO si{sizeof(si), win::SIF_ALL, 0, 0, 0, 0, 0};
    win::GetScrollInfo(list, win::SB_VERT, &si);
    const int half = (si.nMax - int(si.nPage) + 1 - si.nMin) / 2;
    win::SendMessageA(list, win::LB_SETTOPINDEX, uintptr_t(half), 0);

    // The grid's vertical bar is hot on its second arrow while its horizontal one is held on
    // its first: the state only a press and a hover on two bars at once would give.
    auto* g = static_cast<TacScrollWnd*>(gridAdapter);
    ScrollMouseState& mouse = ScrollMouse();
    mouse.CurrentWindow = grid->Handle();
    mouse.HotBar = win::SB_VERT;
    mouse.HotPart = mouse.LastHotPart = spSecondArrow;
    mouse.PressedBar = win::SB_HORZ;
    mouse.PressedPart = mouse.RepeatingPart = spFirstArrow;
    win::RedrawWindow(form->Handle(), nullptr, nullptr,
                      win::RDW_FRAME | win::RDW_INVALIDATE | win::RDW_UPDATENOW | win::RDW_ALLCHILDREN);
    win::RedrawWindow(dropped, nullptr, nullptr,
                      win::RDW_FRAME | win::RDW_INVALIDATE | win::RDW_UPDATENOW);
    Pump();

    auto* m = dynamic_cast<TacScrollWnd*>(memoAdapter.get());
    auto* o = dynamic_cast<TacScrollWnd*>(offAdapter.get());
    auto* l = static_cast<TacScrollWnd*>(listAdapter);
    ASSERT_TRUE(m && o);
    ASSERT_TRUE(comboAdapter->VBar.Shown);
    ASSERT_EQ(l->VBar.ScrollInfo.nPos, half);
    BarLooks normal, hot, pressed, disabled;
    hot.Second = 1;
    pressed.First = 2;
    pressed.PressedPart = spFirstArrow;
    disabled.Enabled = false;
    struct Bar {
        const char* what;
        TacScrollWnd* a;
        int kind;
        BarLooks looks;
    };
    std::vector<Bar> bars = {{"memo vertical", m, win::SB_VERT, normal},
                             {"memo horizontal", m, win::SB_HORZ, normal},
                             {"list", l, win::SB_VERT, normal},
                             {"grid vertical, hot", g, win::SB_VERT, hot},
                             {"grid horizontal, pressed", g, win::SB_HORZ, pressed},
                             {"disabled memo", o, win::SB_VERT, disabled},
                             {"dropped combo list", comboAdapter, win::SB_VERT, normal}};
    // Every bar lies over the form: a disabled one shows the form's colour through it.
    auto checkAll = [&] {
        Capture();
        for (const Bar& b : bars) {
            SCOPED_TRACE(b.what);
            int differing = -1, classic = -1;
            CompareBar(b.a, b.kind, b.looks, vcl::ColorToRGB(form->Color()), differing, classic);
            EXPECT_EQ(differing, 0);
            EXPECT_EQ(classic, 0);
        }
    };
    checkAll();
    // The looks differ where they should: the hot and the pressed arrow are not the normal one.
    const win::RECT gv = g->BarRects().vert, gh = g->BarRects().horz;
    const int arrow = g->BarArrowLength(g->VBar, true);
    const win::POINT hotArrow{(gv.left + gv.right) / 2, gv.bottom - arrow / 2 - 1};
    const win::POINT pressedArrow{gh.left + arrow / 2, (gh.top + gh.bottom) / 2};
    const win::COLORREF hotOn = At(hotArrow.x, hotArrow.y),
                        pressedOn = At(pressedArrow.x, pressedArrow.y);
    ASSERT_EQ(shot.width, kW);
    testing_support::TempDir dir;
    EXPECT_TRUE(display::WritePng(shot, dir / "scroll_bars.png"));
    if (const char* u = std::getenv("TESSARY_UPDATE_REFERENCE"); u && *u == '1')
        display::WritePng(shot, testing_support::TestDataDir() + "skin/scroll_bars.png");
    mouse = ScrollMouseState{};
    g->PaintScrollBars(nullptr);
    Capture();
    EXPECT_NE(At(hotArrow.x, hotArrow.y), hotOn);
    EXPECT_NE(At(pressedArrow.x, pressedArrow.y), pressedOn);
    bars[3].looks = bars[4].looks = normal;
    win::SendMessageA(combo, win::CB_SHOWDROPDOWN, win::FALSE, 0);
    bars.pop_back();

    // The content changes under the bars: typed lines, added items, rows set from code. After
    // pumping every bar still shows the skin's picture for its new scroll information.
    const int memoMax = m->VBar.ScrollInfo.nMax, gridMax = g->VBar.ScrollInfo.nMax;
    memo->SetFocus();
    for (int i = 0; i < 6; ++i) {
        memo->Perform(win::WM_KEYDOWN, win::VK_END, 0);
        for (char c : std::string("\r typed")) memo->Perform(win::WM_CHAR, uintptr_t(uint8_t(c)), 0);
    }
    for (int i = 0; i < 50; ++i)
        win::SendMessageA(list, win::LB_ADDSTRING, 0, reinterpret_cast<intptr_t>("more"));
    grid->SetRowCount(120);
    Pump();
    EXPECT_GT(m->VBar.ScrollInfo.nMax, memoMax);
    EXPECT_GT(g->VBar.ScrollInfo.nMax, gridMax);
    EXPECT_EQ(l->VBar.ScrollInfo.nMax, 149);
    checkAll();

    // A new form colour shows through the disabled bar at its next paint.
    form->SetColor(vcl::TColor(0x3080C0));
    win::RedrawWindow(
        form->Handle(), nullptr, nullptr,
        win::RDW_FRAME | win::RDW_INVALIDATE | win::RDW_UPDATENOW | win::RDW_ALLCHILDREN);
    Pump();
    checkAll();
}

}  // namespace
}  // namespace skin::testing

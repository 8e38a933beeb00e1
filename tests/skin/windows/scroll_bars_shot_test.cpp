// Skinned bars on the headless screen: a memo with both bars, a list box scrolled halfway, a
// string grid, a disabled memo. The picture is kept as tests/data/skin/scroll_bars.png for the
// eye (TESSARY_UPDATE_REFERENCE=1 writes it again); the probes compare each bar on the screen
// with the same bar painted alone, before and after the content changes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/controls/list_box_control.h"
#include "platform/display/screenshot.h"
#include "platform/gdi/sys_colors.h"
#include "skin/controls/edits.h"
#include "skin/controls/window_services.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/pixels.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_commands.h"
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
    // Pixels of `kind`'s bar on the screen that differ from the bar painted alone with the
    // window's own scroll information (not the adapter's copy), and classic-coloured ones. A disabled bar, whose look lets the
    // background through, is held to showing no thumb: along the middle of where the enabled
    // bar has it, the pixels that still equal the enabled bar's are counted.
    void CompareBar(TacScrollWnd* a, int kind, bool enabled, int& differing, int& classic) {
        TacScrollBar& b = a->Bar(kind);
        ASSERT_TRUE(b.Shown);
        const bool vertical = kind == win::SB_VERT;
        const win::RECT r = vertical ? a->BarRects().vert : a->BarRects().horz;
        const int w = r.right - r.left, h = r.bottom - r.top;
        const int arrow = a->BarArrowLength(b, true);
        win::SCROLLINFO si{sizeof(si), win::SIF_ALL, 0, 0, 0, 0, 0};
        ASSERT_TRUE(win::GetScrollInfo(a->CtrlHandle, kind, &si));
        std::unique_ptr<vcl::TBitmap, vcl::FreeDeleter> alone(NewBitmap24(w, h));
        BarLooks looks;
        PaintBarImage(alone.get(), manager.get(), vertical, si, arrow,
                      win::GetSystemMetrics(win::SM_CXHSCROLL), b.MinThumb, looks, CacheInfo{});
        const PixelView v = ViewOf(alone.get());
        const win::COLORREF sys = win::GetSysColor(win::COLOR_SCROLLBAR);
        const ThumbPlace t = CalcScrollThumbRect(0, vertical ? h : w, arrow, si, b.MinThumb);
        ASSERT_TRUE(t.visible);
        const int thumbMiddle = t.start + t.length / 2;
        differing = classic = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const win::COLORREF screen = At(r.left + x, r.top + y);
                classic += screen == sys;
                const uint8_t* p = v.At(x, y);
                const bool same = screen == RGB(p[2], p[1], p[0]);
                if (enabled)
                    differing += !same;
                else if ((vertical ? y : x) == thumbMiddle && (vertical ? x : y) > 1 &&
                         (vertical ? x : y) < (vertical ? w : h) - 2)
                    differing += same;
            }
    }

    static constexpr int kW = 480, kH = 260;
    display::Rgb shot;
    AdapterPtr memoAdapter, offAdapter;
    TacMainWnd* listAdapter = nullptr;
    TacMainWnd* gridAdapter = nullptr;
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
    win::SCROLLINFO si{sizeof(si), win::SIF_ALL, 0, 0, 0, 0, 0};
    win::GetScrollInfo(list, win::SB_VERT, &si);
    const int half = (si.nMax - int(si.nPage) + 1 - si.nMin) / 2;
    win::SendMessageA(list, win::LB_SETTOPINDEX, uintptr_t(half), 0);
    win::RedrawWindow(form->Handle(), nullptr, nullptr,
                      win::RDW_FRAME | win::RDW_INVALIDATE | win::RDW_UPDATENOW | win::RDW_ALLCHILDREN);
    Pump();

    auto* m = dynamic_cast<TacScrollWnd*>(memoAdapter.get());
    auto* o = dynamic_cast<TacScrollWnd*>(offAdapter.get());
    auto* l = static_cast<TacScrollWnd*>(listAdapter);
    auto* g = static_cast<TacScrollWnd*>(gridAdapter);
    ASSERT_TRUE(m && o);
    ASSERT_EQ(l->VBar.ScrollInfo.nPos, half);
    struct Bar {
        const char* what;
        TacScrollWnd* a;
        int kind;
        bool enabled;
    };
    const Bar bars[] = {{"memo vertical", m, win::SB_VERT, true},
                        {"memo horizontal", m, win::SB_HORZ, true},
                        {"list", l, win::SB_VERT, true},
                        {"grid vertical", g, win::SB_VERT, true},
                        {"grid horizontal", g, win::SB_HORZ, true},
                        {"disabled memo", o, win::SB_VERT, false}};
    auto checkAll = [&] {
        Capture();
        for (const Bar& b : bars) {
            SCOPED_TRACE(b.what);
            int differing = -1, classic = -1;
            CompareBar(b.a, b.kind, b.enabled, differing, classic);
            EXPECT_EQ(differing, 0);
            EXPECT_EQ(classic, 0);
        }
    };
    checkAll();
    ASSERT_EQ(shot.width, kW);
    testing_support::TempDir dir;
    EXPECT_TRUE(display::WritePng(shot, dir / "scroll_bars.png"));
    if (const char* u = std::getenv("TESSARY_UPDATE_REFERENCE"); u && *u == '1')
        display::WritePng(shot, testing_support::TestDataDir() + "skin/scroll_bars.png");

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
}

}  // namespace
}  // namespace skin::testing

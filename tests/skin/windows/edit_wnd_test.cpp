// The frame-and-bars adapter of edit-like controls, made through the skinned controls' slot.
#include "skin/windows/scroll/edit_wnd.h"
#include "skin/windows/scroll/grid_wnd.h"
#include "vcl/controls/grids.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/edit_control.h"
#include "platform/controls/list_box_control.h"
#include "platform/controls/list_view_control.h"
#include "platform/gdi/sys_colors.h"
#include "skin/controls/edits.h"
#include "skin/controls/list_boxes.h"
#include "skin/controls/list_view.h"
#include "skin/controls/window_services.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_commands.h"
#include "skin/windows/adapters/adapter_helpers.h"
#include "skin/windows/scroll/scroll_startup.h"
#include "tests/skin/windows/windows_fixture.h"
#include "vcl/graphics/canvas.h"

namespace skin::testing {
namespace {

class EditWndTest : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        InitScrollAdapters();
        memo = Place<TsMemo>(form, vcl::Bounds(10, 10, 150, 100));
        memo->SetScrollBars(vcl::ssBoth);
        for (int i = 0; i < 40; ++i) memo->Lines()->Add("line");
        form->Show();
        Pump();
    }
    void TearDown() override {
        adapter.reset();
        ResetWindowServices();
        WindowsTest::TearDown();
    }
    TsMemo* memo = nullptr;
    AdapterPtr adapter;
};

// The memo, through the slot its skinned control calls: the skin's colours while skinned, the
// frame ring from the cache and the skin's bars, its own colours after. (The list box holds its
// adapter itself now; its own tests cover that road.)
TEST_F(EditWndTest, ColoursComeFromTheSkinAndGoBackWithIt) {
    TsCommonData* data = memo->SkinData();
    memo->SetColor(vcl::TColor(0x123456));
    memo->Font()->SetColor(vcl::TColor(0x654321));
    WindowSlots().UpdateEditWndAdapter(data, adapter);
    auto* edit = dynamic_cast<TacEditWnd*>(adapter.get());
    ASSERT_NE(edit, nullptr);
    Command(memo->Handle(), SKC_REFRESH, reinterpret_cast<intptr_t>(manager.get()));
    EXPECT_EQ(uint32_t(memo->Color()), GetControlBGColor(data, false, memo->Handle()));
    EXPECT_NE(uint32_t(memo->Color()), 0x123456u);
    // The refresh painted with those colours: its cache stands for the next paint.
    EXPECT_FALSE(data->CacheStale);
    win::RedrawWindow(memo->Handle(), nullptr, nullptr,
                      win::RDW_FRAME | win::RDW_INVALIDATE | win::RDW_UPDATENOW);
    Pump();
    EXPECT_TRUE(edit->VBar.Shown);
    ASSERT_NE(data->CacheBmp(), nullptr);
    EXPECT_EQ(WindowPixel(memo->Handle(), 0, 40),
              vcl::ColorToRGB(data->CacheBmp()->Canvas()->Pixels(0, 40)));
    // The skin goes: the slot frees the adapter, which gives the control its own colours.
    manager->SetActive(false);
    WindowSlots().UpdateEditWndAdapter(data, adapter);
    EXPECT_EQ(adapter, nullptr);
    EXPECT_EQ(uint32_t(memo->Color()), 0x123456u);
    EXPECT_EQ(uint32_t(memo->Font()->Color()), 0x654321u);
}

TEST_F(EditWndTest, TheFrameIsTheCachesBorderAndTheBarsAreTheSkins) {
    WindowSlots().UpdateEditWndAdapter(memo->SkinData(), adapter);
    auto* edit = dynamic_cast<TacEditWnd*>(adapter.get());
    ASSERT_NE(edit, nullptr);
    win::RedrawWindow(memo->Handle(), nullptr, nullptr,
                      win::RDW_FRAME | win::RDW_INVALIDATE | win::RDW_UPDATENOW);
    Pump();
    ASSERT_TRUE(edit->VBar.Shown && edit->HBar.Shown);
    vcl::TBitmap* cache = memo->SkinData()->CacheBmp();
    ASSERT_NE(cache, nullptr);
    ASSERT_EQ(cache->Width(), 150);
    int bx = edit->Border.left, by = edit->Border.top;
    ASSERT_GT(bx, 0);
    // The outermost ring comes from the cache, wherever it is.
    for (auto [x, y] : {std::pair{0, 50}, std::pair{75, 0}, std::pair{0, 0}, std::pair{149, 40}}) {
        EXPECT_EQ(ScreenPixel(memo, x - bx, y - by),
                  vcl::ColorToRGB(cache->Canvas()->Pixels(x, y)))
            << x << "," << y;
    }
    // No classic bar pixel remains: the middle of the vertical track is not the system's
    // scroll-bar colour.
    win::RECT v = edit->BarRects().vert;
    win::POINT client{0, 0};
    win::ClientToScreen(memo->Handle(), &client);
    int x = (v.left + v.right) / 2 - client.x, y = v.top + (v.bottom - v.top) * 3 / 4 - client.y;
    EXPECT_NE(ScreenPixel(memo, x, y), win::GetSysColor(win::COLOR_SCROLLBAR));
    // Typing moves the position; the bars follow.
    for (int i = 0; i < 5; ++i) memo->Perform(win::WM_KEYDOWN, win::VK_DOWN, 0);
    Pump();
    EXPECT_EQ(edit->VBar.ScrollInfo.nPos, win::GetScrollPos(memo->Handle(), win::SB_VERT));
}

// A string grid: the skin's fixed colour and fixed-line shade while skinned, its own and its
// system bars after.
TEST_F(EditWndTest, AGridTakesTheFixedColourAndGetsItsBarsBack) {
    auto* grid = Place<vcl::TStringGrid>(form, vcl::Bounds(10, 120, 200, 70));
    grid->SetRowCount(50);
    grid->SetFixedColor(vcl::TColor(0x102030));
    grid->SetFixedLineColor(vcl::TColor(0x405060));
    Pump();
    TsCommonData data(grid, true);
    data.SetSkinSection("EDIT");
    TacMainWnd* a = AttachAdapter<TacGridWnd>(grid->Handle(), &data, nullptr, "");
    Command(grid->Handle(), SKC_REFRESH, reinterpret_cast<intptr_t>(manager.get()));
    EXPECT_EQ(uint32_t(grid->FixedColor()), uint32_t(manager->GetGlobalColor()));
    EXPECT_EQ(uint32_t(grid->FixedLineColor()), FixedLineColorOf(manager.get()));
    EXPECT_NE(FixedLineColorOf(manager.get()), uint32_t(vcl::clBlack));
    Command(grid->Handle(), SKC_REMOVESKIN, reinterpret_cast<intptr_t>(manager.get()));
    EXPECT_EQ(uint32_t(grid->FixedColor()), 0x102030u);
    EXPECT_EQ(uint32_t(grid->FixedLineColor()), 0x405060u);
    FreeAdapter(a);
    win::SCROLLBARINFO info;
    ASSERT_TRUE(win::GetScrollBarInfo(grid->Handle(), win::OBJID_VSCROLL, &info));
    EXPECT_FALSE(info.rgstate[0] & win::STATE_SYSTEM_INVISIBLE);
    EXPECT_EQ(win::SendMessageA(grid->Handle(), win::WM_NCHITTEST, 0,
                                win::MAKELPARAM(info.rcScrollBar.left + 2,
                                                (info.rcScrollBar.top + info.rcScrollBar.bottom) / 2)),
              win::HTVSCROLL);
}

// The platform's own multi-line edit and list box, without a class-library control: the frame
// ring is the cache's while skinned and the platform's again after, the bars follow the
// content, and the colour kept for painting is the section's.
TEST_F(EditWndTest, NativeEditAndListBoxTakeTheFrameAndGiveItBack) {
    struct Case {
        const char* cls;
        win::DWORD style;
        win::UINT add, scroll;
    };
    for (const Case& k : {Case{"Edit", win::ES_MULTILINE, 0, win::EM_LINESCROLL},
                          Case{"ListBox", win::LBS_NOTIFY, win::LB_ADDSTRING, win::LB_SETTOPINDEX}}) {
        SCOPED_TRACE(k.cls);
        win::HWND wnd = win::CreateWindowExA(
            0, k.cls, "", win::WS_CHILD | win::WS_VISIBLE | win::WS_BORDER | win::WS_VSCROLL | k.style,
            200, 10, 120, 90, form->Handle(), nullptr, nullptr, nullptr);
        std::string text;
        for (int i = 0; i < 40; ++i) {
            std::string line = "line " + std::to_string(i);
            if (k.add)
                win::SendMessageA(wnd, k.add, 0, reinterpret_cast<intptr_t>(line.c_str()));
            else
                text += line + "\r\n";
        }
        if (!k.add) win::SetWindowTextA(wnd, text.c_str());
        Pump();
        const win::COLORREF classic = WindowPixel(wnd, 0, 45);

        TacMainWnd* a = AttachAdapter<TacEditWnd>(wnd, nullptr, manager.get(), "", true);
        auto* edit = static_cast<TacEditWnd*>(a);
        Command(wnd, SKC_REFRESH, reinterpret_cast<intptr_t>(manager.get()));
        win::RedrawWindow(wnd, nullptr, nullptr,
                          win::RDW_FRAME | win::RDW_INVALIDATE | win::RDW_UPDATENOW);
        Pump();
        const TsCommonData* data = edit->SkinData;
        ASSERT_TRUE(manager->IsValidSkinIndex(data->SkinIndex));
        EXPECT_EQ(edit->SkinColor, manager->Sections()[size_t(data->SkinIndex)].Color);
        vcl::TBitmap* cache = data->CacheBmp();
        ASSERT_NE(cache, nullptr);
        const win::COLORREF ring = vcl::ColorToRGB(cache->Canvas()->Pixels(0, 45));
        ASSERT_NE(ring, classic);
        EXPECT_EQ(WindowPixel(wnd, 0, 45), ring);

        ASSERT_TRUE(edit->VBar.Shown);
        win::SendMessageA(wnd, k.scroll, k.add ? 12 : 0, k.add ? 0 : 12);  // top index; lines
        Pump();
        EXPECT_GT(edit->VBar.ScrollInfo.nPos, 0);
        EXPECT_EQ(edit->VBar.ScrollInfo.nPos, win::GetScrollPos(wnd, win::SB_VERT));

        FreeAdapter(a);
        Pump();
        EXPECT_EQ(WindowPixel(wnd, 0, 45), classic);
        win::DestroyWindow(wnd);
    }
}

// A native multi-line edit prints as it shows: the skin's frame and bars around its text.
TEST_F(EditWndTest, ANativeEditPrintsAsItShows) {
    win::HWND wnd =
        win::CreateWindowExA(0, "Edit", "",
                             win::WS_CHILD | win::WS_VISIBLE | win::WS_BORDER | win::WS_VSCROLL |
                                 win::WS_HSCROLL | win::ES_MULTILINE | win::ES_AUTOHSCROLL,
                             170, 10, 110, 90, form->Handle(), nullptr, nullptr, nullptr);
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "a native line " + std::to_string(i) + " and some more\r\n";
    win::SetWindowTextA(wnd, text.c_str());
    TacMainWnd* a = AttachAdapter<TacEditWnd>(wnd, nullptr, manager.get(), "", true);
    auto* edit = static_cast<TacEditWnd*>(a);
    Command(wnd, SKC_REFRESH, reinterpret_cast<intptr_t>(manager.get()));
    win::SendMessageA(wnd, win::EM_LINESCROLL, 3, 12);
    win::RedrawWindow(wnd, nullptr, nullptr,
                      win::RDW_FRAME | win::RDW_INVALIDATE | win::RDW_UPDATENOW);
    Pump();
    ASSERT_TRUE(edit->VBar.Shown && edit->HBar.Shown);
    win::RECT wr;
    win::GetWindowRect(wnd, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    vcl::TBitmap print;
    print.SetPixelFormat(vcl::pf24bit);
    print.SetSize(w, h);
    win::SendMessageA(wnd, win::WM_PRINT, reinterpret_cast<uintptr_t>(print.Canvas()->Handle()),
                      win::PRF_NONCLIENT | win::PRF_CLIENT | win::PRF_ERASEBKGND);
    int differing = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            differing += vcl::ColorToRGB(print.Canvas()->Pixels(x, y)) != WindowPixel(wnd, x, y);
    EXPECT_EQ(differing, 0);
    FreeAdapter(a);
    win::DestroyWindow(wnd);
}

// Focus and the mouse give the memo's frame its active look and take it away again. The mouse
// over an adapted native edit makes that the manager's hot control, which the memo hears.
TEST_F(EditWndTest, FocusAndTheMouseLightTheFrame) {
    WindowSlots().UpdateEditWndAdapter(memo->SkinData(), adapter);
    win::HWND other =
        win::CreateWindowExA(0, "Edit", "", win::WS_CHILD | win::WS_VISIBLE | win::WS_BORDER, 170,
                             10, 100, 24, form->Handle(), nullptr, nullptr, nullptr);
    TacMainWnd* otherAdapter = AttachAdapter<TacEditWnd>(other, nullptr, manager.get(), "", true);
    // The outer ring of the memo's frame, three pixels deep.
    auto frame = [&] {
        std::vector<win::COLORREF> px;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 150; ++x)
                if (x < 3 || y < 3 || x >= 147 || y >= 97)
                    px.push_back(WindowPixel(memo->Handle(), x, y));
        return px;
    };
    win::SetFocus(other);
    Pump();
    const auto normal = frame();
    memo->SetFocus();
    Pump();
    const auto active = frame();
    EXPECT_NE(active, normal);
    win::SetFocus(other);
    Pump();
    EXPECT_EQ(frame(), normal);

    win::RECT mr, er;
    win::GetWindowRect(memo->Handle(), &mr);
    win::GetWindowRect(other, &er);
    QueueMove(mr.left + 30, mr.top + 30);
    Pump();
    EXPECT_EQ(manager->ActiveControl(), memo->Handle());
    EXPECT_EQ(frame(), active);
    QueueMove(er.left + 10, er.top + 10);
    Pump();
    EXPECT_EQ(manager->ActiveControl(), other);
    EXPECT_EQ(frame(), normal);
    FreeAdapter(otherAdapter);
    win::DestroyWindow(other);
}

// Odd skin data never faults the corners: a mask without images, a state far beyond them.
TEST_F(EditWndTest, CornersSurviveMasksWithoutImages) {
    WindowSlots().UpdateEditWndAdapter(memo->SkinData(), adapter);
    TsCommonData* data = memo->SkinData();
    ASSERT_GE(data->BorderIndex, 0);
    TsMaskData& mask = manager->Masks()[size_t(data->BorderIndex)];
    int16_t saved = mask.ImageCount;
    for (int count : {0, 1, 3}) {
        mask.ImageCount = int16_t(count);
        for (int state : {-3, 0, 2, 99}) FillAdapterCorners(state, data, memo->Handle());
    }
    mask.ImageCount = saved;
}

// The skin's removal reaches the memo through its adapter, which the memo frees meanwhile: the
// adapter outlives its own message.
TEST_F(EditWndTest, TheMemoFreesItsAdapterFromInsideTheAdaptersMessage) {
    ASSERT_NE(memo->Adapter(), nullptr);
    ASSERT_NE(FindWindowAdapter(memo->Handle()), nullptr);
    Command(memo->Handle(), SKC_REMOVESKIN, reinterpret_cast<intptr_t>(manager.get()));
    Pump();
    EXPECT_EQ(memo->Adapter(), nullptr);
    EXPECT_EQ(FindWindowAdapter(memo->Handle()), nullptr);
}

// A skinned list view scrolls by the thumb's difference from where the bars last tracked it: the
// bars must still hold the previous place while the list handles the move.
TEST_F(EditWndTest, AListViewFollowsTheDraggedThumbByWholeRows) {
    form->SetClientSize(400, 160);
    auto* list = Place<TsListView>(form, vcl::Bounds(170, 10, 200, 120));
    list->SetViewStyle(vcl::vsReport);
    list->Columns()->Add()->SetCaption("Number");
    for (int i = 0; i < 60; ++i) list->Items()->Add()->SetCaption("row " + std::to_string(i));
    Command(list->Handle(), SKC_REFRESH, reinterpret_cast<intptr_t>(manager.get()));
    Pump();
    auto* bars = dynamic_cast<TacScrollWnd*>(FindWindowAdapter(list->Handle()));
    ASSERT_NE(bars, nullptr);
    ASSERT_TRUE(bars->VBar.Shown);
    const win::RECT v = bars->BarRects().vert;
    const win::POINT from{(v.left + v.right) / 2,
                          v.top + bars->BarArrowLength(bars->VBar, false) + 3};
    Down(from);
    QueueMove(from.x, from.y + 30);
    Pump();
    const intptr_t top = list->Perform(win::LVM_GETTOPINDEX, 0, 0);
    EXPECT_GT(top, 0);
    Up(win::POINT{from.x, from.y + 30});
    EXPECT_EQ(list->Perform(win::LVM_GETTOPINDEX, 0, 0), top);
}

}  // namespace
}  // namespace skin::testing

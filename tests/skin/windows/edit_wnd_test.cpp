// The frame-and-bars adapter of edit-like controls, made through the skinned controls' slot.
#include "skin/windows/scroll/edit_wnd.h"
#include "skin/windows/scroll/grid_wnd.h"
#include "vcl/controls/grids.h"

#include <gtest/gtest.h>

#include "platform/gdi/sys_colors.h"
#include "skin/controls/edits.h"
#include "skin/controls/window_services.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/data/skin_data.h"
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

TEST_F(EditWndTest, ColoursComeFromTheSkinAndGoBackWithIt) {
    memo->SetColor(vcl::TColor(0x123456));
    memo->Font()->SetColor(vcl::TColor(0x654321));
    WindowSlots().UpdateEditWndAdapter(memo->SkinData(), adapter);
    ASSERT_NE(dynamic_cast<TacEditWnd*>(adapter.get()), nullptr);
    Command(memo->Handle(), SKC_REFRESH, reinterpret_cast<intptr_t>(manager.get()));
    EXPECT_EQ(uint32_t(memo->Color()), GetControlBGColor(memo->SkinData(), false, memo->Handle()));
    EXPECT_NE(uint32_t(memo->Color()), 0x123456u);
    // The skin goes: the slot frees the adapter, which gives the memo its own colours back.
    manager->SetActive(false);
    WindowSlots().UpdateEditWndAdapter(memo->SkinData(), adapter);
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
    int x = (v.left + v.right) / 2 - client.x, y = (v.top + v.bottom) * 3 / 4 - client.y;
    EXPECT_NE(ScreenPixel(memo, x, y), win::GetSysColor(win::COLOR_SCROLLBAR));
    // Typing moves the position; the bars follow.
    for (int i = 0; i < 5; ++i) memo->Perform(win::WM_KEYDOWN, win::VK_DOWN, 0);
    Pump();
    EXPECT_EQ(edit->VBar.ScrollInfo.nPos, win::GetScrollPos(memo->Handle(), win::SB_VERT));
}

// A string grid: the skin's fixed colour while skinned, its own and its system bars after.
TEST_F(EditWndTest, AGridTakesTheFixedColourAndGetsItsBarsBack) {
    auto* grid = Place<vcl::TStringGrid>(form, vcl::Bounds(10, 120, 200, 70));
    grid->SetRowCount(50);
    grid->SetFixedColor(vcl::TColor(0x102030));
    Pump();
    TsCommonData data(grid, true);
    data.SetSkinSection("EDIT");
    TacMainWnd* a = AttachAdapter<TacGridWnd>(grid->Handle(), &data, nullptr, "");
    Command(grid->Handle(), SKC_REFRESH, reinterpret_cast<intptr_t>(manager.get()));
    EXPECT_EQ(uint32_t(grid->FixedColor()), uint32_t(manager->GetGlobalColor()));
    Command(grid->Handle(), SKC_REMOVESKIN, reinterpret_cast<intptr_t>(manager.get()));
    EXPECT_EQ(uint32_t(grid->FixedColor()), 0x102030u);
    FreeAdapter(a);
    win::SCROLLBARINFO info;
    ASSERT_TRUE(win::GetScrollBarInfo(grid->Handle(), win::OBJID_VSCROLL, &info));
    EXPECT_FALSE(info.rgstate[0] & win::STATE_SYSTEM_INVISIBLE);
    EXPECT_EQ(win::SendMessageA(grid->Handle(), win::WM_NCHITTEST, 0,
                                win::MAKELPARAM(info.rcScrollBar.left + 2,
                                                (info.rcScrollBar.top + info.rcScrollBar.bottom) / 2)),
              win::HTVSCROLL);
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

}  // namespace
}  // namespace skin::testing

// The grid adapter on a data grid: the thumb's drag leaves the grid on the record it was let go
// at, arrows after a drag move one record, a print shows the cells, and the header and the
// current cell take the skin's colours until the skin goes.
#include "skin/windows/scroll/grid_wnd.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "skin/core/pixels/blend.h"
#include "skin/core/state/common_data.h"
#include "skin/core/state/skin_commands.h"
#include "tests/skin/windows/windows_fixture.h"
#include "vcl/controls/db_grids.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/canvas.h"

namespace skin::testing {
namespace {

// Records 1 .. count with one number field.
class TNumbers : public vcl::TDataSet {
public:
    explicit TNumbers(int count) : count_(count) {}

protected:
    void InternalOpen() override {
        columns_ = {{"N", "INTEGER"}};
        for (int i = 1; i <= count_; ++i) cells_.emplace_back(int64_t{i});
    }

private:
    int count_;
};

class GridWndTest : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        data = std::make_unique<TNumbers>(200);
        source = vcl::New<vcl::TDataSource>(form);
        source->SetDataSet(data.get());
        grid = Place<vcl::TDBGrid>(form, vcl::Bounds(10, 10, 250, 150));
        grid->SetDataSource(source);
        grid->OnDrawColumnCell = vcl::TDrawColumnCellEvent::FromCallable(
            [this](vcl::TObject*, const vcl::TRect&, int, vcl::TColumn*, vcl::TGridDrawState) {
                ++drawn;
            });
        data->Open();
        form->Show();
        Pump();
        skinData = std::make_unique<TsCommonData>(grid, true);
        skinData->SetSkinSection("EDIT");
        adapter = AttachAdapter<TacGridWnd>(grid->Handle(), skinData.get(), nullptr, "");
        Command(grid->Handle(), 3, reinterpret_cast<intptr_t>(manager.get()));
        Pump();
    }
    void TearDown() override {
        TacMainWnd* a = adapter;
        FreeAdapter(a);
        skinData.reset();
        grid->Free();
        data.reset();
        WindowsTest::TearDown();
    }

    std::unique_ptr<TNumbers> data;
    vcl::TDataSource* source = nullptr;
    vcl::TDBGrid* grid = nullptr;
    std::unique_ptr<TsCommonData> skinData;
    TacGridWnd* adapter = nullptr;
    int drawn = 0;
};

TEST_F(GridWndTest, ADragEndsOnTheRecordTheThumbWasLetGoAt) {
    ASSERT_TRUE(adapter->VBar.Shown);
    win::RECT v = adapter->BarRects().vert;
    const int arrow = adapter->BarArrowLength(adapter->VBar, false);
    const int x = (v.left + v.right) / 2;
    win::POINT thumb{x, v.top + arrow + 2};
    Down(thumb);
    for (int y : {thumb.y + 10, thumb.y + 37, thumb.y + 41}) {
        QueueMove(x, y);
        Pump();
    }
    const int tracked = ScrollMouse().LastTrackPosition;
    ASSERT_GT(tracked, 1);
    ASSERT_LT(tracked, 200);
    Up(win::POINT{x, thumb.y + 41});
    EXPECT_EQ(data->RecNo(), tracked);
    EXPECT_EQ(win::GetScrollPos(grid->Handle(), win::SB_VERT), tracked);

    // The arrow after the drag moves one record on from there.
    Click(win::POINT{x, v.bottom - arrow / 2 - 1});
    EXPECT_EQ(data->RecNo(), tracked + 1);
}

TEST_F(GridWndTest, APrintShowsTheCellsInsideTheSkinnedFrame) {
    win::RECT wr;
    win::GetWindowRect(grid->Handle(), &wr);
    vcl::TBitmap print;
    print.SetPixelFormat(vcl::pf24bit);
    print.SetSize(wr.right - wr.left, wr.bottom - wr.top);
    drawn = 0;
    win::SendMessageA(grid->Handle(), win::WM_PRINT,
                      reinterpret_cast<uintptr_t>(print.Canvas()->Handle()),
                      win::PRF_NONCLIENT | win::PRF_CLIENT);
    EXPECT_GT(drawn, 0);
    // Inside the client the print matches the screen; the frame ring is the cache's.
    win::POINT o{0, 0};
    win::ClientToScreen(grid->Handle(), &o);
    const int cx = o.x - wr.left, cy = o.y - wr.top;
    for (auto [x, y] : {std::pair{5, 5}, std::pair{40, 30}, std::pair{100, 60}})
        EXPECT_EQ(vcl::ColorToRGB(print.Canvas()->Pixels(cx + x, cy + y)), ScreenPixel(grid, x, y))
            << x << "," << y;
    vcl::TBitmap* cache = skinData->CacheBmp();
    ASSERT_NE(cache, nullptr);
    EXPECT_EQ(vcl::ColorToRGB(print.Canvas()->Pixels(0, 40)),
              vcl::ColorToRGB(cache->Canvas()->Pixels(0, 40)));
}

TEST_F(GridWndTest, TheHeaderAndCurrentCellTakeTheSkinsColoursUntilItGoes) {
    TsSkinManager* m = manager.get();
    const struct {
        const char* name;
        uint32_t skinned, own;
    } colours[] = {
        {"FixedGradientFrom", BlendTwoColors(m->GetGlobalColor(), m->GetGlobalHotColor(), 0.5),
         vcl::clNone},
        {"FixedGradientMirrorTo", BlendTwoColors(m->GetGlobalColor(), vcl::clWhite, 0.9),
         vcl::clNone},
        {"SelectionColor", m->GetHighlightColor(), uint32_t(vcl::clHighlight)},
        {"SelectionTextColor", m->GetHighlightFontColor(), uint32_t(vcl::clHighlightText)},
    };
    for (const auto& c : colours)
        EXPECT_EQ(uint32_t(vcl::GetOrdProp(grid, c.name)), c.skinned) << c.name;

    Command(grid->Handle(), SKC_REMOVESKIN, reinterpret_cast<intptr_t>(m));
    for (const auto& c : colours)
        EXPECT_EQ(uint32_t(vcl::GetOrdProp(grid, c.name)), c.own) << c.name;
}

}  // namespace
}  // namespace skin::testing

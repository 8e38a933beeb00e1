// The skinned bit button: its region, its states and its fades through the window services.
#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "platform/gdi/region.h"
#include "platform/user/user.h"
#include "platform/user/window_region.h"
#include "skin/controls/buttons.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/skin_commands.h"
#include "tests/skin/controls/skinned_form.h"

namespace skin {
namespace {

using namespace vcl;

class SkinnedBitBtnTest : public skin_test::SkinnedFormTest {
protected:
    void TearDown() override {
        ResetWindowServices();
        SkinnedFormTest::TearDown();
    }
};

TEST_F(SkinnedBitBtnTest, TheWindowRegionIsTheRectangleLessTheMasksKeyCorners) {
    // The frame's outer corner pixels become the key colour in every state.
    const TsMaskData& frame =
        manager->Masks()[size_t(manager->Skin().Sections[size_t(manager->GetSkinIndex("BUTTON"))]
                                    .BordersMask)];
    const PixelView master = ViewOf(manager->MasterBitmap());
    const int fw = frame.R.Width() / frame.ImageCount, fh = frame.R.Height() / (frame.MaskType + 1);
    for (int s = 0; s < frame.ImageCount; ++s)
        for (auto [x, y] : {std::pair{0, 0}, {fw - 1, fh - 1}}) {
            uint8_t* p = master.At(frame.R.Left + s * fw + x, frame.R.Top + y);
            p[0] = 0xFF, p[1] = 0x00, p[2] = 0xFF;
        }
    auto* b = Place<TsBitBtn>(form, Bounds(10, 10, 75, 25));
    b->SetCaption("OK");
    form->Show();
    Pump();
    win::HRGN rgn = win::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(win::GetWindowRgn(b->Handle(), rgn), 0);
    win::RECT box{};
    win::GetRgnBox(rgn, &box);
    EXPECT_EQ(box.right - box.left, 75);
    EXPECT_EQ(box.bottom - box.top, 25);
    EXPECT_TRUE(win::PtInRegion(rgn, 37, 12));
    EXPECT_FALSE(win::PtInRegion(rgn, 0, 0));
    EXPECT_FALSE(win::PtInRegion(rgn, 74, 24));
    // A new size makes a new region; the window frees the one it had (checked under ASan).
    b->SetBounds(10, 10, 90, 30);
    Pump();
    ASSERT_NE(win::GetWindowRgn(b->Handle(), rgn), 0);
    win::GetRgnBox(rgn, &box);
    EXPECT_EQ(box.right, 90);
    // The fade paints its own frames: the button does not take command 24.
    EXPECT_EQ(b->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_PAINTTOBITMAP)), 0);
    win::DeleteObject(rgn);
}

TEST_F(SkinnedBitBtnTest, ADefaultButtonLooksHotWhereverTheMouseIs) {
    auto* ok = Place<TsBitBtn>(form, Bounds(10, 10, 75, 25));
    auto* other = Place<TsBitBtn>(form, Bounds(100, 10, 75, 25));
    ok->SetDefault(true);
    form->Show();
    Pump();
    other->SetFocus();
    Pump();
    EXPECT_EQ(ok->CurrentState(), 1);
    EXPECT_EQ(other->CurrentState(), 1);  // focused
}

TEST_F(SkinnedBitBtnTest, StateChangesFadeThroughTheServicesAndAReleaseShowsThePressFirst) {
    std::vector<std::string> log;
    skin_test::RecordFades(log);
    auto* b = Place<TsBitBtn>(form, Bounds(10, 10, 75, 25));
    std::vector<int> painted;  // the state of every cache build
    b->OnPaint = TBmpPaintEvent::FromCallable(
        [&](TObject*, TBitmap*) { painted.push_back(b->CurrentState()); });
    form->Show();
    Pump();
    b->Perform(CM_MOUSEENTER);
    EXPECT_EQ(log, (std::vector<std::string>{"slow fade"}));
    // While the fade runs, the button paints nothing of its own.
    painted.clear();
    b->Repaint();
    EXPECT_TRUE(painted.empty());
    log.clear();
    const uint64_t slept = clock_.SleptMs();
    b->Perform(win::WM_LBUTTONDOWN, 0, win::MAKELPARAM(5, 5));
    b->Perform(win::WM_LBUTTONUP, 0, win::MAKELPARAM(5, 5));
    // The running fade stopped, the pressed look shown at once, 30 ms waited, the release fades.
    EXPECT_EQ(log, (std::vector<std::string>{"fast fade", "fade freed", "fast fade"}));
    EXPECT_EQ(painted, std::vector<int>{2});
    EXPECT_EQ(clock_.SleptMs() - slept, 30u);
    // Command 16 ends the fade.
    log.clear();
    b->Perform(SM_ALPHACMD, SkinCommandWParam(SKC_STOPFADE));
    EXPECT_EQ(log, std::vector<std::string>{"fade freed"});
}

TEST_F(SkinnedBitBtnTest, RemovingTheSkinGivesTheClassicButtonBack) {
    manager->SetActive(false);
    auto* b = Place<TsBitBtn>(form, Bounds(10, 10, 75, 25));
    b->SetCaption("Cancel");
    form->Show();
    Pump();
    auto pixels = [&] {
        Pump();
        std::vector<win::COLORREF> px;
        for (int y = 0; y < 25; ++y)
            for (int x = 0; x < 75; ++x) px.push_back(ScreenPixel(b, x, y));
        return px;
    };
    const auto classic = pixels();
    manager->SetActive(true);
    EXPECT_NE(pixels(), classic);
    manager->SetActive(false);
    EXPECT_EQ(pixels(), classic);
    win::HRGN rgn = win::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(win::GetWindowRgn(b->Handle(), rgn), 0);  // no region left
    win::DeleteObject(rgn);
}

}  // namespace
}  // namespace skin

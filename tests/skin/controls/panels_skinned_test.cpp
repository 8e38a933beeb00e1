// The skinned panel and drag bar: the two paint paths agree, see-through sections, the
// children's background, the title colours and the classic look after the skin goes.
#include <gtest/gtest.h>

#include <vector>

#include "platform/user/messages.h"
#include "skin/controls/panels.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/skin_commands.h"
#include "tests/skin/controls/skinned_form.h"

namespace skin {
namespace {

using namespace vcl;

class SkinnedPanelTest : public skin_test::SkinnedFormTest {
protected:
    TsGeneralData& Mutable(const char* name) {
        return manager->Skin().Sections[size_t(manager->GetSkinIndex(name))];
    }
    std::vector<win::COLORREF> Pixels(TControl* c) {
        Pump();
        std::vector<win::COLORREF> px;
        for (int y = 0; y < c->Height(); ++y)
            for (int x = 0; x < c->Width(); ++x) px.push_back(ScreenPixel(c, x, y));
        return px;
    }
    static uint32_t At(TBitmap* b, int x, int y) {
        const uint8_t* px = ViewOf(b).At(x, y);
        return uint32_t(px[0]) << 16 | px[1] << 8 | px[2];  // as COLORREF
    }
};

TEST_F(SkinnedPanelTest, PlainFillAndCacheShowTheSamePixels) {
    auto* panel = Place<TsPanel>(form, Bounds(10, 10, 120, 60));
    form->Show();
    Pump();
    ASSERT_FALSE(panel->SkinData()->NeedsParentBG());
    const win::COLORREF fast = ScreenPixel(panel, 60, 30);
    EXPECT_EQ(fast, win::COLORREF(Mutable("PANEL").Color) & 0xFFFFFF);
    panel->PrepareCache();
    EXPECT_EQ(At(panel->SkinData()->CacheBmp(), 60, 30), fast);
    EXPECT_EQ(SendSkinCommand(panel->Handle(), SKC_GETBGCOLOR, 0) & 0xFFFFFF, intptr_t(fast));
}

TEST_F(SkinnedPanelTest, ASeeThroughPanelShowsItsParentAndHandsThatOn) {
    Mutable("PANEL").Transparency = 100;
    form->SetColor(TColor(0x123456));
    auto* panel = Place<TsPanel>(form, Bounds(10, 10, 160, 80));
    auto* child = Place<TsPanel>(panel, Bounds(40, 20, 60, 40));
    form->Show();
    Pump();
    const win::COLORREF behind = ScreenPixel(form, 200, 150);
    EXPECT_EQ(behind, win::COLORREF(0x123456));
    EXPECT_EQ(ScreenPixel(panel, 20, 60), behind);
    EXPECT_EQ(ScreenPixel(child, 30, 20), behind);
}

TEST_F(SkinnedPanelTest, ChildrenGetTheCacheAtTheirOwnPlaceWhateverTheBevels) {
    Mutable("PANEL").Transparency = 50;  // the cache answers
    auto* panel = Place<TsPanel>(form, Bounds(10, 10, 160, 80));
    panel->SetBevelOuter(bvRaised);
    panel->SetBevelWidth(2);
    panel->SetBorderWidth(3);
    form->Show();
    Pump();
    BackgroundInfo info;
    SendSkinCommand(panel->Handle(), SKC_GETBGINFO, reinterpret_cast<intptr_t>(&info));
    EXPECT_EQ(info.BgType, btCache);
    EXPECT_EQ(info.Bmp, panel->SkinData()->CacheBmp());
    // Children are placed in window coordinates, as the cache is: no shift for the insets.
    EXPECT_EQ(info.Offset.X, 0);
    EXPECT_EQ(info.Offset.Y, 0);
    EXPECT_FALSE(panel->SkinData()->CacheStale);
}

TEST_F(SkinnedPanelTest, DragBarKeepsItsCaptionReadableInBothTitleLooks) {
    auto* bar = Place<TsDragBar>(form, Bounds(0, 0, 300, 20));
    EXPECT_EQ(bar->SkinData()->SkinSection(), "DRAGBAR");
    bar->Perform(win::WM_ACTIVATEAPP, 0, 0);
    EXPECT_EQ(bar->Color(), clInactiveCaption);
    EXPECT_EQ(bar->Font()->Color(), clInactiveCaptionText);
    bar->Perform(win::WM_ACTIVATEAPP, 1, 0);
    EXPECT_EQ(bar->Color(), clActiveCaption);
    EXPECT_EQ(bar->Font()->Color(), clCaptionText);
    bar->SetParentColor(true);
    manager->SetActive(false);
    EXPECT_EQ(bar->Color(), clActiveCaption);
    EXPECT_FALSE(bar->ParentColor());
}

TEST_F(SkinnedPanelTest, RemovingTheSkinGivesTheClassicPanelBack) {
    manager->SetActive(false);
    auto* panel = Place<TsPanel>(form, Bounds(10, 10, 150, 50));
    panel->SetCaption("Modem");
    panel->SetBevelInner(bvLowered);
    Place<TsPanel>(panel, Bounds(5, 5, 30, 20));
    form->Show();
    const auto classic = Pixels(panel);
    manager->SetActive(true);
    EXPECT_NE(Pixels(panel), classic);
    manager->SetActive(false);
    EXPECT_EQ(Pixels(panel), classic);
}

}  // namespace
}  // namespace skin

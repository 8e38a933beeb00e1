// The skinned panel, drag bar and group box: the panel's two paint paths agree, see-through
// sections, the children's background, the title colours, the group box's frame and caption,
// and the classic look after the skin goes (buttons and bevels too).
#include <gtest/gtest.h>

#include <vector>

#include "platform/user/messages.h"
#include "skin/controls/bevel.h"
#include "skin/controls/buttons.h"
#include "skin/controls/control_frame.h"
#include "skin/controls/edits.h"
#include "skin/controls/gauge.h"
#include "skin/controls/group_box.h"
#include "skin/controls/panels.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/skin_commands.h"
#include "tests/skin/controls/skinned_form.h"

namespace skin {
namespace {

using namespace vcl;

class SkinnedContainerTest : public skin_test::SkinnedFormTest {
protected:
    TsGeneralData& Mutable(const char* name) {
        return manager->Skin().Sections[size_t(manager->GetSkinIndex(name))];
    }
    std::vector<win::COLORREF> Pixels(TControl* c) {
        Pump();
        std::vector<win::COLORREF> px;
        for (int y = 0; y < c->Height(); ++y)
            for (int x = 0; x < c->Width(); ++x)
                px.push_back(ScreenPixel(c, x, y));
        return px;
    }
    static uint32_t At(TBitmap* b, int x, int y) {
        const uint8_t* px = ViewOf(b).At(x, y);
        return uint32_t(px[0]) << 16 | px[1] << 8 | px[2];  // as COLORREF
    }
};

TEST_F(SkinnedContainerTest, PlainFillAndCacheShowTheSamePixels) {
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

TEST_F(SkinnedContainerTest, ASeeThroughPanelShowsItsParentAndHandsItsCacheOn) {
    Mutable("PANEL").Transparency = 100;
    form->SetColor(TColor(0x123456));
    auto* panel = Place<TsPanel>(form, Bounds(10, 10, 160, 80));
    auto* child = Place<TsPanel>(panel, Bounds(40, 20, 60, 40));
    form->Show();
    Pump();
    EXPECT_EQ(ScreenPixel(form, 200, 150), win::COLORREF(0x123456));
    EXPECT_EQ(ScreenPixel(panel, 20, 60), win::COLORREF(0x123456));
    EXPECT_EQ(ScreenPixel(child, 30, 20), win::COLORREF(0x123456));
    // Half see-through with insets: children are placed in window coordinates, as the cache
    // is, so they get it unshifted.
    Mutable("PANEL").Transparency = 50;
    panel->SetBevelWidth(2);
    panel->SetBorderWidth(3);
    BackgroundInfo info;
    SendSkinCommand(panel->Handle(), SKC_GETBGINFO, reinterpret_cast<intptr_t>(&info));
    EXPECT_EQ(info.BgType, btCache);
    EXPECT_EQ(info.Bmp, panel->SkinData()->CacheBmp());
    EXPECT_EQ(info.Offset.X, 0);
    EXPECT_EQ(info.Offset.Y, 0);
    EXPECT_FALSE(panel->SkinData()->CacheStale);
}

TEST_F(SkinnedContainerTest, OnlyAPanelPartlyOutsideItsParentRebuildsAtEachChildsRequest) {
    Mutable("PANEL").Transparency = 50;  // its children take its image
    auto* inside = Place<TsPanel>(form, Bounds(10, 10, 120, 60));
    auto* across = Place<TsPanel>(form, Bounds(200, 10, 400, 60));  // past the form's right
    int builds[2] = {0, 0};
    inside->OnPaint = TPaintEvent::FromCallable([&](TObject*, TCanvas*) { ++builds[0]; });
    across->OnPaint = TPaintEvent::FromCallable([&](TObject*, TCanvas*) { ++builds[1]; });
    form->Show();
    Pump();
    for (int& b : builds)
        b = 0;
    for (int i = 0; i < 3; ++i)
        for (TsPanel* p : {inside, across}) {
            BackgroundInfo info;
            SendSkinCommand(p->Handle(), SKC_GETBGINFO, reinterpret_cast<intptr_t>(&info));
            EXPECT_EQ(info.Bmp, p->SkinData()->CacheBmp());
        }
    EXPECT_EQ(builds[0], 0);
    EXPECT_EQ(builds[1], 3);
    // Made stale, the panel inside builds once more.
    inside->SkinData()->CacheStale = true;
    for (int i = 0; i < 2; ++i) {
        BackgroundInfo info;
        SendSkinCommand(inside->Handle(), SKC_GETBGINFO, reinterpret_cast<intptr_t>(&info));
    }
    EXPECT_EQ(builds[0], 1);
}

TEST_F(SkinnedContainerTest, AButtonInAGroupBoxRebuildsOnlyWhileTheBoxIsClipped) {
    auto* inside = Place<TsGroupBox>(form, Bounds(10, 100, 200, 80));
    auto* across = Place<TsGroupBox>(form, Bounds(300, 10, 400, 80));  // past the form's right
    int builds[2] = {0, 0};
    for (int i : {0, 1}) {
        auto* b = Place<TsBitBtn>(i ? across : inside, Bounds(20, 30, 75, 25));
        b->OnPaint = TBmpPaintEvent::FromCallable([&builds, i](TObject*, TBitmap*) { ++builds[i]; });
    }
    form->Show();
    Pump();
    for (int n = 0; n < 4; ++n) {
        if (n == 1) builds[0] = builds[1] = 0;  // counted after the first repaint
        for (TsGroupBox* box : {inside, across}) box->Controls(0)->Invalidate();
        Pump();
    }
    EXPECT_EQ(builds[0], 0);
    EXPECT_EQ(builds[1], 3);
}

TEST_F(SkinnedContainerTest, DragBarKeepsItsCaptionReadableInBothTitleLooks) {
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

TEST_F(SkinnedContainerTest, TheFrameStartsBelowTheCaptionsMiddle) {
    form->SetColor(TColor(0x123456));
    auto* box = Place<TsGroupBox>(form, Bounds(10, 10, 200, 100));
    box->SetCaption("Modem");
    form->Show();
    Pump();
    const TRect cr = box->CaptionRect(10);
    const int middle = cr.Top + cr.Height() / 2;
    // Right of the caption the form shows above the frame's top line, which is the middle row.
    EXPECT_EQ(ScreenPixel(box, 150, middle - 1), win::COLORREF(0x123456));
    EXPECT_NE(ScreenPixel(box, 150, middle), win::COLORREF(0x123456));
    // A negative offset moves the caption up and the frame to the top.
    box->SetCaptionYOffset(-4);
    Pump();
    EXPECT_NE(ScreenPixel(box, 150, 0), win::COLORREF(0x123456));
    // On a panel that answers with its image, the strip above the frame is that image.
    Mutable("PANEL").Transparency = 50;
    auto* panel = Place<TsPanel>(form, Bounds(0, 120, 300, 150));
    panel->OnPaint = TPaintEvent::FromCallable([](TObject*, TCanvas* c) {
        c->Brush()->SetColor(clLime);
        c->FillRect(Rect(0, 0, 300, 32));
    });
    auto* inner = Place<TsGroupBox>(panel, Bounds(20, 30, 200, 100));
    Pump();
    inner->PrepareCache();
    EXPECT_EQ(At(inner->SkinData()->CacheBmp(), 150, 1), 0x00FF00u);
}

TEST_F(SkinnedContainerTest, TheCaptionSitsOnItsOwnSection) {
    auto* box = Place<TsGroupBox>(form, Bounds(10, 10, 200, 100));
    box->SetCaption("W");
    form->Show();
    Pump();
    auto captionPixel = [&] {
        box->PrepareCache();
        const TRect cr = box->CaptionRect(10);
        return At(box->SkinData()->CacheBmp(), cr.Left + 1, cr.Top + cr.Height() / 2);
    };
    const uint32_t byDefault = captionPixel();
    box->SetCaptionSkin("CHECKBOX");
    EXPECT_EQ(captionPixel(), byDefault);
    // A section the skin lacks: the caption lies on the box's colour.
    box->SetColor(TColor(0x00C0FF));
    box->SetCaptionSkin("NO SUCH SECTION");
    EXPECT_EQ(captionPixel(), 0x00C0FFu);
    // The children's background is then the box's cache.
    BackgroundInfo info;
    SendSkinCommand(box->Handle(), SKC_GETBGINFO, reinterpret_cast<intptr_t>(&info));
    EXPECT_EQ(info.BgType, btCache);
    EXPECT_EQ(info.Bmp, box->SkinData()->CacheBmp());
}

TEST_F(SkinnedContainerTest, ASkinComingAndGoingReachesTheChildrenOfPanelsAndGroupBoxes) {
    manager->SetActive(false);
    auto* panel = Place<TsPanel>(form, Bounds(10, 10, 200, 80));
    auto* box = Place<TsGroupBox>(panel, Bounds(5, 5, 180, 70));
    std::vector<std::pair<TControl*, TsCommonData*>> children;
    for (TWinControl* parent : std::initializer_list<TWinControl*>{panel, box}) {
        auto* g = Place<TsGauge>(parent, Bounds(10, 25, 60, 16));
        auto* e = Place<TsEdit>(parent, Bounds(80, 25, 60, 20));
        children.insert(children.end(), {{g, g->SkinData()}, {e, e->SkinData()}});
    }
    form->Show();
    Pump();
    for (bool active : {true, false, true}) {
        manager->SetActive(active);
        Pump();
        for (auto [c, d] : children)
            EXPECT_EQ(IsSkinnedNow(c, d), active)
                << c->ClassName() << " on " << c->Parent()->ClassName();
    }
}

TEST_F(SkinnedContainerTest, RemovingTheSkinGivesTheClassicLookBack) {
    manager->SetActive(false);
    auto* panel = Place<TsPanel>(form, Bounds(10, 10, 150, 50));
    panel->SetCaption("Modem");
    panel->SetBevelInner(bvLowered);
    Place<TsPanel>(panel, Bounds(5, 5, 30, 20));
    auto* box = Place<TsGroupBox>(form, Bounds(10, 70, 160, 70));
    box->SetCaption("Filter");
    box->SetCaptionYOffset(6);
    auto* button = Place<TsSpeedButton>(form, Bounds(180, 10, 90, 26));
    button->SetCaption("Start");
    button->SetButtonStyle(tbsDropDown);
    auto* frame = Place<TsBevel>(form, Bounds(180, 50, 90, 40));
    auto* line = Place<TsBevel>(form, Bounds(180, 100, 90, 8));
    line->SetShape(bsTopLine);
    form->Show();
    for (TControl* c : std::initializer_list<TControl*>{panel, box, button, frame, line}) {
        const auto classic = Pixels(c);
        manager->SetActive(true);
        EXPECT_NE(Pixels(c), classic);
        manager->SetActive(false);
        EXPECT_EQ(Pixels(c), classic);
    }
}

}  // namespace
}  // namespace skin

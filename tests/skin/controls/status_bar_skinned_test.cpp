// The skinned status bar: where its panels lie, what stands between them, and what it paints.
#include <gtest/gtest.h>

#include "skin/controls/edits.h"
#include "skin/controls/gauge.h"
#include "skin/controls/status_bar.h"
#include "skin/core/pixels/bitmaps.h"
#include "tests/skin/controls/skinned_form.h"

namespace skin {
namespace {

using namespace vcl;

class SkinnedStatusBarTest : public skin_test::SkinnedFormTest {
protected:
    TsStatusBar* Bar(std::initializer_list<int> widths) {
        auto* bar = Place<TsStatusBar>(form, Bounds(0, 170, 300, 22));
        bar->SetAlign(alNone);
        bar->SetSizeGrip(false);
        for (int w : widths)
            bar->Panels()->Add()->SetWidth(w);
        return bar;
    }
    // A copy of the status bar's border mask given to the skin as `prop` of `section`.
    void AddMask(const char* section, const char* prop) {
        TsSkinContent& skin = manager->Skin();
        const int from = manager->GetMaskIndexByNames("STATUSBAR", "BORDERSMASK");
        ASSERT_TRUE(skin.IsValidImgIndex(from));
        const TsMaskData& m = skin.Masks[size_t(from)];
        TsMaskData copy;
        if (m.Bmp) {
            copy.Bmp.reset(New<TBitmap>());
            copy.Bmp->Assign(m.Bmp.get());
        }
        copy.SectionName = section;
        copy.PropertyName = prop;
        copy.R = m.R;
        copy.ImageCount = m.ImageCount;
        copy.MaskType = m.MaskType;
        copy.BorderWidth = m.BorderWidth;
        copy.StretchMode = m.StretchMode;
        copy.ImgType = m.ImgType;
        copy.Manager = m.Manager;
        copy.WL = m.WL, copy.WT = m.WT, copy.WR = m.WR, copy.WB = m.WB;
        skin.Masks.push_back(std::move(copy));
    }
    // The columns of the middle row where two shots differ.
    static std::vector<int> Differ(TBitmap* a, TBitmap* b) {
        std::vector<int> cols;
        const PixelView va = ViewOf(a), vb = ViewOf(b);
        for (int x = 0; x < va.Width; ++x)
            if (!std::equal(va.At(x, va.Height / 2), va.At(x, va.Height / 2) + 3,
                            vb.At(x, vb.Height / 2)))
                cols.push_back(x);
        return cols;
    }
};

TEST_F(SkinnedStatusBarTest, TheLastPanelReachesTheRightEdgeAndSimpleModeHasOneArea) {
    auto* bar = Bar({100, 100, 20});
    const std::vector<TRect> areas = bar->PanelAreas();
    ASSERT_EQ(areas.size(), 3u);
    EXPECT_EQ(areas[1], TRect(100, 0, 200, 22));
    EXPECT_EQ(areas[2], TRect(200, 0, 300, 22));
    bar->SetSimplePanel(true);
    ASSERT_EQ(bar->PanelAreas().size(), 1u);
    EXPECT_EQ(bar->PanelAreas()[0], TRect(0, 1, 299, 21));
    EXPECT_EQ(TsStatusBar::TextArea(bar->PanelAreas()[0]), TRect(3, 2, 294, 21));
    // Widths beyond any bar end at its edge.
    bar->SetSimplePanel(false);
    bar->Panels()->Items(0)->SetWidth(INT_MAX);
    bar->Panels()->Items(1)->SetWidth(INT_MAX);
    EXPECT_EQ(bar->PanelAreas()[1], TRect(300, 0, 300, 22));
}

TEST_F(SkinnedStatusBarTest, PanelsAreSeparatedOnlyBetweenThemselves) {
    auto* bar = Bar({100, 100, 20});
    form->Show();
    Pump();
    // What differs between three panels and simple mode, column by column.
    auto split = [&] {
        bar->SetSimplePanel(false);
        std::unique_ptr<TBitmap> three(new TBitmap);
        three->Assign(Shot(bar));
        bar->SetSimplePanel(true);
        return Differ(three.get(), Shot(bar));
    };
    // The internal skin has neither a panel frame nor a divider mask: nothing between panels.
    EXPECT_TRUE(split().empty());
    for (auto [section, prop] :
         {std::pair{"DIVIDER", "BORDERSMASK"}, std::pair{"STATUSBAR", "STATUSPANELMASK"}}) {
        SCOPED_TRACE(prop);
        AddMask(section, prop);
        bar->SkinData()->CacheStale = true;
        const std::vector<int> cols = split();
        bool near100 = false, near200 = false;
        for (int x : cols) {
            SCOPED_TRACE(x);
            EXPECT_TRUE(std::abs(x - 100) <= 6 || std::abs(x - 200) <= 6);
            near100 = near100 || std::abs(x - 100) <= 6;
            near200 = near200 || std::abs(x - 200) <= 6;
        }
        EXPECT_TRUE(near100 && near200);
    }
}

TEST_F(SkinnedStatusBarTest, TextAndOwnerDrawnPanelsLandInTheCache) {
    auto* bar = Bar({60, 100});
    bar->Panels()->Items(1)->SetStyle(psOwnerDraw);
    TRect told;
    bar->OnDrawPanel =
        TDrawPanelEvent::FromCallable([&](TCustomStatusBar* sb, TStatusPanel*, const TRect& r) {
            told = r;
            sb->Canvas()->Brush()->SetColor(clRed);
            sb->Canvas()->FillRect(r);
        });
    form->Show();
    Pump();
    Shot(bar);
    EXPECT_EQ(told, TRect(60, 0, 300, 22));
    EXPECT_EQ(Px(150, 10), clRed);
    // A new text makes the cache stale; the next paint shows it.
    std::unique_ptr<TBitmap> before(new TBitmap);
    before->Assign(Shot(bar));
    bar->Panels()->Items(0)->SetText("A text far too long for sixty pixels");
    EXPECT_TRUE(bar->SkinData()->CacheStale);
    const std::vector<int> cols = Differ(before.get(), Shot(bar));
    ASSERT_FALSE(cols.empty());
    EXPECT_LT(cols.back(), 60);  // cut with "..." inside its panel
}

TEST_F(SkinnedStatusBarTest, ItsPaintTellsAChildLeftWaitingToPaint) {
    auto* bar = Bar({100});
    auto* child = Place<TsEdit>(bar, Bounds(150, 2, 80, 18));
    form->Show();
    Pump();
    child->SkinData()->BGChanged = true;  // left stale by a skin change
    bar->Invalidate();
    Pump();
    EXPECT_FALSE(child->SkinData()->BGChanged);
}

}  // namespace
}  // namespace skin

namespace skin {
namespace {

// Without its skin a gauge or status bar looks again as one never skinned, pixel for pixel.
TEST_F(SkinnedStatusBarTest, RemovingTheSkinGivesTheClassicLookBack) {
    auto* bar = Bar({80, 80});
    bar->Panels()->Items(0)->SetText("Ready");
    auto* gauge = Place<TsGauge>(form, Bounds(10, 10, 150, 24));
    gauge->SetAnimated(false);
    form->Show();
    Pump();
    Shot(bar);
    Shot(gauge);
    manager->SetActive(false);
    Pump();
    std::unique_ptr<TBitmap> once[2];
    TControl* controls[2] = {bar, gauge};
    for (int i = 0; i < 2; ++i) {
        once[i].reset(new TBitmap);
        once[i]->Assign(Shot(controls[i]));
    }
    auto* plainBar = Bar({80, 80});
    plainBar->Panels()->Items(0)->SetText("Ready");
    auto* plainGauge = Place<TsGauge>(form, Bounds(10, 10, 150, 24));
    plainGauge->SetAnimated(false);
    Pump();
    TControl* plain[2] = {plainBar, plainGauge};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const PixelView a = ViewOf(once[i].get()), b = ViewOf(Shot(plain[i]));
        ASSERT_EQ(a.Width, b.Width);
        int differ = 0;
        for (int y = 0; y < a.Height; ++y)
            differ += !std::equal(a.Row(y), a.Row(y) + a.Width * 3, b.Row(y));
        EXPECT_EQ(differ, 0);
    }
}

}  // namespace
}  // namespace skin

// The skinned gauge: where its fill ends after each change of Progress, and its light.
#include <gtest/gtest.h>

#include "skin/controls/gauge.h"
#include "skin/controls/panels.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/skin_commands.h"
#include "tests/skin/controls/skinned_form.h"

namespace skin {
namespace {

using namespace vcl;

class SkinnedGaugeTest : public skin_test::SkinnedFormTest {
protected:
    // The middle row of the gauge as it paints itself, one RGB value per column (a bar
    // standing up gives its middle column, bottom first).
    std::vector<uint32_t> Line(TsGauge* g) {
        TBitmap* shot = Shot(g);
        const PixelView v = ViewOf(shot);
        const bool up = g->Kind() == gkVerticalBar;
        const int n = up ? v.Height : v.Width;
        std::vector<uint32_t> line(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            const uint8_t* p = up ? v.At(v.Width / 2, v.Height - 1 - i) : v.At(i, v.Height / 2);
            line[size_t(i)] = uint32_t(p[2]) << 16 | p[1] << 8 | p[0];
        }
        return line;
    }
    // One past the last column that differs between two lines (0: none).
    static int DiffEnd(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
        for (int i = int(a.size()); i > 0; --i)
            if (a[size_t(i - 1)] != b[size_t(i - 1)]) return i;
        return 0;
    }
};

TEST_F(SkinnedGaugeTest, TheFillEndsAtItsColumnAfterEachChange) {
    for (TsGaugeKind kind : {gkHorizontalBar, gkVerticalBar}) {
        SCOPED_TRACE(int(kind));
        auto* g = Place<TsGauge>(
            form, kind == gkHorizontalBar ? Bounds(10, 10, 203, 22) : Bounds(10, 10, 22, 157));
        g->SetKind(kind);
        g->SetAnimated(false);
        g->SetShowText(false);
        g->SetMaxValue(997);
        form->Show();
        Pump();
        g->SetProgress(0);
        const std::vector<uint32_t> empty = Line(g);
        const int length = int(empty.size());
        for (int progress : {1, 10, 333, 500, 996, 997, 400}) {
            SCOPED_TRACE(progress);
            g->SetProgress(progress);
            EXPECT_TRUE(g->SkinData()->CacheStale || g->PercentDone() == 0);
            const int fill = int(length * (g->PercentDone() * 0.01));
            EXPECT_EQ(DiffEnd(Line(g), empty), fill);
            EXPECT_FALSE(g->SkinData()->CacheStale);  // painted from the skin
            ASSERT_NE(g->SkinData()->CacheBmp(), nullptr);
        }
        delete g;
    }
}

TEST_F(SkinnedGaugeTest, AnUprightBarPaintedLyingDownWritesItsTextAlongTheFill) {
    auto* g = Place<TsGauge>(form, Bounds(10, 10, 30, 200));
    g->SetKind(gkVerticalBar);  // animated: the bar is painted lying down
    g->SetProgress(100);
    g->SetSuffix("% done");
    form->Show();
    Pump();
    auto pixels = [&] {
        const PixelView v = ViewOf(Shot(g));
        std::vector<uint32_t> px;
        for (int y = 0; y < v.Height; ++y)
            for (int x = 0; x < v.Width; ++x)
                px.push_back(uint32_t(v.At(x, y)[2]) << 16 | v.At(x, y)[1] << 8 | v.At(x, y)[0]);
        return px;
    };
    const auto with = pixels();
    g->SetShowText(false);
    const auto without = pixels();
    TRect box(30, 200, 0, 0);  // where the text changed the fill
    for (int i = 0; i < int(with.size()); ++i)
        if (with[size_t(i)] != without[size_t(i)])
            box = TRect(std::min(box.Left, i % 30), std::min(box.Top, i / 30),
                        std::max(box.Right, i % 30 + 1), std::max(box.Bottom, i / 30 + 1));
    ASSERT_LT(box.Left, box.Right);
    EXPECT_GT(box.Height(), 2 * box.Width());            // "100% done" runs down the bar
    EXPECT_LT(std::abs(box.Top + box.Bottom - 200), 4);  // centred along it
}

TEST_F(SkinnedGaugeTest, NothingIsDrawnWhileTheBackgroundChanges) {
    auto* g = Place<TsGauge>(form, Bounds(10, 10, 200, 20));
    g->SetAnimated(false);
    form->Show();
    Pump();
    g->SetProgress(0);
    const std::vector<uint32_t> before = Line(g);
    g->SkinData()->BGChanged = true;
    g->SetProgress(90);
    const std::vector<uint32_t> held = Line(g);  // the shot's green: the gauge drew nothing
    EXPECT_EQ(held.front(), 0x008000u);
    EXPECT_EQ(held[100], 0x008000u);
    // Told that its parent's update ended, it paints again.
    TMessage m = SkinCommandMessage(SKC_ENDPARENTUPDATE);
    g->WndProc(m);
    EXPECT_FALSE(g->SkinData()->BGChanged);
    EXPECT_EQ(DiffEnd(Line(g), before), 180);
    // The same while the panel it lies on is between updates.
    auto* panel = Place<TsPanel>(form, Bounds(10, 40, 220, 40));
    g->SetParent(panel);
    g->SetBounds(10, 10, 200, 20);
    Pump();
    ASSERT_TRUE(g->SkinData()->NeedsParentBG());
    panel->SkinData()->BGChanged = true;
    g->SetProgress(75);
    EXPECT_EQ(Line(g)[100], 0x008000u);
    panel->SkinData()->BGChanged = false;
    EXPECT_EQ(DiffEnd(Line(g), before), 150);
}

TEST_F(SkinnedGaugeTest, AChangeOfTheShownProgressAloneRepaints) {
    auto* g = Place<TsGauge>(form, Bounds(10, 10, 200, 20));
    g->SetAnimated(false);
    g->SetCalcPercents(false);  // the text is Progress itself
    g->SetMaxValue(1000);
    g->SetProgress(20);
    form->Show();
    Pump();
    g->SetProgress(21);  // 2 % both times
    win::RECT r{};
    EXPECT_TRUE(win::GetUpdateRect(form->Handle(), &r, false));
}

TEST_F(SkinnedGaugeTest, TheLightRunsAlongTheFillAndRestsUntilItsCycleEnds) {
    auto* g = Place<TsGauge>(form, Bounds(10, 10, 222, 20));
    g->SetShowText(false);
    g->SetProgress(50);  // a fill of 111 pixels
    form->Show();
    Pump();
    g->SetAnimated(false);
    const std::vector<uint32_t> plain = Line(g);
    g->SetAnimated(true);
    // Each 22 ms step moves it max(15, round(222 / 50.5)) = 15 pixels from -300.
    std::vector<int> seen;
    bool lit = false;
    for (int step = 0; step < 40; ++step) {
        clock_.Advance(22);
        Pump();
        seen.push_back(g->LightPosition());
        const std::vector<uint32_t> now = Line(g);
        EXPECT_LE(DiffEnd(now, plain), 111);  // never beyond the fill
        lit = lit || DiffEnd(now, plain) > 0;
    }
    EXPECT_TRUE(lit);
    EXPECT_EQ(seen[0], -285);
    EXPECT_EQ(seen[1], -270);
    // It stops past the bar's end and waits for the cycle's 2222 ms.
    const int stop = seen.back();
    EXPECT_GE(stop, 222);
    EXPECT_LT(stop, 222 + 15);
    int steps = 40;
    while (g->LightPosition() >= 0 && steps < 200) {
        clock_.Advance(22);
        Pump();
        ++steps;
    }
    EXPECT_EQ(steps, 2222 / 22 + 2);
    // Without a skin the light stops.
    manager->SetActive(false);
    Pump();
    const int at = g->LightPosition();
    for (int i = 0; i < 10; ++i) {
        clock_.Advance(22);
        Pump();
    }
    EXPECT_EQ(g->LightPosition(), at);
}

TEST_F(SkinnedGaugeTest, AWhiteLightRegionHidesTheLight) {
    // The progress section gets an "LRGN" mask that is white all over.
    const int progress = manager->GetSkinIndex("PROGRESSH");
    ASSERT_FALSE(manager->Masks().empty());
    TsMaskData region;
    region.Bmp.reset(New<TBitmap>());
    region.Bmp->SetPixelFormat(pf24bit);
    region.Bmp->SetSize(30, 20);
    region.Bmp->Canvas()->Brush()->SetColor(clWhite);
    region.Bmp->Canvas()->FillRect(TRect(0, 0, 30, 20));
    region.SectionName = "PROGRESSH";
    region.PropertyName = "LRGN";
    region.R = TRect(0, 0, 30, 20);
    region.ImageCount = 3;
    region.StretchMode = smStretch | smPaintCentre;
    region.WL = region.WT = region.WR = region.WB = 2;
    region.Manager = manager->Masks()[0].Manager;
    manager->Skin().Masks.push_back(std::move(region));
    ASSERT_TRUE(
        manager->Skin().IsValidImgIndex(manager->GetMaskIndex(progress, "PROGRESSH", "LRGN")));

    auto* g = Place<TsGauge>(form, Bounds(10, 10, 222, 20));
    g->SetShowText(false);
    g->SetProgress(100);
    form->Show();
    Pump();
    g->SetAnimated(false);
    const std::vector<uint32_t> plain = Line(g);
    g->SetAnimated(true);
    for (int step = 0; step < 30; ++step) {
        clock_.Advance(22);
        Pump();
        EXPECT_EQ(DiffEnd(Line(g), plain), 0);
    }
}

}  // namespace
}  // namespace skin

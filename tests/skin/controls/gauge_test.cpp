#include "skin/controls/gauge.h"

#include <gtest/gtest.h>

#include "platform/user/user.h"
#include "tests/vcl/gui_fixture.h"
#include "vcl/system/exceptions.h"

namespace skin {
namespace {

using namespace vcl;
using vcl::testing::FormTest;

class SkinGaugeTest : public FormTest {
protected:
    // Whether the form was asked to repaint since the last call.
    bool Dirty() {
        win::RECT r;
        const bool dirty = win::GetUpdateRect(form->Handle(), &r, false) != 0;
        win::ValidateRect(form->Handle(), nullptr);
        return dirty;
    }
};

TEST_F(SkinGaugeTest, ProgressStaysWithinItsLimitsAndTellsEveryChange) {
    auto* g = Place<TsGauge>(form, Bounds(10, 10, 200, 20));
    EXPECT_EQ(g->Progress(), 47);
    EXPECT_EQ(g->SkinData()->SkinSection(), "GAUGE");
    int changes = 0;
    g->OnChange = TNotifyEvent::FromCallable([&](TObject*) { ++changes; });
    form->Show();
    Pump();
    Dirty();
    g->SetMaxValue(1000);
    g->SetProgress(0);
    EXPECT_EQ(changes, 1);
    Dirty();
    g->SetProgress(5);  // still 0 percent: told, not repainted
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(Dirty());
    g->SetProgress(500);
    EXPECT_TRUE(Dirty());
    EXPECT_EQ(g->PercentDone(), 50);
    g->SetProgress(500);  // the same value: nothing
    EXPECT_EQ(changes, 3);
    SetOrdProp(g, "Progress", 5000);
    EXPECT_EQ(g->Progress(), 1000);
    g->SetProgress(-3);
    EXPECT_EQ(g->Progress(), 0);
    EXPECT_EQ(changes, 5);
}

TEST_F(SkinGaugeTest, LimitsMayNotCrossExceptWhileLoading) {
    auto* g = Place<TsGauge>(form, Bounds(10, 10, 200, 20));
    g->SetMinValue(10);
    try {
        g->SetMaxValue(5);
        FAIL() << "a maximum below the minimum was taken";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message, "Value must be between 11 and 2147483647");
    }
    EXPECT_EQ(g->MaxValue(), 100);
    EXPECT_THROW(g->SetMinValue(200), EInvalidOperation);
    // The mailing window's empty list: 0 to 0, nothing shown.
    g->SetMinValue(0);
    g->SetMaxValue(0);
    EXPECT_EQ(g->Progress(), 0);
    EXPECT_EQ(g->PercentDone(), 0);
    g->SetMaxValue(300);  // the report wait in seconds
    g->SetProgress(150);
    g->SetMaxValue(100);  // the progress comes down with the maximum
    EXPECT_EQ(g->Progress(), 100);
    {
        TLoadingScope loading;
        auto* l = Place<TsGauge>(form, Bounds(10, 40, 200, 20));
        l->SetMinValue(500);  // above the default maximum: taken while loading
        l->SetMaxValue(600);
        loading.Finish();
        EXPECT_EQ(l->MinValue(), 500);
    }
}

TEST_F(SkinGaugeTest, TextShowsThePercentageOrTheProgress) {
    auto* g = Place<TsGauge>(form, Bounds(10, 10, 200, 20));
    EXPECT_EQ(g->Text(), "47%");
    g->SetMaxValue(200);
    g->SetProgress(50);
    EXPECT_EQ(g->Text(), "25%");
    g->SetCalcPercents(false);
    g->SetSuffix(" s");
    EXPECT_EQ(g->Text(), "50 s");
}

TEST_F(SkinGaugeTest, ClassicBarFillsItsShareAndInvertsTheText) {
    auto* g = Place<TsGauge>(form, Bounds(10, 10, 101, 21));
    g->SetShowText(false);
    g->SetProgress(50);
    Shot(g);
    // A black frame; inside, W = 100: 50 columns of black fill, then white.
    EXPECT_EQ(Px(0, 10), clBlack);
    EXPECT_EQ(Px(48, 10), clBlack);
    EXPECT_EQ(Px(51, 10), clWhite);
    EXPECT_EQ(Px(99, 10), clWhite);
    // The text inverts what lies under it.
    g->SetProgress(0);
    g->SetShowText(true);
    Shot(g);
    int inked = 0;
    for (int y = 2; y < 19; ++y)
        for (int x = 2; x < 99; ++x)
            inked += Px(x, y) != clWhite;
    EXPECT_GT(inked, 20);
    // Over the fill it is light: inverted there too.
    g->SetProgress(100);
    Shot(g);
    int light = 0;
    for (int y = 2; y < 19; ++y)
        for (int x = 2; x < 99; ++x)
            light += Px(x, y) != clBlack;
    EXPECT_GT(light, 20);  // "100%" in light ink over the black fill
    // A full vertical bar fills all rows but the first of the inner height.
    g->SetShowText(false);
    g->SetKind(gkVerticalBar);
    g->SetProgress(50);
    Shot(g);
    EXPECT_EQ(Px(50, 9), clWhite);
    EXPECT_EQ(Px(50, 10), clBlack);
    EXPECT_EQ(Px(50, 19), clBlack);
}

}  // namespace
}  // namespace skin

// Skinned hints: which component serves, which template, where a hint goes, how it fades.
#include "skin/controls/hints.h"

#include <gtest/gtest.h>

#include "tests/vcl/gui_fixture.h"

namespace skin {
namespace {

using namespace vcl;

TEST(HintPlacement, TheCornerFollowsTheMonitorsEdges) {
    const TRect monitor(0, 0, 800, 600);
    struct Case {
        TPoint at;
        bool skinDrawn;
        TRect placed;
        int corner;
    } cases[] = {
        {{100, 100}, true, Bounds(100, 100, 120, 40), 0},  // room everywhere: as asked
        {{100, 590}, true, Bounds(100, 560, 120, 40), 1},  // bottom: up to the edge
        {{100, 590}, false, Bounds(100, 550, 120, 40), 1}, // template: its bottom on the point
        {{750, 100}, true, Bounds(680, 100, 120, 40), 2},  // right: to the edge
        {{750, 100}, false, Bounds(630, 84, 120, 40), 2},  // template: left of the point
        {{750, 590}, true, Bounds(680, 560, 120, 40), 3},  // both
    };
    for (const Case& c : cases) {
        TRect r = Bounds(0, 0, 120, 40);
        EXPECT_EQ(PlaceHint(r, c.at, 0, monitor, c.skinDrawn), c.corner)
            << c.at.X << "," << c.at.Y << " " << c.skinDrawn;
        EXPECT_EQ(r, c.placed) << c.at.X << "," << c.at.Y << " " << c.skinDrawn;
    }
    // A second monitor left of the first: above its top the hint comes down again.
    TRect r = Bounds(0, 0, 120, 40);
    EXPECT_EQ(PlaceHint(r, {-1000, 10}, 1, TRect(-1280, 0, 0, 1024), true), 0);
    EXPECT_EQ(r, Bounds(-1000, 0, 120, 40));
}

TEST(HintFade, TwelveEqualStepsUpToTheSectionsOpacity) {
    const auto full = HintFadeSteps(0);
    EXPECT_EQ(full.back(), 255);
    const auto forty = HintFadeSteps(40);
    EXPECT_EQ(forty.back(), 153);  // round(60 × 2.55)
    EXPECT_EQ(forty.front(), 13);  // 153 / 12 = 12.75
    for (std::size_t i = 1; i < forty.size(); ++i) EXPECT_GE(forty[i], forty[i - 1]);
    EXPECT_EQ(HintFadeSteps(150).back(), 0);  // limited to 0..100
    EXPECT_EQ(HintFadeSteps(-5).back(), 255);
}

using AlphaHintsTest = vcl::testing::FormTest;

TEST_F(AlphaHintsTest, TheLastActiveComponentServesAndTemplatesAreFoundByName) {
    auto* hints = New<TsAlphaHints>(form);
    hints->Loaded();
    EXPECT_EQ(CurrentAlphaHints(), hints);
    EXPECT_EQ(Application()->HintHidePause, 5000);
    auto* t = static_cast<TacHintTemplate*>(hints->Templates()->Add());
    t->SetName(" Baloon ");
    hints->SetTemplateName("Baloon");
    EXPECT_EQ(hints->TemplateIndex(), 0);
    hints->SetTemplateName("Unknown");
    EXPECT_EQ(hints->TemplateIndex(), -1);  // the built-in balloon
    EXPECT_FALSE(hints->UsesSkinSection());  // no skin data asked for
    hints->SetActive(false);
    EXPECT_EQ(CurrentAlphaHints(), nullptr);
    hints->SetActive(true);
    hints->Free();
    EXPECT_EQ(CurrentAlphaHints(), nullptr);
}

}  // namespace
}  // namespace skin

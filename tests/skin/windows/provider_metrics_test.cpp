#include <gtest/gtest.h>

#include "skin/core/pixels/bitmaps.h"
#include "skin/core/state/skin_manager.h"
#include "tests/skin/windows/provider_fixture.h"

namespace skin::testing {
namespace {

using ProviderMetricsTest = ProviderTest;

// The synthetic skin reads back as written: every mask where the fixture put it, round corners
// of the key colour, the close glow and the values asked for.
TEST_F(ProviderMetricsTest, SyntheticSkinLoadsAsWritten) {
    UseSynthetic({{{"BIRIGHT", "7"}}, {"SICONHELP"}});
    for (int m = 0; m < kSynMaskCount; ++m) {
        const SynthMaskInfo& i = kSynthMasks[m];
        const int index = manager->GetMaskIndexByNames(i.Section, i.Name);
        if (std::string(i.Name) == "SICONHELP") {
            EXPECT_LT(index, 0);
            continue;
        }
        ASSERT_GE(index, 0) << i.Name;
        const TsMaskData& d = manager->Masks()[size_t(index)];
        EXPECT_EQ(i.States, d.ImageCount) << i.Name;
        EXPECT_EQ(i.FrameW, SkinFrameWidth(d)) << i.Name;
        EXPECT_EQ(i.FrameH, SkinFrameHeight(d)) << i.Name;
    }
    EXPECT_EQ(7, manager->SkinData().BIRight);
    EXPECT_GE(manager->GetMaskIndexByNames("GLOBALINFO", "BICONCLOSEGLOW0"), 0);
    ASSERT_NE(nullptr, manager->MasterBitmap());
    const PixelView v = ViewOf(manager->MasterBitmap());
    auto at = [&](int x, int y) {
        const uint8_t* p = v.At(x, y);
        return win::COLORREF(RGB(p[2], p[1], p[0]));
    };
    EXPECT_EQ(0xFF00FFu, at(0, 0));
    EXPECT_EQ(0xFF00FFu, at(47, 23));  // the second state's bottom-right corner
    EXPECT_EQ(PieceColour(kSynForm, 0, 1), at(10, 0));
    EXPECT_EQ(PieceColour(kSynTitle, 1, 6), at(24, 47));  // the title's bottom stays square
}

// Forms come with their provider and the menu rows asked for.
TEST_F(ProviderMetricsTest, FormsHaveTheirProviderAndMenuRows) {
    for (int rows : {0, 1, 3}) {
        vcl::TForm* f = MakeForm({.MenuRows = rows});
        EXPECT_EQ(f, provider->Form());
        EXPECT_EQ(rows, MenuBarRows(f));
    }
}

}  // namespace
}  // namespace skin::testing

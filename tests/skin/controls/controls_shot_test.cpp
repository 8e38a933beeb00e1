// The skinned controls in their states on the headless screen under the internal skin. The
// picture is kept as tests/data/skin/controls_basic.png for the eye (TESSARY_UPDATE_REFERENCE=1
// writes it again); probes check exact pixels of it: a plain section's inside is the section's
// colour, the check box's box is the skin's checked image, a gauge's fill ends at its column.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/display/screenshot.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/pixels/bitmaps.h"
#include "tests/skin/controls/controls_set.h"
#include "tests/skin/controls/skinned_form.h"
#include "tests/support/temp_dir.h"

namespace skin {
namespace {

using namespace vcl;
using skin_test::AddControlsSet, skin_test::AddStatusBar, skin_test::ControlsGlyphs,
    skin_test::ControlsSet;

constexpr int kW = 640, kH = 400;

class ControlsShotTest : public skin_test::SkinnedFormTest {
protected:
    // The screen under the form, and one pixel of it at a point of `c`'s client area.
    void Capture() {
        const win::RECT area{50, 50, 50 + kW, 50 + kH};
        shot = display::CaptureScreen(&area);
    }
    win::COLORREF At(TControl* c, int x, int y) const {
        const TPoint p = c->ClientToScreen({x, y});
        const unsigned char* px =
            shot.pixels.data() + (size_t(p.Y - 50) * kW + size_t(p.X - 50)) * 3;
        return RGB(px[0], px[1], px[2]);
    }
    // One past the last column of the middle row where two gauges of one size differ.
    int FillEnd(TsGauge* a, TsGauge* b) const {
        for (int x = a->Width(); x > 0; --x)
            if (At(a, x - 1, a->Height() / 2) != At(b, x - 1, b->Height() / 2)) return x;
        return 0;
    }
    display::Rgb shot;
};

TEST_F(ControlsShotTest, TheControlsInTheirStatesShowTheSkinsPixels) {
    form->SetBounds(50, 50, kW, kH);
    const ControlsSet set = AddControlsSet(form, {0, 0}, ControlsGlyphs(form));
    AddStatusBar(form);
    form->Show();
    Pump();
    set.edits[1]->SetFocus();
    set.bitBtns[1]->Perform(CM_MOUSEENTER);
    Pump();
    Capture();
    ASSERT_EQ(shot.width, kW);
    testing_support::TempDir dir;
    EXPECT_TRUE(display::WritePng(shot, dir / "controls_basic.png"));
    if (const char* u = std::getenv("TESSARY_UPDATE_REFERENCE"); u && *u == '1')
        display::WritePng(shot, testing_support::TestDataDir() + "skin/controls_basic.png");

    // A plain section's inside is its colour.
    ASSERT_FALSE(set.panel->SkinData()->NeedsParentBG());
    EXPECT_EQ(At(set.panel, 20, 45), win::COLORREF(Section("PANEL").Color) & 0xFFFFFF);

    // The checked box (not focused, not hot: state 0) is the skin's image pixel for pixel where
    // the image is opaque.
    const TsMaskData& checked = manager->Masks()[size_t(manager->ConstData().CheckBoxes[0])];
    const int fw = SkinFrameWidth(checked), fh = SkinFrameHeight(checked);
    const TRect g = set.checks[1]->GlyphRect();
    ASSERT_EQ(g.Width(), fw);
    const PixelView master = ViewOf(manager->MasterBitmap());
    int compared = 0;
    for (int y = fh / 4; y < fh - fh / 4; ++y)
        for (int x = fw / 4; x < fw - fw / 4; ++x) {
            const uint8_t* p = master.At(checked.R.Left + x, checked.R.Top + y);
            EXPECT_EQ(At(set.checks[1], g.Left + x, g.Top + y), RGB(p[2], p[1], p[0]))
                << x << "," << y;
            ++compared;
        }
    EXPECT_GT(compared, 0);

    // A separator is what lies behind it (the skin has no divider image).
    for (int x : {1, 45, 88})
        EXPECT_EQ(At(set.speedBtns[3], x, 12), At(form, 385, 112)) << x;

    // The fill ends at its column: trunc(203 x 61 / 100).
    ASSERT_EQ(set.partGauge->PercentDone(), 61);
    EXPECT_EQ(FillEnd(set.partGauge, set.emptyGauge), 203 * 61 / 100);
}

}  // namespace
}  // namespace skin

// The skinned controls in their states on the headless screen under the internal skin. The
// picture is kept as tests/data/skin/controls_basic.png for the eye (TESSARY_UPDATE_REFERENCE=1
// writes it again); probes check exact pixels of it: a plain section's inside is the section's
// colour, the check box's box is the skin's checked image, a gauge's fill ends at its column.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/display/screenshot.h"
#include "skin/controls/bevel.h"
#include "skin/controls/buttons.h"
#include "skin/controls/check_box.h"
#include "skin/controls/edits.h"
#include "skin/controls/gauge.h"
#include "skin/controls/group_box.h"
#include "skin/controls/labels.h"
#include "skin/controls/panels.h"
#include "skin/controls/status_bar.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/pixels/bitmaps.h"
#include "tests/skin/controls/skinned_form.h"
#include "tests/support/temp_dir.h"
#include "vcl/controls/menus.h"

namespace skin {
namespace {

using namespace vcl;

constexpr int kW = 720, kH = 420;

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

// A 16 x 16 picture: a blue square with a yellow diagonal on the list's key colour.
TImageList* Glyphs(TComponent* owner) {
    auto* list = New<TImageList>(owner);
    list->SetWidth(16);
    list->SetHeight(16);
    std::unique_ptr<TBitmap, FreeDeleter> pic(NewBitmap24(16, 16));
    TCanvas* c = pic->Canvas();
    c->Brush()->SetColor(TColor(0xFF00FF));
    c->FillRect(Rect(0, 0, 16, 16));
    c->Brush()->SetColor(TColor(0xB04010));
    c->FillRect(Rect(2, 2, 14, 14));
    for (int i = 2; i < 14; ++i) c->SetPixels(i, i, TColor(0x00E0FF));
    list->Add(pic.get(), nullptr);
    return list;
}

TEST_F(ControlsShotTest, TheControlsInTheirStatesShowTheSkinsPixels) {
    form->SetBounds(50, 50, kW, kH);
    TImageList* glyphs = Glyphs(form);
    auto column = [&](int x, int y) { return [=](int row, int w, int h) {
        return Bounds(x, y + row * 30, w, h);
    }; };

    // Edits: normal, focused, disabled blended, disabled greyed, password; a memo.
    auto edits = column(10, 10);
    TsEdit* ed[5];
    const char* texts[5] = {"Normal", "Focused", "Blended", "Greyed", "secret"};
    for (int i = 0; i < 5; ++i) {
        ed[i] = Place<TsEdit>(form, edits(i, 140, 22));
        ed[i]->SetText(texts[i]);
    }
    ed[2]->SetEnabled(false);
    ed[3]->SetDisabledKind(TsDisabledKind{dkGrayed});
    ed[3]->SetEnabled(false);
    ed[4]->SetPasswordChar('*');
    auto* memo = Place<TsMemo>(form, edits(5, 140, 80));
    memo->Lines()->Add("A memo of");
    memo->Lines()->Add("three lines");
    memo->Lines()->Add("of text");

    // Check boxes: unchecked, checked, grey, and disabled both ways.
    auto checks = column(160, 10);
    TsCheckBox* chk[5];
    const char* checkTexts[5] = {"Unchecked", "Checked", "Grey", "Disabled", "Disabled on"};
    for (int i = 0; i < 5; ++i) {
        chk[i] = Place<TsCheckBox>(form, checks(i, 130, 22));
        chk[i]->SetCaption(checkTexts[i]);
    }
    chk[1]->SetChecked(true);
    chk[2]->SetAllowGrayed(true);
    chk[2]->SetState(cbGrayed);
    chk[3]->SetEnabled(false);
    chk[4]->SetChecked(true);
    chk[4]->SetEnabled(false);

    // Bit buttons: normal, hot, pressed, default, disabled, with a glyph of a list.
    auto bits = column(300, 10);
    TsBitBtn* bit[6];
    const char* bitTexts[6] = {"Normal", "Hot", "Pressed", "Default", "Disabled", "Glyph"};
    for (int i = 0; i < 6; ++i) {
        bit[i] = Place<TsBitBtn>(form, bits(i, 100, 26));
        bit[i]->SetCaption(bitTexts[i]);
    }
    bit[2]->SetDown(true);
    bit[3]->SetDefault(true);
    bit[4]->SetImages(glyphs);
    bit[4]->SetImageIndex(0);
    bit[4]->SetEnabled(false);
    bit[5]->SetImages(glyphs);
    bit[5]->SetImageIndex(0);

    // Speed buttons: flat, drop-down, down, a separator, a glyph above its caption.
    auto speeds = column(410, 10);
    TsSpeedButton* sp[5];
    const char* speedTexts[5] = {"Flat", "Drop", "Down", "", "Tool"};
    for (int i = 0; i < 5; ++i) {
        sp[i] = Place<TsSpeedButton>(form, speeds(i, 100, i == 4 ? 44 : 26));
        sp[i]->SetCaption(speedTexts[i]);
    }
    sp[0]->SetFlat(true);
    sp[1]->SetButtonStyle(tbsDropDown);
    sp[1]->SetDropdownMenu(New<TPopupMenu>(form));
    sp[2]->SetGroupIndex(1);
    sp[2]->SetDown(true);
    sp[3]->SetButtonStyle(tbsSeparator);
    sp[4]->SetImages(glyphs);
    sp[4]->SetImageIndex(0);
    sp[4]->SetLayout(blGlyphTop);

    // A panel with a drag bar above it, two group boxes.
    auto* bar = Place<TsDragBar>(form, Bounds(520, 10, 190, 20));
    bar->SetAlign(alNone);
    bar->SetBounds(520, 10, 190, 20);
    bar->SetCaption("Drag bar");
    auto* panel = Place<TsPanel>(form, Bounds(520, 34, 190, 60));
    panel->SetCaption("Panel");
    auto* box = Place<TsGroupBox>(form, Bounds(520, 100, 190, 60));
    box->SetCaption("Group box");
    Place<TsCheckBox>(box, Bounds(10, 22, 150, 22))->SetCaption("Inside");
    auto* box2 = Place<TsGroupBox>(form, Bounds(520, 166, 190, 50));
    box2->SetCaption("Centred caption");
    box2->SetCaptionLayout(TsGroupBox::clTopCenter);

    // Every bevel shape, both styles.
    for (int s = 0; s < 7; ++s) {
        auto* b = Place<TsBevel>(form, Bounds(10 + s * 44, 280, 40, 30));
        b->SetShape(TBevelShape(s));
        b->SetStyle(s % 2 ? bsRaised : bsLowered);
    }

    // Gauges: a pair without text that tells where a fill ends, one with text, one upright.
    auto gauge = [&](TRect r, int progress, bool text) {
        auto* g = Place<TsGauge>(form, r);
        g->SetAnimated(false);
        g->SetShowText(text);
        g->SetMaxValue(997);
        g->SetProgress(progress);
        return g;
    };
    TsGauge* empty = gauge(Bounds(320, 250, 203, 20), 0, false);
    TsGauge* part = gauge(Bounds(320, 274, 203, 20), 613, false);
    gauge(Bounds(320, 298, 203, 20), 470, true);
    TsGauge* upright = gauge(Bounds(530, 230, 24, 120), 700, true);
    upright->SetKind(gkVerticalBar);

    // Labels: plain, FX, web.
    Place<TsLabel>(form, Bounds(10, 320, 100, 16))->SetCaption("A plain label");
    auto* fx = Place<TsLabelFX>(form, Bounds(120, 316, 120, 24));
    fx->SetCaption("FX label");
    auto* web = Place<TsWebLabel>(form, Bounds(250, 320, 60, 16));
    web->SetCaption("Web label");
    web->SetURL("http://localhost/");

    // A status bar with its grip.
    auto* status = Place<TsStatusBar>(form, Bounds(0, kH - 22, kW, 22));
    status->SetAlign(alBottom);
    for (const char* t : {"Port: ttyUSB0", "Sent 12 of 40", "Ready"}) {
        TStatusPanel* p = status->Panels()->Add();
        p->SetText(t);
        p->SetWidth(160);
    }
    status->SetSizeGrip(true);

    form->Show();
    Pump();
    ed[1]->SetFocus();
    bit[1]->Perform(CM_MOUSEENTER);
    Pump();
    Capture();
    ASSERT_EQ(shot.width, kW);
    testing_support::TempDir dir;
    EXPECT_TRUE(display::WritePng(shot, dir / "controls_basic.png"));
    if (const char* u = std::getenv("TESSARY_UPDATE_REFERENCE"); u && *u == '1')
        display::WritePng(shot, testing_support::TestDataDir() + "skin/controls_basic.png");

    // A plain section's inside is its colour.
    ASSERT_FALSE(panel->SkinData()->NeedsParentBG());
    EXPECT_EQ(At(panel, 20, 45), win::COLORREF(Section("PANEL").Color) & 0xFFFFFF);

    // The checked box (not focused, not hot: state 0) is the skin's image pixel for pixel where
    // the image is opaque.
    const TsMaskData& checked = manager->Masks()[size_t(manager->ConstData().CheckBoxes[0])];
    const int fw = SkinFrameWidth(checked), fh = SkinFrameHeight(checked);
    const TRect g = chk[1]->GlyphRect();
    ASSERT_EQ(g.Width(), fw);
    const PixelView master = ViewOf(manager->MasterBitmap());
    int compared = 0;
    for (int y = fh / 4; y < fh - fh / 4; ++y)
        for (int x = fw / 4; x < fw - fw / 4; ++x) {
            const uint8_t* p = master.At(checked.R.Left + x, checked.R.Top + y);
            EXPECT_EQ(At(chk[1], g.Left + x, g.Top + y), RGB(p[2], p[1], p[0])) << x << "," << y;
            ++compared;
        }
    EXPECT_GT(compared, 0);

    // A separator is what lies behind it (the skin has no divider image).
    for (int x : {1, 50, 98})
        EXPECT_EQ(At(sp[3], x, 12), At(form, 405, 112)) << x;

    // The fill ends at its column: trunc(203 x 61 / 100).
    ASSERT_EQ(part->PercentDone(), 61);
    EXPECT_EQ(FillEnd(part, empty), 203 * 61 / 100);
}

}  // namespace
}  // namespace skin

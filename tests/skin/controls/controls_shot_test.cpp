// The skinned controls in their states on the headless screen under the internal skin. The
// picture is kept as tests/data/skin/controls_basic.png for the eye (TESSARY_UPDATE_REFERENCE=1
// writes it again); probes check exact pixels of it: a plain section's inside is the section's
// colour, the check box's box is the skin's checked image, a gauge's fill ends at its column.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/display/screenshot.h"
#include "platform/gdi/bitmap.h"
#include "platform/user/screen.h"
#include "platform/controls/header_control.h"
#include "skin/controls/combo_box.h"
#include "skin/controls/date_edit.h"
#include "skin/controls/hints.h"
#include "skin/controls/list_boxes.h"
#include "skin/controls/list_view.h"
#include "skin/controls/month_calendar.h"
#include "skin/controls/spin_edits.h"
#include "skin/core/data/skin_data.h"
#include "skin/core/paint/mask_geometry.h"
#include "skin/core/pixels/bitmaps.h"
#include "skin/core/pixels/blend.h"
#include "tests/skin/controls/controls_set.h"
#include "tests/skin/controls/skinned_form.h"
#include "tests/support/temp_dir.h"

namespace skin {
namespace {

using namespace vcl;
using skin_test::AddControlsSet, skin_test::AddStatusBar, skin_test::ControlsGlyphs,
    skin_test::ControlsSet;

constexpr int kW = 640, kH = 400;
constexpr int kListsW = 800, kListsH = 420;

class ControlsShotTest : public skin_test::SkinnedFormTest {
protected:
    // The screen under the form, and one pixel of it at a point of `c`'s client area.
    void Capture(int w = kW, int h = kH) {
        const win::RECT area{50, 50, 50 + w, 50 + h};
        shot = display::CaptureScreen(&area);
    }
    win::COLORREF At(TControl* c, int x, int y) const {
        const TPoint p = c->ClientToScreen({x, y});
        const unsigned char* px =
            shot.pixels.data() + (size_t(p.Y - 50) * size_t(shot.width) + size_t(p.X - 50)) * 3;
        return RGB(px[0], px[1], px[2]);
    }
    // One past the last column of the middle row where two gauges of one size differ.
    int FillEnd(TsGauge* a, TsGauge* b) const {
        for (int x = a->Width(); x > 0; --x)
            if (At(a, x - 1, a->Height() / 2) != At(b, x - 1, b->Height() / 2)) return x;
        return 0;
    }
    // The screen composed now, as 0xRRGGBB at a screen point.
    static uint32_t Composed(TPoint p) {
        win::BitmapView v;
        if (!win::GetBitmapView(win::ComposeScreen(), &v)) return 0;
        const win::BYTE* px = v.Row(p.Y) + p.X * 4;
        return uint32_t(px[2]) << 16 | px[1] << 8 | px[0];
    }
    void Keep(const char* name, const std::string& folder) {
        testing_support::TempDir dir;
        EXPECT_TRUE(display::WritePng(shot, dir / name));
        if (const char* u = std::getenv("TESSARY_UPDATE_REFERENCE"); u && *u == '1')
            display::WritePng(shot, testing_support::TestDataDir() + folder + name);
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

// The list-like controls, kept as tests/data/skin/controls_lists.png: combo boxes closed, hot
// and dropped, a combo edit, spin edits (one disabled), a date edit with its calendar open,
// list views with a hot and a pressed heading and both sort arrows, a list box, a check list
// box, and a skin-drawn and a balloon hint over the form.
TEST_F(ControlsShotTest, TheListControlsShowTheSkinsChecksCalendarAndBalloon) {
    form->SetBounds(50, 50, kListsW, kListsH);
    const auto combo = [&](int top, TComboBoxStyle style) {
        auto* c = Place<TsComboBox>(form, Bounds(10, top, 150, 22));
        c->SetStyle(style);
        for (const char* s : {"ttyS0", "ttyS1", "ttyUSB0", "ttyACM0"}) c->Items()->Add(s);
        c->SetItemIndex(0);
        return c;
    };
    combo(10, csDropDownList);
    TsComboBox* hot = combo(40, csDropDownList);
    TsComboBox* dropped = combo(70, csDropDown);
    auto* edit = Place<TsCustomComboEdit>(form, Bounds(10, 175, 150, 21));
    edit->SetText("C:\\Tessary\\list.csv");
    for (int i = 0; i < 2; ++i) {
        auto* spin = Place<TsDecimalSpinEdit>(form, Bounds(10, 205 + 30 * i, 80, 21));
        spin->SetValue(15 + i);
        spin->SetEnabled(i == 0);
    }
    auto* date = Place<TsDateEdit>(form, Bounds(330, 10, 120, 21));
    date->SetShowWeeks(true);
    int y, m, today;
    DecodeDate(Date(), y, m, today);
    const int other = today == 1 ? 2 : today - 1;
    date->SetDate(EncodeDate(y, m, other));

    auto* listBox = Place<TsListBox>(form, Bounds(180, 215, 140, 80));
    for (const char* s : {"Clients", "Spring offer", "Partners", "Staff"}) listBox->Items()->Add(s);
    auto* checks = Place<TsCheckListBox>(form, Bounds(340, 215, 160, 100));
    for (const char* s : {"Lists", "Clients", "Spring offer", "Partners", "Old numbers"})
        checks->Items()->Add(s);

    const auto listView = [&](int top, int height) {
        auto* l = Place<TsListView>(form, Bounds(470, top, 320, height));
        l->SetViewStyle(vsReport);
        for (const char* c : {"Number", "Name", "Status"}) {
            TListColumn* col = l->Columns()->Add();
            col->SetCaption(c);
            col->SetWidth(90);
        }
        for (const char* n : {"79161000001", "79161000002", "79161000003"}) {
            TListItem* item = l->Items()->Add();
            item->SetCaption(n);
            item->SubItems()->Add("Anna");
            item->SubItems()->Add("Delivered");
        }
        return l;
    };
    TsListView* hotHeads = listView(10, 95);
    TsListView* pressedHeads = listView(110, 85);

    form->Show();
    Pump();
    listBox->SetItemIndex(1);
    checks->SetHeader(0, true);
    checks->SetChecked(1, true);
    checks->SetState(2, cbGrayed);
    checks->SetItemEnabled(3, false);
    checks->SetChecked(3, true);
    hot->Perform(CM_MOUSEENTER);
    for (TsListView* l : {hotHeads, pressedHeads}) {
        for (int i = 0; i < 2; ++i) {
            win::HDITEMA item{};
            item.mask = win::HDI_FORMAT;
            item.fmt = win::HDF_STRING | (i == 0 ? win::HDF_SORTUP : win::HDF_SORTDOWN);
            win::SendMessageA(l->HeaderHandle(), win::HDM_SETITEMA, i,
                              reinterpret_cast<win::LPARAM>(&item));
        }
    }
    win::RECT third{};
    win::SendMessageA(hotHeads->HeaderHandle(), win::HDM_GETITEMRECT, 2,
                      reinterpret_cast<win::LPARAM>(&third));
    win::POINT p{third.left + 10, third.top + 3};
    win::ClientToScreen(hotHeads->HeaderHandle(), &p);
    win::SendMessageA(hotHeads->HeaderHandle(), win::WM_NCHITTEST, 0, win::MAKELPARAM(p.x, p.y));
    win::SendMessageA(pressedHeads->HeaderHandle(), win::WM_LBUTTONDOWN, win::MK_LBUTTON,
                      win::MAKELPARAM(third.left + 10, third.top + 3));
    ASSERT_EQ(hotHeads->HotColumn(), 2);
    ASSERT_EQ(pressedHeads->PressedColumn(), 2);
    dropped->SetDroppedDown(true);
    date->PopupDropDown();
    Pump();
    TsPopupCalendar* popup = date->PopupCalendar();
    ASSERT_TRUE(popup && popup->Visible());

    // Two hints: one from the skin's section, one the built-in balloon, over known pixels.
    auto* hints = New<TsAlphaHints>(form);
    hints->SetUseSkinData(true);
    hints->SetAnimated(false);
    hints->Loaded();
    auto* skinned = New<TacPngHintWindow>(form);
    const std::string text = "Start the mailing";
    TRect r = skinned->CalcHintRect(0, text);
    skinned->ActivateHint(Bounds(70, 380, r.Width(), r.Height()), text);
    hints->SetUseSkinData(false);
    auto* balloon = New<TacPngHintWindow>(form);
    r = balloon->CalcHintRect(0, "The list is saved");
    const TPoint at{260, 375};
    std::vector<uint32_t> under;
    for (int dy = 0; dy < 7; ++dy)
        for (int dx = 0; dx < 7; ++dx) under.push_back(Composed({at.X + dx, at.Y + dy}));
    balloon->ActivateHint(Bounds(at.X, at.Y, r.Width(), r.Height()), "The list is saved");
    ASSERT_EQ(balloon->Corner(), 0);
    Pump();
    ASSERT_TRUE(dropped->DroppedDown());
    ASSERT_TRUE(popup->Visible());
    Capture(kListsW, kListsH);
    ASSERT_EQ(shot.width, kListsW);
    Keep("controls_lists.png", "skin/");

    // The checked item's check is the skin's SMALLCHECKED image where that is opaque.
    const int index = manager->GetMaskIndexByNames("GLOBALINFO", "SMALLCHECKED");
    ASSERT_TRUE(manager->Skin().IsValidImgIndex(index));
    MaskFrame f;
    ASSERT_TRUE(ReadMaskFrame(manager->Masks()[size_t(index)], f));
    const TRect item = checks->ItemRect(1);
    const TPoint check{item.Left + (checks->CheckWidth() - f.FW) / 2,
                       item.Top + (item.Height() - f.FH) / 2};
    int compared = 0;
    for (int yy = 0; yy < f.FH; ++yy)
        for (int xx = 0; xx < f.FW; ++xx) {
            const uint8_t* px = f.Src.At(f.R.Left + xx, f.R.Top + yy);
            const win::COLORREF want = RGB(px[2], px[1], px[0]);
            if (want == 0xFF00FF || f.Type != 0) continue;
            ASSERT_EQ(At(checks, check.X + xx, check.Y + yy), want) << xx << "," << yy;
            ++compared;
        }
    EXPECT_GT(compared, 0);

    // Today's cell is filled with the weekend colour mixed 0.3 into the skin's global colour.
    TsMonthCalendar* calendar = popup->Calendar();
    TsCalendGrid* grid = calendar->Grid();
    TPoint cell{-1, -1};
    for (int row = 1; row < grid->RowCount(); ++row)
        for (int col = 0; col < grid->ColCount(); ++col)
            if (grid->CellText(col, row) == IntToStr(today) && cell.X < 0) cell = {col, row};
    ASSERT_GE(cell.X, 0);
    const TRect c = grid->CellRect(cell.X, cell.Y);
    const uint32_t mix = BlendTwoColors(TColor(vcl::ColorToRGB(calendar->WeekendColor())),
                                        manager->GetGlobalColor(), 0.3) & 0xFFFFFF;
    EXPECT_EQ(At(grid, c.Left + 4, (c.Top + c.Bottom) / 2), mix);

    // The balloon's tail corner: the screen behind it mixed with ACHINT at its alpha.
    TacHintImage* achint = BuiltInHintTemplate()->ImageDefault();
    int partial = 0;
    for (int dy = 0; dy < 7; ++dy)
        for (int dx = 0; dx < 7; ++dx) {
            const uint8_t* src = achint->Image()->ScanLine(dy) + dx * 4;
            const int a = src[3];
            partial += a > 0 && a < 255;
            const uint32_t got = Composed({at.X + dx, at.Y + dy});
            for (int k = 0; k < 3; ++k) {
                const int bg = int(under[size_t(dy * 7 + dx)] >> (8 * k)) & 0xFF;
                EXPECT_NEAR(int(got >> (8 * k)) & 0xFF, (src[k] * a + bg * (255 - a) + 127) / 255, 2)
                    << dx << "," << dy;
            }
        }
    EXPECT_GT(partial, 0);
    dropped->SetDroppedDown(false);
    popup->Hide();
}

}  // namespace
}  // namespace skin

// The month calendar's cells painted through the skin, its today label and first weekday.
#include <gtest/gtest.h>

#include "platform/controls/library_strings.h"
#include "platform/os/cp_literal.h"
#include "skin/controls/month_calendar.h"
#include "skin/core/pixels/blend.h"
#include "tests/skin/controls/skinned_form.h"

namespace skin {
namespace {

using namespace vcl;

class SkinnedCalendarTest : public skin_test::SkinnedFormTest {
protected:
    TsMonthCalendar* Calendar() {
        auto* c = Place<TsMonthCalendar>(form, Bounds(10, 10, 178, 139));
        form->Show();
        Pump();
        return c;
    }
    // The grid cell that shows `day` of the calendar's month.
    static TPoint CellOf(TsCalendGrid* g, int day) {
        for (int row = 1; row < g->RowCount(); ++row)
            for (int col = 0; col < g->ColCount(); ++col)
                if (g->CellText(col, row) == IntToStr(day)) return {col, row};
        return {-1, -1};
    }
    // A pixel near the left edge of a cell, half way down, clear of its centred text.
    uint32_t Fill(TsCalendGrid* g, TPoint cell) {
        const TRect r = g->CellRect(cell.X, cell.Y);
        return ScreenPixel(g, r.Left + 4, (r.Top + r.Bottom) / 2) & 0xFFFFFF;
    }
};

TEST_F(SkinnedCalendarTest, TodayAndTheSelectedDayTakeTheSkinsColours) {
    TsMonthCalendar* c = Calendar();
    TsCalendGrid* g = c->Grid();
    int y, m, today;
    DecodeDate(Date(), y, m, today);
    const int other = today == 1 ? 2 : today - 1;
    c->SetCalendarDate(EncodeDate(y, m, other));
    g->Repaint();
    Pump();
    const uint32_t mix = BlendTwoColors(TColor(vcl::ColorToRGB(c->WeekendColor())),
                                        manager->GetGlobalColor(), 0.3) & 0xFFFFFF;
    EXPECT_EQ(Fill(g, CellOf(g, today)), mix);
    EXPECT_EQ(Fill(g, CellOf(g, other)), uint32_t(manager->GetHighlightColor()) & 0xFFFFFF);
    // Without the skin, the system's face colour and highlight.
    manager->SetActive(false);
    g->Repaint();
    Pump();
    EXPECT_EQ(Fill(g, CellOf(g, today)),
              BlendTwoColors(TColor(vcl::ColorToRGB(c->WeekendColor())), TColor(vcl::ColorToRGB(clBtnFace)),
                             0.3) & 0xFFFFFF);
    EXPECT_EQ(Fill(g, CellOf(g, other)), vcl::ColorToRGB(clHighlight) & 0xFFFFFF);
}

TEST_F(SkinnedCalendarTest, TheTodayLabelAndFirstWeekdayAreTheSystems) {
    char text[16] = {};
    EXPECT_EQ(win::LoadStringA(win::GetModuleHandleA("COMCTL32.DLL"), win::IDS_TODAY, text, 5), 4);
    EXPECT_EQ(std::string(text), std::string("Сегодня:"_cp).substr(0, 4));
    EXPECT_EQ(win::LoadStringA(win::GetModuleHandleA("user32.dll"), win::IDS_TODAY, text, 16), 0);
    TsMonthCalendar* c = Calendar();
    EXPECT_EQ(c->TodayButton()->Caption().rfind("Сегодня: "_cp, 0), 0u);
    // The locale says which day starts the week.
    const int saved = FormatSettings.FirstDayOfWeek;
    FormatSettings.FirstDayOfWeek = 6;
    c->UpdateCalendar();
    EXPECT_EQ(c->Grid()->CellText(0, 0), FormatSettings.ShortDayNames[0]);  // Sunday
    FormatSettings.FirstDayOfWeek = saved;
    EXPECT_EQ(c->Grid()->CellText(0, 0), FormatSettings.ShortDayNames[1]);  // Monday
}

}  // namespace
}  // namespace skin

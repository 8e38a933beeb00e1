#include "skin/controls/date_edit.h"

#include <gtest/gtest.h>

#include <cmath>
#include "platform/controls/edit_control.h"
#include "platform/user/user.h"
#include "skin/controls/date_utils.h"
#include "tests/vcl/gui_fixture.h"
#include "vcl/system/exceptions.h"

namespace skin {
namespace {

using namespace vcl;
using vcl::testing::FormTest;

TEST(SkinDateUtils, MaskAndFormatFollowTheSystemOrder) {
    EXPECT_EQ(DateOrderOf("dd.MM.yyyy"), doDMY);
    EXPECT_EQ(DateOrderOf("M/d/yy"), doMDY);
    EXPECT_EQ(DateOrderOf("yyyy-MM-dd"), doYMD);
    EXPECT_EQ(DateOrderOf("---"), doDMY);
    EXPECT_EQ(DefaultDateFormatText(true), "DD/MM/YYYY");  // the Russian day-first order
    EXPECT_EQ(DefaultDateEditMask(' ', true), "!99/99/9999;1; ");
    EXPECT_EQ(DefaultDateEditMask('_', false), "!99/99/99;1;_");
    EXPECT_TRUE(FourDigitYearDefault());
}

TEST(SkinDateUtils, TypedDatesAreReadTolerantly) {
    const int year = CurrentYear();
    TDateTime d;
    ASSERT_TRUE(StrToDateByFormat("DD/MM/YYYY", "05.03.2024", d));
    EXPECT_EQ(d, EncodeDate(2024, 3, 5));
    ASSERT_TRUE(StrToDateByFormat("dd.MM.yyyy", "5.3", d));  // day and month: this year
    EXPECT_EQ(d, EncodeDate(year, 3, 5));
    int dd, mm, yy;
    int pos = 1;
    ASSERT_TRUE(ScanDateFree("5.3.26", "dd.MM.yyyy", pos, dd, mm, yy));
    EXPECT_EQ(yy, ExpandTwoDigitYear(26));
    EXPECT_GE(yy, year - 60);
    EXPECT_LT(yy, year + 40);
    EXPECT_FALSE(StrToDateByFormat("DD/MM/YYYY", "31.02.2024", d));
    EXPECT_TRUE(StrToDateByFormat("DD/MM/YYYY", "29.02.2024", d));
    EXPECT_FALSE(IsDateTripleValid(0, 1, 1));
    EXPECT_FALSE(IsDateTripleValid(10000, 1, 1));
    EXPECT_TRUE(IsDateValid(-693593.5));  // noon of 1 January 1
    for (TDateTime bad : {-693594.0, 2958466.0, 1e300, -1e300, HUGE_VAL, std::nan("")})
        EXPECT_FALSE(IsDateValid(bad)) << bad;
    EXPECT_EQ(ExpandTwoDigitYear(1999), 1999);
    // Five digits stop after four: the text is not all read.
    pos = 1;
    EXPECT_FALSE(ScanDateFree("5.3.20240", "dd.MM.yyyy", pos, dd, mm, yy));
    // A format of 20 or more characters reads nothing by position.
    int value = 0;
    ScanDatePart("dd.MM.yyyy          x", "05.03.2024", 'd', 1, -1, value, 1);
    EXPECT_EQ(value, -1);
    // Blanks of an empty masked text are no date; nor a year the mask left blank.
    EXPECT_FALSE(StrToDateByFormat("DD/MM/YYYY", "  .  .    ", d));
    EXPECT_FALSE(StrToDateByFormat("DD/MM/YYYY", "05.03.    ", d));
    EXPECT_TRUE(StrToDateByFormat("DD/MM/YYYY", "", d));
    EXPECT_EQ(d, 0);
    EXPECT_EQ(MonthFromName("\xEC\xE0\xF0", 3), 3);  // "мар"
}

class SkinDateEditTest : public FormTest {
protected:
    TsDateEdit* Edit() {
        auto* ed = Place<TsDateEdit>(form, Bounds(100, 40, 100, 21));
        return ed;
    }
};

TEST_F(SkinDateEditTest, DateZeroIsAnEmptyEdit) {
    auto* ed = Edit();
    EXPECT_EQ(ed->SkinData()->COC, 140);
    EXPECT_EQ(ed->EditMask(), "!99/99/9999;1; ");
    EXPECT_EQ(ed->Date(), 0);
    ed->SetDate(EncodeDate(2026, 3, 5) + 0.75);  // the time of day is dropped
    EXPECT_EQ(ed->Text(), "05.03.2026");
    EXPECT_EQ(ed->Date(), EncodeDate(2026, 3, 5));
    SetFloatProp(ed, "Date", 0);
    EXPECT_EQ(ed->Date(), 0);
    EXPECT_EQ(ed->Text(), "  .  .    ");
    ed->SetText("12.11.2025");
    EXPECT_EQ(ed->Date(), EncodeDate(2025, 11, 12));
    ed->SetDefaultToday(true);
    ed->SetDate(0);
    EXPECT_EQ(ed->Date(), vcl::Date());
    // Two-digit years: another mask, and the date is kept.
    ed->SetDefaultToday(false);
    ed->SetDate(EncodeDate(2026, 3, 5));
    ed->SetYearDigits(dyTwo);
    EXPECT_EQ(ed->EditMask(), "!99/99/99;1; ");
    EXPECT_EQ(ed->Text(), "05.03.26");
    EXPECT_EQ(ed->Date(), EncodeDate(2026, 3, 5));
}

TEST_F(SkinDateEditTest, LimitsKeepTheirOrderAndPullTheDateIn) {
    auto* ed = Edit();
    ed->SetDate(EncodeDate(2026, 3, 5));
    ed->SetMinDate(EncodeDate(2026, 3, 10));
    EXPECT_EQ(ed->Date(), EncodeDate(2026, 3, 10));
    ed->SetMaxDate(EncodeDate(2026, 3, 1));  // below the minimum: ignored
    EXPECT_EQ(ed->MaxDate(), 0);
    ed->SetMaxDate(EncodeDate(2026, 4, 1));
    ed->SetDate(EncodeDate(2026, 5, 1));
    ed->SetMaxDate(EncodeDate(2026, 4, 2));
    EXPECT_EQ(ed->Date(), EncodeDate(2026, 4, 2));
    ed->SetMaxDate(0);  // no limit, whatever the minimum
    EXPECT_EQ(ed->MaxDate(), 0);
}

TEST_F(SkinDateEditTest, TypedTextThatIsNoDateIsRefused) {
    auto* ed = Edit();
    ed->SetText("31.02.2024");
    try {
        ed->CheckValidDate();
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "Invalid Date");
    }
    EXPECT_EQ(ed->Text(), "31.02.2024");
    ed->SetText("");
    EXPECT_NO_THROW(ed->CheckValidDate());
    ed->SetText("28.02.2024");
    ed->CheckValidDate();
    EXPECT_EQ(ed->Date(), EncodeDate(2024, 2, 28));
}

TEST_F(SkinDateEditTest, KeysStepAndSetToday) {
    auto* ed = Edit();
    form->Show();
    Pump();
    ed->SetFocus();
    ed->SetDate(EncodeDate(2026, 2, 28));
    QueueKey(0x6B);  // keypad plus
    Pump();
    EXPECT_EQ(ed->Date(), EncodeDate(2026, 3, 1));
    QueueKey(0x6D);
    QueueKey(0x6D);
    Pump();
    EXPECT_EQ(ed->Date(), EncodeDate(2026, 2, 27));
    QueueKey(0, 't');
    Pump();
    EXPECT_EQ(ed->Date(), vcl::Date());
    // Typing keeps to the mask.
    ed->SetDate(0);
    ed->SetSelStart(0);
    for (char c : std::string("01122025"))
        QueueKey(0, c);
    Pump();
    EXPECT_EQ(ed->Date(), EncodeDate(2025, 12, 1));
    ed->SetReadOnly(true);
    QueueKey(0x6B);
    Pump();
    EXPECT_EQ(ed->Date(), EncodeDate(2025, 12, 1));
}

TEST_F(SkinDateEditTest, TheButtonOpensTheCalendarUnderTheEdit) {
    auto* ed = Edit();
    ed->SetLeft(190);
    ed->SetDate(EncodeDate(2026, 3, 5));
    form->Show();
    Pump();
    // The text ends where the button begins.
    win::RECT r{};
    win::SendMessageA(ed->Handle(), win::EM_GETRECT, 0, reinterpret_cast<win::LPARAM>(&r));
    EXPECT_LE(r.right, ed->Button()->Left());
    EXPECT_EQ(ed->Button()->Width(), 16);
    QueueClick(ed->Button());
    Pump();
    TsPopupCalendar* popup = ed->PopupCalendar();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->Visible());
    EXPECT_EQ(popup->Tag(), -98);
    EXPECT_EQ(popup->Height(), 160);  // with the today button
    // Flush under the edit's window (the form has no frame), right edges aligned.
    EXPECT_EQ(popup->Top(), form->Top() + ed->BoundsRect().Bottom);
    EXPECT_EQ(popup->BoundsRect().Right, form->Left() + ed->BoundsRect().Right);
    TsMonthCalendar* cal = popup->Calendar();
    EXPECT_EQ(cal->CalendarDate(), EncodeDate(2026, 3, 5));
    // A day outside the limits is not taken.
    ed->SetMaxDate(EncodeDate(2026, 3, 20));
    cal->SetMaxDate(ed->MaxDate());
    cal->SetCalendarDate(EncodeDate(2026, 3, 25));
    popup->AcceptDate(true);
    EXPECT_TRUE(popup->Visible());
    EXPECT_EQ(ed->Date(), EncodeDate(2026, 3, 5));
    // One within them is, and the popup goes.
    int changes = 0;
    ed->OnChange = TNotifyEvent::FromCallable([&](TObject*) { ++changes; });
    cal->SetCalendarDate(EncodeDate(2026, 3, 12));
    QueueKey(win::VK_RETURN);
    Pump();
    EXPECT_FALSE(popup->Visible());
    EXPECT_EQ(ed->Date(), EncodeDate(2026, 3, 12));
    EXPECT_GE(changes, 1);
    // A refusal by OnAcceptDate keeps the popup open on a click.
    ed->OnAcceptDate =
        TOnAcceptDate::FromCallable([](TObject*, TDateTime&, bool& accept) { accept = false; });
    ed->PopupDropDown();
    EXPECT_TRUE(popup->Visible());
    popup->AcceptDate(true);
    EXPECT_TRUE(popup->Visible());
    QueueKey(win::VK_ESCAPE);
    Pump();
    EXPECT_FALSE(popup->Visible());
    // Read-only: neither the button nor Alt+Down open it.
    ed->OnAcceptDate = {};
    ed->SetReadOnly(true);
    ed->SetFocus();
    QueueClick(ed->Button());
    Pump();
    EXPECT_FALSE(popup->Visible());
    ed->SetReadOnly(false);
    ed->SetFocus();
    win::QueueKeyEvent(win::KeyEvent{win::VK_MENU, true, 0});
    QueueKey(win::VK_DOWN);
    win::QueueKeyEvent(win::KeyEvent{win::VK_MENU, false, 0});
    Pump();
    EXPECT_TRUE(popup->Visible());
    ed->PopupCloseUp();
    form->SetTop(Screen()->Height() - 70);  // no room below: above the edit
    ed->PopupDropDown();
    EXPECT_EQ(popup->BoundsRect().Bottom, form->Top() + ed->Top());
}

TEST_F(SkinDateEditTest, WithoutItsButtonTheTextTakesTheWholeEdit) {
    auto* ed = Edit();
    ed->SetDirectInput(false);
    form->Show();
    Pump();
    // DirectInput off: nothing typed, but the button still opens the calendar.
    ed->SetFocus();
    QueueKey(0, '1');
    Pump();
    EXPECT_EQ(ed->Date(), 0);
    QueueClick(ed->Button());
    Pump();
    ASSERT_NE(ed->PopupCalendar(), nullptr);
    EXPECT_TRUE(ed->PopupVisible());
    QueueKey(win::VK_ESCAPE);
    Pump();
    // No button: the formatting rectangle spans the client area and Alt+Down opens nothing.
    ed->SetShowButton(false);
    EXPECT_FALSE(ed->Button()->Visible());
    win::RECT r{};
    win::SendMessageA(ed->Handle(), win::EM_GETRECT, 0, reinterpret_cast<win::LPARAM>(&r));
    EXPECT_EQ(r.right, ed->ClientWidth());
    ed->SetFocus();
    win::QueueKeyEvent(win::KeyEvent{win::VK_MENU, true, 0});
    QueueKey(win::VK_DOWN);
    win::QueueKeyEvent(win::KeyEvent{win::VK_MENU, false, 0});
    Pump();
    EXPECT_FALSE(ed->PopupVisible());
    // Moving the edit closes an open popup.
    ed->SetShowButton(true);
    ed->PopupDropDown();
    EXPECT_TRUE(ed->PopupVisible());
    ed->SetLeft(ed->Left() + 5);
    EXPECT_FALSE(ed->PopupVisible());
}

class SkinMonthCalendarTest : public FormTest {
protected:
    TsMonthCalendar* Calendar() {
        auto* c = Place<TsMonthCalendar>(form, Bounds(10, 10, 178, 139));
        c->SetStartOfWeek(dowMonday);
        return c;
    }
};

TEST_F(SkinMonthCalendarTest, DaysLieUnderTheirWeekdays) {
    auto* c = Calendar();
    c->SetCalendarDate(EncodeDate(2024, 1, 15));  // 1 January 2024 is a Monday
    TsCalendGrid* g = c->Grid();
    EXPECT_EQ(g->CellText(0, 1), "1");
    EXPECT_EQ(g->CellText(6, 1), "7");
    EXPECT_EQ(g->CellText(0, 3), "15");
    EXPECT_EQ(g->Col(), 0);
    EXPECT_EQ(g->Row(), 3);
    EXPECT_EQ(g->CellText(0, 0), FormatSettings.ShortDayNames[1]);  // Monday
    c->SetCalendarDate(EncodeDate(2023, 10, 10));                   // 1 October 2023 is a Sunday
    EXPECT_EQ(g->CellText(6, 1), "1");
    EXPECT_EQ(g->CellText(0, 1), "");
    EXPECT_EQ(c->TitleBar()->Caption(), FormatSettings.LongMonthNames[9] + " 2023");
    // Sunday first.
    c->SetStartOfWeek(dowSunday);
    EXPECT_EQ(g->CellText(0, 1), "1");
    // Week numbers in a fixed first column.
    c->SetShowWeeks(true);
    EXPECT_EQ(g->ColCount(), 8);
    EXPECT_EQ(g->FixedCols(), 1);
    EXPECT_EQ(g->CellText(1, 1), "1");
    // No week number for a row reaching into year 10000 or 0, and no step beyond either.
    for (TDateTime at : {EncodeDate(9999, 12, 15), EncodeDate(1, 1, 15)}) {
        c->SetCalendarDate(at);
        EXPECT_EQ(g->CellText(0, at > 0 ? 6 : 1), "");
        EXPECT_NO_THROW(Shot(c));
        at > 0 ? c->NextMonth() : c->PrevMonth();
        EXPECT_EQ(c->CalendarDate(), at);
    }
}

TEST_F(SkinMonthCalendarTest, StepsKeepTheDayWithinTheMonth) {
    auto* c = Calendar();
    int changes = 0;
    c->OnChange = TNotifyEvent::FromCallable([&](TObject*) { ++changes; });
    c->SetCalendarDate(EncodeDate(2024, 1, 31));
    c->NextMonth();
    EXPECT_EQ(c->CalendarDate(), EncodeDate(2024, 2, 29));
    c->NextYear();
    EXPECT_EQ(c->CalendarDate(), EncodeDate(2025, 2, 28));
    c->SetCalendarDate(EncodeDate(2023, 1, 31));
    c->NextMonth();
    EXPECT_EQ(c->CalendarDate(), EncodeDate(2023, 2, 28));
    c->PrevMonth();
    EXPECT_EQ(c->CalendarDate(), EncodeDate(2023, 1, 28));
    c->PrevYear();
    EXPECT_EQ(c->Year(), 2022);
    EXPECT_EQ(changes, 7);
    c->SetMonth(13);  // ignored
    EXPECT_EQ(c->Month(), 1);
    c->SetDay(31);
    EXPECT_EQ(c->Day(), 31);
    // The title's step buttons.
    c->StepButton(2)->Click();
    EXPECT_EQ(c->CalendarDate(), EncodeDate(2022, 2, 28));
    c->StepButton(0)->Click();
    EXPECT_EQ(c->Year(), 2021);
}

TEST_F(SkinMonthCalendarTest, TheYearMenuChecksTheMonthShownAtEveryDrop) {
    auto* c = Calendar();
    form->Show();
    for (int month : {3, 7}) {
        c->SetCalendarDate(EncodeDate(CurrentYear() - 1, month, 5));
        QueueKey(win::VK_ESCAPE);
        c->TitleBar()->OnMouseDown(c->TitleBar(), mbLeft, {}, 5, 5);
        auto* menu = static_cast<TPopupMenu*>(c->Components(c->ComponentCount() - 1));
        TMenuItem* year = menu->Items()->Items(8);  // after five decades, the fourth year
        EXPECT_TRUE(year->Items(month - 1)->Checked());
        EXPECT_EQ(year->Items(2)->Checked(), month == 3);
    }
}

TEST_F(SkinMonthCalendarTest, ClicksAndKeysMoveTheDayUnlessReadOnly) {
    auto* c = Calendar();
    c->SetCalendarDate(EncodeDate(2024, 1, 15));
    form->Show();
    Pump();
    TsCalendGrid* g = c->Grid();
    const TRect cell = g->CellRect(2, 2);  // the 10th
    const TPoint p =
        g->ClientToScreen({(cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2});
    QueueMove(p.X, p.Y);
    win::QueueMouseEvent({win::MouseEvent::Down, {p.X, p.Y}, win::MouseButton::Left});
    win::QueueMouseEvent({win::MouseEvent::Up, {p.X, p.Y}, win::MouseButton::Left});
    Pump();
    EXPECT_EQ(c->Day(), 10);
    g->SetFocus();
    QueueKey(win::VK_RIGHT);
    Pump();
    EXPECT_EQ(c->Day(), 11);
    QueueKey(win::VK_NEXT);
    Pump();
    EXPECT_EQ(c->CalendarDate(), EncodeDate(2024, 2, 11));
    c->SetReadOnly(true);
    QueueMove(p.X, p.Y);
    win::QueueMouseEvent({win::MouseEvent::Down, {p.X, p.Y}, win::MouseButton::Left});
    win::QueueMouseEvent({win::MouseEvent::Up, {p.X, p.Y}, win::MouseButton::Left});
    QueueKey(win::VK_RIGHT);
    Pump();
    EXPECT_EQ(c->CalendarDate(), EncodeDate(2024, 2, 11));
}

}  // namespace
}  // namespace skin

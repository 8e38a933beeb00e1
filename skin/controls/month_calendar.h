// TsMonthCalendar: one month as a grid of days (TsCalendGrid, a draw grid) under a title bar
// with the month and year, buttons that step a year ("<<", ">>") or a month ("<", ">"), a
// year and month chooser on the title and an optional today button.
//
// The grid's first row names the days of the week from StartOfWeek (the locale's, Monday, by
// default); the day shown in the cell with index i of the six week rows is i + the month
// offset, a cell outside the month being empty. Rules it keeps:
//  1. CalendarDate is a whole day; stepping a month keeps the day, cut to the target month's
//     length; stepping a year turns 29 February into the 28th.
//  2. A day outside MinDate..MaxDate (when set) is shown dimmed; a bound that changes moves
//     the date onto it.
//  3. With ReadOnly the selection does not move; only cells with a day can be selected.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "skin/controls/buttons.h"
#include "skin/controls/panels.h"
#include "vcl/controls/grids.h"
#include "vcl/controls/menus.h"
#include "vcl/system/date_utils.h"

namespace skin {

class TsMonthCalendar;

enum TCalDayOfWeek : uint8_t {
    dowMonday,
    dowTuesday,
    dowWednesday,
    dowThursday,
    dowFriday,
    dowSaturday,
    dowSunday,
    dowLocaleDefault
};
using TDaysOfWeek = vcl::Set<TCalDayOfWeek>;
// Asks the colours of a day's cell: a background other than 0xFF00FF fills it.
using TGetCellParams = vcl::Delegate<void(vcl::TObject* Sender, vcl::TFont* AFont,
                                          vcl::TColor& Background, vcl::TDateTime Date)>;

class TsCalendGrid : public vcl::TDrawGrid {
public:
    VCL_CLASS(TsCalendGrid, vcl::TDrawGrid)
    explicit TsCalendGrid(TsMonthCalendar* calendar);

    TsMonthCalendar* Calendar() const { return calendar_; }
    // The text of a cell: a day, a day's name, a week number, or empty.
    std::string CellText(int col, int row) const;

    void Dispatch(vcl::TMessage& message) override;

protected:
    void DrawCell(int col, int row, const vcl::TRect& rect, vcl::TGridDrawState state) override;
    bool SelectCell(int col, int row) override;
    void GridKeyDown(uint16_t& key, vcl::TShiftState shift) override;
    void GridKeyPress(char& key) override;
    void MouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;

private:
    // The colours the cells paint with: the skin's, or the system's without one.
    struct Colors {
        bool skinned = false;
        skin::TColor global = 0, font = 0, weeks = 0, highlight = 0, highlightFont = 0;
    };
    Colors CellColors() const;
    // Fills `r` with what the calendar shows behind the grid there; answers its colour.
    skin::TColor FillBackground(const vcl::TRect& r);

    TsMonthCalendar* calendar_;
    bool clicking_ = false;
};

class TsMonthCalendar : public TsPanel {
public:
    VCL_CLASS_PUBLISHED(TsMonthCalendar, TsPanel)
    explicit TsMonthCalendar(vcl::TComponent* owner);
    ~TsMonthCalendar() override;

    vcl::TDateTime CalendarDate() const { return date_; }
    void SetCalendarDate(vcl::TDateTime date);
    int Year() const;
    void SetYear(int year);
    int Month() const;
    void SetMonth(int month);
    int Day() const;
    void SetDay(int day);
    vcl::TDateTime MinDate() const { return minDate_; }
    void SetMinDate(vcl::TDateTime date);
    vcl::TDateTime MaxDate() const { return maxDate_; }
    void SetMaxDate(vcl::TDateTime date);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on) { readOnly_ = on; }
    TCalDayOfWeek StartOfWeek() const { return startOfWeek_; }
    void SetStartOfWeek(TCalDayOfWeek day);
    TDaysOfWeek Weekends() const { return weekends_; }
    void SetWeekends(TDaysOfWeek days);
    vcl::TColor WeekendColor() const { return weekendColor_; }
    void SetWeekendColor(vcl::TColor color);
    bool UseCurrentDate() const { return useCurrentDate_; }
    void SetUseCurrentDate(bool on);
    bool ShowTitle() const { return showTitle_; }
    void SetShowTitle(bool on);
    bool ShowCurrentDate() const { return showCurrentDate_; }
    void SetShowCurrentDate(bool on);
    bool ShowWeeks() const { return showWeeks_; }
    void SetShowWeeks(bool on);
    bool ShowTodayBtn() const { return showTodayBtn_; }
    void SetShowTodayBtn(bool on);
    bool ShowSelectAlways() const { return showSelectAlways_; }
    void SetShowSelectAlways(bool on);
    bool ShowYearBtns() const { return showYearBtns_; }
    void SetShowYearBtns(bool on);
    bool ShowMonthBtns() const { return showMonthBtns_; }
    void SetShowMonthBtns(bool on);

    // The first day of the week, 0 Monday .. 6 Sunday.
    int FirstDayOfWeek() const;
    // The day in the first cell of the first week row, less that cell's index.
    int MonthOffset() const { return offset_; }
    bool Updating() const { return updating_; }
    TsCalendGrid* Grid() const { return grid_; }
    TsDragBar* TitleBar() const { return title_; }
    TsSpeedButton* TodayButton() const { return todayBtn_; }
    TsTimerSpeedButton* StepButton(int i) const { return steps_[i]; }
    // Whether a date lies within MinDate..MaxDate (a bound of 0 does not limit).
    bool InRange(vcl::TDateTime date) const;

    void PrevMonth();
    void NextMonth();
    void PrevYear();
    void NextYear();
    // Selects the current day, and with `dayOnly` off writes the title and repaints.
    void UpdateCalendar(bool dayOnly = false);

    vcl::TNotifyEvent OnChange;
    TGetCellParams OnGetCellParams;
    TGetCellParams OnDrawDay;
    // Set by the popup of a date edit that holds the calendar: a day was chosen.
    vcl::TNotifyEvent OnPopupAccept;

    void Loaded() override;
    // After the panel: a new or removed skin reaches the year menu, the grid and the title.
    void WndProc(vcl::TMessage& message) override;

protected:
    void CreateWnd() override;
    virtual void Change() { OnChange(this); }

private:
    friend class TsCalendGrid;
    void StepClick(vcl::TObject* sender);
    void TodayClick(vcl::TObject*);
    void TitleDblClick(vcl::TObject*);
    void TitleMouseDown(vcl::TObject*, vcl::TMouseButton button, vcl::TShiftState, int, int);
    void YearMenuClick(vcl::TObject* sender);
    void CheckShownMonth(vcl::TMenuItem* item);
    void ApplyDate(vcl::TDateTime date, bool dayOnly);
    void UpdateButtons();

    vcl::TDateTime date_;
    int offset_ = 0;
    bool readOnly_ = false;
    TCalDayOfWeek startOfWeek_ = dowLocaleDefault;
    bool updating_ = false;
    bool useCurrentDate_ = true;
    TDaysOfWeek weekends_{dowSunday};
    vcl::TColor weekendColor_ = 255;
    bool showTitle_ = true;
    bool showCurrentDate_ = true;
    bool showWeeks_ = false;
    bool showTodayBtn_ = false;
    bool showSelectAlways_ = true;
    bool showYearBtns_ = true;
    bool showMonthBtns_ = true;
    vcl::TDateTime minDate_ = 0, maxDate_ = 0;
    vcl::TPopupMenu* yearMenu_ = nullptr;
    TsCalendGrid* grid_;
    TsDragBar* title_;
    TsPanel* spacer_;
    TsSpeedButton* todayBtn_;
    TsTimerSpeedButton* steps_[4];
};

}  // namespace skin

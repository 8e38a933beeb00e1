// TsCustomDateEdit and TsDateEdit: a masked date entry whose button opens a month calendar in a
// borderless popup form (TsPopupCalendar).
//
// Date 0 stands for an empty edit: writing 0 (or an invalid date) empties it, and an empty or
// unreadable text reads as 0 (or today with DefaultToday). The mask and the text's date format
// follow the system's short date format (day, month and year order; four-digit years unless
// YearDigits says two) and are rebuilt when the system's settings change. A date chosen in
// the calendar outside MinDate..MaxDate is not taken and the popup stays open.
#pragma once

#include <memory>
#include <string>

#include "skin/controls/combo_edit.h"
#include "skin/controls/month_calendar.h"
#include "vcl/controls/forms.h"
#include "vcl/system/string_list.h"

namespace skin {

class TsCustomDateEdit;

// The popup's window region: its rectangle less the transparent corners, top and bottom, of
// the border mask of `data`'s section (the whole rectangle without a usable mask).
win::HRGN PopupCalendarRegion(TsCommonData* data, int width, int height);

enum TYearDigits : uint8_t { dyDefault, dyFour, dyTwo };
using TOnAcceptDate = vcl::Delegate<void(vcl::TObject* Sender, vcl::TDateTime& Date, bool& Accept)>;

// The popup of a date edit: Tag -98, no border, a month calendar filling it.
class TsPopupCalendar : public vcl::TForm {
public:
    VCL_CLASS(TsPopupCalendar, vcl::TForm)
    explicit TsPopupCalendar(TsCustomDateEdit* edit);

    TsMonthCalendar* Calendar() const { return calendar_; }
    TsCustomDateEdit* Edit() const { return edit_; }
    bool FourDigitYear = true;

    // The calendar's day goes to the edit (by a click or by Enter), when the edit takes it.
    void AcceptDate(bool byClick);
    bool DoKeyDown(uint16_t& key, vcl::TShiftState shift) override;
    bool DoKeyPress(char& key) override;

protected:
    void CreateParams(vcl::TCreateParams& params) override;
    void DoShow() override;
    void Deactivate() override;

public:
    void WndProc(vcl::TMessage& message) override;

private:
    void CalendarAccept(vcl::TObject*) { AcceptDate(true); }
    void CloseUp();
    // Skinned: the window takes the region of the calendar's border mask.
    void ApplyRegion(bool redraw);

    TsCustomDateEdit* edit_;
    TsMonthCalendar* calendar_;
};

class TsCustomDateEdit : public TsCustomComboEdit {
public:
    VCL_CLASS_PUBLISHED(TsCustomDateEdit, TsCustomComboEdit)
    explicit TsCustomDateEdit(vcl::TComponent* owner);
    ~TsCustomDateEdit() override;

    vcl::TDateTime Date();
    void SetDate(vcl::TDateTime date);
    // Sets the date and selects the whole text.
    virtual void ApplyDate(vcl::TDateTime date);
    vcl::TDateTime MinDate() const { return minDate_; }
    void SetMinDate(vcl::TDateTime date);
    vcl::TDateTime MaxDate() const { return maxDate_; }
    void SetMaxDate(vcl::TDateTime date);
    bool DefaultToday() const { return defaultToday_; }
    void SetDefaultToday(bool on) { defaultToday_ = on; }
    bool CheckOnExit() const { return checkOnExit_; }
    void SetCheckOnExit(bool on) { checkOnExit_ = on; }
    char BlanksChar() const { return blanksChar_; }
    void SetBlanksChar(char c);
    TYearDigits YearDigits() const { return yearDigits_; }
    void SetYearDigits(TYearDigits digits);
    bool FourDigitYear() const;
    const std::string& DialogTitle() const { return dialogTitle_; }
    void SetDialogTitle(const std::string& title) { dialogTitle_ = title; }
    // At most four lines: the hints of the calendar's title buttons.
    vcl::TStrings* CalendarHints() const { return hints_.get(); }
    void SetCalendarHints(vcl::TStrings* hints) { hints_->Assign(hints); }
    TCalDayOfWeek StartOfWeek() const { return startOfWeek_; }
    void SetStartOfWeek(TCalDayOfWeek day);
    TDaysOfWeek Weekends() const { return weekends_; }
    void SetWeekends(TDaysOfWeek days);
    vcl::TColor WeekendColor() const { return weekendColor_; }
    void SetWeekendColor(vcl::TColor color);
    bool ShowCurrentDate() const { return showCurrentDate_; }
    void SetShowCurrentDate(bool on) { showCurrentDate_ = on; }
    bool ShowWeeks() const { return showWeeks_; }
    void SetShowWeeks(bool on);
    bool ShowTodayBtn() const { return showTodayBtn_; }
    void SetShowTodayBtn(bool on);
    // The format the text is read and written with ("DD/MM/YYYY" and its kin).
    const std::string& DateFormat() const { return dateFormat_; }
    TsPopupCalendar* PopupCalendar() const { return popupCalendar_; }

    // Reads a typed text with the system's conversion: EConvertError "Invalid Date" when a
    // text that is not blank does not read as a date (the edit takes the focus back).
    void CheckValidDate();
    // The mask and format again from the system's settings, keeping the date.
    virtual void UpdateFormat();
    void PopupDropDown() override;

    TOnAcceptDate OnAcceptDate;
    TGetCellParams OnGetCellParams;
    TGetCellParams OnDrawDay;

    void Loaded() override;
    bool DoKeyDown(uint16_t& key, vcl::TShiftState shift) override;
    bool DoKeyPress(char& key) override;
    void WndProc(vcl::TMessage& message) override;

protected:
    void CreateWnd() override;
    void Change() override;

private:
    void HintsChanged(vcl::TObject*);
    void PassOptions();
    bool MainWindowHook(vcl::TMessage& message);
    double PublishedDate() const { return const_cast<TsCustomDateEdit*>(this)->Date(); }
    void SetPublishedDate(double date) { SetDate(date); }

    vcl::TDateTime minDate_ = 0, maxDate_ = 0;
    bool defaultToday_ = false;
    bool checkOnExit_ = false;
    char blanksChar_ = ' ';
    TYearDigits yearDigits_ = dyFour;
    std::string dialogTitle_ = "Date select";
    std::unique_ptr<vcl::TStringList, vcl::FreeDeleter> hints_;
    TCalDayOfWeek startOfWeek_ = dowLocaleDefault;
    TDaysOfWeek weekends_{dowSunday};
    vcl::TColor weekendColor_ = 255;
    bool showCurrentDate_ = true;
    bool showWeeks_ = false;
    bool showTodayBtn_ = true;
    std::string dateFormat_;
    bool formatting_ = false;
    bool hooked_ = false;
    TsPopupCalendar* popupCalendar_ = nullptr;
};

class TsDateEdit : public TsCustomDateEdit {
public:
    VCL_CLASS(TsDateEdit, TsCustomDateEdit)
    explicit TsDateEdit(vcl::TComponent* owner);
};

}  // namespace skin

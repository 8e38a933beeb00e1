#include "skin/controls/date_edit.h"

#include <cmath>

#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "skin/controls/date_utils.h"
#include "skin/core/paint/mask_geometry.h"
#include "skin/core/pixels/color_helpers.h"
#include "skin/controls/control_frame.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "vcl/system/exceptions.h"

namespace skin {

using namespace vcl;

namespace {

// The keypad's plus and minus.
constexpr uint16_t kKeyAdd = 0x6B, kKeySubtract = 0x6D;

bool Shifted(TShiftState s) {
    return s.Contains(ssShift) || s.Contains(ssCtrl) || s.Contains(ssAlt);
}

}  // namespace

win::HRGN PopupCalendarRegion(TsCommonData* data, int width, int height) {
    win::HRGN region = win::CreateRectRgn(0, 0, width, height);
    TsSkinManager* mgr = data ? data->GetSkinManager() : nullptr;
    if (!mgr || !mgr->Skin().IsValidImgIndex(data->BorderIndex)) return region;
    const TsMaskData& mask = mgr->Masks()[size_t(data->BorderIndex)];
    MaskFrame f;
    if (!ReadMaskFrame(mask, f)) return region;
    const MaskCorners corners{f.R, f.Count, f.Type, f.WL, f.WT, f.WR, f.WB};
    std::vector<TRect> cuts;
    GetMaskRegionCuts(cuts, f.Src, corners, width, false, 0);
    GetMaskRegionCuts(cuts, f.Src, corners, width, true, height - f.WB);
    for (const TRect& r : cuts) {
        win::HRGN cut = win::CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
        win::CombineRgn(region, region, cut, win::RGN_DIFF);
        win::DeleteObject(cut);
    }
    return region;
}

// --- TsPopupCalendar ---

TsPopupCalendar::TsPopupCalendar(TsCustomDateEdit* edit) : TForm(edit), edit_(edit) {
    SetTag(-98);
    SetBorderStyle(bsNone);
    SetColor(clBtnFace);
    Font()->SetName("Tahoma");
    Font()->SetHeight(-11);
    KeyPreview = true;
    SetClientSize(189, 132);
    calendar_ = New<TsMonthCalendar>(this);
    calendar_->SetParent(this);
    calendar_->SetAlign(alClient);
    calendar_->SetBevelWidth(1);
    calendar_->SetBorderWidth(3);
    calendar_->SkinData()->SetSkinSection("PANEL");
    calendar_->OnPopupAccept = TNotifyEvent(this, &TsPopupCalendar::CalendarAccept);
}

void TsPopupCalendar::CreateParams(TCreateParams& p) {
    TForm::CreateParams(p);
    p.Style |= win::WS_CLIPSIBLINGS;
    p.ClassStyle |= win::CS_DROPSHADOW;
}

void TsPopupCalendar::DoShow() {
    calendar_->Grid()->SetCursor(crDefault);
    ApplyRegion(true);
    TsSkinManager* mgr = DefaultManager;
    SetColor(mgr && mgr->Active() ? vcl::TColor(mgr->GetGlobalColor()) : clBtnFace);
    calendar_->SetShowCurrentDate(edit_->ShowCurrentDate());
    TForm::DoShow();
}

void TsPopupCalendar::ApplyRegion(bool redraw) {
    TsSkinManager* mgr = edit_->SkinData()->GetSkinManager();
    if (!HandleAllocated() || !mgr || !mgr->Active()) return;
    // The window owns the region it is given.
    win::SetWindowRgn(Handle(), PopupCalendarRegion(calendar_->SkinData(), Width(), Height()),
                      redraw);
}

void TsPopupCalendar::WndProc(TMessage& m) {
    TsSkinManager* mgr = DefaultManager;
    if (m.Msg == win::WM_ERASEBKGND && mgr && mgr->Active()) {
        m.Result = 1;
        return;
    }
    if (m.Msg == win::WM_NCPAINT) ApplyRegion(false);
    TForm::WndProc(m);
}

void TsPopupCalendar::Deactivate() {
    TForm::Deactivate();
    CloseUp();
}

void TsPopupCalendar::CloseUp() {
    if (Visible()) Hide();
}

void TsPopupCalendar::AcceptDate(bool byClick) {
    TDateTime d = calendar_->CalendarDate();
    if (!calendar_->InRange(d)) return;
    bool accept = true;
    edit_->OnAcceptDate(edit_, d, accept);
    if (accept) {
        edit_->SetDate(d);
        edit_->OnChange(edit_);
        if (byClick) Hide();
    } else if (byClick) {
        return;
    }
    if (!byClick || (edit_->Visible() && edit_->Enabled())) {
        if (edit_->CanFocus()) edit_->SetFocus();
        if (edit_->AutoSelect()) edit_->SelectAllText();
    }
    CloseUp();
}

bool TsPopupCalendar::DoKeyDown(uint16_t& key, TShiftState shift) {
    if (key == win::VK_RETURN) {
        AcceptDate(false);
        key = 0;
        return true;
    }
    if (key == win::VK_ESCAPE) {
        if (edit_->CanFocus()) edit_->SetFocus();
        CloseUp();
        key = 0;
        return true;
    }
    return TForm::DoKeyDown(key, shift);
}

bool TsPopupCalendar::DoKeyPress(char& key) {
    if (TForm::DoKeyPress(key)) return true;
    return edit_->DoKeyPress(key);
}

// --- TsCustomDateEdit ---

std::vector<TPropInfo> TsCustomDateEdit::Published() {
    using E = TsCustomDateEdit;
    return {Property("BlanksChar", &E::BlanksChar, &E::SetBlanksChar),
            Property("CalendarHints", &E::CalendarHints, &E::SetCalendarHints),
            Property("CheckOnExit", &E::CheckOnExit, &E::SetCheckOnExit),
            Property("Date", &E::PublishedDate, &E::SetPublishedDate),
            Property("DefaultToday", &E::DefaultToday, &E::SetDefaultToday),
            Property("DialogTitle", &E::DialogTitle, &E::SetDialogTitle),
            Property("MaxDate", &E::MaxDate, &E::SetMaxDate),
            Property("MinDate", &E::MinDate, &E::SetMinDate),
            Property("StartOfWeek", &E::StartOfWeek, &E::SetStartOfWeek),
            SetProperty("Weekends", &E::Weekends, &E::SetWeekends),
            Property("WeekendColor", &E::WeekendColor, &E::SetWeekendColor),
            Property("YearDigits", &E::YearDigits, &E::SetYearDigits),
            Property("ShowCurrentDate", &E::ShowCurrentDate, &E::SetShowCurrentDate),
            Property("ShowWeeks", &E::ShowWeeks, &E::SetShowWeeks),
            Property("ShowTodayBtn", &E::ShowTodayBtn, &E::SetShowTodayBtn)};
}

TsCustomDateEdit::TsCustomDateEdit(TComponent* owner)
    : TsCustomComboEdit(owner), hints_(New<TStringList>()) {
    SkinData()->COC = 137;
    hints_->OnChange = TNotifyEvent(this, &TsCustomDateEdit::HintsChanged);
    SetDefaultGlyphIndex(2);
    SetWidth(86);
    dateFormat_ = DefaultDateFormatText(FourDigitYear());
}

TsCustomDateEdit::~TsCustomDateEdit() {
    if (hooked_)
        Application()->UnhookMainWindow(TWindowHook(this, &TsCustomDateEdit::MainWindowHook));
}

bool TsCustomDateEdit::FourDigitYear() const {
    return yearDigits_ == dyFour || (yearDigits_ == dyDefault && FourDigitYearDefault());
}

TDateTime TsCustomDateEdit::Date() {
    const bool today = defaultToday_ && !ComponentState().Contains(csDesigning);
    const TDateTime fallback = today ? vcl::Date() : 0;
    TDateTime d;
    return StrToDateByFormat(dateFormat_, Text(), d) && d != 0 ? d : std::floor(fallback);
}

void TsCustomDateEdit::SetDate(TDateTime d) {
    if (d == 0 || !IsDateValid(d))
        d = defaultToday_ && !ComponentState().Contains(csDesigning) ? vcl::Date() : 0;
    const TDateTime old = Date();
    if (d != 0)
        SetText(FormatDateTime(dateFormat_, d));
    else
        SetText("");
    SetModified(std::floor(d) != old);
    // The new date shows at once: the cache is rebuilt, nothing waits for a parent.
    if (Modified()) {
        SkinData()->CacheStale = true;
        if (HandleAllocated()) win::InvalidateRect(Handle(), nullptr, win::FALSE);
    }
}

void TsCustomDateEdit::ApplyDate(TDateTime date) {
    SetDate(date);
    SelectAllText();
}

// A limit of 0 is no limit, never out of order with the other one.
void TsCustomDateEdit::SetMinDate(TDateTime date) {
    if (date == minDate_ || (date != 0 && maxDate_ != 0 && date > maxDate_)) return;
    minDate_ = date;
    if (minDate_ != 0 && Date() != 0 && Date() < minDate_) SetDate(minDate_);
}

void TsCustomDateEdit::SetMaxDate(TDateTime date) {
    if (date == maxDate_ || (date != 0 && minDate_ != 0 && minDate_ > date)) return;
    maxDate_ = date;
    if (maxDate_ != 0 && Date() > maxDate_) SetDate(maxDate_);
}

void TsCustomDateEdit::SetBlanksChar(char c) {
    if (static_cast<unsigned char>(c) < 32) c = ' ';
    if (c == blanksChar_) return;
    blanksChar_ = c;
    UpdateFormat();
}

void TsCustomDateEdit::SetYearDigits(TYearDigits digits) {
    if (digits == yearDigits_) return;
    yearDigits_ = digits;
    UpdateFormat();
}

void TsCustomDateEdit::SetStartOfWeek(TCalDayOfWeek day) {
    startOfWeek_ = day;
    PassOptions();
}

void TsCustomDateEdit::SetWeekends(TDaysOfWeek days) {
    weekends_ = days;
    PassOptions();
}

void TsCustomDateEdit::SetWeekendColor(vcl::TColor color) {
    weekendColor_ = color;
    PassOptions();
}

void TsCustomDateEdit::SetShowWeeks(bool on) {
    showWeeks_ = on;
    PassOptions();
}

void TsCustomDateEdit::SetShowTodayBtn(bool on) {
    showTodayBtn_ = on;
    PassOptions();
}

void TsCustomDateEdit::HintsChanged(TObject*) {
    hints_->OnChange = {};
    while (hints_->Count() > 4)
        hints_->Delete(hints_->Count() - 1);
    hints_->OnChange = TNotifyEvent(this, &TsCustomDateEdit::HintsChanged);
    if (!ComponentState().Contains(csDesigning)) PassOptions();
}

void TsCustomDateEdit::UpdateFormat() {
    const TDateTime kept = Date();
    const std::string format = DefaultDateFormatText(FourDigitYear());
    const std::string mask = DefaultDateEditMask(blanksChar_, FourDigitYear());
    if (mask != EditMask() || format != dateFormat_) {
        dateFormat_ = format;
        SetEditMask("");
        SetEditMask(mask);
    }
    PassOptions();
    SetDate(kept);
}

void TsCustomDateEdit::PassOptions() {
    if (!popupCalendar_) return;
    TsMonthCalendar* c = popupCalendar_->Calendar();
    c->SetStartOfWeek(startOfWeek_);
    c->SetWeekends(weekends_);
    c->SetWeekendColor(weekendColor_);
    popupCalendar_->FourDigitYear = FourDigitYear();
    c->SetShowWeeks(showWeeks_);
    c->SetShowTodayBtn(showTodayBtn_);
    popupCalendar_->SetHeight(showTodayBtn_ ? 144 + 16 : 144);
    c->OnGetCellParams = OnGetCellParams;
    c->OnDrawDay = OnDrawDay;
    TsSkinManager* mgr = DefaultManager;
    popupCalendar_->SetColor(IsControlSkinned(SkinData()) && mgr ? vcl::TColor(mgr->GetGlobalColor())
                                                                 : clBtnFace);
    for (int i = 0; i < 4; ++i) {
        TsTimerSpeedButton* b = c->StepButton(i);
        b->SetHint(i < hints_->Count() ? hints_->Get(i) : std::string());
        b->SetShowHint(ShowHint());
    }
}

void TsCustomDateEdit::PopupDropDown() {
    if (!popupCalendar_) {
        popupCalendar_ = new TsPopupCalendar(this);
        popupCalendar_->AfterConstruction();
        SetPopup(popupCalendar_);
    }
    TsMonthCalendar* c = popupCalendar_->Calendar();
    c->SetMaxDate(maxDate_);
    c->SetMinDate(minDate_);
    const TDateTime d = Date();
    c->SetCalendarDate(d != 0 ? d : vcl::Date());
    PassOptions();
    TsCustomComboEdit::PopupDropDown();
}

void TsCustomDateEdit::CheckValidDate() {
    const std::string text = Text();
    bool blank = true;
    for (char ch : text)
        blank = blank && (ch == ' ' || ch == blanksChar_ || ch == FormatSettings.DateSeparator);
    if (blank) return;
    formatting_ = true;
    try {
        TDateTime d;
        if (!TryStrToDate(text, d)) throw EConvertError("Invalid Date");
        SetDate(d);
    } catch (...) {
        formatting_ = false;
        if (CanFocus()) SetFocus();
        throw;
    }
    formatting_ = false;
}

void TsCustomDateEdit::Change() {
    if (!formatting_) TsCustomComboEdit::Change();
}

void TsCustomDateEdit::Loaded() {
    TsCustomComboEdit::Loaded();
    UpdateFormat();
}

void TsCustomDateEdit::CreateWnd() {
    TsCustomComboEdit::CreateWnd();
    UpdateFormat();
    if (!hooked_ && !ComponentState().Contains(csDesigning) && Application()) {
        Application()->HookMainWindow(TWindowHook(this, &TsCustomDateEdit::MainWindowHook));
        hooked_ = true;
    }
}

bool TsCustomDateEdit::MainWindowHook(TMessage& m) {
    if (m.Msg == win::WM_SETTINGCHANGE) UpdateFormat();
    return false;
}

bool TsCustomDateEdit::DoKeyDown(uint16_t& key, TShiftState shift) {
    const bool navigation = key == win::VK_PRIOR || key == win::VK_NEXT || key == win::VK_LEFT ||
                            key == win::VK_RIGHT || key == win::VK_UP || key == win::VK_DOWN ||
                            key == kKeyAdd || key == kKeySubtract;
    if (PopupVisible() && navigation) {
        popupCalendar_->Calendar()->Grid()->DoKeyDown(key, shift);
        key = 0;
        return true;
    }
    if (!Shifted(shift) && DirectInput() && !ReadOnly() &&
        (key == kKeyAdd || key == kKeySubtract)) {
        const TDateTime d = Date();
        ApplyDate((d != 0 ? d : vcl::Date()) + (key == kKeyAdd ? 1 : -1));
        key = 0;
        return true;
    }
    return TsCustomComboEdit::DoKeyDown(key, shift);
}

bool TsCustomDateEdit::DoKeyPress(char& key) {
    const bool calendarKey = key == '+' || key == '-' || key == 'T' || key == 't';
    if (PopupVisible() && calendarKey) {
        popupCalendar_->Calendar()->Grid()->DoKeyPress(key);
        key = 0;
        return true;
    }
    if (calendarKey && DirectInput() && !ReadOnly()) {
        if (key == 'T' || key == 't') ApplyDate(vcl::Date());
        key = 0;
        return true;
    }
    return TsCustomComboEdit::DoKeyPress(key);
}

void TsCustomDateEdit::WndProc(TMessage& m) {
    // The popup's calendar follows the edit's skin; the format may have changed with it.
    if (IsOwnSkinChange(m, SkinData())) {
        if (popupCalendar_) {
            TMessage copy = m;
            BroadcastToChildControls(popupCalendar_, copy);
        }
        UpdateFormat();
    }
    if (m.Msg == CM_EXIT && !ComponentState().Contains(csDesigning) && checkOnExit_) {
        CheckValidDate();
        const TDateTime d = Date();
        if (maxDate_ != 0 && d > maxDate_)
            SetDate(maxDate_);
        else if (minDate_ != 0 && d != 0 && d < minDate_)
            SetDate(minDate_);
    }
    TsCustomComboEdit::WndProc(m);
}

// --- TsDateEdit ---

TsDateEdit::TsDateEdit(TComponent* owner) : TsCustomDateEdit(owner) {
    SkinData()->COC = 140;
    SetEditMask("!90/90/0000;1; ");
    UpdateFormat();
}

}  // namespace skin

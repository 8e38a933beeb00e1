#include "skin/controls/month_calendar.h"

#include <algorithm>
#include <cmath>

#include "platform/controls/library_strings.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "skin/controls/control_frame.h"
#include "skin/controls/date_utils.h"
#include "skin/core/pixels/blend.h"
#include "skin/core/state/neighbour_services.h"
#include "skin/core/state/section_paint.h"
#include "skin/core/state/skin_commands.h"
#include "skin/core/state/skin_manager.h"
#include "vcl/system/format.h"
#include "vcl/system/sysutils.h"

namespace skin {

using namespace vcl;

namespace {

// The keypad's plus and minus.
constexpr uint16_t kKeyAdd = 0x6B, kKeySubtract = 0x6D;

TDateTime Today() {
    return Date();
}

TDateTime Make(int y, int m, int d) {
    return EncodeDate(y, m, std::min(d, DaysInMonthOf(y, m)));
}

// The week number of a day: its days since 1 January with the weekday of 1 January (Sunday 0).
int WeekOfYear(TDateTime day) {
    int y, m, d;
    DecodeDate(day, y, m, d);
    const TDateTime jan1 = EncodeDate(y, 1, 1);
    const int sinceJan1 = static_cast<int>(std::floor(day - jan1));
    return (sinceJan1 + DayOfWeek(jan1) - 1) / 7 + 1;
}

// The today button's caption: the system's own "Today:" label and the date, or, without the
// label, the English one in the format.
std::string TodayCaption() {
    static const std::string label = [] {
        char text[64] = {};
        const int n = win::LoadStringA(win::GetModuleHandleA("comctl32.dll"), win::IDS_TODAY,
                                       text, sizeof text);
        return std::string(text, static_cast<std::size_t>(std::max(n, 0)));
    }();
    if (label.empty()) return FormatDateTime("\"Today: \" mmmm d, yyyy", Today());
    return label + FormatDateTime(" mmmm d, yyyy", Today());
}

vcl::TColor AsColor(skin::TColor c) {
    return static_cast<vcl::TColor>(c);
}

// The class library's conversion: the skin's own keeps a system colour's index.
skin::TColor Rgb(vcl::TColor c) {
    return static_cast<skin::TColor>(vcl::ColorToRGB(c));
}

}  // namespace

// --- TsCalendGrid ---

TsCalendGrid::TsCalendGrid(TsMonthCalendar* calendar) : TDrawGrid(calendar), calendar_(calendar) {
    SetBorderStyle(bsNone);
    SetFixedCols(0);
    SetFixedRows(1);
    SetColCount(7);
    SetRowCount(7);
    SetScrollBars(ssNone);
    SetOptions({});
    SetAlign(alClient);
    SetTag(-98);
    SetParentColor(true);
}

std::string TsCalendGrid::CellText(int col, int row) const {
    const TsMonthCalendar* c = calendar_;
    const int weeks = c->ShowWeeks() ? 1 : 0;
    const int first = c->FirstDayOfWeek();
    if (row == 0) {
        if (col < weeks) return "\xB9/w";  // "№/w"
        return FormatSettings
            .ShortDayNames[static_cast<std::size_t>((col + first - weeks + 1) % 7)];
    }
    int y, m, d;
    DecodeDate(c->CalendarDate(), y, m, d);
    if (col < weeks) {
        // The row's first day, in the month before or after when the row starts outside;
        // before year 1 or after 9999 it has no week.
        int day = c->MonthOffset() + (row - 1) * 7;
        if (first != 0) --day;
        const TDateTime date = EncodeDate(y, m, 1) + day - 1;
        return IsDateValid(date) ? IntToStr(WeekOfYear(date)) : std::string();
    }
    const int day = col - weeks + c->MonthOffset() + (row - 1) * 7;
    return day >= 1 && day <= DaysInMonthOf(y, m) ? IntToStr(day) : std::string();
}

bool TsCalendGrid::SelectCell(int col, int row) {
    if (!calendar_->Updating() && calendar_->ReadOnly()) return false;
    return !CellText(col, row).empty() && TDrawGrid::SelectCell(col, row);
}

TsCalendGrid::Colors TsCalendGrid::CellColors() const {
    TsCommonData* d = calendar_->SkinData();
    Colors k;
    TsSkinManager* mgr = IsControlSkinned(d) ? d->GetSkinManager() : nullptr;
    if (!mgr) {
        k.global = Rgb(clBtnFace);
        k.font = Rgb(clWindowText);
        k.weeks = Rgb(clGrayText);
        k.highlight = Rgb(clHighlight);
        k.highlightFont = Rgb(clHighlightText);
        return k;
    }
    k.skinned = true;
    k.global = mgr->GetGlobalColor();
    const skin::TColor font = mgr->GetGlobalFontColor();
    k.font = font != kTransparentKey ? font : Rgb(clWindowText);
    k.weeks = BlendTwoColors(k.font, k.global, 0.3);
    k.highlight = mgr->GetHighlightColor();
    k.highlightFont = mgr->GetHighlightFontColor();
    return k;
}

skin::TColor TsCalendGrid::FillBackground(const TRect& r) {
    TCanvas* canvas = Canvas();
    if (!IsControlSkinned(calendar_->SkinData())) {
        canvas->Brush()->SetColor(Color());
        canvas->FillRect(r);
        return Rgb(Color());
    }
    // What the calendar shows at this place of the grid.
    BackgroundInfo info;
    GetParentBackground(info, calendar_, false);
    if (info.BgType == btCache && info.Bmp) {
        win::BitBlt(canvas->Handle(), r.Left, r.Top, r.Width(), r.Height(),
                    info.Bmp->Canvas()->Handle(), info.Offset.X + Left() + r.Left,
                    info.Offset.Y + Top() + r.Top, win::SRCCOPY);
        return Rgb(calendar_->Color());
    }
    canvas->Brush()->SetColor(AsColor(info.Color));
    canvas->FillRect(r);
    return info.Color;
}

void TsCalendGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
    TsMonthCalendar* c = calendar_;
    TCanvas* canvas = Canvas();
    const int weeks = c->ShowWeeks() ? 1 : 0;
    const Colors k = CellColors();
    TRect r = rect;
    if (col == ColCount() - 1) r.Right = ClientWidth();
    if (row == 6) r.Bottom = ClientHeight();
    const skin::TColor background = FillBackground(r);
    if (!c->ShowSelectAlways() && !Focused()) state >> gdSelected;
    const std::string text = CellText(col, row);
    canvas->SetFont(Font());
    canvas->Font()->SetColor(AsColor(k.font));
    int y, m, d;
    DecodeDate(c->CalendarDate(), y, m, d);
    int32_t day = 0;
    const bool isDay = row > 0 && col >= weeks && TryStrToInt(text, day);
    const TDateTime cellDate = isDay ? EncodeDate(y, m, day) : 0;
    const bool today = isDay && c->ShowCurrentDate() && cellDate == Today();
    if (today) {
        canvas->Brush()->SetColor(AsColor(BlendTwoColors(Rgb(c->WeekendColor()), k.global, 0.3)));
        canvas->Pen()->SetStyle(psClear);
        canvas->RoundRect(r.Left + 1, r.Top, r.Right, r.Bottom + 1, 8, 8);
        canvas->Pen()->SetStyle(psSolid);
        canvas->Font()->SetColor(clWhite);
        canvas->Font()->SetStyle({fsBold});
    } else if (col < weeks) {
        canvas->Font()->SetColor(AsColor(k.weeks));
        if (row > 0) {
            canvas->Font()->SetStyle({fsBold});
        } else {
            canvas->Font()->SetName("Small Fonts");
            canvas->Font()->SetSize(6);
        }
        canvas->Pen()->SetColor(AsColor(k.weeks));
        canvas->MoveTo(r.Right - 1, r.Top);
        canvas->LineTo(r.Right - 1, r.Bottom);
        r.Right -= 3;
    } else {
        const int weekday = (c->FirstDayOfWeek() + col - weeks) % 7;  // 0 Monday
        if (weekday >= 0 && c->Weekends().Contains(static_cast<TCalDayOfWeek>(weekday)))
            canvas->Font()->SetColor(c->WeekendColor());
    }
    if (state.Contains(gdSelected) && isDay) {
        canvas->Font()->SetStyle({fsBold});
        if (!today) {
            canvas->Brush()->SetColor(AsColor(k.highlight));
            canvas->FillRect(Rect(r.Left + 3, r.Top + 1, r.Right - 2, r.Bottom - 2));
            canvas->Font()->SetColor(AsColor(k.highlightFont));
        }
    }
    if (isDay && (c->OnDrawDay || c->OnGetCellParams)) {
        vcl::TColor bg = static_cast<vcl::TColor>(0xFF00FF);
        (c->OnDrawDay ? c->OnDrawDay : c->OnGetCellParams)(c, canvas->Font(), bg, cellDate);
        if (bg != static_cast<vcl::TColor>(0xFF00FF)) {
            canvas->Brush()->SetColor(bg);
            canvas->FillRect(r);
        }
    }
    if (isDay && !c->InRange(cellDate))
        canvas->Font()->SetColor(
            AsColor(BlendTwoColors(Rgb(canvas->Font()->Color()), background, 0.3)));
    win::HDC dc = canvas->Handle();
    win::SelectObject(dc, canvas->Font()->Handle());
    win::SetTextColor(dc, vcl::ColorToRGB(canvas->Font()->Color()));
    const int mode = win::SetBkMode(dc, win::TRANSPARENT);
    win::RECT box = r;
    win::DrawText(dc, text.c_str(), static_cast<int>(text.size()), &box,
                  win::DT_CENTER | win::DT_VCENTER | win::DT_SINGLELINE);
    win::SetBkMode(dc, mode);
    if (state.Contains(gdSelected) && isDay && Focused())
        canvas->DrawFocusRect(Rect(r.Left + 2, r.Top, r.Right - 1, r.Bottom - 1));
    canvas->Refresh();
}

void TsCalendGrid::GridKeyDown(uint16_t& key, TShiftState shift) {
    TsMonthCalendar* c = calendar_;
    const bool plain =
        !shift.Contains(ssShift) && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt);
    switch (key) {
        case win::VK_PRIOR:
            shift.Contains(ssCtrl) ? c->PrevYear() : c->PrevMonth();
            key = 0;
            return;
        case win::VK_NEXT:
            shift.Contains(ssCtrl) ? c->NextYear() : c->NextMonth();
            key = 0;
            return;
        case win::VK_LEFT:
        case kKeySubtract:
            if (plain && !c->ReadOnly()) c->SetCalendarDate(c->CalendarDate() - 1);
            key = 0;
            return;
        case win::VK_RIGHT:
        case kKeyAdd:
            if (plain && !c->ReadOnly()) c->SetCalendarDate(c->CalendarDate() + 1);
            key = 0;
            return;
        default:
            TDrawGrid::GridKeyDown(key, shift);
            return;
    }
}

void TsCalendGrid::GridKeyPress(char& key) {
    if (key == 'T' || key == 't') {
        calendar_->SetCalendarDate(Today());
        key = 0;
        return;
    }
    TDrawGrid::GridKeyPress(key);
}

void TsCalendGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TDrawGrid::MouseUp(button, shift, x, y);
    const TGridCoord cell = MouseCoord(x, y);
    int32_t day;
    if (button != mbLeft || cell.Y < 1 || cell.X != Col() || cell.Y != Row() ||
        !TryStrToInt(CellText(cell.X, cell.Y), day))
        return;
    // A click on a day chooses it.
    if (!calendar_->ReadOnly()) calendar_->SetDay(day);
    Click();
    if (clicking_ || !calendar_->OnPopupAccept) return;
    clicking_ = true;
    try {
        calendar_->OnPopupAccept(calendar_);
    } catch (...) {
        clicking_ = false;
        throw;
    }
    clicking_ = false;
}

void TsCalendGrid::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case win::WM_SIZE: {
            TDrawGrid::Dispatch(m);
            const int cols = calendar_->ShowWeeks() ? 8 : 7;
            SetDefaultColWidth(std::max(1, ClientWidth() / cols));
            SetDefaultRowHeight(std::max(1, ClientHeight() / 7));
            return;
        }
        case win::WM_LBUTTONDBLCLK:
            // In a date edit's popup the first click already chose the day.
            if (calendar_->OnPopupAccept) return;
            break;
        // Every cell paints its own background; the grid is no hot control.
        case win::WM_ERASEBKGND:
            m.Result = 1;
            return;
        case win::WM_MOUSEMOVE:
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE:
            return;
        case win::WM_PAINT: {
            TDrawGrid::Dispatch(m);
            // The strip right of the last column shows the calendar behind it.
            int right = 0;
            for (int i = 0; i < ColCount(); ++i) right += ColWidths(i);
            if (right < ClientWidth() && HandleAllocated()) {
                FillBackground(Rect(right, 0, ClientWidth(), ClientHeight()));
                Canvas()->Refresh();
            }
            return;
        }
        default:
            break;
    }
    TDrawGrid::Dispatch(m);
}

// --- TsMonthCalendar ---

std::vector<TPropInfo> TsMonthCalendar::Published() {
    using C = TsMonthCalendar;
    return {Property("CalendarDate", &C::CalendarDate, &C::SetCalendarDate),
            Property("Day", &C::Day, &C::SetDay),
            Property("Month", &C::Month, &C::SetMonth),
            Property("Year", &C::Year, &C::SetYear),
            Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly),
            Property("StartOfWeek", &C::StartOfWeek, &C::SetStartOfWeek),
            Property("ShowCurrentDate", &C::ShowCurrentDate, &C::SetShowCurrentDate),
            Property("ShowSelectAlways", &C::ShowSelectAlways, &C::SetShowSelectAlways),
            Property("ShowTitle", &C::ShowTitle, &C::SetShowTitle),
            Property("ShowTodayBtn", &C::ShowTodayBtn, &C::SetShowTodayBtn),
            Property("ShowWeeks", &C::ShowWeeks, &C::SetShowWeeks),
            Property("ShowYearBtns", &C::ShowYearBtns, &C::SetShowYearBtns),
            Property("ShowMonthBtns", &C::ShowMonthBtns, &C::SetShowMonthBtns),
            Property("UseCurrentDate", &C::UseCurrentDate, &C::SetUseCurrentDate),
            Property("WeekendColor", &C::WeekendColor, &C::SetWeekendColor),
            SetProperty("Weekends", &C::Weekends, &C::SetWeekends),
            Property("MinDate", &C::MinDate, &C::SetMinDate),
            Property("MaxDate", &C::MaxDate, &C::SetMaxDate)};
}

TsMonthCalendar::TsMonthCalendar(TComponent* owner) : TsPanel(owner), date_(Today()) {
    SkinData()->COC = 59;
    title_ = New<TsDragBar>(this);
    title_->SetParent(this);
    title_->SkinData()->SetSkinSection("DRAGBAR");
    title_->SetColor(clActiveCaption);
    title_->SetAlign(alTop);
    title_->SetTop(-1);
    title_->OnDblClick = TNotifyEvent(this, &TsMonthCalendar::TitleDblClick);
    title_->OnMouseDown = TMouseEvent(this, &TsMonthCalendar::TitleMouseDown);
    spacer_ = New<TsPanel>(this);
    spacer_->SetParent(this);
    spacer_->SetAlign(alTop);
    spacer_->SetTop(title_->Height());
    spacer_->SetHeight(3);
    spacer_->SkinData()->SetSkinSection("CHECKBOX");
    spacer_->SetCaption("");
    spacer_->SetBevelOuter(bvNone);
    static const char* captions[] = {"<<", "<", ">", ">>"};
    for (int i = 0; i < 4; ++i) {
        auto* b = New<TsTimerSpeedButton>(this);
        b->SetParent(title_);
        b->SetFlat(true);
        b->SkinData()->SetSkinSection("WEBBUTTON");
        b->SetCaption(captions[i]);
        b->SetTag(i);
        b->SetAlign(i < 2 ? alLeft : alRight);
        b->OnClick = TNotifyEvent(this, &TsMonthCalendar::StepClick);
        steps_[i] = b;
    }
    // Right-aligned buttons stand in the reverse order of their making: ">" left of ">>".
    steps_[3]->SetLeft(1000);
    todayBtn_ = New<TsSpeedButton>(this);
    todayBtn_->SetVisible(false);
    todayBtn_->SetParent(this);
    todayBtn_->SetFlat(true);
    todayBtn_->SetAlign(alBottom);
    todayBtn_->SetHeight(18);
    todayBtn_->SetAnimatEvents({});
    todayBtn_->SkinData()->SetSkinSection("TOOLBUTTON");
    todayBtn_->Font()->SetStyle({fsBold});
    todayBtn_->SetCaption(TodayCaption());
    todayBtn_->OnClick = TNotifyEvent(this, &TsMonthCalendar::TodayClick);
    grid_ = new TsCalendGrid(this);
    grid_->AfterConstruction();
    grid_->SetParent(this);
    grid_->OnClick = TNotifyEvent::FromCallable([this](TObject*) { OnClick(this); });
    grid_->OnDblClick = TNotifyEvent::FromCallable([this](TObject*) { OnDblClick(this); });
    SetBorderWidth(3);
    SetBevelWidth(1);
    SetCaption(" ");
    SetBounds(0, 0, 178, 139);
    UpdateCalendar();
}

TsMonthCalendar::~TsMonthCalendar() = default;

void TsMonthCalendar::CreateWnd() {
    TsPanel::CreateWnd();
    todayBtn_->SetVisible(showTodayBtn_);
    UpdateButtons();
    UpdateCalendar();
}

void TsMonthCalendar::WndProc(TMessage& m) {
    const bool change = IsOwnSkinChange(m, SkinData()) &&
                        (SkinCommandCode(m.WParam) == SKC_NEWSKIN ||
                         SkinCommandCode(m.WParam) == SKC_REMOVESKIN);
    TsPanel::WndProc(m);
    if (!change) return;
    if (yearMenu_ && Neighbours().SetMenuOwnerDraw) {
        TsSkinManager* mgr = SkinData()->GetSkinManager();
        Neighbours().SetMenuOwnerDraw(mgr ? mgr->SkinableMenus() : nullptr, yearMenu_,
                                      SkinCommandCode(m.WParam) == SKC_NEWSKIN && mgr &&
                                          mgr->SkinnedPopups());
    }
    UpdateCalendar();
    grid_->Repaint();
    if (showTitle_) title_->Perform(m.Msg, m.WParam, m.LParam);
}

void TsMonthCalendar::Loaded() {
    TsPanel::Loaded();
    UpdateCalendar();
}

int TsMonthCalendar::FirstDayOfWeek() const {
    return startOfWeek_ == dowLocaleDefault ? std::clamp(FormatSettings.FirstDayOfWeek, 0, 6)
                                            : static_cast<int>(startOfWeek_);
}

bool TsMonthCalendar::InRange(TDateTime date) const {
    return !(minDate_ != 0 && date < std::floor(minDate_)) &&
           !(maxDate_ != 0 && date > std::floor(maxDate_));
}

void TsMonthCalendar::UpdateCalendar(bool dayOnly) {
    updating_ = true;
    int y, m, d;
    DecodeDate(date_, y, m, d);
    const int w = DayOfWeek(EncodeDate(y, m, 1));  // 1 Sunday .. 7 Saturday
    const int f = FirstDayOfWeek();
    offset_ = 2 - ((w - (f + 1) + 7) % 7);
    if (offset_ == 2) offset_ = -5;
    const int weeks = showWeeks_ ? 1 : 0;
    if (grid_->ColCount() != 7 + weeks) {
        grid_->SetColCount(7 + weeks);
        grid_->SetFixedCols(weeks);
    }
    const int i = d - offset_;
    grid_->SetCol(i % 7 + weeks);
    grid_->SetRow(i / 7 + 1);
    if (!dayOnly) {
        title_->SetCaption(FormatSettings.LongMonthNames[static_cast<std::size_t>(m - 1)] + " " +
                           IntToStr(y));
        grid_->Invalidate();
    }
    updating_ = false;
}

void TsMonthCalendar::ApplyDate(TDateTime date, bool dayOnly) {
    date_ = std::floor(date);
    UpdateCalendar(dayOnly);
    Change();
}

void TsMonthCalendar::SetCalendarDate(TDateTime date) {
    date = std::floor(date);
    if (date == date_ || !IsDateValid(date)) return;
    int y0, m0, d0, y1, m1, d1;
    DecodeDate(date_, y0, m0, d0);
    DecodeDate(date, y1, m1, d1);
    ApplyDate(date, y0 == y1 && m0 == m1);
}

int TsMonthCalendar::Year() const {
    int y, m, d;
    DecodeDate(date_, y, m, d);
    return y;
}

int TsMonthCalendar::Month() const {
    int y, m, d;
    DecodeDate(date_, y, m, d);
    return m;
}

int TsMonthCalendar::Day() const {
    int y, m, d;
    DecodeDate(date_, y, m, d);
    return d;
}

void TsMonthCalendar::SetYear(int year) {
    if (year < 1 || year > 9999 || year == Year()) return;
    useCurrentDate_ = false;
    ApplyDate(Make(year, Month(), Day()), false);
}

void TsMonthCalendar::SetMonth(int month) {
    if (month < 1 || month > 12 || month == Month()) return;
    useCurrentDate_ = false;
    ApplyDate(Make(Year(), month, Day()), false);
}

void TsMonthCalendar::SetDay(int day) {
    if (day < 1 || day > DaysInMonthOf(Year(), Month()) || day == Day()) return;
    useCurrentDate_ = false;
    ApplyDate(EncodeDate(Year(), Month(), day), true);
}

void TsMonthCalendar::PrevMonth() {
    if (Year() == 1 && Month() == 1) return;  // no month before the calendar's first
    int y, m, d;
    DecodeDate(EncodeDate(Year(), Month(), 1) - 1, y, m, d);
    SetCalendarDate(Make(y, m, Day()));
}

void TsMonthCalendar::NextMonth() {
    if (Year() == 9999 && Month() == 12) return;  // nor one after its last
    int y, m, d;
    DecodeDate(EncodeDate(Year(), Month(), DaysInMonthOf(Year(), Month())) + 1, y, m, d);
    SetCalendarDate(Make(y, m, Day()));
}

void TsMonthCalendar::PrevYear() {
    const int day = Month() == 2 && Day() == 29 ? 28 : Day();
    if (Year() > 1) SetCalendarDate(Make(Year() - 1, Month(), day));
}

void TsMonthCalendar::NextYear() {
    const int day = Month() == 2 && Day() == 29 ? 28 : Day();
    if (Year() < 9999) SetCalendarDate(Make(Year() + 1, Month(), day));
}

void TsMonthCalendar::SetMinDate(TDateTime date) {
    if (date == minDate_) return;
    minDate_ = date;
    if (date != 0 && !ComponentState().Contains(csLoading) && date_ < std::floor(date))
        SetCalendarDate(date);
    UpdateCalendar();
}

void TsMonthCalendar::SetMaxDate(TDateTime date) {
    if (date == maxDate_) return;
    maxDate_ = date;
    if (date != 0 && !ComponentState().Contains(csLoading) && date_ > std::floor(date))
        SetCalendarDate(date);
    UpdateCalendar();
}

void TsMonthCalendar::SetStartOfWeek(TCalDayOfWeek day) {
    if (day == startOfWeek_) return;
    startOfWeek_ = day;
    UpdateCalendar();
}

void TsMonthCalendar::SetWeekends(TDaysOfWeek days) {
    if (days == weekends_) return;
    weekends_ = days;
    UpdateCalendar();
}

void TsMonthCalendar::SetWeekendColor(vcl::TColor color) {
    if (color == weekendColor_) return;
    weekendColor_ = color;
    SkinData()->Invalidate();
    grid_->Invalidate();
}

void TsMonthCalendar::SetUseCurrentDate(bool on) {
    if (on == useCurrentDate_) return;
    useCurrentDate_ = on;
    if (on) SetCalendarDate(Today());
    UpdateCalendar();
}

void TsMonthCalendar::SetShowTitle(bool on) {
    showTitle_ = on;
    title_->SetVisible(on);
}

void TsMonthCalendar::SetShowCurrentDate(bool on) {
    if (on == showCurrentDate_) return;
    showCurrentDate_ = on;
    grid_->Invalidate();
}

void TsMonthCalendar::SetShowWeeks(bool on) {
    if (on == showWeeks_) return;
    showWeeks_ = on;
    grid_->SetDefaultColWidth(std::max(1, grid_->ClientWidth() / (on ? 8 : 7)));
    UpdateCalendar();
}

void TsMonthCalendar::SetShowTodayBtn(bool on) {
    if (on == showTodayBtn_) return;
    showTodayBtn_ = on;
    todayBtn_->SetVisible(on);
    UpdateCalendar();
}

void TsMonthCalendar::SetShowSelectAlways(bool on) {
    if (on == showSelectAlways_) return;
    showSelectAlways_ = on;
    UpdateCalendar();
}

void TsMonthCalendar::UpdateButtons() {
    steps_[0]->SetVisible(showYearBtns_);
    steps_[3]->SetVisible(showYearBtns_);
    steps_[1]->SetVisible(showMonthBtns_);
    steps_[2]->SetVisible(showMonthBtns_);
}

void TsMonthCalendar::SetShowYearBtns(bool on) {
    showYearBtns_ = on;
    UpdateButtons();
}

void TsMonthCalendar::SetShowMonthBtns(bool on) {
    showMonthBtns_ = on;
    UpdateButtons();
}

void TsMonthCalendar::StepClick(TObject* sender) {
    switch (static_cast<TComponent*>(sender)->Tag()) {
        case 0:
            PrevYear();
            break;
        case 1:
            PrevMonth();
            break;
        case 2:
            NextMonth();
            break;
        default:
            NextYear();
            break;
    }
}

void TsMonthCalendar::TodayClick(TObject*) {
    SetCalendarDate(Today());
    OnPopupAccept(this);
}

void TsMonthCalendar::TitleDblClick(TObject*) {
    SetCalendarDate(Today());
}

void TsMonthCalendar::TitleMouseDown(TObject*, TMouseButton button, TShiftState, int, int) {
    if (button != mbLeft) return;
    const int year = CurrentYear();
    if (!yearMenu_) {
        yearMenu_ = New<TPopupMenu>(this);
        auto addMonths = [this](TMenuItem* yearItem, int y) {
            for (int m = 1; m <= 12; ++m) {
                auto* item = New<TMenuItem>(yearMenu_);
                item->SetCaption(FormatSettings.LongMonthNames[static_cast<std::size_t>(m - 1)]);
                item->SetTag(y * 100 + m);
                item->OnClick = TNotifyEvent(this, &TsMonthCalendar::YearMenuClick);
                yearItem->Add(item);
            }
        };
        auto decade = [&](int from) {
            auto* item = New<TMenuItem>(yearMenu_);
            item->SetCaption("  " + IntToStr(from) + ".." + IntToStr(from + 9));
            for (int y = from; y < from + 10; ++y) {
                auto* sub = New<TMenuItem>(yearMenu_);
                sub->SetCaption(IntToStr(y));
                addMonths(sub, y);
                item->Add(sub);
            }
            yearMenu_->Items()->Add(item);
        };
        for (int from = year - 54; from < year - 4; from += 10)
            decade(from);
        for (int y = year - 4; y < year + 6; ++y) {
            auto* item = New<TMenuItem>(yearMenu_);
            item->SetCaption("  " + IntToStr(y));
            if (y == year) {
                item->SetDefault(true);
                item->SetChecked(true);
            }
            addMonths(item, y);
            yearMenu_->Items()->Add(item);
        }
        for (int from = year + 6; from < year + 46; from += 10)
            decade(from);
    }
    CheckShownMonth(yearMenu_->Items());
    win::POINT p;
    win::GetCursorPos(&p);
    yearMenu_->Popup(p.x, std::max(0, static_cast<int>(p.y) - 120));
}

// The month shown now carries the check mark, at every drop of the menu.
void TsMonthCalendar::CheckShownMonth(TMenuItem* item) {
    const int shown = Year() * 100 + Month();
    for (int i = 0; i < item->Count(); ++i) {
        TMenuItem* sub = item->Items(i);
        if (sub->Tag() >= 100) sub->SetChecked(sub->Tag() == shown);
        CheckShownMonth(sub);
    }
}

void TsMonthCalendar::YearMenuClick(TObject* sender) {
    const auto tag = static_cast<int>(static_cast<TComponent*>(sender)->Tag());
    SetCalendarDate(Make(tag / 100, tag % 100, Day()));
}

}  // namespace skin

#include "lists/form_filter.h"

#include "gateway/form_building.h"
#include "platform/os/cp_literal.h"
#include "platform/user/styles.h"
#include "vcl/system/sysutils.h"

namespace lists {

namespace {

TformFilter* gFilterForm = nullptr;

void FillList(skin::TsCheckListBox* list, const std::string& offered, const std::string& ticked) {
    vcl::TStrings* items = list->Items();
    items->BeginUpdate();
    items->Clear();
    for (const std::string& s : CommaTextItems(offered))
        items->Add(s);
    items->EndUpdate();
    CheckItemsFromCommaText(list, ticked);
}

// A date edit and a time picker from a bound (rule 2 read backwards).
void ShowBound(os::TDateTime value, skin::TsDateEdit* date, vcl::TDateTimePicker* time) {
    if (vcl::Trunc(value) != 0) {
        date->SetDate(static_cast<double>(vcl::Trunc(value)));
        time->SetTime(vcl::Frac(value));
    } else {
        date->SetDate(0);
        time->SetTime(0);
    }
}

os::TDateTime ReadBound(skin::TsDateEdit* date, vcl::TDateTimePicker* time) {
    const os::TDateTime day = date->Date();
    if (vcl::Trunc(day) == 0) return 0;
    return static_cast<double>(vcl::Trunc(day)) + vcl::Frac(time->Time());
}

}  // namespace

void CheckItemsFromCommaText(skin::TsCheckListBox* list, const std::string& commaText) {
    const std::vector<std::string> wanted = CommaTextItems(commaText);
    vcl::TStrings* items = list->Items();
    for (int i = 0; i < items->Count(); ++i)
        for (const std::string& w : wanted)
            if (items->Strings(i) == w) list->SetChecked(i, true);
}

std::string CheckedItemsToCommaText(skin::TsCheckListBox* list) {
    std::vector<std::string> out;
    vcl::TStrings* items = list->Items();
    for (int i = 0; i < items->Count(); ++i)
        if (list->Checked(i)) out.push_back(items->Strings(i));
    return ItemsCommaText(out);
}

TformFilter* FilterForm() {
    return gFilterForm;
}

TformFilter::TformFilter(vcl::TComponent* owner) : vcl::TForm(owner) {
    gateway::SetUpDialog(this, "formFilter", "Фильтр"_cp, 560, 468);
    KeyPreview = true;
    MakeComponents();
    OnKeyDown = {this, &TformFilter::FormKeyDown};
    if (!gFilterForm) gFilterForm = this;
}

TformFilter::~TformFilter() {
    if (gFilterForm == this) gFilterForm = nullptr;
}

void TformFilter::MakeComponents() {
    using gateway::MakeComponent;
    using vcl::Rect;
    auto label = [&](skin::TsLabel** l, const char* name, const std::string& caption, int left,
                     int top) {
        *l = MakeComponent<skin::TsLabel>(this, this, name, Rect(left, top, left + 264, top + 16),
                                          caption);
    };
    label(&labNumber, "labNumber", "Номер"_cp, 8, 8);
    edNumber = MakeComponent<skin::TsEdit>(this, this, "edNumber", Rect(8, 24, 272, 45));
    label(&labTextSMS, "labTextSMS", "Текст СМС"_cp, 8, 52);
    edTextSMS = MakeComponent<skin::TsEdit>(this, this, "edTextSMS", Rect(8, 68, 272, 89));
    label(&labName, "labName", "Имя списка"_cp, 8, 96);
    lstName = MakeComponent<skin::TsCheckListBox>(this, this, "lstName", Rect(8, 112, 272, 202));
    label(&labStartTime, "labStartTime", "Время старта рассылки"_cp, 8, 208);
    lstStartTime =
        MakeComponent<skin::TsCheckListBox>(this, this, "lstStartTime", Rect(8, 224, 272, 314));
    label(&labIMEI, "labIMEI", "IMEI"_cp, 8, 320);
    lstIMEI = MakeComponent<skin::TsCheckListBox>(this, this, "lstIMEI", Rect(8, 336, 272, 424));

    struct Range {
        skin::TsLabel** label;
        const char* labelName;
        std::string caption;
        skin::TsDateEdit** date;
        const char* dateName;
        vcl::TDateTimePicker** time;
        const char* timeName;
    };
    const Range ranges[] = {
        {&labDlvFrom, "labDlvFrom", "Время отправки с..."_cp, &edDateDlvFrom, "edDateDlvFrom",
         &edTimeDlvFrom, "edTimeDlvFrom"},
        {&labDlvTo, "labDlvTo", "по..."_cp, &edDateDlvTo, "edDateDlvTo", &edTimeDlvTo,
         "edTimeDlvTo"},
        {&labRcvFrom, "labRcvFrom", "Время доставки с..."_cp, &edDateRcvFrom, "edDateRcvFrom",
         &edTimeRcvFrom, "edTimeRcvFrom"},
        {&labRcvTo, "labRcvTo", "по..."_cp, &edDateRcvTo, "edDateRcvTo", &edTimeRcvTo,
         "edTimeRcvTo"},
    };
    int top = 8;
    for (const Range& r : ranges) {
        label(r.label, r.labelName, r.caption, 288, top);
        *r.date = MakeComponent<skin::TsDateEdit>(this, this, r.dateName,
                                                  Rect(288, top + 16, 424, top + 37));
        *r.time = MakeComponent<vcl::TDateTimePicker>(this, this, r.timeName,
                                                      Rect(430, top + 16, 552, top + 37));
        top += 44;
    }

    gbDelivery = MakeComponent<skin::TsGroupBox>(this, this, "gbDelivery", Rect(288, 186, 552, 300),
                                                 "Результат доставки"_cp);
    struct Check {
        skin::TsCheckBox** box;
        const char* name;
        std::string caption;
    };
    const Check delivery[] = {
        {&chkDelivered, "chkDelivered", "Доставлено"_cp},
        {&chkNoDelivered, "chkNoDelivered", "Не доставлено"_cp},
        {&chkTempError, "chkTempError", "Временная ошибка"_cp},
        {&chkNoReport, "chkNoReport", "Отчет не получен"_cp},
    };
    top = 20;
    for (const Check& c : delivery) {
        *c.box = MakeComponent<skin::TsCheckBox>(this, gbDelivery, c.name,
                                                 Rect(12, top, 252, top + 20), c.caption);
        top += 22;
    }
    gbSendResult = MakeComponent<skin::TsGroupBox>(
        this, this, "gbSendResult", Rect(288, 306, 552, 376), "Результат отправки"_cp);
    chkSuccess = MakeComponent<skin::TsCheckBox>(this, gbSendResult, "chkSuccess",
                                                 Rect(12, 20, 252, 40), "Успех"_cp);
    chkError = MakeComponent<skin::TsCheckBox>(this, gbSendResult, "chkError",
                                               Rect(12, 42, 252, 62), "Ошибка"_cp);

    btnOK = MakeComponent<skin::TsBitBtn>(this, this, "btnOK", Rect(380, 432, 460, 460), "OK");
    btnOK->OnClick = {this, &TformFilter::btnOKClick};
    btnCancel = MakeComponent<skin::TsBitBtn>(this, this, "btnCancel", Rect(468, 432, 552, 460),
                                              "Отмена"_cp);
    btnCancel->OnClick = {this, &TformFilter::btnCancelClick};
}

bool TformFilter::Execute(TNumberLogFilter& filter, const std::string& names,
                          const std::string& imeis, const std::string& startTimes) {
    Accepted = false;
    edNumber->SetText(filter.Number);
    edTextSMS->SetText(filter.TextSMS);
    FillList(lstName, names, filter.Names);
    FillList(lstStartTime, startTimes, filter.StartTimes);
    FillList(lstIMEI, imeis, filter.IMEIs);
    ShowBound(filter.SendFrom, edDateDlvFrom, edTimeDlvFrom);
    ShowBound(filter.SendTo, edDateDlvTo, edTimeDlvTo);
    ShowBound(filter.RecvFrom, edDateRcvFrom, edTimeRcvFrom);
    ShowBound(filter.RecvTo, edDateRcvTo, edTimeRcvTo);
    chkDelivered->SetChecked(filter.StatusMask & smDelivered);
    chkNoDelivered->SetChecked(filter.StatusMask & smNotDelivered);
    chkTempError->SetChecked(filter.StatusMask & smTempError);
    chkNoReport->SetChecked(filter.StatusMask & smNoReport);
    chkSuccess->SetChecked(filter.SendResult & srSuccess);
    chkError->SetChecked(filter.SendResult & srError);

    ShowModal();
    if (!Accepted) return false;

    filter.Number = edNumber->Text();
    filter.TextSMS = edTextSMS->Text();
    filter.Names = CheckedItemsToCommaText(lstName);
    filter.StartTimes = CheckedItemsToCommaText(lstStartTime);
    filter.IMEIs = CheckedItemsToCommaText(lstIMEI);
    filter.SendFrom = ReadBound(edDateDlvFrom, edTimeDlvFrom);
    filter.SendTo = ReadBound(edDateDlvTo, edTimeDlvTo);
    filter.RecvFrom = ReadBound(edDateRcvFrom, edTimeRcvFrom);
    filter.RecvTo = ReadBound(edDateRcvTo, edTimeRcvTo);
    filter.StatusMask = static_cast<uint8_t>((chkDelivered->Checked() ? smDelivered : 0) |
                                             (chkNoDelivered->Checked() ? smNotDelivered : 0) |
                                             (chkTempError->Checked() ? smTempError : 0) |
                                             (chkNoReport->Checked() ? smNoReport : 0));
    filter.SendResult = static_cast<uint8_t>((chkSuccess->Checked() ? srSuccess : 0) |
                                             (chkError->Checked() ? srError : 0));
    return true;
}

// The key going down, not its character: Escape in a drop-down calendar goes down in the
// calendar, which closes itself, and only its character comes back through the date edit.
void TformFilter::FormKeyDown(vcl::TObject*, uint16_t& Key, vcl::TShiftState) {
    if (Key != win::VK_ESCAPE) return;
    Key = 0;
    btnCancel->Click();
}

void TformFilter::btnOKClick(vcl::TObject*) {
    Accepted = true;
    SetModalResult(vcl::mrOk);
}

void TformFilter::btnCancelClick(vcl::TObject*) {
    SetModalResult(vcl::mrCancel);
}

}  // namespace lists

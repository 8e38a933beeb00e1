// TformFilter: the modal dialog that edits the journal's filter: number and text (or their
// patterns), the list names, mailing starts and modem IMEIs to keep (ticked in check lists of
// the values the journal holds), send and delivery time ranges, delivery and send results.
//
// Rules:
//  1. The record changes only when the operator presses OK; Cancel, Escape and the close box
//     leave it as it was.
//  2. A time bound is the date edit's day plus the time picker's time of day; an empty date
//     edit sets no bound, whatever the time picker shows.
//  3. A ticked entry that is not offered any more is dropped from the record on OK; entries of
//     the record that are not offered tick nothing.
//  4. Escape closes the dialog as Cancel does; in an open drop-down calendar it closes the
//     calendar only.
#pragma once

#include <string>

#include "lists/journal_filter.h"
#include "skin/controls/buttons.h"
#include "skin/controls/check_box.h"
#include "skin/controls/date_edit.h"
#include "skin/controls/edits.h"
#include "skin/controls/group_box.h"
#include "skin/controls/labels.h"
#include "skin/controls/list_boxes.h"
#include "vcl/controls/date_time_picker.h"
#include "vcl/controls/forms.h"

namespace lists {

// Ticks every item of `list` that equals an entry of `commaText` (exactly).
void CheckItemsFromCommaText(skin::TsCheckListBox* list, const std::string& commaText);
// The ticked items in list order, as comma text.
std::string CheckedItemsToCommaText(skin::TsCheckListBox* list);

class TformFilter : public vcl::TForm {
public:
    VCL_CLASS(TformFilter, vcl::TForm)
    explicit TformFilter(vcl::TComponent* owner);
    ~TformFilter() override;

    // Shows the dialog on `filter`, offering the names, IMEIs and start times (comma texts);
    // true, with `filter` updated, when the operator pressed OK.
    bool Execute(TNumberLogFilter& filter, const std::string& names, const std::string& imeis,
                 const std::string& startTimes);

    bool Accepted = false;

    // The components, in the order they are made.
    skin::TsLabel* labNumber;
    skin::TsEdit* edNumber;
    skin::TsLabel* labTextSMS;
    skin::TsEdit* edTextSMS;
    skin::TsLabel* labName;
    skin::TsCheckListBox* lstName;
    skin::TsLabel* labStartTime;
    skin::TsCheckListBox* lstStartTime;
    skin::TsLabel* labIMEI;
    skin::TsCheckListBox* lstIMEI;
    skin::TsLabel* labDlvFrom;
    skin::TsDateEdit* edDateDlvFrom;
    vcl::TDateTimePicker* edTimeDlvFrom;
    skin::TsLabel* labDlvTo;
    skin::TsDateEdit* edDateDlvTo;
    vcl::TDateTimePicker* edTimeDlvTo;
    skin::TsLabel* labRcvFrom;
    skin::TsDateEdit* edDateRcvFrom;
    vcl::TDateTimePicker* edTimeRcvFrom;
    skin::TsLabel* labRcvTo;
    skin::TsDateEdit* edDateRcvTo;
    vcl::TDateTimePicker* edTimeRcvTo;
    skin::TsGroupBox* gbDelivery;
    skin::TsCheckBox* chkDelivered;
    skin::TsCheckBox* chkNoDelivered;
    skin::TsCheckBox* chkTempError;
    skin::TsCheckBox* chkNoReport;
    skin::TsGroupBox* gbSendResult;
    skin::TsCheckBox* chkSuccess;
    skin::TsCheckBox* chkError;
    skin::TsBitBtn* btnOK;
    skin::TsBitBtn* btnCancel;

    // Event handlers, bound by name.
    void FormKeyDown(vcl::TObject* Sender, uint16_t& Key, vcl::TShiftState Shift);
    void btnOKClick(vcl::TObject* Sender);
    void btnCancelClick(vcl::TObject* Sender);

private:
    void MakeComponents();
};

// The filter dialog the application made, or nullptr.
TformFilter* FilterForm();

}  // namespace lists

// TformNumberLog: the send journal's window. It shows the journal's rows (all, or those the
// filter selects) in a data grid with a status word and colour per row, refreshes them, deletes
// the rows shown and exports them as semicolon-separated text.
//
// Rules:
//  1. The journal's query reads its rows on demand (TKeyedQuery): a refresh counts the matching
//     rows, the grid reads the keys and rows it shows; nothing is held open between calls.
//     Rows are read by key from the whole journal, not through the filter, so a counted row
//     that a report has moved out of the filter since shows its current values. A counted row
//     that another copy deleted since is an empty grid row and no line of the export; the
//     export reads every row anew.
//  2. A refresh that fails says why (the database's message and the statement) and leaves the
//     count and the columns as they were; the window stays usable.
//  3. Deleting asks first, with the number of rows shown, and removes exactly the rows the
//     last successful refresh counted: rows another copy added since are kept, and so are rows
//     a report has moved into the filter since; rows a report has moved out of it go. After a
//     failed refresh nothing is shown and nothing goes. The delete is one transaction.
//  4. The grid's display is given back after an export, whether or not the file was written.
//  5. Escape closes the window.
#pragma once

#include <cstdint>
#include <string>

#include "lists/journal_filter.h"
#include "platform/os/date_time.h"
#include "skin/controls/buttons.h"
#include "skin/controls/panels.h"
#include "skin/controls/status_bar.h"
#include "skin/windows/dialogs/message_dialogs.h"
#include "vcl/controls/db_grids.h"
#include "vcl/controls/dialogs.h"
#include "vcl/controls/forms.h"
#include "vcl/data/data_source.h"
#include "vcl/data/db_table.h"
#include "vcl/data/keyed_query.h"

namespace lists {

// What the grid and the export show of a journal row.
// The word for a StatusSC value: "Отчет не получен" for null, then by class.
std::string StatusWord(const vcl::TField& statusSC);
// The row's background: white for null and unknown codes, then green, yellow, red by class.
vcl::TColor StatusColor(const vcl::TField& statusSC);
// "Успех" or "Ошибка".
std::string SendResultWord(bool ok);
// A number grouped with hyphens from the right: 2, 2, 3, 3 digits, then the rest.
std::string GroupNumber(const std::string& number);
// A stored start time "yyyy.mm.dd hh:nn:ss" as "dd.mm.yyyy hh:nn:ss"; any other text as it is.
std::string ShownStartTime(const std::string& stored);
// A date-time field as "dd.mm.yyyy hh:nn:ss"; empty for null and 0.
std::string ShownDateTime(const vcl::TField& field);

// The export's text: the header and a line per record of `data` (a journal query), each ended
// by CR LF, in cp1251. The current record does not move.
std::string JournalCSV(vcl::TDataSet& data);

class TformNumberLog : public vcl::TForm {
public:
    VCL_CLASS(TformNumberLog, vcl::TForm)
    explicit TformNumberLog(vcl::TComponent* owner);
    ~TformNumberLog() override;

    // The journal of one mailing run (when the IMEI has 15 characters or more and the start is
    // set; else the last filter), shown modally. Start time 0 and an empty IMEI: the journal
    // with the last filter.
    void ShowForMailing(const std::string& imei, os::TDateTime startTime);
    // Runs the journal's query again with the filter.
    void RefreshLog();
    // Closes the data sets and points them at the database in `folder`.
    void PointAt(const std::string& folder);
    void ResetFilter() { Filter.Reset(); }
    std::string FilterToSQL() const { return lists::FilterToSQL(Filter); }
    // Writes the rows shown to `fileName` (a cp1251 path, as the save dialog gives it), as the
    // export button does once the file is chosen. Raises EFCreateError when the file cannot be
    // written.
    void SaveCSV(const std::string& fileName);

    TNumberLogFilter Filter;

    // The components, in the order they are made.
    skin::TsPanel* panTools;
    skin::TsSpeedButton* btnFilter;
    skin::TsSpeedButton* btnUpdate;
    skin::TsSpeedButton* btnDelete;
    skin::TsSpeedButton* btnSaveCSV;
    vcl::TDBGrid* Grid;
    skin::TsStatusBar* StatusBar;
    skin::TsSaveDialog* SaveDialog;
    vcl::TDataSource* DataSource;
    vcl::TKeyedQuery Query;  // the rows shown
    vcl::TQuery QueryTmp;    // the filter's choices, the delete
    vcl::TTable Table;       // on the journal's table, only prepared

    // Event handlers, bound by name.
    void FormCreate(vcl::TObject* Sender);
    void FormKeyPress(vcl::TObject* Sender, char& Key);
    void btnFilterClick(vcl::TObject* Sender);
    void btnUpdateClick(vcl::TObject* Sender);
    void btnDeleteClick(vcl::TObject* Sender);
    void btnSaveCSVClick(vcl::TObject* Sender);
    void GridDrawColumnCell(vcl::TObject* Sender, const vcl::TRect& Rect, int DataCol,
                            vcl::TColumn* Column, vcl::TGridDrawState State);

private:
    void MakeComponents();
    // The values QueryTmp's statement gives, trimmed, as comma text; those shorter than
    // `minLength` (and empty ones) left out.
    std::string OfferedValues(std::size_t minLength);
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags);

};

}  // namespace lists

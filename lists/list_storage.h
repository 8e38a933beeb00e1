// The stored number lists as the main window's editor sees them: the cache of the List table,
// loading a list into the grid, saving the grid and template as a named list, and telling
// whether the editor differs from what is stored.
//
// Grid row r (1..RowCount-1) is one NumberList row (Number = column 1); its columns 2.. are its
// UserValues rows in ID order, one per column, empty cells included.
//
// Rules:
//  1. Saving is one transaction: the template, the deletion of the old rows and the new rows
//     are stored together or not at all. A failure is logged with its statement and raised;
//     the stored list is then exactly as it was.
//  2. A list in use by a mailing run is never written; the check runs inside the transaction,
//     so no run can take the list between the check and the writes. The name is looked up
//     there too, so two copies saving one new name make one list.
//  3. Loading suspends the grid's window updates and always resumes them; values past the
//     grid's last column are ignored.
//  4. ListChanged compares the trimmed stored template with the trimmed editor text; a locked
//     grid counts as no rows; a row whose stored values run out before its columns do is a
//     change.
#pragma once

#include <string>
#include <vector>

#include "db/data_sets.h"
#include "vcl/controls/grids.h"

namespace lists {

struct TListInfo {
    int ID = 0;
    std::string Name;     // trimmed
    std::string TextSMS;  // trimmed
};
using TListArray = std::vector<TListInfo>;

// What the storage needs of the list editor.
class TListEditor {
public:
    virtual ~TListEditor() = default;
    virtual vcl::TStringGrid& Grid() = 0;
    virtual bool GridLocked() const = 0;
    virtual void UnlockGrid() = 0;
    // The clear command: empty grid of 2 x 2, locked, empty template.
    virtual void ClearList() = 0;
    virtual std::string TemplateText() const = 0;
};

// Suspends a grid's window updates for its lifetime (when the grid has a window).
class TGridUpdateScope {
public:
    explicit TGridUpdateScope(vcl::TStringGrid& grid);
    ~TGridUpdateScope();
    TGridUpdateScope(const TGridUpdateScope&) = delete;
    TGridUpdateScope& operator=(const TGridUpdateScope&) = delete;

private:
    vcl::TStringGrid& grid_;
    bool locked_;
};

class TListStorage {
public:
    TListStorage(const db::TMainDataSets& data, TListEditor& editor)
        : data_(data), editor_(editor) {}

    TListArray ListArray;

    // Rebuilds ListArray from the List table, in its key order.
    void LoadListArray();
    // The first cached list of that name ignoring case (cp1251 letters), or nullptr.
    const TListInfo* FindList(const std::string& name) const;

    // Clears the editor, then fills the grid with the list's numbers and values; a list
    // without numbers leaves it cleared and locked.
    void LoadListToGrid(int id);

    // How a save went.
    enum class TSaveResult { Saved, ListBusy };
    // Stores the editor as the list `name` (a new one, or the one of that name ignoring case,
    // whose ID is kept), then rebuilds ListArray.
    TSaveResult SaveList(const std::string& name);

    // Whether the editor differs from the stored list `name`; false when there is none.
    bool ListChanged(const std::string& name);

    // The pieces of a save; each raises what the database raises.
    int AppendList(const std::string& name, const std::string& text);
    // Raises EDatabaseError "Не найдено имя в таб. List!" when the row is missing.
    void UpdateListText(int id, const std::string& text);
    // Appends the grid's rows (nothing when locked) to the list `id`.
    void SaveGridRows(int id);

private:
    db::TMainDataSets data_;
    TListEditor& editor_;
};

}  // namespace lists

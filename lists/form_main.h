// TformMain: the program's main window. It edits one number list at a time (a grid of numbers
// and their values, and the message template), imports and exports lists as semicolon-separated
// text, checks them, saves and loads them in the database, and starts a mailing run on the
// current list. It holds the operator's settings and the data sets the other windows work on.
//
// Rules:
//  1. While GridLocked no list is open: the grid is read-only and shows only its coloured fixed
//     cells, and the commands that need a list are disabled (at the next idle moment).
//  2. The number column takes only digits and "+" (and control keys) while it is edited.
//  3. A number passes the check only as an optional "+" and 1 to 19 decimal digits, so nothing
//     the message builder cannot address is ever saved as checked.
//  4. An import fills the grid from the whole file or reports the error and leaves the grid as
//     it was; the grid's window updates are resumed on every way out.
//  5. The caption cells of the current column and row are highlighted, and follow the
//     selection however it moves.
//  6. The program ends only once the writes the mailing window keeps (rows of messages the
//     modem accepted while the database refused them) are stored, or the operator has chosen
//     to end without them.
#pragma once

#include <string>

#include "db/data_sets.h"
#include "gateway/main_window_link.h"
#include "lists/list_storage.h"
#include "lists/settings.h"
#include "skin/controls/buttons.h"
#include "skin/controls/hints.h"
#include "skin/controls/edits.h"
#include "skin/controls/labels.h"
#include "skin/controls/panels.h"
#include "skin/controls/status_bar.h"
#include "skin/core/state/skin_manager.h"
#include "skin/windows/dialogs/message_dialogs.h"
#include "skin/windows/provider/skin_provider.h"
#include "vcl/controls/dialogs.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/grids.h"
#include "vcl/controls/menus.h"
#include "vcl/graphics/image_list.h"

namespace lists {

class TformMain : public vcl::TForm, public gateway::TMainWindowLink, private TListEditor {
public:
    VCL_CLASS(TformMain, vcl::TForm)
    explicit TformMain(vcl::TComponent* owner);
    ~TformMain() override;

    // TMainWindowLink
    gateway::TSettings& Settings() override { return settings_; }
    void SettingsChanged() override;
    db::TMainDataSets DataSets() override { return {Table, Table2, Query, Query2, Query3}; }
    vcl::TCustomImageList* AlphaImageList() override { return imageList; }
    void ShowForMailing(const std::string& imei, os::TDateTime startTime) override;

    bool GridLocked() const override { return gridLocked_; }
    // Whether the database could not be set up at creation: the window opens all the same, and
    // the program ends with a failure.
    bool DatabaseFailed() const { return databaseFailed_; }
    const std::string& ListName() const { return listName_; }
    TListStorage& Storage() { return storage_; }
    void LockGrid();
    void UnlockGrid() override;
    bool CheckErrors();
    // The template's text.
    std::string TemplateText() const override;

    // What load and save do with the name the chooser gave: the stored list of that name into
    // the editor, and the editor stored as that list (refused, with the message, while a run
    // holds it).
    void LoadList(const std::string& name);
    void SaveAs(const std::string& name);

    // Fills the grid from a list file (a cp1251 path, as the dialogs give it); false, with a
    // message shown and the grid as it was, when the file cannot be converted. EFOpenError
    // when it cannot be read.
    bool ImportFromFile(const std::string& path);
    // Writes the grid as a list file; EFCreateError when it cannot be written.
    void ExportToFile(const std::string& path);

    vcl::TTable Table, Table2;
    vcl::TQuery Query, Query2, Query3;

    // The components, in the order they are made.
    skin::TsSkinManager* sSkinManager1;  // the internal skin, shown by every form
    skin::TsAlphaHints* sAlphaHints1;    // the program's hints, drawn as the skin's balloons
    skin::TsSkinProvider* sSkinProvider1;
    vcl::TImageList* imageList;  // "AlphaImageList"
    skin::TsPanel* pnlTools;
    skin::TsSpeedButton* btnNew;
    skin::TsSpeedButton* btnLoad;
    skin::TsSpeedButton* btnSave;
    skin::TsSpeedButton* btnImport;
    skin::TsSpeedButton* btnExport;
    skin::TsSpeedButton* btnClearAll;
    skin::TsSpeedButton* btnAddRow;
    skin::TsSpeedButton* btnDelRow;
    skin::TsSpeedButton* btnAddCol;
    skin::TsSpeedButton* btnDelCol;
    skin::TsSpeedButton* btnCheckErrors;
    skin::TsSpeedButton* btnStart;
    skin::TsSpeedButton* btnNumberLog;
    skin::TsLabel* labTextSMS;
    skin::TsMemo* memoTextSMS;
    skin::TsLabel* labList;
    vcl::TStringGrid* grid;
    skin::TsStatusBar* StatusBar;
    vcl::TMainMenu* MainMenu;
    vcl::TMenuItem* mnuSystem;
    vcl::TMenuItem* mnuCOMPort;
    vcl::TMenuItem* mnuManageList;
    vcl::TMenuItem* mnuStart;
    vcl::TMenuItem* mnuNumberLog;
    vcl::TMenuItem* mnuExit;
    vcl::TMenuItem* mnuList;
    vcl::TMenuItem* mnuNew;
    vcl::TMenuItem* mnuLoad;
    vcl::TMenuItem* mnuSave;
    vcl::TMenuItem* mnuImport;
    vcl::TMenuItem* mnuExport;
    vcl::TMenuItem* mnuClear;
    vcl::TMenuItem* mnuAddRow;
    vcl::TMenuItem* mnuDelRow;
    vcl::TMenuItem* mnuAddCol;
    vcl::TMenuItem* mnuDelCol;
    vcl::TMenuItem* mnuCheck;
    vcl::TMenuItem* mnuHelpMenu;
    vcl::TMenuItem* mnuHelp;
    vcl::TMenuItem* mnuAbout;
    vcl::TPopupMenu* popupTextSMS;
    vcl::TMenuItem* pmnuInsertData;
    vcl::TMenuItem* pmnuClearText;
    vcl::TApplicationEvents* ApplicationEvents1;
    skin::TsOpenDialog* ImportList;
    skin::TsSaveDialog* ExportList;

    // Event handlers, bound by name.
    void FormCreate(vcl::TObject* Sender);
    void FormCloseQuery(vcl::TObject* Sender, bool& CanClose);
    void FormClose(vcl::TObject* Sender, vcl::TCloseAction& Action);
    void ApplicationEvents1Idle(vcl::TObject* Sender, bool& Done);
    void gridDrawCell(vcl::TObject* Sender, int ACol, int ARow, const vcl::TRect& Rect,
                      vcl::TGridDrawState State);
    void gridSelectCell(vcl::TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void gridKeyPress(vcl::TObject* Sender, char& Key);
    void gridMouseWheel(vcl::TObject* Sender, vcl::TShiftState Shift, int WheelDelta,
                        vcl::TPoint MousePos, bool& Handled);
    void btnNewClick(vcl::TObject* Sender);
    void btnLoadClick(vcl::TObject* Sender);
    void btnSaveClick(vcl::TObject* Sender);
    void btnImportClick(vcl::TObject* Sender);
    void btnExportClick(vcl::TObject* Sender);
    void btnClearAllClick(vcl::TObject* Sender);
    void btnAddRowClick(vcl::TObject* Sender);
    void btnDelRowClick(vcl::TObject* Sender);
    void btnAddColClick(vcl::TObject* Sender);
    void btnDelColClick(vcl::TObject* Sender);
    void btnCheckErrorsClick(vcl::TObject* Sender);
    void btnStartClick(vcl::TObject* Sender);
    void btnNumberLogClick(vcl::TObject* Sender);
    void mnuCOMPortClick(vcl::TObject* Sender);
    void mnuManageListClick(vcl::TObject* Sender);
    void mnuExitClick(vcl::TObject* Sender);
    void mnuHelpClick(vcl::TObject* Sender);
    void mnuAboutClick(vcl::TObject* Sender);
    void MenuItemClick(vcl::TObject* Sender);  // clicks the item's tool bar button
    void popupTextSMSPopup(vcl::TObject* Sender);
    void InsertFieldClick(vcl::TObject* Sender);
    void pmnuClearTextClick(vcl::TObject* Sender);

private:
    vcl::TStringGrid& Grid() override { return *grid; }
    void ClearList() override { btnClearAllClick(this); }

    void MakeComponents();
    void MakeMenus();
    void SetListName(const std::string& name);
    void SetNumberColumnWidth();
    // A row or column more (a locked grid is only unlocked); the current one removed, those
    // after it moving up or left, the last one emptied first.
    void AddLine(bool column);
    void RemoveLine(bool column);
    // Redraws the caption cells of a column and a row (the highlight follows them).
    void RewriteHeaders(int col, int row);
    int Message(const std::string& text, const std::string& caption, unsigned flags);
    void ShowListBusy();
    // The chooser of a stored list: true with `name` set when the operator confirmed.
    bool ChooseList(bool load, std::string& name);

    gateway::TSettings settings_;
    bool gridLocked_ = true;
    bool databaseFailed_ = false;
    std::string listName_;
    TListStorage storage_;
};

// The default height of the grid's rows and the width of its number column.
inline constexpr int kGridRowHeight = 18;
inline constexpr int kNumberColumnWidth = 100;
inline constexpr std::size_t kMaxTemplateLength = 3200;

// Whether `text` is a number the check accepts: an optional "+" and 1 to 19 decimal digits.
bool IsValidNumber(const std::string& text);

// A vertical gradient over `rect`: each line one more step from `from` towards `to`.
void PaintVerticalGradient(vcl::TCanvas* canvas, const vcl::TRect& rect, vcl::TColor from,
                           vcl::TColor to);

}  // namespace lists

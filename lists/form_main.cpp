#include "lists/form_main.h"

#include <cmath>

#include "gateway/form_building.h"
#include "gateway/form_gsm.h"
#include "gateway/form_start.h"
#include "gateway/program_images.h"
#include "lists/form_about.h"
#include "lists/form_list.h"
#include "lists/form_load_save.h"
#include "lists/form_number_log.h"
#include "lists/help_file.h"
#include "lists/list_activity.h"
#include "lists/list_file.h"
#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "platform/os/files.h"
#include "platform/user/message_box.h"
#include "skin/core/data/internal_skin.h"
#include "skin/core/data/stored_skins.h"
#include "skin/core/state/neighbour_services.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/format.h"
#include "vcl/system/sysutils.h"

namespace lists {

namespace {

using gateway::MakeComponent;
using vcl::RGB;

constexpr char kBackspaceLimit = 32;  // characters below it are control keys

const std::string& NoListName() {
    static const std::string s = "Имя списка: [нет]"_cp;
    return s;
}

// The form of class T of this application; nullptr when there is none.
template <typename T>
T* FindForm() {
    vcl::TScreen* screen = vcl::Screen();
    for (int i = 0; i < screen->FormCount(); ++i)
        if (auto* f = dynamic_cast<T*>(screen->Forms(i))) return f;
    return nullptr;
}

// The form of class T of this application, made when there is none yet.
template <typename T>
T* TheForm() {
    if (T* form = FindForm<T>()) return form;
    T* form = nullptr;
    vcl::Application()->CreateForm(form);
    return form;
}

// The skin's menu painter takes the menu over, the items just added with it, while the skin
// draws pop-ups.
void SetMenuOwnerDraw(vcl::TMenu* menu, bool on) {
    skin::TsSkinManager* m = skin::DefaultManager;
    if (m && m->SkinnedPopups() && skin::Neighbours().SetMenuOwnerDraw)
        skin::Neighbours().SetMenuOwnerDraw(m->SkinableMenus(), menu, on);
}

void FillWith(vcl::TCanvas* c, const vcl::TRect& r, vcl::TColor color) {
    c->Brush()->SetStyle(vcl::bsSolid);
    c->Brush()->SetColor(color);
    c->FillRect(r);
}

void Line(vcl::TCanvas* c, vcl::TColor color, int x1, int y1, int x2, int y2) {
    c->Pen()->SetColor(color);
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
}

void DrawText(vcl::TCanvas* c, int x, int y, const std::string& text, bool bold,
              vcl::TColor color) {
    c->Brush()->SetStyle(vcl::bsClear);
    c->Font()->SetStyle(bold ? vcl::TFontStyles{vcl::fsBold} : vcl::TFontStyles{});
    c->Font()->SetColor(color);
    c->TextOut(x, y, text);
}

constexpr vcl::TColor kFixedLight = RGB(244, 242, 231);
constexpr vcl::TColor kFixedLine = RGB(240, 238, 224);
constexpr vcl::TColor kFixedDark = RGB(236, 233, 216);
constexpr vcl::TColor kHotLight = RGB(126, 162, 219);
constexpr vcl::TColor kHotLine = RGB(87, 134, 208);
constexpr vcl::TColor kHotDark = RGB(49, 106, 197);
constexpr vcl::TColor kSelectedBottom = RGB(180, 255, 180);

// The foreign classes the skin dresses on the program's forms, each list led by a blank line.
void StoreThirdPartyLists(skin::TsSkinManager* m) {
    static const char* const kLists[][2] = {
        {"ThirdEdits", "TEdit\nTMemo\nTMaskEdit\nTLabeledEdit\nTHotKey\nTListBox\nTCheckListBox\n"
                       "TRichEdit\nTDateTimePicker"},
        {"ThirdButtons", "TButton"},
        {"ThirdBitBtns", "TBitBtn"},
        {"ThirdCheckBoxes", "TCheckBox\nTRadioButton\nTGroupButton"},
        {"ThirdGroupBoxes", "TGroupBox\nTRadioGroup"},
        {"ThirdListViews", "TListView"},
        {"ThirdPanels", "TPanel"},
        {"ThirdGrids", "TStringGrid\nTDrawGrid\nTValueListEditor\nTDBGrid"},
        {"ThirdTreeViews", "TTreeView"},
        {"ThirdComboBoxes", "TComboBox\nTColorBox"},
        {"ThirdPageControl", "TPageControl"},
        {"ThirdTabControl", "TTabControl"},
        {"ThirdToolBar", "TToolBar"},
        {"ThirdStatusBar", "TStatusBar"},
    };
    for (const auto& [name, classes] : kLists)
        for (int k = 0; k < skin::ThirdPartyList::kCount; ++k)
            if (std::string(skin::ThirdPartyList::kPropertyNames[k]) == name)
                m->ThirdParty()->SetString(k, std::string(" \n") + classes);
    m->UpdateThirdNames(false);
}

}  // namespace

bool IsValidNumber(const std::string& text) {
    const std::size_t start = !text.empty() && text[0] == '+' ? 1 : 0;
    const std::size_t digits = text.size() - start;
    if (digits < 1 || digits > 19) return false;
    for (std::size_t i = start; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

void PaintVerticalGradient(vcl::TCanvas* canvas, const vcl::TRect& rect, vcl::TColor from,
                           vcl::TColor to) {
    const int h = rect.Bottom - rect.Top;
    if (h < 1) return;
    const int start[3] = {int(from & 0xFF), int((from >> 8) & 0xFF), int((from >> 16) & 0xFF)};
    const int end[3] = {int(to & 0xFF), int((to >> 8) & 0xFF), int((to >> 16) & 0xFF)};
    long double step[3], sum[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k)
        step[k] = static_cast<long double>(end[k] - start[k]) / h;
    for (int y = rect.Top; y < rect.Bottom; ++y) {
        int c[3];
        for (int k = 0; k < 3; ++k) {
            sum[k] += step[k];
            c[k] = start[k] + static_cast<int>(std::trunc(sum[k]));
        }
        Line(canvas, RGB(c[0], c[1], c[2]), rect.Left, y, rect.Right, y);
    }
}

// ---- the window ----

TformMain::TformMain(vcl::TComponent* owner) : vcl::TForm(owner), storage_(DataSets(), *this) {
    gateway::SetMainWindowLink(this);
    SetName("formMain");
    SetCaption("Tessary Varnock 1.2");
    SetPosition(vcl::poScreenCenter);
    SetClientSize(760, 540);
    MakeComponents();
    MakeMenus();
    // The skin came into force with the manager, before the menus existed; a stored form would
    // have read them first. The skin's menu painter takes the main menu over now.
    if (skin::TsSkinableMenusBase* menus = sSkinManager1->SkinableMenus()) menus->HookMenu(MainMenu);
    OnCreate = {this, &TformMain::FormCreate};
    OnClose = {this, &TformMain::FormClose};
    OnCloseQuery = {this, &TformMain::FormCloseQuery};
}

TformMain::~TformMain() {
    if (gateway::MainWindowLink() == this) gateway::SetMainWindowLink(nullptr);
}

void TformMain::MakeComponents() {
    using vcl::Rect;
    sSkinManager1 = vcl::New<skin::TsSkinManager>(this);
    sSkinManager1->SetName("sSkinManager1");
    skin::AddInternalSkin(*sSkinManager1->InternalSkins());
    sSkinManager1->SetSkinName(skin::InternalSkinName());
    StoreThirdPartyLists(sSkinManager1);
    sSkinProvider1 = vcl::New<skin::TsSkinProvider>(this);
    sSkinProvider1->SetName("sSkinProvider1");
    // The built-in balloon serves every hint of the program.
    sAlphaHints1 = vcl::New<skin::TsAlphaHints>(this);
    sAlphaHints1->SetName("sAlphaHints1");
    sAlphaHints1->Loaded();

    imageList = vcl::New<vcl::TImageList>(this);
    imageList->SetName("AlphaImageList");
    gateway::FillProgramImages(imageList);

    pnlTools = MakeComponent<skin::TsPanel>(this, this, "pnlTools", Rect(0, 0, 760, 34));
    pnlTools->SetAlign(vcl::alTop);
    pnlTools->SetCaption("");
    struct Command {
        skin::TsSpeedButton** button;
        const char* name;
        std::string hint;
        int image;
        void (TformMain::*click)(vcl::TObject*);
        bool gapBefore;
    };
    const Command commands[] = {
        {&btnNew, "btnNew", "Новый список"_cp, gateway::piNewList, &TformMain::btnNewClick, false},
        {&btnLoad, "btnLoad", "Загрузить список из БД"_cp, gateway::piLoad,
         &TformMain::btnLoadClick, false},
        {&btnSave, "btnSave", "Сохранить список в БД"_cp, gateway::piSave, &TformMain::btnSaveClick,
         false},
        {&btnImport, "btnImport", "Импортировать список номеров"_cp, gateway::piImport,
         &TformMain::btnImportClick, true},
        {&btnExport, "btnExport", "Экспортировать список номеров"_cp, gateway::piExport,
         &TformMain::btnExportClick, false},
        {&btnClearAll, "btnClearAll", "Очистить список номеров и текст СМС"_cp, gateway::piClear,
         &TformMain::btnClearAllClick, false},
        {&btnAddRow, "btnAddRow", "Добавить строку"_cp, gateway::piAddRow,
         &TformMain::btnAddRowClick, true},
        {&btnDelRow, "btnDelRow", "Удалить строку"_cp, gateway::piDeleteRow,
         &TformMain::btnDelRowClick, false},
        {&btnAddCol, "btnAddCol", "Добавить столбец"_cp, gateway::piAddColumn,
         &TformMain::btnAddColClick, false},
        {&btnDelCol, "btnDelCol", "Удалить столбец"_cp, gateway::piDeleteColumn,
         &TformMain::btnDelColClick, false},
        {&btnCheckErrors, "btnCheckErrors", "Проверить список номеров на ошибки"_cp,
         gateway::piCheckErrors, &TformMain::btnCheckErrorsClick, true},
        {&btnStart, "btnStart", "Запустить рассылку СМС"_cp, gateway::piStartMailing,
         &TformMain::btnStartClick, true},
        {&btnNumberLog, "btnNumberLog", "Открыть журнал отправки СМС"_cp, gateway::piJournal,
         &TformMain::btnNumberLogClick, false},
    };
    int left = 4;
    for (const Command& c : commands) {
        if (c.gapBefore) left += 8;
        skin::TsSpeedButton* b = MakeComponent<skin::TsSpeedButton>(this, pnlTools, c.name,
                                                                    Rect(left, 4, left + 26, 30));
        b->SetFlat(true);
        b->SetHint(c.hint);
        b->SetShowHint(true);
        b->SetImages(imageList);
        b->SetImageIndex(c.image);
        b->OnClick = {this, c.click};
        *c.button = b;
        left += 27;
    }

    labTextSMS = MakeComponent<skin::TsLabel>(this, this, "labTextSMS", Rect(8, 40, 300, 56),
                                              "Текст сообщения:"_cp);
    memoTextSMS = MakeComponent<skin::TsMemo>(this, this, "memoTextSMS", Rect(8, 58, 752, 138));
    memoTextSMS->SetAnchors({vcl::akLeft, vcl::akTop, vcl::akRight});
    memoTextSMS->SetScrollBars(vcl::ssVertical);
    memoTextSMS->SetWordWrap(true);
    labList = MakeComponent<skin::TsLabel>(this, this, "labList", Rect(8, 144, 300, 160),
                                           "Список номеров:"_cp);
    grid = MakeComponent<vcl::TStringGrid>(this, this, "grid", Rect(8, 162, 752, 512));
    grid->SetAnchors({vcl::akLeft, vcl::akTop, vcl::akRight, vcl::akBottom});
    grid->SetColCount(2);
    grid->SetRowCount(2);
    grid->SetDefaultRowHeight(kGridRowHeight);
    grid->SetDefaultDrawing(false);
    grid->OnDrawCell = {this, &TformMain::gridDrawCell};
    grid->OnSelectCell = {this, &TformMain::gridSelectCell};
    grid->OnKeyPress = {this, &TformMain::gridKeyPress};
    grid->OnMouseWheel = {this, &TformMain::gridMouseWheel};

    StatusBar = MakeComponent<skin::TsStatusBar>(this, this, "StatusBar", Rect(0, 518, 760, 540));
    StatusBar->SetAlign(vcl::alBottom);
    StatusBar->Panels()->Add()->SetWidth(400);
    StatusBar->Panels()->Items(0)->SetText(NoListName());

    ApplicationEvents1 = vcl::New<vcl::TApplicationEvents>(this);
    ApplicationEvents1->SetName("ApplicationEvents1");
    ApplicationEvents1->OnIdle = {this, &TformMain::ApplicationEvents1Idle};

    const std::string filter = "Файлы CSV (*.csv)|*.csv|Все файлы (*.*)|*.*"_cp;
    ImportList = vcl::New<skin::TsOpenDialog>(this);
    ImportList->SetName("ImportList");
    ExportList = vcl::New<skin::TsSaveDialog>(this);
    ExportList->SetName("ExportList");
    ExportList->SetOptions({vcl::ofOverwritePrompt});
    for (vcl::TOpenDialog* d : std::initializer_list<vcl::TOpenDialog*>{ImportList, ExportList}) {
        d->SetFilter(filter);
        d->SetDefaultExt("csv");
    }
    LockGrid();
}

void TformMain::MakeMenus() {
    auto item = [this](vcl::TMenuItem* parent, const char* name, const std::string& caption,
                       void (TformMain::*click)(vcl::TObject*)) {
        vcl::TMenuItem* m = vcl::New<vcl::TMenuItem>(this);
        m->SetName(name);
        m->SetCaption(caption);
        if (click) m->OnClick = {this, click};
        parent->Add(m);
        return m;
    };
    auto line = [&](vcl::TMenuItem* parent, const char* name) { item(parent, name, "-", nullptr); };
    MainMenu = vcl::New<vcl::TMainMenu>(this);
    MainMenu->SetName("MainMenu");
    vcl::TMenuItem* root = MainMenu->Items();
    const auto click = &TformMain::MenuItemClick;

    mnuSystem = item(root, "mnuSystem", "Система"_cp, nullptr);
    mnuCOMPort =
        item(mnuSystem, "mnuCOMPort", "Выбрать GSM-шлюз..."_cp, &TformMain::mnuCOMPortClick);
    mnuManageList = item(mnuSystem, "mnuManageList", "Управление списками..."_cp,
                         &TformMain::mnuManageListClick);
    line(mnuSystem, "N1");
    mnuStart = item(mnuSystem, "mnuStart", "Запуск рассылки..."_cp, click);
    mnuNumberLog = item(mnuSystem, "mnuNumberLog", "Открыть журнал отправки СМС..."_cp, click);
    line(mnuSystem, "N2");
    mnuExit = item(mnuSystem, "mnuExit", "Выход"_cp, &TformMain::mnuExitClick);

    mnuList = item(root, "mnuList", "Список"_cp, nullptr);
    mnuNew = item(mnuList, "mnuNew", "Новый"_cp, click);
    mnuLoad = item(mnuList, "mnuLoad", "Загрузить..."_cp, click);
    mnuSave = item(mnuList, "mnuSave", "Сохранить..."_cp, click);
    line(mnuList, "N3");
    mnuImport = item(mnuList, "mnuImport", "Импорт..."_cp, click);
    mnuExport = item(mnuList, "mnuExport", "Экспорт..."_cp, click);
    mnuClear = item(mnuList, "mnuClear", "Очистить"_cp, click);
    line(mnuList, "N4");
    mnuAddRow = item(mnuList, "mnuAddRow", "Добавить строку"_cp, click);
    mnuDelRow = item(mnuList, "mnuDelRow", "Удалить строку"_cp, click);
    mnuAddCol = item(mnuList, "mnuAddCol", "Добавить столбец"_cp, click);
    mnuDelCol = item(mnuList, "mnuDelCol", "Удалить столбец"_cp, click);
    line(mnuList, "N5");
    mnuCheck = item(mnuList, "mnuCheck", "Проверить на ошибки"_cp, click);

    mnuHelpMenu = item(root, "mnuHelpMenu", "Справка"_cp, nullptr);
    mnuHelp = item(mnuHelpMenu, "mnuHelp", "Справка"_cp, &TformMain::mnuHelpClick);
    mnuAbout = item(mnuHelpMenu, "mnuAbout", "О программе..."_cp, &TformMain::mnuAboutClick);
    SetMenu(MainMenu);

    popupTextSMS = vcl::New<vcl::TPopupMenu>(this);
    popupTextSMS->SetName("popupTextSMS");
    popupTextSMS->OnPopup = {this, &TformMain::popupTextSMSPopup};
    pmnuInsertData =
        item(popupTextSMS->Items(), "pmnuInsertData", "Вставить данные из таблицы"_cp, nullptr);
    pmnuClearText =
        item(popupTextSMS->Items(), "pmnuClearText", "Очистить"_cp, &TformMain::pmnuClearTextClick);
    memoTextSMS->SetPopupMenu(popupTextSMS);
}

// ---- state ----

void TformMain::LockGrid() {
    gridLocked_ = true;
    grid->SetOptions({vcl::goFixedVertLine, vcl::goFixedHorzLine, vcl::goVertLine, vcl::goHorzLine,
                      vcl::goColSizing});
    grid->Invalidate();
}

void TformMain::UnlockGrid() {
    gridLocked_ = false;
    grid->SetOptions({vcl::goFixedVertLine, vcl::goFixedHorzLine, vcl::goVertLine, vcl::goHorzLine,
                      vcl::goColSizing, vcl::goEditing});
    grid->Invalidate();
}

std::string TformMain::TemplateText() const {
    return memoTextSMS->Text();
}

void TformMain::SetListName(const std::string& name) {
    listName_ = name;
    StatusBar->Panels()->Items(0)->SetText(name.empty() ? NoListName() : "Имя списка: "_cp + name);
}

void TformMain::SetNumberColumnWidth() {
    if (grid->ColCount() >= 2) grid->SetColWidths(1, kNumberColumnWidth);
}

int TformMain::Message(const std::string& text, const std::string& caption, unsigned flags) {
    return vcl::Application()->MessageBox(text, caption, flags);
}

void TformMain::ShowListBusy() {
    Message(vcl::Format("Список \"%s\" нельзя изменять, т.к. по нему идет рассылка."_cp,
                        listName_.c_str()),
            "Внимание"_cp, win::MB_ICONHAND);
}

void TformMain::ShowForMailing(const std::string& imei, os::TDateTime startTime) {
    TheForm<TformNumberLog>()->ShowForMailing(imei, startTime);
}

bool TformMain::ChooseList(bool load, std::string& name) {
    std::vector<std::string> names;
    for (const TListInfo& list : storage_.ListArray)
        names.push_back(list.Name);
    return TheForm<TformLoadSave>()->Execute(load, names, name);
}

// ---- creation and closing ----

void TformMain::FormCreate(vcl::TObject*) {
    gridLocked_ = true;
    listName_.clear();
    storage_.ListArray.clear();
    try {
        MainFormCreate(settings_, DataSets());
    } catch (const std::exception&) {
        // Shown, and the start-up goes on: the window opens with what could be set up.
        databaseFailed_ = true;
        vcl::Application()->HandleException(this, std::current_exception());
    }
}

void TformMain::FormCloseQuery(vcl::TObject*, bool& CanClose) {
    gateway::TformStart* mailing = FindForm<gateway::TformStart>();
    if (!mailing) return;
    // Rule 6: its retry takes window messages while it waits and asks; this window takes no
    // input meanwhile, so that nothing is started on the way out.
    SetEnabled(false);
    CanClose = mailing->MayEnd();
    SetEnabled(true);
}

void TformMain::FormClose(vcl::TObject*, vcl::TCloseAction&) {
    MainFormClose(settings_);
}

void TformMain::ApplicationEvents1Idle(vcl::TObject*, bool&) {
    const bool on = !gridLocked_;
    for (vcl::TControl* c : std::initializer_list<vcl::TControl*>{
             btnSave, btnExport, btnDelCol, btnDelRow, btnCheckErrors, btnStart})
        if (c->Enabled() != on) c->SetEnabled(on);
    for (vcl::TMenuItem* m : {mnuStart, mnuSave, mnuExport, mnuDelRow, mnuDelCol, mnuCheck})
        if (m->Enabled() != on) m->SetEnabled(on);
}

// ---- the grid ----

void TformMain::gridDrawCell(vcl::TObject*, int ACol, int ARow, const vcl::TRect& Rect,
                             vcl::TGridDrawState State) {
    vcl::TCanvas* c = grid->Canvas();
    const vcl::TRect& r = Rect;
    const int midX = (r.Left + r.Right) / 2, midY = (r.Top + r.Bottom) / 2;
    if (ACol == 0 && ARow == 0) {
        FillWith(c, r, kFixedLight);
        const vcl::TRect q{midX + 1, midY + 1, r.Right, r.Bottom};
        c->Pen()->SetColor(kFixedLine);
        c->MoveTo(q.Left - 1, r.Bottom - 1);
        c->LineTo(q.Left - 1, q.Top - 1);
        c->LineTo(r.Right, q.Top - 1);
        FillWith(c, q, kFixedDark);
        return;
    }
    if (ARow == 0 || ACol == 0) {
        const bool captionRow = ARow == 0;
        const bool hot = !gridLocked_ && (captionRow ? ACol == grid->Col() : ARow == grid->Row());
        const vcl::TColor light = hot ? kHotLight : kFixedLight;
        const vcl::TColor line = hot ? kHotLine : kFixedLine;
        const vcl::TColor dark = hot ? kHotDark : kFixedDark;
        if (captionRow) {
            FillWith(c, {r.Left, r.Top, r.Right, midY}, light);
            Line(c, line, r.Left, midY, r.Right, midY);
            FillWith(c, {r.Left, midY + 1, r.Right, r.Bottom}, dark);
        } else {
            FillWith(c, {r.Left, r.Top, midX, r.Bottom}, light);
            Line(c, line, midX, r.Top, midX, r.Bottom);
            FillWith(c, {midX + 1, r.Top, r.Right, r.Bottom}, dark);
        }
        if (gridLocked_) return;
        const std::string text = captionRow
                                     ? ACol == 1 ? "Номер"_cp : "N" + std::to_string(ACol - 1)
                                     : std::to_string(ARow);
        const vcl::TColor color = hot ? vcl::clWhite : vcl::clBlack;
        c->Font()->SetStyle(hot ? vcl::TFontStyles{vcl::fsBold} : vcl::TFontStyles{});
        const int w = c->TextWidth(text);
        const int x = captionRow ? (r.Left + r.Right - w) / 2 : r.Right - w - 2;
        DrawText(c, x, r.Top + 2, text, hot, color);
        return;
    }
    if (State.Contains(vcl::gdSelected) && !gridLocked_)
        PaintVerticalGradient(c, r, RGB(255, 255, 255), kSelectedBottom);
    else
        FillWith(c, r, vcl::clWindow);
    if (!gridLocked_)
        DrawText(c, r.Left + 2, r.Top + 2, grid->Cells(ACol, ARow), false, vcl::clBlack);
}

void TformMain::RewriteHeaders(int col, int row) {
    if (col >= 0 && col < grid->ColCount()) grid->SetCells(col, 0, grid->Cells(col, 0));
    if (row >= 0 && row < grid->RowCount()) grid->SetCells(0, row, grid->Cells(0, row));
}

void TformMain::gridSelectCell(vcl::TObject*, int ACol, int ARow, bool&) {
    // The highlight leaves the old column and row and goes to the new ones.
    RewriteHeaders(grid->Col(), grid->Row());
    RewriteHeaders(ACol, ARow);
}

void TformMain::gridKeyPress(vcl::TObject*, char& Key) {
    if (grid->Col() != 1 || !grid->Options().Contains(vcl::goEditing)) return;
    const auto k = static_cast<unsigned char>(Key);
    if (k < kBackspaceLimit || Key == '+' || (Key >= '0' && Key <= '9')) return;
    Key = 0;
}

void TformMain::gridMouseWheel(vcl::TObject*, vcl::TShiftState, int, vcl::TPoint, bool& Handled) {
    Handled = true;
}

// ---- list commands ----

void TformMain::MenuItemClick(vcl::TObject* Sender) {
    const std::pair<vcl::TMenuItem*, skin::TsSpeedButton*> pairs[] = {
        {mnuNew, btnNew},
        {mnuLoad, btnLoad},
        {mnuSave, btnSave},
        {mnuImport, btnImport},
        {mnuExport, btnExport},
        {mnuClear, btnClearAll},
        {mnuAddRow, btnAddRow},
        {mnuDelRow, btnDelRow},
        {mnuAddCol, btnAddCol},
        {mnuDelCol, btnDelCol},
        {mnuCheck, btnCheckErrors},
        {mnuStart, btnStart},
        {mnuNumberLog, btnNumberLog},
    };
    for (const auto& [menu, button] : pairs)
        if (menu == Sender) button->Click();
}

void TformMain::btnNewClick(vcl::TObject*) {
    SetListName({});
    btnClearAllClick(this);
}

void TformMain::btnClearAllClick(vcl::TObject*) {
    grid->SetEditorMode(false);
    grid->SetRowCount(2);
    grid->SetColCount(2);
    for (int c = 0; c < 2; ++c)
        for (int r = 0; r < 2; ++r)
            grid->SetCells(c, r, {});
    LockGrid();
    memoTextSMS->SetText({});
}

void TformMain::AddLine(bool column) {
    if (gridLocked_)
        UnlockGrid();  // a locked grid is only opened, nothing is added
    else if (column)
        grid->SetColCount(grid->ColCount() + 1);
    else
        grid->SetRowCount(grid->RowCount() + 1);
    SetNumberColumnWidth();
}

void TformMain::RemoveLine(bool column) {
    grid->SetEditorMode(false);
    const int last = (column ? grid->ColCount() : grid->RowCount()) - 1;
    const int across = column ? grid->RowCount() : grid->ColCount();
    auto cell = [column](int line, int k) {
        return column ? std::pair{line, k} : std::pair{k, line};
    };
    for (int line = column ? grid->Col() : grid->Row(); line <= last; ++line)
        for (int k = 0; k < across; ++k) {
            const auto [c, r] = cell(line, k);
            const auto [nc, nr] = cell(line + 1, k);
            grid->SetCells(c, r, line < last ? grid->Cells(nc, nr) : std::string());
        }
    if (column)
        grid->SetColCount(last);
    else
        grid->SetRowCount(last);
}

void TformMain::btnAddRowClick(vcl::TObject*) {
    AddLine(false);
}

void TformMain::btnAddColClick(vcl::TObject*) {
    AddLine(true);
}

void TformMain::btnDelRowClick(vcl::TObject*) {
    if (gridLocked_) return;
    if (grid->RowCount() <= 2)
        btnClearAllClick(this);
    else
        RemoveLine(false);
}

void TformMain::btnDelColClick(vcl::TObject*) {
    if (gridLocked_) return;
    if (grid->ColCount() > 2 && grid->Col() == 1)
        Message("Нельзя удалить столбец номеров!"_cp, "Ошибка"_cp, win::MB_ICONHAND);
    else if (grid->ColCount() <= 2)
        btnClearAllClick(this);
    else
        RemoveLine(true);
}

bool TformMain::CheckErrors() {
    auto fail = [this](const std::string& text) {
        Message(text, "Ошибка"_cp, win::MB_ICONHAND);
        return false;
    };
    if (!gridLocked_)
        for (int r = 1; r < grid->RowCount(); ++r)
            if (!IsValidNumber(grid->Cells(1, r)))
                return fail("В строке №"_cp + std::to_string(r) +
                            " содержится неправильный номер!"_cp);
    const std::string text = TemplateText();
    if (text.size() > kMaxTemplateLength)
        return fail("Превышена максимальная длина текста СМС (3200 символов)."_cp);
    if (!gridLocked_ && vcl::Trim(text).empty()) return fail("Не указан текст СМС."_cp);
    return true;
}

void TformMain::btnCheckErrorsClick(vcl::TObject*) {
    if (CheckErrors())
        Message("Ошибок не обнаружено."_cp, "Информация"_cp, win::MB_ICONINFORMATION);
}

bool TformMain::ImportFromFile(const std::string& path) {
    const std::optional<std::string> bytes = os::ReadWholeFile(os::Cp1251ToUtf8(path));
    if (!bytes) throw vcl::EFOpenError("Не удается открыть файл "_cp + path);
    TListFile file;
    try {
        file = ParseListFile(*bytes);
    } catch (const vcl::EConvertError& e) {
        Message(e.Message, "Ошибка"_cp, win::MB_ICONHAND);
        return false;
    }
    if (file.fieldCount == 0) {
        btnClearAllClick(this);
        return true;
    }
    grid->SetEditorMode(false);
    {
        TGridUpdateScope suspended(*grid);
        // Cells left from before would otherwise come back with the new size.
        grid->SetRowCount(2);
        grid->SetColCount(2);
        for (int c = 0; c < 2; ++c)
            grid->SetCells(c, 1, {});
        grid->SetColCount(file.fieldCount + 1);
        grid->SetRowCount(static_cast<int>(file.rows.size()) + 1);
        for (std::size_t r = 0; r < file.rows.size(); ++r)
            for (std::size_t c = 0; c < file.rows[r].size(); ++c)
                if (!file.rows[r][c].empty())
                    grid->SetCells(static_cast<int>(c) + 1, static_cast<int>(r) + 1,
                                   file.rows[r][c]);
        UnlockGrid();
        SetNumberColumnWidth();  // long numbers would otherwise show cut
    }
    return true;
}

void TformMain::ExportToFile(const std::string& path) {
    std::vector<TListRow> rows;
    rows.reserve(static_cast<std::size_t>(grid->RowCount()));
    for (int r = 1; r < grid->RowCount(); ++r) {
        TListRow& row = rows.emplace_back();
        for (int c = 1; c < grid->ColCount(); ++c)
            row.push_back(grid->Cells(c, r));
    }
    if (!os::WriteFileAtomically(os::Cp1251ToUtf8(path), FormatListFile(rows)))
        throw vcl::EFCreateError("Не удается создать файл "_cp + path);
}

void TformMain::btnImportClick(vcl::TObject*) {
    if (ImportList->Execute()) ImportFromFile(ImportList->FileName());
}

void TformMain::btnExportClick(vcl::TObject*) {
    if (!gridLocked_ && ExportList->Execute()) ExportToFile(ExportList->FileName());
}

// ---- template ----

void TformMain::popupTextSMSPopup(vcl::TObject*) {
    pmnuInsertData->Clear();
    for (int c = 2; c < grid->ColCount(); ++c) {
        vcl::TMenuItem* m = vcl::New<vcl::TMenuItem>(this);
        m->SetCaption("№"_cp + std::to_string(c - 1));
        m->SetTag(c - 1);
        m->OnClick = {this, &TformMain::InsertFieldClick};
        pmnuInsertData->Add(m);
    }
    SetMenuOwnerDraw(popupTextSMS, true);
}

void TformMain::InsertFieldClick(vcl::TObject* Sender) {
    const auto* m = static_cast<vcl::TMenuItem*>(Sender);
    memoTextSMS->SetSelText("[№"_cp + std::to_string(m->Tag()) + "]");
}

void TformMain::pmnuClearTextClick(vcl::TObject*) {
    memoTextSMS->SetText({});
}

// ---- storage and mailing ----

void TformMain::btnLoadClick(vcl::TObject*) {
    storage_.LoadListArray();
    std::string name = listName_;
    if (ChooseList(true, name)) LoadList(name);
}

void TformMain::LoadList(const std::string& name) {
    // A name that is not stored changes nothing: a relabelled grid would later be saved under
    // another list's name.
    const TListInfo* info = storage_.FindList(name);
    if (!info) return;
    SetListName(name);
    const std::string text = info->TextSMS;
    storage_.LoadListToGrid(info->ID);
    SetNumberColumnWidth();
    memoTextSMS->SetText(text);
}

void TformMain::btnSaveClick(vcl::TObject*) {
    if (!CheckErrors()) return;
    storage_.LoadListArray();
    std::string name = listName_;
    if (ChooseList(false, name)) SaveAs(name);
}

void TformMain::SaveAs(const std::string& name) {
    SetListName(name);
    if (storage_.SaveList(listName_) == TListStorage::TSaveResult::ListBusy) ShowListBusy();
}

void TformMain::btnStartClick(vcl::TObject*) {
    auto notSaved = [this] {
        Message("Сохраните список в БД, чтобы запустить рассылку."_cp, "Ошибка"_cp,
                win::MB_ICONHAND);
    };
    if (vcl::Trim(listName_).empty()) return notSaved();
    if (!CheckErrors()) return;
    if (storage_.ListChanged(listName_)) {
        if (Message(
                "Данные в списке были изменены. Сохранить\rизменения в БД и запустить рассылку?"_cp,
                "Вопрос"_cp,
                win::MB_ICONQUESTION | win::MB_YESNO | win::MB_DEFBUTTON2) != win::IDYES)
            return;
        if (IsListActiveByName(DataSets(), listName_) ||
            storage_.SaveList(listName_) == TListStorage::TSaveResult::ListBusy)
            return ShowListBusy();
    }
    const TListInfo* info = storage_.FindList(listName_);
    if (!info) return notSaved();
    const TListInfo list = *info;
    TheForm<gateway::TformStart>()->Execute(settings_.COMPort, list.ID, list.Name, TemplateText());
}

// The whole journal, with the filter it last had.
void TformMain::btnNumberLogClick(vcl::TObject*) {
    ShowForMailing("", 0);
}

// ---- system and help ----

void TformMain::mnuCOMPortClick(vcl::TObject*) {
    const std::string before = settings_.COMPort;
    TheForm<gateway::TformGSM>()->Execute(settings_.COMPort);
    if (settings_.COMPort != before) SettingsChanged();
}

void TformMain::SettingsChanged() {
    StoreSettings(settings_);
}

void TformMain::mnuManageListClick(vcl::TObject*) {
    std::string name = listName_;
    if (TheForm<TformList>()->Execute(name))
        btnNew->Click();  // the open list was deleted
    else if (name != listName_)
        SetListName(name);  // renamed: the editor follows, so a save does not recreate it
    storage_.LoadListArray();
}

void TformMain::mnuExitClick(vcl::TObject*) {
    Close();
}

void TformMain::mnuHelpClick(vcl::TObject*) {
    OpenHelpFile(Handle());
}

void TformMain::mnuAboutClick(vcl::TObject*) {
    TheForm<TformAbout>()->ShowModal();
}

}  // namespace lists

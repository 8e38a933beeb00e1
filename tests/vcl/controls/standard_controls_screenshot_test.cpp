// Every standard control on one form in the classic look, shot on the headless screen and
// compared with tests/data/vcl/standard_controls.png. TESSARY_UPDATE_REFERENCE=1 writes the
// reference again (look at it before committing it).
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/controls/list_box_control.h"
#include "platform/controls/up_down_control.h"
#include "platform/display/screenshot.h"
#include "platform/os/cp1251.h"
#include "platform/os/cp_literal.h"
#include "tests/support/temp_dir.h"
#include "tests/vcl/gui_fixture.h"
#include "vcl/controls/buttons.h"
#include "vcl/controls/combo_box.h"
#include "vcl/controls/date_time_picker.h"
#include "vcl/controls/db_grids.h"
#include "vcl/controls/edits.h"
#include "vcl/controls/ext_ctrls.h"
#include "vcl/controls/grids.h"
#include "vcl/controls/list_view.h"
#include "vcl/controls/mask_edit.h"
#include "vcl/controls/status_bar.h"
#include "vcl/controls/std_ctrls.h"

namespace vcl::testing {
namespace {

// The native classes the class library has no control of its own for.
class TNativeListBox : public TWinControl {
public:
    VCL_CLASS(TNativeListBox, TWinControl)
    using TWinControl::TWinControl;

protected:
    void CreateParams(TCreateParams& p) override {
        TWinControl::CreateParams(p);
        CreateSubClass(p, "ListBox");
        p.Style |= win::WS_VSCROLL | win::LBS_HASSTRINGS | win::LBS_NOINTEGRALHEIGHT;
        p.ExStyle |= win::WS_EX_CLIENTEDGE;
    }
};

class TNativeUpDown : public TWinControl {
public:
    VCL_CLASS(TNativeUpDown, TWinControl)
    using TWinControl::TWinControl;

protected:
    void CreateParams(TCreateParams& p) override {
        TWinControl::CreateParams(p);
        CreateSubClass(p, win::UPDOWN_CLASSA);
    }
};

const char* const kNames[] = {"Анна", "Борис", "Вера", "Глеб", "Дина"};  // UTF-8, as stored

// Five records of a number and a name.
class TPeople : public TDataSet {
protected:
    void InternalOpen() override {
        columns_ = {{"N", "INTEGER"}, {"Name", "VARCHAR(20)"}};
        for (int i = 0; i < 5; ++i) {
            cells_.emplace_back(int64_t{i + 1});
            cells_.emplace_back(std::string(kNames[i]));
        }
    }
};

// A glyph of a coloured square in a frame on the transparent colour.
void Glyph(TBitmap* b, TColor colour) {
    b->SetPixelFormat(pf24bit);
    b->SetSize(16, 16);
    b->Canvas()->Brush()->SetColor(clFuchsia);
    b->Canvas()->FillRect(Rect(0, 0, 16, 16));
    b->Canvas()->Brush()->SetColor(clBlack);
    b->Canvas()->FillRect(Rect(3, 3, 13, 13));
    b->Canvas()->Brush()->SetColor(colour);
    b->Canvas()->FillRect(Rect(4, 4, 12, 12));
}

class StandardControlsTest : public GuiTest {
protected:
    void TearDown() override {
        DoneApplication();  // the grid goes before its data set
        data_.reset();
        GuiTest::TearDown();
    }
    std::unique_ptr<TPeople> data_ = std::make_unique<TPeople>();
};

TEST_F(StandardControlsTest, EveryControlInTheClassicLook) {
    TForm* form = nullptr;
    Application()->CreateForm(form);
    form->SetCaption("Элементы управления"_cp);
    form->SetBorderStyle(bsSingle);
    form->SetBounds(10, 10, 650, 480);

    // First column: texts, lists, and the combo box dropped over the room left under it.
    Make<TLabel>(form, form, "Label", Bounds(8, 8, 190, 15))->SetCaption("Фамилия:"_cp);
    Make<TEdit>(form, form, "Edit", Bounds(8, 24, 190, 21))->SetText("Иванов"_cp);
    auto* mask = Make<TMaskEdit>(form, form, "MaskEdit", Bounds(8, 52, 96, 21));
    mask->SetEditMask("!90/90/0000;1; ");
    mask->SetText("09.12.2026");
    auto* time = Make<TDateTimePicker>(form, form, "Time", Bounds(110, 52, 88, 21));
    time->SetKind(dtkTime);
    time->SetTime(13.0 / 24 + 5.0 / 1440 + 30.0 / 86400);
    auto* memo = Make<TMemo>(form, form, "Memo", Bounds(8, 80, 190, 66));
    memo->Lines()->Add("Первая строка"_cp);
    memo->Lines()->Add("Вторая строка, длинная и перенесённая"_cp);
    auto* list = Make<TNativeListBox>(form, form, "ListBox", Bounds(8, 154, 190, 80));
    for (const char* s : {"Москва"_cp, "Тверь"_cp, "Тула"_cp, "Уфа"_cp, "Чита"_cp, "Ярославль"_cp})
        win::SendMessageA(list->Handle(), win::LB_ADDSTRING, 0, reinterpret_cast<win::LPARAM>(s));
    win::SendMessageA(list->Handle(), win::LB_SETCURSEL, 2, 0);
    auto* combo = Make<TComboBox>(form, form, "ComboBox", Bounds(8, 242, 190, 21));
    for (const char* s : {"COM1", "COM2", "COM3", "ttyUSB0"})
        combo->Items()->Add(s);
    combo->SetItemIndex(1);
    auto* check = Make<TCheckBox>(form, form, "CheckBox", Bounds(8, 350, 190, 17));
    check->SetCaption("Запросить отчёт"_cp);
    check->SetChecked(true);
    Make<TEdit>(form, form, "Pause", Bounds(8, 374, 48, 21))->SetText("5");
    auto* upDown = Make<TNativeUpDown>(form, form, "UpDown", Bounds(56, 374, 17, 21));
    win::SendMessageA(upDown->Handle(), win::UDM_SETRANGE32, 0, 10);
    win::SendMessageA(upDown->Handle(), win::UDM_SETPOS32, 0, 5);

    // Second column: the list view with odd rows tinted, the string grid, the data grid.
    auto* view = Make<TListView>(form, form, "ListView", Bounds(208, 8, 240, 120));
    view->SetViewStyle(vsReport);
    view->SetGridLines(true);
    view->SetRowSelect(true);
    for (auto [caption, width] :
         {std::pair{"Список"_cp, 110}, {"Номеров"_cp, 70}, {"СМС"_cp, 50}}) {
        TListColumn* c = view->Columns()->Add();
        c->SetCaption(caption);
        c->SetWidth(width);
    }
    for (int i = 0; i < 5; ++i) {
        TListItem* it = view->Items()->Add();
        it->SetCaption("Рассылка "_cp + std::to_string(i + 1));
        it->SubItems()->Add(std::to_string((i + 1) * 120));
        it->SubItems()->Add(std::to_string(i * 7));
    }
    view->Items()->Item(1)->SetSelected(true);
    view->OnCustomDrawItem = TLVCustomDrawItemEvent::FromCallable(
        [](TCustomListView* sender, TListItem* item, TCustomDrawState, bool&) {
            if (item->Index() % 2 == 1) sender->Canvas()->Brush()->SetColor(RGB(238, 238, 255));
        });
    auto* grid = Make<TStringGrid>(form, form, "StringGrid", Bounds(208, 136, 240, 106));
    grid->SetColCount(3);
    grid->SetRowCount(6);
    grid->SetDefaultRowHeight(18);
    grid->SetColWidths(0, 24);
    grid->SetColWidths(1, 110);
    grid->SetCells(1, 0, "Номер"_cp);
    grid->SetCells(2, 0, "Имя"_cp);
    for (int r = 1; r < 6; ++r) {
        grid->SetCells(0, r, std::to_string(r));
        grid->SetCells(1, r, "+7900000000" + std::to_string(r));
        grid->SetCells(2, r, os::Utf8ToCp1251(kNames[r - 1]));
    }
    auto* source = New<TDataSource>(form);
    source->SetDataSet(data_.get());
    auto* dbGrid = Make<TDBGrid>(form, form, "DBGrid", Bounds(208, 250, 240, 120));
    dbGrid->SetDataSource(source);
    data_->Open();

    // Third column: buttons, panel, bevel.
    auto* box = Make<TGroupBox>(form, form, "GroupBox", Bounds(456, 8, 176, 128));
    box->SetCaption("Кнопки"_cp);
    TBitmap glyph;
    Glyph(&glyph, clLime);
    auto* ok = Make<TBitBtn>(form, box, "BitBtn", Bounds(10, 20, 156, 27));
    ok->SetCaption("Старт"_cp);
    ok->SetGlyph(&glyph);
    auto* two = Make<TBitBtn>(form, box, "BitBtn2", Bounds(10, 52, 156, 40));
    two->SetCaption("Открыть журнал отправки СМС"_cp);
    two->SetWordWrap(true);
    Glyph(&glyph, clRed);
    for (int i = 0; i < 3; ++i) {
        auto* sb = Make<TSpeedButton>(form, box, ("Speed" + std::to_string(i)).c_str(),
                                      Bounds(10 + i * 26, 98, 25, 24));
        sb->SetGlyph(&glyph);
        sb->SetGroupIndex(1);
        sb->SetFlat(i == 2);
        if (i == 1) sb->SetDown(true);
    }
    auto* panel = Make<TPanel>(form, form, "Panel", Bounds(456, 144, 176, 44));
    panel->SetCaption("Панель"_cp);
    panel->SetBevelInner(bvLowered);
    auto* bevel = Make<TBevel>(form, form, "Bevel", Bounds(456, 196, 176, 40));
    bevel->SetShape(bsFrame);
    Make<TLabel>(form, form, "BevelLabel", Bounds(466, 208, 150, 15))->SetCaption("В рамке"_cp);
    auto* status = Make<TStatusBar>(form, form, "StatusBar", Bounds(0, 0, 100, 19));
    for (auto [text, width] : {std::pair{"Строк: 5"_cp, 120}, {"COM2", 80}, {"Готово"_cp, 50}}) {
        TStatusPanel* p = status->Panels()->Add();
        p->SetText(text);
        p->SetWidth(width);
    }

    form->Show();
    Pump();
    combo->SetDroppedDown(true);
    Pump();
    ASSERT_TRUE(combo->DroppedDown());

    win::RECT area;
    win::GetWindowRect(form->Handle(), &area);
    area.left -= 2;
    area.top -= 2;
    area.right += 2;
    area.bottom += 2;
    const display::Rgb shot = display::CaptureScreen(&area);
    testing_support::TempDir dir;
    ASSERT_TRUE(display::WritePng(shot, dir / "standard_controls.png"));
    const std::string reference = testing_support::TestDataDir() + "vcl/standard_controls.png";
    if (const char* update = std::getenv("TESSARY_UPDATE_REFERENCE"); update && *update == '1')
        display::WritePng(shot, reference);
    const display::Rgb kept = display::ReadPng(reference);
    ASSERT_EQ(kept.width, shot.width) << "no reference: run with TESSARY_UPDATE_REFERENCE=1";
    ASSERT_EQ(kept.height, shot.height);
    std::size_t differ = 0;
    for (std::size_t i = 0; i < shot.pixels.size(); i += 3)
        if (shot.pixels[i] != kept.pixels[i] || shot.pixels[i + 1] != kept.pixels[i + 1] ||
            shot.pixels[i + 2] != kept.pixels[i + 2])
            ++differ;
    EXPECT_EQ(differ, 0u) << "the screenshot differs from " << reference << "; the new one is "
                          << dir / "standard_controls.png";
    combo->SetDroppedDown(false);
}

}  // namespace
}  // namespace vcl::testing

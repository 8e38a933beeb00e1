#include "vcl/controls/db_grids.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/os/cp_literal.h"
#include "platform/user/user.h"
#include "tests/vcl/gui_fixture.h"
#include "vcl/controls/std_ctrls.h"

namespace vcl::testing {
namespace {

// Records numbered from 1: N, and Name ("r" and the number) unless asked for N alone.
class TNumbers : public TDataSet {
public:
    TNumbers(int count, bool names) : count_(count), names_(names) {}

protected:
    void InternalOpen() override {
        columns_ = {{"N", "INTEGER"}};
        if (names_) columns_.push_back({"Name", "VARCHAR(20)"});
        cells_.reserve(static_cast<std::size_t>(count_) * columns_.size());
        for (int i = 1; i <= count_; ++i) {
            cells_.emplace_back(int64_t{i});
            if (names_) cells_.emplace_back("r" + std::to_string(i));
        }
    }

private:
    int count_;
    bool names_;
};

class DBGridTest : public FormTest {
protected:
    void Open(int count, bool names = true) {
        form->SetBounds(100, 100, 400, 300);
        data = std::make_unique<TNumbers>(count, names);
        source = New<TDataSource>(form);
        source->SetDataSet(data.get());
        grid = Place<TDBGrid>(form, Bounds(10, 10, 300, 200));
        grid->SetBorderStyle(bsNone);
        grid->SetDataSource(source);
        grid->OnDrawColumnCell = TDrawColumnCellEvent::FromCallable(
            [this](TObject*, const TRect&, int, TColumn* c, TGridDrawState) {
                drawn.push_back(c->Field()->AsString());
            });
        data->Open();
        form->Show();
        Pump();
    }
    void TearDown() override {
        DoneApplication();  // the grid and the source go before the data set
        data.reset();
        GuiTest::TearDown();
    }
    // The texts of the first column's cells drawn by a full repaint.
    std::vector<std::string> Shown() {
        drawn.clear();
        grid->Repaint();
        std::vector<std::string> first;
        const int cols = static_cast<int>(grid->Columns()->Count());
        for (std::size_t i = 0; i < drawn.size(); i += static_cast<std::size_t>(cols))
            first.push_back(drawn[i]);
        return first;
    }
    void Key(win::UINT vk, bool ctrl = false) {
        if (ctrl) win::QueueKeyEvent(win::KeyEvent{win::VK_CONTROL, true, 0});
        QueueKey(vk);
        if (ctrl) win::QueueKeyEvent(win::KeyEvent{win::VK_CONTROL, false, 0});
        Pump();
    }
    TPoint CellCentre(int col, int row) {
        const TRect r = grid->CellRect(col, row);
        return grid->ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    }
    win::SCROLLINFO VertBar() {
        win::SCROLLINFO si;
        si.fMask = win::SIF_ALL;
        EXPECT_TRUE(win::GetScrollInfo(grid->Handle(), win::SB_VERT, &si));
        return si;
    }

    std::unique_ptr<TNumbers> data;
    TDataSource* source = nullptr;
    TDBGrid* grid = nullptr;
    std::vector<std::string> drawn;
};

// Rules 1 and 2. A million records: the grid has as many rows as fit, and draws each from its
// record.
TEST_F(DBGridTest, DrawsTheRecordsOfItsWindowWithoutCopyingThem) {
    Open(1000000, false);
    const int rows = grid->RowCount() - 1;
    EXPECT_EQ(rows, (grid->ClientHeight() + 1) / (grid->DefaultRowHeight() + 1) - 1);
    EXPECT_LT(rows, 20);
    EXPECT_EQ(grid->ColCount(), 2);  // the indicator and the one field
    EXPECT_EQ(grid->Columns()->Items(0)->Title()->Caption(), "N");
    const auto shown = Shown();
    ASSERT_EQ(static_cast<int>(shown.size()), rows);
    EXPECT_EQ(shown.front(), "1");
    EXPECT_EQ(shown.back(), std::to_string(rows));
    EXPECT_EQ(data->ReadRecNo(), 0);  // the fields read the current record again
    EXPECT_EQ(data->RecNo(), 1);
    EXPECT_EQ(grid->Row(), 1);
}

// Rule 3.
TEST_F(DBGridTest, KeysClicksAndTheWheelMoveTheCurrentRecord) {
    Open(100);
    const int rows = grid->RowCount() - 1;
    grid->SetFocus();
    Key(win::VK_DOWN);
    EXPECT_EQ(std::make_pair(data->RecNo(), grid->Row()), std::make_pair(2, 2));
    Key(win::VK_NEXT);
    EXPECT_EQ(data->RecNo(), 2 + rows);
    EXPECT_EQ(grid->Row(), rows);  // the window moved just enough to show it, at the bottom
    EXPECT_EQ(Shown().back(), std::to_string(2 + rows));
    Key(win::VK_END, true);
    EXPECT_EQ(std::make_pair(data->RecNo(), grid->Row()), std::make_pair(100, rows));
    Key(win::VK_HOME, true);
    EXPECT_EQ(std::make_pair(data->RecNo(), grid->Row()), std::make_pair(1, 1));
    Key(win::VK_RIGHT);
    EXPECT_EQ(grid->Col(), 2);

    QueueClickAt(CellCentre(1, 3));
    Pump();
    EXPECT_EQ(data->RecNo(), 3);
    EXPECT_EQ(std::make_pair(grid->Col(), grid->Row()), std::make_pair(1, 3));
    QueueWheel(CellCentre(1, 3), -2 * win::WHEEL_DELTA);
    Pump();
    EXPECT_EQ(data->RecNo(), 5);
    grid->OnMouseWheel = TMouseWheelEvent::FromCallable(
        [](TObject*, TShiftState, int, TPoint, bool& handled) { handled = true; });
    QueueWheel(CellCentre(1, 3), -win::WHEEL_DELTA);
    Pump();
    EXPECT_EQ(data->RecNo(), 5);

    // Moved by the program, far away: the record shows in the first row, moving up to it.
    data->SetRecNo(60);
    EXPECT_EQ(grid->Row(), rows);
    data->SetRecNo(50);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(Shown().front(), "50");
}

// Rule 4. The skin's bar sets the position, sends SB_THUMBTRACK (its high word stuck at
// 65 535), then SB_THUMBPOSITION one record further (its positions count from 0) and
// SB_ENDSCROLL.
TEST_F(DBGridTest, TheVerticalBarSpansTheRecordsAndFollowsAThumbToRecord900000) {
    Open(1000000, false);
    win::HWND h = grid->Handle();
    win::SCROLLINFO si = VertBar();
    EXPECT_EQ(std::make_tuple(si.nMin, si.nMax, si.nPage, si.nPos),
              std::make_tuple(1, 1000000, 1u, 1));
    auto outside = [&](int pos, win::WORD code) {
        win::SCROLLINFO p;
        p.fMask = win::SIF_POS;
        p.nPos = pos;
        win::SetScrollInfo(h, win::SB_VERT, &p, win::FALSE);
        win::SendMessageA(h, win::WM_VSCROLL, win::MAKEWPARAM(code, 65535), 0);
    };
    outside(899999, win::SB_THUMBTRACK);
    EXPECT_EQ(data->RecNo(), 899999);
    outside(900000, win::SB_THUMBPOSITION);
    win::SendMessageA(h, win::WM_VSCROLL, win::SB_ENDSCROLL, 0);
    EXPECT_EQ(data->RecNo(), 900000);
    EXPECT_EQ(VertBar().nPos, 900000);
    const auto shown = Shown();
    EXPECT_EQ(shown[static_cast<std::size_t>(grid->Row() - 1)], "900000");
    win::SendMessageA(h, win::WM_VSCROLL, win::SB_LINEDOWN, 0);
    EXPECT_EQ(data->RecNo(), 900001);

    // The grid's own bar: its thumb dragged to the bottom makes the last record current.
    win::RECT wr;
    win::GetWindowRect(h, &wr);
    const int x = wr.right - win::GetSystemMetrics(win::SM_CXVSCROLL) / 2;
    const int arrow = win::GetSystemMetrics(win::SM_CYVSCROLL);
    const int thumbY = wr.top + arrow + (wr.bottom - wr.top - 2 * arrow) * 9 / 10;
    QueueDrag({x, thumbY}, {x, wr.bottom - 1});
    Pump();
    EXPECT_EQ(data->RecNo(), 1000000);
    EXPECT_EQ(Shown().back(), "1000000");
}

// Rule 5. The export walks every record with the controls disabled: the grid keeps showing its
// window, even when painted, and follows the data set again once enabled.
TEST_F(DBGridTest, AFrozenExportKeepsTheWindowAndCatchesUp) {
    Open(100);
    data->SetRecNo(40);
    const int row = grid->Row();
    const auto before = Shown();
    data->DisableControls();
    const int remembered = data->RecNo();
    data->First();
    std::string lines;
    while (!data->Eof()) {
        lines += data->FieldByName("Name").AsString() + ";";
        if (data->RecNo() == 70) {
            Pump();
            EXPECT_EQ(Shown(), before);
            EXPECT_EQ(grid->Row(), row);
            EXPECT_EQ(data->RecNo(), 70);
        }
        data->Next();
    }
    EXPECT_EQ(lines.substr(0, 9), "r1;r2;r3;");
    data->SetRecNo(remembered);
    data->EnableControls();
    EXPECT_EQ(Shown(), before);
    EXPECT_EQ(grid->Row(), row);

    data->DisableControls();
    data->SetRecNo(90);
    data->EnableControls();
    EXPECT_EQ(grid->Row(), grid->RowCount() - 1);
    EXPECT_EQ(Shown().back(), "90");
}

TEST_F(DBGridTest, ColumnsNameTitleSizeAndHideTheirFields) {
    Open(10);
    EXPECT_EQ(grid->Columns()->Count(), 2);  // one per field while none were given
    grid->Columns()->Clear();
    TColumn* name = grid->Columns()->Add();
    name->SetFieldName("Name");
    name->Title()->SetCaption("Имя"_cp);
    name->SetWidth(80);
    TColumn* n = grid->Columns()->Add();
    n->SetFieldName("N");
    n->SetVisible(false);
    EXPECT_EQ(grid->ColCount(), 2);
    EXPECT_EQ(grid->ColWidths(1), 80);
    EXPECT_EQ(Shown().front(), "r1");

    // A dragged title edge sizes the column for good; the columns stay when the data set
    // opens again.
    grid->SetFocus();
    const TRect title = grid->CellRect(1, 0);
    const TPoint edge = grid->ClientToScreen({title.Right, title.Top + 5});
    QueueDrag(edge, {edge.X + 30, edge.Y});
    Pump();
    EXPECT_EQ(name->Width(), 110);
    data->Close();
    data->Open();
    EXPECT_EQ(grid->Columns()->Count(), 2);
    EXPECT_EQ(grid->ColWidths(1), 110);

    grid->SetOptions({dgColLines, dgRowLines});
    EXPECT_EQ(std::make_pair(grid->FixedCols(), grid->FixedRows()), std::make_pair(0, 0));
    EXPECT_EQ(grid->CellRect(0, 0).Left, 0);
}

// The current cell shows the highlight while the grid has the focus, or always with
// dgAlwaysShowSelection.
TEST_F(DBGridTest, TheSelectionShowsWhileFocusedOrAlways) {
    Open(10);
    Place<TButton>(form, Bounds(320, 10, 60, 25))->SetFocus();
    Pump();
    const TRect cell = grid->CellRect(1, 1);
    auto corner = [&] { return ScreenPixel(grid, cell.Right - 2, cell.Bottom - 2); };
    const win::COLORREF highlight = win::GetSysColor(win::COLOR_HIGHLIGHT);
    EXPECT_EQ(corner(), win::GetSysColor(win::COLOR_WINDOW));
    grid->SetOptions(grid->Options() << dgAlwaysShowSelection);
    Pump();
    EXPECT_EQ(corner(), highlight);
    grid->SetOptions(grid->Options() >> dgAlwaysShowSelection);
    grid->SetFocus();
    Pump();
    EXPECT_EQ(corner(), highlight);
}

TEST_F(DBGridTest, AGridOutlivesItsDataSetAndSource) {
    Open(10);
    data->Close();
    EXPECT_EQ(grid->Columns()->Count(), 0);  // the columns made from the fields went
    EXPECT_EQ(grid->RowCount(), 2);
    data->Open();
    data.reset();
    EXPECT_EQ(source->DataSet(), nullptr);
    grid->Repaint();
    EXPECT_EQ(grid->RowCount(), 2);
    source->Free();
    EXPECT_EQ(grid->DataSource(), nullptr);
    grid->Repaint();
}

}  // namespace
}  // namespace vcl::testing

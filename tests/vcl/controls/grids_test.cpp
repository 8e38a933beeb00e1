#include "vcl/controls/grids.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/user/user.h"
#include "tests/vcl/gui_fixture.h"
#include "vcl/controls/std_ctrls.h"
#include "vcl/system/string_list.h"

namespace vcl::testing {
namespace {

class GridTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        form->SetBounds(100, 100, 400, 300);
        grid = Place<TStringGrid>(form, Bounds(10, 10, 300, 200));
        grid->SetBorderStyle(bsNone);
        grid->SetDefaultColWidth(50);
        grid->SetDefaultRowHeight(20);
        form->Show();
        Pump();
    }

    TPoint CellCentre(int col, int row) {
        const TRect r = grid->CellRect(col, row);
        return grid->ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    }
    void Key(win::UINT vk, bool ctrl = false) {
        if (ctrl) win::QueueKeyEvent(win::KeyEvent{win::VK_CONTROL, true, 0});
        QueueKey(vk);
        if (ctrl) win::QueueKeyEvent(win::KeyEvent{win::VK_CONTROL, false, 0});
        Pump();
    }
    // The cells drawn since the last call, in order.
    std::vector<std::pair<int, int>> Drawn() {
        Pump();
        return std::exchange(drawn, {});
    }
    void LogDrawing() {
        grid->SetDefaultDrawing(false);
        grid->OnDrawCell =
            TDrawCellEvent::FromCallable([this](TObject*, int c, int r, const TRect&,
                                                TGridDrawState) { drawn.emplace_back(c, r); });
        grid->Repaint();
        drawn.clear();
    }

    TStringGrid* grid = nullptr;
    std::vector<std::pair<int, int>> drawn;
};

// Rule 1: lines after fixed and scrolled cells by their own options.
TEST_F(GridTest, CellsAreLaidOutWithTheirLinesAndFoundUnderTheMouse) {
    EXPECT_EQ(grid->CellRect(0, 0), Rect(0, 0, 50, 20));
    EXPECT_EQ(grid->CellRect(1, 1), Rect(51, 21, 101, 41));
    grid->SetColWidths(2, 30);
    EXPECT_EQ(grid->CellRect(3, 1).Left, 51 + 51 + 31);
    // A line belongs to the cell before it; past the last cell there is none.
    int col, row;
    grid->MouseToCell(50, 20, col, row);
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(0, 0));
    grid->MouseToCell(51, 21, col, row);
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(1, 1));
    grid->MouseToCell(290, 150, col, row);
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(-1, -1));

    grid->SetOptions({});
    EXPECT_EQ(grid->CellRect(1, 1), Rect(50, 20, 100, 40));
    // Scrolled away, a cell has no rectangle; the fixed ones stay.
    grid->SetOptions({goVertLine, goHorzLine});  // lines after the scrolled cells only
    grid->SetRowCount(40);
    EXPECT_EQ(grid->VisibleRowCount(), 8);  // (200 - 20) / 21
    grid->SetTopRow(10);
    EXPECT_EQ(grid->TopRow(), 10);
    EXPECT_TRUE(grid->CellRect(1, 9).IsEmpty());
    EXPECT_EQ(grid->CellRect(1, 10), Rect(50, 20, 100, 40));
    EXPECT_EQ(grid->CellRect(0, 0), Rect(0, 0, 50, 20));
    grid->SetTopRow(1000);  // no further than the last rows fill the grid
    EXPECT_EQ(grid->TopRow(), 40 - 8);
    EXPECT_THROW(grid->SetFixedRows(40), EInvalidGridOperation);
    EXPECT_THROW(grid->SetRow(0), EInvalidGridOperation);
    EXPECT_THROW(grid->ColWidths(5), EInvalidGridOperation);
}

TEST_F(GridTest, KeysMoveTheCurrentCellAndScrollItIntoView) {
    grid->SetRowCount(50);
    grid->SetColCount(10);
    grid->SetFocus();
    Pump();
    Key(win::VK_DOWN);
    Key(win::VK_DOWN);
    Key(win::VK_RIGHT);
    EXPECT_EQ(std::make_pair(grid->Col(), grid->Row()), std::make_pair(2, 3));
    const int page = grid->VisibleRowCount();
    Key(win::VK_NEXT);
    EXPECT_EQ(grid->Row(), 3 + page);
    EXPECT_EQ(grid->TopRow(), 1 + page);
    Key(win::VK_END, true);
    EXPECT_EQ(std::make_pair(grid->Col(), grid->Row()), std::make_pair(9, 49));
    EXPECT_EQ(grid->TopRow(), 49 - grid->VisibleRowCount() + 1);  // the last row shown whole
    Key(win::VK_HOME);
    EXPECT_EQ(std::make_pair(grid->Col(), grid->Row()), std::make_pair(1, 49));
    EXPECT_EQ(grid->LeftCol(), 1);
    Key(win::VK_HOME, true);
    EXPECT_EQ(std::make_pair(grid->Row(), grid->TopRow()), std::make_pair(1, 1));
    Key(win::VK_UP);  // at the first row already
    EXPECT_EQ(grid->Row(), 1);

    // OnKeyDown sees a key first and may use it up; OnSelectCell may refuse a cell.
    grid->OnKeyDown = TKeyEvent::FromCallable([](TObject*, uint16_t& key, TShiftState) {
        if (key == win::VK_RIGHT) key = 0;
    });
    grid->OnSelectCell =
        TSelectCellEvent::FromCallable([](TObject*, int, int row, bool& can) { can = row != 3; });
    Key(win::VK_RIGHT);
    Key(win::VK_DOWN);
    Key(win::VK_DOWN);
    EXPECT_EQ(std::make_pair(grid->Col(), grid->Row()), std::make_pair(1, 2));
    grid->SetRow(3);
    EXPECT_EQ(grid->Row(), 2);
}

TEST_F(GridTest, ClicksSelectCellsAndTheWheelMovesTheRowUnlessHandled) {
    std::vector<int> rowsAtMouseDown;
    grid->OnMouseDown =
        TMouseEvent::FromCallable([&](TObject*, TMouseButton, TShiftState, int, int) {
            rowsAtMouseDown.push_back(grid->Row());
        });
    QueueClickAt(CellCentre(2, 3));
    Pump();
    EXPECT_EQ(std::make_pair(grid->Col(), grid->Row()), std::make_pair(2, 3));
    EXPECT_TRUE(grid->Focused());
    EXPECT_EQ(rowsAtMouseDown, std::vector<int>{3});
    QueueClickAt(CellCentre(0, 1));  // fixed cells are not selected
    Pump();
    EXPECT_EQ(std::make_pair(grid->Col(), grid->Row()), std::make_pair(2, 3));

    QueueWheel(CellCentre(2, 3), -win::WHEEL_DELTA);
    Pump();
    EXPECT_EQ(grid->Row(), 4);
    QueueWheel(CellCentre(2, 3), 2 * win::WHEEL_DELTA);
    Pump();
    EXPECT_EQ(grid->Row(), 2);
    grid->OnMouseWheel = TMouseWheelEvent::FromCallable(
        [](TObject*, TShiftState, int, TPoint, bool& handled) { handled = true; });
    QueueWheel(CellCentre(2, 3), -win::WHEEL_DELTA);
    Pump();
    EXPECT_EQ(grid->Row(), 2);
}

TEST_F(GridTest, DraggingAColumnEdgeInTheFixedRowSizesIt) {
    auto drag = [&](TPoint from, int dx) {
        QueueDrag(from, {from.X + dx, from.Y});
        Pump();
    };
    const TPoint edge = grid->ClientToScreen({100, 10});  // column 1 ends at 101
    drag(edge, 20);
    EXPECT_EQ(grid->ColWidths(1), 50);
    grid->SetOptions(grid->Options() << goColSizing);
    drag(edge, 20);
    EXPECT_EQ(grid->ColWidths(1), 70);
    drag(grid->ClientToScreen({121, 30}), 20);  // the edge, but in a scrolled row
    EXPECT_EQ(grid->ColWidths(1), 70);
    EXPECT_EQ(grid->Row(), 1);
}

// Rule 2. Thumb positions come from SIF_TRACKPOS: another window's bar sets the position and
// sends SB_THUMBTRACK with a high word it could not fit past 65 535.
TEST_F(GridTest, ScrollBarsCountRowsAndFollowAThumbPastSixteenBits) {
    grid->SetRowCount(100001);
    win::HWND h = grid->Handle();
    win::SCROLLINFO si;
    si.fMask = win::SIF_ALL;
    ASSERT_TRUE(win::GetScrollInfo(h, win::SB_VERT, &si));
    EXPECT_EQ(si.nMin, 0);
    EXPECT_EQ(si.nMax, 99999);
    EXPECT_EQ(static_cast<int>(si.nPage), grid->VisibleRowCount());
    EXPECT_EQ(si.nPos, 0);
    EXPECT_FALSE(win::GetScrollInfo(h, win::SB_HORZ, &si) &&
                 (win::GetWindowLongPtrA(h, win::GWL_STYLE) & win::WS_HSCROLL));

    win::SendMessageA(h, win::WM_VSCROLL, win::SB_LINEDOWN, 0);
    EXPECT_EQ(grid->TopRow(), 2);
    si.fMask = win::SIF_POS;
    si.nPos = 70000;
    win::SetScrollInfo(h, win::SB_VERT, &si, win::TRUE);
    win::SendMessageA(h, win::WM_VSCROLL, win::MAKEWPARAM(win::SB_THUMBTRACK, 65535), 0);
    EXPECT_EQ(grid->TopRow(), 70001);
    win::SendMessageA(h, win::WM_VSCROLL, win::MAKEWPARAM(win::SB_THUMBPOSITION, 65535), 0);
    win::SendMessageA(h, win::WM_VSCROLL, win::SB_ENDSCROLL, 0);
    EXPECT_EQ(grid->TopRow(), 70001);
    EXPECT_EQ(win::GetScrollPos(h, win::SB_VERT), 70000);

    grid->SetScrollBars(ssNone);
    EXPECT_FALSE(win::GetWindowLongPtrA(h, win::GWL_STYLE) & win::WS_VSCROLL);
    grid->SetScrollBars(ssVertical);
    EXPECT_TRUE(win::GetWindowLongPtrA(h, win::GWL_STYLE) & win::WS_VSCROLL);
}

// Fixed cells in the button face with black lines, the others in the window colour with
// silver lines; the current cell is highlighted while the grid does not have the focus.
TEST_F(GridTest, PaintingShowsTheClassicLook) {
    grid->SetRowCount(3);
    grid->SetColCount(3);
    form->SetColor(clWhite);
    grid->SetColor(clWindow);
    Place<TButton>(form, Bounds(320, 10, 60, 25))->SetFocus();
    Pump();
    auto at = [&](int x, int y) { return ScreenPixel(grid, x, y); };
    const win::COLORREF face = win::GetSysColor(win::COLOR_BTNFACE);
    EXPECT_EQ(at(25, 10), face);
    EXPECT_EQ(at(50, 10), win::RGB(0, 0, 0));                         // line after a fixed column
    EXPECT_EQ(at(0, 10), win::GetSysColor(win::COLOR_BTNHIGHLIGHT));  // raised edge
    EXPECT_EQ(at(49, 10), win::GetSysColor(win::COLOR_BTNSHADOW));
    EXPECT_EQ(at(101, 30), win::RGB(192, 192, 192));  // line between scrolled cells
    EXPECT_EQ(at(120, 30), win::GetSysColor(win::COLOR_WINDOW));
    EXPECT_EQ(at(75, 30), win::GetSysColor(win::COLOR_HIGHLIGHT));  // current, not focused
    EXPECT_EQ(at(250, 100), win::GetSysColor(win::COLOR_WINDOW));   // past the cells
    grid->SetFocus();
    Pump();
    EXPECT_EQ(at(75, 30), win::GetSysColor(win::COLOR_WINDOW));
    grid->SetFixedColor(clRed);
    Pump();
    EXPECT_EQ(at(25, 10), win::RGB(255, 0, 0));
}

// The caption and row-number cells of the target are written again with their own text when
// a cell is selected, and are drawn again for it.
TEST_F(GridTest, SettingACellRepaintsItEvenWithTheSameText) {
    grid->SetCells(2, 0, "N1");
    grid->SetCells(0, 2, "2");
    LogDrawing();
    grid->OnSelectCell = TSelectCellEvent::FromCallable([&](TObject*, int c, int r, bool&) {
        grid->SetCells(c, 0, grid->Cells(c, 0));
        grid->SetCells(0, r, grid->Cells(0, r));
    });
    grid->SetFocus();
    Drawn();
    Key(win::VK_RIGHT);
    Key(win::VK_DOWN);
    const auto d = Drawn();
    auto has = [&](int c, int r) {
        return std::find(d.begin(), d.end(), std::make_pair(c, r)) != d.end();
    };
    EXPECT_TRUE(has(2, 0));
    EXPECT_TRUE(has(0, 2));
    EXPECT_FALSE(has(3, 3));
    grid->SetCells(3, 3, grid->Cells(3, 3));
    EXPECT_EQ(Drawn(), (std::vector<std::pair<int, int>>{{3, 3}}));
}

// Rule 3 for the growing, without measuring it (the benchmark does).
TEST_F(GridTest, RowsAndColumnsThatGrowBackAreEmpty) {
    grid->SetCells(4, 4, "corner");
    grid->SetCells(1, 4, "row");
    grid->SetCells(4, 1, "column");
    grid->SetRowCount(4);
    grid->SetColCount(4);
    EXPECT_EQ(grid->Cells(4, 4), "");
    EXPECT_THROW(grid->SetCells(4, 1, "x"), EInvalidGridOperation);
    grid->SetRowCount(5);
    grid->SetColCount(5);
    EXPECT_EQ(grid->Cells(1, 4), "");
    EXPECT_EQ(grid->Cells(4, 1), "");
    EXPECT_EQ(grid->Cells(4, 4), "");

    // Growing one row at a time keeps what is there and adds empty rows.
    for (int i = 0; i < 100000; ++i)
        grid->SetRowCount(grid->RowCount() + 1);
    EXPECT_EQ(grid->RowCount(), 100005);
    grid->SetCells(1, 100004, "last");
    EXPECT_EQ(grid->Cells(1, 100004), "last");
    EXPECT_EQ(grid->Cells(1, 100003), "");
}

TEST_F(GridTest, ColumnsAndRowsAreListsOfTheirCells) {
    TStringList lines{"a", "b"};
    grid->SetCells(1, 4, "old");
    grid->Cols(1)->Assign(&lines);  // the rest of the column is emptied
    EXPECT_EQ(grid->Cells(1, 0), "a");
    EXPECT_EQ(grid->Cells(1, 1), "b");
    EXPECT_EQ(grid->Cells(1, 4), "");
    // A row moved up over the one above, as deleting a row does.
    grid->SetCells(2, 2, "x");
    grid->Rows(1)->Assign(grid->Rows(2));
    EXPECT_EQ(grid->Cells(2, 1), "x");
    EXPECT_EQ(grid->Cells(1, 1), "");
    EXPECT_EQ(grid->Rows(1)->Count(), 5);
    EXPECT_EQ(grid->Rows(1)->Add("y"), 0);
    EXPECT_EQ(grid->Rows(1)->Add("z"), 1);
    EXPECT_EQ(grid->Rows(1)->Get(2), "x");
    grid->Rows(1)->Clear();
    EXPECT_EQ(grid->Rows(1)->Text(), "\r\n\r\n\r\n\r\n\r\n");
    EXPECT_THROW(grid->Rows(1)->Insert(0, "q"), EInvalidGridOperation);
    EXPECT_THROW(grid->Cols(1)->Delete(0), EInvalidGridOperation);
    EXPECT_THROW(grid->Cols(5), EInvalidGridOperation);
    grid->SetColCount(3);
    EXPECT_EQ(grid->Rows(1)->Count(), 3);
}

class GridEditorTest : public GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        grid->SetOptions(grid->Options() << goEditing);
        grid->SetCells(1, 1, "ab");
        grid->SetCells(2, 1, "cd");
        grid->OnKeyPress = TKeyPressEvent::FromCallable([this](TObject*, char& key) {
            pressed += key;
            modes += grid->EditorMode() ? '1' : '0';
            // The list editor's number column takes digits, '+' and control keys only.
            if (grid->EditorMode() && grid->Col() == 1 && static_cast<unsigned char>(key) >= 32 &&
                key != '+' && (key < '0' || key > '9'))
                key = 0;
        });
        grid->SetFocus();
        Pump();
    }
    void Type(const std::string& text) {
        for (char ch : text)
            QueueKey(static_cast<win::UINT>(std::toupper(static_cast<unsigned char>(ch))),
                     static_cast<unsigned char>(ch));
        Pump();
    }
    std::string EditorText() { return grid->InplaceEditor()->Text(); }

    std::string pressed, modes;
};

// Rule 4.
TEST_F(GridEditorTest, ATypedCharacterOpensTheEditorAndTheCellFollowsTheText) {
    Key(win::VK_RIGHT);
    Type("xy");
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_TRUE(grid->InplaceEditor()->Focused());
    EXPECT_EQ(EditorText(), "xy");
    EXPECT_EQ(grid->Cells(2, 1), "xy");  // while the editor is still open
    EXPECT_EQ(pressed, "xy");            // once each, the editor open already
    EXPECT_EQ(modes, "11");
    QueueKey(win::VK_RETURN, '\r');
    Pump();
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_TRUE(grid->Focused());
    EXPECT_EQ(grid->Cells(2, 1), "xy");
    QueueKey(win::VK_RETURN, '\r');  // Enter opens it again, F2 and a double click too
    Pump();
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_EQ(grid->InplaceEditor()->SelLength(), 2);
    QueueKey(win::VK_RETURN, '\r');
    Key(win::VK_F2);
    EXPECT_TRUE(grid->EditorMode());
    QueueClickAt(CellCentre(1, 2));  // a click elsewhere ends the editing
    Pump();
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(std::make_pair(grid->Col(), grid->Row()), std::make_pair(1, 2));
    QueueClickAt(CellCentre(2, 3));
    QueueClickAt(CellCentre(2, 3));
    Pump();
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_EQ(grid->InplaceEditor()->Left(), grid->CellRect(2, 3).Left);

    // Another control taking the focus ends it too.
    Place<TButton>(form, Bounds(320, 10, 60, 25))->SetFocus();
    Pump();
    EXPECT_FALSE(grid->EditorMode());
}

TEST_F(GridEditorTest, EscapeRestoresTheTextAndArrowsMoveAtItsEnds) {
    Key(win::VK_RIGHT);
    Key(win::VK_F2);
    Type("zz");
    EXPECT_EQ(grid->Cells(2, 1), "zz");
    QueueKey(win::VK_ESCAPE, 0x1b);
    Pump();
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Cells(2, 1), "cd");

    Key(win::VK_F2);
    Key(win::VK_END);
    Key(win::VK_LEFT);  // inside the text: the caret moves
    EXPECT_EQ(grid->Col(), 2);
    Key(win::VK_HOME);
    Key(win::VK_LEFT);  // at its start: the cell to the left, still editing
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_EQ(EditorText(), "ab");
    Key(win::VK_RIGHT);  // all of it selected: at its end as well
    EXPECT_EQ(grid->Col(), 2);
    Key(win::VK_DOWN);
    EXPECT_EQ(std::make_pair(grid->Col(), grid->Row()), std::make_pair(2, 2));
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_EQ(grid->InplaceEditor()->Top(), grid->CellRect(2, 2).Top);
}

// The number filter of the list editor sees the first character too, with the editor open,
// so a letter typed into the number column neither opens a changed cell nor reaches it.
TEST_F(GridEditorTest, OnKeyPressFiltersEveryCharacterTypedIntoTheEditor) {
    Type("a");
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_EQ(grid->Cells(1, 1), "ab");
    Type("7+b8");
    EXPECT_EQ(grid->Cells(1, 1), "7+8");
    EXPECT_EQ(modes, "11111");
    QueueKey(win::VK_RETURN, '\r');
    Key(win::VK_RIGHT);
    Type("b");
    EXPECT_EQ(grid->Cells(2, 1), "b");
}

}  // namespace
}  // namespace vcl::testing

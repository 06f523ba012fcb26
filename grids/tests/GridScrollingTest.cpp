// Grids larger than their windows, scrolled by their scroll bars (clicked
// and sent their messages) and by the first visible column and row: which
// cells show, where the bars stand, what is repainted and what the pixels
// show afterwards.

#include "GridTestSupport.h"

#include "controls/TControlCanvas.h"
#include "graphics/TBrush.h"
#include "grids/TDrawGrid.h"
#include "grids/TInplaceEdit.h"

#include <platform/UserTesting.h>

#include <map>
#include <utility>

namespace velbrin::testing {
namespace {

// Each cell in a colour of its own, so the pixels tell which cell shows.
COLORREF CellColour(std::int32_t col, std::int32_t row) {
    return RGB((row * 7) % 256, 64 + col * 40, (row * 13) % 256);
}

// Paints each cell in its colour and counts the moves of the top-left cell.
class TCellPainter : public TObject {
public:
    void Draw(TObject* sender, std::int32_t col, std::int32_t row, const RECT& rect,
              TGridDrawState) {
        TCanvas* canvas = static_cast<TCustomControl*>(sender)->Canvas();
        canvas->Brush()->SetColor(static_cast<TColor>(CellColour(col, row)));
        canvas->FillRect(rect);
        rects[{col, row}] = rect;
    }
    void TopLeftChanged(TObject*) { ++topLeftChanges; }

    int topLeftChanges = 0;
    std::map<std::pair<std::int32_t, std::int32_t>, RECT> rects;
};

class GridScrollingTest : public GridTest {
protected:
    // 3 columns of 64 and 100 rows of 20 pixels (one fixed) behind a
    // vertical bar: a 200 x 231 client area showing the fixed row and
    // rows 1 to 10.
    TDrawGrid* MakeTallGrid() {
        auto* grid = new TDrawGrid(form);
        grid->SetParent(form);
        grid->SetColCount(3);
        grid->SetRowCount(100);
        grid->SetFixedCols(0);
        grid->SetDefaultRowHeight(20);
        grid->SetScrollBars(ssVertical);
        grid->SetBounds(0, 0, 4 + 200 + GetSystemMetrics(SM_CXVSCROLL), 235);
        grid->OnDrawCell = TDrawCellEvent::Of<&TCellPainter::Draw>(&painter);
        grid->OnTopLeftChanged = TNotifyEvent::Of<&TCellPainter::TopLeftChanged>(&painter);
        grid->Handle();
        Pump();
        return grid;
    }

    static void Scroll(TControl* grid, UINT message, int code, int thumb = 0) {
        SendMessageA(static_cast<TWinControl*>(grid)->Handle(), message, MAKEWPARAM(code, thumb),
                     0);
        Pump();
    }

    static void ClickCell(TCustomGrid* grid, std::int32_t col, std::int32_t row) {
        const RECT cell = grid->CellBounds(col, row);
        platform::ClickAt(grid->Handle(), {cell.left + 5, cell.top + 5});
        Pump();
    }

    // Whether every visible scrolling row shows its own cells.
    static void ExpectRowsShown(TCustomGrid* grid) {
        const platform::WindowImage image =
            platform::CaptureWindow(grid->Handle(), platform::WindowArea::Client);
        for (std::int32_t row = grid->FirstVisibleRow();
             row < grid->FirstVisibleRow() + grid->VisibleRowCount(); ++row) {
            const RECT cell = grid->CellBounds(1, row);
            EXPECT_EQ(image.At(cell.left + 5, cell.top + 5), CellColour(1, row)) << "row " << row;
        }
    }

    TCellPainter painter;
};

TEST_F(GridScrollingTest, TheThumbAndTheEndCommandsReachTheFirstAndTheLastPage) {
    TDrawGrid* grid = MakeTallGrid();
    ASSERT_EQ(grid->ClientWidth(), 200);
    ASSERT_EQ(grid->ClientHeight(), 231);
    ASSERT_EQ(grid->VisibleRowCount(), 10);
    SCROLLINFO bar = BarOf(grid, SB_VERT);
    EXPECT_EQ(bar.nMin, 0);
    EXPECT_EQ(bar.nMax, 127);
    EXPECT_EQ(bar.nPos, 0);

    Scroll(grid, WM_VSCROLL, SB_THUMBPOSITION, 127);
    EXPECT_EQ(grid->FirstVisibleRow(), 90);
    EXPECT_EQ(BarOf(grid, SB_VERT).nPos, 127);
    ExpectRowsShown(grid);
    Scroll(grid, WM_VSCROLL, SB_THUMBPOSITION, 0);
    EXPECT_EQ(grid->FirstVisibleRow(), 1);
    Scroll(grid, WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(grid->FirstVisibleRow(), 90);
    Scroll(grid, WM_VSCROLL, SB_TOP);
    EXPECT_EQ(grid->FirstVisibleRow(), 1);
    EXPECT_EQ(painter.topLeftChanges, 4);
    Scroll(grid, WM_VSCROLL, SB_THUMBPOSITION, 64);
    EXPECT_EQ(grid->FirstVisibleRow(), MulDiv(64, 89, 127) + 1);
    EXPECT_EQ(BarOf(grid, SB_VERT).nPos, MulDiv(grid->FirstVisibleRow() - 1, 127, 89));
}

TEST_F(GridScrollingTest, PagesAndLinesStopAtTheEnds) {
    TDrawGrid* grid = MakeTallGrid();
    grid->SetFirstVisibleRow(5);
    Scroll(grid, WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(grid->FirstVisibleRow(), 14);
    Scroll(grid, WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(grid->FirstVisibleRow(), 5);
    Scroll(grid, WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(grid->FirstVisibleRow(), 4);
    grid->SetFirstVisibleRow(90);
    Scroll(grid, WM_VSCROLL, SB_LINEDOWN);
    Scroll(grid, WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(grid->FirstVisibleRow(), 90);
    grid->SetFirstVisibleRow(1);
    Scroll(grid, WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(grid->FirstVisibleRow(), 1);
    // No horizontal bar was asked for, but its message still moves nothing.
    Scroll(grid, WM_HSCROLL, SB_LINEDOWN);
    EXPECT_EQ(grid->FirstVisibleCol(), 0);
}

TEST_F(GridScrollingTest, TheThumbDraggedMovesTheCellsOnlyWithThumbTracking) {
    TDrawGrid* grid = MakeTallGrid();
    Scroll(grid, WM_VSCROLL, SB_THUMBTRACK, 127);
    EXPECT_EQ(grid->FirstVisibleRow(), 1);
    grid->SetOptions(grid->Options() | GridOptionBit(goThumbTracking));
    Scroll(grid, WM_VSCROLL, SB_THUMBTRACK, 127);
    EXPECT_EQ(grid->FirstVisibleRow(), 90);
}

TEST_F(GridScrollingTest, ClicksOnTheBarScrollByALineAndByAPage) {
    TDrawGrid* grid = MakeTallGrid();
    const int barX = grid->ClientWidth() + GetSystemMetrics(SM_CXVSCROLL) / 2;
    const int arrow = GetSystemMetrics(SM_CYVSCROLL);
    platform::ClickAt(grid->Handle(), {barX, grid->ClientHeight() - arrow / 2});
    Pump();
    EXPECT_EQ(grid->FirstVisibleRow(), 2);
    platform::ClickAt(grid->Handle(), {barX, grid->ClientHeight() - arrow - 4});
    Pump();
    EXPECT_EQ(grid->FirstVisibleRow(), 11);
    platform::ClickAt(grid->Handle(), {barX, arrow / 2});
    Pump();
    EXPECT_EQ(grid->FirstVisibleRow(), 10);
    EXPECT_EQ(BarOf(grid, SB_VERT).nPos, MulDiv(9, 127, 89));
    ExpectRowsShown(grid);
}

TEST_F(GridScrollingTest, ALineScrolledMovesThePixelsAndRepaintsOnlyTheUncoveredRow) {
    TDrawGrid* grid = MakeTallGrid();
    Validate(grid->Handle());
    SendMessageA(grid->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    // Seen before the pending paint runs: the old row 2 moved up into row 1's
    // place, and only the bottom strip waits.
    const RECT waiting = UpdateBox(grid->Handle());
    EXPECT_EQ(waiting.top, 21 + 9 * 21);
    EXPECT_EQ(waiting.bottom, 231);
    Validate(grid->Handle());
    ExpectRowsShown(grid);
    const platform::WindowImage image =
        platform::CaptureWindow(grid->Handle(), platform::WindowArea::Client);
    EXPECT_EQ(image.At(70, 5), CellColour(1, 0));
}

TEST_F(GridScrollingTest, TheFirstVisibleRowAndColumnStayWithinTheCells) {
    TDrawGrid* grid = MakeTallGrid();
    grid->SetFirstVisibleRow(500);
    EXPECT_EQ(grid->FirstVisibleRow(), 90);
    EXPECT_EQ(BarOf(grid, SB_VERT).nPos, 127);
    grid->SetFirstVisibleRow(-3);
    EXPECT_EQ(grid->FirstVisibleRow(), 1);
    grid->SetFirstVisibleCol(2);
    EXPECT_EQ(grid->FirstVisibleCol(), 0);
    EXPECT_EQ(painter.topLeftChanges, 2);

    grid->SetColCount(20);
    grid->SetScrollBars(ssBoth);
    Pump();
    EXPECT_EQ(BarOf(grid, SB_HORZ).nMax, 127);
    grid->SetFirstVisibleCol(7);
    EXPECT_EQ(grid->FirstVisibleCol(), 7);
    Pump();
    const platform::WindowImage image =
        platform::CaptureWindow(grid->Handle(), platform::WindowArea::Client);
    EXPECT_EQ(image.At(5, 30), CellColour(7, 1));
    grid->SetFirstVisibleCol(100);
    EXPECT_EQ(grid->FirstVisibleCol(), 20 - grid->VisibleColCount());
    EXPECT_EQ(BarOf(grid, SB_HORZ).nPos, 127);
}

TEST_F(GridScrollingTest, AGrownGridPullsItsLastPageBackAndAFittingOneHidesItsBars) {
    TDrawGrid* grid = MakeTallGrid();
    grid->SetFirstVisibleRow(90);
    grid->SetHeight(grid->Height() + 42);
    Pump();
    EXPECT_EQ(grid->FirstVisibleRow(), 88);
    EXPECT_EQ(grid->VisibleRowCount(), 12);
    ExpectRowsShown(grid);

    grid->SetRowCount(5);
    Pump();
    EXPECT_EQ(grid->FirstVisibleRow(), 1);
    EXPECT_EQ(GetWindowLongA(grid->Handle(), GWL_STYLE) & WS_VSCROLL, 0);

    TStringGrid* chart = MakeChartGrid();
    chart->SetScrollBars(ssBoth);
    Pump();
    EXPECT_EQ(GetWindowLongA(chart->Handle(), GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), 0);
    EXPECT_EQ(BarOf(chart, SB_VERT).nMax, 0);
    EXPECT_EQ(BarOf(chart, SB_HORZ).nMax, 0);
}

TEST_F(GridScrollingTest, AOneColumnGridScrollsSidewaysByPixels) {
    auto* grid = new TDrawGrid(form);
    grid->SetParent(form);
    grid->SetColCount(1);
    grid->SetRowCount(3);
    grid->SetDefaultColWidth(500);
    grid->SetScrollBars(ssHorizontal);
    grid->SetBounds(0, 0, 304, 200);
    grid->OnDrawCell = TDrawCellEvent::Of<&TCellPainter::Draw>(&painter);
    grid->Handle();
    Pump();
    ASSERT_EQ(grid->ClientWidth(), 300);
    EXPECT_EQ(BarOf(grid, SB_HORZ).nMax, 200);

    Scroll(grid, WM_HSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(grid->ColOffset(), 200);
    EXPECT_EQ(BarOf(grid, SB_HORZ).nPos, 200);
    Scroll(grid, WM_HSCROLL, SB_LINEUP);
    const std::int32_t offset = grid->ColOffset();
    EXPECT_LT(offset, 200);
    EXPECT_GT(offset, 190);
    // The cells start `offset` pixels left of the window.
    painter.rects.clear();
    grid->Invalidate();
    Pump();
    EXPECT_EQ((painter.rects[{0, 1}].left), -offset);
    EXPECT_EQ((painter.rects[{0, 0}].right), 500 - offset);
    Scroll(grid, WM_HSCROLL, SB_TOP);
    EXPECT_EQ(grid->ColOffset(), 0);

    Scroll(grid, WM_HSCROLL, SB_BOTTOM);
    EXPECT_EQ(grid->ColOffset(), 200);
    // A wider window hides less of the column.
    grid->SetWidth(404);
    Pump();
    EXPECT_EQ(grid->ColOffset(), 100);
    EXPECT_EQ(BarOf(grid, SB_HORZ).nMax, 100);
    EXPECT_EQ(BarOf(grid, SB_HORZ).nPos, 100);
}

TEST_F(GridScrollingTest, NewFixedRowsStartTheBarAgainFromTheTop) {
    TDrawGrid* grid = MakeTallGrid();
    grid->SetFirstVisibleRow(50);
    ASSERT_NE(BarOf(grid, SB_VERT).nPos, 0);
    grid->SetFixedRows(3);
    EXPECT_EQ(grid->FirstVisibleRow(), 3);
    EXPECT_EQ(BarOf(grid, SB_VERT).nPos, 0);
    grid->SetFixedRows(99);
    EXPECT_EQ(BarOf(grid, SB_VERT).nMax, 0);
}

TEST_F(GridScrollingTest, AOneColumnGridWithBothBarsReachesTheLastPixelOfItsColumn) {
    auto* grid = new TDrawGrid(form);
    grid->SetParent(form);
    grid->SetColCount(1);
    grid->SetRowCount(40);
    grid->SetDefaultColWidth(500);
    grid->SetBounds(0, 0, 304, 200);
    grid->OnDrawCell = TDrawCellEvent::Of<&TCellPainter::Draw>(&painter);
    grid->Handle();
    Pump();
    // Both bars show: the column is wider and the rows higher than the window.
    const LONG style = GetWindowLongA(grid->Handle(), GWL_STYLE);
    ASSERT_EQ(style & (WS_HSCROLL | WS_VSCROLL), WS_HSCROLL | WS_VSCROLL);
    const int clientWidth = 300 - GetSystemMetrics(SM_CXVSCROLL);
    ASSERT_EQ(grid->ClientWidth(), clientWidth);
    // Another range update, the bars already shown, plans without them.
    grid->SetColWidths(0, 510);
    Pump();
    EXPECT_EQ(BarOf(grid, SB_HORZ).nMax, 510 - clientWidth);

    Scroll(grid, WM_HSCROLL, SB_THUMBPOSITION, BarOf(grid, SB_HORZ).nMax);
    EXPECT_EQ(grid->ColOffset(), 510 - clientWidth);
    painter.rects.clear();
    grid->Invalidate();
    Pump();
    EXPECT_EQ((painter.rects[{0, 1}].right), clientWidth) << "the column ends at the bar";
}

TEST_F(GridScrollingTest, AShrunkGridWithoutBarsShowsTheCellItsCurrentCellMovedTo) {
    TDrawGrid* grid = MakeTallGrid();
    grid->SetScrollBars(ssNone);
    Pump();
    grid->SetFirstVisibleRow(60);
    const RECT cell = grid->CellBounds(1, 65);
    platform::ClickAt(grid->Handle(), {cell.left + 5, cell.top + 5});
    Pump();
    ASSERT_EQ(grid->CurrentCell(), (TCellCoord{1, 65}));
    grid->SetRowCount(30);
    Pump();
    EXPECT_EQ(grid->CurrentCell().Y, 29);
    EXPECT_LE(grid->FirstVisibleRow(), 29);
    EXPECT_GE(grid->FirstVisibleRow() + grid->VisibleRowCount() - 1, 29);
    painter.rects.clear();
    grid->Invalidate();
    Pump();
    EXPECT_EQ(painter.rects.count({1, 29}), 1u) << "the last row is painted";
    ExpectRowsShown(grid);
}

TEST_F(GridScrollingTest, EachNotchOfTheWheelScrollsTheRowsALine) {
    TDrawGrid* grid = MakeTallGrid();
    ClickCell(grid, 1, 3);
    ASSERT_TRUE(grid->Focused());
    const SCROLLINFO before = BarOf(grid, SB_VERT);
    platform::TurnMouseWheel(-WHEEL_DELTA);
    Pump();
    EXPECT_EQ(grid->FirstVisibleRow(), 2) << "a notch towards the user: the next row";
    platform::TurnMouseWheel(-3 * WHEEL_DELTA);
    Pump();
    EXPECT_EQ(grid->FirstVisibleRow(), 5);
    EXPECT_GT(BarOf(grid, SB_VERT).nPos, before.nPos);
    ExpectRowsShown(grid);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{1, 3})) << "the wheel moves no cell";
    // A fine wheel scrolls once its steps make a notch.
    platform::TurnMouseWheel(WHEEL_DELTA / 2);
    Pump();
    EXPECT_EQ(grid->FirstVisibleRow(), 5);
    platform::TurnMouseWheel(WHEEL_DELTA / 2);
    Pump();
    EXPECT_EQ(grid->FirstVisibleRow(), 4);
    // The top stops it.
    platform::TurnMouseWheel(10 * WHEEL_DELTA);
    Pump();
    EXPECT_EQ(grid->FirstVisibleRow(), 1);
    ExpectRowsShown(grid);
}

TEST_F(GridScrollingTest, TheWheelTurnedOverAnOpenEditorScrollsTheGridAndTheEditorAlong) {
    TDrawGrid* grid = MakeTallGrid();
    grid->SetOptions(grid->Options() | GridOptionBit(goEditing));
    ClickCell(grid, 1, 3);
    platform::TapKey(VK_F2);
    Pump();
    ASSERT_NE(grid->InplaceEditor(), nullptr);
    ASSERT_TRUE(grid->InplaceEditor()->Focused());
    platform::TurnMouseWheel(-WHEEL_DELTA);
    Pump();
    EXPECT_EQ(grid->FirstVisibleRow(), 2);
    RECT place{};
    GetWindowRect(grid->InplaceEditor()->Handle(), &place);
    MapWindowPoints(nullptr, grid->Handle(), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.top, grid->CellBounds(1, 3).top);
    EXPECT_EQ(place.top, 21 + 21) << "row 3 is now second under the fixed row";
}

} // namespace
} // namespace velbrin::testing

// The grid driven as a user drives it: clicks and drags choosing the current
// cell and the selection, the keys moving it and scrolling it into view, the
// focus a click gives, and columns and rows sized by dragging their lines.

#include "GridTestSupport.h"

#include "forms/Forms.h"
#include "forms/TScreen.h"
#include "grids/TDrawGrid.h"

#include <platform/Testing.h>
#include <platform/UserTesting.h>

#include <utility>
#include <vector>

namespace velbrin::testing {
namespace {

using platform::MouseButton;

// Counts the grid's events and answers OnSelectCell with `allow`.
class TEventCounter : public TObject {
public:
    void Clicked(TObject*) { ++clicks; }
    void DoubleClicked(TObject*) { ++doubleClicks; }
    void TopLeftChanged(TObject*) { ++topLeftChanges; }
    void Select(TObject*, std::int32_t, std::int32_t, bool& canSelect) { canSelect = allow; }

    int clicks = 0;
    int doubleClicks = 0;
    int topLeftChanges = 0;
    bool allow = true;
};

class GridInteractionTest : public GridTest {
protected:
    // 8 columns of 40 and 30 rows of 20 pixels, one of each fixed, in a
    // client area of 250 x 200 with both bars: 5 scrolling columns and 8
    // scrolling rows fully visible.
    TDrawGrid* MakeGrid() {
        auto* grid = new TDrawGrid(form);
        grid->SetParent(form);
        grid->SetColCount(8);
        grid->SetRowCount(30);
        grid->SetDefaultColWidth(40);
        grid->SetDefaultRowHeight(20);
        grid->SetBounds(0, 0, 4 + 250 + GetSystemMetrics(SM_CXVSCROLL),
                        4 + 200 + GetSystemMetrics(SM_CYHSCROLL));
        grid->OnClick = TNotifyEvent::Of<&TEventCounter::Clicked>(&events);
        grid->OnDblClick = TNotifyEvent::Of<&TEventCounter::DoubleClicked>(&events);
        grid->OnTopLeftChanged = TNotifyEvent::Of<&TEventCounter::TopLeftChanged>(&events);
        grid->OnSelectCell = TSelectCellEvent::Of<&TEventCounter::Select>(&events);
        grid->Handle();
        Pump();
        return grid;
    }

    // The middle of a cell on screen.
    static POINT CellCentre(TCustomGrid* grid, std::int32_t col, std::int32_t row) {
        const RECT cell = grid->CellBounds(col, row);
        return platform::ScreenPointOf(
            grid->Handle(), {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2});
    }

    static void ClickCell(TCustomGrid* grid, std::int32_t col, std::int32_t row) {
        platform::MoveMouse(CellCentre(grid, col, row));
        platform::PressMouse(MouseButton::Left);
        platform::ReleaseMouse(MouseButton::Left);
        Pump();
    }

    static void Tap(BYTE key, BYTE held = 0) {
        if (held != 0) {
            platform::PressKey(held);
        }
        platform::TapKey(key);
        if (held != 0) {
            platform::ReleaseKey(held);
        }
        Pump();
    }

    static void ExpectSelection(TCustomGrid* grid, const TCellRange& expected) {
        const TCellRange selection = grid->Selection();
        EXPECT_EQ(selection.Left, expected.Left);
        EXPECT_EQ(selection.Top, expected.Top);
        EXPECT_EQ(selection.Right, expected.Right);
        EXPECT_EQ(selection.Bottom, expected.Bottom);
    }

    TEventCounter events;
};

TEST_F(GridInteractionTest, AClickFocusesTheGridAndShowsTheCellItMadeCurrent) {
    TStringGrid* grid = MakeChartGrid();
    ASSERT_FALSE(grid->Focused());
    ClickCell(grid, 3, 4);
    EXPECT_TRUE(grid->Focused());
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{3, 4}));
    ExpectSelection(grid, {3, 4, 3, 4});
    const platform::WindowImage image =
        platform::CaptureWindow(grid->Handle(), platform::WindowArea::Client);
    // The focused current cell keeps the window colour; the old one is no
    // longer highlighted.
    EXPECT_EQ(image.At(3 * 33 + 16, 4 * 21 + 10), static_cast<COLORREF>(GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(image.At(16, 10), static_cast<COLORREF>(GetSysColor(COLOR_WINDOW)));
    // The strip beyond the last cell starts nothing.
    platform::ClickAt(grid->Handle(), {398, 100});
    Pump();
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{3, 4}));
}

TEST_F(GridInteractionTest, DraggingAndShiftClickingSelectARange) {
    TDrawGrid* grid = MakeGrid();
    platform::MoveMouse(CellCentre(grid, 2, 2));
    platform::PressMouse(MouseButton::Left);
    platform::MoveMouse(CellCentre(grid, 4, 5));
    platform::ReleaseMouse(MouseButton::Left);
    Pump();
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{2, 2}));
    EXPECT_EQ(grid->Anchor(), (TCellCoord{4, 5}));
    ExpectSelection(grid, {2, 2, 4, 5});
    EXPECT_EQ(events.clicks, 1);

    platform::PressKey(VK_SHIFT);
    ClickCell(grid, 1, 1);
    platform::ReleaseKey(VK_SHIFT);
    Pump();
    ExpectSelection(grid, {1, 1, 2, 2});

    // Without range selection a drag only moves the current cell.
    grid->SetOptions(WithoutOption(grid->Options(), goRangeSelect));
    platform::MoveMouse(CellCentre(grid, 2, 2));
    platform::PressMouse(MouseButton::Left);
    platform::MoveMouse(CellCentre(grid, 3, 4));
    platform::ReleaseMouse(MouseButton::Left);
    Pump();
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{3, 4}));
    ExpectSelection(grid, {3, 4, 3, 4});
}

TEST_F(GridInteractionTest, RowSelectionTakesWholeRowsAndRefusedCellsStayUnchosen) {
    TDrawGrid* grid = MakeGrid();
    grid->SetOptions(grid->Options() | GridOptionBit(goRowSelect));
    ClickCell(grid, 3, 2);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{1, 2}));
    ExpectSelection(grid, {1, 2, 7, 2});
    Tap(VK_RIGHT);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{1, 3}));
    Tap(VK_END);
    EXPECT_EQ(grid->CurrentCell().Y, 29);

    events.allow = false;
    ClickCell(grid, 2, grid->FirstVisibleRow());
    Tap(VK_HOME);
    EXPECT_EQ(grid->CurrentCell().Y, 29);
}

TEST_F(GridInteractionTest, KeysMoveTheCurrentCellAndScrollItIntoView) {
    TDrawGrid* grid = MakeGrid();
    ASSERT_EQ(grid->VisibleRowCount(), 8);
    ASSERT_EQ(grid->VisibleColCount(), 5);
    grid->SetFocus();
    Pump();
    Tap(VK_RIGHT);
    Tap(VK_DOWN);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{2, 2}));
    Tap(VK_END);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{7, 2}));
    EXPECT_EQ(grid->FirstVisibleCol(), 3);
    Tap(VK_HOME);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{1, 2}));
    EXPECT_EQ(grid->FirstVisibleCol(), 1);

    for (int i = 0; i < 7; ++i) {
        Tap(VK_DOWN);
    }
    EXPECT_EQ(grid->CurrentCell().Y, 9);
    EXPECT_EQ(grid->FirstVisibleRow(), 2);
    EXPECT_EQ(GetScrollPos(grid->Handle(), SB_VERT), MulDiv(1, 127, 22 - 1));

    Tap(VK_NEXT);
    EXPECT_EQ(grid->CurrentCell().Y, 16);
    EXPECT_EQ(grid->FirstVisibleRow(), 9);
    Tap(VK_NEXT, VK_CONTROL);
    EXPECT_EQ(grid->CurrentCell().Y, 16);
    Tap(VK_PRIOR, VK_CONTROL);
    EXPECT_EQ(grid->CurrentCell().Y, 9);
    Tap(VK_DOWN, VK_CONTROL);
    EXPECT_EQ(grid->FirstVisibleRow(), 10);
    EXPECT_EQ(grid->CurrentCell().Y, 9);

    Tap(VK_END, VK_CONTROL);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{7, 29}));
    EXPECT_EQ(grid->FirstVisibleRow(), 22);
    Tap(VK_HOME, VK_CONTROL);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{1, 1}));
    EXPECT_EQ(grid->FirstVisibleRow(), 1);
    EXPECT_EQ(grid->FirstVisibleCol(), 1);
    EXPECT_GT(events.topLeftChanges, 4);

    Tap(VK_DOWN, VK_SHIFT);
    Tap(VK_RIGHT, VK_SHIFT);
    ExpectSelection(grid, {1, 1, 2, 2});
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{2, 2}));
}

TEST_F(GridInteractionTest, TabStepsThroughTheCellsOnlyWhenTheGridAsksForIt) {
    TStringGrid* grid = MakeChartGrid();
    grid->SetOptions(grid->Options() | GridOptionBit(goTabs));
    ClickCell(grid, 0, 0);
    Tap(VK_TAB, VK_SHIFT);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{11, 11}));
    EXPECT_EQ(grid->Anchor(), (TCellCoord{11, 11}));
    Tap(VK_TAB);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{0, 0}));
    Tap(VK_TAB);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{1, 0}));
    EXPECT_EQ(SendMessageA(grid->Handle(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTTAB);
    grid->SetOptions(WithoutOption(grid->Options(), goTabs));
    EXPECT_EQ(SendMessageA(grid->Handle(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
}

TEST_F(GridInteractionTest, AColumnLineDraggedInTheFixedRowSizesItsColumn) {
    TDrawGrid* grid = MakeGrid();
    grid->SetOptions(grid->Options() | GridOptionBit(goColSizing) | GridOptionBit(goRowSizing));
    // Column 2's right edge lies at 41 + 41 + 40.
    const int edge = 122;
    // From 3 pixels before the edge to 4 after it.
    for (const int x : {edge - 4, edge - 3, edge + 4, edge + 5}) {
        platform::MoveMouse(platform::ScreenPointOf(grid->Handle(), {x, 10}));
        Pump();
        EXPECT_EQ(GetCursor() == Screen->Cursors(crHSplit), x >= edge - 3 && x <= edge + 4)
            << "at " << x;
    }
    platform::MoveMouse(platform::ScreenPointOf(grid->Handle(), {10, 21 + 20}));
    Pump();
    EXPECT_EQ(GetCursor(), Screen->Cursors(crVSplit));

    platform::MoveMouse(platform::ScreenPointOf(grid->Handle(), {edge - 3, 10}));
    platform::PressMouse(MouseButton::Left);
    platform::MoveMouse(platform::ScreenPointOf(grid->Handle(), {edge + 17, 10}));
    platform::ReleaseMouse(MouseButton::Left);
    Pump();
    EXPECT_EQ(grid->ColWidths(2), 60);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{1, 1}));

    // A line dragged onto the cell's own leading edge leaves its width.
    platform::MoveMouse(platform::ScreenPointOf(grid->Handle(), {edge + 20, 10}));
    platform::PressMouse(MouseButton::Left);
    platform::MoveMouse(platform::ScreenPointOf(grid->Handle(), {83, 10}));
    platform::ReleaseMouse(MouseButton::Left);
    Pump();
    EXPECT_EQ(grid->ColWidths(2), 60);

    // Outside the fixed rows the same line sizes nothing.
    platform::MoveMouse(platform::ScreenPointOf(grid->Handle(), {edge + 20, 50}));
    platform::PressMouse(MouseButton::Left);
    platform::MoveMouse(platform::ScreenPointOf(grid->Handle(), {edge + 40, 50}));
    platform::ReleaseMouse(MouseButton::Left);
    Pump();
    EXPECT_EQ(grid->ColWidths(2), 60);
}

TEST_F(GridInteractionTest, ADragHeldBelowTheCellsScrollsTheSelectionOn) {
    TDrawGrid* grid = MakeGrid();
    platform::MoveMouse(CellCentre(grid, 2, 7));
    platform::PressMouse(MouseButton::Left);
    platform::MoveMouse(platform::ScreenPointOf(grid->Handle(), {100, 230}));
    Pump();
    // Three ticks, one row each.
    platform::AdvanceClock(180);
    EXPECT_EQ(grid->Anchor().Y, 10);
    EXPECT_EQ(grid->FirstVisibleRow(), 3);
    platform::ReleaseMouse(MouseButton::Left);
    Pump();
    const std::int32_t end = grid->Anchor().Y;
    platform::AdvanceClock(180);
    EXPECT_EQ(grid->Anchor().Y, end);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{2, 7}));
}

// Records the moves the grid tells of.
class TMoveRecorder : public TObject {
public:
    void Moved(TObject*, std::int32_t fromIndex, std::int32_t toIndex) {
        moves.emplace_back(fromIndex, toIndex);
    }
    std::vector<std::pair<std::int32_t, std::int32_t>> moves;
};

TEST_F(GridInteractionTest, AColumnDraggedByItsFixedCellMovesWithItsWidthAndCells) {
    auto* grid = new TStringGrid(form);
    grid->SetParent(form);
    grid->SetColCount(6);
    grid->SetDefaultColWidth(40);
    grid->SetDefaultRowHeight(20);
    grid->SetBounds(0, 0, 300, 200);
    grid->SetOptions(grid->Options() | GridOptionBit(goColMoving) | GridOptionBit(goRowMoving));
    TMoveRecorder columns;
    TMoveRecorder rows;
    grid->OnColumnMoved = TMovedEvent::Of<&TMoveRecorder::Moved>(&columns);
    grid->OnRowMoved = TMovedEvent::Of<&TMoveRecorder::Moved>(&rows);
    grid->SetColWidths(2, 50);
    grid->SetCells(2, 1, "moved");
    grid->SetCells(3, 1, "three");
    grid->Handle();
    Pump();
    ClickCell(grid, 2, 1);
    ASSERT_EQ(grid->CurrentCell(), (TCellCoord{2, 1}));

    // The drop follows the pointer once it is among the scrolling cells.
    platform::MoveMouse(CellCentre(grid, 2, 0));
    platform::PressMouse(MouseButton::Left);
    platform::MoveMouse(CellCentre(grid, 4, 0));
    platform::MoveMouse(CellCentre(grid, 4, 2));
    platform::ReleaseMouse(MouseButton::Left);
    Pump();
    ASSERT_EQ(columns.moves.size(), 1u);
    EXPECT_EQ(columns.moves[0], std::make_pair(2, 4));
    EXPECT_EQ(grid->ColWidths(4), 50);
    EXPECT_EQ(grid->ColWidths(2), 40);
    EXPECT_EQ(grid->Cells(4, 1), "moved");
    EXPECT_EQ(grid->Cells(2, 1), "three");
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{4, 1}));

    platform::MoveMouse(CellCentre(grid, 0, 3));
    platform::PressMouse(MouseButton::Left);
    platform::MoveMouse(CellCentre(grid, 1, 1));
    platform::ReleaseMouse(MouseButton::Left);
    Pump();
    ASSERT_EQ(rows.moves.size(), 1u);
    EXPECT_EQ(rows.moves[0], std::make_pair(3, 1));
    EXPECT_EQ(grid->Cells(4, 2), "moved");
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{4, 2}));

    // A press on the fixed corner cell moves nothing.
    platform::MoveMouse(CellCentre(grid, 0, 0));
    platform::PressMouse(MouseButton::Left);
    platform::MoveMouse(CellCentre(grid, 3, 3));
    platform::ReleaseMouse(MouseButton::Left);
    Pump();
    EXPECT_EQ(columns.moves.size(), 1u);
    EXPECT_EQ(rows.moves.size(), 1u);
}

TEST_F(GridInteractionTest, AStepPastTheBottomMovesThePixelsUpAndRepaintsOnlyTheNewRow) {
    TDrawGrid* grid = MakeGrid();
    grid->SetFocus();
    Pump();
    for (int i = 0; i < 7; ++i) {
        Tap(VK_DOWN);
    }
    ASSERT_EQ(grid->CurrentCell().Y, 8);
    Validate(grid->Handle());
    SendMessageA(grid->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(grid->FirstVisibleRow(), 2);
    // The rows moved up by one row and its line; what waits is the strip
    // they uncovered, with the old and the new current cell.
    const RECT waiting = UpdateBox(grid->Handle());
    EXPECT_EQ(waiting.top, 21 + 6 * 21);
    EXPECT_EQ(waiting.bottom, 200);
    EXPECT_FALSE(NeedsPaint(grid->Handle(), 100, 30));
}

TEST_F(GridInteractionTest, ADragGrowingTheSelectionRepaintsOnlyTheCellsItAdds) {
    TDrawGrid* grid = MakeGrid();
    platform::MoveMouse(CellCentre(grid, 1, 1));
    platform::PressMouse(MouseButton::Left);
    platform::MoveMouse(CellCentre(grid, 2, 2));
    Pump();
    Validate(grid->Handle());
    // Sent straight to the grid, so that nothing paints before the look.
    const RECT target = grid->CellBounds(3, 2);
    SendMessageA(grid->Handle(), WM_MOUSEMOVE, MK_LBUTTON,
                 MAKELPARAM(target.left + 5, target.top + 5));
    ExpectSelection(grid, {1, 1, 3, 2});
    const RECT added = grid->CellBounds(3, 1);
    EXPECT_TRUE(NeedsPaint(grid->Handle(), added.left + 2, added.top + 2));
    const RECT kept = grid->CellBounds(2, 2);
    EXPECT_FALSE(NeedsPaint(grid->Handle(), kept.left + 2, kept.top + 2));
    platform::ReleaseMouse(MouseButton::Left);
    Pump();
}

TEST_F(GridInteractionTest, ARowDropHeldOverTheFixedRowScrollsBackALineATick) {
    TDrawGrid* grid = MakeGrid();
    grid->SetOptions(grid->Options() | GridOptionBit(goRowMoving));
    TMoveRecorder rows;
    grid->OnRowMoved = TMovedEvent::Of<&TMoveRecorder::Moved>(&rows);
    grid->SetFirstVisibleRow(5);
    Pump();
    platform::MoveMouse(CellCentre(grid, 0, 6));
    platform::PressMouse(MouseButton::Left);
    platform::MoveMouse(CellCentre(grid, 2, 7));
    platform::MoveMouse(platform::ScreenPointOf(grid->Handle(), {60, 10}));
    Pump();
    platform::AdvanceClock(180);
    EXPECT_EQ(grid->FirstVisibleRow(), 2);
    platform::ReleaseMouse(MouseButton::Left);
    Pump();
    ASSERT_EQ(rows.moves.size(), 1u);
    EXPECT_EQ(rows.moves[0], std::make_pair(6, 2));

    // Held past the last row shown, the drop scrolls forward: once on
    // getting there, then on each tick.
    platform::MoveMouse(CellCentre(grid, 0, 4));
    platform::PressMouse(MouseButton::Left);
    platform::MoveMouse(CellCentre(grid, 2, 9));
    platform::MoveMouse(platform::ScreenPointOf(grid->Handle(), {60, 199}));
    Pump();
    EXPECT_EQ(grid->FirstVisibleRow(), 3);
    platform::AdvanceClock(120);
    EXPECT_EQ(grid->FirstVisibleRow(), 5);
    platform::ReleaseMouse(MouseButton::Left);
    Pump();
    ASSERT_EQ(rows.moves.size(), 2u);
    EXPECT_EQ(rows.moves[1], std::make_pair(4, 12));
}

TEST_F(GridInteractionTest, ASecondQuickPressIsADoubleClickThatSelectsNothingNew) {
    TDrawGrid* grid = MakeGrid();
    ClickCell(grid, 2, 3);
    EXPECT_EQ(events.clicks, 1);
    ClickCell(grid, 2, 3);
    EXPECT_EQ(events.doubleClicks, 1);
    EXPECT_EQ(events.clicks, 1);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{2, 3}));
}

} // namespace
} // namespace velbrin::testing

// Which scroll bars a grid shows, and where it stands, follow from what the
// grid is now, not from the order of the changes that made it so: a grid
// changed into a state shows the bars and the pixels of a grid made in that
// state, and its bars scroll what they should.

#include "GridTestSupport.h"

#include <platform/UserTesting.h>

#include <functional>
#include <string>

namespace velbrin::testing {
namespace {

using platform::WindowImage;

using TSettings = std::function<void(TStringGrid*)>;

class ScrollBarsFollowStateTest : public GridTest {
protected:
    // A 200 x 150 grid at `left` with both bars allowed: a 196 x 146 client
    // area inside the sunken edge, less the bars it shows. It is put on the
    // form after `settings`, so its bars are worked out once, from them alone.
    TStringGrid* MakeGrid(int left, const TSettings& settings) {
        auto* grid = new TStringGrid(form);
        grid->SetBounds(left, 0, 200, 150);
        settings(grid);
        for (std::int32_t row = 0; row < grid->RowCount(); ++row) {
            for (std::int32_t col = 0; col < grid->ColCount(); ++col) {
                grid->SetCells(col, row, std::to_string(col) + ":" + std::to_string(row));
            }
        }
        // Not before: a grid on a shown form has its window at once.
        grid->SetParent(form);
        grid->Handle();
        Pump();
        return grid;
    }

    // Checks `changed` against a grid beside it made with `settings` and the
    // same first visible cell: the same bars, ranges, positions and pixels.
    void ExpectAsMadeWith(TStringGrid* changed, const TSettings& settings) {
        TStringGrid* made = MakeGrid(200, settings);
        // Neither has the focus, which shows on the current cell.
        SetFocus(form->Handle());
        made->SetFirstVisibleCol(changed->FirstVisibleCol());
        made->SetFirstVisibleRow(changed->FirstVisibleRow());
        Pump();
        EXPECT_EQ(made->FirstVisibleCol(), changed->FirstVisibleCol());
        EXPECT_EQ(made->FirstVisibleRow(), changed->FirstVisibleRow());
        EXPECT_EQ(BarStyles(made), BarStyles(changed));
        for (const int bar : {SB_HORZ, SB_VERT}) {
            EXPECT_EQ(BarOf(made, bar).nMax, BarOf(changed, bar).nMax) << "bar " << bar;
            EXPECT_EQ(BarOf(made, bar).nPos, BarOf(changed, bar).nPos) << "bar " << bar;
        }
        const WindowImage expected = Painted(made);
        const WindowImage painted = Painted(changed);
        ASSERT_EQ(painted.width, expected.width);
        ASSERT_EQ(painted.height, expected.height);
        EXPECT_TRUE(painted.pixels == expected.pixels);
    }

    static LONG BarStyles(TWinControl* grid) {
        return GetWindowLongA(grid->Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL);
    }

    static WindowImage Painted(TWinControl* grid) {
        grid->Invalidate();
        Pump();
        return platform::CaptureWindow(grid->Handle(), platform::WindowArea::Client);
    }

    // Clicks the arrow at the bottom of the vertical bar.
    static void ClickDownArrow(TWinControl* grid) {
        platform::ClickAt(grid->Handle(),
                          {grid->ClientWidth() + GetSystemMetrics(SM_CXVSCROLL) / 2,
                           grid->ClientHeight() - GetSystemMetrics(SM_CYVSCROLL) / 2});
        Pump();
    }

    // Clicks the arrow at the right end of the horizontal bar.
    static void ClickRightArrow(TWinControl* grid) {
        platform::ClickAt(grid->Handle(),
                          {grid->ClientWidth() - GetSystemMetrics(SM_CXHSCROLL) / 2,
                           grid->ClientHeight() + GetSystemMetrics(SM_CYHSCROLL) / 2});
        Pump();
    }

    const int barWidth = GetSystemMetrics(SM_CXVSCROLL);
    const int barHeight = GetSystemMetrics(SM_CYHSCROLL);
};

TEST_F(ScrollBarsFollowStateTest, ThickerLinesThatPushTheRowsPastTheWindowBringTheVerticalBar) {
    // Five columns of 64 need a horizontal bar, leaving 129 pixels of height;
    // five rows of 24 with their 1-pixel lines take 125 and fit.
    TStringGrid* grid = MakeGrid(0, [](TStringGrid*) {});
    ASSERT_EQ(BarStyles(grid), WS_HSCROLL);
    ASSERT_EQ(grid->ClientHeight(), 146 - barHeight);

    // With 3-pixel lines they take 5 x 27 = 135 > 129 + 3: the last row is
    // cut off and only a vertical bar reaches it.
    grid->SetGridLineWidth(3);
    Pump();
    EXPECT_EQ(BarStyles(grid), WS_HSCROLL | WS_VSCROLL);
    EXPECT_EQ(BarOf(grid, SB_VERT).nMax, 127);
    EXPECT_EQ(grid->ClientWidth(), 196 - barWidth);
    ExpectAsMadeWith(grid, [](TStringGrid* made) { made->SetGridLineWidth(3); });

    ClickDownArrow(grid);
    EXPECT_EQ(grid->FirstVisibleRow(), 2);
    const RECT lastRow = grid->CellBounds(1, 4);
    EXPECT_GT(lastRow.bottom, lastRow.top);
    EXPECT_LE(lastRow.bottom, grid->ClientHeight()) << "the last row shows whole";
}

TEST_F(ScrollBarsFollowStateTest, RowsThatLoseTheirLinesAndFitLoseTheVerticalBar) {
    // Six rows of 21 with their lines take 6 x 22 = 132 > 129 + 1.
    const TSettings tall = [](TStringGrid* grid) {
        grid->SetRowCount(6);
        grid->SetDefaultRowHeight(21);
    };
    TStringGrid* grid = MakeGrid(0, tall);
    ASSERT_EQ(BarStyles(grid), WS_HSCROLL | WS_VSCROLL);

    // Without lines between the rows they take 6 x 21 = 126 and all show.
    const TGridOptions noRowLines =
        WithoutOption(WithoutOption(grid->Options(), goFixedHorzLine), goHorzLine);
    grid->SetOptions(noRowLines);
    Pump();
    EXPECT_EQ(BarStyles(grid), WS_HSCROLL);
    EXPECT_EQ(BarOf(grid, SB_VERT).nMax, 0);
    EXPECT_EQ(grid->ClientWidth(), 196);
    EXPECT_EQ(grid->VisibleRowCount(), 5) << "rows 1 to 5 below the fixed row";
    ExpectAsMadeWith(grid, [&](TStringGrid* made) {
        tall(made);
        made->SetOptions(noRowLines);
    });
}

TEST_F(ScrollBarsFollowStateTest, TheColumnsAreJudgedInTheWidthTheVerticalBarLeaves) {
    // Twenty rows need a vertical bar, leaving 179 pixels of width; three
    // columns of 70 take 213 and need a horizontal bar too.
    const TSettings wideColumns = [](TStringGrid* grid) {
        grid->SetColCount(3);
        grid->SetFixedCols(0);
        grid->SetRowCount(20);
        grid->SetDefaultColWidth(70);
    };
    TStringGrid* grid = MakeGrid(0, wideColumns);
    ASSERT_EQ(BarStyles(grid), WS_HSCROLL | WS_VSCROLL);

    // Columns of 60 take 3 x 61 = 183: they would fit in the 196 pixels
    // without the vertical bar, but not in the 179 it leaves.
    grid->SetDefaultColWidth(60);
    Pump();
    EXPECT_EQ(BarStyles(grid), WS_HSCROLL | WS_VSCROLL);
    EXPECT_EQ(BarOf(grid, SB_HORZ).nMax, 127);
    EXPECT_EQ(grid->ClientWidth(), 196 - barWidth);
    EXPECT_EQ(grid->VisibleColCount(), 2);
    ExpectAsMadeWith(grid, [&](TStringGrid* made) {
        wideColumns(made);
        made->SetDefaultColWidth(60);
    });

    ClickRightArrow(grid);
    EXPECT_EQ(grid->FirstVisibleCol(), 1);
    EXPECT_EQ(grid->CellBounds(2, 1).right, 61 + 60) << "the last column shows whole";
}

TEST_F(ScrollBarsFollowStateTest, AChangeThatHidesNoMoreLeavesTheLastColumnInView) {
    // Behind both bars the 179-pixel width shows the fixed column and one
    // more: column 19 is the last page.
    const TSettings large = [](TStringGrid* grid) {
        grid->SetColCount(20);
        grid->SetRowCount(20);
    };
    TStringGrid* grid = MakeGrid(0, large);
    grid->SetFirstVisibleCol(19);
    Pump();
    ASSERT_EQ(grid->FirstVisibleCol(), 19);
    ASSERT_EQ(BarOf(grid, SB_HORZ).nPos, 127);

    // A taller row changes nothing the columns need.
    grid->SetRowHeights(3, 30);
    Pump();
    EXPECT_EQ(grid->FirstVisibleCol(), 19);
    EXPECT_EQ(BarOf(grid, SB_HORZ).nPos, 127);
    EXPECT_EQ(grid->CellBounds(19, 1).right, 65 + 64) << "the last column shows whole";
    ExpectAsMadeWith(grid, [&](TStringGrid* made) {
        large(made);
        made->SetRowHeights(3, 30);
    });

    // A window two columns wider still pulls the last page back.
    grid->SetWidth(200 + 130);
    Pump();
    EXPECT_EQ(grid->FirstVisibleCol(), 17);
    EXPECT_EQ(grid->CellBounds(19, 1).right, 65 + 3 * 65 - 1);
}

TEST_F(ScrollBarsFollowStateTest, AOneColumnGridGivenMoreColumnsDropsItsPixelOffset) {
    const TSettings oneWideColumn = [](TStringGrid* grid) {
        grid->SetColCount(1);
        grid->SetDefaultColWidth(500);
    };
    TStringGrid* grid = MakeGrid(0, oneWideColumn);
    // A click in the trough right of the thumb scrolls a client width on.
    platform::ClickAt(grid->Handle(), {grid->ClientWidth() - GetSystemMetrics(SM_CXHSCROLL) - 4,
                                       grid->ClientHeight() + barHeight / 2});
    Pump();
    ASSERT_EQ(grid->ColOffset(), 196);

    // Columns scroll a whole column at a time: none starts left of the
    // window.
    grid->SetColCount(3);
    Pump();
    EXPECT_EQ(grid->ColOffset(), 0);
    EXPECT_EQ(grid->FirstVisibleCol(), 0);
    EXPECT_EQ(BarOf(grid, SB_HORZ).nPos, 0);
    ExpectAsMadeWith(grid, [&](TStringGrid* made) {
        oneWideColumn(made);
        made->SetColCount(3);
    });
}

// A bar that is not there pulls nothing back: a grid without bars that
// grows keeps its first visible row and shows the room below its last row,
// until the user scrolls and lands on the last page.
TEST_F(ScrollBarsFollowStateTest, AGridWithoutBarsKeepsItsFirstRowWhenItGrows) {
    TStringGrid* grid = MakeGrid(0, [](TStringGrid* made) {
        made->SetScrollBars(ssNone);
        made->SetRowCount(30);
    });
    grid->SetFirstVisibleRow(30);
    // 146 pixels show the fixed row and 4 more: 26 to 29.
    ASSERT_EQ(grid->FirstVisibleRow(), 26);
    grid->SetHeight(150 + 4 * 25);
    Pump();
    EXPECT_EQ(grid->FirstVisibleRow(), 26);
    EXPECT_EQ(grid->VisibleRowCount(), 4);

    const RECT cell = grid->CellBounds(1, 26);
    platform::ClickAt(grid->Handle(), {cell.left + 5, cell.top + 5});
    Pump();
    platform::TurnMouseWheel(WHEEL_DELTA);
    Pump();
    EXPECT_EQ(grid->FirstVisibleRow(), 22) << "the fixed row and rows 22 to 29";
    EXPECT_EQ(grid->VisibleRowCount(), 8);
}

} // namespace
} // namespace velbrin::testing

// The layout a grid keeps between changes: after every kind of change, in
// random order, it equals a layout computed afresh, and what the grid paints
// equals what a new grid given the same state paints.

#include "GridTestSupport.h"

#include "forms/TApplication.h"
#include "graphics/TFont.h"

#include <platform/UserTesting.h>

#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace velbrin::testing {
namespace {

using platform::WindowImage;

// Opens what a change can reach: moving rows and columns, the current cell.
class TChangingGrid : public TStringGrid {
public:
    using TCustomGrid::MoveColumn;
    using TCustomGrid::MoveCurrentCell;
    using TCustomGrid::MoveRow;
    using TCustomGrid::MoveTopLeft;
    using TCustomGrid::TAnchorMove;
    using TCustomGrid::TReveal;
    using TStringGrid::TStringGrid;
};

// Every field of one axis, and the extent of every cell it walks, in words,
// so that a difference shows where it lies.
std::string Described(const TAxisLayout& axis) {
    std::ostringstream text;
    text << "line " << axis.LineWidth << " fixed " << axis.FixedBoundary << " grid "
         << axis.GridBoundary << " extent " << axis.GridExtent << " last full "
         << axis.LastFullVisibleCell << " at " << axis.FullVisibleBoundary << " cells "
         << axis.FixedCellCount << "/" << axis.FirstGridCell << "/" << axis.GridCellCount
         << " extents";
    for (std::int32_t cell = 0; cell < axis.GridCellCount; ++cell) {
        text << ' ' << axis.Extent(cell);
    }
    return text.str();
}

class KeptLayoutTest : public GridTest {
protected:
    TChangingGrid* MakeGrid(int left) {
        auto* grid = new TChangingGrid(form);
        grid->SetParent(form);
        grid->SetBounds(left, 0, 200, 150);
        grid->Handle();
        return grid;
    }

    // One random change of something the layout is computed from.
    void ChangeSomething(TChangingGrid* grid) {
        const std::vector<std::function<void()>> changes = {
            [&] { grid->SetColCount(Pick(1, 14)); },
            [&] { grid->SetRowCount(Pick(1, 14)); },
            [&] { grid->SetFixedCols(Pick(0, grid->ColCount() - 1)); },
            [&] { grid->SetFixedRows(Pick(0, grid->RowCount() - 1)); },
            [&] { grid->SetDefaultColWidth(Pick(0, 50)); },
            [&] { grid->SetDefaultRowHeight(Pick(0, 30)); },
            [&] { grid->SetColWidths(Pick(0, grid->ColCount() - 1), Pick(0, 70)); },
            [&] { grid->SetRowHeights(Pick(0, grid->RowCount() - 1), Pick(0, 40)); },
            [&] { grid->SetGridLineWidth(Pick(0, 4)); },
            [&] { grid->SetOptions(RandomLineOptions()); },
            [&] { grid->SetFirstVisibleCol(Pick(0, grid->ColCount() - 1)); },
            [&] { grid->SetFirstVisibleRow(Pick(0, grid->RowCount() - 1)); },
            [&] { grid->SetBounds(grid->Left(), 0, Pick(20, 380), Pick(20, 280)); },
            [&] { grid->SetScrollBars(static_cast<TScrollStyle>(Pick(ssNone, ssBoth))); },
            [&] { grid->SetBorderStyle(Pick(0, 1) == 0 ? bsNone : bsSingle); },
            [&] { grid->MoveColumn(Pick(0, grid->ColCount() - 1), Pick(0, grid->ColCount() - 1)); },
            [&] { grid->MoveRow(Pick(0, grid->RowCount() - 1), Pick(0, grid->RowCount() - 1)); },
            [&] { grid->ScaleControl(Pick(2, 5), Pick(2, 5)); },
            [&] {
                grid->MoveCurrentCell(Pick(grid->FixedCols(), grid->ColCount() - 1),
                                      Pick(grid->FixedRows(), grid->RowCount() - 1),
                                      TChangingGrid::TAnchorMove::Follows,
                                      TChangingGrid::TReveal::Yes);
            },
        };
        changes[static_cast<std::size_t>(Pick(0, static_cast<int>(changes.size()) - 1))]();
        Pump();
    }

    TGridOptions RandomLineOptions() {
        TGridOptions options = GridOptionBit(goRangeSelect);
        for (const TGridOption option :
             {goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine}) {
            if (Pick(0, 1) == 1) {
                options = options | GridOptionBit(option);
            }
        }
        return options;
    }

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

    static void ExpectKeptEqualsFresh(TCustomGrid* grid, const std::string& step) {
        const TGridLayout& kept = grid->CalcLayout();
        const TGridLayout fresh = grid->CalcLayoutFor(grid->ClientWidth(), grid->ClientHeight());
        EXPECT_EQ(Described(kept.Horz), Described(fresh.Horz)) << step;
        EXPECT_EQ(Described(kept.Vert), Described(fresh.Vert)) << step;
    }

    // A new grid in the place of `grid`, given its state one setting at a time.
    TChangingGrid* CopyOf(TChangingGrid* grid) {
        TChangingGrid* copy = MakeGrid(grid->Left());
        copy->Font()->Assign(grid->Font());
        copy->SetScrollBars(grid->ScrollBars());
        copy->SetBorderStyle(grid->BorderStyle());
        copy->SetBounds(copy->Left(), 0, grid->Width(), grid->Height());
        copy->SetColCount(grid->ColCount());
        copy->SetRowCount(grid->RowCount());
        copy->SetFixedCols(grid->FixedCols());
        copy->SetFixedRows(grid->FixedRows());
        copy->SetDefaultColWidth(grid->DefaultColWidth());
        copy->SetDefaultRowHeight(grid->DefaultRowHeight());
        for (std::int32_t col = 0; grid->HasColWidths() && col < grid->ColCount(); ++col) {
            copy->SetColWidths(col, grid->ColWidths(col));
        }
        for (std::int32_t row = 0; grid->HasRowHeights() && row < grid->RowCount(); ++row) {
            copy->SetRowHeights(row, grid->RowHeights(row));
        }
        copy->SetGridLineWidth(grid->GridLineWidth());
        copy->SetOptions(grid->Options());
        for (std::int32_t row = 0; row < grid->RowCount(); ++row) {
            for (std::int32_t col = 0; col < grid->ColCount(); ++col) {
                copy->SetCells(col, row, grid->Cells(col, row));
            }
        }
        copy->MoveCurrentCell(grid->CurrentCell().X, grid->CurrentCell().Y,
                              TChangingGrid::TAnchorMove::Follows);
        // Where no bar pulls it back, the first visible cell may lie past
        // the last page, which setting it would not allow.
        copy->MoveTopLeft(grid->FirstVisibleCol(), grid->FirstVisibleRow());
        Pump();
        return copy;
    }

    // The scroll bars a user sees, in words: which are there, and each one's
    // range and thumb position.
    static std::string ScrollBarsOf(TWinControl* control) {
        const LONG style = GetWindowLongA(control->Handle(), GWL_STYLE);
        std::ostringstream text;
        for (const int bar : {SB_HORZ, SB_VERT}) {
            if ((style & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) == 0) {
                text << "none ";
                continue;
            }
            const SCROLLINFO info = BarOf(control, bar);
            text << info.nMin << ".." << info.nMax << " at " << info.nPos << ' ';
        }
        return text.str();
    }

    static WindowImage Repainted(TWinControl* control) {
        control->Invalidate();
        Pump();
        UpdateWindow(control->Handle());
        return platform::CaptureWindow(control->Handle(), platform::WindowArea::Client);
    }

    std::mt19937 random;
};

TEST_F(KeptLayoutTest, AfterEveryKindOfChangeTheKeptLayoutEqualsAFreshOne) {
    for (const unsigned seed : {1u, 2u, 3u, 4u, 5u}) {
        random.seed(seed);
        TChangingGrid* grid = MakeGrid(0);
        for (int step = 0; step < 150; ++step) {
            // Asked before the change, so that there is a layout to keep.
            ExpectKeptEqualsFresh(grid, "seed " + std::to_string(seed) + " before step " +
                                            std::to_string(step));
            ChangeSomething(grid);
        }
        ExpectKeptEqualsFresh(grid, "seed " + std::to_string(seed) + " at the end");
        delete grid;
    }
}

TEST_F(KeptLayoutTest, AGridPaintsWhatANewGridInItsStatePaints) {
    // Seeds 4, 9, 16 and 44 found grids whose scroll bars had not followed
    // a change of their lines.
    for (const unsigned seed : {4u, 9u, 11u, 12u, 13u, 14u, 15u, 16u, 44u}) {
        random.seed(seed);
        TChangingGrid* grid = MakeGrid(0);
        // It starts without bars; the changes show them and take them away.
        grid->SetScrollBars(ssNone);
        for (std::int32_t row = 0; row < 14; ++row) {
            for (std::int32_t col = 0; col < 14; ++col) {
                grid->SetCells(col, row, std::to_string(col) + "x" + std::to_string(row));
            }
        }
        for (int change = 0; change < 40; ++change) {
            ChangeSomething(grid);
            // Cell writes find their cells through the kept layout.
            grid->SetCells(Pick(0, grid->ColCount() - 1), Pick(0, grid->RowCount() - 1), "w");
            if (change % 8 == 7) {
                const WindowImage painted = Repainted(grid);
                grid->SetVisible(false);
                TChangingGrid* copy = CopyOf(grid);
                const WindowImage fresh = Repainted(copy);
                EXPECT_EQ(ScrollBarsOf(grid), ScrollBarsOf(copy))
                    << "seed " << seed << " after change " << change;
                ASSERT_EQ(painted.width, fresh.width) << "seed " << seed;
                ASSERT_EQ(painted.height, fresh.height) << "seed " << seed;
                EXPECT_TRUE(painted.pixels == fresh.pixels)
                    << "seed " << seed << " after change " << change;
                delete copy;
                grid->SetVisible(true);
            }
        }
        delete grid;
    }
}

} // namespace
} // namespace velbrin::testing

// The string grid's cells as the chart and a user of the library meet them:
// sparse storage, the repainting of each written cell, and the row and
// column views.

#include "GridTestSupport.h"

#include "controls/TControlCanvas.h"
#include "core/TStringList.h"
#include "grids/TSparseList.h"
#include "grids/TStringSparseList.h"
#include "runtime/Exceptions.h"

#include <platform/Testing.h>
#include <platform/UserTesting.h>

#include <string>
#include <utility>
#include <vector>

namespace velbrin::testing {
namespace {

// Exposes the moves that dragging a column or row will make.
class TMovingGrid : public TStringGrid {
public:
    using TStringGrid::ColumnMoved;
    using TStringGrid::RowMoved;
    using TStringGrid::TStringGrid;
};

class TMoveLog : public TObject {
public:
    void Moved(TObject*, std::int32_t fromIndex, std::int32_t toIndex) {
        moves.emplace_back(fromIndex, toIndex);
    }
    std::vector<std::pair<std::int32_t, std::int32_t>> moves;
};

TStringGrid* MakeGrid(TComponent* owner, std::int32_t cols, std::int32_t rows) {
    auto* grid = new TStringGrid(owner);
    grid->SetColCount(cols);
    grid->SetRowCount(rows);
    return grid;
}

bool SameRect(const RECT& rect, LONG left, LONG top, LONG right, LONG bottom) {
    return rect.left == left && rect.top == top && rect.right == right && rect.bottom == bottom;
}

// A grid whose canvas handler empties every cell while a cell is being
// drawn, as a handler of the canvas's change events may.
class TEmptyingGrid : public TStringGrid {
public:
    using TStringGrid::TStringGrid;

    void PaintCell(std::int32_t col, std::int32_t row, const RECT& rect,
                   TGridDrawState state) override {
        drawing_ = true;
        TStringGrid::PaintCell(col, row, rect, state);
        drawing_ = false;
    }

    void EmptyWhileDrawing(TObject*) {
        for (std::int32_t row = 0; drawing_ && row < RowCount(); ++row) {
            for (std::int32_t col = 0; col < ColCount(); ++col) {
                if (!Cells(col, row).empty()) {
                    SetCells(col, row, "");
                }
            }
        }
    }

private:
    bool drawing_ = false;
};

TEST_F(GridTest, ACellEmptiedByACanvasHandlerWhileDrawnIsDrawnEmpty) {
    auto* grid = new TEmptyingGrid(form);
    grid->SetParent(form);
    grid->SetBounds(0, 24, 401, 257);
    // No fixed cells, whose lines are black as ink.
    grid->SetFixedCols(0);
    grid->SetFixedRows(0);
    for (std::int32_t row = 0; row < grid->RowCount(); ++row) {
        for (std::int32_t col = 0; col < grid->ColCount(); ++col) {
            // Longer than a string keeps in place: emptying frees it.
            grid->SetCells(col, row, std::string(24, 'W'));
        }
    }
    Validate(grid->Handle());
    grid->Canvas()->OnChanging = TNotifyEvent::Of<&TEmptyingGrid::EmptyWhileDrawing>(grid);
    grid->Invalidate();
    UpdateWindow(grid->Handle());
    grid->Canvas()->OnChanging = {};
    const platform::WindowImage image =
        platform::CaptureWindow(grid->Handle(), platform::WindowArea::Client);
    const COLORREF ink = RGB(0, 0, 0);
    int inked = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            inked += image.At(x, y) == ink ? 1 : 0;
        }
    }
    EXPECT_EQ(inked, 0) << "a text was drawn after its cell was emptied";
    EXPECT_EQ(grid->Cells(3, 3), "");
}

TEST_F(GridTest, ANewGridReadsEmptyCellsAndReadingAllocatesNothing) {
    TStringGrid* grid = MakeGrid(form, 12, 12);
    for (std::int32_t row = 0; row < 12; ++row) {
        for (std::int32_t col = 0; col < 12; ++col) {
            EXPECT_EQ(grid->Cells(col, row), "");
            EXPECT_EQ(grid->Objects(col, row), nullptr);
        }
    }
    EXPECT_EQ(grid->Cells(5000, 90000), "");
    EXPECT_EQ(grid->RowStore().Count(), 0);
    EXPECT_EQ(grid->RowStore().Array().SectionCount(), 0);
    EXPECT_EQ(grid->RowList(3), nullptr);
}

TEST_F(GridTest, WritingEmptyTextFreesTheCellButKeepsItsRowList) {
    TStringGrid* grid = MakeGrid(form, 12, 12);
    grid->SetCells(0, 6, "C");
    EXPECT_EQ(grid->Cells(0, 6), "C");
    EXPECT_EQ(grid->RowStore().Count(), 7);
    ASSERT_NE(grid->RowList(6), nullptr);
    EXPECT_EQ(grid->RowList(6)->GetCount(), 1);
    grid->SetCells(0, 6, "");
    EXPECT_EQ(grid->Cells(0, 6), "");
    ASSERT_NE(grid->RowList(6), nullptr);
    EXPECT_EQ(grid->RowList(6)->GetCount(), 0);
    EXPECT_EQ(grid->RowList(6)->Items().Array().SectionCount(), 1);

    grid->SetCells(3, 2, "a");
    grid->SetCells(7, 2, "b");
    EXPECT_EQ(grid->RowList(2)->GetCount(), 8);
    grid->SetCells(7, 2, "");
    EXPECT_EQ(grid->RowList(2)->GetCount(), 4);
    EXPECT_EQ(grid->Cells(3, 2), "a");
}

TEST_F(GridTest, CellsOutsideTheCountsKeepTheirTexts) {
    TStringGrid* grid = MakeChartGrid();
    HWND window = grid->Handle();
    Validate(window);
    grid->SetCells(20, 20, "hidden");
    EXPECT_EQ(grid->Cells(20, 20), "hidden");
    EXPECT_TRUE(SameRect(UpdateBox(window), 0, 0, 0, 0)) << "not on screen";
    EXPECT_EQ(grid->Rows(20)->Count(), 12);

    grid->SetColCount(3);
    grid->SetColCount(21);
    grid->SetRowCount(21);
    EXPECT_EQ(grid->Cells(20, 20), "hidden");
    EXPECT_EQ(grid->Rows(20)->Get(20), "hidden");
    EXPECT_EQ(grid->Cols(20)->Get(20), "hidden");
}

TEST_F(GridTest, ARefusedObjectLeavesTheCellEmptyAndItsRowListMade) {
    TStringGrid* grid = MakeGrid(form, 12, 12);
    TObject thing;
    EXPECT_THROW(grid->SetObjects(1, 1, &thing), EStringSparseListError);
    EXPECT_EQ(grid->Objects(1, 1), nullptr);
    ASSERT_NE(grid->RowList(1), nullptr);
    EXPECT_EQ(grid->RowList(1)->GetCount(), 0);
    EXPECT_NO_THROW(grid->SetObjects(1, 1, nullptr));
    grid->SetCells(1, 1, "with");
    grid->SetObjects(1, 1, &thing);
    EXPECT_EQ(grid->Cols(1)->Objects(1), &thing);
}

TEST_F(GridTest, NegativePositionsRaiseTheListIndexError) {
    TStringGrid* grid = MakeGrid(form, 12, 12);
    EXPECT_THROW(grid->Cells(0, -1), EListError);
    EXPECT_THROW(grid->SetCells(0, -1, "x"), EListError);
    EXPECT_EQ(grid->Cells(-1, 0), "") << "a row without cells answers before the column is seen";
    grid->SetCells(0, 0, "a");
    EXPECT_THROW(grid->Cells(-1, 0), EListError);
    EXPECT_THROW(grid->SetCells(-1, 3, "x"), EListError);
    ASSERT_NE(grid->RowList(3), nullptr);
    EXPECT_EQ(grid->RowList(3)->GetCount(), 0);
    EXPECT_THROW(grid->Rows(-1), EListError);
    EXPECT_THROW(grid->Cols(-2), EListError);
    EXPECT_THROW(grid->SetCells(2000000, 0, "far"), EListError) << "beyond the row's reach";
    EXPECT_THROW(grid->Cols(2000000), EListError);
}

TEST_F(GridTest, EachWriteMarksItsCellWithItsLinesForRepainting) {
    TStringGrid* grid = MakeChartGrid();
    HWND window = grid->Handle();
    Validate(window);
    grid->SetCells(3, 4, "E");
    EXPECT_TRUE(SameRect(UpdateBox(window), 99, 84, 132, 105));
    EXPECT_TRUE(NeedsPaint(window, 131, 104)) << "the lines right of and below the cell";
    EXPECT_FALSE(NeedsPaint(window, 98, 90));
    Validate(window);
    grid->SetCells(3, 4, "E");
    EXPECT_TRUE(SameRect(UpdateBox(window), 99, 84, 132, 105)) << "an equal text repaints too";
    Validate(window);
    grid->SetCells(11, 11, "");
    EXPECT_TRUE(SameRect(UpdateBox(window), 363, 231, 396, 252));
}

TEST_F(GridTest, ABatchOfWritesThroughAViewRepaintsTheGridOnceAtTheEnd) {
    TStringGrid* grid = MakeChartGrid();
    HWND window = grid->Handle();
    Validate(window);
    TStrings* row = grid->Rows(2);
    row->BeginUpdate();
    row->BeginUpdate();
    grid->SetCells(1, 1, "a");
    row->Put(5, "b");
    row->EndUpdate();
    EXPECT_TRUE(SameRect(UpdateBox(window), 0, 0, 0, 0)) << "still in the batch";
    row->EndUpdate();
    EXPECT_TRUE(SameRect(UpdateBox(window), 0, 0, 397, 253));
    EXPECT_EQ(grid->Cells(5, 2), "b");

    Validate(window);
    row->BeginUpdate();
    row->EndUpdate();
    EXPECT_TRUE(SameRect(UpdateBox(window), 0, 0, 0, 0)) << "a batch without writes";
}

TEST_F(GridTest, ARowViewReadsAndWritesItsRowAndFillsItsFirstEmptyItem) {
    TStringGrid* grid = MakeGrid(form, 12, 12);
    TStrings* row = grid->Rows(3);
    EXPECT_EQ(row->Count(), 12);
    EXPECT_EQ(grid->Rows(3), row) << "one view per row";
    grid->SetCells(0, 3, "a");
    grid->SetCells(1, 3, "b");
    EXPECT_EQ(row->Get(1), "b");
    EXPECT_EQ(row->Add("c"), 2);
    EXPECT_EQ(grid->Cells(2, 3), "c");
    row->Put(4, "e");
    EXPECT_EQ(grid->Cells(4, 3), "e");
    EXPECT_EQ(row->Add("d"), 3);
    for (std::int32_t i = 5; i < 12; ++i) {
        EXPECT_EQ(row->Add("x"), i);
    }
    EXPECT_EQ(row->Add("more"), -1) << "a view never grows";
    EXPECT_EQ(row->Count(), 12);
    EXPECT_EQ(grid->Cells(12, 3), "");
    EXPECT_EQ(row->IndexOf("E"), 4);
    EXPECT_EQ(row->Text(), "a\r\nb\r\nc\r\nd\r\ne\r\nx\r\nx\r\nx\r\nx\r\nx\r\nx\r\nx\r\n");

    grid->SetColCount(4);
    EXPECT_EQ(row->Count(), 4) << "the view follows the grid";
    EXPECT_EQ(grid->Cols(0)->Count(), 12);
    EXPECT_THROW(row->Insert(0, "no"), EListError);
    EXPECT_THROW(row->Delete(0), EListError);
}

TEST_F(GridTest, AssigningAListFillsTheItemsTheViewHasRoomFor) {
    TStringGrid* grid = MakeGrid(form, 12, 12);
    TStringList twenty;
    for (int i = 0; i < 20; ++i) {
        twenty.Add("n" + std::to_string(i));
    }
    twenty.PutObject(3, &twenty);
    grid->SetRows(0, &twenty);
    EXPECT_EQ(grid->Cells(0, 0), "n0");
    EXPECT_EQ(grid->Cells(11, 0), "n11");
    EXPECT_EQ(grid->Cells(12, 0), "");
    EXPECT_EQ(grid->Objects(3, 0), &twenty);

    TStringList three;
    three.Add("x");
    three.Add("y");
    three.Add("z");
    grid->Rows(0)->Assign(&three);
    EXPECT_EQ(grid->Cells(0, 0), "x");
    EXPECT_EQ(grid->Cells(2, 0), "z");
    EXPECT_EQ(grid->Cells(3, 0), "n3");
    EXPECT_EQ(grid->Objects(3, 0), &twenty);
    EXPECT_EQ(grid->Cells(11, 0), "n11");

    grid->SetCols(5, &three);
    EXPECT_EQ(grid->Cells(5, 0), "x");
    EXPECT_EQ(grid->Cells(5, 2), "z");
    EXPECT_EQ(grid->Cells(5, 3), "");
    EXPECT_THROW(grid->Rows(1)->Assign(grid), EConvertError);
}

TEST_F(GridTest, ClearingAViewEmptiesOnlyItsRowOrColumn) {
    TStringGrid* grid = MakeGrid(form, 12, 12);
    TObject thing;
    for (std::int32_t row = 0; row < 12; ++row) {
        grid->SetCells(1, row, "left");
        grid->SetCells(2, row, "mid");
    }
    grid->SetObjects(2, 4, &thing);
    grid->Cols(2)->Clear();
    for (std::int32_t row = 0; row < 12; ++row) {
        EXPECT_EQ(grid->Cells(2, row), "") << row;
        EXPECT_EQ(grid->Cells(1, row), "left") << row;
    }
    EXPECT_EQ(grid->Objects(2, 4), nullptr);

    grid->SetCells(30, 5, "beyond");
    grid->SetObjects(1, 5, &thing);
    grid->Rows(5)->Clear();
    EXPECT_EQ(grid->Cells(1, 5), "");
    EXPECT_EQ(grid->Objects(1, 5), nullptr);
    EXPECT_EQ(grid->Cells(30, 5), "") << "a row's hidden cells go too";
    EXPECT_EQ(grid->RowList(5)->GetCount(), 0);
    EXPECT_EQ(grid->Cells(1, 6), "left");
    grid->Rows(9)->Clear();
    EXPECT_EQ(grid->Cells(1, 9), "");
}

TEST_F(GridTest, MovingAColumnOrRowMovesItsCellsAndTheViewsStayInPlace) {
    auto* grid = new TMovingGrid(form);
    grid->SetColCount(6);
    grid->SetRowCount(4);
    TMoveLog log;
    grid->OnColumnMoved = TMovedEvent::Of<&TMoveLog::Moved>(&log);
    grid->OnRowMoved = TMovedEvent::Of<&TMoveLog::Moved>(&log);
    for (std::int32_t row = 0; row < 4; ++row) {
        for (std::int32_t col = 0; col < 6; ++col) {
            grid->SetCells(col, row, std::to_string(col) + "," + std::to_string(row));
        }
    }
    TStrings* column1 = grid->Cols(1);
    grid->ColumnMoved(1, 4);
    EXPECT_EQ(grid->Cells(4, 0), "1,0");
    EXPECT_EQ(grid->Cells(1, 3), "2,3");
    EXPECT_EQ(grid->Cells(3, 2), "4,2");
    EXPECT_EQ(column1->Get(0), "2,0") << "the view shows what is at its column now";

    grid->RowMoved(3, 0);
    EXPECT_EQ(grid->Cells(0, 0), "0,3");
    EXPECT_EQ(grid->Cells(0, 1), "0,0");
    EXPECT_EQ(grid->Rows(0)->Get(4), "1,3");
    EXPECT_EQ(log.moves, (std::vector<std::pair<std::int32_t, std::int32_t>>{{1, 4}, {3, 0}}));
}

// The chart writes its labels while the form is read, before the grid has a
// window: writing must not make one.
TEST_F(GridTest, WritingIntoAGridWithoutAWindowMakesNone) {
    auto* unshown = new TForm(form);
    TStringGrid* grid = MakeGrid(unshown, 12, 12);
    grid->SetParent(unshown);
    ASSERT_FALSE(grid->HasWindow());
    for (std::int32_t row = 0; row < 12; ++row) {
        for (std::int32_t col = 0; col < 12; ++col) {
            grid->SetCells(col, row, std::to_string(col * row));
        }
    }
    grid->Rows(4)->Clear();
    EXPECT_FALSE(grid->HasWindow());
    EXPECT_EQ(grid->Cells(7, 9), "63");
    EXPECT_EQ(grid->Cells(7, 4), "");
}

// Cells are 32 x 20 pixels with a one-pixel line after each: cell (3, 2)
// and its lines cover x 99..131 and y 42..62.
TEST_F(GridTest, AWriteIntoAGridWaitingForItsWholeRepaintLeavesTheWholeAreaWaiting) {
    TStringGrid* grid = MakeChartGrid();
    HWND window = grid->Handle();
    Validate(window);
    grid->Invalidate();
    grid->SetCells(3, 2, "C4");
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_TRUE(SameRect(UpdateBox(window), 0, 0, client.right, client.bottom));
    grid->Update();
    EXPECT_TRUE(SameRect(UpdateBox(window), 0, 0, 0, 0));
    grid->SetCells(3, 2, "D4");
    EXPECT_TRUE(SameRect(UpdateBox(window), 99, 42, 132, 63)) << "painted since: the cell alone";
}

TEST_F(GridTest, AWriteAfterTheWholeAreaWasValidatedWithoutAPaintStillWaitsForItsCell) {
    TStringGrid* grid = MakeChartGrid();
    HWND window = grid->Handle();
    Validate(window);
    grid->Invalidate();
    ValidateRect(window, nullptr);
    grid->SetCells(3, 2, "C4");
    EXPECT_TRUE(SameRect(UpdateBox(window), 99, 42, 132, 63));
}

TEST_F(GridTest, AWrittenCellInAHoleValidatedOutOfTheWaitingAreaIsRepaintedToo) {
    TStringGrid* grid = MakeChartGrid();
    HWND window = grid->Handle();
    Validate(window);
    grid->Invalidate();
    const RECT hole{99, 42, 132, 63};
    ValidateRect(window, &hole);
    EXPECT_FALSE(NeedsPaint(window, 115, 52));
    grid->SetCells(3, 2, "C4");
    EXPECT_TRUE(NeedsPaint(window, 115, 52));
    EXPECT_TRUE(NeedsPaint(window, 10, 10)) << "the rest still waits";
}

// A first grid leaves the shared fonts and brushes made; the second shows
// what its writes alone leave.
TEST_F(GridTest, WritesIntoAWaitingGridMakeOneRegionThatGoesWithTheGrid) {
    TStringGrid* first = MakeChartGrid();
    Validate(first->Handle());
    delete first;
    const std::size_t before = platform::CountLiveHandles().gdiObjects;
    TStringGrid* grid = MakeChartGrid();
    Validate(grid->Handle());
    const std::size_t made = platform::CountLiveHandles().gdiObjects;
    grid->Invalidate();
    for (int col = 0; col < 12; ++col) {
        grid->SetCells(col, 5, "x");
    }
    EXPECT_LE(platform::CountLiveHandles().gdiObjects, made + 1);
    delete grid;
    EXPECT_EQ(platform::CountLiveHandles().gdiObjects, before);
}

} // namespace
} // namespace velbrin::testing

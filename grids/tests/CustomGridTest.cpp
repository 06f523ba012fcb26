// The grid's model as a form meets it: defaults, setters and their errors,
// the window it makes, what it computes for the chart's grid, what a change
// marks for repainting, and how its widths and heights are stored.

#include "GridTestSupport.h"

#include "core/TFiler.h"
#include "core/TMemoryStream.h"
#include "core/tests/ReaderTestSupport.h"
#include "forms/Forms.h"
#include "forms/TApplication.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velbrin::testing {
namespace {

// Exposes what interaction will drive.
class TProbeGrid : public TStringGrid {
public:
    using TCustomGrid::MoveCurrentCell;
    using TCustomGrid::TAnchorMove;
    using TStringGrid::TStringGrid;
};

// Answers OnSelectCell with `allow`, counting the questions.
class TSelectGate : public TObject {
public:
    void Select(TObject*, std::int32_t, std::int32_t, bool& canSelect) {
        ++asked;
        canSelect = allow;
    }
    bool allow = true;
    int asked = 0;
};

void ExpectGridError(const std::function<void()>& action, unsigned message) {
    try {
        action();
        ADD_FAILURE() << "no exception";
    } catch (const EInvalidGridOperation& error) {
        EXPECT_EQ(error.Message(), ResourceMessage(message));
    }
}

bool SameRect(const RECT& rect, LONG left, LONG top, LONG right, LONG bottom) {
    return rect.left == left && rect.top == top && rect.right == right && rect.bottom == bottom;
}

TEST_F(GridTest, ANewGridIsFiveByFiveCellsWithOneFixedRowAndColumn) {
    auto* grid = new TStringGrid(form);
    EXPECT_EQ(grid->Width(), 320);
    EXPECT_EQ(grid->Height(), 120);
    EXPECT_EQ(grid->ColCount(), 5);
    EXPECT_EQ(grid->RowCount(), 5);
    EXPECT_EQ(grid->FixedCols(), 1);
    EXPECT_EQ(grid->FixedRows(), 1);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{1, 1}));
    EXPECT_EQ(grid->Anchor(), (TCellCoord{1, 1}));
    EXPECT_EQ(grid->FirstVisibleCol(), 1);
    EXPECT_EQ(grid->FirstVisibleRow(), 1);
    EXPECT_EQ(grid->DefaultColWidth(), 64);
    EXPECT_EQ(grid->DefaultRowHeight(), 24);
    EXPECT_EQ(grid->GridLineWidth(), 1);
    EXPECT_EQ(grid->Options(), 31);
    EXPECT_EQ(grid->FixedColor(), clBtnFace);
    EXPECT_EQ(grid->ScrollBars(), ssBoth);
    EXPECT_EQ(grid->BorderStyle(), bsSingle);
    EXPECT_TRUE(grid->DefaultDrawing());
    EXPECT_EQ(grid->Color(), clWindow);
    EXPECT_FALSE(grid->ParentColor());
    EXPECT_TRUE(grid->TabStop());
    EXPECT_EQ(grid->ControlStyle(), csCaptureMouse | csOpaque | csDoubleClicks);
    EXPECT_FALSE(grid->HasColWidths());
    EXPECT_FALSE(grid->HasRowHeights());
    EXPECT_EQ(grid->ColWidths(3), 64);
    EXPECT_FALSE(grid->HasWindow());
}

TEST_F(GridTest, TheWindowIsOfTheObjectsClassWithTabStopScrollBarsAndASunkenEdge) {
    auto* grid = new TStringGrid(form);
    grid->SetParent(form);
    ASSERT_TRUE(grid->Ctl3D()) << "taken from the form";
    TCreateParams params;
    grid->PrepareWindowSpec(params);
    EXPECT_STREQ(params.WinClassName, "TStringGrid");
    const DWORD wanted = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL;
    EXPECT_EQ(params.Style & wanted, wanted);
    EXPECT_EQ(params.Style & WS_BORDER, 0u);
    EXPECT_EQ(params.ExStyle, static_cast<DWORD>(WS_EX_CLIENTEDGE));
    EXPECT_EQ(params.WindowClass.style, static_cast<UINT>(CS_DBLCLKS));

    grid->SetScrollBars(ssHorizontal);
    grid->SetCtl3D(false);
    grid->PrepareWindowSpec(params);
    EXPECT_EQ(params.Style & (WS_VSCROLL | WS_HSCROLL), static_cast<DWORD>(WS_HSCROLL));
    EXPECT_EQ(params.Style & WS_BORDER, static_cast<DWORD>(WS_BORDER));
    EXPECT_EQ(params.ExStyle, 0u);

    grid->SetBorderStyle(bsNone);
    grid->SetScrollBars(ssNone);
    grid->PrepareWindowSpec(params);
    EXPECT_EQ(params.Style & (WS_VSCROLL | WS_HSCROLL | WS_BORDER), 0u);

    HWND window = grid->Handle();
    char className[64]{};
    GetClassNameA(window, className, sizeof className);
    EXPECT_STREQ(className, "TStringGrid");

    auto* drawGrid = new TDrawGrid(form);
    drawGrid->PrepareWindowSpec(params);
    EXPECT_STREQ(params.WinClassName, "TDrawGrid");
}

TEST_F(GridTest, TheChartGridShowsAll144CellsInItsSunkenClientArea) {
    TStringGrid* grid = MakeChartGrid();
    EXPECT_EQ(grid->ClientWidth(), 397);
    EXPECT_EQ(grid->ClientHeight(), 253);
    EXPECT_NE(GetWindowLongA(grid->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(GetWindowLongA(grid->Handle(), GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), 0);
    EXPECT_EQ(grid->VisibleColCount(), 12);
    EXPECT_EQ(grid->VisibleRowCount(), 12);
    EXPECT_TRUE(SameRect(grid->CellBounds(0, 0), 0, 0, 32, 20));
    EXPECT_TRUE(SameRect(grid->CellBounds(5, 7), 165, 147, 197, 167));
    EXPECT_TRUE(SameRect(grid->CellBounds(11, 11), 363, 231, 395, 251));
    EXPECT_EQ(grid->CellAtPoint(395, 251), (TCellCoord{11, 11}));
    EXPECT_EQ(grid->CellAtPoint(396, 100).X, -1);
    const TGridLayout layout = grid->CalcLayout();
    EXPECT_EQ(layout.Horz.GridBoundary, 396);
    EXPECT_EQ(layout.Vert.GridBoundary, 252);

    // Without the 3-D look the border is one plain pixel and the cells stay.
    grid->SetCtl3D(false);
    Pump();
    ASSERT_TRUE(grid->HasWindow());
    EXPECT_EQ(GetWindowLongA(grid->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_NE(GetWindowLongA(grid->Handle(), GWL_STYLE) & WS_BORDER, 0);
    EXPECT_EQ(grid->ClientWidth(), 399);
    EXPECT_EQ(grid->ClientHeight(), 255);
    EXPECT_EQ(grid->VisibleColCount(), 12);
    EXPECT_TRUE(SameRect(grid->CellBounds(11, 11), 363, 231, 395, 251));
}

TEST_F(GridTest, ScalingTakesTheCellsAlongWithTheBounds) {
    TStringGrid* grid = MakeChartGrid();
    grid->SetColWidths(3, 50);
    grid->SetRowHeights(0, 30);
    grid->ScaleControl(3, 2);
    EXPECT_EQ(grid->Width(), 602) << "right edge 401 * 3 / 2, rounded";
    EXPECT_EQ(grid->DefaultColWidth(), 48);
    EXPECT_EQ(grid->DefaultRowHeight(), 30);
    EXPECT_EQ(grid->ColWidths(3), 75) << "a width set by hand scales too";
    EXPECT_EQ(grid->ColWidths(4), 48);
    EXPECT_EQ(grid->RowHeights(0), 45);
    EXPECT_EQ(grid->RowHeights(1), 30);
    // Where the cells lie now: three of 48, the one of 75, each with its line.
    EXPECT_TRUE(SameRect(grid->CellBounds(4, 1), 3 * 49 + 76, 46, 3 * 49 + 76 + 48, 76));

    // Scaling by one leaves every size as it is.
    grid->ScaleControl(7, 7);
    EXPECT_EQ(grid->DefaultColWidth(), 48);
    EXPECT_EQ(grid->ColWidths(3), 75);
}

// The chart's grid scaled for 100 pixels per inch (text 13 pixels high
// instead of 12): its twelve columns, which filled it, still fit it whole.
TEST_F(GridTest, CellsThatFilledTheGridStillFitItAfterAnUnevenScale) {
    TStringGrid* grid = MakeChartGrid();
    grid->ScaleControl(13, 12);
    Pump();
    // The client area: 2 pixels of border on each side, as before.
    EXPECT_EQ(grid->ClientWidth(), 434 - 4) << "right edge 401 * 13 / 12, rounded";
    int right = 0;
    for (int col = 0; col < grid->ColCount(); ++col) {
        right += grid->ColWidths(col) + grid->GridLineWidth();
    }
    EXPECT_LE(right, grid->ClientWidth()) << "the last column is cut off";
    EXPECT_EQ(grid->VisibleColCount(), 12);
    EXPECT_GE(grid->DefaultColWidth(), 32 * 13 / 12) << "the cells grow with the text";
}

TEST_F(GridTest, FixedCountsMustStayBelowTheCountsAndAboveZero) {
    auto* grid = new TStringGrid(form);
    ExpectGridError([&] { grid->SetFixedCols(5); }, SFixedColTooBig);
    ExpectGridError([&] { grid->SetFixedCols(-1); }, SIndexOutOfRange);
    ExpectGridError([&] { grid->SetFixedRows(5); }, SFixedRowTooBig);
    ExpectGridError([&] { grid->SetFixedRows(-1); }, SIndexOutOfRange);
    EXPECT_EQ(grid->FixedCols(), 1);
    EXPECT_EQ(grid->FixedRows(), 1);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{1, 1}));
}

TEST_F(GridTest, SmallCountsBecomeOneAndPullTheFixedCountsDown) {
    auto* grid = new TStringGrid(form);
    grid->SetColCount(0);
    EXPECT_EQ(grid->ColCount(), 1);
    EXPECT_EQ(grid->FixedCols(), 0);
    grid->SetRowCount(-3);
    EXPECT_EQ(grid->RowCount(), 1);
    EXPECT_EQ(grid->FixedRows(), 0);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{0, 0}));

    grid->SetColCount(6);
    grid->SetFixedCols(4);
    grid->SetColCount(3);
    EXPECT_EQ(grid->FixedCols(), 2);
    EXPECT_EQ(grid->CurrentCell().X, 2);
}

// The chart's grid is read property by property; each setter works on what
// the ones before it left.
TEST_F(GridTest, ReadingTheChartsPropertiesInOrderEndsWithTheCurrentCellAtTheOrigin) {
    auto* grid = new TStringGrid(form);
    grid->SetColCount(12);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{1, 1}));
    grid->SetFixedCols(0);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{0, 1}));
    EXPECT_EQ(grid->Anchor(), (TCellCoord{0, 1}));
    EXPECT_EQ(grid->FirstVisibleCol(), 0);
    grid->SetRowCount(12);
    grid->SetFixedRows(0);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{0, 0}));
    EXPECT_EQ(grid->Anchor(), (TCellCoord{0, 0}));
    EXPECT_EQ(grid->FirstVisibleRow(), 0);
}

TEST_F(GridTest, WidthsSetOneByOneFollowTheCountUntilANewDefault) {
    auto* grid = new TStringGrid(form);
    grid->SetColWidths(2, 50);
    EXPECT_TRUE(grid->HasColWidths());
    grid->SetColCount(8);
    EXPECT_EQ(grid->ColWidths(2), 50);
    for (std::int32_t col : {0, 1, 3, 4, 5, 6, 7}) {
        EXPECT_EQ(grid->ColWidths(col), 64) << col;
    }
    grid->SetColCount(2);
    grid->SetColCount(5);
    EXPECT_EQ(grid->ColWidths(2), 64) << "a column dropped by the count loses its width";
    grid->SetColWidths(1, 10);
    grid->SetDefaultColWidth(40);
    EXPECT_FALSE(grid->HasColWidths());
    EXPECT_EQ(grid->ColWidths(1), 40);

    grid->SetRowHeights(4, 7);
    grid->SetRowCount(9);
    EXPECT_EQ(grid->RowHeights(4), 7);
    EXPECT_EQ(grid->RowHeights(8), 24);
    grid->SetDefaultRowHeight(30);
    EXPECT_FALSE(grid->HasRowHeights());
    EXPECT_EQ(grid->RowHeights(4), 30);
}

TEST_F(GridTest, AWidthOrHeightOutsideTheGridIsRefused) {
    auto* grid = new TStringGrid(form);
    ExpectGridError([&] { grid->SetColWidths(5, 10); }, SIndexOutOfRange);
    ExpectGridError([&] { grid->SetColWidths(-1, 10); }, SIndexOutOfRange);
    ExpectGridError([&] { grid->SetRowHeights(5, 10); }, SIndexOutOfRange);
    for (std::int32_t col = 0; col < 5; ++col) {
        EXPECT_EQ(grid->ColWidths(col), 64);
    }
    EXPECT_EQ(grid->ColWidths(-1), 64);
    EXPECT_EQ(grid->ColWidths(99), 64);
}

TEST_F(GridTest, AFailedCountChangeBringsTheOldCountsBack) {
    auto* grid = new TStringGrid(form);
    grid->SetColWidths(0, 10);
    ExpectGridError([&] { grid->SetColCount(0x7FFFFFE); }, SGridTooLarge);
    EXPECT_EQ(grid->ColCount(), 5);
    EXPECT_EQ(grid->ColWidths(0), 10);
    EXPECT_EQ(grid->ColWidths(4), 64);
    grid->SetColCount(6);
    EXPECT_EQ(grid->ColCount(), 6) << "the grid works on";
}

TEST_F(GridTest, WithoutLineOptionsNoAxisHasLines) {
    auto* grid = new TStringGrid(form);
    grid->SetGridLineWidth(5);
    grid->SetOptions(GridOptionBit(goRangeSelect));
    TGridLayout layout = grid->CalcLayoutFor(400, 300);
    EXPECT_EQ(layout.Horz.LineWidth, 0);
    EXPECT_EQ(layout.Vert.LineWidth, 0);
    EXPECT_EQ(layout.Horz.FixedBoundary, 64);

    grid->SetOptions(GridOptionBit(goVertLine));
    layout = grid->CalcLayoutFor(400, 300);
    EXPECT_EQ(layout.Horz.LineWidth, 5);
    EXPECT_EQ(layout.Vert.LineWidth, 0);
    grid->SetOptions(GridOptionBit(goFixedHorzLine));
    layout = grid->CalcLayoutFor(400, 300);
    EXPECT_EQ(layout.Horz.LineWidth, 0);
    EXPECT_EQ(layout.Vert.LineWidth, 5);
}

TEST_F(GridTest, OptionsWithRowSelectDropTheAlwaysShownEditorAndSelectTheRow) {
    auto* grid = new TStringGrid(form);
    grid->SetOptions(kDefaultGridOptions | GridOptionBit(goRowSelect) |
                     GridOptionBit(goAlwaysShowEditor));
    EXPECT_TRUE(HasOption(grid->Options(), goRowSelect));
    EXPECT_FALSE(HasOption(grid->Options(), goAlwaysShowEditor));
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{1, 1}));
    EXPECT_EQ(grid->Anchor(), (TCellCoord{4, 1}));
    grid->SetColCount(7);
    EXPECT_EQ(grid->Anchor(), (TCellCoord{6, 1}));
    grid->SetFixedCols(2);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{2, 1}));
    EXPECT_EQ(grid->Anchor(), (TCellCoord{6, 1}));

    EXPECT_THROW(grid->SetOptions(static_cast<TGridOptions>(0x8000)), EInvalidGridOperation);
    EXPECT_TRUE(HasOption(grid->Options(), goRowSelect));
}

TEST_F(GridTest, TheCurrentCellMovesInsideTheGridWhenCellSelectionAllowsIt) {
    auto* grid = new TProbeGrid(form);
    grid->SetFixedCols(0);
    grid->SetFixedRows(0);
    grid->MoveCurrentCell(4, 4, TProbeGrid::TAnchorMove::Follows);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{4, 4}));
    EXPECT_EQ(grid->Anchor(), (TCellCoord{4, 4}));
    ExpectGridError([&] { grid->MoveCurrentCell(5, 0, TProbeGrid::TAnchorMove::Follows); },
                    SIndexOutOfRange);
    ExpectGridError([&] { grid->MoveCurrentCell(0, -1, TProbeGrid::TAnchorMove::Follows); },
                    SIndexOutOfRange);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{4, 4}));

    grid->MoveCurrentCell(1, 2, TProbeGrid::TAnchorMove::Stays);
    EXPECT_EQ(grid->Selection(), (TCellRange{1, 2, 4, 4})) << "a range from the anchor";

    TSelectGate gate;
    grid->OnSelectCell = TSelectCellEvent::Of<&TSelectGate::Select>(&gate);
    gate.allow = false;
    grid->MoveCurrentCell(0, 0, TProbeGrid::TAnchorMove::Follows);
    EXPECT_EQ(gate.asked, 1);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{1, 2}));
}

TEST_F(GridTest, ShrinkingTheGridPullsTheCurrentCellAndAnchorInEvenWhenSelectionRefuses) {
    auto* grid = new TProbeGrid(form);
    grid->SetFixedCols(0);
    grid->SetFixedRows(0);
    grid->MoveCurrentCell(1, 1, TProbeGrid::TAnchorMove::Follows);
    grid->MoveCurrentCell(4, 4, TProbeGrid::TAnchorMove::Stays);
    TSelectGate gate;
    gate.allow = false;
    grid->OnSelectCell = TSelectCellEvent::Of<&TSelectGate::Select>(&gate);

    grid->SetRowCount(3);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{4, 2}));
    EXPECT_EQ(grid->Anchor(), (TCellCoord{4, 2}));
    grid->SetColCount(2);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{1, 2}));
    EXPECT_EQ(grid->Anchor(), (TCellCoord{1, 2}));
}

TEST_F(GridTest, ACountChangeRepaintsFromTheLastCellThatStaysFullyVisible) {
    TStringGrid* grid = MakeChartGrid();
    HWND window = grid->Handle();
    Validate(window);
    grid->SetColCount(10);
    // Columns from 9 on, and the last row, which both counts showed whole.
    EXPECT_FALSE(NeedsPaint(window, 10, 10));
    EXPECT_FALSE(NeedsPaint(window, 296, 200));
    EXPECT_TRUE(NeedsPaint(window, 297, 10));
    EXPECT_TRUE(NeedsPaint(window, 396, 10));
    EXPECT_TRUE(NeedsPaint(window, 10, 231));
    EXPECT_FALSE(NeedsPaint(window, 10, 230));

    Validate(window);
    grid->SetRowCount(12);
    EXPECT_TRUE(SameRect(UpdateBox(window), 0, 0, 0, 0)) << "an unchanged count repaints nothing";
    grid->SetRowCount(14);
    EXPECT_TRUE(NeedsPaint(window, 10, 231));
    EXPECT_FALSE(NeedsPaint(window, 10, 230));
}

TEST_F(GridTest, ChangedLooksRepaintTheGridAndEqualOnesDoNot) {
    TStringGrid* grid = MakeChartGrid();
    HWND window = grid->Handle();
    Validate(window);
    grid->SetFixedColor(clBtnFace);
    grid->SetGridLineWidth(1);
    EXPECT_TRUE(SameRect(UpdateBox(window), 0, 0, 0, 0));
    grid->SetGridLineWidth(2);
    EXPECT_TRUE(NeedsPaint(window, 200, 200));
    Validate(window);
    grid->SetFixedColor(clRed);
    EXPECT_TRUE(NeedsPaint(window, 5, 5));
    Validate(window);
    grid->SetColWidths(3, 32);
    EXPECT_TRUE(SameRect(UpdateBox(window), 0, 0, 0, 0)) << "the width it had";
    grid->SetColWidths(3, 40);
    EXPECT_TRUE(NeedsPaint(window, 5, 5));
}

TEST_F(GridTest, ScrollBarsAndBorderRebuildTheWindow) {
    TStringGrid* grid = MakeChartGrid();
    // Rows to scroll through, or the bar would hide.
    grid->SetRowCount(30);
    grid->SetScrollBars(ssVertical);
    Pump();
    ASSERT_TRUE(grid->HasWindow());
    const LONG style = GetWindowLongA(grid->Handle(), GWL_STYLE);
    EXPECT_NE(style & WS_VSCROLL, 0);
    EXPECT_EQ(style & WS_HSCROLL, 0);
    grid->SetBorderStyle(bsNone);
    Pump();
    EXPECT_EQ(GetWindowLongA(grid->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_THROW(grid->SetBorderStyle(bsDialog), EInvalidGridOperation);
    EXPECT_THROW(grid->SetScrollBars(static_cast<TScrollStyle>(4)), EInvalidGridOperation);
    EXPECT_EQ(grid->BorderStyle(), bsNone);
    EXPECT_EQ(grid->ScrollBars(), ssVertical);
}

TEST_F(GridTest, InvalidatingACellMarksItWithItsLinesAndNothingOffScreen) {
    TStringGrid* grid = MakeChartGrid();
    HWND window = grid->Handle();
    Validate(window);
    grid->InvalidateCell(20, 20);
    grid->InvalidateCell(12, 0);
    EXPECT_TRUE(SameRect(UpdateBox(window), 0, 0, 0, 0));
    grid->InvalidateCell(3, 4);
    EXPECT_TRUE(SameRect(UpdateBox(window), 99, 84, 132, 105));
}

// Records what a grid declares to a filer.
class TRecordingFiler : public TFiler {
public:
    explicit TRecordingFiler(TStream& stream) : TFiler(stream, 16) {}
    void DeclareStoredValue(std::string_view name, const ValueReader&, const ValueWriter&,
                            bool hasData) override {
        declared[std::string(name)] = hasData;
    }
    void DeclareStoredBytes(std::string_view, const BytesProc&, const BytesProc&, bool) override {}
    void FlushBuffer() override {}
    std::map<std::string, bool> declared;
};

TEST_F(GridTest, WidthsAndHeightsAreStoredWhenTheyDifferFromTheAncestors) {
    TMemoryStream stream;
    auto* grid = new TStringGrid(form);
    auto* ancestor = new TStringGrid(form);
    TRecordingFiler filer(stream);
    grid->DeclareStoredData(&filer);
    EXPECT_FALSE(filer.declared.at("ColWidths"));
    EXPECT_FALSE(filer.declared.at("RowHeights"));

    grid->SetColWidths(1, 50);
    grid->DeclareStoredData(&filer);
    EXPECT_TRUE(filer.declared.at("ColWidths"));
    EXPECT_FALSE(filer.declared.at("RowHeights"));

    filer.SetAncestor(ancestor);
    grid->DeclareStoredData(&filer);
    EXPECT_TRUE(filer.declared.at("ColWidths")) << "the ancestor has none";
    ancestor->SetColWidths(1, 50);
    grid->DeclareStoredData(&filer);
    EXPECT_FALSE(filer.declared.at("ColWidths")) << "equal to the ancestor's";
    ancestor->SetColCount(6);
    grid->DeclareStoredData(&filer);
    EXPECT_TRUE(filer.declared.at("ColWidths")) << "one entry more";
    grid->SetRowHeights(0, 24);
    grid->DeclareStoredData(&filer);
    EXPECT_TRUE(filer.declared.at("RowHeights")) << "an array of defaults still differs from none";
}

std::string WriteRoot(TComponent* root) {
    TMemoryStream stream;
    {
        TWriter writer(stream);
        writer.WriteRootComponent(root);
        writer.FlushBuffer();
    }
    return std::string(static_cast<const char*>(stream.Memory()),
                       static_cast<std::size_t>(stream.Size()));
}

TEST_F(GridTest, WidthsAndHeightsComeBackFromAStoredGrid) {
    auto written = std::make_unique<TStringGrid>(nullptr);
    written->SetColCount(4);
    written->SetColWidths(1, 50);
    written->SetColWidths(3, 7);
    written->SetRowCount(3);
    written->SetRowHeights(2, 33);
    const std::string bytes = WriteRoot(written.get());

    auto read = std::make_unique<TStringGrid>(nullptr);
    ReadResource(bytes, read.get());
    EXPECT_EQ(read->ColCount(), 4);
    EXPECT_EQ(read->RowCount(), 3);
    EXPECT_EQ(read->ColWidths(0), 64);
    EXPECT_EQ(read->ColWidths(1), 50);
    EXPECT_EQ(read->ColWidths(3), 7);
    EXPECT_EQ(read->RowHeights(2), 33);
    EXPECT_EQ(read->RowHeights(1), 24);

    auto plain = std::make_unique<TStringGrid>(nullptr);
    EXPECT_EQ(WriteRoot(plain.get()).find("ColWidths"), std::string::npos);
}

// A grid whose resource holds `widths` after ColCount 3.
std::string GridWithWidths(const std::function<void(TWriter&)>& widths) {
    return MakeResource([&](TWriter& writer) {
        WriteRecord(writer, "TStringGrid", "Grid", [&](TWriter& w) {
            w.WritePropertyName("ColCount");
            w.WriteInteger(3);
            w.WritePropertyName("ColWidths");
            w.WriteListBegin();
            widths(w);
            w.WriteListEnd();
        });
    });
}

TEST_F(GridTest, AWidthListOfAnotherLengthOrKindIsAReadError) {
    const std::vector<std::function<void(TWriter&)>> faults{
        [](TWriter& w) {
            w.WriteInteger(10);
            w.WriteInteger(20);
        },
        [](TWriter& w) {
            for (std::int32_t width : {10, 20, 30, 40}) {
                w.WriteInteger(width);
            }
        },
        [](TWriter& w) {
            w.WriteInteger(10);
            w.WriteString("wide");
            w.WriteInteger(30);
        }};
    for (std::size_t i = 0; i < faults.size(); ++i) {
        auto grid = std::make_unique<TStringGrid>(nullptr);
        try {
            ReadResource(GridWithWidths(faults[i]), grid.get());
            ADD_FAILURE() << "fault " << i << " was read";
        } catch (const EReadError& error) {
            EXPECT_NE(error.Message().find(ResourceMessage(SInvalidPropertyValue)),
                      std::string::npos)
                << i;
        }
    }
    auto grid = std::make_unique<TStringGrid>(nullptr);
    ReadResource(GridWithWidths([](TWriter& w) {
                     for (std::int32_t width : {10, 20, 30}) {
                         w.WriteInteger(width);
                     }
                 }),
                 grid.get());
    EXPECT_EQ(grid->ColWidths(2), 30);
}

// A form of the tests' own that holds a grid the way the chart's window does.
class TGridTestForm : public TForm {
    VELBRIN_CLASS(TGridTestForm, TForm)

public:
    explicit TGridTestForm(TComponent* owner) : TForm(owner) {}
    TStringGrid* StringGrid1 = nullptr;
};

VELBRIN_DEFINE_CLASS_TABLES(TGridTestForm, TForm, "GridsTests") {
    cls.Field<&TGridTestForm::StringGrid1>("StringGrid1");
}

// The chart window's form with its grid, in the order its resource stores them.
std::string ChartFormResource() {
    return MakeResource([](TWriter& writer) {
        WriteRecord(
            writer, "TGridTestForm", "Form1",
            [](TWriter& w) {
                for (auto [name, value] : {std::pair{"Left", 200}, std::pair{"Top", 107},
                                           std::pair{"Width", 410}, std::pair{"Height", 309}}) {
                    w.WritePropertyName(name);
                    w.WriteInteger(value);
                }
            },
            [](TWriter& w) {
                WriteRecord(w, "TStringGrid", "StringGrid1", [](TWriter& p) {
                    auto integer = [&p](const char* name, std::int32_t value) {
                        p.WritePropertyName(name);
                        p.WriteInteger(value);
                    };
                    integer("Left", 0);
                    integer("Top", 24);
                    integer("Width", 401);
                    integer("Height", 257);
                    p.WritePropertyName("TabStop");
                    p.WriteBoolean(false);
                    integer("ColCount", 12);
                    integer("DefaultColWidth", 32);
                    integer("DefaultRowHeight", 20);
                    integer("FixedCols", 0);
                    integer("RowCount", 12);
                    integer("FixedRows", 0);
                    p.WritePropertyName("ScrollBars");
                    p.WriteIdent("ssNone");
                    integer("TabOrder", 1);
                });
            });
    });
}

TEST_F(GridTest, AGridReadFromTheChartsFormShowsTheChartsGeometry) {
    auto* chart = new TGridTestForm(Application);
    ReadResource(ChartFormResource(), chart);
    TStringGrid* grid = chart->StringGrid1;
    ASSERT_NE(grid, nullptr);
    EXPECT_STREQ(grid->ClassName(), "TStringGrid");
    EXPECT_EQ(grid->Parent(), chart);
    EXPECT_EQ(grid->ColCount(), 12);
    EXPECT_EQ(grid->RowCount(), 12);
    EXPECT_EQ(grid->FixedCols(), 0);
    EXPECT_EQ(grid->FixedRows(), 0);
    EXPECT_EQ(grid->ScrollBars(), ssNone);
    EXPECT_FALSE(grid->TabStop());
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{0, 0}));
    EXPECT_EQ(grid->Anchor(), (TCellCoord{0, 0}));

    chart->Show();
    Pump();
    ASSERT_TRUE(grid->HasWindow());
    EXPECT_EQ(grid->ClientWidth(), 397);
    EXPECT_EQ(grid->ClientHeight(), 253);
    EXPECT_EQ(grid->VisibleColCount(), 12);
    EXPECT_EQ(grid->VisibleRowCount(), 12);
    EXPECT_TRUE(SameRect(grid->CellBounds(4, 9), 132, 189, 164, 209));
}

} // namespace
} // namespace velbrin::testing

// What a grid shows on screen, read back pixel by pixel: the chart's grid
// with its lines, cells, texts and the strips past its last cell, the looks
// of selected, focused and fixed cells, the line options and widths, and
// how little a change repaints.

#include "GridTestSupport.h"

#include "controls/TControlCanvas.h"
#include "forms/Forms.h"
#include "forms/TApplication.h"
#include "graphics/Graphics.h"
#include "graphics/TFont.h"
#include "grids/GridLines.h"
#include "grids/TDrawGrid.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <platform/Testing.h>
#include <platform/UserTesting.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace velbrin::testing {
namespace {

using platform::WindowImage;
using TPixelOracle = std::function<COLORREF(int x, int y)>;
using TCellOracle = std::function<COLORREF(int col, int row)>;

COLORREF SysColor(int index) {
    return static_cast<COLORREF>(GetSysColor(index));
}

constexpr COLORREF kSilver = RGB(0xC0, 0xC0, 0xC0);
constexpr COLORREF kGray = RGB(0x80, 0x80, 0x80);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// The chart grid's pixel (x, y): a line after each 32-pixel column and
// 20-pixel row, the column and row past the last cell in `strip`, and the
// cells in the colours `cell` gives.
COLORREF ChartPixel(int x, int y, COLORREF line, COLORREF strip, const TCellOracle& cell) {
    if (x == 396 || y == 252) {
        return strip;
    }
    if (x % 33 == 32 || y % 21 == 20) {
        return line;
    }
    return cell(x / 33, y / 21);
}

// Cell (0, 0) highlighted, every other one in the window colour.
COLORREF OriginHighlighted(int col, int row) {
    return col == 0 && row == 0 ? SysColor(COLOR_HIGHLIGHT) : SysColor(COLOR_WINDOW);
}

COLORREF PlainChartPixel(int x, int y) {
    return ChartPixel(x, y, kSilver, SysColor(COLOR_WINDOW), OriginHighlighted);
}

// Every pixel of `image` against the oracle; the first few that differ are
// reported.
void ExpectPixels(const WindowImage& image, int width, int height, const TPixelOracle& expected) {
    ASSERT_EQ(image.width, width);
    ASSERT_EQ(image.height, height);
    int wrong = 0;
    std::ostringstream first;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF want = expected(x, y);
            if (image.At(x, y) != want && ++wrong <= 5) {
                first << " (" << x << ", " << y << ") is " << std::hex << image.At(x, y) << " not "
                      << want << std::dec;
            }
        }
    }
    EXPECT_EQ(wrong, 0) << first.str();
}

// The smallest rectangle around the pixels of `area` that are not
// `background`; empty when there are none.
RECT InkBox(const WindowImage& image, const RECT& area, COLORREF background) {
    RECT box{area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (image.At(x, y) != background) {
                box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                       std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
            }
        }
    }
    return box.left < box.right ? box : RECT{};
}

bool AnyPixel(const WindowImage& image, const RECT& area, COLORREF color) {
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (image.At(x, y) == color) {
                return true;
            }
        }
    }
    return false;
}

bool AllPixels(const WindowImage& image, const RECT& area, COLORREF color) {
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (image.At(x, y) != color) {
                return false;
            }
        }
    }
    return true;
}

RECT ChartCell(int col, int row) {
    return {33 * col, 21 * row, 33 * col + 32, 21 * row + 20};
}

// A dotted focus frame leaves some pixels of its edge in `color` and
// changes the others.
bool HasDottedEdge(const WindowImage& image, const RECT& edge, COLORREF color) {
    return AnyPixel(image, edge, color) && !AllPixels(image, edge, color);
}

struct TDrawnCell {
    RECT rect;
    TGridDrawState state;
};

// Records every OnDrawCell call; with a fill colour it paints the cell.
class TCellRecorder : public TObject {
public:
    void Draw(TObject* sender, std::int32_t col, std::int32_t row, const RECT& rect,
              TGridDrawState state) {
        calls.emplace_back(col, row);
        drawn[{col, row}] = {rect, state};
        if (fill >= 0) {
            TCanvas* canvas = static_cast<TCustomControl*>(sender)->Canvas();
            canvas->Brush()->SetColor(fill);
            canvas->FillRect(rect);
        }
    }
    void Attach(TDrawGrid* grid) {
        grid->OnDrawCell = TDrawCellEvent::Of<&TCellRecorder::Draw>(this);
    }

    std::vector<std::pair<std::int32_t, std::int32_t>> calls;
    std::map<std::pair<std::int32_t, std::int32_t>, TDrawnCell> drawn;
    TColor fill = -1;
};

TAxisLayout Axis(std::int32_t lineWidth, std::int32_t count, std::int32_t extent,
                 std::int32_t clientExtent) {
    return CalcAxisLayout(
        {lineWidth, 0, 0, count, clientExtent, [extent](std::int32_t) { return extent; }});
}

TEST(GridLines, EachLineIsCentredHalfALineWidthPastItsCell) {
    const TAxisLayout chart = Axis(1, 12, 32, 397);
    std::vector<std::int32_t> expected;
    for (std::int32_t col = 0; col < 12; ++col) {
        expected.push_back(33 * col + 32);
    }
    EXPECT_EQ(GridLinePositions(chart, 0, 0, chart.GridBoundary, 15), expected);

    const TAxisLayout wide = Axis(3, 12, 32, 397);
    const std::vector<std::int32_t> wideLines =
        GridLinePositions(wide, 0, 0, wide.GridBoundary, 15);
    ASSERT_EQ(wideLines.size(), 11u);
    EXPECT_EQ(wideLines.front(), 33);
    EXPECT_EQ(wideLines.back(), 33 + 35 * 10);

    // From a later cell and a later leading edge, as in a scrolled region.
    EXPECT_EQ(GridLinePositions(chart, 5, 100, 200, 15),
              (std::vector<std::int32_t>{132, 165, 198}));
    EXPECT_TRUE(GridLinePositions(Axis(0, 12, 32, 397), 0, 0, 396, 15).empty());
}

TEST(GridLines, TheLimitEndsAWalkThatExtentsDoNotAdvance) {
    const TAxisLayout shrinking = Axis(1, 12, -1, 397);
    EXPECT_EQ(GridLinePositions(shrinking, 0, 0, 396, 4).size(), 4u);
    EXPECT_EQ(GridLinePositions(Axis(1, 12, 32, 397), 0, 0, 396, 3).size(), 3u);
}

class GridPaintingTest : public GridTest {
protected:
    // Another control on the form, made its active control, as the combo
    // box is in the chart's window.
    TDrawGrid* FocusAnotherControl() {
        if (other == nullptr) {
            other = new TDrawGrid(form);
            other->SetParent(form);
            other->SetBounds(300, 0, 60, 20);
        }
        other->SetFocus();
        Pump();
        EXPECT_EQ(form->ActiveControl(), other);
        return other;
    }

    // The grid's client area once everything waiting is painted.
    static WindowImage Painted(TWinControl* control) {
        Pump();
        UpdateWindow(control->Handle());
        return platform::CaptureWindow(control->Handle(), platform::WindowArea::Client);
    }

    // The whole grid painted afresh.
    static WindowImage Repainted(TWinControl* control) {
        control->Invalidate();
        return Painted(control);
    }

    TDrawGrid* other = nullptr;
};

TEST_F(GridPaintingTest, TheChartGridShowsSilverLinesWindowCellsAndItsSelectedOriginHighlighted) {
    TStringGrid* grid = MakeChartGrid();
    FocusAnotherControl();
    ExpectPixels(Repainted(grid), 397, 253, PlainChartPixel);
}

TEST_F(GridPaintingTest, TextsStartTwoPixelsIntoTheirCellsAndStopAtTheirRightEdge) {
    TStringGrid* grid = MakeChartGrid();
    FocusAnotherControl();
    grid->SetCells(0, 0, "Key");
    grid->SetCells(4, 6, "C");
    grid->SetCells(1, 2, "Blow");
    grid->SetCells(2, 3, "Overblow");
    grid->SetCells(11, 11, "F+");
    const WindowImage image = Painted(grid);
    if (const char* path = std::getenv("VELBRIN_GRID_PNG")) {
        EXPECT_TRUE(platform::SaveWindowPng(form->Handle(), platform::WindowArea::WithFrame, path));
    }

    // Nothing outside the written cells changed: no text crosses a line.
    const std::vector<std::pair<int, int>> written = {{0, 0}, {4, 6}, {1, 2}, {2, 3}, {11, 11}};
    ExpectPixels(image, 397, 253, [&](int x, int y) {
        for (const auto& [col, row] : written) {
            const RECT cell = ChartCell(col, row);
            if (x >= cell.left && x < cell.right && y >= cell.top && y < cell.bottom) {
                return image.At(x, y);
            }
        }
        return PlainChartPixel(x, y);
    });

    for (const auto& [col, row] : written) {
        const RECT cell = ChartCell(col, row);
        const RECT ink = InkBox(image, cell, OriginHighlighted(col, row));
        SCOPED_TRACE(::testing::Message() << "cell " << col << ", " << row);
        EXPECT_GE(ink.left, cell.left + 2);
        EXPECT_LE(ink.left, cell.left + 4);
        EXPECT_GE(ink.top, cell.top + 2);
        EXPECT_LE(ink.top, cell.top + 5);
    }
    // The long text runs into the cell's last pixels and is cut there.
    EXPECT_GE(InkBox(image, ChartCell(2, 3), SysColor(COLOR_WINDOW)).right, 33 * 2 + 30);
    EXPECT_TRUE(AnyPixel(image, ChartCell(1, 2), SysColor(COLOR_WINDOWTEXT)));
    // The selected cell's text is in the highlight text colour.
    EXPECT_TRUE(AnyPixel(image, ChartCell(0, 0), SysColor(COLOR_HIGHLIGHTTEXT)));
    EXPECT_FALSE(AnyPixel(image, ChartCell(0, 0), SysColor(COLOR_WINDOWTEXT)));

    // A larger font repaints the texts larger.
    const RECT smallInk = InkBox(image, ChartCell(4, 6), SysColor(COLOR_WINDOW));
    grid->Font()->SetHeight(-18);
    const WindowImage larger = Painted(grid);
    const RECT largeInk = InkBox(larger, ChartCell(4, 6), SysColor(COLOR_WINDOW));
    EXPECT_GT(largeInk.bottom - largeInk.top, smallInk.bottom - smallInk.top);
}

TEST_F(GridPaintingTest, TheFocusedCurrentCellKeepsItsBackgroundUnderAFocusFrame) {
    TStringGrid* grid = MakeChartGrid();
    FocusAnotherControl();
    ASSERT_TRUE(AllPixels(Painted(grid), ChartCell(0, 0), SysColor(COLOR_HIGHLIGHT)));

    grid->SetFocus();
    ASSERT_EQ(form->ActiveControl(), grid);
    WindowImage image = Painted(grid);
    const COLORREF window = SysColor(COLOR_WINDOW);
    EXPECT_TRUE(AllPixels(image, {1, 1, 31, 19}, window));
    EXPECT_TRUE(HasDottedEdge(image, {0, 0, 32, 1}, window));
    EXPECT_TRUE(HasDottedEdge(image, {0, 19, 32, 20}, window));
    EXPECT_TRUE(HasDottedEdge(image, {0, 0, 1, 20}, window));
    EXPECT_TRUE(HasDottedEdge(image, {31, 0, 32, 20}, window));
    ExpectPixels(image, 397, 253, [&](int x, int y) {
        return x < 32 && y < 20 ? image.At(x, y) : PlainChartPixel(x, y);
    });

    // Losing the focus repaints the selection highlighted again.
    FocusAnotherControl();
    EXPECT_TRUE(AllPixels(Painted(grid), ChartCell(0, 0), SysColor(COLOR_HIGHLIGHT)));

    // With goDrawFocusSelected the focused cell is highlighted under its frame.
    grid->SetOptions(grid->Options() | GridOptionBit(goDrawFocusSelected));
    grid->SetFocus();
    image = Painted(grid);
    const COLORREF highlight = SysColor(COLOR_HIGHLIGHT);
    EXPECT_TRUE(AllPixels(image, {1, 1, 31, 19}, highlight));
    EXPECT_TRUE(HasDottedEdge(image, {0, 0, 32, 1}, highlight));
}

TEST_F(GridPaintingTest, ASelectedRowIsOneHighlightedBandFramedOnlyWhileTheGridHasTheFocus) {
    TStringGrid* grid = MakeChartGrid();
    grid->SetOptions(grid->Options() | GridOptionBit(goRowSelect));
    FocusAnotherControl();
    const TCellOracle firstRow = [](int, int row) {
        return row == 0 ? SysColor(COLOR_HIGHLIGHT) : SysColor(COLOR_WINDOW);
    };
    ExpectPixels(Painted(grid), 397, 253, [&](int x, int y) {
        return ChartPixel(x, y, kSilver, SysColor(COLOR_WINDOW), firstRow);
    });

    grid->SetFocus();
    const WindowImage image = Painted(grid);
    const COLORREF highlight = SysColor(COLOR_HIGHLIGHT);
    // One frame round the row's cells, none round the current cell.
    EXPECT_TRUE(HasDottedEdge(image, {0, 0, 395, 1}, highlight));
    EXPECT_TRUE(HasDottedEdge(image, {0, 0, 1, 20}, highlight));
    EXPECT_TRUE(HasDottedEdge(image, {394, 0, 395, 20}, highlight));
    EXPECT_TRUE(AllPixels(image, {31, 1, 32, 19}, highlight));
    EXPECT_FALSE(AnyPixel(image, {1, 1, 394, 19}, SysColor(COLOR_WINDOW)));
}

TEST_F(GridPaintingTest, WithoutLinesTheCellsTouch) {
    TStringGrid* grid = MakeChartGrid();
    FocusAnotherControl();
    const TPixelOracle touching = [](int x, int y) {
        if (x >= 12 * 32 || y >= 12 * 20) {
            return SysColor(COLOR_WINDOW);
        }
        return OriginHighlighted(x / 32, y / 20);
    };
    grid->SetGridLineWidth(0);
    ExpectPixels(Painted(grid), 397, 253, touching);

    grid->SetGridLineWidth(1);
    grid->SetOptions(GridOptionBit(goRangeSelect));
    ExpectPixels(Painted(grid), 397, 253, touching);
}

TEST_F(GridPaintingTest, AHiddenLineKindIsDrawnInTheGridColourUnderTheShownOne) {
    TStringGrid* grid = MakeChartGrid();
    FocusAnotherControl();
    const COLORREF window = SysColor(COLOR_WINDOW);
    grid->SetOptions(WithoutOption(kDefaultGridOptions, goVertLine));
    ExpectPixels(Painted(grid), 397, 253, [&](int x, int y) {
        if (x != 396 && y != 252 && y % 21 != 20 && x % 33 == 32) {
            return window;
        }
        return PlainChartPixel(x, y);
    });

    grid->SetOptions(WithoutOption(kDefaultGridOptions, goHorzLine));
    ExpectPixels(Painted(grid), 397, 253, [&](int x, int y) {
        if (x != 396 && y != 252 && x % 33 != 32 && y % 21 == 20) {
            return window;
        }
        return PlainChartPixel(x, y);
    });
}

TEST_F(GridPaintingTest, ASilverGridDrawsItsLinesInGray) {
    TStringGrid* grid = MakeChartGrid();
    FocusAnotherControl();
    grid->SetColor(clSilver);
    ExpectPixels(Painted(grid), 397, 253, [](int x, int y) {
        return ChartPixel(x, y, kGray, kSilver, [](int col, int row) {
            return col == 0 && row == 0 ? SysColor(COLOR_HIGHLIGHT) : kSilver;
        });
    });
}

TEST_F(GridPaintingTest, ThreePixelLinesLieRightAfterEachCellAndLeakNoPens) {
    TStringGrid* grid = MakeChartGrid();
    FocusAnotherControl();
    grid->SetGridLineWidth(3);
    // Columns take 35 pixels and rows 23; the twelfth column only partly
    // fits and the twelfth row not at all, so neither leaves a strip.
    const TPixelOracle wide = [](int x, int y) {
        if (x % 35 >= 32 || y % 23 >= 20) {
            return kSilver;
        }
        return OriginHighlighted(x / 35, y / 23);
    };
    ExpectPixels(Painted(grid), 397, 253, wide);

    const std::size_t objects = platform::CountLiveHandles().gdiObjects;
    for (int i = 0; i < 3; ++i) {
        Repainted(grid);
    }
    EXPECT_EQ(platform::CountLiveHandles().gdiObjects, objects);
    ExpectPixels(Painted(grid), 397, 253, wide);
}

TEST_F(GridPaintingTest, APartlyVisibleLastColumnReachesTheClientEdge) {
    TStringGrid* grid = MakeChartGrid();
    grid->SetDefaultColWidth(40);
    grid->SetOptions(grid->Options() | GridOptionBit(goRowSelect));
    FocusAnotherControl();
    // Nine columns of 41 pixels fit; the tenth is cut at x = 397.
    ExpectPixels(Painted(grid), 397, 253, [](int x, int y) {
        if (y == 252) {
            return SysColor(COLOR_WINDOW);
        }
        if (x % 41 == 40 || y % 21 == 20) {
            return kSilver;
        }
        return y < 20 ? SysColor(COLOR_HIGHLIGHT) : SysColor(COLOR_WINDOW);
    });
}

TEST_F(GridPaintingTest, FixedCellsAreRaisedUnderTheThreeDLookAndFlatWithout) {
    auto* grid = new TStringGrid(form);
    grid->SetParent(form);
    grid->SetScrollBars(ssNone);
    grid->SetBounds(0, 24, 340, 140);
    FocusAnotherControl();
    ASSERT_TRUE(grid->Ctl3D());
    // The fixed row's second cell spans 65..128 by 0..23; black lines follow.
    const RECT cell{65, 0, 129, 24};
    WindowImage image = Painted(grid);
    EXPECT_TRUE(AllPixels(image, {66, 0, 128, 1}, SysColor(COLOR_BTNHIGHLIGHT)));
    EXPECT_TRUE(AllPixels(image, {65, 1, 66, 23}, SysColor(COLOR_BTNHIGHLIGHT)));
    EXPECT_TRUE(AllPixels(image, {128, 1, 129, 23}, SysColor(COLOR_BTNSHADOW)));
    EXPECT_TRUE(AllPixels(image, {66, 23, 128, 24}, SysColor(COLOR_BTNSHADOW)));
    EXPECT_TRUE(AllPixels(image, {66, 1, 128, 23}, SysColor(COLOR_BTNFACE)));
    EXPECT_TRUE(AllPixels(image, {129, 0, 130, 24}, kBlack));
    EXPECT_TRUE(AllPixels(image, {0, 24, 129, 25}, kBlack));
    EXPECT_TRUE(AllPixels(image, {64, 0, 65, 24}, kBlack));

    grid->SetCtl3D(false);
    image = Painted(grid);
    EXPECT_TRUE(AllPixels(image, cell, SysColor(COLOR_BTNFACE)));
    EXPECT_TRUE(AllPixels(image, {129, 0, 130, 25}, kBlack));
    EXPECT_TRUE(AllPixels(image, {0, 24, 130, 25}, kBlack));
}

TEST_F(GridPaintingTest, EveryCellIsDrawnOnceWithItsRectangleAndState) {
    auto* grid = new TDrawGrid(form);
    grid->SetParent(form);
    grid->SetScrollBars(ssNone);
    grid->SetBounds(0, 24, 340, 140);
    TCellRecorder recorder;
    recorder.Attach(grid);
    FocusAnotherControl();
    recorder.calls.clear();
    Repainted(grid);
    ASSERT_EQ(recorder.calls.size(), 25u);
    ASSERT_EQ(recorder.drawn.size(), 25u);
    for (const auto& [cell, drawn] : recorder.drawn) {
        const auto [col, row] = cell;
        const RECT bounds = grid->CellBounds(col, row);
        EXPECT_EQ(drawn.rect.left, bounds.left);
        EXPECT_EQ(drawn.rect.top, bounds.top);
        EXPECT_EQ(drawn.rect.right, bounds.right);
        EXPECT_EQ(drawn.rect.bottom, bounds.bottom);
        TGridDrawState state = col == 0 || row == 0 ? gdsFixed : 0;
        if (col == 1 && row == 1) {
            state |= gdsSelected;
        }
        EXPECT_EQ(drawn.state, state) << col << ", " << row;
    }

    grid->SetFocus();
    recorder.drawn.clear();
    Repainted(grid);
    EXPECT_EQ((recorder.drawn[{1, 1}].state), gdsSelected | gdsFocused);
    EXPECT_EQ((recorder.drawn[{2, 1}].state), 0);
}

// Counts the drawing calls made through a canvas.
class TCanvasCallCounter : public TObject {
public:
    void Changing(TObject*) { ++calls; }
    void Attach(TCanvas* canvas) {
        canvas->OnChanging = TNotifyEvent::Of<&TCanvasCallCounter::Changing>(this);
    }
    int calls = 0;
};

// The string grid's opaque text fills its cell: each more cell costs it
// what a draw grid pays for filling the cell alone, not a fill and a text.
TEST_F(GridPaintingTest, AStringGridCellIsFilledOnlyByItsText) {
    // The canvas calls that painting the cells beyond a 2 x 2 grid costs.
    auto callsOfMoreCells = [](TDrawGrid* grid) {
        TCanvasCallCounter counter;
        counter.Attach(grid->Canvas());
        grid->SetColCount(2);
        grid->SetRowCount(2);
        Repainted(grid);
        const int fewCells = counter.calls;
        grid->SetColCount(12);
        grid->SetRowCount(12);
        counter.calls = 0;
        Repainted(grid);
        grid->Canvas()->OnChanging = {};
        return counter.calls - fewCells;
    };
    TStringGrid* grid = MakeChartGrid();
    FocusAnotherControl();
    const int stringGridCalls = callsOfMoreCells(grid);
    ExpectPixels(Painted(grid), 397, 253, PlainChartPixel);

    auto* drawGrid = new TDrawGrid(form);
    drawGrid->SetParent(form);
    drawGrid->SetScrollBars(ssNone);
    drawGrid->SetBounds(0, 0, 397, 253);
    drawGrid->SetFixedCols(0);
    drawGrid->SetFixedRows(0);
    drawGrid->SetDefaultColWidth(32);
    drawGrid->SetDefaultRowHeight(20);
    const int drawGridCalls = callsOfMoreCells(drawGrid);
    EXPECT_GT(drawGridCalls, 0);
    // A text after a fill would cost half as much again as the fill.
    EXPECT_LT(2 * stringGridCalls, 3 * drawGridCalls)
        << stringGridCalls << " string grid calls, " << drawGridCalls << " draw grid calls";
}

TEST_F(GridPaintingTest, WithoutDefaultDrawingTheHandlerAloneDrawsTheCells) {
    TStringGrid* grid = MakeChartGrid();
    grid->SetCells(3, 3, "Draw");
    grid->SetDefaultDrawing(false);
    TCellRecorder recorder;
    recorder.fill = RGB(0, 160, 0);
    recorder.Attach(grid);
    grid->SetFocus();
    const WindowImage image = Repainted(grid);
    // No text, no highlight and no focus frame: only the handler's green.
    EXPECT_TRUE(AllPixels(image, ChartCell(3, 3), RGB(0, 160, 0)));
    EXPECT_TRUE(AllPixels(image, ChartCell(0, 0), RGB(0, 160, 0)));
    EXPECT_TRUE(AllPixels(image, {32, 0, 33, 252}, kSilver));
}

TEST_F(GridPaintingTest, WritingACellRepaintsThatCellAlone) {
    TStringGrid* grid = MakeChartGrid();
    TCellRecorder recorder;
    recorder.Attach(grid);
    FocusAnotherControl();
    recorder.calls.clear();
    Repainted(grid);
    EXPECT_EQ(recorder.calls.size(), 144u);

    recorder.calls.clear();
    grid->SetCells(3, 4, "E");
    const WindowImage image = Painted(grid);
    EXPECT_EQ(recorder.calls, (std::vector<std::pair<std::int32_t, std::int32_t>>{{3, 4}}));
    EXPECT_FALSE(AllPixels(image, ChartCell(3, 4), SysColor(COLOR_WINDOW)));
}

// Two cells apart leave an area whose box holds many cells it does not
// reach; two side by side, an area that is all of its box.
TEST_F(GridPaintingTest, WritingTwoCellsRepaintsThoseTwoAloneApartOrSideBySide) {
    TStringGrid* grid = MakeChartGrid();
    TCellRecorder recorder;
    recorder.Attach(grid);
    FocusAnotherControl();
    Repainted(grid);
    using Cells = std::vector<std::pair<std::int32_t, std::int32_t>>;

    recorder.calls.clear();
    grid->SetCells(3, 4, "E");
    grid->SetCells(9, 10, "G");
    Painted(grid);
    EXPECT_EQ(recorder.calls, (Cells{{3, 4}, {9, 10}}));

    recorder.calls.clear();
    grid->SetCells(5, 2, "A");
    grid->SetCells(6, 2, "B");
    const WindowImage image = Painted(grid);
    EXPECT_EQ(recorder.calls, (Cells{{5, 2}, {6, 2}}));
    EXPECT_FALSE(AllPixels(image, ChartCell(6, 2), SysColor(COLOR_WINDOW)));
}

TEST_F(GridPaintingTest, AGridOnNoFormFailsAtItsFirstCell) {
    struct TCatcher : TObject {
        void Caught(TObject*, Exception& error) { messages.push_back(error.Message()); }
        std::vector<std::string> messages;
    } catcher;
    Application->OnException = TExceptionEvent::Of<&TCatcher::Caught>(&catcher);
    auto* grid = new TStringGrid(form);
    grid->SetName("Orphan");
    TCellRecorder recorder;
    recorder.Attach(grid);
    grid->SetParentWindow(form->Handle());
    ASSERT_TRUE(IsWindowVisible(grid->Handle()));
    Painted(grid);
    EXPECT_EQ(catcher.messages,
              (std::vector<std::string>{ResourceMessage(SParentRequired, {"Orphan"})}));
    EXPECT_TRUE(recorder.calls.empty());
    Application->OnException = {};
}

} // namespace
} // namespace velbrin::testing

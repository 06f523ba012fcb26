// The chart window on screens of more pixels per inch than it was designed
// for: the form scales its font and controls, and nothing of the chart may
// be cut off. Each cell of the grid is checked against the client areas and
// the screen, by its place and by the grid lines drawn around it.

#include "chart/TForm1.h"
#include "forms/TApplication.h"
#include "forms/tests/LibraryTest.h"
#include "graphics/TFont.h"
#include "grids/TStringGrid.h"
#include "stdctrls/TComboBox.h"
#include "stdctrls/TLabel.h"

#include <platform/UserTesting.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velbrin::testing {
namespace {

constexpr COLORREF kGridLine = RGB(192, 192, 192);

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string Describe(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

class ChartWindowScalingTest : public LibraryTest {
protected:
    void TearDown() override {
        LibraryTest::TearDown();
        Form1 = nullptr;
    }
    void OpenChartWindow(int pixelsPerInch, SIZE screenSize) {
        StartAt(pixelsPerInch, screenSize);
        screen = {0, 0, screenSize.cx, screenSize.cy};
        Application->MakeForm(Form1);
        Form1->Show();
        Pump();
    }
    // A client area in screen coordinates.
    static RECT ClientOnScreen(HWND window) {
        RECT client;
        GetClientRect(window, &client);
        const POINT origin = platform::ScreenPointOf(window, {0, 0});
        return {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    }
    // The cells of the chart's grid in grid client coordinates, laid out from
    // the column widths, the row heights and the line width; the grid shows
    // its first cell at the top left.
    std::vector<RECT> Cells() const {
        const TStringGrid& grid = *Form1->StringGrid1;
        std::vector<RECT> cells;
        int top = 0;
        for (int row = 0; row < grid.RowCount(); ++row) {
            int left = 0;
            for (int column = 0; column < grid.ColCount(); ++column) {
                cells.push_back(
                    {left, top, left + grid.ColWidths(column), top + grid.RowHeights(row)});
                left += grid.ColWidths(column) + grid.GridLineWidth();
            }
            top += grid.RowHeights(row) + grid.GridLineWidth();
        }
        return cells;
    }
    // Each cell lies inside the grid's client area, the form's client area
    // and the screen, and the grid lines to its right and below it show in
    // the form's picture.
    void ExpectEveryCellInSight() {
        const HWND gridWindow = Form1->StringGrid1->Handle();
        const RECT gridClient = ClientOnScreen(gridWindow);
        const RECT formClient = ClientOnScreen(Form1->Handle());
        const POINT gridOrigin = platform::ScreenPointOf(gridWindow, {0, 0});
        const platform::WindowImage picture =
            platform::CaptureWindow(Form1->Handle(), platform::WindowArea::Client);
        int cutOff = 0;
        int missingLines = 0;
        for (const RECT& cell : Cells()) {
            const RECT onScreen{cell.left + gridOrigin.x, cell.top + gridOrigin.y,
                                cell.right + gridOrigin.x, cell.bottom + gridOrigin.y};
            if (!Inside(onScreen, gridClient) || !Inside(onScreen, formClient) ||
                !Inside(onScreen, screen)) {
                if (cutOff++ == 0) {
                    ADD_FAILURE() << "first cut off: cell " << Describe(onScreen)
                                  << " outside the grid " << Describe(gridClient) << ", the form "
                                  << Describe(formClient) << " or the screen";
                }
                continue;
            }
            // The lines just right of and below the cell, in the form's picture.
            const int x = onScreen.left - formClient.left;
            const int y = onScreen.top - formClient.top;
            const int width = cell.right - cell.left;
            const int height = cell.bottom - cell.top;
            missingLines += picture.At(x + width, y + height / 2) != kGridLine;
            missingLines += picture.At(x + width / 2, y + height) != kGridLine;
        }
        EXPECT_EQ(cutOff, 0);
        EXPECT_EQ(missingLines, 0) << "grid lines not shown where the cells end";
    }
    // Each text fits its cell, measured in the grid's font, with the two
    // pixels the grid leaves before it.
    void ExpectEveryTextWhole(const std::string& when) {
        TStringGrid& grid = *Form1->StringGrid1;
        HDC screenDC = GetDC(nullptr);
        HGDIOBJ old = SelectObject(screenDC, grid.Font()->Handle());
        int cut = 0;
        for (int row = 0; row < grid.RowCount(); ++row) {
            for (int column = 0; column < grid.ColCount(); ++column) {
                const std::string text = grid.Cells(column, row);
                SIZE extent{};
                GetTextExtentPoint32A(screenDC, text.c_str(), static_cast<int>(text.size()),
                                      &extent);
                if (extent.cx + 2 > grid.ColWidths(column) ||
                    extent.cy + 2 > grid.RowHeights(row)) {
                    ADD_FAILURE() << "\"" << text << "\" in cell " << column << "," << row
                                  << " needs " << extent.cx << "x" << extent.cy << ", " << when;
                    ++cut;
                }
            }
        }
        SelectObject(screenDC, old);
        ReleaseDC(nullptr, screenDC);
        EXPECT_EQ(cut, 0);
    }
    void ExpectTheLabelAndTheBoxInSight() {
        // The label's text, measured in its font on the screen.
        HDC screenDC = GetDC(nullptr);
        HGDIOBJ old = SelectObject(screenDC, Form1->Label1->Font()->Handle());
        SIZE text{};
        GetTextExtentPoint32A(screenDC, "Key", 3, &text);
        SelectObject(screenDC, old);
        ReleaseDC(nullptr, screenDC);
        EXPECT_GE(Form1->Label1->Width(), text.cx) << "the label's text whole";
        EXPECT_GE(Form1->Label1->Height(), text.cy) << "the label's text whole";
        const RECT client = Form1->ClientRect();
        EXPECT_TRUE(Inside(Form1->Label1->BoundsRect(), client))
            << Describe(Form1->Label1->BoundsRect()) << " in " << Describe(client);
        EXPECT_TRUE(Inside(Form1->ComboBox1->BoundsRect(), client))
            << Describe(Form1->ComboBox1->BoundsRect()) << " in " << Describe(client);
    }

    RECT screen{};
};

class AtPixelsPerInch : public ChartWindowScalingTest, public ::testing::WithParamInterface<int> {};

// A screen of the same physical size at each resolution.
TEST_P(AtPixelsPerInch, TheWholeChartShowsWithoutScrolling) {
    const int ppi = GetParam();
    OpenChartWindow(ppi, {MulDiv(1024, ppi, 96), MulDiv(768, ppi, 96)});
    EXPECT_EQ(Form1->Font()->Height(), MulDiv(-12, ppi, 96));
    EXPECT_EQ(Form1->PixelsPerInch(), ppi);
    EXPECT_EQ(GetWindowLongA(Form1->Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0)
        << "all fits: no scroll bar";
    RECT window;
    GetWindowRect(Form1->Handle(), &window);
    EXPECT_TRUE(Inside(window, screen)) << Describe(window);
    ExpectTheLabelAndTheBoxInSight();
    ExpectEveryCellInSight();
    ExpectEveryTextWhole("the fixed labels");
    // The keys one after another from the box, with the arrow key.
    for (int key = 0; key < 12; ++key) {
        platform::TapKey(VK_DOWN);
        Pump();
        ASSERT_EQ(Form1->ComboBox1->ItemIndex(), key);
        ExpectEveryTextWhole("key " + Form1->ComboBox1->Text());
    }
}

INSTANTIATE_TEST_SUITE_P(ChartWindow, AtPixelsPerInch, ::testing::Values(96, 100, 120, 144, 192));

TEST_F(ChartWindowScalingTest, AtNinetySixTheWindowKeepsTheSizeItWasDesignedWith) {
    OpenChartWindow(96, {1024, 768});
    EXPECT_EQ(Form1->Width(), 410);
    EXPECT_EQ(Form1->Height(), 309);
    EXPECT_EQ(Form1->Left(), 200);
    EXPECT_EQ(Form1->Top(), 107);
}

TEST_F(ChartWindowScalingTest, OnAScreenTooSmallTheWindowFitsItAndScrollsToEveryCell) {
    OpenChartWindow(192, {800, 600});
    RECT window;
    GetWindowRect(Form1->Handle(), &window);
    EXPECT_TRUE(Inside(window, screen)) << Describe(window);
    const LONG style = GetWindowLongA(Form1->Handle(), GWL_STYLE);
    ASSERT_TRUE(style & WS_HSCROLL) << "shown at once, before any resize";
    ASSERT_TRUE(style & WS_VSCROLL) << "shown at once, before any resize";

    // The far ends of both bars, clicked as a user would.
    RECT client;
    GetClientRect(Form1->Handle(), &client);
    for (int i = 0; i < 40; ++i) {
        platform::ClickAt(Form1->Handle(), {client.right + 8, client.bottom - 4});
        platform::ClickAt(Form1->Handle(), {client.right - 4, client.bottom + 8});
        Pump();
    }
    EXPECT_EQ(Form1->VertScrollBar()->Position(), Form1->VertScrollBar()->MaxPosition());
    EXPECT_EQ(Form1->HorzScrollBar()->Position(), Form1->HorzScrollBar()->MaxPosition());
    const RECT last = Cells().back();
    const POINT lastOnScreen =
        platform::ScreenPointOf(Form1->StringGrid1->Handle(), {last.right, last.bottom});
    EXPECT_TRUE(Inside({lastOnScreen.x - 1, lastOnScreen.y - 1, lastOnScreen.x, lastOnScreen.y},
                       ClientOnScreen(Form1->Handle())))
        << "the last cell's corner scrolled into sight";
}

} // namespace
} // namespace velbrin::testing

#include "chart/NoteChart.h"
#include "chart/TForm1.h"
#include "core/TStrings.h"
#include "forms/Forms.h"
#include "forms/TApplication.h"
#include "forms/tests/LibraryTest.h"
#include "grids/TStringGrid.h"
#include "stdctrls/TComboBox.h"
#include "stdctrls/TLabel.h"

#include <platform/Testing.h>
#include <platform/UserTesting.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

namespace velbrin::testing {
namespace {

using Chart = std::map<std::pair<int, int>, std::string>;

// What the grid holds, cell by cell; empty cells are left out.
Chart ChartOf(TStringGrid& grid) {
    Chart chart;
    for (int row = 0; row < grid.RowCount(); ++row) {
        for (int column = 0; column < grid.ColCount(); ++column) {
            if (std::string text = grid.Cells(column, row); !text.empty()) {
                chart[{column, row}] = text;
            }
        }
    }
    return chart;
}

// The chart the model writes: the fixed labels, and the key's notes.
Chart ExpectedChart(int key) {
    Chart chart;
    auto write = [&](int column, int row, const std::string& text) {
        if (text.empty()) {
            chart.erase({column, row});
        } else {
            chart[{column, row}] = text;
        }
    };
    chart::WriteFixedLabels(write);
    if (key >= 0) {
        chart::FillChart(key, write);
    }
    return chart;
}

class ChartWindowTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        Application->MakeForm(Form1);
        Form1->Show();
        Pump();
        combo = Form1->ComboBox1;
        grid = Form1->StringGrid1;
    }
    void TearDown() override {
        LibraryTest::TearDown();
        Form1 = nullptr;
    }
    static HWND DroppedList() { return platform::FindVisibleTopLevel("ComboLBox"); }
    // Drops the list down with the mouse and clicks the key's row.
    void ChooseWithTheMouse(int key) {
        RECT client;
        GetClientRect(combo->Handle(), &client);
        platform::ClickAt(combo->Handle(), {client.right - 8, client.bottom / 2});
        Pump();
        HWND list = DroppedList();
        ASSERT_NE(list, nullptr);
        // The list shows eight rows from its first; the tests choose among those.
        ASSERT_LT(key, 8);
        const int rowHeight = combo->ItemHeight();
        platform::ClickAt(list, {10, key * rowHeight + rowHeight / 2});
        Pump();
    }

    TComboBox* combo = nullptr;
    TStringGrid* grid = nullptr;
};

TEST_F(ChartWindowTest, TheWindowIsBuiltAsItsFormResourceDescribesIt) {
    ASSERT_NE(Form1, nullptr);
    EXPECT_EQ(Application->MainForm(), Form1);
    EXPECT_EQ(Form1->Caption(), "Velbrin Notes View");
    EXPECT_EQ(Form1->BoundsRect().left, 200);
    EXPECT_EQ(Form1->BoundsRect().top, 107);
    EXPECT_EQ(Form1->Width(), 410);
    EXPECT_EQ(Form1->Height(), 309);
    char className[32];
    GetClassNameA(Form1->Handle(), className, sizeof className);
    EXPECT_STREQ(className, "TForm1");

    ASSERT_NE(Form1->Label1, nullptr);
    EXPECT_EQ(Form1->Label1->Caption(), "Key");
    EXPECT_EQ(Form1->Label1->Left(), 144);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->ColCount(), 12);
    EXPECT_EQ(grid->RowCount(), 12);
    EXPECT_EQ(grid->BoundsRect().right, 401);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->Items()->Count(), 12);
    EXPECT_EQ(combo->Items()->Strings(0), "G");
    EXPECT_EQ(combo->Items()->Strings(11), "F+");
    EXPECT_EQ(Form1->ActiveControl(), combo) << "first in tab order; the grid is no tab stop";
    EXPECT_EQ(GetFocus(), GetWindow(combo->Handle(), GW_CHILD)) << "its edit field";
}

TEST_F(ChartWindowTest, AtStartNoKeyIsChosenAndOnlyTheFixedLabelsStand) {
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), "");
    EXPECT_EQ(grid->Cells(0, 6), "");
    EXPECT_EQ(ChartOf(*grid), ExpectedChart(-1));
}

TEST_F(ChartWindowTest, ChoosingAKeyFillsItsChartAndAnotherReplacesIt) {
    ChooseWithTheMouse(5);
    EXPECT_EQ(combo->ItemIndex(), 5);
    EXPECT_EQ(combo->Text(), "C");
    EXPECT_EQ(ChartOf(*grid), ExpectedChart(5));

    ChooseWithTheMouse(0);
    EXPECT_EQ(combo->Text(), "G");
    EXPECT_EQ(ChartOf(*grid), ExpectedChart(0)) << "every note and the key cell replaced";

    ChooseWithTheMouse(0);
    EXPECT_EQ(ChartOf(*grid), ExpectedChart(0)) << "the same key twice";
}

TEST_F(ChartWindowTest, TheArrowKeysInTheClosedBoxChooseAsTheMouseDoes) {
    platform::TapKey(VK_DOWN);
    Pump();
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(ChartOf(*grid), ExpectedChart(0));
    platform::TapKey(VK_DOWN);
    Pump();
    EXPECT_EQ(combo->Text(), "A-");
    EXPECT_EQ(ChartOf(*grid), ExpectedChart(1));
    platform::TapKey(VK_UP);
    Pump();
    EXPECT_EQ(ChartOf(*grid), ExpectedChart(0));
}

TEST_F(ChartWindowTest, ATypedTextThatIsNoKeyLeavesTheChartAsItIs) {
    ChooseWithTheMouse(5);
    platform::TypeText("x");
    Pump();
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(ChartOf(*grid), ExpectedChart(5));
}

TEST_F(ChartWindowTest, TheGridShowsAllCellsWithTheFirstInTheSelectedLook) {
    const platform::WindowImage grid0 =
        platform::CaptureWindow(grid->Handle(), platform::WindowArea::Client);
    ASSERT_EQ(grid0.width, 397);
    ASSERT_EQ(grid0.height, 253);
    EXPECT_EQ(GetWindowLongA(grid->Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0)
        << "no scroll bars";
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const COLORREF silver = RGB(192, 192, 192);
    EXPECT_EQ(grid0.At(30, 18), highlight) << "cell (0, 0): selected, the grid not focused";
    EXPECT_EQ(grid0.At(33 + 30, 18), window);
    for (int c = 0; c < 12; ++c) {
        EXPECT_EQ(grid0.At(33 * c + 32, 5), silver) << "the line after column " << c;
    }
    for (int r = 0; r < 12; ++r) {
        EXPECT_EQ(grid0.At(5, 21 * r + 20), silver) << "the line under row " << r;
    }

    // The notes of a chosen key appear at once, in the window colour's cells.
    ChooseWithTheMouse(5);
    const platform::WindowImage chart =
        platform::CaptureWindow(grid->Handle(), platform::WindowArea::Client);
    int dark = 0;
    for (int y = 21 * 6; y < 21 * 6 + 20; ++y) {
        for (int x = 33; x < 33 + 32; ++x) {
            dark += GetRValue(chart.At(x, y)) < 100;
        }
    }
    EXPECT_GT(dark, 5) << "the blow note of hole 1 in cell (1, 6)";
}

} // namespace
} // namespace velbrin::testing

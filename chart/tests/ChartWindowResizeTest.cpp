// The chart window resized and scrolled as a user does it: the sizing frame
// dragged, the grid clicked, the form's scroll bars clicked. Whatever the
// order, every control must end where the form puts it, and the window
// must look as a fresh one of the same size does.

#include "chart/TForm1.h"
#include "forms/TApplication.h"
#include "forms/tests/FormPlacement.h"
#include "forms/tests/LibraryTest.h"
#include "grids/TStringGrid.h"
#include "stdctrls/TComboBox.h"
#include "stdctrls/TLabel.h"

#include <platform/UserTesting.h>

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace velbrin::testing {
namespace {

class ChartWindowResizeTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        OpenChartWindow();
    }
    void TearDown() override {
        LibraryTest::TearDown();
        Form1 = nullptr;
    }
    void OpenChartWindow() {
        Application->MakeForm(Form1);
        Form1->Show();
        Pump();
        designed = PlacesOf(*Form1);
    }
    // A fresh library and chart window, for a picture to compare with.
    void ReopenChartWindow() {
        StartAt(96);
        Form1 = nullptr;
        OpenChartWindow();
    }
    HWND FormWindow() { return Form1->Handle(); }
    SIZE ClientSize() {
        RECT client;
        GetClientRect(FormWindow(), &client);
        return {client.right, client.bottom};
    }
    // The sizes are those of the client area, as the window manager's are.
    void ResizeTo(SIZE size) { DragClientSizeTo(FormWindow(), size, Pump); }
    // Clicks the middle of a grid cell, which must be in sight; the chart's
    // grid shows its first cell at the top left.
    void ClickCell(int column, int row) {
        const TStringGrid& grid = *Form1->StringGrid1;
        const int line = grid.GridLineWidth();
        POINT middle{grid.ColWidths(column) / 2, grid.RowHeights(row) / 2};
        for (int c = 0; c < column; ++c) {
            middle.x += grid.ColWidths(c) + line;
        }
        for (int r = 0; r < row; ++r) {
            middle.y += grid.RowHeights(r) + line;
        }
        const POINT onForm = platform::ScreenPointOf(Form1->StringGrid1->Handle(), middle);
        const POINT formOrigin = platform::ScreenPointOf(FormWindow(), {0, 0});
        const SIZE client = ClientSize();
        ASSERT_LT(onForm.x - formOrigin.x, client.cx) << "cell " << column << "," << row;
        ASSERT_LT(onForm.y - formOrigin.y, client.cy) << "cell " << column << "," << row;
        platform::ClickAt(Form1->StringGrid1->Handle(), middle);
        Pump();
    }
    platform::WindowImage Picture() {
        return platform::CaptureWindow(FormWindow(), platform::WindowArea::Client);
    }
    static int DifferentPixels(const platform::WindowImage& a, const platform::WindowImage& b) {
        if (a.width != b.width || a.height != b.height) {
            return -1;
        }
        int different = 0;
        for (std::size_t i = 0; i < a.pixels.size(); ++i) {
            different += a.pixels[i] != b.pixels[i];
        }
        return different;
    }

    DesignedPlaces designed;
};

TEST_F(ChartWindowResizeTest, ShrunkenClickedAndGrownStepByStepEveryControlIsBackInPlace) {
    ResizeTo({250, 150});
    ASSERT_TRUE(GetWindowLongA(FormWindow(), GWL_STYLE) & WS_VSCROLL);
    ExpectControlsWhereTheFormPutsThem(*Form1, designed, "shrunk");
    ClickCell(3, 3);
    EXPECT_GT(Form1->VertScrollBar()->Position(), 0) << "the click scrolled the grid into view";
    ExpectControlsWhereTheFormPutsThem(*Form1, designed, "after the click");
    ResizeTo({250, 262});
    ExpectControlsWhereTheFormPutsThem(*Form1, designed, "at 250x262");
    ResizeTo({250, 270});
    ExpectControlsWhereTheFormPutsThem(*Form1, designed, "at 250x270");
    ResizeTo({600, 450});
    ExpectControlsWhereTheFormPutsThem(*Form1, designed, "at 600x450");
    EXPECT_EQ(Form1->VertScrollBar()->Position(), 0);
    EXPECT_EQ(Form1->Label1->Top(), 0);
    EXPECT_EQ(Form1->StringGrid1->Top(), 24);
    // The form scrolled under the pointer between the press and the release,
    // which stretched the selection; a click where nothing scrolls sets it
    // as it would be in a fresh window.
    ClickCell(5, 8);
    const platform::WindowImage afterAll = Picture();

    ReopenChartWindow();
    ResizeTo({600, 450});
    ClickCell(5, 8);
    EXPECT_EQ(DifferentPixels(afterAll, Picture()), 0)
        << "the label, the box and the grid as a fresh window of that size shows them";
}

TEST_F(ChartWindowResizeTest, TheKeyBoxComesBackWhenTheWindowGrowsAfterAClickInTheGrid) {
    ResizeTo({200, 120});
    ClickCell(4, 2);
    ASSERT_LT(Form1->ComboBox1->Top(), 0) << "scrolled out of sight above";
    ResizeTo({450, 320});
    EXPECT_EQ(Form1->ComboBox1->Top(), 0);
    ExpectControlsWhereTheFormPutsThem(*Form1, designed, "grown");
    RECT box;
    GetWindowRect(Form1->ComboBox1->Handle(), &box);
    EXPECT_EQ(box.top, platform::ScreenPointOf(FormWindow(), {0, 0}).y);
    EXPECT_TRUE(IsWindowVisible(Form1->ComboBox1->Handle()));
    ClickCell(5, 8);
    const platform::WindowImage afterAll = Picture();

    ReopenChartWindow();
    ResizeTo({450, 320});
    ClickCell(5, 8);
    EXPECT_EQ(DifferentPixels(afterAll, Picture()), 0);
}

// The arrows and troughs of the form's own scroll bars, where they show.
void ClickScrollBar(HWND form, std::mt19937& random) {
    RECT client;
    GetClientRect(form, &client);
    const LONG style = GetWindowLongA(form, GWL_STYLE);
    auto shown = [style](bool vertical) {
        return (style & (vertical ? WS_VSCROLL : WS_HSCROLL)) != 0;
    };
    bool vertical = random() % 2 == 0;
    if (!shown(vertical)) {
        vertical = !vertical;
    }
    if (!shown(vertical)) {
        return;
    }
    const int across = (vertical ? GetSystemMetrics(SM_CXVSCROLL) : GetSystemMetrics(SM_CYHSCROLL));
    const LONG length = vertical ? client.bottom : client.right;
    const LONG along =
        std::uniform_int_distribution<LONG>(2, std::max<LONG>(2, length - 3))(random);
    const POINT point = vertical ? POINT{client.right + across / 2, along}
                                 : POINT{along, client.bottom + across / 2};
    platform::ClickAt(form, point);
}

TEST_F(ChartWindowResizeTest, AnySequenceOfResizesClicksAndScrollsKeepsTheControlsInPlace) {
    std::mt19937 random(20261208);
    for (int step = 0; step < 150; ++step) {
        std::string what;
        switch (random() % 3) {
        case 0: {
            const SIZE size{std::uniform_int_distribution<LONG>(120, 620)(random),
                            std::uniform_int_distribution<LONG>(60, 460)(random)};
            what = "resized to " + std::to_string(size.cx) + "x" + std::to_string(size.cy);
            ResizeTo(size);
            break;
        }
        case 1: {
            // A point of the grid that is in sight within the form's client area.
            const RECT grid = Form1->StringGrid1->BoundsRect();
            const SIZE client = ClientSize();
            const LONG right = std::min(grid.right, client.cx);
            const LONG bottom = std::min(grid.bottom, client.cy);
            const LONG left = std::max<LONG>(grid.left, 0);
            const LONG top = std::max<LONG>(grid.top, 0);
            if (left + 4 >= right || top + 4 >= bottom) {
                continue;
            }
            const POINT point{std::uniform_int_distribution<LONG>(left + 2, right - 3)(random),
                              std::uniform_int_distribution<LONG>(top + 2, bottom - 3)(random)};
            what = "grid clicked at " + std::to_string(point.x) + "," + std::to_string(point.y);
            platform::ClickAt(FormWindow(), point);
            Pump();
            break;
        }
        default:
            what = "scroll bar clicked";
            ClickScrollBar(FormWindow(), random);
            Pump();
            break;
        }
        ExpectControlsWhereTheFormPutsThem(*Form1, designed,
                                           "step " + std::to_string(step) + ", " + what);
        if (HasFailure()) {
            return;
        }
    }
    ResizeTo({600, 450});
    EXPECT_EQ(Form1->HorzScrollBar()->Position(), 0);
    EXPECT_EQ(Form1->VertScrollBar()->Position(), 0);
    ExpectControlsWhereTheFormPutsThem(*Form1, designed, "at the end");
}

} // namespace
} // namespace velbrin::testing

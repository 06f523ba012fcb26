#include "GridTestSupport.h"

#include "controls/TWinControl.h"
#include "forms/Forms.h"
#include "forms/TApplication.h"
#include "graphics/Graphics.h"

#include <platform/Testing.h>
#include <platform/UserTesting.h>

namespace velbrin::testing {

void GridTest::SetUp() {
    EndFormsLibrary();
    platform::ResetForTesting();
    platform::UseHeadlessScreen(800, 600, 96);
    RestartGraphicsForTesting();
    ResetControlsForTesting();
    StartFormsLibrary();
    form = new TForm(Application);
    form->SetBounds(200, 107, 410, 309);
    form->Show();
    Pump();
}

void GridTest::TearDown() {
    EndFormsLibrary();
    EXPECT_EQ(platform::CountLiveWindows(), 0u);
}

void GridTest::Pump() {
    while (Application->TryProcessOne() && !Application->Terminated()) {
    }
}

TStringGrid* GridTest::MakeChartGrid() {
    auto* grid = new TStringGrid(form);
    grid->SetParent(form);
    grid->SetBounds(0, 24, 401, 257);
    grid->SetTabStop(false);
    grid->SetColCount(12);
    grid->SetDefaultColWidth(32);
    grid->SetDefaultRowHeight(20);
    grid->SetFixedCols(0);
    grid->SetRowCount(12);
    grid->SetFixedRows(0);
    grid->SetScrollBars(ssNone);
    grid->Handle();
    Pump();
    return grid;
}

void GridTest::Validate(HWND window) {
    UpdateWindow(window);
    ValidateRect(window, nullptr);
}

bool GridTest::NeedsPaint(HWND window, int x, int y) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(window, region, FALSE);
    const bool inside = PtInRegion(region, x, y) != FALSE;
    DeleteObject(region);
    return inside;
}

RECT GridTest::UpdateBox(HWND window) {
    RECT box{};
    if (GetUpdateRect(window, &box, FALSE) == FALSE) {
        return RECT{};
    }
    return box;
}

SCROLLINFO GridTest::BarOf(TWinControl* control, int bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(control->Handle(), bar, &info);
    return info;
}

} // namespace velbrin::testing

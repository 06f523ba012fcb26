#pragma once
// A fresh headless screen and library for every test, with a shown form of
// the chart window's size to put grids on.

#include "grids/TStringGrid.h"

#include "forms/TForm.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace velbrin::testing {

class GridTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Handles what waits through the application's own message step.
    static void Pump();
    // A string grid with the chart's settings, at (0, 24) and 401 x 257 on
    // the form, with its window made.
    TStringGrid* MakeChartGrid();
    // Paints whatever waits, so that the window has nothing to repaint.
    static void Validate(HWND window);
    // Whether client point (x, y) of `window` waits to be repainted.
    static bool NeedsPaint(HWND window, int x, int y);
    // The bounding box of what waits to be repainted; empty when nothing.
    static RECT UpdateBox(HWND window);
    // What `control`'s scroll bar `bar` (SB_HORZ, SB_VERT) holds: range,
    // page and thumb position.
    static SCROLLINFO BarOf(TWinControl* control, int bar);

    TForm* form = nullptr;
};

} // namespace velbrin::testing

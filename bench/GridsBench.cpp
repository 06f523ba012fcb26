// The string grid's cell store: every cell of the chart's 12 x 12 grid
// written and read, with the grid's window (each write marks its cell for
// repainting) and without one; and a large grid with few cells written, read
// at random places, most of which hold nothing. The chart's grid painted
// whole and one cell of it. A taller grid scrolled by lines and by the
// thumb.

#include "controls/TWinControl.h"
#include "forms/Forms.h"
#include "forms/TApplication.h"
#include "forms/TForm.h"
#include "graphics/Graphics.h"
#include "grids/TSparseList.h"
#include "grids/TStringGrid.h"

#include <platform/Testing.h>
#include <platform/UserTesting.h>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace velbrin;

constexpr std::int32_t kChartSide = 12;
constexpr std::int32_t kLargeSide = 100000;
constexpr int kLargeWrites = 10000;
constexpr int kLargeReads = 100000;

// A fresh platform on a 96 ppi headless screen with the library started.
struct GridsLibrary {
    GridsLibrary() {
        platform::ResetForTesting();
        platform::UseHeadlessScreen(800, 600, 96);
        RestartGraphicsForTesting();
        ResetControlsForTesting();
        StartFormsLibrary();
    }
    ~GridsLibrary() {
        EndFormsLibrary();
        platform::ResetForTesting();
    }
    GridsLibrary(const GridsLibrary&) = delete;
    GridsLibrary& operator=(const GridsLibrary&) = delete;
};

void Pump() {
    while (Application->TryProcessOne()) {
    }
}

void MakeChart(TStringGrid& grid) {
    grid.SetColCount(kChartSide);
    grid.SetRowCount(kChartSide);
    grid.SetDefaultColWidth(32);
    grid.SetDefaultRowHeight(20);
    grid.SetFixedCols(0);
    grid.SetFixedRows(0);
    grid.SetScrollBars(ssNone);
}

// Note names as the chart writes them, one per cell.
const std::vector<std::string>& ChartTexts() {
    static const std::vector<std::string> texts = [] {
        const char* names[] = {"G", "A-", "A", "B-", "B", "C", "D-", "D", "E-", "E", "F", "F+"};
        std::vector<std::string> made;
        for (std::int32_t i = 0; i < kChartSide * kChartSide; ++i) {
            made.push_back(names[i % 12]);
        }
        return made;
    }();
    return texts;
}

void WriteChart(TStringGrid& grid) {
    const std::vector<std::string>& texts = ChartTexts();
    for (std::int32_t row = 0; row < kChartSide; ++row) {
        for (std::int32_t col = 0; col < kChartSide; ++col) {
            grid.SetCells(col, row, texts[static_cast<std::size_t>(row * kChartSide + col)]);
        }
    }
}

std::size_t ReadChart(const TStringGrid& grid) {
    std::size_t bytes = 0;
    for (std::int32_t row = 0; row < kChartSide; ++row) {
        for (std::int32_t col = 0; col < kChartSide; ++col) {
            bytes += grid.Cells(col, row).size();
        }
    }
    return bytes;
}

// The chart's grid on a shown form, its window made.
TStringGrid* ShownChartGrid() {
    auto* form = new TForm(Application);
    form->SetBounds(200, 107, 410, 309);
    form->Show();
    auto* grid = new TStringGrid(form);
    grid->SetParent(form);
    grid->SetBounds(0, 24, 401, 257);
    MakeChart(*grid);
    grid->Handle();
    Pump();
    return grid;
}

void BM_ChartGridWriteAllShown(benchmark::State& state) {
    GridsLibrary library;
    TStringGrid* grid = ShownChartGrid();
    for (auto _ : state) {
        WriteChart(*grid);
        ValidateRect(grid->Handle(), nullptr);
    }
    state.SetItemsProcessed(state.iterations() * kChartSide * kChartSide);
}
BENCHMARK(BM_ChartGridWriteAllShown)->Unit(benchmark::kMicrosecond);

void BM_ChartGridWriteAllWithoutWindow(benchmark::State& state) {
    TStringGrid grid(nullptr);
    MakeChart(grid);
    for (auto _ : state) {
        WriteChart(grid);
    }
    state.SetItemsProcessed(state.iterations() * kChartSide * kChartSide);
}
BENCHMARK(BM_ChartGridWriteAllWithoutWindow)->Unit(benchmark::kMicrosecond);

void BM_ChartGridReadAll(benchmark::State& state) {
    TStringGrid grid(nullptr);
    MakeChart(grid);
    WriteChart(grid);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadChart(grid));
    }
    state.SetItemsProcessed(state.iterations() * kChartSide * kChartSide);
}
BENCHMARK(BM_ChartGridReadAll)->Unit(benchmark::kMicrosecond);

// The chart's grid painted whole, every cell holding a note name.
void BM_ChartGridPaintAll(benchmark::State& state) {
    GridsLibrary library;
    TStringGrid* grid = ShownChartGrid();
    WriteChart(*grid);
    HWND window = grid->Handle();
    for (auto _ : state) {
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
    state.SetItemsProcessed(state.iterations() * kChartSide * kChartSide);
}
BENCHMARK(BM_ChartGridPaintAll)->Unit(benchmark::kMicrosecond);

// One written cell repainted, as after a cell write: the other 143 cells are
// skipped as outside the area to repaint.
void BM_ChartGridPaintOneCell(benchmark::State& state) {
    GridsLibrary library;
    TStringGrid* grid = ShownChartGrid();
    WriteChart(*grid);
    HWND window = grid->Handle();
    UpdateWindow(window);
    for (auto _ : state) {
        grid->InvalidateCell(5, 6);
        UpdateWindow(window);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ChartGridPaintOneCell)->Unit(benchmark::kMicrosecond);

struct Place {
    std::int32_t col;
    std::int32_t row;
};

std::vector<Place> RandomPlaces(int count, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::int32_t> side(0, kLargeSide - 1);
    std::vector<Place> places;
    for (int i = 0; i < count; ++i) {
        places.push_back({side(random), side(random)});
    }
    return places;
}

// 100 000 by 100 000 cells, 10 000 of them written at random.
void BM_LargeSparseGridWrite(benchmark::State& state) {
    const std::vector<Place> places = RandomPlaces(kLargeWrites, 1);
    std::int64_t sections = 0;
    for (auto _ : state) {
        auto grid = std::make_unique<TStringGrid>(nullptr);
        grid->SetColCount(kLargeSide);
        grid->SetRowCount(kLargeSide);
        for (const Place& place : places) {
            grid->SetCells(place.col, place.row, "x");
        }
        sections = grid->RowStore().Array().SectionCount();
    }
    state.SetItemsProcessed(state.iterations() * kLargeWrites);
    state.counters["row sections"] = static_cast<double>(sections);
}
BENCHMARK(BM_LargeSparseGridWrite)->Unit(benchmark::kMillisecond);

// Reads at random places of that grid: nearly all of them hold nothing.
void BM_LargeSparseGridRead(benchmark::State& state) {
    TStringGrid grid(nullptr);
    grid.SetColCount(kLargeSide);
    grid.SetRowCount(kLargeSide);
    for (const Place& place : RandomPlaces(kLargeWrites, 1)) {
        grid.SetCells(place.col, place.row, "x");
    }
    const std::vector<Place> reads = RandomPlaces(kLargeReads, 2);
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (const Place& place : reads) {
            bytes += grid.Cells(place.col, place.row).size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * kLargeReads);
}
BENCHMARK(BM_LargeSparseGridRead)->Unit(benchmark::kMillisecond);

// The written cells read back, each in a row of its own.
void BM_LargeSparseGridReadWritten(benchmark::State& state) {
    TStringGrid grid(nullptr);
    grid.SetColCount(kLargeSide);
    grid.SetRowCount(kLargeSide);
    const std::vector<Place> places = RandomPlaces(kLargeWrites, 1);
    for (const Place& place : places) {
        grid.SetCells(place.col, place.row, "x");
    }
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (const Place& place : places) {
            bytes += grid.Cells(place.col, place.row).size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * kLargeWrites);
}
BENCHMARK(BM_LargeSparseGridReadWritten)->Unit(benchmark::kMillisecond);

// A string grid of `rows` rows of 8 written columns behind both scroll bars,
// on a shown form, its window made and painted.
TStringGrid* ShownTallGrid(std::int32_t rows) {
    auto* form = new TForm(Application);
    form->SetBounds(100, 50, 600, 500);
    form->Show();
    auto* grid = new TStringGrid(form);
    grid->SetParent(form);
    grid->SetBounds(0, 0, 560, 440);
    grid->SetColCount(8);
    grid->SetRowCount(rows);
    const std::vector<std::string>& texts = ChartTexts();
    for (std::int32_t row = 0; row < 100; ++row) {
        for (std::int32_t col = 0; col < 8; ++col) {
            grid->SetCells(col, row, texts[static_cast<std::size_t>(row + col)]);
        }
    }
    grid->Handle();
    Pump();
    UpdateWindow(grid->Handle());
    return grid;
}

// One line down and back up through the scroll bar, each moving the shown
// pixels and painting the uncovered row, against the same grid repainted
// whole.
void BM_TallGridScrollLine(benchmark::State& state) {
    GridsLibrary library;
    TStringGrid* grid = ShownTallGrid(100);
    HWND window = grid->Handle();
    for (auto _ : state) {
        SendMessageA(window, WM_VSCROLL, SB_LINEDOWN, 0);
        UpdateWindow(window);
        SendMessageA(window, WM_VSCROLL, SB_LINEUP, 0);
        UpdateWindow(window);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_TallGridScrollLine)->Unit(benchmark::kMicrosecond);

void BM_TallGridPaintAll(benchmark::State& state) {
    GridsLibrary library;
    TStringGrid* grid = ShownTallGrid(100);
    HWND window = grid->Handle();
    for (auto _ : state) {
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TallGridPaintAll)->Unit(benchmark::kMicrosecond);

// The thumb dropped at the end and at the start of a grid of `rows` rows:
// what a jump costs must not grow with the rows jumped over.
void BM_TallGridThumbJump(benchmark::State& state) {
    GridsLibrary library;
    TStringGrid* grid = ShownTallGrid(static_cast<std::int32_t>(state.range(0)));
    HWND window = grid->Handle();
    for (auto _ : state) {
        SendMessageA(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 127), 0);
        UpdateWindow(window);
        SendMessageA(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
        UpdateWindow(window);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_TallGridThumbJump)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

} // namespace

// Writing the whole chart for each of the twelve keys into a table in memory.

#include "chart/NoteChart.h"
#include "chart/NoteTables.h"

#include <benchmark/benchmark.h>

namespace {

using namespace velbrin::chart;

void BM_FillChartAllKeys(benchmark::State& state) {
    ChartTable chart;
    SetCellText writer = chart.Writer();
    WriteFixedLabels(writer);
    for (auto _ : state) {
        for (int key = 0; key < kKeyCount; ++key) {
            FillChart(key, writer);
        }
        benchmark::DoNotOptimize(chart.Cell(1, 5).data());
    }
    state.SetItemsProcessed(state.iterations() * kKeyCount);
}
BENCHMARK(BM_FillChartAllKeys);

} // namespace

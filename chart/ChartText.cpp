#include "ChartText.h"

#include "runtime/Text.h"

#include <algorithm>
#include <vector>

namespace velbrin::chart {

namespace {

// Characters, not bytes: every character the chart holds takes one column.
std::size_t DisplayWidth(const std::string& utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::vector<std::array<std::string, kChartSize>> Utf8Cells(const ChartTable& chart) {
    std::vector<std::array<std::string, kChartSize>> cells(chart.RowCount());
    for (int row = 0; row < chart.RowCount(); ++row) {
        for (int column = 0; column < kChartSize; ++column) {
            cells[row][column] = AnsiToUtf8(chart.Cell(column, row));
        }
    }
    return cells;
}

} // namespace

std::string ChartAsTsv(const ChartTable& chart) {
    std::string out;
    for (const auto& row : Utf8Cells(chart)) {
        for (int column = 0; column < kChartSize; ++column) {
            out += row[column];
            out += column + 1 < kChartSize ? '\t' : '\n';
        }
    }
    return out;
}

std::string ChartAsTable(const ChartTable& chart, const std::string& title) {
    auto cells = Utf8Cells(chart);
    std::array<std::size_t, kChartSize> widths{};
    for (const auto& row : cells) {
        for (int column = 0; column < kChartSize; ++column) {
            widths[column] = std::max(widths[column], DisplayWidth(row[column]));
        }
    }
    std::string out = title + "\n\n";
    for (const auto& row : cells) {
        std::string line;
        for (int column = 0; column < kChartSize; ++column) {
            if (column > 0) {
                line += " | ";
            }
            line += row[column];
            line.append(widths[column] - DisplayWidth(row[column]), ' ');
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out += line + "\n";
    }
    return out;
}

} // namespace velbrin::chart

#pragma once
// The chart as UTF-8 text for a terminal or a script.

#include "NoteChart.h"

#include <string>

namespace velbrin::chart {

// One line per row (twelve for Richter), row 0 first, each the twelve cells of
// the row separated by tabs.
std::string ChartAsTsv(const ChartTable& chart);

// A table for people: a title, then the rows with every column as wide as its
// widest text, cells separated by bars.
std::string ChartAsTable(const ChartTable& chart, const std::string& title);

} // namespace velbrin::chart

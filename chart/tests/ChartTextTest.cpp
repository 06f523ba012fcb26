#include "chart/ChartText.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace velbrin::chart {
namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) {
        parts.push_back(part);
    }
    return parts;
}

TEST(ChartText, TsvHasTwelveRowsOfTwelveCellsInUtf8) {
    ChartTable chart;
    WriteFixedLabels(chart.Writer());
    FillChart(5, chart.Writer());
    std::string tsv = ChartAsTsv(chart);
    ASSERT_EQ(tsv.back(), '\n');
    std::vector<std::string> lines = Split(tsv, '\n');
    ASSERT_EQ(lines.size(), 12u);
    for (const std::string& line : lines) {
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 11) << line;
    }
    EXPECT_EQ(lines[0], "↑\t\t\tC\t\t\t\t\t\t\t\t");
    EXPECT_EQ(lines[6], "C\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t");
    EXPECT_EQ(lines[11], "\t\t\t\t\t\t\t\t\t\tC+\t↓");
}

TEST(ChartText, TableAlignsColumnsByCharactersNotBytes) {
    ChartTable chart;
    WriteFixedLabels(chart.Writer());
    FillChart(0, chart.Writer());
    std::vector<std::string> lines = Split(ChartAsTable(chart, "Richter harmonica in G"), '\n');
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[0], "Richter harmonica in G");
    // Column 0 is as wide as "Blow": the arrow rows pad it with three spaces.
    EXPECT_EQ(lines[2].rfind("↑    | ", 0), 0u) << lines[2];
    EXPECT_EQ(lines[7].rfind("Blow | G  | B  | D  | G  | B  | D  | G  | B  | D  | G", 0), 0u)
        << lines[7];
    EXPECT_EQ(lines[8].rfind("G    | 1  | 2  |", 0), 0u) << lines[8];
    for (const std::string& line : lines) {
        EXPECT_TRUE(line.empty() || line.back() != ' ') << "no trailing blanks: " << line;
    }
}

} // namespace
} // namespace velbrin::chart

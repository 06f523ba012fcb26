#include "chart/NoteChart.h"
#include "chart/NoteTables.h"
#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

namespace velbrin::chart {
namespace {

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

std::vector<std::string> Row(const ChartTable& chart, int row) {
    std::vector<std::string> cells;
    for (int column = 1; column <= 10; ++column) {
        cells.push_back(chart.Cell(column, row));
    }
    return cells;
}

ChartTable ChartFor(int key) {
    ChartTable chart;
    WriteFixedLabels(chart.Writer());
    FillChart(key, chart.Writer());
    return chart;
}

// The pitch class a written name stands for, read from its letter and sign.
int PitchOfName(const std::string& name) {
    static const std::map<char, int> letters = {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5},
                                                {'G', 7}, {'A', 9}, {'B', 11}};
    int pitch = letters.at(name.at(0));
    if (name.size() == 2) {
        pitch += name[1] == '+' ? 1 : name[1] == '-' ? -1 : 100;
    }
    return (pitch + 12) % 12;
}

TEST(NoteChart, BeforeAnyKeyOnlyLabelsAndHoleNumbersStand) {
    ChartTable chart;
    WriteFixedLabels(chart.Writer());
    EXPECT_EQ(chart.Cell(0, 6), "");
    EXPECT_EQ(chart.Cell(0, 5), "Blow");
    EXPECT_EQ(chart.Cell(0, 7), "Draw");
    EXPECT_EQ(chart.Cell(0, 8), "bend");
    EXPECT_EQ(chart.Cell(0, 3), "over");
    EXPECT_EQ(chart.Cell(11, 9), "over");
    EXPECT_EQ(chart.Cell(11, 4), "bend");
    for (int row : {0, 1, 2}) {
        EXPECT_EQ(chart.Cell(0, row), "\x81\xAA") << row;
    }
    EXPECT_EQ(chart.Cell(11, 3), "\x81\xAA");
    for (auto [column, row] : {std::pair{0, 9}, {0, 10}, {11, 10}, {11, 11}}) {
        EXPECT_EQ(chart.Cell(column, row), "\x81\xAB") << column << "," << row;
    }
    EXPECT_EQ(Row(chart, 6), Words("1 2 3 4 5 6 7 8 9 10"));
    int written = 0;
    for (int row = 0; row < 12; ++row) {
        for (int column = 0; column < 12; ++column) {
            written += chart.Cell(column, row).empty() ? 0 : 1;
        }
    }
    EXPECT_EQ(written, 14 + 10); // fourteen labels and arrows, ten hole numbers
    for (int row : {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11}) {
        EXPECT_EQ(Row(chart, row), std::vector<std::string>(10)) << "no note in row " << row;
    }
}

TEST(NoteChart, KeyOfCMatchesTheWorkedChart) {
    ChartTable chart = ChartFor(5);
    EXPECT_EQ(chart.Cell(0, 6), "C");
    EXPECT_EQ(Row(chart, 5), Words("C E G C E G C E G C"));
    EXPECT_EQ(Row(chart, 7), Words("D G B D F A B D F A"));
    EXPECT_EQ(chart.Cell(1, 8), "C+");
    EXPECT_EQ(chart.Cell(3, 8), "A+");
    EXPECT_EQ(chart.Cell(3, 9), "A");
    EXPECT_EQ(chart.Cell(3, 10), "G+");
    EXPECT_EQ(chart.Cell(10, 4), "B");
    EXPECT_EQ(chart.Cell(10, 3), "A+");
    // Overblows of holes 1 to 6 and overdraws of holes 7 to 10.
    EXPECT_EQ(chart.Cell(1, 2), "D+");
    EXPECT_EQ(chart.Cell(2, 1), "G+");
    EXPECT_EQ(chart.Cell(3, 0), "C");
    EXPECT_EQ(chart.Cell(4, 2), "D+");
    EXPECT_EQ(chart.Cell(5, 3), "F+");
    EXPECT_EQ(chart.Cell(6, 2), "A+");
    EXPECT_EQ(chart.Cell(7, 9), "C+");
    EXPECT_EQ(chart.Cell(8, 10), "F");
    EXPECT_EQ(chart.Cell(9, 10), "G+");
    EXPECT_EQ(chart.Cell(10, 11), "C+");
    for (int row = 0; row < 12; ++row) {
        for (const std::string& cell : Row(chart, row)) {
            EXPECT_EQ(cell.find('-'), std::string::npos) << "C spells with sharps";
        }
    }
}

TEST(NoteChart, KeysOfGFAndFSharpMatchTheWorkedCharts) {
    ChartTable g = ChartFor(0);
    EXPECT_EQ(g.Cell(0, 6), "G");
    EXPECT_EQ(Row(g, 5), Words("G B D G B D G B D G"));
    EXPECT_EQ(Row(g, 7), Words("A D F+ A C E F+ A C E"));

    ChartTable f = ChartFor(10);
    EXPECT_EQ(Row(f, 5), Words("F A C F A C F A C F"));
    EXPECT_EQ(Row(f, 7), Words("G C E G B- D E G B- D"));
    EXPECT_EQ(f.Cell(1, 8), "G-");

    ChartTable fSharp = ChartFor(11);
    EXPECT_EQ(Row(fSharp, 5), Words("F+ A+ C+ F+ A+ C+ F+ A+ C+ F+"));
    EXPECT_EQ(fSharp.Cell(3, 0), "F+");
}

TEST(NoteChart, HolesFiveAndSevenHaveOnlyTheirOverNote) {
    ChartTable chart = ChartFor(5);
    for (int column : {5, 7}) {
        int notes = 0;
        for (int row = 0; row < 12; ++row) {
            notes += row != 6 && !chart.Cell(column, row).empty() ? 1 : 0;
        }
        EXPECT_EQ(notes, 3) << "blow, draw and one over note in column " << column;
    }
    EXPECT_FALSE(chart.Cell(5, 3).empty());
    EXPECT_FALSE(chart.Cell(7, 9).empty());
}

// Every key is the chart of C moved by the key's root: each cell's pitch
// differs from C's by the same interval, and flat keys never write a sharp.
TEST(NoteChart, EveryKeyIsTheChartOfCTransposed) {
    ChartTable c = ChartFor(5);
    std::set<std::string> flatKeys = {"A-", "B-", "D-", "E-", "F"};
    for (int key = 0; key < kKeyCount; ++key) {
        ChartTable chart = ChartFor(key);
        int root = PitchOfName(KeyNames[key]);
        EXPECT_EQ(chart.Cell(0, 6), KeyNames[key]);
        bool flats = flatKeys.count(KeyNames[key]) > 0;
        for (int row = 0; row < 12; ++row) {
            if (row == 6) {
                continue;
            }
            for (int column = 1; column <= 10; ++column) {
                const std::string& note = chart.Cell(column, row);
                ASSERT_EQ(note.empty(), c.Cell(column, row).empty()) << key << " " << column;
                if (note.empty()) {
                    continue;
                }
                EXPECT_EQ((PitchOfName(note) - PitchOfName(c.Cell(column, row)) + 12) % 12, root)
                    << KeyNames[key] << " at " << column << "," << row;
                EXPECT_EQ(note.find(flats ? '+' : '-'), std::string::npos) << KeyNames[key];
            }
        }
    }
}

TEST(NoteChart, AnotherKeyOverwritesEveryNoteOfTheFirst) {
    ChartTable chart;
    WriteFixedLabels(chart.Writer());
    FillChart(5, chart.Writer());
    FillChart(0, chart.Writer());
    ChartTable fresh = ChartFor(0);
    for (int row = 0; row < 12; ++row) {
        for (int column = 0; column < 12; ++column) {
            EXPECT_EQ(chart.Cell(column, row), fresh.Cell(column, row));
        }
    }
}

TEST(NoteChart, PlacementRulesGiveTheTabulatedRows) {
    std::vector<int> overRows;
    for (int hole = 0; hole < kHoleCount; ++hole) {
        overRows.push_back(OverRow(hole));
        // The stored tables agree with the blow and draw notes.
        EXPECT_EQ(BendCounts[hole], std::abs(DrawSemitones[hole] - BlowSemitones[hole]) - 1)
            << hole;
        EXPECT_EQ(OverOffsets[hole], BendCounts[hole] + 2);
    }
    EXPECT_EQ(overRows, (std::vector<int>{2, 1, 0, 2, 3, 2, 9, 10, 10, 11}));
    EXPECT_EQ(BendRow(2, 3), 10);
    EXPECT_EQ(BendRow(9, 2), 3);
    EXPECT_EQ(BendSemitone(2, 1), 10);
    EXPECT_EQ(BendSemitone(9, 1), 35);
}

TEST(NoteChart, PitchClassStaysInRangeForAnyNumber) {
    EXPECT_EQ(PitchClass(-5), 7);
    EXPECT_EQ(PitchClass(-1), 11);
    EXPECT_EQ(PitchClass(0), 0);
    EXPECT_EQ(PitchClass(43), 7);
    // A whole number of octaves below is pitch class 0, not 12.
    EXPECT_EQ(PitchClass(-12), 0);
    EXPECT_EQ(PitchClass(-24), 0);
    EXPECT_EQ(PitchClass(-13), 11);
}

TEST(NoteChart, KeyIndexOutsideTheListWritesNothing) {
    int writes = 0;
    SetCellText count = [&](int, int, const std::string&) { ++writes; };
    EXPECT_THROW(FillChart(-1, count), Exception);
    EXPECT_THROW(FillChart(12, count), Exception);
    EXPECT_EQ(writes, 0);
    FillChart(11, count);
    EXPECT_EQ(writes, 1 + 30 + 12); // key, blow, draw and over notes, twelve bends
}

} // namespace
} // namespace velbrin::chart

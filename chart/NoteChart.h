#pragma once
// The note chart: where each note of a harmonica key stands in the 12 x 12
// chart, and the two operations that write it. The chart is written cell by
// cell through a callback, so it is computed the same way into a string grid,
// a table in memory or a terminal.
//
// Columns 0 and 11 hold labels, columns 1 to 10 the holes; row 6 holds the hole
// numbers, row 5 the blow notes and row 7 the draw notes.

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace velbrin::chart {

constexpr int kChartSize = 12;

// Sets the text of the cell at (column, row); texts are code page 932.
using SetCellText = std::function<void(int column, int row, const std::string& text)>;

// The two arrows, each a double-byte character of code page 932.
extern const std::string UpArrow;
extern const std::string DownArrow;

// The pitch class 0 to 11 of a semitone number, negative numbers included.
int PitchClass(int semitone);
// The name of the note `semitone` semitones above the root of key `key`.
std::string NoteName(int key, int semitone);

// A hole index below this is a low hole (its draw note bends); from it on, a
// high hole (its blow note bends).
constexpr int kFirstHighHole = 6;

int OverRow(int hole);
int OverSemitone(int hole);
// Bend j (1 up to BendCounts[hole]) of a hole.
int BendRow(int hole, int bend);
int BendSemitone(int hole, int bend);

// Writes the labels, arrows and hole numbers that do not depend on the key.
// Cell (0, 6) is left for the key name.
void WriteFixedLabels(const SetCellText& setCell);
// Writes the key name and every note of every hole for key index `key`, which
// must lie in 0 to 11 (anything else raises Exception and writes nothing).
void FillChart(int key, const SetCellText& setCell);

// A whole chart held as texts, row by row: twelve columns, and twelve rows
// unless a tuning needs more.
class ChartTable {
public:
    explicit ChartTable(int rowCount = kChartSize);
    int RowCount() const { return static_cast<int>(cells_.size()); }
    const std::string& Cell(int column, int row) const { return cells_.at(row).at(column); }
    // A writer that stores into this table; the table must outlive it.
    SetCellText Writer();

private:
    std::vector<std::array<std::string, kChartSize>> cells_;
};

} // namespace velbrin::chart

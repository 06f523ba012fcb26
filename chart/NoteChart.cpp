#include "NoteChart.h"

#include "NoteTables.h"
#include "runtime/Exceptions.h"

namespace velbrin::chart {

namespace {

constexpr int kHoleNumberRow = 6;
constexpr int kBlowRow = 5;
constexpr int kDrawRow = 7;
constexpr int kRightLabelColumn = 11;

bool IsLowHole(int hole) {
    return hole < kFirstHighHole;
}

} // namespace

const std::string UpArrow = "\x81\xAA";
const std::string DownArrow = "\x81\xAB";

int PitchClass(int semitone) {
    return semitone >= 0 ? semitone % 12 : (12 - (-semitone) % 12) % 12;
}

std::string NoteName(int key, int semitone) {
    const auto& names = UsesFlats.at(key) != 0 ? FlatNames : SharpNames;
    // Key index 0 is G, pitch class 7: the offset puts every key's root on its name.
    return names[PitchClass(key + semitone - 5)];
}

int OverRow(int hole) {
    return IsLowHole(hole) ? kHoleNumberRow - (OverOffsets[hole] + 1)
                           : kHoleNumberRow + (OverOffsets[hole] + 1);
}

int OverSemitone(int hole) {
    return IsLowHole(hole) ? DrawSemitones[hole] + 1 : BlowSemitones[hole] + 1;
}

int BendRow(int hole, int bend) {
    return IsLowHole(hole) ? kHoleNumberRow + (bend + 1) : kHoleNumberRow - (bend + 1);
}

int BendSemitone(int hole, int bend) {
    return IsLowHole(hole) ? DrawSemitones[hole] - bend : BlowSemitones[hole] - bend;
}

void WriteFixedLabels(const SetCellText& setCell) {
    setCell(0, 5, "Blow");
    setCell(0, 7, "Draw");
    setCell(0, 8, "bend");
    setCell(0, 3, "over");
    setCell(kRightLabelColumn, 9, "over");
    setCell(kRightLabelColumn, 4, "bend");
    setCell(0, 9, DownArrow);
    setCell(0, 10, DownArrow);
    setCell(0, 2, UpArrow);
    setCell(0, 1, UpArrow);
    setCell(0, 0, UpArrow);
    setCell(kRightLabelColumn, 3, UpArrow);
    setCell(kRightLabelColumn, 10, DownArrow);
    setCell(kRightLabelColumn, 11, DownArrow);
    for (int n = 1; n <= kHoleCount; ++n) {
        setCell(n, kHoleNumberRow, std::to_string(n));
    }
}

void FillChart(int key, const SetCellText& setCell) {
    if (key < 0 || key >= kKeyCount) {
        throw Exception(Format("Key index %d is outside 0 to 11", {key}));
    }
    setCell(0, kHoleNumberRow, KeyNames[key]);
    for (int hole = 0; hole < kHoleCount; ++hole) {
        int column = hole + 1;
        setCell(column, kBlowRow, NoteName(key, BlowSemitones[hole]));
        setCell(column, kDrawRow, NoteName(key, DrawSemitones[hole]));
        setCell(column, OverRow(hole), NoteName(key, OverSemitone(hole)));
        for (int bend = 1; bend <= BendCounts[hole]; ++bend) {
            setCell(column, BendRow(hole, bend), NoteName(key, BendSemitone(hole, bend)));
        }
    }
}

ChartTable::ChartTable(int rowCount) : cells_(rowCount) {}

SetCellText ChartTable::Writer() {
    return
        [this](int column, int row, const std::string& text) { cells_.at(row).at(column) = text; };
}

} // namespace velbrin::chart

#include "TuningChart.h"

#include <algorithm>

namespace velbrin::chart {

namespace {

// The window's chart has five rows above the blow row and four below the
// draw row; other tunings keep at least as many, so that charts look alike.
constexpr int kRowsAbove = 5;
constexpr int kRowsBelow = 4;
constexpr int kRightLabelColumn = 11;

} // namespace

NoteText MarkedNoteText(int key, const ScalePosition* marks) {
    return [key, marks](const HoleNote& note) {
        const std::string name = NoteName(key, note.semitone);
        return marks != nullptr ? marks->Marked(name, note.semitone) : name;
    };
}

TuningChart::TuningChart(const Tuning& tuning, int key)
    : tuning_(tuning), key_(key), blowRow_(std::max(kRowsAbove, FarthestReach(Breath::Blow))),
      rowsBelow_(std::max(kRowsBelow, FarthestReach(Breath::Draw))) {}

int TuningChart::FarthestReach(Breath breath) const {
    int farthest = 0;
    for (int hole = 0; hole < kHoleCount; ++hole) {
        for (const HoleNote& note : tuning_.NotesOfHole(hole)) {
            if (note.breath == breath) {
                farthest = std::max(farthest, Reach(note));
            }
        }
    }
    return farthest;
}

int TuningChart::Reach(const HoleNote& note) const {
    switch (note.technique) {
    case Technique::Bend:
        return note.depth;
    case Technique::Overbend: {
        const int reed =
            note.breath == Breath::Blow ? tuning_.Blow(note.hole) : tuning_.Draw(note.hole);
        return note.semitone - reed;
    }
    case Technique::Plain:
        break;
    }
    return 0;
}

int TuningChart::RowOf(const HoleNote& note) const {
    return note.breath == Breath::Blow ? BlowRow() - Reach(note) : DrawRow() + Reach(note);
}

void TuningChart::WriteLabelsBeyond(const SetCellText& setCell, int firstHole, int lastHole,
                                    int column, Breath breath) const {
    int nearest = 0;
    int farthest = 0;
    bool bends = false;
    bool overbends = false;
    for (int hole = firstHole; hole <= lastHole; ++hole) {
        for (const HoleNote& note : tuning_.NotesOfHole(hole)) {
            if (note.breath != breath || note.technique == Technique::Plain) {
                continue;
            }
            const int reach = Reach(note);
            nearest = nearest == 0 ? reach : std::min(nearest, reach);
            farthest = std::max(farthest, reach);
            bends = bends || note.technique == Technique::Bend;
            overbends = overbends || note.technique == Technique::Overbend;
        }
    }
    if (farthest == 0) {
        return;
    }
    const int step = breath == Breath::Blow ? -1 : 1;
    const int reedRow = breath == Breath::Blow ? BlowRow() : DrawRow();
    setCell(column, reedRow + step * nearest,
            bends && overbends ? "bend/over"
            : bends            ? "bend"
                               : "over");
    for (int reach = nearest + 1; reach <= farthest; ++reach) {
        setCell(column, reedRow + step * reach, breath == Breath::Blow ? UpArrow : DownArrow);
    }
}

void TuningChart::WriteRegionLabels(const SetCellText& setCell, int firstHole, int lastHole,
                                    int column) const {
    WriteLabelsBeyond(setCell, firstHole, lastHole, column, Breath::Blow);
    WriteLabelsBeyond(setCell, firstHole, lastHole, column, Breath::Draw);
}

void TuningChart::Write(const SetCellText& setCell, const NoteText& noteText) const {
    const int holeRow = BlowRow() + 1;
    setCell(0, BlowRow(), "Blow");
    setCell(0, DrawRow(), "Draw");
    setCell(0, holeRow, KeyNames.at(key_));
    WriteRegionLabels(setCell, 0, kFirstHighHole - 1, 0);
    WriteRegionLabels(setCell, kFirstHighHole, kHoleCount - 1, kRightLabelColumn);
    for (int hole = 0; hole < kHoleCount; ++hole) {
        const int column = hole + 1;
        setCell(column, holeRow, std::to_string(column));
        for (const HoleNote& note : tuning_.NotesOfHole(hole)) {
            setCell(column, RowOf(note), noteText ? noteText(note) : NoteName(key_, note.semitone));
        }
    }
}

ChartTable TuningChart::Table(const NoteText& noteText) const {
    ChartTable table(RowCount());
    Write(table.Writer(), noteText);
    return table;
}

} // namespace velbrin::chart

#pragma once
// The chart of a harmonica of any tuning, laid out as the chart window lays
// out Richter: row by row the blow notes, the hole numbers and the draw
// notes, and beyond them what each hole gives besides. Above the blow row
// stand blow bends (a row per semitone of depth) and overblows (as many rows
// up as they lie semitones above the blow note); below the draw row, the same
// for draw bends and overdraws. Column 0 names what holes 1 to 6 give there,
// column 11 what holes 7 to 10 give, an arrow on every further row.
//
// For Richter this is the window's chart exactly; a tuning whose notes reach
// further gets more rows.

#include "NoteChart.h"
#include "ScalePosition.h"
#include "Tuning.h"

#include <functional>
#include <string>

namespace velbrin::chart {

// The text of a note's cell; by default the note's name in the key.
using NoteText = std::function<std::string(const HoleNote& note)>;

// Each note's name in the key, with its degree after a colon where `marks`
// (which may be null) holds it: "E-:b3".
NoteText MarkedNoteText(int key, const ScalePosition* marks);

class TuningChart {
public:
    TuningChart(const Tuning& tuning, int key);

    int RowCount() const { return blowRow_ + 3 + rowsBelow_; }
    int BlowRow() const { return blowRow_; }
    int DrawRow() const { return blowRow_ + 2; }
    int RowOf(const HoleNote& note) const;

    // Writes the labels, the hole numbers, the key name and every note.
    void Write(const SetCellText& setCell, const NoteText& noteText = {}) const;
    ChartTable Table(const NoteText& noteText = {}) const;

private:
    // Rows beyond the reed row of the note's breath; 0 for a plain note.
    int Reach(const HoleNote& note) const;
    // The farthest reach beyond the reed row of `breath`, over all holes.
    int FarthestReach(Breath breath) const;
    void WriteRegionLabels(const SetCellText& setCell, int firstHole, int lastHole,
                           int column) const;
    void WriteLabelsBeyond(const SetCellText& setCell, int firstHole, int lastHole, int column,
                           Breath breath) const;

    const Tuning& tuning_;
    int key_;
    int blowRow_;
    int rowsBelow_;
};

} // namespace velbrin::chart

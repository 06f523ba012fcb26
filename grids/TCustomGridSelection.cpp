// The grid's current cell and the selection it spans with the anchor.

#include "TCustomGrid.h"

#include "GridInternals.h"

namespace velbrin {

using namespace gridinternals;

void TCustomGrid::MoveCurrentCell(std::int32_t col, std::int32_t row, TAnchorMove anchor,
                                  TReveal reveal) {
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) {
        RaiseIndexOutOfRange();
    }
    if (CanSelectCell(col, row)) {
        PlaceCurrentCell({col, row}, anchor, reveal);
    }
}

void TCustomGrid::PlaceCurrentCell(TCellCoord cell, TAnchorMove anchor, TReveal reveal) {
    const TCellRange oldSelection = Selection();
    const TCellCoord oldCurrent = current_;
    current_ = cell;
    if (!HasOption(options_, goAlwaysShowEditor)) {
        SetEditorMode(false);
    }
    if (anchor == TAnchorMove::Follows || !HasOption(options_, goRangeSelect)) {
        anchor_ = current_;
        if (HasOption(options_, goRowSelect)) {
            anchor_.X = colCount_ - 1;
        }
    }
    if (HasOption(options_, goRowSelect)) {
        current_.X = fixedCols_;
    }
    if (reveal == TReveal::Yes) {
        ClampInView(current_);
    }
    InvalidateSelectionChange(oldSelection);
    InvalidateCell(oldCurrent.X, oldCurrent.Y);
    InvalidateCell(cell.X, cell.Y);
}

void TCustomGrid::MoveAnchor(TCellCoord cell) {
    if (!HasOption(options_, goRangeSelect) || HasOption(options_, goEditing)) {
        MoveCurrentCell(cell.X, cell.Y, TAnchorMove::Follows, TReveal::Yes);
        return;
    }
    const TCellRange oldSelection = Selection();
    anchor_ = cell;
    if (HasOption(options_, goRowSelect)) {
        anchor_.X = colCount_ - 1;
    }
    ClampInView(cell);
    InvalidateSelectionChange(oldSelection);
}

// Only the cells in one selection but not the other change their look, so
// a drag that grows the selection repaints just the cells it adds.
void TCustomGrid::InvalidateSelectionChange(const TCellRange& oldSelection) {
    const TCellRange newSelection = Selection();
    if (newSelection == oldSelection || !HasWindow()) {
        return;
    }
    const RECT oldRect = RangeBounds(oldSelection, TGridLines::Included);
    const RECT newRect = RangeBounds(newSelection, TGridLines::Included);
    HRGN changed = CreateRectRgnIndirect(&oldRect);
    HRGN added = CreateRectRgnIndirect(&newRect);
    CombineRgn(changed, changed, added, RGN_XOR);
    InvalidateRgn(Handle(), changed, FALSE);
    DeleteObject(added);
    DeleteObject(changed);
}

} // namespace velbrin

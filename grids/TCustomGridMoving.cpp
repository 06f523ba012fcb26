// How a grid moves a column or a row dragged by its fixed cell.

#include "TCustomGrid.h"

#include "GridInternals.h"

#include <algorithm>

namespace velbrin {

using namespace gridinternals;

bool TCustomGrid::IsMoving() const {
    return mouseState_ == TMouseState::ColMoving || mouseState_ == TMouseState::RowMoving;
}

// A row is dragged by its fixed column cell, a column by its fixed row cell.
void TCustomGrid::PressFixedCell(TCellCoord cell) {
    if (HasOption(options_, goRowMoving) && cell.X < fixedCols_ && cell.Y >= fixedRows_) {
        StartMoving(TMouseState::RowMoving, cell.Y);
    } else if (HasOption(options_, goColMoving) && cell.Y < fixedRows_ && cell.X >= fixedCols_) {
        StartMoving(TMouseState::ColMoving, cell.X);
    }
}

void TCustomGrid::StartMoving(TMouseState state, std::int32_t index) {
    mouseState_ = state;
    moveIndex_ = index;
    movePosition_ = index;
    Update();
    DrawMoveMarker();
    SetTimer(Handle(), kDragTimer, kDragTimerInterval, nullptr);
}

void TCustomGrid::EndMoving() {
    DrawMoveMarker();
    KillTimer(Handle(), kDragTimer);
    const bool cols = mouseState_ == TMouseState::ColMoving;
    mouseState_ = TMouseState::Normal;
    if (movePosition_ != moveIndex_) {
        if (cols) {
            MoveColumn(moveIndex_, movePosition_);
        } else {
            MoveRow(moveIndex_, movePosition_);
        }
    }
}

// The marker shows where the moved column (row) would land: past the drop
// cell when moving forward, before it when moving back.
void TCustomGrid::DrawMoveMarker() {
    constexpr std::int32_t kMarkerWidth = 5;
    if (mouseState_ == TMouseState::RowMoving) {
        const RECT cell = CellBounds(0, movePosition_);
        const LONG y = moveIndex_ < movePosition_ ? cell.bottom : cell.top;
        DrawXorLine({0, y}, {ClientWidth(), y}, kMarkerWidth);
    } else {
        const RECT cell = CellBounds(movePosition_, 0);
        const LONG x = moveIndex_ < movePosition_ ? cell.right : cell.left;
        DrawXorLine({x, 0}, {x, ClientHeight()}, kMarkerWidth);
    }
}

// Held over the fixed cells or past the last one shown, the drop scrolls
// a line at a time.
void TCustomGrid::UpdateDropPosition(std::int32_t position, std::int32_t hit) {
    const bool cols = mouseState_ == TMouseState::ColMoving;
    const int bar = cols ? SB_HORZ : SB_VERT;
    const std::int32_t firstIndex = cols ? fixedCols_ : fixedRows_;
    const std::int32_t lastIndex = (cols ? colCount_ : rowCount_) - 1;
    TGridLayout layout = CalcLayout();
    const TAxisLayout* axis = cols ? &layout.Horz : &layout.Vert;
    if (hit == movePosition_ || (movePosition_ == firstIndex && position < axis->FixedBoundary) ||
        (movePosition_ == lastIndex && position > axis->GridBoundary)) {
        return;
    }
    DrawMoveMarker();
    if (position < axis->FixedBoundary) {
        if (movePosition_ > firstIndex) {
            ScrollBy(bar, SB_LINEUP, 0);
            Update();
        }
        hit = cols ? topLeft_.X : topLeft_.Y;
    } else if (position >= axis->FullVisibleBoundary) {
        if (movePosition_ == axis->LastFullVisibleCell && movePosition_ != lastIndex) {
            ScrollBy(bar, SB_LINEDOWN, 0);
            Update();
            layout = CalcLayout();
            axis = cols ? &layout.Horz : &layout.Vert;
        }
        hit = axis->LastFullVisibleCell;
    } else if (hit < 0) {
        hit = movePosition_;
    }
    movePosition_ = hit;
    DrawMoveMarker();
}

namespace {

// Where a column (row) at `position` goes when the one at `from` moves to
// `to`: the moved one to its new place, those between one step towards
// the place it left.
std::int32_t MovedPosition(std::int32_t position, std::int32_t from, std::int32_t to) {
    if (position == from) {
        return to;
    }
    if (position >= std::min(from, to) && position <= std::max(from, to)) {
        return to < from ? position + 1 : position - 1;
    }
    return position;
}

void MoveExtent(std::vector<std::int32_t>& extents, std::int32_t from, std::int32_t to) {
    const auto first = extents.begin();
    if (from < to) {
        std::rotate(first + from, first + from + 1, first + to + 1);
    } else {
        std::rotate(first + to, first + from, first + from + 1);
    }
}

} // namespace

void TCustomGrid::MoveColumn(std::int32_t from, std::int32_t to) {
    if (from == to) {
        return;
    }
    if (colWidths_) {
        MoveExtent(*colWidths_, from, to);
        ExtentsChanged();
    }
    current_.X = MovedPosition(current_.X, from, to);
    anchor_.X = MovedPosition(anchor_.X, from, to);
    InvalidateSelection({std::min(from, to), 0, std::max(from, to), rowCount_ - 1});
    ColumnMoved(from, to);
    if (colWidths_) {
        ColumnWidthsModified();
    }
}

void TCustomGrid::MoveRow(std::int32_t from, std::int32_t to) {
    if (from == to) {
        return;
    }
    if (rowHeights_) {
        MoveExtent(*rowHeights_, from, to);
        ExtentsChanged();
    }
    current_.Y = MovedPosition(current_.Y, from, to);
    anchor_.Y = MovedPosition(anchor_.Y, from, to);
    InvalidateSelection({0, std::min(from, to), colCount_ - 1, std::max(from, to)});
    RowMoved(from, to);
    if (rowHeights_) {
        RowHeightsModified();
    }
}

} // namespace velbrin

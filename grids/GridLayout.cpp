#include "GridLayout.h"

#include <climits>

namespace velbrin {

namespace {

// Running sums of extents are kept in 64 bits, so that no count of cells and
// no extent a caller sets can overflow them; what is stored is held within
// 32 bits.
std::int32_t Saturated(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

std::int64_t Step(const TAxisLayout& axis, std::int32_t cell) {
    return std::int64_t{axis.Extent(cell)} + axis.LineWidth;
}

// Every cell write asks for its cell's start: the walk is made once here.
void RecordStarts(TAxisLayout& axis) {
    std::int64_t start = 0;
    for (std::int32_t cell = 0; cell < axis.FixedCellCount; ++cell) {
        axis.FixedStarts.push_back(Saturated(start));
        start += Step(axis, cell);
        if (start > axis.GridExtent) {
            axis.FixedStartsPassExtent = true;
            break;
        }
    }
    if (axis.FirstGridCell > axis.GridCellCount) {
        return;
    }
    start = axis.FixedBoundary;
    axis.GridStarts.push_back(Saturated(start));
    for (std::int32_t cell = axis.FirstGridCell; cell < axis.GridCellCount; ++cell) {
        start += Step(axis, cell);
        if (start > axis.GridExtent) {
            axis.GridStartsPassExtent = true;
            break;
        }
        axis.GridStarts.push_back(Saturated(start));
    }
}

} // namespace

TAxisLayout CalcAxisLayout(const TAxisGeometry& geometry) {
    TAxisLayout axis;
    axis.LineWidth = geometry.LineWidth;
    axis.FixedCellCount = geometry.FixedCellCount;
    axis.FirstGridCell = geometry.FirstGridCell;
    axis.GridCellCount = geometry.GridCellCount;
    axis.GridExtent = geometry.GridExtent;
    axis.Extent = geometry.Extent;

    std::int64_t fixedBoundary = 0;
    for (std::int32_t cell = 0; cell < axis.FixedCellCount; ++cell) {
        fixedBoundary += Step(axis, cell);
    }
    axis.FixedBoundary = Saturated(fixedBoundary);

    std::int64_t boundary = fixedBoundary;
    axis.GridBoundary = axis.FixedBoundary;
    axis.FullVisibleBoundary = axis.FixedBoundary;
    axis.LastFullVisibleCell = axis.FirstGridCell;
    const std::int64_t limit = std::int64_t{axis.GridExtent} + axis.LineWidth;
    for (std::int32_t cell = axis.FirstGridCell; cell < axis.GridCellCount; ++cell) {
        boundary += Step(axis, cell);
        if (boundary > limit) {
            axis.GridBoundary = axis.GridExtent;
            break;
        }
        axis.GridBoundary = Saturated(boundary);
        axis.LastFullVisibleCell = cell;
        axis.FullVisibleBoundary = axis.GridBoundary;
    }
    RecordStarts(axis);
    return axis;
}

std::int32_t TAxisLayout::CellStart(std::int32_t cell) const {
    if (cell >= 0 && cell < FixedCellCount) {
        const auto index = static_cast<std::size_t>(cell);
        if (index < FixedStarts.size()) {
            return FixedStarts[index];
        }
        if (FixedStartsPassExtent) {
            return 0;
        }
    } else if (cell >= FirstGridCell) {
        const auto index = static_cast<std::size_t>(std::int64_t{cell} - FirstGridCell);
        if (index < GridStarts.size()) {
            return GridStarts[index];
        }
        if (GridStartsPassExtent) {
            return 0;
        }
    }
    return WalkedCellStart(cell);
}

std::int32_t TAxisLayout::WalkedCellStart(std::int32_t cell) const {
    std::int64_t start = 0;
    std::int32_t from = 0;
    if (cell >= FixedCellCount) {
        // A scrolled-away cell keeps 0: the walk below does not reach it.
        if (cell >= FirstGridCell) {
            start = FixedBoundary;
        }
        from = FirstGridCell;
    }
    for (std::int32_t i = from; i < cell; ++i) {
        start += Step(*this, i);
        if (start > GridExtent) {
            return 0;
        }
    }
    return Saturated(start);
}

std::int32_t TAxisLayout::CellAt(std::int32_t position) const {
    // A point before the grid falls to the fixed cells' walk, which finds
    // the first fixed cell, or none when there are no fixed cells.
    const bool inFixed = position < FixedBoundary;
    std::int64_t line = inFixed ? 0 : FixedBoundary;
    const std::int32_t first = inFixed ? 0 : FirstGridCell;
    const std::int32_t end = inFixed ? FixedCellCount : GridCellCount;
    for (std::int32_t cell = first; cell < end; ++cell) {
        line += Step(*this, cell);
        if (position < line) {
            return cell;
        }
    }
    return -1;
}

std::int32_t TAxisLayout::MaxFirstGridCell(std::int32_t cell) const {
    std::int32_t result = cell;
    std::int64_t line = std::int64_t{GridExtent} + LineWidth;
    for (std::int32_t i = cell; i >= FixedCellCount; --i) {
        line -= Step(*this, i);
        if (line < FixedBoundary) {
            break;
        }
        result = i;
    }
    return result;
}

namespace {

// The screen span of cells `first` to `last` on one axis; false when the
// range lies wholly among the scrolled-away cells.
bool AxisSpan(const TAxisLayout& axis, std::int32_t first, std::int32_t last, TGridLines lines,
              LONG& start, LONG& end) {
    if (first >= axis.FixedCellCount && first < axis.FirstGridCell) {
        if (last < axis.FirstGridCell) {
            return false;
        }
        first = axis.FirstGridCell;
    }
    if (last > axis.LastFullVisibleCell) {
        // The partly visible cell after the last full one still shows.
        last = axis.LastFullVisibleCell;
        if (last < axis.GridCellCount - 1) {
            ++last;
        }
        if (axis.CellStart(last) == 0) {
            --last;
        }
    }
    start = axis.CellStart(first);
    // A cell written invalidates a range of one: its start is walked once.
    const std::int32_t lastStart = last == first ? start : axis.CellStart(last);
    std::int64_t stop = lastStart == 0 ? std::int64_t{start} + axis.Extent(first)
                                       : std::int64_t{lastStart} + axis.Extent(last);
    stop = std::min<std::int64_t>(stop, axis.GridExtent);
    if (lines == TGridLines::Included) {
        stop += axis.LineWidth;
    }
    end = Saturated(stop);
    return true;
}

} // namespace

RECT RangeBounds(const TGridLayout& layout, const TCellRange& range, TGridLines lines) {
    RECT rect{};
    if (range.Left > range.Right || range.Top > range.Bottom) {
        return rect;
    }
    if (range.Left > layout.Horz.LastFullVisibleCell + 1 ||
        range.Top > layout.Vert.LastFullVisibleCell + 1) {
        return rect;
    }
    if (!AxisSpan(layout.Horz, range.Left, range.Right, lines, rect.left, rect.right) ||
        !AxisSpan(layout.Vert, range.Top, range.Bottom, lines, rect.top, rect.bottom)) {
        return RECT{};
    }
    // A range starting past the last cell ends before it starts: it is not
    // on screen.
    if (rect.right < rect.left || rect.bottom < rect.top) {
        return RECT{};
    }
    return rect;
}

TCellCoord CellAtPoint(const TGridLayout& layout, std::int32_t x, std::int32_t y) {
    return {layout.Horz.CellAt(x), layout.Vert.CellAt(y)};
}

TCellCoord MaxTopLeft(const TGridLayout& layout, TCellCoord cell) {
    return {layout.Horz.MaxFirstGridCell(cell.X), layout.Vert.MaxFirstGridCell(cell.Y)};
}

} // namespace velbrin

#pragma once
// The geometry of a grid as plain values: where the cells of each axis lie
// for a given client size, which of them fit, the screen rectangle of a range
// of cells and the cell under a point. The grid control computes a layout
// from its state on every paint, hit test and scroll; nothing here touches a
// window.
//
// Along each axis a cell occupies its extent, followed by a grid line of the
// axis's line width. Fixed cells come first and never scroll; the scrolling
// cells start at the first grid cell.

#include "Grids.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace velbrin {

// The extent (width or height) of a cell, by index.
using TExtentFunction = std::function<std::int32_t(std::int32_t cell)>;

// What one axis of a layout is computed from.
struct TAxisGeometry {
    // The grid-line width in effect: 0 when the axis shows no lines.
    std::int32_t LineWidth = 0;
    std::int32_t FixedCellCount = 0;
    std::int32_t FirstGridCell = 0;
    std::int32_t GridCellCount = 0;
    // The client width (or height).
    std::int32_t GridExtent = 0;
    TExtentFunction Extent;
};

// The computed layout of one axis.
struct TAxisLayout {
    std::int32_t LineWidth = 0;
    // Just past the fixed cells and their lines.
    std::int32_t FixedBoundary = 0;
    // Just past the last cell drawn; at most GridExtent.
    std::int32_t GridBoundary = 0;
    std::int32_t GridExtent = 0;
    // The last cell that fits entirely; its trailing line may fall one line
    // width beyond the client edge. FirstGridCell when none fits.
    std::int32_t LastFullVisibleCell = 0;
    // Just past that cell and its line.
    std::int32_t FullVisibleBoundary = 0;
    std::int32_t FixedCellCount = 0;
    std::int32_t FirstGridCell = 0;
    std::int32_t GridCellCount = 0;
    TExtentFunction Extent;
    // The leading edges CellStart gives, walked once with the layout: of the
    // fixed cells from cell 0, and of the scrolling cells from FirstGridCell
    // up to GridCellCount, each list as far as its walk stayed within
    // GridExtent. Past a list that stopped there every cell starts at 0.
    std::vector<std::int32_t> FixedStarts;
    std::vector<std::int32_t> GridStarts;
    bool FixedStartsPassExtent = false;
    bool GridStartsPassExtent = false;

    // The leading edge of `cell`; 0 for a cell off screen (scrolled away or
    // starting beyond the client edge), which is also the edge of a leading
    // fixed cell.
    std::int32_t CellStart(std::int32_t cell) const;
    // The cell at `position`, a point on a cell's trailing line belonging to
    // that cell; -1 when there is none. Cells beyond the client edge count.
    std::int32_t CellAt(std::int32_t position) const;
    // The smallest first grid cell that still shows `cell` completely.
    std::int32_t MaxFirstGridCell(std::int32_t cell) const;

private:
    std::int32_t WalkedCellStart(std::int32_t cell) const;
};

TAxisLayout CalcAxisLayout(const TAxisGeometry& geometry);

// The columns' layout, then the rows'.
struct TGridLayout {
    TAxisLayout Horz;
    TAxisLayout Vert;
};

// Whether a rectangle takes in the grid lines to the right of and below its
// cells.
enum class TGridLines : std::uint8_t { Excluded, Included };

// The client rectangle of `range`, clipped to the client area; all zero when
// the range is not on screen.
RECT RangeBounds(const TGridLayout& layout, const TCellRange& range, TGridLines lines);
// The cell under (x, y); each part -1 when the point is in no cell on its
// axis.
TCellCoord CellAtPoint(const TGridLayout& layout, std::int32_t x, std::int32_t y);
// The smallest first grid column and row that still show `cell` completely.
TCellCoord MaxTopLeft(const TGridLayout& layout, TCellCoord cell);

} // namespace velbrin

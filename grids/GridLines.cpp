#include "GridLines.h"

#include <algorithm>
#include <climits>

namespace velbrin {

std::vector<std::int32_t> GridLinePositions(const TAxisLayout& axis, std::int32_t firstCell,
                                            std::int32_t leading, std::int32_t trailing,
                                            std::size_t limit) {
    std::vector<std::int32_t> positions;
    if (axis.LineWidth <= 0) {
        return positions;
    }
    // 64 bits, so that no extent can wrap the position round; the limit
    // ends the walk where extents that do not advance it would not.
    const std::int64_t last = std::int64_t{trailing} + axis.LineWidth;
    std::int32_t cell = firstCell;
    std::int64_t position = std::int64_t{leading} + axis.LineWidth / 2 + axis.Extent(cell);
    while (position <= last && positions.size() < limit) {
        positions.push_back(
            static_cast<std::int32_t>(std::clamp<std::int64_t>(position, INT32_MIN, INT32_MAX)));
        ++cell;
        position += std::int64_t{axis.Extent(cell)} + axis.LineWidth;
    }
    return positions;
}

} // namespace velbrin

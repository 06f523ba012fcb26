#pragma once
// Where a grid draws the lines of one kind inside a region of its client
// area, as plain values. Each line is centred half a line width past the end
// of its cell, so a wide line covers the pixels right after the cell.

#include "GridLayout.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velbrin {

// The centre positions of the lines after the cells of `axis` from
// `firstCell` on, in a region that spans `leading` to `trailing` along that
// axis: every line whose position lies no further than one line width past
// `trailing`, at most `limit` of them. Nothing when the axis has no lines.
std::vector<std::int32_t> GridLinePositions(const TAxisLayout& axis, std::int32_t firstCell,
                                            std::int32_t leading, std::int32_t trailing,
                                            std::size_t limit);

} // namespace velbrin

#pragma once
// What the grid's own source files share; no part of the grid's interface.

#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <windows.h>

#include <cstdint>

namespace velbrin::gridinternals {

// The timer that drives a drag beyond the cells.
inline constexpr UINT_PTR kDragTimer = 1;
inline constexpr UINT kDragTimerInterval = 60;

[[noreturn]] inline void RaiseIndexOutOfRange() {
    throw ResourceError<EInvalidGridOperation>(SIndexOutOfRange);
}

// The upper bound when `value` is above it, else the lower one when below.
inline std::int32_t KeptBetween(std::int32_t value, std::int32_t low, std::int32_t high) {
    if (value > high) {
        return high;
    }
    return value < low ? low : value;
}

} // namespace velbrin::gridinternals

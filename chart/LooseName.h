#pragma once
// Names of tunings and scales as people type them.

#include <string_view>

namespace velbrin::chart {

// Equal once ASCII letter case, spaces, hyphens and underscores are put aside:
// "paddy-richter" names "Paddy Richter".
bool SameLooseName(std::string_view typed, std::string_view name);

} // namespace velbrin::chart

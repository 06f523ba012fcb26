#pragma once
// Finds and loads the Unicode text module the first time it is asked for.

#include "../unicode/UnicodeFunctions.h"

namespace platform {

// The module's functions; null when it cannot be loaded, which is told once
// on the standard error with every place tried and why it failed.
const UnicodeFunctions* LoadedUnicodeFunctions();

} // namespace platform

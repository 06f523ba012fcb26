#pragma once
// Hooks for tests and tools; not part of the Windows API.

#include <cstddef>

namespace platform {

// Throws away every window, handle, file, atom and memory block the platform
// holds and starts from a fresh state.
void ResetForTesting();

// Live handles of each kind, so that a test can show nothing leaked.
struct LiveHandleCounts {
    std::size_t files;
    std::size_t globalMemory;
    std::size_t atoms;
};
LiveHandleCounts CountLiveHandles();

} // namespace platform

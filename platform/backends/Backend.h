#pragma once
// What the windowing side asks of a screen: surfaces for top-level windows,
// the screen's size and resolution, showing what changed, and waiting for
// input. The headless screen keeps everything in memory; a display server
// plugs in behind the same calls.

#include <windows.h>

#include "../gdi/Surface.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

using SurfaceId = std::uint32_t;

class Backend {
public:
    virtual ~Backend() = default;

    // A surface for a top-level window at `screenRect`; 0 when none can be made.
    virtual SurfaceId OpenSurface(HWND window, const RECT& screenRect) = 0;
    virtual void CloseSurface(SurfaceId surface) = 0;
    virtual SIZE ScreenSize() const = 0;
    virtual int PixelsPerInch() const = 0;
    // The pixels of `rects` (window coordinates) changed.
    virtual void Present(SurfaceId surface, const gdi::Surface& pixels,
                         const std::vector<RECT>& rects) = 0;
    // Milliseconds on the screen's clock.
    virtual DWORD Now() const = 0;
    // Waits until input may have arrived or the clock reaches `deadline`.
    // False when nothing can ever arrive.
    virtual bool WaitForInput(std::optional<DWORD> deadline) = 0;
    // Ends a wait early.
    virtual void Wake() = 0;
};

} // namespace platform

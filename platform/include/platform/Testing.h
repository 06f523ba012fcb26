#pragma once
// Hooks for tests and tools; not part of the Windows API.

#include <windows.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// Throws away every window, handle, file, atom and memory block the platform
// holds and starts from a fresh state.
void ResetForTesting();

// Live handles of each kind, so that a test can show nothing leaked.
struct LiveHandleCounts {
    std::size_t files;
    std::size_t globalMemory;
    std::size_t atoms;
    // Pens, brushes, fonts and regions made by the program (stock objects aside).
    std::size_t gdiObjects;
    std::size_t deviceContexts;
    std::size_t icons;
};
LiveHandleCounts CountLiveHandles();

namespace gdi {
class Surface;
}

// A DC over a new surface of its own, filled with `fill`; DeleteDC frees both.
// 0 when no handle is left.
HDC CreateMemorySurfaceDC(int width, int height, COLORREF fill = 0xFFFFFF);
// The surface a DC draws into; null for a bad handle.
std::shared_ptr<gdi::Surface> SurfaceOf(HDC dc);
// The pixel at surface position (x, y), clip and origins aside; CLR_INVALID
// outside the surface or for a bad handle.
COLORREF ReadSurfacePixel(HDC dc, int x, int y);
bool SaveSurfacePng(HDC dc, const std::string& path);
// The number of pixels in which the surfaces of two DCs differ; SIZE_MAX for a
// bad handle.
std::size_t CountDifferentPixels(HDC a, HDC b);
// The pixel of a cursor that is the pointer's position (an icon's is its
// centre); nullopt for a bad handle. DrawIcon shows the picture.
std::optional<POINT> CursorHotSpot(HCURSOR cursor);
// What GetDeviceCaps reports for LOGPIXELSX and LOGPIXELSY (96 unless set).
void SetScreenPixelsPerInch(int pixelsPerInch);
// Looks for the Unicode text module in `directory` instead of beside the
// program; it takes effect only before the module's first use.
void SetUnicodeModuleDirectoryForTesting(const std::string& directory);

} // namespace platform

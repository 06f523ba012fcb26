#pragma once
// Device contexts over surfaces, for the windowing side: GetDC and BeginPaint
// hand out a DC that draws into the top-level window's surface, with its device
// origin at the window's client origin and clipped to what is visible of it.

#include "Region.h"
#include "Surface.h"

#include <functional>
#include <memory>
#include <optional>

namespace platform::gdi {

// What the screen shows at a point, in screen coordinates; nothing where the
// screen surface's own pixel shows.
using ScreenReader = std::function<std::optional<Pixel>(POINT)>;

// A DC in its default state (stock objects, black text on white, opaque,
// R2_COPYPEN, no clip region) whose device point (0, 0) is `origin` on the
// surface and which never draws outside `visible` (in surface coordinates) or
// the surface. The DC keeps the surface alive. 0 when no handle is left.
HDC CreateSurfaceDC(std::shared_ptr<Surface> surface, POINT origin, const Region& visible);

// Moves a surface DC and changes what it may draw on, keeping the rest of its
// state; false for a handle that is not a live surface DC.
BOOL SetSurfaceDCVisible(HDC dc, POINT origin, const Region& visible);

// What a surface DC may draw on, in surface coordinates; null for a handle
// that is not a live surface DC.
const Region* SurfaceDCVisible(HDC dc);

// Gives the DC back (the same as DeleteDC); false for a handle that is not a
// live DC.
BOOL ReleaseSurfaceDC(HDC dc);

// A DC over the whole screen surface, for GetDC of no window. Reads through it
// (GetPixel) give what `showing` answers for the point, where it answers, so
// that the windows on the screen are read as they show.
HDC CreateScreenDC(ScreenReader showing);

// The screen surface; the windowing side sets its size from the backend.
std::shared_ptr<Surface> ScreenSurface();
void SetScreenSize(int width, int height);

// The region behind an HRGN, for InvalidateRgn and its kin; null when the
// handle is not a live region.
Region* RegionOf(HRGN region);
// A new HRGN holding `region`; 0 when no handle is left.
HRGN CreateRegionHandle(const Region& region);

} // namespace platform::gdi
